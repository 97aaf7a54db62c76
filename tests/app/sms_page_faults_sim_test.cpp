// The SMS page of the real window on a device that loses the final result
// of a send: the message shows as being sent while the result is awaited,
// then as failed with Send enabled again, and a second Send goes out.
#include <QLabel>
#include <QPushButton>
#include <QTreeView>
#include <gtest/gtest.h>

#include <string>

#include "app/sms_memo.h"
#include "engine/perif_smss.h"
#include "sms/sms_list.h"
#include "sms/sms_list_model.h"
#include "sms/sms_storage.h"
#include "tests/app/main_window_fixture.h"
#include "tests/support/input_devices.h"

using namespace MainWindowTest;
using Platform::FromQString;

namespace {

struct SmsPageFaults : TMainWindowFixture {
    VTixSMSList& list() { return *w().VSMSList1; }
    VTixSMSListModel& model() { return *w().SMSListModel; }
    VPerifSMSs& smss() { return w().uniset->getHandlers().smss(); }
    std::string Cell(int row, int column) { return FromQString(model().data(model().index(row, column)).toString()); }
    std::string State() { return FromQString(w().LabelSMSState->text()); }
    size_t SentCount()
    {
        size_t n = 0;
        sim->WithDevice([&](ModemSim::TDevice& d) { n = d.sms.sent.size(); });
        return n;
    }
    int ProgramRows()
    {
        int n = 0;
        for (int r = 0; r < model().rowCount(); ++r)
            n += Cell(r, 0).find("PC") != std::string::npos;
        return n;
    }
};

}  // namespace

TEST_F(SmsPageFaults, LostSendResultShowsTheMessageFailedAndSendWorksAgain)
{
    Make(false);
    ModemSim::TProfile p = ModemSim::TProfile::Builtin("tc35");
    p.faults.push_back("+CMGS= nofinal x1");
    StartSim(p, false, true);
    ASSERT_NO_FATAL_FAILURE(StartOnSim(QSize(640, 600)));
    ASSERT_TRUE(RunUntilOnDeviceTime(
        [&] {
            const VTixSMSStorage* sm = list().getStorageByName("SM");
            return sm && sm->GetFirstRead() && !smss().isBusy() && model().rowCount() == 3;
        },
        60000))
        << sim->Transcript().ToText();
    w().PageControl1->setCurrentWidget(w().SheetSMS);

    w().BtnSMSNew->click();
    VTixSMSRecord* draft = w().focusedSMS();
    ASSERT_NE(draft, nullptr);
    w().EditSMStel->setText("+420777123456");
    w().MemoSMS->setFocus();
    TestSupport::KeyClicks(w().MemoSMS, "Ahoj");
    ASSERT_TRUE(w().BtnSMSSend->isEnabled());
    w().BtnSMSSend->click();
    ASSERT_TRUE(RunUntilOnDeviceTime([&] { return SentCount() == 1; }, 30000)) << sim->Transcript().ToText();
    // Awaiting the result: shown being sent, not to be sent again.
    ASSERT_TRUE(RunForDeviceTime(20000));
    EXPECT_EQ(State(), Cz("Posílá se..."));
    EXPECT_FALSE(w().BtnSMSSend->isEnabled());
    EXPECT_FALSE(w().BtnSMSDel->isEnabled());

    // No result: the send failed, the page says so and offers Send again.
    ASSERT_TRUE(RunUntilOnDeviceTime([&] { return draft->GetState() == VTixSMS_stateSendFailed; }, 60000))
        << sim->Transcript().ToText();
    RunFor(50);
    EXPECT_EQ(w().focusedSMS(), draft);
    EXPECT_EQ(State(), Cz("Chyba odeslání"));
    EXPECT_EQ(Cell(model().rowOf(draft), 1), Cz("Chyba odeslání"));
    EXPECT_EQ(ProgramRows(), 1);
    EXPECT_TRUE(w().BtnSMSSend->isEnabled());
    EXPECT_TRUE(w().BtnSMSDel->isEnabled());
    EXPECT_EQ(FromQString(w().MemoSMS->MemoText()), "Ahoj");

    // Send again: it goes, and the page shows it sent.
    w().BtnSMSSend->click();
    ASSERT_TRUE(RunUntilOnDeviceTime([&] { return SentCount() == 2 && !smss().getMySMS() && !smss().isBusy(); },
                                     30000))
        << sim->Transcript().ToText();
    RunFor(50);
    ASSERT_EQ(ProgramRows(), 1);
    for (int r = 0; r < model().rowCount(); ++r)
        if (Cell(r, 0).find("PC") != std::string::npos) {
            EXPECT_EQ(Cell(r, 1), Cz("Odeslána"));
            EXPECT_EQ(Cell(r, 2), "Ahoj");
        }
}
