// The device clock and alarm: +CCLK round trip, time zones, +CALA set,
// read, cancel by a past time, and the alarm firing on a virtual clock.
#include "tests/simulator/sim_fixture.h"

using ModemSim::TDateTime;
using ModemSim::TProfile;

namespace {

constexpr int64_t kDay = 86400000;

int64_t At(int y, int mo, int d, int h, int mi, int s)
{
    return ModemSim::DateTimeToMs(TDateTime{y, mo, d, h, mi, s});
}

}  // namespace

class Clock : public SimFixture {
protected:
    void Start(TProfile p, int64_t hostNow = At(2002, 12, 8, 10, 37, 20))
    {
        time = std::make_shared<ModemSim::TManualTime>(hostNow);
        ModemSim::TSimOptions options;
        options.profile = std::move(p);
        options.time = time;
        Boot(std::move(options));
        ASSERT_EQ(Ask("ATE0"), "ATE0\r\r\nOK\r\n");
    }
    std::shared_ptr<ModemSim::TManualTime> time;
};

TEST_F(Clock, ReadSetAndReadBack)
{
    Start(TProfile::Builtin("tc35"));
    EXPECT_EQ(Ask("AT+CCLK=?"), "\r\nOK\r\n");
    EXPECT_EQ(Ask("AT+CCLK?"), "\r\n+CCLK: \"02/12/08,10:37:20\"\r\n\r\nOK\r\n");
    EXPECT_EQ(Ask("AT+CCLK=\"03/01/31,23:59:58\""), "\r\nOK\r\n");
    EXPECT_EQ(Ask("AT+CCLK?"), "\r\n+CCLK: \"03/01/31,23:59:58\"\r\n\r\nOK\r\n");
    // The device clock runs on with the host clock.
    time->Advance(3000);
    EXPECT_EQ(Ask("AT+CCLK?"), "\r\n+CCLK: \"03/02/01,00:00:01\"\r\n\r\nOK\r\n");
}

TEST_F(Clock, BadTimesAreRefused)
{
    Start(TProfile::Builtin("tc35"));
    for (const char* bad : {"AT+CCLK=\"02/13/01,00:00:00\"", "AT+CCLK=\"02/02/30,00:00:00\"",
                            "AT+CCLK=\"02/12/08,24:00:00\"", "AT+CCLK=\"02/12/08 10:00:00\"",
                            "AT+CCLK=02/12/08,10:00:00", "AT+CCLK=\"\"", "AT+CCLK",
                            "AT+CCLK=\"02/12/08,10:37:20+04\""})
        EXPECT_EQ(Ask(bad), "\r\nERROR\r\n") << bad;
    EXPECT_EQ(Ask("AT+CCLK=\"04/02/29,12:00:00\""), "\r\nOK\r\n");  // a leap day
    EXPECT_EQ(Ask("AT+CCLK?"), "\r\n+CCLK: \"04/02/29,12:00:00\"\r\n\r\nOK\r\n");
}

TEST_F(Clock, TimeZoneOnDevicesThatKeepOne)
{
    Start(TProfile::Builtin("wavecom"));
    EXPECT_EQ(Ask("AT+CCLK?"), "\r\n+CCLK: \"02/12/08,10:37:20+04\"\r\n\r\nOK\r\n");
    EXPECT_EQ(Ask("AT+CCLK=\"02/12/08,11:00:00-08\""), "\r\nOK\r\n");
    EXPECT_EQ(Ask("AT+CCLK?"), "\r\n+CCLK: \"02/12/08,11:00:00-08\"\r\n\r\nOK\r\n");
    EXPECT_EQ(Ask("AT+CCLK=\"02/12/08,11:00:00\""), "\r\nOK\r\n");  // zone kept
    EXPECT_EQ(Ask("AT+CCLK?"), "\r\n+CCLK: \"02/12/08,11:00:00-08\"\r\n\r\nOK\r\n");
}

TEST_F(Clock, DevicesWithoutClockOrAlarm)
{
    TProfile p = TProfile::Builtin("gm22");
    p.cclkTest = "ERROR";
    Start(p);
    EXPECT_EQ(Ask("AT+CCLK=?"), "\r\nERROR\r\n");
    EXPECT_EQ(Ask("AT+CCLK?"), "\r\nERROR\r\n");
    EXPECT_EQ(Ask("AT+CALA=?"), "\r\nERROR\r\n");
    EXPECT_EQ(Ask("AT+CALA?"), "\r\nERROR\r\n");
}

TEST_F(Clock, AlarmSetReadCancel)
{
    Start(TProfile::Builtin("tc35"));
    EXPECT_EQ(Ask("AT+CALA=?"), "\r\n+CALA: (0),(0),(0-16)\r\n\r\nOK\r\n");
    EXPECT_EQ(Ask("AT+CALA?"), "\r\n+CALA: \"00/00/00,00:00:00\",0,0,\"\"\r\n\r\nOK\r\n");
    EXPECT_EQ(Ask("AT+CALA=\"02/12/08,11:00:00\",0,0,\"Wake up\""), "\r\nOK\r\n");
    EXPECT_EQ(Ask("AT+CALA?"), "\r\n+CALA: \"02/12/08,11:00:00\",0,0,\"Wake up\"\r\n\r\nOK\r\n");
    // A time in the past is how the alarm is cancelled.
    EXPECT_EQ(Ask("AT+CALA=\"02/12/07,10:37:20\",0,0"), "\r\nOK\r\n");
    EXPECT_EQ(Ask("AT+CALA?"), "\r\n+CALA: \"00/00/00,00:00:00\",0,0,\"\"\r\n\r\nOK\r\n");
    EXPECT_EQ(Ask("AT+CALA=\"02/12/08,11:00:00\",0,0,\"far too long alarm text\""), "\r\nERROR\r\n");
    EXPECT_EQ(Ask("AT+CALA=\"02/12/08\""), "\r\nERROR\r\n");
}

TEST_F(Clock, AlarmFiresWhenTheDeviceTimePassesIt)
{
    Start(TProfile::Builtin("tc35"));
    // The alarm is in device time: set the clock an hour ahead first.
    ASSERT_EQ(Ask("AT+CCLK=\"02/12/08,11:37:20\""), "\r\nOK\r\n");
    ASSERT_EQ(Ask("AT+CALA=\"02/12/08,11:38:00\",0,0,\"Ring\""), "\r\nOK\r\n");
    time->Advance(30000);
    client.ReadFor(500);
    EXPECT_EQ(client.Take(), "");
    time->Advance(10000);
    ASSERT_TRUE(client.WaitFor("\r\n+CALA: Ring\r\n", 5000));
    EXPECT_EQ(Ask("AT+CALA?"), "\r\n+CALA: \"00/00/00,00:00:00\",0,0,\"\"\r\n\r\nOK\r\n");
}

TEST_F(Clock, AlarmWakesAPoweredDownDeviceIntoAlarmMode)
{
    Start(TProfile::Builtin("tc35"));
    ASSERT_EQ(Ask("AT+CALA=\"02/12/08,10:40:00\",0,0,\"Hi\""), "\r\nOK\r\n");
    ASSERT_EQ(Ask("AT^SMSO"), "\r\n^SMSO: MS OFF\r\n\r\nOK\r\n");
    ASSERT_TRUE(sim->Transcript().WaitForEvent("power off", 5000));
    EXPECT_EQ(sim->ModemLines().DeviceLines() & (Serial::MS_DSR_ON | Serial::MS_CTS_ON), 0u);
    client.Command("AT");
    client.ReadFor(300);
    EXPECT_EQ(client.Take(), "");  // off: nothing answers
    time->Advance(kDay / 24);
    ASSERT_TRUE(client.WaitFor("\r\n+CALA: Hi\r\n", 5000));
    EXPECT_EQ(client.Take(), "\r\n^SYSSTART ALARM MODE\r\n\r\n+CALA: Hi\r\n");
    ASSERT_EQ(Ask("ATE0"), "ATE0\r\r\nOK\r\n");
    // Only clock, alarm and power commands work now.
    EXPECT_EQ(Ask("AT+CCLK?"), "\r\n+CCLK: \"02/12/08,11:37:20\"\r\n\r\nOK\r\n");
    EXPECT_EQ(Ask("AT+CFUN=?"), "\r\n+CFUN: (0,1,5,6,7,8),(0,1)\r\n\r\nOK\r\n");
    EXPECT_EQ(Ask("AT^SMSO=?"), "\r\nOK\r\n");
    EXPECT_EQ(Ask("AT+CPIN=?"), "\r\nERROR\r\n");
    EXPECT_EQ(Ask("AT+CSQ"), "\r\nERROR\r\n");
    // Full power again.
    client.Command("AT+CFUN=1");
    ASSERT_TRUE(client.WaitFor("^SYSSTART\r\n", 5000));
    client.Take();
    EXPECT_EQ(Ask("AT+CREG?"), "AT+CREG?\r\r\n+CREG: 0,1\r\n\r\nOK\r\n");
}
