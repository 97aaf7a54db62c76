// Pictures of every page of the main window and of the dialogs, in Czech
// and in English, at 640x600 and 1280x900, on the simulated device with
// data in letters of both code pages; written to the build folder's
// "screenshots" for a look by eye. A few checks of what they show.
#include <QDir>
#include <QHeaderView>
#include <QImage>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeView>
#include <gtest/gtest.h>

#include <string>

#include "app/form_about.h"
#include "app/form_options.h"
#include "app/sms_memo.h"
#include "engine/perif_phonebook.h"
#include "phonebook/ui/form_import_pb.h"
#include "sms/sms_list.h"
#include "sms/sms_list_model.h"
#include "phonebook/phonebook_item_model.h"
#include "phonebook/ui/mf_edit.h"
#include "phonebook/ui/virtual_string_tree_ex.h"
#include "tests/app/main_window_fixture.h"
#include "tests/support/input_devices.h"
#include "translation/tixlanguage.h"
#include "widgets/gauge.h"

using namespace MainWindowTest;

namespace {

// A DELIVER in UCS2 from +420777123456: "Příliš žluťoučký kůň úpěl ďábelské
// ódy" (as gammu builds it).
const char kCzechDeliver[] =
    "0791246030500200000C912470772143650008423051315403004C0050015900ED006C006901610020017E006C00750165"
    "006F0075010D006B00FD0020006B016F0148002000FA0070011B006C0020010F00E100620065006C0073006B00E9002000"
    "F300640079";

struct PagesScreenshot : TMainWindowFixture {
    QString dir = QStringLiteral(ZELVITOR_TEST_BUILD_DIR) + "/screenshots";
    bool Save(QWidget* widget, const QString& name)
    {
        return widget->grab().save(dir + "/" + name + ".png");
    }
};

}  // namespace

TEST_F(PagesScreenshot, EveryPageInBothLanguagesAtTwoSizes)
{
    TestSupport::AppWithDevices();
    QDir().mkpath(dir);
    ModemSim::TProfile profile = ModemSim::TProfile::Builtin("tc35");
    profile.phonebooks.Find("SM")->entries[3] = {"604000003", 129, u"Eva"};
    StartSim(profile);
    ASSERT_NO_FATAL_FAILURE(StartOnSim(QSize(640, 600), "[Project]\r\nMyPhone=+420 601 234 567\r\n"));
    ASSERT_NO_FATAL_FAILURE(WaitUntilReady());
    ASSERT_TRUE(RunUntil([&] { return w().GaugeSigStr->Progress() > 0 && w().SMSListModel->rowCount() >= 3; }, 30000));

    // Data in Czech letters and file names outside ASCII.
    VTixSMSList& list = *w().VSMSList1;
    list.smsDoesExist("SM", 9)->SetState(VTixSMS_stateSIMRecvRead);
    list.setPDUtext("SM", 9, 0, kCzechDeliver, false);
    w().BtnSMSNew->click();
    w().MemoSMS->SetMemoText(QStringLiteral("Cena: 5 € [akce] {do pátku}"));
    w().EditSMStel->setText(QStringLiteral("+420 777 123 456"));
    const std::string file = home + "/příliš žluťoučký.txt";
    WriteFile(file, std::string(2048, 'x'));
    w().uniset->addSendFile(file, "+420601000002");
    w().uniset->addSendFile(home + "/chybí.txt", "+420601000002");
    RunFor(200);

    struct TSize {
        int width, height;
    };
    for (const TSize size : {TSize{640, 600}, TSize{1280, 900}}) {
        w().resize(size.width, size.height);
        RunFor(100);
        for (const char* language : {"cs", "en"}) {
            w().VTixLanguage1->SetCurrLanguage(std::string(language) == "cs" ? Cz("Česky") : "English");
            RunFor(100);
            // Clock and alarm in the language's date format at once.
            w().PageControl1->setCurrentWidget(w().SheetGeneral);
            RunFor(50);
            const QChar separator = QLatin1Char(std::string(language) == "cs" ? '.' : '/');
            EXPECT_TRUE(w().EditCCLKtime->text().contains(separator)) << w().EditCCLKtime->text().toStdString();
            EXPECT_TRUE(w().EditCALAtime->text().contains(separator)) << w().EditCALAtime->text().toStdString();
            for (int page = 0; page < w().PageControl1->count(); ++page) {
                w().PageControl1->setCurrentIndex(page);
                RunFor(150);
                const QString name = QStringLiteral("page_%1_%2_%3x%4")
                                         .arg(w().PageControl1->widget(page)->objectName(), language)
                                         .arg(size.width)
                                         .arg(size.height);
                EXPECT_TRUE(Save(&w(), name)) << name.toStdString();
                EXPECT_EQ(w().grab().size(), QSize(size.width, size.height) * w().devicePixelRatio());
            }
        }
    }

    // A phonebook cell being edited: the editor covers the cell's text.
    w().resize(640, 600);
    w().PageControl1->setCurrentWidget(w().SheetPhonebook);
    RunFor(100);
    const QModelIndex name = w().VTPhonebookModel->index(1, 2);
    w().VTPhonebook->setCurrentIndex(name);
    TestSupport::KeyClick(w().VTPhonebook, Qt::Key_F2);
    RunFor(50);
    ASSERT_TRUE(w().MFEdit1->isVisible());
    EXPECT_TRUE(Save(w().VTPhonebook, QStringLiteral("phonebook_cell_editor")));
    const QRect cell = w().VTPhonebook->visualRect(name);
    EXPECT_EQ(w().MFEdit1->geometry().top(), cell.top());
    EXPECT_EQ(w().MFEdit1->geometry().height(), cell.height());
    TestSupport::KeyClick(w().MFEdit1, Qt::Key_Escape);

    // The dialogs in both languages.
    TFormImportPB import(&w(), [this](const std::string& s, const std::string& k, const std::string& d) {
        return w().getLangText(s, k, d, -1);
    });
    import.StoragesInFile = {"SM", "ME", "FD"};
    for (const char* language : {"cs", "en"}) {
        w().VTixLanguage1->SetCurrLanguage(std::string(language) == "cs" ? Cz("Česky") : "English");
        w().VTixLanguage1->UpdateAllTexts(&import);
        for (QWidget* dialog : {static_cast<QWidget*>(FormOptions), static_cast<QWidget*>(FormAbout),
                                static_cast<QWidget*>(&import)}) {
            dialog->show();
            RunFor(100);
            EXPECT_TRUE(Save(dialog, QStringLiteral("dialog_%1_%2").arg(dialog->objectName(), language)));
            dialog->hide();
        }
    }
    w().configClean = true;
    w().close();
    ASSERT_TRUE(RunUntil([&] { return w().closeDone; }, 10000));
}
