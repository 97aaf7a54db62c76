#include <gtest/gtest.h>

#include <string>

#include "foundation/ansi_to_date_time.h"

using Tixsmslist::AnsiToDateTime;
using namespace Tixutils;

namespace {

double At(int y, int mo, int d, int h, int mi, int s)
{
    double date = 0, time = 0;
    TryEncodeDate(y, mo, d, date);
    TryEncodeTime(h, mi, s, 0, time);
    return date + time;
}

}  // namespace

TEST(AnsiToDateTime, DeviceTimeYearFirst)
{
    double v = -1;
    ASSERT_TRUE(AnsiToDateTime("02/12/08,10:37:20+04", v, "/", ":", ", ", vdoYMD));
    EXPECT_DOUBLE_EQ(v, At(2002, 12, 8, 10, 37, 20));
}

TEST(AnsiToDateTime, TheGivenSeparatorsAreTheOnlyOnes)
{
    double v = -1;
    ASSERT_TRUE(AnsiToDateTime("02-12-08T10.37.20", v, "-", ".", "T", vdoYMD));
    EXPECT_DOUBLE_EQ(v, At(2002, 12, 8, 10, 37, 20));
    // The usual ones are no separators then.
    v = 123.0;
    EXPECT_FALSE(AnsiToDateTime("02/12/08,10:37:20", v, "-", ".", "T", vdoYMD));
    EXPECT_FALSE(AnsiToDateTime("02-12-08,10:37:20", v, "-", ".", "T", vdoYMD));
    EXPECT_FALSE(AnsiToDateTime("02-12-08T10:37:20", v, "-", ".", "T", vdoYMD));
    EXPECT_EQ(v, 123.0);
}

TEST(AnsiToDateTime, LocaleTextsDayFirst)
{
    double v = -1;
    ASSERT_TRUE(AnsiToDateTime("8.12.2002 10:37:20", v, "./", ":", ", ", vdoDMY));
    EXPECT_DOUBLE_EQ(v, At(2002, 12, 8, 10, 37, 20));
    ASSERT_TRUE(AnsiToDateTime("08/12/2002 10:37:20", v, "./", ":", ", ", vdoDMY));
    EXPECT_DOUBLE_EQ(v, At(2002, 12, 8, 10, 37, 20));
}

TEST(AnsiToDateTime, FailureLeavesTheResult)
{
    double v = 123.0;
    EXPECT_FALSE(AnsiToDateTime("00/00/00,00:00:00", v, "/", ":", ", ", vdoYMD));
    EXPECT_FALSE(AnsiToDateTime("", v, "/", ":", ", ", vdoYMD));
    EXPECT_FALSE(AnsiToDateTime("02/13/40,10:00:00", v, "/", ":", ", ", vdoYMD));
    EXPECT_FALSE(AnsiToDateTime("garbage", v, "./", ":", ", ", vdoDMY));
    EXPECT_EQ(v, 123.0);
}
