#include "foundation/tixutils_datetime.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <ctime>
#include <stdexcept>

namespace Tixutils {

namespace {

TFormatSettings& settings()
{
    static TFormatSettings value;
    return value;
}

TNowFunction& nowFunction()
{
    static TNowFunction value;
    return value;
}

// Days from 1970-01-01 to a civil date (proleptic Gregorian).
constexpr int64_t daysFromCivil(int64_t y, int m, int d)
{
    y -= m <= 2;
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const int64_t yoe = y - era * 400;
    const int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

void civilFromDays(int64_t z, int& year, int& month, int& day)
{
    z += 719468;
    const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const int64_t doe = z - era * 146097;
    const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const int64_t mp = (5 * doy + 2) / 153;
    day = int(doy - (153 * mp + 2) / 5 + 1);
    month = int(mp < 10 ? mp + 3 : mp - 9);
    year = int(yoe + era * 400 + (month <= 2));
}

// Day 0 of the date-time scale, 1899-12-30, in days since 1970-01-01.
constexpr int64_t kEpochShift = daysFromCivil(1899, 12, 30);
// Unix day 0 on the date-time scale.
constexpr double kUnixEpoch = 25569.0;

// Whole days of a date-time value, kept inside the years 1..9999.
int64_t dayNumber(TDateTime value)
{
    constexpr double lo = double(daysFromCivil(1, 1, 1) - kEpochShift);
    constexpr double hi = double(daysFromCivil(9999, 12, 31) - kEpochShift);
    if (std::isnan(value))
        return 0;
    const double whole = std::trunc(value);
    return int64_t(std::fmin(std::fmax(whole, lo), hi));
}

TDateTime fromTm(const std::tm& tm, long nanoseconds)
{
    TDateTime date = 0;
    TDateTime time = 0;
    TryEncodeDate(tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, date);
    TryEncodeTime(tm.tm_hour, tm.tm_min, tm.tm_sec > 59 ? 59 : tm.tm_sec, int(nanoseconds / 1000000),
                  time);
    return date + time;
}

// Seconds since 1970 of a date-time, taken to the millisecond first, as
// DecodeTime does: 01:00:00 must not become 00:59:59 by a last bit.
double wholeSeconds(TDateTime value)
{
    return std::floor(std::round((value - kUnixEpoch) * 86400000.0) / 1000.0);
}

std::string twoDigits(int64_t v)
{
    std::string s = std::to_string(v);
    return s.size() < 2 ? "0" + s : s;
}

}  // namespace

const TFormatSettings& FormatSettings() { return settings(); }

void SetFormatSettings(const TFormatSettings& Settings) { settings() = Settings; }

void SetNowFunction(TNowFunction Function) { nowFunction() = std::move(Function); }

TDateTime Now()
{
    const TNowFunction& f = nowFunction();
    return f ? f() : SystemNow();
}

TDateTime Date() { return double(dayNumber(Now())); }

TDateTime SystemNow()
{
    timespec ts{};
    clock_gettime(CLOCK_REALTIME, &ts);
    std::tm tm{};
    localtime_r(&ts.tv_sec, &tm);
    return fromTm(tm, ts.tv_nsec);
}

bool IsLeapYear(int Year) { return Year % 4 == 0 && (Year % 100 != 0 || Year % 400 == 0); }

int DaysInMonth(int Year, int Month)
{
    static const int days[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (Month < 1 || Month > 12)
        return 0;
    return Month == 2 && IsLeapYear(Year) ? 29 : days[Month - 1];
}

bool TryEncodeDate(int Year, int Month, int Day, TDateTime& Result)
{
    if (Year < 1 || Year > 9999 || Month < 1 || Month > 12 || Day < 1 ||
        Day > DaysInMonth(Year, Month))
        return false;
    Result = double(daysFromCivil(Year, Month, Day) - kEpochShift);
    return true;
}

bool TryEncodeTime(int Hour, int Min, int Sec, int MSec, TDateTime& Result)
{
    if (Hour < 0 || Hour > 23 || Min < 0 || Min > 59 || Sec < 0 || Sec > 59 || MSec < 0 ||
        MSec > 999)
        return false;
    Result = (((Hour * 60.0 + Min) * 60.0 + Sec) * 1000.0 + MSec) / 86400000.0;
    return true;
}

void DecodeDate(TDateTime Value, int& Year, int& Month, int& Day)
{
    civilFromDays(dayNumber(Value) + kEpochShift, Year, Month, Day);
}

void DecodeTime(TDateTime Value, int& Hour, int& Min, int& Sec, int& MSec)
{
    double fraction = std::isnan(Value) ? 0 : std::fabs(Value - std::trunc(Value));
    if (!std::isfinite(fraction))
        fraction = 0;
    int64_t ms = std::llround(fraction * 86400000.0);
    if (ms >= 86400000)
        ms = 86399999;
    Hour = int(ms / 3600000);
    Min = int(ms / 60000 % 60);
    Sec = int(ms / 1000 % 60);
    MSec = int(ms % 1000);
}

int DayOfWeek(TDateTime Value)
{
    // 1899-12-30 was a Saturday.
    const int64_t d = dayNumber(Value);
    return int(((d + 6) % 7 + 7) % 7) + 1;
}

std::string TimeToStrEx(TDateTime Value, int Decimals, bool KeepDays)
{
    if (Decimals > 7)
        Decimals = 7;
    if (Decimals < 0)
        Decimals = 0;
    if (!std::isfinite(Value))
        Value = 0;
    const int64_t scale = int64_t(std::pow(10, Decimals));
    double seconds = KeepDays ? Value * 86400.0 : (Value - std::trunc(Value)) * 86400.0;
    const bool negative = seconds < 0;
    seconds = std::fabs(seconds);
    if (seconds > 9.0e15)
        seconds = 9.0e15;  // keeps the whole seconds in 64 bits
    // Ties to even, as the rounding of the floating-point unit does.
    int64_t fraction = int64_t(std::nearbyint((seconds - std::floor(seconds)) * double(scale)));
    if (Decimals >= 4) {
        // Noise of the binary fraction: one unit off a whole second.
        if (fraction == scale - 1)
            fraction = scale;
        else if (fraction == 1)
            fraction = 0;
    }
    int64_t whole;
    if (fraction >= scale) {
        whole = std::llround(seconds);
        fraction = 0;
    } else {
        whole = std::llround(seconds - double(fraction) / double(scale));
    }
    const char sep = settings().TimeSeparator;
    std::string text = negative && (whole || fraction) ? "-" : "";
    text += std::to_string(whole / 3600);
    text += sep;
    text += twoDigits(whole / 60 % 60);
    text += sep;
    text += twoDigits(whole % 60);
    if (Decimals > 0) {
        std::string digits = std::to_string(fraction);
        text += '.';
        text += std::string(size_t(Decimals) - std::min(digits.size(), size_t(Decimals)), '0');
        text += digits;
    }
    return text;
}

std::string TimeToStrEx2(TDateTime Value) { return TimeToStrEx(Value, 7, false); }

std::string DateTimeToStrEx(TDateTime Value, int Decimals)
{
    return DateToStr(Value) + " " + TimeToStrEx(Value, Decimals, false);
}

std::string DateToStr(TDateTime Value)
{
    int year, month, day;
    DecodeDate(Value, year, month, day);
    const TFormatSettings& fs = settings();
    const std::string& f = fs.ShortDateFormat;
    std::string text;
    for (size_t i = 0; i < f.size();) {
        const char c = f[i];
        const char lower = (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c;
        if (c == '\'' || c == '"') {
            // Quoted literal text.
            const size_t close = f.find(c, i + 1);
            const size_t end = close == std::string::npos ? f.size() : close;
            text.append(f, i + 1, end - i - 1);
            i = end == f.size() ? end : end + 1;
            continue;
        }
        if (lower == 'd' || lower == 'm' || lower == 'y') {
            size_t run = 1;
            while (i + run < f.size() && (f[i + run] | 0x20) == lower)
                ++run;
            i += run;
            if (lower == 'y') {
                text += run <= 2 ? twoDigits(year % 100) : std::to_string(year);
            } else {
                const int v = lower == 'd' ? day : month;
                text += run == 1 ? std::to_string(v) : twoDigits(v);
            }
            continue;
        }
        text += c == '/' ? fs.DateSeparator : c;
        ++i;
    }
    return text;
}

TDateTime SafeEncodeDate(int Year, int Month, int Day, bool& Error, TDateTime Today)
{
    Error = true;
    if (Year < 100)
        Year = Year >= 91 ? Year + 1900 : Year + 2000;
    const bool dayOk = Day >= 1 && Day <= 31;
    const bool monthOk = Month >= 1 && Month <= 12;
    if (!monthOk)
        Month = 1;
    if (!dayOk)
        Day = 1;
    TDateTime result = 0;
    if (!TryEncodeDate(Year, Month, Day, result))
        return Today;
    if (dayOk && monthOk)
        Error = false;
    return result;
}

TDateTime SafeEncodeDate(int Year, int Month, int Day, bool& Error)
{
    return SafeEncodeDate(Year, Month, Day, Error, Date());
}

TDateTime SafeEncodeDate(int Year, int Month, int Day)
{
    bool error = false;
    return SafeEncodeDate(Year, Month, Day, error);
}

int WeekOfYear(TDateTime Value)
{
    int year, month, day;
    DecodeDate(Value, year, month, day);
    TDateTime jan1 = 0;
    TryEncodeDate(year, 1, 1, jan1);
    const int mondayBased = (DayOfWeek(jan1) + 5) % 7 + 1;  // Monday = 1 .. Sunday = 7
    const int64_t days = dayNumber(Value) - int64_t(jan1);
    return int((days + mondayBased - 1) / 7 + 1);
}

int WeekOfYear2(TDateTime Value)
{
    const int64_t d = dayNumber(Value);
    const int isoDay = (DayOfWeek(double(d)) + 5) % 7 + 1;  // Monday = 1
    const int64_t thursday = d - isoDay + 4;
    int year, month, day;
    civilFromDays(thursday + kEpochShift, year, month, day);
    const int64_t jan1 = daysFromCivil(year, 1, 1) - kEpochShift;
    return int((thursday - jan1) / 7 + 1);
}

TDateTime NowGMT()
{
    timespec ts{};
    clock_gettime(CLOCK_REALTIME, &ts);
    std::tm tm{};
    gmtime_r(&ts.tv_sec, &tm);
    return fromTm(tm, ts.tv_nsec);
}

TDateTime GMTtoLocalTime(TDateTime Value)
{
    if (!std::isfinite(Value))
        return Value;
    const double seconds = wholeSeconds(Value);
    if (seconds < -6.0e10 || seconds > 2.5e11)
        return Value;  // outside the years 1..9999
    const time_t t = time_t(seconds);
    std::tm tm{};
    if (!localtime_r(&t, &tm))
        return Value;
    const double shift = double(tm.tm_gmtoff) / 86400.0;
    return Value + shift;
}

int LocalTimeOffsetMinutes(TDateTime Local)
{
    if (!std::isfinite(Local))
        return 0;
    const double seconds = wholeSeconds(Local);
    if (seconds < -6.0e10 || seconds > 2.5e11)
        return 0;  // outside the years 1..9999
    // The local fields, read as if they were universal time, then handed
    // to mktime, which knows which offset the zone had then.
    const time_t fields = time_t(seconds);
    std::tm tm{};
    if (!gmtime_r(&fields, &tm))
        return 0;
    tm.tm_isdst = -1;
    errno = 0;
    const time_t instant = mktime(&tm);
    if (instant == time_t(-1) && errno != 0)
        return 0;
    return int((fields - instant) / 60);
}

TDateTime LocalTimeToGMT(TDateTime Value)
{
    return Value - LocalTimeOffsetMinutes(Value) / 1440.0;
}

TDateTime SystemTimeToDateTime2(int Year, const TSystemTime& ChangeOver)
{
    const TSystemTime& st = ChangeOver;
    TDateTime time = 0;
    if (!TryEncodeTime(st.wHour, st.wMinute, st.wSecond, st.wMilliseconds, time))
        throw std::runtime_error("problem in SystemTimeToDateTime2");
    TDateTime date = 0;
    if (st.wYear != 0) {
        if (!TryEncodeDate(st.wYear, st.wMonth, st.wDay, date))
            throw std::runtime_error("problem in SystemTimeToDateTime2");
        return date + time;
    }
    TDateTime first = 0;
    if (st.wDay < 1 || st.wDay > 5 || !TryEncodeDate(Year, st.wMonth, 1, first))
        throw std::runtime_error("problem in SystemTimeToDateTime2");
    const int firstDow = DayOfWeek(first) - 1;  // 0 = Sunday
    int day = 1 + (int(st.wDayOfWeek) - firstDow + 7) % 7 + (st.wDay - 1) * 7;
    const int length = DaysInMonth(Year, st.wMonth);
    while (day > length)
        day -= 7;  // the fifth one is the last one
    TryEncodeDate(Year, st.wMonth, day, date);
    if (DayOfWeek(date) - 1 != st.wDayOfWeek)
        throw std::runtime_error("problem in SystemTimeToDateTime2");
    return date + time;
}

}  // namespace Tixutils
