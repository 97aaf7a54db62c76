// The program's data keep their letters whatever the interface language:
// with English (code page 1252) active, messages, phonebook names, file
// rows, configuration values and the built-in Czech texts show and are
// typed as in Czech; file names show and edit as UTF-8.
#include <QLabel>
#include <QLineEdit>
#include <QTreeView>
#include <gtest/gtest.h>

#include <string>

#include "app/form_options.h"
#include "calls/list_item_file.h"
#include "calls/list_view_file.h"
#include "engine/perif_phonebook.h"
#include "phonebook/phonebook.h"
#include "phonebook/phonebook_item_model.h"
#include "tests/app/sms_page_fixture.h"
#include "translation/tixlanguage.h"

using namespace MainWindowTest;
using TestSupport::KeyClicks;

namespace {

struct DataLetters : SmsPage {
    void SetUp() override
    {
        SmsPage::SetUp();
        w().VTixLanguage1->SetCurrLanguage("English");
        ASSERT_EQ(w().VTixLanguage1->GetCurrLanguage(), "English");
        ASSERT_EQ(w().BtnSMSNew->text(), QStringLiteral("New"));
    }
    VTixPhoneBook& Phonebook() { return w().uniset->getHandlers().phonebook().getPhonebook(); }
};

const QString Horse = QStringLiteral("Žluťoučký kůň úpěl ďábelské ódy");

}  // namespace

TEST_F(DataLetters, MessagesShowAndTypeTheirLetters)
{
    // From the device in UCS2, which carries every letter.
    VTixSMSList scratch;
    VTixSMSRecord* draft = scratch.smsDoesExist(VTixSMSList::ProgramStorage, 0);
    draft->SetState(VTixSMS_stateSIMUnsent);
    draft->SetMessageType(VTixSMS_smsTypeSUBMIT);
    draft->SetUserPhone("+420777123456");
    draft->SetDCS(0x08);
    draft->SetText(FromQString(Horse));
    draft->create1part();
    list().smsDoesExist("SM", 1)->SetState(VTixSMS_stateSIMUnsent);
    ASSERT_TRUE(list().setPDUtext("SM", 1, 0, draft->GetPDUText(), false));
    VTixSMSRecord* sms = list().getSMSByIndex("SM", 1);
    EXPECT_EQ(sms->GetText(), Cz("Žluťoučký kůň úpěl ďábelské ódy"));
    EXPECT_EQ(model().data(model().index(Row(sms), 2)).toString(), Horse);
    Focus(sms);
    EXPECT_EQ(w().MemoSMS->MemoText(), Horse);
    // Typed: Czech letters as they are, a letter code page 1250 lacks as
    // its base letter (never a Czech letter of the same byte).
    w().MemoSMS->selectAll();
    KeyClicks(w().MemoSMS, QStringLiteral("čř è"));
    EXPECT_EQ(sms->GetText(), Cz("čř e"));
    // And it goes out as such.
    w().EditSMStel->setText("+420777123456");
    w().BtnSMSSend->click();
    EXPECT_EQ(smss().getMySMS(), sms);
    sms->create1part();
    scratch.smsDoesExist("SM", 9)->SetState(VTixSMS_stateSIMUnsent);
    ASSERT_TRUE(scratch.setPDUtext("SM", 9, 0, sms->GetPDUText(), false));
    EXPECT_EQ(scratch.getSMSByIndex("SM", 9)->GetText(), Cz("čř e"));
    // Back in Czech the same message shows the same letters.
    w().VTixLanguage1->SetCurrLanguage(Cz("Česky"));
    EXPECT_EQ(model().data(model().index(Row(sms), 2)).toString(), QStringLiteral("čř e"));
}

TEST_F(DataLetters, PhonebookNamesKeepTheirLetters)
{
    VTixPhoneBook& m = Phonebook();
    m.setStoragesKnown(true);
    m.setDeviceStorage("SM");
    m.setIndexRange(1, 10, 20, 18);
    VTixPhoneBookRecord* r = m.recordAt(1);
    r->setDeviceNumber("601");
    r->setDeviceText(Cz("Řehoř Žák"));
    m.rangeRead(1, 10);
    m.setWriteLimits(1, 10, 20, 18);
    m.setDisplayedStorage("SM");
    const QModelIndex name = w().VTPhonebookModel->index(0, VTixPhoneBook::tcText);
    EXPECT_EQ(name.data().toString(), QStringLiteral("Řehoř Žák"));
    ASSERT_TRUE(w().VTPhonebookModel->setData(name, QStringLiteral("Šťastný Ďábel"), Qt::EditRole));
    EXPECT_EQ(r->getEditedText(), Cz("Šťastný Ďábel"));
}

TEST_F(DataLetters, FileRowsShowCzechStatesAndUtf8Names)
{
    const std::string file = home + "/příliš žluťoučký.txt";
    WriteFile(file, "hello");
    w().uniset->addSendFile(file, "+420601000002");
    w().uniset->tick(Platform::GetTickCount());
    QAbstractItemModel* rows = w().ListFilesOut->model();
    ASSERT_EQ(rows->rowCount(), 1);
    EXPECT_EQ(rows->index(0, 0).data().toString(), QString::fromUtf8(file.c_str()));
    EXPECT_EQ(rows->index(0, 2).data().toString(), QStringLiteral("Připraven"));
    // An edit of the path finds the file of that name.
    const std::string other = home + "/ďábelské ódy.txt";
    WriteFile(other, "x");
    ASSERT_TRUE(rows->setData(rows->index(0, 0), QString::fromUtf8(other.c_str()), Qt::EditRole));
    VListItemFile* row = w().uniset->getSendList().getItem(0);
    EXPECT_EQ(row->getPath(), other);
    EXPECT_EQ(row->getState(), 1);
}

TEST_F(DataLetters, ConfigurationValuesAndCzechDefaultsShowTheirLetters)
{
    // The own number as the configuration file holds it (cp1250 bytes).
    const std::string folder = home + "/cfg/";
    WriteFile(folder + "letters.cfg", "[Project]\r\nMyPhone=" + Cz("+420 601 č. 2") + "\r\n");
    w().loadConfig("letters.cfg", folder, true);
    w().applyOptions();
    // Loading takes the language remembered with the configuration.
    w().VTixLanguage1->SetCurrLanguage("English");
    EXPECT_EQ(FormOptions->EditMyPhone->text(), QStringLiteral("+420 601 č. 2"));
    EXPECT_EQ(w().LabelMyPhone->text(), QStringLiteral("+420 601 č. 2"));
    // A text the English file lacks is the Czech default, with its letters.
    const std::string text = w().getLangText("Texts", "NoSuchKey", Cz("Příliš žluťoučký"));
    EXPECT_EQ(Platform::ToQString(text), QStringLiteral("Příliš žluťoučký"));
    // A text the English file has comes in the program's code page too.
    EXPECT_EQ(w().getLangText("Texts", "SMSNoPhone", "?"), "Number not entered.");
}
