// The main window's SMS list: owned by the window with its item model and
// the window's language, the SMS-centre list read from the Windows
// directory into the options dialog's ComboSCA, the centre written to the
// device by "Zapsat", the state column by the user level, and the window
// on the simulated device listing its messages.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QPushButton>
#include <algorithm>

#include "app/form_options.h"
#include "app/radio_group.h"
#include "engine/perif_smss.h"
#include "engine/uniset.h"
#include "platform/qt/paths.h"
#include "sms/sms_list.h"
#include "sms/sms_list_model.h"
#include "tests/app/main_window_fixture.h"

using namespace MainWindowTest;

namespace {

struct SmsListWindow : TMainWindowFixture {
    VTixSMSList& list() { return *w().VSMSList1; }
    QComboBox* combo() { return FormOptions->ComboSCA; }
};

}  // namespace

TEST_F(SmsListWindow, OwnedWithItsModelAndTheCentreCombo)
{
    Make(false);
    ASSERT_NE(w().VSMSList1, nullptr);
    EXPECT_EQ(w().smsList(), w().VSMSList1.get());
    ASSERT_NE(w().SMSListModel, nullptr);
    EXPECT_EQ(list().GetListView(), w().SMSListModel.get());
    EXPECT_TRUE(list().UpdateOften);
    EXPECT_EQ(list().LangSection, "SMSList");
    EXPECT_EQ(list().GetBreakers().GetBreaker(VTixSMS_BreakerDispatcher::FmtBeginFirst), "%N/%T:");
    EXPECT_EQ(list().GetBreakers().GetBreaker(VTixSMS_BreakerDispatcher::FmtEndNotLast), " >%M");
    EXPECT_EQ(list().GetBreakers().GetBreaker(VTixSMS_BreakerDispatcher::FmtBeginSingle), "");
    EXPECT_FALSE(w().windowMinimized());

    // The combo is the list's: the form's presets went with the rebuild.
    EXPECT_EQ(combo()->count(), 0);
    list().SetSCANumber("+420603052000");
    EXPECT_EQ(combo()->currentText(), "+420603052000");
    EXPECT_EQ(combo()->currentIndex(), -1);

    // Rows in the window's language, texts through the translation.
    list().smsDoesExist("SM", 2)->SetState(VTixSMS_stateSIMSent);
    VTixSMSListModel& model = *w().SMSListModel;
    EXPECT_EQ(model.headerData(1, Qt::Horizontal).toString(), "Stav");
    EXPECT_EQ(model.data(model.index(0, 1)).toString(), QString::fromUtf8("Odeslána"));
    // The user level: the state as text only at level 0.
    FormOptions->RGroupAdvanced->SetItemIndex(1);
    FormOptions->RGroupAdvancedClick(nullptr);
    EXPECT_FALSE(list().GetShowSMSStateAsText());
    FormOptions->RGroupAdvanced->SetItemIndex(0);
    FormOptions->RGroupAdvancedClick(nullptr);
    EXPECT_TRUE(list().GetShowSMSStateAsText());
}

TEST_F(SmsListWindow, CentresFromTheFileAndWrittenToTheDevice)
{
    WriteFile(Platform::WindowsDirectory() + "/tix_smsc.ini",
              "+420602909909 \"CZE Eurotel\"\r\n+420603052000\r\n+420608005681 \"CZE Cesky Mobil\"\r\n");
    Make(false);
    StartSim(ModemSim::TProfile::Builtin("tc35"));
    ASSERT_NO_FATAL_FAILURE(StartOnSim(QSize(640, 600)));
    EXPECT_EQ(list().GetSCAFile(), Platform::WindowsDirectory() + "/tix_smsc.ini");
    ASSERT_EQ(combo()->count(), 3);
    EXPECT_EQ(combo()->itemText(2), "+420608005681 \"CZE Cesky Mobil\"");
    ASSERT_NO_FATAL_FAILURE(WaitUntilReady());
    // The device's centre is the file's second line, selected.
    ASSERT_TRUE(RunUntil([&] { return combo()->currentIndex() == 1; }, 10000)) << sim->Transcript().ToText();
    VPerifSMSs& sms = w().uniset->getHandlers().smss();
    EXPECT_EQ(sms.getDeviceSCA(), "420603052000");

    // "Zapsat" without a number writes nothing; with one, the device takes it.
    combo()->setCurrentIndex(-1);
    combo()->setEditText(QString());
    FormOptions->BtnCSCAAgain->click();
    EXPECT_EQ(sms.getWantedSCA(), "420603052000");
    combo()->setCurrentIndex(0);
    FormOptions->BtnCSCAAgain->click();
    EXPECT_EQ(sms.getWantedSCA(), "420602909909");
    EXPECT_EQ(sms.getWantedSCAType(), 145);
    ASSERT_TRUE(RunUntil([&] { return sms.getDeviceSCA() == "420602909909"; }, 10000))
        << sim->Transcript().ToText();
    const auto commands = sim->Transcript().Commands();
    EXPECT_NE(std::find(commands.begin(), commands.end(), "AT+CSCA=\"420602909909\",145"), commands.end());
    sim->WithDevice([](ModemSim::TDevice& d) { EXPECT_EQ(d.sms.centre, "420602909909"); });

    // The first listing, its 10 s passed at once: the three messages.
    ASSERT_TRUE(RunUntil([&] { return sms.getLastListTick() != 0; }, 10000));
    SetTickTo(Platform::GetTickCount() + 10000);
    ASSERT_TRUE(RunUntil([&] { return w().SMSListModel->rowCount() == 3 && !sms.isBusy(); }, 15000))
        << sim->Transcript().ToText();
    VTixSMSListModel& model = *w().SMSListModel;
    EXPECT_EQ(model.data(model.index(0, 0)).toString(), "1: SM");
    EXPECT_EQ(model.data(model.index(1, 1)).toString(), QString::fromUtf8("Přijatá"));
    EXPECT_EQ(model.data(model.index(2, 2)).toString(), "Ahoj");
}
