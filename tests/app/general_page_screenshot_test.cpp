// Pictures of the General page with live values from the simulated device,
// written under the build tree for a look by eye, with checks of what they
// show: the groups enabled and filled, the gauges in their colours, every
// control inside the page at the window's smallest size.
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSettings>
#include <QTabWidget>

#include "app/form_main_controls.h"
#include "app/form_main_general.h"
#include "engine/perif_cala.h"
#include "engine/perif_cbc.h"
#include "engine/perif_cclk.h"
#include "engine/uniset.h"
#include "platform/qt/qt_text.h"
#include "tests/app/main_window_fixture.h"
#include "widgets/check_control.h"
#include "widgets/gauge.h"
#include "widgets/image.h"

using namespace MainWindowTest;
using Platform::FromQString;

namespace {

struct GeneralScreenshot : TMainWindowFixture {
    // The widget lies wholly inside the page's visible part.
    bool Shown(QWidget* c)
    {
        QWidget* view = w().ScrollGeneral->viewport();
        const QRect inView(c->mapTo(view, QPoint(0, 0)), c->size());
        return c->isVisible() && view->rect().contains(inView);
    }
};

}  // namespace

TEST_F(GeneralScreenshot, GeneralPageOnTheDevice)
{
    StartSim(ModemSim::TProfile::Builtin("tc35"));
    sim->SetBattery(0, 47, 180);
    sim->WithDevice([](ModemSim::TDevice& d) {
        d.alarmSet = true;
        d.alarmMs = d.Clock().NowMs() + 2 * 3600 * 1000;
        d.alarmText = "Vstavat";
    });
    ASSERT_NO_FATAL_FAILURE(StartOnSim(QSize(640, 600)));
    ASSERT_NO_FATAL_FAILURE(WaitUntilReady());
    ASSERT_TRUE(RunUntil(
        [&] {
            return w().uniset->getHandlers().cbc().getCharge() == 47 &&
                   w().uniset->getHandlers().cala().getState() == 2 && !w().EditCCLKtime->text().isEmpty() &&
                   w().GaugeSigStr->Progress() > 0;
        },
        30000))
        << sim->Transcript().ToText();
    w().PageControl1->setCurrentWidget(w().SheetGeneral);
    w().PageControl1->setFocus();
    RunFor(400);

    const QImage page = w().grab().toImage();
    EXPECT_TRUE(page.save(ZELVITOR_TEST_BUILD_DIR "/general_page_screenshot.png"));

    // Two columns at this size: the clock beside the alarm.
    EXPECT_EQ(w().GroupCCLK->y(), w().GroupCALA->y());
    EXPECT_LT(w().GroupCCLK->x(), w().GroupCALA->x());
    for (QWidget* c : std::initializer_list<QWidget*>{w().EditCCLKtime, w().EditCCLKofs, w().BtnCCLKWrite,
                                                      w().BtnCCLKCurrent, w().EditCALAtime, w().EditCALAtext,
                                                      w().BtnCALACancel, w().CheckPowerNormal, w().CheckPowerDown,
                                                      w().ProgressBatt, w().ProgressConsumption, w().ImageCBC})
        EXPECT_TRUE(Shown(c)) << c->objectName().toStdString();

    // Live values: the groups enabled, the alarm with its text, the
    // battery at 47 % in yellow, 180 mA in yellow, the charger text.
    EXPECT_TRUE(w().GroupCCLK->isEnabled());
    EXPECT_TRUE(w().GroupCALA->isEnabled());
    EXPECT_EQ(FromQString(w().EditCALAtext->text()), "Vstavat");
    EXPECT_EQ(w().EditCALAtext->palette().color(QPalette::Active, QPalette::Text), QColor(0, 0, 0));
    EXPECT_TRUE(w().CheckPowerNormal->Checked());
    EXPECT_EQ(FromQString(w().LabelCBCCharger->text()), Cz("Nepřipojen"));
    EXPECT_EQ(w().ProgressBatt->Progress(), 47);
    EXPECT_EQ(ColorAt(w().ProgressBatt, QPoint(3, w().ProgressBatt->height() / 2)), QColor(255, 255, 0));
    EXPECT_EQ(w().ProgressConsumption->Progress(), 180);
    EXPECT_EQ(ColorAt(w().ProgressConsumption, QPoint(3, w().ProgressConsumption->height() / 2)),
              QColor(255, 255, 0));
    // The group captions are drawn in the window text colour, not grey.
    EXPECT_EQ(static_cast<TFormMainGroupBox*>(w().GroupCBC)->CaptionColor(), clWindowText);

    // At its smallest the window shows the groups one below the other;
    // the page scrolls to each of them.
    w().resize(w().minimumSize());
    RunFor(300);
    EXPECT_EQ(w().size(), QSize(400, 442));
    EXPECT_EQ(w().GroupCCLK->x(), w().GroupCALA->x());
    EXPECT_GT(w().GroupCALA->y(), w().GroupCCLK->y());
    EXPECT_EQ(w().ScrollGeneral->horizontalScrollBar()->maximum(), 0) << "nothing hidden to the right";
    EXPECT_TRUE(page.save(ZELVITOR_TEST_BUILD_DIR "/general_page_screenshot.png"));
    EXPECT_TRUE(w().grab().toImage().save(ZELVITOR_TEST_BUILD_DIR "/general_page_small_screenshot.png"));
    for (QWidget* c : std::initializer_list<QWidget*>{w().BtnCCLKCurrent, w().BtnCALAWrite, w().CheckPowerAlarmed,
                                                      w().ProgressConsumption, w().LabelCBCCharger}) {
        w().ScrollGeneral->ensureWidgetVisible(c, 0, 0);
        RunFor(50);
        EXPECT_TRUE(Shown(c)) << c->objectName().toStdString();
    }
    w().ScrollGeneral->ensureWidgetVisible(w().GroupCBC, 0, 0);
    RunFor(100);
    EXPECT_TRUE(w().grab().toImage().save(ZELVITOR_TEST_BUILD_DIR "/general_page_small_scrolled_screenshot.png"));

    w().configClean = true;
    w().close();
    ASSERT_TRUE(RunUntil([&] { return w().closeDone; }, 10000));
}
