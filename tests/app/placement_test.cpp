// Window placement of all forms: what is written under "Options\Forms",
// the window order in "ZOrder", and where forms come back, on a pinned
// 1024 x 768 screen whose work area ends at 740 (a panel below).
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDialog>
#include <QLabel>
#include <QVBoxLayout>
#include <QMenu>
#include <QMessageBox>
#include <QTabWidget>
#include <algorithm>
#include <cstdlib>
#include <functional>
#include <ostream>
#include <memory>
#include <string>
#include <vector>

#include "app/app_info.h"
#include "app/terminal.h"
#include "foundation/qt/form_utils.h"
#include "platform/qt/registry.h"
#include "tests/app/key_helpers.h"
#include "tests/support/config_home.h"
#include "tests/support/event_loop.h"

// Readable rectangles in failure messages.
inline void PrintTo(const QRect& r, std::ostream* os)
{
    *os << "(" << r.x() << ", " << r.y() << ", " << r.width() << " x " << r.height() << ")";
}

namespace {

const QRect kWorkArea(0, 0, 1024, 740);
constexpr int kCaptionButton = 24;  // title bar reach: 20 pixels

struct Placement : ::testing::Test {
    void SetUp() override
    {
        KeyHelpers::AppWithDevices();
        ASSERT_TRUE(config.IsValid());
        oldSource = Tixutils::SetScreenAreaSource([](Tixutils::TScreenAreas& a) {
            a.WorkArea = kWorkArea;
            a.Monitors = {QRect(0, 0, 1024, 768)};
            a.PrimarySize = QSize(1024, 768);
            a.CaptionButton = QSize(kCaptionButton, kCaptionButton);
            a.SmallCaptionButton = QSize(18, 18);
            return true;
        });
        info = std::make_unique<VTixAppInfo>();
        info->SetAppName("Zelvitor");
        // Not running yet unless a test says so.
        info->SetInhibitApplRunning(true);
    }
    void TearDown() override
    {
        forms.clear();
        info.reset();
        QCoreApplication::processEvents();
        Tixutils::SetScreenAreaSource(oldSource);
    }

    QWidget* window(const char* name, QRect geometry)
    {
        auto w = std::make_unique<QWidget>();
        w->setObjectName(QLatin1String(name));
        // The frame's position and the size inside it, as the placement
        // keeps them.
        w->move(geometry.topLeft());
        w->resize(geometry.size());
        forms.push_back(std::move(w));
        return forms.back().get();
    }
    // A dialog with a fixed border, designed at 300 x 200.
    QDialog* dialog(const char* name, QPoint at)
    {
        auto d = std::make_unique<QDialog>();
        d->setObjectName(QLatin1String(name));
        d->setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint);
        d->move(at);
        d->resize(300, 200);
        forms.push_back(std::move(d));
        return static_cast<QDialog*>(forms.back().get());
    }
    void activate(QWidget* w)
    {
        w->activateWindow();
        ASSERT_TRUE(TestSupport::ProcessUntil([w] { return QApplication::activeWindow() == w; }, 5000)) << w->objectName().toStdString();
    }

    static std::string formKey(const char* form) { return std::string("Options\\Forms\\") + form; }
    int value(const char* form, const char* name, int def = -12345)
    {
        return Platform::TRegistry(false, "Tix", "Zelvitor").ReadInteger(formKey(form), name, def);
    }
    std::vector<std::string> valueNames(const char* form)
    {
        return Platform::TRegistry(false, "Tix", "Zelvitor").GetValueNames(formKey(form));
    }
    std::string zorder()
    {
        return Platform::TRegistry(false, "Tix", "Zelvitor").ReadString("Options\\Forms", "ZOrder", "<none>");
    }
    void store(const char* form, std::initializer_list<std::pair<const char*, int>> values)
    {
        Platform::TRegistry reg(false, "Tix", "Zelvitor");
        for (const auto& [name, v] : values)
            reg.WriteInteger(formKey(form), name, v);
        reg.Sync();
    }
    // Frame position and size inside the frame, as stored.
    static QRect placed(const QWidget* w) { return QRect(w->pos(), w->size()); }

    TestSupport::PrivateConfigHome config;
    Tixutils::ScreenAreaSource oldSource;
    std::unique_ptr<VTixAppInfo> info;
    std::vector<std::unique_ptr<QWidget>> forms;
};

}  // namespace

TEST_F(Placement, ExcludedFormIsNotSavedButStillListedInZOrder)
{
    QWidget* main = window("FormMain", QRect(100, 80, 500, 400));
    QDialog* options = dialog("FormOptions", QPoint(150, 120));
    QDialog* about = dialog("FormAbout", QPoint(200, 160));
    main->show();
    options->show();
    about->show();
    activate(about);
    activate(options);  // topmost now; the main window lowest
    EXPECT_EQ(info->windowStack().front(), options);

    info->savePositions("FormAbout");
    EXPECT_EQ(zorder(), "FormOptions|FormAbout|FormMain");
    EXPECT_TRUE(valueNames("FormAbout").empty());
    EXPECT_EQ(value("FormMain", "Visible"), -1);
    EXPECT_EQ(value("FormMain", "WindowState"), 1);
    EXPECT_EQ(value("FormMain", "Left"), 100);
    EXPECT_EQ(value("FormMain", "Top"), 80);
    EXPECT_EQ(value("FormMain", "Width"), 500);
    EXPECT_EQ(value("FormMain", "Height"), 400);
    // Minimised and maximised positions are written too (none known here).
    EXPECT_EQ(value("FormMain", "MinLeft"), -1);
    EXPECT_EQ(value("FormMain", "MaxTop"), -1);
    EXPECT_EQ(value("FormOptions", "Left"), 150);
    EXPECT_EQ(value("FormOptions", "Width"), 300);

    // Several names, without the separators at the ends; a part of a name
    // excludes nothing.
    options->hide();
    info->savePositions("FormOptions|FormAbout");
    EXPECT_EQ(value("FormOptions", "Visible"), -1);  // not written again
    info->savePositions("Form");
    EXPECT_EQ(value("FormOptions", "Visible"), 0);
    EXPECT_EQ(value("FormAbout", "Visible"), -1);
    EXPECT_EQ(value("FormAbout", "Left"), 200);
}

TEST_F(Placement, MenusMessageBoxesUnnamedAndExceptedWindowsTakeNoPart)
{
    QWidget* main = window("FormMain", QRect(10, 10, 300, 300));
    window("FormAbout", QRect(20, 20, 200, 100));
    auto* menu = new QMenu(main);
    menu->setObjectName("MenuHelp");
    auto box = std::make_unique<QMessageBox>();
    box->setObjectName("Box");
    window("", QRect(0, 0, 50, 50));
    window("qt_internal", QRect(0, 0, 50, 50));
    auto* child = new QDialog(main);  // a form owned by the main window
    child->setObjectName("FormImportPB");
    info->SetExceptionList({"formabout"});

    std::vector<std::string> names;
    for (QWidget* f : info->collectForms())
        names.push_back(f->objectName().toStdString());
    // A form's own forms come before it.
    EXPECT_EQ(names, (std::vector<std::string>{"FormImportPB", "FormMain"}));
    info->savePositions();
    EXPECT_EQ(zorder(), "FormImportPB|FormMain");
    EXPECT_TRUE(valueNames("FormAbout").empty());
}

TEST_F(Placement, SavedFormsComeBackWhereTheyWere)
{
    QWidget* main = window("FormMain", QRect(50, 60, 600, 450));
    QDialog* options = dialog("FormOptions", QPoint(200, 150));
    main->show();
    options->show();
    info->savePositions();
    store("FormOptions", {{"Width", 500}, {"Height", 420}});  // a stored size

    main->move(0, 0);
    main->resize(400, 300);
    options->move(0, 0);
    info->loadPositions(false, false);
    EXPECT_EQ(placed(main), QRect(50, 60, 600, 450));
    // The fixed dialog keeps its designed size.
    EXPECT_EQ(placed(options), QRect(200, 150, 300, 200));
    // Unless every size is restored.
    info->SetResizeNonresizeable(true);
    info->loadPositions();
    EXPECT_EQ(placed(options), QRect(200, 150, 500, 420));
    EXPECT_TRUE(main->isVisible());
    EXPECT_TRUE(options->isVisible());
}

TEST_F(Placement, NeverSavedFormIsFittedIntoTheWorkArea)
{
    QWidget* big = window("FormBig", QRect(-50, 100, 1200, 900));
    QWidget* inside = window("FormInside", QRect(300, 200, 200, 150));
    QWidget* low = window("FormLow", QRect(700, 600, 400, 300));
    info->loadPositions();
    EXPECT_EQ(placed(big), QRect(0, 0, 1024, 740));
    EXPECT_EQ(placed(inside), QRect(300, 200, 200, 150));
    EXPECT_EQ(placed(low), QRect(624, 440, 400, 300));
}

TEST_F(Placement, SavedFormPartlyOffScreenKeepsItsPositionWhileItsTitleIsReachable)
{
    QWidget* right = window("FormRight", QRect(0, 0, 400, 300));
    QWidget* farRight = window("FormFarRight", QRect(0, 0, 400, 300));
    QWidget* below = window("FormBelow", QRect(0, 0, 400, 300));
    QWidget* above = window("FormAbove", QRect(0, 0, 400, 300));
    store("FormRight", {{"WindowState", 1}, {"Left", 900}, {"Top", 600}, {"Width", 400}, {"Height", 300}});
    store("FormFarRight", {{"WindowState", 1}, {"Left", 1020}, {"Top", 100}, {"Width", 400}, {"Height", 300}});
    store("FormBelow", {{"WindowState", 1}, {"Left", 100}, {"Top", 800}, {"Width", 400}, {"Height", 300}});
    store("FormAbove", {{"WindowState", 1}, {"Left", -380}, {"Top", -50}, {"Width", 400}, {"Height", 300}});
    info->loadPositions();
    // Mostly off the screen, the title bar still on it: left alone.
    EXPECT_EQ(placed(right), QRect(900, 600, 400, 300));
    // 10 pixels of caption beside 20 of button must stay: moved by the excess.
    EXPECT_EQ(placed(farRight), QRect(1024 - 30, 100, 400, 300));
    EXPECT_EQ(placed(below), QRect(100, 740 - 10, 400, 300));
    // Above the top the caption goes down; right of the three buttons
    // (3 x 20 + 2) ten pixels stay on the left edge.
    EXPECT_EQ(placed(above), QRect(-400 + 62 + 10, -20, 400, 300));
}

TEST_F(Placement, MaximisedFormComesBackMaximisedWithItsNormalRectangle)
{
    QWidget* main = window("FormMain", QRect(60, 70, 500, 400));
    main->show();
    main->showMaximized();
    ASSERT_TRUE(TestSupport::ProcessUntil([main] { return main->isMaximized(); }, 5000));
    info->savePositions();
    EXPECT_EQ(value("FormMain", "WindowState"), 3);
    EXPECT_EQ(value("FormMain", "Left"), 60);
    EXPECT_EQ(value("FormMain", "Width"), 500);
    EXPECT_EQ(value("FormMain", "MaxLeft"), main->pos().x());
    EXPECT_EQ(value("FormMain", "MaxTop"), main->pos().y());

    main->showNormal();
    main->move(0, 0);
    main->resize(300, 200);
    info->loadPositions();
    EXPECT_TRUE(main->isMaximized());
    EXPECT_EQ(main->normalGeometry().size(), QSize(500, 400));
    main->showNormal();
    EXPECT_TRUE(TestSupport::ProcessUntil([main] { return placed(main) == QRect(60, 70, 500, 400); }, 5000)) << ::testing::PrintToString(placed(main));

    // Minimised likewise.
    store("FormMain", {{"WindowState", 2}});
    info->loadPositions();
    EXPECT_TRUE(main->isMinimized());
}

TEST_F(Placement, VisibilityIsRestoredOnlyOnceTheApplicationRuns)
{
    QWidget* hidden = window("FormOptions", QRect(100, 100, 200, 100));
    QWidget* shown = window("FormAbout", QRect(150, 150, 200, 100));
    shown->show();
    store("FormOptions", {{"Visible", -1}, {"WindowState", 1}});
    store("FormAbout", {{"Visible", 0}, {"WindowState", 1}});

    // At start-up a form stored as visible but hidden now stays hidden; a
    // form stored as hidden is hidden.
    info->loadPositions();
    EXPECT_FALSE(hidden->isVisible());
    EXPECT_FALSE(shown->isVisible());

    shown->show();
    info->loadPositions(false, false);  // visibility left alone
    EXPECT_TRUE(shown->isVisible());

    info->SetInhibitApplRunning(false);
    info->SetApplRunning(true);
    ASSERT_TRUE(info->GetApplRunning());
    info->loadPositions();
    EXPECT_TRUE(hidden->isVisible());
    EXPECT_FALSE(shown->isVisible());
}

TEST_F(Placement, FormThatWasOnTopIsPlacedLast)
{
    QWidget* main = window("FormMain", QRect(10, 10, 300, 300));
    QWidget* about = window("FormAbout", QRect(20, 20, 200, 100));
    QWidget* options = window("FormOptions", QRect(30, 30, 200, 100));
    main->show();
    options->show();
    about->show();
    activate(main);
    ASSERT_EQ(info->windowStack().front(), main);
    store("FormMain", {{"Visible", -1}, {"WindowState", 1}});
    store("FormOptions", {{"Visible", -1}, {"WindowState", 1}});
    store("FormAbout", {{"Visible", -1}, {"WindowState", 1}});
    Platform::TRegistry(false, "Tix", "Zelvitor").WriteString("Options\\Forms", "ZOrder", "FormAbout||FormMain|Gone");
    info->loadPositions();
    // FormAbout first in "ZOrder": placed last, on top; FormOptions, not
    // listed, below the listed ones.
    std::vector<QWidget*> stack = info->windowStack();
    stack.erase(std::remove_if(stack.begin(), stack.end(), [&](QWidget* w) { return w != main && w != about && w != options; }),
                stack.end());
    EXPECT_EQ(stack, (std::vector<QWidget*>{about, main, options}));
}

TEST_F(Placement, DockedTerminalKeepsOnlyItsUndockedSize)
{
    QWidget* main = window("FormMain", QRect(10, 10, 640, 480));
    auto* pages = new QTabWidget(main);
    pages->addTab(new QWidget, "General");
    auto* terminal = new VTixTerminal(main);
    terminal->SetParentPageControl(pages);
    terminal->SetFormWidth(420);
    terminal->SetFormHeight(380);
    terminal->SetVisible(true);
    terminal->Loaded();
    ASSERT_TRUE(terminal->GetDocked());
    main->show();

    info->savePositions();
    // Docked, it is no window of its own: it follows the windows.
    EXPECT_EQ(zorder(), "FormMain|VTixTerminal1_Form");
    EXPECT_EQ(value("VTixTerminal1_Form", "Width"), 420);
    EXPECT_EQ(value("VTixTerminal1_Form", "Height"), 380);
    EXPECT_EQ(value("VTixTerminal1_Form", "Visible"), -1);
    EXPECT_EQ(value("VTixTerminal1_Form", "Left"), -12345);
    EXPECT_EQ(value("VTixTerminal1_Form", "Top"), -12345);

    store("VTixTerminal1_Form", {{"Width", 500}, {"Height", 333}, {"Left", 5}, {"Top", 6}});
    info->loadPositions();
    EXPECT_EQ(terminal->GetFormWidth(), 500);
    EXPECT_EQ(terminal->GetFormHeight(), 333);
    EXPECT_TRUE(terminal->GetDocked());

    // Floating it is a window of its own, placed like any other.
    terminal->SetDocked(false);
    ASSERT_TRUE(terminal->Form()->isWindow());
    store("VTixTerminal1_Form", {{"WindowState", 1}, {"Left", 200}, {"Top", 210}, {"Width", 450}, {"Height", 350}});
    info->loadPositions();
    EXPECT_EQ(placed(terminal->Form()), QRect(200, 210, 450, 350));
    delete terminal;
}

TEST_F(Placement, NeverShownFormIsSavedWithTheSizeItsLayoutGivesIt)
{
    auto d = std::make_unique<QDialog>();
    d->setObjectName("FormAbout");
    auto* layout = new QVBoxLayout(d.get());
    auto* label = new QLabel("Zelvitor");
    label->setMinimumSize(320, 180);
    layout->addWidget(label);
    QDialog* about = d.get();
    forms.push_back(std::move(d));
    info->savePositions();
    const QSize expected = about->sizeHint();
    EXPECT_GE(expected.width(), 320);
    EXPECT_EQ(value("FormAbout", "Width"), expected.width());
    EXPECT_EQ(value("FormAbout", "Height"), expected.height());
    EXPECT_EQ(value("FormAbout", "Visible"), 0);
}
