#include "widgets/frame_cache_style.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QComboBox>
#include <QPainter>
#include <QStyleFactory>
#include <QStyleOption>
#include <algorithm>

namespace {

// Larger panels (a rare many-line edit) are drawn directly rather than
// kept as pictures.
constexpr int MaxCachedPixels = 1024 * 64;

}  // namespace

TFrameCacheStyle::TFrameCacheStyle(QStyle* Base) : QProxyStyle(Base) {}

void TFrameCacheStyle::Install()
{
    // The style Qt chose (platform, -style, QT_STYLE_OVERRIDE) stays the base.
    QStyle* base = QStyleFactory::create(QApplication::style()->name());
    QApplication::setStyle(new TFrameCacheStyle(base));
}

bool TFrameCacheStyle::Cacheable(const QStyleOptionFrame& Frame, const QPainter& Painter,
                                 const QWidget* Widget) const
{
    if (Frame.lineWidth <= 0 || Frame.rect.isEmpty() ||
        qint64(Frame.rect.width()) * Frame.rect.height() > MaxCachedPixels)
        return false;
    // The panel of a combo box's or spin box's edit belongs to that control.
    if (Widget && Widget->parentWidget() &&
        (qobject_cast<const QComboBox*>(Widget->parentWidget()) ||
         qobject_cast<const QAbstractSpinBox*>(Widget->parentWidget())))
        return false;
    // A solid base looks the same wherever it starts; a pattern would not.
    if (Frame.palette.brush(QPalette::Base).style() != Qt::SolidPattern)
        return false;
    return Painter.device() && Painter.transform().type() <= QTransform::TxTranslate &&
           Painter.opacity() == 1.0 && Painter.compositionMode() == QPainter::CompositionMode_SourceOver;
}

TFrameCacheStyle::TPanelKey TFrameCacheStyle::KeyOf(const QStyleOptionFrame& Frame, qreal Ratio)
{
    TPanelKey key;
    key.width = Frame.rect.width();
    key.height = Frame.rect.height();
    key.state = uint32_t(Frame.state);
    key.shape = uint32_t(Frame.features) | uint32_t(Frame.frameShape) << 8 | uint32_t(Frame.direction) << 16;
    key.lineWidth = Frame.lineWidth;
    key.midLineWidth = Frame.midLineWidth;
    key.palette = Frame.palette.cacheKey();
    key.colorGroup = int(Frame.palette.currentColorGroup());
    key.ratio = Ratio;
    return key;
}

void TFrameCacheStyle::drawPrimitive(PrimitiveElement Element, const QStyleOption* Option, QPainter* Painter,
                                     const QWidget* Widget) const
{
    const auto* frame = qstyleoption_cast<const QStyleOptionFrame*>(Option);
    if (Element != PE_PanelLineEdit || !frame || !Painter || !Cacheable(*frame, *Painter, Widget)) {
        QProxyStyle::drawPrimitive(Element, Option, Painter, Widget);
        return;
    }
    const qreal ratio = Painter->device()->devicePixelRatioF();
    const TPanelKey key = KeyOf(*frame, ratio);
    auto found = std::find_if(m_pictures.begin(), m_pictures.end(), [&](const auto& p) { return p.first == key; });
    if (found != m_pictures.end()) {
        std::rotate(m_pictures.begin(), found, found + 1);
        ++m_copied;
    } else {
        QPixmap picture(frame->rect.size() * ratio);
        picture.setDevicePixelRatio(ratio);
        picture.fill(Qt::transparent);
        QStyleOptionFrame at = *frame;
        at.rect.moveTopLeft(QPoint(0, 0));
        {
            QPainter p(&picture);
            QProxyStyle::drawPrimitive(Element, &at, &p, Widget);
        }
        if (m_pictures.size() >= MaxPictures)
            m_pictures.pop_back();
        m_pictures.insert(m_pictures.begin(), {key, std::move(picture)});
        ++m_rendered;
    }
    const QPixmap& picture = m_pictures.front().second;
    Painter->drawPixmap(frame->rect.topLeft(), picture);
}
