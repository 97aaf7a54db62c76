#pragma once
// The SMS page of the real window without a device (the SMS handler takes
// the first request and sends nothing), with helpers to make messages of
// the device's memory, select them and read the page's controls.
#include <QLabel>
#include <QPushButton>
#include <QTreeView>
#include <string>

#include "app/sms_memo.h"
#include "engine/perif_smss.h"
#include "sms/sms_list.h"
#include "sms/sms_list_model.h"
#include "tests/app/main_window_fixture.h"
#include "tests/support/input_devices.h"

namespace MainWindowTest {

using Platform::FromQString;

struct SmsPage : TMainWindowFixture {
    void SetUp() override
    {
        TMainWindowFixture::SetUp();
        TestSupport::AppWithDevices();
        Make(false);
        w().resize(640, 600);
        w().show();
        w().PageControl1->setCurrentWidget(w().SheetSMS);
        w().createEngine();
        ASSERT_TRUE(w().uniset);
        RunFor(20);
    }
    VTixSMSList& list() { return *w().VSMSList1; }
    VTixSMSListModel& model() { return *w().SMSListModel; }
    VPerifSMSs& smss() { return w().uniset->getHandlers().smss(); }
    QItemSelectionModel& selection() { return *w().ListSMSs->selectionModel(); }

    // A message of the device's memory as read from it: its PDU built from
    // a SUBMIT with that text and number.
    VTixSMSRecord* Device(int index, VTixSMS_textSMSstates state, const std::string& text,
                          const std::string& number = "+420777123456")
    {
        VTixSMSList scratch;
        VTixSMSRecord* draft = scratch.smsDoesExist(VTixSMSList::ProgramStorage, 0);
        draft->SetState(VTixSMS_stateSIMUnsent);
        draft->SetMessageType(VTixSMS_smsTypeSUBMIT);
        draft->SetUserPhone(number);
        draft->SetText(text);
        draft->create1part();
        const std::string pdu = draft->GetPDUText();
        // The state first, as the device's listing gives it.
        list().smsDoesExist("SM", index)->SetState(VTixSMS_stateSIMUnsent);
        EXPECT_TRUE(list().setPDUtext("SM", index, 0, pdu, false)) << pdu;
        VTixSMSRecord* sms = list().getSMSByIndex("SM", index);
        sms->SetState(state);
        EXPECT_FALSE(sms->GetFieldsChanged());
        return sms;
    }
    // A received message (DELIVER, read-only): "hello" from +420777123456.
    VTixSMSRecord* Received(int index, VTixSMS_textSMSstates state = VTixSMS_stateSIMRecvRead)
    {
        list().smsDoesExist("SM", index)->SetState(state);
        EXPECT_TRUE(list().setPDUtext("SM", index, 0,
                                      "0791246030500200040C9124707721436500004230513154034005E8329BFD06", false));
        return list().getSMSByIndex("SM", index);
    }
    int Row(const VTixSMSRecord* sms) { return model().rowOf(sms); }
    QModelIndex Index(const VTixSMSRecord* sms) { return model().index(Row(sms), 0); }
    // That message alone selected and current.
    void Focus(const VTixSMSRecord* sms)
    {
        selection().setCurrentIndex(Index(sms), QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    }
    // These selected too, as with Ctrl+click (the current row stays).
    void AlsoSelect(const VTixSMSRecord* sms)
    {
        selection().select(Index(sms), QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }
    // Ctrl+click: the row becomes current and selected, the others stay.
    void CtrlClick(const VTixSMSRecord* sms)
    {
        selection().setCurrentIndex(Index(sms), QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }
    std::string Memo() { return FromQString(w().MemoSMS->MemoText()); }
    std::string Tel() { return FromQString(w().EditSMStel->text()); }
    std::string Validity() { return FromQString(w().EditSMSValidity->text()); }
    std::string State() { return FromQString(w().LabelSMSState->text()); }
    std::string Cell(int row, int column) { return FromQString(model().data(model().index(row, column)).toString()); }
    // Store, Send, Delete enabled, and Send the default (else New).
    std::string Buttons()
    {
        std::string s;
        s += w().BtnSMSWrite->isEnabled() ? "W" : "-";
        s += w().BtnSMSSend->isEnabled() ? "S" : "-";
        s += w().BtnSMSDel->isEnabled() ? "D" : "-";
        s += w().BtnSMSSend->isDefault() ? " send" : "";
        s += w().BtnSMSNew->isDefault() ? " new" : "";
        return s;
    }
    static bool IsBlue(QWidget* edit)
    {
        return edit->palette().color(QPalette::Active, QPalette::Text) == QColor(0, 0, 255);
    }
    static bool IsBlack(QWidget* edit)
    {
        return edit->palette().color(QPalette::Active, QPalette::Text) == QColor(0, 0, 0);
    }
    // Frees the handler for the next request, as the end of one does.
    void HandlerDone() { smss().reset(Platform::GetTickCount()); }
};


}  // namespace MainWindowTest
