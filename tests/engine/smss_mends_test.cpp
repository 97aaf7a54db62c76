// What keeps the SMS handler from sticking or losing messages: commands
// given up after three refusals or time-outs in a row, the prompt
// cancelled or never shown, results before the prompt, a copy that reads
// back other octets, sends of edited messages, messages in another
// memory, memory names that cannot be quoted, restarts and resets,
// records the list removes, +CNMI values the device does not offer, an
// empty SMS centre and messages the codec cannot build.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/uniset.h"
#include "tests/engine/smss_rig.h"

using namespace SmssTest;

TEST(SmsMends, ThreeRefusedSendsEndTheRequestWithoutEmptyRows)
{
    TSmsRig rig;
    rig.ready();
    VTixSMSRecord* draft = rig.draft("Ahoj");
    rig.sms->wantSendWrite(draft, true);
    for (int attempt = 1; attempt <= 3; ++attempt) {
        ASSERT_EQ(rig.stepUntilSent(1000), "AT+CMGS=18\r") << attempt;
        rig.answer("AT+CMGS=18", {}, "+CMS ERROR: 304");
        // A result before the prompt ends the text mode; the refused copy goes.
        EXPECT_EQ(rig.engine.getMode(), 0);
        EXPECT_EQ(rig.list.getSMSCount(), 1) << attempt;
        EXPECT_EQ(draft->GetState(), attempt < 3 ? VTixSMS_stateBeingSent : VTixSMS_stateSendFailed);
    }
    EXPECT_EQ(rig.sms->getMySMS(), nullptr);
    EXPECT_EQ(rig.stepUntilSent(5000), "");  // no fourth
    // Anyone's next line is a line, not a cancelled PDU.
    rig.engine.sendLine(rig.now, "AT+CSQ", -1);
    EXPECT_EQ(rig.sms->getPending(), 0);
    EXPECT_EQ(rig.list.getSMSCount(), 1);
}

TEST(SmsMends, CommandsGivenUpAfterThreeFailuresInARow)
{
    // A store refused thrice is given up and the draft stays unsent.
    {
        TSmsRig rig;
        rig.ready();
        VTixSMSRecord* draft = rig.draft("Ahoj");
        rig.sms->wantWrite(draft);
        for (int attempt = 0; attempt < 3; ++attempt) {
            ASSERT_EQ(rig.stepUntilSent(1000), "AT+CMGW=18\r");
            rig.answer("AT+CMGW=18", {}, "+CMS ERROR: 322");
        }
        EXPECT_EQ(draft->GetState(), VTixSMS_stateSIMUnsent);
        EXPECT_EQ(rig.list.getSMSCount(), 1);
        EXPECT_EQ(rig.stepUntilSent(3000), "");
    }
    // A message that cannot be read: ReadFailed, then a queued send goes out.
    {
        TSmsRig rig;
        rig.ready();
        rig.line("\r\n+CMTI: \"SM\",9\r\n");
        VTixSMSRecord* draft = rig.draft("Ahoj");
        rig.sms->wantSendWrite(draft, true);
        for (int attempt = 0; attempt < 3; ++attempt) {
            ASSERT_EQ(rig.stepUntilSent(1000), "AT+CMGR=9\r");
            rig.answer("AT+CMGR=9", {}, "+CMS ERROR: 321");
        }
        EXPECT_EQ(rig.at("SM", 9)->GetState(), VTixSMS_state_ReadFailed);
        EXPECT_EQ(rig.stepUntilSent(1000), "AT+CMGS=18\r");
    }
    // Unanswered reads count the same, after their time-out.
    {
        TSmsRig rig;
        rig.ready();
        rig.line("\r\n+CMTI: \"SM\",9\r\n");
        for (int attempt = 0; attempt < 3; ++attempt)
            ASSERT_EQ(rig.stepUntilSent(11000), "AT+CMGR=9\r");
        EXPECT_EQ(rig.stepUntilSent(11000), "");
        EXPECT_EQ(rig.at("SM", 9)->GetState(), VTixSMS_state_ReadFailed);
    }
    // A delete refused thrice: the message is read again.
    {
        TSmsRig rig;
        rig.ready();
        rig.list.smsDoesExist("SM", 4)->SetState(VTixSMS_state_Deleting);
        for (int attempt = 0; attempt < 3; ++attempt) {
            ASSERT_EQ(rig.stepUntilSent(1000), "AT+CMGD=4\r");
            rig.answer("AT+CMGD=4", {}, "ERROR");
        }
        EXPECT_EQ(rig.at("SM", 4)->GetState(), VTixSMS_state_Unknown);
        ASSERT_EQ(rig.stepUntilSent(1000), "AT+CMGR=4\r");
        rig.answer("AT+CMGR=4", {"+CMGR: 1,,24", kHello});
        EXPECT_EQ(rig.at("SM", 4)->GetState(), VTixSMS_stateSIMRecvRead);
    }
    // A listing refused thrice: the memory counts as listed, its unread
    // wishes as failed.
    {
        TSmsRig rig;
        rig.settle();
        rig.list.wantRead("SM", 2);
        rig.list.wantRead("SM", 3);
        for (int attempt = 0; attempt < 3; ++attempt) {
            ASSERT_EQ(rig.stepUntilSent(11000), "AT+CMGL=4\r");
            rig.answer("AT+CMGL=4", {}, "+CME ERROR: 10");
        }
        EXPECT_TRUE(rig.list.getStorageByName("SM")->GetFirstRead());
        EXPECT_EQ(rig.at("SM", 2)->GetState(), VTixSMS_state_ReadFailed);
        EXPECT_EQ(rig.at("SM", 3)->GetState(), VTixSMS_state_ReadFailed);
        EXPECT_EQ(rig.stepUntilSent(12000), "");
    }
    // A memory switch refused thrice: that memory is left alone, and so is
    // the way back.
    {
        TSmsRig rig;
        rig.ready(true);
        rig.list.wantRead("ME", 2);
        for (int attempt = 0; attempt < 3; ++attempt) {
            ASSERT_EQ(rig.stepUntilSent(1000), "AT+CPMS=\"ME\"\r");
            rig.answer("AT+CPMS=\"ME\"", {}, "+CMS ERROR: 302");
        }
        EXPECT_TRUE(rig.list.getStorageByName("ME")->GetFirstRead());
        EXPECT_EQ(rig.at("ME", 2)->GetState(), VTixSMS_state_ReadFailed);
        EXPECT_EQ(rig.stepUntilSent(12000), "");
        EXPECT_TRUE(rig.sms->isInitialised());
    }
    // A centre the device will not take: the wish is dropped.
    {
        TSmsRig rig;
        rig.ready();
        rig.sms->setWantedSCA("+420111");
        for (int attempt = 0; attempt < 3; ++attempt) {
            ASSERT_EQ(rig.stepUntilSent(1000), "AT+CSCA=\"420111\",145\r");
            rig.answer("AT+CSCA=\"420111\",145", {}, "ERROR");
        }
        EXPECT_EQ(rig.sms->getWantedSCA(), "420603052000");
        EXPECT_EQ(rig.stepUntilSent(3000), "");
    }
    // A centre never told: known as none.
    {
        TSmsRig rig;
        for (int attempt = 0; attempt < 3; ++attempt)
            ASSERT_EQ(rig.stepUntilSent(11000), "AT+CSCA?\r");
        EXPECT_EQ(rig.stepUntilSent(11000), "AT+CNMI=?\r");
        EXPECT_EQ(rig.sms->getScaKnown(), 1);
    }
    // Indications the device will not take: left to it, and settled.
    {
        TSmsRig rig;
        rig.settle(false, 2);
        for (int attempt = 0; attempt < 3; ++attempt) {
            ASSERT_EQ(rig.stepUntilSent(1000), "AT+CNMI=2,1,2,1,0\r");
            rig.answer("AT+CNMI=2,1,2,1,0", {}, "+CMS ERROR: 303");
        }
        EXPECT_TRUE(rig.sms->isInitialised());
        EXPECT_EQ(rig.stepUntilSent(1000), "AT+CPMS=?\r");
    }
    // The memories' test refused thrice: the memories AT+CPMS? names are
    // taken; their read refused thrice: nothing is read, sends still go.
    {
        TSmsRig rig;
        rig.settle(false, 2);
        rig.step();
        rig.answer("AT+CNMI=2,1,2,1,0", {});
        for (int attempt = 0; attempt < 3; ++attempt) {
            ASSERT_EQ(rig.stepUntilSent(1000), "AT+CPMS=?\r");
            rig.answer("AT+CPMS=?", {}, "ERROR");
        }
        EXPECT_TRUE(rig.sms->getStoragesListed());
        for (int attempt = 0; attempt < 3; ++attempt) {
            ASSERT_EQ(rig.stepUntilSent(1000), "AT+CPMS?\r");
            rig.answer("AT+CPMS?", {}, "+CMS ERROR: 500");
        }
        rig.line("\r\n+CMTI: \"SM\",4\r\n");
        EXPECT_EQ(rig.stepUntilSent(12000), "");
        rig.sms->wantSendWrite(rig.draft("Ahoj"), true);
        EXPECT_EQ(rig.stepUntilSent(1000), "AT+CMGS=18\r");
    }
}

TEST(SmsMends, FailuresCountOnlyInARow)
{
    TSmsRig rig;
    rig.ready();
    rig.line("\r\n+CMTI: \"SM\",9\r\n");
    ASSERT_EQ(rig.stepUntilSent(1000), "AT+CMGR=9\r");
    rig.answer("AT+CMGR=9", {}, "+CMS ERROR: 321");
    ASSERT_EQ(rig.stepUntilSent(1000), "AT+CMGR=9\r");
    rig.answer("AT+CMGR=9", {}, "+CMS ERROR: 321");
    EXPECT_EQ(rig.sms->getFailures(), 2);
    // Another command fails between: the count starts again.
    rig.sms->setWantedSCA("+420111");
    ASSERT_EQ(rig.stepUntilSent(1000), "AT+CSCA=\"420111\",145\r");
    rig.answer("AT+CSCA=\"420111\",145", {}, "ERROR");
    EXPECT_EQ(rig.sms->getFailures(), 1);
    ASSERT_EQ(rig.stepUntilSent(1000), "AT+CSCA=\"420111\",145\r");
    rig.answer("AT+CSCA=\"420111\",145", {});
    ASSERT_EQ(rig.stepUntilSent(1000), "AT+CMGR=9\r");
    rig.answer("AT+CMGR=9", {}, "+CMS ERROR: 321");
    EXPECT_EQ(rig.sms->getFailures(), 1);
    EXPECT_EQ(rig.at("SM", 9)->GetState(), VTixSMS_state_Unknown);
}

TEST(SmsMends, PromptCancelledOrNeverShownReleasesTheRequest)
{
    // No prompt: Esc once the 40 s are over, the send failed.
    {
        TSmsRig rig;
        rig.ready();
        VTixSMSRecord* draft = rig.draft("Ahoj");
        rig.sms->wantSendWrite(draft, true);
        ASSERT_EQ(rig.step(), "AT+CMGS=18\r");
        const uint32_t sent = rig.now;
        rig.line("AT+CMGS=18\r\r\n");
        EXPECT_EQ(rig.stepUntilSent(39980), "");
        ASSERT_EQ(rig.stepUntilSent(100), "\x1B");
        EXPECT_GT(rig.now - sent, 40000u);
        EXPECT_EQ(draft->GetState(), VTixSMS_stateSendFailed);
        EXPECT_EQ(rig.list.getSMSCount(), 1);  // the copy in flight went
        EXPECT_EQ(rig.engine.getMode(), 0);
        EXPECT_EQ(rig.sms->getPending(), VPerifSMSs::pdCancelled);
        rig.line("\r\nOK\r\n");
        EXPECT_FALSE(rig.sms->isBusy());
        // Later requests go.
        VTixSMSRecord* next = rig.draft("Ahoj");
        rig.sms->wantSendWrite(next, true);
        EXPECT_EQ(rig.stepUntilSent(1000), "AT+CMGS=18\r");
    }
    // Another's line at the open prompt: the request ends, Esc follows
    // on the next tick so the device stops waiting.
    {
        TSmsRig rig;
        rig.ready();
        VTixSMSRecord* draft = rig.draft("Ahoj");
        rig.sms->wantWrite(draft);
        ASSERT_EQ(rig.step(), "AT+CMGW=18\r");
        rig.prompt("AT+CMGW=18");
        rig.engine.sendLine(rig.now, "AT+CSQ", -1);
        rig.sent();
        EXPECT_EQ(draft->GetState(), VTixSMS_stateSIMUnsent);
        EXPECT_EQ(rig.sms->getMySMS(), nullptr);
        EXPECT_FALSE(rig.sms->getSendInProgress());
        EXPECT_EQ(rig.list.getSMSCount(), 1);
        EXPECT_EQ(rig.step(), "\x1B");
        EXPECT_EQ(rig.step(), "");
        // The store can be asked again.
        rig.sms->wantWrite(draft);
        EXPECT_EQ(draft->GetState(), VTixSMS_stateBeingStored);
    }
}

TEST(SmsMends, OkAfterTheOwnPduEndsTheRequestEvenWhenTheCopyDiffers)
{
    TSmsRig rig;
    rig.ready();
    VTixSMSRecord* draft = rig.draft("Ahoj");
    rig.sms->wantSendWrite(draft, true);
    ASSERT_EQ(rig.step(), "AT+CMGS=18\r");
    rig.prompt("AT+CMGS=18");
    ASSERT_EQ(rig.step(), std::string(kAhoj) + "\x1A");
    // The draft no longer holds the octets the device got.
    draft->SetText("Ahoj!");
    EXPECT_FALSE(draft->pdusEqual(rig.sms->getUserSMS()));
    rig.line("\r\n+CMGS: 4\r\n\r\nOK\r\n");
    EXPECT_EQ(rig.sms->getMySMS(), nullptr);
    ASSERT_EQ(rig.list.getSMSCount(), 1);
    EXPECT_EQ(rig.list.getSMS(0)->GetState(), VTixSMS_stateSIMSent);
    EXPECT_EQ(rig.stepUntilSent(3000), "");
}

TEST(SmsMends, EditedMessagesGoWithTheirOwnPduNeverFromIndexZero)
{
    TSmsRig rig;
    rig.settle();
    ASSERT_EQ(rig.stepUntilSent(11000), "AT+CMGL=4\r");
    rig.answer("AT+CMGL=4", {"+CMGL: 3,2,,18", kAhoj});
    VTixSMSRecord* stored = rig.at("SM", 3);
    ASSERT_NE(stored, nullptr);
    EXPECT_FALSE(stored->GetEditedSinceLoad());
    stored->SetText("Ahoj");  // the same text: no change
    EXPECT_FALSE(stored->GetEditedSinceLoad());
    stored->SetText("Cau");
    stored->create1part();  // a build leaves the mark
    EXPECT_TRUE(stored->GetEditedSinceLoad());
    rig.sms->wantSendWrite(stored, true);
    EXPECT_EQ(rig.step(), "AT+CMGS=17\r");
    rig.answer("AT+CMGS=17", {}, "+CMS ERROR: 331");
    rig.sms->wantSendWrite(rig.draft("x"), false);  // ignored: one at a time
    EXPECT_EQ(rig.sms->getMySMS(), stored);

    // A record of memory 2 without an index goes by its PDU.
    TSmsRig other;
    other.ready();
    VTixSMSRecord* noIndex = other.list.smsDoesExist("SM", 0);
    noIndex->SetState(VTixSMS_stateSIMUnsent);
    noIndex->SetPDUText(kAhoj);
    other.sms->wantSendWrite(noIndex, true);
    EXPECT_EQ(other.step(), "AT+CMGS=18\r");
    // "AT+CMSS=0" typed by the user holds up nothing.
    TSmsRig typed;
    typed.ready();
    typed.line("AT+CMSS=0\r\r\n\r\n+CMS ERROR: 321\r\n");
    EXPECT_FALSE(typed.sms->getSendInProgress());
    typed.sms->wantSendWrite(typed.draft("Ahoj"), true);
    EXPECT_EQ(typed.stepUntilSent(1000), "AT+CMGS=18\r");
}

TEST(SmsMends, MessageAnnouncedInAnotherMemoryIsReadThere)
{
    TSmsRig rig;
    rig.settle(true);
    ASSERT_EQ(rig.stepUntilSent(11000), "AT+CMGL=4\r");
    rig.answer("AT+CMGL=4", {});
    rig.list.getStorageByName("ME")->SetFirstRead(true);
    rig.line("\r\n+CMTI: \"ME\",5\r\n");
    ASSERT_EQ(rig.step(), "AT+CPMS=\"ME\"\r");
    rig.answer("AT+CPMS=\"ME\"", {"+CPMS: 1,100,3,30,3,30"});
    ASSERT_EQ(rig.step(), "AT+CPMS?\r");
    rig.answer("AT+CPMS?", {"+CPMS: \"ME\",1,100,\"SM\",3,30,\"SM\",3,30"});
    ASSERT_EQ(rig.step(), "AT+CMGR=5\r");
    rig.answer("AT+CMGR=5", {"+CMGR: 0,,22", kCau});
    EXPECT_EQ(rig.at("ME", 5)->GetText(), "Cau");
    ASSERT_EQ(rig.step(), "AT+CPMS=\"SM\"\r");
    rig.answer("AT+CPMS=\"SM\"", {"+CPMS: 3,30,3,30,3,30"});
    ASSERT_EQ(rig.step(), "AT+CPMS?\r");
    rig.answer("AT+CPMS?", {"+CPMS: \"SM\",3,30,\"SM\",3,30,\"SM\",3,30"});
    EXPECT_EQ(rig.step(), "");
    EXPECT_TRUE(rig.sms->isInitialised());

    // A memory name that cannot be quoted is never switched to.
    VTixSMSRecord* odd = rig.list.smsDoesExist("M\"E", 2);
    odd->SetState(VTixSMS_state_Unknown);
    rig.list.smsDoesExist("X\rY", 3)->SetState(VTixSMS_state_Deleting);
    EXPECT_EQ(rig.stepUntilSent(12000), "");
    // Nor is a memory left whose name could not be sent back.
    TSmsRig quoted;
    quoted.settle(false, 3);
    quoted.step();
    quoted.answer("AT+CPMS=?", {"+CPMS: (\"ME\"),(\"ME\"),(\"ME\")"});
    quoted.step();
    quoted.answer("AT+CPMS?", {"+CPMS: \"S\x01M\",0,30,\"S\x01M\",0,30,\"S\x01M\",0,30"});
    quoted.list.getStorageByName("ME")->SetFirstRead(true);
    quoted.list.wantRead("ME", 1);
    // Memory 1 is listed where it is; the message in ME waits.
    std::string all;
    for (int i = 0; i < 3; ++i) {
        const std::string out = quoted.stepUntilSent(12000);
        all += out;
        if (!out.empty())
            quoted.answer(out.substr(0, out.size() - 1), {});
    }
    EXPECT_EQ(all, "AT+CMGL=4\r");
    EXPECT_EQ(quoted.at("ME", 1)->GetState(), VTixSMS_state_Unknown);
}

TEST(SmsMends, RestartKeepsWhatOnlyTheProgramHolds)
{
    TSmsRig rig;
    rig.settle();
    ASSERT_EQ(rig.stepUntilSent(11000), "AT+CMGL=4\r");
    rig.answer("AT+CMGL=4", {"+CMGL: 1,1,,24", kHello});
    rig.line("\r\n+CMT: ,22\r\n" + std::string(kCau) + "\r\n");
    VTixSMSRecord* keep = rig.draft("koncept");
    VTixSMSRecord* sending = rig.draft("Ahoj");
    rig.sms->wantSendWrite(sending, true);
    ASSERT_EQ(rig.step(), "AT+CMGS=18\r");
    rig.prompt("AT+CMGS=18");
    ASSERT_EQ(rig.list.getSMSCount(), 5);  // SM 1, the +CMT row, two drafts, the copy

    rig.engine.restart(rig.now);  // a port glitch
    EXPECT_EQ(rig.at("SM", 1), nullptr);
    EXPECT_EQ(rig.list.getStorageCount(), 0);
    ASSERT_EQ(rig.list.getSMSCount(), 3);
    EXPECT_EQ(rig.list.getSMS(0)->GetText(), "Cau");
    EXPECT_EQ(rig.list.getSMS(1), keep);
    EXPECT_EQ(rig.list.getSMS(2), sending);
    EXPECT_EQ(sending->GetState(), VTixSMS_stateSendFailed);
    EXPECT_EQ(rig.sms->getMySMS(), nullptr);
    EXPECT_EQ(rig.sms->getUserSMS(), nullptr);
    EXPECT_EQ(rig.step(), "AT+CSCA=\"420603052000\",145\r");

    // A reset releases a store the same way.
    TSmsRig other;
    other.ready();
    VTixSMSRecord* draft = other.draft("Ahoj");
    other.sms->wantWrite(draft);
    ASSERT_EQ(other.step(), "AT+CMGW=18\r");
    other.engine.resetAll(other.now);
    EXPECT_EQ(draft->GetState(), VTixSMS_stateSIMUnsent);
    EXPECT_EQ(other.list.getSMSCount(), 1);
}

TEST(SmsMends, RecordsTheListRemovesAreForgotten)
{
    TSmsRig rig;
    rig.ready();
    VTixSMSRecord* draft = rig.draft("Ahoj");
    rig.sms->wantWrite(draft);
    ASSERT_EQ(rig.step(), "AT+CMGW=18\r");
    rig.prompt("AT+CMGW=18");
    ASSERT_EQ(rig.step(), std::string(kAhoj) + "\x1A");
    EXPECT_TRUE(rig.list.wantDelete(draft));  // a "PC" draft goes at once
    EXPECT_EQ(rig.sms->getMySMS(), nullptr);
    rig.line("\r\n+CMGW: 6\r\n\r\nOK\r\n");
    ASSERT_NE(rig.at("SM", 6), nullptr);
    EXPECT_EQ(rig.at("SM", 6)->GetState(), VTixSMS_stateSIMUnsent);
    EXPECT_EQ(rig.window.messages.size(), 0u);
    // The copy in flight removed by the list: its result only says so.
    VTixSMSRecord* second = rig.draft("Ahoj");
    rig.sms->wantSendWrite(second, true);
    ASSERT_EQ(rig.step(), "AT+CMGS=18\r");
    rig.list.messageDeleted(rig.sms->getUserSMS());
    EXPECT_EQ(rig.sms->getUserSMS(), nullptr);
    rig.line("\r\n+CMS ERROR: 500\r\n");
    ASSERT_EQ(rig.window.messages.size(), 1u);
    EXPECT_EQ(rig.window.messages[0].text, "VPerifModem::VPerifSMSs::joinUserAndMy: userSMS==NULL");
    EXPECT_EQ(rig.window.messages[0].caption, "Error");
}

TEST(SmsMends, EmptyCentreIsNeverWritten)
{
    TSmsRig rig;
    rig.ready();
    for (const char* number : {"", "+", "abc", " - "})
        rig.sms->setWantedSCA(number);
    EXPECT_EQ(rig.sms->getWantedSCA(), "420603052000");
    EXPECT_EQ(rig.stepUntilSent(3000), "");
}

TEST(SmsMends, MessageTheCodecCannotBuildIsRefusedOnce)
{
    TSmsRig rig;
    rig.ready();
    VTixSMSRecord* draft = rig.draft("Ahoj", "+420777123456789012345");  // 21 digits
    rig.sms->wantSendWrite(draft, true);
    EXPECT_EQ(rig.stepUntilSent(3000), "");
    EXPECT_EQ(draft->GetState(), VTixSMS_stateSendFailed);
    EXPECT_EQ(rig.sms->getMySMS(), nullptr);
    // The next request goes.
    rig.sms->wantSendWrite(rig.draft("Ahoj"), true);
    EXPECT_EQ(rig.step(), "AT+CMGS=18\r");
}

TEST(SmsMends, EchoedSendLeavesOneCopy)
{
    TSmsRig rig;
    rig.ready();
    rig.sms->wantSendWrite(rig.draft("Ahoj"), true);
    ASSERT_EQ(rig.step(), "AT+CMGS=18\r");
    ASSERT_NE(rig.sms->getUserSMS(), nullptr);
    const int first = rig.sms->getUserSMS()->GetIndex();
    rig.prompt("AT+CMGS=18");
    // The echo made the copy anew; the first one went.
    ASSERT_NE(rig.sms->getUserSMS(), nullptr);
    EXPECT_EQ(rig.sms->getUserSMS()->GetIndex(), first + 1);
    EXPECT_EQ(rig.list.getSMSByIndex("PC", first), nullptr);
    EXPECT_EQ(rig.list.getSMSCount(), 2);
    ASSERT_EQ(rig.step(), std::string(kAhoj) + "\x1A");
    rig.line("\r\n+CMGS: 1\r\n\r\nOK\r\n");
    ASSERT_EQ(rig.list.getSMSCount(), 1);
    EXPECT_EQ(rig.list.getSMS(0)->GetState(), VTixSMS_stateSIMSent);
}
