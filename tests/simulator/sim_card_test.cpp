// The SIM card of the simulated device: states, PIN and PUK entry with
// attempt counters, a card that is busy after power-up, no card.
#include "tests/simulator/sim_fixture.h"

using ModemSim::TProfile;
using ModemSim::TSimCard;

namespace {

TProfile LockedCard()
{
    TProfile p = TProfile::Builtin("tc35");
    p.sim = TSimCard::Pin;
    p.pin = "4321";
    p.puk = "87654321";
    return p;
}

}  // namespace

class SimCard : public SimFixture {
protected:
    void Start(const TProfile& p)
    {
        Boot(p);
        ASSERT_EQ(Ask("ATE0"), "ATE0\r\r\nOK\r\n");
        ASSERT_EQ(Ask("AT+CMEE=2"), "\r\nOK\r\n");
    }
};

TEST_F(SimCard, PinUnlocksTheCard)
{
    Start(LockedCard());
    EXPECT_EQ(Ask("AT+CPIN?"), "\r\n+CPIN: SIM PIN\r\n\r\nOK\r\n");
    EXPECT_EQ(Ask("AT+CIMI"), "\r\n+CME ERROR: SIM PIN required\r\n");
    EXPECT_EQ(Ask("AT+CPIN=\"4321\""), "\r\nOK\r\n");
    EXPECT_EQ(Ask("AT+CPIN?"), "\r\n+CPIN: READY\r\n\r\nOK\r\n");
    EXPECT_EQ(Ask("AT+CIMI"), "\r\n230011234567890\r\n\r\nOK\r\n");
    // Nothing more to enter.
    EXPECT_EQ(Ask("AT+CPIN=4321"), "\r\n+CME ERROR: operation not allowed\r\n");
}

TEST_F(SimCard, WrongPinsCountDownToPukAndThePukSetsANewPin)
{
    Start(LockedCard());
    EXPECT_EQ(Ask("AT^SPIC"), "\r\n^SPIC: 3\r\n\r\nOK\r\n");
    EXPECT_EQ(Ask("AT+CPIN=\"0000\""), "\r\n+CME ERROR: incorrect password\r\n");
    EXPECT_EQ(Ask("AT^SPIC"), "\r\n^SPIC: 2\r\n\r\nOK\r\n");
    EXPECT_EQ(Ask("AT+CPIN=1111"), "\r\n+CME ERROR: incorrect password\r\n");
    EXPECT_EQ(Ask("AT+CPIN?"), "\r\n+CPIN: SIM PIN\r\n\r\nOK\r\n");
    EXPECT_EQ(Ask("AT+CPIN=\"2222\""), "\r\n+CME ERROR: incorrect password\r\n");
    EXPECT_EQ(Ask("AT+CPIN?"), "\r\n+CPIN: SIM PUK\r\n\r\nOK\r\n");
    // The right PIN is no use now.
    EXPECT_EQ(Ask("AT+CPIN=\"4321\""), "\r\n+CME ERROR: SIM PUK required\r\n");
    EXPECT_EQ(Ask("AT+CPIN=\"11111111\",\"9999\""), "\r\n+CME ERROR: incorrect password\r\n");
    EXPECT_EQ(Ask("AT^SPIC"), "\r\n^SPIC: 9\r\n\r\nOK\r\n");
    EXPECT_EQ(Ask("AT+CPIN=\"87654321\",\"9999\""), "\r\nOK\r\n");
    EXPECT_EQ(Ask("AT+CPIN?"), "\r\n+CPIN: READY\r\n\r\nOK\r\n");

    // The new PIN is the one the card asks for after the next power-up.
    sim->Reset(0);
    ASSERT_TRUE(client.WaitFor("^SYSSTART", 5000));
    client.Take();
    ASSERT_EQ(Ask("ATE0"), "ATE0\r\r\nOK\r\n");
    EXPECT_EQ(Ask("AT+CPIN?"), "\r\n+CPIN: SIM PIN\r\n\r\nOK\r\n");
    EXPECT_EQ(Ask("AT+CPIN=4321"), "\r\nERROR\r\n");  // settings reset: CMEE 0 again
    EXPECT_EQ(Ask("AT+CPIN=9999"), "\r\nOK\r\n");
}

TEST_F(SimCard, WrongPuksBlockTheCard)
{
    TProfile p = LockedCard();
    p.sim = TSimCard::Puk;
    p.pukAttempts = 2;
    Start(p);
    EXPECT_EQ(Ask("AT+CPIN=\"00000000\",\"1234\""), "\r\n+CME ERROR: incorrect password\r\n");
    EXPECT_EQ(Ask("AT+CPIN=\"00000000\",\"1234\""), "\r\n+CME ERROR: incorrect password\r\n");
    EXPECT_EQ(Ask("AT+CPIN?"), "\r\n+CME ERROR: SIM failure\r\n");
    EXPECT_EQ(Ask("AT+CPIN=\"87654321\",\"1234\""), "\r\n+CME ERROR: SIM failure\r\n");
}

TEST_F(SimCard, EricssonReportsABlockedCardAsACpinValue)
{
    TProfile p = TProfile::Builtin("gm22");
    p.sim = TSimCard::Blocked;
    Start(p);
    EXPECT_EQ(Ask("AT+CPIN?"), "\r\n+CPIN: BLOCKED\r\n\r\nOK\r\n");
}

TEST_F(SimCard, NoCard)
{
    TProfile p = TProfile::Builtin("tc35");
    p.sim = TSimCard::NoCard;
    Start(p);
    EXPECT_EQ(Ask("AT+CPIN?"), "\r\n+CME ERROR: SIM not inserted\r\n");
    EXPECT_EQ(Ask("AT+CPIN=1234"), "\r\n+CME ERROR: SIM not inserted\r\n");
    EXPECT_EQ(Ask("AT+CREG?"), "\r\n+CREG: 0,0\r\n\r\nOK\r\n");
}

TEST_F(SimCard, CardIsBusyForAWhileAfterPowerUp)
{
    TProfile p = TProfile::Builtin("tc35");
    p.simBusyMs = 1500;
    Start(p);
    EXPECT_EQ(Ask("AT+CPIN?"), "\r\n+CME ERROR: SIM busy\r\n");
    EXPECT_EQ(Ask("AT+CREG?"), "\r\n+CREG: 0,0\r\n\r\nOK\r\n");
    // Ready at last; registration follows.
    std::string answer;
    for (int i = 0; i < 100; ++i) {
        answer = Ask("AT+CPIN?");
        if (answer.find("READY") != std::string::npos)
            break;
        client.ReadFor(100);
    }
    EXPECT_EQ(answer, "\r\n+CPIN: READY\r\n\r\nOK\r\n");
    EXPECT_EQ(Ask("AT+CREG?"), "\r\n+CREG: 0,1\r\n\r\nOK\r\n");
}

TEST_F(SimCard, ProbeAnswersFollowTheProfile)
{
    TProfile p = TProfile::Builtin("tc35");
    p.cpinTest = "ERROR";
    Start(p);
    EXPECT_EQ(Ask("AT+CPIN=?"), "\r\nERROR\r\n");
    EXPECT_EQ(Ask("AT+CPIN?"), "\r\nERROR\r\n");
}
