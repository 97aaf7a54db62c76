#include "foundation/tixutils_codec.h"

#include <array>

#include "foundation/tixutils_debug.h"
#include "platform/codepage.h"

namespace Tixutils {

namespace {

using Platform::AppendUtf8;

void appendUtf16(std::u16string& out, uint32_t c)
{
    if (c >= 0x10000 && c <= 0x10FFFF) {
        c -= 0x10000;
        out += char16_t(0xD800 + (c >> 10));
        out += char16_t(0xDC00 + (c & 0x3FF));
    } else {
        out += char16_t(c & 0xFFFF);
    }
}

const char kBase64[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
const char kBase32[] = "abcdefghijklmnopqrstuvwxyz234567";

int base64Value(char c)
{
    if (c >= 'A' && c <= 'Z')
        return c - 'A';
    if (c >= 'a' && c <= 'z')
        return c - 'a' + 26;
    if (c >= '0' && c <= '9')
        return c - '0' + 52;
    if (c == '+')
        return 62;
    if (c == '/')
        return 63;
    return -1;
}

int base32Value(char c)
{
    if (c >= 'a' && c <= 'z')
        return c - 'a';
    if (c >= 'A' && c <= 'Z')
        return c - 'A';
    if (c >= '2' && c <= '7')
        return c - '2' + 26;
    return -1;
}

// Bytes from `Width`-bit digits; characters that are no digit are skipped
// and bits left over at the end are dropped.
template <int Width, typename DigitValue>
std::string decodeGroups(const std::string& text, DigitValue digitValue)
{
    std::string out;
    out.reserve(text.size() * Width / 8);
    uint32_t acc = 0;
    int bits = 0;
    for (char c : text) {
        const int v = digitValue(c);
        if (v < 0)
            continue;
        acc = (acc << Width) | uint32_t(v);
        bits += Width;
        if (bits >= 8) {
            bits -= 8;
            out += char((acc >> bits) & 0xFF);
        }
    }
    return out;
}

constexpr std::array<uint8_t, 256> makeCrc8Table()
{
    std::array<uint8_t, 256> t{};
    for (int i = 0; i < 256; ++i) {
        uint8_t c = uint8_t(i);
        for (int k = 0; k < 8; ++k)
            c = (c & 1) ? uint8_t((c >> 1) ^ 0x8C) : uint8_t(c >> 1);
        t[size_t(i)] = c;
    }
    return t;
}
constexpr std::array<uint8_t, 256> kCrc8Table = makeCrc8Table();

// Writes a character of the XML texts: entities, codes below 32, plain
// ASCII, UTF-8 for the rest.
void appendXmlChar(std::string& out, char32_t c)
{
    switch (c) {
    case '&': out += "&amp;"; return;
    case '<': out += "&lt;"; return;
    case '>': out += "&gt;"; return;
    case '"': out += "&quot;"; return;
    default: break;
    }
    if (c < 32) {
        out += "&#";
        out += char('0' + c / 100);
        out += char('0' + c / 10 % 10);
        out += char('0' + c % 10);
        out += ';';
        return;
    }
    AppendUtf8(out, c);
}

// The character of an entity or character reference starting with "&" at
// i; false (nothing consumed) when there is none.
bool xmlReference(const std::string& s, size_t& i, char32_t& c)
{
    static const struct { const char* name; char value; } kEntities[] = {
        {"&amp;", '&'}, {"&lt;", '<'}, {"&gt;", '>'}, {"&quot;", '"'}, {"&apos;", '\''}};
    for (const auto& e : kEntities) {
        const size_t n = std::char_traits<char>::length(e.name);
        if (s.compare(i, n, e.name) == 0) {
            c = char32_t(e.value);
            i += n;
            return true;
        }
    }
    if (s.compare(i, 2, "&#") != 0)
        return false;
    size_t j = i + 2;
    const bool hex = j < s.size() && (s[j] == 'x' || s[j] == 'X');
    if (hex)
        ++j;
    uint32_t v = 0;
    size_t digits = 0;
    for (; j < s.size() && digits < 8; ++j, ++digits) {
        const char d = s[j];
        int dv;
        if (d >= '0' && d <= '9')
            dv = d - '0';
        else if (hex && d >= 'a' && d <= 'f')
            dv = d - 'a' + 10;
        else if (hex && d >= 'A' && d <= 'F')
            dv = d - 'A' + 10;
        else
            break;
        v = v * (hex ? 16 : 10) + uint32_t(dv);
    }
    if (digits == 0 || j >= s.size() || s[j] != ';' || v > 0x10FFFF)
        return false;
    c = v;
    i = j + 1;
    return true;
}

// The characters of an XML text in order: references, UTF-8 sequences,
// and any other byte as the character of the same code.
template <class Emit>
void decodeXml(const std::string& s, Emit emit)
{
    size_t i = 0;
    while (i < s.size()) {
        char32_t c;
        if (s[i] == '&' && xmlReference(s, i, c)) {
            emit(c);
        } else if (static_cast<unsigned char>(s[i]) >= 0x80 && Platform::DecodeUtf8At(s, i, c)) {
            emit(c);
        } else {
            emit(char32_t(static_cast<unsigned char>(s[i])));
            ++i;
        }
    }
}

}  // namespace

std::string EncodeUTF8(const std::u16string& text)
{
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size();) {
        const char32_t c = Platform::NextUtf16(text, i);
        AppendUtf8(out, c);
    }
    return out;
}

std::u16string DecodeUTF8(const std::string& bytes)
{
    std::u16string out;
    out.reserve(bytes.size());
    uint32_t pending = 0;
    for (char ch : bytes) {
        const auto b = static_cast<unsigned char>(ch);
        if (b < 0x80) {
            if (pending != 0)
                appendUtf16(out, pending);
            pending = 0;
            out += char16_t(b);
        } else if (b < 0xC0) {
            pending = pending * 64 + (b & 0x3F);
        } else {
            if (pending != 0)
                appendUtf16(out, pending);
            if (b < 0xE0)
                pending = b & 0x1F;
            else if (b < 0xF0)
                pending = b & 0x0F;
            else if (b < 0xF8)
                pending = b & 0x07;
            else if (b < 0xFC)
                pending = b & 0x03;
            else if (b < 0xFE)
                pending = b & 0x01;
            else
                pending = 0;
        }
    }
    if (pending != 0)
        appendUtf16(out, pending);
    return out;
}

void UpdateCRC8(uint8_t& crc, const void* data, int count)
{
    if (data == nullptr || count <= 0)
        return;
    const auto* p = static_cast<const unsigned char*>(data);
    uint8_t table = crc;
    uint8_t bits = crc;
    for (int i = 0; i < count; ++i) {
        table = kCrc8Table[table ^ p[i]];
        bits ^= p[i];
        for (int k = 0; k < 8; ++k)
            bits = (bits & 1) ? uint8_t((bits >> 1) ^ 0x8C) : uint8_t(bits >> 1);
    }
    if (table != bits)
        DoGlobalDebug("Chyba v UpdateCRC8");
    crc = table;
}

uint8_t CountCRC8(const std::string& bytes)
{
    uint8_t crc = 0;
    UpdateCRC8(crc, bytes.data(), int(bytes.size()));
    return crc;
}

void UpdateCRC16(uint16_t& crc, const void* data, int count)
{
    if (data == nullptr || count <= 0)
        return;
    const auto* p = static_cast<const unsigned char*>(data);
    uint16_t reg = uint16_t(~crc);
    for (int i = 0; i < count; ++i) {
        reg ^= p[i];
        for (int k = 0; k < 8; ++k)
            reg = (reg & 1) ? uint16_t((reg >> 1) ^ 0x8408) : uint16_t(reg >> 1);
    }
    crc = uint16_t(~reg);
}

std::string EncodeBase64(const std::string& bytes, bool pad)
{
    std::string out;
    out.reserve((bytes.size() + 2) / 3 * 4);
    size_t i = 0;
    const size_t n = bytes.size();
    auto at = [&](size_t k) { return uint32_t(static_cast<unsigned char>(bytes[k])); };
    for (; i + 3 <= n; i += 3) {
        const uint32_t v = at(i) << 16 | at(i + 1) << 8 | at(i + 2);
        out += kBase64[v >> 18];
        out += kBase64[(v >> 12) & 63];
        out += kBase64[(v >> 6) & 63];
        out += kBase64[v & 63];
    }
    if (n - i == 1) {
        const uint32_t v = at(i) << 16;
        out += kBase64[v >> 18];
        out += kBase64[(v >> 12) & 63];
        if (pad)
            out += "==";
    } else if (n - i == 2) {
        const uint32_t v = at(i) << 16 | at(i + 1) << 8;
        out += kBase64[v >> 18];
        out += kBase64[(v >> 12) & 63];
        out += kBase64[(v >> 6) & 63];
        if (pad)
            out += '=';
    }
    return out;
}

std::string DecodeBase64(const std::string& text)
{
    return decodeGroups<6>(text, base64Value);
}

namespace {

std::string encodeBase32(const std::string& bytes)
{
    std::string out;
    out.reserve((bytes.size() * 8 + 4) / 5);
    uint32_t acc = 0;
    int bits = 0;
    for (char c : bytes) {
        acc = (acc << 8) | static_cast<unsigned char>(c);
        bits += 8;
        while (bits >= 5) {
            bits -= 5;
            out += kBase32[(acc >> bits) & 31];
        }
    }
    if (bits > 0)
        out += kBase32[(acc << (5 - bits)) & 31];
    return out;
}

std::string decodeBase32(const std::string& text)
{
    return decodeGroups<5>(text, base32Value);
}

}  // namespace

std::string EncodeBase32(const std::string& bytes, bool selfCheck)
{
    std::string out = encodeBase32(bytes);
    if (selfCheck && decodeBase32(out) != bytes)
        DoGlobalDebug("EncodeBase32: chyba");
    return out;
}

std::string DecodeBase32(const std::string& text, bool selfCheck)
{
    std::string out = decodeBase32(text);
    if (selfCheck) {
        std::string lower = text;
        for (char& c : lower)
            if (c >= 'A' && c <= 'Z')
                c = char(c - 'A' + 'a');
        if (encodeBase32(out) != lower)
            DoGlobalDebug("DecodeBase32: chyba");
    }
    return out;
}

std::string EncodeXML8S(const std::string& bytes)
{
    std::string out;
    out.reserve(bytes.size());
    for (char c : bytes)
        appendXmlChar(out, char32_t(static_cast<unsigned char>(c)));
    return out;
}

std::string EncodeXML8(const std::u16string& text)
{
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size();) {
        const char32_t c = Platform::NextUtf16(text, i);
        appendXmlChar(out, c);
    }
    return out;
}

std::string DecodeXML8S(const std::string& bytes)
{
    std::string out;
    out.reserve(bytes.size());
    decodeXml(bytes, [&](char32_t c) { out += c <= 0xFF ? char(c) : '?'; });
    return out;
}

std::u16string DecodeXML8(const std::string& bytes)
{
    std::u16string out;
    out.reserve(bytes.size());
    decodeXml(bytes, [&](char32_t c) { appendUtf16(out, c); });
    return out;
}

}  // namespace Tixutils
