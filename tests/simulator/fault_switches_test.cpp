// Fault switches: each kind on a real exchange over the pty, the command
// patterns, counts and shares, the PDU commands shaped after their prompt,
// switches from a profile and a script, and bad switch texts.
#include <stdexcept>

#include "tests/modemsim/faults.h"
#include "tests/simulator/sim_fixture.h"

using ModemSim::TProfile;

namespace {

const char kCsq[] = "\r\n+CSQ: 21,99\r\n";

class FaultSwitches : public SimFixture {
protected:
    void Start(TProfile p = TProfile::Builtin("tc35"))
    {
        Boot(p);
        ASSERT_EQ(Ask("ATE0"), "ATE0\r\r\nOK\r\n");
    }
    // What arrives within `ms` after the command.
    std::string Within(const std::string& line, int ms)
    {
        client.Take();
        client.Command(line);
        client.ReadFor(ms);
        return client.Take();
    }
};

}  // namespace

TEST_F(FaultSwitches, EachKindShapesTheAnswer)
{
    struct Case {
        const char* fault;
        const char* command;
        const char* answer;  // within 300 ms
    };
    const Case cases[] = {
        {"+CSQ nofinal", "AT+CSQ", "\r\n+CSQ: 21,99\r\n"},
        {"+CSQ bareok", "AT+CSQ", "\r\nOK\r\n"},
        {"+CSQ noinfo", "AT+CSQ", "\r\nOK\r\n"},
        {"+CSQ answer +CME ERROR: 100", "AT+CSQ", "\r\n+CME ERROR: 100\r\n"},
        {"+CSQ answer +CMS ERROR: 500", "AT+CSQ", "\r\n+CMS ERROR: 500\r\n"},
        {"+CSQ answer error", "AT+CSQ", "\r\nERROR\r\n"},
        {"D answer NO ANSWER", "ATD+420777;", "\r\nNO ANSWER\r\n"},
        {"+CSQ late 800", "AT+CSQ", ""},
        {"+CSQ answer BUSY after 800", "AT+CSQ", ""},
    };
    Start();
    ASSERT_EQ(Ask("AT+CMEE=1"), "\r\nOK\r\n");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.fault);
        sim->AddFault(std::string(c.fault) + " x1");
        EXPECT_EQ(Within(c.command, 300), c.answer);
        client.ReadFor(700);  // the late ones arrive meanwhile
        client.Take();
        // Spent after one: the same command answers as always.
        if (std::string(c.command) == "AT+CSQ") {
            EXPECT_EQ(Ask("AT+CSQ"), std::string(kCsq) + "\r\nOK\r\n");
        }
    }
    // A late answer is the whole answer, only later.
    sim->AddFault("+CSQ late 400 x1");
    EXPECT_EQ(Within("AT+CSQ", 200), "");
    EXPECT_TRUE(client.WaitFor(std::string(kCsq) + "\r\nOK\r\n", 2000));
}

TEST_F(FaultSwitches, NochangeTakesASetCommandAndKeepsTheState)
{
    Start();
    sim->AddFault("+CPMS= nochange");
    sim->AddFault("+CPBS= nochange");
    EXPECT_EQ(Ask("AT+CPMS=\"ME\""), "\r\nOK\r\n");
    EXPECT_NE(Ask("AT+CPMS?").find("+CPMS: \"SM\""), std::string::npos);
    EXPECT_EQ(Ask("AT+CPBS=\"ME\""), "\r\nOK\r\n");
    EXPECT_NE(Ask("AT+CPBS?").find("+CPBS: \"SM\""), std::string::npos);
    // Other forms of the command are left alone.
    EXPECT_NE(Ask("AT+CPMS=?").find("+CPMS: ("), std::string::npos);
    sim->ClearFaults();
    Ask("AT+CPBS=\"ME\"");
    EXPECT_NE(Ask("AT+CPBS?").find("+CPBS: \"ME\""), std::string::npos);
}

TEST_F(FaultSwitches, PatternsCountsAndShares)
{
    Start();
    // A prefix of the command as written names one parameter only.
    sim->AddFault("+CPBR=2* bareok");
    EXPECT_EQ(Ask("AT+CPBR=2"), "\r\nOK\r\n");
    EXPECT_NE(Ask("AT+CPBR=1").find("+CPBR: 1,"), std::string::npos);
    sim->ClearFaults();
    // "*" names every command; x3 fires three times, then the device behaves.
    sim->AddFault("* answer ERROR x3");
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(Ask("AT"), "\r\nERROR\r\n");
    EXPECT_EQ(Ask("AT"), "\r\nOK\r\n");
    sim->AddFault("AT nofinal x1");
    EXPECT_EQ(Within("AT", 300), "");
    EXPECT_EQ(Ask("AT+CSQ"), std::string(kCsq) + "\r\nOK\r\n");  // "AT" names only the bare one
    // A share fires for about that part of the commands, from the seed.
    sim->AddFault("+CSQ answer ERROR 30%");
    int failed = 0;
    for (int i = 0; i < 200; ++i)
        failed += Ask("AT+CSQ") == "\r\nERROR\r\n";
    EXPECT_GT(failed, 30);
    EXPECT_LT(failed, 90);
}

TEST_F(FaultSwitches, PduCommandsAreShapedWhenTheirAnswerGoesOut)
{
    // A stored message, after its prompt: the index line left out, then the
    // final result lost, then late.
    const std::string pdu = "0011000B917000000000F00000AA01C1";  // SUBMIT "A", no centre
    auto store = [&](int ms) {
        client.Take();
        client.Command("AT+CMGW=" + std::to_string(pdu.size() / 2 - 1));
        EXPECT_TRUE(client.WaitFor("> ", 2000));
        client.Take();
        client.Write(pdu + "\x1A");
        client.ReadFor(ms);
        return client.Take();
    };
    Start();
    const std::string first = store(300);
    ASSERT_EQ(first.rfind("\r\n+CMGW: ", 0), 0u) << first;
    const int base = std::stoi(first.substr(9));
    auto stored = [&](int k) { return "\r\n+CMGW: " + std::to_string(base + k) + "\r\n"; };
    sim->AddFault("+CMGW= noinfo x1");
    sim->AddFault("+CMGW= nofinal x1");
    sim->AddFault("+CMGW= late 700 x1");
    EXPECT_EQ(store(300), "\r\nOK\r\n");
    EXPECT_EQ(store(300), stored(2));
    EXPECT_EQ(store(300), "");
    EXPECT_TRUE(client.WaitFor(stored(3) + "\r\nOK\r\n", 2000));
    EXPECT_EQ(store(300), stored(4) + "\r\nOK\r\n");
    // Every stored copy is there, whatever its answer said.
    const std::string listed = Ask("AT+CMGL=4");
    for (int k = 1; k <= 4; ++k)
        EXPECT_NE(listed.find("+CMGL: " + std::to_string(base + k) + ","), std::string::npos) << k;
}

TEST_F(FaultSwitches, FromTheProfileAndTheScript)
{
    TProfile p = TProfile::Parse(
        "base = tc35\n"
        "fault_seed = 7\n"
        "[faults]\n"
        "+CGMI bareok\n"
        "[script]\n"
        "at 0 fault +CGMM answer +CME ERROR: 3 x1\n");
    ASSERT_EQ(p.faults.size(), 1u);
    EXPECT_EQ(p.faultSeed, 7u);
    Start(p);
    ASSERT_EQ(Ask("AT+CMEE=1"), "\r\nOK\r\n");
    EXPECT_EQ(Ask("AT+CGMI"), "\r\nOK\r\n");
    EXPECT_EQ(Ask("AT+CGMM"), "\r\n+CME ERROR: 3\r\n");
    EXPECT_EQ(Ask("AT+CGMM"), "\r\nTC35\r\n\r\nOK\r\n");
    sim->RunScriptLine("at 0 nofaults");
    client.ReadFor(100);
    EXPECT_EQ(Ask("AT+CGMI"), "\r\nSIEMENS\r\n\r\nOK\r\n");
    EXPECT_TRUE(sim->Transcript().WaitForEvent("fault +CGMI bareok: +CGMI", 0));
}

TEST(FaultSwitchText, BadSwitchesAreRefusedWithTheirText)
{
    for (const char* bad : {"", "+CSQ", "+CSQ explode", "+CSQ late", "+CSQ late 9-3", "+CSQ late x",
                            "+CSQ answer", "+CSQ nofinal 120%", "+CSQ nofinal after 5", "+CSQ bareok extra",
                            "link", "link sideways", "link delay", "link delay 9-3", "link lose 5", "link reorder",
                            "link drop", "link drop 5", "link delay 5 after 5"}) {
        SCOPED_TRACE(bad);
        EXPECT_THROW(ModemSim::TFaultSwitch::Parse(bad), std::invalid_argument);
    }
    EXPECT_THROW(TProfile::Parse("[faults]\n+CSQ sideways\n"), std::invalid_argument);
    EXPECT_THROW(ModemSim::ParseScriptLine("at 0 fault +CSQ"), std::invalid_argument);
    const auto f = ModemSim::TFaultSwitch::Parse("atd answer NO CARRIER after 250 x2 50%");
    EXPECT_EQ(f.commands, "D");
    EXPECT_EQ(f.answer.finalText, "NO CARRIER");
    EXPECT_EQ(f.lateMs, 250);
    EXPECT_EQ(f.count, 2);
    EXPECT_EQ(f.percent, 50);
    const auto drop = ModemSim::TFaultSwitch::Parse("LINK drop after 1500 x1");
    EXPECT_EQ(drop.kind, ModemSim::TFaultSwitch::TKind::LinkDrop);
    EXPECT_EQ(drop.lateMs, 1500);
    EXPECT_TRUE(drop.OfLink());
    const auto delay = ModemSim::TFaultSwitch::Parse("link delay 200-400 3%");
    EXPECT_EQ(delay.lateMaxMs, 400);
    EXPECT_EQ(delay.percent, 3);
    // A link switch names no command.
    ModemSim::TFaults faults;
    faults.Add("link lose");
    std::vector<ModemSim::TAtCommand> csq;
    ASSERT_TRUE(ModemSim::SplitCommandLine("+CSQ", csq));
    EXPECT_FALSE(faults.Fire(csq.at(0)));
    EXPECT_TRUE(faults.FireLink(ModemSim::TFaultSwitch::TKind::LinkLose));
    EXPECT_FALSE(faults.FireLink(ModemSim::TFaultSwitch::TKind::LinkDelay));
}
