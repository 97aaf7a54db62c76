#include "foundation/tixutils_stream.h"

#include <cstring>

namespace Tixutils {

void EnsureStringSize(std::string& S, int N)
{
    if (N < 0 || S.size() >= size_t(N))
        return;
    const size_t len = S.size();
    const size_t stepped = len + len / 10 + 9;
    S.resize(stepped > size_t(N) ? stepped : size_t(N), '\0');
}

void WriteStreamedByte(int& Pos, std::string& Buf, uint8_t Value)
{
    ++Pos;
    EnsureStringSize(Buf, Pos);
    Buf[size_t(Pos) - 1] = char(Value);
}

void WriteStreamedRaw(int& Pos, std::string& Buf, const void* Data, int Count)
{
    if (Count <= 0 || Data == nullptr)
        return;
    EnsureStringSize(Buf, Pos + Count);
    std::memcpy(&Buf[size_t(Pos)], Data, size_t(Count));
    Pos += Count;
}

void WriteStreamedRaw(int& Pos, std::string& Buf, const std::string& Data)
{
    WriteStreamedRaw(Pos, Buf, Data.data(), int(Data.size()));
}

void WriteStreamedInteger(int& Pos, std::string& Buf, int32_t Value)
{
    const uint32_t v = uint32_t(Value);
    for (int shift = 24; shift >= 0; shift -= 8)
        WriteStreamedByte(Pos, Buf, uint8_t(v >> shift));
}

void WriteStreamedIntegerLE(int& Pos, std::string& Buf, int32_t Value)
{
    const uint32_t v = uint32_t(Value);
    for (int shift = 0; shift <= 24; shift += 8)
        WriteStreamedByte(Pos, Buf, uint8_t(v >> shift));
}

void WriteStreamedHex(int& Pos, std::string& Buf, uint64_t Value, int Digits)
{
    static const char kHex[] = "0123456789ABCDEF";
    for (int i = Digits - 1; i >= 0; --i) {
        // Nibbles above the 64 bits of the value are zero.
        const unsigned nibble = i < 16 ? unsigned((Value >> (4 * i)) & 0xF) : 0u;
        WriteStreamedByte(Pos, Buf, uint8_t(kHex[nibble]));
    }
}

void WriteStreamedString(int& Pos, std::string& Buf, const std::string& Value)
{
    WriteStreamedInteger(Pos, Buf, int32_t(Value.size()));
    WriteStreamedRaw(Pos, Buf, Value);
}

void WriteStreamedWideString(int& Pos, std::string& Buf, const std::u16string& Value)
{
    WriteStreamedInteger(Pos, Buf, int32_t(Value.size()));
    for (char16_t c : Value) {
        WriteStreamedByte(Pos, Buf, uint8_t(c & 0xFF));
        WriteStreamedByte(Pos, Buf, uint8_t(c >> 8));
    }
}

void WriteStreamedDateTime(int& Pos, std::string& Buf, double Value)
{
    uint64_t bits = 0;
    static_assert(sizeof bits == sizeof Value);
    std::memcpy(&bits, &Value, sizeof bits);
    for (int shift = 0; shift < 64; shift += 8)
        WriteStreamedByte(Pos, Buf, uint8_t(bits >> shift));
}

uint8_t ReadStreamedByte(int& Pos, const std::string& Buf)
{
    if (Pos < 0 || size_t(Pos) >= Buf.size())
        throw EStreamReadError();
    return uint8_t(Buf[size_t(Pos++)]);
}

int32_t ReadStreamedInteger(int& Pos, const std::string& Buf)
{
    uint32_t v = 0;
    for (int i = 0; i < 4; ++i)
        v = (v << 8) | ReadStreamedByte(Pos, Buf);
    return int32_t(v);
}

int32_t ReadStreamedIntegerLE(int& Pos, const std::string& Buf)
{
    uint32_t v = 0;
    for (int shift = 0; shift <= 24; shift += 8)
        v |= uint32_t(ReadStreamedByte(Pos, Buf)) << shift;
    return int32_t(v);
}

namespace {
// A length field larger than what is left cannot be satisfied; fail before
// allocating for it.
void RequireBytes(int Pos, const std::string& Buf, uint64_t count)
{
    if (Pos < 0 || uint64_t(Pos) + count > Buf.size())
        throw EStreamReadError();
}
}  // namespace

std::string ReadStreamedString(int& Pos, const std::string& Buf)
{
    const int32_t len = ReadStreamedInteger(Pos, Buf);
    if (len < 1)
        return {};
    RequireBytes(Pos, Buf, uint64_t(len));
    std::string out = Buf.substr(size_t(Pos), size_t(len));
    Pos += len;
    return out;
}

std::u16string ReadStreamedWideString(int& Pos, const std::string& Buf)
{
    const int32_t len = ReadStreamedInteger(Pos, Buf);
    if (len < 1)
        return {};
    RequireBytes(Pos, Buf, uint64_t(len) * 2);
    std::u16string out;
    out.reserve(size_t(len));
    for (int32_t i = 0; i < len; ++i) {
        const uint8_t lo = ReadStreamedByte(Pos, Buf);
        const uint8_t hi = ReadStreamedByte(Pos, Buf);
        out.push_back(char16_t(lo | (hi << 8)));
    }
    return out;
}

double ReadStreamedDateTime(int& Pos, const std::string& Buf)
{
    uint64_t bits = 0;
    for (int shift = 0; shift < 64; shift += 8)
        bits |= uint64_t(ReadStreamedByte(Pos, Buf)) << shift;
    double v = 0;
    std::memcpy(&v, &bits, sizeof v);
    return v;
}

}  // namespace Tixutils
