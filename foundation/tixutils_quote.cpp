#include "foundation/tixutils_quote.h"

#include <cmath>
#include <cstring>
#include <limits>

namespace Tixutils {

int Asc2Hex(char c, int def)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return def;
}

char Hex2Asc(int value)
{
    if (value >= 0 && value <= 9)
        return char('0' + value);
    if (value >= 10 && value <= 15)
        return char('A' + value - 10);
    return '?';
}

std::string HexaStringToBytes(const std::string& text, bool& failed)
{
    failed = false;
    const size_t count = text.size() / 2;
    std::string out(count, '\0');
    for (size_t i = 0; i < count; ++i) {
        const int hi = Asc2Hex(text[2 * i], -1);
        const int lo = Asc2Hex(text[2 * i + 1], -1);
        if (hi < 0 || lo < 0)
            failed = true;
        else
            out[i] = char(hi * 16 + lo);
    }
    // A digit without its partner means the text was cut short.
    if (text.size() % 2 != 0)
        failed = true;
    return out;
}

std::string HexaStringToBytes(const std::string& text)
{
    bool failed = false;
    return HexaStringToBytes(text, failed);
}

std::string BytesToHexaString2(const void* buffer, int count)
{
    std::string out;
    if (buffer == nullptr || count <= 0)
        return out;
    const auto* p = static_cast<const unsigned char*>(buffer);
    out.resize(size_t(count) * 2);
    for (int i = 0; i < count; ++i) {
        out[2 * size_t(i)] = Hex2Asc(p[i] >> 4);
        out[2 * size_t(i) + 1] = Hex2Asc(p[i] & 0x0F);
    }
    return out;
}

std::string BytesToHexaString(const std::string& bytes)
{
    return BytesToHexaString2(bytes.data(), int(bytes.size()));
}

std::string BytesToHexaStringSpaced(const std::string& bytes)
{
    std::string out;
    out.reserve(bytes.size() * 3);
    for (char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        out += Hex2Asc(b >> 4);
        out += Hex2Asc(b & 0x0F);
        out += ' ';
    }
    return out;
}

std::string HexaStringSpacedToBytes(const std::string& text)
{
    std::string out;
    int pending = -1;  // a first digit waiting for its partner
    for (char c : text) {
        const int v = Asc2Hex(c, -1);
        if (v >= 0) {
            if (pending >= 0) {
                out += char(pending * 16 + v);
                pending = -1;
            } else {
                pending = v;
            }
            continue;
        }
        if (pending >= 0) {
            out += char(pending);
            pending = -1;
        }
        if (static_cast<unsigned char>(c) >= 33)
            out += c;
    }
    if (pending >= 0)
        out += char(pending);
    return out;
}

std::string AnsiQuotedStr(const std::string& text)
{
    std::string out = "\"";
    for (char c : text) {
        out += c;
        if (c == '"')
            out += '"';
    }
    out += '"';
    return out;
}

std::string TixQuotedStr(const std::string& text, bool keepControls)
{
    std::string out;
    bool open = false;
    for (char c : text) {
        const auto b = static_cast<unsigned char>(c);
        if (c == '"') {
            if (!open) {
                out += '"';
                open = true;
            }
            out += "\"\"";
        } else if (b < 32) {
            if (c != '\r' && c != '\n' && !keepControls)
                continue;
            if (open) {
                out += '"';
                open = false;
            }
            out += '#';
            out += std::to_string(b);
        } else {
            if (!open) {
                out += '"';
                open = true;
            }
            out += c;
        }
    }
    if (open)
        out += '"';
    return out;
}

std::string TixExtractQuotedStr(const std::string& text)
{
    enum State { Start, InRun, AfterRun, AfterHash, OneDigit, TwoDigits };
    std::string out;
    State state = Start;
    unsigned code = 0;
    const size_t n = text.size();
    for (size_t i = 0; i < n; ++i) {
        const char c = text[i];
        const bool digit = c >= '0' && c <= '9';
        switch (state) {
        case Start:
            if (c == '"') {
                state = InRun;
            } else if (c == '#') {
                code = 0;
                state = AfterHash;
            } else {
                out += c;
                state = InRun;
            }
            break;
        case InRun: {
            // The text up to the next quote is taken in one piece.
            const void* quote = std::memchr(text.data() + i, '"', n - i);
            const size_t end = quote ? size_t(static_cast<const char*>(quote) - text.data()) : n;
            out.append(text, i, end - i);
            i = end;
            if (quote)
                state = AfterRun;
            break;
        }
        case AfterRun:
            if (c == '"') {
                out += '"';
                state = InRun;
            } else if (c == '#') {
                code = 0;
                state = AfterHash;
            } else {
                return out;
            }
            break;
        case AfterHash:
            if (!digit)
                return out;
            code = unsigned(c - '0');
            state = OneDigit;
            break;
        case OneDigit:
        case TwoDigits:
            if (digit) {
                code = code * 10 + unsigned(c - '0');
                if (state == OneDigit) {
                    state = TwoDigits;
                } else {
                    out += char(code & 0xFF);
                    state = Start;
                }
                break;
            }
            out += char(code & 0xFF);
            if (c == '#') {
                code = 0;
                state = AfterHash;
            } else if (c == '"') {
                state = InRun;
            } else {
                return out;
            }
            break;
        }
    }
    if (state == OneDigit || state == TwoDigits)
        out += char(code & 0xFF);
    return out;
}

std::string HtmlExtractQuotedStr(const std::string& text)
{
    std::string out;
    if (text.empty() || text[0] != '"')
        return out;
    const size_t n = text.size();
    size_t i = 1;
    while (i < n) {
        const char c = text[i];
        if (c == '"')
            break;
        if (c != '%') {
            out += c;
            ++i;
            continue;
        }
        ++i;  // over the "%"
        const int d1 = i < n ? Asc2Hex(text[i], -1) : -1;
        if (d1 < 0) {
            // A "%" without a digit is dropped; what follows is literal.
            if (i < n)
                out += text[i++];
            continue;
        }
        ++i;
        const int d2 = i < n ? Asc2Hex(text[i], -1) : -1;
        if (d2 >= 0) {
            out += char(d1 * 16 + d2);
            ++i;
        } else {
            out += char(d1);
        }
    }
    return out;
}

void UpdateChecksum4(uint32_t& checksum, const std::string& text)
{
    uint32_t c = checksum;
    for (char ch : text) {
        const auto b = static_cast<unsigned char>(ch);
        for (int bit = 7; bit >= 0; --bit) {
            const bool top = (c & 0x80000000u) != 0;
            c = (c << 1) | ((b >> bit) & 1u);
            if (top)
                c ^= 0x80000005u;
        }
    }
    checksum = c;
}

uint32_t ComputeChecksum4(const std::vector<std::string>& lines)
{
    uint32_t c = 0;
    for (const auto& line : lines)
        UpdateChecksum4(c, line);
    return c;
}

// Halving a relative step until it no longer changes the value finds the
// neighbour for ordinary values; nextafter gives the same and also copes
// with zero, negative values, infinities and NaN, where the halving would
// go the wrong way or never end.
void IncDouble(double& x)
{
    x = std::nextafter(x, std::numeric_limits<double>::infinity());
}

void DecDouble(double& x)
{
    x = std::nextafter(x, -std::numeric_limits<double>::infinity());
}

}  // namespace Tixutils
