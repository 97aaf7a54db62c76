// The clock handler, line by line with chosen ticks and a pinned PC clock.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/perif_cala.h"
#include "engine/perif_cclk.h"
#include "tests/engine/status_stubs.h"

using W = VMainWindowLink;

namespace {

const double PcNow = DateTimeOf(2002, 12, 8, 9, 36, 0);

struct Cclk : ::testing::Test {
    TStatusRig rig{std::initializer_list<int>{VPerifModem::hCCLK}, PcNow};
    VPerifCCLK& cclk = rig.modem.cclk();
    uint32_t t = rig.t0 + 10;

    // Probe and read; the read answered with `answer`.
    void probeAndRead(const std::string& answer)
    {
        ASSERT_EQ(rig.pollSent(t), "AT+CCLK=?");
        rig.answer(t + 10, "AT+CCLK=?", {});
        ASSERT_EQ(cclk.getState(), 1);
        ASSERT_EQ(rig.pollSent(t + 20), "AT+CCLK?");
        rig.answer(t + 30, "AT+CCLK?", {answer});
        t += 30;
    }
};

}  // namespace

TEST_F(Cclk, AnswerWithZoneGivesOffsetSuffixAndRunningDisplay)
{
    EXPECT_FALSE(cclk.isResolved());
    EXPECT_FALSE(rig.window.enabled[W::GroupCCLK]);
    probeAndRead("+CCLK: \"02/12/08,10:37:20+04\"");
    EXPECT_EQ(cclk.getState(), 2);
    EXPECT_TRUE(cclk.isResolved());
    EXPECT_EQ(cclk.getOffset(), 3680);
    EXPECT_EQ(cclk.getZoneSuffix(), "+04");
    EXPECT_EQ(rig.window.texts[W::EditCCLKofs], "1h 1m 20s");
    EXPECT_TRUE(rig.window.enabled[W::GroupCCLK]);
    EXPECT_TRUE(rig.window.enabled[W::BtnCCLKWrite]);
    EXPECT_EQ(rig.window.fontColors[W::GroupCCLK], clWindowText);

    // Quiet for 200 ms after the read went out, then the device's time.
    rig.tick(t - 10 + 200);
    EXPECT_EQ(rig.window.texts[W::EditCCLKtime], "");
    rig.tick(t - 10 + 201);
    EXPECT_EQ(rig.window.texts[W::EditCCLKtime], "8.12.2002 10:37:20");
    // It runs with the PC clock; an unchanged text is not written again.
    rig.window.clearCalls();
    for (int i = 1; i <= 5; ++i)
        rig.tick(t + 200 + 10 * i);
    EXPECT_EQ(rig.window.countCalls("setEditText EditCCLKtime"), 0);
    rig.setPcNow(PcNow + 61.0 / 86400);
    // Made again when the second shown (half past, from the 0.5 s added)
    // ends, 500 ms after it was made, not on every tick of the engine.
    rig.window.clearCalls();
    const int dates = rig.window.dateTextCount;
    for (uint32_t at = t + 300; at <= t + 690; at += 10)
        rig.tick(at);
    EXPECT_EQ(rig.window.dateTextCount, dates) << "nothing made within the second";
    EXPECT_EQ(rig.window.texts[W::EditCCLKtime], "8.12.2002 10:37:20");
    rig.tick(t + 692);
    EXPECT_EQ(rig.window.texts[W::EditCCLKtime], "8.12.2002 10:38:21");
    EXPECT_EQ(rig.window.countCalls("setEditText EditCCLKtime"), 1);
}

// Both edits show seconds of the device clock: with the PC clock running
// along with the ticks they change once a second, in the same tick, so an
// idle window repaints once a second, not twice.
TEST(ClockAndAlarm, EditsChangeTogetherOnceASecond)
{
    const double start = PcNow + 0.255 / 86400;
    TStatusRig rig{std::initializer_list<int>{VPerifModem::hCCLK, VPerifModem::hCALA}, start};
    const uint32_t t = rig.t0 + 10;
    ASSERT_EQ(rig.pollSent(t), "AT+CCLK=?");
    rig.answer(t + 10, "AT+CCLK=?", {});
    ASSERT_EQ(rig.pollSent(t + 20), "AT+CCLK?");
    rig.answer(t + 30, "AT+CCLK?", {"+CCLK: \"02/12/08,10:37:20\""});
    ASSERT_EQ(rig.pollSent(t + 40), "AT+CALA=?");
    rig.answer(t + 50, "AT+CALA=?", {"+CALA: (0),(0),(0-16)"});
    ASSERT_EQ(rig.pollSent(t + 60), "AT+CALA?");
    rig.answer(t + 70, "AT+CALA?", {"+CALA: \"00/00/00,00:00:00\",0,0,\"\""});
    rig.modem.cala().setRelative(90, true);

    std::vector<uint32_t> clockTicks;
    std::vector<uint32_t> alarmTicks;
    std::vector<std::string> clockTexts;
    for (uint32_t at = t + 400; at < t + 4400; at += 10) {
        rig.setPcNow(start + (at - t) / 86400000.0);
        rig.window.clearCalls();
        rig.tick(at);
        if (rig.window.countCalls("setEditText EditCCLKtime") > 0) {
            clockTicks.push_back(at);
            clockTexts.push_back(rig.window.texts[W::EditCCLKtime]);
        }
        if (rig.window.countCalls("setEditText EditCALAtime") > 0)
            alarmTicks.push_back(at);
    }
    // Shown is PC time + 3680.5 s: its seconds end at half past the PC's,
    // 5 ms before t + 250 + 1000 k: each shows in the tick right after.
    EXPECT_EQ(clockTicks, (std::vector<uint32_t>{t + 400, t + 1250, t + 2250, t + 3250, t + 4250}));
    EXPECT_EQ(alarmTicks, clockTicks);
    EXPECT_EQ(clockTexts, (std::vector<std::string>{"8.12.2002 10:37:21", "8.12.2002 10:37:22",
                                                      "8.12.2002 10:37:23", "8.12.2002 10:37:24",
                                                      "8.12.2002 10:37:25"}));
    EXPECT_EQ(rig.window.texts[W::EditCALAtime], "8.12.2002 10:38:55");
}

TEST_F(Cclk, OffsetRoundsHalfUpTowardZero)
{
    rig.setPcNow(DateTimeOf(2002, 12, 8, 10, 37, 21) + 0.7 / 86400);
    probeAndRead("+CCLK: \"02/12/08,10:37:20\"");
    EXPECT_EQ(cclk.getOffset(), -1);  // -1.7 s
    EXPECT_EQ(cclk.getZoneSuffix(), "");
    rig.setPcNow(DateTimeOf(2002, 12, 8, 10, 37, 18) + 0.3 / 86400);
    rig.engine.sendLine(t, "AT+CCLK?", -1);
    rig.answer(t + 10, "AT+CCLK?", {"+CCLK: \"02/12/08,10:37:20\""});
    EXPECT_EQ(cclk.getOffset(), 2);  // +1.7 s
}

TEST_F(Cclk, DeviceWithoutClock)
{
    ASSERT_EQ(rig.pollSent(t), "AT+CCLK=?");
    rig.answer(t + 10, "AT+CCLK=?", {}, "ERROR");
    EXPECT_EQ(cclk.getState(), 3);
    EXPECT_TRUE(cclk.isResolved());
    EXPECT_FALSE(rig.window.enabled[W::GroupCCLK]);
    EXPECT_FALSE(rig.window.enabled[W::BtnCCLKAsk]);
    EXPECT_EQ(rig.window.fontColors[W::GroupCCLK], clGrayText);
    for (uint32_t dt = 20; dt < 20000; dt += 500)
        EXPECT_EQ(rig.pollSent(t + dt), "");
}

TEST_F(Cclk, SetCommandTakesItsOffsetOnOk)
{
    probeAndRead("+CCLK: \"02/12/08,10:37:20+04\"");
    // As the main window's write button sends it: PC time, zone suffix.
    const std::string write = "AT+CCLK=\"02/12/08,09:36:00" + cclk.getZoneSuffix() + "\"";
    rig.engine.sendLine(t, write.c_str(), -1);
    EXPECT_EQ(cclk.getPendingKind(), 2);
    EXPECT_TRUE(cclk.isBusy());
    rig.line(t + 10, "OK\r\n");
    EXPECT_EQ(cclk.getOffset(), 0);
    EXPECT_EQ(rig.window.texts[W::EditCCLKofs], "0s");
    // A refused one leaves the offset alone.
    rig.engine.sendLine(t + 20, "AT+CCLK=\"02/12/08,12:00:00\"", -1);
    rig.line(t + 30, "+CME ERROR: 3\r\n");
    EXPECT_EQ(cclk.getOffset(), 0);
    EXPECT_FALSE(cclk.isBusy());
    // A text that is no time is not a set command of this handler.
    rig.engine.sendLine(t + 40, "AT+CCLK=\"garbage\"", -1);
    EXPECT_FALSE(cclk.isBusy());
}

TEST_F(Cclk, UnusableAnswersAndErrorsBackOff)
{
    ASSERT_EQ(rig.pollSent(t), "AT+CCLK=?");
    rig.answer(t + 10, "AT+CCLK=?", {});
    ASSERT_EQ(rig.pollSent(t + 20), "AT+CCLK?");
    rig.answer(t + 30, "AT+CCLK?", {"+CCLK: \"99/99/99,99:99:99\""});
    EXPECT_EQ(cclk.getState(), 1);
    // Not read again on the next ticks.
    for (uint32_t dt = 40; dt <= 2030; dt += 10)
        ASSERT_EQ(rig.pollSent(t + dt), "") << dt;
    EXPECT_EQ(rig.pollSent(t + 2031), "AT+CCLK?");
    rig.answer(t + 2040, "AT+CCLK?", {}, "ERROR");
    EXPECT_EQ(rig.pollSent(t + 2040 + 4000), "");
    EXPECT_EQ(rig.pollSent(t + 2040 + 4001), "AT+CCLK?");
    // Two date-time fields are not a clock answer either.
    rig.answer(t + 6100, "AT+CCLK?", {"+CCLK: 02/12/08,10:37:20"});
    EXPECT_EQ(cclk.getState(), 1);
    EXPECT_EQ(rig.pollSent(t + 6200), "");
}

TEST_F(Cclk, ZoneSuffixKeepsNoQuoteOrControl)
{
    probeAndRead("+CCLK: \"02/12/08,10:37:20+04\"\"\x1B\r\"");
    EXPECT_EQ(cclk.getState(), 2);
    EXPECT_EQ(cclk.getZoneSuffix(), "+04");
}

TEST_F(Cclk, ReadAgainEveryFiveMinutesWhileRefreshing)
{
    probeAndRead("+CCLK: \"02/12/08,10:37:20\"");
    const uint32_t readAt = t;  // the OK
    EXPECT_EQ(rig.pollSent(readAt + 400000), "");
    rig.window.checked[W::CheckTestSignal] = true;
    EXPECT_EQ(rig.pollSent(readAt + 300000), "");
    EXPECT_EQ(rig.pollSent(readAt + 300001), "AT+CCLK?");
}

TEST_F(Cclk, UnansweredCommandIsRepeatedAfter2s)
{
    ASSERT_EQ(rig.pollSent(t), "AT+CCLK=?");
    EXPECT_EQ(rig.pollSent(t + 2000), "");
    EXPECT_EQ(rig.pollSent(t + 2001), "AT+CCLK=?");
    rig.answer(t + 2010, "AT+CCLK=?", {});
    EXPECT_EQ(cclk.getState(), 1);
}

TEST_F(Cclk, UnansweredTypedReadDoesNotHoldEveryoneBack)
{
    probeAndRead("+CCLK: \"02/12/08,10:37:20\"");
    rig.engine.sendLine(t + 10, "AT+CCLK?", -1);
    rig.sent();
    EXPECT_TRUE(cclk.isBusy());
    EXPECT_EQ(rig.pollSent(t + 2010), "");
    EXPECT_EQ(rig.pollSent(t + 2011), "AT+CCLK?");
    rig.answer(t + 2020, "AT+CCLK?", {"+CCLK: \"02/12/08,10:37:20\""});
    EXPECT_FALSE(cclk.isBusy());
}

TEST_F(Cclk, ResetEmptiesTheGroup)
{
    probeAndRead("+CCLK: \"02/12/08,10:37:20+04\"");
    rig.tick(t + 500);
    ASSERT_FALSE(rig.window.texts[W::EditCCLKtime].empty());
    rig.engine.restart(t + 600);
    EXPECT_EQ(cclk.getState(), 0);
    EXPECT_EQ(cclk.getZoneSuffix(), "");
    EXPECT_EQ(rig.window.texts[W::EditCCLKtime], "");
    EXPECT_EQ(rig.window.texts[W::EditCCLKofs], "");
    EXPECT_FALSE(rig.window.enabled[W::GroupCCLK]);
}

TEST_F(Cclk, WaitsForTheStartUpStages)
{
    rig.status.simReady = false;
    EXPECT_EQ(rig.pollSent(t), "");
    rig.status.simReady = true;
    rig.status.steady = false;
    EXPECT_EQ(rig.pollSent(t), "");
    rig.status.steady = true;
    EXPECT_EQ(rig.pollSent(t), "AT+CCLK=?");
}
