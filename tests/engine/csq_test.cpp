// The signal quality handler, line by line with chosen ticks.
#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "engine/perif_csq.h"
#include "tests/engine/status_stubs.h"

using W = VMainWindowLink;

namespace {

struct Csq : ::testing::Test {
    TStatusRig rig{{VPerifModem::hCSQ}};
    VPerifCSQ& csq = rig.modem.csq();
    uint32_t t = rig.t0 + 10;

    std::pair<int, int> values() const
    {
        int r = 0, b = 0;
        csq.getValues(r, b);
        return {r, b};
    }
    // Asks, answers, and leaves the handler idle with known values.
    void settle(const std::string& answer = "+CSQ: 15,99")
    {
        ASSERT_EQ(rig.pollSent(t), "AT+CSQ");
        rig.answer(t + 20, "AT+CSQ", {answer});
        t += 30;
    }
};

}  // namespace

TEST(CsqInterval, ClampedInSecondsWithDefaults)
{
    EXPECT_EQ(VPerifCSQ::IntervalOf(""), 15000u);
    EXPECT_EQ(VPerifCSQ::IntervalOf("abc"), 15000u);
    EXPECT_EQ(VPerifCSQ::IntervalOf("12x"), 15000u);
    EXPECT_EQ(VPerifCSQ::IntervalOf("0"), 15000u);
    EXPECT_EQ(VPerifCSQ::IntervalOf("-5"), 15000u);
    EXPECT_EQ(VPerifCSQ::IntervalOf("1"), 1000u);
    EXPECT_EQ(VPerifCSQ::IntervalOf(" 20"), 20000u);
    EXPECT_EQ(VPerifCSQ::IntervalOf("3600"), 3600000u);
    EXPECT_EQ(VPerifCSQ::IntervalOf("3601"), 3600000u);
    // Beyond 32 bits as milliseconds, and beyond 32 bits as seconds.
    EXPECT_EQ(VPerifCSQ::IntervalOf("4294968"), 3600000u);
    EXPECT_EQ(VPerifCSQ::IntervalOf("2147483647"), 3600000u);
    EXPECT_EQ(VPerifCSQ::IntervalOf("99999999999999999999"), 15000u);
}

TEST_F(Csq, AsksOnceReadyAndKeepsRssi99Raw)
{
    EXPECT_FALSE(csq.isKnown());
    EXPECT_EQ(values(), std::make_pair(-1, -1));
    settle("+CSQ: 15,99");
    EXPECT_EQ(values(), std::make_pair(15, 99));
    EXPECT_TRUE(csq.isKnown());
    EXPECT_FALSE(csq.isBusy());
}

TEST_F(Csq, ValueTexts)
{
    settle("+CSQ: 15 ,99");
    EXPECT_EQ(values(), std::make_pair(15, 99));
    rig.line(t, "+CSQ: 15\r\n");
    EXPECT_EQ(values(), std::make_pair(-1, -1));
    rig.line(t, "+CSQ: 20,3\r\n");  // unsolicited, or from another party's query
    EXPECT_EQ(values(), std::make_pair(20, 3));
    rig.line(t, "+CSQ: 99999999999999,-99999999999\r\n");
    EXPECT_EQ(values(), std::make_pair(INT_MAX, INT_MIN));
    rig.line(t, "+csq: 1,2\r\n");  // the prefix is compared exactly
    EXPECT_EQ(values(), std::make_pair(INT_MAX, INT_MIN));
}

TEST_F(Csq, SameValuesRedrawOnce)
{
    settle("+CSQ: 15,99");
    rig.window.clearCalls();
    rig.line(t, "+CSQ: 17,2\r\n");
    rig.line(t, "+CSQ: 17,2\r\n");
    EXPECT_EQ(rig.window.countCalls("invalidate GaugeSigStr"), 1);
}

TEST_F(Csq, WithoutRefreshAskedOnlyWhileUnknown)
{
    settle();
    for (uint32_t dt = 1000; dt < 4000000; dt += 50000)
        EXPECT_EQ(rig.pollSent(t + dt), "") << dt;
}

TEST_F(Csq, RefreshOncePerInterval)
{
    rig.window.checked[W::CheckTestSignal] = true;
    rig.window.texts[W::EditOftenCSQ] = "2";
    settle();
    const uint32_t sentAt = t - 30;
    EXPECT_EQ(rig.pollSent(sentAt + 2000), "");
    EXPECT_EQ(rig.pollSent(sentAt + 2001), "AT+CSQ");
}

TEST_F(Csq, TypedQueryCountsAndRepeatForgetsTheValues)
{
    settle();
    rig.engine.sendLine(t, "at+csq", -1);  // from the terminal
    EXPECT_TRUE(csq.isBusy());
    rig.sent();
    EXPECT_EQ(rig.pollSent(t + 1000), "");
    EXPECT_EQ(rig.pollSent(t + 1001), "AT+CSQ");
    // A query went out while the previous one was unanswered.
    EXPECT_EQ(values(), std::make_pair(-1, -1));
    rig.answer(t + 1100, "AT+CSQ", {"+CSQ: 9,0"});
    EXPECT_EQ(values(), std::make_pair(9, 0));
}

TEST_F(Csq, EchoMakesItWait)
{
    settle();
    rig.line(t, "AT+CSQ\r\r\n");
    EXPECT_TRUE(csq.isBusy());
    rig.line(t, "ERROR\r\n");
    EXPECT_FALSE(csq.isBusy());
}

TEST_F(Csq, ErrorWhileUnknownBacksOff)
{
    ASSERT_EQ(rig.pollSent(t), "AT+CSQ");
    rig.answer(t + 10, "AT+CSQ", {}, "+CME ERROR: 30");
    // Not on the next ticks: the handlers after this one get their turns.
    for (uint32_t dt = 20; dt <= 2010; dt += 10)
        ASSERT_EQ(rig.pollSent(t + dt), "") << dt;
    EXPECT_EQ(rig.pollSent(t + 2020), "AT+CSQ");
    // A second failure in a row waits longer.
    rig.answer(t + 2030, "AT+CSQ", {}, "ERROR");
    EXPECT_EQ(rig.pollSent(t + 2030 + 3000), "");
    EXPECT_EQ(rig.pollSent(t + 2030 + 4001), "AT+CSQ");
    // An answer that says nothing usable counts as a failure too.
    rig.answer(t + 7000, "AT+CSQ", {"+CSQ: x"});
    EXPECT_EQ(rig.pollSent(t + 7100), "");
    // A good answer ends the back-off.
    EXPECT_EQ(rig.pollSent(t + 7000 + 8001), "AT+CSQ");
    rig.answer(t + 15100, "AT+CSQ", {"+CSQ: 5,5"});
    EXPECT_TRUE(csq.isKnown());
}

TEST_F(Csq, WaitsForTheStartUpStages)
{
    rig.status.answering = false;
    EXPECT_EQ(rig.pollSent(t), "");
    rig.status.answering = true;
    rig.status.fullPower = false;
    EXPECT_EQ(rig.pollSent(t), "");
    rig.status.fullPower = true;
    rig.status.simReady = false;
    EXPECT_EQ(rig.pollSent(t), "");
    rig.status.simReady = true;
    EXPECT_EQ(rig.pollSent(t), "AT+CSQ");
}

TEST(CsqOrder, OtherHandlersWaitingHoldItBack)
{
    TStatusRig rig{{VPerifModem::hCSQ, VPerifModem::hCBC}};
    const uint32_t t = rig.t0 + 10;
    // Another handler's command is unanswered: no first reading yet.
    rig.engine.sendLine(t, "AT+CBC=?", -1);
    rig.sent();
    EXPECT_EQ(rig.pollSent(t + 10), "");
    rig.line(t + 20, "OK\r\n");
    EXPECT_EQ(rig.pollSent(t + 30), "AT+CSQ");
}

TEST_F(Csq, ReadRequestAsksAgain)
{
    settle();
    EXPECT_EQ(rig.pollSent(t + 10), "");
    csq.requestRead();
    EXPECT_EQ(rig.pollSent(t + 20), "AT+CSQ");
    rig.answer(t + 30, "AT+CSQ", {"+CSQ: 15,99"});
    EXPECT_EQ(rig.pollSent(t + 40), "");
}

TEST_F(Csq, ResetForgetsAndRedraws)
{
    settle();
    rig.window.clearCalls();
    rig.engine.resetAll(t);
    EXPECT_EQ(values(), std::make_pair(-1, -1));
    EXPECT_EQ(rig.window.countCalls("invalidate GaugeSigStr"), 1);
}
