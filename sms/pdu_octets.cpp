#include "sms/pdu_octets.h"

#include "foundation/tixutils_gsm.h"

namespace SmsPdu {

namespace {

// ceil(a / b) for a > 0.
int64_t ceilDiv(int64_t a, int64_t b)
{
    return (a + b - 1) / b;
}

}  // namespace

uint8_t ToSwappedDecimal(int value)
{
    value = value < 0 ? 0 : value % 100;
    return uint8_t(value % 10 * 16 + value / 10);
}

int FromSwappedDecimal(uint8_t octet)
{
    return octet / 16 + octet % 16 * 10;
}

uint8_t ZoneOctet(int quarterHours)
{
    const bool negative = quarterHours < 0;
    const int q = (negative ? -quarterHours : quarterHours) % 80;
    return uint8_t(q % 10 << 4 | q / 10 | (negative ? 0x08 : 0));
}

int ZoneQuarterHours(uint8_t octet)
{
    const int q = (octet & 0x07) * 10 + (octet >> 4);
    return octet & 0x08 ? -q : q;
}

void PutSeptet(std::string& octets, int index, uint8_t septet)
{
    const int bit = index * 7;
    const size_t at = size_t(bit / 8);
    const int shift = bit % 8;
    const size_t need = size_t(SeptetOctets(index + 1));
    if (octets.size() < need)
        octets.resize(need, '\0');
    const unsigned value = unsigned(septet & 0x7F) << shift;
    octets[at] = char(uint8_t(octets[at]) | (value & 0xFF));
    if (shift > 1)
        octets[at + 1] = char(uint8_t(octets[at + 1]) | (value >> 8));
}

uint8_t GetSeptet(const uint8_t* octets, int count, int index)
{
    const int bit = index * 7;
    const int at = bit / 8;
    const int shift = bit % 8;
    unsigned value = at < count ? octets[at] : 0;
    if (at + 1 < count)
        value |= unsigned(octets[at + 1]) << 8;
    return uint8_t(value >> shift & 0x7F);
}

int PutTextSeptets(std::string& octets, int first, const std::string& text, int limit)
{
    int k = 0;
    for (char c : text) {
        const int extension = Tixutils::TranslateAscii2GSMExt(c);
        if (extension >= 0) {
            if (k + 2 > limit)
                break;
            PutSeptet(octets, first + k++, uint8_t(Tixutils::GsmEscape));
            PutSeptet(octets, first + k++, uint8_t(extension));
            continue;
        }
        if (k + 1 > limit)
            break;
        const int code = Tixutils::TranslateAscii2GSM(c);
        PutSeptet(octets, first + k++, uint8_t(code < 0 ? Tixutils::TranslateAscii2GSM('?') : code));
    }
    return k;
}

std::string GetTextSeptets(const uint8_t* octets, int count, int first, int last)
{
    std::string text;
    for (int k = first; k < last; ++k) {
        const uint8_t code = GetSeptet(octets, count, k);
        if (code != Tixutils::GsmEscape) {
            text += Tixutils::TranslateGSM2Ascii(code);
            continue;
        }
        if (++k >= last) {
            text += ' ';
            break;
        }
        const uint8_t next = GetSeptet(octets, count, k);
        const char extension = Tixutils::TranslateGSMExt2Ascii(next);
        text += extension ? extension : next == Tixutils::GsmEscape ? ' ' : Tixutils::TranslateGSM2Ascii(next);
    }
    return text;
}

int SeptetOctets(int septets)
{
    return septets <= 0 ? 0 : (septets * 7 + 7) / 8;
}

int HeaderSeptets(int headerOctets)
{
    return int(ceilDiv((int64_t(headerOctets) + 1) * 8, 7));
}

uint8_t RelativeValidityOctet(int64_t seconds)
{
    if (seconds < 300)
        return 0;
    if (seconds > 38102400)
        return 255;
    if (const int64_t v = ceilDiv(seconds, 300) - 1; v <= 143)
        return uint8_t(v);
    if (const int64_t v = ceilDiv(seconds - 43200, 1800) + 143; v <= 167)
        return uint8_t(v);
    if (const int64_t v = ceilDiv(seconds, 86400) + 166; v <= 196)
        return uint8_t(v);
    return uint8_t(ceilDiv(seconds, 604800) + 192);
}

int64_t RelativeValiditySeconds(uint8_t octet)
{
    if (octet <= 143)
        return (int64_t(octet) + 1) * 300;
    if (octet <= 167)
        return 43200 + (int64_t(octet) - 143) * 1800;
    if (octet <= 196)
        return (int64_t(octet) - 166) * 86400;
    return (int64_t(octet) - 192) * 604800;
}

}  // namespace SmsPdu
