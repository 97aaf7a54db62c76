#include "foundation/utils.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>

#include "foundation/input_buffer.h"
#include "foundation/tixutils_text.h"
#include "foundation/tixutils_text_internal.h"

namespace Utils {

namespace {

using Tixutils::TextInternal::isDigit;
using Tixutils::TextInternal::upperAscii;

std::string upperAscii(std::string s)
{
    for (char& c : s)
        c = upperAscii(c);
    return s;
}

// Seconds of the units at positions 1, 4, 5, 6, 7 of the unit letters.
constexpr int64_t kWeek = 604800, kDay = 86400, kHour = 3600, kMinute = 60;

// Far beyond any 32-bit result, far below the 64-bit limit.
constexpr int64_t kSaturation = int64_t(1) << 62;

}  // namespace

int32_t ParseDuration(const std::string& Text, bool* Error, const std::string& Letters)
{
    if (Error)
        *Error = false;
    bool error = false;
    int64_t total = 0;
    int64_t sign = 1;
    // Week, day, hour, minute, second seen.
    bool seenWeek = false, seenDay = false, seenHour = false, seenMinute = false,
         seenSecond = false;
    const std::string upperLetters = upperAscii(Letters);
    const size_t n = Text.size();
    size_t i = 0;
    for (;;) {
        while (i < n && Text[i] == ' ')
            ++i;
        if (i >= n)
            break;
        if (Text[i] == '-') {
            sign = -sign;
            ++i;
            continue;
        }
        int64_t value = 0;
        bool tooBig = false;
        while (i < n && isDigit(Text[i])) {
            if (!tooBig) {
                value = value * 10 + (Text[i] - '0');
                tooBig = value > 2147483647;
            }
            ++i;
        }
        if (tooBig)
            value = 0;
        while (i < n && Text[i] == ' ')
            ++i;
        int64_t unit = 1;
        if (i >= n) {
            // A number without a letter counts as seconds; after minutes
            // alone ("1m30") that is what the user meant.
            if (seenWeek || seenDay || seenHour || seenSecond)
                error = true;
        } else {
            const char letter = Text[i++];
            int at = LastCharPos(letter, Letters);
            if (at == 0)
                at = LastCharPos(upperAscii(letter), upperLetters);
            bool* seen = nullptr;
            switch (at) {
            case 1: unit = kWeek; seen = &seenWeek; break;
            case 4: unit = kDay; seen = &seenDay; break;
            case 5: unit = kHour; seen = &seenHour; break;
            case 6: unit = kMinute; seen = &seenMinute; break;
            case 7: unit = 1; seen = &seenSecond; break;
            default: error = true; break;  // year, month or unknown: seconds
            }
            if (seen) {
                if (*seen)
                    error = true;
                *seen = true;
            }
        }
        total += value * unit * sign;
        if (total > kSaturation)
            total = kSaturation;
        else if (total < -kSaturation)
            total = -kSaturation;
    }
    if (total > INT32_MAX) {
        total = INT32_MAX;
        error = true;
    } else if (total < INT32_MIN) {
        total = INT32_MIN;
        error = true;
    }
    if (Error)
        *Error = error;
    return int32_t(total);
}

std::string FormatDuration(int32_t Seconds, const std::string& Letters)
{
    uint32_t rest = AbsInt(Seconds);
    const uint32_t weeks = rest / 604800;
    rest %= 604800;
    const uint32_t days = rest / 86400;
    rest %= 86400;
    const uint32_t hours = rest / 3600;
    rest %= 3600;
    const uint32_t minutes = rest / 60;
    const uint32_t seconds = rest % 60;

    std::string text;
    auto piece = [&](uint32_t count, size_t letterPos) {
        if (!text.empty())
            text += ' ';
        text += std::to_string(count);
        if (letterPos <= Letters.size())
            text += Letters[letterPos - 1];
    };
    if (weeks)
        piece(weeks, 1);
    if (days)
        piece(days, 4);
    if (hours)
        piece(hours, 5);
    if (minutes)
        piece(minutes, 6);
    if (seconds || text.empty())
        piece(seconds, 7);
    return Seconds < 0 ? "-" + text : text;
}

int LastCharPos(char C, const std::string& S)
{
    return Tixutils::CharPosInString(C, S);
}

uint32_t AbsInt(int32_t Value)
{
    return Value < 0 ? uint32_t(0) - uint32_t(Value) : uint32_t(Value);
}

std::string FormatByteSize(uint64_t Size, const char* Unit, const char* Mark)
{
    const std::string unit = Unit ? Unit : "";
    const std::string mark = Mark ? Mark : "";
    if (Size < 1024)
        return std::to_string(Size) + mark + " " + unit;
    uint64_t quotient = Size;
    uint64_t remainder = 0;
    int divisions = 0;
    while (quotient >= 1024 && divisions < 4) {
        remainder = quotient % 1024;
        quotient /= 1024;
        ++divisions;
    }
    if (quotient >= 1024)
        return "MUCH!";
    const std::string prefix(1, "KMGT"[divisions - 1]);
    if (quotient < 10) {
        uint64_t tenth = (remainder * 10 + 512) / 1024;
        if (tenth == 10) {
            // 1023/1024 of a unit rounds up to the next whole one.
            ++quotient;
            tenth = 0;
        }
        if (quotient < 10)
            return std::to_string(quotient) + "," + std::to_string(tenth) + mark + " " + prefix +
                   unit;
    }
    return std::to_string(quotient) + mark + " " + prefix + unit;
}

bool StrIsPrefix(const char* A, const char* B)
{
    if (!A)
        return true;
    if (!B)
        return *A == 0;
    for (; *A; ++A, ++B) {
        if (*A != *B)
            return false;  // also where B ends first
    }
    return true;
}

int64_t GetFileSize64(const std::string& Path)
{
    // Never waits: a pipe or a device would block the open.
    const int fd = ::open(Path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return -1;
    struct stat st {};
    const bool ok = ::fstat(fd, &st) == 0 && !S_ISDIR(st.st_mode);
    ::close(fd);
    return ok ? int64_t(st.st_size) : -1;
}

namespace {

// A whole decimal integer, optional blanks and sign in front, nothing
// behind; false when the text holds anything else or leaves 32 bits.
bool parseWholeInteger(const std::string& s, int32_t& value)
{
    size_t i = 0;
    while (i < s.size() && (s[i] == ' ' || (s[i] >= '\t' && s[i] <= '\r')))
        ++i;
    bool negative = false;
    if (i < s.size() && (s[i] == '-' || s[i] == '+'))
        negative = s[i++] == '-';
    if (i >= s.size() || !isDigit(s[i]))
        return false;
    int64_t v = 0;
    for (; i < s.size() && isDigit(s[i]); ++i) {
        v = v * 10 + (s[i] - '0');
        if (v > int64_t(INT32_MAX) + 1)
            return false;
    }
    if (i != s.size())
        return false;
    if (negative)
        v = -v;
    if (v > INT32_MAX || v < INT32_MIN)
        return false;
    value = int32_t(v);
    return true;
}

}  // namespace

void ScanFormatted(TLineScanner& Scanner, const char* Format,
                   const std::vector<TScanTarget>& Targets)
{
    std::string line;
    const auto* lines = Scanner.Lines;
    const int32_t index = Scanner.NextLine;
    if (lines && index >= 0 && size_t(index) < lines->size()) {
        const std::string& raw = (*lines)[size_t(index)];
        size_t first = 0;
        while (first < raw.size() && (raw[first] == ' ' || raw[first] == '\t'))
            ++first;
        line = raw.substr(first);
        Scanner.State = line.empty() ? lsEmptyLine : lsMatched;
    } else {
        Scanner.State = lsNoLine;
    }
    if (Scanner.NextLine < INT32_MAX)
        ++Scanner.NextLine;

    if (!Format)
        return;
    int pos = 1;
    size_t target = 0;
    const char* f = Format;
    while (*f) {
        const char conversion = *f++;
        const TScanTarget out = target < Targets.size() ? Targets[target] : TScanTarget(nullptr);
        ++target;
        const char delimiter = *f;  // NUL: the field runs to the end of the line
        const bool reading = Scanner.State == lsMatched;
        std::string field;
        switch (conversion) {
        case 's':
            if (out.kind() != 's') {
                Scanner.State = lsFailed;
                break;
            }
            if (reading)
                pos += ScanField(Scanner, delimiter, field, line, pos);
            *out.str() = field;
            break;
        case 'd':
            if (out.kind() != 'd') {
                Scanner.State = lsFailed;
                break;
            }
            *out.integer() = 0;
            if (reading) {
                pos += ScanField(Scanner, delimiter, field, line, pos);
                int32_t value = 0;
                if (parseWholeInteger(field, value))
                    *out.integer() = value;
                else
                    Scanner.State = lsFailed;
            }
            break;
        case 'b':
            if (out.kind() != 'b') {
                Scanner.State = lsFailed;
                break;
            }
            *out.flag() = false;
            if (reading) {
                pos += ScanField(Scanner, delimiter, field, line, pos);
                *out.flag() = !field.empty() && (field[0] == 't' || field[0] == 'T');
            }
            break;
        default:
            Scanner.State = lsFailed;
            break;
        }
        if (delimiter) {
            if (Scanner.State == lsMatched) {
                if (pos < 1 || size_t(pos) > line.size() || line[size_t(pos) - 1] != delimiter)
                    Scanner.State = lsFailed;
            }
            ++f;
            ++pos;
        }
    }
}

int ScanField(TLineScanner& Scanner, char Delimiter, std::string& Out, const std::string& Line,
              int Start)
{
    TInputBuffer local;
    TInputBuffer& scratch = Scanner.Scratch ? *Scanner.Scratch : local;
    scratch.clear();
    size_t i = Start > 1 ? size_t(Start) - 1 : 0;
    int taken = 0;
    for (; i < Line.size() && Line[i] != Delimiter && Line[i] != '\0'; ++i, ++taken)
        scratch.appendByte(uint8_t(Line[i]));
    Out.assign(scratch.data() ? scratch.data() : "", scratch.length());
    return taken;
}

}  // namespace Utils
