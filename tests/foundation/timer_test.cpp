#include <gtest/gtest.h>

#include "foundation/tixutils_timer.h"
#include "foundation/utils.h"
#include "platform/tick.h"

using Tixutils::IsTimerOver;
using Utils::IsTickElapsed;

TEST(TickElapsed, CountsAcrossTheWrap)
{
    // 0x10 - 0xFFFFFF00 = 272 ms modulo 2^32.
    EXPECT_TRUE(IsTickElapsed(0xFFFFFF00u, 100, 0x10));
    EXPECT_FALSE(IsTickElapsed(0xFFFFFF00u, 300, 0x10));
    EXPECT_FALSE(IsTickElapsed(0xFFFFFF00u, 272, 0x10));
    EXPECT_TRUE(IsTickElapsed(0xFFFFFF00u, 271, 0x10));
}

TEST(TickElapsed, NowEqualToStartNeverElapsed)
{
    for (uint32_t start : {0u, 1u, 0x7FFFFFFFu, 0x80000000u, 0xFFFFFFFFu}) {
        for (uint32_t limit : {0u, 1u, 1000u, 0xFFFFFFFFu})
            EXPECT_FALSE(IsTickElapsed(start, limit, start)) << start << " " << limit;
    }
    EXPECT_TRUE(IsTickElapsed(5, 0, 6));
}

TEST(TimerOver, ClockGoingBackInTheLowerHalfIsOver)
{
    // Start in the lower half and Now below it: no wrap, so it is over
    // whatever the interval.
    EXPECT_TRUE(IsTimerOver(0x7FFFFFFFu, 0xFFFFFFFFu, 5));
    EXPECT_TRUE(IsTimerOver(0x7FFFFFFFu, 0, 5));
    // The plain tick test thinks far less time has passed.
    EXPECT_FALSE(IsTickElapsed(0x7FFFFFFFu, 0xFFFFFFFFu, 5));
}

TEST(TimerOver, WrapFromUpperToLowerHalf)
{
    EXPECT_FALSE(IsTimerOver(0xFFFFFFF0u, 0x20, 0x10));  // 0x20 passed, not more
    EXPECT_TRUE(IsTimerOver(0xFFFFFFF0u, 0x10, 0x10));
    // From the very start of the upper half to 0x10: 0x80000010 passed.
    EXPECT_FALSE(IsTimerOver(0x80000000u, 0x80000010u, 0x10));
    EXPECT_TRUE(IsTimerOver(0x80000000u, 0x8000000Fu, 0x10));
}

TEST(TimerOver, ForwardTimeComparesTheDifference)
{
    EXPECT_FALSE(IsTimerOver(1000, 500, 1500));
    EXPECT_TRUE(IsTimerOver(1000, 500, 1501));
    EXPECT_FALSE(IsTimerOver(1000, 0, 1000));
}

TEST(TimerOver, TwoArgumentFormReadsTheSystemTick)
{
    const uint32_t saved = Platform::GetTickOffset();
    // Put the clock just past the wrap: a start in the upper half is then
    // read as a wrap-around.
    Platform::SetTickOffset(0);
    const uint32_t plain = Platform::GetTickCount();
    Platform::SetTickOffset(uint32_t(0x100u - plain));
    const uint32_t now = Platform::GetTickCount();
    ASSERT_LT(now, 0x80000000u);
    EXPECT_FALSE(IsTimerOver(now - 10, 3600000));
    EXPECT_TRUE(IsTimerOver(now - 100000, 1000));
    EXPECT_FALSE(IsTimerOver(0xFFFFFF00u, 3600000));  // wrapped start, an hour to go
    EXPECT_TRUE(IsTimerOver(now + 50000, 3600000));    // a start in the future is over
    Platform::SetTickOffset(saved);
}

TEST(Counters, CumulateNeverClears)
{
    bool flag = false;
    Tixutils::Cumulate(flag, false);
    EXPECT_FALSE(flag);
    Tixutils::Cumulate(flag, true);
    Tixutils::Cumulate(flag, false);
    EXPECT_TRUE(flag);

    bool changed = false;
    uint8_t b = 7;
    Tixutils::CumulateAssign(b, uint8_t(7), changed);
    EXPECT_FALSE(changed);
    Tixutils::CumulateAssign(b, uint8_t(9), changed);
    EXPECT_EQ(b, 9);
    EXPECT_TRUE(changed);
    int32_t i = -1;
    Tixutils::CumulateAssign(i, -1, changed);
    EXPECT_TRUE(changed);  // stays set from before
    uint32_t u = 1;
    bool changed2 = false;
    Tixutils::CumulateAssign(u, 0xFFFFFFFFu, changed2);
    EXPECT_EQ(u, 0xFFFFFFFFu);
    EXPECT_TRUE(changed2);
}

TEST(Counters, IncDwordKeepsTheUpperHalf)
{
    uint32_t c = 10;
    Tixutils::IncDword(c, 5);
    EXPECT_EQ(c, 15u);
    c = 0x7FFFFFFFu;
    Tixutils::IncDword(c, 2);  // lower half simply adds
    EXPECT_EQ(c, 0x80000001u);
    c = 0xFFFFFFFFu;
    Tixutils::IncDword(c, 1);  // upper half: wraps back into the upper half
    EXPECT_EQ(c, 0x80000000u);
    c = 0x80000000u;
    Tixutils::IncDword(c, 0x80000000u);  // sum itself when it leaves the half
    EXPECT_EQ(c, 0x80000000u);
    c = 0x80000005u;
    Tixutils::IncDword(c, 10);
    EXPECT_EQ(c, 0x8000000Fu);
    c = 3;
    Tixutils::DecDword(c, 5);
    EXPECT_EQ(c, 0xFFFFFFFEu);
}
