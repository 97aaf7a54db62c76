// The call handler on the handler rig: start-up commands, incoming and
// outgoing calls, call reports, hanging up in both modes, and the end of
// a call as the other handlers are told of it.
#include <gtest/gtest.h>

#include <string>

#include "tests/engine/calls_rig.h"
#include "tests/support/code_pages.h"

using TestSupport::Cz;
using W = VMainWindowLink;

namespace {

// A settled rig whose row 0 holds an active outgoing data call, engine in
// data mode, the remote-party handler serving its party.
void ActiveDataCall(TCallsRig& rig)
{
    rig.settle();
    ASSERT_TRUE(rig.calls().dial(rig.now, false, "777"));
    rig.line("ATD777\r\r\n");
    rig.line("CONNECT 9600\r\n");
    ASSERT_EQ(rig.engine.getMode(), 3);
    rig.protikus().attach(true);
    ASSERT_EQ(rig.protikus().getCurrent(), &rig.calls().row(0).remote);
    const uint8_t identity[8] = {1, 1, 0x50, 0, 1, 0xFF, 0x02, 0x21};
    rig.calls().row(0).remote.setIdentity(identity, 8);
    rig.abandoned.clear();
    rig.sent();
}

}  // namespace

TEST(Calls, StartUpSwitchesOnReportsOnlyOnEricssonThenReadsTheActivity)
{
    struct TCase {
        int maker;
        const char* first;
    };
    for (const TCase c : {TCase{0x2000, "AT*ECAM=1\r"}, TCase{0x1000, "AT+CLIP=1\r"}, TCase{0xF000, "AT+CLIP=1\r"}}) {
        TCallsRig rig(c.maker, 0x102);
        VPerifCalls& calls = rig.calls();
        // Rows drawn undetermined.
        for (const auto& row : rig.window.callRows) {
            EXPECT_EQ(row.statePicture, 0);
            EXPECT_EQ(row.typePicture, 0);
        }
        EXPECT_GE(rig.window.callRowsCreated, 1);
        EXPECT_FALSE(calls.isSettled());
        EXPECT_EQ(rig.runSent(10), c.first) << c.maker;
        if (c.maker == 0x2000) {
            rig.reply("AT*ECAM=1");
            EXPECT_EQ(calls.getEcamMode(), 1);
            EXPECT_EQ(rig.runSent(10), "AT+CLIP=1\r");
        }
        rig.reply("AT+CLIP=1");
        EXPECT_EQ(calls.getClipMode(), 1);
        EXPECT_TRUE(calls.isSettled());
        // The rows are undetermined: the activity is read 700 ms after the reset.
        EXPECT_EQ(rig.runSent(600), "");
        EXPECT_EQ(rig.runSent(200), "AT+CPAS\r");
        rig.line("AT+CPAS\r\r\n+CPAS: 0\r\n\r\nOK\r\n");
        EXPECT_EQ(rig.states(), "0 0 0 0 0 0 0 0");
        EXPECT_EQ(rig.window.callRows[7].statePicture, 1);
        // Free rows are not polled.
        EXPECT_EQ(rig.runSent(5000), "");
        EXPECT_TRUE(calls.isSettled());
    }
}

TEST(Calls, RefusedSwitchOnIsTriedThreeTimesAcrossTheWrapThenTakenAsOff)
{
    TCallsRig rig(0x2000, 0x102, 0xFFFFF000u);
    VPerifCalls& calls = rig.calls();
    auto refusedThrice = [&](const char* command, const char* refusal) {
        EXPECT_EQ(rig.runSent(10), std::string(command) + "\r");
        rig.reply(command, refusal);
        EXPECT_EQ(rig.runSent(1990), "") << "held after the first refusal";
        EXPECT_EQ(rig.runSent(20), std::string(command) + "\r");
        rig.reply(command, refusal);
        EXPECT_EQ(rig.runSent(3990), "") << "held twice as long after the second";
        EXPECT_EQ(rig.runSent(20), std::string(command) + "\r");
        rig.reply(command, refusal);
    };
    refusedThrice("AT*ECAM=1", "ERROR");
    EXPECT_EQ(calls.getEcamMode(), 0);
    refusedThrice("AT+CLIP=1", "+CME ERROR: 3");
    EXPECT_EQ(calls.getClipMode(), 0);
    EXPECT_TRUE(calls.isSettled());
    EXPECT_LT(rig.now, 0x10000u) << "the clock crossed the wrap";
    EXPECT_EQ(rig.runSent(10), "AT+CPAS\r");
    rig.line("AT+CPAS\r\r\n+CPAS: 0\r\n\r\nOK\r\n");
    EXPECT_EQ(rig.runSent(10000), "") << "nothing is asked again until the next reset";
    rig.engine.resetAll(rig.now);
    EXPECT_EQ(rig.runSent(10), "AT*ECAM=1\r");
}

TEST(Calls, ARefusedAnswerIsNotSentAgain)
{
    TCallsRig rig;
    rig.settle();
    rig.calls().setAnswerPending(true);
    EXPECT_EQ(rig.runSent(10), "ATA\r");
    rig.reply("ATA", "ERROR");
    EXPECT_FALSE(rig.calls().isAnswerPending());
    EXPECT_FALSE(rig.calls().isBusy());
    EXPECT_EQ(rig.runSent(3000), "");
}

TEST(Calls, IncomingVoiceCallRingsIsAnsweredAndHungUp)
{
    TCallsRig rig;
    rig.settle();
    VPerifCalls& calls = rig.calls();
    rig.window.flashCount = 0;
    EXPECT_FALSE(rig.window.enabled[W::BtnATH]);

    rig.line("RING\r\n");
    EXPECT_EQ(rig.states(), "6 0 0 0 0 0 0 0");
    EXPECT_TRUE(rig.window.ringing);
    EXPECT_TRUE(rig.window.enabled[W::BtnATA]);
    EXPECT_TRUE(rig.window.enabled[W::BtnATH]);
    EXPECT_EQ(rig.window.flashCount, 5);
    EXPECT_EQ(rig.window.callRows[0].statePicture, 7);
    EXPECT_EQ(rig.window.callRows[0].stateText, Cz("Příchozí"));
    EXPECT_FALSE(calls.row(0).isOutgoing());

    // A second RING changes nothing.
    rig.window.flashCount = 0;
    rig.window.clearCalls();
    rig.line("RING\r\n");
    EXPECT_EQ(rig.window.countCalls("showCallRow"), 0);
    EXPECT_EQ(rig.window.countCalls("setRinging"), 0);
    EXPECT_EQ(rig.window.flashCount, 0);

    rig.line("+CLIP: \"+420601000001\",145\r\n");
    EXPECT_EQ(calls.row(0).number, "+420601000001");
    EXPECT_EQ(calls.row(0).numberType, 145);
    EXPECT_EQ(rig.window.callRows[0].numberText, "+420601000001,145");
    rig.line("+CLIP: \"Number withheld.\"\r\n");
    EXPECT_EQ(calls.row(0).number, "+420601000001");
    EXPECT_EQ(rig.states(), "6 0 0 0 0 0 0 0");

    // Ringing rows are polled; "3" keeps it ringing.
    EXPECT_EQ(rig.runSent(800), "AT+CPAS\r");
    rig.line("AT+CPAS\r\r\n+CPAS: 3\r\n\r\nOK\r\n");
    EXPECT_EQ(rig.states(), "6 0 0 0 0 0 0 0");

    calls.setAnswerPending(true);
    EXPECT_EQ(rig.runSent(10), "ATA\r");
    EXPECT_EQ(calls.getPending(), VPerifCalls::cmdAnswer);
    rig.reply("ATA");
    EXPECT_EQ(rig.states(), "3 0 0 0 0 0 0 0");
    EXPECT_EQ(calls.row(0).type, 1);
    EXPECT_EQ(rig.window.callRows[0].typePicture, 1);
    EXPECT_EQ(rig.window.callRows[0].stateText, Cz("Probíhá (Hlas)"));
    EXPECT_FALSE(rig.window.ringing);
    EXPECT_FALSE(rig.window.enabled[W::BtnATA]);

    // The hang-up button: ATH once the line has been quiet for a second.
    calls.markForHangup();
    calls.setAnswerPending(false);
    EXPECT_EQ(rig.runSent(990), "");
    EXPECT_EQ(rig.runSent(20), "ATH\r");
    rig.reply("ATH");
    EXPECT_EQ(rig.states(), "0 0 0 0 0 0 0 0");
    EXPECT_EQ(calls.row(0).number, "");
    EXPECT_FALSE(calls.row(0).hangupMark);
    EXPECT_EQ(rig.window.callRows[0].numberText, "");
    EXPECT_FALSE(rig.window.enabled[W::BtnATH]);
    EXPECT_EQ(rig.abandoned, (std::vector<std::string>{"protikus", "sender", "receiver"}));
}

TEST(Calls, DialledCallsTakeNumberTypeAndDirection)
{
    struct TCase {
        bool voice;
        const char* number;
        const char* line;
        int type;
        int numberType;
        const char* label;
        const char* state;
    };
    for (const TCase c : {TCase{true, "123", "ATD123;\r", 1, 129, "123,129", "Vytáčím (Hlas)"},
                          TCase{false, "+420601000002", "ATD+420601000002\r", 2, 145, "+420601000002,145",
                                "Vytáčím (Data)"}}) {
        TCallsRig rig;
        rig.settle();
        VPerifCalls& calls = rig.calls();
        calls.setMarkNextConnect(true);
        EXPECT_TRUE(calls.dial(rig.now, c.voice, c.number));
        EXPECT_FALSE(calls.isMarkNextConnect()) << "the user's dial is not hung up by itself";
        EXPECT_EQ(rig.sent(), c.line);
        EXPECT_EQ(calls.getPending(), VPerifCalls::cmdDial);
        const VCall& row = calls.row(0);
        EXPECT_EQ(row.state, 1);
        EXPECT_EQ(row.type, c.type);
        EXPECT_EQ(row.number, c.number);
        EXPECT_EQ(row.numberType, c.numberType);
        EXPECT_TRUE(row.isOutgoing());
        EXPECT_EQ(rig.window.callRows[0].numberText, c.label);
        EXPECT_EQ(rig.window.callRows[0].stateText, Cz(c.state));
        EXPECT_TRUE(rig.window.enabled[W::BtnATH]);
        EXPECT_FALSE(calls.isReadyForCommand(rig.now + 119000)) << "a dial is waited for";
        if (!c.voice) {
            rig.line(std::string(c.line) + "\r\n");
            rig.line("CONNECT 9600\r\n");
            EXPECT_EQ(row.state, 3);
            EXPECT_EQ(row.type, 2);
            EXPECT_EQ(rig.engine.getMode(), 3);
            EXPECT_EQ(calls.getPending(), 0);
            EXPECT_EQ(rig.window.callRows[0].stateText, Cz("Probíhá (Data)"));
        }
    }
}

TEST(Calls, NumbersThatWouldChainOrBreakTheCommandAreNotDialled)
{
    TCallsRig rig;
    rig.settle();
    VPerifCalls& calls = rig.calls();
    for (const std::string& bad : {std::string(), std::string("   "), std::string("123;+CMGD=1"),
                                  std::string("12\r3"), std::string("12\0" "3", 4), std::string("12\x7F"),
                                  std::string("\t")}) {
        EXPECT_FALSE(calls.dial(rig.now, true, bad)) << TCallsRig::Hex(bad);
        EXPECT_FALSE(calls.dial(rig.now, false, bad));
    }
    EXPECT_EQ(rig.sent(), "");
    EXPECT_EQ(rig.states(), "0 0 0 0 0 0 0 0");
    // Not in the middle of an SMS exchange or a data call either.
    for (int mode : {1, 2, 3}) {
        rig.engine.setMode(mode);
        EXPECT_FALSE(calls.dial(rig.now, true, "123")) << mode;
    }
    EXPECT_EQ(rig.sent(), "");
    rig.engine.setMode(0);
    EXPECT_TRUE(calls.dial(rig.now, true, "+420 601 000 001"));
    EXPECT_EQ(rig.sent(), "ATD+420 601 000 001;\r");
}

TEST(Calls, CallReportsPlaceCallsOnTheirRows)
{
    TCallsRig rig(0x2000, 0x102);
    rig.settle();
    VPerifCalls& calls = rig.calls();
    rig.window.clearCalls();
    // Malformed or not for this handler: nothing changes.
    for (const char* line : {"*ECAV: 1,3,2\r\n", "*ECAV: 9,1,1\r\n", "*ECAV: 1,8,1\r\n", "*ECAV: 1,1,3\r\n",
                             "*ECAV: 1,1,1,5\r\n", "*ECAV: \r\n", "*ECAV: 1,1\r\n", "*ECAV: -1,1,1\r\n"})
        rig.line(line);
    EXPECT_EQ(rig.states(), "0 0 0 0 0 0 0 0");
    EXPECT_EQ(rig.window.countCalls("showCallRow"), 0);

    rig.line("*ECAV: 1,6,1,,,\"+420601000001\",145\r\n");
    EXPECT_EQ(rig.states(), "0 6 0 0 0 0 0 0");
    EXPECT_EQ(calls.getTempRow(), 1);
    EXPECT_EQ(calls.row(1).number, "+420601000001");
    EXPECT_EQ(calls.row(1).numberType, 145);
    EXPECT_EQ(rig.window.callRows[1].typePicture, 1) << "the type picture follows the report";
    // Events without an id go to that row.
    rig.line("RING\r\n");
    rig.line("+CLIP: \"+420601000001\",145\r\n");
    EXPECT_EQ(rig.states(), "0 6 0 0 0 0 0 0");
    rig.line("*ECAV: 1,0,1,8,16\r\n");
    EXPECT_EQ(rig.states(), "0 0 0 0 0 0 0 0");
    EXPECT_EQ(calls.getTempRow(), 0);
    EXPECT_EQ(rig.abandoned.size(), 3u);

    // A dialled call moves to the row of its id: no call ended.
    rig.abandoned.clear();
    ASSERT_TRUE(calls.dial(rig.now, false, "555"));
    rig.line("*ECAV: 2,1,2\r\n");
    EXPECT_EQ(rig.states(), "0 0 1 0 0 0 0 0");
    EXPECT_EQ(calls.row(2).number, "555");
    EXPECT_EQ(calls.getTempRow(), 2);
    EXPECT_TRUE(rig.abandoned.empty());
    rig.line("CONNECT 9600\r\n");
    EXPECT_EQ(rig.states(), "0 0 3 0 0 0 0 0");
    EXPECT_EQ(calls.singleActiveDataCall(), 2);
}

TEST(Calls, AReportOfCallZeroLeavesRowZeroItsCall)
{
    for (const char* report : {"*ECAV: 0,6,1\r\n", "*ECAV: x,6,1\r\n"}) {
        TCallsRig rig(0x2000, 0x102);
        rig.settle();
        rig.line("RING\r\n");
        rig.line("+CLIP: \"604123456\",129\r\n");
        rig.line(report);
        EXPECT_EQ(rig.states(), "6 0 0 0 0 0 0 0") << report;
        EXPECT_EQ(rig.calls().row(0).number, "604123456") << report;
        EXPECT_EQ(rig.calls().getTempRow(), 0);
    }
}

TEST(Calls, CallEndsReleaseTheActiveCallFirst)
{
    TCallsRig rig(0x2000, 0x102);
    rig.settle();
    rig.line("*ECAV: 1,3,1\r\n");
    rig.line("*ECAV: 2,6,1,,,\"5\",129\r\n");
    EXPECT_EQ(rig.states(), "0 3 6 0 0 0 0 0");
    EXPECT_EQ(rig.calls().findCallToRelease(), 1);
    rig.line("NO CARRIER\r\n");
    EXPECT_EQ(rig.states(), "0 0 6 0 0 0 0 0");
    rig.line("BUSY\r\n");
    EXPECT_EQ(rig.states(), "0 0 0 0 0 0 0 0");
    rig.line("NO DIALTONE\r\n");
    EXPECT_EQ(rig.abandoned.size(), 6u);
}

TEST(Calls, HangUpMarksEveryCallButFreeAndBusyOnes)
{
    TCallsRig rig;
    rig.settle();
    VPerifCalls& calls = rig.calls();
    for (int i = 0; i < VPerifCalls::RowCount; ++i)
        calls.row(i).setState(i);
    calls.markForHangup();
    for (int i = 0; i < VPerifCalls::RowCount; ++i)
        EXPECT_EQ(calls.row(i).hangupMark, i >= 1 && i <= 6) << i;
}

TEST(Calls, HangUpAbortsTheOwnDialAtOnce)
{
    for (const bool data : {true, false}) {
        TCallsRig rig;
        rig.settle();
        VPerifCalls& calls = rig.calls();
        ASSERT_TRUE(calls.dial(rig.now, !data, "604123456"));
        rig.line(data ? "ATD604123456\r\r\n" : "ATD604123456;\r\r\n");
        rig.sent();
        rig.advance(300);
        calls.markForHangup();
        // Not 120 s later: as soon as the line was quiet for a second.
        EXPECT_EQ(rig.runSent(690), "");
        EXPECT_EQ(rig.runSent(20), "ATH\r") << data;
        rig.line("NO CARRIER\r\n");
        EXPECT_EQ(rig.states(), "0 0 0 0 0 0 0 0");
        EXPECT_FALSE(calls.isBusy());
        EXPECT_EQ(rig.abandoned.size(), 3u);
    }
}

TEST(Calls, AnswerAbortedByTheHangUpButton)
{
    TCallsRig rig;
    rig.settle();
    VPerifCalls& calls = rig.calls();
    rig.line("RING\r\n");
    calls.setAnswerPending(true);
    EXPECT_EQ(rig.runSent(10), "ATA\r");
    // The hang-up button: mark, then no answer wanted.
    calls.markForHangup();
    calls.setAnswerPending(false);
    EXPECT_EQ(rig.runSent(1010), "ATH\r");
}

TEST(Calls, DataCallIsLeftWithAGuardedEscapeThenHungUp)
{
    TCallsRig rig(0x1000, 0x301, 0xFFFFE000u);
    rig.settle();
    VPerifCalls& calls = rig.calls();
    // The remote-party handler's dial: hung up once idle.
    calls.setMarkNextConnect(true);
    rig.engine.sendLine(rig.now, "ATD555", -1);
    rig.line("ATD555\r\r\n");
    rig.sent();
    rig.advance(5000);
    rig.line("CONNECT 9600\r\n");
    EXPECT_TRUE(calls.row(0).hangupMark);
    EXPECT_FALSE(calls.isMarkNextConnect());
    // The dial was written 5 s ago, but the escape waits a second after
    // the connection too.
    EXPECT_EQ(rig.runSent(1000), "");
    // Bytes written meanwhile put it off again.
    rig.engine.sendData("x", 1, rig.now);
    rig.sent();
    EXPECT_EQ(rig.runSent(1000), "");
    EXPECT_EQ(rig.runSent(10), "+++");
    EXPECT_TRUE(rig.engine.isEscapePending());
    // Without its OK the escape is repeated, but not before the OK could come.
    EXPECT_EQ(rig.runSent(2490), "");
    EXPECT_EQ(rig.runSent(20), "+++");
    rig.advance(1100);
    rig.line("\r\nOK\r\n");
    EXPECT_EQ(rig.engine.getMode(), 0);
    // The line is held for the hang-up: no other handler's command may
    // come between the escape and "ATH" (the call is still up).
    EXPECT_TRUE(calls.isBusy());
    EXPECT_EQ(rig.runSent(10), "ATH\r");
    rig.reply("ATH");
    EXPECT_EQ(rig.states(), "0 0 0 0 0 0 0 0");
    EXPECT_LT(rig.now, 0x10000u) << "the clock crossed the wrap";
}

TEST(Calls, AFailedDialStaysCallingUntilTheActivitySaysOtherwise)
{
    TCallsRig rig;
    rig.settle();
    rig.advance(1000);
    ASSERT_TRUE(rig.calls().dial(rig.now, true, "123"));
    rig.sent();
    rig.reply("ATD123;", "ERROR");
    EXPECT_EQ(rig.states(), "1 0 0 0 0 0 0 0");
    EXPECT_TRUE(rig.calls().isStatusPollWanted());
    EXPECT_EQ(rig.runSent(10), "AT+CPAS\r");
    rig.line("AT+CPAS\r\r\n+CPAS: 0\r\n\r\nOK\r\n");
    EXPECT_EQ(rig.states(), "0 0 0 0 0 0 0 0");
    EXPECT_TRUE(rig.calls().isSettled());
}

TEST(Calls, EveryEndOfACallLetsItsRemotePartyGo)
{
    struct TCase {
        const char* name;
        std::function<void(TCallsRig&)> end;
    };
    const TCase cases[] = {
        {"OK to ATH", [](TCallsRig& r) { r.engine.setMode(0); r.reply("ATH"); }},
        {"OK to AT+CHUP", [](TCallsRig& r) { r.engine.setMode(0); r.reply("AT+CHUP"); }},
        {"+CPAS: 0", [](TCallsRig& r) {
             r.engine.setMode(0);
             r.line("AT+CPAS\r\r\n+CPAS: 0\r\n");
         }},
        {"*ECAV 0", [](TCallsRig& r) {
             r.engine.setMode(0);
             r.line("*ECAV: 0,0,2,8,16\r\n");
         }},
        {"NO CARRIER in the data call", [](TCallsRig& r) { r.line("\r\nNO CARRIER\r\n"); }},
    };
    for (const TCase& c : cases) {
        TCallsRig rig;
        ActiveDataCall(rig);
        EXPECT_TRUE(rig.window.visible[W::LabelLabTheOther]);
        c.end(rig);
        EXPECT_EQ(rig.states(), "0 0 0 0 0 0 0 0") << c.name;
        EXPECT_EQ(rig.abandoned, (std::vector<std::string>{"protikus", "sender", "receiver"})) << c.name;
        EXPECT_EQ(rig.protikus().getCurrent(), nullptr) << c.name;
        EXPECT_TRUE(rig.calls().row(0).remote.isIdentityMissing()) << c.name;
        EXPECT_FALSE(rig.window.visible[W::LabelLabTheOther]) << c.name;
        EXPECT_EQ(rig.window.texts[W::LabelTheOther], "") << c.name;
    }
}

TEST(Calls, EventsWithoutAnIdKeepTheirDirection)
{
    TCallsRig rig;
    rig.settle();
    VPerifCalls& calls = rig.calls();
    // An own dial on row 0, then a call comes in: row 0's call moves out
    // of the way to the first free row.
    ASSERT_TRUE(calls.dial(rig.now, true, "123"));
    rig.reply("ATD123;");
    rig.line("RING\r\n");
    EXPECT_EQ(calls.getTempRow(), 1);
    EXPECT_EQ(rig.states(), "0 6 0 0 0 0 0 0");
    EXPECT_TRUE(rig.abandoned.empty());
    // A temporary row of the other direction is given up with a message.
    rig.window.messages.clear();
    calls.tempIsOutgoing(true);
    ASSERT_EQ(rig.window.messages.size(), 1u);
    EXPECT_EQ(rig.window.messages[0].text, "VPerifModem::VPerifCalls::tempIsOutgoing: Tak tomu nerozumim.");
    EXPECT_EQ(rig.window.messages[0].flags, 48);
    EXPECT_EQ(calls.getTempRow(), 0);
}

TEST(Calls, OddAnswersChangeNothingTheyShouldNot)
{
    TCallsRig rig;
    rig.settle();
    VPerifCalls& calls = rig.calls();
    rig.advance(800);
    rig.run(10);
    rig.sent();
    ASSERT_EQ(calls.getPending(), 0);
    // An activity answer while none was asked, and a nonsense one.
    rig.line("+CPAS: 3\r\n");
    rig.engine.sendLine(rig.now, "AT+CPAS", -1);
    rig.line("+CPAS: x\r\n+CPAS: 77\r\n+CPAS: \r\n");
    EXPECT_EQ(rig.states(), "0 0 0 0 0 0 0 0");
    // The caller-id test answer lists modes; the read answer gives the mode.
    rig.engine.sendLine(rig.now, "AT+CLIP=?", -1);
    rig.line("+CLIP: (0,1)\r\n");
    EXPECT_EQ(rig.states(), "0 0 0 0 0 0 0 0");
    rig.engine.sendLine(rig.now, "AT+CLIP?", -1);
    rig.line("+CLIP: 0,1\r\nOK\r\n");
    EXPECT_EQ(calls.getClipMode(), 0);
    // Echoes of commands of others, and an empty caller id: a call rings.
    rig.line("AT+CSQ\r\r\n");
    rig.line("+CLIP: \r\n");
    EXPECT_EQ(rig.states(), "6 0 0 0 0 0 0 0");
    EXPECT_EQ(calls.row(0).number, "");
}

TEST(Calls, ALanguageChangeRewritesTheStateTexts)
{
    TCallsRig rig;
    rig.settle();
    rig.line("RING\r\n");
    rig.window.langTexts["Texts/CallState_6"] = "Alerting";
    rig.calls().refreshTexts();
    EXPECT_EQ(rig.window.callRows[0].stateText, "Alerting");
    rig.calls().setAnswerPending(true);
    rig.run(10);
    rig.window.langTexts["Texts/CallState_3"] = "Active";
    rig.window.langTexts["Texts/CallTypeVoice"] = "Voice";
    rig.reply("ATA");
    EXPECT_EQ(rig.window.callRows[0].stateText, "Active (Voice)");
}
