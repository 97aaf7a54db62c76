// V.25ter framing of the simulated device, seen from the program's side of
// the pty: echo, result codes, command lines, error forms.
#include "tests/simulator/sim_fixture.h"

using ModemSim::TProfile;

class Framing : public SimFixture {
protected:
    void SetUp() override { Boot(TProfile::Builtin("tc35")); }
};

TEST_F(Framing, EchoIsTheCommandUpToCrThenTheFramedAnswer)
{
    EXPECT_EQ(Ask("AT+CGMI"), "AT+CGMI\r\r\nSIEMENS\r\n\r\nOK\r\n");
    EXPECT_EQ(Ask("AT"), "AT\r\r\nOK\r\n");
}

TEST_F(Framing, Ate0StopsTheEchoAndAte1BringsItBack)
{
    EXPECT_EQ(Ask("ATE0"), "ATE0\r\r\nOK\r\n");  // echoed before it took effect
    EXPECT_EQ(Ask("AT+CGMM"), "\r\nTC35\r\n\r\nOK\r\n");
    EXPECT_EQ(Ask("ATE1"), "\r\nOK\r\n");
    EXPECT_EQ(Ask("AT"), "AT\r\r\nOK\r\n");
}

TEST_F(Framing, CommandsIgnoreCaseAndShareOneLine)
{
    ASSERT_EQ(Ask("ATE0"), "ATE0\r\r\nOK\r\n");
    EXPECT_EQ(Ask("at+cgmi"), "\r\nSIEMENS\r\n\r\nOK\r\n");
    // Extended commands separated by ";", one final result at the end.
    EXPECT_EQ(Ask("AT+CGMI;+CGMM"), "\r\nSIEMENS\r\n\r\nTC35\r\n\r\nOK\r\n");
    // Basic commands run together.
    EXPECT_EQ(Ask("ATE0V1Q0"), "\r\nOK\r\n");
    EXPECT_EQ(Ask("ATS3?"), "\r\n013\r\n\r\nOK\r\n");
}

TEST_F(Framing, UnknownCommandIsPlainErrorAndStopsTheLine)
{
    ASSERT_EQ(Ask("ATE0"), "ATE0\r\r\nOK\r\n");
    ASSERT_EQ(Ask("AT+CMEE=2"), "\r\nOK\r\n");
    EXPECT_EQ(Ask("AT+XYZZY"), "\r\nERROR\r\n");
    EXPECT_EQ(Ask("AT+CGMI;+NOPE;+CGMM"), "\r\nSIEMENS\r\n\r\nERROR\r\n");
    EXPECT_EQ(Ask("AT+CGMI=1"), "\r\nERROR\r\n");  // a form the command does not have
    EXPECT_EQ(Ask("AT#"), "\r\nERROR\r\n");         // not a command at all
    EXPECT_EQ(Ask("AT+CPIN=\"12"), "\r\nERROR\r\n");  // unterminated quote
}

TEST_F(Framing, ErrorsOfKnownCommandsFollowCmee)
{
    // A command that needs the card while there is none.
    sim->WithDevice([](ModemSim::TDevice& d) { d.sim = ModemSim::TSimCard::NoCard; });
    ASSERT_EQ(Ask("ATE0"), "ATE0\r\r\nOK\r\n");
    EXPECT_EQ(Ask("AT+CIMI"), "\r\nERROR\r\n");
    ASSERT_EQ(Ask("AT+CMEE=1"), "\r\nOK\r\n");
    EXPECT_EQ(Ask("AT+CIMI"), "\r\n+CME ERROR: 10\r\n");
    ASSERT_EQ(Ask("AT+CMEE=2"), "\r\nOK\r\n");
    EXPECT_EQ(Ask("AT+CIMI"), "\r\n+CME ERROR: SIM not inserted\r\n");
    EXPECT_EQ(Ask("AT+CMEE?"), "\r\n+CMEE: 2\r\n\r\nOK\r\n");
    EXPECT_EQ(Ask("AT+CMEE=3"), "\r\nERROR\r\n");
    // Unknown commands stay plain ERROR in every mode.
    EXPECT_EQ(Ask("AT+FOO"), "\r\nERROR\r\n");
}

TEST_F(Framing, RepeatWithASlash)
{
    ASSERT_EQ(Ask("ATE0"), "ATE0\r\r\nOK\r\n");
    ASSERT_EQ(Ask("AT+CGMM"), "\r\nTC35\r\n\r\nOK\r\n");
    client.Write("A/");
    ASSERT_TRUE(client.WaitFor("OK\r\n", 5000));
    EXPECT_EQ(client.Take(), "\r\nTC35\r\n\r\nOK\r\n");
}

TEST_F(Framing, NulAndEscBeforeACommandAreIgnored)
{
    client.Write(std::string("\0\x1b", 2));
    EXPECT_EQ(Ask("AT"), "AT\r\r\nOK\r\n");
    EXPECT_EQ(Ask("\x1b" "AT+CGMI"), "AT+CGMI\r\r\nSIEMENS\r\n\r\nOK\r\n");
    // A CR LF line ending: the LF is no command.
    client.Write("AT\r\n");
    ASSERT_TRUE(client.WaitFor("OK\r\n", 5000));
    client.ReadFor(200);
    EXPECT_EQ(client.Take(), "AT\r\r\nOK\r\n");
}

TEST_F(Framing, NumericResultCodesWithV0)
{
    client.Command("ATE0V0");
    ASSERT_TRUE(client.WaitFor("0\r", 5000));
    EXPECT_EQ(client.Take(), "ATE0V0\r0\r");
    client.Command("AT+CGMI");
    ASSERT_TRUE(client.WaitFor("0\r", 5000));
    EXPECT_EQ(client.Take(), "SIEMENS\r\n0\r");
    client.Command("AT+NOPE");
    ASSERT_TRUE(client.WaitFor("4\r", 5000));
    EXPECT_EQ(client.Take(), "4\r");
    EXPECT_EQ(Ask("ATV1"), "\r\nOK\r\n");
}

TEST_F(Framing, TheTranscriptHoldsBothDirectionsAndTheCommands)
{
    const size_t from = sim->Transcript().Size();
    ASSERT_EQ(Ask("at+cgsn"), "at+cgsn\r\r\n350000000000001\r\n\r\nOK\r\n");
    EXPECT_GE(sim->Transcript().WaitForCommand("AT+CGSN", 1000, from), 0);
    EXPECT_TRUE(sim->Transcript().WaitForSent("350000000000001", 1000, from));
    const std::string received = sim->Transcript().Stream(ModemSim::TDirection::Received);
    EXPECT_NE(received.find("at+cgsn\r"), std::string::npos);
    EXPECT_EQ(sim->Transcript().WaitForCommand("AT+CGMR", 100, from), -1);
}

TEST_F(Framing, IdentityAnswersOfEveryBuiltinProfile)
{
    for (const std::string& name : TProfile::BuiltinNames()) {
        const TProfile p = TProfile::Builtin(name);
        if (p.baud != 0)
            continue;  // fixed-rate devices have their own test
        SimFixture::TearDown();
        Boot(p);
        ASSERT_EQ(Ask("ATE0"), "ATE0\r\r\nOK\r\n") << name;
        EXPECT_EQ(Ask("AT+CGMI"), "\r\n" + p.manufacturer + "\r\n\r\nOK\r\n") << name;
        EXPECT_EQ(Ask("AT+CGMM"), "\r\n" + p.model + "\r\n\r\nOK\r\n") << name;
        EXPECT_EQ(Ask("AT+CGMR"), "\r\n" + p.revision + "\r\n\r\nOK\r\n") << name;
    }
}

TEST_F(Framing, WhatGammuAsksWhileIdentifying)
{
    ASSERT_EQ(Ask("ATE0"), "ATE0\r\r\nOK\r\n");
    EXPECT_EQ(Ask("AT+CSCS=?"), "\r\n+CSCS: (\"GSM\",\"IRA\",\"UCS2\")\r\n\r\nOK\r\n");
    EXPECT_EQ(Ask("AT+CSCS?"), "\r\n+CSCS: \"IRA\"\r\n\r\nOK\r\n");
    EXPECT_EQ(Ask("AT+CSCS=\"UCS2\""), "\r\nOK\r\n");
    EXPECT_EQ(Ask("AT+CSCS?"), "\r\n+CSCS: \"UCS2\"\r\n\r\nOK\r\n");
    EXPECT_EQ(Ask("AT+CSCS=\"HEX\""), "\r\nERROR\r\n");
    EXPECT_EQ(Ask("AT+CGSN"), "\r\n350000000000001\r\n\r\nOK\r\n");
    EXPECT_EQ(Ask("AT+CIMI"), "\r\n230011234567890\r\n\r\nOK\r\n");
    EXPECT_EQ(Ask("ATI"), "\r\nSIEMENS\r\nTC35\r\nREVISION 04.00\r\n\r\nOK\r\n");
    // A TC35 has no GPRS.
    EXPECT_EQ(Ask("AT+CGREG=1"), "\r\nERROR\r\n");
}
