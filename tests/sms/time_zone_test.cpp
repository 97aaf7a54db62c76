// Local time and universal time with the offset in force at the instant,
// as the SMS time stamps and the absolute validity use them.
#include <gtest/gtest.h>

#include <cmath>

#include "foundation/tixutils_datetime.h"
#include "tests/sms/sms_rig.h"

using namespace SmsRig;
using Tixutils::GMTtoLocalTime;
using Tixutils::LocalTimeOffsetMinutes;
using Tixutils::LocalTimeToGMT;

TEST(TimeZones, PragueSummerAndWinter)
{
    TZone prague("Europe/Prague");
    EXPECT_EQ(Text(GMTtoLocalTime(At(2024, 7, 15, 11, 45, 30))), "15.7.2024 13:45:30");
    EXPECT_EQ(Text(GMTtoLocalTime(At(2024, 1, 15, 11, 45, 30))), "15.1.2024 12:45:30");
    EXPECT_EQ(Text(LocalTimeToGMT(At(2024, 7, 15, 13, 45, 30))), "15.7.2024 11:45:30");
    EXPECT_EQ(Text(LocalTimeToGMT(At(2024, 1, 15, 12, 45, 30))), "15.1.2024 11:45:30");
    EXPECT_EQ(LocalTimeOffsetMinutes(At(2024, 7, 15, 12)), 120);
    EXPECT_EQ(LocalTimeOffsetMinutes(At(2024, 1, 15, 12)), 60);
    // Around the change on 31 March 2024 (02:00 -> 03:00).
    EXPECT_EQ(LocalTimeOffsetMinutes(At(2024, 3, 31, 1, 59, 59)), 60);
    EXPECT_EQ(LocalTimeOffsetMinutes(At(2024, 3, 31, 3, 0, 0)), 120);
    EXPECT_EQ(Text(GMTtoLocalTime(At(2024, 3, 31, 0, 59, 59))), "31.3.2024 1:59:59");
    EXPECT_EQ(Text(GMTtoLocalTime(At(2024, 3, 31, 1, 0, 0))), "31.3.2024 3:00:00");
    // A skipped or repeated local hour takes one of the two offsets.
    const int skipped = LocalTimeOffsetMinutes(At(2024, 3, 31, 2, 30));
    EXPECT_TRUE(skipped == 60 || skipped == 120) << skipped;
    const int repeated = LocalTimeOffsetMinutes(At(2024, 10, 27, 2, 30));
    EXPECT_TRUE(repeated == 60 || repeated == 120) << repeated;
    // Every hour of a year goes there and back.
    for (int hour = 0; hour < 366 * 24; hour += 5) {
        const Tixutils::TDateTime gmt = At(2024, 1, 1) + hour / 24.0;
        EXPECT_NEAR(LocalTimeToGMT(GMTtoLocalTime(gmt)), gmt, 1e-9) << Text(gmt);
    }
}

TEST(TimeZones, OtherZonesAndOddValues)
{
    {
        TZone york("America/New_York");
        EXPECT_EQ(LocalTimeOffsetMinutes(At(2024, 7, 1, 12)), -240);
        EXPECT_EQ(LocalTimeOffsetMinutes(At(2024, 12, 1, 12)), -300);
    }
    {
        TZone kathmandu("Asia/Kathmandu");
        EXPECT_EQ(LocalTimeOffsetMinutes(At(2024, 7, 1, 12)), 345);
    }
    {
        TZone utc("UTC");
        EXPECT_EQ(LocalTimeToGMT(At(2024, 7, 1, 12)), At(2024, 7, 1, 12));
        EXPECT_EQ(LocalTimeOffsetMinutes(NAN), 0);
        EXPECT_EQ(LocalTimeOffsetMinutes(1e12), 0);
        EXPECT_TRUE(std::isnan(LocalTimeToGMT(NAN)));
    }
}
