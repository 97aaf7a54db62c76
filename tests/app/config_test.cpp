// Configuration files: reading, writing, the File menu, the save question
// at closing and the files named on the command line.
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <sys/stat.h>

#include "app/form_about.h"
#include "app/form_options.h"
#include "app/radio_group.h"
#include "platform/ini_file.h"
#include "platform/qt/qt_text.h"
#include "serial/vtscomm32.h"
#include "translation/tixlanguage.h"
#include "tests/app/main_window_fixture.h"

using namespace MainWindowTest;
using Platform::FromQString;

namespace {

struct Config : TMainWindowFixture {
    std::string Pin() { return FromQString(FormOptions->EditPIN->text()); }
    unsigned Mode(const std::string& path)
    {
        struct stat st {};
        return ::stat(path.c_str(), &st) == 0 ? unsigned(st.st_mode & 0777) : 0;
    }
    // A port that does not exist: naming it never opens a real device.
    std::string NoPort() const { return root.path().toStdString() + "/no-such-port"; }
};

}  // namespace

TEST_F(Config, RoundTripKeepsValuesAndEverythingElseOfTheFile)
{
    Make(false);
    const std::string folder = home + "/projects/";
    const std::string path = folder + "modem.cfg";
    WriteFile(path,
              "; my modem\r\n[General]\r\nCommPort=" + NoPort() +
                  "\r\nUserAdvanced=2\r\nAutomatic=1\r\nColour=blue\r\n"
                  "[Project]\r\nCallType=1\r\nPIN=1234\r\nTestSignal=2\r\nOftenCSQ=30\r\n"
                  "MyPhone=+420777123456\r\n[Other]\r\nx=1\r\n");
    w().rememberConfigName(path);
    ASSERT_EQ(w().configFileName, path);
    w().loadConfig("modem.cfg", folder, true);
    EXPECT_TRUE(boxes.empty());

    EXPECT_EQ(w().VTSComm321->GetCommPort(), NoPort());
    EXPECT_EQ(FormOptions->RGroupAdvanced->ItemIndex(), 2);
    EXPECT_EQ(FormOptions->RGroupAutom->ItemIndex(), 1);
    EXPECT_EQ(w().callType, 1);
    EXPECT_EQ(Pin(), "1234");
    EXPECT_TRUE(w().CheckTestSignal->isChecked()) << "TestSignal=2 is true";
    EXPECT_EQ(FromQString(FormOptions->EditOftenCSQ->text()), "30");
    EXPECT_EQ(FromQString(FormOptions->EditMyPhone->text()), "+420777123456");
    // No phonebook file: Phonebook.ini beside the configuration.
    EXPECT_EQ(w().OpenDialogPB.initialDir, folder);
    EXPECT_EQ(w().OpenDialogPB.fileName, "Phonebook.ini");
    EXPECT_EQ(w().SaveDialogPB.initialDir, folder);

    FormOptions->EditPIN->setText("4321");
    w().CheckTestSignal->setChecked(false);
    w().configClean = false;
    ASSERT_TRUE(w().saveConfig(path));
    EXPECT_TRUE(w().configClean);
    const Platform::TIniFile ini(path);
    EXPECT_EQ(ini.ReadString("General", "CommPort", ""), NoPort());
    EXPECT_EQ(ini.ReadString("General", "UserAdvanced", ""), "2");
    EXPECT_EQ(ini.ReadString("General", "Automatic", ""), "1");
    EXPECT_EQ(ini.ReadString("General", "Colour", ""), "blue");
    EXPECT_EQ(ini.ReadString("Project", "CallType", ""), "1");
    EXPECT_EQ(ini.ReadString("Project", "PIN", ""), "4321");
    EXPECT_EQ(ini.ReadString("Project", "TestSignal", ""), "0");
    EXPECT_EQ(ini.ReadString("Project", "OftenCSQ", ""), "30");
    EXPECT_EQ(ini.ReadString("Project", "MyPhone", ""), "+420777123456");
    EXPECT_EQ(ini.ReadString("Project", "PhonebookFileName", ""), folder + "Phonebook.ini");
    EXPECT_EQ(ini.ReadString("Other", "x", ""), "1");
    EXPECT_EQ(ReadFile(path).rfind("; my modem\r\n", 0), 0u);
    QSettings registry(QSettings::IniFormat, QSettings::UserScope, "Tix", "Zelvitor");
    EXPECT_EQ(registry.value("Options/General/Language").toString(), QString::fromUtf8("Česky"));

    // Read back into a fresh window: the same values.
    window.reset();
    Make(false);
    w().loadConfig("modem.cfg", folder, true);
    EXPECT_EQ(Pin(), "4321");
    EXPECT_FALSE(w().CheckTestSignal->isChecked());
    EXPECT_EQ(w().OpenDialogPB.initialDir + w().OpenDialogPB.fileName, folder + "Phonebook.ini");
}

TEST_F(Config, PhonebookFileNameIsSplitIntoFolderAndName)
{
    Make(false);
    w().setPhonebookFileName("/data/phones/list.ini");
    EXPECT_EQ(w().OpenDialogPB.initialDir, "/data/phones/");
    EXPECT_EQ(w().OpenDialogPB.fileName, "list.ini");
    EXPECT_EQ(w().SaveDialogPB.fileName, "list.ini");
    // A relative name is taken from the current folder.
    w().setPhonebookFileName("book.ini");
    EXPECT_EQ(w().OpenDialogPB.fileName, "book.ini");
    EXPECT_EQ(w().OpenDialogPB.initialDir.front(), '/');
    EXPECT_EQ(w().OpenDialogPB.initialDir.back(), '/');
}

TEST_F(Config, SavingCreatesFoldersWithDotsAndAnOwnerOnlyFile)
{
    Make(false);
    const std::string path = home + "/my.projects/v1.2/device.cfg";
    FormOptions->EditPIN->setText("2468");
    w().configClean = false;
    ASSERT_TRUE(w().saveConfig(path));
    EXPECT_TRUE(boxes.empty());
    EXPECT_TRUE(w().configClean);
    EXPECT_EQ(Mode(path), 0600u) << "the file holds the PIN";
    EXPECT_EQ(Platform::TIniFile(path).ReadString("Project", "PIN", ""), "2468");

    // It loads again from there: the folder's dots do not matter.
    window.reset();
    Make(false);
    w().loadConfig("device.cfg", home + "/my.projects/v1.2/", true);
    EXPECT_EQ(Pin(), "2468");
    EXPECT_TRUE(boxes.empty());
}

TEST_F(Config, LoadingLooksAtTheSuffixOfTheFileName)
{
    Make(false);
    const std::string dotted = home + "/dir.x/";
    for (const char* name : {"a.b.cfg", "a.CFG", "a.cfg", "a.txt", "data"})
        WriteFile(dotted + name, std::string("[Project]\r\nPIN=") + name + "\r\n");

    w().loadConfig("a.b.cfg", dotted, false);
    EXPECT_EQ(Pin(), "a.b.cfg");
    w().loadConfig("a.CFG", dotted, false);
    EXPECT_EQ(Pin(), "a.CFG");
    w().loadConfig(dotted + "a.cfg", "", true);
    EXPECT_EQ(Pin(), "a.cfg");
    EXPECT_TRUE(boxes.empty());

    // Another suffix: nothing read, nothing said.
    w().loadConfig("a.txt", dotted, true);
    EXPECT_EQ(Pin(), "a.cfg");
    EXPECT_TRUE(boxes.empty());

    // No suffix at all: said even when loading silently.
    w().loadConfig("data", dotted, false);
    EXPECT_EQ(Pin(), "a.cfg");
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, Cz("Nelze zjistit příponu konfiguračního souboru ") + "data");
    EXPECT_EQ(boxes[0].flags & 0xFF, 0u);

    // A missing file: said only when asked to report.
    boxes.clear();
    w().loadConfig("gone.cfg", dotted, false);
    EXPECT_TRUE(boxes.empty());
    w().loadConfig("gone.cfg", dotted, true);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, Cz("Konfigurační soubor gone.cfg nebyl nalezen"));
    EXPECT_EQ(boxes[0].flags & 0xF0, 0x10u);
    // A folder of that name is no file.
    QDir().mkpath(QString::fromStdString(dotted + "folder.cfg"));
    boxes.clear();
    w().loadConfig("folder.cfg", dotted, true);
    EXPECT_EQ(boxes.size(), 1u);
}

TEST_F(Config, AFailedSaveSaysSoAndKeepsTheWindowOpen)
{
    Make(false);
    WriteFile(home + "/plain-file", "x");
    const std::string bad = home + "/plain-file/sub/a.cfg";
    w().configFileName = bad;
    w().configClean = false;
    EXPECT_FALSE(w().saveConfig(bad));
    EXPECT_FALSE(w().configClean);
    EXPECT_EQ(BoxesWith(Cz("Nelze vytvořit složku ") + home + "/plain-file"), 1);
    EXPECT_EQ(BoxesWith(Cz("Konfiguraci se nepodařilo uložit do souboru ") + bad), 1);

    // At closing, "Yes" fails the same way: the window stays and asks again.
    boxes.clear();
    answers = {MsgBox::IDYES};
    bool canClose = true;
    w().FormCloseQuery(canClose);
    EXPECT_FALSE(canClose);
    EXPECT_FALSE(w().closeQueryAsked);
    EXPECT_FALSE(w().closeQueryBusy);
    EXPECT_EQ(BoxesWith(Cz("Konfigurace byla změněna. Chcete ji uložit do souboru\n") + bad + " ?"), 1);
    answers = {MsgBox::IDNO};
    canClose = true;
    w().FormCloseQuery(canClose);
    EXPECT_TRUE(canClose);
    EXPECT_TRUE(w().configClean);
}

TEST_F(Config, SaveQuestionAtClosing)
{
    Make(false);
    const std::string path = home + "/q/z.cfg";
    w().configFileName = path;

    // Unchanged: nothing asked.
    bool canClose = true;
    w().FormCloseQuery(canClose);
    EXPECT_TRUE(canClose);
    EXPECT_TRUE(boxes.empty());
    EXPECT_TRUE(w().closeQueryAsked);

    // Changed, Cancel: stays open and asks again next time.
    w().closeQueryAsked = false;
    w().configClean = false;
    answers = {MsgBox::IDCANCEL};
    w().FormCloseQuery(canClose);
    EXPECT_FALSE(canClose);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].flags & 0xF, unsigned(MsgBox::MB_YESNOCANCEL));
    canClose = true;
    answers = {MsgBox::IDYES};
    w().FormCloseQuery(canClose);
    EXPECT_TRUE(canClose);
    EXPECT_EQ(boxes.size(), 2u);
    EXPECT_TRUE(w().configClean);
    EXPECT_FALSE(ReadFile(path).empty()) << "Yes saves";
    // Once answered, the repeated close steps pass without asking.
    w().configClean = false;
    w().FormCloseQuery(canClose);
    EXPECT_TRUE(canClose);
    EXPECT_EQ(boxes.size(), 2u);
    // While the question is on screen nothing closes.
    w().closeQueryAsked = false;
    w().closeQueryBusy = true;
    w().FormCloseQuery(canClose);
    EXPECT_FALSE(canClose);
}

TEST_F(Config, SaveQuestionShowsANonAsciiPathInTheCodePage)
{
    Make(false);
    // The file system's bytes are UTF-8; the question is in cp1250.
    const std::string path = home + "/slo\u017Eka/\u017Eluv.cfg";
    w().configFileName = path;
    w().configClean = false;
    answers = {MsgBox::IDCANCEL};
    bool canClose = true;
    w().FormCloseQuery(canClose);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, Cz("Konfigurace byla změněna. Chcete ji uložit do souboru\n") + Cz(path.c_str()) + " ?");
    EXPECT_EQ(boxes[0].text.find(path), std::string::npos) << "no raw UTF-8 bytes";
}

TEST_F(Config, OnlyCfgNamesAreRemembered)
{
    Make(false);
    w().configFileName = "/a/first.cfg";
    w().rememberConfigName("/a/x.txt");
    EXPECT_EQ(w().configFileName, "/a/first.cfg");
    w().rememberConfigName("/a/dir.cfg/x");
    EXPECT_EQ(w().configFileName, "/a/first.cfg");
    w().rememberConfigName("/a.b/second.CFG");
    EXPECT_EQ(w().configFileName, "/a.b/second.CFG");
}

TEST_F(Config, FileMenuLoadsAndSavesThroughTheDialogs)
{
    Make(false);
    const std::string chosen = home + "/some.where/mine.cfg";
    WriteFile(chosen, "[Project]\r\nPIN=9999\r\n");
    std::vector<std::string> shown;
    std::string answer = chosen;
    w().RunFileDialog = [&](TFormMain::TFileDialogSetup& setup, std::string& out) {
        shown.push_back(setup.name + " " + setup.initialDir + setup.fileName);
        out = answer;
        return true;
    };
    w().configFileName = home + "/Documents/Tix/Zelvitor/Zelvitor.cfg";
    w().OpenDialogCfg.initialDir = w().SaveDialogCfg.initialDir = home + "/Documents/Tix/Zelvitor/";
    w().OpenDialogCfg.fileName = w().SaveDialogCfg.fileName = "Zelvitor.cfg";

    w().ItemFileLoadAnyCfgClick();
    EXPECT_TRUE(TFormMain::directoryExists(home + "/Documents/Tix/Zelvitor/")) << "the folder is made first";
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0], "OpenDialogCfg " + home + "/Documents/Tix/Zelvitor/Zelvitor.cfg");
    EXPECT_EQ(Pin(), "9999");
    EXPECT_EQ(w().configFileName, chosen);

    // Saved under another suffix: written, but not the remembered file.
    answer = home + "/out/x.txt";
    w().ItemFileSavePCcfgClick();
    EXPECT_EQ(Platform::TIniFile(answer).ReadString("Project", "PIN", ""), "9999");
    EXPECT_EQ(w().configFileName, chosen);

    // A cancelled dialog does nothing.
    w().RunFileDialog = [](TFormMain::TFileDialogSetup&, std::string&) { return false; };
    w().ItemFileLoadAnyCfgClick();
    EXPECT_EQ(w().configFileName, chosen);
}

TEST_F(Config, StartUpLoadsTheFilesOfTheCommandLineInOrder)
{
    const std::string a = home + "/cfg.d/a.cfg";
    const std::string b = home + "/cfg.d/b.cfg";
    WriteFile(a, "[Project]\r\nPIN=1111\r\nMyPhone=111\r\n");
    WriteFile(b, "[Project]\r\nPIN=2222\r\n");
    Make(false);
    w().VTSComm321->SetCommPort(NoPort());
    // Switches are skipped; absolute paths are files; the last one wins.
    w().SetCommandLine({"-geometry", "", a, b, "-x"});
    w().VTixAppInfo1->SetInhibitApplRunning(false);
    w().VTixAppInfo1->SetApplRunning(true);
    ASSERT_TRUE(w().initDone);
    EXPECT_EQ(Pin(), "2222");
    EXPECT_EQ(FromQString(FormOptions->EditMyPhone->text()), "") << "b has no number: the default";
    EXPECT_TRUE(boxes.empty());
    EXPECT_TRUE(w().configClean) << "loading counts as no change";

    // First start: the proposed file in the documents folder, the options.
    EXPECT_TRUE(w().firstRun);
    EXPECT_EQ(w().configFileName, home + "/Documents/Tix/Zelvitor/Zelvitor.cfg");
    EXPECT_EQ(w().tempDir, home + "/Documents/Tix/Zelvitor/");
    EXPECT_TRUE(FormOptions->isVisible());
    EXPECT_FALSE(FormOptions->BtnCancel->isEnabled()) << "a first run closes only with OK";
}

TEST_F(Config, StartUpLoadsTheRememberedFileSilently)
{
    const std::string cfg = home + "/remembered/z.cfg";
    WriteFile(cfg, "[Project]\r\nPIN=5555\r\nMyPhone=+420123\r\n");
    QSettings registry(QSettings::IniFormat, QSettings::UserScope, "Tix", "Zelvitor");
    registry.setValue("Options/ConfigFile", QString::fromStdString(cfg));
    registry.setValue("Options/TempDir", QString::fromStdString(home + "/tmp/"));
    registry.sync();
    Make(false);
    w().VTSComm321->SetCommPort(NoPort());
    w().VTixAppInfo1->SetInhibitApplRunning(false);
    w().VTixAppInfo1->SetApplRunning(true);
    ASSERT_TRUE(w().initDone);
    EXPECT_FALSE(w().firstRun);
    EXPECT_FALSE(FormOptions->isVisible());
    EXPECT_FALSE(FormAbout->branded) << "start-up shows the plain about dialog";
    EXPECT_EQ(Pin(), "5555");
    EXPECT_EQ(w().tempDir, home + "/tmp/");
    EXPECT_EQ(w().OpenDialogCfg.initialDir, home + "/remembered/");
    EXPECT_EQ(w().SaveDialogCfg.fileName, "z.cfg");
    // The own number reached the window.
    EXPECT_EQ(FromQString(w().LabelMyPhone->text()), "+420123");
    EXPECT_FALSE(w().LabelLabMyPhone->isHidden());
    EXPECT_TRUE(w().configClean);

    // The remembered file missing: nothing said.
    window.reset();
    boxes.clear();
    ::unlink(cfg.c_str());
    Make(false);
    w().VTSComm321->SetCommPort(NoPort());
    w().VTixAppInfo1->SetInhibitApplRunning(false);
    w().VTixAppInfo1->SetApplRunning(true);
    EXPECT_TRUE(boxes.empty());
}

TEST_F(Config, MessagesComeFromTheLanguage)
{
    Make(false);
    w().VTixLanguage1->SetCurrLanguage("English");
    w().loadConfig("gone.cfg", home + "/", true);
    WriteFile(home + "/data", "x");
    w().loadConfig("data", home + "/", true);
    WriteFile(home + "/file", "x");
    w().saveConfig(home + "/file/a.cfg");
    ASSERT_EQ(boxes.size(), 4u);
    EXPECT_EQ(boxes[0].text, "Configuration file gone.cfg not found");
    EXPECT_EQ(boxes[1].text, "Cannot find out the extension of configuration file data");
    EXPECT_EQ(boxes[2].text, "Cannot create directory " + home + "/file");
    EXPECT_EQ(boxes[3].text.rfind("The configuration could not be saved to file " + home + "/file/a.cfg", 0), 0u)
        << boxes[3].text;
}
