// The battery and charger handler, line by line with chosen ticks.
#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "engine/perif_cbc.h"
#include "tests/engine/status_stubs.h"
#include "tests/support/code_pages.h"

using W = VMainWindowLink;

namespace {

using TestSupport::Cz;

struct Cbc : ::testing::Test {
    TStatusRig rig{{VPerifModem::hCBC}};
    VPerifCBC& cbc = rig.modem.cbc();
    uint32_t t = rig.t0 + 10;

    std::string exchange(const std::vector<std::string>& info, const std::string& final = "OK")
    {
        t += 10;
        const std::string cmd = rig.pollSent(t);
        if (!cmd.empty())
            rig.answer(t += 10, cmd, info, final);
        return cmd;
    }
};

}  // namespace

TEST_F(Cbc, StandardRangesAndARead)
{
    EXPECT_FALSE(rig.window.enabled[W::GroupCBC]);
    EXPECT_EQ(rig.window.fontColors[W::GroupCBC], clGrayText);
    EXPECT_EQ(exchange({"+CBC: (0-3),(0-100)"}), "AT+CBC=?");
    EXPECT_EQ(cbc.getState(), 1);
    EXPECT_EQ(cbc.getChargeMax(), 100);
    EXPECT_EQ(cbc.getConsumptionMax(), 0);
    EXPECT_TRUE(rig.window.enabled[W::GroupCBC]);
    EXPECT_EQ(rig.window.fontColors[W::GroupCBC], clWindowText);
    EXPECT_EQ(exchange({"+CBC: 0,75"}), "AT+CBC");
    EXPECT_EQ(cbc.getChargerState(), 1);
    EXPECT_EQ(cbc.getCharge(), 75);
    EXPECT_EQ(rig.window.texts[W::LabelCBCCharger], Cz("Nepřipojen"));
    EXPECT_EQ(rig.window.hints[W::ImageCBC], Cz("Nepřipojen"));
    EXPECT_EQ(rig.window.imageIndex[W::ImageCBC], 1);
    EXPECT_EQ(rig.window.progress[W::ProgressBatt], 75);
    EXPECT_TRUE(rig.window.enabled[W::ProgressBatt]);
    EXPECT_FALSE(rig.window.enabled[W::ProgressConsumption]);
    // Read once; without the refresh check box never again.
    for (uint32_t dt = 0; dt < 60000; dt += 1000)
        EXPECT_EQ(rig.pollSent(t + dt), "");
}

TEST_F(Cbc, SiemensFallbackWithConsumption)
{
    EXPECT_EQ(exchange({}, "ERROR"), "AT+CBC=?");
    EXPECT_EQ(cbc.getState(), 2);
    EXPECT_EQ(exchange({"^SBC: (0-5),(0-100),(0-5000)"}), "AT^SBC=?");
    EXPECT_EQ(cbc.getState(), 3);
    EXPECT_EQ(rig.window.maxValues[W::ProgressConsumption], 5000);
    EXPECT_EQ(exchange({"^SBC: 2,60,120"}), "AT^SBC?");
    // Charging: the charge is not shown.
    EXPECT_EQ(rig.window.texts[W::LabelCBCCharger], Cz("Nabíjí se"));
    EXPECT_EQ(cbc.getCharge(), -1);
    EXPECT_FALSE(rig.window.enabled[W::ProgressBatt]);
    EXPECT_EQ(rig.window.fontColors[W::LabelBattery], clInactiveCaption);
    EXPECT_EQ(cbc.getConsumption(), 120);
    EXPECT_TRUE(rig.window.enabled[W::ProgressConsumption]);
    EXPECT_EQ(rig.window.progress[W::ProgressConsumption], 120);
}

TEST_F(Cbc, NoBatteryInformation)
{
    EXPECT_EQ(exchange({}, "ERROR"), "AT+CBC=?");
    EXPECT_EQ(exchange({}, "+CME ERROR: 4"), "AT^SBC=?");
    EXPECT_EQ(cbc.getState(), 4);
    EXPECT_FALSE(rig.window.enabled[W::GroupCBC]);
    for (uint32_t dt = 0; dt < 30000; dt += 700)
        EXPECT_EQ(rig.pollSent(t + dt), "");
}

TEST_F(Cbc, ChargeScaledToItsRange)
{
    exchange({"+CBC: (0-5),(0-5)"});
    exchange({"+CBC: 0,3"});
    EXPECT_EQ(cbc.getCharge(), 60);
    // Above the range: the previous value stays.
    rig.engine.sendLine(t, "AT+CBC", -1);
    rig.answer(t + 10, "AT+CBC", {"+CBC: 0,6"});
    EXPECT_EQ(cbc.getCharge(), 60);
    // Not in full power: unknown.
    rig.status.powerMode = 7;
    rig.engine.sendLine(t + 20, "AT+CBC", -1);
    rig.answer(t + 30, "AT+CBC", {"+CBC: 3,5"});
    EXPECT_EQ(cbc.getChargerState(), 4);
    EXPECT_EQ(cbc.getCharge(), -1);
}

TEST_F(Cbc, HugeNumbersStayInRange)
{
    exchange({"+CBC: (0-3),(0-2147483647)"});
    EXPECT_EQ(cbc.getChargeMax(), INT_MAX);
    exchange({"+CBC: 0,2147483647"});
    EXPECT_EQ(cbc.getCharge(), 100);
    rig.engine.sendLine(t, "AT+CBC", -1);
    rig.answer(t + 10, "AT+CBC", {"+CBC: 99,-2147483648"});
    EXPECT_EQ(cbc.getChargerState(), 1);  // 99 is no charger status
    EXPECT_LE(cbc.getCharge(), 0);
}

TEST_F(Cbc, EmptyFirstTokenLeavesNoRanges)
{
    exchange({"+CBC: ,(0-100)"});
    EXPECT_EQ(cbc.getChargeMax(), 0);
    exchange({"+CBC: 0,50"});
    EXPECT_EQ(cbc.getCharge(), -1);
}

TEST_F(Cbc, LanguageChangeTranslatesWithoutAsking)
{
    exchange({"+CBC: (0-3),(0-100)"});
    exchange({"+CBC: 3,100"});
    EXPECT_EQ(rig.window.texts[W::LabelCBCCharger], "Nabito");
    rig.window.langTexts["Texts/ChargerState_4"] = "Charged";
    cbc.showCharger();
    EXPECT_EQ(rig.window.texts[W::LabelCBCCharger], "Charged");
    EXPECT_EQ(rig.window.hints[W::ImageCBC], "Charged");
    EXPECT_TRUE(rig.sent().empty());
}

TEST_F(Cbc, RefreshEvery15sWhileChecked)
{
    exchange({"+CBC: (0-3),(0-100)"});
    exchange({"+CBC: 0,75"});
    const uint32_t readAt = t;
    rig.window.checked[W::CheckTestSignal] = true;
    EXPECT_EQ(rig.pollSent(readAt + 15000), "");
    EXPECT_EQ(rig.pollSent(readAt + 15001), "AT+CBC");
}

TEST_F(Cbc, ReadErrorBacksOff)
{
    exchange({"+CBC: (0-3),(0-100)"});
    EXPECT_EQ(exchange({}, "ERROR"), "AT+CBC");
    for (uint32_t dt = 10; dt <= 2000; dt += 10)
        ASSERT_EQ(rig.pollSent(t + dt), "") << dt;
    EXPECT_EQ(rig.pollSent(t + 2001), "AT+CBC");
}

TEST_F(Cbc, DoesNotWaitForTheSim)
{
    rig.status.simReady = false;
    rig.status.fullPower = false;
    EXPECT_EQ(rig.pollSent(t), "AT+CBC=?");
    rig.answer(t + 10, "AT+CBC=?", {"+CBC: (0-3),(0-100)"});
    rig.status.steady = false;
    EXPECT_EQ(rig.pollSent(t + 20), "");
}

TEST_F(Cbc, TypedCommandsAreRecognised)
{
    rig.engine.sendLine(t, "at^sbc=?", -1);
    EXPECT_TRUE(cbc.isBusy());
    rig.line(t + 10, "ERROR\r\n");
    EXPECT_FALSE(cbc.isBusy());
    EXPECT_EQ(cbc.getState(), 0);  // a probe error counts only in its own state
    rig.engine.sendLine(t + 20, "AT+CBC?", -1);
    EXPECT_TRUE(cbc.isBusy());
    rig.line(t + 30, "OK\r\n");
    rig.engine.sendLine(t + 40, "AT+CBCX", -1);
    EXPECT_FALSE(cbc.isBusy());
}

TEST_F(Cbc, UnansweredCommandRepeatedAfter700ms)
{
    EXPECT_EQ(rig.pollSent(t), "AT+CBC=?");
    EXPECT_EQ(rig.pollSent(t + 700), "");
    EXPECT_EQ(rig.pollSent(t + 701), "AT+CBC=?");
}

TEST_F(Cbc, RestartShowsNothingKnown)
{
    exchange({"+CBC: (0-3),(0-100)"});
    exchange({"+CBC: 0,75"});
    ASSERT_TRUE(rig.window.enabled[W::ProgressBatt]);
    rig.engine.restart(t + 10);
    EXPECT_EQ(cbc.getState(), 0);
    EXPECT_FALSE(rig.window.enabled[W::GroupCBC]);
    EXPECT_FALSE(rig.window.enabled[W::ProgressBatt]);
    EXPECT_EQ(rig.window.progress[W::ProgressBatt], -1);
    EXPECT_EQ(rig.window.texts[W::LabelCBCCharger], Cz("Neznámý stav"));
    EXPECT_EQ(rig.window.imageIndex[W::ImageCBC], 0);
    // And probes again.
    EXPECT_EQ(rig.pollSent(t + 20), "AT+CBC=?");
}
