#pragma once
#include <QRect>
#include <QSize>
#include <string>

// The arithmetic of the DPI fix-up: forms were designed at 96 pixels per
// inch, with a 20-pixel menu bar and 25-pixel caption buttons; on a system
// with other metrics their client area is scaled by the ratio of the form
// font's text height now (h) to the height it had at the design's pixels
// per inch (r).
struct TCachedSystemMetrics {
    int PixelsPerInch = 96;
    int MenuHeight = 20;
    int CaptionButtonHeight = 25;
};

namespace DpiFix {

// a * b / c rounded to the nearest (halves away from zero), as the
// platform's multiply-divide; -1 when c is 0.
int MulDiv(int a, int b, int c);

// h and r of a font that measures textHeight at pixelsPerInch:
// r = (reference ppi x h + 30) / ppi, except for three fonts at 120 ppi
// whose heights the system rounds its own way (Tahoma 16 and 17: r 13;
// MS Shell Dlg 2 17: r 19 with h taken as 25).
struct TTextScale {
    int h = 1;
    int r = 1;
};
TTextScale TextScale(int pixelsPerInch, int textHeight, const std::string& fontFamily,
                     const TCachedSystemMetrics& reference);

// The client size of a form after the fix-up: a sizeable form's height
// first grows by the difference of the caption buttons' heights; width and
// height are then scaled by h / r, a form with a menu bar its height plus
// the difference of the menu heights.
QSize FixedClientSize(QSize client, TTextScale scale, bool sizeable, bool hasMenu,
                      const TCachedSystemMetrics& reference, const TCachedSystemMetrics& system);

// Left, top, width and height each scaled by h / r.
QRect ScaledRect(const QRect& rect, TTextScale scale);

}  // namespace DpiFix
