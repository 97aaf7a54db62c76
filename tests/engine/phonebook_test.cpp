// The phonebook handler line by line: the whole first exchange with a
// device, the memory selector and tabs it lays out, the waits, the three
// failed selections, the read switch, the echo and the reset.
#include <string>
#include <vector>

#include "tests/engine/phonebook_rig.h"

using W = VMainWindowLink;

TEST_F(PhonebookRig, FirstExchangeWorksThroughEveryMemoryAndReturnsToTheWantedOne)
{
    EXPECT_TRUE(pb.isReady()) << "nothing known, nothing to do";
    // Quiet while the start-up is not through.
    rig.status.simReady = false;
    EXPECT_EQ(next(), "");
    rig.status.simReady = true;

    exchange("AT+CPBS=?", {"+CPBS: (\"SM\",\"FD\",\"ON\")"});
    ASSERT_EQ(model.storageCount(), 3);
    EXPECT_EQ(model.storageAt(0)->getName(), "SM");
    EXPECT_EQ(model.storageAt(1)->getName(), "FD");
    EXPECT_EQ(model.storageAt(2)->getName(), "ON");
    EXPECT_EQ(rig.window.pbItems,
              (std::vector<std::string>{"SM (SIM karta)", "FD (Pevn\xE1 volba)", "ON (?)"}));
    EXPECT_EQ(rig.window.pbTabs, (std::vector<std::string>{"SM", "FD", "ON"}));
    EXPECT_EQ(rig.window.pbItemIndex, -1);
    EXPECT_EQ(model.displayedStorageName(), "SM") << "the first tab is shown";

    exchange("AT+CPBS?", {"+CPBS: \"SM\",3,250"});
    EXPECT_EQ(rig.window.pbItemIndex, 0);
    EXPECT_EQ(pb.currentStorageName(), "SM");
    EXPECT_EQ(model.getWantedStorage(), "SM") << "as the item's click would make it";
    EXPECT_FALSE(pb.isReady()) << "the memories wait to be read";

    // Ten seconds of silence before reading.
    EXPECT_EQ(next(), "");
    const uint32_t pauseStart = t;
    EXPECT_EQ(pb.getPauseStart(), pauseStart);
    EXPECT_EQ(pb.pauseLeft(t), VPerifPhonebook::PauseMs + 1);
    EXPECT_EQ(next(VPerifPhonebook::PauseMs), "");
    EXPECT_EQ(pb.pauseLeft(t), 1u);
    EXPECT_EQ(next(1), "AT+CPBR=?");
    answer("AT+CPBR=?", {"+CPBR: (1-250),20,18"});
    EXPECT_EQ(pb.pauseLeft(t), 0u);
    EXPECT_FALSE(pb.isReady());

    // The whole interval in one read, waited for 1000 + 300 x 250 ms.
    EXPECT_EQ(next(), "AT+CPBR=1,250");
    EXPECT_EQ(pb.getStep(), VPerifPhonebook::stepRead);
    EXPECT_TRUE(pb.isBusy());
    EXPECT_EQ(next(76000), "");
    EXPECT_EQ(next(1), "AT+CPBR=1,250");
    answer("AT+CPBR=1,250", {"+CPBR: 1,\"420602123456\",145,\"Jan Nov\xE1k\"", "+CPBR: 2,\"603555111\",129,\"Petr\"",
                             "+CPBR: 250,\"112\",129,\"\""});
    const VTixPhoneBookStorage& sm = storage("SM");
    EXPECT_EQ(sm.getReadRange(), "1-250");
    EXPECT_EQ(sm.recordCount(), 3);
    EXPECT_EQ(entry("SM", 1)->getEditedNumber(), "+420602123456");
    EXPECT_EQ(entry("SM", 1)->getEditedText(), "Jan Nov\xE1k");
    EXPECT_EQ(entry("SM", 250)->getEditedNumber(), "112");
    EXPECT_FALSE(pb.isBusy());

    exchange("AT+CPBW=?", {"+CPBW: (1-250),20,(128-255),18"});
    EXPECT_FALSE(sm.isReadOnly());
    EXPECT_NE(entry("SM", VTixPhoneBookRecord::NewEntryIndex), nullptr);

    // The other memories, each selected in turn; the selector stays on SM.
    exchange("AT+CPBS=\"FD\"", {});
    EXPECT_EQ(pb.currentStorageName(), "FD");
    EXPECT_EQ(model.getWantedStorage(), "SM");
    EXPECT_EQ(rig.window.pbItemIndex, 0);
    exchange("AT+CPBR=?", {"+CPBR: (1-10),20,18"});
    exchange("AT+CPBR=1,10", {"+CPBR: 1,\"112\",129,\"SOS\""});
    exchange("AT+CPBW=?", {}, "+CME ERROR: operation not allowed");
    EXPECT_TRUE(storage("FD").isReadOnly());
    EXPECT_EQ(storage("FD").recordCount(), 1) << "no new-entry row";

    exchange("AT+CPBS=\"ON\"", {});
    exchange("AT+CPBR=?", {"+CPBR: (1-1),20,18"});
    // One position: read alone, waited for 1300 ms.
    EXPECT_EQ(next(), "AT+CPBR=1");
    EXPECT_EQ(next(1300), "");
    EXPECT_EQ(next(1), "AT+CPBR=1");
    answer("AT+CPBR=1", {"+CPBR: 1,\"+420777000111\",145,\"Me\""});
    exchange("AT+CPBW=?", {"+CPBW: (1-1),20,(129,145),18"});
    EXPECT_TRUE(storage("ON").isReadOnly()) << "a single position is not writable";
    EXPECT_EQ(entry("ON", 1)->getEditedNumber(), "+420777000111");

    EXPECT_FALSE(pb.isReady());
    exchange("AT+CPBS=\"SM\"", {});
    EXPECT_TRUE(pb.isReady());
    for (int i = 0; i < 10; ++i)
        EXPECT_EQ(next(5000), "");
    EXPECT_EQ(model.storageCount(), 3);
}

TEST_F(PhonebookRig, ClearedEntryIsDeletedAndWrittenEntriesAreTakenAsSent)
{
    smRead({"+CPBR: 5,\"603555111\",129,\"Petr\"", "+CPBR: 12,\"112\",129,\"SOS\"",
            "+CPBR: 20,\"777\",129,\"Ivo\""});
    exchange("AT+CPBS=\"ME\"", {});
    exchange("AT+CPBR=?", {"+CPBR: (1-100),40,16"});
    exchange("AT+CPBR=1,100", {});
    exchange("AT+CPBW=?", {"+CPBW: (1-100),40,(129,145),16"});
    exchange("AT+CPBS=\"SM\"", {});
    ASSERT_TRUE(pb.isReady());

    // Cleared: deleted on the device, then gone from the model and view.
    VTixPhoneBookRecord* twelve = entry("SM", 12);
    twelve->setEditedNumber("");
    twelve->setEditedText("");
    twelve->markPending(false);
    EXPECT_FALSE(pb.isReady());
    EXPECT_EQ(next(), "AT+CPBW=12");
    answer("AT+CPBW=12", {});
    EXPECT_EQ(entry("SM", 12), nullptr);

    // Number removed, name kept: deleted too, never written without a number.
    VTixPhoneBookRecord* five = entry("SM", 5);
    five->setEditedNumber("");
    five->markPending(false);
    EXPECT_EQ(next(), "AT+CPBW=5");
    answer("AT+CPBW=5", {});
    EXPECT_EQ(entry("SM", 5), nullptr);

    // Written as edited; the device values are then what was sent.
    VTixPhoneBookRecord* twenty = entry("SM", 20);
    twenty->setEditedNumber("+420603000020");
    twenty->setEditedText("Ivo N");
    twenty->markPending(false);
    EXPECT_EQ(next(), "AT+CPBW=20,\"420603000020\",145,\"Ivo N\"");
    answer("AT+CPBW=20,\"420603000020\",145,\"Ivo N\"", {});
    EXPECT_EQ(twenty->deviceNumber(), "+420603000020");
    EXPECT_EQ(twenty->getDeviceText(), "Ivo N");
    EXPECT_FALSE(twenty->isPending());
    EXPECT_FALSE(twenty->isNumberModified() || twenty->isTextModified());

    // A write in another memory selects it, writes, and returns.
    VTixPhoneBookRecord* me = storage("ME").getRecord(7);
    me->setEditedNumber("123");
    me->markPending(false);
    exchange("AT+CPBS=\"ME\"", {});
    exchange("AT+CPBW=7,\"123\",129,\"\"", {});
    EXPECT_EQ(me->deviceNumber(), "123");
    exchange("AT+CPBS=\"SM\"", {});
    EXPECT_TRUE(pb.isReady());
    EXPECT_EQ(next(), "");
}

TEST_F(PhonebookRig, ReadPhonebooksUncheckedSendsNothing)
{
    rig.window.checked[W::CheckPhonebookActive] = false;
    known();
    exchange("AT+CPBR=?", {"+CPBR: (1-250),20,18"});
    // Unread positions in the device memory: nothing at all, writes neither.
    VTixPhoneBookRecord* typed = storage("SM").getRecord(3);
    typed->setEditedText("x");
    typed->markPending(false);
    for (int i = 0; i < 20; ++i)
        EXPECT_EQ(next(1000), "");
    EXPECT_FALSE(pb.isReady());
    rig.window.checked[W::CheckPhonebookActive] = true;
    EXPECT_EQ(next(), "AT+CPBR=1,250");
}

TEST_F(PhonebookRig, LowerCaseEchoIsClassifiedAsTheSentLine)
{
    known();
    exchange("AT+CPBR=?", {"+CPBR: (1-250),20,18"});
    ASSERT_EQ(next(), "AT+CPBR=1,250");
    const uint32_t sent = t;
    // Another line in between ends the wait; the echo starts it again.
    rig.line(t, "+CREG: 1\r\n");
    EXPECT_FALSE(pb.isBusy());
    t += 50;
    rig.line(t, "at+cpbr=1,250\r\r\n");
    EXPECT_EQ(pb.getStep(), VPerifPhonebook::stepRead);
    EXPECT_EQ(pb.getFirstArg(), 1);
    EXPECT_EQ(pb.getSecondArg(), 250);
    EXPECT_EQ(pb.getArgCount(), 2);
    EXPECT_EQ(pb.getLastSendTime(), sent + 50);
    rig.line(t, "+CPBR: 4,\"44\",129,\"Four\"\r\n");
    rig.line(t, "OK\r\n");
    EXPECT_EQ(storage("SM").getReadRange(), "1-250");
    EXPECT_NE(entry("SM", 4), nullptr);
}

TEST_F(PhonebookRig, IncorrectPasswordGivesTheMemoryUpAtOnce)
{
    known("(\"SM\",\"FD\",\"LD\")");
    exchange("AT+CPBR=?", {"+CPBR: (1-250),20,18"});
    exchange("AT+CPBR=1,250", {});
    exchange("AT+CPBW=?", {"+CPBW: (1-250),20,(129,145),18"});
    exchange("AT+CPBS=\"FD\"", {}, "+CME ERROR: incorrect password");
    EXPECT_EQ(storage("FD").getFailures(), 3);
    // LD next, FD never again.
    exchange("AT+CPBS=\"LD\"", {}, "+CME ERROR: SIM PIN2 required");
    EXPECT_EQ(storage("LD").getFailures(), 1);
    exchange("AT+CPBS=\"LD\"", {}, "ERROR");
    exchange("AT+CPBS=\"LD\"", {}, "+CMS ERROR: 500");
    EXPECT_EQ(storage("LD").getFailures(), 3);
    EXPECT_TRUE(pb.isReady()) << "given-up memories are not waited for";
    for (int i = 0; i < 10; ++i)
        EXPECT_EQ(next(1000), "");
    // Once the device is on it after another memory, it counts again.
    model.setDeviceStorage("FD");
    EXPECT_EQ(storage("FD").getFailures(), 0);
}

TEST_F(PhonebookRig, ResetEmptiesTheSelectorAndTheTabs)
{
    known("(\"SM\",\"ME\",\"FD\")");
    EXPECT_EQ(rig.window.pbItems.size(), 3u);
    rig.window.clearCalls();
    rig.engine.resetAll(t);
    EXPECT_TRUE(rig.window.pbItems.empty());
    EXPECT_TRUE(rig.window.pbTabs.empty());
    EXPECT_EQ(rig.window.pbItemIndex, -1);
    EXPECT_EQ(model.storageCount(), 0);
    EXPECT_FALSE(model.isStoragesKnown());
    EXPECT_EQ(model.displayedStorageName(), "");
    EXPECT_EQ(rig.window.calls.back(), "TabsPBStoragesChange");
    EXPECT_EQ(rig.window.countCalls("setPBStorageItems"), rig.window.countCalls("setPBStorageTabs"));
    // And it starts again from the memory list, pause included.
    exchange("AT+CPBS=?", {"+CPBS: (\"SM\")"});
    exchange("AT+CPBS?", {"+CPBS: \"SM\",0,250"});
    EXPECT_EQ(next(), "");
    EXPECT_EQ(next(5000), "");
    EXPECT_EQ(next(5001), "AT+CPBR=?");
}
