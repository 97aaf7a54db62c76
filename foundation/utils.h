#pragma once
#include <cstdint>
#include <string>
#include <vector>

class TInputBuffer;

// The program's own small helpers: wrap-safe tick time-outs, duration and
// byte-size texts, a C-string prefix test, file sizes and a scanner that
// reads typed fields from the lines of a string list.
namespace Utils {

// True when Now - Start, modulo 2^32, is greater than Limit; the tick's
// wrap-around is harmless. (Inline: every tick asks it many times.)
inline bool IsTickElapsed(uint32_t Start, uint32_t Limit, uint32_t Now)
{
    return uint32_t(Now - Start) > Limit;
}

// Unit letters name, by position, week, year, month, day, hour, minute
// and second; the program always uses these.
inline constexpr const char* DurationLetters = "tRMdhms";

// Reads a signed number of seconds from blocks such as "1t 2d 3h 4m 5s".
// A "-" flips the sign of this and every later block. A unit letter is
// looked up in Letters by exact case first (its last occurrence), then
// with both upper-cased. A year or month letter, an unknown letter, a unit
// given twice, or a unit-less number after a week, day, hour or second
// block sets *Error (when given); so does a total beyond the 32-bit range,
// which is clamped.
int32_t ParseDuration(const std::string& Text, bool* Error, const std::string& Letters);
// "1d 1h 1m 1s", "-1h 30m", "0s": the non-zero weeks, days, hours,
// minutes and seconds with their letters (positions 1, 4, 5, 6, 7).
std::string FormatDuration(int32_t Seconds, const std::string& Letters);

// 1-based position of the last C in S; 0 when absent.
int LastCharPos(char C, const std::string& S);
// Absolute value; the most negative value gives 2^31.
uint32_t AbsInt(int32_t Value);

// "512 B", "1,5 KB", "15 KB", ... up to "T"; "MUCH!" from 1024 T on. Mark
// follows the number ("512+ B"). Null Unit or Mark count as empty.
std::string FormatByteSize(uint64_t Size, const char* Unit, const char* Mark);

// Every character of A before its NUL equals the character of B at the
// same position (an empty A is a prefix of everything).
bool StrIsPrefix(const char* A, const char* B);

// Size of a file in bytes; -1 when it cannot be opened or examined.
int64_t GetFileSize64(const std::string& Path);

// Scan states of TLineScanner.
enum : int32_t {
    lsFailed = 0,     // a field did not match
    lsEmptyLine = 1,  // the line read was empty
    lsNoLine = 2,     // no line was left
    lsMatched = 3,    // a non-empty line was read and all fields matched
};

// The record read by ScanFormatted; the caller fills it and keeps the
// lines and the scratch buffer alive.
struct TLineScanner {
    const std::vector<std::string>* Lines = nullptr;
    TInputBuffer* Scratch = nullptr;
    int32_t NextLine = 0;  // 0-based index of the next line to read
    int32_t State = lsFailed;
};

// One output of ScanFormatted. Its conversion letter must match the
// pointer's type: "s" std::string*, "d" int32_t*, "b" bool*; a null
// pointer or a mismatch fails the line.
class TScanTarget {
public:
    TScanTarget(std::string* P) : kind_(P ? 's' : 0), str_(P) {}
    TScanTarget(int32_t* P) : kind_(P ? 'd' : 0), int_(P) {}
    TScanTarget(bool* P) : kind_(P ? 'b' : 0), bool_(P) {}
    TScanTarget(std::nullptr_t) {}

    char kind() const { return kind_; }
    std::string* str() const { return str_; }
    int32_t* integer() const { return int_; }
    bool* flag() const { return bool_; }

private:
    char kind_ = 0;
    std::string* str_ = nullptr;
    int32_t* int_ = nullptr;
    bool* bool_ = nullptr;
};

// Reads the next line of the scanner's list (leading blanks removed) and
// takes typed fields from it as Format says: "s" a text, "d" a whole
// integer, "b" a flag ("t"/"T" first is true); any other format character
// behind a conversion is the delimiter that must follow the field in the
// line ("s=d,s"). The outcome is Scanner.State.
void ScanFormatted(TLineScanner& Scanner, const char* Format,
                   const std::vector<TScanTarget>& Targets);

template <typename... Ptrs>
void ScanFormatted(TLineScanner& Scanner, const char* Format, Ptrs... Targets)
{
    ScanFormatted(Scanner, Format, std::vector<TScanTarget>{TScanTarget(Targets)...});
}

// Copies the characters of Line from the 1-based position Start up to
// (not including) Delimiter, a NUL or the end into Out, through the
// scanner's scratch buffer; returns the number of characters taken.
int ScanField(TLineScanner& Scanner, char Delimiter, std::string& Out, const std::string& Line,
              int Start);

}  // namespace Utils
