// The General page's clock, alarm, power and battery groups: their
// controls, the page's scrolling and columns, and the event handlers that
// hand the user's entries to the clock, alarm and power handlers and
// colour the battery gauges.
#include "app/form_main_general.h"

#include <QBoxLayout>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QStyleOptionGroupBox>
#include <QStylePainter>
#include <cstdio>

#include "app/form_helpers.h"
#include "app/form_main.h"
#include "engine/perif_cala.h"
#include "engine/perif_cclk.h"
#include "engine/perif_power.h"
#include "engine/uniset.h"
#include "foundation/ansi_to_date_time.h"
#include "foundation/tixutils_datetime.h"
#include "foundation/utils.h"
#include "platform/qt/qt_text.h"
#include "platform/tick.h"
#include "widgets/check_control.h"
#include "widgets/gauge.h"
#include "widgets/image.h"
#include "widgets/image_list.h"
#include "widgets/widget_pictures.h"

using FormHelpers::Cz;
using FormHelpers::Label;
using FormHelpers::Named;
using Platform::FromQString;

// ---- TFormMainGroupBox ----------------------------------------------------------

TFormMainGroupBox::TFormMainGroupBox(const QString& title, QWidget* parent) : QGroupBox(title, parent) {}

void TFormMainGroupBox::SetCaptionColor(TColor color)
{
    if (color == captionColor_)
        return;
    captionColor_ = color;
    update();
}

void TFormMainGroupBox::paintEvent(QPaintEvent*)
{
    QStylePainter painter(this);
    QStyleOptionGroupBox option;
    initStyleOption(&option);
    if (captionColor_ != clNone)
        option.textColor = Platform::ToQColor(captionColor_);
    painter.drawComplexControl(QStyle::CC_GroupBox, option);
}

// ---- TEventHook -----------------------------------------------------------------

TEventHook::TEventHook(QObject* watched, QEvent::Type type, std::function<void()> action)
    : QObject(watched), type_(type), action_(std::move(action))
{
    watched->installEventFilter(this);
}

bool TEventHook::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == type_ && watched == parent() && action_)
        action_();
    return false;
}

namespace {

TFormMainGroupBox* Group(QWidget* parent, const char* name, const char* title)
{
    return Named(new TFormMainGroupBox(Cz(title), parent), name);
}

QLineEdit* Edit(QWidget* parent, const char* name, const char* text)
{
    auto* edit = Named(new QLineEdit(Cz(text), parent), name);
    // Wide enough for a date and a time, or the design text.
    const QFontMetrics fm(edit->font());
    const int chars = std::max(fm.horizontalAdvance(QStringLiteral("30.12.2000 00:00:00")),
                               fm.horizontalAdvance(edit->text()));
    edit->setMinimumWidth(chars + 16);
    // Opaque: the clock's texts change every second, and a see-through
    // edit would have its whole group box repainted behind it each time.
    edit->setAutoFillBackground(true);
    return edit;
}

QPushButton* Button(QWidget* parent, const char* name, const char* text)
{
    auto* button = Named(new QPushButton(Cz(text), parent), name);
    button->setAutoDefault(false);
    return button;
}

TIACheckControl* PowerItem(QWidget* parent, const char* name, const char* text, int tag)
{
    auto* item = Named(new TIACheckControl(parent), name);
    item->SetControlType(iacctSelect);
    item->SetStyle(iaccsStyleWin);
    item->SetGroupIndex(0);
    item->SetText(text);
    item->SetTag(tag);
    item->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    return item;
}

VTixGauge* BatteryGauge(QWidget* parent, const char* name, const char* units, TColor fore, TColor back,
                        TColor font)
{
    auto* g = Named(new VTixGauge(parent), name);
    g->SetUnits(units);
    g->SetForeColor(fore);
    g->SetBackColor(back);
    g->SetFontColor(font);
    g->setMinimumWidth(110);
    g->setFixedHeight(18);
    g->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    return g;
}

// Labels in the first column, their controls in the second; the buttons
// of a group in a row of their own, on the right.
QGridLayout* GroupGrid(QGroupBox* group)
{
    auto* grid = new QGridLayout(group);
    grid->setHorizontalSpacing(8);
    grid->setVerticalSpacing(6);
    grid->setColumnStretch(1, 1);
    return grid;
}

QHBoxLayout* ButtonRow(std::initializer_list<QPushButton*> buttons)
{
    auto* row = new QHBoxLayout;
    row->setSpacing(6);
    row->addStretch(1);
    for (QPushButton* b : buttons)
        row->addWidget(b);
    return row;
}

// Edit text colour: blue marks an entry that does not parse, or an alarm
// text the device does not hold.
void MarkEdit(QLineEdit* edit, bool blue)
{
    FormHelpers::SetTextColor(edit, Platform::ToQColor(blue ? clBlue : clWindowText));
}

// The wanted power mode of an item's tag; 0 for an item that is none.
int PowerModeOfTag(int tag)
{
    switch (tag) {
    case 0: return 1;  // normal
    case 1: return 3;  // sleep
    case 2: return 7;  // logged off
    case 3: return 5;  // switched off
    default: return 0;
    }
}

// Colours of a battery gauge that shows nothing.
void DisabledGaugeColors(VTixGaugePaintColors& c)
{
    c.FrameColor = clGray;
    c.ForeColor = clBtnFace;
    c.BackColor = clBtnFace;
    c.FontColor = clNone;
}

}  // namespace

// ---- The groups -----------------------------------------------------------------------

void TFormMain::buildGeneralGroups()
{
    // The page scrolls when the window is too small for it: its content
    // (the device group and the place below it) moves into a scroll area.
    auto* content = Named(new QWidget, "PanelGeneral");
    content->setLayout(SheetGeneral->layout());
    ScrollGeneral = Named(new QScrollArea(SheetGeneral), "ScrollGeneral");
    ScrollGeneral->setFrameShape(QFrame::NoFrame);
    ScrollGeneral->setWidgetResizable(true);
    ScrollGeneral->setWidget(content);
    auto* sheet = new QVBoxLayout(SheetGeneral);
    sheet->setContentsMargins(0, 0, 0, 0);
    sheet->addWidget(ScrollGeneral);

    // Clock.
    GroupCCLK = Group(content, "GroupCCLK", "Hodiny re\xE1ln\xE9ho \xE8" "asu");
    EditCCLKtime = Edit(GroupCCLK, "EditCCLKtime", "");
    EditCCLKtime->setEnabled(false);
    {
        // Only the handler writes it, but the running time is meant to be read.
        QPalette p = EditCCLKtime->palette();
        p.setColor(QPalette::Disabled, QPalette::Text, p.color(QPalette::Active, QPalette::Text));
        EditCCLKtime->setPalette(p);
    }
    EditCCLKofs = Edit(GroupCCLK, "EditCCLKofs", "-99h 99m 99s");
    EditCCLKofs->setToolTip(Cz("Posun hodin za\xF8\xEDzen\xED proti po\xE8\xEDta\xE8i, nap\xF8. -1h 30m "
                               "(t t\xFD" "dny, d dny, h hodiny, m minuty, s sekundy)"));
    BtnCCLKWrite = Button(GroupCCLK, "BtnCCLKWrite", "Zapsat");
    BtnCCLKAsk = Button(GroupCCLK, "BtnCCLKAsk", "Obnovit");
    BtnCCLKCurrent = Button(GroupCCLK, "BtnCCLKCurrent", "\xC8" "as z PC");
    LabelCCLKtime = Label(GroupCCLK, "LabelCCLKtime", "\xC8" "as:", EditCCLKtime);
    LabelCCLKofs = Label(GroupCCLK, "LabelCCLKofs", "Posun:", EditCCLKofs);
    {
        QGridLayout* g = GroupGrid(GroupCCLK);
        g->addWidget(LabelCCLKtime, 0, 0);
        g->addWidget(EditCCLKtime, 0, 1);
        g->addWidget(LabelCCLKofs, 1, 0);
        g->addWidget(EditCCLKofs, 1, 1);
        // The buttons keep to the bottom, level with the alarm's.
        g->setRowStretch(2, 1);
        g->addLayout(ButtonRow({BtnCCLKWrite, BtnCCLKAsk, BtnCCLKCurrent}), 3, 0, 1, 2);
    }

    // Alarm (disabled until the device is known to have one).
    GroupCALA = Group(content, "GroupCALA", "Alarm");
    EditCALAtime = Edit(GroupCALA, "EditCALAtime", "");
    EditCALAtime->setEnabled(false);
    EditCALAofs = Edit(GroupCALA, "EditCALAofs", "-99h 99m 99s");
    EditCALAofs->setToolTip(Cz("Za jak dlouho alarm nastane, nap\xF8. 2h 30m "
                               "(t t\xFD" "dny, d dny, h hodiny, m minuty, s sekundy)"));
    EditCALAtext = Edit(GroupCALA, "EditCALAtext", "0123456789ABCDEF");
    EditCALAtext->setMaxLength(16);
    BtnCALAWrite = Button(GroupCALA, "BtnCALAWrite", "Zapsat");
    BtnCALACancel = Button(GroupCALA, "BtnCALACancel", "Zru\x9Ait");
    LabelCALAtime = Label(GroupCALA, "LabelCALAtime", "\xC8" "as:", EditCALAtime);
    LabelCALAofs = Label(GroupCALA, "LabelCALAofs", "Za:", EditCALAofs);
    LabelCALAtext = Label(GroupCALA, "LabelCALAtext", "Text:", EditCALAtext);
    {
        QGridLayout* g = GroupGrid(GroupCALA);
        g->addWidget(LabelCALAtime, 0, 0);
        g->addWidget(EditCALAtime, 0, 1);
        g->addWidget(LabelCALAofs, 1, 0);
        g->addWidget(EditCALAofs, 1, 1);
        g->addWidget(LabelCALAtext, 2, 0);
        g->addWidget(EditCALAtext, 2, 1);
        g->setRowStretch(3, 1);
        g->addLayout(ButtonRow({BtnCALAWrite, BtnCALACancel}), 4, 0, 1, 2);
    }
    GroupCALA->setEnabled(false);

    // Power mode.
    GroupPowerMode = Group(content, "GroupPowerMode", "Spot\xF8" "eba");
    CheckPowerNormal = PowerItem(GroupPowerMode, "CheckPowerNormal", "Norm\xE1ln\xED", 0);
    CheckPowerSleep = PowerItem(GroupPowerMode, "CheckPowerSleep", "Sp\xE1nek", 1);
    CheckPowerAlarmed = PowerItem(GroupPowerMode, "CheckPowerAlarmed", "Odhl\xE1\x9A" "en\xFD", 2);
    CheckPowerDown = PowerItem(GroupPowerMode, "CheckPowerDown", "Vypnut\xFD", 3);
    CheckPowerAlarmed->setEnabled(false);
    {
        // Two by two: the group stays as low as the battery group.
        auto* g = new QGridLayout(GroupPowerMode);
        g->setHorizontalSpacing(16);
        g->setVerticalSpacing(8);
        g->addWidget(CheckPowerNormal, 0, 0);
        g->addWidget(CheckPowerSleep, 1, 0);
        g->addWidget(CheckPowerAlarmed, 0, 1);
        g->addWidget(CheckPowerDown, 1, 1);
        g->setColumnStretch(2, 1);
        g->setRowStretch(2, 1);
    }

    // Battery and charger.
    ChargerImageList = Widgets::MakeChargerImageList();
    GroupCBC = Group(content, "GroupCBC", "Nap\xE1je\xE8");
    ProgressBatt = BatteryGauge(GroupCBC, "ProgressBatt", " %", clLime, clGreen, clPurple);
    ProgressConsumption = BatteryGauge(GroupCBC, "ProgressConsumption", " mA", clRed, clMaroon, clNavy);
    LabelBattery = Label(GroupCBC, "LabelBattery", "Baterie:", nullptr);
    LabelConsumption = Label(GroupCBC, "LabelConsumption", "Odb\xEC" "r:", nullptr);
    ImageCBC = Named(new VTixImage(GroupCBC), "ImageCBC");
    ImageCBC->SetImageList(ChargerImageList.get());
    ImageCBC->SetImageIndex(0);
    ImageCBC->SetStretch(false);
    ImageCBC->setFixedSize(16, 16);
    LabelCBCCharger = Named(new QLabel(GroupCBC), "LabelCBCCharger");
    {
        QGridLayout* g = GroupGrid(GroupCBC);
        g->addWidget(LabelBattery, 0, 0);
        g->addWidget(ProgressBatt, 0, 1);
        g->addWidget(LabelConsumption, 1, 0);
        g->addWidget(ProgressConsumption, 1, 1);
        auto* charger = new QHBoxLayout;
        charger->setSpacing(6);
        charger->addWidget(ImageCBC);
        charger->addWidget(LabelCBCCharger, 1);
        g->addLayout(charger, 2, 0, 1, 2);
        g->setRowStretch(3, 1);
    }

    arrangeGeneralGroups(true);
    // The captions of the three groups share one width (also after a
    // change of language), so that their edits and gauges line up.
    for (QWidget* g : {static_cast<QWidget*>(GroupCCLK), static_cast<QWidget*>(GroupCALA),
                       static_cast<QWidget*>(GroupCBC)})
        new TEventHook(g, QEvent::LayoutRequest, [this] { alignGeneralLabels(); });
    alignGeneralLabels();
    new TEventHook(ScrollGeneral->viewport(), QEvent::Resize,
                   [this] { arrangeGeneralGroups(ScrollGeneral->viewport()->width() >= generalTwoColumnWidth()); });
}

int TFormMain::generalTwoColumnWidth() const
{
    // Both columns at their smallest, the spacing and the page's margins.
    int widest = 0;
    for (QWidget* g : {static_cast<QWidget*>(GroupCCLK), static_cast<QWidget*>(GroupCALA),
                       static_cast<QWidget*>(GroupPowerMode), static_cast<QWidget*>(GroupCBC)})
        widest = std::max(widest, g->minimumSizeHint().width());
    const QMargins m = ScrollGeneral->widget()->layout()->contentsMargins();
    return 2 * widest + LayoutGeneralGroups->horizontalSpacing() + m.left() + m.right();
}

void TFormMain::alignGeneralLabels()
{
    int widest = 0;
    for (QLabel* l : {LabelCCLKtime, LabelCCLKofs, LabelCALAtime, LabelCALAofs, LabelCALAtext, LabelBattery,
                      LabelConsumption})
        widest = std::max(widest, l->sizeHint().width());
    for (QWidget* g : {static_cast<QWidget*>(GroupCCLK), static_cast<QWidget*>(GroupCALA),
                       static_cast<QWidget*>(GroupCBC)}) {
        // Set only on a change: setting it asks for a new layout pass.
        auto* grid = static_cast<QGridLayout*>(g->layout());
        if (grid->columnMinimumWidth(0) != widest)
            grid->setColumnMinimumWidth(0, widest);
    }
}

void TFormMain::arrangeGeneralGroups(bool twoColumns)
{
    if (generalColumns == (twoColumns ? 2 : 1))
        return;
    generalColumns = twoColumns ? 2 : 1;
    for (QWidget* g : {static_cast<QWidget*>(GroupCCLK), static_cast<QWidget*>(GroupCALA),
                       static_cast<QWidget*>(GroupPowerMode), static_cast<QWidget*>(GroupCBC)})
        LayoutGeneralGroups->removeWidget(g);
    if (twoColumns) {
        // The clock beside the alarm, so that their rows line up.
        LayoutGeneralGroups->addWidget(GroupCCLK, 0, 0);
        LayoutGeneralGroups->addWidget(GroupCALA, 0, 1);
        LayoutGeneralGroups->addWidget(GroupPowerMode, 1, 0);
        LayoutGeneralGroups->addWidget(GroupCBC, 1, 1);
    } else {
        LayoutGeneralGroups->addWidget(GroupCCLK, 0, 0, 1, 2);
        LayoutGeneralGroups->addWidget(GroupCALA, 1, 0, 1, 2);
        LayoutGeneralGroups->addWidget(GroupPowerMode, 2, 0, 1, 2);
        LayoutGeneralGroups->addWidget(GroupCBC, 3, 0, 1, 2);
    }
}

void TFormMain::bindGeneralEvents()
{
    connect(BtnCCLKWrite, &QPushButton::clicked, this, [this] { BtnCCLKWriteClick(); });
    connect(BtnCCLKAsk, &QPushButton::clicked, this, [this] { BtnCCLKAskClick(); });
    connect(BtnCCLKCurrent, &QPushButton::clicked, this, [this] { BtnCCLKCurrentClick(); });
    connect(EditCCLKofs, &QLineEdit::textChanged, this, [this] { EditCCLKofsChange(); });

    new TEventHook(EditCALAtime, QEvent::FocusIn, [this] { EditCALAtimeEnter(); });
    new TEventHook(EditCALAofs, QEvent::FocusIn, [this] { EditCALAofsEnter(); });
    connect(EditCALAtime, &QLineEdit::textChanged, this, [this] { EditCALAtimeChange(); });
    connect(EditCALAofs, &QLineEdit::textChanged, this, [this] { EditCALAofsChange(); });
    connect(EditCALAtext, &QLineEdit::textChanged, this, [this] { EditCALAtextChange(); });
    connect(BtnCALAWrite, &QPushButton::clicked, this, [this] { BtnCALAWriteClick(); });
    connect(BtnCALACancel, &QPushButton::clicked, this, [this] { BtnCALACancelClick(); });

    for (TIACheckControl* item : {CheckPowerNormal, CheckPowerSleep, CheckPowerAlarmed, CheckPowerDown})
        item->OnClick = [this](TIACheckControl* sender) { CheckPowerXClick(sender); };

    ProgressBatt->OnGetColors = [this](VTixGauge*, VTixGaugePaintColors& c) { ProgressBattGetColors(c); };
    ProgressConsumption->OnGetColors = [this](VTixGauge*, VTixGaugePaintColors& c) {
        ProgressConsumptionGetColors(c);
    };
    // The port's DSR event stays unbound: DSR tells that the device is
    // powered, not that a carrier is there. The DCD lamp follows RLSD only
    // (its event and the tick's reading of the modem lines).
}

// ---- Clock ----------------------------------------------------------------------------

void TFormMain::BtnCCLKAskClick()
{
    if (uniset)
        uniset->sendLine(Platform::GetTickCount(), "AT+CCLK?", -1);
}

void TFormMain::BtnCCLKWriteClick()
{
    if (!uniset)
        return;
    // Whatever the offset's pieces add up to is written, also when a
    // piece could not be read (the edit is blue then).
    const int32_t offset = Utils::ParseDuration(FromQString(EditCCLKofs->text()), nullptr, Utils::DurationLetters);
    const Tixutils::TDateTime t = Tixutils::Now() + double(offset) / 86400.0;
    int year, month, day, hour, minute, second, msec;
    Tixutils::DecodeDate(t, year, month, day);
    Tixutils::DecodeTime(t, hour, minute, second, msec);
    char time[32];
    std::snprintf(time, sizeof time, "%02d/%02d/%02d,%02d:%02d:%02d", year % 100, month, day, hour, minute, second);
    const std::string line =
        std::string("AT+CCLK=\"") + time + uniset->getHandlers().cclk().timeZoneSuffix() + "\"";
    uniset->sendLine(Platform::GetTickCount(), line.c_str(), int(line.size()));
}

void TFormMain::BtnCCLKCurrentClick()
{
    EditCCLKofs->setText(QStringLiteral("0s"));
    BtnCCLKWriteClick();
}

void TFormMain::EditCCLKofsChange()
{
    bool error = false;
    Utils::ParseDuration(FromQString(EditCCLKofs->text()), &error, Utils::DurationLetters);
    MarkEdit(EditCCLKofs, error);
}

// ---- Alarm -----------------------------------------------------------------------------

void TFormMain::EditCALAtimeEnter()
{
    if (uniset)
        uniset->getHandlers().cala().setRelativeLeads(false);
}

void TFormMain::EditCALAofsEnter()
{
    if (uniset)
        uniset->getHandlers().cala().setRelativeLeads(true);
}

void TFormMain::applyAlarmWriteRule()
{
    // With a duration that reads, writing makes sense for an alarm still
    // to come, or to clear the text; a duration that does not read leaves
    // the button as it is.
    bool error = false;
    const int32_t seconds =
        Utils::ParseDuration(FromQString(EditCALAofs->text()), &error, Utils::DurationLetters);
    if (error)
        return;
    const bool enable = seconds > 0 || EditCALAtext->text().isEmpty();
    if (BtnCALAWrite->testAttribute(Qt::WA_ForceDisabled) == enable)
        BtnCALAWrite->setEnabled(enable);
}

void TFormMain::EditCALAtimeChange()
{
    Tixutils::TDateTime time = 0;
    const bool parsed = Tixsmslist::AnsiToDateTime(FromQString(EditCALAtime->text()), time, "./", ":", ", ",
                                                   Tixutils::vdoDMY);
    MarkEdit(EditCALAtime, !parsed);
    if (!uniset)
        return;
    VPerifCALA& cala = uniset->getHandlers().cala();
    if (!cala.updatingEdits()) {
        if (parsed)
            cala.setAbsolute(time, false);
        cala.setRelativeLeads(false);
    }
    applyAlarmWriteRule();
}

void TFormMain::EditCALAofsChange()
{
    bool error = false;
    const int32_t seconds =
        Utils::ParseDuration(FromQString(EditCALAofs->text()), &error, Utils::DurationLetters);
    MarkEdit(EditCALAofs, error);
    if (!uniset)
        return;
    VPerifCALA& cala = uniset->getHandlers().cala();
    if (!cala.updatingEdits()) {
        if (!error)
            cala.setRelative(seconds, false);
        cala.setRelativeLeads(true);
    }
    applyAlarmWriteRule();
}

void TFormMain::EditCALAtextChange()
{
    if (!uniset || !EditCALAtext)
        return;
    MarkEdit(EditCALAtext, !uniset->getHandlers().cala().isDeviceText(FromQString(EditCALAtext->text())));
    applyAlarmWriteRule();
}

void TFormMain::BtnCALAWriteClick()
{
    if (uniset)
        uniset->getHandlers().cala().requestWrite();
}

void TFormMain::BtnCALACancelClick()
{
    // An alarm a day in the past clears the device's alarm.
    const QString past = QStringLiteral("-1d");
    if (EditCALAofs->text() == past)
        EditCALAofsChange();  // no change signal for the same text
    else
        EditCALAofs->setText(past);
    BtnCALAWriteClick();
}

// ---- Power mode ------------------------------------------------------------------------

void TFormMain::CheckPowerXClick(TIACheckControl* Sender)
{
    if (!uniset || !Sender)
        return;
    const int mode = PowerModeOfTag(Sender->Tag());
    if (mode == 0)
        return;
    // The handler redraws the items when the wanted mode changes, and then
    // moves the device there; the item already wanted changes nothing.
    uniset->getHandlers().power().setWantedMode(mode);
}

// ---- Battery gauges --------------------------------------------------------------------

void TFormMain::ProgressBattGetColors(VTixGaugePaintColors& Colors)
{
    if (!GroupCBC->isEnabled() || !ProgressBatt->isEnabled()) {
        DisabledGaugeColors(Colors);
        return;
    }
    const int v = ProgressBatt->Progress();
    if (v <= 20)
        Colors.ForeColor = clRed, Colors.BackColor = clMaroon, Colors.FontColor = clNavy;
    else if (v <= 60)
        Colors.ForeColor = clYellow, Colors.BackColor = clOlive, Colors.FontColor = clBlue;
    else
        Colors.ForeColor = clLime, Colors.BackColor = clGreen, Colors.FontColor = clPurple;
}

void TFormMain::ProgressConsumptionGetColors(VTixGaugePaintColors& Colors)
{
    if (!GroupCBC->isEnabled() || !ProgressConsumption->isEnabled()) {
        DisabledGaugeColors(Colors);
        return;
    }
    // A small current is good news, a large one bad.
    const int v = ProgressConsumption->Progress();
    if (v <= 20)
        Colors.ForeColor = clLime, Colors.BackColor = clGreen, Colors.FontColor = clPurple;
    else if (v <= 600)
        Colors.ForeColor = clYellow, Colors.BackColor = clOlive, Colors.FontColor = clBlue;
    else
        Colors.ForeColor = clRed, Colors.BackColor = clMaroon, Colors.FontColor = clNavy;
}
