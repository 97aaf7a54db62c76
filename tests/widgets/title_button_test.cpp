// The caption button's state and click logic, its drawing, and the shared
// application events.
#include <gtest/gtest.h>

#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/tick.h"
#include "tests/support/qt_app.h"
#include "tests/widgets/widget_test_helpers.h"
#include "widgets/application_events.h"
#include "widgets/theme_switch.h"
#include "widgets/title_button.h"

using WidgetTest::PixelColor;

namespace {

class TitleButtonTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        WidgetTest::AppWithDevices();
        Platform::ResetClassicSysColors();
        form = std::make_unique<QWidget>();
        form->resize(300, 200);
        child = new QPushButton(form.get());
        child->setGeometry(50, 50, 80, 30);
    }

    std::unique_ptr<QWidget> form;
    QPushButton* child = nullptr;
    int clicks = 0;
    std::vector<QWidget*> picked;
};

}  // namespace

TEST_F(TitleButtonTest, NeedsAFormAmongTheOwners)
{
    QObject loose;
    try {
        VTixTitleButton b(&loose);
        FAIL() << "no exception";
    } catch (const std::runtime_error& e) {
        EXPECT_STREQ(e.what(), "VTixTitleButton must be placed on a TCustomForm descendant");
    }
    VTixTitleButton b(child);
    EXPECT_EQ(b.Form(), form.get());
    EXPECT_EQ(b.parent(), child);
}

TEST_F(TitleButtonTest, EachButtonAnswersToItsOwnHitCode)
{
    VTixTitleButton a(form.get());
    VTixTitleButton b(form.get());
    EXPECT_GE(a.HitTestCode(), 200);
    EXPECT_EQ(b.HitTestCode(), a.HitTestCode() + 1);
    // a sits at 200..219, b at 180..199 of the caption.
    EXPECT_EQ(a.HandleHitTest(VTixTitleButton::HTCAPTION, 205, 200, 20), a.HitTestCode());
    EXPECT_EQ(b.HandleHitTest(VTixTitleButton::HTCAPTION, 205, 180, 20), VTixTitleButton::HTCAPTION);
    EXPECT_TRUE(a.MouseOver());
    EXPECT_FALSE(b.MouseOver());
    // Not the caption (a border, say): no button.
    EXPECT_EQ(a.HandleHitTest(10, 205, 200, 20), 10);
    EXPECT_FALSE(a.MouseOver());
    b.HandleNcButtonDown(a.HitTestCode());
    EXPECT_FALSE(b.Pressed());
    a.HandleNcButtonDown(a.HitTestCode());
    EXPECT_TRUE(a.Pressed());
    EXPECT_TRUE(a.Captured());
}

TEST_F(TitleButtonTest, ClickReportsOnReleaseOverTheButton)
{
    VTixTitleButton b(form.get());
    b.OnClick = [this](VTixTitleButton*) { ++clicks; };
    const int code = b.HitTestCode();
    b.HandleHitTest(VTixTitleButton::HTCAPTION, 5, 0, 20);
    b.HandleNcButtonDown(code);
    b.HandleButtonUp(QPoint(5, -10));
    EXPECT_EQ(clicks, 1);
    EXPECT_FALSE(b.Pressed());
    EXPECT_FALSE(b.Captured());

    // Pressed, then the mouse leaves the button: the release does nothing.
    b.HandleNcButtonDown(code);
    b.HandleHitTest(VTixTitleButton::HTCAPTION, 50, 0, 20);
    EXPECT_FALSE(b.Pressed());
    b.HandleButtonUp(QPoint(50, -10));
    EXPECT_EQ(clicks, 1);
    // Coming back while captured shows it pressed again.
    b.HandleNcButtonDown(code);
    b.HandleHitTest(VTixTitleButton::HTCAPTION, 50, 0, 20);
    b.HandleHitTest(VTixTitleButton::HTCAPTION, 5, 0, 20);
    EXPECT_TRUE(b.Pressed());
    b.HandleButtonUp(QPoint(5, -10));
    EXPECT_EQ(clicks, 2);
}

TEST_F(TitleButtonTest, KeptDownButtonPicksTheNextClickedControl)
{
    VTixTitleButton b(form.get());
    b.SetKeepPressed(true);
    b.OnClick = [this](VTixTitleButton*) { ++clicks; };
    b.OnControlClick = [this](VTixTitleButton*, QWidget* w) { picked.push_back(w); };
    std::vector<QWidget*> moved;
    b.OnControlMove = [&](VTixTitleButton*, QWidget* w) { moved.push_back(w); };
    b.HandleHitTest(VTixTitleButton::HTCAPTION, 5, 0, 20);
    b.HandleNcButtonDown(b.HitTestCode());
    b.HandleButtonUp(QPoint(5, -10));
    EXPECT_EQ(clicks, 1);
    EXPECT_TRUE(b.Armed());
    EXPECT_TRUE(b.Pressed());
    EXPECT_TRUE(b.Captured());
    // The mouse leaves the caption; the button stays down.
    b.HandleHitTest(1, 5, 0, 20);
    EXPECT_TRUE(b.Pressed());
    // Client-area move and release on the form reach the button.
    WidgetTest::SendMouseEvent(form.get(), QEvent::MouseMove, QPoint(60, 60), Qt::NoButton, Qt::NoButton);
    WidgetTest::SendMouseEvent(form.get(), QEvent::MouseButtonRelease, QPoint(60, 60), Qt::LeftButton, Qt::NoButton);
    EXPECT_EQ(moved, (std::vector<QWidget*>{child}));
    EXPECT_EQ(picked, (std::vector<QWidget*>{child}));
    EXPECT_FALSE(b.Pressed());
    EXPECT_FALSE(b.Armed());
    EXPECT_FALSE(b.Captured());
    EXPECT_EQ(b.findMouseControl(QPoint(5, 5)), form.get());
}

TEST_F(TitleButtonTest, LosingTheCapture)
{
    VTixTitleButton b(form.get());
    b.OnControlClick = [this](VTixTitleButton*, QWidget* w) { picked.push_back(w); };
    b.HandleNcButtonDown(b.HitTestCode());
    b.HandleCaptureLost(true, QPoint(60, 60));
    EXPECT_FALSE(b.Pressed());
    EXPECT_TRUE(picked.empty());  // not armed: only released

    b.SetKeepPressed(true);
    b.HandleNcButtonDown(b.HitTestCode());
    b.HandleButtonUp(QPoint(1, 1));
    ASSERT_TRUE(b.Armed());
    b.HandleCaptureLost(true, QPoint(60, 60));
    EXPECT_EQ(picked, (std::vector<QWidget*>{child}));
    EXPECT_FALSE(b.Pressed());
}

TEST_F(TitleButtonTest, UpdatesWaitForTheLastEndUpdate)
{
    VTixTitleButton own(form.get());
    EXPECT_EQ(own.UpdateCount(), 0);
    VTixTitleButton given(form.get(), form.get());
    EXPECT_EQ(given.UpdateCount(), 1);
    int repaints = 0;
    QObject::connect(&given, &VTixTitleButton::frameRepaintRequested, [&](bool) { ++repaints; });
    given.SetKind(titleBtnKindHelp);
    given.SetBtnPosition(2);
    EXPECT_EQ(repaints, 0);
    given.EndUpdate();
    EXPECT_EQ(repaints, 1);
    given.SetGap(4);
    EXPECT_EQ(repaints, 2);
    given.SetGap(4);  // unchanged
    EXPECT_EQ(repaints, 2);
    given.SetGlyph(QImage(4, 4, QImage::Format_ARGB32));  // not a custom button
    EXPECT_EQ(repaints, 2);
    EXPECT_EQ(given.CellRect(300, 20, 18, 0), QRect(300 - 4 - 3 * 20, 2, 18, 14));
}

TEST_F(TitleButtonTest, ClassicButtonWithItsGlyph)
{
    Widgets::SetThemesEnabled(false);
    VTixTitleButton b(form.get());
    b.SetKind(titleBtnKindClose);
    const QImage big = b.KindGlyph(false);
    const QImage small = b.KindGlyph(true);
    EXPECT_EQ(big.size(), QSize(13, 11));
    EXPECT_EQ(small.size(), QSize(8, 8));
    // Lime is the transparent colour of the glyphs.
    int transparent = 0, ink = 0;
    for (int y = 0; y < big.height(); ++y)
        for (int x = 0; x < big.width(); ++x) {
            EXPECT_NE(big.pixel(x, y) & 0xFFFFFFu, 0x00FF00u);
            (qAlpha(big.pixel(x, y)) == 0 ? transparent : ink)++;
        }
    EXPECT_GT(transparent, 50);
    EXPECT_GT(ink, 10);

    QImage cell(21, 17, QImage::Format_ARGB32);
    cell.fill(Qt::white);
    {
        QPainter p(&cell);
        b.PaintButton(p, QRect(0, 0, 21, 17), true);
    }
    EXPECT_EQ(PixelColor(cell, 0, 0), 0xC0C0C0);    // raised: 3D light outside
    EXPECT_EQ(PixelColor(cell, 1, 1), 0xFFFFFF);    // ...highlight inside
    EXPECT_EQ(PixelColor(cell, 20, 16), 0x404040);  // dark shadow bottom-right
    EXPECT_EQ(PixelColor(cell, 10, 8), 0x000000);   // the middle of the cross
    b.HandleHitTest(VTixTitleButton::HTCAPTION, 5, 0, 20);
    b.HandleNcButtonDown(b.HitTestCode());
    {
        QPainter p(&cell);
        b.PaintButton(p, QRect(0, 0, 21, 17), false);
    }
    EXPECT_EQ(PixelColor(cell, 0, 0), 0x404040);    // sunk
    EXPECT_EQ(PixelColor(cell, 11, 9), 0x808080);   // inactive glyph, moved by one
    Widgets::SetThemesEnabled(true);
    EXPECT_TRUE(VTixTitleButton::ColorsAlike(0x101010, 0x1A1A1A));
    EXPECT_FALSE(VTixTitleButton::ColorsAlike(0x000000, 0x1B1B1B));
}

TEST_F(TitleButtonTest, OwnHintAfterThePause)
{
    VTixTitleButton b(form.get());
    b.SetHint("Minimalizovat do li\x9Aty");
    b.HandleHitTest(VTixTitleButton::HTCAPTION, 5, 0, 20);
    ASSERT_TRUE(b.MouseOver());
    const uint32_t entered = Platform::GetTickCount();
    b.ApplicationIdle(entered);
    EXPECT_FALSE(b.HintShown());
    b.ApplicationIdle(entered + VTixTitleButton::HintPauseMs + 50);
    EXPECT_TRUE(b.HintShown());
    b.ApplicationIdle(entered + VTixTitleButton::HintPauseMs + VTixTitleButton::HintHidePauseMs + 100);
    EXPECT_FALSE(b.HintShown());
    // Done until the mouse enters again.
    b.ApplicationIdle(entered + 10000);
    EXPECT_FALSE(b.HintShown());
}

TEST_F(TitleButtonTest, TheApplicationsHintPutsTheHintPauseBackAndAllowsTheOwnHintAgain)
{
    VTixApplicationEvents* app = VTixApplicationEvents::Instance();
    const int pause = VTixApplicationEvents::DefaultHintPause;
    const int shortPause = VTixApplicationEvents::DefaultHintShortPause;
    ASSERT_EQ(app->HintPause(), pause);
    auto b = std::make_unique<VTixTitleButton>(form.get());
    b->SetHint("Minimalizovat do li\x9Aty");
    b->HandleHitTest(VTixTitleButton::HTCAPTION, 5, 0, 20);
    ASSERT_TRUE(b->MouseOver());
    const uint32_t t0 = Platform::GetTickCount();
    enum Step { Idle, AppHint };
    const struct {
        const char* what;
        Step step;
        uint32_t at;  // ms after the mouse entered
        bool shown;
        int appPause;
    } script[] = {
        {"before the pause", Idle, 100, false, pause},
        {"after it: shown, the application's pause shortened", Idle, 600, true, shortPause},
        {"the application's own hint puts the pause back", AppHint, 700, true, pause},
        {"the hide pause ends the own hint", Idle, 600 + 2600, false, pause},
        {"done: not shown again", Idle, 6000, false, pause},
        {"the application's hint clears the done mark", AppHint, 6100, false, pause},
        {"so the own hint shows again", Idle, 6200, true, shortPause},
        {"and ends again, the pause back", Idle, 6200 + 2600, false, pause},
        {"an application hint with nothing saved keeps the pause", AppHint, 9000, false, pause},
    };
    for (const auto& s : script) {
        SCOPED_TRACE(s.what);
        if (s.step == Idle)
            b->ApplicationIdle(t0 + s.at);
        else
            app->DoHint();
        EXPECT_EQ(b->HintShown(), s.shown);
        EXPECT_EQ(app->HintPause(), s.appPause);
    }
    // A button freed while its hint shows leaves the normal pause behind.
    app->DoHint();
    b->ApplicationIdle(t0 + 9600);
    ASSERT_TRUE(b->HintShown());
    ASSERT_EQ(app->HintPause(), shortPause);
    b.reset();
    EXPECT_EQ(app->HintPause(), pause);
}

TEST(ApplicationEventsTest, HandlersRunLastToFirstAndFollowTheirComponents)
{
    WidgetTest::AppWithDevices();
    VTixApplicationEvents* events = VTixApplicationEvents::Instance();
    EXPECT_EQ(events, VTixApplicationEvents::Instance());
    const int before = events->Count();
    std::vector<std::string> calls;
    auto a = std::make_unique<QObject>();
    auto b = std::make_unique<QObject>();
    auto c = std::make_unique<QObject>();
    events->RegisterIdle(a.get(), [&](bool&) { calls.push_back("a"); });
    events->RegisterIdle(b.get(), [&](bool& done) {
        calls.push_back("b");
        done = false;
    });
    events->RegisterHint(c.get(), [&] { calls.push_back("c-hint"); });
    EXPECT_EQ(events->Count(), before + 3);
    EXPECT_FALSE(events->DoIdle());  // b is not done
    events->DoHint();
    EXPECT_EQ(calls, (std::vector<std::string>{"b", "a", "c-hint"}));

    calls.clear();
    events->RegisterIdle(a.get(), [&](bool&) { calls.push_back("a2"); });  // replaces
    events->RegisterIdle(c.get(), [&](bool&) { calls.push_back("c"); });
    EXPECT_EQ(events->Count(), before + 3);
    events->DoIdle();
    EXPECT_EQ(calls, (std::vector<std::string>{"c", "b", "a2"}));

    // Freeing a: the last entry takes its place.
    calls.clear();
    a.reset();
    EXPECT_EQ(events->Count(), before + 2);
    events->DoIdle();
    EXPECT_EQ(calls, (std::vector<std::string>{"b", "c"}));
    events->Unregister(b.get());
    events->Unregister(c.get());
    EXPECT_EQ(events->Count(), before);
}
