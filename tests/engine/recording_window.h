#pragma once
#include <array>
#include <deque>
#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "engine/main_window_link.h"
#include "sms/sms_list.h"

// A main window for engine and handler tests: it records every call in
// `calls` (one text per call, e.g. "setEditText EditCCLKtime 10:37"), keeps
// the values written so tests can read them back, and answers questions
// and option reads from values the test scripts.
class TRecordingWindow : public VMainWindowLink {
public:
    struct TTerminalLine {
        std::string bytes;
        bool binary;
        uint32_t tick = 0;  // the engine's clock when the line was logged
    };
    struct TPowerItem {
        bool enabled = true;
        bool checked = false;
        TColor fieldColor = clWhite;
    };
    struct TMessage {
        std::string text;
        std::string caption;  // empty for messageBox2
        int flags;
    };

    TRecordingWindow();

    // ---- Scripted answers -------------------------------------------
    // Answers of the next message boxes, first first; when none is left
    // the box answers `defaultAnswer`.
    std::deque<int> answers;
    int defaultAnswer = IDNO;
    int automation = 0;
    int level = 1;
    bool focused = false;
    bool optionsExists = true;
    bool optionsVisible = false;
    // Language texts that differ from the built-in default, by
    // "Section/Key" or "Section/Key_Index".
    std::map<std::string, std::string> langTexts;
    std::map<TControl, bool> checked;

    // ---- What was written -------------------------------------------
    std::vector<std::string> calls;
    std::vector<TTerminalLine> terminal;
    std::vector<TMessage> messages;
    std::vector<TCommState> portStates;
    int flushCount = 0;
    int optionsShown = 0;
    int calaTextChanges = 0;
    int flashCount = 0;
    bool ringing = false;
    std::map<int, std::string> statusPanels;
    std::map<TControl, std::string> texts;
    // How often the handlers read each edit and asked for a date text.
    std::map<TControl, int> textReads;
    int dateTextCount = 0;
    std::map<TControl, bool> enabled;
    std::map<TControl, bool> visible;
    std::map<TControl, std::string> hints;
    std::map<TControl, TColor> fontColors;
    std::map<TControl, int> progress;
    std::map<TControl, int> maxValues;
    std::map<TControl, int> imageIndex;
    std::map<int, TPowerItem> powerItems;
    std::vector<std::pair<std::string, int>> comboItems;
    int comboIndex = -1;
    std::string comboText;
    TColor shapeColor = clBtnFace;
    // Phonebook page: the memory selector's items and selected item, the
    // memory tabs and the selected tab (the first once there are tabs),
    // and what the tab-change handler runs.
    std::vector<std::string> pbItems;
    int pbItemIndex = -1;
    std::vector<std::string> pbTabs;
    int pbTabIndex = -1;
    int pbTabChanges = 0;
    std::function<void(const std::string& tab)> onPBTabsChange;

    // Calls whose text starts with `prefix`.
    int countCalls(const std::string& prefix) const;
    void clearCalls() { calls.clear(); }
    // All terminal lines joined.
    std::string terminalText() const;

    // ---- VMainWindowLink --------------------------------------------
    std::string getLangText(const std::string& Section, const std::string& Key,
                            const std::string& Default, int Index = -1) override;
    int messageBox2(const std::string& Text, int Flags) override;
    int messageBox(const std::string& Text, const std::string& Caption, int Flags) override;
    // "D.M.YYYY H:MM:SS", day first like the Czech locale.
    std::string dateTimeText(double DateTime) override;
    void terminalAddLine(const char* Text, int Length, bool Binary) override;
    bool terminalFocused() override;
    void flushTerminalLine() override;
    void VTSComm321StateChange(TCommState State) override;
    void setStatusPanel(int Panel, const std::string& Text) override;
    void setEnabled(TControl Control, bool Enabled) override;
    bool isEnabled(TControl Control) override;
    void setVisible(TControl Control, bool Visible) override;
    void setEditText(TControl Control, const std::string& Text) override;
    std::string editText(TControl Control) override;
    void setHint(TControl Control, const std::string& Hint) override;
    void setFontColor(TControl Control, TColor Color) override;
    void setParentFont(TControl Control) override;
    void invalidate(TControl Control) override;
    bool isChecked(TControl Control) override;
    TColor progressShapeColor() override;
    void setProgressShapeColor(TColor Color) override;
    void setGaugeProgress(TControl Gauge, int Progress) override;
    void setGaugeMaxValue(TControl Gauge, int MaxValue) override;
    void setImageIndex(TControl Image, int Index) override;
    void setPowerItem(int Tag, bool Enabled, bool Checked, TColor FieldColor) override;
    void operatorComboClear() override;
    void operatorComboAddItem(const std::string& Text, int Object) override;
    int operatorComboCount() override;
    void operatorComboSetItemText(int Index, const std::string& Text) override;
    void operatorComboSetItemObject(int Index, int Object) override;
    void operatorComboSetItemIndex(int Index) override;
    void operatorComboSetText(const std::string& Text) override;
    void operatorComboRepaint() override;
    int optionAutomation() override;
    int userLevel() override;
    bool optionsDialogExists() override;
    bool optionsDialogVisible() override;
    void showOptionsDialog() override;
    void setFlashCount(int Count) override;
    void setRinging(bool Ringing) override;
    void EditCALAtextChange() override;
    void setPBStorageItems(const std::vector<std::string>& Items) override;
    int pbStorageItemIndex() override;
    void setPBStorageItemIndex(int Index) override;
    void setPBStorageTabs(const std::vector<std::string>& Names) override;
    void TabsPBStoragesChange() override;

    // ---- File lists ----------------------------------------------------
    // The models bound to ListFilesOut and ListFilesIn (null once unbound),
    // how often each was bound or unbound, and the temporary folder given.
    std::map<TControl, VListViewModel*> fileLists;
    std::map<TControl, int> fileListBindings;
    std::string tempDir;
    void bindFileList(TControl List, VListViewModel* Model) override
    {
        fileLists[List] = Model;
        ++fileListBindings[List];
    }
    std::string tempFolder() override { return tempDir; }
    // ---- Calls page --------------------------------------------------
    struct TCallRow {
        int statePicture = -1;
        int typePicture = -1;
        std::string numberText;
        std::string stateText;
        int shows = 0;  // how often the row was shown
    };
    std::array<TCallRow, 8> callRows;
    int callRowsCreated = 0;
    void createCallRows() override;
    void showCallRow(int Index, int StatePicture, int TypePicture, const std::string& NumberText,
                     const std::string& StateText) override;

    // ---- SMS: a list of its own (null: the SMS handler idles) ---------
    VTixSMSList smsListOwned;
    VTixSMSList* smsListShown = &smsListOwned;
    bool minimized = false;
    VTixSMSList* smsList() override { return smsListShown; }
    bool windowMinimized() override { return minimized; }

private:
    void record(const std::string& text) { calls.push_back(text); }
};
