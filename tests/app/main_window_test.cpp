// The main window's tick, receive path, terminal input, port display,
// lamps, operator list, language change and staged close.
#include <QComboBox>
#include <QAction>
#include <QCheckBox>
#include <QImage>
#include <QLineEdit>
#include <QMenu>
#include <QTimer>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QTabWidget>

#include "app/form_about.h"
#include "app/form_main_controls.h"
#include "app/form_options.h"
#include "app/terminal.h"
#include "engine/perif_calls.h"
#include "engine/perif_cbc.h"
#include "engine/perif_cops.h"
#include "engine/uniset.h"
#include "platform/qt/qt_text.h"
#include "tests/app/main_window_fixture.h"
#include "translation/tixlanguage.h"
#include "widgets/check_control.h"
#include "widgets/image.h"
#include "widgets/image_list.h"

using namespace MainWindowTest;
using Platform::FromQString;

namespace {

struct MainWindow : TMainWindowFixture {
    // The terminal's lines (pending appends put into the pane first).
    std::vector<std::string> TerminalLines()
    {
        w().VTixTerminal1->Update();
        const std::string text = w().VTixTerminal1->PaneText();
        std::vector<std::string> lines;
        size_t start = 0;
        while (start <= text.size()) {
            const size_t end = text.find("\r\n", start);
            lines.push_back(text.substr(start, end == std::string::npos ? std::string::npos : end - start));
            if (end == std::string::npos)
                break;
            start = end + 2;
        }
        while (!lines.empty() && lines.back().empty())
            lines.pop_back();
        return lines;
    }
    void Receive(const std::string& bytes) { w().VTSComm321ReceiveData(bytes.data(), uint16_t(bytes.size())); }
    std::string LabelComm() { return FromQString(w().LabelComm->text()); }
    QColor LabelCommColor() { return w().LabelComm->palette().color(QPalette::WindowText); }
};

// A call handler that always waits for an answer: the engine can only
// finish once the port is gone.
class BusyCalls : public VPerifCalls {
public:
    using VPerifCalls::VPerifCalls;
    bool isBusy() const override { return true; }
};

// A handler that, at its first line, lets the next received buffer in, as
// a question's message loop would.
class NestingCBC : public VPerifCBC {
public:
    NestingCBC(VUniSET* owner, TFormMain* window) : VPerifCBC(owner), window(window) {}
    void onResponse(uint32_t now) override
    {
        VPerifCBC::onResponse(now);
        if (!nested) {
            nested = true;
            window->VTSComm321ReceiveData("XYZ", 3);
        }
    }
    TFormMain* window;
    bool nested = false;
};

// An operator handler whose current operator the test chooses.
class ChosenCOPS : public VPerifCOPS {
public:
    using VPerifCOPS::VPerifCOPS;
    void choose(int index) { currentIndex = index; }
};

// Dark pixels of the text part of one drawn operator item.
int InkOfItem(TFormMain& w, int index, bool editPart)
{
    QImage canvas(240, 21, QImage::Format_ARGB32);
    canvas.fill(Qt::white);
    {
        QPainter p(&canvas);
        p.setPen(Qt::black);
        w.ComboOperatorDrawItem(p, index, QRect(0, 0, 240, 21), editPart);
    }
    int ink = 0;
    for (int y = 0; y < 21; ++y)
        for (int x = 21; x < 240; ++x)
            ink += qGray(canvas.pixel(x, y)) < 128;
    return ink;
}

}  // namespace

// ---- Receive path ---------------------------------------------------------------

TEST_F(MainWindow, ReceivedLinesGoToTheEngineAndTheTerminalLineByLine)
{
    Make(false);
    w().createEngine();
    const size_t before = TerminalLines().size();

    // A line end at the fourth of six bytes: a closed line and an open one.
    Receive("OK\r\nAT");
    auto lines = TerminalLines();
    ASSERT_EQ(lines.size(), before + 2);
    EXPECT_EQ(lines[before], "+ OK<#0D><#0A>");
    EXPECT_EQ(lines[before + 1], "+ AT");
    EXPECT_EQ(w().uniset->getRxBuffer().length(), 2u);
    EXPECT_EQ(w().rxBuffer, nullptr);

    // The next buffer continues the open line.
    Receive("+C");
    lines = TerminalLines();
    ASSERT_EQ(lines.size(), before + 2);
    EXPECT_EQ(lines.back(), "+ AT+C");
    Receive("SQ\r\r\n");
    lines = TerminalLines();
    EXPECT_EQ(lines.back(), "+ AT+CSQ<#0D><#0D><#0A>");
    EXPECT_TRUE(w().uniset->getRxBuffer().isEmpty());

    // Nothing at all changes nothing; nor does anything without an engine.
    Receive("");
    EXPECT_EQ(TerminalLines(), lines);
    w().uniset.reset();
    Receive("RING\r\n");
    EXPECT_EQ(TerminalLines(), lines);
}

TEST_F(MainWindow, ABufferArrivingInsideAnotherKeepsBothCursors)
{
    Make(false);
    w().createEngine();
    w().uniset->getHandlers().replaceHandler(VPerifModem::hCBC,
                                             std::make_unique<NestingCBC>(w().uniset.get(), &w()));
    const size_t before = TerminalLines().size();
    Receive("OK\r\nERROR\r\n");
    EXPECT_EQ(w().rxBuffer, nullptr);
    const auto lines = TerminalLines();
    // Every byte of both buffers shown, once each.
    std::string all;
    for (size_t i = before; i < lines.size(); ++i)
        all += lines[i] + "|";
    for (const char* part : {"OK<#0D><#0A>", "ERROR<#0D><#0A>", "XYZ"}) {
        EXPECT_NE(all.find(part), std::string::npos) << part << " in " << all;
        EXPECT_EQ(all.find(part), all.rfind(part)) << part << " in " << all;
    }
}

TEST_F(MainWindow, ModeChangeInsideABufferSplitsTheTerminalOutput)
{
    Make(false);
    w().createEngine();
    w().uniset->setMode(3);
    const size_t before = TerminalLines().size();
    // In a data call the bytes show as hex; "NO CARRIER" ends the call
    // inside this buffer and what follows is a command-mode line again.
    Receive("\r\nNO CARRIER\r\nAT");
    EXPECT_EQ(w().uniset->getMode(), 0);
    const auto lines = TerminalLines();
    ASSERT_EQ(lines.size(), before + 2);
    EXPECT_EQ(lines[before].rfind("+ # 0D 0A 4E 4F", 0), 0u) << lines[before];
    EXPECT_NE(lines[before].find("0D 0A"), std::string::npos);
    EXPECT_EQ(lines[before + 1], "+ AT");
}

TEST_F(MainWindow, TerminalInputEndingInCarriageReturnIsACommandLine)
{
    Make(false);
    // Without an engine the input is dropped.
    w().VTixTerminal1TermSendData("AT\r", 3);
    w().createEngine();
    w().VTixTerminal1TermSendData("AT\r", 3);
    EXPECT_EQ(std::string(w().uniset->getTxBuffer().c_str()), "AT\r");
    EXPECT_EQ(TerminalLines().back(), " - AT<#0D>");
    const char ctrlZ = 26;
    w().VTixTerminal1TermSendData(&ctrlZ, 1);
    EXPECT_EQ(std::string(w().uniset->getTxBuffer().c_str()), "\x1A");
    w().VTixTerminal1TermSendData("\r", 1);  // an empty line: "AT" nothing, CR only
    EXPECT_EQ(std::string(w().uniset->getTxBuffer().c_str()), "\r");
}

// ---- Port display -------------------------------------------------------------------

TEST_F(MainWindow, PortStateTable)
{
    Make(false);
    w().VTSComm321StateChange(CommStateFailed);
    EXPECT_EQ(LabelComm(), Cz("Port blokován"));
    EXPECT_EQ(LabelCommColor(), QColor(255, 0, 0));
    EXPECT_EQ(FromQString(w().BtnDisCon->text()), Cz("Připojit"));
    EXPECT_TRUE(w().ComboComm->isEnabled());

    w().VTSComm321StateChange(CommStateDisconnected);
    EXPECT_EQ(LabelComm(), Cz("Port uvolněn"));
    EXPECT_EQ(LabelCommColor(), QColor(0, 0, 0));

    // Open without an engine: no answer yet.
    w().VTSComm321StateChange(CommStateConnected);
    EXPECT_EQ(LabelComm(), Cz("Není odpověď"));
    EXPECT_EQ(LabelCommColor(), QColor(128, 0, 128));
    EXPECT_EQ(FromQString(w().BtnDisCon->text()), "Odpojit");

    // A lost port reaches the engine: its state becomes "disconnected".
    w().createEngine();
    w().VTSComm321StateChange(CommStateFailed);
    EXPECT_EQ(w().uniset->getState(), 4);
}

TEST_F(MainWindow, OpenPortDisablesTheListAndShowsTheEngineState)
{
    Make(false);
    StartSim(ModemSim::TProfile::Builtin("tc35"));
    OpenOnSim();
    EXPECT_FALSE(w().ComboComm->isEnabled());
    EXPECT_EQ(FromQString(w().BtnDisCon->text()), "Odpojit");
    // The engine comes up on its ticks: "connected" in blue.
    w().Timer1->start();
    w().initDone = true;
    ASSERT_TRUE(RunUntil([&] { return w().uniset->getState() <= 2; }, 20000)) << w().uniset->getState();
    ASSERT_TRUE(RunUntil([&] { return LabelComm() == Cz("Připojeno"); }, 5000)) << LabelComm();
    EXPECT_EQ(LabelCommColor(), QColor(0, 0, 255));

    // The button closes the port: the list is free again.
    w().BtnDisConClick();
    ASSERT_TRUE(RunUntil([&] { return !w().VTSComm321->Connected() && w().ComboComm->isEnabled(); }, 5000));
    EXPECT_EQ(LabelComm(), Cz("Port uvolněn"));
    EXPECT_EQ(FromQString(w().BtnDisCon->text()), Cz("Připojit"));
}

TEST_F(MainWindow, LampsFollowRingAndCarrierNotDsr)
{
    Make(false);
    StartSim(ModemSim::TProfile::Builtin("tc35"), true);
    OpenOnSim();
    EXPECT_FALSE(w().CheckDCD->Checked());
    EXPECT_FALSE(w().CheckRing->Checked());

    sim->ModemLines().SetDeviceLines(Serial::MS_DSR_ON);
    RunFor(200);
    w().tick();
    EXPECT_FALSE(w().CheckDCD->Checked()) << "DSR is not carrier";

    sim->SetCarrier(true);
    ASSERT_TRUE(RunUntil([&] { w().tick(); return w().CheckDCD->Checked(); }, 5000));
    sim->SetRing(true);
    ASSERT_TRUE(RunUntil([&] { w().tick(); return w().CheckRing->Checked(); }, 5000));
    sim->SetCarrier(false);
    sim->SetRing(false);
    ASSERT_TRUE(RunUntil([&] { w().tick(); return !w().CheckRing->Checked() && !w().CheckDCD->Checked(); }, 5000));
    // The port's own events drive them as well.
    w().VTSComm321ChangedRLSD(true);
    EXPECT_TRUE(w().CheckDCD->Checked());
    w().VTSComm321Ring(true);
    EXPECT_TRUE(w().CheckRing->Checked());
    // The lines have not changed since the last tick, yet the next one puts
    // their state back over what the events showed.
    EXPECT_TRUE(w().tick()) << "a lamp changed";
    EXPECT_FALSE(w().CheckDCD->Checked());
    EXPECT_FALSE(w().CheckRing->Checked());
}

// ---- Tick -------------------------------------------------------------------------

TEST_F(MainWindow, TaskbarFlashesFiveTimesAtLeast400msApart)
{
    Make(false);
    const uint32_t t0 = 0xFFFFFE00u;  // the flashes cross the wrap
    SetTickTo(t0);
    w().flashCount = 5;
    w().tick();
    EXPECT_EQ(w().flashCount, 4);  // at once
    SetTickTo(t0 + 100);
    w().tick();
    EXPECT_EQ(w().flashCount, 4);
    SetTickTo(t0 + 1000);
    w().tick();
    EXPECT_EQ(w().flashCount, 3);
    SetTickTo(t0 + 1300);
    w().tick();
    EXPECT_EQ(w().flashCount, 3);
    for (uint32_t t = 2000; t <= 4000; t += 1000) {
        SetTickTo(t0 + t);
        w().tick();
    }
    EXPECT_EQ(w().flashCount, 0);
    SetTickTo(t0 + 9000);
    w().tick();
    EXPECT_EQ(w().flashCount, 0);  // idle values flash nothing
    w().flashCount = -1;
    w().tick();
    EXPECT_EQ(w().flashCount, -1);
}

TEST_F(MainWindow, ATickDueWhileOneRunsIsSkipped)
{
    Make(false);
    w().flashCount = 5;
    TFormMain::tickGuard = true;  // a tick is under way (a question's loop)
    w().Timer1Timer();
    EXPECT_EQ(w().flashCount, 5) << "skipped, not queued";
    TFormMain::tickGuard = false;
    // A tick that worked (the engine here never gets quiet) hands out what
    // was posted before it returns.
    struct TReceiver : QObject {
        int events = 0;
        bool event(QEvent* e) override { return e->type() == QEvent::User ? (++events, true) : QObject::event(e); }
    } receiver;
    QCoreApplication::postEvent(&receiver, new QEvent(QEvent::User));
    w().Timer1Timer();
    EXPECT_EQ(w().flashCount, 4);
    EXPECT_EQ(receiver.events, 1);
    EXPECT_FALSE(TFormMain::tickGuard);
}

TEST_F(MainWindow, RingPictureBlinksWhileRinging)
{
    Make(false);
    w().show();
    SetTickTo(333 * 11 + 150);  // an odd period
    w().tick();
    EXPECT_TRUE(w().ImageRing->isHidden()) << "not ringing";
    w().ringing = true;
    w().tick();
    EXPECT_FALSE(w().ImageRing->isHidden());
    SetTickTo(333 * 12 + 150);  // an even one
    w().tick();
    EXPECT_TRUE(w().ImageRing->isHidden());
    SetTickTo(333 * 13 + 150);
    w().tick();
    EXPECT_FALSE(w().ImageRing->isHidden());
    w().ringing = false;
    w().tick();
    EXPECT_TRUE(w().ImageRing->isHidden());
}

// ---- Operator list ------------------------------------------------------------------------

TEST_F(MainWindow, OperatorItemsShowTheirPictures)
{
    Make(false);
    w().operatorComboAddItem("T-Mobile CZ", 23001);
    w().operatorComboAddItem("O2 - CZ", 23002);
    w().operatorComboAddItem("Vodafone CZ", 23003);
    w().operatorComboAddItem("Other", 99999);
    ASSERT_EQ(w().operatorComboCount(), 4);
    const int expected[4] = {1, 0, 2, -1};
    for (int i = 0; i < 4; ++i) {
        QImage canvas(200, 21, QImage::Format_ARGB32);
        canvas.fill(Qt::white);
        {
            QPainter p(&canvas);
            w().ComboOperatorDrawItem(p, i, QRect(0, 0, 200, 21), false);
        }
        // The picture stands at left + 2, (height - 15) / 2 from the top.
        const int top = (21 - 15) / 2;
        if (expected[i] < 0) {
            for (int y = top; y < top + 15; ++y)
                for (int x = 2; x < 18; ++x)
                    ASSERT_EQ(canvas.pixel(x, y), QColor(Qt::white).rgb()) << "item " << i;
            continue;
        }
        QImage alone(200, 21, QImage::Format_ARGB32);
        alone.fill(Qt::white);
        {
            QPainter p(&alone);
            w().OperatorImageList->Draw(p, 2, top, expected[i]);
        }
        for (int y = top; y < top + 15; ++y)
            for (int x = 2; x < 18; ++x)
                ASSERT_EQ(canvas.pixel(x, y), alone.pixel(x, y)) << "item " << i << " at " << x << "," << y;
    }
    // Out of range draws nothing.
    QImage canvas(50, 21, QImage::Format_ARGB32);
    canvas.fill(Qt::white);
    QImage blank = canvas;
    {
        QPainter p(&canvas);
        w().ComboOperatorDrawItem(p, 4, QRect(0, 0, 50, 21), false);
        w().ComboOperatorDrawItem(p, -1, QRect(0, 0, 50, 21), false);
    }
    EXPECT_EQ(canvas, blank);
}

TEST_F(MainWindow, TheCurrentOperatorIsBoldInTheListOnly)
{
    Make(false);
    w().createEngine();
    auto cops = std::make_unique<ChosenCOPS>(w().uniset.get());
    ChosenCOPS* chosen = cops.get();
    ASSERT_TRUE(w().uniset->getHandlers().replaceHandler(VPerifModem::hCOPS, std::move(cops)));
    w().operatorComboAddItem("Operator", 23001);
    w().operatorComboAddItem("Operator", 23002);
    chosen->choose(-1);
    const int plain = InkOfItem(w(), 0, false);
    EXPECT_GT(plain, 0);
    chosen->choose(0);
    EXPECT_GT(InkOfItem(w(), 0, false), plain) << "bold in the list";
    EXPECT_EQ(InkOfItem(w(), 0, true), plain) << "not in the edit part";
    EXPECT_EQ(InkOfItem(w(), 1, false), plain) << "another item";
}

TEST_F(MainWindow, OperatorComboIsWrittenOnlyOnChange)
{
    Make(false);
    int changes = 0;
    QObject::connect(w().ComboOperator, &QComboBox::currentIndexChanged, [&] { ++changes; });
    w().operatorComboAddItem("A", 23001);
    w().operatorComboAddItem("B", -2);
    w().operatorComboSetItemIndex(1);
    w().operatorComboSetItemIndex(1);
    EXPECT_EQ(changes, 2);  // the first item, then B once
    w().operatorComboSetText("");
    EXPECT_EQ(w().ComboOperator->currentIndex(), -1);
    w().operatorComboSetText("A");
    EXPECT_EQ(w().ComboOperator->currentIndex(), 0);
    w().operatorComboSetItemObject(0, 23003);
    EXPECT_EQ(w().ComboOperator->itemData(0).toInt(), 23003);
    w().operatorComboSetItemIndex(7);  // no such item
    EXPECT_EQ(w().ComboOperator->currentIndex(), -1);
    w().operatorComboClear();
    EXPECT_EQ(w().operatorComboCount(), 0);
}

// ---- Language ---------------------------------------------------------------------------

TEST_F(MainWindow, LanguageChangeRedisplaysTheWindow)
{
    Make(false);
    ASSERT_EQ(w().VTSComm321->ConnectionState(), CommStateDisconnected);
    w().VTSComm321StateChange(CommStateDisconnected);
    w().configClean = true;
    w().VTixLanguage1->SetCurrLanguage("English");
    EXPECT_EQ(LabelComm(), "Port freed");
    EXPECT_EQ(FromQString(w().BtnDisCon->text()), "Connect");
    EXPECT_FALSE(w().configClean);
    EXPECT_NE(FormAbout->LabelVersion->text().indexOf("Version"), -1) << FormAbout->LabelVersion->text().toStdString();
    EXPECT_EQ(FromQString(w().MenuFile->title()), "File") << "the form is translated";
    w().VTixLanguage1->SetCurrLanguage(Cz("Česky"));
    EXPECT_EQ(LabelComm(), Cz("Port uvolněn"));
}

// ---- Staged close ----------------------------------------------------------------------------

TEST_F(MainWindow, CloseBeforeStartUpIsDoneWhenStartUpEnds)
{
    Make(false);
    w().VTSComm321->SetCommPort(root.path().toStdString() + "/no-such-port");
    w().show();
    w().close();
    EXPECT_TRUE(w().closing);
    EXPECT_FALSE(w().closeDone);
    EXPECT_TRUE(w().isVisible());
    w().VTixAppInfo1->SetInhibitApplRunning(false);
    w().VTixAppInfo1->SetApplRunning(true);
    ASSERT_TRUE(RunUntil([&] { return w().closeDone; }, 10000));
    EXPECT_FALSE(w().isVisible());
    EXPECT_EQ(w().uniset, nullptr);
    EXPECT_EQ(w().VTSComm321, nullptr);
}

TEST_F(MainWindow, StagedCloseForcesThePortClosedAfter2000msAcrossTheWrap)
{
    Make(false);
    StartSim(ModemSim::TProfile::Builtin("tc35"));
    OpenOnSim();
    w().initDone = true;
    w().uniset->getHandlers().replaceHandler(VPerifModem::hCalls, std::make_unique<BusyCalls>(w().uniset.get()));
    // The device answers; the engine is up and busy.
    ASSERT_TRUE(RunUntil([&] {
        w().uniset->tick(Platform::GetTickCount());
        return w().uniset->getState() == 2;
    }, 20000)) << w().uniset->getState();

    const uint32_t t0 = 0xFFFFFC00u;  // 1024 ms before the wrap
    SetTickTo(t0);
    TFormMain::TCloseAction action = TFormMain::caHide;
    w().FormClose(action);
    EXPECT_EQ(action, TFormMain::caNone);
    EXPECT_TRUE(w().closing);
    EXPECT_EQ(w().closeStartTick, t0);
    EXPECT_EQ(w().uniset->getState(), 5) << "finishing";

    // After the wrap, 1500 ms on: still waiting, the port still open.
    SetTickTo(t0 + 1500);
    w().uniset->tick(Platform::GetTickCount());
    w().FormClose(action);
    EXPECT_EQ(action, TFormMain::caNone);
    EXPECT_TRUE(w().VTSComm321->Connected());

    // 2500 ms on: the port is closed by force and the engine finishes.
    SetTickTo(t0 + 2500);
    w().FormClose(action);
    EXPECT_FALSE(w().VTSComm321 && w().VTSComm321->Connected());
    // The port's report of its closing reaches the engine; then it is done.
    ASSERT_TRUE(RunUntil([&] {
        w().FormClose(action);
        return action == TFormMain::caFree;
    }, 5000));
    EXPECT_TRUE(w().closeDone);
    EXPECT_EQ(w().uniset, nullptr);
    EXPECT_EQ(w().VTSComm321, nullptr);
    EXPECT_FALSE(w().Timer1->isActive());
}

TEST_F(MainWindow, TheTerminalDocksAsAPageAndStartUpShowsTheGeneralPage)
{
    Make(false);
    QWidget* form = w().VTixTerminal1->Form();
    ASSERT_NE(form, nullptr);
    EXPECT_EQ(w().PageControl1->indexOf(form), 0) << "a docked terminal goes first";
    EXPECT_EQ(w().PageControl1->count(), 6);
    const char* pages[] = {"SheetGeneral", "SheetCalls", "SheetSMS", "SheetPhonebook", "SheetFiles"};
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(w().PageControl1->widget(i + 1)->objectName().toStdString(), pages[i]);
    w().VTSComm321->SetCommPort(root.path().toStdString() + "/no-such-port");
    w().show();
    w().VTixAppInfo1->SetInhibitApplRunning(false);
    w().VTixAppInfo1->SetApplRunning(true);
    EXPECT_TRUE(w().initDone);
    EXPECT_EQ(w().PageControl1->currentWidget(), w().SheetGeneral);
    EXPECT_TRUE(w().Timer1->isActive());
}

TEST_F(MainWindow, FormCarriesItsComponentNamesAndCzechTexts)
{
    Make(false);
    EXPECT_EQ(w().objectName(), "FormMain");
    EXPECT_EQ(w().windowTitle(), "Zelvitor");
    EXPECT_EQ(w().minimumSize(), QSize(400, 442));
    const char* names[] = {"PageControl1", "SheetGeneral", "SheetCalls", "SheetSMS", "SheetPhonebook", "SheetFiles",
                           "ComboComm", "BtnDisCon", "LabelComConn", "LabelComm", "StatusBar1", "CheckRing",
                           "CheckDCD", "ImageRing", "MainMenu1", "MenuFile", "MenuHelp", "LabelDevice",
                           "ShapeProgress", "GaugeSigStr", "GaugeSigQual", "LabelSigQual", "ComboOperator",
                           "BtnQueryOp", "CheckRegul", "CheckTestSignal", "LabelMyPhone", "LabelLabMyPhone"};
    for (const char* name : names)
        EXPECT_NE(w().findChild<QObject*>(name), nullptr) << name;
    for (const char* name : {"ItemFileLoadAnyCfg", "ItemFileSavePCcfg", "ItemFileExit", "MenuOpt", "MenuAbout"})
        EXPECT_NE(w().findChild<QAction*>(name), nullptr) << name;

    auto text = [](QAction* a) { return FromQString(a->text()); };
    EXPECT_EQ(text(w().ItemFileLoadAnyCfg), Cz("Nahrát nastavení"));
    EXPECT_EQ(text(w().ItemFileSavePCcfg), Cz("Uložit nastavení"));
    EXPECT_EQ(text(w().ItemFileExit), "E&xit");
    EXPECT_EQ(text(w().MenuOpt), Cz("Nastavení"));
    EXPECT_EQ(text(w().MenuAbout), "O aplikaci...");
    EXPECT_EQ(FromQString(w().MenuFile->title()), "Soubor");
    EXPECT_EQ(FromQString(w().MenuHelp->title()), Cz("Nápověda"));
    EXPECT_EQ(FromQString(w().LabelComConn->text()), Cz("Spojení:"));
    EXPECT_EQ(FromQString(w().BtnQueryOp->text()), "Zjistit");
    EXPECT_FALSE(w().BtnQueryOp->isEnabled());
    EXPECT_EQ(FromQString(w().CheckRegul->text()), "Automatika");
    EXPECT_EQ(FromQString(w().CheckTestSignal->text()), "Aktualizovat hodnoty");
    EXPECT_EQ(FromQString(w().CheckTestSignal->toolTip()), Cz("Periodicky ověřovat aktuální hodnoty"));
    EXPECT_EQ(w().CheckDCD->Text(), "DCD");
    EXPECT_EQ(w().CheckRing->Text(), "Ring");
    EXPECT_EQ(w().CheckDCD->Style(), iaccsStyleLamp);
    EXPECT_EQ(w().CheckDCD->CheckFieldColor1(), clRed);
    EXPECT_EQ(w().CheckDCD->CheckFieldColor2(), clLime);
    const char* tabs[] = {"Obecné", "Volání", "SMS", "Seznam", "Přenos souborů"};
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(FromQString(w().PageControl1->tabText(i + 1)), Cz(tabs[i]));
    EXPECT_EQ(w().Timer1->interval(), 10);
    EXPECT_FALSE(w().Timer1->isActive()) << "the tick starts with the start-up";
    EXPECT_EQ(w().OpenDialogCfg.filter, Cz("Konfigurační soubor (*.cfg)|*.cfg"));
    EXPECT_EQ(w().SaveDialogCfg.title, Cz("Uložit konfiguraci"));
    EXPECT_TRUE(w().configClean);
    EXPECT_EQ(w().flashCount, -1);
}

TEST_F(MainWindow, APortNameTakesEffectWhenTypedToTheEnd)
{
    Make(false);
    const std::string port = root.path().toStdString() + "/tty-typed";
    QLineEdit* edit = w().ComboComm->lineEdit();
    ASSERT_NE(edit, nullptr);
    w().configClean = true;
    edit->setText(QString::fromStdString(port.substr(0, 5)));
    EXPECT_NE(w().VTSComm321->GetCommPort(), port.substr(0, 5)) << "not while typing";
    edit->setText(QString::fromStdString(port));
    emit edit->editingFinished();
    EXPECT_EQ(w().VTSComm321->GetCommPort(), port);
    EXPECT_FALSE(w().configClean);
    // An empty name is set but changes nothing of the configuration.
    w().configClean = true;
    edit->setText("");
    emit edit->editingFinished();
    EXPECT_TRUE(w().configClean);
}
