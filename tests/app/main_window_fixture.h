#pragma once
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QSettings>
#include <QTemporaryDir>
#include <QThread>
#include <cstdlib>
#include <deque>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

#include "app/app_info.h"
#include "app/form_main.h"
#include "platform/codepage.h"
#include "platform/tick.h"
#include "serial/test_port.h"
#include "serial/vtscomm32.h"
#include "tests/modemsim/modem_sim.h"
#include "tests/support/qt_app.h"

// The real main window in a private home: HOME, XDG_CONFIG_HOME and the
// registry's file point into a temporary folder, message boxes are
// answered from a script and recorded.
namespace MainWindowTest {

inline std::string Cz(const char* utf8)
{
    return Platform::Utf8ToAnsi(utf8, Platform::CP_CZECH);
}

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
        home = root.path().toStdString() + "/home";
        config = root.path().toStdString() + "/config";
        QDir().mkpath(QString::fromStdString(home));
        QDir().mkpath(QString::fromStdString(config));
        ::setenv("HOME", home.c_str(), 1);
        ::setenv("XDG_CONFIG_HOME", config.c_str(), 1);
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, QString::fromStdString(config));
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
    // lines reach the window's port (a test port over the pty).
    ModemSim::TModemSim& StartSim(const ModemSim::TProfile& profile, bool lines = false)
    {
        sim = std::make_unique<ModemSim::TModemSim>(profile);
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

    // Runs the event loop until cond holds or timeoutMs passes.
    static bool RunUntil(const std::function<bool()>& cond, int timeoutMs)
    {
        QElapsedTimer timer;
        timer.start();
        while (!cond()) {
            if (timer.elapsed() > timeoutMs)
                return cond();
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
            QThread::msleep(2);
        }
        return true;
    }
    static void RunFor(int ms)
    {
        QElapsedTimer timer;
        timer.start();
        RunUntil([&] { return timer.elapsed() >= ms; }, ms + 1000);
    }

    // Moves the tick clock so that it reads `tick` now.
    static void SetTickTo(uint32_t tick)
    {
        Platform::SetTickOffset(0);
        Platform::SetTickOffset(tick - Platform::GetTickCount());
    }

    std::string ReadFile(const std::string& path) const
    {
        std::string out;
        if (FILE* f = std::fopen(path.c_str(), "rb")) {
            char buf[4096];
            size_t n;
            while ((n = std::fread(buf, 1, sizeof buf, f)) > 0)
                out.append(buf, n);
            std::fclose(f);
        }
        return out;
    }
    void WriteFile(const std::string& path, const std::string& text) const
    {
        QDir().mkpath(QString::fromStdString(TFormMain::ExtractFilePath(path)));
        FILE* f = std::fopen(path.c_str(), "wb");
        ASSERT_NE(f, nullptr) << path;
        std::fwrite(text.data(), 1, text.size(), f);
        std::fclose(f);
    }

    QTemporaryDir root;
    std::unique_ptr<ModemSim::TModemSim> sim;
    std::unique_ptr<Serial::TTestPortFactory> ports;
    std::string home;
    std::string config;
    std::unique_ptr<TFormMain> window;
    std::vector<TBox> boxes;
    std::deque<int> answers;
    int defaultAnswer = MsgBox::IDNO;
};

}  // namespace MainWindowTest
