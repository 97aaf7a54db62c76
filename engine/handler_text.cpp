#include "engine/handler_text.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdio>

#include "platform/codepage.h"
#include "platform/ini_file.h"

namespace HandlerText {

int StrToIntDef(std::string_view text, int Default)
{
    size_t p = 0;
    while (p < text.size() && (text[p] == ' ' || text[p] == '\t'))
        ++p;
    bool negative = false;
    if (p < text.size() && (text[p] == '-' || text[p] == '+')) {
        negative = text[p] == '-';
        ++p;
    }
    if (p >= text.size())
        return Default;
    int64_t value = 0;
    for (; p < text.size(); ++p) {
        const char c = text[p];
        if (c < '0' || c > '9')
            return Default;
        value = value * 10 + (c - '0');
        if (value > int64_t(INT_MAX) + 1)
            return Default;
    }
    if (negative)
        value = -value;
    if (value > INT_MAX || value < INT_MIN)
        return Default;
    return int(value);
}

std::string QuotableText(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        const auto b = static_cast<unsigned char>(c);
        if (b < 0x20 || b == 0x7F || c == '"')
            continue;
        out += c;
    }
    return out;
}

bool StartsIC(std::string_view text, std::string_view prefix)
{
    return text.size() >= prefix.size() && Platform::SameAsciiIC(text.data(), prefix.data(), prefix.size());
}

bool EndsWithOk(std::string_view line)
{
    return line.ends_with("OK\r\n");
}

bool IsErrorLine(std::string_view line)
{
    return line.ends_with("ERROR\r\n") || line.starts_with("+CME ERROR: ") ||
           line.starts_with("+CMS ERROR: ");
}

bool IsErrorResult(std::string_view line)
{
    return line == "ERROR\r\n" || line.starts_with("+CME ERROR: ") ||
           line.starts_with("+CMS ERROR: ");
}

bool SaysNotAllowed(std::string_view line)
{
    while (line.ends_with('\n') || line.ends_with('\r'))
        line.remove_suffix(1);
    if (line == "ERROR")
        return true;
    constexpr std::string_view cme = "+CME ERROR: ";
    if (!StartsIC(line, cme))
        return false;
    const std::string_view what = line.substr(cme.size());
    return what == "3" || what == "4" || Platform::SameTextIC(what, "operation not allowed") ||
           Platform::SameTextIC(what, "operation not supported");
}

int32_t WholeSeconds(double seconds)
{
    if (std::isnan(seconds))
        return 0;
    // Differences of date-times carry float noise (8640 s comes out as
    // 8639.9999999): whole milliseconds first, then the fraction dropped.
    const double t = std::trunc(std::round(seconds * 1000.0) / 1000.0);
    if (t >= double(INT32_MAX))
        return INT32_MAX;
    if (t <= double(INT32_MIN))
        return INT32_MIN;
    return int32_t(t);
}

uint32_t MsToNextSecond(Tixutils::TDateTime value)
{
    const double ms = value * 86400000.0;
    const double rest = 1000.0 - (ms - std::floor(ms / 1000.0) * 1000.0);
    return std::isnan(rest) ? 1000 : uint32_t(std::clamp(rest, 0.0, 1000.0));
}

std::string GsmDateTimeText(Tixutils::TDateTime value)
{
    // Far outside any calendar a device knows (or not a number at all):
    // keep the arithmetic sound.
    if (!std::isfinite(value))
        value = 0;
    value = std::fmax(std::fmin(value, 3.0e6), -3.0e6);
    // The whole part is the day, the fraction the time of day (also before
    // the epoch). Whole milliseconds first, so that 10:37:19.9996 is
    // written 10:37:20.
    constexpr int64_t DayMs = 86400000;
    double day = std::trunc(value);
    int64_t ms = int64_t(std::round(std::fabs(value - day) * double(DayMs)));
    if (ms >= DayMs) {
        ms -= DayMs;
        day += 1;
    }
    int year = 0, month = 0, dayOfMonth = 0;
    Tixutils::DecodeDate(day, year, month, dayOfMonth);
    const int64_t secs = ms / 1000;
    char buf[64];
    std::snprintf(buf, sizeof buf, "%02d/%02d/%02d,%02d:%02d:%02d", ((year % 100) + 100) % 100,
                  month, dayOfMonth, int(secs / 3600), int(secs / 60 % 60), int(secs % 60));
    return buf;
}

}  // namespace HandlerText
