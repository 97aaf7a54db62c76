#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QFile>
#include <QMessageBox>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QTimer>
#include <QWidget>
#include <cstdlib>

#include "app/app_info.h"
#include "app/file_version_info.h"
#include "tests/app/key_helpers.h"
#include "tests/support/config_home.h"
#include "tests/support/event_loop.h"

using namespace MsgBox;

namespace {

// Per-user and machine-wide stores in temporary folders.
struct AppInfoRegistry : ::testing::Test {
    void SetUp() override
    {
        KeyHelpers::AppWithDevices();
        ASSERT_TRUE(user.IsValid() && machine.isValid());
        QSettings::setPath(QSettings::IniFormat, QSettings::SystemScope, machine.path());
        info.SetAppName("Zelvitor");
    }
    QByteArray userFile()
    {
        QFile f(user.Path() + "/Tix/Zelvitor.ini");
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    void writeMachine(const QString& key, const QVariant& value)
    {
        QSettings s(machine.path() + "/Tix/Zelvitor.ini", QSettings::IniFormat);
        s.setValue(key, value);
    }

    TestSupport::PrivateConfigHome user;
    QTemporaryDir machine;
    VTixAppInfo info;
};

}  // namespace

TEST(AppInfo, RegistryPathEndsWithABackslash)
{
    KeyHelpers::AppWithDevices();
    VTixAppInfo info;
    EXPECT_EQ(info.GetAppName(), "[Unknown]");
    EXPECT_EQ(info.GetRegistryPath(), "Software\\Tix\\");
    info.SetRegistryPath("Software\\Other");
    EXPECT_EQ(info.GetRegistryPath(), "Software\\Other\\");
    info.SetRegistryPath("Software\\Tix\\");
    EXPECT_EQ(info.GetRegistryPath(), "Software\\Tix\\");
}

TEST(AppInfo, KeyPathsMapOntoStores)
{
    std::string org, app, key;
    ASSERT_TRUE(VTixAppInfo::SplitKeyPath("Software\\Tix\\Zelvitor\\Options\\Forms\\", org, app, key));
    EXPECT_EQ(org, "Tix");
    EXPECT_EQ(app, "Zelvitor");
    EXPECT_EQ(key, "Options\\Forms");
    ASSERT_TRUE(VTixAppInfo::SplitKeyPath("\\software\\Tix\\Zelvitor\\", org, app, key));
    EXPECT_EQ(key, "");
    EXPECT_FALSE(VTixAppInfo::SplitKeyPath("HARDWARE\\DEVICEMAP\\SerialComm", org, app, key));
}

TEST_F(AppInfoRegistry, ValuesAreWrittenUnderTheApplicationsKey)
{
    info.WriteRegistryString("Options", "ConfigFile", "/home/u/a.cfg");
    info.WriteRegistryBoolean("Options\\Forms\\VTixTerminal1_Form", "Docked", true);
    info.WriteRegistryBoolean("Options\\Forms\\VTixTerminal1_Form", "Visible", false);
    info.WriteRegistryInteger("", "IsMavikQor", 0);
    const QByteArray text = userFile();
    EXPECT_TRUE(text.contains("ConfigFile=/home/u/a.cfg")) << text.constData();
    EXPECT_TRUE(text.contains("Docked=1")) << text.constData();  // never "true"
    EXPECT_TRUE(text.contains("Visible=0")) << text.constData();
    EXPECT_FALSE(text.contains("true")) << text.constData();
    EXPECT_EQ(info.ReadRegistryString("Options", "ConfigFile", "x"), "/home/u/a.cfg");
    EXPECT_EQ(info.ReadRegistryInteger("", "IsMavikQor", 1), 0);
    EXPECT_EQ(info.ReadRegistryInteger("", "Missing", 42), 42);
    info.DeleteRegistry("Options", "ConfigFile");
    EXPECT_EQ(info.ReadRegistryString("Options", "ConfigFile", "gone"), "gone");
}

TEST_F(AppInfoRegistry, ANumberReadsAsItsText)
{
    info.WriteRegistryInteger("Options", "N", 7);
    EXPECT_EQ(info.ReadRegistryString("Options", "N", ""), "7");
    // The fallbacks of the number reader are ordinary numbers too.
    info.WriteRegistryInteger("Options", "F", 0x800001);
    EXPECT_EQ(info.ReadRegistryString("Options", "F", ""), "8388609");
    EXPECT_EQ(info.ReadRegistryInteger("Options", "F", 0), 0x800001);
}

TEST_F(AppInfoRegistry, MachineWideThenPerUser)
{
    writeMachine("Options/Level", 5);
    writeMachine("Options/Name", "machine");
    EXPECT_EQ(info.ReadRegistryIntegerM("Options", "Level", -1), 5);
    EXPECT_EQ(info.ReadRegistryStringM("Options", "Name", ""), "machine");
    info.WriteRegistryString("Options", "Level", "12");
    EXPECT_EQ(info.ReadRegistryIntegerM("Options", "Level", -1), 12);
    info.WriteRegistryString("Options", "Level", "abc");
    EXPECT_EQ(info.ReadRegistryIntegerM("Options", "Level", -1), 5);
    info.WriteRegistryStringM("Options", "Name", "user");  // the machine-wide write is skipped
    EXPECT_EQ(info.ReadRegistryStringM("Options", "Name", ""), "user");
    info.WriteRegistryIntegerM("Options", "Other", 3);
    EXPECT_EQ(info.ReadRegistryIntegerM("Options", "Other", 0), 3);
    EXPECT_EQ(info.ReadAnyRegistryString(TRegistryRoot::HKEY_LOCAL_MACHINE, "Software\\Tix\\Zelvitor\\Options",
                                         "Name", "d"),
              "machine");
    EXPECT_EQ(info.ReadAnyRegistryString(TRegistryRoot::HKEY_LOCAL_MACHINE, "HARDWARE\\DEVICEMAP\\SerialComm",
                                         "COM1", "d"),
              "d");
    const std::string docs = info.ReadAnyRegistryString(
        TRegistryRoot::HKEY_CURRENT_USER, "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders\\",
        "Personal", "");
    EXPECT_FALSE(docs.empty());
}

TEST(AppInfoMessageBox, ScriptedAnswersWithTheApplicationsCaption)
{
    KeyHelpers::AppWithDevices();
    VTixAppInfo info;
    info.SetAppName("Zelvitor");
    std::vector<int> answers = {IDYES, IDNO, IDCANCEL};
    std::vector<std::tuple<std::string, std::string, unsigned, bool>> seen;
    info.SetMessageBoxResponder([&](const std::string& caption, const std::string& text, unsigned flags) {
        seen.emplace_back(caption, text, flags, info.GetInhibitApplRunning());
        const int a = answers.front();
        answers.erase(answers.begin());
        return a;
    });
    EXPECT_EQ(info.MessageBox2("Ulo\x9Eit?", MB_YESNO | MB_ICONEXCLAMATION), IDYES);
    EXPECT_EQ(info.MessageBox2("Error", "VUniSET::sendLine: line=NULL", MB_ICONHAND), IDNO);
    EXPECT_EQ(info.MessageBox("x", MB_YESNOCANCEL), IDCANCEL);
    ASSERT_EQ(seen.size(), 3u);
    EXPECT_EQ(std::get<0>(seen[0]), "Zelvitor");
    EXPECT_EQ(std::get<1>(seen[0]), "Ulo\x9Eit?");
    EXPECT_EQ(std::get<2>(seen[0]), 52u | MB_SETFOREGROUND);
    EXPECT_TRUE(std::get<3>(seen[0]));  // the start-up event is held while a box is open
    EXPECT_EQ(std::get<0>(seen[1]), "Error");
    EXPECT_EQ(std::get<2>(seen[1]), 16u | MB_SETFOREGROUND);
    EXPECT_FALSE(info.GetInhibitApplRunning());  // restored
}

TEST(AppInfoMessageBox, RealBoxMapsItsButtons)
{
    KeyHelpers::AppWithDevices();
    VTixAppInfo info;
    info.SetAppName("Zelvitor");
    QString caption;
    // Presses "No" on the box once it is up.
    QTimer presser;
    presser.setInterval(10);
    QObject::connect(&presser, &QTimer::timeout, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box)
            return;
        caption = box->windowTitle();
        box->button(QMessageBox::No)->click();
    });
    presser.start();
    EXPECT_EQ(info.MessageBox2("Ot\xE1zka?", MB_YESNO | MB_ICONQUESTION), IDNO);
    EXPECT_EQ(caption, "Zelvitor");
    QObject::disconnect(&presser, nullptr, nullptr, nullptr);
    QObject::connect(&presser, &QTimer::timeout, [&] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget()))
            box->reject();  // Escape: Cancel where there is one
    });
    EXPECT_EQ(info.MessageBox2("?", MB_YESNOCANCEL), IDCANCEL);
}

TEST(AppInfoStartup, ApplRunningFiresOnceFromTheLoopAndWaitsWhileInhibited)
{
    KeyHelpers::AppWithDevices();
    VTixAppInfo info;
    int fired = 0;
    info.SetOnApplRunning([&](QObject* sender) {
        EXPECT_EQ(sender, &info);
        ++fired;
    });
    EXPECT_FALSE(info.GetApplRunning());
    info.SetInhibitApplRunning(true);
    TestSupport::ProcessFor(100);
    EXPECT_EQ(fired, 0);
    EXPECT_FALSE(info.GetApplRunning());
    info.SetInhibitApplRunning(false);
    ASSERT_TRUE(TestSupport::ProcessUntil([&] { return fired > 0; }, 5000));
    EXPECT_TRUE(info.GetApplRunning());
    TestSupport::ProcessFor(50);
    EXPECT_EQ(fired, 1);
}

TEST(AppInfoStartup, ABoxOpenedBeforeTheLoopDelaysTheEvent)
{
    KeyHelpers::AppWithDevices();
    VTixAppInfo info;
    int fired = 0;
    info.SetOnApplRunning([&](QObject*) { ++fired; });
    int firedInsideBox = -1;
    info.SetMessageBoxResponder([&](const std::string&, const std::string&, unsigned) {
        // The box's own loop runs for a while.
        TestSupport::ProcessFor(100);
        firedInsideBox = fired;
        return IDOK;
    });
    info.MessageBox2("creation", MB_OK);
    EXPECT_EQ(firedInsideBox, 0);
    ASSERT_TRUE(TestSupport::ProcessUntil([&] { return fired == 1; }, 5000));
    // Setting ApplRunning when it already runs changes nothing.
    info.SetApplRunning(true);
    EXPECT_EQ(fired, 1);
}

TEST(AppInfoStartup, SettingApplRunningRunsTheEventAtOnce)
{
    KeyHelpers::AppWithDevices();
    VTixAppInfo info;
    int fired = 0;
    info.SetOnApplRunning([&](QObject*) { ++fired; });
    info.SetApplRunning(true);
    EXPECT_EQ(fired, 1);
    EXPECT_TRUE(info.GetApplRunning());
}

TEST(AppInfoStartup, OwnerFirstShowFiresOnceBeforeTheOwnersShowHandler)
{
    KeyHelpers::AppWithDevices();
    struct Owner : QWidget {
        std::vector<std::string>* log;
        void showEvent(QShowEvent*) override { log->push_back("owner"); }
    };
    std::vector<std::string> log;
    Owner owner;
    owner.log = &log;
    VTixAppInfo info(&owner);
    info.SetOnOwnerFirstShow([&](QObject*) { log.push_back("first"); });
    owner.show();
    owner.hide();
    owner.show();
    EXPECT_EQ(log, (std::vector<std::string>{"first", "owner", "owner"}));
}

TEST(AppInfoVersion, VersionStringsComeFromTheBuild)
{
    KeyHelpers::AppWithDevices();
    VTixAppInfo info;
    EXPECT_EQ(info.GetProductName(), "Zelvitor");
    EXPECT_FALSE(info.GetProductVersion().empty());
    EXPECT_EQ(info.GetFileVersion().rfind(info.GetProductVersion(), 0), 0u);
    EXPECT_EQ(info.GetCountryCode(), "040504E2");
    EXPECT_TRUE(info.GetSourceLastModified().isValid());
    // Any other file has no version fields.
    TFileVersionInfo other("/bin/sh");
    EXPECT_EQ(other.GetProductName(), "");
    EXPECT_EQ(other.GetCountryCode(), "");
    other.SetExecutableFile(TFileVersionInfo::RunningProgramPath());
    EXPECT_EQ(other.GetProductName(), "Zelvitor");
    other.clearInfo();
    EXPECT_EQ(other.GetCompanyName(), "");
    TFileVersionInfo none("/no/such/file");
    EXPECT_EQ(none.GetFileVersion(), "");
}
