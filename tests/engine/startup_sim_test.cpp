// The staged start of a connection against the simulated device over the
// real serial component, with the engine's own event loop and tick: the
// commands of the start-up handlers in order, the questions asked, the
// final state, and the timed steps (settling, SIM busy, baud switching,
// the reset recovery and the power handler's port restart and RTS pulse).
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <memory>
#include <string>
#include <vector>

#include "engine/perif_active.h"
#include "engine/perif_cgmi.h"
#include "engine/perif_cgmm.h"
#include "engine/perif_cmee.h"
#include "engine/perif_cpin.h"
#include "engine/perif_creg.h"
#include "engine/perif_power.h"
#include "platform/tick.h"
#include "tests/engine/engine_on_sim.h"
#include "tests/support/code_pages.h"

using EngineTest::TEngineOnSim;
using W = VMainWindowLink;
using ModemSim::TDirection;

namespace {

using TestSupport::Cz;

bool StartsWith(const std::string& s, const std::string& prefix)
{
    return s.compare(0, prefix.size(), prefix) == 0;
}

// Commands of the start-up handlers (and lines like them typed by a test).
bool IsStartupCommand(const std::string& c)
{
    for (const char* p : {"AT+CFUN", "AT^SMSO", "AT+CPIN", "AT+CMEE", "AT+CGMI", "AT+CGMM", "AT+CREG"})
        if (StartsWith(c, p))
            return true;
    return c == "AT";
}

using Commands = std::vector<std::string>;

struct StartupOnSim : ::testing::Test {
    std::unique_ptr<TEngineOnSim> rig;

    void TearDown() override
    {
        rig.reset();
        Platform::SetTickOffset(0);
    }
    // The rig, not started yet: the window can be prepared.
    void make(ModemSim::TProfile profile, bool testPort = false,
              std::function<void(ModemSim::TModemSim&)> before = nullptr)
    {
        rig = std::make_unique<TEngineOnSim>(std::move(profile));
        if (testPort)
            rig->UseTestPort();
        rig->beforeOpen = std::move(before);
    }
    void start()
    {
        std::string error;
        ASSERT_TRUE(rig->Boot(&error)) << error;
    }
    void boot(ModemSim::TProfile profile, bool testPort = false,
              std::function<void(ModemSim::TModemSim&)> before = nullptr)
    {
        make(std::move(profile), testPort, std::move(before));
        start();
    }
    VPerifModem& m() { return rig->Engine().getHandlers(); }
    TRecordingWindow& window() { return rig->window; }
    ModemSim::TTranscript& transcript() { return rig->Sim().Transcript(); }
    Commands startupCommands()
    {
        Commands out;
        for (const auto& c : transcript().Commands())
            if (IsStartupCommand(c))
                out.push_back(c);
        return out;
    }
    int count(const std::string& command)
    {
        int n = 0;
        for (const auto& c : transcript().Commands())
            n += c == command;
        return n;
    }
    int events(const std::string& text)
    {
        int n = 0;
        for (const auto& e : transcript().Entries())
            n += e.direction == TDirection::Event && e.data.find(text) != std::string::npos;
        return n;
    }
    int questions(const std::string& text)
    {
        int n = 0;
        for (const auto& msg : window().messages)
            n += msg.text.find(text) != std::string::npos;
        return n;
    }
    bool started() { return m().cpin().isReady() && m().creg().isRegistered(); }
    bool waitStarted(int timeoutMs = 60000)
    {
        return rig->RunUntil([&] { return started(); }, timeoutMs);
    }
    int pinAttempts()
    {
        int left = -1;
        rig->Sim().WithDevice([&](ModemSim::TDevice& d) { left = d.pinAttempts; });
        return left;
    }
    std::string dump() { return transcript().ToText(); }
};

const Commands Probes = {"AT", "AT+CFUN=?", "AT^SMSO=?"};

Commands Join(std::initializer_list<Commands> parts)
{
    Commands out;
    for (const auto& p : parts)
        out.insert(out.end(), p.begin(), p.end());
    return out;
}

}  // namespace

TEST_F(StartupOnSim, SiemensWithPinAndEcho)
{
    auto profile = ModemSim::TProfile::Builtin("tc35");
    profile.sim = ModemSim::TSimCard::Pin;
    profile.pin = "1234";
    make(profile);
    window().texts[W::EditPIN] = "1234";  // the options dialog's PIN
    window().answers = {W::IDYES};
    start();

    ASSERT_TRUE(waitStarted()) << dump();
    // Both +CFUN and ^SMSO known: the card probe is not needed.
    const Commands expected = Join({Probes,
                                    {"AT+CMEE=2", "AT+CGMI", "AT+CGMM", "AT+CPIN?", "AT+CPIN?",
                                     "AT+CPIN=\"1234\"", "AT+CREG=1", "AT+CREG?"}});
    EXPECT_EQ(startupCommands(), expected) << dump();
    // The one question: the PIN, with the user's consent.
    ASSERT_EQ(window().messages.size(), 1u);
    EXPECT_EQ(window().messages[0].text, Cz("Chcete nyní vložit PIN 1234?"));
    EXPECT_EQ(window().messages[0].flags, W::MB_YESNOCANCEL | W::MB_ICONEXCLAMATION);
    // The echo reached the engine as lines of their own.
    bool echoSeen = false;
    for (const auto& l : rig->completed)
        echoSeen |= l == "AT+CGMI\r\r\n";
    EXPECT_TRUE(echoSeen);

    EXPECT_EQ(window().statusPanels[1], "Siemens TC35");
    EXPECT_EQ(window().texts[W::LabelDevice], "Siemens TC35");
    EXPECT_EQ(window().texts[W::EditPIN], "1234");
    EXPECT_TRUE(m().power().isFullPower());
    EXPECT_EQ(m().cmee().getMode(), 2);
    EXPECT_EQ(m().creg().getMode(), 1);
    EXPECT_EQ(m().creg().getStat(), 1);
    EXPECT_EQ(m().creg().getLac(), -1);  // reports without location
    EXPECT_EQ(pinAttempts(), 3);

    // The whole start-up finishes and stays quiet.
    ASSERT_TRUE(rig->RunUntil([&] { return rig->Engine().getState() == 0; }, 60000))
        << rig->Engine().getMissing() << "\n" << dump();
    rig->RunFor(3000);
    EXPECT_EQ(startupCommands(), expected);
    EXPECT_EQ(window().messages.size(), 1u);
}

TEST_F(StartupOnSim, EricssonWithoutEchoRegistersWithLocation)
{
    boot(ModemSim::TProfile::Builtin("gm22"), false, [](ModemSim::TModemSim& sim) {
        sim.WithDevice([](ModemSim::TDevice& d) { d.echo = false; });
    });
    ASSERT_TRUE(waitStarted()) << dump();
    const Commands expected = Join({Probes,
                                    {"AT+CPIN=?", "AT+CMEE=2", "AT+CGMI", "AT+CGMM", "AT+CPIN?",
                                     "AT+CREG=2", "AT+CREG?"}});
    EXPECT_EQ(startupCommands(), expected) << dump();
    for (const auto& l : rig->completed)
        EXPECT_FALSE(StartsWith(l, "AT")) << l;
    EXPECT_TRUE(window().messages.empty());

    EXPECT_EQ(window().statusPanels[1], "Ericsson GM22");
    EXPECT_EQ(m().cgmm().getText(), "GM22");
    EXPECT_EQ(m().creg().getMode(), 2);
    EXPECT_EQ(m().creg().getStat(), 1);
    // The device sends them byte-swapped; the handler puts them right.
    EXPECT_EQ(m().creg().getLac(), 0x1A2B);
    EXPECT_EQ(m().creg().getCell(), 0x3C4D);
    const std::string panel = window().statusPanels[2];
    ASSERT_GE(panel.size(), 13u);
    EXPECT_EQ(panel.substr(panel.size() - 13), " (1A2B, 3C4D)");

    // A cell change is reported and followed.
    rig->Sim().SetRegistration(1, 0x0102, 0x0304);
    ASSERT_TRUE(rig->RunUntil([&] { return m().creg().getCell() == 0x0304; }, 10000)) << dump();
    EXPECT_EQ(m().creg().getLac(), 0x0102);
}

TEST_F(StartupOnSim, UnknownMakerIsDrivenAsAnUnknownModel)
{
    boot(ModemSim::TProfile::Builtin("wavecom"));
    ASSERT_TRUE(waitStarted()) << dump();
    const Commands expected = Join({Probes,
                                    {"AT+CPIN=?", "AT+CMEE=2", "AT+CGMI", "AT+CGMM", "AT+CPIN?",
                                     "AT+CREG=1", "AT+CREG?"}});
    EXPECT_EQ(startupCommands(), expected) << dump();
    EXPECT_EQ(m().cgmi().getCode(), 0xF000);
    EXPECT_EQ(m().cgmm().getCode(), 0x00F);
    EXPECT_EQ(window().statusPanels[1], "[" + Cz("Neznámý") + "]");
    EXPECT_EQ(m().creg().getStat(), 1);
}

TEST_F(StartupOnSim, TickWrapsDuringStartUp)
{
    // The tick passes 0xFFFFFFFF about three seconds after the port opens.
    const uint32_t raw = Platform::GetTickCount() - Platform::GetTickOffset();
    Platform::SetTickOffset(0xFFFFF400u - raw);
    const uint32_t before = Platform::GetTickCount();
    boot(ModemSim::TProfile::Builtin("tc35"));
    ASSERT_TRUE(waitStarted()) << dump();
    const uint32_t after = Platform::GetTickCount();
    EXPECT_GT(before, 0xFFFF0000u);
    EXPECT_LT(after, 0x10000000u);
    EXPECT_EQ(startupCommands(), Join({Probes, {"AT+CMEE=2", "AT+CGMI", "AT+CGMM", "AT+CPIN?",
                                                "AT+CREG=1", "AT+CREG?"}}))
        << dump();
    EXPECT_EQ(window().statusPanels[1], "Siemens TC35");
}

TEST_F(StartupOnSim, SimBusyHoldsEveryoneFiveSeconds)
{
    auto profile = ModemSim::TProfile::Builtin("tc35");
    profile.simBusyMs = 12000;
    boot(profile);
    ASSERT_TRUE(waitStarted(90000)) << dump();
    const auto entries = transcript().Entries();
    int busyAnswers = 0;
    for (size_t i = 0; i < entries.size(); ++i) {
        if (entries[i].direction != TDirection::Sent ||
            entries[i].data.find("+CME ERROR: SIM busy") == std::string::npos)
            continue;
        ++busyAnswers;
        // The next command the device gets comes no sooner than 5 s later.
        size_t j = i + 1;
        while (j < entries.size() && entries[j].direction != TDirection::Command)
            ++j;
        ASSERT_LT(j, entries.size());
        EXPECT_GE(entries[j].ms - entries[i].ms, 5000) << dump();
        EXPECT_EQ(entries[j].data, "AT+CPIN?");
    }
    EXPECT_GE(busyAnswers, 1) << dump();
    // A busy card is not a missing card.
    EXPECT_TRUE(window().messages.empty());
}

TEST_F(StartupOnSim, RingCountsAsAnAnswer)
{
    boot(ModemSim::TProfile::Builtin("tc35"), false,
         [](ModemSim::TModemSim& sim) { sim.DropFinalResults(1); });
    ASSERT_TRUE(rig->RunUntil([&] { return count("AT") == 1; }, 10000)) << dump();
    rig->Sim().InjectLine("RING");
    ASSERT_TRUE(rig->RunUntil([&] { return count("AT+CFUN=?") == 1; }, 10000)) << dump();
    // No second probe was needed.
    EXPECT_EQ(startupCommands(), (Commands{"AT", "AT+CFUN=?"}));
    EXPECT_TRUE(waitStarted()) << dump();
}

TEST_F(StartupOnSim, BaudRateSwitchesUntilTheDeviceAnswers)
{
    auto profile = ModemSim::TProfile::Builtin("m20");  // fixed at 9600 baud
    make(profile, true);
    window().texts[W::EditPIN] = "0000";
    window().answers = {W::IDYES};
    start();
    ASSERT_TRUE(waitStarted()) << dump();
    // Opened at 19200; two probes unanswered, then 9600.
    const std::vector<uint32_t> rates = rig->TestPorts()->BaudRates();
    EXPECT_EQ(rates, (std::vector<uint32_t>{19200, 9600}));
    int lostProbes = 0;
    for (const auto& e : transcript().Entries())
        lostProbes += e.direction == TDirection::Dropped && e.data.find("AT\r") != std::string::npos;
    EXPECT_EQ(lostProbes, 2) << dump();
    EXPECT_EQ(startupCommands(),
              Join({Probes, {"AT+CPIN=?", "AT+CMEE=2", "AT+CGMI", "AT+CGMM", "AT+CPIN?", "AT+CPIN?",
                             "AT+CPIN=\"0000\"", "AT+CREG=1", "AT+CREG?"}}))
        << dump();
    EXPECT_EQ(window().statusPanels[1], "Siemens M20");
    EXPECT_TRUE(m().power().isFullPower());
}

TEST_F(StartupOnSim, FivePlainErrorsAskOnceAndYesSetsTheDeviceUpAgain)
{
    boot(ModemSim::TProfile::Builtin("tc35"), true);
    ASSERT_TRUE(waitStarted()) << dump();
    ASSERT_TRUE(rig->RunUntil([&] { return m().active().isSettled(); }, 10000));
    const size_t atBefore = size_t(count("AT"));

    // The device resets and answers every command with a plain "ERROR";
    // a line typed again and again (no tick meanwhile).
    rig->Sim().Reset(3000);
    for (int i = 0; i < 6; ++i) {
        const size_t errors = rig->completed.size();
        rig->Engine().sendLine(Platform::GetTickCount(), "AT+CSQ", -1);
        ASSERT_TRUE(rig->RunUntil(
            [&] {
                for (size_t k = errors; k < rig->completed.size(); ++k)
                    if (rig->completed[k] == "ERROR\r\n")
                        return true;
                return false;
            },
            2000, false))
            << dump();
    }
    ASSERT_TRUE(m().active().isResetQuestionDue());
    const int opens = rig->TestPorts()->Opens();
    window().answers = {W::IDYES};
    QElapsedTimer closed;
    closed.start();
    rig->RunFor(50);
    EXPECT_EQ(questions(Cz("Zařízení se zřejmě vyresetovalo")), 1);
    EXPECT_FALSE(rig->Port().Connected());
    ASSERT_TRUE(rig->RunUntil([&] { return rig->TestPorts()->Opens() == opens + 1; }, 15000)) << dump();
    EXPECT_GE(closed.elapsed(), 4000);
    // Every handler starts again: probes, identity, card, registration.
    ASSERT_TRUE(rig->RunUntil([&] { return size_t(count("AT")) > atBefore; }, 15000)) << dump();
    ASSERT_TRUE(waitStarted()) << dump();
    EXPECT_EQ(count("AT+CGMI"), 2);
    EXPECT_EQ(questions(Cz("Zařízení se zřejmě vyresetovalo")), 1);
}

TEST_F(StartupOnSim, WrongPinCostsOneAttemptPerConsent)
{
    auto profile = ModemSim::TProfile::Builtin("tc35");
    profile.sim = ModemSim::TSimCard::Pin;
    make(profile);
    window().texts[W::EditPIN] = "1111";
    window().answers = {W::IDYES, W::IDNO};  // consent; no other PIN
    start();

    ASSERT_TRUE(rig->RunUntil([&] { return events("attempts left 2") == 1; }, 60000)) << dump();
    ASSERT_TRUE(rig->RunUntil([&] { return questions(Cz("Byl zadán špatný PIN. Vložit jiný?")) == 1; },
                              10000))
        << dump();
    // A new query (as after a power change) does not send it again.
    const int queries = count("AT+CPIN?");
    m().cpin().requery();
    ASSERT_TRUE(rig->RunUntil([&] { return count("AT+CPIN?") == queries + 1; }, 10000)) << dump();
    rig->RunFor(3000);
    EXPECT_EQ(pinAttempts(), 2);
    EXPECT_EQ(count("AT+CPIN=\"1111\""), 1);

    // Starting over asks again; a second consent costs a second attempt.
    window().answers = {W::IDYES, W::IDNO};
    rig->Engine().restart(Platform::GetTickCount());
    ASSERT_TRUE(rig->RunUntil([&] { return events("attempts left 1") == 1; }, 60000)) << dump();
    rig->RunFor(3000);
    EXPECT_EQ(pinAttempts(), 1);
    EXPECT_EQ(count("AT+CPIN=\"1111\""), 2);
    EXPECT_EQ(questions(Cz("Chcete nyní vložit PIN 1111?")), 2);
}

TEST_F(StartupOnSim, AbandonedPinIsNotSentAgainWithoutConsent)
{
    auto profile = ModemSim::TProfile::Builtin("tc35");
    profile.sim = ModemSim::TSimCard::Pin;
    profile.delays["+CPIN="] = 2000;  // the card takes its time
    make(profile);
    window().texts[W::EditPIN] = "1111";
    window().answers = {W::IDYES, W::IDNO};
    start();

    ASSERT_TRUE(rig->RunUntil([&] { return count("AT+CPIN=\"1111\"") == 1; }, 60000)) << dump();
    // A line typed before the card answered: the PIN command is abandoned.
    rig->Engine().sendLine(Platform::GetTickCount(), "AT", -1);
    ASSERT_TRUE(rig->RunUntil([&] { return questions(Cz("Chcete nyní vložit PIN 1111?")) == 2; }, 30000))
        << dump();
    rig->RunFor(4000);
    EXPECT_EQ(count("AT+CPIN=\"1111\""), 1);
    EXPECT_EQ(pinAttempts(), 2);
    EXPECT_EQ(questions(Cz("Byl zadán špatný PIN")), 0);
}

TEST_F(StartupOnSim, PowerDownAndBackReopensThePort)
{
    boot(ModemSim::TProfile::Builtin("tc35"), true);
    ASSERT_TRUE(waitStarted()) << dump();
    m().power().setWantedMode(5);
    ASSERT_TRUE(rig->RunUntil([&] { return m().power().getMode() == 5; }, 10000)) << dump();
    EXPECT_EQ(count("AT^SMSO"), 1);
    ASSERT_TRUE(rig->RunUntil([&] { return events("power off") == 1; }, 5000)) << dump();

    const int opens = rig->TestPorts()->Opens();
    m().power().setWantedMode(1);
    ASSERT_TRUE(rig->RunUntil([&] { return rig->Engine().isReopenPending(); }, 5000));
    QElapsedTimer closed;
    closed.start();
    EXPECT_FALSE(rig->Port().Connected());
    // The port opens again, the device starts (DTR), the handlers start over.
    ASSERT_TRUE(rig->RunUntil([&] { return rig->TestPorts()->Opens() == opens + 1; }, 15000)) << dump();
    EXPECT_GE(closed.elapsed(), 4000);
    ASSERT_TRUE(rig->RunUntil([&] { return events("power up") >= 2; }, 5000)) << dump();
    ASSERT_TRUE(rig->RunUntil([&] { return m().power().isFullPower() && started(); }, 60000)) << dump();
    EXPECT_EQ(count("AT+CFUN=?"), 2);
}

TEST_F(StartupOnSim, SleepAndWakeByRts)
{
    boot(ModemSim::TProfile::Builtin("tc35"), true);
    ASSERT_TRUE(waitStarted()) << dump();
    m().power().setWantedMode(3);
    ASSERT_TRUE(rig->RunUntil([&] { return m().power().getMode() == 3; }, 10000)) << dump();
    EXPECT_EQ(count("AT+CFUN=0"), 1);
    ASSERT_TRUE(rig->RunUntil([&] { return events("sleep") == 1; }, 5000)) << dump();

    m().power().setWantedMode(1);
    ASSERT_TRUE(rig->RunUntil([&] { return events("woken by RTS") == 1; }, 5000)) << dump();
    EXPECT_EQ(m().power().getMode(), 2);
    ASSERT_TRUE(rig->RunUntil([&] { return m().power().isFullPower(); }, 15000)) << dump();
    // The device answers again.
    const int before = count("AT+CSQ");
    rig->Engine().sendLine(Platform::GetTickCount(), "AT+CSQ", -1);
    ASSERT_TRUE(rig->RunUntil([&] { return count("AT+CSQ") == before + 1; }, 5000)) << dump();
}
