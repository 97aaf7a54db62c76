#pragma once
#include <QCoreApplication>
#include <QEvent>
#include <QImage>
#include <QWidget>
#include <functional>

#include "tests/support/input_devices.h"

#include "platform/colors.h"
#include "platform/qt/qt_text.h"

namespace WidgetTest {

using TestSupport::AppWithDevices;
using TestSupport::SendKeyEvent;
using TestSupport::SendMouseEvent;

// The widget painted into an image that starts out in Background.
inline QImage Render(QWidget* w, QColor background = QColor(0x12, 0x34, 0x56))
{
    QImage img(w->size(), QImage::Format_ARGB32);
    img.fill(background);
    w->render(&img, QPoint(), QRegion(), QWidget::DrawChildren);
    return img;
}

inline TColor PixelColor(const QImage& img, int x, int y)
{
    const QRgb p = img.pixel(x, y);
    return Platform::MakeColor(uint8_t(qRed(p)), uint8_t(qGreen(p)), uint8_t(qBlue(p)));
}

inline TColor Rgb(TColor c) { return Platform::ColorToRGB(c); }

// Counts the paint events a widget receives.
class PaintCounter : public QObject {
public:
    explicit PaintCounter(QWidget* w) : m_w(w) { w->installEventFilter(this); }
    ~PaintCounter() override { m_w->removeEventFilter(this); }
    int count = 0;

protected:
    bool eventFilter(QObject* o, QEvent* e) override
    {
        if (o == m_w && e->type() == QEvent::Paint)
            ++count;
        return false;
    }

private:
    QWidget* m_w;
};

inline void Flush()
{
    for (int i = 0; i < 5; ++i)
        QCoreApplication::processEvents();
}

// How many paints the action causes on a shown widget.
inline int PaintsCausedBy(QWidget* w, const std::function<void()>& action)
{
    Flush();
    PaintCounter counter(w);
    action();
    Flush();
    return counter.count;
}

}  // namespace WidgetTest
