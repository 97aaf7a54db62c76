#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "calls/list_view_file.h"
#include "engine/perif_active.h"
#include "engine/perif_cbc.h"
#include "engine/perif_phonebook.h"
#include "engine/modem_type_name.h"
#include "engine/perif_cgmi.h"
#include "engine/perif_cgmm.h"
#include "engine/perif_cops.h"
#include "engine/perif_creg.h"
#include "engine/uniset.h"
#include "tests/engine/probe_handlers.h"
#include "tests/engine/recording_port.h"
#include "tests/engine/recording_window.h"
#include "tests/engine/settled_handlers.h"
#include "tests/engine/stand_in_handlers.h"
#include "tests/support/code_pages.h"

namespace {

using TestSupport::Cz;

using W = VMainWindowLink;

struct Display : ::testing::Test {
    TRecordingWindow window;
    VUniSET engine{nullptr, &window};
    std::vector<std::string> log;
    std::array<TProbeState*, VPerifModem::HandlerCount> probes{};

    void SetUp() override { probes = InstallProbes(engine, log); }
    void line(const std::string& text)
    {
        for (char c : text)
            engine.receivedByte(1, uint8_t(c));
    }
};

}  // namespace

TEST_F(Display, SignalStrengthTexts)
{
    line("+CSQ: 31,0\r\n");
    EXPECT_EQ(window.progress[W::GaugeSigStr], 31);
    EXPECT_EQ(window.hints[W::GaugeSigStr], Cz("Síla signálu:") + " >=-51 dBm");
    line("+CSQ: 0,0\r\n");
    EXPECT_EQ(window.progress[W::GaugeSigStr], 0);
    EXPECT_EQ(window.hints[W::GaugeSigStr], Cz("Síla signálu:") + " -113 dBm");
    line("+CSQ: 15,0\r\n");
    EXPECT_EQ(window.hints[W::GaugeSigStr], Cz("Síla signálu:") + " -83 dBm");
    EXPECT_GE(window.countCalls("invalidate GaugeSigStr"), 3);
}

TEST_F(Display, SignalOutOfRangeShowsUnknown)
{
    line("+CSQ: 99,99\r\n");
    EXPECT_EQ(window.progress[W::GaugeSigStr], 0);
    EXPECT_EQ(window.hints[W::GaugeSigStr], Cz("Sílu signálu nelze zjistit"));
    EXPECT_FALSE(window.visible[W::GaugeSigQual]);
    EXPECT_FALSE(window.visible[W::LabelSigQual]);
    EXPECT_EQ(window.hints[W::GaugeSigQual], Cz("Kvalitu signálu nelze zjistit"));
    line("+CSQ: 32,8\r\n");
    EXPECT_EQ(window.hints[W::GaugeSigStr], Cz("Sílu signálu nelze zjistit"));
    EXPECT_EQ(window.progress[W::GaugeSigQual], 0);
    EXPECT_FALSE(window.visible[W::GaugeSigQual]);
    line("+CSQ: -1,-1\r\n");
    EXPECT_EQ(window.hints[W::GaugeSigStr], Cz("Sílu signálu nelze zjistit"));
    EXPECT_EQ(VUniSET::shownRssi(99), -1);
    EXPECT_EQ(VUniSET::shownRssi(31), 31);
    EXPECT_EQ(VUniSET::shownBer(8), -1);
    EXPECT_EQ(VUniSET::shownBer(7), 7);
}

TEST_F(Display, SignalQualityTexts)
{
    const struct {
        int ber;
        const char* percent;
    } cases[] = {{0, "0.14%"}, {1, "0.28%"}, {3, "1.1%"}, {6, "9%"}, {7, "18%"}};
    for (const auto& c : cases) {
        line("+CSQ: 10," + std::to_string(c.ber) + "\r\n");
        EXPECT_EQ(window.progress[W::GaugeSigQual], 7 - c.ber) << c.ber;
        EXPECT_EQ(window.hints[W::GaugeSigQual], Cz("Množství chyb:") + " " + c.percent) << c.ber;
        EXPECT_TRUE(window.visible[W::GaugeSigQual]);
        EXPECT_TRUE(window.visible[W::LabelSigQual]);
    }
}

TEST_F(Display, TranslationsAreNeverFormats)
{
    window.langTexts["Texts/SigStrKnown"] = "Signal %s%d%n:";
    window.langTexts["Texts/SigQualKnown"] = "Errors %.2g%%";
    line("+CSQ: 20,2\r\n");
    EXPECT_EQ(window.hints[W::GaugeSigStr], "Signal %s%d%n: -73 dBm");
    EXPECT_EQ(window.hints[W::GaugeSigQual], "Errors %.2g%% 0.57%");
}

TEST_F(Display, RegistrationTextWithLocation)
{
    VPerifCREG& creg = engine.getHandlers().creg();
    creg.setValues(1, 2, 0x1A2B, -1);
    EXPECT_EQ(window.statusPanels[2], "Registruji... (1A2B, ?)");
    creg.setValues(1, 0, 0xFFFF, 0x00C3);
    EXPECT_EQ(window.statusPanels[2], "Chyba registrace (   ?, 00C3)");
    creg.setValues(1, 3, 0x1A2B, 0x3C4D);
    EXPECT_EQ(window.statusPanels[2], Cz("Registrace odepřena") + " (1A2B, 3C4D)");
    creg.setValues(1, 4, -1, 0xFFFF);
    EXPECT_EQ(window.statusPanels[2], Cz("Registrace: Nezjištěna"));
    creg.setValues(1, 7, -1, -1);
    EXPECT_EQ(window.statusPanels[2], "?");
    creg.setValues(1, -1, -1, -1);
    EXPECT_EQ(window.statusPanels[2], "?");
    window.langTexts["Texts/Registration_0"] = "Not registered";
    creg.setValues(1, 0, -1, -1);
    EXPECT_EQ(window.statusPanels[2], "Not registered");
}

TEST_F(Display, RegisteredShowsTheOperatorName)
{
    VPerifModem& m = engine.getHandlers();
    m.creg().setValues(1, 1, 0x1A2B, 0x3C4D);
    EXPECT_EQ(window.statusPanels[2], m.cops().currentName() + " (1A2B, 3C4D)");
    m.cops().setLongName("T-Mobile CZ");
    EXPECT_EQ(window.statusPanels[2], "T-Mobile CZ (1A2B, 3C4D)");
    m.creg().setValues(1, 5, -1, -1);
    EXPECT_EQ(window.statusPanels[2], "T-Mobile CZ");
}

TEST_F(Display, OperatorItemsTakeTheRecordNames)
{
    VPerifCOPS& cops = engine.getHandlers().cops();
    cops.addOperator(std::make_unique<VPerifCOPS::Operator>("", "EUROTEL", "23002", 1));
    cops.addOperator(std::make_unique<VPerifCOPS::Operator>("", "", "", 1));
    ASSERT_EQ(window.comboItems.size(), 2u);
    EXPECT_EQ(window.comboItems[0], (std::pair<std::string, int>("EUROTEL", 23002)));
    EXPECT_EQ(window.comboItems[1].second, -2);
    window.comboItems[0].first = "stale";
    window.comboItems[1].first = "stale";
    engine.showOperator();
    EXPECT_EQ(window.comboItems[0].first, "EUROTEL");
    EXPECT_EQ(window.comboItems[1].first, Cz("Neznámý operátor"));
    // An item the list does not reach is left alone.
    window.comboItems.emplace_back("extra", 1);
    engine.showOperator();
    EXPECT_EQ(window.comboItems[2].first, "extra");
}

TEST_F(Display, DeviceNameFromMakerAndModel)
{
    engine.updateStatusBar();
    const VPerifModem& m = engine.getHandlers();
    const uint16_t code = uint16_t((m.cgmi().getCode() & 0xF000) | (m.cgmm().getCode() & 0x0FFF));
    const std::string name = Uniset::ModemTypeName(window, code, m.cgmi().getText(), m.cgmm().getText());
    EXPECT_EQ(window.statusPanels[1], name);
    EXPECT_EQ(window.texts[W::LabelDevice], name);
    // The maker's code gives the maker bits, the model's the model bits.
    engine.getHandlers().replaceHandler(VPerifModem::hCGMI, std::make_unique<CodedCGMI>(&engine, 0x0ABC));
    engine.getHandlers().replaceHandler(VPerifModem::hCGMM, std::make_unique<CodedCGMM>(&engine, 0xF00F));
    engine.makerChanged();
    EXPECT_EQ(window.statusPanels[1], "[" + Cz("Nezjištěn") + "]");
}

TEST_F(Display, StartPaintsTheDisconnectedState)
{
    engine.start();
    EXPECT_EQ(engine.getState(), 4);
    EXPECT_EQ(window.shapeColor, 0);
    EXPECT_EQ(window.hints[W::ShapeProgress], "Odpojeno");
    EXPECT_TRUE(window.portStates.empty());  // no port to report
    EXPECT_EQ(LogOf(log, "start").size(), size_t(VPerifModem::HandlerCount));
    EXPECT_EQ(LogOf(log, "restart").size(), size_t(VPerifModem::HandlerCount));
    EXPECT_EQ(window.statusPanels.count(1), 1u);
    EXPECT_EQ(window.statusPanels.count(2), 1u);
}

TEST_F(Display, ClosingWaitsForBusyHandlers)
{
    engine.answeredAgain();  // disconnected -> ready
    EXPECT_EQ(engine.getState(), 0);
    EXPECT_EQ(window.hints[W::ShapeProgress], Cz("Připraven"));
    EXPECT_EQ(window.shapeColor, 0xFF00);
    EXPECT_FALSE(engine.isDown());

    for (TProbeState* p : probes)
        p->quiet = true;
    probes[VPerifModem::hCREG]->quiet = false;
    probes[VPerifModem::hCREG]->busy = true;
    EXPECT_FALSE(engine.finish());
    EXPECT_EQ(engine.getState(), 5);
    EXPECT_EQ(window.hints[W::ShapeProgress], Cz("Ukončuji..."));
    EXPECT_EQ(window.shapeColor, 0xC0FF);
    EXPECT_FALSE(engine.isDown());
    engine.tick(10);
    EXPECT_EQ(engine.getState(), 5);
    probes[VPerifModem::hCREG]->busy = false;
    engine.tick(20);
    EXPECT_EQ(engine.getState(), 6);
    EXPECT_EQ(window.hints[W::ShapeProgress], Cz("Ukončeno"));
    EXPECT_EQ(window.shapeColor, 0xFF);
    EXPECT_TRUE(engine.isDown());
    EXPECT_TRUE(engine.finish());  // the file lists stopped at the tick
    engine.portLost();
    EXPECT_EQ(engine.getState(), 6);
}

TEST_F(Display, FinishWhileDisconnectedNeedsTheListsToStop)
{
    engine.addSendFile("/nonexistent/file", "123");
    EXPECT_FALSE(engine.finish());
    EXPECT_EQ(engine.getState(), 6);
    EXPECT_FALSE(engine.finish());
    engine.tick(1);
    EXPECT_EQ(engine.getSendList().getCount(), 0);
    EXPECT_TRUE(engine.finish());
}

TEST_F(Display, PortLostDisconnectsAndRestarts)
{
    engine.answeredAgain();
    // A device answered a command.
    engine.sendLine(1, "AT", -1);
    line("OK\r\n");
    ASSERT_TRUE(engine.getHandlers().active().isAnswering());
    log.clear();
    engine.portLost();
    EXPECT_EQ(engine.getState(), 4);
    EXPECT_TRUE(engine.isDown());
    EXPECT_EQ(window.hints[W::ShapeProgress], "Odpojeno");
    // The link watcher still reported an answering device: start again.
    EXPECT_EQ(LogOf(log, "restart").size(), size_t(VPerifModem::HandlerCount));
    EXPECT_FALSE(engine.getHandlers().active().isAnswering());
    // Not answering any more: a second loss restarts nothing.
    log.clear();
    engine.portLost();
    EXPECT_TRUE(LogOf(log, "restart").empty());
    engine.answeredAgain();
    EXPECT_EQ(engine.getState(), 0);
    engine.answeredAgain();
    EXPECT_EQ(engine.getState(), 0);
}

TEST_F(Display, ShapeColourIsSetOnlyWhenItChanges)
{
    engine.showState();
    engine.showState();
    EXPECT_EQ(window.countCalls("setProgressShapeColor"), 1);
    EXPECT_EQ(window.countCalls("setHint ShapeProgress"), 2);
}

TEST_F(Display, ProgressTextsComeFromTheLanguage)
{
    window.langTexts["Texts/ProgressHint_4"] = "Disconnected";
    engine.showState();
    EXPECT_EQ(window.hints[W::ShapeProgress], "Disconnected");
}

namespace {

// A battery handler that only counts the passes that reach it.
class CountingCBC : public VPerifCBC {
public:
    using VPerifCBC::VPerifCBC;
    void tick(uint32_t) override { ++passes; }
    int passes = 0;
};

// A phonebook handler with nothing to read or write.
class IdlePhonebook : public VPerifPhonebook {
public:
    using VPerifPhonebook::VPerifPhonebook;
    void tick(uint32_t) override {}
};

}  // namespace

// A ready engine on which nothing was received or sent for QuietAfterMs
// polls its handlers every QuietPassMs instead of on every tick; a received
// byte or a sent line brings the pass back on every tick, a wake brings one
// pass at once. Also across the wrap of the tick counter.
TEST(QuietTicks, HandlersArePolledSparselyOnlyWhileNothingHappens)
{
    for (const uint32_t t0 : {5000u, 0xFFFFF000u}) {
        SCOPED_TRACE(t0);
        TRecordingWindow window;
        TByteSinkPort port;
        VUniSET engine{&port, &window};
        InstallSettledStartup(engine);
        InstallSettledStatus(engine);
        InstallSettledCalls(engine);
        auto counting = std::make_unique<CountingCBC>(&engine);
        CountingCBC& cbc = *counting;
        engine.getHandlers().replaceHandler(VPerifModem::hCBC, std::move(counting));
        engine.getHandlers().replaceHandler(VPerifModem::hPhonebook, std::make_unique<IdlePhonebook>(&engine));

        uint32_t t = t0;
        // Each tick tells whether it was quiet: exactly those without a pass.
        auto passesOver = [&](uint32_t ms) {
            const int before = cbc.passes;
            for (uint32_t i = 0; i < ms / 10; ++i) {
                const int passes = cbc.passes;
                engine.tick(t += 10);
                EXPECT_EQ(engine.wasTickQuiet(), cbc.passes == passes) << "tick at " << t;
            }
            return cbc.passes - before;
        };
        const int quietPasses = int(2000 / VUniSET::QuietPassMs);
        // Traffic a second before: what was last sent and received is then
        // never the tick counter's zero.
        engine.sendLine(t - 1000, "AT", -1);
        for (char c : std::string("OK\r\n"))
            engine.receivedByte(t - 1000, uint8_t(c));
        port.written.clear();
        engine.tick(t);
        ASSERT_EQ(engine.getState(), 0);
        EXPECT_TRUE(engine.isQuiet(t));
        EXPECT_EQ(passesOver(2000), quietPasses);

        // An answer's bytes: a pass on every tick until QuietAfterMs have passed.
        for (char c : std::string("OK\r\n"))
            engine.receivedByte(t, uint8_t(c));
        EXPECT_FALSE(engine.isQuiet(t));
        EXPECT_EQ(passesOver(VUniSET::QuietAfterMs), int(VUniSET::QuietAfterMs / 10));
        EXPECT_FALSE(engine.isQuiet(t));
        EXPECT_TRUE(engine.isQuiet(t + 1));
        EXPECT_LE(passesOver(2000), quietPasses);

        // A command written: the same.
        engine.sendLine(t, "AT", -1);
        EXPECT_EQ(port.written, "AT\r");
        EXPECT_EQ(passesOver(VUniSET::QuietAfterMs), int(VUniSET::QuietAfterMs / 10));

        // The user's request: one pass on the next tick, then quiet again.
        passesOver(VUniSET::QuietPassMs);
        const int woken = cbc.passes;
        engine.wake();
        engine.tick(t += 10);
        EXPECT_EQ(cbc.passes, woken + 1);
        EXPECT_EQ(passesOver(VUniSET::QuietPassMs - 20), 0);

        // Not in a data call, nor while the device is not ready.
        engine.tick(t += 1000);
        engine.setMode(3);
        EXPECT_FALSE(engine.isQuiet(t));
        engine.setMode(0);
        EXPECT_TRUE(engine.isQuiet(t));
        port.open = false;
        engine.tick(t += 10);
        EXPECT_EQ(engine.getState(), 4);
        EXPECT_EQ(passesOver(1000), 100);
    }
}
