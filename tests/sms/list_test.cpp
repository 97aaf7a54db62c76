// VTixSMSList: records by storage and index, deletion with parents and
// parts, batched change notifications, callbacks and the pending counter.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "sms/sms_list.h"
#include "tests/sms/sms_rig.h"

using namespace SmsRig;

namespace {

struct TNote {
    VTixItemOperation op;
    VTixSMSRecord* sms;
    bool operator==(const TNote&) const = default;
};

// A list with one callback that writes down every notification.
class SmsList : public ::testing::Test {
protected:
    SmsList() { list.RegisterSMSChangeNotify(&callback); }

    // A composed message with a 161-character text split in two.
    VTixSMSRecord* SplitParent()
    {
        VTixSMSRecord* parent = list.smsDoesExist("PC", 0);
        parent->SetState(VTixSMS_stateSIMUnsent);
        parent->SetMessageType(VTixSMS_smsTypeSUBMIT);
        parent->SetUserNumber("+420777123456");
        parent->SetText(std::string(161, 'x'));
        EXPECT_TRUE(parent->splitIfNeeded());
        EXPECT_EQ(parent->GetPartCount(), 2);
        return parent;
    }

    // Declared before the list, which still notifies while it ends.
    std::vector<TNote> notes;
    TNotifySMSEvent callback = [this](VTixSMSList* sender, VTixItemOperation op, VTixSMSRecord* sms) {
        EXPECT_EQ(sender, &list);
        notes.push_back(TNote{op, sms});
    };
    VTixSMSList list;
};

}  // namespace

TEST_F(SmsList, RecordsByStorageAndIndex)
{
    VTixSMSRecord* a = list.smsDoesExist("PC", 0);
    VTixSMSRecord* b = list.smsDoesExist("PC", 0);
    EXPECT_EQ(a->GetIndex(), 1);
    EXPECT_EQ(b->GetIndex(), 2);
    EXPECT_EQ(a->GetStorage(), "PC");
    EXPECT_EQ(a->GetState(), VTixSMS_state_Unknown);
    EXPECT_EQ(a->GetList(), &list);
    VTixSMSRecord* sm = list.smsDoesExist("SM", 3);
    EXPECT_EQ(list.smsDoesExist("SM", 3), sm);
    EXPECT_EQ(list.smsDoesExist("", 2), b);  // an empty storage is "PC"
    // A program index given outright is not handed out again.
    VTixSMSRecord* five = list.smsDoesExist("PC", 5);
    EXPECT_EQ(list.smsDoesExist("PC", 0)->GetIndex(), 6);
    list.smsDoesExist("PC", 8);
    list.messageDeleted(list.getSMSByIndex("PC", 8));
    EXPECT_EQ(list.smsDoesExist("PC", 0)->GetIndex(), 9);

    EXPECT_EQ(list.getSMSCount(), 6);
    EXPECT_EQ(list.getSMS(0), a);
    EXPECT_EQ(list.getSMS(3), five);
    EXPECT_EQ(list.getSMS(6), nullptr);
    EXPECT_EQ(list.getSMS(-1), nullptr);
    EXPECT_EQ(list.getSMSByIndex("SM", 3), sm);
    EXPECT_EQ(list.getSMSByIndex("SM", 4), nullptr);
    EXPECT_EQ(list.getSMSByIndex("sm", 3), nullptr);
    EXPECT_EQ(notes.size(), 8u);
    EXPECT_EQ(notes.front(), (TNote{vtioAdd, a}));

    list.smsDoesExist("SM", 3);
    list.messageDeleted("SM", 3);
    EXPECT_EQ(list.getSMSByIndex("SM", 3), nullptr);
    list.messageDeleted(nullptr);
    VTixSMSRecord stranger;
    list.messageDeleted(&stranger);  // not of this list: ignored
    EXPECT_EQ(list.getSMSCount(), 5);

    notes.clear();
    list.clearMessages();
    EXPECT_EQ(list.getSMSCount(), 0);
    ASSERT_EQ(notes.size(), 5u);
    for (const TNote& note : notes)
        EXPECT_EQ(note.op, vtioRemove);
    EXPECT_EQ(notes.back().sms, a);  // last first: the first record goes last
}

TEST_F(SmsList, BatchedNotifications)
{
    list.BeginUpdate();
    VTixSMSRecord* a = list.smsDoesExist("SM", 1);
    a->SetState(VTixSMS_stateSIMRecvRead);  // held vtioAdd stays
    VTixSMSRecord* b = list.smsDoesExist("SM", 2);
    list.BeginUpdate();
    b->SetComment("x");
    list.EndUpdate();
    EXPECT_TRUE(notes.empty());  // still inside the outer batch
    VTixSMSRecord* c = list.smsDoesExist("SM", 3);
    list.messageDeleted(c);  // a removal goes at once, its held add with it
    ASSERT_EQ(notes.size(), 1u);
    EXPECT_EQ(notes[0], (TNote{vtioRemove, c}));
    list.EndUpdate();
    ASSERT_EQ(notes.size(), 3u);
    EXPECT_EQ(notes[1], (TNote{vtioAdd, a}));
    EXPECT_EQ(notes[2], (TNote{vtioAdd, b}));
    EXPECT_EQ(a->GetHeldNotify(), vtioNone);
    list.EndUpdate();  // one too many: harmless
    EXPECT_FALSE(list.IsUpdating());

    notes.clear();
    list.BeginUpdate();
    a->SetComment("1");
    a->SetComment("2");
    list.EndUpdate();
    EXPECT_EQ(notes, (std::vector<TNote>{{vtioUpdate, a}}));
}

TEST_F(SmsList, CallbacksLastRegisteredFirst)
{
    std::string order;
    TNotifySMSEvent first = [&](VTixSMSList*, VTixItemOperation, VTixSMSRecord*) { order += '1'; };
    TNotifySMSEvent second = [&](VTixSMSList*, VTixItemOperation, VTixSMSRecord*) { order += '2'; };
    TNotifySMSEvent empty;
    TNotifySMSEvent leaving = [&](VTixSMSList* l, VTixItemOperation, VTixSMSRecord*) {
        order += 'L';
        l->UnRegisterSMSChangeNotify(&first);  // first is not called any more
    };
    list.UnRegisterSMSChangeNotify(&callback);
    list.RegisterSMSChangeNotify(&first);
    list.RegisterSMSChangeNotify(&second);
    list.RegisterSMSChangeNotify(&second);
    list.RegisterSMSChangeNotify(nullptr);
    list.RegisterSMSChangeNotify(&empty);
    list.smsDoesExist("PC", 0);
    EXPECT_EQ(order, "21");
    // Unregistering moves the last entry into the gap.
    list.RegisterSMSChangeNotify(&callback);
    list.UnRegisterSMSChangeNotify(&first);
    list.RegisterSMSChangeNotify(&first);
    order.clear();
    list.smsDoesExist("PC", 0);
    EXPECT_EQ(order, "12");
    list.RegisterSMSChangeNotify(&leaving);
    order.clear();
    list.smsDoesExist("PC", 0);
    EXPECT_EQ(order, "L2");
    for (TNotifySMSEvent* c : {&second, &empty, &leaving})
        list.UnRegisterSMSChangeNotify(c);
}

TEST_F(SmsList, PendingCounterNeverBelowZero)
{
    TDebugNotes debug;
    list.IncPendingSomeOperations();
    EXPECT_TRUE(list.GetPendingSomeOperations());
    list.DecPendingSomeOperations();
    EXPECT_FALSE(list.GetPendingSomeOperations());
    list.DecPendingSomeOperations();
    EXPECT_EQ(list.GetPendingSomeOperationsCount(), 0);
    EXPECT_EQ(debug.texts, (std::vector<std::string>{"PendingSomeOperations<0"}));
    list.IncPendingSomeOperations();
    EXPECT_EQ(list.GetPendingSomeOperationsCount(), 1);
}

TEST_F(SmsList, StateChangesReachTheListsHandler)
{
    std::vector<VTixSMS_textSMSstates> seen;
    list.OnMessageStateChange = [&](VTixSMSList* l, VTixSMSRecord* sms) {
        EXPECT_EQ(l, &list);
        seen.push_back(sms->GetState());
    };
    VTixSMSRecord* sms = list.smsDoesExist("SM", 1);
    sms->SetState(VTixSMS_stateBeingSent);
    sms->SetState(VTixSMS_stateSIMSent);
    sms->SetPDUText("00");  // unreadable
    EXPECT_EQ(seen, (std::vector<VTixSMS_textSMSstates>{VTixSMS_stateBeingSent,
                                                         VTixSMS_stateSIMSent,
                                                         VTixSMS_state_ReadFailed}));
}

TEST_F(SmsList, DeletingPartsAndParents)
{
    VTixSMSRecord* parent = SplitParent();
    VTixSMSRecord* part1 = parent->GetPart(0);
    VTixSMSRecord* part2 = parent->GetPart(1);
    EXPECT_EQ(list.getSMSCount(), 3);
    notes.clear();
    list.messageDeleted(part1);
    EXPECT_EQ(parent->GetPartCount(), 1);
    EXPECT_EQ(parent->GetPart(0), part2);
    EXPECT_EQ(notes, (std::vector<TNote>{{vtioRemove, part1}}));
    // The last part takes its parent with it.
    list.messageDeleted(part2);
    EXPECT_EQ(list.getSMSCount(), 0);
    EXPECT_EQ(notes.size(), 3u);
    EXPECT_EQ(notes[1], (TNote{vtioRemove, part2}));
    EXPECT_EQ(notes[2], (TNote{vtioRemove, parent}));

    // A deleted parent deletes its parts, last first.
    parent = SplitParent();
    part1 = parent->GetPart(0);
    part2 = parent->GetPart(1);
    notes.clear();
    list.messageDeleted(parent);
    EXPECT_EQ(list.getSMSCount(), 0);
    EXPECT_EQ(notes, (std::vector<TNote>{{vtioRemove, parent}, {vtioRemove, part2}, {vtioRemove, part1}}));

    // And the list's end deletes everything once.
    SplitParent();
}

TEST_F(SmsList, ParentEntryFollowsItsParts)
{
    VTixSMSRecord* parent = SplitParent();
    VTixSMSRecord* part1 = parent->GetPart(0);
    VTixSMSRecord* part2 = parent->GetPart(1);
    parent->wantedOperation("420777123456,145", VTixSMSOperation_Send);
    EXPECT_TRUE(part1->getIsOperation(0, "+420777123456", VTixSMSOperation_Send));
    EXPECT_TRUE(parent->getIsOperation(0, "+420777123456", VTixSMSOperation_Send));
    EXPECT_EQ(list.GetPendingSomeOperationsCount(), 3);
    EXPECT_TRUE(parent->wantsAnyOperation());

    part2->doneWantedOperation(0, VTixSMSOperation_SendFailed, false);
    EXPECT_TRUE(parent->getIsOperation(0, "+420777123456", VTixSMSOperation_Send));
    part1->doneWantedOperation(0, VTixSMSOperation_Sent, false);
    EXPECT_TRUE(parent->getIsOperation(0, "+420777123456", VTixSMSOperation_SendFailed));
    EXPECT_EQ(list.GetPendingSomeOperationsCount(), 0);
    part2->doneWantedOperation(0, VTixSMSOperation_Prepare, false);
    EXPECT_TRUE(parent->getIsOperation(0, "+420777123456", VTixSMSOperation_Prepare));
    part2->doneWantedOperation(0, VTixSMSOperation_Sent, false);
    EXPECT_TRUE(parent->getIsOperation(0, "+420777123456", VTixSMSOperation_Sent));

    // A change of the parent's own entry goes down to every part.
    parent->wantedOperation("SM", VTixSMSOperation_Write);
    parent->doneWantedOperation(1, VTixSMSOperation_Sent, false);
    EXPECT_TRUE(part1->getIsOperation(1, "SM", VTixSMSOperation_Sent));
    EXPECT_TRUE(part2->getIsOperation(1, "SM", VTixSMSOperation_Sent));
    EXPECT_EQ(list.GetPendingSomeOperationsCount(), 0);
    // Clearing starts in the parts.
    parent->clearWantedOperations(VTixSMSOperation_Sent);
    EXPECT_EQ(parent->getWantedOperationCount(), 0);
    EXPECT_EQ(part1->getWantedOperationCount(), 0);
    // Parts removed with an entry pending give it back.
    parent->wantedOperation("", VTixSMSOperation_Send);
    EXPECT_EQ(list.GetPendingSomeOperationsCount(), 3);
    list.messageDeleted(parent);
    EXPECT_EQ(list.GetPendingSomeOperationsCount(), 0);
}
