// The operator handler, line by line with chosen ticks, against a small
// scripted network.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "engine/perif_cops.h"
#include "tests/engine/status_stubs.h"

using W = VMainWindowLink;

namespace {

struct TNet {
    int mode = 0;
    int format = 0;
    std::string names[3] = {"T-Mobile CZ", "TMO CZ", "23001"};
    bool registered = true;
    bool refuseShort = false;
    bool refuseManual = false;
};

struct Cops : ::testing::Test {
    TStatusRig rig{{VPerifModem::hCOPS}};
    VPerifCOPS& cops = rig.modem.cops();
    TNet net;
    uint32_t t = rig.t0 + 10;
    std::vector<std::string> commands;

    // One poll; a command it writes is answered by the scripted network.
    std::string step()
    {
        t += 10;
        const std::string cmd = rig.pollSent(t);
        if (cmd.empty())
            return cmd;
        commands.push_back(cmd);
        t += 10;
        std::vector<std::string> info;
        std::string final = "OK";
        if (cmd == "AT+COPS?") {
            if (!net.registered)
                info.push_back("+COPS: " + std::to_string(net.mode));
            else
                info.push_back("+COPS: " + std::to_string(net.mode) + "," +
                               std::to_string(net.format) + ",\"" + net.names[net.format] + "\"");
        } else if (cmd.rfind("AT+COPS=3,", 0) == 0) {
            const int f = cmd.back() - '0';
            if (f == 1 && net.refuseShort)
                final = "ERROR";
            else
                net.format = f;
        } else if (cmd == "AT+COPS=0,2") {
            net.mode = 0;
            net.format = 2;
            net.registered = true;
        } else if (cmd.rfind("AT+COPS=1,", 0) == 0) {
            if (net.refuseManual)
                final = "+CME ERROR: 30";
            else
                net.mode = 1;
        }
        rig.answer(t, cmd, info, final);
        return cmd;
    }
    // Steps until settled (or a limit); the commands written on the way.
    std::vector<std::string> settle(int limit = 200)
    {
        commands.clear();
        for (int i = 0; i < limit; ++i) {
            step();
            if (cops.isSettled() && step().empty())
                break;
        }
        return commands;
    }
    std::vector<std::string> records() const
    {
        std::vector<std::string> out;
        for (int i = 0; i < cops.operatorCount(); ++i) {
            const auto* r = cops.operatorAt(i);
            out.push_back(std::to_string(r->status) + "|" + r->longName + "|" + r->shortName + "|" +
                          r->numericName);
        }
        return out;
    }
    void listAnswer(const std::string& list)
    {
        t += 10;
        rig.engine.sendLine(t, "AT+COPS=?", -1);
        rig.sent();
        EXPECT_TRUE(cops.isBusy());
        rig.answer(t + 10, "AT+COPS=?", {"+COPS: " + list});
        t += 20;
    }
};

using V = std::vector<std::string>;

}  // namespace

TEST_F(Cops, NamesGatheredFromNumericAndFormatRestored)
{
    net.format = 2;
    step();
    EXPECT_EQ(records(), V{"2|||23001"});
    EXPECT_EQ(cops.getCurrentIndex(), 0);
    EXPECT_TRUE(cops.hasOperator());
    EXPECT_FALSE(cops.isSettled());
    ASSERT_EQ(rig.window.comboItems.size(), 1u);
    EXPECT_EQ(rig.window.comboItems[0].second, 23001);
    EXPECT_EQ(rig.window.comboIndex, 0);
    EXPECT_TRUE(rig.window.enabled[W::BtnQueryOp]);

    EXPECT_EQ(settle(), (V{"AT+COPS=3,0", "AT+COPS?", "AT+COPS=3,1", "AT+COPS?", "AT+COPS=3,2"}));
    EXPECT_EQ(records(), V{"2|T-Mobile CZ|TMO CZ|23001"});
    EXPECT_EQ(cops.getCurrentIndex(), 0);
    EXPECT_EQ(cops.getFormat(), 2);
    EXPECT_EQ(net.format, 2);
    EXPECT_EQ(cops.currentName(), "T-Mobile CZ");
    // The combo item shows the long name now.
    EXPECT_EQ(rig.window.comboItems[0].first, "T-Mobile CZ");
    // Quiet from then on.
    for (int i = 0; i < 20; ++i)
        EXPECT_EQ(step(), "");
}

TEST_F(Cops, LongFormatDeviceAndRefusedFormat)
{
    net.refuseShort = true;
    EXPECT_EQ(settle(), (V{"AT+COPS?", "AT+COPS=3,1", "AT+COPS=3,2", "AT+COPS?", "AT+COPS=3,0"}));
    EXPECT_TRUE(cops.isSettled());
    EXPECT_EQ(records(), V{"2|T-Mobile CZ||23001"});
    // The refused format is not asked for again, even after the pause.
    t += 5000;
    EXPECT_EQ(step(), "");
}

TEST_F(Cops, ErrorPausesAndARefusedRestoreIsDropped)
{
    // The device reads in short format but refuses to be set back to it.
    net.refuseShort = true;
    net.format = 1;
    std::string cmd;
    for (int i = 0; i < 100 && cmd != "AT+COPS=3,1"; ++i)
        cmd = step();
    ASSERT_EQ(cmd, "AT+COPS=3,1");
    EXPECT_EQ(commands, (V{"AT+COPS?", "AT+COPS=3,0", "AT+COPS?", "AT+COPS=3,2", "AT+COPS?",
                           "AT+COPS=3,1"}));
    // The error came at t: nothing for 700 ms, and then nothing more at all.
    const uint32_t errorAt = t;
    for (uint32_t dt = 10; dt <= 3000; dt += 10)
        ASSERT_EQ(rig.pollSent(errorAt + dt), "") << dt;
    EXPECT_TRUE(cops.isSettled());
    EXPECT_EQ(records(), V{"2|T-Mobile CZ|TMO CZ|23001"});
}

TEST_F(Cops, CCPrefixNeverReplacesAKnownLongName)
{
    settle();
    cops.setLongName("CC 230 01");
    EXPECT_EQ(cops.getCurrentLong(), "T-Mobile CZ");
    EXPECT_EQ(cops.findOperator("CC 230 01", "", "23001"), 0);
    EXPECT_EQ(records(), V{"2|T-Mobile CZ|TMO CZ|23001"});
    // Without a known name the "CC " one is taken.
    cops.addOperator(std::make_unique<VPerifCOPS::Operator>("", "", "23003", 1));
    EXPECT_EQ(cops.findOperator("CC 230 03", "", "23003"), 1);
    EXPECT_EQ(cops.operatorAt(1)->longName, "CC 230 03");
}

TEST_F(Cops, NetworkListGroups)
{
    settle();
    listAnswer("(2,\"T-Mobile CZ\",\"TMO CZ\",\"23001\"),(1,\"Voda, fone (CZ)\",\"23003\"),"
               "(3,\"O2 - CZ\",\"O2\",\"23002\"),,(0-4),(0-2)");
    EXPECT_EQ(records(), (V{"2|T-Mobile CZ|TMO CZ|23001", "1|Voda, fone (CZ)||23003",
                           "3|O2 - CZ|O2|23002"}));
    ASSERT_EQ(rig.window.comboItems.size(), 3u);
    EXPECT_EQ(rig.window.comboItems[1], std::make_pair(std::string("Voda, fone (CZ)"), 23003));
    rig.line(t, "OK\r\n");
    EXPECT_FALSE(cops.isBusy());
    // The same list again adds nothing.
    listAnswer("(2,\"T-Mobile CZ\",\"TMO CZ\",\"23001\"),(1,\"Voda, fone (CZ)\",\"23003\")");
    EXPECT_EQ(cops.operatorCount(), 3);
}

TEST_F(Cops, ListWithoutNetworksAddsNothing)
{
    settle();
    listAnswer(",,(0-4),(0-2)");
    EXPECT_EQ(cops.operatorCount(), 1);
    listAnswer(",,(0,1,2,3,4),(0,1,2)");
    EXPECT_EQ(cops.operatorCount(), 1);
    listAnswer("(1,\"Unclosed\",\"23009\"");
    EXPECT_EQ(cops.operatorCount(), 1);
    // An unparenthesised answer while the search is pending is one group.
    listAnswer("1,\"Vodafone CZ\",\"VF\",\"23003\"");
    EXPECT_EQ(records(), (V{"2|T-Mobile CZ|TMO CZ|23001", "1|Vodafone CZ|VF|23003"}));
}

TEST_F(Cops, SearchGivenUpAfter40s)
{
    settle();
    t += 10;
    rig.engine.sendLine(t, "AT+COPS=?", -1);
    rig.sent();
    const uint32_t sentAt = t;
    rig.poll(sentAt + 40000);
    EXPECT_TRUE(cops.isBusy());
    rig.poll(sentAt + 40001);
    EXPECT_FALSE(cops.isBusy());
}

TEST_F(Cops, ManualSelectionOfThePickedOperator)
{
    settle();
    listAnswer("(2,\"T-Mobile CZ\",\"TMO CZ\",\"23001\"),(1,\"Vodafone CZ\",\"VF CZ\",\"23003\"),,(0-4),(0-2)");
    rig.line(t, "OK\r\n");
    // A pick of the current operator sends nothing.
    cops.requestSelect(0);
    EXPECT_EQ(step(), "");
    EXPECT_EQ(cops.getRequestedIndex(), -1);
    // Out of range: ignored.
    cops.requestSelect(2);
    cops.requestSelect(-1);
    EXPECT_EQ(cops.getRequestedIndex(), -1);

    cops.requestSelect(1);
    EXPECT_EQ(step(), "AT+COPS=1,0,\"Vodafone CZ\"");
    EXPECT_EQ(cops.getCurrentIndex(), 1);
    EXPECT_EQ(cops.getMode(), 1);
    EXPECT_EQ(rig.window.comboIndex, 1);
    EXPECT_EQ(cops.currentName(), "Vodafone CZ");
    EXPECT_EQ(cops.getCurrentNumeric(), "23003");
    // All names came from the record: settled without asking.
    EXPECT_EQ(settle(), V{});
    EXPECT_TRUE(cops.isSettled());
    EXPECT_EQ(cops.getRequestedIndex(), -1);
}

TEST_F(Cops, SiemensM1AndA1GetTheNameUnquoted)
{
    rig.status.makerCode = 0x1000;
    rig.status.modelCode = 0x202;
    settle();
    cops.addOperator(std::make_unique<VPerifCOPS::Operator>("Vodafone CZ", "VF", "23003", 1));
    cops.requestSelect(1);
    EXPECT_EQ(step(), "AT+COPS=1,0,Vodafone CZ");
}

TEST_F(Cops, RefusedManualRegistrationIsNotRepeated)
{
    settle();
    cops.addOperator(std::make_unique<VPerifCOPS::Operator>("O2 - CZ", "O2", "23002", 3));
    net.refuseManual = true;
    cops.requestSelect(1);
    EXPECT_EQ(step(), "AT+COPS=1,0,\"O2 - CZ\"");
    EXPECT_EQ(cops.getCurrentIndex(), -1);
    EXPECT_EQ(cops.getRequestedIndex(), -1);
    // Re-read after the pause, settle again: the pick is not sent again.
    t += 700;
    const V again = settle();
    ASSERT_FALSE(again.empty());
    EXPECT_EQ(again.front(), "AT+COPS?");
    for (const auto& c : again)
        EXPECT_EQ(c.rfind("AT+COPS=1,", 0), std::string::npos) << c;
    EXPECT_EQ(cops.getCurrentIndex(), 0);
}

TEST_F(Cops, OneCommandPerTickRestoreBeforePick)
{
    net.format = 2;
    // Gather up to the point where only the restore is left.
    for (int i = 0; i < 40 && cops.getNamesKnown() != 7; ++i)
        step();
    cops.addOperator(std::make_unique<VPerifCOPS::Operator>("Vodafone CZ", "VF", "23003", 1));
    cops.requestSelect(1);
    t += 10;
    EXPECT_EQ(rig.pollSent(t), "AT+COPS=3,2");  // alone in its tick
    rig.answer(t + 10, "AT+COPS=3,2", {});
    t += 20;
    EXPECT_EQ(rig.pollSent(t), "AT+COPS=1,2,\"23003\"");
}

TEST_F(Cops, ModeWithoutOperatorSwitchesToAutomatic)
{
    net.registered = false;
    net.mode = 2;
    step();
    EXPECT_EQ(cops.getCurrentIndex(), -2);
    EXPECT_TRUE(cops.isSettled());
    EXPECT_FALSE(cops.hasOperator());
    EXPECT_FALSE(rig.window.enabled[W::BtnQueryOp]);
    EXPECT_EQ(step(), "AT+COPS=0,2");
    EXPECT_EQ(cops.getCurrentIndex(), -1);
    EXPECT_EQ(step(), "AT+COPS?");
    EXPECT_EQ(cops.getCurrentIndex(), 0);
    EXPECT_EQ(cops.getCurrentNumeric(), "23001");
}

TEST_F(Cops, AutomaticWithoutOperatorReadsAgainNotOnEveryTick)
{
    net.registered = false;
    rig.status.regStat = 2;
    step();
    EXPECT_EQ(cops.getCurrentIndex(), -2);
    const uint32_t readAt = t;  // the echo's time
    EXPECT_EQ(rig.pollSent(readAt + 5000), "");
    EXPECT_EQ(rig.pollSent(readAt + 5001), "AT+COPS?");
    rig.answer(readAt + 5010, "AT+COPS?", {"+COPS: 0"});
    // Registered: sooner, but not at once.
    rig.status.regStat = 1;
    EXPECT_EQ(rig.pollSent(readAt + 5100), "");
    EXPECT_EQ(rig.pollSent(readAt + 7010), "");
    EXPECT_EQ(rig.pollSent(readAt + 7011), "AT+COPS?");
}

TEST_F(Cops, ReadAnswerWithoutLongNameLeavesModeUnknown)
{
    rig.engine.sendLine(t, "AT+COPS?", -1);
    rig.line(t, "+COPS: 0,0,\"\"\r\n");
    EXPECT_EQ(cops.getMode(), -1);
    EXPECT_EQ(cops.getCurrentIndex(), -1);
    EXPECT_EQ(cops.operatorCount(), 0);
}

TEST_F(Cops, AnotherOperatorDoesNotTakeTheOldNames)
{
    settle();
    listAnswer("(2,\"T-Mobile CZ\",\"TMO CZ\",\"23001\"),(1,\"Vodafone CZ\",\"VF CZ\",\"23003\"),,(0-4),(0-2)");
    rig.line(t, "OK\r\n");
    // The device moved to Vodafone; the operator is read again.
    cops.setCurrentIndex(-1);
    net.names[0] = "Vodafone CZ";
    net.names[1] = "VF CZ";
    net.names[2] = "23003";
    settle();
    EXPECT_EQ(cops.getCurrentIndex(), 1);
    EXPECT_EQ(records(), (V{"2|T-Mobile CZ|TMO CZ|23001", "1|Vodafone CZ|VF CZ|23003"}));
    EXPECT_EQ(rig.window.comboItems[0].second, 23001);
    EXPECT_EQ(rig.window.comboItems[1].second, 23003);
}

TEST_F(Cops, NamesFromTheDeviceCannotBreakTheCommand)
{
    settle();
    cops.addOperator(std::make_unique<VPerifCOPS::Operator>("Evil\"\r\nAT+CFUN=0\x1A", "", "", 1));
    cops.requestSelect(1);
    EXPECT_EQ(rig.pollSent(t + 10), "AT+COPS=1,0,\"EvilAT+CFUN=0\"");
}

TEST_F(Cops, PickWithoutANameInTheFormatIsDropped)
{
    settle();
    cops.addOperator(std::make_unique<VPerifCOPS::Operator>("", "", "23005", 1));
    cops.requestSelect(1);
    EXPECT_EQ(step(), "");
    EXPECT_EQ(cops.getRequestedIndex(), -1);
}

TEST_F(Cops, ResetForgetsEverything)
{
    settle();
    rig.engine.resetAll(t);
    EXPECT_EQ(cops.operatorCount(), 0);
    EXPECT_EQ(cops.getCurrentIndex(), -1);
    EXPECT_TRUE(rig.window.comboItems.empty());
    EXPECT_EQ(cops.currentName(), "Oper. nezji\x9At\xECn");
    EXPECT_FALSE(cops.isBusy());
}

TEST_F(Cops, WaitsForTheStartUpStages)
{
    rig.status.simReady = false;
    EXPECT_EQ(step(), "");
    rig.status.simReady = true;
    rig.status.fullPower = false;
    EXPECT_EQ(step(), "");
    rig.status.fullPower = true;
    EXPECT_EQ(step(), "AT+COPS?");
}

TEST_F(Cops, UnansweredReadIsRepeated)
{
    t += 10;
    EXPECT_EQ(rig.pollSent(t), "AT+COPS?");
    EXPECT_EQ(rig.pollSent(t + 700), "");
    EXPECT_EQ(rig.pollSent(t + 701), "AT+COPS?");
}

TEST_F(Cops, ReadErrorPauses700ms)
{
    t += 10;
    ASSERT_EQ(rig.pollSent(t), "AT+COPS?");
    rig.answer(t + 10, "AT+COPS?", {}, "+CME ERROR: 10");
    const uint32_t errorAt = t + 10;
    EXPECT_FALSE(cops.isBusy());
    EXPECT_EQ(rig.pollSent(errorAt + 700), "");
    EXPECT_EQ(rig.pollSent(errorAt + 701), "AT+COPS?");
}
