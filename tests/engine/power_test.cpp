// The power mode handler: probes, mode commands, unsolicited lines, the
// power items, and the timed port steps it asks the engine for.
#include <gtest/gtest.h>

#include <string>

#include "engine/perif_active.h"
#include "engine/perif_cpin.h"
#include "engine/perif_power.h"
#include "platform/colors.h"
#include "tests/engine/handler_rig.h"
#include "tests/engine/settled_handlers.h"

namespace {

using W = VMainWindowLink;

struct Power : ::testing::Test {
    THandlerRig rig;
    VPerifPower& power = rig.modem.power();

    Power() { InstallSettledStartup(rig.engine, VPerifModem::hPower); }
    // One turn of the handler; returns what it wrote.
    std::string turn(uint32_t advanceMs = 10) { return rig.turn(advanceMs, power); }
    // The probes with their answers (an empty info line: none; no card
    // probe expected when its answer is empty).
    void probe(const std::string& cfunInfo, const std::string& cfunFinal, const std::string& smsoFinal,
               const std::string& cpinFinal)
    {
        ASSERT_EQ(turn(), "AT+CFUN=?\r");
        rig.answer("AT+CFUN=?", cfunInfo, cfunFinal);
        ASSERT_EQ(turn(), "AT^SMSO=?\r");
        rig.answer("AT^SMSO=?", "", smsoFinal);
        // With both of these known the card probe is not needed.
        if (cpinFinal.empty())
            return;
        ASSERT_EQ(turn(), "AT+CPIN=?\r");
        rig.answer("AT+CPIN=?", "", cpinFinal);
    }
    void normal() { probe("+CFUN: (0,1,5),(0,1)", "OK", "OK", ""); }
    TRecordingWindow::TPowerItem item(int tag) { return rig.window.powerItems[tag]; }
};

}  // namespace

TEST_F(Power, ProbesGiveNormalWithAllItemsEnabled)
{
    EXPECT_FALSE(power.isFullPower());
    normal();
    EXPECT_EQ(power.getMode(), 1);
    EXPECT_EQ(power.getWantedMode(), 1);
    EXPECT_TRUE(power.isFullPower());
    EXPECT_TRUE(power.isSteady());
    EXPECT_EQ(power.getFunRange(), "0-1,5");
    for (int tag = 0; tag < 4; ++tag)
        EXPECT_TRUE(item(tag).enabled) << tag;
    EXPECT_TRUE(item(0).checked);
    EXPECT_EQ(item(0).fieldColor, clWhite);
    EXPECT_FALSE(item(1).checked);
    EXPECT_EQ(turn(1000), "");  // nothing more to do
}

TEST_F(Power, ProbeFailuresGiveLogoff)
{
    probe("", "ERROR", "OK", "+CME ERROR: 4");
    EXPECT_EQ(power.getMode(), 7);
    EXPECT_EQ(power.getWantedMode(), 7);
    EXPECT_FALSE(power.isFullPower());
    EXPECT_TRUE(power.isSteady());
    EXPECT_TRUE(item(2).checked);
}

TEST_F(Power, AllProbesFailingLeaveTheModeUnknown)
{
    probe("", "ERROR", "ERROR", "ERROR");
    EXPECT_EQ(power.getMode(), 0);
    EXPECT_FALSE(power.isFullPower());
    EXPECT_EQ(turn(1000), "");
}

TEST_F(Power, FunRangeFromTheFirstGroupOnly)
{
    EXPECT_EQ(VPerifPower::FunRangeOf("(0,1,5),(0-1)"), "0-1,5");
    EXPECT_EQ(VPerifPower::FunRangeOf("(1,5),(0,2,4)"), "1,5");
    EXPECT_EQ(VPerifPower::FunRangeOf("(0-4),(0,1)"), "0-4");
    EXPECT_EQ(VPerifPower::FunRangeOf("1,0"), "1");
    EXPECT_EQ(VPerifPower::FunRangeOf("(1,5"), "1,5");
    EXPECT_EQ(VPerifPower::FunRangeOf(""), "");

    probe("+CFUN: (1,5),(0,2,4)", "OK", "ERROR", "OK");
    EXPECT_EQ(power.getMode(), 1);
    EXPECT_FALSE(item(1).enabled);  // sleep needs 0
    EXPECT_TRUE(item(2).enabled);   // logoff needs 5
    EXPECT_FALSE(item(3).enabled);  // power-down needs ^SMSO
    // Sleep goes by fun value 5 then.
    power.setWantedMode(3);
    EXPECT_EQ(turn(), "AT+CFUN=5\r");
}

TEST_F(Power, SleepNeedsFunZeroOrFive)
{
    probe("+CFUN: (1,4)", "OK", "OK", "");
    power.setWantedMode(3);
    EXPECT_FALSE(power.isFullPower());
    EXPECT_EQ(turn(1000), "");
}

TEST_F(Power, SleepAndTheRtsPulse)
{
    normal();
    power.setWantedMode(3);
    EXPECT_TRUE(item(1).checked);
    EXPECT_EQ(item(1).fieldColor, clWhite);
    EXPECT_FALSE(item(0).checked);
    EXPECT_EQ(item(0).fieldColor, clYellow);  // where the device still is
    ASSERT_EQ(turn(), "AT+CFUN=0\r");
    EXPECT_TRUE(power.isBusy());
    rig.answer("AT+CFUN=0", "", "OK");
    EXPECT_EQ(power.getMode(), 3);
    EXPECT_FALSE(power.isBusy());

    power.setWantedMode(1);
    EXPECT_EQ(turn(), "");
    EXPECT_TRUE(rig.engine.isRtsPulsePending());
    EXPECT_EQ(power.getMode(), 2);
    rig.run(120);  // the engine raises RTS again
    EXPECT_FALSE(rig.engine.isRtsPulsePending());
    EXPECT_EQ(turn(4800), "");
    EXPECT_EQ(power.getMode(), 2);
    turn(100);
    EXPECT_EQ(power.getMode(), 1);
    EXPECT_TRUE(power.isFullPower());
}

TEST_F(Power, AnOkInSleepRedrawsTheItems)
{
    normal();
    power.setWantedMode(3);
    turn();
    rig.answer("AT+CFUN=0", "", "OK");
    ASSERT_EQ(power.getMode(), 3);
    rig.window.clearCalls();
    rig.line("OK\r\n");  // the device answers after all
    EXPECT_EQ(power.getMode(), 1);
    EXPECT_EQ(rig.window.countCalls("setPowerItem"), 4);
    EXPECT_FALSE(item(0).checked);
    EXPECT_EQ(item(0).fieldColor, clYellow);  // current normal, wanted sleep
}

TEST_F(Power, PowerDownAndBackByReopeningThePort)
{
    normal();
    power.setWantedMode(5);
    ASSERT_EQ(turn(), "AT^SMSO\r");
    rig.answer("AT^SMSO", "^SMSO: MS OFF", "OK");
    EXPECT_EQ(power.getMode(), 5);
    EXPECT_TRUE(item(3).checked);

    power.setWantedMode(1);
    turn();
    EXPECT_TRUE(rig.engine.isReopenPending());
    EXPECT_FALSE(rig.port.open);
    rig.run(4000);
    EXPECT_FALSE(rig.port.open);
    rig.run(20);
    EXPECT_TRUE(rig.port.open);
    // Restarted: the probes run again.
    EXPECT_EQ(power.getMode(), 0);
    EXPECT_EQ(power.getWantedMode(), 0);
    EXPECT_EQ(turn(), "AT+CFUN=?\r");
}

TEST_F(Power, OkToFunFiveIsLogoffAndTheCardIsAskedAgain)
{
    normal();
    power.setWantedMode(7);
    // The card is ready.
    rig.engine.sendLine(rig.now, "AT+CPIN?", -1);
    rig.answer("AT+CPIN?", "+CPIN: READY", "OK");
    ASSERT_EQ(rig.modem.cpin().getStep(), 14);
    rig.sent();

    ASSERT_EQ(turn(), "AT+CFUN=5\r");
    rig.answer("AT+CFUN=5", "", "OK");
    EXPECT_EQ(power.getMode(), 7);
    EXPECT_EQ(rig.modem.cpin().getStep(), 1);  // to be queried again

    // Leaving logoff: five seconds in mode 6, then the probes decide anew
    // (the card probe result is forgotten; the other two suffice).
    power.setWantedMode(1);
    ASSERT_EQ(turn(), "AT+CFUN=1\r");
    rig.answer("AT+CFUN=1", "", "OK");
    EXPECT_EQ(power.getMode(), 6);
    EXPECT_FALSE(power.isFullPower());
    EXPECT_EQ(turn(4900), "");
    EXPECT_EQ(power.getMode(), 6);
    EXPECT_EQ(turn(200), "");
    EXPECT_EQ(power.getMode(), 1);
    EXPECT_EQ(power.getCpinSupport(), 0);
    EXPECT_TRUE(power.isFullPower());
}

TEST_F(Power, ReadAnswersFromTheTerminal)
{
    normal();
    rig.engine.sendLine(rig.now, "AT+CFUN?", -1);
    EXPECT_EQ(power.getPending(), VPerifPower::pkReadFun);
    rig.line("+CFUN: 5\r\n");
    rig.line("OK\r\n");
    EXPECT_EQ(power.getMode(), 3);
    rig.engine.sendLine(rig.now, "AT+CFUN?", -1);
    rig.line("+CFUN: 1\r\n");
    rig.line("OK\r\n");
    EXPECT_EQ(power.getMode(), 1);
    // A set command with a reset parameter.
    rig.engine.sendLine(rig.now, "AT+CFUN=0,1", -1);
    EXPECT_EQ(power.getPending(), VPerifPower::pkSetFun);
    rig.line("OK\r\n");
    EXPECT_EQ(power.getMode(), 1);
}

TEST_F(Power, AlarmWakesFromPowerDown)
{
    normal();
    power.setWantedMode(5);
    turn();
    rig.answer("AT^SMSO", "", "OK");
    ASSERT_EQ(power.getMode(), 5);
    rig.line("+CALA: \"02/12/08,10:00:00\",0,0,\"Wake\"\r\n");
    EXPECT_EQ(power.getMode(), 4);
    EXPECT_EQ(power.getWantedMode(), 7);
    EXPECT_FALSE(item(3).checked);
    EXPECT_EQ(item(3).fieldColor, clYellow);  // current: down (enabled)
    EXPECT_TRUE(item(2).checked);
    EXPECT_EQ(turn(4990), "");
    turn(20);
    EXPECT_EQ(power.getMode(), 7);
    EXPECT_EQ(power.getFunRange(), "");
    EXPECT_FALSE(item(2).enabled);
    EXPECT_FALSE(item(1).enabled);
}

TEST_F(Power, RingWakesFromSleep)
{
    normal();
    power.setWantedMode(3);
    turn();
    rig.answer("AT+CFUN=0", "", "OK");
    rig.line("RING\r\n");
    EXPECT_EQ(power.getMode(), 1);
    EXPECT_EQ(power.getWantedMode(), 1);
    EXPECT_TRUE(power.isFullPower());
}

TEST_F(Power, ErrorToAModeCommandHolds700ms)
{
    normal();
    power.setWantedMode(5);
    ASSERT_EQ(turn(), "AT^SMSO\r");
    rig.answer("AT^SMSO", "", "ERROR");
    EXPECT_EQ(power.getMode(), 1);
    EXPECT_EQ(turn(690), "");
    EXPECT_EQ(turn(20), "AT^SMSO\r");
}

TEST_F(Power, LostAnswerIsRepeatedAfter700ms)
{
    ASSERT_EQ(turn(), "AT+CFUN=?\r");
    EXPECT_EQ(turn(690), "");
    EXPECT_EQ(turn(20), "AT+CFUN=?\r");
}
