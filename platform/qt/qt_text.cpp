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
    const std::u16string u(reinterpret_cast<const char16_t*>(text.utf16()), size_t(text.size()));
    bool lossy = false;
    std::string out = Utf16ToAnsi(u, codePage, '?', &lossy);
    if (!lossy)
        return out;
    // As Windows converts to an ANSI code page: a letter the page lacks
    // becomes its plain base letter where the page has that ("è" → "e"),
    // else "?".
    out.clear();
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            out += '?';
            ++i;
            continue;
        }
        int b = UnicodeToAnsiChar(c.unicode(), codePage);
        if (b < 0) {
            const QString base = c.decomposition();
            if (c.decompositionTag() == QChar::Canonical && !base.isEmpty())
                b = UnicodeToAnsiChar(base[0].unicode(), codePage);
        }
        out += b < 0 ? '?' : char(b);
    }
    return out;
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
