// The General page end to end on the simulated device: an alarm set from
// the page and read back, cancelled again; the power mode switched to
// sleep and back; the battery gauges following the device; and an idle
// page that repaints only its running clock texts.
#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QTabWidget>
#include <map>

#include "app/form_main_controls.h"
#include "engine/perif_cala.h"
#include "engine/perif_cbc.h"
#include "engine/perif_power.h"
#include "engine/uniset.h"
#include "foundation/ansi_to_date_time.h"
#include "foundation/tixutils_datetime.h"
#include "platform/qt/qt_text.h"
#include "tests/app/main_window_fixture.h"
#include "widgets/check_control.h"
#include "widgets/gauge.h"
#include "widgets/image.h"

using namespace MainWindowTest;
using Platform::FromQString;

namespace {

struct GeneralOnSim : TMainWindowFixture {
    VPerifModem& m() { return w().uniset->getHandlers(); }

    // The window started on the device as the program starts; `lines`
    // carries RTS and the device's lines through a test port.
    void Start(const ModemSim::TProfile& profile, bool lines = false)
    {
        Make(false);
        StartSim(profile, lines);
        ASSERT_NO_FATAL_FAILURE(StartOnSim(QSize(640, 600)));
        ASSERT_NO_FATAL_FAILURE(WaitUntilReady());
        w().PageControl1->setCurrentWidget(w().SheetGeneral);
    }
    // The device's own alarm (set, time as "yy/MM/dd,hh:mm:ss", text).
    struct TAlarm {
        bool set = false;
        std::string time, text;
    };
    TAlarm DeviceAlarm()
    {
        TAlarm a;
        sim->WithDevice([&](ModemSim::TDevice& d) {
            a.set = d.alarmSet;
            a.time = ModemSim::FormatGsmTime(ModemSim::MsToDateTime(d.alarmMs));
            a.text = d.alarmText;
        });
        return a;
    }
    ModemSim::TPowerState DevicePower()
    {
        ModemSim::TPowerState p{};
        sim->WithDevice([&](ModemSim::TDevice& d) { p = d.power; });
        return p;
    }
    int Count(const std::string& command)
    {
        int n = 0;
        for (const auto& c : sim->Transcript().Commands())
            n += c == command;
        return n;
    }
    bool SentStarting(const std::string& prefix)
    {
        for (const auto& c : sim->Transcript().Commands())
            if (c.rfind(prefix, 0) == 0)
                return true;
        return false;
    }
    // Types a command line in the terminal, as the user would.
    void TypeCommand(const std::string& line)
    {
        const std::string bytes = line + "\r";
        w().VTixTerminal1TermSendData(bytes.data(), int(bytes.size()));
    }
};

// Counts paints and text changes of the widgets below one.
class TActivity : public QObject {
public:
    std::map<std::string, int> paints;
    int total = 0;
    bool eventFilter(QObject* o, QEvent* e) override
    {
        if (e->type() == QEvent::Paint && o != QApplication::focusWidget()) {
            ++paints[o->objectName().toStdString() + "(" + o->metaObject()->className() + ")"];
            ++total;
        }
        return false;
    }
    std::string Names() const
    {
        std::string out;
        for (const auto& [name, n] : paints)
            out += name + " x" + std::to_string(n) + " ";
        return out;
    }
};

}  // namespace

TEST_F(GeneralOnSim, AlarmSetFromThePageIsReadBackAndCancelled)
{
    Start(ModemSim::TProfile::Builtin("tc35"));
    ASSERT_TRUE(RunUntil([&] { return m().cala().getState() == 2; }, 30000)) << sim->Transcript().ToText();
    EXPECT_TRUE(w().GroupCALA->isEnabled());
    EXPECT_FALSE(DeviceAlarm().set);

    // Two hours from now, with a text: typed into the duration edit.
    w().EditCALAofs->setFocus();
    RunFor(50);
    ASSERT_TRUE(m().cala().relativeLeads());
    w().EditCALAofs->setText("2h");
    w().EditCALAtext->setText("Vstavat");
    EXPECT_TRUE(Blue(w().EditCALAtext)) << "not yet the device's";
    ASSERT_TRUE(w().BtnCALAWrite->isEnabled());
    const Tixutils::TDateTime shown = [&] {
        Tixutils::TDateTime t = 0;
        EXPECT_TRUE(Tixsmslist::AnsiToDateTime(FromQString(w().EditCALAtime->text()), t, "./", ":", ", ",
                                               Tixutils::vdoDMY));
        return t;
    }();
    w().BtnCALAWrite->click();
    ASSERT_TRUE(RunUntil([&] { return DeviceAlarm().set && !m().cala().isWriteRequested(); }, 10000))
        << sim->Transcript().ToText();
    EXPECT_TRUE(SentStarting("AT+CALA=\"")) << sim->Transcript().ToText();
    const TAlarm written = DeviceAlarm();
    EXPECT_EQ(written.text, "Vstavat");
    EXPECT_FALSE(Blue(w().EditCALAtext)) << "now the device's text";
    // The device's alarm is what the page showed (within the seconds the
    // write took).
    Tixutils::TDateTime device = 0;
    ASSERT_TRUE(Tixsmslist::AnsiToDateTime(written.time, device, "/", ":", ",", Tixutils::vdoYMD));
    EXPECT_NEAR((device - shown) * 86400.0, 0.0, 3.0) << written.time;

    // Read back: the page is emptied by no one, the read shows the same.
    w().EditCALAtext->setText("");
    const int reads = Count("AT+CALA?");
    TypeCommand("AT+CALA?");
    ASSERT_TRUE(RunUntil([&] { return Count("AT+CALA?") == reads + 1 && !m().cala().isBusy(); }, 10000));
    ASSERT_TRUE(RunUntil([&] { return FromQString(w().EditCALAtext->text()) == "Vstavat"; }, 5000));
    EXPECT_FALSE(Blue(w().EditCALAtext));
    Tixutils::TDateTime read = 0;
    ASSERT_TRUE(Tixsmslist::AnsiToDateTime(FromQString(w().EditCALAtime->text()), read, "./", ":", ", ",
                                           Tixutils::vdoDMY));
    EXPECT_NEAR((read - device) * 86400.0, 0.0, 1.0) << FromQString(w().EditCALAtime->text());
    // The duration runs towards the alarm.
    EXPECT_GT(m().cala().getRelSeconds(), 2 * 3600 - 60);
    EXPECT_LE(m().cala().getRelSeconds(), 2 * 3600);

    // Cancel with the text unchanged: a day in the past clears the alarm.
    w().BtnCALACancel->click();
    EXPECT_EQ(FromQString(w().EditCALAofs->text()), "-1d");
    EXPECT_FALSE(w().BtnCALAWrite->isEnabled());
    ASSERT_TRUE(RunUntil([&] { return !DeviceAlarm().set && !m().cala().isWriteRequested(); }, 10000))
        << sim->Transcript().ToText();
}

TEST_F(GeneralOnSim, CancelWithAChangedTextWritesNothing)
{
    Start(ModemSim::TProfile::Builtin("tc35"));
    sim->WithDevice([](ModemSim::TDevice& d) {
        d.alarmSet = true;
        d.alarmMs = d.Clock().NowMs() + 3600 * 1000;
        d.alarmText = "Budik";
    });
    ASSERT_TRUE(RunUntil([&] { return m().cala().getState() == 2; }, 30000));
    TypeCommand("AT+CALA?");
    ASSERT_TRUE(RunUntil([&] { return FromQString(w().EditCALAtext->text()) == "Budik"; }, 10000));
    w().EditCALAtext->setText("Jiny text");
    const size_t before = sim->Transcript().Commands().size();
    w().BtnCALACancel->click();
    ASSERT_TRUE(RunUntil([&] { return !m().cala().isWriteRequested(); }, 5000));
    RunFor(300);
    for (size_t i = before; i < sim->Transcript().Commands().size(); ++i)
        EXPECT_NE(sim->Transcript().Commands()[i].rfind("AT+CALA=", 0), 0u) << "no write";
    EXPECT_TRUE(DeviceAlarm().set);
}

TEST_F(GeneralOnSim, PowerModeToSleepAndBack)
{
    Start(ModemSim::TProfile::Builtin("tc35"), true);
    ASSERT_TRUE(RunUntil([&] { return m().power().isFullPower() && w().CheckPowerSleep->isEnabled(); }, 10000));
    EXPECT_TRUE(w().CheckPowerNormal->Checked());

    w().CheckPowerSleep->OnClick(w().CheckPowerSleep);
    EXPECT_EQ(m().power().getWantedMode(), 3);
    EXPECT_TRUE(w().CheckPowerSleep->Checked());
    EXPECT_FALSE(w().CheckPowerNormal->Checked());
    EXPECT_EQ(w().CheckPowerNormal->CheckFieldColor2(), clYellow) << "the device is still in normal mode";
    ASSERT_TRUE(RunUntil([&] { return m().power().getMode() == 3; }, 10000)) << sim->Transcript().ToText();
    EXPECT_EQ(Count("AT+CFUN=0"), 1);
    ASSERT_TRUE(RunUntil([&] { return DevicePower() == ModemSim::TPowerState::Sleep; }, 5000));
    EXPECT_EQ(w().CheckPowerSleep->CheckFieldColor2(), clWhite) << "wanted and reached";

    w().CheckPowerNormal->OnClick(w().CheckPowerNormal);
    EXPECT_EQ(m().power().getWantedMode(), 1);
    EXPECT_TRUE(w().CheckPowerNormal->Checked());
    ASSERT_TRUE(RunUntil([&] { return DevicePower() == ModemSim::TPowerState::On; }, 5000))
        << sim->Transcript().ToText();
    ASSERT_TRUE(RunUntil([&] { return m().power().isFullPower(); }, 15000)) << sim->Transcript().ToText();
    EXPECT_TRUE(w().CheckPowerNormal->Checked());
    EXPECT_EQ(w().CheckPowerNormal->CheckFieldColor2(), clWhite);
    EXPECT_FALSE(w().CheckPowerSleep->Checked());
}

TEST_F(GeneralOnSim, BatteryGaugesFollowTheDevice)
{
    Start(ModemSim::TProfile::Builtin("tc35"));
    ASSERT_TRUE(RunUntil([&] { return m().cbc().getCharge() >= 0; }, 30000)) << sim->Transcript().ToText();
    EXPECT_TRUE(w().GroupCBC->isEnabled());
    EXPECT_EQ(w().ProgressBatt->Progress(), 80);
    EXPECT_EQ(w().ProgressConsumption->Progress(), 120);
    EXPECT_EQ(w().ProgressConsumption->MaxValue(), 5000);
    EXPECT_EQ(FromQString(w().LabelCBCCharger->text()), Cz("Nepřipojen"));
    EXPECT_EQ(w().ImageCBC->ImageIndex(), 1);

    auto colours = [&](void (TFormMain::*event)(VTixGaugePaintColors&)) {
        VTixGaugePaintColors c;
        (w().*event)(c);
        return c;
    };
    EXPECT_EQ(colours(&TFormMain::ProgressBattGetColors).ForeColor, clLime);
    EXPECT_EQ(colours(&TFormMain::ProgressConsumptionGetColors).ForeColor, clYellow);

    // Low battery, high current: read again as the user would ask.
    sim->SetBattery(0, 15, 750);
    TypeCommand("AT^SBC?");
    ASSERT_TRUE(RunUntil([&] { return w().ProgressBatt->Progress() == 15; }, 10000)) << sim->Transcript().ToText();
    EXPECT_EQ(w().ProgressConsumption->Progress(), 750);
    EXPECT_EQ(colours(&TFormMain::ProgressBattGetColors).ForeColor, clRed);
    EXPECT_EQ(colours(&TFormMain::ProgressConsumptionGetColors).ForeColor, clRed);

    // Charging: no charge is known then, the gauge greys out.
    sim->SetBattery(2, 40, 300);
    TypeCommand("AT^SBC?");
    ASSERT_TRUE(RunUntil([&] { return m().cbc().getChargerState() == 3; }, 10000));
    EXPECT_FALSE(w().ProgressBatt->isEnabled());
    const VTixGaugePaintColors grey = colours(&TFormMain::ProgressBattGetColors);
    EXPECT_EQ(grey.FrameColor, clGray);
    EXPECT_EQ(grey.FontColor, clNone);
    EXPECT_EQ(w().ProgressConsumption->Progress(), 300);
    EXPECT_EQ(colours(&TFormMain::ProgressConsumptionGetColors).ForeColor, clYellow);
    EXPECT_EQ(FromQString(w().LabelCBCCharger->text()), Cz("Nabíjí se"));
    EXPECT_EQ(w().ImageCBC->ImageIndex(), 3);
    EXPECT_EQ(FromQString(w().ImageCBC->toolTip()), Cz("Nabíjí se"));
}

TEST_F(GeneralOnSim, AnIdlePageRepaintsOnlyItsRunningTimes)
{
    Start(ModemSim::TProfile::Builtin("tc35"));
    ASSERT_TRUE(RunUntil([&] { return m().cala().getState() == 2 && !w().EditCCLKtime->text().isEmpty(); }, 30000));
    // Quiet: no periodic reads, the focus on the tabs.
    w().CheckTestSignal->setChecked(false);
    w().PageControl1->setFocus();
    size_t seen = sim->Transcript().Size();
    QElapsedTimer still;
    still.start();
    ASSERT_TRUE(RunUntil(
        [&] {
            if (sim->Transcript().Size() != seen) {
                seen = sim->Transcript().Size();
                still.restart();
            }
            return still.elapsed() > 2000;
        },
        60000));

    int clockTexts = 0, alarmTexts = 0;
    const auto c1 = QObject::connect(w().EditCCLKtime, &QLineEdit::textChanged, [&] { ++clockTexts; });
    const auto c2 = QObject::connect(w().EditCALAofs, &QLineEdit::textChanged, [&] { ++alarmTexts; });
    TActivity activity;
    qApp->installEventFilter(&activity);
    const size_t before = sim->Transcript().Size();
    RunFor(3000);
    qApp->removeEventFilter(&activity);
    QObject::disconnect(c1);
    QObject::disconnect(c2);
    if (sim->Transcript().Size() != before)
        GTEST_SKIP() << "the device spoke meanwhile";

    // The device's time and the time to the alarm move once a second.
    EXPECT_GE(clockTexts, 2);
    EXPECT_LE(clockTexts, 4);
    EXPECT_GE(alarmTexts, 2);
    EXPECT_LE(alarmTexts, 4);
    // Only those two edits repaint, not the groups behind them.
    for (const auto& [name, n] : activity.paints)
        EXPECT_TRUE(name.rfind("EditCCLKtime", 0) == 0 || name.rfind("EditCALAofs", 0) == 0)
            << activity.Names();
    EXPECT_LE(activity.total, 10) << activity.Names();
}
