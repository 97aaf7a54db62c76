#pragma once
#include <string>

class QWidget;

// The main window as the options dialog sees it: TFormMain implements it
// and is given to the dialog when the dialog is created; tests use a fake.
// Texts are byte strings in the system code page.
class VOptionsOwner {
public:
    virtual ~VOptionsOwner() = default;

    // The main window. The user level shows and hides its controls by name
    // (BtnCHUP, CheckRing, CheckDCD, CheckPhonebookActive, BtnTestSrc,
    // BtnTestDst, Edit1, Button3, Button2, Button1, CheckRegul), and the own
    // number goes to LabelMyPhone and LabelLabMyPhone; a control that does
    // not exist is skipped.
    virtual QWidget* optionsOwnerWindow() = 0;

    // Members of the main window.
    virtual bool getFirstRun() = 0;
    virtual void setFirstRun(bool value) = 0;
    virtual void setConfigClean(bool value) = 0;

    // Language text of Section/Key, Default (Czech) when the language has none.
    virtual std::string getLangText(const std::string& Section, const std::string& Key,
                                    const std::string& Default) = 0;
    // VTixAppInfo::MessageBox2 of the main window's application services.
    virtual int messageBox2(const std::string& Text, unsigned Flags) = 0;

    // The engine, when it exists (nothing happens otherwise):
    // VUniSET::setPIN.
    virtual void setPIN(const std::string& pin) = 0;
    // The PIN handler sends the PIN again (enterPinAgain).
    virtual void enterPinAgain() = 0;
    // The SMS handler writes the SMS-centre number chosen in the SMS list's
    // combo box (ComboSCA) to the device: setWantedSCA(GetSCANumber()).
    virtual void writeSCANumber() = 0;

    // The SMS list shows message states as text (VTixSMSList::SetShowSMSStateAsText).
    virtual void setShowSMSStateAsText(bool value) = 0;
    // The AT terminal's debug windows (VTixTerminal::SetDebugWindowsVisible).
    virtual void setTerminalDebugWindowsVisible(bool value) = 0;
};
