#pragma once
#include <cstdint>
#include <string>

// The program's text (code page 1250 bytes) against what a GSM device
// stores and sends: the 7-bit default alphabet, 16-bit UCS2 codes,
// semi-octet phone digits, and phone number texts with their
// type-of-number byte (129 unknown, 145 international with "+").
namespace Tixutils {

constexpr int GsmTypeUnknown = 129;        // 0x81
constexpr int GsmTypeInternational = 145;  // 0x91

// Semi-octet digits "0123456789*#+BD?": the character of a nibble ("?" for
// 15 and above) and the nibble of a character ("+" also from "C"/"P",
// letters in either case), def when there is none.
char NibToTelAsc(uint8_t nibble);
uint8_t TelAscToNib(char c, uint8_t def);

// A code page 1250 character as a 7-bit GSM code, -1 when the alphabet has
// no equivalent (accented letters are folded onto plain ones).
int TranslateAscii2GSM(char c);
// The escape of the 7-bit alphabet: the code after it is one of the
// extension table's.
constexpr int GsmEscape = 0x1B;
// A code page 1250 character of the 7-bit alphabet's extension table
// ("€", "[", "]", "{", "}", "\", "^", "~", "|") as the code that follows the
// escape; -1 for any other character.
int TranslateAscii2GSMExt(char c);
// The code page 1250 character of an extension code (after the escape);
// '\0' when the table has none there.
char TranslateGSMExt2Ascii(int code);
// Septets a text takes in 7-bit user data: two for a character of the
// extension table (escape and code), one for any other.
int GsmSeptetLength(const std::string& text);
// How many characters of text from `pos` on fit in `septets` septets; a
// character of the extension table is never cut from its escape.
size_t GsmCharsFitting(const std::string& text, size_t pos, int septets);
// A code page 1250 character as its Unicode code for UCS2 user data.
int TranslateAscii2GSM_U(char c);
// A GSM 7-bit or 8-bit code (0-127 through the alphabet; above 127 the
// Unicode codes of the Czech letters) as a code page 1250 character, "?"
// when there is none.
char TranslateGSM2Ascii(int code);
// A 16-bit UCS2 code as a code page 1250 character (codes below 128 are
// ASCII), "?" when code page 1250 has no such letter.
char TranslateGSM2Ascii_U(int code);

// A stored number and type as shown and sent to the device: trimmed,
// "+" in front for type 145, in double quotes when it holds a blank or a
// comma, ",type" behind for a type other than 0, 129 and 145.
std::string GsmNumberType2Phone(const std::string& number, int type);
// The reverse: a number, a number and ",type", or a quoted number
// optionally followed by ",type". The type is 129, 145 for a leading "+"
// (which is removed), or an explicit 0-255 after the comma. An empty text
// gives an empty number and type 0. False for an empty quoted number, a
// missing closing quote or a bad type; the outputs then keep what was
// assigned before the failing step.
bool GsmPhone2NumberType(const std::string& text, std::string& number, int& type);

// A typed phone number without what is there only for people to read it:
// blanks, "-", "(", ")", "." and "/".
std::string GsmStripNumberFormatting(const std::string& number);
// A number the device can dial: once stripped of its formatting, digits,
// "*" and "#" (at least one), with at most a "+" in front.
bool GsmIsDialNumber(const std::string& number);

// Address field: character count, type, then the digits as semi-octets
// (low nibble first, an odd count closed with 0xF); every byte xor mask.
std::string GsmNumberType2PDU(const std::string& number, uint8_t type, uint8_t mask);
// The reverse ("+" in front for type 145; count 0 gives an empty number
// and type 0). False when the field ends before its digits do; number and
// type then hold what was read.
bool GsmPDU2NumberType(const std::string& field, std::string& number, uint8_t& type, uint8_t mask);

}  // namespace Tixutils
