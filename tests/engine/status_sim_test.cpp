// The operator, signal, clock, alarm and battery handlers against the
// simulated device over the real serial component. The start-up handlers
// are stand-ins here (answering, full power, SIM ready): these tests are
// about the five handlers and what they send and read.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "engine/perif_cala.h"
#include "engine/perif_cbc.h"
#include "engine/perif_cclk.h"
#include "engine/perif_cops.h"
#include "engine/perif_csq.h"
#include "foundation/tixutils_datetime.h"
#include "platform/tick.h"
#include "tests/engine/engine_on_sim.h"
#include "tests/engine/status_stubs.h"
#include "tests/support/code_pages.h"

using EngineTest::TEngineOnSim;
using W = VMainWindowLink;

namespace {

using TestSupport::Cz;

bool StartsWith(const std::string& s, const std::string& prefix)
{
    return s.compare(0, prefix.size(), prefix) == 0;
}

// A device clock frozen at 8 Dec 2002 10:37:20; the PC at 10:00:00.
const ModemSim::TDateTime DeviceTime{2002, 12, 8, 10, 37, 20};
const double PcTime = DateTimeOf(2002, 12, 8, 10, 0, 0);

struct StatusOnSim : ::testing::Test {
    TStubStatus status;
    std::unique_ptr<TEngineOnSim> rig;

    void TearDown() override
    {
        rig.reset();
        Tixutils::SetNowFunction(nullptr);
    }
    // Boots the simulator and the engine; `before` runs on the device
    // before the handlers' first tick.
    void boot(const std::string& profile, bool frozenClock = false,
              const std::function<void(ModemSim::TDevice&)>& before = nullptr)
    {
        ModemSim::TSimOptions options;
        options.profile = ModemSim::TProfile::Builtin(profile);
        if (frozenClock) {
            options.time = std::make_shared<ModemSim::TManualTime>(ModemSim::DateTimeToMs(DeviceTime));
            Tixutils::SetNowFunction([] { return PcTime; });
        }
        rig = std::make_unique<TEngineOnSim>(std::move(options));
        std::string error;
        ASSERT_TRUE(rig->Boot(&error)) << error;
        if (before)
            rig->Sim().WithDevice(before);
        InstallStatusStubs(rig->Engine(), status,
                           {VPerifModem::hCOPS, VPerifModem::hCSQ, VPerifModem::hCCLK,
                            VPerifModem::hCALA, VPerifModem::hCBC});
        rig->Engine().restart(Platform::GetTickCount());
    }
    VPerifModem& m() { return rig->Engine().getHandlers(); }
    std::vector<std::string> commands(const std::string& prefix)
    {
        std::vector<std::string> out;
        for (const auto& c : rig->Sim().Transcript().Commands())
            if (StartsWith(c, prefix))
                out.push_back(c);
        return out;
    }
    std::string dump() { return rig->Sim().Transcript().ToText(); }
};

using V = std::vector<std::string>;

}  // namespace

TEST_F(StatusOnSim, OperatorNamesListAndManualSelection)
{
    // The device starts in numeric format.
    boot("tc35", false, [](ModemSim::TDevice& d) { d.copsFormat = 2; });
    VPerifCOPS& cops = m().cops();
    auto quiet = [&] {
        const int restore = cops.getFormatToRestore();
        return cops.isSettled() && !cops.isBusy() && (restore == -1 || restore == cops.getFormat());
    };
    ASSERT_TRUE(rig->RunUntil(quiet, 20000)) << dump();
    EXPECT_EQ(commands("AT+COPS"),
              (V{"AT+COPS?", "AT+COPS=3,0", "AT+COPS?", "AT+COPS=3,1", "AT+COPS?", "AT+COPS=3,2"}));
    const std::string answers = rig->Sim().Transcript().Stream(ModemSim::TDirection::Sent);
    EXPECT_NE(answers.find("+COPS: 0,2,\"23001\"\r\n"), std::string::npos);
    EXPECT_NE(answers.find("+COPS: 0,0,\"T-Mobile CZ\"\r\n"), std::string::npos);
    EXPECT_NE(answers.find("+COPS: 0,1,\"TMO CZ\"\r\n"), std::string::npos);
    ASSERT_EQ(cops.operatorCount(), 1);
    EXPECT_EQ(cops.operatorAt(0)->name(), "T-Mobile CZ");
    EXPECT_EQ(cops.operatorAt(0)->shortName, "TMO CZ");
    EXPECT_EQ(cops.operatorAt(0)->numericName, "23001");
    EXPECT_EQ(rig->window.comboItems.at(0), std::make_pair(std::string("T-Mobile CZ"), 23001));
    int format = -1;
    rig->Sim().WithDevice([&](ModemSim::TDevice& d) { format = d.copsFormat; });
    EXPECT_EQ(format, 2);  // the device's own format is back

    // The query button: the list arrives seconds later.
    const uint32_t asked = Platform::GetTickCount();
    rig->Engine().sendLine(asked, "AT+COPS=?", -1);
    ASSERT_TRUE(rig->RunUntil([&] { return cops.operatorCount() == 3; }, 20000)) << dump();
    EXPECT_GE(Platform::GetTickCount() - asked, 2000u);
    EXPECT_EQ(cops.operatorAt(1)->name(), "Vodafone CZ");
    EXPECT_EQ(cops.operatorAt(2)->status, 3);
    ASSERT_TRUE(rig->RunUntil([&] { return !cops.isBusy(); }, 5000));

    // The user picks the second operator.
    cops.requestSelect(1);
    ASSERT_TRUE(rig->RunUntil([&] { return cops.getCurrentIndex() == 1 && cops.isSettled(); }, 20000))
        << dump();
    EXPECT_EQ(commands("AT+COPS=1").back(), "AT+COPS=1,2,\"23003\"");
    EXPECT_EQ(cops.currentName(), "Vodafone CZ");
    EXPECT_EQ(rig->window.comboIndex, 1);
    std::string current;
    rig->Sim().WithDevice([&](ModemSim::TDevice& d) { current = d.currentOperator; });
    EXPECT_EQ(current, "23003");
}

TEST_F(StatusOnSim, OperatorRecoversFromDeregisteredMode)
{
    boot("tc35", false, [](ModemSim::TDevice& d) {
        d.copsMode = 2;
        d.Deregister();
    });
    VPerifCOPS& cops = m().cops();
    ASSERT_TRUE(rig->RunUntil([&] { return cops.hasOperator() && cops.isSettled(); }, 20000)) << dump();
    // The switch to automatic takes the device a second, and the handler
    // repeats an unanswered command after 700 ms: it may go out twice.
    V cmds = commands("AT+COPS");
    ASSERT_GE(cmds.size(), 3u);
    EXPECT_EQ(cmds[0], "AT+COPS?");
    EXPECT_EQ(cmds[1], "AT+COPS=0,2");
    size_t next = 2;
    while (next < cmds.size() && cmds[next] == "AT+COPS=0,2")
        ++next;
    ASSERT_LT(next, cmds.size());
    EXPECT_EQ(cmds[next], "AT+COPS?");
    EXPECT_NE(rig->Sim().Transcript().Stream(ModemSim::TDirection::Sent).find("+COPS: 2\r\n"),
              std::string::npos);
    EXPECT_EQ(cops.getMode(), 0);
    EXPECT_EQ(cops.currentName(), "T-Mobile CZ");
}

TEST_F(StatusOnSim, SignalKeepsRssiAndBer99)
{
    boot("tc35");
    rig->Sim().SetSignal(15, 99);
    VPerifCSQ& csq = m().csq();
    ASSERT_TRUE(rig->RunUntil([&] { return csq.isKnown(); }, 10000)) << dump();
    int rssi = 0, ber = 0;
    csq.getValues(rssi, ber);
    EXPECT_EQ(rssi, 15);
    EXPECT_EQ(ber, 99);
    EXPECT_NE(rig->Sim().Transcript().Stream(ModemSim::TDirection::Sent).find("+CSQ: 15,99\r\n"),
              std::string::npos);
    // The display shows the strength and hides the quality it cannot show.
    EXPECT_EQ(rig->window.hints[W::GaugeSigStr], Cz("Síla signálu:") + " -83 dBm");
    EXPECT_FALSE(rig->window.visible[W::GaugeSigQual]);
}

TEST_F(StatusOnSim, ClockWithZoneSuffixAndTheNextWrite)
{
    boot("wavecom", true);
    VPerifCCLK& cclk = m().cclk();
    ASSERT_TRUE(rig->RunUntil([&] { return cclk.getState() == 2 && !cclk.isBusy(); }, 10000)) << dump();
    EXPECT_EQ(commands("AT+CCLK"), (V{"AT+CCLK=?", "AT+CCLK?"}));
    EXPECT_EQ(cclk.getOffset(), 37 * 60 + 20);
    EXPECT_EQ(cclk.getZoneSuffix(), "+04");
    rig->RunFor(300);
    EXPECT_EQ(rig->window.texts[W::EditCCLKtime], "8.12.2002 10:37:20");
    EXPECT_EQ(rig->window.texts[W::EditCCLKofs], "37m 20s");

    // The write button: PC time plus the offset edit's duration, with the
    // device's zone suffix.
    rig->window.texts[W::EditCCLKofs] = "1h";
    const std::string line = "AT+CCLK=\"02/12/08,11:00:00" + cclk.getZoneSuffix() + "\"";
    rig->Engine().sendLine(Platform::GetTickCount(), line.c_str(), -1);
    ASSERT_TRUE(rig->RunUntil([&] { return !cclk.isBusy(); }, 5000));
    EXPECT_EQ(commands("AT+CCLK=\"").back(), "AT+CCLK=\"02/12/08,11:00:00+04\"");
    EXPECT_TRUE(rig->Sim().Transcript().WaitForEvent("clock set to 02/12/08,11:00:00+04", 1000));
    EXPECT_EQ(cclk.getOffset(), 3600);
    EXPECT_EQ(rig->window.texts[W::EditCCLKofs], "1h");
}

TEST_F(StatusOnSim, AlarmRelativeZeroIsDeviceNowPlusOneSecond)
{
    boot("tc35", true);
    VPerifCALA& cala = m().cala();
    ASSERT_TRUE(rig->RunUntil([&] { return cala.getState() == 2 && !cala.isBusy(); }, 10000)) << dump();
    EXPECT_EQ(m().cclk().getOffset(), 37 * 60 + 20);
    EXPECT_EQ(rig->window.texts[W::EditCALAtime], "1.1.2000 0:00:00");
    cala.setRelative(0, true);
    cala.requestWrite();
    ASSERT_TRUE(rig->RunUntil([&] { return !cala.isWriteRequested(); }, 5000)) << dump();
    EXPECT_EQ(commands("AT+CALA=\"").back(), "AT+CALA=\"02/12/08,10:37:21\",0,0");
    bool set = false;
    int64_t at = 0;
    rig->Sim().WithDevice([&](ModemSim::TDevice& d) {
        set = d.alarmSet;
        at = d.alarmMs;
    });
    EXPECT_TRUE(set);
    EXPECT_EQ(at, ModemSim::DateTimeToMs(DeviceTime) + 1000);
}

TEST_F(StatusOnSim, BatteryFallsBackToTheSiemensCommand)
{
    boot("tc35", false, [](ModemSim::TDevice& d) {
        d.chargerStatus = 0;
        d.batteryLevel = 64;
        d.consumption = 250;
    });
    VPerifCBC& cbc = m().cbc();
    ASSERT_TRUE(rig->RunUntil([&] { return cbc.getCharge() >= 0 && !cbc.isBusy(); }, 10000)) << dump();
    EXPECT_EQ(commands("AT+CBC"), V{"AT+CBC=?"});
    EXPECT_EQ(commands("AT^SBC"), (V{"AT^SBC=?", "AT^SBC?"}));
    EXPECT_EQ(cbc.getState(), 3);
    EXPECT_EQ(cbc.getCharge(), 64);
    EXPECT_EQ(cbc.getConsumption(), 250);
    EXPECT_EQ(rig->window.maxValues[W::ProgressConsumption], 5000);
    EXPECT_EQ(rig->window.texts[W::LabelCBCCharger], Cz("Nepřipojen"));
}
