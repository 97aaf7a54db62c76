// SMS on the simulated device (TS 27.005 PDU mode): memories, listing,
// reading, writing and sending with the "> " prompt, sending from memory,
// deleting, the SMS centre, new-message indications, the SMS script
// actions and the SMS lines of profiles.
#include <map>
#include <stdexcept>

#include "tests/modemsim/script.h"
#include "tests/modemsim/sms_state.h"
#include "tests/simulator/sim_fixture.h"

using namespace ModemSim;

namespace {

// The built-in TC35's messages: "hello" read, "hello" from "Banka" unread,
// "Ahoj" to +420777123456 unsent. Their TPDUs are 24, 23 and 18 octets.
const std::string kHello = "0791246030500200040C9124707721436500004230513154034005E8329BFD06";
const std::string kBanka = "07912460305002000409D0C2B07B1D0600004230513154034005E8329BFD06";
const std::string kAhoj = "0011000C912470772143650000A90441F45B0D";
// "Cau" from +420602123456 (22 octets), as is and as message class 3 and 1.
const std::string kCau = "0791246030500200000C9124602021436500004230514100000003C3701D";
const std::string kCauClass3 = "0791246030500200000C9124602021436500F34230514100000003C3701D";
const std::string kCauClass1 = "0791246030500200000C9124602021436500F14230514100000003C3701D";
// "Ahoj" without a centre of its own, and with the centre in front (18 octets of TPDU both).
const std::string kAhojCentre = "079124603050020011000C912470772143650000A90441F45B0D";

const char kCtrlZ[] = "\x1A";
const char kEsc[] = "\x1B";

std::string Ok(const std::string& lines = "")
{
    return lines.empty() ? "\r\nOK\r\n" : "\r\n" + lines + "\r\n\r\nOK\r\n";
}

std::string CmsError(int code)
{
    return "\r\n+CMS ERROR: " + std::to_string(code) + "\r\n";
}

struct TStep {
    std::string command;
    std::string answer;
};

}  // namespace

class Sms : public SimFixture {
protected:
    void Start(const TProfile& p = TProfile::Builtin("tc35"))
    {
        Boot(p);
        ASSERT_EQ(Ask("ATE0"), "ATE0\r\r\nOK\r\n");
    }

    void Run(const std::vector<TStep>& steps)
    {
        for (size_t i = 0; i < steps.size(); ++i)
            EXPECT_EQ(Ask(steps[i].command), steps[i].answer) << "step " << i << ": " << steps[i].command;
    }

    // Sends a command line and returns what came until `first` (a prompt or a refusal).
    std::string Until(const std::string& command, const std::string& first)
    {
        client.Take();
        client.Command(command);
        client.WaitFor(first, 5000);
        return client.Take();
    }

    // Types the text after a prompt; returns the answer up to its final result.
    std::string Type(const std::string& text)
    {
        client.Take();
        client.Write(text);
        for (int i = 0; i < 250 && !Final(client.Received()); ++i)
            client.ReadFor(20);
        return client.Take();
    }

    // A +CMGS/+CMGW line, its "> " prompt, the text typed: the answer.
    std::string Enter(const std::string& command, const std::string& text)
    {
        const std::string prompt = Until(command, "> ");
        if (prompt != "\r\n> ")
            return "no prompt: " + prompt;
        return Type(text);
    }

    static bool Final(const std::string& s)
    {
        const bool numeric = s.size() >= 2 && s.compare(s.size() - 2, 2, "0\r") == 0;
        return numeric || s.find("OK\r\n") != std::string::npos ||
               (s.find("ERROR") != std::string::npos && s.back() == '\n');
    }

    std::vector<std::string> Sent()
    {
        std::vector<std::string> out;
        sim->WithDevice([&](TDevice& d) { out = d.sms.sent; });
        return out;
    }

    // "<stat>:<pdu>" of a memory's messages, by index.
    std::map<int, std::string> Held(const std::string& memory)
    {
        std::map<int, std::string> out;
        sim->WithDevice([&](TDevice& d) {
            const int m = d.sms.MemoryIndex(memory);
            if (m >= 0)
                for (const auto& [index, message] : d.sms.memories[static_cast<size_t>(m)].messages)
                    out[index] = std::to_string(message.stat) + ":" + message.pdu;
        });
        return out;
    }
};

TEST_F(Sms, ListsReadsAndDeletesTheCardsMessages)
{
    Start();
    Run({
        {"AT+CPMS=?", Ok("+CPMS: (\"SM\"),(\"SM\"),(\"SM\")")},
        {"AT+CPMS?", Ok("+CPMS: \"SM\",3,30,\"SM\",3,30,\"SM\",3,30")},
        {"AT+CPMS=\"SM\"", Ok("+CPMS: 3,30,3,30,3,30")},
        {"AT+CMGF=?", Ok("+CMGF: (0)")},
        {"AT+CMGF?", Ok("+CMGF: 0")},
        {"AT+CMGF=1", CmsError(303)},
        {"AT+CMGF=x", CmsError(304)},
        {"AT+CMGF=0", Ok()},
        {"AT+CMGL=?", Ok("+CMGL: (0-4)")},
        // The unread one, read from then on.
        {"AT+CMGL=0", Ok("+CMGL: 2,0,,23\r\n" + kBanka)},
        {"AT+CMGL=0", Ok()},
        {"AT+CMGL=1", Ok("+CMGL: 1,1,,24\r\n" + kHello + "\r\n+CMGL: 2,1,,23\r\n" + kBanka)},
        {"AT+CMGL=2", Ok("+CMGL: 3,2,,18\r\n" + kAhoj)},
        {"AT+CMGL=3", Ok()},
        {"AT+CMGL=4", Ok("+CMGL: 1,1,,24\r\n" + kHello + "\r\n+CMGL: 2,1,,23\r\n" + kBanka + "\r\n+CMGL: 3,2,,18\r\n" +
                         kAhoj)},
        // Text-mode names and other numbers are no PDU-mode stats.
        {"AT+CMGL=\"ALL\"", CmsError(304)},
        {"AT+CMGL=\"REC UNREAD\"", CmsError(304)},
        {"AT+CMGL=5", CmsError(304)},
        {"AT+CMGL=4,1", CmsError(304)},
        {"AT+CMGR=3", Ok("+CMGR: 2,,18\r\n" + kAhoj)},
        {"AT+CMGR=1", Ok("+CMGR: 1,,24\r\n" + kHello)},
        {"AT+CMGR=4", CmsError(321)},
        {"AT+CMGR=0", CmsError(321)},
        {"AT+CMGR=31", CmsError(321)},
        {"AT+CMGR=x", CmsError(304)},
        {"AT+CMGR", "\r\nERROR\r\n"},
        {"AT+CMGD=?", Ok("+CMGD: (1,2,3),(0-4)")},
        {"AT+CMGD=2", Ok()},
        {"AT+CMGR=2", CmsError(321)},
        {"AT+CMGD=2", Ok()},  // an empty place
        {"AT+CMGD=31", CmsError(321)},
        {"AT+CMGD=1,5", CmsError(304)},
        {"AT+CPMS?", Ok("+CPMS: \"SM\",2,30,\"SM\",2,30,\"SM\",2,30")},
        // Delete flag 1: every read message; 4: all.
        {"AT+CMGD=1,1", Ok()},
        {"AT+CMGD=?", Ok("+CMGD: (3),(0-4)")},
        {"AT+CMGD=0,4", Ok()},
        {"AT+CMGL=4", Ok()},
    });
}

TEST_F(Sms, SecondMemoryFromAProfileFile)
{
    Start(TProfile::Parse("base = tc35\n"
                          "sms_memories = SM/30, ME/100\n"
                          "[sms]\n"
                          "ME 7 1 " + kHello + "\n"
                          "me 100 3 " + kAhoj + "\n"));
    Run({
        {"AT+CPMS=?", Ok("+CPMS: (\"SM\",\"ME\"),(\"SM\",\"ME\"),(\"SM\")")},
        {"AT+CPMS?", Ok("+CPMS: \"SM\",0,30,\"SM\",0,30,\"SM\",0,30")},
        {"AT+CMGL=4", Ok()},  // the [sms] lines replaced the built-in messages
        {"AT+CPMS=\"ME\"", Ok("+CPMS: 2,100,0,30,0,30")},
        {"AT+CPMS?", Ok("+CPMS: \"ME\",2,100,\"SM\",0,30,\"SM\",0,30")},
        {"AT+CMGL=4", Ok("+CMGL: 7,1,,24\r\n" + kHello + "\r\n+CMGL: 100,3,,18\r\n" + kAhoj)},
        {"AT+CPMS=\"SM\",\"me\"", Ok("+CPMS: 0,30,2,100,0,30")},
        {"AT+CMSS=100", Ok("+CMSS: 1")},
        // Only the first memory receives; unknown and empty names are refused.
        {"AT+CPMS=\"ME\",\"ME\",\"ME\"", CmsError(302)},
        {"AT+CPMS=\"MT\"", CmsError(302)},
        {"AT+CPMS=\"\"", CmsError(302)},
        {"AT+CPMS=\"SM\",\"SM\",\"SM\",\"SM\"", CmsError(302)},
        {"AT+CPMS", "\r\nERROR\r\n"},
        {"AT+CPMS?", Ok("+CPMS: \"SM\",0,30,\"ME\",2,100,\"SM\",0,30")},
    });
    EXPECT_EQ(Sent(), std::vector<std::string>{kAhoj});
}

TEST_F(Sms, WritesAndSendsThePduTypedAfterThePrompt)
{
    Start();
    EXPECT_EQ(Enter("AT+CMGW=18", kAhoj + kCtrlZ), Ok("+CMGW: 4"));
    EXPECT_EQ(Enter("AT+CMGW=18,3", kAhojCentre + kCtrlZ), Ok("+CMGW: 5"));
    EXPECT_EQ(Enter("AT+CMGW=24,0", kHello + kCtrlZ), Ok("+CMGW: 6"));
    // Lower case hex is taken, a backspace takes the last digit back, line ends are ignored.
    std::string lower = kAhoj;
    for (char& c : lower)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    EXPECT_EQ(Enter("AT+CMGW=18", lower.substr(0, 10) + "7\b" + lower.substr(10) + "\r\n" + kCtrlZ), Ok("+CMGW: 7"));
    EXPECT_EQ(Held("SM")[4], "2:" + kAhoj);
    EXPECT_EQ(Held("SM")[5], "3:" + kAhojCentre);
    EXPECT_EQ(Held("SM")[6], "0:" + kHello);
    EXPECT_EQ(Held("SM")[7], "2:" + kAhoj);
    EXPECT_EQ(Ask("AT+CMGR=5"), Ok("+CMGR: 3,,18\r\n" + kAhojCentre));

    // Sends: each gets the next message reference; +CMSS sends a stored one and marks it sent.
    EXPECT_EQ(Enter("AT+CMGS=18", kAhoj + kCtrlZ), Ok("+CMGS: 1"));
    EXPECT_EQ(Enter("AT+CMGS=18", kAhojCentre + kCtrlZ), Ok("+CMGS: 2"));
    Run({
        {"AT+CMSS=3", Ok("+CMSS: 3")},
        {"AT+CMGL=3", Ok("+CMGL: 3,3,,18\r\n" + kAhoj + "\r\n+CMGL: 5,3,,18\r\n" + kAhojCentre)},
        {"AT+CMSS=1", CmsError(302)},  // a received message
        {"AT+CMSS=9", CmsError(321)},
        {"AT+CMSS=3,\"+420777123456\"", CmsError(303)},
        {"AT+CMGS=?", Ok()},
        {"AT+CMGW=?", Ok()},
        {"AT+CMSS=?", Ok()},
    });
    EXPECT_EQ(Sent(), (std::vector<std::string>{kAhoj, kAhojCentre, kAhoj}));
    EXPECT_TRUE(sim->Transcript().WaitForEvent("SMS sent: " + kAhojCentre, 0));
}

TEST_F(Sms, ThePduMustFitItsLength)
{
    Start();
    struct TCase {
        std::string command, typed, answer;
    };
    const std::vector<TCase> cases = {
        {"AT+CMGS=17", kAhoj, CmsError(304)},                      // one octet more than announced
        {"AT+CMGS=19", kAhoj, CmsError(304)},                      // one less
        {"AT+CMGS=20", kAhojCentre, CmsError(304)},                // the centre part does not count
        {"AT+CMGS=18", kAhoj + "0", CmsError(304)},                // odd
        {"AT+CMGS=18", kAhoj.substr(0, 34) + "XY", CmsError(304)},  // not hex
        {"AT+CMGS=18", "", CmsError(304)},
        {"AT+CMGS=2", "0F00", CmsError(304)},                      // centre part longer than the PDU
        {"AT+CMGS=24", kHello, CmsError(304)},                     // a DELIVER is not sent
        {"AT+CMGW=18", kAhoj.substr(2), CmsError(304)},            // no centre part at all
        {"AT+CMGW=24", kHello.substr(0, 46), CmsError(304)},
    };
    for (const TCase& c : cases)
        EXPECT_EQ(Enter(c.command, c.typed + kCtrlZ), c.answer) << c.command << " " << c.typed;
    // Refused before any prompt.
    Run({
        {"AT+CMGS=0", CmsError(304)},
        {"AT+CMGS=165", CmsError(304)},
        {"AT+CMGS=x", CmsError(304)},
        {"AT+CMGS=18,1", CmsError(304)},
        {"AT+CMGS", "\r\nERROR\r\n"},
        {"AT+CMGW=18,4", CmsError(304)},
        {"AT+CMGW=18,1,1", CmsError(304)},
    });
    // Esc cancels: OK, nothing stored or sent.
    EXPECT_EQ(Enter("AT+CMGS=18", kAhoj + kEsc), Ok());
    EXPECT_EQ(Enter("AT+CMGW=18", kAhoj.substr(0, 6) + kEsc), Ok());
    EXPECT_TRUE(Sent().empty());
    EXPECT_EQ(Held("SM").size(), 3u);
    EXPECT_EQ(Ask("AT+CGMM"), Ok("TC35"));
}

TEST_F(Sms, EchoAndNumericResultsAroundThePrompt)
{
    Start();
    ASSERT_EQ(Ask("ATE1"), Ok());
    EXPECT_EQ(Until("AT+CMGS=18", "> "), "AT+CMGS=18\r\r\n> ");
    EXPECT_EQ(Type(kAhoj + kCtrlZ), kAhoj + "\r\n+CMGS: 1\r\n\r\nOK\r\n");
    ASSERT_EQ(Until("ATE0V0", "\r0\r"), "ATE0V0\r0\r");
    EXPECT_EQ(Until("AT+CMGW=18", "> "), "\r\n> ");
    EXPECT_EQ(Type(kAhoj + kCtrlZ), "+CMGW: 4\r\n0\r");
}

TEST_F(Sms, SendingNeedsACentreAndTheNetwork)
{
    Start();
    Run({
        {"AT+CSCA=?", Ok()},
        {"AT+CSCA?", Ok("+CSCA: \"+420603052000\",145")},
        // An empty centre and numbers that are none are refused.
        {"AT+CSCA=\"\"", CmsError(304)},
        {"AT+CSCA=\"\",129", CmsError(304)},
        {"AT+CSCA=\"+\"", CmsError(304)},
        {"AT+CSCA=\"12a4\"", CmsError(304)},
        {"AT+CSCA=\"123456789012345678901\"", CmsError(304)},
        {"AT+CSCA=\"603052000\",300", CmsError(304)},
        {"AT+CSCA?", Ok("+CSCA: \"+420603052000\",145")},
        {"AT+CSCA=\"603052001\"", Ok()},
        {"AT+CSCA?", Ok("+CSCA: \"603052001\",129")},
        {"AT+CSCA=\"+420603052002\"", Ok()},
        {"AT+CSCA?", Ok("+CSCA: \"+420603052002\",145")},
        {"AT+CSCA=\"420603052003\",145", Ok()},
        {"AT+CSCA?", Ok("+CSCA: \"+420603052003\",145")},
    });

    // A card without a centre: only a PDU that names one can go.
    TProfile p = TProfile::Builtin("tc35");
    p.smsCentre = "";
    client.Close();
    sim->Stop();
    Start(p);
    EXPECT_EQ(Ask("AT+CSCA?"), Ok("+CSCA: \"\",129"));
    EXPECT_EQ(Enter("AT+CMGS=18", kAhoj + kCtrlZ), CmsError(330));
    EXPECT_EQ(Ask("AT+CMSS=3"), CmsError(330));
    EXPECT_EQ(Enter("AT+CMGS=18", kAhojCentre + kCtrlZ), Ok("+CMGS: 1"));
    // No network.
    sim->SetRegistration(0);
    EXPECT_EQ(Enter("AT+CMGS=18", kAhojCentre + kCtrlZ), CmsError(331));
    EXPECT_EQ(Sent(), std::vector<std::string>{kAhojCentre});
}

TEST_F(Sms, NewMessagesAsTheIndicationSettingsSay)
{
    Start();
    Run({
        {"AT+CNMI=?", Ok("+CNMI: (0-3),(0-3),(0,2),(0,1),(0,1)")},
        {"AT+CNMI?", Ok("+CNMI: 0,0,0,0,0")},
        {"AT+CNMI=2,1,2,1,0", Ok()},
        {"AT+CNMI=,,0", Ok()},  // empty and left-out values stay
        {"AT+CNMI?", Ok("+CNMI: 2,1,0,1,0")},
        {"AT+CNMI=4", CmsError(303)},
        {"AT+CNMI=2,1,1", CmsError(303)},
        {"AT+CNMI=x", CmsError(304)},
        {"AT+CNMI=2,1,0,1,0,0", CmsError(304)},
        {"AT+CNMI", "\r\nERROR\r\n"},
    });
    // mt 1: stored in SM, announced.
    sim->RunScriptLine("at 0 deliver " + kCau);
    ASSERT_TRUE(client.WaitFor("\r\n+CMTI: \"SM\",4\r\n", 5000));
    EXPECT_EQ(client.Take(), "\r\n+CMTI: \"SM\",4\r\n");
    EXPECT_EQ(Ask("AT+CMGR=4"), Ok("+CMGR: 0,,22\r\n" + kCau));

    // mt 2: handed over at once, not stored.
    ASSERT_EQ(Ask("AT+CNMI=2,2"), Ok());
    sim->RunScriptLine("at 0 deliver " + kCau);
    ASSERT_TRUE(client.WaitFor("1D\r\n", 5000));
    EXPECT_EQ(client.Take(), "\r\n+CMT: ,22\r\n" + kCau + "\r\n");

    // mt 3: class 3 handed over, others stored.
    ASSERT_EQ(Ask("AT+CNMI=2,3"), Ok());
    sim->RunScriptLine("at 0 deliver " + kCauClass3);
    ASSERT_TRUE(client.WaitFor("1D\r\n", 5000));
    EXPECT_EQ(client.Take(), "\r\n+CMT: ,22\r\n" + kCauClass3 + "\r\n");
    sim->RunScriptLine("at 0 deliver " + kCauClass1);
    ASSERT_TRUE(client.WaitFor("\r\n+CMTI: \"SM\",5\r\n", 5000));
    client.Take();

    // mt 0: stored silently.
    ASSERT_EQ(Ask("AT+CNMI=2,0"), Ok());
    sim->RunScriptLine("at 0 deliver " + kCau);
    ASSERT_TRUE(sim->Transcript().WaitForEvent("SMS stored in SM 6", 5000));
    client.ReadFor(100);
    EXPECT_EQ(client.Take(), "");
    EXPECT_EQ(Held("SM").size(), 6u);
    EXPECT_EQ(Held("SM")[6], "0:" + kCau);
}

TEST_F(Sms, IndicationsHeldByTheDevice)
{
    Start();
    // Mode 0 keeps them; mode 2 with bfr 0 sends them after the OK.
    ASSERT_EQ(Ask("AT+CNMI=0,1"), Ok());
    sim->RunScriptLine("at 0 deliver " + kCau);
    ASSERT_TRUE(sim->Transcript().WaitForEvent("SMS stored in SM 4", 5000));
    client.ReadFor(100);
    EXPECT_EQ(client.Take(), "");
    client.Command("AT+CNMI=2,1,0,0,0");
    ASSERT_TRUE(client.WaitFor("\"SM\",4\r\n", 5000));
    EXPECT_EQ(client.Take(), "\r\nOK\r\n\r\n+CMTI: \"SM\",4\r\n");

    // bfr 1 drops them.
    ASSERT_EQ(Ask("AT+CNMI=0,1"), Ok());
    sim->RunScriptLine("at 0 deliver " + kCau);
    ASSERT_TRUE(sim->Transcript().WaitForEvent("SMS stored in SM 5", 5000));
    ASSERT_EQ(Ask("AT+CNMI=2,1,0,0,1"), Ok());
    client.ReadFor(100);
    EXPECT_EQ(client.Take(), "");

    // While a PDU is typed: mode 2 holds them until the answer is out,
    // mode 1 drops them, mode 3 sends them at once.
    struct TCase {
        int mode;
        std::string during, after;
    };
    const std::vector<TCase> cases = {
        {2, "", Ok("+CMGS: 1") + "\r\n+CMTI: \"SM\",6\r\n"},
        {1, "", Ok("+CMGS: 2")},
        {3, "\r\n+CMTI: \"SM\",8\r\n", Ok("+CMGS: 3")},
    };
    for (const TCase& c : cases) {
        ASSERT_EQ(Ask("AT+CNMI=" + std::to_string(c.mode) + ",1,0,0,0"), Ok());
        ASSERT_EQ(Until("AT+CMGS=18", "> "), "\r\n> ");
        const size_t mark = sim->Transcript().Size();
        sim->RunScriptLine("at 0 deliver " + kCau);
        ASSERT_TRUE(sim->Transcript().WaitForEvent("SMS stored", 5000, mark));
        if (c.during.empty())
            client.ReadFor(100);
        else
            client.WaitFor(c.during, 5000);
        EXPECT_EQ(client.Take(), c.during) << c.mode;
        client.Write(kAhoj + kCtrlZ);
        client.WaitFor(c.after, 5000);
        client.ReadFor(100);
        EXPECT_EQ(client.Take(), c.after) << c.mode;
    }
    EXPECT_EQ(Held("SM").size(), 8u);
}

TEST_F(Sms, FullReceiveMemoryRejectsTheMessage)
{
    TProfile p = TProfile::Builtin("tc35");
    p.smsMemories = {{"SM", 3}};
    Start(p);
    ASSERT_EQ(Ask("AT+CNMI=2,1"), Ok());
    sim->RunScriptLine("at 0 deliver " + kCau);
    ASSERT_TRUE(sim->Transcript().WaitForEvent("SM is full", 5000));
    client.ReadFor(100);
    EXPECT_EQ(client.Take(), "");
    EXPECT_EQ(Enter("AT+CMGW=18", kAhoj + kCtrlZ), CmsError(322));
    EXPECT_EQ(Ask("AT+CPMS?"), Ok("+CPMS: \"SM\",3,3,\"SM\",3,3,\"SM\",3,3"));
}

TEST_F(Sms, ScriptRefusesAndWithholdsThePrompt)
{
    TProfile p = TProfile::Parse("base = tc35\n"
                                 "[script]\n"
                                 "on AT+CMGS=18 refuse ERROR\n"
                                 "on AT+CMGS=18 refuse +CMS ERROR: 500\n"
                                 "on AT+CMGS=18 refuse +cme error: 3\n");
    Start(p);
    ASSERT_EQ(Ask("AT+CMEE=1"), Ok());
    // The three refusals fire on the first line and answer it and the next two.
    Run({
        {"AT+CMGS=18", "\r\nERROR\r\n"},
        {"AT+CMGS=18", CmsError(500)},
        {"AT+CMGS=18", "\r\n+CME ERROR: 3\r\n"},
    });
    EXPECT_EQ(Enter("AT+CMGS=18", kAhoj + kCtrlZ), Ok("+CMGS: 1"));

    // Any SMS command takes the next refusal.
    size_t mark = sim->Transcript().Size();
    sim->RunScriptLine("at 0 refuse +CMS ERROR: 321");
    ASSERT_TRUE(sim->Transcript().WaitForEvent("will be refused", 5000, mark));
    EXPECT_EQ(Ask("AT+CSCA?"), CmsError(321));
    EXPECT_EQ(Ask("AT+CSCA?"), Ok("+CSCA: \"+420603052000\",145"));

    // No prompt: the device waits for the PDU all the same; Esc ends it.
    sim->RunScriptLine("on AT+CMGW=18 noprompt");
    client.Command("AT+CMGW=18");
    client.ReadFor(300);
    EXPECT_EQ(client.Take(), "");
    EXPECT_EQ(Type(kEsc), Ok());
    mark = sim->Transcript().Size();
    sim->RunScriptLine("at 0 noprompt");
    ASSERT_TRUE(sim->Transcript().WaitForEvent("no prompt", 5000, mark));
    client.Command("AT+CMGS=18");
    client.ReadFor(300);
    EXPECT_EQ(client.Take(), "");
    EXPECT_EQ(Type(kAhoj + kCtrlZ), Ok("+CMGS: 2"));
    EXPECT_EQ(Enter("AT+CMGS=18", kAhoj + kCtrlZ), Ok("+CMGS: 3"));
}

TEST_F(Sms, LostFinalResultAndResetDuringThePdu)
{
    TProfile p = TProfile::Parse("base = tc35\n[script]\non AT+CMGS=18 nofinal\n");
    Start(p);
    // The final result of the send is the one lost, not the prompt.
    ASSERT_EQ(Until("AT+CMGS=18", "> "), "\r\n> ");
    client.Write(kAhoj + kCtrlZ);
    client.WaitFor("+CMGS: 1\r\n", 5000);
    client.ReadFor(200);
    EXPECT_EQ(client.Take(), "\r\n+CMGS: 1\r\n");
    EXPECT_EQ(Ask("AT+CSCA?"), Ok("+CSCA: \"+420603052000\",145"));

    // A reset drops the PDU being typed; the card keeps its messages.
    ASSERT_EQ(Ask("AT+CNMI=2,1"), Ok());
    ASSERT_EQ(Until("AT+CMGW=18", "> "), "\r\n> ");
    client.Write(kAhoj.substr(0, 10));
    sim->Reset(0);
    ASSERT_TRUE(client.WaitFor("^SYSSTART\r\n", 5000));
    client.Take();
    EXPECT_EQ(Ask("AT"), "AT\r\r\nOK\r\n");
    ASSERT_EQ(Ask("ATE0"), "ATE0\r\r\nOK\r\n");
    EXPECT_EQ(Ask("AT+CNMI?"), Ok("+CNMI: 0,0,0,0,0"));
    EXPECT_EQ(Ask("AT+CPMS?"), Ok("+CPMS: \"SM\",3,30,\"SM\",3,30,\"SM\",3,30"));
    EXPECT_EQ(Ask("AT&F"), Ok());
}

TEST_F(Sms, CardMustBeReady)
{
    TProfile p = TProfile::Builtin("tc35");
    p.sim = TSimCard::Pin;
    Start(p);
    for (const char* command : {"AT+CPMS?", "AT+CPMS=?", "AT+CMGL=4", "AT+CMGR=1", "AT+CMGW=18", "AT+CMGS=18",
                                "AT+CMSS=3", "AT+CMGD=1", "AT+CSCA?"})
        EXPECT_EQ(Ask(command), CmsError(311)) << command;
    // The settings of the device itself need no card.
    EXPECT_EQ(Ask("AT+CNMI=2,1"), Ok());
    EXPECT_EQ(Ask("AT+CMGF=0"), Ok());
    // A profile without +CNMI.
    p = TProfile::Builtin("tc35");
    p.cnmiTest = "ERROR";
    p.smsMemories = {{"SM", 30}};
    client.Close();
    sim->Stop();
    Start(p);
    EXPECT_EQ(Ask("AT+CNMI=?"), "\r\nERROR\r\n");
    EXPECT_EQ(Ask("AT+CNMI=2,1"), "\r\nERROR\r\n");
}

TEST_F(Sms, FourGroupIndicationsTakeFourValues)
{
    TProfile p = TProfile::Parse("base = tc35\ncnmi_test = +CNMI: (0-2),(0,2),(0),(0,1)\nsms_centre = 603052000\n");
    Start(p);
    Run({
        {"AT+CNMI=?", Ok("+CNMI: (0-2),(0,2),(0),(0,1)")},
        {"AT+CNMI?", Ok("+CNMI: 0,0,0,0")},
        {"AT+CNMI=2,2,0,1,0", CmsError(304)},
        {"AT+CNMI=2,1,0,1", CmsError(303)},
        {"AT+CNMI=2,2,0,1", Ok()},
        {"AT+CNMI?", Ok("+CNMI: 2,2,0,1")},
        {"AT+CSCA?", Ok("+CSCA: \"603052000\",129")},
    });
}

TEST(SmsPdu, TpduLengthLeavesTheCentrePartOut)
{
    const std::vector<std::pair<std::string, int>> cases = {
        {kHello, 24}, {kBanka, 23}, {kAhoj, 18}, {kAhojCentre, 18}, {kCau, 22},
        {"0011", 1}, {"00", -1}, {"", -1}, {"0", -1}, {"01AA", -1}, {"0G11", -1}, {"FF" + kAhoj, -1},
    };
    for (const auto& [pdu, length] : cases)
        EXPECT_EQ(SmsTpduLength(pdu), length) << pdu;
    std::string bytes;
    EXPECT_TRUE(SmsHexToBytes("00aFfF", bytes));
    EXPECT_EQ(bytes, std::string("\x00\xAF\xFF", 3));
    EXPECT_FALSE(SmsHexToBytes("0x", bytes));
}

TEST(SmsProfile, BuiltinsAndProfileLines)
{
    const TProfile tc35 = TProfile::Builtin("tc35");
    ASSERT_EQ(tc35.smsMessages.size(), 3u);
    EXPECT_EQ(tc35.smsMessages[1].stat, 0);
    EXPECT_EQ(tc35.smsMessages[2].pdu, kAhoj);
    for (const std::string& name : TProfile::BuiltinNames()) {
        const TProfile p = TProfile::Builtin(name);
        ASSERT_EQ(p.smsMemories.size(), 1u) << name;
        EXPECT_EQ(p.smsMemories[0].name, "SM");
        EXPECT_EQ(p.smsMemories[0].total, 30);
        EXPECT_EQ(p.cnmiTest, "+CNMI: (0-3),(0-3),(0,2),(0,1),(0,1)");
        EXPECT_EQ(p.smsCentre, "+420603052000");
        if (name != "tc35") {
            EXPECT_TRUE(p.smsMessages.empty()) << name;
        }
    }
    // [sms] lines survive a later "base"; keys parse.
    const TProfile p = TProfile::Parse("[sms]\nSM 30 3 " + kAhoj + "\n[x]\nbase = m20\nsms_memories = sm/30,ME/250\n");
    ASSERT_EQ(p.smsMessages.size(), 1u);
    EXPECT_EQ(p.smsMessages[0].index, 30);
    EXPECT_EQ(p.smsMemories[1].name, "ME");
    EXPECT_EQ(p.smsMemories[1].total, 250);
    EXPECT_TRUE(TProfile::Parse("[sms]\n").smsMessages.empty());

    const std::vector<std::string> bads = {
             std::string("sms_memories ="),
             std::string("sms_memories = SM"),
             std::string("sms_memories = SM/0"),
             std::string("sms_memories = SM/1001"),
             std::string("sms_memories = SM/30,SM/10"),
             std::string("sms_memories = \"SM\"/30"),
             std::string("sms_memories = SM/x"),
             std::string("sms_memories = ME/30"),  // the built-in messages are in SM
             std::string("sms_memories = SM/2"),   // message 3 does not fit
             "[sms]\nSM 1 1",
             "[sms]\nSM 1 4 " + kAhoj,
             "[sms]\nSM x 1 " + kAhoj,
             "[sms]\nSM 1 1 " + kAhoj + " more",
             "[sms]\nSM 1 1 0011G0",
             "[sms]\nSM 1 1 00",
             "[sms]\nME 1 1 " + kAhoj,
             "[sms]\nSM 0 1 " + kAhoj,
             "[sms]\nSM 31 1 " + kAhoj,
             "[sms]\nSM 1 1 " + kAhoj + "\nSM 1 2 " + kAhoj,
    };
    for (const std::string& bad : bads)
        EXPECT_THROW(TProfile::Parse(bad), std::invalid_argument) << bad;
}

TEST(SmsScript, ParsesTheSmsActions)
{
    const TScriptStep deliver = ParseScriptLine("at 100 deliver " + kCau);
    EXPECT_EQ(deliver.action.kind, TScriptAction::TKind::Deliver);
    EXPECT_EQ(deliver.action.text, kCau);
    const TScriptStep cms = ParseScriptLine("on AT+CMGS=18 refuse +CMS ERROR: 304");
    EXPECT_EQ(cms.command, "+CMGS=18");
    EXPECT_EQ(cms.action.kind, TScriptAction::TKind::Refuse);
    EXPECT_EQ(cms.action.a, 1);
    EXPECT_EQ(cms.action.b, 304);
    const TScriptStep cme = ParseScriptLine("at 0 refuse +CME ERROR:  10 ");
    EXPECT_EQ(cme.action.a, 2);
    EXPECT_EQ(cme.action.b, 10);
    EXPECT_EQ(ParseScriptLine("at 0 refuse error").action.a, 0);
    EXPECT_EQ(ParseScriptLine("on AT+CMGW=18 noprompt").action.kind, TScriptAction::TKind::NoPrompt);
    for (const char* bad : {"at 0 deliver", "at 0 deliver 00", "at 0 deliver XYZ", "at 0 refuse",
                                   "at 0 refuse OK", "at 0 refuse +CMS ERROR:", "at 0 refuse +CMS ERROR: x"})
        EXPECT_THROW(ParseScriptLine(bad), std::invalid_argument) << bad;
}
