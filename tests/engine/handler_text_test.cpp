// Text helpers and the back-off of the status handlers.
#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "engine/handler_text.h"
#include "engine/retry_hold.h"
#include "foundation/tixutils_datetime.h"

using namespace HandlerText;

TEST(HandlerText, StrToIntDef)
{
    EXPECT_EQ(StrToIntDef("23001", -2), 23001);
    EXPECT_EQ(StrToIntDef(" -7", 0), -7);
    EXPECT_EQ(StrToIntDef("+7", 0), 7);
    EXPECT_EQ(StrToIntDef("", -2), -2);
    EXPECT_EQ(StrToIntDef("-", -2), -2);
    EXPECT_EQ(StrToIntDef("12 ", -2), -2);
    EXPECT_EQ(StrToIntDef("1a", -2), -2);
    EXPECT_EQ(StrToIntDef("2147483647", 0), INT_MAX);
    EXPECT_EQ(StrToIntDef("-2147483648", 0), INT_MIN);
    EXPECT_EQ(StrToIntDef("2147483648", -1), -1);
    EXPECT_EQ(StrToIntDef("99999999999999999999999", -1), -1);
}

TEST(HandlerText, QuotableText)
{
    EXPECT_EQ(QuotableText("T-Mobile CZ"), "T-Mobile CZ");
    EXPECT_EQ(QuotableText("a\"b\r\nc\x1A\x1B\x7F\td"), "abcd");
    EXPECT_EQ(QuotableText("\xE8" "esk\xE1"), "\xE8" "esk\xE1");  // cp1250 letters stay
    EXPECT_EQ(QuotableText(std::string("x\0y", 3)), "xy");
}

TEST(HandlerText, FinalResultCodes)
{
    EXPECT_TRUE(EndsWithOk("OK\r\n"));
    EXPECT_FALSE(EndsWithOk("OK\r"));
    EXPECT_TRUE(IsErrorLine("ERROR\r\n"));
    EXPECT_TRUE(IsErrorLine("+CME ERROR: 10\r\n"));
    EXPECT_TRUE(IsErrorLine("+CMS ERROR: 500\r\n"));
    EXPECT_FALSE(IsErrorLine("+CME ERROR:10\r\n"));
    EXPECT_FALSE(IsErrorLine("OK\r\n"));
    // What cannot be done at all, apart from what may work later.
    for (const char* line : {"ERROR\r\n", "+CME ERROR: 3\r\n", "+CME ERROR: 4\r\n", "ERROR", "+CME ERROR: 3",
                             "+CME ERROR: Operation not allowed\r\n", "+CME ERROR: operation not supported\r\n"})
        EXPECT_TRUE(SaysNotAllowed(line)) << line;
    for (const char* line : {"+CME ERROR: 14\r\n", "+CME ERROR: SIM busy\r\n", "+CME ERROR: 100\r\n",
                             "+CME ERROR: 30\r\n", "+CMS ERROR: 3\r\n", "+CME ERROR: 35", "OK\r\n", ""})
        EXPECT_FALSE(SaysNotAllowed(line)) << line;
}

TEST(HandlerText, WholeSeconds)
{
    EXPECT_EQ(WholeSeconds(1.7), 1);
    EXPECT_EQ(WholeSeconds(-1.7), -1);
    EXPECT_EQ(WholeSeconds(8639.99999999), 8640);  // float noise of a date difference
    EXPECT_EQ(WholeSeconds(8639.9), 8639);
    EXPECT_EQ(WholeSeconds(1e300), INT32_MAX);
    EXPECT_EQ(WholeSeconds(-1e300), INT32_MIN);
    EXPECT_EQ(WholeSeconds(0.0 / 0.0), 0);
}

TEST(HandlerText, GsmDateTimeText)
{
    double d = 0, t = 0;
    Tixutils::TryEncodeDate(2002, 12, 8, d);
    Tixutils::TryEncodeTime(10, 37, 20, 0, t);
    EXPECT_EQ(GsmDateTimeText(d + t), "02/12/08,10:37:20");
    // 10:37:20.9996 is 10:37:21.000 to the millisecond.
    EXPECT_EQ(GsmDateTimeText(d + t + 0.9996 / 86400), "02/12/08,10:37:21");
    EXPECT_EQ(GsmDateTimeText(d + t + 0.9 / 86400), "02/12/08,10:37:20");
    // The last millisecond of a year rounds into the next one.
    Tixutils::TryEncodeDate(2099, 12, 31, d);
    EXPECT_EQ(GsmDateTimeText(d + 1.0 - 0.0000001 / 86400), "00/01/01,00:00:00");
    // Before the epoch.
    EXPECT_EQ(GsmDateTimeText(-1.25), "99/12/29,06:00:00");
    // Nonsense stays formatted, never out of bounds.
    EXPECT_FALSE(GsmDateTimeText(1e300).empty());
    EXPECT_FALSE(GsmDateTimeText(0.0 / 0.0).empty());
}

TEST(RetryHold, DoublesUpToItsLimitAndEndsOnSuccess)
{
    TRetryHold hold(1000, 3000);
    EXPECT_FALSE(hold.holding(5));
    hold.failed(100);
    EXPECT_TRUE(hold.holding(1100));
    EXPECT_FALSE(hold.holding(1101));
    hold.failed(2000);
    EXPECT_EQ(hold.currentHold(), 2000u);
    EXPECT_TRUE(hold.holding(4000));
    EXPECT_FALSE(hold.holding(4001));
    hold.failed(5000);
    hold.failed(5000);
    EXPECT_EQ(hold.currentHold(), 3000u);
    hold.succeeded();
    EXPECT_FALSE(hold.holding(5001));
    EXPECT_EQ(hold.failures(), 0);
}

TEST(RetryHold, AcrossTheTickWrap)
{
    TRetryHold hold(2000, 60000);
    hold.failed(0xFFFFFF00u);
    EXPECT_TRUE(hold.holding(0x00000100u));
    EXPECT_FALSE(hold.holding(0xFFFFFF00u + 2001u));
    for (int i = 0; i < 100; ++i)
        hold.failed(0);
    EXPECT_EQ(hold.currentHold(), 60000u);
}
