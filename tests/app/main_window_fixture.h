#pragma once
#include <QCoreApplication>
#include <QColor>
#include <QDir>
#include <QImage>
#include <QLineEdit>
#include <QPixmap>
#include <QPoint>
#include <QSettings>
#include <QSize>
#include <QTemporaryDir>
#include <cstdlib>
#include <deque>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

#include "app/app_info.h"
#include "app/form_main.h"
#include "app/form_main_controls.h"
#include "engine/uniset.h"
#include "platform/codepage.h"
#include "platform/qt/qt_text.h"
#include "platform/tick.h"
#include "serial/test_port.h"
#include "serial/vtscomm32.h"
#include "tests/modemsim/modem_sim.h"
#include "tests/support/code_pages.h"
#include "tests/support/config_home.h"
#include "tests/support/device_time.h"
#include "tests/support/event_loop.h"
#include "tests/support/files.h"
#include "tests/support/phonebook_pause.h"
#include "tests/support/qt_app.h"

// The real main window in a private home: HOME, XDG_CONFIG_HOME and the
// registry's file point into temporary folders, message boxes are
// answered from a script and recorded.
namespace MainWindowTest {

using TestSupport::Cz;

struct TBox {
    std::string text;
    unsigned flags;
};

class TMainWindowFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        TestSupport::App();
        ASSERT_TRUE(root.isValid());
        ASSERT_TRUE(configHome.IsValid());
        home = root.path().toStdString() + "/home";
        QDir().mkpath(QString::fromStdString(home));
        ::setenv("HOME", home.c_str(), 1);
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, configHome.Path());
        Platform::SetTickOffset(0);
    }

    void TearDown() override
    {
        window.reset();
        QCoreApplication::processEvents();
        ports.reset();
        if (sim)
            sim->Stop();
        sim.reset();
        Platform::SetTickOffset(0);
    }

    // A simulated device with the given profile; with `lines` its modem
    // lines reach the window's port (a test port over the pty). With
    // `deviceTime` device and program share one clock that the ...OnDeviceTime
    // runs move ahead while nothing is on its way (tests/support/device_time.h).
    ModemSim::TModemSim& StartSim(const ModemSim::TProfile& profile, bool lines = false, bool deviceTime = false)
    {
        ModemSim::TSimOptions options;
        options.profile = profile;
        if (deviceTime)
            options.clock = TestSupport::DeviceClock();
        sim = std::make_unique<ModemSim::TModemSim>(options);
        std::string error;
        EXPECT_TRUE(sim->Start(&error)) << error;
        if (lines && window) {
            ports = std::make_unique<Serial::TTestPortFactory>(sim->ModemLines());
            window->VTSComm321->SetPortFactory(ports->Factory());
        }
        return *sim;
    }

    // Opens the window's port on the simulated device and creates the
    // engine, as start-up does, without the rest of start-up.
    void OpenOnSim()
    {
        ASSERT_TRUE(sim);
        window->VTSComm321->SetCommPort(sim->PtyPath());
        ASSERT_TRUE(window->VTSComm321->StartComm());
        window->createEngine();
    }

    // The window, its dialogs and the scripted message boxes. With
    // `startUp` false the start-up initialisation never runs.
    TFormMain& Make(bool startUp = true)
    {
        window = std::make_unique<TFormMain>();
        FormMain = window.get();
        window->VTixAppInfo1->SetInhibitApplRunning(!startUp);
        window->VTixAppInfo1->SetMessageBoxResponder(
            [this](const std::string&, const std::string& text, unsigned flags) {
                boxes.push_back({text, flags});
                if (answers.empty())
                    return defaultAnswer;
                const int a = answers.front();
                answers.pop_front();
                return a;
            });
        window->createDialogs();
        return *window;
    }
    TFormMain& w() { return *window; }

    // The program's start on the simulated device (StartSim first), with a
    // remembered configuration naming the device's port and the advanced
    // user mode; `cfgExtra` is appended to that file. Without a window yet
    // one is made once the configuration is in place. Returns when
    // start-up has run.
    void StartOnSim(QSize size, const std::string& cfgExtra = std::string())
    {
        ASSERT_TRUE(sim);
        const std::string cfg = home + "/Documents/Tix/Zelvitor/Zelvitor.cfg";
        WriteFile(cfg, "[General]\r\nCommPort=" + sim->PtyPath() + "\r\nUserAdvanced=1\r\n" + cfgExtra);
        QSettings registry(QSettings::IniFormat, QSettings::UserScope, "Tix", "Zelvitor");
        registry.setValue("Options/ConfigFile", QString::fromStdString(cfg));
        registry.setValue("Options/TempDir", QString::fromStdString(home + "/Documents/Tix/Zelvitor/"));
        registry.sync();
        if (!window)
            Make(false);
        w().VTSComm321->SetCommPort(sim->PtyPath());
        w().resize(size);
        w().show();
        w().VTixAppInfo1->SetInhibitApplRunning(false);
        ASSERT_TRUE(RunUntil([&] { return w().initDone; }, 10000));
    }
    // Waits until the window shows the device ready.
    void WaitUntilReady()
    {
        ASSERT_TRUE(RunUntil(
                        [&] {
                            PassPhonebookPause();
                            return Platform::FromQString(w().ShapeProgress->toolTip()) == Cz("Připraven");
                        },
                        60000))
            << sim->Transcript().ToText();
    }

    // Moves the tick clock past the phonebook handler's pause before reading.
    void PassPhonebookPause()
    {
        if (window && window->uniset)
            TestSupport::PassPhonebookPause(window->uniset->getHandlers());
    }

    // The colour at p of a widget inside the window, as the window draws it.
    QColor ColorAt(QWidget* inner, QPoint p)
    {
        const QImage image = w().grab().toImage();
        return image.pixelColor(inner->mapTo(&w(), p));
    }
    // An entry shown in blue: its value could not be read.
    static bool Blue(QLineEdit* edit)
    {
        return edit->palette().color(QPalette::Active, QPalette::Text) == QColor(0, 0, 255);
    }
    // How many message boxes so far held `part`.
    int BoxesWith(const std::string& part) const
    {
        int n = 0;
        for (const auto& b : boxes)
            n += b.text.find(part) != std::string::npos;
        return n;
    }

    // Runs the event loop until cond holds or timeoutMs passes.
    static bool RunUntil(const std::function<bool()>& cond, int timeoutMs)
    {
        return TestSupport::ProcessUntil(cond, timeoutMs);
    }
    static void RunFor(int ms) { TestSupport::ProcessFor(ms); }
    // As RunUntil, with the shared clock moved ahead whenever it is safe
    // (a device started with `deviceTime`); the phonebook pause is passed.
    bool RunUntilOnDeviceTime(const std::function<bool()>& cond, int timeoutMs)
    {
        TestSupport::TClockSkipper skipper;
        return TestSupport::ProcessUntil(
            [&] {
                if (cond())
                    return true;
                PassPhonebookPause();
                if (sim)
                    skipper.Skip({sim.get()});
                return false;
            },
            timeoutMs);
    }
    // Runs until `ms` of device time have passed (bounded in host time).
    bool RunForDeviceTime(int64_t ms)
    {
        const int64_t end = sim->NowMs() + ms;
        return RunUntilOnDeviceTime([&] { return sim->NowMs() >= end; }, static_cast<int>(ms / 2 + 20000));
    }

    // Moves the tick clock so that it reads `tick` now.
    static void SetTickTo(uint32_t tick)
    {
        Platform::SetTickOffset(0);
        Platform::SetTickOffset(tick - Platform::GetTickCount());
    }

    static std::string ReadFile(const std::string& path) { return TestSupport::ReadFile(path); }
    // Creates the file's folder first.
    static void WriteFile(const std::string& path, const std::string& text)
    {
        QDir().mkpath(QString::fromStdString(TFormMain::ExtractFilePath(path)));
        ASSERT_TRUE(TestSupport::WriteFile(path, text)) << path;
    }

    TestSupport::PrivateConfigHome configHome;
    QTemporaryDir root;
    std::unique_ptr<ModemSim::TModemSim> sim;
    std::unique_ptr<Serial::TTestPortFactory> ports;
    std::string home;
    std::unique_ptr<TFormMain> window;
    std::vector<TBox> boxes;
    std::deque<int> answers;
    int defaultAnswer = MsgBox::IDNO;
};

}  // namespace MainWindowTest
