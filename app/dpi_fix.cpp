#include "app/dpi_fix.h"

#include <cstdint>
#include <cstdlib>

namespace DpiFix {

int MulDiv(int a, int b, int c)
{
    if (c == 0)
        return -1;
    const int64_t n = int64_t(a) * b;
    const int64_t d = c;
    const int64_t q = (std::llabs(n) + std::llabs(d) / 2) / std::llabs(d);
    return int((n < 0) != (d < 0) ? -q : q);
}

TTextScale TextScale(int pixelsPerInch, int textHeight, const std::string& fontFamily,
                     const TCachedSystemMetrics& reference)
{
    TTextScale s;
    s.h = textHeight;
    if (pixelsPerInch == 120 && fontFamily == "Tahoma" && (textHeight == 16 || textHeight == 17)) {
        s.r = 13;
    } else if (pixelsPerInch == 120 && fontFamily == "MS Shell Dlg 2" && textHeight == 17) {
        s.r = 19;
        s.h = 25;
    } else {
        s.r = pixelsPerInch > 0 ? (reference.PixelsPerInch * textHeight + 30) / pixelsPerInch : textHeight;
    }
    if (s.h <= 0 || s.r <= 0)
        s.h = s.r = 1;  // a font that measures nothing scales nothing
    return s;
}

QSize FixedClientSize(QSize client, TTextScale scale, bool sizeable, bool hasMenu,
                      const TCachedSystemMetrics& reference, const TCachedSystemMetrics& system)
{
    int w = client.width();
    int c = client.height();
    if (sizeable)
        c += system.CaptionButtonHeight - reference.CaptionButtonHeight;
    w = MulDiv(w, scale.h, scale.r);
    if (hasMenu)
        c = MulDiv(c + system.MenuHeight - reference.MenuHeight, scale.h, scale.r);
    else
        c = MulDiv(c, scale.h, scale.r);
    return QSize(w, c);
}

QRect ScaledRect(const QRect& rect, TTextScale scale)
{
    return QRect(MulDiv(rect.left(), scale.h, scale.r), MulDiv(rect.top(), scale.h, scale.r),
                 MulDiv(rect.width(), scale.h, scale.r), MulDiv(rect.height(), scale.h, scale.r));
}

}  // namespace DpiFix
