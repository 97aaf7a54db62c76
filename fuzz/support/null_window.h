#pragma once
#include <array>
#include <string>

#include "engine/main_window_link.h"
#include "sms/sms_list.h"

namespace Fuzz {

// A main window without widgets for the engine targets: it keeps what the
// engine writes into its controls (so reading it back gives what a window
// would show), answers every question with a value the target chooses and
// ignores the rest.
class TNullWindow : public VMainWindowLink {
public:
    // What the next message boxes answer.
    int answer = IDNO;
    // The options the engine reads.
    int automation = 0;
    int level = 1;
    bool focused = false;
    bool optionsExist = true;
    bool optionsVisible = false;

    std::string getLangText(const std::string& Section, const std::string& Key,
                            const std::string& Default, int Index) override;
    int messageBox2(const std::string& Text, int Flags) override;
    int messageBox(const std::string& Text, const std::string& Caption, int Flags) override;
    std::string dateTimeText(double DateTime) override;

    void terminalAddLine(const char* Text, int Length, bool Binary) override;
    bool terminalFocused() override { return focused; }
    void flushTerminalLine() override {}

    void VTSComm321StateChange(TCommState) override {}
    void setStatusPanel(int Panel, const std::string& Text) override;

    void setEnabled(TControl Control, bool Enabled) override;
    bool isEnabled(TControl Control) override;
    void setVisible(TControl, bool) override {}
    void setEditText(TControl Control, const std::string& Text) override;
    std::string editText(TControl Control) override;
    void setHint(TControl, const std::string&) override {}
    void setFontColor(TControl, TColor) override {}
    void setParentFont(TControl) override {}
    void invalidate(TControl) override {}
    bool isChecked(TControl Control) override;

    TColor progressShapeColor() override { return shapeColor_; }
    void setProgressShapeColor(TColor Color) override { shapeColor_ = Color; }
    void setGaugeProgress(TControl, int) override {}
    void setGaugeMaxValue(TControl, int) override {}
    void setImageIndex(TControl, int) override {}
    void setPowerItem(int, bool, bool, TColor) override {}

    void operatorComboClear() override { comboCount_ = 0; }
    void operatorComboAddItem(const std::string& Text, int Object) override;
    int operatorComboCount() override { return comboCount_; }
    void operatorComboSetItemText(int Index, const std::string& Text) override;
    void operatorComboSetItemObject(int Index, int Object) override;
    void operatorComboSetItemIndex(int Index) override;
    void operatorComboSetText(const std::string&) override {}
    void operatorComboRepaint() override {}

    int optionAutomation() override { return automation; }
    int userLevel() override { return level; }
    bool optionsDialogExists() override { return optionsExist; }
    bool optionsDialogVisible() override { return optionsVisible; }
    void showOptionsDialog() override { optionsVisible = true; }

    void setFlashCount(int) override {}
    void setRinging(bool) override {}
    void EditCALAtextChange() override {}

    // SMS: a list of its own, so that the SMS handler reads into it.
    VTixSMSList smsListOwned;
    bool minimized = false;
    VTixSMSList* smsList() override { return &smsListOwned; }
    bool windowMinimized() override { return minimized; }

    // Characters the terminal was given, to keep the call from being
    // optimised away and to bound what a target keeps.
    size_t terminalBytes = 0;

private:
    std::array<std::string, ControlCount> texts_{};
    std::array<bool, ControlCount> enabled_{};
    TColor shapeColor_ = 0;
    int comboCount_ = 0;
};

}  // namespace Fuzz
