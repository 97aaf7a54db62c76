#pragma once
#include <cstdint>
#include <string>
#include <string_view>

#include "foundation/tixutils_datetime.h"

// Text-scanning vocabulary of the program: tokenizers, number readers,
// prefix/suffix matchers and wildcards on byte strings.
//
// Two styles behave alike where both exist:
// - cursor style: the text is read-only and Pos counts the characters
//   already consumed; the next character looked at is S[Pos] (character
//   Pos + 1 when counting from 1). A successful cut advances Pos. A
//   negative Pos counts as 0.
// - cutting style: the text is passed by reference and the consumed front
//   is removed from it.
// No scanner reads past the end of its text. Upper-casing is ASCII-only.
namespace Tixutils {

// Default separator sets.
inline constexpr const char* TokenDelims = " ,\t";
inline constexpr const char* BlankDelims = " \t";
inline constexpr const char* NameValueDelims = " ,";
inline constexpr const char* DateSeparators = "./";
inline constexpr const char* TimeSeparators = ":";
inline constexpr const char* DateTimeSeparators = ", ";

enum VDateOrder : int {
    vdoMDY = 0,  // month, day, year
    vdoDMY = 1,  // day, month, year
    vdoYMD = 2,  // year, month, day
};

// ---- Characters -------------------------------------------------------

bool Choose(bool Cond, bool A, bool B);
char Choose(bool Cond, char A, char B);
int Choose(bool Cond, int A, int B);
std::string Choose(bool Cond, const std::string& A, const std::string& B);
std::string Choose(bool Cond, const char* A, const char* B);

// Membership in a set of single characters (a zero-terminated set never
// holds the NUL; a null set is empty).
bool CharInString(char C, const char* Set);
bool CharInString(char C, const std::string& Set);
bool CharInString(char16_t C, const std::u16string& Set);
// 1-based position of the last C in S; 0 when absent.
int CharPosInString(char C, const std::string& S);

// First character of S, removed from it; 0 for an empty S.
char CutChar(std::string& S);
// S[Pos], Pos advanced; 0 (Pos unchanged) at the end.
char CutChar(int& Pos, const std::string& S);
// Like CutChar, but the value 0-9 of a decimal digit, else 0.
int CutCharDec(int& Pos, const std::string& S);

// Advances Pos over the following characters that are in Set.
void CutSpaces(int& Pos, const std::string& S, const char* Set = BlankDelims);
// Removes the leading characters of S that are in Set (default " \t").
void CutSpaces(std::string& S);
void CutSpaces(std::string& S, const char* Set);
void CutSpaces(std::string& S, const std::string& Set);

// Whether S ends with Suffix (an empty Suffix always does); with Cut the
// suffix is removed.
bool CutSuffix(std::string& S, const std::string& Suffix, bool Cut);

// S without the blanks and control characters (codes up to 32) at both ends.
std::string TrimControls(std::string_view S);

// ---- Tokens -----------------------------------------------------------
//
// A token is one of:
// - plain: up to the first character of Delims ("a,,b" gives a, "", b);
// - parenthesised: "(1-5)" gives 1-5;
// - quoted: quoted runs with doubled quotes and #NN character codes,
//   "ab""c"#13#10 gives ab"c CR LF; #65#66 gives AB. An unterminated
//   quote gives an empty token and consumes the whole text.
// Skip (in/out): when true, the separator after the token is consumed.
// A token that ends the text, or ends on a character that is no separator,
// sets Skip to false.

std::string CutString(int& Pos, const std::string& S, const char* Delims, bool& Skip);
std::string CutString(int& Pos, const std::string& S);
std::string CutString(int& Pos, const std::string& S, const char* Delims);
std::string CutString(std::string& S);
std::string CutString(std::string& S, bool& Skip);
std::string CutString(std::string& S, bool& Skip, const std::string& Delims);
std::string CutString(std::string& S, bool& Skip, const char* Delims);
// Skip by value: whether the separator was consumed is not reported.
std::string CutString_(std::string& S, bool Skip, const std::string& Delims);
std::string CutString_(std::string& S, bool Skip, const char* Delims);
// The older wide form: quoted tokens end at the next quote (no doubled
// quotes, no codes); the token and, with Skip, its separator are removed.
std::u16string CutString(std::u16string& S, bool& Skip, const std::u16string& Delims);

// The characters from S[Pos] up to the next NUL; Pos is left on that NUL
// (1-based). Without a NUL: empty, Pos unchanged.
std::string CutStringZ(int& Pos, const std::string& S);
// Skips leading separators and returns the next run of non-separators;
// with Cut, S keeps only what follows the separator behind the word.
std::string CutWord(std::string& S, const char* Delims, bool Cut);

// Cuts one item name=value (quoted, parenthesised or #-coded values
// allowed) and returns it as written. ValuePos: 1-based position in the
// item where the value begins (item length + 1 without "="). On failure
// the result is empty and S unchanged.
std::string CutNameValue(std::string& S, int& ValuePos);
std::string CutNameValue(std::string& S, int& ValuePos, const char* Delims);

// ---- Numbers and prefixes ---------------------------------------------

// A decimal integer at S[Pos]: an optional leading "-", then digits; no
// blanks skipped. The whole digit run is consumed; the value is clamped
// to the 32-bit range. Without digits: Default, Pos unchanged. With
// Advance, Pos is left on the last digit.
int CutInteger(int& Pos, const std::string& S, int Default, bool Advance);
int CutInteger(std::string& S, int Default);
int CutInteger(std::string& S, int Default, bool Cut);
// Like CutInteger with Radix 10 or 16; any other Radix chooses by the
// text: "0x"/"0X" or "$" for hexadecimal, else decimal.
int CutRadixInteger(int& Pos, const std::string& S, int Default, int Radix);
int CutRadixInteger(std::string& S, int Default, int Radix);

// Whether the text at S[Pos] starts with Prefix (case-sensitive); on a
// match with Advance, Pos is left on the last prefix character.
bool CutPrefix(int& Pos, const std::string& S, const std::string& Prefix, bool Advance);
// These two always cut.
bool CutPrefix(std::string& S, const std::string& Prefix);
bool CutPrefix(std::string& S, const char* Prefix);
bool CutPrefix(std::string& S, const std::string& Prefix, bool Cut);
bool CutPrefix(std::string& S, const char* Prefix, bool Cut);

// A date and/or time from the front of S: "8.12.2002 10:37:20",
// "8.12.", "23:30" (its next occurrence), "02/12/08,10:37:20" with
// DateSeps "/" and Order vdoYMD. On success the text read is removed from
// S and Failed is false. On failure S is unchanged, Failed is true and
// the result is Now (or the date and time read so far). Today and Now
// come from Now of tixutils_datetime.h unless given.
TDateTime CutDateTime(std::string& S, bool& Failed);
TDateTime CutDateTime(std::string& S, bool& Failed, const std::string& DateSeps,
                      const std::string& TimeSeps, const std::string& DateTimeSeps,
                      VDateOrder Order);
TDateTime CutDateTime(std::string& S, bool& Failed, const std::string& DateSeps,
                      const std::string& TimeSeps, const std::string& DateTimeSeps,
                      VDateOrder Order, TDateTime NowValue);

// ---- Matchers ---------------------------------------------------------

// Whether S starts with Prefix (case-sensitive / ignoring ASCII case).
bool ComparePrefix(const std::string& S, const std::string& Prefix);
bool ComparePrefixIC(const std::string& S, const std::string& Prefix);

// When S starts with Prefix and ends with Suffix (not overlapping), the
// text between them (possibly empty), else an empty string; the forms with
// Failed tell an empty middle from a mismatch. The cursor form compares
// from S[Pos] and leaves Pos on the last prefix character. The views are
// only read during the call; a char pointer given for one must not be null.
std::string ExtractString(std::string_view S, std::string_view Prefix, std::string_view Suffix);
std::string ExtractString(std::string_view S, std::string_view Prefix, std::string_view Suffix,
                          bool& Failed);
std::string ExtractString(int& Pos, std::string_view S, std::string_view Prefix,
                          std::string_view Suffix, bool& Failed);
// The same ignoring ASCII case on both ends; the middle keeps its case.
std::string ExtractStringIC(std::string_view S, std::string_view Prefix,
                            std::string_view Suffix);
std::string ExtractStringIC(std::string_view S, std::string_view Prefix,
                            std::string_view Suffix, bool& Failed);
// Only S is upper-cased: Prefix and Suffix match only when written in
// upper case.
std::string ExtractStringICU(const std::string& S, const char* Prefix, const char* Suffix);
std::string ExtractStringICU(const std::string& S, const char* Prefix, const char* Suffix,
                             bool& Failed);

// Whether S matches Pattern ("?" any one character, "*" any run;
// case-sensitive). A run of two or more stars at the very end needs at
// least one character.
bool CompareWildcard(const std::string& Pattern, const std::string& S);
// The same, leaving in both strings what remains after the matched part.
bool CompareWildcardCut2(std::string& Pattern, std::string& S);

// Matches the zero-terminated pattern at PatternPtr against the text from
// S[Pos]; a character of Terminators (none when null) ends the pattern
// like its NUL. Returns 0 on a match (Pos and PatternPtr advanced past the
// matched parts; a final "*" leaves the rest of the text unconsumed),
// else negative when the text orders before the pattern, positive after
// it: magnitude 2 before any wildcard was passed, 1 afterwards. On a
// mismatch Pos is unchanged and PatternPtr is left where the comparison
// stopped, never past the pattern's end.
int CutWildcard(int& Pos, const std::string& S, const char*& PatternPtr,
                const char* Terminators = nullptr);
// From the start of S; on a match the matched front is removed from S.
int CutWildcard(std::string& S, const std::string& Pattern);

// The longest common leading part of A and B, removed from both.
std::string CutCommonPrefix(std::string& A, std::string& B);
// Shortens A and B by their longest common trailing part.
void CutCommonPostfix(std::string& A, std::string& B);

}  // namespace Tixutils
