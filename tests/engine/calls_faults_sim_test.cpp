// Calls on a device that misbehaves, over 120 s of device time (the
// program's clock and the device's run ahead while nothing is on its way):
// a dial answered NO ANSWER, a station that does not answer, a data call
// whose line dies without a result code. Every call ends, its rows are
// freed, the call handler is ready again, the status polls go on, and the
// dials and escapes the user pays for are bounded.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "calls/list_item_file.h"
#include "calls/list_view_file.h"
#include "engine/perif_calls.h"
#include "engine/perif_protikus.h"
#include "engine/perif_receiving_file.h"
#include "engine/perif_sending_file.h"
#include "platform/tick.h"
#include "tests/engine/engine_on_sim.h"
#include "tests/engine/linked_stations.h"
#include "tests/support/files.h"

using EngineTest::Both;
using EngineTest::Numbered;
using EngineTest::RowsFree;
using EngineTest::RunBoth;
using EngineTest::TEngineOnSim;
using ModemSim::TDirection;
using ModemSim::TProfile;
using ModemSim::TTranscript;
using W = VMainWindowLink;

namespace {

constexpr int64_t Span = 120000;
const char* const Nobody = "+420601000009";

// The command lines executed from entry `from` on that begin with `prefix`
// (upper case), with their device times.
std::vector<int64_t> CommandTimes(const TTranscript& t, size_t from, const std::string& prefix)
{
    std::vector<int64_t> out;
    const auto entries = t.Entries();
    for (size_t i = from; i < entries.size(); ++i)
        if (entries[i].direction == TDirection::Command && ModemSim::UpperAscii(entries[i].data).rfind(prefix, 0) == 0)
            out.push_back(entries[i].ms);
    return out;
}

// The status polls executed after device time `ms` (the signal every 5 s).
int PollsAfter(const TTranscript& t, int64_t ms)
{
    int n = 0;
    for (const auto& e : t.Entries())
        if (e.direction == TDirection::Command && e.ms > ms && TTranscript::IsStatusPoll(e.data))
            ++n;
    return n;
}

// "+++" the program wrote from entry `from` on.
int Escapes(const TTranscript& t, size_t from)
{
    std::string sent;
    const auto entries = t.Entries();
    for (size_t i = from; i < entries.size(); ++i)
        if (entries[i].direction == TDirection::Received)
            sent += entries[i].data;
    int n = 0;
    for (size_t p = sent.find("+++"); p != std::string::npos; p = sent.find("+++", p + 3))
        ++n;
    return n;
}

// Every row free, the handler waiting for nothing and free to dial.
void ExpectReady(TEngineOnSim& rig, const std::string& what)
{
    const VPerifCalls& calls = rig.Engine().getHandlers().calls();
    EXPECT_TRUE(RowsFree(rig)) << what;
    EXPECT_FALSE(calls.isBusy()) << what;
    EXPECT_TRUE(calls.isReadyForCommand(Platform::GetTickCount())) << what;
    EXPECT_EQ(rig.Engine().getMode(), 0) << what;
    EXPECT_FALSE(rig.window.enabled[W::BtnATH]) << what;
}

struct CallFaults : ::testing::Test {
    void TearDown() override { Platform::SetTickOffset(0); }

    std::unique_ptr<TEngineOnSim> Station(TProfile profile)
    {
        Platform::SetTickOffset(0);
        profile.baud = 0;
        auto rig = std::make_unique<TEngineOnSim>(TEngineOnSim::OnDeviceTime(std::move(profile)));
        rig->skipIdleTime = true;
        rig->window.texts[W::EditPIN] = "0000";
        rig->window.answers = {W::IDYES};
        // The signal is read every 5 s: a poll that must go on.
        rig->window.checked[W::CheckTestSignal] = true;
        rig->window.texts[W::EditOftenCSQ] = "5";
        return rig;
    }
    static bool Ready(TEngineOnSim& rig)
    {
        const VPerifModem& m = rig.Engine().getHandlers();
        return rig.Engine().getState() == 0 && RowsFree(rig) && !m.isBusy();
    }
    void Boot(TEngineOnSim& rig)
    {
        std::string error;
        ASSERT_TRUE(rig.Boot(&error)) << error;
        ASSERT_TRUE(rig.RunUntil([&] { return Ready(rig); }, 60000))
            << rig.Engine().getMissing() << "\n" << rig.Sim().Transcript().ToText();
    }
};

}  // namespace

TEST_F(CallFaults, NoAnswerEndsTheDialAndThePollsGoOn)
{
    struct TCase {
        const char* what;
        bool voice;
        const char* fault;
    };
    const TCase cases[] = {
        {"data dial, NO ANSWER at once", false, "D answer NO ANSWER x1"},
        {"data dial, NO ANSWER after 20 s", false, "D answer NO ANSWER after 20000 x1"},
        {"voice dial, NO ANSWER after 5 s", true, "D answer NO ANSWER after 5000 x1"},
    };
    auto rig = Station(Numbered("tc35", "+420601000001"));
    Boot(*rig);
    TTranscript& t = rig->Sim().Transcript();
    VPerifCalls& calls = rig->Engine().getHandlers().calls();
    for (const TCase& c : cases) {
        rig->Sim().AddFault(c.fault);
        const size_t from = t.Size();
        ASSERT_TRUE(calls.dial(Platform::GetTickCount(), c.voice, Nobody)) << c.what;
        EXPECT_EQ(calls.row(0).state, 1) << c.what;
        ASSERT_TRUE(rig->RunUntil([&] { return t.WaitForSent("NO ANSWER", 0, from); }, 30000)) << c.what;
        const int64_t answered = rig->Sim().NowMs();
        ASSERT_TRUE(rig->RunForDeviceTime(Span)) << c.what;
        ExpectReady(*rig, c.what);
        EXPECT_EQ(calls.row(0).state, 0) << c.what;
        EXPECT_EQ(CommandTimes(t, from, "ATD").size(), 1u) << c.what << "\n" << t.ToText();
        // Signal and registration are read again and again after the end.
        EXPECT_GE(PollsAfter(t, answered), 15) << c.what << "\n" << t.ToText();
    }
    const TTranscript::TBurst burst = t.MostRepeated(30000, TTranscript::NotStatusPoll);
    EXPECT_LE(burst.count, 6) << burst.command;
}

// A dial whose result never comes holds the line, but not against its
// own Hang Up: the abort goes at once and the call ends.
TEST_F(CallFaults, HangUpEndsADialWhoseResultNeverCame)
{
    // A station that rings for a minute and never answers.
    auto rig = Station(Numbered("tc35", "+420601000001"));
    ModemSim::TModemSim peer(Numbered("tc35", "+420601000002"));
    ModemSim::TModemSim::Link(rig->Sim(), peer);
    ASSERT_TRUE(peer.Start());
    Boot(*rig);
    TTranscript& t = rig->Sim().Transcript();
    VPerifCalls& calls = rig->Engine().getHandlers().calls();
    for (const bool voice : {true, false}) {
        rig->Sim().AddFault("D nofinal x1");
        const size_t from = t.Size();
        ASSERT_TRUE(calls.dial(Platform::GetTickCount(), voice, "+420601000002"));
        ASSERT_TRUE(rig->RunUntil([&] { return t.WaitForCommand(std::string("ATD+420601000002") + (voice ? ";" : ""), 0, from) >= 0; }, 10000));
        ASSERT_TRUE(rig->RunForDeviceTime(5000));
        const int64_t asked = rig->Sim().NowMs();
        calls.markForHangup();
        ASSERT_TRUE(rig->RunUntil([&] { return RowsFree(*rig) && !calls.isBusy(); }, 30000)) << t.ToText();
        EXPECT_LT(rig->Sim().NowMs() - asked, 5000) << voice << "\n" << t.ToText();
        ASSERT_TRUE(rig->RunForDeviceTime(20000));
        ExpectReady(*rig, voice ? "voice" : "data");
        EXPECT_EQ(CommandTimes(t, from, "ATD").size(), 1u) << t.ToText();
    }
}

TEST_F(CallFaults, AStationThatDoesNotAnswerIsDialledThreeTimesThenItsFilesFail)
{
    struct TCase {
        const char* what;
        const char* fault;  // "" for none: an unknown number rings out with NO CARRIER
    };
    const TCase cases[] = {
        {"NO CARRIER after 2 s", ""},
        {"NO ANSWER after 4 s", "D answer NO ANSWER after 4000"},
        {"BUSY", "D answer BUSY after 500"},
        {"ERROR", "D answer ERROR"},
        {"+CME ERROR", "D answer +CME ERROR: 100 after 300"},
    };
    auto rig = Station(Numbered("gm22", "+420601000001"));
    Boot(*rig);
    TestSupport::TempDir dir("redial");
    const std::string source = dir.File("a.bin");
    ASSERT_TRUE(TestSupport::WriteFile(source, std::string(100, 'x')));
    VUniSET& engine = rig->Engine();
    VPerifModem& m = engine.getHandlers();
    TTranscript& t = rig->Sim().Transcript();
    for (const TCase& c : cases) {
        rig->Sim().ClearFaults();
        if (*c.fault)
            rig->Sim().AddFault(c.fault);
        const size_t from = t.Size();
        // The page's Send: the rows are queued, the station dialled.
        engine.addSendFile(source, Nobody);
        engine.addSendFile(source, Nobody);
        engine.walkSendList(true);
        VListItemFile* first = engine.getSendList().getItem(engine.getSendList().getCount() - 2);
        VListItemFile* second = engine.getSendList().getItem(engine.getSendList().getCount() - 1);
        ASSERT_TRUE(rig->RunForDeviceTime(Span)) << c.what;

        const std::vector<int64_t> dials = CommandTimes(t, from, "ATD");
        ASSERT_EQ(dials.size(), 3u) << c.what << "\n" << t.ToText();
        // Growing pauses between the calls.
        EXPECT_GE(dials[1] - dials[0], 10000) << c.what;
        EXPECT_GE(dials[2] - dials[1], 30000) << c.what;
        EXPECT_GT(dials[2] - dials[1], dials[1] - dials[0]) << c.what;
        for (VListItemFile* row : {first, second}) {
            EXPECT_EQ(row->getState(), 4) << c.what;
            EXPECT_EQ(row->getFailText(), VPerifProtikus::NoAnswerText) << c.what;
        }
        EXPECT_TRUE(m.protikus().getStations().empty()) << c.what;
        ExpectReady(*rig, c.what);
        EXPECT_GE(PollsAfter(t, dials[2]), 5) << c.what;
    }
    // Send again: the rows are ready once more and the station is called.
    const size_t again = t.Size();
    engine.walkSendList(true);
    VListItemFile* first = engine.getSendList().getItem(0);
    EXPECT_EQ(first->getState(), 1);
    EXPECT_TRUE(first->getFailText().empty());
    EXPECT_TRUE(rig->RunUntil([&] { return !CommandTimes(t, again, "ATD").empty(); }, 20000));
}

namespace {

// A 2000-byte file from a GM22 station to an M20 station whose data call
// loses its carrier without a word 4 s after it connected (or, with
// `drop` false, is hung up by the user 4 s after it connected).
struct DeadLine : CallFaults {
    struct TRun {
        const char* what;
        bool modemLines;   // the caller's port shows DCD
        bool userHangsUp;  // the user presses Hang Up right after the drop
        bool drop = true;
        // "+++" and "ATH" each station writes; the caller's escapes from
        // `callerEscapes` to `callerEscapesMost` (a device that read the
        // last frame late saw a shorter quiet guard and took that "+++"
        // for data: the next one goes 2.5 s later).
        int callerEscapes, callerAth, calleeEscapes, calleeAth;
        int callerEscapesMost = callerEscapes;
    };
    void run(const TRun& c)
    {
        TestSupport::TempDir dir("dead-line");
        std::filesystem::create_directory(dir.File("in"));
        const std::string source = dir.File("zeros.bin");
        ASSERT_TRUE(TestSupport::WriteFile(source, std::string(2000, '\0')));
        TProfile mine = Numbered("gm22", "+420601000001");
        if (c.drop)
            mine.faults = {"link drop after 4000 x1"};
        auto caller = Station(mine);
        auto callee = Station(Numbered("m20", "+420601000002"));
        callee->window.tempDir = dir.File("in");
        if (c.modemLines)
            caller->UseTestPort();
        ModemSim::TModemSim::Link(caller->Sim(), callee->Sim());
        Boot(*caller);
        Boot(*callee);
        VPerifModem& cm = caller->Engine().getHandlers();
        VPerifModem& em = callee->Engine().getHandlers();
        TTranscript& ct = caller->Sim().Transcript();
        TTranscript& et = callee->Sim().Transcript();
        const size_t cFrom = ct.Size();
        const size_t eFrom = et.Size();

        caller->Engine().addSendFile(source, "+420601000002");
        caller->Engine().walkSendList(true);
        VListItemFile* row = caller->Engine().getSendList().getItem(0);
        ASSERT_TRUE(RunBoth(*caller, *callee, [&] { return em.calls().row(0).state == 6; }, 30000))
            << Both(*caller, *callee);
        em.calls().setAnswerPending(true);
        if (c.drop) {
            ASSERT_TRUE(RunBoth(*caller, *callee, [&] { return ct.WaitForEvent("carrier lost", 0, cFrom); }, 30000))
                << Both(*caller, *callee);
        } else {
            ASSERT_TRUE(RunBoth(*caller, *callee, [&] { return cm.sendingFile().getSendOffset() > 0; }, 30000))
                << Both(*caller, *callee);
        }
        const int64_t dropped = caller->Sim().NowMs();
        EXPECT_EQ(row->getState(), 2) << c.what << ": the file was on its way";
        if (c.userHangsUp)
            cm.calls().markForHangup();
        const int64_t end = dropped + Span;
        ASSERT_TRUE(RunBoth(*caller, *callee, [&] { return caller->Sim().NowMs() >= end; }, int(Span / 2 + 60000)));

        const std::string trace = std::string(c.what) + "\n" + Both(*caller, *callee);
        ExpectReady(*caller, c.what);
        ExpectReady(*callee, c.what);
        EXPECT_FALSE(cm.sendingFile().isBusy()) << trace;
        EXPECT_FALSE(em.receivingFile().isBusy()) << trace;
        EXPECT_EQ(row->getState(), 4) << trace;
        EXPECT_EQ(callee->Engine().getReceivedList().getItem(0)->getState(), 6) << trace;
        // One call: the failed file is not worth another.
        EXPECT_EQ(CommandTimes(ct, cFrom, "ATD").size(), 1u) << trace;
        EXPECT_TRUE(cm.protikus().getStations().empty()) << trace;
        EXPECT_GE(Escapes(ct, cFrom), c.callerEscapes) << trace;
        EXPECT_LE(Escapes(ct, cFrom), std::max(c.callerEscapes, c.callerEscapesMost)) << trace;
        EXPECT_EQ(CommandTimes(ct, cFrom, "ATH").size(), size_t(c.callerAth)) << trace;
        EXPECT_EQ(Escapes(et, eFrom), c.calleeEscapes) << trace;
        EXPECT_EQ(CommandTimes(et, eFrom, "ATH").size(), size_t(c.calleeAth)) << trace;
        EXPECT_GE(PollsAfter(ct, dropped + 60000), 8) << trace;
        EXPECT_GE(PollsAfter(et, dropped + 60000), 8) << trace;
    }
};

}  // namespace

// The other station hears nothing for 30 s and escapes once in each.
TEST_F(DeadLine, DcdFallingEndsTheCallAtOnce)
{
    run({"DCD shown", true, false, true, 0, 0, 1, 1});
}

TEST_F(DeadLine, WithoutModemLinesTheSilenceEndsTheCallAndTheEscapeIsBounded)
{
    // Three escapes without OK, then the hard way.
    run({"no modem lines", false, false, true, VPerifCalls::EscapeTries, 1, 1, 1});
}

TEST_F(DeadLine, HangUpOnADeadLineEscapesThreeTimesThenDropsTheCall)
{
    run({"Hang Up on a dead line", false, true, true, VPerifCalls::EscapeTries, 1, 1, 1});
}

TEST_F(DeadLine, HangUpInTheMiddleOfATransferQuietsTheLineForOneEscape)
{
    // The transfer stops for the escape; the other station hears NO CARRIER.
    run({"Hang Up while sending", false, true, false, 1, 1, 0, 0, VPerifCalls::EscapeTries});
}
