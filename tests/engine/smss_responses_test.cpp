// The SMS handler's reading of the device: indications, listed and read
// headers with their PDU lines, messages delivered to the program, the
// memories' answers, the SMS centre, the end of a send or store with its
// device copy, and lines that fit no rule.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/engine/smss_rig.h"

using namespace SmssTest;

TEST(SmsResponses, NewMessageIndicationMarksItAndItIsRead)
{
    TSmsRig rig;
    rig.ready();
    rig.window.minimized = true;
    rig.line("\r\n+CMTI: \"SM\",3\r\n");
    EXPECT_EQ(rig.window.flashCount, 5);
    ASSERT_NE(rig.at("SM", 3), nullptr);
    EXPECT_EQ(rig.at("SM", 3)->GetState(), VTixSMS_state_Unknown);
    ASSERT_EQ(rig.step(), "AT+CMGR=3\r");
    EXPECT_EQ(rig.sms->getMsgIndex(), 3);
    rig.answer("AT+CMGR=3", {"+CMGR: 0,,22", kCau});
    EXPECT_EQ(rig.at("SM", 3)->GetState(), VTixSMS_stateSIMRecvUnread);
    EXPECT_EQ(rig.at("SM", 3)->GetText(), "Cau");
    EXPECT_EQ(rig.at("SM", 3)->GetUserPhone(), "+420602123456");
    EXPECT_EQ(rig.sms->getMsgIndex(), -1);
    EXPECT_EQ(rig.engine.getMode(), 0);

    // Not minimised: no flashing; indications the program cannot read are left.
    rig.window.minimized = false;
    rig.window.flashCount = 0;
    const int before = rig.list.getSMSCount();
    for (const char* bad : {"+CMTI: \"SM\"", "+CMTI: \"SM\",0", "+CMTI: \"SM\",x", "+CMTI: \"PC\",4",
                            "+CMTI: \"S\x01M\",4", "+CMTI: \"SM\",4,5"})
        rig.line(std::string("\r\n") + bad + "\r\n");
    EXPECT_EQ(rig.list.getSMSCount(), before);
    EXPECT_EQ(rig.window.flashCount, 0);
}

TEST(SmsResponses, ListedHeadersWithOrWithoutAlphaFieldTakeTheNextLine)
{
    TSmsRig rig;
    rig.settle();
    ASSERT_EQ(rig.stepUntilSent(11000), "AT+CMGL=4\r");
    rig.line("AT+CMGL=4\r\r\n\r\n+CMGL: 2,1,23\r\n");
    EXPECT_EQ(rig.engine.getMode(), 1);
    EXPECT_EQ(rig.sms->getMsgIndex(), 2);
    rig.line(std::string(kBanka) + "\r\n");
    ASSERT_NE(rig.at("SM", 2), nullptr);
    EXPECT_EQ(rig.at("SM", 2)->GetState(), VTixSMS_stateSIMRecvRead);
    EXPECT_EQ(rig.at("SM", 2)->GetUserNumber(), "Banka");
    // A header with the alpha field, a stat that is no number: read, not taken.
    rig.line("+CMGL: 5,x,\"Jan\",24\r\n");
    rig.line(std::string(kHello) + "\r\n");
    EXPECT_EQ(rig.at("SM", 5), nullptr);
    // A second PDU line without a header is not taken.
    rig.line("+CMGL: 6,3,\"\",18\r\n");
    rig.line(std::string(kAhoj) + "\r\n");
    EXPECT_EQ(rig.engine.getMode(), 0);
    ASSERT_NE(rig.at("SM", 6), nullptr);
    EXPECT_EQ(rig.at("SM", 6)->GetState(), VTixSMS_stateSIMSent);
    EXPECT_EQ(rig.at("SM", 6)->GetText(), "Ahoj");
    const int count = rig.list.getSMSCount();
    rig.line(std::string(kHello) + "\r\n");
    EXPECT_EQ(rig.list.getSMSCount(), count);
    // A PDU that cannot be read: the record says so.
    rig.line("+CMGL: 7,1,,9\r\n0791FFFF\r\n");
    ASSERT_NE(rig.at("SM", 7), nullptr);
    EXPECT_EQ(rig.at("SM", 7)->GetState(), VTixSMS_state_ReadFailed);
    rig.line("\r\nOK\r\n");
    EXPECT_TRUE(rig.list.getStorageByName("SM")->GetFirstRead());
    EXPECT_FALSE(rig.sms->isBusy());
}

TEST(SmsResponses, MessagesDeliveredToTheProgramMakeOneRecordEach)
{
    TSmsRig rig;
    rig.ready();
    rig.window.minimized = true;
    rig.line("\r\n+CMT: ,22\r\n");
    EXPECT_EQ(rig.engine.getMode(), 1);
    rig.line(std::string(kCau) + "\r\n");
    EXPECT_EQ(rig.window.flashCount, 5);
    ASSERT_EQ(rig.list.getSMSCount(), 1);
    VTixSMSRecord* first = rig.list.getSMS(0);
    EXPECT_EQ(VTixSMSList::GetRowCaption(first), "1: PC");
    EXPECT_EQ(first->GetState(), VTixSMS_stateSIMRecvRead);
    EXPECT_EQ(first->GetText(), "Cau");
    // The PDU on the header's own line, and a header with the length only.
    rig.line("\r\n+CMT: " + std::string(kHello) + "\r\n");
    rig.line("\r\n+CMT: 22\r\n" + std::string(kCau) + "\r\n");
    ASSERT_EQ(rig.list.getSMSCount(), 3);
    EXPECT_EQ(rig.list.getSMS(1)->GetText(), "hello");
    EXPECT_EQ(rig.list.getSMS(1)->GetState(), VTixSMS_stateSIMRecvRead);
    EXPECT_EQ(rig.list.getSMS(2)->GetText(), "Cau");
    EXPECT_EQ(rig.list.getSMS(2)->GetIndex(), 3);
}

TEST(SmsResponses, MemoriesReadLineByLineOrInOne)
{
    struct TCase {
        std::vector<std::string> lines;
        const char* mem[3];
        int used[3];
        int total[3];
    };
    const TCase cases[] = {
        {{"+CPMS: \"SM\",1,30", "+CPMS: \"ME\",2,100", "+CPMS: \"MT\",3,130"}, {"SM", "ME", "MT"}, {1, 2, 3}, {30, 100, 130}},
        // Two lines: memory 3 is memory 1.
        {{"+CPMS: \"SM\",1,30", "+CPMS: \"ME\",2,100"}, {"SM", "ME", "SM"}, {1, 2, 1}, {30, 100, 30}},
        // One line of two memories: the third is the first.
        {{"+CPMS: \"ME\",4,100,\"SM\",1,30"}, {"ME", "SM", "ME"}, {4, 1, 4}, {100, 30, 100}},
        // A line of counts first (the answer of a switch) changes nothing.
        {{"+CPMS: 1,30,1,30,1,30", "+CPMS: \"SM\",1,30,\"SM\",1,30,\"SM\",1,30"}, {"SM", "SM", "SM"}, {1, 1, 1}, {30, 30, 30}},
        // Counts that are no numbers: unknown.
        {{"+CPMS: \"SM\",x,,\"ME\""}, {"SM", "ME", "SM"}, {-1, -1, -1}, {-1, -1, -1}},
    };
    for (const TCase& c : cases) {
        TSmsRig rig;
        rig.settle(false, 2);
        rig.step();
        rig.answer("AT+CNMI=2,1,2,1,0", {});
        rig.step();
        rig.answer("AT+CPMS=?", {"+CPMS: (\"SM\"),(\"SM\"),(\"SM\")"});
        ASSERT_EQ(rig.step(), "AT+CPMS?\r");
        rig.line("AT+CPMS?\r\r\n");
        for (const auto& l : c.lines)
            rig.line("\r\n" + l + "\r\n");
        rig.line("\r\nOK\r\n");
        for (int k = 0; k < 3; ++k) {
            EXPECT_EQ(rig.sms->getMem(k), c.mem[k]) << c.lines[0] << " " << k;
            EXPECT_EQ(rig.sms->getUsed(k), c.used[k]) << c.lines[0] << " " << k;
            EXPECT_EQ(rig.sms->getTotal(k), c.total[k]) << c.lines[0] << " " << k;
        }
        // Registered as storages, names only.
        for (int k = 0; k < 3; ++k)
            EXPECT_NE(rig.list.getStorageByName(c.mem[k]), nullptr);
        for (int i = 0; i < rig.list.getStorageCount(); ++i)
            EXPECT_NE(rig.list.getStorage(i)->GetName(), "1");
    }
}

TEST(SmsResponses, StorageTestAnswerRegistersUpToTheThirdSeparator)
{
    struct TCase {
        const char* answer;
        std::vector<std::string> names;
    };
    const TCase cases[] = {
        {"(\"SM\",\"ME\"),(\"SM\",\"ME\"),(\"SM\")", {"SM", "ME"}},
        {"(\"SM\",\"ME\",\"MT\"),(\"SM\",\"ME\",\"MT\"),(\"SM\",\"ME\")", {"SM", "ME", "MT"}},
        {"\"SM\",\"BM\",\"ME\",\"SR\"", {"SM", "BM", "ME"}},
        {"(\"SM\"),(\"ME\"),(\"MT\"),(\"XX\")", {"SM", "ME", "MT"}},
        // A name without its closing quote ends the scan; quotes or
        // control characters inside a name never become a storage.
        {"(\"SM\",\"ME", {"SM"}},
        {"(\"S\x01M\",\"ME\")", {"ME"}},
        {"", {}},
    };
    for (const TCase& c : cases) {
        TSmsRig rig;
        rig.settle(false, 2);
        rig.step();
        rig.answer("AT+CNMI=2,1,2,1,0", {});
        ASSERT_EQ(rig.step(), "AT+CPMS=?\r");
        rig.answer("AT+CPMS=?", {std::string("+CPMS: ") + c.answer});
        EXPECT_TRUE(rig.sms->getStoragesListed()) << c.answer;
        std::vector<std::string> names;
        for (int i = 0; i < rig.list.getStorageCount(); ++i)
            names.push_back(rig.list.getStorage(i)->GetName());
        EXPECT_EQ(names, c.names) << c.answer;
    }
}

TEST(SmsResponses, CentreReadWhileNoneIsWanted)
{
    struct TCase {
        const char* line;
        const char* device;
        int type;
        const char* shown;
    };
    const TCase cases[] = {
        {"+CSCA: \"+420603052000\",145", "420603052000", 145, "+420603052000"},
        {"+CSCA: \"420603052000\",145", "420603052000", 145, "+420603052000"},
        {"+CSCA: \"0603052000\",129", "0603052000", 129, "0603052000"},
        {"+CSCA: \"0603052000\"", "0603052000", 0, "0603052000"},
    };
    for (const TCase& c : cases) {
        TSmsRig rig;
        rig.combo.items = {"+420603052000", "0603052000 \"doma\""};
        ASSERT_EQ(rig.step(), "AT+CSCA?\r");
        rig.answer("AT+CSCA?", {c.line});
        EXPECT_EQ(rig.sms->getScaKnown(), 1) << c.line;
        EXPECT_EQ(rig.sms->getDeviceSCA(), c.device) << c.line;
        EXPECT_EQ(rig.sms->getDeviceSCAType(), c.type) << c.line;
        EXPECT_EQ(rig.sms->getWantedSCA(), c.device) << c.line;
        EXPECT_EQ(rig.sms->getWantedSCAType(), c.type) << c.line;
        EXPECT_EQ(rig.combo.text(), c.shown) << c.line;
        // An item followed by a name is not the number: shown as typed.
        EXPECT_EQ(rig.combo.selected, std::string(c.shown) == "+420603052000" ? 0 : -1) << c.line;
    }
    // A "+CSCA: " line that answers no question of the handler is not taken.
    TSmsRig rig;
    rig.line("\r\n+CSCA: \"+420111\",145\r\n");
    EXPECT_EQ(rig.sms->getScaKnown(), 0);
    EXPECT_EQ(rig.sms->getDeviceSCA(), "");
}

TEST(SmsResponses, StoreAndSendEndWithTheDeviceCopy)
{
    TSmsRig rig;
    rig.ready();
    // Store: the draft in "PC" is replaced by the copy in SM with its index.
    VTixSMSRecord* draft = rig.draft("Ahoj");
    rig.sms->wantWrite(draft);
    EXPECT_EQ(draft->GetState(), VTixSMS_stateBeingStored);
    ASSERT_EQ(rig.step(), "AT+CMGW=18\r");
    ASSERT_NE(rig.sms->getUserSMS(), nullptr);
    EXPECT_EQ(rig.sms->getUserSMS()->GetState(), VTixSMS_stateBeingStored);
    rig.prompt("AT+CMGW=18");
    EXPECT_TRUE(rig.engine.smsPromptSeen());
    ASSERT_EQ(rig.step(), std::string(kAhoj) + "\x1A");
    EXPECT_EQ(rig.engine.getMode(), 0);
    EXPECT_TRUE(rig.sms->getPduSent());
    rig.line("\r\n+CMGW: 5\r\n\r\nOK\r\n");
    ASSERT_NE(rig.at("SM", 5), nullptr);
    EXPECT_EQ(rig.at("SM", 5)->GetState(), VTixSMS_stateSIMUnsent);
    EXPECT_EQ(rig.at("SM", 5)->GetText(), "Ahoj");
    EXPECT_EQ(rig.list.getSMSCount(), 1);  // the draft went, one copy stayed
    EXPECT_EQ(rig.sms->getMySMS(), nullptr);
    EXPECT_EQ(rig.sms->getUserSMS(), nullptr);

    // Send: the draft in "PC" is replaced by a "PC" copy, sent.
    VTixSMSRecord* second = rig.draft("Ahoj");
    rig.sms->wantSendWrite(second, true);
    ASSERT_EQ(rig.step(), "AT+CMGS=18\r");
    rig.prompt("AT+CMGS=18");
    ASSERT_EQ(rig.step(), std::string(kAhoj) + "\x1A");
    rig.line("\r\n+CMGS: 1\r\n\r\nOK\r\n");
    ASSERT_EQ(rig.list.getSMSCount(), 2);
    VTixSMSRecord* copy = rig.list.getSMS(1);
    EXPECT_EQ(copy->GetStorage(), "PC");
    EXPECT_EQ(copy->GetState(), VTixSMS_stateSIMSent);
    EXPECT_EQ(copy->GetPDUText(), kAhoj);
    EXPECT_FALSE(rig.sms->isBusy());

    // A send the device refuses after the PDU: copy and request SendFailed.
    VTixSMSRecord* third = rig.draft("Ahoj");
    rig.sms->wantSendWrite(third, true);
    ASSERT_EQ(rig.step(), "AT+CMGS=18\r");
    rig.prompt("AT+CMGS=18");
    rig.step();
    rig.line("\r\n+CMS ERROR: 330\r\n");
    EXPECT_EQ(rig.list.getSMSCount(), 3);
    EXPECT_EQ(rig.list.getSMS(2)->GetState(), VTixSMS_stateSendFailed);
    EXPECT_EQ(rig.sms->getMySMS(), nullptr);
}

TEST(SmsResponses, DeleteAsksTheDeviceAndDropsTheRecord)
{
    TSmsRig rig;
    rig.settle();
    ASSERT_EQ(rig.stepUntilSent(11000), "AT+CMGL=4\r");
    rig.answer("AT+CMGL=4", {"+CMGL: 1,1,,24", kHello, "+CMGL: 2,0,,23", kBanka});
    EXPECT_FALSE(rig.list.wantDelete(rig.at("SM", 2)));
    EXPECT_EQ(rig.at("SM", 2)->GetState(), VTixSMS_state_Deleting);
    ASSERT_EQ(rig.step(), "AT+CMGD=2\r");
    rig.answer("AT+CMGD=2", {});
    EXPECT_EQ(rig.at("SM", 2), nullptr);
    EXPECT_NE(rig.at("SM", 1), nullptr);
    EXPECT_EQ(rig.step(), "");
}

TEST(SmsResponses, LinesThatFitNoRuleChangeNothing)
{
    TSmsRig rig;
    rig.ready();
    const int count = rig.list.getSMSCount();
    for (const char* junk : {"+CMGR: 1\r\n", "+CMGL: \r\n", "+CMT: a,b,c\r\n", "+CNMI: 1,2,3\r\n",
                             "+CPMS: \"XX\",1,1\r\n", "OK\r\n", "ERROR\r\n", "+CMGW: 9\r\n", "AT\r\r\n",
                             "ATxyz\r\r\n", "+CMS ERROR: 500\r\n", "\x01\x02\x03\r\n", "+CMGS: \r\n"}) {
        rig.line(junk);
        // A header announces a PDU line: give one that is not hex.
        if (rig.engine.getMode() == 1)
            rig.line("not a pdu\r\n");
    }
    EXPECT_EQ(rig.engine.getMode(), 0);
    EXPECT_FALSE(rig.sms->isBusy());
    for (int k = 0; k < 5; ++k)
        EXPECT_GE(rig.sms->getCnmi(k), 0);
    EXPECT_EQ(rig.sms->getMem(0), "SM");
    EXPECT_EQ(rig.list.getSMSCount(), count);
    EXPECT_EQ(rig.window.messages.size(), 0u);
}
