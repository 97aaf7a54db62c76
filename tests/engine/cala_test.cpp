// The alarm handler, line by line with chosen ticks and a pinned PC clock.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/perif_cala.h"
#include "tests/engine/status_stubs.h"

using W = VMainWindowLink;

namespace {

const double PcNow = DateTimeOf(2002, 12, 8, 9, 36, 0);

struct Cala : ::testing::Test {
    TStatusRig rig{std::initializer_list<int>{VPerifModem::hCALA}, PcNow};
    VPerifCALA& cala = rig.modem.cala();
    uint32_t t = rig.t0 + 10;

    // Probe and read; the read answered with `info` lines.
    void probeAndRead(const std::vector<std::string>& info)
    {
        ASSERT_EQ(rig.pollSent(t), "AT+CALA=?");
        rig.answer(t + 10, "AT+CALA=?", {"+CALA: (0),(0),(0-16)"});
        ASSERT_EQ(cala.getState(), 1);
        ASSERT_EQ(rig.pollSent(t + 20), "AT+CALA?");
        rig.answer(t + 30, "AT+CALA?", info);
        t += 30;
    }
    std::string write()
    {
        t += 10;
        return rig.pollSent(t);
    }
};

}  // namespace

TEST_F(Cala, NoAlarmShowsFirstOfJanuary2000)
{
    EXPECT_FALSE(cala.isResolved());
    EXPECT_FALSE(rig.window.enabled[W::GroupCALA]);
    probeAndRead({"+CALA: \"00/00/00,00:00:00\",0,0,\"\""});
    EXPECT_EQ(cala.getState(), 2);
    EXPECT_TRUE(cala.isResolved());
    EXPECT_EQ(rig.window.texts[W::EditCALAtime], "1.1.2000 0:00:00");
    EXPECT_EQ(rig.window.texts[W::EditCALAtext], "");
    EXPECT_TRUE(rig.window.enabled[W::GroupCALA]);
    EXPECT_TRUE(rig.window.enabled[W::BtnCALAWrite]);
    EXPECT_EQ(rig.window.fontColors[W::GroupCALA], clWindowText);
    EXPECT_FALSE(cala.relativeLeads());
    EXPECT_LT(cala.getRelSeconds(), -1);
}

TEST_F(Cala, BareOkIsNoAlarmAndSettles)
{
    probeAndRead({});
    EXPECT_EQ(cala.getState(), 2);
    EXPECT_TRUE(cala.isResolved());
    EXPECT_EQ(rig.window.texts[W::EditCALAtime], "1.1.2000 0:00:00");
    // Settled: no further reads.
    for (uint32_t dt = 10; dt < 10000; dt += 100)
        EXPECT_EQ(rig.pollSent(t + dt), "");
}

TEST_F(Cala, AlarmWithTextIsShownAndMarked)
{
    probeAndRead({"+CALA: \"02/12/08,12:00:00\",0,0,\"Wake up\"", "+CALA: \"02/12/09,07:00:00\",1,0,\"x\""});
    EXPECT_EQ(rig.window.texts[W::EditCALAtime], "8.12.2002 12:00:00");
    EXPECT_EQ(rig.window.texts[W::EditCALAtext], "Wake up");
    EXPECT_EQ(cala.getAlarmText(), "Wake up");
    EXPECT_TRUE(cala.isSameText("Wake up"));
    EXPECT_TRUE(cala.isDeviceText("Wake up"));
    EXPECT_FALSE(cala.isSameText("wake up"));
    EXPECT_GE(rig.window.calaTextChanges, 1);
    // 12:00:00 - 09:36:00 in the duration edit.
    EXPECT_EQ(cala.getRelSeconds(), 8640);
    EXPECT_EQ(rig.window.texts[W::EditCALAofs], "2h 24m");
}

TEST_F(Cala, RelativeZeroIsWrittenOneSecondAfterDeviceNow)
{
    rig.status.clockOffset = 100;  // the device clock is 100 s ahead
    probeAndRead({"+CALA: \"00/00/00,00:00:00\",0,0,\"\""});
    cala.setRelative(0, true);
    EXPECT_TRUE(cala.relativeLeads());
    EXPECT_EQ(rig.window.texts[W::EditCALAofs], "0s");
    cala.requestWrite();
    EXPECT_EQ(write(), "AT+CALA=\"02/12/08,09:37:41\",0,0");
    EXPECT_TRUE(cala.isBusy());
    EXPECT_TRUE(cala.isWriteRequested());
    rig.line(t + 10, "OK\r\n");
    EXPECT_FALSE(cala.isWriteRequested());
    EXPECT_FALSE(cala.relativeLeads());
    EXPECT_EQ(rig.window.texts[W::EditCALAtime], "8.12.2002 9:37:41");
}

TEST_F(Cala, ChangedTextIsWrittenWithoutQuotesOrControls)
{
    probeAndRead({"+CALA: \"00/00/00,00:00:00\",0,0,\"\""});
    cala.setRelative(3600, true);
    rig.window.texts[W::EditCALAtext] = "Tea \"now\"\r\x1A";
    cala.requestWrite();
    EXPECT_EQ(write(), "AT+CALA=\"02/12/08,10:36:00\",0,0,\"Tea now\"");
    const int marks = rig.window.calaTextChanges;
    rig.line(t + 10, "OK\r\n");
    EXPECT_EQ(cala.getAlarmText(), "Tea now");
    EXPECT_EQ(rig.window.calaTextChanges, marks + 1);
    // Unchanged now: the next write has no text field.
    rig.window.texts[W::EditCALAtext] = "Tea now";
    cala.setRelative(60, true);
    cala.requestWrite();
    EXPECT_EQ(write(), "AT+CALA=\"02/12/08,09:37:00\",0,0");
}

TEST_F(Cala, CancelWritesADayInThePastOnlyWithTheTextUnchanged)
{
    probeAndRead({"+CALA: \"02/12/08,12:00:00\",0,0,\"A\""});
    cala.setRelative(-86400, true);  // "-1d"
    EXPECT_EQ(rig.window.texts[W::EditCALAofs], "-1d");
    cala.requestWrite();
    EXPECT_EQ(write(), "AT+CALA=\"02/12/07,09:36:00\",0,0");
    rig.line(t + 10, "OK\r\n");

    rig.window.texts[W::EditCALAtext] = "B";
    cala.setRelative(-86400, true);
    cala.requestWrite();
    EXPECT_EQ(write(), "");
    EXPECT_FALSE(cala.isWriteRequested());
}

TEST_F(Cala, NothingToWriteDropsTheRequest)
{
    probeAndRead({"+CALA: \"00/00/00,00:00:00\",0,0,\"\""});
    cala.setRelative(-1, true);
    cala.requestWrite();
    EXPECT_EQ(write(), "");
    EXPECT_FALSE(cala.isWriteRequested());
}

TEST_F(Cala, RefusedWriteIsNotRepeated)
{
    probeAndRead({"+CALA: \"00/00/00,00:00:00\",0,0,\"\""});
    cala.setRelative(60, true);
    cala.requestWrite();
    ASSERT_NE(write(), "");
    rig.line(t + 10, "+CME ERROR: 24\r\n");
    EXPECT_FALSE(cala.isWriteRequested());
    for (uint32_t dt = 20; dt < 10000; dt += 100)
        EXPECT_EQ(rig.pollSent(t + dt), "");
}

TEST_F(Cala, EditsFollowEachOtherWithoutNeedlessRewrites)
{
    probeAndRead({"+CALA: \"00/00/00,00:00:00\",0,0,\"\""});
    // Relative leads: the time edit runs with the clock.
    cala.setRelative(90, true);
    rig.tick(t + 300);
    EXPECT_EQ(rig.window.texts[W::EditCALAtime], "8.12.2002 9:37:30");
    rig.window.clearCalls();
    for (int i = 1; i <= 10; ++i)
        rig.tick(t + 300 + 10 * i);
    EXPECT_EQ(rig.window.countCalls("setEditText"), 0);
    rig.setPcNow(PcNow + 5.0 / 86400);
    rig.tick(t + 500);
    EXPECT_EQ(rig.window.texts[W::EditCALAtime], "8.12.2002 9:37:35");
    EXPECT_EQ(rig.window.countCalls("setEditText"), 1);

    // The time edit leads (the user typed a day-month-year time).
    cala.setRelativeLeads(false);
    rig.window.texts[W::EditCALAtime] = "8.12.2002 10:00:05";
    rig.tick(t + 600);
    EXPECT_EQ(cala.getRelSeconds(), 1440);
    EXPECT_EQ(rig.window.texts[W::EditCALAofs], "24m");
    EXPECT_FALSE(cala.updatingEdits());
    // Slashes read day first as well (a text the window did not report is
    // read when the shown second ends).
    rig.window.texts[W::EditCALAtime] = "09/12/2002 09:36:05";
    rig.tick(t + 700);
    EXPECT_EQ(cala.getRelSeconds(), 1440);
    rig.tick(t + 1610);
    EXPECT_EQ(cala.getRelSeconds(), 86400);
}

TEST_F(Cala, IdleTicksNeitherParseNorFormat)
{
    probeAndRead({"+CALA: \"00/00/00,00:00:00\",0,0,\"\""});
    // The time edit leads: its text is read when the shown second ends
    // (the window reports a typed text at once), not on every tick.
    cala.setRelativeLeads(false);
    rig.window.texts[W::EditCALAtime] = "8.12.2002 10:00:05";
    rig.tick(t + 1300);
    EXPECT_EQ(cala.getRelSeconds(), 1445);
    rig.window.clearCalls();
    const int dates = rig.window.dateTextCount;
    for (int i = 1; i <= 20; ++i)
        rig.tick(t + 1300 + 10 * i);
    EXPECT_EQ(rig.window.countCalls("setEditText"), 0);
    EXPECT_EQ(rig.window.dateTextCount, dates);
    // A text nobody reported waits for the end of the second; a new second
    // of the clock is shown then as well.
    rig.window.texts[W::EditCALAtime] = "8.12.2002 10:00:35";
    rig.tick(t + 1600);
    EXPECT_EQ(cala.getRelSeconds(), 1445);
    rig.tick(t + 2310);
    EXPECT_EQ(cala.getRelSeconds(), 1475);
    rig.setPcNow(PcNow + 10.0 / 86400);
    rig.tick(t + 3320);
    EXPECT_EQ(cala.getRelSeconds(), 1465);
    EXPECT_EQ(rig.window.texts[W::EditCALAofs], "24m 25s");

    // The duration leads: the time text is made once per second.
    cala.setRelative(60, true);
    const int made = rig.window.dateTextCount;
    for (int i = 1; i <= 20; ++i)
        rig.tick(t + 3400 + 10 * i);
    EXPECT_EQ(rig.window.dateTextCount, made);
    EXPECT_EQ(rig.window.texts[W::EditCALAtime], "8.12.2002 9:37:10");
    rig.setPcNow(PcNow + 11.0 / 86400);
    rig.tick(t + 4700);
    EXPECT_EQ(rig.window.texts[W::EditCALAtime], "8.12.2002 9:37:11");
}

TEST_F(Cala, SettersFromTheWindowDoNotRewriteTheirEdit)
{
    probeAndRead({"+CALA: \"00/00/00,00:00:00\",0,0,\"\""});
    rig.window.texts[W::EditCALAtime] = "8.12.2002 9:40:00";
    rig.window.clearCalls();
    cala.setAbsolute(DateTimeOf(2002, 12, 8, 9, 40, 0), false);
    EXPECT_EQ(rig.window.countCalls("setEditText EditCALAtime"), 0);
    EXPECT_EQ(cala.getRelSeconds(), 240);
    EXPECT_EQ(rig.window.texts[W::EditCALAofs], "4m");
    EXPECT_FALSE(cala.relativeLeads());
}

TEST_F(Cala, UnusableReadAndReadErrorBackOff)
{
    ASSERT_EQ(rig.pollSent(t), "AT+CALA=?");
    rig.answer(t + 10, "AT+CALA=?", {});
    ASSERT_EQ(rig.pollSent(t + 20), "AT+CALA?");
    rig.answer(t + 30, "AT+CALA?", {"+CALA: \"garbage\""});
    EXPECT_EQ(cala.getState(), 1);
    for (uint32_t dt = 40; dt <= 2030; dt += 10)
        ASSERT_EQ(rig.pollSent(t + dt), "") << dt;
    EXPECT_EQ(rig.pollSent(t + 2031), "AT+CALA?");
    rig.answer(t + 2040, "AT+CALA?", {}, "ERROR");
    EXPECT_EQ(rig.pollSent(t + 2040 + 4000), "");
    EXPECT_EQ(rig.pollSent(t + 2040 + 4001), "AT+CALA?");
}

TEST_F(Cala, DeviceWithoutAlarm)
{
    ASSERT_EQ(rig.pollSent(t), "AT+CALA=?");
    rig.answer(t + 10, "AT+CALA=?", {}, "ERROR");
    EXPECT_EQ(cala.getState(), 3);
    EXPECT_TRUE(cala.isResolved());
    EXPECT_FALSE(rig.window.enabled[W::EditCALAtext]);
    EXPECT_EQ(rig.window.fontColors[W::GroupCALA], clGrayText);
    cala.requestWrite();
    EXPECT_EQ(rig.pollSent(t + 5000), "");
}

TEST_F(Cala, WaitsForTheClockProbe)
{
    rig.status.clockResolved = false;
    EXPECT_EQ(rig.pollSent(t), "");
    rig.status.clockResolved = true;
    rig.status.fullPower = false;
    EXPECT_EQ(rig.pollSent(t), "");
    rig.status.fullPower = true;
    EXPECT_EQ(rig.pollSent(t), "AT+CALA=?");
}

TEST_F(Cala, TypedSetCommandIsRecognised)
{
    probeAndRead({"+CALA: \"00/00/00,00:00:00\",0,0,\"\""});
    rig.engine.sendLine(t + 10, "at+cala=\"02/12/24,18:00:00\",0,0,\"Xmas\"", -1);
    EXPECT_EQ(cala.getPendingKind(), 2);
    rig.line(t + 20, "OK\r\n");
    EXPECT_EQ(cala.getAlarmText(), "Xmas");
    EXPECT_EQ(rig.window.texts[W::EditCALAtime], "24.12.2002 18:00:00");
}

TEST_F(Cala, ReadAgainTakesTheFirstLine)
{
    probeAndRead({"+CALA: \"02/12/08,12:00:00\",0,0,\"A\""});
    rig.engine.sendLine(t + 10, "AT+CALA?", -1);
    EXPECT_EQ(cala.getState(), 1);
    EXPECT_TRUE(rig.window.enabled[W::GroupCALA]);  // the group stays
    rig.answer(t + 20, "AT+CALA?", {"+CALA: \"02/12/08,13:00:00\",0,0,\"B\"",
                                    "+CALA: \"02/12/08,14:00:00\",0,0,\"C\""});
    EXPECT_EQ(cala.getState(), 2);
    EXPECT_EQ(rig.window.texts[W::EditCALAtime], "8.12.2002 13:00:00");
    EXPECT_EQ(cala.getAlarmText(), "B");
}
