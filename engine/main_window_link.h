#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "platform/colors.h"
#include "serial/comm_component.h"

class VListViewModel;
class VTixSMSList;

// Everything the connection engine and its handlers read or write of the
// main window, the options dialog, the terminal and the application
// services, as values in and values out. The main window implements it
// with its widgets; tests implement it with a recording fake. The engine
// takes one in its constructor and hands it to every handler through
// VUniSET::getWindow().
//
// Controls are named by the components of the main window and the options
// dialog. Operations that make no sense for a kind of control (a gauge
// has no text) are ignored by the implementation.
class VMainWindowLink {
public:
    // Message-box flags and answers (the Win32 values).
    static constexpr int MB_OK = 0x00;
    static constexpr int MB_YESNOCANCEL = 0x03;
    static constexpr int MB_YESNO = 0x04;
    static constexpr int MB_ICONERROR = 0x10;
    static constexpr int MB_ICONEXCLAMATION = 0x30;
    static constexpr int IDOK = 1;
    static constexpr int IDCANCEL = 2;
    static constexpr int IDYES = 6;
    static constexpr int IDNO = 7;

    // The controls the engine and the handlers reach.
    enum TControl : int {
        // Main window
        LabelDevice,
        ShapeProgress,
        GaugeSigStr,
        GaugeSigQual,
        LabelSigQual,
        CheckRegul,
        CheckTestSignal,
        ComboOperator,
        BtnQueryOp,
        ListFilesOut,
        ListFilesIn,
        GroupPowerMode,
        CheckPowerNormal,  // power items: tags 0..3 in this order
        CheckPowerSleep,
        CheckPowerAlarmed,
        CheckPowerDown,
        GroupCCLK,
        EditCCLKtime,
        EditCCLKofs,
        BtnCCLKWrite,
        BtnCCLKAsk,
        BtnCCLKCurrent,
        GroupCALA,
        EditCALAtime,
        EditCALAofs,
        EditCALAtext,
        BtnCALAWrite,
        BtnCALACancel,
        GroupCBC,
        ProgressBatt,
        ProgressConsumption,
        LabelBattery,
        LabelCBCCharger,
        ImageCBC,
        // Options dialog
        RGroupAutom,
        RGroupAdvanced,
        EditOftenCSQ,
        EditPIN,
        BtnCPINAgain,
        // Phonebook page
        CheckPhonebookActive,
        RGroupPBStorage,
        TabsPBStorages,
        // Calls page
        BtnATA,
        BtnATH,
        BtnCHUP,
        LabelTheOther,
        LabelLabTheOther,
        ControlCount
    };

    // Component name of a control ("EditCCLKtime"); "" for an unknown value.
    static const char* ControlName(TControl Control);
    // The power item of a tag 0..3 (CheckPowerNormal ... CheckPowerDown);
    // ControlCount for any other tag.
    static TControl PowerItemOfTag(int Tag);

    virtual ~VMainWindowLink() = default;

    // ---- Texts and questions ----------------------------------------
    // The language text of Section/Key (Key + "_" + Index when Index >= 0),
    // Default when the language has none.
    virtual std::string getLangText(const std::string& Section, const std::string& Key,
                                    const std::string& Default, int Index = -1) = 0;
    // Modal box captioned with the application name; Win32 flags in, the
    // button code out (IDYES, IDNO, IDCANCEL, IDOK).
    virtual int messageBox2(const std::string& Text, int Flags) = 0;
    // Modal box with its own caption (internal faults: "Error", MB_ICONERROR).
    virtual int messageBox(const std::string& Text, const std::string& Caption, int Flags) = 0;
    // The date-and-time text of the current language's locale (short date,
    // long time) of a date-time value (days since 1899-12-30).
    virtual std::string dateTimeText(double DateTime) = 0;

    // ---- Terminal ----------------------------------------------------
    // Logs written data: Binary (a data call) selects the out-binary line
    // type, else the out-line type.
    virtual void terminalAddLine(const char* Text, int Length, bool Binary) = 0;
    // The terminal's window has the input focus (false without a window).
    virtual bool terminalFocused() = 0;
    // Shows the received characters not yet shown and breaks the line.
    virtual void flushTerminalLine() = 0;

    // ---- Port display ------------------------------------------------
    // The main window's port-state handler, called with the port's state.
    virtual void VTSComm321StateChange(TCommState State) = 0;

    // ---- Status bar --------------------------------------------------
    // Panel 1 = device name, panel 2 = registration text; the bar is
    // repainted after the change.
    virtual void setStatusPanel(int Panel, const std::string& Text) = 0;

    // ---- Any control -------------------------------------------------
    virtual void setEnabled(TControl Control, bool Enabled) = 0;
    virtual bool isEnabled(TControl Control) = 0;
    virtual void setVisible(TControl Control, bool Visible) = 0;
    // Caption of labels, group boxes and buttons, text of edits.
    virtual void setEditText(TControl Control, const std::string& Text) = 0;
    virtual std::string editText(TControl Control) = 0;
    virtual void setHint(TControl Control, const std::string& Hint) = 0;
    // Font colour (a group box's caption, a gauge's text, a label).
    virtual void setFontColor(TControl Control, TColor Color) = 0;
    // The control takes its parent's font again.
    virtual void setParentFont(TControl Control) = 0;
    // Repaint.
    virtual void invalidate(TControl Control) = 0;
    // Check boxes.
    virtual bool isChecked(TControl Control) = 0;

    // ---- Progress shape ----------------------------------------------
    virtual TColor progressShapeColor() = 0;
    virtual void setProgressShapeColor(TColor Color) = 0;

    // ---- Gauges (GaugeSigStr, GaugeSigQual, ProgressBatt, ProgressConsumption)
    virtual void setGaugeProgress(TControl Gauge, int Progress) = 0;
    virtual void setGaugeMaxValue(TControl Gauge, int MaxValue) = 0;

    // ---- Image-list picture (ImageCBC) ------------------------------
    virtual void setImageIndex(TControl Image, int Index) = 0;

    // ---- Power items (tags 0..3) ------------------------------------
    // Enabled state, checked state and check-field colour of one item.
    virtual void setPowerItem(int Tag, bool Enabled, bool Checked, TColor FieldColor) = 0;

    // ---- Operator combo box -----------------------------------------
    virtual void operatorComboClear() = 0;
    // Appends an item; Object is the numeric operator code (-2 when the
    // name is not a number).
    virtual void operatorComboAddItem(const std::string& Text, int Object) = 0;
    virtual int operatorComboCount() = 0;
    virtual void operatorComboSetItemText(int Index, const std::string& Text) = 0;
    virtual void operatorComboSetItemObject(int Index, int Object) = 0;
    // Selected item, -1 for none.
    virtual void operatorComboSetItemIndex(int Index) = 0;
    // The combo's text ("" for none).
    virtual void operatorComboSetText(const std::string& Text) = 0;
    virtual void operatorComboRepaint() = 0;

    // ---- Options -----------------------------------------------------
    // "Automatika": 0 always, 1 not while the terminal has the focus,
    // 2 by the check box CheckRegul.
    virtual int optionAutomation() = 0;
    // "Ovládání": 0 "Základní", 1 "Pokročilé".
    virtual int userLevel() = 0;
    // The options dialog exists (it may not yet at start-up), is visible,
    // and can be shown without waiting for it to close.
    virtual bool optionsDialogExists() = 0;
    virtual bool optionsDialogVisible() = 0;
    virtual void showOptionsDialog() = 0;

    // ---- Members and event handlers of the main window ---------------
    virtual void setFlashCount(int Count) = 0;
    virtual void setRinging(bool Ringing) = 0;
    // Re-marks the alarm text edit (TFormMain::EditCALAtextChange).
    virtual void EditCALAtextChange() = 0;

    // ---- File lists --------------------------------------------------
    // Shows the rows of a file list in ListFilesOut or ListFilesIn; null
    // takes them away (before the list goes).
    virtual void bindFileList(TControl List, VListViewModel* Model) {}
    // The folder of the temporary files of received transfers; "" for none.
    virtual std::string tempFolder() { return std::string(); }
    // ---- Phonebook page: memory selector and memory tabs -----------
    // The items of the memory selector RGroupPBStorage, in place of the
    // old ones; the window sizes and places the group.
    virtual void setPBStorageItems(const std::vector<std::string>& Items) {}
    // The selector's selected item, -1 for none. Selecting from code runs
    // no click.
    virtual int pbStorageItemIndex() { return -1; }
    virtual void setPBStorageItemIndex(int Index) {}
    // The captions of the memory tabs TabsPBStorages, in place of the old
    // ones.
    virtual void setPBStorageTabs(const std::vector<std::string>& Names) {}
    // The window's tab-change handler: the selected tab's memory is shown.
    virtual void TabsPBStoragesChange() {}
    // ---- Calls page --------------------------------------------------
    // Creates the eight call rows of the calls page (later calls do
    // nothing).
    virtual void createCallRows() {}
    // Shows call row Index (0..7): the state picture (0 undetermined, s + 1
    // for state s), the type picture (0 undetermined, 1 voice, 2 data), -1
    // for no picture; the number and type of number ("123,129") and the
    // state text.
    virtual void showCallRow(int Index, int StatePicture, int TypePicture, const std::string& NumberText,
                             const std::string& StateText)
    {
        (void)Index, (void)StatePicture, (void)TypePicture, (void)NumberText, (void)StateText;
    }

    // ---- SMS ---------------------------------------------------------
    // The window's SMS list (VSMSList1); without one the SMS handler is idle.
    virtual VTixSMSList* smsList() { return nullptr; }
    // The main window is minimised (new messages then flash its button).
    virtual bool windowMinimized() { return false; }
};
