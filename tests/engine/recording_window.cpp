#include "tests/engine/recording_window.h"

#include <cmath>
#include <cstdio>

#include "platform/tick.h"

TRecordingWindow::TRecordingWindow()
{
    // "Read phonebooks" is checked at design.
    checked[CheckPhonebookActive] = true;
}

int TRecordingWindow::countCalls(const std::string& prefix) const
{
    int n = 0;
    for (const auto& c : calls)
        if (c.compare(0, prefix.size(), prefix) == 0)
            ++n;
    return n;
}

std::string TRecordingWindow::terminalText() const
{
    std::string all;
    for (const auto& line : terminal)
        all += line.bytes;
    return all;
}

std::string TRecordingWindow::getLangText(const std::string& Section, const std::string& Key,
                                          const std::string& Default, int Index)
{
    std::string key = Section + "/" + Key;
    if (Index >= 0)
        key += "_" + std::to_string(Index);
    auto it = langTexts.find(key);
    return it != langTexts.end() ? it->second : Default;
}

int TRecordingWindow::messageBox2(const std::string& Text, int Flags)
{
    record("messageBox2 " + Text);
    messages.push_back({Text, "", Flags});
    if (answers.empty())
        return defaultAnswer;
    const int a = answers.front();
    answers.pop_front();
    return a;
}

int TRecordingWindow::messageBox(const std::string& Text, const std::string& Caption, int Flags)
{
    record("messageBox " + Caption + " " + Text);
    messages.push_back({Text, Caption, Flags});
    return IDOK;
}

std::string TRecordingWindow::dateTimeText(double DateTime)
{
    ++dateTextCount;
    // Days since 1899-12-30 to a civil date (proleptic Gregorian).
    // Rounded to the millisecond, then the milliseconds dropped, as the
    // class library writes a date-time.
    double whole = std::floor(DateTime);
    long long ms = std::llround((DateTime - whole) * 86400000.0);
    long long days = (long long)whole;
    if (ms >= 86400000) {
        ms -= 86400000;
        ++days;
    }
    const long long secs = ms / 1000;
    long long z = days - 25569 + 719468;  // to days since 0000-03-01
    const long long era = (z >= 0 ? z : z - 146096) / 146097;
    const long long doe = z - era * 146097;
    const long long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    long long y = yoe + era * 400;
    const long long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const long long mp = (5 * doy + 2) / 153;
    const long long d = doy - (153 * mp + 2) / 5 + 1;
    const long long m = mp < 10 ? mp + 3 : mp - 9;
    if (m <= 2)
        ++y;
    char buf[160];
    std::snprintf(buf, sizeof buf, "%lld.%lld.%lld %lld:%02lld:%02lld", d, m, y, secs / 3600,
                  secs / 60 % 60, secs % 60);
    return buf;
}

void TRecordingWindow::terminalAddLine(const char* Text, int Length, bool Binary)
{
    terminal.push_back({std::string(Text ? Text : "", Text && Length > 0 ? size_t(Length) : 0), Binary,
                        Platform::GetTickCount()});
    record(std::string("terminalAddLine ") + (Binary ? "bin" : "line"));
}

bool TRecordingWindow::terminalFocused()
{
    return focused;
}

void TRecordingWindow::flushTerminalLine()
{
    ++flushCount;
    record("flushTerminalLine");
}

void TRecordingWindow::VTSComm321StateChange(TCommState State)
{
    portStates.push_back(State);
    record("VTSComm321StateChange " + std::to_string(int(State)));
}

void TRecordingWindow::setStatusPanel(int Panel, const std::string& Text)
{
    statusPanels[Panel] = Text;
    record("setStatusPanel " + std::to_string(Panel) + " " + Text);
}

void TRecordingWindow::setEnabled(TControl Control, bool Enabled)
{
    enabled[Control] = Enabled;
    record(std::string("setEnabled ") + ControlName(Control) + (Enabled ? " 1" : " 0"));
}

bool TRecordingWindow::isEnabled(TControl Control)
{
    auto it = enabled.find(Control);
    return it == enabled.end() || it->second;
}

void TRecordingWindow::setVisible(TControl Control, bool Visible)
{
    visible[Control] = Visible;
    record(std::string("setVisible ") + ControlName(Control) + (Visible ? " 1" : " 0"));
}

void TRecordingWindow::setEditText(TControl Control, const std::string& Text)
{
    texts[Control] = Text;
    record(std::string("setEditText ") + ControlName(Control) + " " + Text);
}

std::string TRecordingWindow::editText(TControl Control)
{
    ++textReads[Control];
    auto it = texts.find(Control);
    return it != texts.end() ? it->second : std::string();
}

void TRecordingWindow::setHint(TControl Control, const std::string& Hint)
{
    hints[Control] = Hint;
    record(std::string("setHint ") + ControlName(Control) + " " + Hint);
}

void TRecordingWindow::setFontColor(TControl Control, TColor Color)
{
    fontColors[Control] = Color;
    record(std::string("setFontColor ") + ControlName(Control) + " " + std::to_string(Color));
}

void TRecordingWindow::setParentFont(TControl Control)
{
    fontColors.erase(Control);
    record(std::string("setParentFont ") + ControlName(Control));
}

void TRecordingWindow::invalidate(TControl Control)
{
    record(std::string("invalidate ") + ControlName(Control));
}

bool TRecordingWindow::isChecked(TControl Control)
{
    auto it = checked.find(Control);
    return it != checked.end() && it->second;
}

TColor TRecordingWindow::progressShapeColor()
{
    return shapeColor;
}

void TRecordingWindow::setProgressShapeColor(TColor Color)
{
    shapeColor = Color;
    record("setProgressShapeColor " + std::to_string(Color));
}

void TRecordingWindow::setGaugeProgress(TControl Gauge, int Progress)
{
    progress[Gauge] = Progress;
    record(std::string("setGaugeProgress ") + ControlName(Gauge) + " " + std::to_string(Progress));
}

void TRecordingWindow::setGaugeMaxValue(TControl Gauge, int MaxValue)
{
    maxValues[Gauge] = MaxValue;
    record(std::string("setGaugeMaxValue ") + ControlName(Gauge) + " " + std::to_string(MaxValue));
}

void TRecordingWindow::setImageIndex(TControl Image, int Index)
{
    imageIndex[Image] = Index;
    record(std::string("setImageIndex ") + ControlName(Image) + " " + std::to_string(Index));
}

void TRecordingWindow::setPowerItem(int Tag, bool Enabled, bool Checked, TColor FieldColor)
{
    powerItems[Tag] = {Enabled, Checked, FieldColor};
    record("setPowerItem " + std::to_string(Tag) + (Enabled ? " 1" : " 0") + (Checked ? " 1 " : " 0 ") +
           std::to_string(FieldColor));
}

void TRecordingWindow::operatorComboClear()
{
    comboItems.clear();
    comboIndex = -1;
    record("operatorComboClear");
}

void TRecordingWindow::operatorComboAddItem(const std::string& Text, int Object)
{
    comboItems.emplace_back(Text, Object);
    record("operatorComboAddItem " + Text + " " + std::to_string(Object));
}

int TRecordingWindow::operatorComboCount()
{
    return int(comboItems.size());
}

void TRecordingWindow::operatorComboSetItemText(int Index, const std::string& Text)
{
    if (Index >= 0 && Index < int(comboItems.size()))
        comboItems[size_t(Index)].first = Text;
    record("operatorComboSetItemText " + std::to_string(Index) + " " + Text);
}

void TRecordingWindow::operatorComboSetItemObject(int Index, int Object)
{
    if (Index >= 0 && Index < int(comboItems.size()))
        comboItems[size_t(Index)].second = Object;
    record("operatorComboSetItemObject " + std::to_string(Index) + " " + std::to_string(Object));
}

void TRecordingWindow::operatorComboSetItemIndex(int Index)
{
    comboIndex = Index;
    record("operatorComboSetItemIndex " + std::to_string(Index));
}

void TRecordingWindow::operatorComboSetText(const std::string& Text)
{
    comboText = Text;
    record("operatorComboSetText " + Text);
}

void TRecordingWindow::operatorComboRepaint()
{
    record("operatorComboRepaint");
}

int TRecordingWindow::optionAutomation()
{
    return automation;
}

int TRecordingWindow::userLevel()
{
    return level;
}

bool TRecordingWindow::optionsDialogExists()
{
    return optionsExists;
}

bool TRecordingWindow::optionsDialogVisible()
{
    return optionsVisible;
}

void TRecordingWindow::showOptionsDialog()
{
    ++optionsShown;
    optionsVisible = true;
    record("showOptionsDialog");
}

void TRecordingWindow::setFlashCount(int Count)
{
    flashCount = Count;
    record("setFlashCount " + std::to_string(Count));
}

void TRecordingWindow::setRinging(bool Ringing)
{
    ringing = Ringing;
    record(std::string("setRinging ") + (Ringing ? "1" : "0"));
}

void TRecordingWindow::EditCALAtextChange()
{
    ++calaTextChanges;
    record("EditCALAtextChange");
}

namespace {

std::string Joined(const std::vector<std::string>& lines)
{
    std::string joined;
    for (const auto& line : lines)
        joined += (joined.empty() ? "" : "|") + line;
    return joined;
}

}  // namespace

void TRecordingWindow::setPBStorageItems(const std::vector<std::string>& Items)
{
    record("setPBStorageItems " + Joined(Items));
    pbItems = Items;
    if (pbItemIndex >= int(Items.size()))
        pbItemIndex = -1;
}

int TRecordingWindow::pbStorageItemIndex()
{
    return pbItemIndex;
}

void TRecordingWindow::setPBStorageItemIndex(int Index)
{
    record("setPBStorageItemIndex " + std::to_string(Index));
    pbItemIndex = Index >= 0 && Index < int(pbItems.size()) ? Index : -1;
}

void TRecordingWindow::setPBStorageTabs(const std::vector<std::string>& Names)
{
    record("setPBStorageTabs " + Joined(Names));
    pbTabs = Names;
    if (Names.empty())
        pbTabIndex = -1;
    else if (pbTabIndex < 0 || pbTabIndex >= int(Names.size()))
        pbTabIndex = 0;
}

void TRecordingWindow::TabsPBStoragesChange()
{
    ++pbTabChanges;
    record("TabsPBStoragesChange");
    if (onPBTabsChange && pbTabIndex >= 0)
        onPBTabsChange(pbTabs[size_t(pbTabIndex)]);
}

// ---- Calls page ------------------------------------------------------------

void TRecordingWindow::createCallRows()
{
    record("createCallRows");
    ++callRowsCreated;
}

void TRecordingWindow::showCallRow(int Index, int StatePicture, int TypePicture, const std::string& NumberText,
                                   const std::string& StateText)
{
    record("showCallRow " + std::to_string(Index) + " " + std::to_string(StatePicture) + " " +
           std::to_string(TypePicture) + " " + NumberText + " " + StateText);
    if (Index < 0 || Index >= int(callRows.size()))
        return;
    TCallRow& row = callRows[size_t(Index)];
    row.statePicture = StatePicture;
    row.typePicture = TypePicture;
    row.numberText = NumberText;
    row.stateText = StateText;
    ++row.shows;
}
