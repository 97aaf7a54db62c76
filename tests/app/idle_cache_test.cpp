// What the window keeps between ticks so that an idle tick reads no widget:
// the radio groups' selected item and the kind of each check box. Every way
// the user or the program changes them must be seen at the next tick.
#include <QCheckBox>
#include <QPushButton>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QTimerEvent>
#include <QWheelEvent>
#include <memory>
#include <QRadioButton>
#include <gtest/gtest.h>

#include "app/form_options.h"
#include "app/radio_group.h"
#include "engine/perif_modem.h"
#include "engine/uniset.h"
#include "tests/app/main_window_fixture.h"

using namespace MainWindowTest;
using W = VMainWindowLink;

namespace {

// The radio group's index as its buttons show it.
int CheckedButton(const TRadioGroup& group)
{
    int checked = -1;
    for (int i = 0; group.Button(i); ++i)
        if (group.Button(i)->isChecked()) {
            EXPECT_EQ(checked, -1) << "two items checked";
            checked = i;
        }
    return checked;
}

struct IdleCache : TMainWindowFixture {
    void SetUp() override
    {
        TMainWindowFixture::SetUp();
        Make(false);
        w().createEngine();
        ASSERT_TRUE(w().uniset);
        ASSERT_NE(FormOptions, nullptr);
    }
    bool Polling() { return w().uniset->getHandlers().pollingAllowed(); }
};

}  // namespace

TEST(RadioGroupIndex, FollowsEveryWayAButtonChanges)
{
    TestSupport::App();
    TRadioGroup group(QStringLiteral("G"));
    group.SetItems({"a", "b", "c"});
    struct Step {
        const char* what;
        std::function<void()> act;
        int expected;
    };
    const std::vector<Step> steps = {
        {"set from code", [&] { group.SetItemIndex(1); }, 1},
        {"clicked", [&] { group.Button(2)->click(); }, 2},
        {"checked directly", [&] { group.Button(0)->setChecked(true); }, 0},
        {"cleared by an index outside", [&] { group.SetItemIndex(7); }, -1},
        {"checked directly after clearing", [&] { group.Button(1)->setChecked(true); }, 1},
        {"same item again", [&] { group.SetItemIndex(1); }, 1},
        {"property from a form translation", [&] { group.setProperty("itemIndex", 2); }, 2},
        {"checked item removed", [&] { group.SetItems({"x", "y"}); }, -1},
        {"new items keep no selection", [&] { group.SetItems({"x", "y", "z", "w"}); }, -1},
        {"last new item clicked", [&] { group.Button(3)->click(); }, 3},
        {"items renamed keep the index", [&] { group.SetItems({"p", "q", "r", "s"}); }, 3},
    };
    for (const Step& s : steps) {
        s.act();
        EXPECT_EQ(group.ItemIndex(), s.expected) << s.what;
        EXPECT_EQ(group.ItemIndex(), CheckedButton(group)) << s.what;
    }
}

// The engine asks at each tick whether it may poll: automatics 0 always,
// 1 unless the terminal has the focus, 2 only with CheckRegul ticked or at
// the basic user level. Each change, in the dialog or from the program, is
// seen at once.
TEST_F(IdleCache, OptionChangesReachTheNextTick)
{
    TFormOptions& o = *FormOptions;
    auto click = [](TRadioGroup* g, int i) { g->Button(i)->click(); };
    struct Step {
        const char* what;
        std::function<void()> act;
        int automation, level;
        bool polling;
    };
    const std::vector<Step> steps = {
        {"start", [] {}, 0, 0, true},
        {"level advanced in the dialog", [&] { click(o.RGroupAdvanced, 1); }, 0, 1, true},
        {"automatics 2 in the dialog", [&] { click(o.RGroupAutom, 2); }, 2, 1, false},
        {"CheckRegul ticked", [&] { w().CheckRegul->setChecked(true); }, 2, 1, true},
        {"CheckRegul clicked off", [&] { w().CheckRegul->click(); }, 2, 1, false},
        {"level basic in the dialog", [&] { click(o.RGroupAdvanced, 0); }, 2, 0, true},
        {"level test from the program", [&] { w().setOptionIndex(W::RGroupAdvanced, 2); }, 2, 2, false},
        {"CheckRegul ticked again", [&] { w().CheckRegul->setChecked(true); }, 2, 2, true},
        {"CheckRegul cleared", [&] { w().CheckRegul->setChecked(false); }, 2, 2, false},
        {"automatics 1 checked directly", [&] { o.RGroupAutom->Button(1)->setChecked(true); }, 1, 2, true},
        {"automatics 0 from the program", [&] { w().setOptionIndex(W::RGroupAutom, 0); }, 0, 2, true},
        {"automatics 2 again", [&] { click(o.RGroupAutom, 2); }, 2, 2, false},
    };
    for (const Step& s : steps) {
        s.act();
        EXPECT_EQ(w().optionAutomation(), s.automation) << s.what;
        EXPECT_EQ(w().userLevel(), s.level) << s.what;
        EXPECT_EQ(w().isChecked(W::CheckRegul), w().CheckRegul->isChecked()) << s.what;
        EXPECT_EQ(Polling(), s.polling) << s.what;
    }
}

// A check box of the window's own kind (the power items) and a control
// that is no check box at all, asked again and again between changes.
TEST_F(IdleCache, CheckedStateIsReadFreshEveryTime)
{
    EXPECT_FALSE(w().isChecked(W::RGroupAutom));
    EXPECT_FALSE(w().isChecked(W::LabelDevice));
    for (int round = 0; round < 2; ++round)
        for (int tag = 0; tag < 4; ++tag) {
            for (int other = 0; other < 4; ++other)
                w().setPowerItem(other, true, other == tag, clBtnFace);
            for (int other = 0; other < 4; ++other)
                EXPECT_EQ(w().isChecked(W::PowerItemOfTag(other)), other == tag) << tag << " " << other;
        }
    for (int tag = 0; tag < 4; ++tag)
        w().setPowerItem(tag, false, false, clBtnFace);
    for (int tag = 0; tag < 4; ++tag)
        EXPECT_FALSE(w().isChecked(W::PowerItemOfTag(tag)));
}

// A quiet engine polls its handlers only every so often: whatever the user
// presses or turns, in this window or another one of the program, brings
// the next pass at once; what only repaints or ticks does not.
TEST_F(IdleCache, UserInputAnywhereWakesTheEngine)
{
    VUniSET& engine = *w().uniset;
    QWidget other;
    struct Step {
        const char* what;
        QObject* target;
        QEvent::Type type;
        bool wakes;
    };
    const Step steps[] = {
        {"mouse press in the window", w().BtnDisCon, QEvent::MouseButtonPress, true},
        {"mouse release in the window", w().BtnDisCon, QEvent::MouseButtonRelease, true},
        {"key in the options", FormOptions, QEvent::KeyPress, true},
        {"key released elsewhere", &other, QEvent::KeyRelease, true},
        {"wheel", w().PageControl1, QEvent::Wheel, true},
        {"repaint", w().PageControl1, QEvent::UpdateRequest, false},
        {"mouse moving over", w().BtnDisCon, QEvent::Enter, false},
        {"timer", &other, QEvent::Timer, false},
    };
    for (const Step& s : steps) {
        // A tick while the engine is not quiet is a pass: nothing is wanted after it.
        w().tick();
        ASSERT_FALSE(engine.isPassWanted()) << s.what;
        std::unique_ptr<QEvent> event;
        if (s.type == QEvent::MouseButtonPress || s.type == QEvent::MouseButtonRelease)
            event = std::make_unique<QMouseEvent>(s.type, QPointF(2, 2), QPointF(2, 2), Qt::LeftButton,
                                                  Qt::LeftButton, Qt::NoModifier);
        else if (s.type == QEvent::KeyPress || s.type == QEvent::KeyRelease)
            event = std::make_unique<QKeyEvent>(s.type, Qt::Key_Shift, Qt::NoModifier);
        else if (s.type == QEvent::Wheel)
            event = std::make_unique<QWheelEvent>(QPointF(2, 2), QPointF(2, 2), QPoint(), QPoint(0, 120), Qt::NoButton,
                                                  Qt::NoModifier, Qt::NoScrollPhase, false);
        else if (s.type == QEvent::Timer)
            event = std::make_unique<QTimerEvent>(12345);
        else
            event = std::make_unique<QEvent>(s.type);
        QCoreApplication::sendEvent(s.target, event.get());
        EXPECT_EQ(engine.isPassWanted(), s.wakes) << s.what;
    }
}

TEST_F(IdleCache, EditsBehindAnotherPageTakeTheirLastTextWhenTheyShow)
{
    QLineEdit* clock = w().EditCCLKtime;
    w().resize(800, 600);
    w().show();
    w().PageControl1->setCurrentWidget(w().SheetGeneral);
    ASSERT_TRUE(clock->isVisible());
    int changes = 0;
    QObject::connect(clock, &QLineEdit::textChanged, [&] { ++changes; });
    w().setEditText(W::EditCCLKtime, "1.1.2026 10:00:00");
    ASSERT_EQ(clock->text(), "1.1.2026 10:00:00");  // shown: written at once
    ASSERT_EQ(changes, 1);

    w().PageControl1->setCurrentWidget(w().SheetCalls);
    ASSERT_FALSE(clock->isVisible());
    for (const char* t : {"1.1.2026 10:00:01", "1.1.2026 10:00:02", "1.1.2026 10:00:03"}) {
        w().setEditText(W::EditCCLKtime, t);
        EXPECT_EQ(w().editText(W::EditCCLKtime), t);  // read back as written
    }
    EXPECT_EQ(clock->text(), "1.1.2026 10:00:00");
    EXPECT_EQ(changes, 1);
    // Back to what the edit shows: nothing is left waiting.
    w().setEditText(W::EditCCLKtime, "1.1.2026 10:00:00");
    EXPECT_EQ(w().editText(W::EditCCLKtime), "1.1.2026 10:00:00");
    w().PageControl1->setCurrentWidget(w().SheetGeneral);
    EXPECT_EQ(changes, 1);

    w().PageControl1->setCurrentWidget(w().SheetCalls);
    w().setEditText(W::EditCCLKtime, "1.1.2026 10:00:04");
    w().setEditText(W::EditCALAofs, "5m");
    w().PageControl1->setCurrentWidget(w().SheetGeneral);
    EXPECT_EQ(clock->text(), "1.1.2026 10:00:04");
    EXPECT_EQ(w().EditCALAofs->text(), "5m");
    EXPECT_EQ(changes, 2);
    // Shown again, the edit is read and written directly.
    clock->setText("typed");
    EXPECT_EQ(w().editText(W::EditCCLKtime), "typed");
}
