// The General page's clock, alarm, power and battery groups on the real
// main window, the engine fed line by line: the clock write line, blue
// marks, the alarm edits and their write button, power items to modes,
// gauge colours, captions, languages and the page's columns.
#include <QFocusEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QTabWidget>

#include "app/form_main_general.h"
#include "engine/perif_cala.h"
#include "engine/perif_cclk.h"
#include "engine/perif_power.h"
#include "engine/uniset.h"
#include "foundation/tixutils_datetime.h"
#include "platform/qt/qt_text.h"
#include "tests/app/main_window_fixture.h"
#include "translation/tixlanguage.h"
#include "widgets/check_control.h"
#include "widgets/gauge.h"
#include "widgets/image.h"
#include "widgets/image_list.h"

using namespace MainWindowTest;
using Platform::FromQString;
using Platform::ToQString;
using W = VMainWindowLink;

namespace {

Tixutils::TDateTime At(int y, int mo, int d, int h, int mi, int s, int ms = 0)
{
    Tixutils::TDateTime date = 0, time = 0;
    Tixutils::TryEncodeDate(y, mo, d, date);
    Tixutils::TryEncodeTime(h, mi, s, ms, time);
    return date + time;
}

struct GeneralPage : TMainWindowFixture {

    void TearDown() override
    {
        Tixutils::SetNowFunction({});
        TMainWindowFixture::TearDown();
    }
    // The window with its engine on a closed port: nothing runs by
    // itself, the test hands the engine its lines.
    void MakeWithEngine()
    {
        Make(false);
        w().createEngine();
        ASSERT_TRUE(w().uniset);
    }
    void PcTime(Tixutils::TDateTime t)
    {
        Tixutils::SetNowFunction([t] { return t; });
    }
    void Receive(const std::string& line)
    {
        const std::string bytes = line + "\r\n";
        w().VTSComm321ReceiveData(bytes.data(), uint16_t(bytes.size()));
    }
    // The line the engine wrote last, without its CR.
    std::string Sent()
    {
        std::string tx(w().uniset->getTxBuffer().view());
        if (!tx.empty() && tx.back() == '\r')
            tx.pop_back();
        return tx;
    }
    static void Type(QLineEdit* edit, const char* czechUtf8) { edit->setText(ToQString(Cz(czechUtf8))); }
    static bool Black(QLineEdit* edit) { return edit->palette().color(QPalette::Active, QPalette::Text) == QColor(0, 0, 0); }
    static void Focus(QWidget* w)
    {
        QFocusEvent in(QEvent::FocusIn, Qt::TabFocusReason);
        QCoreApplication::sendEvent(w, &in);
    }
    VPerifCALA& cala() { return w().uniset->getHandlers().cala(); }
    VPerifPower& power() { return w().uniset->getHandlers().power(); }
    // The device answers a read of its alarm.
    void AlarmRead(const std::string& info)
    {
        Receive("AT+CALA?\r");
        Receive(info);
        Receive("OK");
    }
    VTixGaugePaintColors Colors(void (TFormMain::*event)(VTixGaugePaintColors&))
    {
        VTixGaugePaintColors c;
        c.ForeColor = 0x123456, c.BackColor = 0x654321, c.FrameColor = 0x505050, c.FontColor = 0x111111;
        (w().*event)(c);
        return c;
    }
};

}  // namespace

// ---- The form -----------------------------------------------------------------------

TEST_F(GeneralPage, GroupsCarryTheirNamesCzechTextsAndDesignStates)
{
    Make(false);
    struct {
        QWidget* w;
        const char* name;
        const char* text;
    } const controls[] = {
        {w().GroupCCLK, "GroupCCLK", "Hodiny reálného času"},
        {w().BtnCCLKWrite, "BtnCCLKWrite", "Zapsat"},
        {w().BtnCCLKAsk, "BtnCCLKAsk", "Obnovit"},
        {w().BtnCCLKCurrent, "BtnCCLKCurrent", "Čas z PC"},
        {w().GroupCALA, "GroupCALA", "Alarm"},
        {w().BtnCALAWrite, "BtnCALAWrite", "Zapsat"},
        {w().BtnCALACancel, "BtnCALACancel", "Zrušit"},
        {w().GroupPowerMode, "GroupPowerMode", "Spotřeba"},
        {w().GroupCBC, "GroupCBC", "Napáječ"},
        {w().EditCCLKofs, "EditCCLKofs", "-99h 99m 99s"},
        {w().EditCALAofs, "EditCALAofs", "-99h 99m 99s"},
        {w().EditCALAtext, "EditCALAtext", "0123456789ABCDEF"},
        {w().LabelCCLKofs, "LabelCCLKofs", "Posun:"},
        {w().LabelBattery, "LabelBattery", "Baterie:"},
        {w().LabelConsumption, "LabelConsumption", "Odběr:"},
    };
    for (const auto& c : controls) {
        ASSERT_NE(c.w, nullptr) << c.name;
        EXPECT_EQ(c.w->objectName().toStdString(), c.name);
        EXPECT_EQ(w().findChild<QWidget*>(c.name), c.w) << c.name;
        std::string text;
        if (auto* g = qobject_cast<QGroupBox*>(c.w))
            text = FromQString(g->title());
        else if (auto* b = qobject_cast<QPushButton*>(c.w))
            text = FromQString(b->text());
        else if (auto* e = qobject_cast<QLineEdit*>(c.w))
            text = FromQString(e->text());
        else if (auto* l = qobject_cast<QLabel*>(c.w))
            text = FromQString(l->text());
        EXPECT_EQ(text, Cz(c.text)) << c.name;
    }
    for (const char* name : {"EditCCLKtime", "EditCALAtime", "ProgressBatt", "ProgressConsumption", "LabelCBCCharger",
                             "ImageCBC"})
        EXPECT_NE(w().findChild<QWidget*>(name), nullptr) << name;

    // The power items: select items of group 0, tags 0..3.
    const TIACheckControl* items[] = {w().CheckPowerNormal, w().CheckPowerSleep, w().CheckPowerAlarmed,
                                      w().CheckPowerDown};
    const char* captions[] = {"Normální", "Spánek", "Odhlášený", "Vypnutý"};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(items[i]->Tag(), i);
        EXPECT_EQ(items[i]->ControlType(), iacctSelect);
        EXPECT_EQ(items[i]->Style(), iaccsStyleWin);
        EXPECT_EQ(items[i]->GroupIndex(), 0u);
        EXPECT_EQ(items[i]->Text(), Cz(captions[i]));
        EXPECT_EQ(items[i]->parentWidget(), w().GroupPowerMode);
    }
    EXPECT_FALSE(w().CheckPowerAlarmed->isEnabled());
    EXPECT_TRUE(w().CheckPowerNormal->isEnabled());

    // Design states and values.
    EXPECT_FALSE(w().EditCCLKtime->isEnabled());
    EXPECT_FALSE(w().GroupCALA->isEnabled());
    EXPECT_TRUE(w().EditCALAtime->testAttribute(Qt::WA_ForceDisabled));
    EXPECT_EQ(w().EditCALAtext->maxLength(), 16);
    EXPECT_EQ(w().ProgressBatt->Units(), " %");
    EXPECT_EQ(w().ProgressBatt->ForeColor(), clLime);
    EXPECT_EQ(w().ProgressBatt->BackColor(), clGreen);
    EXPECT_EQ(w().ProgressBatt->FontColor(), clPurple);
    EXPECT_EQ(w().ProgressConsumption->Units(), " mA");
    EXPECT_EQ(w().ProgressConsumption->ForeColor(), clRed);
    EXPECT_EQ(w().ProgressConsumption->BackColor(), clMaroon);
    EXPECT_EQ(w().ProgressConsumption->FontColor(), clNavy);
    ASSERT_NE(w().ImageCBC->ImageList(), nullptr);
    EXPECT_EQ(w().ImageCBC->ImageList()->Count(), 7) << "a picture for each charger state";
}

TEST_F(GeneralPage, TheEngineWritesTheRealControls)
{
    MakeWithEngine();
    // The handlers start with the clock and alarm unknown: groups off,
    // edits emptied, captions grey.
    EXPECT_FALSE(w().GroupCCLK->isEnabled());
    EXPECT_FALSE(w().BtnCCLKWrite->isEnabled());
    EXPECT_TRUE(w().EditCCLKofs->text().isEmpty());
    EXPECT_TRUE(w().EditCALAtext->text().isEmpty());
    EXPECT_FALSE(w().GroupCBC->isEnabled());
    EXPECT_EQ(static_cast<TFormMainGroupBox*>(w().GroupCCLK)->CaptionColor(), clGrayText);
    EXPECT_TRUE(w().isEnabled(W::CheckPowerNormal));
    EXPECT_FALSE(w().isEnabled(W::CheckPowerAlarmed));

    // A caption colour is the caption's alone: the children keep theirs.
    const QColor labelText = w().LabelCALAtime->palette().color(QPalette::WindowText);
    w().setFontColor(W::GroupCALA, clRed);
    EXPECT_EQ(static_cast<TFormMainGroupBox*>(w().GroupCALA)->CaptionColor(), clRed);
    EXPECT_EQ(w().LabelCALAtime->palette().color(QPalette::WindowText), labelText);
    EXPECT_EQ(w().BtnCALAWrite->palette(), w().BtnCCLKWrite->palette());

    // A clock answer turns the group on and fills the offset.
    PcTime(At(2024, 3, 5, 14, 7, 9));
    Receive("+CCLK: \"24/03/05,15:07:09+04\"");
    EXPECT_TRUE(w().GroupCCLK->isEnabled());
    EXPECT_TRUE(w().BtnCCLKCurrent->isEnabled());
    EXPECT_EQ(FromQString(w().EditCCLKofs->text()), "1h");
    EXPECT_EQ(static_cast<TFormMainGroupBox*>(w().GroupCCLK)->CaptionColor(), clWindowText);
    w().uniset->tick(Platform::GetTickCount());
    EXPECT_EQ(FromQString(w().EditCCLKtime->text()), "5.3.2024 15:07:09");
}

// ---- Clock ----------------------------------------------------------------------------

TEST_F(GeneralPage, ClockWriteIsPcTimePlusTheOffsetWithTheZoneSuffix)
{
    MakeWithEngine();
    PcTime(At(2024, 3, 5, 14, 7, 9));
    Receive("+CCLK: \"24/03/05,14:07:09+04\"");
    ASSERT_EQ(w().uniset->getHandlers().cclk().timeZoneSuffix(), "+04");

    w().EditCCLKofs->setText("-1h 30m");
    EXPECT_TRUE(Black(w().EditCCLKofs));
    w().BtnCCLKWrite->click();
    EXPECT_EQ(Sent(), "AT+CCLK=\"24/03/05,12:37:09+04\"");

    // The milliseconds are dropped, not rounded.
    PcTime(At(2024, 3, 5, 14, 7, 9, 999));
    w().BtnCCLKWrite->click();
    EXPECT_EQ(Sent(), "AT+CCLK=\"24/03/05,12:37:09+04\"");

    // "Čas z PC": the offset becomes "0s", the PC's time is written.
    w().BtnCCLKCurrent->click();
    EXPECT_EQ(FromQString(w().EditCCLKofs->text()), "0s");
    EXPECT_EQ(Sent(), "AT+CCLK=\"24/03/05,14:07:09+04\"");

    // Across midnight and the year; a number without a letter after
    // minutes counts as seconds.
    PcTime(At(1999, 12, 31, 23, 59, 0));
    w().EditCCLKofs->setText("1m 30");
    EXPECT_TRUE(Black(w().EditCCLKofs));
    w().BtnCCLKWrite->click();
    EXPECT_EQ(Sent(), "AT+CCLK=\"00/01/01,00:00:30+04\"");

    // "Obnovit" asks the device.
    w().BtnCCLKAsk->click();
    EXPECT_EQ(Sent(), "AT+CCLK?");
}

TEST_F(GeneralPage, AnOffsetThatDoesNotReadIsBlueAndStillWritten)
{
    MakeWithEngine();
    PcTime(At(2024, 3, 5, 14, 7, 9));
    // A clock without a time zone: no suffix.
    Receive("+CCLK: \"24/03/05,14:07:09\"");
    ASSERT_TRUE(w().BtnCCLKWrite->isEnabled());
    w().EditCCLKofs->setText("1h 30");
    EXPECT_TRUE(Blue(w().EditCCLKofs));
    w().BtnCCLKWrite->click();
    EXPECT_EQ(Sent(), "AT+CCLK=\"24/03/05,15:07:39\"") << "3630 s";
    w().EditCCLKofs->setText("2d");
    EXPECT_TRUE(Black(w().EditCCLKofs));
    w().EditCCLKofs->setText("1R");
    EXPECT_TRUE(Blue(w().EditCCLKofs)) << "years are no unit here";
    w().EditCCLKofs->setText("-1h 30m");
    EXPECT_TRUE(Black(w().EditCCLKofs));
}

TEST_F(GeneralPage, WithoutAnEngineOnlyTheOffsetIsMarked)
{
    Make(false);
    ASSERT_FALSE(w().uniset);
    w().EditCCLKofs->setText("abc");
    EXPECT_TRUE(Blue(w().EditCCLKofs));
    w().EditCCLKofs->setText("5m");
    EXPECT_TRUE(Black(w().EditCCLKofs));
    // Nothing to send with, nothing to hand the alarm to: no crash.
    w().BtnCCLKWrite->click();
    w().BtnCCLKAskClick();
    w().BtnCCLKCurrentClick();
    w().BtnCALAWriteClick();
    w().BtnCALACancelClick();
    w().CheckPowerXClick(w().CheckPowerSleep);
    w().EditCALAtextChange();
    EXPECT_EQ(FromQString(w().EditCALAofs->text()), "-1d");
}

// ---- Alarm ----------------------------------------------------------------------------

TEST_F(GeneralPage, AlarmTextIsBlueUntilItEqualsTheDevicesText)
{
    MakeWithEngine();
    PcTime(At(2024, 3, 5, 14, 0, 0));
    AlarmRead("+CALA: \"24/03/05,16:00:00\",0,0,\"Vstavat\"");
    ASSERT_EQ(cala().getState(), 2);
    EXPECT_TRUE(w().GroupCALA->isEnabled());
    EXPECT_EQ(FromQString(w().EditCALAtime->text()), "5.3.2024 16:00:00");
    EXPECT_EQ(FromQString(w().EditCALAofs->text()), "2h");
    EXPECT_EQ(FromQString(w().EditCALAtext->text()), "Vstavat");
    EXPECT_TRUE(Black(w().EditCALAtext));

    Type(w().EditCALAtext, "Vstávat!");
    EXPECT_TRUE(Blue(w().EditCALAtext));
    Type(w().EditCALAtext, "vstavat");
    EXPECT_TRUE(Blue(w().EditCALAtext)) << "letter case counts";
    Type(w().EditCALAtext, "Vstavat");
    EXPECT_TRUE(Black(w().EditCALAtext));
}

TEST_F(GeneralPage, CancelPutsADayInThePastAndRequestsTheWrite)
{
    MakeWithEngine();
    PcTime(At(2024, 3, 5, 14, 0, 0));
    AlarmRead("+CALA: \"24/03/05,16:00:00\",0,0,\"Vstavat\"");
    ASSERT_TRUE(w().BtnCALAWrite->isEnabled());
    ASSERT_FALSE(cala().isWriteRequested());

    w().BtnCALACancel->click();
    EXPECT_EQ(FromQString(w().EditCALAofs->text()), "-1d");
    EXPECT_EQ(cala().getRelSeconds(), -86400);
    EXPECT_TRUE(cala().relativeLeads());
    EXPECT_FALSE(w().BtnCALAWrite->isEnabled()) << "a past alarm with a text";
    EXPECT_TRUE(cala().isWriteRequested()) << "requested all the same";
    // The time edit follows the duration.
    EXPECT_EQ(FromQString(w().EditCALAtime->text()), "4.3.2024 14:00:00");

    // Pressed again with the same text in the edit: still a request.
    cala().requestWrite();
    Receive("AT+CALA=\"24/03/04,14:00:00\",0,0\r");
    Receive("OK");
    ASSERT_FALSE(cala().isWriteRequested());
    w().BtnCALACancel->click();
    EXPECT_TRUE(cala().isWriteRequested());
    EXPECT_EQ(cala().getRelSeconds(), -86400);
}

TEST_F(GeneralPage, TheWriteButtonFollowsTheDurationAndTheText)
{
    MakeWithEngine();
    PcTime(At(2024, 3, 5, 14, 0, 0));
    AlarmRead("+CALA: \"24/03/05,16:00:00\",0,0,\"Vstavat\"");

    w().EditCALAofs->setText("-5m");
    EXPECT_FALSE(w().BtnCALAWrite->isEnabled());
    // An empty text may be written at any time (it clears the text).
    w().EditCALAtext->setText("");
    EXPECT_TRUE(w().BtnCALAWrite->isEnabled());
    w().EditCALAofs->setText("0s");
    EXPECT_TRUE(w().BtnCALAWrite->isEnabled());
    w().EditCALAtext->setText("x");
    EXPECT_FALSE(w().BtnCALAWrite->isEnabled());
    w().EditCALAofs->setText("1s");
    EXPECT_TRUE(w().BtnCALAWrite->isEnabled());
    w().EditCALAofs->setText("-1s");
    EXPECT_FALSE(w().BtnCALAWrite->isEnabled());
    // A duration that does not read leaves the button as it is.
    w().EditCALAofs->setText("1h 30");
    EXPECT_TRUE(Blue(w().EditCALAofs));
    EXPECT_FALSE(w().BtnCALAWrite->isEnabled());
    w().EditCALAofs->setText("1h");
    EXPECT_TRUE(w().BtnCALAWrite->isEnabled());
    w().EditCALAofs->setText("1h 30");
    EXPECT_TRUE(w().BtnCALAWrite->isEnabled());
    // The write button asks the handler.
    w().BtnCALAWrite->click();
    EXPECT_TRUE(cala().isWriteRequested());
}

TEST_F(GeneralPage, AlarmEditsLeadByFocusAndDoNotFeedTheHandlersValuesBack)
{
    MakeWithEngine();
    PcTime(At(2024, 3, 5, 14, 0, 0));
    AlarmRead("+CALA: \"24/03/05,16:00:00\",0,0,\"\"");

    Focus(w().EditCALAofs);
    EXPECT_TRUE(cala().relativeLeads());
    Focus(w().EditCALAtime);
    EXPECT_FALSE(cala().relativeLeads());

    // A typed day-month-year time: the duration follows, and the
    // handler's own writing of it does not make the duration lead.
    w().EditCALAtime->setText("6.3.2024 14:00:30");
    EXPECT_TRUE(Black(w().EditCALAtime));
    EXPECT_EQ(cala().getRelSeconds(), 86430);
    EXPECT_FALSE(cala().relativeLeads());
    EXPECT_EQ(FromQString(w().EditCALAofs->text()), "1d 30s");
    w().uniset->tick(Platform::GetTickCount());
    EXPECT_FALSE(cala().relativeLeads());
    // Slashes, as the English texts write it.
    w().EditCALAtime->setText("06/03/2024 15:00:00");
    EXPECT_EQ(cala().getRelSeconds(), 90000);

    // A time that does not read is blue; the duration edit leads no more.
    w().EditCALAofs->setText("2h");
    EXPECT_TRUE(cala().relativeLeads());
    EXPECT_EQ(FromQString(w().EditCALAtime->text()), "5.3.2024 16:00:00") << "written by the handler";
    EXPECT_TRUE(cala().relativeLeads()) << "the handler's write is not fed back";
    w().EditCALAtime->setText("tomorrow");
    EXPECT_TRUE(Blue(w().EditCALAtime));
    EXPECT_FALSE(cala().relativeLeads());
    EXPECT_EQ(cala().getRelSeconds(), 7200) << "kept";
    w().EditCALAofs->setText("nonsense");
    EXPECT_TRUE(Blue(w().EditCALAofs));
    EXPECT_TRUE(cala().relativeLeads());
    EXPECT_EQ(cala().getRelSeconds(), 7200);
}

// ---- Power ------------------------------------------------------------------------------

TEST_F(GeneralPage, PowerItemsWantModesByTheirTags)
{
    MakeWithEngine();
    ASSERT_EQ(power().getWantedMode(), 0);
    // "Normální" clicked (the click event the item raises).
    TIACheckControl* normal = w().CheckPowerNormal;
    ASSERT_TRUE(normal->OnClick);
    normal->OnClick(normal);
    EXPECT_EQ(power().getWantedMode(), 1);
    EXPECT_TRUE(normal->Checked());

    const std::pair<TIACheckControl*, int> expected[] = {
        {w().CheckPowerSleep, 3}, {w().CheckPowerAlarmed, 7}, {w().CheckPowerDown, 5}, {w().CheckPowerNormal, 1}};
    for (const auto& [item, mode] : expected) {
        w().CheckPowerXClick(item);
        EXPECT_EQ(power().getWantedMode(), mode) << item->objectName().toStdString();
        // The wanted item is checked, the others not.
        for (TIACheckControl* other : {w().CheckPowerNormal, w().CheckPowerSleep, w().CheckPowerAlarmed,
                                       w().CheckPowerDown})
            EXPECT_EQ(other->Checked(), other == item) << other->objectName().toStdString();
    }

    // The item already wanted: nothing is redrawn.
    w().CheckPowerXClick(w().CheckPowerSleep);
    w().CheckPowerSleep->SetCheckFieldColor2(clRed);
    w().CheckPowerXClick(w().CheckPowerSleep);
    EXPECT_EQ(power().getWantedMode(), 3);
    EXPECT_EQ(w().CheckPowerSleep->CheckFieldColor2(), clRed);

    // Another tag is no power item.
    TIACheckControl stray(w().GroupPowerMode);
    stray.SetTag(4);
    w().CheckPowerXClick(&stray);
    stray.SetTag(-1);
    w().CheckPowerXClick(&stray);
    EXPECT_EQ(power().getWantedMode(), 3);
}

// ---- Gauges -----------------------------------------------------------------------------

TEST_F(GeneralPage, BatteryAndConsumptionColoursByValue)
{
    Make(false);
    w().GroupCBC->setEnabled(true);
    w().ProgressBatt->setEnabled(true);
    w().ProgressConsumption->setEnabled(true);
    w().ProgressConsumption->SetMaxValue(5000);
    struct Case {
        int value;
        TColor fore, back, text;
    };
    for (const Case& c : {Case{0, clRed, clMaroon, clNavy}, Case{20, clRed, clMaroon, clNavy},
                          Case{21, clYellow, clOlive, clBlue}, Case{60, clYellow, clOlive, clBlue},
                          Case{61, clLime, clGreen, clPurple}, Case{100, clLime, clGreen, clPurple}}) {
        w().ProgressBatt->SetProgress(c.value);
        const VTixGaugePaintColors k = Colors(&TFormMain::ProgressBattGetColors);
        EXPECT_EQ(k.ForeColor, c.fore) << "battery " << c.value;
        EXPECT_EQ(k.BackColor, c.back) << "battery " << c.value;
        EXPECT_EQ(k.FontColor, c.text) << "battery " << c.value;
        EXPECT_EQ(k.FrameColor, TColor(0x505050)) << "the frame is the gauge's";
    }
    for (const Case& c : {Case{0, clLime, clGreen, clPurple}, Case{20, clLime, clGreen, clPurple},
                          Case{21, clYellow, clOlive, clBlue}, Case{600, clYellow, clOlive, clBlue},
                          Case{601, clRed, clMaroon, clNavy}, Case{5000, clRed, clMaroon, clNavy}}) {
        w().ProgressConsumption->SetProgress(c.value);
        const VTixGaugePaintColors k = Colors(&TFormMain::ProgressConsumptionGetColors);
        EXPECT_EQ(k.ForeColor, c.fore) << "consumption " << c.value;
        EXPECT_EQ(k.BackColor, c.back) << "consumption " << c.value;
        EXPECT_EQ(k.FontColor, c.text) << "consumption " << c.value;
    }

    // Disabled gauge, or disabled group: grey frame, button face, no text.
    auto greyed = [](const VTixGaugePaintColors& k) {
        return k.FrameColor == clGray && k.ForeColor == clBtnFace && k.BackColor == clBtnFace &&
               k.FontColor == clNone;
    };
    w().ProgressBatt->setEnabled(false);
    EXPECT_TRUE(greyed(Colors(&TFormMain::ProgressBattGetColors)));
    EXPECT_FALSE(greyed(Colors(&TFormMain::ProgressConsumptionGetColors)));
    w().ProgressBatt->setEnabled(true);
    w().GroupCBC->setEnabled(false);
    EXPECT_TRUE(greyed(Colors(&TFormMain::ProgressBattGetColors)));
    EXPECT_TRUE(greyed(Colors(&TFormMain::ProgressConsumptionGetColors)));

    // Painted: a disabled gauge shows the button face and no text.
    w().show();
    RunFor(50);
    const QImage picture = w().ProgressBatt->grab().toImage();
    const QColor face = Platform::ToQColor(clBtnFace);
    EXPECT_EQ(picture.pixelColor(picture.width() / 2, picture.height() / 2), face);
    int frame = 0;
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            frame += picture.pixelColor(x, y) == Platform::ToQColor(clGray);
    EXPECT_GT(frame, picture.width()) << "a grey frame";
}

TEST_F(GeneralPage, SignalGaugeColoursByValue)
{
    MakeWithEngine();
    struct Case {
        int rssi;
        TColor fore, back;
    };
    for (const Case& c : {Case{0, clRed, clMaroon}, Case{5, clRed, clMaroon}, Case{6, clYellow, clOlive},
                          Case{25, clYellow, clOlive}, Case{26, clLime, clGreen}, Case{31, clLime, clGreen}}) {
        Receive("+CSQ: " + std::to_string(c.rssi) + ",0");
        ASSERT_EQ(w().GaugeSigStr->Progress(), c.rssi);
        const VTixGaugePaintColors k = Colors(&TFormMain::GaugeSigStrGetColors);
        EXPECT_EQ(k.ForeColor, c.fore) << "strength " << c.rssi;
        EXPECT_EQ(k.BackColor, c.back) << "strength " << c.rssi;
    }
    // Quality: the gauge shows 7 minus the bit-error rate.
    struct Q {
        int ber;
        TColor fore, back;
    };
    for (const Q& q : {Q{7, clRed, clMaroon}, Q{6, clRed, clMaroon}, Q{5, clYellow, clOlive}, Q{2, clYellow, clOlive},
                       Q{1, clLime, clGreen}, Q{0, clLime, clGreen}}) {
        Receive("+CSQ: 20," + std::to_string(q.ber));
        ASSERT_EQ(w().GaugeSigQual->Progress(), 7 - q.ber);
        const VTixGaugePaintColors k = Colors(&TFormMain::GaugeSigQualGetColors);
        EXPECT_EQ(k.ForeColor, q.fore) << "quality " << 7 - q.ber;
        EXPECT_EQ(k.BackColor, q.back) << "quality " << 7 - q.ber;
    }
    // Unknown: the empty part is the button face, the filled part the gauge's.
    Receive("+CSQ: 99,99");
    VTixGaugePaintColors k = Colors(&TFormMain::GaugeSigStrGetColors);
    EXPECT_EQ(k.BackColor, clBtnFace);
    EXPECT_EQ(k.ForeColor, TColor(0x123456));
}

// ---- Port lines ---------------------------------------------------------------------------

TEST_F(GeneralPage, TheCarrierLampIgnoresDsr)
{
    Make(false);
    StartSim(ModemSim::TProfile::Builtin("tc35"), true);
    OpenOnSim();
    sim->SetCarrier(true);
    ASSERT_TRUE(RunUntil([&] { w().tick(); return w().CheckDCD->Checked(); }, 5000));
    // DSR falls and rises while the carrier stays: the lamp stays on.
    sim->ModemLines().SetDeviceLines(Serial::MS_RLSD_ON);
    RunFor(200);
    w().tick();
    EXPECT_TRUE(w().CheckDCD->Checked());
    sim->ModemLines().SetDeviceLines(Serial::MS_RLSD_ON | Serial::MS_DSR_ON);
    RunFor(200);
    w().tick();
    EXPECT_TRUE(w().CheckDCD->Checked());
    // DSR on without a carrier: off.
    sim->ModemLines().SetDeviceLines(Serial::MS_DSR_ON);
    ASSERT_TRUE(RunUntil([&] { w().tick(); return !w().CheckDCD->Checked(); }, 5000));
    RunFor(200);
    w().tick();
    EXPECT_FALSE(w().CheckDCD->Checked());
}

// ---- Languages and layout ------------------------------------------------------------------

TEST_F(GeneralPage, EnglishTextsAndAlignedCaptions)
{
    Make(false);
    w().VTixLanguage1->SetCurrLanguage("English");
    RunFor(100);
    EXPECT_EQ(FromQString(w().GroupCCLK->title().trimmed()), "Real-time clock");
    EXPECT_EQ(FromQString(w().LabelCCLKofs->text()), "Offset:");
    EXPECT_EQ(FromQString(w().LabelCALAofs->text()), "In:");
    EXPECT_EQ(FromQString(w().LabelConsumption->text()), "Current:");
    EXPECT_EQ(w().CheckPowerSleep->Text(), "Sleep");
    EXPECT_NE(FromQString(w().EditCCLKofs->toolTip()).find("-1h 30m"), std::string::npos);

    w().resize(640, 600);
    w().PageControl1->setCurrentWidget(w().SheetGeneral);
    w().show();
    RunFor(200);
    // The edits and gauges of the three groups start at one column.
    const int x = w().EditCCLKofs->x();
    EXPECT_EQ(w().EditCALAofs->x(), x);
    EXPECT_EQ(w().ProgressBatt->x(), x);
    w().VTixLanguage1->SetCurrLanguage(Cz("Česky"));
    RunFor(200);
    EXPECT_EQ(FromQString(w().LabelCCLKofs->text()), "Posun:");
    EXPECT_EQ(w().EditCALAofs->x(), w().EditCCLKofs->x());
    EXPECT_EQ(w().ProgressBatt->x(), w().EditCCLKofs->x());
}

TEST_F(GeneralPage, TwoColumnsWhenThereIsRoomOneOtherwise)
{
    Make(false);
    w().resize(640, 600);
    w().PageControl1->setCurrentWidget(w().SheetGeneral);
    w().show();
    RunFor(200);
    EXPECT_EQ(w().GroupCCLK->y(), w().GroupCALA->y());
    EXPECT_EQ(w().GroupPowerMode->y(), w().GroupCBC->y());
    EXPECT_GT(w().GroupCALA->x(), w().GroupCCLK->x());

    w().resize(w().minimumSize());
    RunFor(200);
    EXPECT_EQ(w().GroupCALA->x(), w().GroupCCLK->x());
    EXPECT_GT(w().GroupCALA->y(), w().GroupCCLK->y());
    EXPECT_GT(w().GroupPowerMode->y(), w().GroupCALA->y());
    EXPECT_GT(w().GroupCBC->y(), w().GroupPowerMode->y());
    EXPECT_LE(w().ScrollGeneral->widget()->width(), w().ScrollGeneral->viewport()->width());

    w().resize(700, 600);
    RunFor(200);
    EXPECT_EQ(w().GroupCCLK->y(), w().GroupCALA->y());
}
