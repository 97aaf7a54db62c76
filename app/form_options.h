#pragma once
#include <QDialog>
#include <string>

#include "app/options_owner.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class TRadioGroup;

// The options dialog ("FormOptions", caption "Nastavení"): the SIM PIN,
// the user's own number, the SMS-centre number, the language, the
// signal-query interval, the user level and the automatics mode. It keeps
// no state of its own: the values live in its controls, which the
// configuration file reads and writes and the engine's handlers read
// (through the main window). Shown without being modal; on a first run it
// closes only through OK.
//
// Change handlers of the edits run on every change of their text, also
// one made from code (so a loaded PIN reaches the engine), and each marks
// the configuration changed (setConfigClean(false)). The radio groups'
// handlers run when the user picks another item; setting ItemIndex from
// code runs nothing, so the loaded options are applied by calling
// RGroupAutomClick, RGroupAdvancedClick and EditMyPhoneChange.
class TFormOptions : public QDialog {
    Q_OBJECT
public:
    // owner: the main window (not owned). parent: the window the dialog
    // belongs to (it stays above it); may be null.
    explicit TFormOptions(VOptionsOwner* owner, QWidget* parent = nullptr);
    ~TFormOptions() override;

    // Controls, named as their objectName.
    QLabel* LabelPIN;
    QLineEdit* EditPIN;
    QPushButton* BtnCPINAgain;
    QLabel* LabelLabMyPhone;
    QLineEdit* EditMyPhone;
    QLabel* LabelSCSA;
    // Editable; the SMS list fills it with its SMS-centre list.
    QComboBox* ComboSCA;
    QPushButton* BtnCSCAAgain;
    QLabel* LabelLang;
    // The translation component's language combo box (SetLangCombo).
    QComboBox* ComboLang;
    QLabel* LabelOftenCSQ;
    QLineEdit* EditOftenCSQ;
    QLabel* LabelCSQUnits;
    // User level: 0 basic, 1 advanced, 2 test mode.
    TRadioGroup* RGroupAdvanced;
    // Automatics: 0 always, 1 off while the terminal has the focus,
    // 2 by the main window's CheckRegul.
    TRadioGroup* RGroupAutom;
    QPushButton* BtnOK;
    QPushButton* BtnCancel;

    // Event handlers (Sender may be null).
    void RGroupAdvancedClick(QObject* Sender = nullptr);
    void RGroupAutomClick(QObject* Sender = nullptr);
    void EditPINChange(QObject* Sender = nullptr);
    void BtnCPINAgainClick(QObject* Sender = nullptr);
    void BtnCSCAAgainClick(QObject* Sender = nullptr);
    void BtnOKClick(QObject* Sender = nullptr);
    void BtnCancelClick(QObject* Sender = nullptr);
    void FormShow(QObject* Sender = nullptr);
    void FormCloseQuery(QObject* Sender, bool& CanClose);
    void EditMyPhoneChange(QObject* Sender = nullptr);
    void EditOftenCSQChange(QObject* Sender = nullptr);

    // The configuration changed (the main window's configClean := false).
    void markChanged();

    // The interval text as a decimal integer, -1 when it is not one.
    static int ParseInterval(const std::string& text);

    // Every way of closing (Cancel, Escape, the window's close button)
    // asks FormCloseQuery first.
    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void buildControls();
    QWidget* ownerControl(const char* name) const;
    void setOwnerControlVisible(const char* name, bool visible) const;

    VOptionsOwner* FOwner;
};

// The options dialog created at program entry.
extern TFormOptions* FormOptions;
