#include <gtest/gtest.h>

#include "foundation/tixutils_text.h"

using namespace Tixutils;

namespace {

TDateTime at(int y, int mo, int d, int h = 0, int mi = 0, int s = 0)
{
    TDateTime date = 0, time = 0;
    EXPECT_TRUE(TryEncodeDate(y, mo, d, date));
    EXPECT_TRUE(TryEncodeTime(h, mi, s, 0, time));
    return date + time;
}

// Times compared to the millisecond.
::testing::AssertionResult sameTime(TDateTime got, TDateTime want)
{
    if (std::abs(got - want) < 0.5 / 86400000.0)
        return ::testing::AssertionSuccess();
    int y, m, d, h, mi, s, ms;
    DecodeDate(got, y, m, d);
    DecodeTime(got, h, mi, s, ms);
    return ::testing::AssertionFailure() << "got " << y << "-" << m << "-" << d << " " << h << ":"
                                         << mi << ":" << s << "." << ms;
}

// 2021-06-15 14:20:00, a Tuesday.
const TDateTime kNow = at(2021, 6, 15, 14, 20);

struct Cut {
    TDateTime value;
    bool failed;
    std::string rest;
};

Cut cut(const std::string& text, VDateOrder order = vdoDMY, const std::string& dateSeps = "./",
        const std::string& timeSeps = ":", const std::string& dateTimeSeps = ", ")
{
    Cut c{0, false, text};
    c.value = CutDateTime(c.rest, c.failed, dateSeps, timeSeps, dateTimeSeps, order, kNow);
    return c;
}

}  // namespace

TEST(CutDateTime, DeviceClockAnswer)
{
    const Cut c = cut("02/12/08,10:37:20+04", vdoYMD, "/", ":", ", ");
    EXPECT_FALSE(c.failed);
    EXPECT_TRUE(sameTime(c.value, at(2002, 12, 8, 10, 37, 20)));
    EXPECT_EQ(c.rest, "+04");
    const Cut d = cut("99/01/31,23:59:59", vdoYMD, "/", ":", ", ");
    EXPECT_FALSE(d.failed);
    EXPECT_TRUE(sameTime(d.value, at(1999, 1, 31, 23, 59, 59)));
    EXPECT_EQ(d.rest, "");
}

TEST(CutDateTime, DatesWithPartsFromToday)
{
    Cut c = cut("8.12.");
    EXPECT_FALSE(c.failed);
    EXPECT_TRUE(sameTime(c.value, at(2021, 12, 8)));
    EXPECT_EQ(c.rest, "");
    c = cut("8.12");
    EXPECT_FALSE(c.failed);
    EXPECT_TRUE(sameTime(c.value, at(2021, 12, 8)));
    c = cut("8.");  // one part: day 8 of this month
    EXPECT_FALSE(c.failed);
    EXPECT_TRUE(sameTime(c.value, at(2021, 6, 8)));
    c = cut("8.0");
    EXPECT_TRUE(sameTime(c.value, at(2021, 6, 8)));
    c = cut("3.", vdoMDY);  // month 3, this day
    EXPECT_TRUE(sameTime(c.value, at(2021, 3, 15)));
    c = cut("5.", vdoYMD);  // year 2005, this month and day
    EXPECT_TRUE(sameTime(c.value, at(2005, 6, 15)));
    c = cut("8.12.2002");
    EXPECT_FALSE(c.failed);
    EXPECT_TRUE(sameTime(c.value, at(2002, 12, 8)));
    c = cut("12/8/02", vdoMDY);
    EXPECT_TRUE(sameTime(c.value, at(2002, 12, 8)));
    c = cut("0.6.", vdoYMD);  // year 0 is 2000 in year-first order
    EXPECT_FALSE(c.failed);
    EXPECT_TRUE(sameTime(c.value, at(2000, 6, 15)));
}

TEST(CutDateTime, DateAndTime)
{
    Cut c = cut("8.12.2002 10:37:20");
    EXPECT_FALSE(c.failed);
    EXPECT_TRUE(sameTime(c.value, at(2002, 12, 8, 10, 37, 20)));
    c = cut("8.12.2002, 10:37");
    EXPECT_FALSE(c.failed);
    EXPECT_TRUE(sameTime(c.value, at(2002, 12, 8, 10, 37)));
    c = cut(" 8 . 12 . 2002 ,10 : 37 ");
    EXPECT_FALSE(c.failed);
    EXPECT_TRUE(sameTime(c.value, at(2002, 12, 8, 10, 37)));
    c = cut("8.12.2002 10");  // the hour alone
    EXPECT_FALSE(c.failed);
    EXPECT_TRUE(sameTime(c.value, at(2002, 12, 8, 10)));
    c = cut("8.12.10:30");  // the third number was the hour
    EXPECT_FALSE(c.failed);
    EXPECT_TRUE(sameTime(c.value, at(2021, 12, 8, 10, 30)));
    c = cut("1.1.2020 10:00:00 tail");
    EXPECT_FALSE(c.failed);
    EXPECT_EQ(c.rest, " tail");
}

TEST(CutDateTime, BareTimeNamesItsNextOccurrence)
{
    Cut c = cut("23:30");
    EXPECT_FALSE(c.failed);
    EXPECT_TRUE(sameTime(c.value, at(2021, 6, 15, 23, 30)));
    c = cut("10:15");  // already past today: tomorrow
    EXPECT_FALSE(c.failed);
    EXPECT_TRUE(sameTime(c.value, at(2021, 6, 16, 10, 15)));
    c = cut("0:30");  // hour 0 is an hour, not a date part
    EXPECT_FALSE(c.failed);
    EXPECT_TRUE(sameTime(c.value, at(2021, 6, 16, 0, 30)));
    c = cut("14:20:01");
    EXPECT_TRUE(sameTime(c.value, at(2021, 6, 15, 14, 20, 1)));
    c = cut("23:59:59");  // the last second of a day is still a time
    EXPECT_FALSE(c.failed);
    EXPECT_TRUE(sameTime(c.value, at(2021, 6, 15, 23, 59, 59)));
}

TEST(CutDateTime, LoneNumberCountsHoursFromMidnight)
{
    Cut c = cut("5");
    EXPECT_FALSE(c.failed);
    EXPECT_TRUE(sameTime(c.value, at(2021, 6, 15, 5)));
    EXPECT_EQ(c.rest, "");
    c = cut("30");
    EXPECT_TRUE(sameTime(c.value, at(2021, 6, 16, 6)));
    c = cut("0");
    EXPECT_TRUE(c.failed);
    EXPECT_EQ(c.rest, "0");
}

TEST(CutDateTime, FailuresKeepTheText)
{
    for (const char* bad : {"", "   ", "x", "-5", "5x", "0.5.2020", "8.0.2020", "8.12x",
                            "8.12.2002x", "25:00", "10:61", "10:30:99", "10:", "10:30:",
                            "10:30x", "24:00", "10:60", "10:30:60", "8.12.2002 24:00",
                            "8.12.2002 10:60", "8.12.2002 10:30:60", "8.12.24:00"}) {
        Cut c = cut(bad);
        EXPECT_TRUE(c.failed) << bad;
        EXPECT_EQ(c.rest, bad);
    }
}

TEST(CutDateTime, PartialValuesOnTimeFailures)
{
    Cut c = cut("8.12.2002 25:00");  // hour out of range: the date alone
    EXPECT_TRUE(c.failed);
    EXPECT_TRUE(sameTime(c.value, at(2002, 12, 8)));
    c = cut("8.12.2002 10:75");  // minutes out of range: date and hour
    EXPECT_TRUE(c.failed);
    EXPECT_TRUE(sameTime(c.value, at(2002, 12, 8, 10)));
    c = cut("8.12.2002 10:30:75");
    EXPECT_TRUE(c.failed);
    EXPECT_TRUE(sameTime(c.value, at(2002, 12, 8, 10, 30)));
    // The first value out of range is no carry into the next unit.
    c = cut("8.12.2002 24:00");
    EXPECT_TRUE(c.failed);
    EXPECT_TRUE(sameTime(c.value, at(2002, 12, 8)));
    c = cut("8.12.2002 10:60");
    EXPECT_TRUE(c.failed);
    EXPECT_TRUE(sameTime(c.value, at(2002, 12, 8, 10)));
    c = cut("8.12.2002 10:30:60");
    EXPECT_TRUE(c.failed);
    EXPECT_TRUE(sameTime(c.value, at(2002, 12, 8, 10, 30)));
    c = cut("8.12.2002 10x");  // other character after the hour: Now
    EXPECT_TRUE(c.failed);
    EXPECT_TRUE(sameTime(c.value, kNow));
    c = cut("8.12.2002x", vdoDMY, "./", ":", "");  // no date-time separators
    EXPECT_TRUE(c.failed);
    EXPECT_TRUE(sameTime(c.value, kNow));
}

TEST(CutDateTime, InvalidDatesFailThroughTheDateCheck)
{
    Cut c = cut("30.2.2021");
    EXPECT_TRUE(c.failed);
    EXPECT_EQ(c.rest, "30.2.2021");
    EXPECT_TRUE(sameTime(c.value, at(2021, 6, 15)));  // today, the encoder's fallback
    c = cut("31.13.2021");
    EXPECT_TRUE(c.failed);
    EXPECT_TRUE(sameTime(c.value, at(2021, 1, 31)));
}

TEST(CutDateTime, DefaultFormUsesTheInstalledClock)
{
    SetNowFunction([] { return kNow; });
    std::string s = "1.2.2003 4:05";
    bool failed = true;
    EXPECT_TRUE(sameTime(CutDateTime(s, failed), at(2003, 2, 1, 4, 5)));
    EXPECT_FALSE(failed);
    EXPECT_EQ(s, "");
    std::string t = "7:00";
    EXPECT_TRUE(sameTime(CutDateTime(t, failed), at(2021, 6, 16, 7)));
    SetNowFunction(nullptr);
}
