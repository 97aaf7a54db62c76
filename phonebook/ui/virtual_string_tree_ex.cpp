#include "phonebook/ui/virtual_string_tree_ex.h"

#include <QHeaderView>
#include <QPaintEvent>
#include <QPainter>
#include <algorithm>

#include "platform/qt/qt_text.h"

namespace {

// One colour channel after the blend of the shading: target + alpha *
// (source - target) / 256 + bias, saturated; the shift rounds down as the
// tree library's blending does.
int BlendChannel(int Target, int Source)
{
    constexpr int Alpha = 180;
    constexpr int Bias = -30;
    return std::clamp(Target + ((Alpha * (Source - Target)) >> 8) + Bias, 0, 255);
}

}  // namespace

TVirtualStringTreeEx::TVirtualStringTreeEx(QWidget* Parent) : QTreeView(Parent) {}

TVirtualStringTreeEx::~TVirtualStringTreeEx()
{
    // Open editors are lent controls (see TVSTEditor): they go back to
    // their owner before the viewport takes its children down.
    if (model())
        QAbstractItemView::reset();
}

bool TVirtualStringTreeEx::Buffering() const
{
    return m_buffer && m_options.ExtendedOptions().Contains(toBufferUpdates);
}

void TVirtualStringTreeEx::beginUpdate()
{
    if (m_updateCount++ == 0) {
        DoUpdating(usBegin);
        SetRedraw(false);
    }
}

void TVirtualStringTreeEx::endUpdate()
{
    if (m_updateCount == 0)
        return;
    if (--m_updateCount == 0) {
        SetRedraw(true);
        DoUpdating(usEnd);
        viewport()->update();
    }
}

void TVirtualStringTreeEx::SetRedraw(bool On)
{
    if (Buffering())
        return;
    setUpdatesEnabled(On);
}

void TVirtualStringTreeEx::DoUpdating(TVTUpdateState State)
{
    if (!m_options.ExtendedOptions().Contains(toBufferUpdates))
        return;
    if (State == usBegin) {
        m_buffer.reset();
        const QSize size = viewport()->size();
        if (size.isEmpty())
            return;
        executeDelayedItemsLayout();
        auto picture = std::make_unique<QImage>(size, QImage::Format_RGB32);
        picture->fill(viewport()->palette().color(viewport()->backgroundRole()));
        // The viewport paints with the scroll offsets applied; the lent
        // editor controls are no part of the picture.
        viewport()->render(picture.get(), QPoint(), QRegion(), QWidget::DrawWindowBackground);
        m_buffer = std::move(picture);
        if (m_options.ExtendedOptions().Contains(toShadeBuffer)) {
            ShadeBitmap(*m_buffer);
            viewport()->update();
        }
    } else if (State == usEnd) {
        m_buffer.reset();
    }
}

void TVirtualStringTreeEx::ShadeBitmap(QImage& Bitmap)
{
    if (Bitmap.format() != QImage::Format_RGB32 && Bitmap.format() != QImage::Format_ARGB32)
        Bitmap.convertTo(QImage::Format_RGB32);
    for (int y = 0; y < Bitmap.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(Bitmap.scanLine(y));
        for (int x = 0; x < Bitmap.width(); ++x) {
            // The pattern's set bits (white) keep the source white, the
            // others black: white where x + y is even.
            const int source = (x + y) % 2 == 0 ? 255 : 0;
            const QRgb p = line[x];
            line[x] = qRgba(BlendChannel(qRed(p), source), BlendChannel(qGreen(p), source),
                            BlendChannel(qBlue(p), source), qAlpha(p));
        }
    }
}

void TVirtualStringTreeEx::paintEvent(QPaintEvent* Event)
{
    if (!Buffering()) {
        QTreeView::paintEvent(Event);
        return;
    }
    QPainter p(viewport());
    p.drawImage(Event->rect(), *m_buffer, Event->rect());
}

void TVirtualStringTreeEx::SetShowVertGridLines(bool On)
{
    if (On == m_vertGridLines)
        return;
    m_vertGridLines = On;
    viewport()->update();
}

void TVirtualStringTreeEx::drawRow(QPainter* Painter, const QStyleOptionViewItem& Option,
                                   const QModelIndex& Index) const
{
    QTreeView::drawRow(Painter, Option, Index);
    if (!m_vertGridLines)
        return;
    const QHeaderView* h = header();
    Painter->save();
    Painter->setPen(Platform::ToQColor(clBtnFace));
    for (int visual = 0; visual < h->count(); ++visual) {
        const int logical = h->logicalIndex(visual);
        if (h->isSectionHidden(logical))
            continue;
        const int x = h->sectionViewportPosition(logical) + h->sectionSize(logical) - 1;
        Painter->drawLine(x, Option.rect.top(), x, Option.rect.bottom());
    }
    Painter->restore();
}
