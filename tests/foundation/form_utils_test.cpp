#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QTabWidget>
#include <QWidget>
#include <memory>

#include "foundation/qt/class_factory.h"
#include "foundation/qt/form_utils.h"
#include "platform/colors.h"
#include "tests/support/qt_app.h"

using namespace Tixutils;

namespace {

class TestComponent : public QObject {
    Q_OBJECT
public:
    Q_INVOKABLE explicit TestComponent(QObject* owner) : QObject(owner) {}
};

class TestPanel : public QWidget {
    Q_OBJECT
public:
    Q_INVOKABLE explicit TestPanel(QWidget* owner) : QWidget(owner) {}
};

class NoConstructor : public QObject {
    Q_OBJECT
public:
    NoConstructor() = default;
};

// Made by its own default constructor, which leaves a mark.
class DefaultMade : public QObject {
    Q_OBJECT
public:
    Q_INVOKABLE DefaultMade() { setObjectName("made by its constructor"); }
};

// Pins the screens to one 1024 x 768 monitor while it lives.
class PinnedScreen {
public:
    explicit PinnedScreen(TScreenAreas areas = standard())
    {
        TestSupport::App();
        old_ = SetScreenAreaSource([areas](TScreenAreas& out) {
            out = areas;
            return true;
        });
    }
    ~PinnedScreen() { SetScreenAreaSource(std::move(old_)); }

    static TScreenAreas standard()
    {
        TScreenAreas a;
        a.WorkArea = QRect(0, 0, 1024, 768);
        a.Monitors = {QRect(0, 0, 1024, 768)};
        a.PrimarySize = QSize(1024, 768);
        a.CaptionButton = QSize(18, 18);
        a.SmallCaptionButton = QSize(12, 12);
        return a;
    }

private:
    ScreenAreaSource old_;
};

std::unique_ptr<QWidget> form(const QRect& bounds, Qt::WindowFlags flags = Qt::Window)
{
    auto w = std::make_unique<QWidget>(nullptr, flags);
    SetFormBounds(w.get(), bounds);
    return w;
}

QRect placed(const QRect& rect, QWidget* w)
{
    QRect r = rect;
    MoveFormTitleToScreenRect(w, r);
    return r;
}

}  // namespace

TEST(FormPlacement, CentreOnTheWorkArea)
{
    PinnedScreen screen;
    auto w = form(QRect(5, 5, 200, 100));
    ASSERT_EQ(FormBounds(w.get()), QRect(5, 5, 200, 100));
    MoveFormToCenter(w.get(), nullptr, false);
    EXPECT_EQ(FormBounds(w.get()), QRect(412, 334, 200, 100));

    // Over a control: its centre.
    auto owner = form(QRect(100, 100, 300, 200));
    MoveFormToCenter(w.get(), owner.get(), false);
    EXPECT_EQ(FormBounds(w.get()), QRect(150, 150, 200, 100));

    // Near the edge the form still ends up on the area.
    auto corner = form(QRect(1000, 700, 24, 68));
    MoveFormToCenter(w.get(), corner.get(), false);
    EXPECT_EQ(FormBounds(w.get()), QRect(824, 668, 200, 100));
}

TEST(FormPlacement, CentreWithoutAnyScreen)
{
    TestSupport::App();
    ScreenAreaSource old = SetScreenAreaSource([](TScreenAreas&) { return false; });
    auto w = form(QRect(0, 0, 200, 100));
    QRect area(1, 2, 3, 4);
    EXPECT_FALSE(GetFormArea(area, false));
    MoveFormToCenter(w.get(), nullptr, false);
    EXPECT_EQ(FormBounds(w.get()), QRect(220, 190, 200, 100));
    MoveFormToScreen(w.get());  // nothing to fit into: unchanged
    EXPECT_EQ(FormBounds(w.get()), QRect(220, 190, 200, 100));
    SetScreenAreaSource(std::move(old));
}

TEST(FormPlacement, KeepOnScreen)
{
    PinnedScreen screen;
    auto big = form(QRect(-40, 30, 2000, 1000));
    MoveFormToScreen(big.get());
    EXPECT_EQ(FormBounds(big.get()), QRect(0, 0, 1024, 768));

    auto w = form(QRect(900, 700, 200, 100));
    MoveFormToScreen(w.get());
    EXPECT_EQ(FormBounds(w.get()), QRect(824, 668, 200, 100));
    SetFormBounds(w.get(), QRect(-50, -10, 200, 100));
    MoveFormToScreen(w.get());
    EXPECT_EQ(FormBounds(w.get()), QRect(0, 0, 200, 100));

    // The second form first jumps back by its own size.
    SetFormBounds(w.get(), QRect(950, 10, 200, 100));
    MoveFormToScreen2(w.get());
    EXPECT_EQ(FormBounds(w.get()), QRect(750, 10, 200, 100));
    SetFormBounds(w.get(), QRect(-20, -30, 200, 100));
    MoveFormToScreen2(w.get());
    EXPECT_EQ(FormBounds(w.get()), QRect(180, 70, 200, 100));
}

TEST(FormPlacement, AreaFromMonitorsAndWideDesktops)
{
    TScreenAreas wide = PinnedScreen::standard();
    wide.WorkArea = QRect(0, 0, 2048, 740);
    wide.Monitors = {QRect(0, 0, 1024, 768), QRect(1024, 0, 1024, 768)};
    {
        PinnedScreen screen(wide);
        QRect area;
        ASSERT_TRUE(GetFormArea(area, false));
        EXPECT_EQ(area, QRect(0, 0, 1024, 740));  // cut to the first monitor
    }
    TScreenAreas span = PinnedScreen::standard();
    span.WorkArea = QRect(0, 0, 3840, 1040);
    span.Monitors = {QRect(0, 0, 3840, 1080)};
    span.PrimarySize = QSize(3840, 1080);
    {
        PinnedScreen screen(span);
        QRect area;
        ASSERT_TRUE(GetFormArea(area, false));
        EXPECT_EQ(area, QRect(0, 0, 3840, 1040));
        ASSERT_TRUE(GetFormArea(area, true));
        EXPECT_EQ(area, QRect(0, 0, 1920, 1040));  // wider than 16:9: two screens
    }
    TScreenAreas tall = PinnedScreen::standard();
    tall.WorkArea = QRect(0, 0, 1080, 2400);
    tall.Monitors = {QRect(0, 0, 1080, 2400)};
    tall.PrimarySize = QSize(1080, 2400);
    {
        PinnedScreen screen(tall);
        QRect area;
        ASSERT_TRUE(GetFormArea(area, true));
        EXPECT_EQ(area, QRect(0, 0, 1080, 1200));
    }
}

TEST(FormPlacement, CaptionStaysReachable)
{
    PinnedScreen screen;  // caption buttons 18 (small 12): b = 14 (small 8)
    auto normal = form(QRect(0, 0, 300, 200));
    EXPECT_EQ(placed(QRect(1020, 100, 300, 200), normal.get()), QRect(1000, 100, 300, 200));
    EXPECT_EQ(placed(QRect(100, 760, 300, 200), normal.get()), QRect(100, 758, 300, 200));
    // Three buttons: c = 44; the right end minus 54 must reach the area.
    EXPECT_EQ(placed(QRect(-280, 100, 300, 200), normal.get()), QRect(-246, 100, 300, 200));
    EXPECT_EQ(placed(QRect(100, -20, 300, 200), normal.get()), QRect(100, -14, 300, 200));
    EXPECT_EQ(placed(QRect(100, 100, 300, 200), normal.get()), QRect(100, 100, 300, 200));

    auto tool = form(QRect(0, 0, 300, 200), Qt::Tool);
    EXPECT_EQ(placed(QRect(1020, -20, 300, 200), tool.get()), QRect(1006, -8, 300, 200));
    // One small button: c = 9.
    EXPECT_EQ(placed(QRect(-280, 100, 300, 200), tool.get()), QRect(-280, 100, 300, 200));
    EXPECT_EQ(placed(QRect(-295, 100, 300, 200), tool.get()), QRect(-281, 100, 300, 200));

    auto frameless = form(QRect(0, 0, 300, 200), Qt::Window | Qt::FramelessWindowHint);
    EXPECT_EQ(placed(QRect(-295, 100, 300, 200), frameless.get()), QRect(-290, 100, 300, 200));

    QDialog dialog;
    EXPECT_EQ(placed(QRect(-280, 100, 300, 200), &dialog), QRect(-275, 100, 300, 200));  // c = 15

    SetFormBounds(normal.get(), QRect(1020, 760, 300, 200));
    MoveFormTitleToScreen(normal.get());
    EXPECT_EQ(FormBounds(normal.get()), QRect(1000, 758, 300, 200));
}

TEST(ComboHelpers, SetComboText)
{
    TestSupport::App();
    QComboBox list;
    list.addItems({"COM1", "COM2"});
    list.setCurrentIndex(1);
    EXPECT_TRUE(SetComboText(&list, "com1"));
    EXPECT_EQ(list.currentIndex(), 0);
    EXPECT_FALSE(SetComboText(&list, "COM9"));
    EXPECT_EQ(list.currentIndex(), 0);
    EXPECT_TRUE(SetComboText(&list, ""));
    EXPECT_EQ(list.currentIndex(), -1);
    EXPECT_FALSE(SetComboText(nullptr, "x"));

    QComboBox cases;
    cases.addItems({"A", "a", "Ab", "AB"});
    EXPECT_TRUE(SetComboText(&cases, "A"));
    EXPECT_EQ(cases.currentIndex(), 0);  // the exact match first
    EXPECT_TRUE(SetComboText(&cases, "a"));
    EXPECT_EQ(cases.currentIndex(), 1);
    EXPECT_TRUE(SetComboText(&cases, "ab"));
    EXPECT_EQ(cases.currentIndex(), 3);  // searched from the last item

    QComboBox edit;
    edit.setEditable(true);
    edit.addItems({"\xC4\x8C" "as", "COM2"});
    EXPECT_TRUE(SetComboText(&edit, "\xE8" "as"));  // č in code page 1250
    EXPECT_EQ(edit.currentIndex(), 0);
    EXPECT_TRUE(SetComboText(&edit, "/dev/ttyUSB0"));
    EXPECT_EQ(edit.currentIndex(), -1);
    EXPECT_EQ(edit.currentText(), "/dev/ttyUSB0");
}

TEST(ComboHelpers, ItemTextsColoursAndRecentItems)
{
    TestSupport::App();
    QComboBox combo;
    combo.addItems({"one", "two"});
    combo.setCurrentIndex(1);
    SetComboString(&combo, 1, "deux");
    EXPECT_EQ(combo.itemText(1), "deux");
    EXPECT_EQ(combo.currentText(), "deux");
    SetComboString(&combo, 5, "none");
    SetComboString(&combo, -1, "none");
    EXPECT_EQ(combo.count(), 2);

    QComboBox recent;
    recent.setEditable(true);
    recent.addItems({"a", "b", "c"});
    recent.setEditText("b");
    AddComboTextToItems(&recent, 3);
    EXPECT_EQ(recent.itemText(0), "b");
    EXPECT_EQ(recent.itemText(1), "a");
    EXPECT_EQ(recent.itemText(2), "c");
    recent.setEditText("x");
    AddComboTextToItems(&recent, 3);
    ASSERT_EQ(recent.count(), 3);
    EXPECT_EQ(recent.itemText(0), "x");
    EXPECT_EQ(recent.itemText(2), "a");
    EXPECT_EQ(recent.currentText(), "x");
    AddComboTextToItems(&recent, 3);
    EXPECT_EQ(recent.count(), 3);

    recent.setEditText("hello");
    recent.lineEdit()->setSelection(1, 3);
    SetComboColor(&recent, 0x000000FF);  // red
    EXPECT_EQ(recent.palette().color(QPalette::Text), QColor(255, 0, 0));
    EXPECT_EQ(recent.currentText(), "hello");
    EXPECT_EQ(recent.lineEdit()->selectedText(), "ell");

    QLineEdit line;
    SetEditColor(&line, 0x00FF0000);  // blue
    EXPECT_EQ(line.palette().color(QPalette::Text), QColor(0, 0, 255));
}

TEST(ControlHelpers, FindFormsVisibilityAndChecks)
{
    TestSupport::App();
    QWidget top;
    auto* panel = new QWidget(&top);
    auto* inner = new QLabel(panel);
    auto* component = new QObject(inner);
    EXPECT_EQ(GetFirstParentForm(component), &top);
    EXPECT_EQ(GetFirstParentForm(&top), &top);
    QObject orphan;
    EXPECT_EQ(GetFirstParentForm(&orphan), nullptr);

    EXPECT_EQ(FindControlByHandle(&top, 0), nullptr);
    const WId handle = inner->winId();  // gives the label a native window
    ASSERT_NE(handle, WId(0));
    EXPECT_EQ(FindControlByHandle(&top, handle), inner);
    EXPECT_EQ(FindControlByHandle(panel, handle + 1000000), nullptr);

    QTabWidget tabs;
    auto* page1 = new QWidget;
    auto* page2 = new QWidget;
    tabs.addTab(page1, "1");
    tabs.addTab(page2, "2");
    EXPECT_TRUE(GetControlVisible(page2));
    EXPECT_TRUE(SetControlVisible(page2, false));
    EXPECT_FALSE(tabs.isTabVisible(1));
    EXPECT_FALSE(GetControlVisible(page2));
    EXPECT_TRUE(SetControlVisible(inner, false));
    EXPECT_FALSE(GetControlVisible(inner));

    QCheckBox check;
    EXPECT_TRUE(SetControlChecked(&check, true));
    EXPECT_TRUE(check.isChecked());
    EXPECT_TRUE(GetControlChecked(&check));
    QLabel label;
    EXPECT_FALSE(SetControlChecked(&label, true));
    EXPECT_FALSE(GetControlChecked(&label));
}

TEST(ClassFactory, RegistryByNameAndComponentsWithOwner)
{
    TestSupport::App();
    SafeRegisterClasses({&TestComponent::staticMetaObject, &TestPanel::staticMetaObject, nullptr});
    SafeRegisterClasses({&TestComponent::staticMetaObject});  // again: ignored
    EXPECT_EQ(FindRegisteredClass("TestComponent"), &TestComponent::staticMetaObject);
    EXPECT_EQ(FindRegisteredClass("Unknown"), nullptr);

    QObject owner;
    QObject* made = CreateInstanceOfComponent("TestComponent", &owner);
    ASSERT_NE(made, nullptr);
    EXPECT_NE(qobject_cast<TestComponent*>(made), nullptr);
    EXPECT_EQ(made->parent(), &owner);

    QWidget window;
    QObject* panel = CreateInstanceOfComponent(TestPanel::staticMetaObject, &window);
    ASSERT_NE(panel, nullptr);
    EXPECT_EQ(panel->parent(), &window);

    std::unique_ptr<QObject> free(CreateInstanceOfComponent(TestComponent::staticMetaObject, nullptr));
    EXPECT_NE(free, nullptr);
    EXPECT_EQ(CreateInstanceOfComponent("Unknown", &owner), nullptr);
    EXPECT_EQ(CreateInstanceOfComponent(NoConstructor::staticMetaObject, &owner), nullptr);
}

TEST(ClassFactory, InstancesOfClassesAreMadeByTheirDefaultConstructors)
{
    TestSupport::App();
    SafeRegisterClasses({&DefaultMade::staticMetaObject, &TestComponent::staticMetaObject,
                         &NoConstructor::staticMetaObject});
    using Factory = std::unique_ptr<QObject> (*)(const std::string&);
    const Factory factories[] = {&CreateInstanceOfClass, &CreateInstanceOfClass2};
    struct Case {
        const char* className;
        const QMetaObject* made;  // null: nothing is made
    };
    const Case cases[] = {
        {"DefaultMade", &DefaultMade::staticMetaObject},
        {"TestComponent", &TestComponent::staticMetaObject},  // its owner constructor, with none
        {"NoConstructor", nullptr},                            // nothing invokable
        {"NotRegistered", nullptr},
        {"", nullptr},
    };
    for (Factory factory : factories) {
        for (const Case& c : cases) {
            SCOPED_TRACE(c.className);
            const std::unique_ptr<QObject> object = factory(c.className);
            if (!c.made) {
                EXPECT_EQ(object, nullptr);
                continue;
            }
            ASSERT_NE(object, nullptr);
            EXPECT_EQ(object->metaObject(), c.made);
            EXPECT_EQ(object->parent(), nullptr);
        }
        const std::unique_ptr<QObject> direct = factory == factories[0]
                                                    ? CreateInstanceOfClass(DefaultMade::staticMetaObject)
                                                    : CreateInstanceOfClass2(DefaultMade::staticMetaObject);
        ASSERT_NE(direct, nullptr);
        EXPECT_EQ(direct->objectName(), "made by its constructor");
    }
}

#include "form_utils_test.moc"
