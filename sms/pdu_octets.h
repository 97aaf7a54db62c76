#pragma once
#include <cstdint>
#include <string>

// The small octet-level pieces of TS 23.040 that the PDU codec of
// VTixSMSRecord is made of: swapped decimal semi-octets, the time-zone
// octet, 7-bit septet packing and the relative validity period.
namespace SmsPdu {

// A value 0-99 as an octet of two swapped decimal semi-octets (15 -> 0x51),
// and back (a nibble above 9 still counts: 0xFF -> 165).
uint8_t ToSwappedDecimal(int value);
int FromSwappedDecimal(uint8_t octet);

// The time-zone octet: quarter hours as swapped decimal semi-octets,
// bit 3 set for a negative offset (+2 h -> 0x80, -3 h -> 0x29).
uint8_t ZoneOctet(int quarterHours);
int ZoneQuarterHours(uint8_t octet);

// Septet k of packed 7-bit data occupies bits 7k .. 7k+6 counted from the
// low bit of octet 0. PutSeptet grows the octets as needed.
void PutSeptet(std::string& octets, int index, uint8_t septet);
// Septet k from count octets; bits past the count read as 0.
uint8_t GetSeptet(const uint8_t* octets, int count, int index);
// Octets that count septets fill (the last one partly).
int SeptetOctets(int septets);
// Septets that a user-data header of n octets and its length octet take,
// fill bits included.
int HeaderSeptets(int headerOctets);

// A text as 7-bit septets from septet `first` on: each character its code,
// an escape and its code for a character of the extension table, the code
// of "?" for one the alphabet lacks. At most `limit` septets, a character
// is never cut from its escape. Returns the septets written.
int PutTextSeptets(std::string& octets, int first, const std::string& text, int limit);
// The text of septets first .. last - 1 of count octets: an escape and
// the code after it are one character; a code the extension table lacks
// reads as the main table's, a second escape and an escape that ends the
// septets as a blank (TS 23.038).
std::string GetTextSeptets(const uint8_t* octets, int count, int first, int last);

// Relative validity period: whole seconds to the TP-VP octet (below 300 s
// is 0, above 63 weeks 255, otherwise the smallest step that holds it),
// and the octet back to seconds.
uint8_t RelativeValidityOctet(int64_t seconds);
int64_t RelativeValiditySeconds(uint8_t octet);

}  // namespace SmsPdu
