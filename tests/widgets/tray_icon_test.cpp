// The notification icon's click dispatch, texts, animation and the
// minimise/restore/end-of-session handling. The offscreen platform has no
// notification area, so the mouse messages are fed in directly with an
// injected double-click time.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QImage>
#include <memory>
#include <string>

#include "tests/support/qt_app.h"
#include "tests/widgets/widget_test_helpers.h"
#include "widgets/image_list.h"
#include "widgets/tray_icon.h"

namespace {

// Counts the actions the dispatch runs.
class CountingTrayIcon : public VTixTrayIcon {
public:
    int bubbles = 0, menus = 0, restores = 0;
    void ShowBubble() override
    {
        ++bubbles;
        VTixTrayIcon::ShowBubble();
    }
    void ShowMenu() override
    {
        ++menus;
        VTixTrayIcon::ShowMenu();
    }
    void Restore() override
    {
        ++restores;
        VTixTrayIcon::Restore();
    }
};

class TrayIconTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        WidgetTest::AppWithDevices();
        tray = std::make_unique<CountingTrayIcon>();
        tray->SetDoubleClickTime(500);
    }

    void Message(VTixTrayMouseMessage m, uint32_t now) { tray->HandleMouseMessage(m, at, now); }

    std::unique_ptr<CountingTrayIcon> tray;
    const QPoint at{700, 10};
    // A start near the wrap of the tick counter.
    const uint32_t t0 = 0xFFFFFF00u;
};

}  // namespace

TEST_F(TrayIconTest, SingleClickShowsTheBalloonAfterTheDoubleClickTime)
{
    Message(VTixTrayMouseMessage::LeftDown, t0);
    Message(VTixTrayMouseMessage::LeftUp, t0 + 20);
    EXPECT_EQ(tray->LastAction(), vimLeftClickUp);
    EXPECT_EQ(tray->bubbles, 0);
    tray->HandleIdle(at, t0 + 300);
    EXPECT_EQ(tray->bubbles, 0);
    tray->HandleIdle(at, t0 + 20 + 501);  // across the wrap
    EXPECT_EQ(tray->bubbles, 1);
    EXPECT_EQ(tray->LastAction(), vimNone);
    tray->HandleIdle(at, t0 + 5000);
    EXPECT_EQ(tray->bubbles, 1);
    EXPECT_EQ(tray->restores, 0);
    EXPECT_EQ(tray->menus, 0);
}

TEST_F(TrayIconTest, DoubleClickRestoresWithoutBalloon)
{
    int restored = 0;
    tray->OnRestore = [&](VTixTrayIcon*) { ++restored; };
    Message(VTixTrayMouseMessage::LeftDown, t0);
    Message(VTixTrayMouseMessage::LeftUp, t0 + 50);
    Message(VTixTrayMouseMessage::LeftDouble, t0 + 150);
    EXPECT_EQ(tray->restores, 1);  // known at once: a double click
    Message(VTixTrayMouseMessage::LeftUp, t0 + 200);
    tray->HandleIdle(at, t0 + 2000);
    tray->HandleIdle(at, t0 + 4000);
    EXPECT_EQ(tray->restores, 1);
    EXPECT_EQ(restored, 1);
    EXPECT_EQ(tray->bubbles, 0);
}

TEST_F(TrayIconTest, RightClickShowsTheMenuOnce)
{
    Message(VTixTrayMouseMessage::RightDown, t0);
    Message(VTixTrayMouseMessage::RightUp, t0 + 30);
    Message(VTixTrayMouseMessage::ContextMenu, t0 + 31);  // the shell's extra message
    EXPECT_EQ(tray->menus, 0);
    tray->HandleIdle(at, t0 + 600);
    EXPECT_EQ(tray->menus, 1);
    tray->HandleIdle(at, t0 + 1600);
    EXPECT_EQ(tray->menus, 1);
    // A context-menu message on its own (the keyboard) shows the menu.
    Message(VTixTrayMouseMessage::ContextMenu, t0 + 2000);
    EXPECT_EQ(tray->menus, 2);
    EXPECT_EQ(tray->bubbles, 0);
}

TEST_F(TrayIconTest, DispatchFollowsTheChosenActions)
{
    tray->RestoreOn = vimLeftClickUp;
    tray->BubbleShowOn = vimNone;
    tray->PopupMenuOn = vimNone;
    Message(VTixTrayMouseMessage::LeftDown, t0);
    Message(VTixTrayMouseMessage::LeftUp, t0);
    tray->HandleIdle(at, t0 + 501);
    EXPECT_EQ(tray->restores, 1);
    EXPECT_EQ(tray->bubbles, 0);
    // A click that becomes obsolete by the next press never acts.
    tray->CheckMouseClick(vimLeftClickUp, t0 + 1000);
    tray->CheckMouseClick(vimMouseDown, t0 + 1100);
    EXPECT_EQ(tray->LastAction(), vimMouseDown);
    EXPECT_EQ(tray->restores, 1);
    // The trailing release after a double click is swallowed.
    tray->CheckMouseClick(vimLeftDoubleClick, t0 + 1200);
    tray->CheckMouseClick(vimClick, t0 + 1210);
    EXPECT_EQ(tray->LastAction(), vimLeftDoubleClick);
}

TEST_F(TrayIconTest, MouseEntersWithTheFirstMessageAndLeavesInIdle)
{
    int enters = 0, exits = 0, downs = 0;
    tray->OnMouseEnter = [&](VTixTrayIcon*) { ++enters; };
    tray->OnMouseExit = [&](VTixTrayIcon*) { ++exits; };
    tray->OnMouseDown = [&](VTixTrayIcon*, Qt::MouseButton b, QPoint p) {
        EXPECT_EQ(b, Qt::MiddleButton);
        EXPECT_EQ(p, at);
        ++downs;
    };
    EXPECT_TRUE(tray->HandleIdle(QPoint(1, 1), t0));  // never seen: nothing
    EXPECT_EQ(enters, 0);
    Message(VTixTrayMouseMessage::MiddleDown, t0);
    Message(VTixTrayMouseMessage::MiddleUp, t0);
    EXPECT_EQ(enters, 1);
    EXPECT_EQ(downs, 1);
    EXPECT_TRUE(tray->HandleIdle(at, t0 + 10));
    EXPECT_FALSE(tray->HandleIdle(QPoint(1, 1), t0 + 20));
    EXPECT_EQ(exits, 1);
    EXPECT_FALSE(tray->MouseInside());
    tray->HandleIdle(at, t0 + 30);  // back where the icon reported it
    EXPECT_EQ(enters, 2);
}

TEST_F(TrayIconTest, TextsAreCutToTheirFields)
{
    tray->SetHint(std::string(200, 'h'));
    EXPECT_EQ(tray->TipText().size(), 127u);
    tray->SetShowHint(false);
    EXPECT_EQ(tray->TipText(), "");
    tray->SetBubbleText({"first", "second"});
    EXPECT_EQ(tray->BubbleTextJoined(), "first\rsecond");
    tray->SetBubbleText({std::string(300, 'b')});
    EXPECT_EQ(tray->BubbleTextJoined().size(), 255u);
    tray->SetBubbleTitle(std::string(100, 't'));
    EXPECT_EQ(tray->BubbleTitle().size(), 63u);
}

TEST_F(TrayIconTest, AnimationWalksThePictures)
{
    TImageList icons(16, 16);
    for (int i = 0; i < 3; ++i) {
        QImage img(16, 16, QImage::Format_ARGB32);
        img.fill(QColor(i * 80, 0, 0));
        icons.Add(img);
    }
    int steps = 0;
    tray->OnAnimate = [&](VTixTrayIcon*) { ++steps; };
    tray->AnimateStep();
    EXPECT_EQ(tray->IconIndex(), -1);  // no pictures
    tray->SetIcons(&icons);
    std::vector<int> seen;
    for (int i = 0; i < 5; ++i) {
        tray->AnimateStep();
        seen.push_back(tray->IconIndex());
    }
    EXPECT_EQ(seen, (std::vector<int>{0, 1, 2, 0, 1}));
    EXPECT_EQ(steps, 6);
    EXPECT_EQ(tray->CurrentIcon().pixmap(16, 16).toImage().pixelColor(3, 3), QColor(80, 0, 0));
    // A new icon of its own resets an index into the list.
    QImage own(16, 16, QImage::Format_ARGB32);
    own.fill(Qt::green);
    tray->SetIcon(QIcon(QPixmap::fromImage(own)));
    EXPECT_EQ(tray->IconIndex(), -1);
    tray->SetAnimate(true);
    EXPECT_TRUE(tray->Animate());
    tray->SetIcons(nullptr);
    EXPECT_FALSE(tray->Animate());
}

TEST_F(TrayIconTest, MinimiseRestoreAndTheEndOfTheSession)
{
    QWidget window;
    window.resize(200, 100);
    window.show();
    tray->SetMainWindow(&window);
    tray->SetVisible(true);
    int minimized = 0;
    tray->OnMinimize = [&](VTixTrayIcon*) { ++minimized; };
    tray->Minimize();
    WidgetTest::Flush();
    EXPECT_EQ(minimized, 1);
    EXPECT_FALSE(window.isVisible());  // its task-bar button goes with it
    tray->Restore();
    WidgetTest::Flush();
    EXPECT_TRUE(window.isVisible());
    EXPECT_FALSE(window.isMinimized());

    bool closeAsked = false;
    struct CloseWatch : QObject {
        bool* flag;
        bool eventFilter(QObject*, QEvent* e) override
        {
            if (e->type() == QEvent::Close)
                *flag = true;
            return false;
        }
    } watch;
    watch.flag = &closeAsked;
    window.installEventFilter(&watch);
    tray->SessionEnding();
    EXPECT_FALSE(tray->Visible());
    EXPECT_TRUE(closeAsked);  // the window's own close runs...
    EXPECT_FALSE(QCoreApplication::closingDown());  // ...and nothing halts the process
    window.removeEventFilter(&watch);
}
