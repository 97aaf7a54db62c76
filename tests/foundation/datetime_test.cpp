#include <gtest/gtest.h>

#include <cmath>

#include "foundation/tixutils_datetime.h"

using namespace Tixutils;

namespace {

TDateTime at(int y, int mo, int d, int h = 0, int mi = 0, int s = 0, int ms = 0)
{
    TDateTime date = 0, time = 0;
    EXPECT_TRUE(TryEncodeDate(y, mo, d, date));
    EXPECT_TRUE(TryEncodeTime(h, mi, s, ms, time));
    return date + time;
}

// Pins Now() for one test.
class FixedNow {
public:
    explicit FixedNow(TDateTime value) { SetNowFunction([value] { return value; }); }
    ~FixedNow() { SetNowFunction(nullptr); }
};

// Restores the format settings after a test.
class SavedFormat {
public:
    SavedFormat() : saved_(FormatSettings()) {}
    ~SavedFormat() { SetFormatSettings(saved_); }

private:
    TFormatSettings saved_;
};

}  // namespace

TEST(DateCalendar, EpochAndKnownDays)
{
    TDateTime d = -1;
    ASSERT_TRUE(TryEncodeDate(1899, 12, 30, d));
    EXPECT_EQ(d, 0.0);
    ASSERT_TRUE(TryEncodeDate(1900, 1, 1, d));
    EXPECT_EQ(d, 2.0);
    ASSERT_TRUE(TryEncodeDate(2002, 12, 8, d));
    EXPECT_EQ(d, 37598.0);
    EXPECT_FALSE(TryEncodeDate(2005, 2, 29, d));
    EXPECT_TRUE(TryEncodeDate(2004, 2, 29, d));
    EXPECT_FALSE(TryEncodeDate(1900, 2, 29, d));
    EXPECT_TRUE(TryEncodeDate(2000, 2, 29, d));
    EXPECT_FALSE(TryEncodeDate(0, 1, 1, d));
    EXPECT_FALSE(TryEncodeDate(10000, 1, 1, d));
    int y, m, dd;
    DecodeDate(37598.75, y, m, dd);
    EXPECT_EQ(y * 10000 + m * 100 + dd, 20021208);
    DecodeDate(-1.25, y, m, dd);  // the day before the epoch
    EXPECT_EQ(y * 10000 + m * 100 + dd, 18991229);
    DecodeDate(1e300, y, m, dd);  // far outside: kept in range, no crash
    EXPECT_EQ(y, 9999);
    DecodeDate(NAN, y, m, dd);
    EXPECT_EQ(y, 1899);
    int h, mi, s, ms;
    DecodeTime(at(2020, 1, 1, 13, 5, 7, 250), h, mi, s, ms);
    EXPECT_EQ(h * 10000000 + mi * 100000 + s * 1000 + ms, 130507250);
    EXPECT_EQ(DayOfWeek(at(2002, 12, 8)), 1);  // a Sunday
    EXPECT_EQ(DayOfWeek(0), 7);                // 1899-12-30, a Saturday
}

TEST(TimeToStrEx, DecimalsAndRounding)
{
    SavedFormat keep;
    const TDateTime t = at(2020, 5, 4, 13, 5, 7, 250);
    EXPECT_EQ(TimeToStrEx(t, 3, false), "13:05:07.250");
    EXPECT_EQ(TimeToStrEx(t, 0, false), "13:05:07");
    EXPECT_EQ(TimeToStrEx(t, 1, false), "13:05:07.2");  // 2.5 tenths: ties to even
    // Seven decimals need a value without days: a date part eats the
    // precision of the fraction.
    TDateTime timeOnly = 0;
    ASSERT_TRUE(TryEncodeTime(13, 5, 7, 250, timeOnly));
    EXPECT_EQ(TimeToStrEx(timeOnly, 9, false), "13:05:07.2500000");
    EXPECT_EQ(TimeToStrEx2(timeOnly), "13:05:07.2500000");
    EXPECT_EQ(TimeToStrEx(0, 0, false), "0:00:00");
    EXPECT_EQ(TimeToStrEx(1.5, 0, true), "36:00:00");
    EXPECT_EQ(TimeToStrEx(1.5, 0, false), "12:00:00");
    // The carry of a rounded fraction is not wrapped into the next day.
    const TDateTime late = (86399.9996) / 86400.0;
    EXPECT_EQ(TimeToStrEx(late, 3, false), "24:00:00.000");
    // Whole seconds stay whole despite binary noise.
    for (int s = 0; s < 86400; s += 3607)
        EXPECT_EQ(TimeToStrEx(s / 86400.0, 7, false).substr(TimeToStrEx(s / 86400.0, 7, false).find('.')),
                  ".0000000")
            << s;
    SetFormatSettings({'/', '.', "yyyy/mm/dd"});
    EXPECT_EQ(TimeToStrEx(t, 0, false), "13.05.07");
}

TEST(DateTimeToStrEx, CzechDefaultAndOtherFormats)
{
    SavedFormat keep;
    SetFormatSettings(TFormatSettings{});
    const TDateTime t = at(2002, 12, 8, 10, 37, 20);
    EXPECT_EQ(DateTimeToStrEx(t, 0), "8.12.2002 10:37:20");
    EXPECT_EQ(DateToStr(at(2003, 1, 5)), "5.1.2003");
    SetFormatSettings({'/', ':', "mm/dd/yy"});
    EXPECT_EQ(DateTimeToStrEx(t, 2), "12/08/02 10:37:20.00");
    SetFormatSettings({'-', ':', "yyyy/MM/dd 'r'"});
    EXPECT_EQ(DateToStr(t), "2002-12-08 r");
}

TEST(SafeEncodeDate, FallbacksAndCompletedYears)
{
    FixedNow now(at(2021, 6, 15, 9, 30));
    bool error = false;
    EXPECT_EQ(SafeEncodeDate(2005, 2, 29, error), at(2021, 6, 15));  // today, no time
    EXPECT_TRUE(error);
    EXPECT_EQ(SafeEncodeDate(5, 13, 1, error), at(2005, 1, 1));
    EXPECT_TRUE(error);
    EXPECT_EQ(SafeEncodeDate(99, 12, 31, error), at(1999, 12, 31));
    EXPECT_FALSE(error);
    EXPECT_EQ(SafeEncodeDate(90, 1, 2, error), at(2090, 1, 2));
    EXPECT_EQ(SafeEncodeDate(0, 1, 2, error), at(2000, 1, 2));
    EXPECT_EQ(SafeEncodeDate(91, 1, 2, error), at(1991, 1, 2));
    EXPECT_FALSE(error);
    EXPECT_EQ(SafeEncodeDate(2010, 4, 0, error), at(2010, 4, 1));  // first of the month
    EXPECT_TRUE(error);
    EXPECT_EQ(SafeEncodeDate(2010, 0, 40, error), at(2010, 1, 1));  // both outside
    EXPECT_TRUE(error);
    EXPECT_EQ(SafeEncodeDate(2010, 0, 31, error), at(2010, 1, 31));
    EXPECT_EQ(SafeEncodeDate(20000, 1, 1, error), at(2021, 6, 15));  // beyond the calendar
    EXPECT_TRUE(error);
    EXPECT_EQ(SafeEncodeDate(2010, 6, 7), at(2010, 6, 7));
}

TEST(WeekOfYear, SimpleAndIso)
{
    // 2021-01-01 was a Friday.
    EXPECT_EQ(WeekOfYear(at(2021, 1, 1)), 1);
    EXPECT_EQ(WeekOfYear(at(2021, 1, 3)), 1);  // Sunday
    EXPECT_EQ(WeekOfYear(at(2021, 1, 4)), 2);  // Monday starts week 2
    EXPECT_EQ(WeekOfYear2(at(2021, 1, 1)), 53);  // belongs to 2020's last week
    EXPECT_EQ(WeekOfYear2(at(2021, 1, 4)), 1);
    EXPECT_EQ(WeekOfYear2(at(2020, 12, 31)), 53);
    EXPECT_EQ(WeekOfYear2(at(2019, 12, 30)), 1);  // Monday of 2020's first week
}

TEST(TimeZones, ChangeOverRules)
{
    TSystemTime rule;
    rule.wMonth = 3;
    rule.wDayOfWeek = 0;  // Sunday
    rule.wDay = 5;        // the last one
    rule.wHour = 2;
    EXPECT_EQ(SystemTimeToDateTime2(2021, rule), at(2021, 3, 28, 2));
    rule.wDay = 1;
    EXPECT_EQ(SystemTimeToDateTime2(2021, rule), at(2021, 3, 7, 2));
    rule.wMonth = 10;
    rule.wDay = 5;
    EXPECT_EQ(SystemTimeToDateTime2(2021, rule), at(2021, 10, 31, 2));
    TSystemTime absolute;
    absolute.wYear = 2001;
    absolute.wMonth = 4;
    absolute.wDay = 9;
    EXPECT_EQ(SystemTimeToDateTime2(2021, absolute), at(2001, 4, 9));
    TSystemTime bad = rule;
    bad.wDayOfWeek = 9;  // no such weekday
    EXPECT_THROW(SystemTimeToDateTime2(2021, bad), std::runtime_error);
    bad = rule;
    bad.wMonth = 13;
    EXPECT_THROW(SystemTimeToDateTime2(2021, bad), std::runtime_error);
}

TEST(TimeZones, GmtAndLocalAgreeWithTheSystem)
{
    const TDateTime gmt = NowGMT();
    const TDateTime local = GMTtoLocalTime(gmt);
    // Both read the same instant: the local clock differs by the zone only.
    EXPECT_LT(std::fabs(local - SystemNow()), 5.0 / 86400);
    EXPECT_LT(std::fabs(local - gmt), 1.0);
}

TEST(NowClock, InjectableAndRestorable)
{
    {
        FixedNow now(at(2000, 2, 29, 23, 59));
        EXPECT_EQ(Now(), at(2000, 2, 29, 23, 59));
        EXPECT_EQ(Date(), at(2000, 2, 29));
    }
    EXPECT_LT(std::fabs(Now() - SystemNow()), 5.0 / 86400);
}
