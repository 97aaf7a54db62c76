#pragma once
#include <cstdint>
#include <functional>
#include <string>

// Date-times are days since 1899-12-30 as a double; the fraction is the
// time of day (0.5 = noon). Negative values count back from the epoch,
// the fraction still being the time of day (-1.25 is 1899-12-29 06:00).
namespace Tixutils {

using TDateTime = double;

// Date and time formats of the active language. The translation
// component fills them; the defaults are the Czech ones.
struct TFormatSettings {
    char DateSeparator = '.';
    char TimeSeparator = ':';
    // Letters: d/dd day, m/mm (or M/MM) month, yy/yyyy year; "/" stands
    // for DateSeparator; other characters are copied.
    std::string ShortDateFormat = "d.M.yyyy";
};

const TFormatSettings& FormatSettings();
void SetFormatSettings(const TFormatSettings& Settings);

// The clock behind Now() and Date(): the local time of the system unless
// a test or the caller installs another one (an empty function restores
// the system clock).
using TNowFunction = std::function<TDateTime()>;
void SetNowFunction(TNowFunction Function);
TDateTime Now();
// Today at midnight (from Now()).
TDateTime Date();
// The system's local time, whatever clock is installed.
TDateTime SystemNow();

// Calendar helpers (proleptic Gregorian calendar).
bool IsLeapYear(int Year);
int DaysInMonth(int Year, int Month);
// False (and Result untouched) for an invalid date or a year outside 1..9999.
bool TryEncodeDate(int Year, int Month, int Day, TDateTime& Result);
// False for hour > 23, minute > 59, second > 59 or msec > 999.
bool TryEncodeTime(int Hour, int Min, int Sec, int MSec, TDateTime& Result);
void DecodeDate(TDateTime Value, int& Year, int& Month, int& Day);
// The time of day, rounded to the nearest millisecond.
void DecodeTime(TDateTime Value, int& Hour, int& Min, int& Sec, int& MSec);
// 1 = Sunday ... 7 = Saturday.
int DayOfWeek(TDateTime Value);

// Hours (as many digits as needed), minutes and seconds joined by the
// time separator, then "." and Decimals digits (at most 7) of a second.
// With KeepDays the whole value is a duration (36 hours give 36:00:00),
// else only the time of day is written.
std::string TimeToStrEx(TDateTime Value, int Decimals, bool KeepDays);
// Seven decimals, the time of day.
std::string TimeToStrEx2(TDateTime Value);
// The short date text, a blank, then the time of day with Decimals.
std::string DateTimeToStrEx(TDateTime Value, int Decimals);
// The date in the short date format of FormatSettings().
std::string DateToStr(TDateTime Value);

// Encodes a date without ever failing. Years below 100 are completed
// (91..99 -> 1991..1999, others + 2000). A month or day out of range gives
// January or the first of the month; a date the calendar lacks (30 Feb)
// gives today (Date()). Error is false only for a valid date.
TDateTime SafeEncodeDate(int Year, int Month, int Day, bool& Error);
TDateTime SafeEncodeDate(int Year, int Month, int Day);
// The same with the fallback date given (midnight of "today").
TDateTime SafeEncodeDate(int Year, int Month, int Day, bool& Error, TDateTime Today);

// Week number, weeks starting on Monday, week 1 holding 1 January.
int WeekOfYear(TDateTime Value);
// ISO week number: week 1 is the first week with four days of the year.
int WeekOfYear2(TDateTime Value);

// The current universal time.
TDateTime NowGMT();
// A universal time converted to the local time with the system's time
// zone rules: the offset in force at that instant (summer time in summer).
TDateTime GMTtoLocalTime(TDateTime Value);
// The reverse: a local time to universal time with the offset in force at
// that local time. In the hour of a change (a local time skipped or
// repeated) one of the two offsets around it is taken.
TDateTime LocalTimeToGMT(TDateTime Value);
// Local time minus universal time, in minutes, at a local time.
int LocalTimeOffsetMinutes(TDateTime Local);

// A change-over date of a time-zone description: wYear != 0 is an absolute
// date; wYear == 0 names the wDay-th (5 = last) weekday wDayOfWeek
// (0 = Sunday) of wMonth, at wHour:wMinute:wSecond.wMilliseconds.
struct TSystemTime {
    uint16_t wYear = 0;
    uint16_t wMonth = 0;
    uint16_t wDayOfWeek = 0;
    uint16_t wDay = 0;
    uint16_t wHour = 0;
    uint16_t wMinute = 0;
    uint16_t wSecond = 0;
    uint16_t wMilliseconds = 0;
};
// The change-over date resolved for Year. Throws std::runtime_error
// ("problem in SystemTimeToDateTime2") for a rule that cannot be resolved.
TDateTime SystemTimeToDateTime2(int Year, const TSystemTime& ChangeOver);

}  // namespace Tixutils
