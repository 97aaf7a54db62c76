// Final results that never come: the link watcher probes the device again
// after its time-out instead of holding every handler back for good.
#include <gtest/gtest.h>

#include <cctype>
#include <functional>

#include "engine/perif_active.h"
#include "engine/perif_modem.h"
#include "engine/perif_power.h"
#include "platform/tick.h"
#include "tests/engine/engine_on_sim.h"

using EngineTest::TEngineOnSim;
using ModemSim::TDirection;

namespace {

struct LostResults : ::testing::Test {
    std::unique_ptr<TEngineOnSim> rig;
    void TearDown() override
    {
        rig.reset();
        Platform::SetTickOffset(0);
    }
    void boot(ModemSim::TProfile profile)
    {
        Platform::SetTickOffset(0);
        rig = std::make_unique<TEngineOnSim>(TEngineOnSim::OnDeviceTime(std::move(profile)));
        rig->skipIdleTime = true;
        std::string error;
        ASSERT_TRUE(rig->Boot(&error)) << error;
    }
    const ModemSim::TTranscript& transcript() { return rig->Sim().Transcript(); }
    // Which handlers wait for an answer, and the watcher's state.
    std::string busyHandlers()
    {
        VPerifModem& h = rig->Engine().getHandlers();
        std::string out = "link watcher state " + std::to_string(h.active().getState()) +
                          (h.power().isFullPower() ? ", full power" : ", not full power") + "; busy:";
        for (int i = 0; i < VPerifModem::HandlerCount; ++i)
            if (h.handlerAt(i)->isBusy())
                out += " " + std::to_string(i);
        return out + "\n";
    }
    // Runs until `done` holds (false after `timeoutMs` of host time);
    // `most` gets the longest stretch the link watcher held the line (a
    // command awaiting its final result).
    bool runWatchingHolds(const std::function<bool()>& done, int timeoutMs, int64_t& most)
    {
        const VPerifActive& active = rig->Engine().getHandlers().active();
        int64_t heldFrom = -1;
        most = 0;
        return rig->RunUntil(
            [&] {
                const int64_t now = rig->Sim().NowMs();
                if (active.getState() == 3) {
                    if (heldFrom < 0)
                        heldFrom = now;
                    most = std::max(most, now - heldFrom);
                } else
                    heldFrom = -1;
                return done();
            },
            timeoutMs);
    }
};

}  // namespace

TEST(ActiveLimits, LongCommandsMayTakeLonger)
{
    struct Case {
        const char* line;
        uint32_t limit;
    };
    const Case cases[] = {
        {"AT+COPS=?\r", VPerifActive::SearchTimeoutMs}, {"at+cops=?\r", VPerifActive::SearchTimeoutMs},
        {"ATD+420777;\r", VPerifActive::DialTimeoutMs}, {"ATA\r", VPerifActive::DialTimeoutMs},
        {"AT+CMGS=23\r", VPerifActive::SendTimeoutMs},  {"AT+CMSS=4\r", VPerifActive::SendTimeoutMs},
        {"AT+CMGW=23\r", VPerifActive::SendTimeoutMs},  {"AT+COPS?\r", VPerifActive::FinalResultTimeoutMs},
        {"AT\r", VPerifActive::FinalResultTimeoutMs},   {"", VPerifActive::FinalResultTimeoutMs},
    };
    for (const Case& c : cases)
        EXPECT_EQ(VPerifActive::FinalResultLimit(c.line), c.limit) << c.line;
    EXPECT_GT(VPerifActive::FinalResultTimeoutMs, 10000u);  // above the handlers' own command waits
}

// Each command of the start-up loses its final result once: the start-up
// still reaches the phonebook, and no line stays held past the watcher's
// time-out.
struct LostResultOf : LostResults, ::testing::WithParamInterface<const char*> {};

TEST_P(LostResultOf, StartUpStillReachesThePhonebook)
{
    ModemSim::TProfile p = ModemSim::TProfile::Builtin("tc35");
    p.faults.push_back(std::string(GetParam()) + " nofinal x1");
    boot(p);
    int64_t most = 0;
    ASSERT_TRUE(runWatchingHolds([&] { return transcript().WaitForCommand("AT+CPBR=1,250", 0) >= 0; }, 60000, most))
        << busyHandlers() << transcript().ToText();
    ASSERT_TRUE(transcript().WaitForEvent("final result dropped by a fault switch", 0)) << transcript().ToText();
    EXPECT_LE(most, int64_t(VPerifActive::FinalResultTimeoutMs) + 1000) << transcript().ToText();
    const auto burst = transcript().MostRepeated(30000, ModemSim::TTranscript::NotStatusPoll);
    EXPECT_LE(burst.count, 6) << burst.command;
}

INSTANTIATE_TEST_SUITE_P(EveryStartUpCommand, LostResultOf,
                         ::testing::Values("AT", "+CFUN=?", "^SMSO=?", "+CMEE=", "+CGMI", "+CGMM", "+CPIN?",
                                           "+COPS?", "+CSQ", "+COPS=", "+CCLK=?", "+CREG=", "+CREG?", "+CCLK?",
                                           "+CALA=?", "+CALA?", "+CBC=?", "^SBC=?", "^SBC?", "+CLIP=", "+CPAS",
                                           "+CSCA?", "+CNMI=?", "+CNMI=", "+CPMS=?", "+CPMS?", "+CPBS=?",
                                           "+CPBS?"),
                         [](const ::testing::TestParamInfo<const char*>& info) {
                             std::string name;
                             for (const char* c = info.param; *c; ++c)
                                 name += std::isalnum(static_cast<unsigned char>(*c)) ? *c
                                         : *c == '?' ? 'Q' : *c == '=' ? 'E' : '_';
                             return name;
                         });

TEST_F(LostResults, ADeviceThatDropsEveryTwentiethResultNeverHoldsTheEngineLong)
{
    ModemSim::TProfile p = ModemSim::TProfile::Builtin("tc35");
    p.faults.push_back("* nofinal 5%");
    p.faultSeed = 11;
    boot(p);
    // Nothing holds the line longer than the watcher's time-out and a tick.
    const int64_t end = rig->Sim().NowMs() + 180000;
    int64_t most = 0;
    ASSERT_TRUE(runWatchingHolds([&] { return rig->Sim().NowMs() >= end; }, 110000, most));
    EXPECT_LE(most, int64_t(VPerifActive::FinalResultTimeoutMs) + 1000) << transcript().ToText();
    EXPECT_TRUE(transcript().WaitForEvent("final result dropped by a fault switch", 0));
    // And the start-up reached the phonebook's memories.
    EXPECT_GE(transcript().WaitForCommand("AT+CPBS?", 0), 0) << transcript().ToText();
}
