#include "platform/codepage.h"

#include <atomic>

namespace Platform {

namespace {
#include "platform/codepage_tables.inc"

std::atomic<int> g_activeCodePage{CP_CZECH};

const char16_t* highTable(int codePage)
{
    return codePage == CP_WESTERN ? kCp1252High : kCp1250High;
}

void appendUtf8(std::string& out, char32_t cp)
{
    if (cp < 0x80) {
        out += char(cp);
    } else if (cp < 0x800) {
        out += char(0xC0 | (cp >> 6));
        out += char(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += char(0xE0 | (cp >> 12));
        out += char(0x80 | ((cp >> 6) & 0x3F));
        out += char(0x80 | (cp & 0x3F));
    } else {
        out += char(0xF0 | (cp >> 18));
        out += char(0x80 | ((cp >> 12) & 0x3F));
        out += char(0x80 | ((cp >> 6) & 0x3F));
        out += char(0x80 | (cp & 0x3F));
    }
}

// Decodes one UTF-8 sequence at i; returns U+FFFD for a malformed one and
// always advances by at least one byte, never past the end.
char32_t nextUtf8(const std::string& s, size_t& i)
{
    const auto b0 = static_cast<unsigned char>(s[i]);
    if (b0 < 0x80) {
        ++i;
        return b0;
    }
    int extra = 0;
    char32_t cp = 0;
    if ((b0 & 0xE0) == 0xC0) {
        extra = 1;
        cp = b0 & 0x1F;
    } else if ((b0 & 0xF0) == 0xE0) {
        extra = 2;
        cp = b0 & 0x0F;
    } else if ((b0 & 0xF8) == 0xF0) {
        extra = 3;
        cp = b0 & 0x07;
    } else {
        ++i;
        return 0xFFFD;
    }
    if (i + extra >= s.size()) {
        ++i;
        return 0xFFFD;
    }
    for (int k = 1; k <= extra; ++k) {
        const auto b = static_cast<unsigned char>(s[i + k]);
        if ((b & 0xC0) != 0x80) {
            ++i;
            return 0xFFFD;
        }
        cp = (cp << 6) | (b & 0x3F);
    }
    static const char32_t minimum[] = {0, 0x80, 0x800, 0x10000};
    if (cp < minimum[extra] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
        ++i;
        return 0xFFFD;
    }
    i += extra + 1;
    return cp;
}
}  // namespace

int ActiveCodePage() { return g_activeCodePage.load(std::memory_order_relaxed); }

void SetActiveCodePage(int codePage)
{
    if (IsSupportedCodePage(codePage))
        g_activeCodePage.store(codePage, std::memory_order_relaxed);
}

bool IsSupportedCodePage(int codePage) { return codePage == CP_CZECH || codePage == CP_WESTERN; }

char16_t AnsiCharToUnicode(unsigned char byte, int codePage)
{
    if (byte < 0x80)
        return byte;
    return highTable(codePage)[byte - 0x80];
}

int UnicodeToAnsiChar(char32_t codePoint, int codePage)
{
    if (codePoint < 0x80)
        return int(codePoint);
    const char16_t* table = highTable(codePage);
    for (int i = 0; i < 128; ++i)
        if (table[i] == codePoint)
            return 0x80 + i;
    return -1;
}

std::u16string AnsiToUtf16(const std::string& text, int codePage)
{
    std::u16string out;
    out.reserve(text.size());
    const char16_t* table = highTable(codePage);
    for (char c : text) {
        const auto b = static_cast<unsigned char>(c);
        out += b < 0x80 ? char16_t(b) : table[b - 0x80];
    }
    return out;
}

std::string Utf16ToAnsi(const std::u16string& text, int codePage, char replacement, bool* lossy)
{
    std::string out;
    out.reserve(text.size());
    bool lost = false;
    for (size_t i = 0; i < text.size(); ++i) {
        char32_t cp = text[i];
        if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
            text[i + 1] <= 0xDFFF) {
            cp = 0x10000 + ((cp - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            ++i;
        }
        const int b = UnicodeToAnsiChar(cp, codePage);
        if (b < 0) {
            out += replacement;
            lost = true;
        } else {
            out += char(b);
        }
    }
    if (lossy)
        *lossy = lost;
    return out;
}

std::string AnsiToUtf8(const std::string& text, int codePage)
{
    std::string out;
    out.reserve(text.size() + text.size() / 4);
    for (char c : text)
        appendUtf8(out, AnsiCharToUnicode(static_cast<unsigned char>(c), codePage));
    return out;
}

std::string Utf8ToAnsi(const std::string& text, int codePage, char replacement, bool* lossy)
{
    std::string out;
    out.reserve(text.size());
    bool lost = false;
    size_t i = 0;
    while (i < text.size()) {
        const char32_t cp = nextUtf8(text, i);
        const int b = cp == 0xFFFD ? -1 : UnicodeToAnsiChar(cp, codePage);
        if (b < 0) {
            out += replacement;
            lost = true;
        } else {
            out += char(b);
        }
    }
    if (lossy)
        *lossy = lost;
    return out;
}

}  // namespace Platform
