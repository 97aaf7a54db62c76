#include "platform/codepage.h"

#include <algorithm>
#include <array>
#include <iterator>
#include <cstdint>
#include <cstring>

namespace Platform {

namespace {
#include "platform/base_letters.inc"
#include "platform/codepage_tables.inc"

// The letter a letter is made of with an accent; 0 when none.
char16_t BaseLetter(char32_t letter)
{
    const auto* end = std::end(kBaseLetters);
    const auto* at = std::lower_bound(std::begin(kBaseLetters), end, letter,
                                      [](const TBaseLetter& e, char32_t c) { return e.letter < c; });
    return at != end && at->letter == letter ? at->base : char16_t(0);
}

const char16_t* highTable(int codePage)
{
    return codePage == CP_WESTERN ? kCp1252High : kCp1250High;
}

// The reverse of a high table, indexed by code point (every character of
// both code pages lies below U+2123): the byte, or 0 where the page has
// none. Texts are converted character by character, and a search of the
// 128 entries per character showed up in every conversion of a long text.
constexpr char32_t kReverseSize = 0x2123;
using TReverseTable = std::array<unsigned char, kReverseSize>;

constexpr TReverseTable reverseOf(const char16_t (&high)[128])
{
    TReverseTable table{};
    // Downwards, so the first byte of a character met twice wins.
    for (int i = 127; i >= 0; --i)
        if (high[i] < kReverseSize)
            table[high[i]] = static_cast<unsigned char>(0x80 + i);
    return table;
}

constexpr TReverseTable kCp1250Reverse = reverseOf(kCp1250High);
constexpr TReverseTable kCp1252Reverse = reverseOf(kCp1252High);

// Decodes one UTF-8 sequence at i; returns U+FFFD for a malformed one and
// always advances by at least one byte, never past the end.
char32_t nextUtf8(const std::string& s, size_t& i)
{
    const auto b0 = static_cast<unsigned char>(s[i]);
    if (b0 < 0x80) {
        ++i;
        return b0;
    }
    char32_t cp = 0;
    if (DecodeUtf8At(s, i, cp))
        return cp;
    ++i;
    return 0xFFFD;
}
}  // namespace

// Eight bytes at a time: every text lookup checks its section and key.
size_t AsciiRunLength(const std::string& s, size_t i)
{
    size_t j = i;
    const size_t n = s.size();
    for (; n - j >= 8; j += 8) {
        uint64_t word = 0;
        std::memcpy(&word, s.data() + j, sizeof(word));
        if (word & 0x8080808080808080ull)
            break;
    }
    while (j < n && static_cast<unsigned char>(s[j]) < 0x80)
        ++j;
    return j - i;
}

namespace {

// A table rather than a range test: the fold is looked up for both bytes
// of every position compared.
constexpr std::array<unsigned char, 256> UpperAsciiTable = [] {
    std::array<unsigned char, 256> table{};
    for (int i = 0; i < 256; ++i)
        table[size_t(i)] = static_cast<unsigned char>(i >= 'a' && i <= 'z' ? i - 'a' + 'A' : i);
    return table;
}();

}  // namespace

bool SameAsciiIC(const char* a, const char* b, size_t n)
{
    for (size_t i = 0; i < n; ++i)
        if (UpperAsciiTable[static_cast<unsigned char>(a[i])] != UpperAsciiTable[static_cast<unsigned char>(b[i])])
            return false;
    return true;
}

std::string Utf16ToAnsiFolded(const std::u16string& text, int codePage)
{
    bool lossy = false;
    std::string out = Utf16ToAnsi(text, codePage, '?', &lossy);
    if (!lossy)
        return out;
    out.clear();
    for (size_t i = 0; i < text.size();) {
        char32_t letter = NextUtf16(text, i);
        int b = UnicodeToAnsiChar(letter, codePage);
        while (b < 0 && (letter = BaseLetter(letter)) != 0)
            b = UnicodeToAnsiChar(letter, codePage);
        out += b < 0 ? '?' : char(b);
    }
    return out;
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
    if (codePoint >= kReverseSize)
        return -1;
    const unsigned char byte = (codePage == CP_WESTERN ? kCp1252Reverse : kCp1250Reverse)[codePoint];
    return byte == 0 ? -1 : byte;
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
    for (size_t i = 0; i < text.size();) {
        const char32_t cp = NextUtf16(text, i);
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

void AppendUtf8(std::string& out, char32_t cp)
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

bool DecodeUtf8At(const std::string& s, size_t& i, char32_t& cp)
{
    if (i >= s.size())
        return false;
    const auto b0 = static_cast<unsigned char>(s[i]);
    int extra;
    char32_t v;
    char32_t min;
    if (b0 >= 0xC2 && b0 <= 0xDF) {
        extra = 1, v = b0 & 0x1F, min = 0x80;
    } else if (b0 >= 0xE0 && b0 <= 0xEF) {
        extra = 2, v = b0 & 0x0F, min = 0x800;
    } else if (b0 >= 0xF0 && b0 <= 0xF4) {
        extra = 3, v = b0 & 0x07, min = 0x10000;
    } else {
        return false;
    }
    if (s.size() - i <= size_t(extra))
        return false;
    for (int k = 1; k <= extra; ++k) {
        const auto b = static_cast<unsigned char>(s[i + size_t(k)]);
        if ((b & 0xC0) != 0x80)
            return false;
        v = (v << 6) | (b & 0x3F);
    }
    if (v < min || v > 0x10FFFF || (v >= 0xD800 && v <= 0xDFFF))
        return false;
    i += size_t(extra) + 1;
    cp = v;
    return true;
}

char32_t NextUtf16(const std::u16string& text, size_t& i)
{
    char32_t cp = text[i++];
    if (cp >= 0xD800 && cp <= 0xDBFF && i < text.size() && text[i] >= 0xDC00 && text[i] <= 0xDFFF)
        cp = 0x10000 + ((cp - 0xD800) << 10) + (char32_t(text[i++]) - 0xDC00);
    return cp;
}

size_t Utf8ValidLength(const std::string& text)
{
    size_t i = 0;
    char32_t cp = 0;
    while (i < text.size()) {
        i += AsciiRunLength(text, i);
        if (i < text.size() && !DecodeUtf8At(text, i, cp))
            break;
    }
    return i;
}

size_t Utf8HeadLength(const std::string& text, size_t limit)
{
    if (text.size() <= limit)
        return text.size();
    size_t i = 0;
    char32_t cp = 0;
    while (i < limit) {
        size_t next = i;
        if (!DecodeUtf8At(text, next, cp))
            next = i + 1;
        if (next > limit)
            break;
        i = next;
    }
    return i;
}

std::string AnsiToUtf8(const std::string& text, int codePage)
{
    std::string out;
    out.reserve(text.size() + text.size() / 4);
    const char16_t* table = highTable(codePage);
    const size_t n = text.size();
    for (size_t i = 0; i < n;) {
        // Language texts are mostly ASCII: its runs are copied whole.
        const size_t run = AsciiRunLength(text, i);
        out.append(text, i, run);
        i += run;
        if (i < n)
            AppendUtf8(out, table[static_cast<unsigned char>(text[i++]) - 0x80]);
    }
    return out;
}

std::string Utf8ToAnsi(const std::string& text, int codePage, char replacement, bool* lossy)
{
    std::string out;
    out.reserve(text.size());
    bool lost = false;
    size_t i = 0;
    while (i < text.size()) {
        const size_t run = AsciiRunLength(text, i);
        out.append(text, i, run);
        i += run;
        if (i == text.size())
            break;
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
