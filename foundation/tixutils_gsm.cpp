#include "foundation/tixutils_gsm.h"

#include <algorithm>

#include "foundation/tixutils_text.h"
#include "platform/codepage.h"

namespace Tixutils {

namespace {

#include "foundation/tixutils_gsm_tables.inc"

constexpr char kTelDigits[] = "0123456789*#+BD?";

}  // namespace

char NibToTelAsc(uint8_t nibble)
{
    return nibble < 15 ? kTelDigits[nibble] : '?';
}

uint8_t TelAscToNib(char c, uint8_t def)
{
    if (c >= '0' && c <= '9')
        return uint8_t(c - '0');
    switch (c) {
    case '*': return 10;
    case '#': return 11;
    case '+': case 'C': case 'c': case 'P': case 'p': return 12;
    case 'B': case 'b': return 13;
    case 'D': case 'd': return 14;
    default: return def;
    }
}

int TranslateAscii2GSM(char c)
{
    const uint8_t v = kAnsiToGsm[static_cast<unsigned char>(c)];
    return v == 0xFF ? -1 : v;
}

int TranslateAscii2GSMExt(char c)
{
    for (const auto& e : kGsmExtension)
        if (e.ansi == static_cast<unsigned char>(c))
            return e.code;
    return -1;
}

char TranslateGSMExt2Ascii(int code)
{
    for (const auto& e : kGsmExtension)
        if (e.code == code)
            return char(e.ansi);
    return '\0';
}

int GsmSeptetLength(const std::string& text)
{
    int septets = 0;
    for (char c : text)
        septets += TranslateAscii2GSMExt(c) < 0 ? 1 : 2;
    return septets;
}

size_t GsmCharsFitting(const std::string& text, size_t pos, int septets)
{
    size_t n = pos;
    for (; n < text.size(); ++n) {
        const int need = TranslateAscii2GSMExt(text[n]) < 0 ? 1 : 2;
        if (need > septets)
            break;
        septets -= need;
    }
    return n - std::min(pos, n);
}

int TranslateAscii2GSM_U(char c)
{
    return Platform::AnsiCharToUnicode(static_cast<unsigned char>(c), Platform::CP_CZECH);
}

char TranslateGSM2Ascii(int code)
{
    if (code < 0 || code > 0xFFFF)
        return '?';
    if (code < 128) {
        const uint8_t v = kGsmToAnsi[code];
        return v == 0 ? '?' : char(v);
    }
    for (const auto& letter : kUnicodeLetters)
        if (letter.code == code)
            return char(letter.ansi);
    if (code == 0x00F1)  // n with tilde: the nearest Czech letter
        return char(0xF1);
    return '?';
}

char TranslateGSM2Ascii_U(int code)
{
    if (code < 0 || code > 0xFFFF)
        return '?';
    const int b = Platform::UnicodeToAnsiChar(char32_t(code), Platform::CP_CZECH);
    return b < 0 ? '?' : char(b);
}

std::string GsmNumberType2Phone(const std::string& number, int type)
{
    std::string text = TrimControls(number);
    // One "+" stands for the international type however many were given,
    // and "+" alone is no number: so what is shown reads back as itself.
    if (type == GsmTypeInternational)
        text.erase(0, text.find_first_not_of('+'));
    if (text.find_first_not_of('+') == std::string::npos)
        return std::string();
    if (type == GsmTypeInternational)
        text.insert(text.begin(), '+');
    if (text.find_first_of(" ,") != std::string::npos)
        text = '"' + text + '"';
    if (type != 0 && type != GsmTypeUnknown && type != GsmTypeInternational)
        text += ',' + std::to_string(type);
    return text;
}

bool GsmPhone2NumberType(const std::string& text, std::string& number, int& type)
{
    if (text.empty()) {
        number.clear();
        type = 0;
        return true;
    }
    type = GsmTypeUnknown;
    std::string rest;
    if (text[0] == '"') {
        const size_t close = text.find('"', 1);
        if (close == std::string::npos) {
            number.clear();
            return false;
        }
        number = text.substr(1, close - 1);
        if (number.empty())
            return false;
        rest = text.substr(close + 1);
    } else {
        const size_t comma = text.find(',');
        number = text.substr(0, comma);
        if (comma != std::string::npos)
            rest = text.substr(comma);
    }
    number = TrimControls(number);
    if (!number.empty() && number[0] == '+') {
        number.erase(0, number.find_first_not_of('+'));
        type = GsmTypeInternational;
    }
    if (!rest.empty() && rest[0] == ',') {
        const std::string t = TrimControls(rest.substr(1));
        if (t.empty() || t.size() > 3)
            return false;
        int v = 0;
        for (char c : t) {
            if (c < '0' || c > '9')
                return false;
            v = v * 10 + (c - '0');
        }
        if (v > 255)
            return false;
        type = v;
    }
    return true;
}

std::string GsmStripNumberFormatting(const std::string& number)
{
    std::string stripped;
    for (char c : number)
        if (c != ' ' && c != '-' && c != '(' && c != ')' && c != '.' && c != '/')
            stripped += c;
    return stripped;
}

bool GsmIsDialNumber(const std::string& number)
{
    const std::string stripped = GsmStripNumberFormatting(number);
    const size_t from = !stripped.empty() && stripped[0] == '+' ? 1 : 0;
    if (stripped.size() == from)
        return false;
    for (size_t i = from; i < stripped.size(); ++i)
        if (!((stripped[i] >= '0' && stripped[i] <= '9') || stripped[i] == '*' || stripped[i] == '#'))
            return false;
    return true;
}

std::string GsmNumberType2PDU(const std::string& number, uint8_t type, uint8_t mask)
{
    std::string out;
    if (number.empty()) {
        out += char(mask);
        out += char(mask ^ GsmTypeUnknown);
        return out;
    }
    // The count is one byte: a longer "number" is no phone number anyway.
    const std::string digits = number.substr(0, 255);
    out += char(uint8_t(digits.size()) ^ mask);
    out += char(type ^ mask);
    for (size_t i = 0; i < digits.size(); i += 2) {
        const uint8_t lo = TelAscToNib(digits[i], 15);
        const uint8_t hi = i + 1 < digits.size() ? TelAscToNib(digits[i + 1], 15) : 0x0F;
        out += char(uint8_t(hi << 4 | lo) ^ mask);
    }
    return out;
}

bool GsmPDU2NumberType(const std::string& field, std::string& number, uint8_t& type, uint8_t mask)
{
    number.clear();
    type = 0;
    if (field.empty())
        return false;
    const unsigned count = static_cast<unsigned char>(field[0]) ^ mask;
    if (count == 0)
        return true;
    if (field.size() < 2)
        return false;
    type = uint8_t(static_cast<unsigned char>(field[1]) ^ mask);
    if (type == GsmTypeInternational)
        number += '+';
    for (unsigned i = 0; i < count; ++i) {
        const size_t at = 2 + i / 2;
        if (at >= field.size())
            return false;
        const uint8_t b = uint8_t(static_cast<unsigned char>(field[at]) ^ mask);
        number += NibToTelAsc(i % 2 == 0 ? (b & 0x0F) : (b >> 4));
    }
    return true;
}

}  // namespace Tixutils
