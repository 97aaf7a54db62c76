// VTixSMSList: storages with their pending count and change events, the
// handler's work queues (reads by rules 1 to 5, deletes, writes), PDUs
// loaded from the device, clearing, and the change count that lets a
// reader skip a list that did not change.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "sms/sms_list.h"
#include "tests/sms/sms_rig.h"

namespace {

const char* const kHello = "0791246030500200040C9124707721436500004230513154034005E8329BFD06";
const char* const kAhoj = "0011000C912470772143650000A90441F45B0D";

struct TStorageEvent {
    std::string name;
    VTixItemOperation op;
    bool operator==(const TStorageEvent&) const = default;
};

class SmsQueues : public ::testing::Test {
protected:
    SmsQueues()
    {
        list.OnStorageChange = [this](VTixSMSList* sender, const std::string& name, VTixItemOperation op) {
            EXPECT_EQ(sender, &list);
            events.push_back({name, op});
        };
    }
    VTixSMSRecord* unknown(const std::string& storage, int index) { return list.wantRead(storage, index); }

    std::vector<TStorageEvent> events;
    VTixSMSList list;
};

}  // namespace

TEST_F(SmsQueues, StoragesCountAsPendingUntilListed)
{
    EXPECT_EQ(list.storageDoesExist(""), nullptr);
    VTixSMSStorage* sm = list.storageDoesExist("SM");
    EXPECT_EQ(list.storageDoesExist("SM"), sm);
    VTixSMSStorage* pc = list.storageDoesExist("PC");
    EXPECT_TRUE(pc->GetFirstRead());
    EXPECT_FALSE(sm->GetFirstRead());
    EXPECT_EQ(list.GetPendingSomeOperationsCount(), 1);
    list.storageDoesExist("ME");
    EXPECT_EQ(list.GetPendingSomeOperationsCount(), 2);
    sm->SetFirstRead(true);
    sm->SetFirstRead(true);
    EXPECT_EQ(list.GetPendingSomeOperationsCount(), 1);
    list.invalidateStorage("SM");
    list.invalidateStorage("SM");
    list.invalidateStorage("XX");  // none such: nothing
    EXPECT_EQ(list.GetPendingSomeOperationsCount(), 2);
    EXPECT_EQ(list.getStorage(0), sm);
    EXPECT_EQ(list.getStorage(3), nullptr);
    EXPECT_EQ(list.getStorageByName("ME")->GetName(), "ME");
    EXPECT_EQ(list.getStorageByName("me"), nullptr);

    list.clearStorages();
    EXPECT_EQ(list.getStorageCount(), 0);
    EXPECT_EQ(list.GetPendingSomeOperationsCount(), 0);
    const std::vector<TStorageEvent> expected = {
        {"SM", vtioAdd}, {"PC", vtioAdd}, {"ME", vtioAdd}, {"ME", vtioRemove}, {"PC", vtioRemove}, {"SM", vtioRemove}};
    EXPECT_EQ(events, expected);
}

TEST_F(SmsQueues, ReadsByTheFiveRules)
{
    std::string storage = "SM";
    int index = 7;
    // 1. The named storage, not listed: list it.
    EXPECT_TRUE(list.getWantedReads(storage, index, false));
    EXPECT_EQ(index, 0);
    EXPECT_EQ(storage, "SM");
    list.getStorageByName("SM")->SetFirstRead(true);
    // Nothing to read.
    EXPECT_FALSE(list.getWantedReads(storage, index, true));
    EXPECT_EQ(index, -1);
    // 2. Another storage not listed, with the any-storage flag only.
    list.storageDoesExist("PC");
    list.storageDoesExist("ME");
    EXPECT_FALSE(list.getWantedReads(storage, index, false));
    EXPECT_TRUE(list.getWantedReads(storage, index, true));
    EXPECT_EQ(storage, "ME");
    EXPECT_EQ(index, 0);
    list.getStorageByName("ME")->SetFirstRead(true);
    // 3. One record in state Unknown: its index; two: list the memory.
    storage = "SM";
    list.smsDoesExist("SM", 2)->SetState(VTixSMS_stateSIMRecvRead);
    unknown("SM", 4);
    unknown("PC", 0);  // "PC" is never read
    EXPECT_TRUE(list.getWantedReads(storage, index, true));
    EXPECT_EQ(index, 4);
    unknown("SM", 2);
    EXPECT_TRUE(list.getWantedReads(storage, index, true));
    EXPECT_EQ(index, 0);
    EXPECT_EQ(storage, "SM");
    // 4. Only elsewhere: true with -1 for a named storage, the other
    // storage when asked without a name.
    list.getSMSByIndex("SM", 2)->SetState(VTixSMS_stateSIMRecvRead);
    list.getSMSByIndex("SM", 4)->SetState(VTixSMS_stateSIMRecvRead);
    unknown("ME", 5);
    EXPECT_TRUE(list.getWantedReads(storage, index, true));
    EXPECT_EQ(index, -1);
    EXPECT_EQ(storage, "SM");
    storage.clear();
    EXPECT_TRUE(list.getWantedReads(storage, index, true));
    EXPECT_EQ(storage, "ME");
    EXPECT_EQ(index, 5);
    // 5. In the named one: false only when nothing is wanted anywhere.
    list.getSMSByIndex("ME", 5)->SetState(VTixSMS_state_ReadFailed);
    storage = "ME";
    EXPECT_FALSE(list.getWantedReads(storage, index, true));
}

TEST_F(SmsQueues, DeletesOfProgramMessagesAtOnceOthersByTheHandler)
{
    VTixSMSRecord* pc = list.smsDoesExist("PC", 0);
    EXPECT_TRUE(list.wantDelete(pc));
    EXPECT_EQ(list.getSMSCount(), 0);
    EXPECT_FALSE(list.wantDelete(nullptr));
    VTixSMSRecord* sm3 = list.smsDoesExist("SM", 3);
    VTixSMSRecord* sm5 = list.smsDoesExist("SM", 5);
    VTixSMSRecord* me2 = list.smsDoesExist("ME", 2);
    EXPECT_FALSE(list.wantDelete(sm5));
    EXPECT_FALSE(list.wantDelete(me2));
    EXPECT_FALSE(list.wantDelete(sm3));
    EXPECT_EQ(sm3->GetState(), VTixSMS_state_Deleting);
    std::string storage = "SM";
    int index = -1;
    // The first of the named storage after the index given.
    ASSERT_TRUE(list.getWantedDelete(storage, index));
    EXPECT_EQ(index, 3);
    ASSERT_TRUE(list.getWantedDelete(storage, index));
    EXPECT_EQ(index, 5);
    EXPECT_FALSE(list.getWantedDelete(storage, index));  // another storage only below 1
    index = 0;
    storage = "MT";
    ASSERT_TRUE(list.getWantedDelete(storage, index));
    EXPECT_EQ(storage, "SM");
    EXPECT_EQ(index, 3);
    EXPECT_NE(list.getStorageByName("MT"), nullptr);  // a named storage is made
    // A message split in parts asks it of each part.
    VTixSMSRecord* parent = list.smsDoesExist("PC", 0);
    parent->SetState(VTixSMS_stateSIMUnsent);
    parent->SetMessageType(VTixSMS_smsTypeSUBMIT);
    parent->SetText(std::string(200, 'x'));
    ASSERT_TRUE(parent->splitIfNeeded());
    const int before = list.getSMSCount();
    EXPECT_FALSE(list.wantDelete(parent));
    EXPECT_GT(before, 4);
    EXPECT_EQ(list.getSMSCount(), 3);  // the parts went, and their parent with them
}

TEST_F(SmsQueues, WritesAndPduLookups)
{
    VTixSMSRecord* a = list.smsDoesExist("PC", 0);
    a->SetState(VTixSMS_stateSIMUnsent);
    a->SetMessageType(VTixSMS_smsTypeSUBMIT);
    a->SetUserNumber("+420777123456");
    a->SetText("Ahoj");
    VTixSMSRecord* b = list.smsDoesExist("SM", 3);
    b->SetState(VTixSMS_stateSIMUnsent);
    b->SetPDUText(kAhoj);
    VTixSMSRecord* sms = nullptr;
    std::string where = "SM";
    bool isWrite = false;
    EXPECT_FALSE(list.getWantedWrite(sms, where, isWrite));
    a->wantedOperation("SM", VTixSMSOperation_Write);
    b->wantedOperation("", VTixSMSOperation_Send);
    ASSERT_TRUE(list.getWantedWrite(sms, where, isWrite));
    EXPECT_EQ(sms, b);  // the named storage first
    EXPECT_FALSE(isWrite);
    where = "ME";
    ASSERT_TRUE(list.getWantedWrite(sms, where, isWrite));
    EXPECT_EQ(sms, a);
    EXPECT_TRUE(isWrite);
    EXPECT_EQ(where, "SM");

    EXPECT_EQ(list.getSMSbyPDU(kAhoj, "SM", false, false), b);
    EXPECT_EQ(list.getSMSbyPDU(kAhoj, "ME", false, false), b);  // the last match
    EXPECT_EQ(list.getSMSbyPDU(kAhoj, "PC", false, false), a);
    EXPECT_EQ(list.getSMSbyPDU("00", "PC", false, false), nullptr);
    EXPECT_EQ(list.getSMSbyPDU(kAhoj, "", true, true), b);
}

TEST_F(SmsQueues, PdusFromTheDeviceLoadIntoTheRecord)
{
    // A record made here has no direction yet: it cannot be read. The
    // handler gives it the state of the header first.
    EXPECT_FALSE(list.setPDUtext("SM", 1, 24, kHello, false));
    VTixSMSRecord* sms = list.getSMSByIndex("SM", 1);
    ASSERT_NE(sms, nullptr);
    EXPECT_EQ(sms->GetState(), VTixSMS_state_ReadFailed);
    EXPECT_EQ(sms->GetPDUFormat(), VTixSMS_pduFmtWithSCA);
    VTixSMSRecord* read = list.smsDoesExist("SM", 2);
    read->SetState(VTixSMS_stateSIMRecvRead);
    EXPECT_TRUE(list.setPDUtext("SM", 2, 0, std::string(kHello) + "\r\n", false));
    EXPECT_EQ(read->GetText(), "hello");
    EXPECT_EQ(read->GetPDUText(), kHello);
    EXPECT_FALSE(read->GetEditedSinceLoad());
    // Without the centre part.
    VTixSMSRecord* woutSCA = list.smsDoesExist("SM", 3);
    woutSCA->SetState(VTixSMS_stateSIMUnsent);
    EXPECT_TRUE(list.setPDUtext("SM", 3, 0, std::string(kAhoj).substr(2), true));
    EXPECT_EQ(woutSCA->GetPDUFormat(), VTixSMS_pduFmtWoutSCA);
    EXPECT_EQ(woutSCA->GetText(), "Ahoj");
    // What cannot be read.
    for (const char* bad : {"", "zz", "0791FFFF", "07", "0791246030500200040C91"}) {
        VTixSMSRecord* r = list.smsDoesExist("SM", 9);
        r->SetState(VTixSMS_stateSIMRecvRead);
        EXPECT_FALSE(list.setPDUtext("SM", 9, 0, bad, false)) << bad;
        EXPECT_EQ(r->GetState(), VTixSMS_state_ReadFailed) << bad;
        list.messageDeleted(r);
    }
}

TEST_F(SmsQueues, ClearingDeviceMessagesKeepsTheProgramsOwn)
{
    list.smsDoesExist("SM", 1);
    VTixSMSRecord* draft = list.smsDoesExist("PC", 0);
    list.smsDoesExist("ME", 1);
    VTixSMSRecord* delivered = list.smsDoesExist("PC", 0);
    list.smsDoesExist("SM", 2);
    list.clearDeviceMessages();
    ASSERT_EQ(list.getSMSCount(), 2);
    EXPECT_EQ(list.getSMS(0), draft);
    EXPECT_EQ(list.getSMS(1), delivered);
    list.clearMessages();
    EXPECT_EQ(list.getSMSCount(), 0);
}

TEST_F(SmsQueues, ChangeCountMovesWithEveryChange)
{
    uint32_t last = list.GetChangeCount();
    auto moved = [&] {
        const uint32_t now = list.GetChangeCount();
        const bool changed = now != last;
        last = now;
        return changed;
    };
    list.storageDoesExist("SM");
    EXPECT_TRUE(moved());
    list.storageDoesExist("SM");
    EXPECT_FALSE(moved());
    VTixSMSRecord* sms = list.smsDoesExist("SM", 1);
    EXPECT_TRUE(moved());
    sms->SetState(VTixSMS_state_Deleting);
    EXPECT_TRUE(moved());
    sms->SetIndex(2);
    EXPECT_TRUE(moved());
    list.getStorageByName("SM")->SetFirstRead(true);
    EXPECT_TRUE(moved());
    std::string storage = "SM";
    int index = 0;
    list.getWantedReads(storage, index, true);
    list.getWantedDelete(storage, index);
    EXPECT_FALSE(moved());  // looking changes nothing
    list.messageDeleted(sms);
    EXPECT_TRUE(moved());
}
