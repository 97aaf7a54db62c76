// Fault injection and robustness: scripts, garbage, lost final results,
// resets, a vanishing device, delays, pacing, port reopening, noise input.
#include <chrono>
#include <random>

#include "tests/simulator/sim_fixture.h"

using ModemSim::TProfile;

class Faults : public SimFixture {
protected:
    void Start(const TProfile& p)
    {
        Boot(p);
        ASSERT_EQ(Ask("ATE0"), "ATE0\r\r\nOK\r\n");
    }
};

TEST_F(Faults, ScriptFromTheProfile)
{
    TProfile p = TProfile::Parse(
        "base = tc35\n"
        "[script]\n"
        "on AT+CSQ nofinal\n"
        "on at+cgmr garbage 8\n"
        "on AT+CGSN line +CREG: 3\n"
        "at 200 line RING\n");
    Start(p);
    ASSERT_TRUE(client.WaitFor("\r\nRING\r\n", 5000));
    client.Take();
    // The signal answer loses its OK.
    client.Command("AT+CSQ");
    ASSERT_TRUE(client.WaitFor("+CSQ: 21,99\r\n", 5000));
    client.ReadFor(300);
    EXPECT_EQ(client.Take(), "\r\n+CSQ: 21,99\r\n");
    // Only once.
    EXPECT_EQ(Ask("AT+CSQ"), "\r\n+CSQ: 21,99\r\n\r\nOK\r\n");
    // Noise before the answer.
    const std::string noisy = Ask("AT+CGMR");
    ASSERT_EQ(noisy.size(), 8 + std::string("\r\nREVISION 04.00\r\n\r\nOK\r\n").size());
    EXPECT_EQ(noisy.substr(8), "\r\nREVISION 04.00\r\n\r\nOK\r\n");
    // An unsolicited line the moment the command arrives.
    EXPECT_EQ(Ask("AT+CGSN"), "\r\n+CREG: 3\r\n\r\n350000000000001\r\n\r\nOK\r\n");
}

TEST_F(Faults, ResetAnswersErrorToEverythingForAWhile)
{
    Start(TProfile::Builtin("tc35"));
    ASSERT_EQ(Ask("AT+CMEE=2"), "\r\nOK\r\n");
    sim->RunScriptLine("at 0 reset 1500");
    ASSERT_TRUE(client.WaitFor("^SYSSTART\r\n", 5000));
    client.Take();
    EXPECT_EQ(Ask("AT"), "AT\r\r\nERROR\r\n");  // echo is back on after the reset
    EXPECT_EQ(Ask("AT+CPIN?"), "AT+CPIN?\r\r\nERROR\r\n");
    std::string answer;
    for (int i = 0; i < 100 && answer != "AT\r\r\nOK\r\n"; ++i) {
        client.ReadFor(100);
        answer = Ask("AT");
    }
    EXPECT_EQ(answer, "AT\r\r\nOK\r\n");
    EXPECT_EQ(Ask("AT+CMEE?"), "AT+CMEE?\r\r\n+CMEE: 0\r\n\r\nOK\r\n");
}

TEST_F(Faults, DisappearingDeviceHangsThePortUp)
{
    Start(TProfile::Builtin("tc35"));
    sim->Disappear();
    client.ReadFor(500);
    EXPECT_TRUE(client.HungUp());
    EXPECT_TRUE(sim->Disappeared());
    client.Close();
    ModemSim::TPtyClient again;
    EXPECT_FALSE(again.Open(sim->PtyPath()) && again.Transact("AT", 500).find("OK") != std::string::npos);
}

TEST_F(Faults, PortCanBeClosedAndReopened)
{
    Start(TProfile::Builtin("tc35"));
    for (int i = 0; i < 3; ++i) {
        client.Close();
        ASSERT_TRUE(client.Open(sim->PtyPath()));
        EXPECT_EQ(Ask("AT+CGMM"), "\r\nTC35\r\n\r\nOK\r\n") << i;
    }
}

TEST_F(Faults, PerCommandDelayAndHeldInput)
{
    TProfile p = TProfile::Builtin("tc35");
    p.delays["+CGMI"] = 600;
    Start(p);
    const auto start = std::chrono::steady_clock::now();
    // The second line arrives while the first is still running: it waits.
    client.Write("AT+CGMI\rAT+CGMM\r");
    client.ReadFor(300);
    EXPECT_EQ(client.Received(), "");
    ASSERT_TRUE(client.WaitFor("TC35\r\n\r\nOK\r\n", 5000));
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(550));
    EXPECT_EQ(client.Take(), "\r\nSIEMENS\r\n\r\nOK\r\n\r\nTC35\r\n\r\nOK\r\n");
}

TEST_F(Faults, OutputPacedAtTheLineSpeed)
{
    ModemSim::TSimOptions options;
    options.profile = TProfile::Builtin("tc35");
    options.profile.searchMs = 0;
    options.paceBaud = -1;
    Boot(options, 2400);
    const auto start = std::chrono::steady_clock::now();
    const std::string answer = Ask("AT+COPS=?");
    const auto took = std::chrono::steady_clock::now() - start;
    ASSERT_NE(answer.find("OK\r\n"), std::string::npos);
    // 240 characters a second: the answer cannot be quicker than that.
    EXPECT_GE(took, std::chrono::milliseconds(answer.size() * 1000 / 240 - 50));
}

TEST_F(Faults, NoiseFromTheProgramNeverStopsTheDevice)
{
    Start(TProfile::Builtin("tc35"));
    std::mt19937 rng(12345);
    std::string noise;
    for (int i = 0; i < 20000; ++i)
        noise += static_cast<char>(rng() & 0xFF);
    // Lines of random text after "AT" too.
    for (int i = 0; i < 200; ++i) {
        noise += "AT";
        for (int j = 0; j < 30; ++j)
            noise += static_cast<char>(0x20 + rng() % 95);
        noise += '\r';
    }
    ASSERT_TRUE(client.Write(noise));
    client.ReadFor(500);
    client.Take();
    // The noise may have switched echo, result forms and S-registers:
    // factory settings bring the device back.
    std::string answer;
    for (int i = 0; i < 50 && answer.find("\r\nOK\r\n") == std::string::npos; ++i)
        answer = Ask("\rAT&F", 500);
    EXPECT_NE(answer.find("OK\r\n"), std::string::npos);
    EXPECT_EQ(Ask("AT+CGMM"), "AT+CGMM\r\r\nTC35\r\n\r\nOK\r\n");
    EXPECT_GE(sim->Transcript().Commands().size(), 100u);
}

TEST_F(Faults, InjectedGarbageAndBytes)
{
    Start(TProfile::Builtin("tc35"));
    sim->InjectGarbage(32);
    client.ReadFor(300);
    EXPECT_EQ(client.Take().size(), 32u);
    sim->InjectBytes("> ");
    ASSERT_TRUE(client.WaitFor("> ", 2000));
    EXPECT_EQ(client.Take(), "> ");
}
