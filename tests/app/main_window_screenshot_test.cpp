// Pictures of the main window connected to the simulated device, written
// under the build tree for a look by eye, with a few checks of what they
// show.
#include <QComboBox>
#include <QImage>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QSettings>
#include <QTabWidget>

#include "app/form_main_controls.h"
#include "app/form_options.h"
#include "app/terminal.h"
#include "engine/uniset.h"
#include "platform/qt/qt_text.h"
#include "tests/app/main_window_fixture.h"
#include "widgets/gauge.h"

using namespace MainWindowTest;
using Platform::FromQString;

namespace {

struct Screenshot : TMainWindowFixture {
    QImage Grab(QWidget* widget) { return widget->grab().toImage(); }
};

}  // namespace

TEST_F(Screenshot, MainWindowOnTheDevice)
{
    StartSim(ModemSim::TProfile::Builtin("tc35"));
    ASSERT_NO_FATAL_FAILURE(StartOnSim(QSize(640, 560), "[Project]\r\nMyPhone=+420 601 234 567\r\n"));
    EXPECT_FALSE(w().firstRun);
    ASSERT_NO_FATAL_FAILURE(WaitUntilReady());
    ASSERT_TRUE(RunUntil([&] { return w().ComboOperator->count() > 0 && w().GaugeSigStr->Progress() > 0; }, 30000));
    RunFor(300);

    w().PageControl1->setCurrentWidget(w().SheetGeneral);
    RunFor(100);
    const QImage general = Grab(&w());
    ASSERT_FALSE(general.isNull());
    EXPECT_EQ(general.size(), w().size() * w().devicePixelRatio());
    EXPECT_TRUE(general.save(ZELVITOR_TEST_BUILD_DIR "/main_window_screenshot.png"));

    // What the picture shows: the ready state in green, the signal bar
    // filled in its colour, the own number, the port connected in blue.
    const QColor ready = ColorAt(w().ShapeProgress, w().ShapeProgress->rect().center());
    EXPECT_EQ(ready, QColor(0, 255, 0));
    const int strength = w().GaugeSigStr->Progress();
    const QColor bar = ColorAt(w().GaugeSigStr, QPoint(3, w().GaugeSigStr->height() / 2));
    if (strength <= 5)
        EXPECT_EQ(bar, QColor(255, 0, 0));
    else if (strength <= 25)
        EXPECT_EQ(bar, QColor(255, 255, 0));
    else
        EXPECT_EQ(bar, QColor(0, 255, 0));
    EXPECT_TRUE(w().LabelLabMyPhone->isVisible());
    EXPECT_EQ(FromQString(w().LabelMyPhone->text()), "+420 601 234 567");
    EXPECT_EQ(w().LabelComm->palette().color(QPalette::WindowText), QColor(0, 0, 255));

    // The docked terminal as the page it is.
    w().PageControl1->setCurrentWidget(w().VTixTerminal1->Form());
    RunFor(200);
    w().VTixTerminal1->Update();
    const QImage terminal = Grab(&w());
    EXPECT_TRUE(terminal.save(ZELVITOR_TEST_BUILD_DIR "/main_window_terminal_screenshot.png"));
    EXPECT_NE(w().VTixTerminal1->PaneText().find("+CSQ: "), std::string::npos);

    // At its smallest the window still shows every control of the page.
    w().PageControl1->setCurrentWidget(w().SheetGeneral);
    w().resize(w().minimumSize());
    RunFor(200);
    EXPECT_EQ(w().size(), QSize(400, 442));
    const QImage small = Grab(&w());
    EXPECT_TRUE(small.save(ZELVITOR_TEST_BUILD_DIR "/main_window_small_screenshot.png"));
    const std::vector<QWidget*> controls = {w().ComboOperator, w().BtnQueryOp, w().GaugeSigStr,
                                            w().LabelDevice,   w().BtnDisCon,  w().LabelComm};
    for (QWidget* c : controls)
        EXPECT_TRUE(QRect(QPoint(0, 0), w().size()).contains(QRect(c->mapTo(&w(), QPoint(0, 0)), c->size())))
            << c->objectName().toStdString();

    w().configClean = true;
    w().close();
    ASSERT_TRUE(RunUntil([&] { return w().closeDone; }, 10000));
}
