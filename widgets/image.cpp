#include "widgets/image.h"

#include <QGuiApplication>
#include <QPainter>
#include <QScreen>
#include <vector>

#include "platform/qt/qt_text.h"
#include "widgets/image_list.h"

VTixImage::VTixImage(QWidget* Parent) : QWidget(Parent) { resize(16, 16); }

VTixImage::~VTixImage()
{
    FreePrepared();
    QObject::disconnect(m_changeLink);
}

void VTixImage::SetImageList(TImageList* Value)
{
    if (Value == m_imageList)
        return;
    QObject::disconnect(m_changeLink);
    m_imageList = Value;
    if (Value)
        m_changeLink = connect(Value, &TImageList::changed, this, &VTixImage::ChangeReaction);
    ChangeReaction();
}

void VTixImage::SetImageIndex(int Value)
{
    if (Value == m_imageIndex)
        return;
    m_imageIndex = Value;
    ChangeReaction();
}

void VTixImage::SetSaveMemory(VTixImage_SaveMemory Value)
{
    if (Value == m_saveMemory)
        return;
    m_saveMemory = Value;
    ChangeReaction();
}

void VTixImage::SetGrayDarkerThan(TColor Value)
{
    if (Value == m_grayDarkerThan)
        return;
    m_grayDarkerThan = Value;
    ChangeReaction();
}

void VTixImage::SetStretch(bool Value)
{
    if (Value == m_stretch)
        return;
    m_stretch = Value;
    ChangeReaction();
}

void VTixImage::SetEnabled(bool Value)
{
    // The enabled-change event runs the change reaction.
    setEnabled(Value);
}

void VTixImage::SetHint(const std::string& Value) { setToolTip(Platform::ToQString(Value)); }

void VTixImage::FreePrepared()
{
    m_picture = QImage();
    m_prepared = false;
}

void VTixImage::ChangeReaction()
{
    FreePrepared();
    ApplyKeepingPolicy();
    update();
}

namespace {
int ScreenBitsPerPixel()
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->depth() : 32;
}
}  // namespace

void VTixImage::ApplyKeepingPolicy()
{
    bool keep = false;
    if (m_imageList && m_saveMemory != vtiAlways) {
        if (m_saveMemory == vtiNever) {
            keep = true;
        } else {
            keep = !isEnabled()
                   || (m_stretch && (m_imageList->Width() != width() || m_imageList->Height() != height()));
            if (m_saveMemory == vtiChanged8 && ScreenBitsPerPixel() != 8)
                keep = false;
        }
    }
    if (!keep) {
        FreePrepared();
    } else if (!m_prepared) {
        m_picture = Prepare();
        m_prepared = !m_picture.isNull();
    }
}

QImage VTixImage::Prepare() const
{
    if (!VisibleProperty() || !m_imageList || m_imageIndex < 0 || m_imageIndex >= m_imageList->Count())
        return {};
    QImage img = m_imageList->Image(m_imageIndex);
    if (m_stretch && (img.width() != width() || img.height() != height()))
        img = StretchPicture(img, width(), height());
    if (!isEnabled())
        img = GrayPicture(img, m_grayDarkerThan);
    return img;
}

bool VTixImage::VisibleProperty() const
{
    // Not hidden on purpose: shows whenever its parent does.
    return parentWidget() ? isVisibleTo(parentWidget()) : isVisible();
}

QImage VTixImage::CurrentPicture() const { return m_prepared ? m_picture : Prepare(); }

QImage VTixImage::StretchPicture(const QImage& Source, int Width, int Height)
{
    if (Source.isNull() || Width <= 0 || Height <= 0)
        return {};
    const QImage src = Source.convertToFormat(QImage::Format_ARGB32);
    QImage out(Width, Height, QImage::Format_ARGB32);
    const int64_t sw = src.width(), sh = src.height();
    for (int y = 0; y < Height; ++y) {
        const auto* s = reinterpret_cast<const QRgb*>(src.constScanLine(int(y * sh / Height)));
        auto* d = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < Width; ++x)
            d[x] = s[x * sw / Width];
    }
    return out;
}

QImage VTixImage::GrayPicture(const QImage& Source, TColor DarkerThan)
{
    enum Cls : uint8_t { Transparent, Face, Shadow, Highlight };
    const QImage src = Source.convertToFormat(QImage::Format_ARGB32);
    const int W = src.width(), H = src.height();
    const TColor d = Platform::ColorToRGB(DarkerThan);
    std::vector<uint8_t> cls(size_t(W) * size_t(H), Transparent);
    auto at = [&](int x, int y) -> uint8_t& { return cls[size_t(y) * size_t(W) + size_t(x)]; };
    // Rows in stored (bottom-up) order, columns right to left, so that the
    // highlight below and right of a shadow pixel is never overwritten.
    for (int y = H - 1; y >= 0; --y) {
        const auto* line = reinterpret_cast<const QRgb*>(src.constScanLine(y));
        for (int x = W - 1; x >= 0; --x) {
            const QRgb px = line[x];
            if (qAlpha(px) < 128) {
                at(x, y) = Transparent;
                continue;
            }
            const int r = qRed(px), g = qGreen(px), b = qBlue(px);
            const bool shadow = (r == 0 && g == 0 && b == 0)
                                || (r <= Platform::ColorR(d) && g <= Platform::ColorG(d) && b <= Platform::ColorB(d));
            at(x, y) = shadow ? Shadow : Face;
            if (shadow && y < H - 1 && x < W - 1 && at(x + 1, y + 1) != Shadow)
                at(x + 1, y + 1) = Highlight;
        }
    }
    auto rgb = [](TColor c) {
        const TColor v = Platform::ColorToRGB(c);
        return qRgb(Platform::ColorR(v), Platform::ColorG(v), Platform::ColorB(v));
    };
    const QRgb face = rgb(clBtnFace), shadowC = rgb(clBtnShadow), highlight = rgb(clBtnHighlight);
    QImage out(W, H, QImage::Format_ARGB32);
    for (int y = 0; y < H; ++y) {
        auto* o = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < W; ++x) {
            switch (at(x, y)) {
            case Transparent: o[x] = 0; break;
            case Face: o[x] = face; break;
            case Shadow: o[x] = shadowC; break;
            case Highlight: o[x] = highlight; break;
            }
        }
    }
    return out;
}

void VTixImage::paintEvent(QPaintEvent*)
{
    if (m_saveMemory == vtiChanged8)
        ApplyKeepingPolicy();
    const QImage pic = m_prepared ? m_picture : Prepare();
    if (pic.isNull())
        return;
    QPainter p(this);
    p.drawImage(0, 0, pic);
}

void VTixImage::changeEvent(QEvent* Event)
{
    QWidget::changeEvent(Event);
    if (Event->type() == QEvent::EnabledChange)
        ChangeReaction();
}

void VTixImage::showEvent(QShowEvent* Event)
{
    QWidget::showEvent(Event);
    ChangeReaction();
}

void VTixImage::hideEvent(QHideEvent* Event)
{
    QWidget::hideEvent(Event);
    ChangeReaction();
}

void VTixImage::resizeEvent(QResizeEvent* Event)
{
    QWidget::resizeEvent(Event);
    // A picture stretched for the old size is stale.
    ChangeReaction();
}
