#include "platform/qt/qt_text.h"

#include "platform/codepage.h"

namespace Platform {

QString ToQString(const std::string& ansi) { return ToQString(ansi, SystemCodePage()); }

QString ToQString(const std::string& ansi, int codePage)
{
    const std::u16string u = AnsiToUtf16(ansi, codePage);
    return QString::fromUtf16(u.data(), qsizetype(u.size()));
}

std::string FromQString(const QString& text) { return FromQString(text, SystemCodePage()); }

std::string FromQString(const QString& text, int codePage)
{
    return Utf16ToAnsiFolded(text.toStdU16String(), codePage);
}

QColor ToQColor(TColor color)
{
    if (color == clNone)
        return QColor(0, 0, 0, 0);
    const TColor rgb = ColorToRGB(color);
    return QColor(ColorR(rgb), ColorG(rgb), ColorB(rgb));
}

TColor FromQColor(const QColor& color)
{
    if (color.alpha() == 0)
        return clNone;
    return MakeColor(uint8_t(color.red()), uint8_t(color.green()), uint8_t(color.blue()));
}

}  // namespace Platform
