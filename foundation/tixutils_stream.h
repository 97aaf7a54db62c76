#pragma once
#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>

// Values packed into a byte string used as a buffer. Pos counts the bytes
// already written or read; a writer may leave the buffer longer than Pos
// (it grows in steps), so whoever writes sets the length to Pos at the end.
//
// Encodings: integers are 4 bytes in two's complement, big-endian unless
// the name says LE; a string is its big-endian length then its bytes; a
// wide string is its big-endian count of 16-bit characters then two bytes
// per character, low byte first; a date-time is the IEEE double, low byte
// first.
namespace Tixutils {

// Raised when a reader would go past the end of the buffer.
class EStreamReadError : public std::runtime_error {
public:
    EStreamReadError() : std::runtime_error("ReadStreamedByte: reading after end of stream") {}
};

// When S is shorter than N, its length becomes the larger of N and
// length + length/10 + 9 (new bytes are zero); otherwise S is unchanged.
void EnsureStringSize(std::string& S, int N);

void WriteStreamedByte(int& Pos, std::string& Buf, uint8_t Value);
void WriteStreamedRaw(int& Pos, std::string& Buf, const void* Data, int Count);
void WriteStreamedRaw(int& Pos, std::string& Buf, const std::string& Data);
void WriteStreamedInteger(int& Pos, std::string& Buf, int32_t Value);
void WriteStreamedIntegerLE(int& Pos, std::string& Buf, int32_t Value);
// Digits hex characters ("0"-"9", "A"-"F"): the lowest Digits nibbles of
// Value, the most significant of them first.
void WriteStreamedHex(int& Pos, std::string& Buf, uint64_t Value, int Digits);
void WriteStreamedString(int& Pos, std::string& Buf, const std::string& Value);
void WriteStreamedWideString(int& Pos, std::string& Buf, const std::u16string& Value);
// DateTime: days since 1899-12-30 as a double.
void WriteStreamedDateTime(int& Pos, std::string& Buf, double Value);

// Readers throw EStreamReadError when the buffer ends before the value.
uint8_t ReadStreamedByte(int& Pos, const std::string& Buf);
int32_t ReadStreamedInteger(int& Pos, const std::string& Buf);
int32_t ReadStreamedIntegerLE(int& Pos, const std::string& Buf);
// A stored length below 1 gives an empty string.
std::string ReadStreamedString(int& Pos, const std::string& Buf);
std::u16string ReadStreamedWideString(int& Pos, const std::string& Buf);
double ReadStreamedDateTime(int& Pos, const std::string& Buf);

}  // namespace Tixutils
