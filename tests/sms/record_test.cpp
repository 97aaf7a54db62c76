// VTixSMSRecord as a model: start values, indexed fields, the "+" rules, the
// read-only rule, validity texts, the lazy refresh, notifications and the
// queue of wanted operations.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "foundation/ansi_to_date_time.h"
#include "sms/sms_list.h"
#include "sms/sms_record.h"
#include "tests/sms/sms_rig.h"

using namespace SmsRig;

namespace {

// A list that counts what it is told about rows and changes.
class TCountingList : public VTixSMSList {
public:
    TCountingList()
    {
        RegisterSMSChangeNotify(&record);
        OnMessageStateChange = [this](VTixSMSList*, VTixSMSRecord* sms) {
            states.push_back(sms->GetState());
        };
    }
    ~TCountingList() override { clearMessages(); }
    void UpdateListItem(VTixSMSRecord*) override { ++rowUpdates; }
    void ReleaseListItem(VTixSMSRecord*, void* row) override { released.push_back(row); }

    int rowUpdates = 0;
    std::vector<void*> released;
    std::vector<VTixItemOperation> ops;
    std::vector<VTixSMS_textSMSstates> states;
    TNotifySMSEvent record = [this](VTixSMSList*, VTixItemOperation op, VTixSMSRecord*) {
        ops.push_back(op);
    };
};

}  // namespace

TEST(SmsRecord, FreshRecord)
{
    VTixSMSRecord sms;
    sms.AfterCreate(nullptr, VTixSMS_state_Unknown);
    EXPECT_EQ(sms.GetMessageType(), VTixSMS_smsType_Unknown);
    EXPECT_FALSE(sms.IsReadOnly());
    EXPECT_EQ(sms.GetValidityText(), "3d");
    EXPECT_TRUE(sms.GetValidityIsRelative());
    EXPECT_EQ(sms.GetPDUFormat(), VTixSMS_pduFmtWithSCA);
    EXPECT_EQ(sms.GetKind(), VTixSMS_smsKindStandard);
    EXPECT_EQ(sms.GetText(), "");
    EXPECT_EQ(sms.GetPDUCount(), 0);
    EXPECT_EQ(sms.GetCMGWlen(), 0);
    EXPECT_EQ(sms.GetCBSerial(), 65535);
    EXPECT_EQ(sms.GetCBPages(), 255);
    EXPECT_FALSE(sms.GetFieldsChanged());
    EXPECT_TRUE(sms.canBeDeleted());
    EXPECT_EQ(sms.printString(), "0\r\n");
}

TEST(SmsRecord, IndexedFieldsIgnoreIndexesOutOfRange)
{
    VTixSMSRecord sms;
    sms.AfterCreate(nullptr, VTixSMS_state_Unknown);
    sms.setFieldString(5, "x");
    sms.setFieldString(-1, "x");
    sms.setFieldByte(7, 9);
    sms.setFieldBoolean(2, false);
    for (int i = 0; i <= 4; ++i)
        EXPECT_EQ(sms.getFieldString(i), "");
    EXPECT_EQ(sms.getFieldString(5), "");
    EXPECT_EQ(sms.getFieldByte(7), 0);
    EXPECT_FALSE(sms.getFieldBoolean(2));
    sms.setFieldByte(VTixSMSRecord::fbPID, 0x41);
    sms.setFieldBoolean(VTixSMSRecord::fbValidityRelative, false);
    EXPECT_EQ(sms.GetPID(), 0x41);
    EXPECT_FALSE(sms.GetValidityIsRelative());
}

TEST(SmsRecord, NumbersAndThePlusRule)
{
    auto sms = Submit();
    sms->SetUserNumber("+42");
    EXPECT_EQ(sms->getFieldString(VTixSMSRecord::fsUserNumber), "42");
    EXPECT_EQ(sms->GetUserNumberType(), 145);
    EXPECT_EQ(sms->GetUserNumber(), "+42");
    sms->SetUserNumber("123");
    EXPECT_EQ(sms->GetUserNumberType(), 145);
    EXPECT_EQ(sms->GetUserNumber(), "+123");
    EXPECT_EQ(sms->GetUserFixedPhone(), "+123");

    sms->SetUserNumber("1 2-3");
    EXPECT_EQ(sms->GetFixedUserNumber(), "123");
    sms->SetUserPhone("\"1 2\",161");
    EXPECT_EQ(sms->GetUserNumberType(), 161);
    EXPECT_EQ(sms->GetUserPhone(), "\"1 2\",161");
    EXPECT_EQ(sms->GetUserFixedPhone(), "12");
    sms->SetUserPhone("\"");  // rejected: nothing changes
    EXPECT_EQ(sms->GetUserNumberType(), 161);
    sms->SetUserPhone("555");
    EXPECT_EQ(sms->GetUserNumberType(), 129);
    sms->SetUserNumber("");
    EXPECT_EQ(sms->GetUserFixedPhone(), "");

    sms->SetSCA("+420603052000");
    EXPECT_EQ(sms->GetSCAType(), 145);
    EXPECT_EQ(sms->GetSCA(), "+420603052000");
    EXPECT_EQ(sms->GetFullSCA(), "+420603052000");
    sms->SetSCAType(129);
    EXPECT_EQ(sms->GetSCA(), "420603052000");
    sms->SetFullSCA("+1");
    EXPECT_EQ(sms->GetSCA(), "+1");
    sms->SetFullSCA("\"1\",300");  // no such type: unchanged
    EXPECT_EQ(sms->GetSCA(), "+1");
    sms->SetFullSCA("77");
    EXPECT_EQ(sms->GetSCAType(), 129);
}

TEST(SmsRecord, MessageTypeFollowsTheDirection)
{
    VTixSMSRecord sms;
    sms.AfterCreate(nullptr, VTixSMS_state_Unknown);
    sms.SetMessageType(VTixSMS_smsTypeSUBMIT);  // nothing while Unknown
    EXPECT_FALSE(sms.getFieldBoolean(VTixSMSRecord::fbFirstOctetValid));

    sms.SetState(VTixSMS_stateSIMUnsent);
    EXPECT_EQ(sms.GetMessageType(), VTixSMS_smsType_Unknown);
    sms.SetMessageType(VTixSMS_smsTypeDELIVER);  // not of the sending direction
    EXPECT_EQ(sms.GetMessageType(), VTixSMS_smsType_Unknown);
    sms.SetMessageType(VTixSMS_smsTypeSUBMIT);
    EXPECT_EQ(sms.GetMessageType(), VTixSMS_smsTypeSUBMIT);
    EXPECT_EQ(sms.getFieldByte(VTixSMSRecord::fbFirstOctet), 0x01);

    const struct {
        VTixSMS_textSMSstates state;
        uint8_t mti;
        VTixSMS_MessageType type;
    } table[] = {
        {VTixSMS_stateSIMRecvRead, 0, VTixSMS_smsTypeDELIVER},
        {VTixSMS_stateSIMRecvRead, 1, VTixSMS_smsTypeSUBMIT_REPORT},
        {VTixSMS_stateSIMRecvUnread, 2, VTixSMS_smsTypeSTATUS_REPORT},
        {VTixSMS_stateSIMRecvUnread, 3, VTixSMS_smsTypeRESERVED},
        {VTixSMS_stateSIMSent, 0, VTixSMS_smsTypeDELIVER_REPORT},
        {VTixSMS_stateSendFailed, 1, VTixSMS_smsTypeSUBMIT},
        {VTixSMS_state_Deleting, 2, VTixSMS_smsTypeCOMMAND},
        {VTixSMS_stateBeingSent, 3, VTixSMS_smsTypeRESERVED},
        {VTixSMS_state_ReadFailed, 1, VTixSMS_smsType_Unknown},
    };
    for (const auto& c : table) {
        sms.SetState(c.state);
        sms.setFieldByte(VTixSMSRecord::fbFirstOctet, c.mti);
        EXPECT_EQ(sms.GetMessageType(), c.type) << int(c.state) << " " << int(c.mti);
        EXPECT_EQ(sms.IsReadOnly(),
                  c.type != VTixSMS_smsTypeSUBMIT && c.type != VTixSMS_smsType_Unknown);
    }
}

TEST(SmsRecord, ReadOnlyDeliverIgnoresSetters)
{
    auto sms = Read("0791246030500200040C9124707721436500004230513154034005E8329BFD06",
                    VTixSMS_stateSIMRecvRead);
    ASSERT_EQ(sms->GetMessageType(), VTixSMS_smsTypeDELIVER);
    sms->SetText("changed");
    sms->SetUserNumber("+1");
    sms->SetSCA("+1");
    sms->SetPID(0x20);
    sms->SetDCS(0x08);
    sms->SetMR(7);
    sms->SetTypeBit(0x80, true);
    sms->SetValidityText("1d");
    sms->SetMessageType(VTixSMS_smsTypeRESERVED);
    EXPECT_EQ(sms->GetText(), "hello");
    EXPECT_EQ(sms->GetUserNumber(), "+420777123456");
    EXPECT_EQ(sms->GetSCA(), "+420603052000");
    EXPECT_EQ(sms->GetPID(), 0);
    EXPECT_EQ(sms->GetDCS(), 0);
    EXPECT_EQ(sms->GetMessageType(), VTixSMS_smsTypeDELIVER);
    EXPECT_FALSE(sms->GetFieldsChanged());
    // The comment is never read-only.
    sms->SetComment("mine");
    EXPECT_EQ(sms->GetComment(), "mine");
    EXPECT_FALSE(sms->GetFieldsChanged());
}

TEST(SmsRecord, ValidityTexts)
{
    TFixedNow now(At(2024, 5, 1, 12, 0, 0));
    auto sms = Submit();
    sms->SetValidityText("1t2d");
    EXPECT_TRUE(sms->GetValidityIsRelative());
    EXPECT_DOUBLE_EQ(sms->GetValidityRel(), 9.0);
    EXPECT_EQ(sms->GetValidityText(), "1t 2d");
    sms->SetValidityText("  1T 2D 3H 4M 5");
    EXPECT_EQ(sms->GetValidityText(), "1t 2d 3h 4m 5s");
    sms->SetValidityText("90 m");
    EXPECT_EQ(sms->GetValidityText(), "1h 30m");
    sms->SetValidityText("0");
    EXPECT_EQ(sms->GetValidityText(), "0s");

    sms->SetValidityText("");
    EXPECT_FALSE(sms->GetValidityIsRelative());
    EXPECT_EQ(sms->GetValidityAbs(), 0.0);
    EXPECT_EQ(sms->GetValidityText(), "");

    // A unit twice is no length: it is tried as a date.
    sms->SetValidityText("1d");
    Tixutils::TDateTime date = -5;
    const bool isDate = Tixsmslist::AnsiToDateTime("2d 3d", date, "./", ":", ", ", Tixutils::vdoDMY);
    sms->SetValidityText("2d 3d");
    if (isDate)
        EXPECT_EQ(sms->GetValidityAbs(), date);
    else
        EXPECT_EQ(sms->GetValidityText(), "1d");
    EXPECT_NE(sms->GetValidityText(), "5d");
    // Neither a length nor a date: nothing changes.
    sms->SetValidityText("soon");
    EXPECT_EQ(sms->GetValidityText(), "1d");

    // Day first, also with "/": 3/4/2024 is the 3rd of April.
    sms->SetValidityText("3/4/2024 8:05");
    EXPECT_EQ(sms->GetValidityText(), "3.4.2024 8:05:00");
    EXPECT_EQ(sms->GetValidityAbs(), At(2024, 4, 3, 8, 5));
    // Absolute and relative read through each other with the clock.
    EXPECT_NEAR(sms->GetValidityRel(), At(2024, 4, 3, 8, 5) - At(2024, 5, 1, 12), 1e-9);
    sms->SetValidityRel(2.5);
    EXPECT_EQ(sms->GetValidityText(), "2d 12h");
    // Lengths no octet holds: none below 5 minutes, 63 weeks above.
    for (double odd : {-3.0, std::nan(""), 1e30}) {
        sms->SetValidityRel(odd);
        const std::string hex = Built(*sms);
        EXPECT_EQ(hex.substr(hex.size() - 4, 2), odd > 1 ? "FF" : "00") << odd;
    }
    sms->SetValidityRel(2.5);
    EXPECT_NEAR(sms->GetValidityAbs(), At(2024, 5, 4, 0, 0), 1e-9);

    // An unchanged result leaves the PDU as built.
    sms->create1part();
    sms->SetValidityText("60h");
    EXPECT_FALSE(sms->GetFieldsChanged());
    sms->SetValidityText("61h");
    EXPECT_TRUE(sms->GetFieldsChanged());
}

TEST(SmsRecord, ProtocolIdentifiers)
{
    auto sms = Submit();
    for (int pid = 0; pid < 256; ++pid) {
        sms->SetPID(uint8_t(pid));
        const bool known = pid == 0 || pid == 0x20 || pid == 0x2E || pid == 0x2F ||
                           (pid >= 0x33 && pid <= 0x47);
        EXPECT_EQ(sms->GetProtocol() == VTixSMS_protocolSMS, known) << pid;
    }
    sms->SetProtocol(VTixSMS_protocolSMS);
    EXPECT_EQ(sms->GetPID(), 0);
    VTixSMSList list;
    list.SetUnknownPIDisOK(true);
    auto listed = Submit(&list);
    listed->SetPID(0x7F);
    EXPECT_EQ(listed->GetProtocol(), VTixSMS_protocolSMS);
}

TEST(SmsRecord, LazySidesRefreshEachOther)
{
    auto sms = Submit();
    sms->SetUserPhone("123");
    sms->SetText("Hi");
    sms->SetValidityText("");
    sms->create1part();
    // Octets changed by hand: the fields follow on the next read of a field.
    sms->SetPDUByte(10, 0xC9);  // "Hi" -> "Ii"
    EXPECT_TRUE(sms->GetPDUChanged());
    EXPECT_EQ(sms->GetText(), "Ii");
    EXPECT_FALSE(sms->GetPDUChanged());
    // A setter on stale fields decodes them first, then changes its own.
    sms->SetPDUByte(5, 0x22);  // number 123 -> 223
    sms->SetText("Yo");
    EXPECT_EQ(sms->GetUserNumber(), "223");
    EXPECT_EQ(Built(*sms), "000100038122F3000002D937");
    // refreshPDU settles both sides without building.
    sms->SetText("Hey");
    sms->refreshPDU();
    EXPECT_FALSE(sms->GetFieldsChanged());
    EXPECT_EQ(sms->GetPDUText(), "000100038122F3000002D937");
    sms->SetText("Hey!");
    sms->fixChanges();
    EXPECT_FALSE(sms->GetFieldsChanged());
}

TEST(SmsRecord, NotificationsAndRows)
{
    TCountingList list;
    VTixSMSRecord* sms = list.smsDoesExist("PC", 0);
    ASSERT_EQ(list.ops, (std::vector<VTixItemOperation>{vtioAdd}));
    list.ops.clear();
    const int rowsBefore = list.rowUpdates;

    sms->SetState(VTixSMS_stateSIMUnsent);
    sms->SetState(VTixSMS_stateSIMUnsent);  // no change: no notice
    EXPECT_EQ(list.states, (std::vector<VTixSMS_textSMSstates>{VTixSMS_stateSIMUnsent}));
    sms->SetMessageType(VTixSMS_smsTypeSUBMIT);
    sms->SetText("a");
    sms->SetText("a");
    sms->SetUserNumber("1");
    sms->SetMR(3);                  // no row
    sms->SetComment("c");
    sms->SetComment("c");           // unchanged comment: no notice
    sms->SetIndex(sms->GetIndex());  // unchanged: no row
    sms->SetStorage("SM");
    EXPECT_EQ(list.ops, std::vector<VTixItemOperation>(6, vtioUpdate));
    // State, type, text, number, storage: rows refreshed.
    EXPECT_EQ(list.rowUpdates - rowsBefore, 5);

    int row1 = 1, row2 = 2;
    sms->SetListItem(&row1);
    sms->SetListItem(&row2);
    EXPECT_EQ(sms->GetListItem(), &row2);
    EXPECT_EQ(list.released, (std::vector<void*>{&row1}));
    list.ops.clear();
    list.messageDeleted(sms);
    EXPECT_EQ(list.released, (std::vector<void*>{&row1, &row2}));
    EXPECT_EQ(list.ops, (std::vector<VTixItemOperation>{vtioRemove}));
    EXPECT_EQ(list.getSMSCount(), 0);
}

TEST(SmsRecord, ComparisonsAndTexts)
{
    auto a = Submit();
    auto b = Submit();
    a->SetText("x");
    b->SetText("x");
    EXPECT_TRUE(a->equals(b.get()));
    EXPECT_FALSE(a->equals(nullptr));
    b->SetText("y");
    EXPECT_FALSE(a->equals(b.get()));
    b->SetText("x");
    b->addUserData(1, 2, "");
    EXPECT_FALSE(a->fieldsEqual(b.get()));
    b->SetState(VTixSMS_stateSIMSent);
    EXPECT_FALSE(a->equals(b.get()));
    // The other's stale fields: its octets are compared.
    a->create1part();
    auto c = Read(a->GetPDUText(), VTixSMS_stateSIMUnsent);
    c->SetPDUByte(0, 0);
    EXPECT_TRUE(a->equals(c.get()));
    EXPECT_EQ(a->printString(), "4\r\nx");
    EXPECT_EQ(a->configString(), a->printString());
}

TEST(SmsRecord, WantedOperations)
{
    VTixSMSList list;
    VTixSMSRecord* sms = list.smsDoesExist("SM", 5);
    sms->SetState(VTixSMS_stateSIMUnsent);
    sms->SetMessageType(VTixSMS_smsTypeSUBMIT);

    sms->wantedOperation("", VTixSMSOperation_NoOp);
    sms->wantedOperation("", VTixSMSOperation_Prepare);
    sms->wantedOperation("", VTixSMSOperation_Sent);
    sms->wantedOperation("", VTixSMSOperation_SendFailed);
    sms->wantedOperation("", VTixSMSOperation_Send);  // no own number yet
    EXPECT_EQ(sms->getWantedOperationCount(), 0);
    EXPECT_FALSE(sms->wantsAnyOperation());

    sms->SetUserNumber("+420111");
    sms->wantedOperation("", VTixSMSOperation_Send);
    sms->wantedOperation("+420 222", VTixSMSOperation_Send);
    sms->wantedOperation("ME", VTixSMSOperation_Write);
    sms->wantedOperation("", VTixSMSOperation_Write);
    EXPECT_EQ(sms->getWantedOperationCount(), 4);
    EXPECT_EQ(list.GetPendingSomeOperationsCount(), 4);
    EXPECT_TRUE(sms->wantsAnyOperation());
    std::string dest;
    VTixSMSOperation op = VTixSMSOperation_NoOp;
    ASSERT_TRUE(sms->getWantedOperation(1, dest, op));
    EXPECT_EQ(dest, "\"+420 222\"");
    EXPECT_FALSE(sms->getWantedOperation(4, dest, op));
    EXPECT_TRUE(sms->getWantsOperation("ME", VTixSMSOperation_Write));
    EXPECT_FALSE(sms->getWantsOperation("ME", VTixSMSOperation_Send));
    EXPECT_TRUE(sms->getIsOperation(0, "", VTixSMSOperation_Send));
    EXPECT_FALSE(sms->getIsOperation(9, "", VTixSMSOperation_Send));

    int pos = -7;
    std::string find = "me";
    ASSERT_TRUE(sms->findWantedOperationIC(pos, find, op));
    EXPECT_EQ(pos, 2);
    EXPECT_EQ(find, "ME");
    EXPECT_EQ(op, VTixSMSOperation_Write);
    pos = -7;
    find = "SR";
    EXPECT_FALSE(sms->findWantedOperationIC(pos, find, op));
    EXPECT_EQ(pos, -7);
    EXPECT_EQ(op, VTixSMSOperation_NoOp);

    // The own number and storage match empty destinations.
    sms->doneOperation("+420111", VTixSMSOperation_Send, VTixSMSOperation_Sent, false);
    EXPECT_TRUE(sms->getIsOperation(0, "", VTixSMSOperation_Sent));
    EXPECT_EQ(list.GetPendingSomeOperationsCount(), 3);
    sms->doneOperation("SM", VTixSMSOperation_Write, VTixSMSOperation_NoOp, false);
    EXPECT_EQ(sms->getWantedOperationCount(), 3);
    EXPECT_EQ(list.GetPendingSomeOperationsCount(), 2);
    sms->doneWantedOperation(1, VTixSMSOperation_SendFailed, false);
    sms->doneWantedOperation(1, VTixSMSOperation_SendFailed, false);  // no change
    sms->doneWantedOperation(7, VTixSMSOperation_Send, false);        // out of range
    EXPECT_EQ(list.GetPendingSomeOperationsCount(), 1);
    sms->clearWantedOperations(VTixSMSOperation_SendFailed);
    EXPECT_EQ(sms->getWantedOperationCount(), 2);

    // Deleting the record gives its pending operations back.
    list.messageDeleted(sms);
    EXPECT_EQ(list.GetPendingSomeOperationsCount(), 0);
    EXPECT_FALSE(list.GetPendingSomeOperations());
}
