#pragma once
#include <cstdint>
#include <string>

// Byte strings of the program are in a Windows ANSI code page: 1250 for
// Czech, 1252 for English. These tables convert them to and from Unicode
// where text leaves the program (Qt, UTF-8 files).
namespace Platform {

constexpr int CP_CZECH = 1250;
constexpr int CP_WESTERN = 1252;

// The code page of the current language; 1250 until a language sets it.
int ActiveCodePage();
void SetActiveCodePage(int codePage);
bool IsSupportedCodePage(int codePage);

// One byte to its Unicode code point (every byte has one).
char16_t AnsiCharToUnicode(unsigned char byte, int codePage);
// A code point to its byte; -1 when the code page has no such letter.
int UnicodeToAnsiChar(char32_t codePoint, int codePage);

std::u16string AnsiToUtf16(const std::string& text, int codePage);
// Letters the code page lacks become `replacement`; `lossy` tells whether any did.
std::string Utf16ToAnsi(const std::u16string& text, int codePage, char replacement = '?',
                        bool* lossy = nullptr);

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
// Malformed UTF-8 bytes count as lost letters.
std::string Utf8ToAnsi(const std::string& text, int codePage, char replacement = '?',
                       bool* lossy = nullptr);

}  // namespace Platform
