// The real main window started on the simulated device: the staged start
// up to "ready", the device in the status bar, the staged close, and the
// end of a session by a signal.
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QSettings>
#include <QTabWidget>
#include <QTimer>
#include <csignal>

#include "app/form_main_controls.h"
#include "app/form_options.h"
#include "app/radio_group.h"
#include "app/tab_control.h"
#include "app/terminal.h"
#include "engine/perif_phonebook.h"
#include "engine/uniset.h"
#include "phonebook/phonebook.h"
#include "platform/qt/qt_text.h"
#include "tests/app/main_window_fixture.h"

using namespace MainWindowTest;
using Platform::FromQString;

namespace {

// Counts the paints of every widget but the one with the focus (a
// blinking text cursor).
class TPaintCounter : public QObject {
public:
    int count = 0;
    std::string names;
    bool eventFilter(QObject* o, QEvent* e) override
    {
        if (e->type() == QEvent::Paint && o != QApplication::focusWidget()) {
            ++count;
            names += o->objectName().toStdString() + "(" + o->metaObject()->className() + ") ";
        }
        return false;
    }
};

struct StartUp : TMainWindowFixture {
    std::string Panel(int i) { return FromQString(w().StatusPanels[size_t(i)]->text()); }
    std::string Progress() { return FromQString(w().ShapeProgress->toolTip()); }
    bool Asked(const std::string& part) const { return BoxesWith(part) > 0; }
    // "Yes" to the PIN question, "No" to anything else.
    void AnswerPinYes()
    {
        window->VTixAppInfo1->SetMessageBoxResponder(
            [this](const std::string&, const std::string& text, unsigned flags) {
                boxes.push_back({text, flags});
                return text.find("PIN") != std::string::npos ? MsgBox::IDYES : MsgBox::IDNO;
            });
    }
    // Starts the window on the device with a configuration file given on
    // the command line.
    void StartOn(const std::string& cfgText)
    {
        const std::string cfg = home + "/project/device.cfg";
        WriteFile(cfg, cfgText);
        Make(false);
        AnswerPinYes();
        w().SetCommandLine({"-x", cfg});
        // Not the machine's first serial port before the file names the device.
        w().VTSComm321->SetCommPort(sim->PtyPath());
        w().show();
        w().VTixAppInfo1->SetInhibitApplRunning(false);
    }
};

}  // namespace

TEST_F(StartUp, ReachesReadyOnTheDeviceAndClosesInStages)
{
    StartSim(ModemSim::TProfile::Load(ZELVITOR_SOURCE_DIR "/tests/modemsim/profiles/tc35-locked.txt"));
    StartOn("[General]\r\nCommPort=" + sim->PtyPath() + "\r\nUserAdvanced=1\r\n[Project]\r\nPIN=2468\r\n");

    ASSERT_TRUE(RunUntil([&] { return w().initDone; }, 10000));
    EXPECT_TRUE(w().Timer1->isActive());
    EXPECT_TRUE(w().firstRun) << "an empty registry";
    EXPECT_TRUE(FormOptions->isVisible()) << "a first run shows the options";
    EXPECT_EQ(FromQString(FormOptions->EditPIN->text()), "2468");
    EXPECT_EQ(w().VTSComm321->GetCommPort(), sim->PtyPath());

    ASSERT_TRUE(RunUntil(
                    [&] {
                        PassPhonebookPause();
                        return Progress() == Cz("Připraven");
                    },
                    90000))
        << Progress() << " / " << Panel(1) << "\n"
        << sim->Transcript().ToText();
    EXPECT_NE(Panel(1).find("TC35"), std::string::npos) << Panel(1);
    // The device's phonebook memories in the memory selector and the
    // tabs, the SIM card's chosen and shown.
    QStringList items;
    for (const char* item : {"SM (SIM karta)", "ME (V GSM modemu (v telefonu))", "FD (Pevná volba)",
                             "LD (Posledně volané)"})
        items << QString::fromUtf8(item);
    EXPECT_EQ(w().RGroupPBStorage->Items(), items);
    EXPECT_EQ(w().RGroupPBStorage->ItemIndex(), 0);
    EXPECT_EQ(w().TabsPBStorages->TabTexts(), (std::vector<std::string>{"SM", "ME", "FD", "LD"}));
    EXPECT_EQ(w().TabsPBStorages->TabIndex(), 0);
    EXPECT_EQ(w().uniset->getHandlers().phonebook().getPhonebook().displayedStorageName(), "SM");
    EXPECT_TRUE(w().isChecked(VMainWindowLink::CheckPhonebookActive)) << "Read phonebooks, as at design";
    EXPECT_EQ(FromQString(w().LabelDevice->text()), Panel(1));
    EXPECT_EQ(FromQString(w().LabelComm->text()), Cz("Připojeno"));
    EXPECT_TRUE(Asked("PIN")) << "the PIN question";

    // The device saw the start-up in order: link, identity, PIN.
    const auto commands = sim->Transcript().Commands();
    auto at = [&](const std::string& c) {
        for (size_t i = 0; i < commands.size(); ++i)
            if (commands[i] == c)
                return int(i);
        return -1;
    };
    ASSERT_GE(at("AT+CGMI"), 0) << sim->Transcript().ToText();
    ASSERT_GE(at("AT+CGMM"), 0);
    ASSERT_GE(at("AT+CPIN?"), 0);
    EXPECT_LT(at("AT+CGMI"), at("AT+CGMM"));
    EXPECT_LT(at("AT+CGMM"), at("AT+CPIN?"));
    bool pinSent = false;
    for (const auto& c : commands)
        pinSent = pinSent || c.find("2468") != std::string::npos;
    EXPECT_TRUE(pinSent) << sim->Transcript().ToText();
    // The terminal logged the conversation.
    w().VTixTerminal1->Update();
    EXPECT_NE(w().VTixTerminal1->PaneText().find(" - AT+CPIN?"), std::string::npos);

    // Idle: once the device is quiet the ticks paint nothing.
    w().CheckTestSignal->setChecked(false);
    size_t seen = sim->Transcript().Size();
    QElapsedTimer still;
    still.start();
    ASSERT_TRUE(RunUntil([&] {
        if (sim->Transcript().Size() != seen) {
            seen = sim->Transcript().Size();
            still.restart();
        }
        return still.elapsed() > 3000;
    }, 60000));
    // No blinking text cursor: the options dialog away, the focus on the pages.
    // The General page's running device time is the one thing that repaints
    // every second, so another page is in front.
    FormOptions->hide();
    w().PageControl1->setCurrentWidget(w().SheetFiles);
    w().PageControl1->setFocus();
    RunFor(100);
    TPaintCounter paints;
    qApp->installEventFilter(&paints);
    const size_t before = sim->Transcript().Size();
    RunFor(1500);
    qApp->removeEventFilter(&paints);
    const bool deviceSpoke = sim->Transcript().Size() != before;
    if (!deviceSpoke) {  // nothing happened meanwhile
        EXPECT_EQ(paints.count, 0) << paints.names;
    }

    // Close: the engine finishes, the settings are saved, the loop ends.
    w().configClean = true;
    w().close();
    EXPECT_TRUE(w().closing);
    EXPECT_FALSE(w().closeDone);
    ASSERT_TRUE(RunUntil([&] { return w().closeDone; }, 10000));
    EXPECT_FALSE(w().isVisible());
    EXPECT_EQ(w().uniset, nullptr);
    EXPECT_EQ(w().VTSComm321, nullptr);
    QSettings registry(QSettings::IniFormat, QSettings::UserScope, "Tix", "Zelvitor");
    EXPECT_EQ(registry.value("Options/ConfigFile").toString().toStdString(),
              home + "/Documents/Tix/Zelvitor/Zelvitor.cfg");
    EXPECT_TRUE(registry.contains("Options/TempDir"));
    EXPECT_EQ(registry.value("Options/Forms/VTixTerminal1_Form/Docked").toInt(), 1);
    EXPECT_FALSE(Asked(Cz("Konfigurace byla změněna"))) << "nothing changed, nothing asked";
    // The rest ran; say so when the idle paints could not be judged.
    if (deviceSpoke)
        GTEST_SKIP() << "the device spoke during the idle check: paints not checked";
}

TEST_F(StartUp, ASignalEndsTheSessionWithoutAQuestion)
{
    ASSERT_TRUE(TFormMain::InstallTerminationSignals());
    StartSim(ModemSim::TProfile::Builtin("tc35"));
    StartOn("[General]\r\nCommPort=" + sim->PtyPath() + "\r\n");
    ASSERT_TRUE(RunUntil([&] { return w().initDone; }, 10000));
    ASSERT_TRUE(RunUntil([&] { return w().uniset && w().uniset->getState() <= 2; }, 30000));

    w().configClean = false;  // a change that nobody saves
    const std::string saved = home + "/Documents/Tix/Zelvitor/Zelvitor.cfg";
    ::raise(SIGTERM);
    ASSERT_TRUE(RunUntil([&] { return w().closeDone; }, 20000));
    EXPECT_FALSE(Asked(Cz("Konfigurace byla změněna")));
    EXPECT_TRUE(ReadFile(saved).empty()) << "treated as No: nothing written";
    EXPECT_EQ(w().VTSComm321, nullptr);
}
