#pragma once
#include <cstdint>
#include <string>

// Byte strings of the program are in a Windows ANSI code page. The data
// (messages, phonebook names, file rows, configuration values, the
// built-in Czech texts) are in the system code page, the same for the
// whole run whatever the interface language; only the texts of a language
// file are in that language's code page (1250 Czech, 1252 English). These
// tables convert both to and from Unicode where text leaves the program
// (Qt, UTF-8 files).
namespace Platform {

constexpr int CP_CZECH = 1250;
constexpr int CP_WESTERN = 1252;

// The system's ANSI code page: what every piece of data is held in (the
// SMS codec's alphabet tables are of this page).
constexpr int SystemCodePage() { return CP_CZECH; }
bool IsSupportedCodePage(int codePage);

// One byte to its Unicode code point (every byte has one).
char16_t AnsiCharToUnicode(unsigned char byte, int codePage);
// A code point to its byte; -1 when the code page has no such letter.
int UnicodeToAnsiChar(char32_t codePoint, int codePage);

std::u16string AnsiToUtf16(const std::string& text, int codePage);
// Letters the code page lacks become `replacement`; `lossy` tells whether any did.
std::string Utf16ToAnsi(const std::u16string& text, int codePage, char replacement = '?',
                        bool* lossy = nullptr);

// Text typed by the user into the code page: a letter the page lacks
// becomes the letter it is made of with an accent where the page has that
// (as Windows converts: "è" in cp1250 → "e", "ǖ" → "ü"), else "?".
std::string Utf16ToAnsiFolded(const std::u16string& text, int codePage);

// The number of bytes below 0x80 from `i` on: they read the same in every
// code page and in UTF-8.
size_t AsciiRunLength(const std::string& text, size_t i = 0);

// The first `n` bytes of `a` and `b` are equal with ASCII letters folded to
// upper case (other bytes compare as they are, so no code page's letters
// are folded). Every response line the handlers test goes through here.
bool SameAsciiIC(const char* a, const char* b, size_t n);

std::string AnsiToUtf8(const std::string& text, int codePage);

// One code point appended as UTF-8 (1 to 4 bytes).
void AppendUtf8(std::string& out, char32_t codePoint);
// One well-formed UTF-8 sequence of two or more bytes at `i` (shortest
// form, no surrogates, at most U+10FFFF): true with `i` past it; false, and
// nothing consumed, for anything else (ASCII included).
bool DecodeUtf8At(const std::string& text, size_t& i, char32_t& codePoint);
// The code point at `i`, a surrogate pair joined; `i` moves past it. A lone
// surrogate is returned as it is.
char32_t NextUtf16(const std::u16string& text, size_t& i);
// The length of the longest head of text that is well-formed UTF-8 (the
// whole text for UTF-8, ASCII included).
size_t Utf8ValidLength(const std::string& text);
// The length of the longest head of text of at most `limit` bytes that
// ends on a character boundary: a UTF-8 character the limit falls inside
// is left out whole (a byte that is no part of a well-formed character
// counts as a character of its own).
size_t Utf8HeadLength(const std::string& text, size_t limit);
// Malformed UTF-8 bytes count as lost letters.
std::string Utf8ToAnsi(const std::string& text, int codePage, char replacement = '?',
                       bool* lossy = nullptr);

}  // namespace Platform
