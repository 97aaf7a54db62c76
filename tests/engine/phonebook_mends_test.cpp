// The phonebook handler where it keeps the device from being flooded or
// fed broken commands, where it keeps what a device reports, how it takes
// its own commands apart, and what it makes of answers that do not fit.
#include <climits>
#include <string>
#include <vector>

#include "tests/engine/phonebook_rig.h"

TEST_F(PhonebookRig, ErrorsToTheFirstQueriesWaitTenSeconds)
{
    exchange("AT+CPBS=?", {}, "ERROR");
    EXPECT_EQ(next(), "");
    EXPECT_EQ(next(VPerifPhonebook::PauseMs - 10), "") << "not asked again on every free tick";
    exchange("AT+CPBS=?", {"+CPBS: (\"SM\")"}, "OK");
    exchange("AT+CPBS?", {}, "+CME ERROR: SIM busy");
    EXPECT_EQ(next(VPerifPhonebook::PauseMs), "");
    exchange("AT+CPBS?", {"+CPBS: \"SM\",0,250"});
    // That pause was the one before reading.
    exchange("AT+CPBR=?", {}, "+CME ERROR: 100");
    EXPECT_EQ(next(VPerifPhonebook::PauseMs), "");
    exchange("AT+CPBR=?", {"+CPBR: (1-250),20,18"});
    exchange("AT+CPBR=1,250", {}, "+CMS ERROR: 500");
    EXPECT_EQ(next(VPerifPhonebook::PauseMs), "");
    EXPECT_EQ(next(), "AT+CPBR=1,250");
}

TEST_F(PhonebookRig, RefusedWriteIsSentAgainAfterTenSeconds)
{
    smRead({"+CPBR: 1,\"603555111\",129,\"Petr\""});
    exchange("AT+CPBS=\"ME\"", {}, "+CME ERROR: operation not supported");
    exchange("AT+CPBS=\"ME\"", {}, "ERROR");
    exchange("AT+CPBS=\"ME\"", {}, "ERROR");
    ASSERT_TRUE(pb.isReady());
    VTixPhoneBookRecord* one = entry("SM", 1);
    one->setEditedText("Petr N");
    one->markPending(false);
    exchange("AT+CPBW=1,\"603555111\",129,\"Petr N\"", {}, "+CME ERROR: memory full");
    EXPECT_TRUE(one->needsWrite()) << "still to be written";
    EXPECT_EQ(next(), "");
    EXPECT_EQ(next(VPerifPhonebook::PauseMs - 10), "");
    exchange("AT+CPBW=1,\"603555111\",129,\"Petr N\"", {}, "ERROR");
    EXPECT_EQ(next(VPerifPhonebook::PauseMs), "");
    exchange("AT+CPBW=1,\"603555111\",129,\"Petr N\"", {});
    EXPECT_FALSE(one->isPending());
    EXPECT_EQ(next(), "");
}

TEST_F(PhonebookRig, ClearedEntryOfAReadOnlyMemorySendsNothing)
{
    known("(\"SM\",\"LD\")");
    exchange("AT+CPBR=?", {"+CPBR: (1-250),20,18"});
    exchange("AT+CPBR=1,250", {});
    exchange("AT+CPBW=?", {"+CPBW: (1-250),20,(129,145),18"});
    exchange("AT+CPBS=\"LD\"", {});
    exchange("AT+CPBR=?", {"+CPBR: (1-10),20,18"});
    exchange("AT+CPBR=1,10", {"+CPBR: 1,\"603555111\",129,\"\""});
    exchange("AT+CPBW=?", {}, "+CME ERROR: operation not allowed");
    exchange("AT+CPBS=\"SM\"", {});
    ASSERT_TRUE(pb.isReady());
    VTixPhoneBookRecord* dialled = entry("LD", 1);
    dialled->setEditedNumber("");
    dialled->markPending(false);
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(next(1000), "");
        EXPECT_TRUE(pb.isReady());
    }
    EXPECT_NE(entry("LD", 1), nullptr);
}

TEST_F(PhonebookRig, RangeWithoutLengthsReadsTheLastPositionToo)
{
    known();
    exchange("AT+CPBR=?", {"+CPBR: (1-250)"});
    EXPECT_EQ(storage("SM").getUsedRange(), "1-250");
    EXPECT_EQ(storage("SM").getMaxTextLength(), 0);
    exchange("AT+CPBR=1,250", {"+CPBR: 250,\"112\",129,\"Last\""});
    EXPECT_EQ(entry("SM", 250)->getEditedText(), "Last");
}

TEST_F(PhonebookRig, EntryWithoutANumberKeepsItsText)
{
    known();
    exchange("AT+CPBR=?", {"+CPBR: (1-250),20,18"});
    exchange("AT+CPBR=1,250", {"+CPBR: 7,\"\",129,\"Jan\"", "+CPBR: 8,\"\",128,NO ENTRY",
                               "+CPBR: 9,\"5\",129,\"x\"", "+CPBR: 9,\"\",128,no entry \r"});
    ASSERT_NE(entry("SM", 7), nullptr);
    EXPECT_EQ(entry("SM", 7)->getEditedText(), "Jan");
    EXPECT_EQ(entry("SM", 7)->getEditedNumber(), "");
    EXPECT_EQ(entry("SM", 8), nullptr) << "the NO ENTRY mark";
    EXPECT_EQ(entry("SM", 9), nullptr) << "removed when marked later";
}

TEST_F(PhonebookRig, TypedTextReachesTheDeviceAsOneSafeLine)
{
    smRead({"+CPBR: 3,\"603555111\",129,\"Petr\""});
    VTixPhoneBookRecord* three = entry("SM", 3);
    three->setEditedText("A\"\rAT+CFUN=0");
    three->markPending(false);
    EXPECT_EQ(next(), "AT+CPBW=3,\"603555111\",129,\"AAT+CFUN=0\"");
    answer("AT+CPBW=3,\"603555111\",129,\"AAT+CFUN=0\"", {});
    // Written: the entry keeps the text as typed until the device is read.
    EXPECT_EQ(three->getDeviceText(), "A\"AT+CFUN=0");
    EXPECT_FALSE(three->isPending());
    // 25 characters for a memory of 18.
    three->setEditedText("Abcdefghijklmnopqrstuvwxy");
    three->markPending(false);
    EXPECT_EQ(next(), "AT+CPBW=3,\"603555111\",129,\"Abcdefghijklmnopqr\"");
    // A quote the device reported itself is not sent back.
    answer("AT+CPBW=3,\"603555111\",129,\"Abcdefghijklmnopqr\"", {});
    exchange("AT+CPBS=\"ME\"", {}, "ERROR");
    exchange("AT+CPBS=\"ME\"", {}, "ERROR");
    exchange("AT+CPBS=\"ME\"", {}, "ERROR");
    three->setDeviceText("Say \"hi\"");
    three->setEditedNumber("604");
    three->markPending(false);
    EXPECT_EQ(next(), "AT+CPBW=3,\"604\",129,\"Say hi\"");
    answer("AT+CPBW=3,\"604\",129,\"Say hi\"", {});
    EXPECT_FALSE(three->isPending()) << "written once";
    EXPECT_EQ(three->getEditedText(), "Say \"hi\"") << "the entry keeps its quotes";
}

TEST_F(PhonebookRig, UnansweredCommandIsSentAgainOrGivenUp)
{
    known();
    ASSERT_EQ(next(), "AT+CPBR=?");
    EXPECT_EQ(next(VPerifPhonebook::AnswerMs), "");
    EXPECT_EQ(next(1), "AT+CPBR=?");
    answer("AT+CPBR=?", {"+CPBR: (1-250),20,18"});
    exchange("AT+CPBR=1,250", {});
    exchange("AT+CPBW=?", {"+CPBW: (1-250),20,(129,145),18"});
    exchange("AT+CPBS=\"ME\"", {}, "ERROR");
    exchange("AT+CPBS=\"ME\"", {}, "ERROR");
    exchange("AT+CPBS=\"ME\"", {}, "ERROR");
    ASSERT_TRUE(pb.isReady());
    // A read typed in the terminal that gets no answer: nothing of the
    // handler's is due, so its wait ends instead of holding everyone.
    rig.engine.sendLine(t, "AT+CPBR=5", -1);
    rig.sent();
    EXPECT_TRUE(pb.isBusy());
    EXPECT_EQ(next(1300), "");
    EXPECT_TRUE(pb.isBusy());
    EXPECT_EQ(next(1), "");
    EXPECT_FALSE(pb.isBusy());
    // A huge typed read waits within bounds.
    rig.engine.sendLine(t, "AT+CPBR=1,2000000000", -1);
    rig.sent();
    EXPECT_EQ(pb.getArgCount(), 2);
    EXPECT_EQ(next(VPerifPhonebook::MaxAnswerMs), "");
    EXPECT_EQ(next(1), "");
    EXPECT_FALSE(pb.isBusy());
}

TEST_F(PhonebookRig, PauseAcrossTheWrapOfTheTickAndNeverAgain)
{
    t = 0xFFFFF000u;
    rig.engine.restart(t);
    rig.sent();
    exchange("AT+CPBS=?", {"+CPBS: (\"SM\")"});
    exchange("AT+CPBS?", {"+CPBS: \"SM\",0,250"});
    EXPECT_EQ(next(), "");
    EXPECT_EQ(next(VPerifPhonebook::PauseMs), "");
    EXPECT_LT(t, 0x10000u) << "the tick wrapped";
    exchange("AT+CPBR=?", {"+CPBR: (1-250),20,18"});
    exchange("AT+CPBR=1,250", {});
    exchange("AT+CPBW=?", {"+CPBW: (1-250),20,(129,145),18"});
    ASSERT_TRUE(pb.isReady());
    // 2^32 ms later the tick reads nearly what it read when the pause
    // began: no pause again.
    t = pb.getPauseStart() + 2000;
    VTixPhoneBookRecord* typed = storage("SM").getRecord(4);
    typed->setEditedNumber("44");
    typed->markPending(false);
    EXPECT_EQ(next(), "AT+CPBW=4,\"44\",129,\"\"");
}

TEST_F(PhonebookRig, CommandsAreTakenApartAsSentOrEchoed)
{
    struct TCase {
        std::string tail;  // after "AT+CPB"
        int step;
        int argCount;
        int first;
        int second;
        std::string number;
        std::string text;
    };
    const int none = VPerifPhonebook::stepNone;
    const std::vector<TCase> cases = {
        {"S=?", VPerifPhonebook::stepStorages, 0, -9, -9, "", ""},
        {"s?", VPerifPhonebook::stepSelected, 0, -9, -9, "", ""},
        {"S=\"sm\"", VPerifPhonebook::stepSelect, 1, -9, -9, "", "sm"},
        {"S=ME", VPerifPhonebook::stepSelect, 1, -9, -9, "", "ME"},
        {"S=\"\"", none, 0, -9, -9, "", ""},
        {"S", none, 0, -9, -9, "", ""},
        {"S=", none, 0, -9, -9, "", ""},
        {"r=?", VPerifPhonebook::stepRange, 0, -9, -9, "", ""},
        {"R=1,250", VPerifPhonebook::stepRead, 2, 1, 250, "", ""},
        {"R=7", VPerifPhonebook::stepRead, 1, 7, -9, "", ""},
        {"R=7,-3", VPerifPhonebook::stepRead, 1, 7, -3, "", ""},
        {"R=x", none, 0, -1, -9, "", ""},
        {"R=-2,5", none, 0, -2, -9, "", ""},
        {"R?", none, 0, -9, -9, "", ""},
        {"W=?", VPerifPhonebook::stepLimits, 0, -9, -9, "", ""},
        {"w=12", VPerifPhonebook::stepWrite, 1, 12, -9, "", ""},
        {"W=3,\"+420602\",145,\"Jan \"\"J\"\"\"", VPerifPhonebook::stepWrite, 4, 3, 145, "+420602", "Jan \"J\""},
        {"W=3,\"602\",129", VPerifPhonebook::stepWrite, 3, 3, 129, "602", ""},
        {"W=3,\"602\"", VPerifPhonebook::stepWrite, 2, 3, -1, "602", ""},
        {"W=3,\"602\",x,\"y\"", VPerifPhonebook::stepWrite, 2, 3, -1, "602", ""},
        {"W=,\"602\",129,\"y\"", none, 0, -1, -9, "", ""},
        {"X=1", none, 0, -9, -9, "", ""},
        {"", none, 0, -9, -9, "", ""},
        {"S", none, 0, -9, -9, "", ""},
    };
    for (const auto& c : cases) {
        rig.engine.restart(t);
        pb.classifyCommand(t, "R=0,0");  // known values to see what is kept
        pb.classifyCommand(t, "W=0,\"\",0,\"\"");
        rig.line(t, "+CREG: 1\r\n");  // ends the wait
        pb.classifyCommand(t + 5, c.tail);
        SCOPED_TRACE(c.tail);
        // Only what the command names is taken; the rest stays.
        EXPECT_EQ(pb.getStep(), c.step);
        EXPECT_EQ(pb.getArgCount(), c.argCount);
        if (c.first != -9) {
            EXPECT_EQ(pb.getFirstArg(), c.first);
        }
        if (c.second != -9) {
            EXPECT_EQ(pb.getSecondArg(), c.second);
        }
        if (c.step == VPerifPhonebook::stepWrite) {
            EXPECT_EQ(pb.getNumberArg(), c.number);
        }
        if (!c.text.empty()) {
            EXPECT_EQ(pb.getTextArg(), c.text);
        }
        EXPECT_EQ(pb.getLastSendTime(), c.step != none ? t + 5 : t);
    }
}

TEST_F(PhonebookRig, AnswersThatDoNotFitChangeNothing)
{
    known();
    // Index ranges the handler cannot use.
    for (const char* bad : {"+CPBR: (-1-250),20,18", "+CPBR: (250-1),20,18", "+CPBR: (x),20,18",
                            "+CPBR: (1-250),x,18", "+CPBR: (1-250),20,-4", "+CPBR: ", "+CPBR: (1-)"}) {
        SCOPED_TRACE(bad);
        ASSERT_EQ(next(VPerifPhonebook::PauseMs + 1), "AT+CPBR=?");
        answer("AT+CPBR=?", {bad});
        EXPECT_FALSE(storage("SM").isRangeKnown());
    }
    exchange("AT+CPBR=?", {"+CPBR: (5),20,18"});
    EXPECT_EQ(storage("SM").getUsedRange(), "5");
    // Entries without an index, without the comma, with a bad type.
    exchange("AT+CPBR=5", {"+CPBR: -5,\"1\",129,\"a\"", "+CPBR: x", "+CPBR: 5 \"1\",129,\"a\"",
                           "+CPBR: 5,\"777\",abc,\"Typ\"", "+CPBR: 6"});
    EXPECT_EQ(entry("SM", 5)->getEditedNumber(), "777");
    EXPECT_EQ(entry("SM", 5)->getEditedText(), "Typ");
    EXPECT_EQ(storage("SM").recordCount(), 2) << "5 and 6, no others";
    EXPECT_EQ(storage("SM").getReadRange(), "5");
    // Write limits that do not fit leave the memory as it was.
    for (const char* bad : {"+CPBW: (1-250),-2,(129,145),18", "+CPBW: (1-250),20", "+CPBW: (9-1),20,(129),18",
                            "+CPBW: (1-250),20,(129,145),x"}) {
        SCOPED_TRACE(bad);
        ASSERT_EQ(next(VPerifPhonebook::PauseMs + 1), "AT+CPBW=?");
        answer("AT+CPBW=?", {bad});
        EXPECT_FALSE(storage("SM").isLimitsKnown());
    }
    // Positions without lengths: read-only.
    ASSERT_EQ(next(VPerifPhonebook::PauseMs + 1), "AT+CPBW=?");
    answer("AT+CPBW=?", {"+CPBW: (1-250)"});
    EXPECT_TRUE(storage("SM").isLimitsKnown());
    EXPECT_TRUE(storage("SM").isReadOnly());
    // A memory list with stray characters still ends.
    rig.engine.resetAll(t);
    exchange("AT+CPBS=?", {"+CPBS: (\"SM\"x,,\"ME\" ,\"unterminated)"});
    EXPECT_TRUE(model.isStoragesKnown());
    EXPECT_NE(model.storageIndex("ME"), -1);
}

TEST_F(PhonebookRig, AWriteCountsAsSentWhateverTheEcho)
{
    smRead({"+CPBR: 2,\"603555111\",129,\"Petr\""});
    exchange("AT+CPBS=\"ME\"", {}, "ERROR");
    exchange("AT+CPBS=\"ME\"", {}, "ERROR");
    exchange("AT+CPBS=\"ME\"", {}, "ERROR");
    VTixPhoneBookRecord* two = entry("SM", 2);
    two->setEditedText("Petr Nov\xFD");
    two->markPending(false);
    ASSERT_EQ(next(), "AT+CPBW=2,\"603555111\",129,\"Petr Nov\xFD\"");
    // The device echoes (and keeps) the line without its 8-bit letter;
    // other echoes that do not fit change nothing either.
    answer("AT+CPBW=2,\"603555111\",129,\"Petr Nov\"", {});
    EXPECT_FALSE(two->isPending());
    EXPECT_EQ(two->getDeviceText(), "Petr Nov\xFD");
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(next(VPerifPhonebook::PauseMs), "") << "written once";
    for (const char* echo : {"AT+CPBW=9,\"1\",129,\"x\"", "AT+CPBR=1,250", "AT+CPBW=?"}) {
        SCOPED_TRACE(echo);
        two->setEditedText(std::string("Petr ") + echo[6]);
        two->markPending(false);
        const std::string sent = next();
        ASSERT_EQ(sent.rfind("AT+CPBW=2,", 0), 0u) << sent;
        answer(echo, {});
        EXPECT_FALSE(two->isPending());
        EXPECT_EQ(storage("SM").findRecord(9, false), nullptr);
    }
}

TEST_F(PhonebookRig, AnUnansweredWriteIsGivenUpAfterThreeTriesAndTheNextFollows)
{
    smRead({"+CPBR: 2,\"603555111\",129,\"Petr\""});
    exchange("AT+CPBS=\"ME\"", {}, "ERROR");
    exchange("AT+CPBS=\"ME\"", {}, "ERROR");
    exchange("AT+CPBS=\"ME\"", {}, "ERROR");
    VTixPhoneBookRecord* two = entry("SM", 2);
    two->setEditedNumber("+420 603 555-112");
    two->markPending(false);
    VTixPhoneBookRecord* five = storage("SM").getRecord(5);
    five->setEditedNumber("605");
    five->markPending(false);
    const std::string line = "AT+CPBW=2,\"420603555112\",145,\"Petr\"";
    const int tries = VTixPhoneBookRecord::MaxWriteRefusals;
    for (int i = 1; i <= tries; ++i) {
        SCOPED_TRACE(i);
        ASSERT_EQ(next(i == 1 ? 10 : VPerifPhonebook::PauseMs + 1), line);
        EXPECT_EQ(next(VPerifPhonebook::AnswerMs), "") << "not yet over";
        // Over: counted; the pause runs before the next try, and once the
        // entry is given up the rest of the memory goes on at once.
        EXPECT_EQ(next(1), i < tries ? "" : "AT+CPBW=5,\"605\",129,\"\"");
        EXPECT_EQ(two->getRefusals(), i);
        EXPECT_EQ(pb.isBusy(), i == tries);
    }
    EXPECT_TRUE(two->isGivenUp());
    EXPECT_EQ(two->getRefusalText(), "Za\xF8\xEDzen\xED neodpov\xEC" "d\xECl" "o");
    EXPECT_EQ(two->getEditedNumber(), "+420 603 555-112") << "the edit is kept";
    answer("AT+CPBW=5,\"605\",129,\"\"", {});
    EXPECT_FALSE(five->isPending());
    EXPECT_TRUE(pb.isReady());
    EXPECT_EQ(next(VPerifPhonebook::PauseMs + 1), "");
}
