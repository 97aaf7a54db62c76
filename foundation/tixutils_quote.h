#pragma once
#include <cstdint>
#include <string>
#include <vector>

// Bytes as printable text and back: hex digits, the program's own quoting
// style (quoted runs joined with "#" character codes, as the language files
// store their texts), the merge of ini-style line lists, and a few small
// helpers of the same family.
namespace Tixutils {

// Value 0-15 of a hex digit (either case), else def.
int Asc2Hex(char c, int def);
// "0"-"9", "A"-"F" for 0-15; "?" for anything else.
char Hex2Asc(int value);

// Two hex digits per byte. A pair holding a non-digit gives the byte 0; the
// flagged form then sets failed, and also for an odd last digit, which is
// dropped (failed starts false).
std::string HexaStringToBytes(const std::string& text);
std::string HexaStringToBytes(const std::string& text, bool& failed);
// Two upper-case hex digits per byte, no separators.
std::string BytesToHexaString(const std::string& bytes);
std::string BytesToHexaString2(const void* buffer, int count);
// Two digits and a blank per byte (the last byte too).
std::string BytesToHexaStringSpaced(const std::string& bytes);
// Pairs of hex digits give a byte each; a lone digit before a separator
// (blank or below 33) gives its value; any other character stands for
// itself. Never fails.
std::string HexaStringSpacedToBytes(const std::string& text);

// The class library's quoted-string form: the text between double
// quotes, every double quote inside doubled.
std::string AnsiQuotedStr(const std::string& text);
// The own quoting style: "ab"#13#10"cd". Without keepControls the control
// characters other than CR and LF are dropped. The empty text stays empty.
std::string TixQuotedStr(const std::string& text, bool keepControls = false);
// Reads the own quoting style back; a text that does not start with a
// quote or "#" is taken literally up to its first double quote.
std::string TixExtractQuotedStr(const std::string& text);
// A text in double quotes with "%" and one or two hex digits for a byte;
// empty when the text does not start with a double quote.
std::string HtmlExtractQuotedStr(const std::string& text);

// Merges the sections and keys of source into dest (ini-style line lists).
// Existing keys are replaced only with overwrite. Sections whose name
// matches one of the wildcard patterns of skipSections are left out.
// Returns whether dest changed.
bool JoinConfigs(std::vector<std::string>& dest, const std::vector<std::string>& source,
                 bool overwrite, const std::vector<std::string>* skipSections = nullptr);

// Most-recently-used list of at most maxCount items separated by sep:
// puts item in front. Returns false when it already was first.
bool AddToCommaList(std::string& list, const std::string& item, int maxCount, char sep);

// A 32-bit shift-register checksum over the bits of the text.
void UpdateChecksum4(uint32_t& checksum, const std::string& text);
uint32_t ComputeChecksum4(const std::vector<std::string>& lines);

// The next representable value above / below x.
void IncDouble(double& x);
void DecDouble(double& x);

}  // namespace Tixutils
