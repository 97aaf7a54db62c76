// Calls on the simulated device: the call commands and their forms,
// incoming calls from a script, and two linked devices that dial each
// other, carry data both ways and leave the data mode with "+++".
#include <chrono>
#include <thread>

#include "tests/simulator/sim_fixture.h"

using ModemSim::TModemSim;
using ModemSim::TProfile;
using ModemSim::TPtyClient;

namespace {

TProfile Numbered(const char* base, const char* number)
{
    TProfile p = TProfile::Builtin(base);
    p.ownNumber = number;
    return p;
}

// A second device linked with the fixture's, with a client of its own.
class LinkedCalls : public SimFixture {
protected:
    void Start(const TProfile& mine, const TProfile& theirs)
    {
        other = std::make_unique<TModemSim>(theirs);
        ModemSim::TSimOptions options;
        options.profile = mine;
        sim = std::make_unique<TModemSim>(options);
        TModemSim::Link(*sim, *other);
        std::string error;
        ASSERT_TRUE(sim->Start(&error)) << error;
        ASSERT_TRUE(other->Start(&error)) << error;
        ASSERT_TRUE(client.Open(sim->PtyPath()));
        ASSERT_TRUE(peer.Open(other->PtyPath()));
        ASSERT_EQ(Ask("ATE0"), "ATE0\r\r\nOK\r\n");
        ASSERT_EQ(peer.Transact("ATE0"), "ATE0\r\r\nOK\r\n");
    }
    void TearDown() override
    {
        peer.Close();
        if (other) {
            other->Stop();
            if (HasFailure())
                std::cerr << "other transcript:\n" << other->Transcript().ToText();
        }
        SimFixture::TearDown();
    }
    std::unique_ptr<TModemSim> other;
    TPtyClient peer;
};

}  // namespace

class Calls : public SimFixture {};

TEST_F(Calls, CommandFormsAndTheEricssonReports)
{
    Boot(TProfile::Builtin("tc35"));
    ASSERT_EQ(Ask("ATE0"), "ATE0\r\r\nOK\r\n");
    EXPECT_EQ(Ask("AT+CLIP=?"), "\r\n+CLIP: (0,1)\r\n\r\nOK\r\n");
    EXPECT_EQ(Ask("AT+CLIP?"), "\r\n+CLIP: 0,1\r\n\r\nOK\r\n");
    EXPECT_EQ(Ask("AT+CLIP=1"), "\r\nOK\r\n");
    EXPECT_EQ(Ask("AT+CLIP?"), "\r\n+CLIP: 1,1\r\n\r\nOK\r\n");
    EXPECT_EQ(Ask("AT+CLIP=2"), "\r\nERROR\r\n");
    EXPECT_EQ(Ask("AT+CPAS"), "\r\n+CPAS: 0\r\n\r\nOK\r\n");
    EXPECT_EQ(Ask("AT+CPAS=?"), "\r\n+CPAS: (0,3,4)\r\n\r\nOK\r\n");
    EXPECT_EQ(Ask("AT+CHUP"), "\r\nOK\r\n");
    EXPECT_EQ(Ask("ATH"), "\r\nOK\r\n");
    EXPECT_EQ(Ask("ATA"), "\r\nNO CARRIER\r\n");
    EXPECT_EQ(Ask("ATD"), "\r\nERROR\r\n");
    for (const char* form : {"AT*ECAM=1", "AT*ECAM?", "AT*ECAM=?"})
        EXPECT_EQ(Ask(form), "\r\nERROR\r\n") << form;
    // ATZ switches the caller identification off again.
    EXPECT_EQ(Ask("ATZ"), "\r\nOK\r\n");
    ASSERT_EQ(Ask("ATE0"), "ATE0\r\r\nOK\r\n");
    EXPECT_EQ(Ask("AT+CLIP?"), "\r\n+CLIP: 0,1\r\n\r\nOK\r\n");
}

TEST_F(Calls, ScriptedIncomingCallRingsWithIdentityAndReports)
{
    Boot(TProfile::Builtin("gm22"));
    ASSERT_EQ(Ask("ATE0"), "ATE0\r\r\nOK\r\n");
    EXPECT_EQ(Ask("AT*ECAM=?"), "\r\n*ECAM: (0,1)\r\n\r\nOK\r\n");
    EXPECT_EQ(Ask("AT*ECAM=1"), "\r\nOK\r\n");
    EXPECT_EQ(Ask("AT*ECAM?"), "\r\n*ECAM: 1\r\n\r\nOK\r\n");
    EXPECT_EQ(Ask("AT+CLIP=1"), "\r\nOK\r\n");
    sim->RunScriptLine("at 0 ring +420601000009 voice");
    ASSERT_TRUE(client.WaitFor("+CLIP: \"+420601000009\",145\r\n", 3000));
    EXPECT_EQ(client.Take(),
              "\r\n*ECAV: 1,6,1,,,\"+420601000009\",145\r\n\r\nRING\r\n\r\n+CLIP: \"+420601000009\",145\r\n");
    EXPECT_EQ(Ask("AT+CPAS"), "\r\n+CPAS: 3\r\n\r\nOK\r\n");
    // Again three seconds later.
    const auto start = std::chrono::steady_clock::now();
    ASSERT_TRUE(client.WaitFor("RING", 4000));
    const auto gap = std::chrono::steady_clock::now() - start;
    EXPECT_GE(gap, std::chrono::milliseconds(2500));
    ASSERT_TRUE(client.WaitFor("+CLIP: \"+420601000009\",145\r\n", 1000));
    EXPECT_EQ(Ask("ATA"), "\r\n*ECAV: 1,3,1\r\n\r\nOK\r\n");
    EXPECT_EQ(Ask("AT+CPAS"), "\r\n+CPAS: 4\r\n\r\nOK\r\n");
    sim->RunScriptLine("at 0 hangup");
    ASSERT_TRUE(client.WaitFor("*ECAV: 1,0,1,8,16\r\n", 3000));
    EXPECT_EQ(client.Take(), "\r\nNO CARRIER\r\n\r\n*ECAV: 1,0,1,8,16\r\n");
    EXPECT_EQ(Ask("AT+CPAS"), "\r\n+CPAS: 0\r\n\r\nOK\r\n");
    // A caller that gives up before the answer: no result code.
    sim->RunScriptLine("at 0 ring 604123456 data");
    ASSERT_TRUE(client.WaitFor("RING", 3000));
    sim->RunScriptLine("at 0 hangup");
    ASSERT_TRUE(client.WaitFor("*ECAV: 1,0,2,8,16\r\n", 3000));
    EXPECT_EQ(client.Take().find("NO CARRIER"), std::string::npos);
    EXPECT_THROW(ModemSim::ParseScriptLine("at 0 ring 123"), std::invalid_argument);
    EXPECT_THROW(ModemSim::ParseScriptLine("at 0 ring 123 fax"), std::invalid_argument);
}

TEST_F(Calls, UnknownNumbersAndAbortedDials)
{
    Boot(Numbered("tc35", "+420601000001"));
    ASSERT_EQ(Ask("ATE0"), "ATE0\r\r\nOK\r\n");
    // Voice: OK at once, the end comes later.
    EXPECT_EQ(Ask("ATD604123456;"), "\r\nOK\r\n");
    EXPECT_EQ(Ask("AT+CPAS"), "\r\n+CPAS: 4\r\n\r\nOK\r\n");
    EXPECT_TRUE(client.WaitFor("\r\nNO CARRIER\r\n", 3000));
    // Data: the result is the end, about two seconds later.
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(Ask("ATD604123456", 4000), "\r\nNO CARRIER\r\n");
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(1900));
    // Any byte gives a pending data dial up.
    client.Command("ATD604123456");
    client.ReadFor(200);
    EXPECT_EQ(Ask("ATH"), "\r\nNO CARRIER\r\n");
    client.ReadFor(300);
    EXPECT_EQ(client.Take(), "");
    EXPECT_EQ(Ask("AT+CPAS"), "\r\n+CPAS: 0\r\n\r\nOK\r\n");
}

TEST_F(LinkedCalls, DataCallCarriesBytesBothWaysAndEndsWithEscapeAndHangUp)
{
    Start(Numbered("gm22", "+420601000001"), Numbered("tc35", "+420601000002"));
    ASSERT_EQ(peer.Transact("AT+CLIP=1"), "\r\nOK\r\n");
    ASSERT_EQ(Ask("AT*ECAM=1"), "\r\nOK\r\n");
    client.Command("ATD+420601000002");
    ASSERT_TRUE(peer.WaitFor("+CLIP: \"+420601000001\",145\r\n", 3000));
    EXPECT_EQ(peer.Take(), "\r\nRING\r\n\r\n+CLIP: \"+420601000001\",145\r\n");
    EXPECT_EQ(peer.Transact("AT+CPAS"), "\r\n+CPAS: 3\r\n\r\nOK\r\n");
    peer.Command("ATA");
    ASSERT_TRUE(peer.WaitFor("\r\nCONNECT 9600\r\n", 3000));
    EXPECT_EQ(peer.Take(), "\r\nCONNECT 9600\r\n");
    ASSERT_TRUE(client.WaitFor("\r\nCONNECT 9600\r\n", 3000));
    EXPECT_EQ(client.Take(), "\r\n*ECAV: 1,1,2\r\n\r\n*ECAV: 1,3,2\r\n\r\nCONNECT 9600\r\n");

    // Raw bytes, a frame with CR LF and "OK" inside included.
    const std::string frame("\x80\x03\xB0\xA0\x21OK\r\n\x00+", 11);
    ASSERT_TRUE(client.Write(frame));
    ASSERT_TRUE(peer.WaitFor(frame, 3000));
    EXPECT_EQ(peer.Take(), frame);
    ASSERT_TRUE(peer.Write("back"));
    ASSERT_TRUE(client.WaitFor("back", 3000));
    client.Take();
    // "+++" right after data is data.
    ASSERT_TRUE(client.Write("+++"));
    ASSERT_TRUE(peer.WaitFor("+++", 3000));
    peer.Take();

    // After a quiet second "+++" and a quiet second: OK, the call kept.
    std::this_thread::sleep_for(std::chrono::milliseconds(1100));
    ASSERT_TRUE(client.Write("+++"));
    ASSERT_TRUE(client.WaitFor("\r\nOK\r\n", 3000));
    EXPECT_EQ(client.Take(), "\r\nOK\r\n");
    peer.ReadFor(200);
    EXPECT_EQ(peer.Take(), "") << "the escape is not passed on";
    EXPECT_EQ(Ask("AT+CPAS"), "\r\n+CPAS: 4\r\n\r\nOK\r\n");
    EXPECT_EQ(Ask("ATH"), "\r\n*ECAV: 1,0,2,8,16\r\n\r\nOK\r\n");
    ASSERT_TRUE(peer.WaitFor("\r\nNO CARRIER\r\n", 3000));
    EXPECT_EQ(peer.Transact("AT+CPAS"), "\r\n+CPAS: 0\r\n\r\nOK\r\n");
}

TEST_F(LinkedCalls, BusyCalleeAndVoiceCalls)
{
    Start(Numbered("tc35", "+420601000001"), Numbered("tc35", "+420601000002"));
    // The callee has a call already.
    other->RunScriptLine("at 0 ring 777 voice");
    ASSERT_TRUE(peer.WaitFor("RING", 3000));
    client.Command("ATD+420601000002");
    ASSERT_TRUE(client.WaitFor("\r\nBUSY\r\n", 3000));
    EXPECT_EQ(client.Take(), "\r\nBUSY\r\n");
    other->RunScriptLine("at 0 hangup");
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    peer.Take();

    // A voice call: OK at once, rings there, answered, hung up there.
    EXPECT_EQ(Ask("ATD+420601000002;"), "\r\nOK\r\n");
    ASSERT_TRUE(peer.WaitFor("RING", 3000));
    peer.ReadFor(100);
    peer.Take();
    EXPECT_EQ(peer.Transact("ATA"), "\r\nOK\r\n");
    EXPECT_EQ(Ask("AT+CPAS"), "\r\n+CPAS: 4\r\n\r\nOK\r\n");
    EXPECT_EQ(peer.Transact("AT+CHUP"), "\r\nOK\r\n");
    ASSERT_TRUE(client.WaitFor("\r\nNO CARRIER\r\n", 3000));
    EXPECT_EQ(Ask("AT+CPAS"), "\r\n+CPAS: 0\r\n\r\nOK\r\n");
    // A device without a number of its own cannot be reached.
    EXPECT_EQ(Ask("ATD", 3000), "\r\nERROR\r\n");
}

namespace {

// The fixture's device dials the other as a data call, the other answers;
// both see CONNECT.
void ConnectData(TPtyClient& client, TPtyClient& peer)
{
    client.Command("ATD+420601000002");
    ASSERT_TRUE(peer.WaitFor("RING", 3000));
    peer.Command("ATA");
    ASSERT_TRUE(peer.WaitFor("\r\nCONNECT 9600\r\n", 3000));
    ASSERT_TRUE(client.WaitFor("\r\nCONNECT 9600\r\n", 3000));
    client.Take();
    peer.Take();
}

bool Carrier(TModemSim& sim)
{
    return sim.ModemLines().DeviceLines() & Serial::MS_RLSD_ON;
}

}  // namespace

TEST_F(LinkedCalls, TheDataLinkDelaysLosesAndHoldsBackPiecesAsSwitched)
{
    TProfile mine = Numbered("tc35", "+420601000001");
    mine.faults = {"link lose x1", "link reorder 600 x1", "link delay 300"};
    Start(mine, Numbered("tc35", "+420601000002"));
    EXPECT_FALSE(Carrier(*sim));
    ConnectData(client, peer);
    // DCD is on while the data call is up, on both devices.
    EXPECT_TRUE(Carrier(*sim));
    EXPECT_TRUE(Carrier(*other));
    // The first piece is lost, the second held back, the third overtakes
    // it; each arrives no sooner than the delay.
    const auto start = std::chrono::steady_clock::now();
    for (const char* piece : {"lost|", "held|", "next|"}) {
        ASSERT_TRUE(client.Write(piece));
        std::this_thread::sleep_for(std::chrono::milliseconds(80));
    }
    ASSERT_TRUE(peer.WaitFor("next|held|", 3000)) << peer.Take();
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(300 + 160));
    EXPECT_EQ(peer.Take(), "next|held|");
    EXPECT_TRUE(sim->Transcript().WaitForEvent("link: 5 bytes lost", 0));
    // The other way nothing is switched: at once, in order.
    ASSERT_TRUE(peer.Write("back"));
    ASSERT_TRUE(client.WaitFor("back", 1000));
    // Hung up there: the carrier falls with the NO CARRIER.
    std::this_thread::sleep_for(std::chrono::milliseconds(1100));
    ASSERT_TRUE(peer.Write("+++"));
    ASSERT_TRUE(peer.WaitFor("\r\nOK\r\n", 3000));
    EXPECT_EQ(peer.Transact("ATH"), "\r\nOK\r\n");
    ASSERT_TRUE(client.WaitFor("\r\nNO CARRIER\r\n", 3000));
    EXPECT_FALSE(Carrier(*sim));
    EXPECT_FALSE(Carrier(*other));
}

TEST_F(LinkedCalls, ACarrierThatDropsSaysNothingAndTheDeviceTakesCommandsAgain)
{
    TProfile mine = Numbered("tc35", "+420601000001");
    mine.faults = {"link drop after 400 x1"};
    Start(mine, Numbered("tc35", "+420601000002"));
    ConnectData(client, peer);
    ASSERT_TRUE(Carrier(*sim));
    ASSERT_TRUE(sim->Transcript().WaitForEvent("carrier lost", 3000));
    EXPECT_FALSE(Carrier(*sim));
    client.ReadFor(300);
    EXPECT_EQ(client.Take(), "") << "no result code";
    // Back in the command mode without a call; "+++" is no escape there.
    EXPECT_EQ(Ask("AT+CPAS"), "\r\n+CPAS: 0\r\n\r\nOK\r\n");
    ASSERT_TRUE(client.Write("+++"));
    client.ReadFor(1500);
    EXPECT_EQ(client.Take(), "");
    EXPECT_EQ(Ask("ATH"), "\r\nOK\r\n");
    // The other device heard nothing and its data goes nowhere.
    EXPECT_EQ(peer.Take(), "");
    ASSERT_TRUE(peer.Write("into the void"));
    client.ReadFor(300);
    EXPECT_EQ(client.Take(), "");
    EXPECT_TRUE(Carrier(*other));
}

TEST_F(LinkedCalls, DtrDroppedEndsTheCall)
{
    Start(Numbered("tc35", "+420601000001"), Numbered("tc35", "+420601000002"));
    sim->ModemLines().SetDtr(true);
    ConnectData(client, peer);
    sim->ModemLines().SetDtr(false);
    ASSERT_TRUE(client.WaitFor("\r\nNO CARRIER\r\n", 3000));
    ASSERT_TRUE(peer.WaitFor("\r\nNO CARRIER\r\n", 3000));
    EXPECT_FALSE(Carrier(*sim));
    EXPECT_EQ(Ask("AT+CPAS"), "\r\n+CPAS: 0\r\n\r\nOK\r\n");
}

TEST_F(LinkedCalls, AStationThatNeverAnswersRingsOutWithTheProfilesResult)
{
    TProfile mine = Numbered("tc35", "+420601000001");
    mine.ringOutMs = 800;
    mine.ringOutResult = "NO ANSWER";
    Start(mine, Numbered("tc35", "+420601000002"));
    const auto start = std::chrono::steady_clock::now();
    client.Command("ATD+420601000002");
    ASSERT_TRUE(peer.WaitFor("RING", 3000));
    ASSERT_TRUE(client.WaitFor("\r\nNO ANSWER\r\n", 3000));
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(750));
    EXPECT_EQ(Ask("AT+CPAS"), "\r\n+CPAS: 0\r\n\r\nOK\r\n");
    // The peer hears of the end through the link, on its own thread.
    std::string peerState;
    for (int i = 0; i < 40 && peerState != "\r\n+CPAS: 0\r\n\r\nOK\r\n"; ++i) {
        if (i)
            peer.ReadFor(50);
        peerState = peer.Transact("AT+CPAS");
    }
    EXPECT_EQ(peerState, "\r\n+CPAS: 0\r\n\r\nOK\r\n");
    EXPECT_THROW(TProfile::Parse("ring_out_ms = soon\n"), std::invalid_argument);
    EXPECT_EQ(TProfile::Parse("base = tc35\nring_out_result = NO ANSWER\n").ringOutResult, "NO ANSWER");
}
