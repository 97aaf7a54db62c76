#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QButtonGroup>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLineEdit>
#include <QMainWindow>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextDocument>
#include <csignal>
#include <memory>
#include <sys/resource.h>

#include "app/terminal.h"
#include "app/terminal_form.h"
#include "platform/qt/qt_text.h"
#include "tests/app/key_helpers.h"
#include "tests/support/qt_app.h"

using namespace KeyHelpers;

namespace {

struct Fixture : ::testing::Test {
    void SetUp() override
    {
        AppWithDevices();
        owner = std::make_unique<QMainWindow>();
        owner->setObjectName("FormMain");
        pages = new QTabWidget(owner.get());
        pages->setObjectName("PageControl1");
        pages->addTab(new QWidget, "General");
        owner->setCentralWidget(pages);
        owner->resize(600, 500);
        term = std::make_unique<VTixTerminal>(owner.get());
        term->SetOnTermSendData([this](const char* d, int n) { sent.emplace_back(d, size_t(n)); });
    }
    void TearDown() override
    {
        term.reset();
        owner.reset();
    }
    void load(bool docked)
    {
        term->SetParentPageControl(pages);
        term->SetDocked(docked);
        term->SetVisible(true);
        term->Loaded();
        owner->show();
    }
    template <class T>
    T* control(const char* suffix)
    {
        return term->Form()->findChild<T*>(QString("VTixTerminal1") + suffix);
    }
    QLineEdit* line() { return control<QLineEdit>("_ManualLine"); }
    QLineEdit* hex() { return control<QLineEdit>("_HexManualLine"); }
    QPlainTextEdit* pane() { return control<QPlainTextEdit>("_RichEdit"); }

    std::unique_ptr<QMainWindow> owner;
    QTabWidget* pages = nullptr;
    std::unique_ptr<VTixTerminal> term;
    std::vector<std::string> sent;
};

using TerminalWindow = Fixture;
using TerminalInput = Fixture;
using TerminalOutput = Fixture;

}  // namespace

TEST_F(TerminalWindow, ControlsCarryTheComponentsNameAndDesignedPlaces)
{
    ASSERT_NE(term->Form(), nullptr);
    EXPECT_EQ(term->Form()->objectName(), "VTixTerminal1_Form");
    EXPECT_EQ(term->Form()->windowTitle(), QString::fromUtf8("Terminál"));
    // The pane ends 2 pixels above the text line.
    EXPECT_EQ(pane()->geometry(), QRect(0, 0, 398, 356));
    EXPECT_EQ(line()->geometry(), QRect(2, 358, 396, 21));
    EXPECT_EQ(control<QPushButton>("_SendLinebutton")->geometry(), QRect(96, 388, 75, 25));
    EXPECT_EQ(control<QPushButton>("_BtnDirect")->text(), QString::fromUtf8("Přímo"));
    EXPECT_EQ(control<QPushButton>("_BtnUndock")->geometry(), QRect(176, 420, 75, 25));
    EXPECT_EQ(control<QLineEdit>("_DebugOutTime")->geometry(), QRect(258, 421, 140, 21));
    EXPECT_EQ(control<QGroupBox>("_RGroupMode")->title(), QString::fromUtf8("Režim"));
    EXPECT_EQ(control<QPushButton>("_SendLinebutton")->toolTip(), QString::fromUtf8("Odeslat s odřádkováním"));
    // Anchors: wider and taller, the pane grows, the buttons keep to the bottom left.
    load(false);
    term->Form()->resize(500, 550);
    EXPECT_EQ(pane()->geometry(), QRect(0, 0, 498, 456));
    EXPECT_EQ(control<QPushButton>("_Clear")->geometry(), QRect(96, 520, 75, 25));
    EXPECT_EQ(control<QLineEdit>("_DebugInTime")->geometry(), QRect(258, 489, 240, 21));
    term->SetName("Other");
    EXPECT_EQ(term->Form()->objectName(), "Other_Form");
}

TEST_F(TerminalWindow, HexLineShownMovesTheTextLineUp)
{
    term->SetShowHexEdit(true);
    load(false);
    EXPECT_TRUE(hex()->isVisible());
    EXPECT_EQ(hex()->geometry(), QRect(2, 358, 396, 21));
    EXPECT_EQ(line()->geometry(), QRect(2, 335, 396, 21));
    EXPECT_EQ(pane()->geometry(), QRect(0, 0, 398, 333));
}

TEST_F(TerminalWindow, DocksIntoThePageControlAndFloatsAgain)
{
    int drops = 0;
    term->SetOnPageControlDockDrop([&](QWidget* f) {
        ++drops;
        EXPECT_TRUE(term->FormIs(f));
    });
    load(true);
    EXPECT_TRUE(term->GetDocked());
    ASSERT_EQ(pages->count(), 2);
    EXPECT_EQ(pages->widget(1), term->Form());
    EXPECT_EQ(drops, 1);
    auto* undock = control<QPushButton>("_BtnUndock");
    EXPECT_TRUE(undock->isEnabled());

    term->SetFormWidth(420);  // docked: the size it floats with
    undock->click();
    EXPECT_FALSE(term->GetDocked());
    EXPECT_EQ(pages->count(), 1);
    EXPECT_TRUE(term->Form()->isWindow());
    EXPECT_TRUE(term->Form()->isVisible());
    EXPECT_FALSE(undock->isEnabled());
    EXPECT_EQ(term->Form()->width(), 420);
    EXPECT_EQ(term->Form()->pos(), QPoint(500, 300));

    // Moving the floating window is remembered.
    term->Form()->move(120, 80);
    EXPECT_EQ(term->GetFormLeft(), 120);
    EXPECT_EQ(term->GetFormTop(), 80);

    // Closing it docks it back (trmcaDock) and keeps it open.
    EXPECT_FALSE(term->Form()->close());
    EXPECT_TRUE(term->GetDocked());
    EXPECT_EQ(pages->count(), 2);
    EXPECT_EQ(drops, 2);
    EXPECT_TRUE(undock->isEnabled());
    // Docking remembered where it floated.
    EXPECT_EQ(term->GetFormLeft(), 120);

    term->SetDocked(false);
    EXPECT_EQ(term->Form()->pos(), QPoint(120, 80));
}

TEST_F(TerminalWindow, DraggingTheTabOutFloatsTheWindow)
{
    load(true);
    pages->setCurrentIndex(1);
    QTabBar* bar = pages->tabBar();
    const QPoint inTab = bar->tabRect(1).center();
    SendMouseEvent(bar, QEvent::MouseButtonPress, inTab, Qt::LeftButton, Qt::LeftButton);
    SendMouseEvent(bar, QEvent::MouseMove, inTab + QPoint(0, 200), Qt::NoButton, Qt::LeftButton);
    EXPECT_FALSE(term->GetDocked());
    EXPECT_EQ(pages->count(), 1);
    EXPECT_TRUE(term->Form()->isWindow());
    // A press on another tab drags nothing.
    term->SetDocked(true);
    const QPoint other = bar->tabRect(0).center();
    SendMouseEvent(bar, QEvent::MouseButtonPress, other, Qt::LeftButton, Qt::LeftButton);
    SendMouseEvent(bar, QEvent::MouseMove, other + QPoint(0, 200), Qt::NoButton, Qt::LeftButton);
    EXPECT_TRUE(term->GetDocked());
}

TEST_F(TerminalWindow, CloseActions)
{
    load(false);
    term->SetTermCloseAction(trmcaHide);
    term->Form()->close();
    EXPECT_FALSE(term->Form()->isVisible());
    EXPECT_FALSE(term->GetVisible());

    term->SetVisible(true);
    term->SetTermCloseAction(trmcaFree);
    term->Form()->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(term->Form(), nullptr);
    // Without a window everything is quietly nothing.
    term->addLine("OK", VTixTerminal_ltInLine);
    term->SetDocked(true);
    term->SendLineButtonClick();
    EXPECT_FALSE(term->Focused());
    EXPECT_TRUE(sent.empty());
}

TEST_F(TerminalWindow, ModeGroupAsksTheOwner)
{
    load(false);
    auto* group = control<QGroupBox>("_RGroupMode");
    EXPECT_FALSE(group->isVisible());
    std::vector<int> asked;
    term->SetOnTermWantModeChange([&](int i) { asked.push_back(i); });
    term->SetModeItems({"AT", "Data"});
    EXPECT_TRUE(group->isVisible());
    EXPECT_EQ(term->GetModeIndex(), 0);  // none selected: the first
    auto buttons = group->findChildren<QRadioButton*>();
    ASSERT_EQ(buttons.size(), 2);
    buttons[1]->click();
    EXPECT_EQ(asked, std::vector<int>{1});
    EXPECT_EQ(term->GetModeIndex(), 0);  // not accepted
    term->SetModeIndex(7);
    EXPECT_EQ(term->GetModeIndex(), 1);  // clamped
    term->SetModeIndex(-5);
    EXPECT_EQ(term->GetModeIndex(), -1);
}

TEST_F(TerminalInput, TypingAtAndEnterSendsAtCr)
{
    load(true);
    pages->setCurrentIndex(1);
    line()->setFocus();
    KeyClicks(line(), "AT");
    EXPECT_EQ(hex()->text(), "41 54 ");
    KeyClick(line(), Qt::Key_Return);
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0], "AT\r");
    EXPECT_TRUE(line()->text().isEmpty());
    EXPECT_TRUE(hex()->text().isEmpty());
}

TEST_F(TerminalInput, LinesMirrorEachOther)
{
    load(false);
    line()->setText(QString("AT\r"));
    EXPECT_EQ(hex()->text(), "41 54 0D ");
    hex()->setText("41 54 2B 43 53 51 3F");
    EXPECT_EQ(line()->text(), "AT+CSQ?");
    hex()->setText("x 4");  // others stand for themselves, a lone digit is a byte
    EXPECT_EQ(line()->text(), QString("x\x04"));
    line()->setText(Platform::ToQString(std::string("\x9E", 1), 1250));  // ž in cp1250
    EXPECT_EQ(hex()->text(), "9E ");
}

TEST_F(TerminalInput, CtrlZIsSubNotUndoAndEscIsSent)
{
    load(false);
    KeyClicks(line(), "AT");
    KeyClick(line(), Qt::Key_Z, Qt::ControlModifier);
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0], "AT\x1A");  // no CR
    KeyClicks(line(), "x");
    KeyClick(line(), Qt::Key_Escape);
    ASSERT_EQ(sent.size(), 2u);
    EXPECT_EQ(sent[1], "x\x1B");
    EXPECT_TRUE(term->Form()->isVisible());  // Esc does not close the window
    // The pending line end is used once.
    KeyClicks(line(), "y");
    KeyClick(line(), Qt::Key_Enter);
    EXPECT_EQ(sent.back(), "y\r");
    // Ctrl+A is the byte 1 in the line, not select-all.
    KeyClick(line(), Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(line()->text(), QString("\x01"));
}

TEST_F(TerminalInput, HexLineKeys)
{
    term->SetShowHexEdit(true);
    load(false);
    hex()->setFocus();
    KeyClicks(hex(), "41 54");
    KeyClick(hex(), Qt::Key_Return);  // direct: no line end
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0], "AT");
    KeyClicks(hex(), "41");
    KeyClick(hex(), Qt::Key_Escape);  // empties, sends nothing
    EXPECT_EQ(sent.size(), 1u);
    EXPECT_TRUE(hex()->text().isEmpty());
    EXPECT_TRUE(line()->text().isEmpty());
}

TEST_F(TerminalInput, KeysInThePaneAndButtonsGoToTheTextLine)
{
    load(false);
    KeyClicks(pane(), "AT");
    EXPECT_EQ(line()->text(), "AT");
    auto* direct = control<QPushButton>("_BtnDirect");
    KeyClicks(direct, "I");
    EXPECT_EQ(line()->text(), "ATI");
    KeyClick(direct, Qt::Key_Return);
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0], "ATI\r");
    // The buttons themselves.
    line()->setText("AT");
    direct->click();
    EXPECT_EQ(sent.back(), "AT");
    term->SetOnTermSendData(nullptr);
    line()->setText("lost");
    control<QPushButton>("_SendLinebutton")->click();
    EXPECT_TRUE(line()->text().isEmpty());  // cleared even with nobody to send to
}

TEST_F(TerminalInput, FocusedFollowsTheKeyboardFocus)
{
    load(false);
    term->Form()->activateWindow();
    line()->setFocus();
    QCoreApplication::processEvents();
    if (QApplication::focusWidget() != line())
        GTEST_SKIP() << "the platform gives no focus";
    EXPECT_TRUE(term->Focused());
    owner->activateWindow();
    pages->setFocus();
    QCoreApplication::processEvents();
    if (QApplication::focusWidget() == pages) {
        EXPECT_FALSE(term->Focused());
    }
}

TEST_F(TerminalWindow, FloatingWindowFlagsFollowTaskbarAndOnTop)
{
    term->SetShowOnTaskbar(true);
    term->SetFormOnTop(true);
    load(false);
    EXPECT_EQ(term->Form()->parentWidget(), nullptr);  // a taskbar button of its own
    EXPECT_TRUE(term->Form()->windowFlags() & Qt::WindowStaysOnTopHint);
    term->SetShowOnTaskbar(false);
    EXPECT_EQ(term->Form()->parentWidget(), owner.get());  // the owner's window
    EXPECT_TRUE(term->Form()->isWindow());
    EXPECT_TRUE(term->Form()->isVisible());
    term->SetFormOnTop(false);
    EXPECT_FALSE(term->Form()->windowFlags() & Qt::WindowStaysOnTopHint);
    // Docked, the flags wait for the next float.
    term->SetDocked(true);
    EXPECT_FALSE(term->Form()->isWindow());
    term->SetVisible(false);
    EXPECT_FALSE(pages->isTabVisible(pages->indexOf(term->Form())));
    term->SetVisible(true);
    EXPECT_TRUE(pages->isTabVisible(pages->indexOf(term->Form())));
}

TEST_F(TerminalWindow, DockedTerminalNeverCoversTheCurrentPage)
{
    load(true);
    QApplication::processEvents();
    ASSERT_EQ(pages->count(), 2);
    QWidget* general = pages->widget(0);
    ASSERT_EQ(pages->currentWidget(), general);
    EXPECT_FALSE(term->Form()->isVisible());
    term->SetVisible(true);  // shown again while another page is current
    EXPECT_FALSE(term->Form()->isVisible());
    EXPECT_TRUE(general->isVisible());
    pages->setCurrentWidget(term->Form());
    EXPECT_TRUE(term->Form()->isVisible());
    EXPECT_FALSE(general->isVisible());
}
