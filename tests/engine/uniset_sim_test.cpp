// The engine over the real serial component against the simulated device.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "engine/perif_active.h"
#include "engine/perif_csq.h"
#include "platform/tick.h"
#include "tests/engine/engine_on_sim.h"
#include "tests/engine/probe_handlers.h"
#include "tests/engine/stand_in_handlers.h"
#include "tests/support/code_pages.h"

using EngineTest::TEngineOnSim;
using W = VMainWindowLink;

namespace {

using TestSupport::Cz;

// Lines the first handler got, in order.
std::vector<std::string> Lines(const std::vector<std::string>& log)
{
    std::vector<std::string> out;
    for (const auto& e : LogOf(log, "onResponse"))
        if (e.rfind("0:", 0) == 0)
            out.push_back(e.substr(std::string("0:onResponse:").size()));
    return out;
}

bool Contains(const std::vector<std::string>& v, const std::string& s)
{
    for (const auto& x : v)
        if (x == s)
            return true;
    return false;
}

class SilentActive : public VPerifActive {
public:
    using VPerifActive::VPerifActive;
    bool isAnswering() const override { return false; }
};

struct OnSim : ::testing::Test {
    TEngineOnSim rig;
    std::vector<std::string> log;
    std::array<TProbeState*, VPerifModem::HandlerCount> probes{};

    void SetUp() override
    {
        std::string error;
        ASSERT_TRUE(rig.Boot(&error)) << error;
        probes = InstallProbes(rig.Engine(), log);
    }
    uint32_t now() const { return Platform::GetTickCount(); }
    bool waitLine(const std::string& line, int timeoutMs = 5000)
    {
        return rig.RunUntil([&] { return Contains(Lines(log), line); }, timeoutMs, false);
    }
};

}  // namespace

TEST_F(OnSim, CommandGoesOutAndItsAnswerReachesEveryHandler)
{
    rig.Engine().sendLine(now(), "AT+CSQ", -1);
    // Told before the line went anywhere, the sender and the others alike.
    EXPECT_EQ(LogOf(log, "onCommandSent").size(), size_t(VPerifModem::HandlerCount));
    ASSERT_TRUE(waitLine("OK\r\n")) << ModemSim::TTranscript::Escape(rig.received);

    EXPECT_GE(rig.Sim().Transcript().WaitForCommand("AT+CSQ", 1000), 0);
    EXPECT_EQ(rig.Sim().Transcript().Stream(ModemSim::TDirection::Received), "AT+CSQ\r");
    const std::vector<std::string> expected = {"AT+CSQ\r\r\n", "+CSQ: 21,99\r\n", "\r\n", "OK\r\n"};
    EXPECT_EQ(Lines(log), expected);
    // Each line reached all 18, in slot order, before the next line came.
    auto entries = LogOf(log, "onResponse");
    ASSERT_EQ(entries.size(), expected.size() * VPerifModem::HandlerCount);
    for (size_t i = 0; i < entries.size(); ++i)
        EXPECT_EQ(entries[i].substr(0, entries[i].find(':')), std::to_string(i % VPerifModem::HandlerCount));
    // The receive path echoes every completed line.
    EXPECT_EQ(rig.completed, expected);
    EXPECT_TRUE(rig.Engine().getRxBuffer().isEmpty());
    // The signal values went to the display.
    EXPECT_EQ(rig.window.hints[W::GaugeSigStr], Cz("Síla signálu:") + " -71 dBm");
    EXPECT_EQ(rig.window.terminal.back().bytes, "AT+CSQ\r");
}

TEST_F(OnSim, SeveralCommandsAndUnsolicitedLines)
{
    rig.Engine().sendLine(now(), "ATE0", -1);
    ASSERT_TRUE(waitLine("OK\r\n"));
    log.clear();
    rig.Engine().sendLine(now(), "AT+CGMI", -1);
    ASSERT_TRUE(waitLine("OK\r\n"));
    EXPECT_TRUE(Contains(Lines(log), "SIEMENS\r\n"));
    log.clear();
    rig.Sim().InjectLine("RING");
    rig.Sim().InjectLine("+CREG: 1");
    ASSERT_TRUE(waitLine("+CREG: 1\r\n"));
    const auto lines = Lines(log);
    EXPECT_TRUE(Contains(lines, "RING\r\n"));
    EXPECT_EQ(LogOf(log, "onResponse").size() % VPerifModem::HandlerCount, 0u);
}

TEST_F(OnSim, ErrorAnswersArriveAsLines)
{
    rig.Engine().sendLine(now(), "AT+CMEE=2", -1);
    ASSERT_TRUE(waitLine("OK\r\n"));
    log.clear();
    rig.Engine().sendLine(now(), "AT+NOSUCHTHING", -1);
    ASSERT_TRUE(rig.RunUntil(
        [&] {
            for (const auto& l : Lines(log))
                if (l == "ERROR\r\n" || l.rfind("+CME ERROR: ", 0) == 0)
                    return true;
            return false;
        },
        5000, false));
}

TEST_F(OnSim, ProgressStatesFollowPortAndHandlers)
{
    // Connected, answering, nobody busy, all ready: the whole start-up of
    // the device has run.
    ASSERT_TRUE(rig.RunUntil([&] { return rig.Engine().getState() == 0; }, 30000))
        << rig.Engine().getMissing() << "\n" << rig.Sim().Transcript().ToText();
    EXPECT_EQ(rig.window.hints[W::ShapeProgress], Cz("Připraven"));
    EXPECT_EQ(rig.window.shapeColor, 0xFF00);
    ASSERT_FALSE(rig.window.portStates.empty());
    EXPECT_EQ(rig.window.portStates.back(), CommStateConnected);

    probes[VPerifModem::hCPIN]->busy = true;
    ASSERT_TRUE(rig.RunUntil([&] { return rig.Engine().getState() == 2; }, 2000));
    EXPECT_EQ(rig.window.hints[W::ShapeProgress], "Pracuji...");
    EXPECT_EQ(rig.window.shapeColor, 0xFFFF);
    probes[VPerifModem::hCPIN]->busy = false;

    rig.Engine().getHandlers().replaceHandler(VPerifModem::hCSQ, std::make_unique<NotKnownCSQ>(&rig.Engine()));
    ASSERT_TRUE(rig.RunUntil([&] { return rig.Engine().getState() == 1; }, 2000));
    EXPECT_EQ(rig.window.hints[W::ShapeProgress], Cz("Chybí: ") + "AT+CSQ");
    EXPECT_EQ(rig.window.shapeColor, 0xC0FF);
    EXPECT_EQ(rig.Engine().getMissing(), "AT+CSQ");

    rig.Engine().getHandlers().replaceHandler(VPerifModem::hActive,
                                              std::make_unique<SilentActive>(&rig.Engine()));
    ASSERT_TRUE(rig.RunUntil([&] { return rig.Engine().getState() == 3; }, 2000));
    EXPECT_EQ(rig.window.hints[W::ShapeProgress], Cz("Zařízení neodpovídá"));
    EXPECT_EQ(rig.window.shapeColor, 0xFF);
    EXPECT_TRUE(rig.Engine().isDown());

    rig.Port().StopComm();
    ASSERT_TRUE(rig.RunUntil([&] { return rig.Engine().getState() == 4; }, 2000));
    EXPECT_EQ(rig.window.hints[W::ShapeProgress], "Odpojeno");
    EXPECT_EQ(rig.window.shapeColor, 0);
    EXPECT_EQ(rig.window.portStates.back(), CommStateDisconnected);

    EXPECT_FALSE(rig.Engine().finish());
    EXPECT_EQ(rig.Engine().getState(), 6);
    ASSERT_TRUE(rig.RunUntil([&] { return rig.Engine().finish(); }, 2000));
    EXPECT_EQ(rig.window.hints[W::ShapeProgress], Cz("Ukončeno"));
}

TEST_F(OnSim, LongLineTravelsWhole)
{
    // A phonebook-sized line, well past the fixed 400-byte buffer.
    std::string text = "AT+CPBW=1,\"" + std::string(450, '1') + "\",129,\"x\"";
    rig.Engine().sendLine(now(), text.c_str(), -1);
    auto& transcript = rig.Sim().Transcript();
    ASSERT_TRUE(rig.RunUntil(
        [&] { return transcript.Stream(ModemSim::TDirection::Received).size() >= text.size() + 1; },
        5000, false));
    EXPECT_EQ(transcript.Stream(ModemSim::TDirection::Received), text + "\r");
}
