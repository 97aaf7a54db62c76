// Power modes, battery, modem lines and line speed of the simulated device.
#include "tests/simulator/sim_fixture.h"

using ModemSim::TProfile;

class Power : public SimFixture {
protected:
    void Start(const TProfile& p, int baud = 19200)
    {
        Boot(p, baud);
        ASSERT_EQ(Ask("ATE0"), "ATE0\r\r\nOK\r\n");
    }
    uint32_t Lines() { return sim->ModemLines().DeviceLines(); }
};

TEST_F(Power, ProbeAnswersDifferByDevice)
{
    Start(TProfile::Builtin("tc35"));
    EXPECT_EQ(Ask("AT+CFUN=?"), "\r\n+CFUN: (0,1,5,6,7,8),(0,1)\r\n\r\nOK\r\n");
    EXPECT_EQ(Ask("AT^SMSO=?"), "\r\nOK\r\n");
    EXPECT_EQ(Ask("AT+CPIN=?"), "\r\nOK\r\n");
    EXPECT_EQ(Ask("AT+CBC=?"), "\r\nERROR\r\n");
    EXPECT_EQ(Ask("AT^SBC=?"), "\r\n^SBC: (0-5),(0-100),(0-5000)\r\n\r\nOK\r\n");

    SimFixture::TearDown();
    Start(TProfile::Builtin("gm22"));
    EXPECT_EQ(Ask("AT+CFUN=?"), "\r\n+CFUN: (0,1,4)\r\n\r\nOK\r\n");
    EXPECT_EQ(Ask("AT^SMSO=?"), "\r\nERROR\r\n");
    EXPECT_EQ(Ask("AT^SMSO"), "\r\nERROR\r\n");
    EXPECT_EQ(Ask("AT+CBC=?"), "\r\n+CBC: (0-3),(0-100)\r\n\r\nOK\r\n");
    EXPECT_EQ(Ask("AT+CBC"), "\r\n+CBC: 1,100\r\n\r\nOK\r\n");
    EXPECT_EQ(Ask("AT^SBC?"), "\r\nERROR\r\n");
}

TEST_F(Power, SiemensSleepEndsWithAnRtsPulse)
{
    Start(TProfile::Builtin("tc35"));
    sim->ModemLines().SetRts(true);
    EXPECT_NE(Lines() & Serial::MS_CTS_ON, 0u);
    ASSERT_EQ(Ask("AT+CFUN=0"), "\r\nOK\r\n");
    ASSERT_TRUE(sim->Transcript().WaitForEvent("sleep", 5000));
    EXPECT_EQ(Lines() & Serial::MS_CTS_ON, 0u);
    EXPECT_NE(Lines() & Serial::MS_DSR_ON, 0u);
    client.Command("AT");
    client.ReadFor(300);
    EXPECT_EQ(client.Take(), "");
    // The pulse: RTS off, then on.
    const size_t from = sim->Transcript().Size();
    sim->ModemLines().SetRts(false);
    sim->ModemLines().SetRts(true);
    ASSERT_TRUE(sim->Transcript().WaitForEvent("woken by RTS", 5000, from));
    EXPECT_NE(Lines() & Serial::MS_CTS_ON, 0u);
    EXPECT_EQ(Ask("AT+CFUN?"), "\r\n+CFUN: 1\r\n\r\nOK\r\n");
}

TEST_F(Power, EricssonCfun0TurnsTheRadioOffButKeepsAnswering)
{
    Start(TProfile::Builtin("gm22"));
    ASSERT_EQ(Ask("AT+CREG=1"), "\r\nOK\r\n");
    client.Command("AT+CFUN=0");
    ASSERT_TRUE(client.WaitFor("+CREG: 0\r\n", 5000));
    EXPECT_EQ(client.Take(), "\r\nOK\r\n\r\n+CREG: 0\r\n");
    EXPECT_EQ(Ask("AT+CSQ"), "\r\n+CSQ: 99,99\r\n\r\nOK\r\n");
    client.Command("AT+CFUN=1");
    ASSERT_TRUE(client.WaitFor("+CREG: 1\r\n", 5000));
    EXPECT_EQ(Ask("AT+CSQ"), "\r\n+CSQ: 21,99\r\n\r\nOK\r\n");
}

TEST_F(Power, LogoffAndBack)
{
    Start(TProfile::Builtin("tc35"));
    ASSERT_EQ(Ask("AT+CREG=1"), "\r\nOK\r\n");
    client.Command("AT+CFUN=5");
    ASSERT_TRUE(client.WaitFor("+CREG: 0\r\n", 5000));
    EXPECT_EQ(Ask("AT+CFUN?"), "\r\n+CFUN: 5\r\n\r\nOK\r\n");
    EXPECT_EQ(Ask("AT+CFUN=4"), "\r\nERROR\r\n");  // not in this device's list
    client.Command("AT+CFUN=1");
    ASSERT_TRUE(client.WaitFor("+CREG: 1\r\n", 5000));
    EXPECT_EQ(Ask("AT+CFUN?"), "\r\n+CFUN: 1\r\n\r\nOK\r\n");
}

TEST_F(Power, PowerDownAndStartByDtr)
{
    Start(TProfile::Builtin("tc35"));
    sim->ModemLines().SetDtr(true);
    EXPECT_EQ(Ask("AT^SMSO"), "\r\n^SMSO: MS OFF\r\n\r\nOK\r\n");
    ASSERT_TRUE(sim->Transcript().WaitForEvent("power off", 5000));
    EXPECT_EQ(Lines() & (Serial::MS_DSR_ON | Serial::MS_CTS_ON), 0u);
    client.Command("AT");
    client.ReadFor(300);
    EXPECT_EQ(client.Take(), "");
    // Closing and reopening the port drops and raises DTR.
    sim->ModemLines().SetDtr(false);
    sim->ModemLines().SetDtr(true);
    ASSERT_TRUE(client.WaitFor("\r\n^SYSSTART\r\n", 5000));
    client.Take();
    EXPECT_EQ(Ask("AT"), "AT\r\r\nOK\r\n");  // settings are back to their defaults
    EXPECT_NE(Lines() & Serial::MS_DSR_ON, 0u);
}

TEST_F(Power, RingAndCarrierLines)
{
    Start(TProfile::Builtin("tc35"));
    const auto before = sim->ModemLines().GetCounts();
    sim->SetRing(true);
    EXPECT_NE(Lines() & Serial::MS_RING_ON, 0u);
    sim->SetRing(false);
    sim->SetCarrier(true);
    EXPECT_EQ(Lines() & Serial::MS_RING_ON, 0u);
    EXPECT_NE(Lines() & Serial::MS_RLSD_ON, 0u);
    EXPECT_EQ(sim->ModemLines().GetCounts().ring, before.ring + 2);
    // Device power changes keep the call lines as they are.
    ASSERT_EQ(Ask("AT+CFUN=0"), "\r\nOK\r\n");
    ASSERT_TRUE(sim->Transcript().WaitForEvent("sleep", 5000));
    EXPECT_NE(Lines() & Serial::MS_RLSD_ON, 0u);
}

TEST_F(Power, FixedRateDeviceAnswersOnlyAtItsRate)
{
    TProfile p = TProfile::Builtin("m20");
    Boot(p, 19200);
    client.Command("AT");
    client.ReadFor(400);
    EXPECT_EQ(client.Take(), "");
    EXPECT_FALSE(sim->Transcript().Stream(ModemSim::TDirection::Dropped).empty());
    ASSERT_TRUE(client.SetBaud(9600));
    EXPECT_EQ(Ask("AT"), "AT\r\r\nOK\r\n");
    // Unsolicited lines sent at the wrong rate are lost as well.
    ASSERT_TRUE(client.SetBaud(19200));
    sim->InjectLine("RING");
    client.ReadFor(300);
    EXPECT_EQ(client.Take(), "");
    EXPECT_TRUE(sim->Transcript().WaitForEvent("output lost at 19200", 2000));
}

TEST_F(Power, IprFixesTheRateAfterItsOk)
{
    Start(TProfile::Builtin("tc35"));
    EXPECT_EQ(Ask("AT+IPR?"), "\r\n+IPR: 0\r\n\r\nOK\r\n");
    EXPECT_EQ(Ask("AT+IPR=9600"), "\r\nOK\r\n");
    client.Command("AT");
    client.ReadFor(300);
    EXPECT_EQ(client.Take(), "");
    ASSERT_TRUE(client.SetBaud(9600));
    EXPECT_EQ(Ask("AT+IPR?"), "\r\n+IPR: 9600\r\n\r\nOK\r\n");
    EXPECT_EQ(Ask("AT+IPR=12345"), "\r\nERROR\r\n");
}

TEST_F(Power, BatteryValues)
{
    Start(TProfile::Builtin("tc35"));
    EXPECT_EQ(Ask("AT^SBC?"), "\r\n^SBC: 0,80,120\r\n\r\nOK\r\n");
    sim->SetBattery(2, 55, 300);
    EXPECT_EQ(Ask("AT^SBC?"), "\r\n^SBC: 2,55,300\r\n\r\nOK\r\n");
    EXPECT_EQ(Ask("AT+CBC"), "\r\nERROR\r\n");
}
