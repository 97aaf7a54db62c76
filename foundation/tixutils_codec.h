#pragma once
#include <cstdint>
#include <string>

// Byte-level codecs: UTF-8 to and from UTF-16, CRC-8 and CRC-16, Base64,
// Base32 and XML character text.
namespace Tixutils {

// UTF-16 to UTF-8. A valid surrogate pair becomes one 4-byte sequence; a
// lone surrogate is written as its own 3-byte sequence, so nothing is lost.
std::string EncodeUTF8(const std::u16string& text);
// UTF-8 to UTF-16, never rejecting input: a lone lead byte gives its
// payload bits as a character, stray continuation bytes build a value of
// their own, code points above U+FFFF become surrogate pairs (values past
// U+10FFFF keep their low 16 bits), and an encoded NUL is dropped.
std::u16string DecodeUTF8(const std::string& bytes);

// CRC-8 with the reflected polynomial 0x8C (Dallas/Maxim 1-Wire), no final
// inversion, continued over count bytes.
void UpdateCRC8(uint8_t& crc, const void* data, int count);
uint8_t CountCRC8(const std::string& bytes);
// CRC-16 with the reflected polynomial 0x8408, complemented in and out:
// started from 0 it is the X.25 (ISO/IEC 13239) CRC.
void UpdateCRC16(uint16_t& crc, const void* data, int count);

// Base64 of RFC 4648; with pad the last group is completed with "=".
std::string EncodeBase64(const std::string& bytes, bool pad);
// "=" and characters outside the alphabet are skipped.
std::string DecodeBase64(const std::string& text);
// Base32 of RFC 4648 in lower case without padding. With selfCheck the
// result is converted back and a difference is reported to the debug sink.
std::string EncodeBase32(const std::string& bytes, bool selfCheck);
// Either letter case; "=" and characters outside the alphabet are skipped
// (with selfCheck such input is reported as a difference).
std::string DecodeBase32(const std::string& text, bool selfCheck);

// XML character text: & < > " as entities, characters below 32 as
// "&#NNN;" (three digits), bytes from 128 as the UTF-8 of the same code.
std::string EncodeXML8S(const std::string& bytes);
std::string EncodeXML8(const std::u16string& text);
// The reverse: UTF-8 sequences, the predefined entities and numeric
// character references become single characters. In the byte form a
// character above 255 becomes "?". Anything malformed is kept as it is.
std::string DecodeXML8S(const std::string& bytes);
std::u16string DecodeXML8(const std::string& bytes);

}  // namespace Tixutils
