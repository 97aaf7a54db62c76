// The main window as the engine's window: the controls the handlers write
// and read, texts, message boxes, the terminal and the options.
#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QTreeView>
#include <algorithm>
#include <cmath>
#include <cstdio>

#include "app/app_info.h"
#include "app/form_main.h"
#include "app/form_main_controls.h"
#include "app/form_main_general.h"
#include "app/terminal.h"
#include "engine/perif_modem.h"
#include "engine/uniset.h"
#include "foundation/tixutils_datetime.h"
#include "platform/codepage.h"
#include "platform/qt/qt_text.h"
#include "translation/locale_formats.h"
#include "translation/tixlanguage.h"
#include "widgets/check_control.h"
#include "widgets/gauge.h"
#include "widgets/image.h"

using Platform::FromQString;
using Platform::ToQString;
using W = VMainWindowLink;

namespace {

// Text of a control as the class library has it (caption or text).
bool ReadText(QWidget* w, std::string& out)
{
    if (auto* l = qobject_cast<QLabel*>(w))
        out = FromQString(l->text());
    else if (auto* e = qobject_cast<QLineEdit*>(w))
        out = FromQString(e->text());
    else if (auto* b = qobject_cast<QAbstractButton*>(w))
        out = FromQString(b->text());
    else if (auto* g = qobject_cast<QGroupBox*>(w))
        out = FromQString(g->title());
    else if (auto* c = qobject_cast<TIACheckControl*>(w))
        out = c->Text();
    else if (auto* cb = qobject_cast<QComboBox*>(w))
        out = FromQString(cb->currentText());
    else
        return false;
    return true;
}

void WriteText(QWidget* w, const std::string& text)
{
    const QString q = ToQString(text);
    if (auto* l = qobject_cast<QLabel*>(w)) {
        if (l->text() != q)
            l->setText(q);
    } else if (auto* e = qobject_cast<QLineEdit*>(w)) {
        if (e->text() != q)
            e->setText(q);
    } else if (auto* b = qobject_cast<QAbstractButton*>(w)) {
        if (b->text() != q)
            b->setText(q);
    } else if (auto* g = qobject_cast<QGroupBox*>(w)) {
        if (g->title() != q)
            g->setTitle(q);
    } else if (auto* c = qobject_cast<TIACheckControl*>(w)) {
        c->SetText(text);
    } else if (auto* cb = qobject_cast<QComboBox*>(w)) {
        if (cb->isEditable() && cb->currentText() != q)
            cb->setEditText(q);
    }
}

// Windows date and time pictures ("d.M.yyyy", "H:mm:ss") of one value.
std::string FormatPicture(const std::string& picture, Tixutils::TDateTime value, const TLocaleFormats& f)
{
    int year, month, day, hour, minute, second, msec;
    Tixutils::DecodeDate(value, year, month, day);
    Tixutils::DecodeTime(value, hour, minute, second, msec);
    auto num = [](int v, int width) {
        char buf[16];
        std::snprintf(buf, sizeof buf, "%0*d", width, v);
        return std::string(buf);
    };
    std::string out;
    bool afterHour = false;
    for (size_t i = 0; i < picture.size();) {
        const char c = picture[i];
        size_t run = 1;
        while (i + run < picture.size() && picture[i + run] == c)
            ++run;
        switch (c) {
        case 'd':
        case 'D':
            if (run >= 4)
                out += f.LongDayNames[(Tixutils::DayOfWeek(value) + 6) % 7];
            else if (run == 3)
                out += f.ShortDayNames[(Tixutils::DayOfWeek(value) + 6) % 7];
            else
                out += num(day, int(run));
            break;
        case 'm':
        case 'M':
            if (afterHour && run <= 2) {
                out += num(minute, int(run));
            } else if (run >= 4) {
                out += f.LongMonthNames[month - 1];
            } else if (run == 3) {
                out += f.ShortMonthNames[month - 1];
            } else {
                out += num(month, int(run));
            }
            break;
        case 'n':
        case 'N':
            out += num(minute, run >= 2 ? 2 : 1);
            break;
        case 'y':
        case 'Y':
            out += run <= 2 ? num(year % 100, 2) : num(year, 4);
            break;
        case 'h':
        case 'H':
            out += num(hour, run >= 2 ? 2 : 1);
            afterHour = true;
            break;
        case 's':
        case 'S':
            out += num(second, run >= 2 ? 2 : 1);
            break;
        case '/':
            out += f.DateSeparator;
            break;
        case ':':
            out += f.TimeSeparator;
            break;
        case '"':
        case '\'': {
            const size_t end = picture.find(c, i + 1);
            out += picture.substr(i + 1, (end == std::string::npos ? picture.size() : end) - i - 1);
            i = end == std::string::npos ? picture.size() : end + 1;
            continue;
        }
        default:
            out.append(run, c);
            break;
        }
        if (c != 'h' && c != 'H' && c != ':' && c != ' ')
            afterHour = afterHour && (c == 'm' || c == 'M');
        i += run;
    }
    return out;
}

}  // namespace

// ---- Texts and questions ------------------------------------------------------------

std::string TFormMain::getLangText(const std::string& Section, const std::string& Key,
                                   const std::string& Default, int Index)
{
    if (!VTixLanguage1)
        return Default;
    // In the code page of the program's data, which the defaults are in and
    // which every text the program builds is shown with.
    return VTixLanguage1->GetLangTextCP(Section, Key, Default, Index < 0 ? -1 : Index, Platform::SystemCodePage());
}

std::string TFormMain::text(const char* key, const char* czech)
{
    return getLangText("Texts", key, czech);
}

int TFormMain::messageBox2(const std::string& Text, int Flags)
{
    return VTixAppInfo1->MessageBox2(Text, unsigned(Flags));
}

int TFormMain::messageBox(const std::string& Text, const std::string& Caption, int Flags)
{
    return VTixAppInfo1->MessageBox2(Caption, Text, unsigned(Flags));
}

std::string TFormMain::dateTimeText(double DateTime)
{
    // The class library's date-time text: the short date, and the long
    // time unless the value is exactly midnight. The clock asks several
    // times a second for the same second: the last text is kept.
    const TLocaleFormats& f = LocaleFormats();
    const double second = std::floor(DateTime * 86400.0 + 0.5);
    if (second == lastDateTimeSecond && f.ShortDateFormat == lastDateFormat && f.LongTimeFormat == lastTimeFormat &&
        f.DateSeparator == lastDateSeparator && f.TimeSeparator == lastTimeSeparator)
        return lastDateTimeText;
    std::string out = FormatPicture(f.ShortDateFormat, DateTime, f);
    if (DateTime - std::floor(DateTime) != 0)
        out += " " + FormatPicture(f.LongTimeFormat, DateTime, f);
    lastDateTimeSecond = second;
    lastDateFormat = f.ShortDateFormat;
    lastTimeFormat = f.LongTimeFormat;
    lastDateSeparator = f.DateSeparator;
    lastTimeSeparator = f.TimeSeparator;
    lastDateTimeText = out;
    return out;
}

// ---- Terminal ---------------------------------------------------------------------

void TFormMain::terminalAddLine(const char* Text, int Length, bool Binary)
{
    if (VTixTerminal1)
        VTixTerminal1->addLine(Text, Length, Binary ? VTixTerminal_ltOutBin : VTixTerminal_ltOutLine);
}

bool TFormMain::terminalFocused()
{
    return VTixTerminal1 && VTixTerminal1->Focused();
}

// ---- Status bar -------------------------------------------------------------------

void TFormMain::setStatusPanel(int Panel, const std::string& Text)
{
    if (Panel < 0 || Panel >= int(StatusPanels.size()) || !StatusPanels[size_t(Panel)])
        return;
    if (statusTexts[size_t(Panel)] == Text)
        return;
    statusTexts[size_t(Panel)] = Text;
    StatusPanels[size_t(Panel)]->setText(ToQString(Text));
}

// ---- Any control ------------------------------------------------------------------

QWidget* TFormMain::controlWidget(TControl Control) const
{
    switch (Control) {
    case W::LabelDevice: return LabelDevice;
    case W::ShapeProgress: return ShapeProgress;
    case W::GaugeSigStr: return GaugeSigStr;
    case W::GaugeSigQual: return GaugeSigQual;
    case W::LabelSigQual: return LabelSigQual;
    case W::CheckRegul: return CheckRegul;
    case W::CheckTestSignal: return CheckTestSignal;
    case W::ComboOperator: return ComboOperator;
    case W::BtnQueryOp: return BtnQueryOp;
    case W::ListFilesOut: return ListFilesOut;
    case W::ListFilesIn: return ListFilesIn;
    case W::GroupPowerMode: return GroupPowerMode;
    case W::CheckPowerNormal: return CheckPowerNormal;
    case W::CheckPowerSleep: return CheckPowerSleep;
    case W::CheckPowerAlarmed: return CheckPowerAlarmed;
    case W::CheckPowerDown: return CheckPowerDown;
    case W::GroupCCLK: return GroupCCLK;
    case W::EditCCLKtime: return EditCCLKtime;
    case W::EditCCLKofs: return EditCCLKofs;
    case W::BtnCCLKWrite: return BtnCCLKWrite;
    case W::BtnCCLKAsk: return BtnCCLKAsk;
    case W::BtnCCLKCurrent: return BtnCCLKCurrent;
    case W::GroupCALA: return GroupCALA;
    case W::EditCALAtime: return EditCALAtime;
    case W::EditCALAofs: return EditCALAofs;
    case W::EditCALAtext: return EditCALAtext;
    case W::BtnCALAWrite: return BtnCALAWrite;
    case W::BtnCALACancel: return BtnCALACancel;
    case W::GroupCBC: return GroupCBC;
    case W::ProgressBatt: return ProgressBatt;
    case W::ProgressConsumption: return ProgressConsumption;
    case W::LabelBattery: return LabelBattery;
    case W::LabelCBCCharger: return LabelCBCCharger;
    case W::ImageCBC: return ImageCBC;
    case W::CheckPhonebookActive: return CheckPhonebookActive;
    // Calls page
    case W::BtnATA: return BtnATA;
    case W::BtnATH: return BtnATH;
    case W::BtnCHUP: return BtnCHUP;
    case W::LabelTheOther: return LabelTheOther;
    case W::LabelLabTheOther: return LabelLabTheOther;
    default: return optionsControl(Control);
    }
}

void TFormMain::setEnabled(TControl Control, bool Enabled)
{
    if (QWidget* w = controlWidget(Control)) {
        if (w->testAttribute(Qt::WA_ForceDisabled) == Enabled)
            w->setEnabled(Enabled);
    } else if (Control >= 0 && Control < ControlCount) {
        shadow(Control).enabled = Enabled;
    }
}

bool TFormMain::isEnabled(TControl Control)
{
    if (QWidget* w = controlWidget(Control))
        return !w->testAttribute(Qt::WA_ForceDisabled);
    if (Control >= 0 && Control < ControlCount)
        return shadow(Control).enabled;
    return false;
}

void TFormMain::setVisible(TControl Control, bool Visible)
{
    if (QWidget* w = controlWidget(Control)) {
        if (w->isHidden() == Visible)
            w->setVisible(Visible);
    } else if (Control >= 0 && Control < ControlCount) {
        shadow(Control).visible = Visible;
    }
}

void TFormMain::setEditText(TControl Control, const std::string& Text)
{
    QWidget* w = controlWidget(Control);
    if (!w) {
        if (Control >= 0 && Control < ControlCount)
            shadow(Control).text = Text;
        return;
    }
    auto waiting = std::find_if(hiddenTexts.begin(), hiddenTexts.end(),
                                [&](const THiddenText& h) { return h.control == Control; });
    auto* edit = qobject_cast<QLineEdit*>(w);
    if (edit && !edit->isVisible() && isVisible()) {
        QString q = ToQString(Text);
        if (edit->text() == q) {
            if (waiting != hiddenTexts.end())
                hiddenTexts.erase(waiting);
        } else if (waiting != hiddenTexts.end()) {
            waiting->text = std::move(q);
            waiting->ansi = Text;
        } else {
            hiddenTexts.push_back({Control, edit, std::move(q), Text});
        }
        return;
    }
    if (waiting != hiddenTexts.end())
        hiddenTexts.erase(waiting);
    WriteText(w, Text);
}

void TFormMain::showHiddenText(QObject* shown)
{
    auto waiting = std::find_if(hiddenTexts.begin(), hiddenTexts.end(),
                                [&](const THiddenText& h) { return h.edit == shown; });
    if (waiting == hiddenTexts.end())
        return;
    const THiddenText h = std::move(*waiting);
    hiddenTexts.erase(waiting);
    if (h.edit->text() != h.text)
        h.edit->setText(h.text);
}

std::string TFormMain::editText(TControl Control)
{
    std::string out;
    for (const THiddenText& h : hiddenTexts)
        if (h.control == Control)
            return h.ansi;
    if (QWidget* w = controlWidget(Control)) {
        // Handlers read some edits on every tick: an unchanged text is not
        // converted again.
        if (auto* e = qobject_cast<QLineEdit*>(w)) {
            const QString q = e->text();
            auto& cached = textCache[size_t(Control)];
            if (cached.first.isNull() || (!cached.first.isSharedWith(q) && cached.first != q))
                cached = {q.isNull() ? QString(QLatin1String("")) : q, FromQString(q)};
            return cached.second;
        }
        ReadText(w, out);
        return out;
    }
    if (Control >= 0 && Control < ControlCount)
        return shadow(Control).text;
    return out;
}

void TFormMain::setHint(TControl Control, const std::string& Hint)
{
    if (QWidget* w = controlWidget(Control)) {
        const QString q = ToQString(Hint);
        if (w->toolTip() != q)
            w->setToolTip(q);
    }
}

void TFormMain::setFontColor(TControl Control, TColor Color)
{
    QWidget* w = controlWidget(Control);
    if (!w)
        return;
    if (auto* g = qobject_cast<VTixGauge*>(w)) {
        g->SetFontColor(Color);
        return;
    }
    if (auto* c = qobject_cast<TIACheckControl*>(w)) {
        c->SetFontColor(Color);
        return;
    }
    if (auto* g = qobject_cast<TFormMainGroupBox*>(w)) {
        g->SetCaptionColor(Color);
        return;
    }
    const QColor q = Platform::ToQColor(Color);
    QPalette p = w->palette();
    if (p.color(QPalette::WindowText) == q && p.color(QPalette::Text) == q && p.color(QPalette::ButtonText) == q)
        return;
    p.setColor(QPalette::WindowText, q);
    p.setColor(QPalette::Text, q);
    p.setColor(QPalette::ButtonText, q);
    w->setPalette(p);
}

void TFormMain::setParentFont(TControl Control)
{
    QWidget* w = controlWidget(Control);
    if (!w)
        return;
    if (w->testAttribute(Qt::WA_SetFont))
        w->setFont(QFont());
    if (w->testAttribute(Qt::WA_SetPalette))
        w->setPalette(QPalette());
}

void TFormMain::invalidate(TControl Control)
{
    if (QWidget* w = controlWidget(Control))
        w->update();
}

bool TFormMain::isChecked(TControl Control)
{
    QWidget* w = controlWidget(Control);
    if (!w)
        return Control >= 0 && Control < ControlCount && shadow(Control).checked;
    // Handlers ask some check boxes on every tick (a control with a widget
    // is always a named one).
    TCheckKind& kind = checkKinds[size_t(Control)];
    if (kind.widget != w)
        kind = {w, qobject_cast<QAbstractButton*>(w), qobject_cast<TIACheckControl*>(w)};
    if (kind.button)
        return kind.button->isChecked();
    return kind.check && kind.check->Checked();
}

// ---- Progress shape, gauges, pictures, power items ---------------------------------

TColor TFormMain::progressShapeColor()
{
    return ShapeProgress->BrushColor();
}

void TFormMain::setProgressShapeColor(TColor Color)
{
    ShapeProgress->SetBrushColor(Color);
}

void TFormMain::setGaugeProgress(TControl Gauge, int Progress)
{
    if (auto* g = qobject_cast<VTixGauge*>(controlWidget(Gauge)))
        g->SetProgress(Progress);
}

void TFormMain::setGaugeMaxValue(TControl Gauge, int MaxValue)
{
    if (auto* g = qobject_cast<VTixGauge*>(controlWidget(Gauge)))
        g->SetMaxValue(MaxValue);
}

void TFormMain::setImageIndex(TControl Image, int Index)
{
    if (auto* i = qobject_cast<VTixImage*>(controlWidget(Image)))
        i->SetImageIndex(Index);
}

void TFormMain::setPowerItem(int Tag, bool Enabled, bool Checked, TColor FieldColor)
{
    const TControl control = PowerItemOfTag(Tag);
    if (control == ControlCount)
        return;
    auto* item = qobject_cast<TIACheckControl*>(controlWidget(control));
    if (!item) {
        shadow(control).enabled = Enabled;
        shadow(control).checked = Checked;
        return;
    }
    if (item->isEnabled() != Enabled)
        item->setEnabled(Enabled);
    item->SetChecked(Checked);
    item->SetCheckFieldColor2(FieldColor);
}

// ---- Operator combo box ---------------------------------------------------------------

void TFormMain::operatorComboClear()
{
    if (ComboOperator->count() > 0)
        ComboOperator->clear();
}

void TFormMain::operatorComboAddItem(const std::string& Text, int Object)
{
    ComboOperator->addItem(ToQString(Text), Object);
}

int TFormMain::operatorComboCount()
{
    return ComboOperator->count();
}

void TFormMain::operatorComboSetItemText(int Index, const std::string& Text)
{
    if (Index < 0 || Index >= ComboOperator->count())
        return;
    const QString q = ToQString(Text);
    if (ComboOperator->itemText(Index) != q)
        ComboOperator->setItemText(Index, q);
}

void TFormMain::operatorComboSetItemObject(int Index, int Object)
{
    if (Index >= 0 && Index < ComboOperator->count() && ComboOperator->itemData(Index).toInt() != Object)
        ComboOperator->setItemData(Index, Object);
}

void TFormMain::operatorComboSetItemIndex(int Index)
{
    if (Index < -1 || Index >= ComboOperator->count())
        Index = -1;
    if (ComboOperator->currentIndex() != Index)
        ComboOperator->setCurrentIndex(Index);
}

void TFormMain::operatorComboSetText(const std::string& Text)
{
    // A drop-down list shows an item or nothing.
    if (Text.empty()) {
        operatorComboSetItemIndex(-1);
        return;
    }
    const int i = ComboOperator->findText(ToQString(Text));
    if (i >= 0)
        operatorComboSetItemIndex(i);
}

void TFormMain::operatorComboRepaint()
{
    ComboOperator->update();
}

// ---- Members of the main window ---------------------------------------------------------

void TFormMain::setFlashCount(int Count)
{
    flashCount = Count;
}

void TFormMain::setRinging(bool Ringing)
{
    ringing = Ringing;
}
