// Two engines on two linked simulated devices: a station waiting for the
// caller is dialled as a data call, the called side answers, both
// exchange identity and capabilities, the caller ends the idle call with
// "+++" and ATH, and a second call exchanges anew.
#include <gtest/gtest.h>

#include <string>

#include "engine/perif_calls.h"
#include "engine/perif_protikus.h"
#include "tests/engine/calls_rig.h"
#include "tests/engine/engine_on_sim.h"
#include "tests/engine/linked_stations.h"

using EngineTest::Both;
using EngineTest::Numbered;
using EngineTest::RowsFree;
using EngineTest::RunBoth;
using EngineTest::TEngineOnSim;
using ModemSim::TProfile;
using W = VMainWindowLink;

namespace {

// The first bytes the engine wrote in a data call.
std::string FirstDataWrite(const TRecordingWindow& window)
{
    for (const auto& line : window.terminal)
        if (line.binary)
            return TCallsRig::Hex(line.bytes);
    return std::string();
}

}  // namespace

TEST(CallsOnSim, TwoStationsExchangeIdentitiesAndTheCallerHangsUp)
{
    TEngineOnSim caller(Numbered("gm22", "+420601000001"));
    TEngineOnSim callee(Numbered("tc35", "+420601000002"));
    ModemSim::TModemSim::Link(caller.Sim(), callee.Sim());
    std::string error;
    ASSERT_TRUE(caller.Boot(&error)) << error;
    ASSERT_TRUE(callee.Boot(&error)) << error;
    VPerifModem& cm = caller.Engine().getHandlers();
    VPerifModem& em = callee.Engine().getHandlers();
    auto ready = [&] {
        return caller.Engine().getState() == 0 && callee.Engine().getState() == 0 && RowsFree(caller) &&
               RowsFree(callee) && !cm.isBusy() && !em.isBusy();
    };
    ASSERT_TRUE(RunBoth(caller, callee, ready, 60000)) << caller.Engine().getMissing() << " / "
                                                        << callee.Engine().getMissing() << "\n"
                                                        << Both(caller, callee);
    EXPECT_EQ(cm.calls().getEcamMode(), 1);
    EXPECT_EQ(em.calls().getEcamMode(), 0);

    for (int round = 0; round < 2; ++round) {
        caller.window.terminal.clear();
        callee.window.terminal.clear();
        cm.protikus().addStation("+420601000002");
        // The caller's number comes with "+CLIP", after "RING", and may be
        // read a turn later.
        auto ringing = [&] { return em.calls().row(0).state == 6 && !em.calls().row(0).number.empty(); };
        ASSERT_TRUE(RunBoth(caller, callee, ringing, 30000)) << Both(caller, callee);
        EXPECT_EQ(em.calls().row(0).number, "+420601000001");
        EXPECT_EQ(em.calls().row(0).numberType, 145);
        EXPECT_TRUE(callee.window.ringing);
        EXPECT_TRUE(callee.window.enabled[W::BtnATA]);
        // The answer button.
        em.calls().setAnswerPending(true);
        auto labelsShown = [&] {
            const Protikus* a = cm.protikus().getCurrent();
            const Protikus* b = em.protikus().getCurrent();
            return caller.window.texts[W::LabelTheOther] == "Zelvitor  V1.0 (Siemens TC35)" &&
                   callee.window.texts[W::LabelTheOther] == "Zelvitor  V1.0 (Ericsson GM22)" && a && b &&
                   !a->isCapabilitiesMissing() && !b->isCapabilitiesMissing();
        };
        ASSERT_TRUE(RunBoth(caller, callee, labelsShown, 30000))
            << caller.window.texts[W::LabelTheOther] << " / " << callee.window.texts[W::LabelTheOther] << "\n"
            << Both(caller, callee);
        EXPECT_TRUE(caller.window.visible[W::LabelLabTheOther]);
        EXPECT_TRUE(callee.window.visible[W::LabelLabTheOther]);
        EXPECT_EQ(FirstDataWrite(caller.window), "80 08 B0 A0 12 01 01 50 00 01 FF 02 21 60") << round;
        EXPECT_EQ(FirstDataWrite(callee.window), "80 09 B0 A0 00 12 01 01 50 00 01 FF 01 13 52") << round;
        // A GM22 takes files, a TC35 does not.
        EXPECT_TRUE(em.protikus().getCurrent()->acceptsFiles());
        EXPECT_FALSE(cm.protikus().getCurrent()->acceptsFiles());

        // The caller ends the idle call; both rows become free.
        auto ended = [&] {
            return RowsFree(caller) && RowsFree(callee) && caller.Engine().getMode() == 0 &&
                   callee.Engine().getMode() == 0;
        };
        ASSERT_TRUE(RunBoth(caller, callee, ended, 30000)) << Both(caller, callee);
        EXPECT_TRUE(cm.protikus().getStations().empty());
        EXPECT_EQ(cm.protikus().getCurrent(), nullptr);
        EXPECT_EQ(em.protikus().getCurrent(), nullptr);
        EXPECT_FALSE(caller.window.visible[W::LabelLabTheOther]);
        EXPECT_FALSE(callee.window.visible[W::LabelLabTheOther]);
        EXPECT_NE(callee.received.find("NO CARRIER"), std::string::npos);
    }
    // The caller escaped and hung up, twice.
    std::string sent;
    for (const auto& e : caller.Sim().Transcript().Entries())
        if (e.direction == ModemSim::TDirection::Received)
            sent += e.data;
    size_t escapes = 0;
    for (size_t p = sent.find("+++ATH\r"); p != std::string::npos; p = sent.find("+++ATH\r", p + 1))
        ++escapes;
    EXPECT_EQ(escapes, 2u) << Both(caller, callee);
}
