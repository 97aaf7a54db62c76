// The whole start of a connection against the simulated device, every
// handler real: from the port opening to every status value known, the
// commands in their order, and no wait beyond the ones the handlers must
// keep (the link watcher's second before the first probe, 100 ms after the
// wake-up bytes, and its 500 ms of settling after every answer). The
// phonebook handler's ten seconds before reading pass by the tick clock.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/perif_active.h"
#include "engine/perif_cala.h"
#include "engine/perif_calls.h"
#include "engine/perif_cbc.h"
#include "engine/perif_cclk.h"
#include "engine/perif_cops.h"
#include "engine/perif_cpin.h"
#include "engine/perif_creg.h"
#include "engine/perif_csq.h"
#include "engine/perif_power.h"
#include "platform/codepage.h"
#include "tests/engine/engine_on_sim.h"

using EngineTest::TEngineOnSim;
using ModemSim::TDirection;
using W = VMainWindowLink;

namespace {

// What the Parts make every start wait.
constexpr int64_t FirstProbeMs = 1000;  // after the port opened
constexpr int64_t WakeUpMs = 100;       // NUL ESC, then "AT"
constexpr int64_t SettleMs = 500;       // after every answer
// Room for the tick (10 ms), the pseudo-terminal and a busy machine.
constexpr int64_t GapSlackMs = 600;
constexpr int64_t TotalSlackMs = 4000;

bool IsFinal(const std::string& bytes)
{
    return bytes.find("OK\r\n") != std::string::npos || bytes.find("ERROR") != std::string::npos;
}

struct TStep {
    std::string command;
    int64_t sent = -1;      // when the device read it
    int64_t answered = -1;  // when its final result went out
};

}  // namespace

TEST(WholeStart, SiemensTc35FromPortOpenToEveryValueKnown)
{
    TEngineOnSim rig(ModemSim::TProfile::Builtin("tc35"));
    std::string error;
    ASSERT_TRUE(rig.Boot(&error)) << error;
    VPerifModem& m = rig.Engine().getHandlers();
    auto everythingKnown = [&] {
        const int restore = m.cops().getFormatToRestore();
        // The call rows are known once the phone activity was read.
        bool rowsFree = true;
        for (int i = 0; i < VPerifCalls::RowCount; ++i)
            rowsFree = rowsFree && m.calls().row(i).state == 0;
        return rig.Engine().getState() == 0 && m.cbc().getCharge() >= 0 && !m.isBusy() && rowsFree &&
               (restore == -1 || restore == m.cops().getFormat());
    };
    ASSERT_TRUE(rig.RunUntil(everythingKnown, 60000))
        << rig.Engine().getMissing() << "\n" << rig.Sim().Transcript().ToText();

    // Every value is there.
    EXPECT_EQ(rig.window.hints[W::ShapeProgress], Platform::Utf8ToAnsi("Připraven", Platform::CP_CZECH));
    EXPECT_EQ(rig.window.statusPanels[1], "Siemens TC35");
    EXPECT_TRUE(m.power().isFullPower());
    EXPECT_TRUE(m.cpin().isReady());
    EXPECT_EQ(m.creg().getStat(), 1);
    EXPECT_EQ(m.cops().currentName(), "T-Mobile CZ");
    EXPECT_TRUE(m.cops().isSettled());
    int rssi = 0, ber = 0;
    m.csq().getValues(rssi, ber);
    EXPECT_EQ(rssi, 21);
    EXPECT_EQ(ber, 99);
    EXPECT_EQ(m.cclk().getState(), 2);
    EXPECT_EQ(m.cala().getState(), 2);
    EXPECT_EQ(m.cbc().getCharge(), 80);
    EXPECT_EQ(m.cbc().getConsumption(), 120);

    // The commands, in order: the link check and the power probes, error
    // mode, identity, card; then the operator's names form by form while
    // signal, clock and registration take the turns in between; alarm and
    // battery; the call handler's caller identification and phone activity;
    // the SMS settings; the phonebook memories last, each worked through (the
    // PIN2 memory refused three times, the last-dialled one read-only) and
    // the device back on the SIM card's.
    std::vector<TStep> steps;
    int64_t wakeUp = -1;
    for (const auto& e : rig.Sim().Transcript().Entries()) {
        if (e.direction == TDirection::Received && wakeUp < 0 && e.data.find('\x1B') != std::string::npos)
            wakeUp = e.ms;
        if (e.direction == TDirection::Command)
            steps.push_back({e.data, e.ms, -1});
        else if (e.direction == TDirection::Sent && !steps.empty() && steps.back().answered < 0 &&
                 IsFinal(e.data))
            steps.back().answered = e.ms;
    }
    std::vector<std::string> commands;
    for (const auto& s : steps)
        commands.push_back(s.command);
    const std::vector<std::string> expected = {
        "AT",          "AT+CFUN=?",   "AT^SMSO=?", "AT+CMEE=2",   "AT+CGMI",   "AT+CGMM",
        "AT+CPIN?",    "AT+COPS?",    "AT+CSQ",    "AT+COPS=3,1", "AT+COPS?",  "AT+CCLK=?",
        "AT+COPS=3,2", "AT+COPS?",    "AT+CREG=1", "AT+COPS=3,0", "AT+CREG?",  "AT+CCLK?",
        "AT+CALA=?",   "AT+CALA?",    "AT+CBC=?",  "AT^SBC=?",    "AT^SBC?",   "AT+CLIP=1",
        "AT+CPAS",
        // The SMS handler's settings once the device is registered. Its
        // first listing waits 10 s from the turn after "AT+CPMS?"; the
        // phonebook's pause, which begins later, is passed by moving the
        // tick clock, and that passes the listing's wait too.
        "AT+CSCA?",    "AT+CNMI=?",   "AT+CNMI=2,1,2,1,0",        "AT+CPMS=?", "AT+CPMS?",
        "AT+CPBS=?",   "AT+CPBS?",    "AT+CMGL=4", "AT+CPBR=?", "AT+CPBR=1,250", "AT+CPBW=?",
        "AT+CPBS=\"ME\"", "AT+CPBR=?", "AT+CPBR=1,100", "AT+CPBW=?",
        "AT+CPBS=\"FD\"", "AT+CPBS=\"FD\"", "AT+CPBS=\"FD\"",
        "AT+CPBS=\"LD\"", "AT+CPBR=?", "AT+CPBR=1,10", "AT+CPBW=?", "AT+CPBS=\"SM\"",
    };
    ASSERT_EQ(commands, expected) << rig.Sim().Transcript().ToText();

    // Each answered, and the next command no later than the settling after
    // that answer requires.
    ASSERT_GE(wakeUp, 0);
    EXPECT_GE(wakeUp, FirstProbeMs - 20);
    EXPECT_LE(wakeUp, FirstProbeMs + GapSlackMs);
    EXPECT_LE(steps[0].sent - wakeUp, WakeUpMs + GapSlackMs);
    // The least wait is the engine's own: the device may read the wake-up
    // bytes late on a busy machine and "AT" at once, closer than they went.
    const auto& log = rig.window.terminal;
    size_t wake = 0;
    while (wake < log.size() && log[wake].bytes.find('\x1B') == std::string::npos)
        ++wake;
    size_t at = wake + 1;
    while (at < log.size() && log[at].bytes.rfind("AT", 0) != 0)
        ++at;
    ASSERT_LT(at, log.size()) << "the wake-up bytes and \"AT\" in the terminal";
    EXPECT_GE(log[at].tick - log[wake].tick, uint32_t(WakeUpMs));
    for (size_t i = 0; i < steps.size(); ++i) {
        ASSERT_GE(steps[i].answered, 0) << steps[i].command;
        if (i == 0)
            continue;
        const int64_t gap = steps[i].sent - steps[i - 1].answered;
        EXPECT_GE(gap, SettleMs - 20) << steps[i].command;
        EXPECT_LE(gap, SettleMs + GapSlackMs) << steps[i].command << "\n"
                                              << rig.Sim().Transcript().ToText();
    }
    // The total against the sum of those waits: the device answers at once.
    const int64_t settled = FirstProbeMs + WakeUpMs + int64_t(steps.size() - 1) * SettleMs;
    const int64_t total = steps.back().answered;
    EXPECT_GE(total, settled - 100);
    EXPECT_LE(total, settled + TotalSlackMs) << "sum of the settle times " << settled << " ms";

    // Then quiet: nothing is read again without "Aktualizovat hodnoty".
    rig.RunFor(3000);
    EXPECT_EQ(rig.Sim().Transcript().Commands().size(), expected.size());
}
