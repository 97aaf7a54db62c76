#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "engine/perif_cala.h"
#include "engine/perif_cbc.h"
#include "engine/perif_cclk.h"
#include "engine/perif_cgmi.h"
#include "engine/perif_cgmm.h"
#include "engine/perif_csq.h"
#include "engine/perif_modem.h"
#include "engine/uniset.h"
#include "tests/engine/probe_handlers.h"
#include "tests/engine/recording_window.h"
#include "tests/engine/settled_handlers.h"
#include "tests/engine/stand_in_handlers.h"

namespace {

std::vector<std::string> Slots(const std::vector<std::string>& entries)
{
    std::vector<std::string> out;
    for (const auto& e : entries)
        out.push_back(e.substr(0, e.find(':')));
    return out;
}

std::vector<std::string> AllSlots()
{
    std::vector<std::string> out;
    for (int i = 0; i < VPerifModem::HandlerCount; ++i)
        out.push_back(std::to_string(i));
    return out;
}

class UnresolvedCCLK : public VPerifCCLK {
public:
    using VPerifCCLK::VPerifCCLK;
    bool isResolved() const override { return false; }
};

class UnresolvedCALA : public VPerifCALA {
public:
    using VPerifCALA::VPerifCALA;
    bool isResolved() const override { return false; }
};

// A battery handler that never got an answer: it keeps waiting.
class SilentCBC : public VPerifCBC {
public:
    using VPerifCBC::VPerifCBC;
    bool isBusy() const override { return waiting; }
    bool waiting = false;
};

struct Fixture : ::testing::Test {
    TRecordingWindow window;
    VUniSET engine{nullptr, &window};
    VPerifModem& modem = engine.getHandlers();
};

}  // namespace

TEST_F(Fixture, EveryBroadcastReachesAll18InOrder)
{
    std::vector<std::string> log;
    InstallProbes(engine, log);
    modem.start(1);
    modem.dataTick(2);
    modem.restart(3);
    modem.reset(4);
    modem.onResponse(5);
    modem.onCommandSent(6);
    modem.onSms11(7);
    modem.onSmsPromptEnd(8, 1);
    modem.onFrame(9);
    modem.onFrameSent(10);
    modem.tick(11);
    for (const char* op : {"start", "dataTick", "restart", "reset", "onResponse", "onCommandSent",
                           "onSms11", "onSmsPromptEnd", "onFrame", "onFrameSent", "tick"})
        EXPECT_EQ(Slots(LogOf(log, op)), AllSlots()) << op;
    EXPECT_EQ(log.size(), 11u * VPerifModem::HandlerCount);
}

TEST_F(Fixture, SlotsHoldTheirClassesOnly)
{
    EXPECT_FALSE(modem.replaceHandler(VPerifModem::hCSQ, std::make_unique<UnresolvedCCLK>(&engine)));
    EXPECT_FALSE(modem.replaceHandler(VPerifModem::HandlerCount, std::make_unique<NotKnownCSQ>(&engine)));
    EXPECT_FALSE(modem.replaceHandler(-1, std::make_unique<NotKnownCSQ>(&engine)));
    EXPECT_FALSE(modem.replaceHandler(VPerifModem::hCSQ, nullptr));
    EXPECT_TRUE(modem.replaceHandler(VPerifModem::hCSQ, std::make_unique<NotKnownCSQ>(&engine)));
    EXPECT_FALSE(modem.csq().isKnown());
    for (int i = 0; i < VPerifModem::HandlerCount; ++i) {
        ASSERT_NE(modem.handlerAt(i), nullptr);
        EXPECT_EQ(modem.handlerAt(i)->getOwner(), &engine) << i;
    }
    EXPECT_EQ(modem.getOwner(), &engine);
}

TEST_F(Fixture, PollingGateAlways)
{
    std::vector<std::string> log;
    InstallProbes(engine, log);
    window.automation = 0;
    window.focused = true;
    modem.tick(1);
    EXPECT_EQ(LogOf(log, "tick").size(), 18u);
}

TEST_F(Fixture, PollingGateTerminalFocusStopsPollingNotResponses)
{
    std::vector<std::string> log;
    InstallProbes(engine, log);
    window.automation = 1;
    window.focused = true;
    engine.tick(1);
    for (char c : std::string("OK\r\n"))
        engine.receivedByte(2, uint8_t(c));
    EXPECT_TRUE(LogOf(log, "tick").empty());
    EXPECT_EQ(LogOf(log, "onResponse").size(), 18u);
    window.focused = false;
    engine.tick(3);
    EXPECT_EQ(LogOf(log, "tick").size(), 18u);
}

TEST_F(Fixture, PollingGateByCheckBoxOrBasicUserLevel)
{
    std::vector<std::string> log;
    InstallProbes(engine, log);
    window.automation = 2;
    window.checked[VMainWindowLink::CheckRegul] = false;
    window.level = 1;  // "Pokročilé"
    modem.tick(1);
    EXPECT_TRUE(LogOf(log, "tick").empty());
    window.level = 0;  // "Základní": the check box is hidden, polling goes on
    modem.tick(2);
    EXPECT_EQ(LogOf(log, "tick").size(), 18u);
    window.level = 1;
    window.checked[VMainWindowLink::CheckRegul] = true;
    modem.tick(3);
    EXPECT_EQ(LogOf(log, "tick").size(), 36u);
    // Any other choice behaves as the check box choice.
    window.automation = 7;
    window.checked[VMainWindowLink::CheckRegul] = false;
    modem.tick(4);
    EXPECT_EQ(LogOf(log, "tick").size(), 36u);
}

TEST_F(Fixture, DataTickIsNeverGated)
{
    std::vector<std::string> log;
    InstallProbes(engine, log);
    window.automation = 2;
    engine.setMode(3);
    engine.tick(1);
    EXPECT_TRUE(LogOf(log, "tick").empty());
    EXPECT_EQ(LogOf(log, "dataTick").size(), 18u);
}

TEST_F(Fixture, BusyExceptIgnoresTheGivenHandler)
{
    std::vector<std::string> log;
    auto probes = InstallProbes(engine, log);
    // Until a device has answered the link watcher holds everybody back.
    EXPECT_TRUE(modem.isBusy());
    probes[VPerifModem::hActive]->quiet = true;
    EXPECT_FALSE(modem.isBusy());
    probes[VPerifModem::hProtikus]->busy = true;
    VPerif* protikus = modem.handlerAt(VPerifModem::hProtikus);
    EXPECT_TRUE(modem.isBusy());
    EXPECT_FALSE(modem.isBusyExcept(protikus));
    EXPECT_TRUE(modem.isBusyExcept(modem.handlerAt(VPerifModem::hCSQ)));
    probes[VPerifModem::hCOPS]->busy = true;
    EXPECT_TRUE(modem.isBusyExcept(protikus));
}

TEST_F(Fixture, SiemensQuirkOnlyForM1AndA1)
{
    auto identify = [&](int maker, int model) {
        modem.replaceHandler(VPerifModem::hCGMI, std::make_unique<CodedCGMI>(&engine, maker));
        modem.replaceHandler(VPerifModem::hCGMM, std::make_unique<CodedCGMM>(&engine, model));
        return modem.isSiemensQuirk();
    };
    EXPECT_FALSE(identify(0x1000, 0x202));
    EXPECT_FALSE(identify(0x1000, 0x101));
    EXPECT_TRUE(identify(0x1000, 0x301));
    EXPECT_TRUE(identify(0x2000, 0x202));
    EXPECT_TRUE(identify(0x0000, 0x000));
}

TEST_F(Fixture, AllInitialisedNamesTheFirstMissingStage)
{
    // Before any device answered, the link check is the first stage missing.
    EXPECT_FALSE(modem.allInitialised());
    EXPECT_EQ(engine.getMissing(), "AT");

    InstallSettledStartup(engine);
    InstallSettledStatus(engine);
    InstallSettledCalls(engine);
    engine.setMissing("old");
    EXPECT_TRUE(modem.allInitialised());
    EXPECT_EQ(engine.getMissing(), "old");  // left alone when all are ready

    modem.replaceHandler(VPerifModem::hCALA, std::make_unique<UnresolvedCALA>(&engine));
    EXPECT_FALSE(modem.allInitialised());
    EXPECT_EQ(engine.getMissing(), "AT+CALA");
    modem.replaceHandler(VPerifModem::hCCLK, std::make_unique<UnresolvedCCLK>(&engine));
    modem.replaceHandler(VPerifModem::hCSQ, std::make_unique<NotKnownCSQ>(&engine));
    EXPECT_FALSE(modem.allInitialised());
    EXPECT_EQ(engine.getMissing(), "AT+CSQ");
}

TEST_F(Fixture, BatteryIsNotAskedForReadiness)
{
    auto cbc = std::make_unique<SilentCBC>(&engine);
    SilentCBC* battery = cbc.get();
    modem.replaceHandler(VPerifModem::hCBC, std::move(cbc));
    InstallSettledStartup(engine);
    InstallSettledStatus(engine);
    InstallSettledCalls(engine);
    battery->waiting = true;
    EXPECT_TRUE(modem.allInitialised());
    EXPECT_TRUE(modem.isBusy());
}
