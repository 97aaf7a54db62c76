// The application-services component's splash and closing forms, and the
// improved form base class.
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QHBoxLayout>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QWidget>
#include <memory>
#include <stdexcept>

#include "app/app_info.h"
#include "app/improved_form.h"
#include "foundation/qt/class_factory.h"
#include "platform/tick.h"
#include "tests/app/key_helpers.h"
#include "tests/support/event_loop.h"

namespace {

class TestSplash : public QWidget {
    Q_OBJECT
public:
    Q_INVOKABLE TestSplash() { setObjectName("TestSplash"); }
};

class NotAForm : public QObject {
    Q_OBJECT
public:
    Q_INVOKABLE NotAForm() = default;
};

// Moves the tick clock on by ms.
void Advance(uint32_t ms)
{
    static uint32_t offset = 0;
    offset += ms;
    Platform::SetTickOffset(offset);
}

}  // namespace

TEST(AppInfoSplash, TheSplashFormStaysItsMinimumTimeThenGivesTheOwnerItsVisibility)
{
    KeyHelpers::AppWithDevices();
    Tixutils::SafeRegisterClasses({&TestSplash::staticMetaObject, &NotAForm::staticMetaObject});
    const struct {
        const char* name;
        const char* splashClass;
        bool splashVisible;
        bool mainVisible;
        bool ownerShownBefore;
        // After the first start-up tick and after SplashMinTime:
        bool splashUpFirst, runningFirst;
        bool splashUpLater, ownerVisibleLater;
    } cases[] = {
        {"no splash form", "", true, true, false, false, true, false, false},
        {"a visible splash", "TestSplash", true, true, false, true, false, false, true},
        {"a visible splash, the owner hidden after it", "TestSplash", true, false, true, true, false, false, false},
        {"an invisible splash waits for nothing", "TestSplash", false, true, false, true, true, true, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QWidget owner;
        if (c.ownerShownBefore)
            owner.show();
        VTixAppInfo info(&owner);
        info.SetInhibitApplRunning(true);  // the loop's ticks stay out of it
        int fired = 0;
        info.SetOnApplRunning([&](QObject*) { ++fired; });
        info.SetSplashFormClass(c.splashClass);
        info.SetSplashVisible(c.splashVisible);
        info.SetMainVisible(c.mainVisible);
        info.SetSplashMinTime(500);
        info.Loaded();
        QWidget* splash = info.GetSplashForm();
        EXPECT_EQ(splash != nullptr, *c.splashClass != 0);
        if (splash) {
            EXPECT_EQ(splash->objectName(), "TestSplash");
            EXPECT_EQ(splash->isVisible(), c.splashVisible);
        }

        info.SetInhibitApplRunning(false);
        info.SetApplRunning(true);  // the first start-up tick
        EXPECT_EQ(fired, 1);        // the start-up event does not wait
        EXPECT_EQ(info.GetSplashForm() != nullptr, c.splashUpFirst);
        EXPECT_EQ(info.GetApplRunning(), c.runningFirst);

        Advance(400);
        info.SetApplRunning(true);
        EXPECT_EQ(info.GetApplRunning(), c.runningFirst);  // not more than 500 ms yet
        Advance(200);
        info.SetApplRunning(true);
        EXPECT_TRUE(info.GetApplRunning());
        EXPECT_EQ(info.GetSplashForm() != nullptr, c.splashUpLater);
        EXPECT_EQ(owner.isVisible(), c.ownerVisibleLater);
        EXPECT_EQ(fired, 1);
    }
    Platform::SetTickOffset(0);

    // A name that is no registered form class stops loading.
    for (const char* name : {"NoSuchSplash", "NotAForm"}) {
        SCOPED_TRACE(name);
        VTixAppInfo info;
        info.SetSplashFormClass(name);
        std::string message;
        try {
            info.Loaded();
        } catch (const std::runtime_error& e) {
            message = e.what();
        }
        EXPECT_EQ(message, std::string("Please add the following statement:\r\nRegisterClass(__classid(") + name +
                               ")); or RegisterClass(" + name + ") {unit Classes}\r\nafter Application->Initialize");
        EXPECT_EQ(info.GetSplashForm(), nullptr);
    }
}

TEST(AppInfoSplash, TheClosingFormsBarOnlyMovesForward)
{
    KeyHelpers::AppWithDevices();
    const struct {
        std::vector<int> call;  // one value: percent; four: position, count, part start, part end
        int bar;
    } steps[] = {
        {{30}, 30},
        {{20}, 30},             // never back
        {{150}, 100},
    };
    const struct {
        std::vector<int> call;
        int bar;
    } parts[] = {
        {{0, 4, 50, 90}, 50},
        {{2, 4, 50, 90}, 70},
        {{4, 4, 50, 90}, 90},   // at the end: the part's end
        {{9, 4, 50, 90}, 90},
        {{1, 4, 0, 40}, 90},    // a lower part does not move the bar back
        {{-3, 4, 95, 99}, 95},
        {{1, 0, 10, 100}, 100}, // no steps: the part's end
    };
    for (int round = 0; round < 2; ++round) {
        VTixAppInfo info;
        EXPECT_EQ(info.GetClosingForm(), nullptr);
        const auto run = [&](const std::vector<int>& call, int bar) {
            if (call.size() == 1)
                info.SetClosingProgress(call[0]);
            else
                info.SetClosingProgress(call[0], call[1], call[2], call[3]);
            QWidget* form = info.GetClosingForm();
            ASSERT_NE(form, nullptr);
            EXPECT_EQ(form->objectName(), "ClosingForm");
            EXPECT_EQ(form->windowTitle(), "Closing");
            EXPECT_TRUE(form->isVisible());
            const auto bars = form->findChildren<QProgressBar*>();
            ASSERT_EQ(bars.size(), 1);
            EXPECT_EQ(bars[0]->value(), bar);
        };
        if (round == 0)
            for (const auto& s : steps)
                run(s.call, s.bar);
        else
            for (const auto& s : parts)
                run(s.call, s.bar);
    }
}

TEST(ImprovedForm, AnchoredChildrenFollowTheSizeTheWindowCameUpWith)
{
    KeyHelpers::AppWithDevices();
    using F = VTixImprovedForm;
    const struct {
        int anchors;
        QRect after;  // from (100, 50, 60, 40), the form 300 x 200 coming up 260 x 170
    } cases[] = {
        {F::akLeft | F::akTop, QRect(100, 50, 60, 40)},
        {F::akRight | F::akTop, QRect(60, 50, 60, 40)},
        {F::akLeft | F::akRight | F::akTop, QRect(100, 50, 20, 40)},
        {F::akLeft | F::akBottom, QRect(100, 20, 60, 40)},
        {F::akLeft | F::akTop | F::akBottom, QRect(100, 50, 60, 10)},
        {F::akRight | F::akBottom, QRect(60, 20, 60, 40)},
        {0, QRect(100, 50, 60, 40)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.anchors);
        F form;
        form.resize(300, 200);
        auto* child = new QPushButton(&form);
        child->setGeometry(100, 50, 60, 40);
        if (c.anchors != (F::akLeft | F::akTop))
            F::SetAnchors(child, c.anchors);
        EXPECT_EQ(F::Anchors(child), c.anchors);
        form.WindowCreated(QSize(260, 170));
        EXPECT_EQ(child->geometry(), c.after);
        EXPECT_EQ(form.size(), QSize(260, 170));
    }
    // A larger window moves right-anchored children the other way; a child
    // in a layout is left to the layout; the same size changes nothing.
    F form;
    form.resize(300, 200);
    auto* right = new QPushButton(&form);
    right->setGeometry(200, 10, 50, 20);
    F::SetAnchors(right, F::akRight | F::akTop);
    auto* layout = new QHBoxLayout(&form);
    auto* inLayout = new QPushButton(&form);
    layout->addWidget(inLayout);
    inLayout->setGeometry(10, 100, 50, 20);
    F::SetAnchors(inLayout, F::akRight | F::akTop);
    form.WindowCreated(QSize(300, 200));
    EXPECT_EQ(right->geometry(), QRect(200, 10, 50, 20));
    const QRect inLayoutBefore = inLayout->geometry();
    form.WindowCreated(QSize(340, 200));
    EXPECT_EQ(right->geometry(), QRect(240, 10, 50, 20));
    EXPECT_EQ(inLayout->geometry(), inLayoutBefore);
    EXPECT_EQ(form.size(), QSize(340, 200));
}

TEST(ImprovedForm, TheEndOfTheSessionWaitsForTheCloseQuery)
{
    KeyHelpers::AppWithDevices();
    {
        VTixImprovedForm form;
        EXPECT_TRUE(form.QueryEndSession());  // no close query: agreed at once
    }
    {
        // The application goes on handling its events until the form agrees.
        VTixImprovedForm form;
        int asked = 0;
        bool handled = false;
        QTimer::singleShot(30, [&] { handled = true; });
        form.OnCloseQuery = [&] {
            ++asked;
            return handled;
        };
        EXPECT_TRUE(form.QueryEndSession());
        EXPECT_TRUE(handled);
        EXPECT_GE(asked, 2);
    }
    {
        // A form that never agrees holds the session only so long.
        VTixImprovedForm form;
        form.SetEndSessionLimit(100);
        form.OnCloseQuery = [] { return false; };
        QElapsedTimer t;
        t.start();
        EXPECT_FALSE(form.QueryEndSession());
        EXPECT_GE(t.elapsed(), 100);
        EXPECT_LT(t.elapsed(), 10000);
    }
}

#include "app_info_splash_test.moc"
