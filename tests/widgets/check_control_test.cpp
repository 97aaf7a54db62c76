// State, groups, input and text handling of the check and lamp control.
#include <gtest/gtest.h>

#include <QFontMetrics>
#include <QKeyEvent>
#include <QMouseEvent>
#include <climits>
#include <memory>
#include <vector>

#include "tests/support/qt_app.h"
#include "tests/widgets/widget_test_helpers.h"
#include "widgets/check_control.h"

namespace {

struct Event {
    TIACheckControl* who;
    bool state;
    bool operator==(const Event& o) const { return who == o.who && state == o.state; }
};

class CheckControlTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        WidgetTest::AppWithDevices();
        Platform::ResetClassicSysColors();
        parent = std::make_unique<QWidget>();
        parent->resize(400, 300);
    }

    TIACheckControl* Make(QWidget* on, VTixCheckControlType type, uint32_t group)
    {
        auto* c = new TIACheckControl(on);
        c->SetControlType(type);
        c->SetGroupIndex(group);
        c->OnChangeState = [this](TIACheckControl* s, bool v) { events.push_back({s, v}); };
        c->OnClick = [this](TIACheckControl*) { ++clicks; };
        return c;
    }

    static void Mouse(TIACheckControl* c, QEvent::Type type, QPoint pos)
    {
        const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
        const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
        WidgetTest::SendMouseEvent(c, type, pos, button, held);
    }

    static void Click(TIACheckControl* c, QPoint pos = QPoint(3, 3))
    {
        Mouse(c, QEvent::MouseButtonPress, pos);
        Mouse(c, QEvent::MouseButtonRelease, pos);
    }

    static void Space(TIACheckControl* c, QEvent::Type type)
    {
        WidgetTest::SendKeyEvent(c, type, Qt::Key_Space, QStringLiteral(" "));
    }

    std::unique_ptr<QWidget> parent;
    std::vector<Event> events;
    int clicks = 0;
};

}  // namespace

TEST_F(CheckControlTest, SettingTheCurrentStateIsSilent)
{
    auto* c = Make(parent.get(), iacctCheck, 0);
    parent->show();
    EXPECT_EQ(WidgetTest::PaintsCausedBy(c, [&] { c->SetChecked(false); }), 0);
    EXPECT_TRUE(events.empty());
    EXPECT_GE(WidgetTest::PaintsCausedBy(c, [&] { c->SetChecked(true); }), 1);
    EXPECT_EQ(events, (std::vector<Event>{{c, true}}));
}

TEST_F(CheckControlTest, SelectingClearsTheGroupBeforeItsOwnEvent)
{
    auto* a = Make(parent.get(), iacctSelect, 3);
    auto* b = Make(parent.get(), iacctSelect, 0);
    auto* c = Make(parent.get(), iacctSelect, 0);
    auto* d = Make(parent.get(), iacctSelect, 3);
    auto* other = Make(parent.get(), iacctSelect, 2);
    auto* box = Make(parent.get(), iacctCheck, 3);
    QWidget elsewhere(parent.get());
    auto* far = Make(&elsewhere, iacctSelect, 3);
    // Several checked members of group 3 at once: checked before joining.
    b->SetChecked(true);
    c->SetChecked(true);
    b->SetGroupIndex(3);
    c->SetGroupIndex(3);
    other->SetChecked(true);
    box->SetChecked(true);
    far->SetChecked(true);
    events.clear();

    d->SetChecked(true);
    EXPECT_EQ(events, (std::vector<Event>{{b, false}, {c, false}, {d, true}}));
    EXPECT_FALSE(a->Checked());
    EXPECT_TRUE(other->Checked());
    EXPECT_TRUE(box->Checked());
    EXPECT_TRUE(far->Checked());

    // The next selection clears d only.
    events.clear();
    a->SetChecked(true);
    EXPECT_EQ(events, (std::vector<Event>{{d, false}, {a, true}}));
}

TEST_F(CheckControlTest, GroupIndexZeroClearsNothing)
{
    auto* a = Make(parent.get(), iacctSelect, 0);
    auto* b = Make(parent.get(), iacctSelect, 0);
    a->SetChecked(true);
    events.clear();
    b->SetChecked(true);
    EXPECT_TRUE(a->Checked());
    EXPECT_EQ(events, (std::vector<Event>{{b, true}}));
}

TEST_F(CheckControlTest, BecomingARadioItemClearsTheGroup)
{
    auto* a = Make(parent.get(), iacctSelect, 1);
    auto* b = Make(parent.get(), iacctCheck, 1);
    a->SetChecked(true);
    b->SetChecked(true);  // a check box does not clear anything
    EXPECT_TRUE(a->Checked());
    events.clear();
    b->SetControlType(iacctSelect);
    EXPECT_FALSE(a->Checked());
    EXPECT_EQ(events, (std::vector<Event>{{a, false}}));
}

TEST_F(CheckControlTest, ClickChangesTheStateAtRelease)
{
    auto* c = Make(parent.get(), iacctCheck, 0);
    Mouse(c, QEvent::MouseButtonPress, QPoint(3, 3));
    EXPECT_FALSE(c->Checked());
    EXPECT_TRUE(c->MouseOver());
    Mouse(c, QEvent::MouseButtonRelease, QPoint(3, 3));
    EXPECT_TRUE(c->Checked());
    EXPECT_EQ(clicks, 1);
    Click(c);
    EXPECT_FALSE(c->Checked());

    auto* r = Make(parent.get(), iacctSelect, 0);
    Click(r);
    Click(r);
    EXPECT_TRUE(r->Checked());
    EXPECT_EQ(clicks, 4);  // a click over the control reports even without a change
}

TEST_F(CheckControlTest, DraggingOutBeforeTheReleaseChangesNothing)
{
    auto* c = Make(parent.get(), iacctCheck, 0);
    Mouse(c, QEvent::MouseButtonPress, QPoint(3, 3));
    Mouse(c, QEvent::MouseMove, QPoint(-5, 3));
    EXPECT_FALSE(c->MouseOver());
    Mouse(c, QEvent::MouseButtonRelease, QPoint(-5, 3));
    EXPECT_FALSE(c->Checked());
    EXPECT_EQ(clicks, 0);
    EXPECT_TRUE(events.empty());
}

TEST_F(CheckControlTest, TheRightAndBottomEdgesAreOutside)
{
    auto* c = Make(parent.get(), iacctCheck, 0);
    const int w = c->width(), h = c->height();
    Mouse(c, QEvent::MouseButtonPress, QPoint(2, 2));
    Mouse(c, QEvent::MouseMove, QPoint(w, 2));
    EXPECT_FALSE(c->MouseOver());
    Mouse(c, QEvent::MouseButtonRelease, QPoint(w, 2));
    EXPECT_FALSE(c->Checked());

    Mouse(c, QEvent::MouseButtonPress, QPoint(2, 2));
    Mouse(c, QEvent::MouseMove, QPoint(2, h));
    EXPECT_FALSE(c->MouseOver());
    Mouse(c, QEvent::MouseMove, QPoint(w - 1, h - 1));
    EXPECT_TRUE(c->MouseOver());
    Mouse(c, QEvent::MouseButtonRelease, QPoint(w - 1, h - 1));
    EXPECT_TRUE(c->Checked());
}

TEST_F(CheckControlTest, SpaceActsOnRelease)
{
    auto* c = Make(parent.get(), iacctCheck, 0);
    Space(c, QEvent::KeyPress);
    EXPECT_TRUE(c->KeyPressed());
    EXPECT_FALSE(c->Checked());
    Space(c, QEvent::KeyRelease);
    EXPECT_FALSE(c->KeyPressed());
    EXPECT_TRUE(c->Checked());
    EXPECT_EQ(clicks, 1);

    // A radio item that is already set does not report a click.
    auto* r = Make(parent.get(), iacctSelect, 0);
    r->SetChecked(true);
    Space(r, QEvent::KeyPress);
    Space(r, QEvent::KeyRelease);
    EXPECT_TRUE(r->Checked());
    EXPECT_EQ(clicks, 1);
}

TEST_F(CheckControlTest, ReadOnlyAndDisabledControlsIgnoreTheUser)
{
    auto* ro = Make(parent.get(), iacctReadOnly, 0);
    Click(ro);
    Space(ro, QEvent::KeyPress);
    Space(ro, QEvent::KeyRelease);
    EXPECT_FALSE(ro->Checked());
    ro->SetChecked(true);  // the program still sets it
    EXPECT_TRUE(ro->Checked());

    auto* off = Make(parent.get(), iacctCheck, 0);
    off->SetEnabled(false);
    Click(off);
    Space(off, QEvent::KeyPress);
    EXPECT_FALSE(off->KeyPressed());
    Space(off, QEvent::KeyRelease);
    EXPECT_FALSE(off->Checked());
    EXPECT_EQ(events, (std::vector<Event>{{ro, true}}));
}

TEST_F(CheckControlTest, DoubleClickTogglesTwice)
{
    auto* c = Make(parent.get(), iacctCheck, 0);
    Mouse(c, QEvent::MouseButtonPress, QPoint(3, 3));
    Mouse(c, QEvent::MouseButtonRelease, QPoint(3, 3));
    Mouse(c, QEvent::MouseButtonDblClick, QPoint(3, 3));
    Mouse(c, QEvent::MouseButtonRelease, QPoint(3, 3));
    EXPECT_FALSE(c->Checked());
    EXPECT_EQ(events, (std::vector<Event>{{c, true}, {c, false}}));
}

TEST_F(CheckControlTest, TextAngleIsKeptInOneTurn)
{
    EXPECT_EQ(TIACheckControl::NormalizeTextAngle(3700), 100);
    EXPECT_EQ(TIACheckControl::NormalizeTextAngle(-1800), 1800);
    EXPECT_EQ(TIACheckControl::NormalizeTextAngle(1800), 1800);
    EXPECT_EQ(TIACheckControl::NormalizeTextAngle(1801), -1799);
    EXPECT_EQ(TIACheckControl::NormalizeTextAngle(-1799), -1799);
    EXPECT_EQ(TIACheckControl::NormalizeTextAngle(36005), 5);
    const int big = TIACheckControl::NormalizeTextAngle(INT_MAX);
    EXPECT_TRUE(big >= -1799 && big <= 1800);
    const int small = TIACheckControl::NormalizeTextAngle(INT_MIN);
    EXPECT_TRUE(small >= -1799 && small <= 1800);

    auto* c = Make(parent.get(), iacctCheck, 0);
    c->SetTextAngle(3700);
    EXPECT_EQ(c->TextAngle(), 100);
    c->SetTextAngle(-1800);
    EXPECT_EQ(c->TextAngle(), 1800);
}

TEST_F(CheckControlTest, TrailingLineBreaksDoNotChangeTheText)
{
    auto* c = Make(parent.get(), iacctCheck, 0);
    c->SetText("Norm\xE1ln\xED");
    const auto lines = c->TextLines();
    c->SetText("Norm\xE1ln\xED\r\n\r\n");
    EXPECT_EQ(c->Text(), "Norm\xE1ln\xED");
    EXPECT_EQ(c->TextLines(), lines);
    EXPECT_EQ(lines, (std::vector<std::string>{"Norm\xE1ln\xED"}));
}

TEST_F(CheckControlTest, TextLinesSetTheTextWithoutEndlessFeedback)
{
    auto* c = Make(parent.get(), iacctCheck, 0);
    c->SetTextLines({"first", "second\r\nthird", "", ""});
    EXPECT_EQ(c->TextLines(), (std::vector<std::string>{"first", "second", "third"}));
    EXPECT_EQ(c->Text(), "first\r\nsecond\r\nthird");

    // Without auto size the text is wrapped to the width; the lines feed
    // the text back once.
    const QFontMetrics fm(c->font());
    c->SetAutoSize(false);
    const int textWidth = fm.horizontalAdvance(QStringLiteral("alpha beta")) + 2;
    c->resize(c->CheckMarkSize() + c->GapTextToImage() + textWidth, 60);
    c->SetText("alpha beta gamma delta");
    ASSERT_GE(c->TextLines().size(), 2u);
    for (const std::string& line : c->TextLines())
        EXPECT_LE(fm.horizontalAdvance(Platform::ToQString(line)), textWidth);
    std::string joined;
    for (const std::string& line : c->TextLines())
        joined += (joined.empty() ? "" : "\r\n") + line;
    EXPECT_EQ(c->Text(), joined);
    EXPECT_EQ(c->TextLines().front(), "alpha beta");
}

TEST_F(CheckControlTest, AutoSizeTakesImageGapAndText)
{
    auto* c = Make(parent.get(), iacctCheck, 0);
    c->SetText("Sp\xE1nek");
    const QFontMetrics fm(c->font());
    const int tw = fm.horizontalAdvance(Platform::ToQString("Sp\xE1nek")) + 1;
    const int th = fm.height() + 1;
    // iaccsStyleWin is framed: one more column, two more rows.
    EXPECT_EQ(c->size(), QSize(5 + 13 + tw + 1, std::max(13, th) + 2));
    EXPECT_EQ(c->ImageRect(), QRect(0, 2, 13, 13));
    c->SetStyle(iaccsStyle1);
    EXPECT_EQ(c->size(), QSize(5 + 13 + tw, std::max(13, th)));
    EXPECT_EQ(c->ImageRect(), QRect(0, 0, 13, 13));
    c->SetTextFieldHorizontalAlign(iaccthaRight);
    EXPECT_EQ(c->ImageRect().left(), c->width() - 13);
    // The text block of a plain style sits right of the gap.
    EXPECT_EQ(c->TextQuad().at(0), QPoint(0, 0));
}

TEST_F(CheckControlTest, TransparentControlIsClippedToImageAndText)
{
    auto* c = Make(parent.get(), iacctCheck, 0);
    c->SetText("x");
    const QRect img = c->ImageRect();
    EXPECT_TRUE(c->mask().contains(img.center()));
    // Below the image and left of the text nothing belongs to the control.
    EXPECT_FALSE(c->mask().contains(QPoint(img.left(), c->height() - 1)));
    c->SetStyle(iaccsStyleLamp);
    // The lamp is painted one row higher than its box.
    EXPECT_TRUE(c->mask().contains(QPoint(c->ImageRect().left() + 6, c->ImageRect().top() - 1)));
    c->SetTransparent(false);
    EXPECT_TRUE(c->mask().isEmpty());
}

TEST_F(CheckControlTest, AssignCopiesThroughTheSetters)
{
    auto* a = Make(parent.get(), iacctSelect, 4);
    a->SetStyle(iaccsStyleLamp);
    a->SetCheckFieldColor1(clRed);
    a->SetCheckFieldColor2(clLime);
    a->SetText("DCD");
    a->SetChecked(true);
    auto* b = Make(parent.get(), iacctCheck, 0);
    events.clear();
    b->Assign(*a);
    EXPECT_EQ(b->Style(), iaccsStyleLamp);
    EXPECT_EQ(b->CheckFieldColor1(), clRed);
    EXPECT_EQ(b->Text(), "DCD");
    EXPECT_TRUE(b->Checked());
    // b joins group 4 as a checked radio item: a is cleared first.
    EXPECT_EQ(events, (std::vector<Event>{{a, false}, {b, true}}));
}
