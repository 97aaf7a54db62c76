// The main window and its dialogs: the options the configuration file
// and the engine read and write, the options dialog's view of the main
// window, the about dialog and the window placements.
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "app/app_info.h"
#include "app/form_about.h"
#include "app/form_main.h"
#include "app/form_options.h"
#include "app/radio_group.h"
#include "app/terminal.h"
#include "engine/perif_cpin.h"
#include "engine/uniset.h"
#include "platform/qt/qt_text.h"
#include "translation/forms/tixlanguage_forms.h"

using W = VMainWindowLink;

void TFormMain::createDialogs()
{
    if (!FormOptions) {
        FormOptions = new TFormOptions(this, this);
        VTixLanguageForms1->SetLangCombo(FormOptions->ComboLang);
        bindSCACombo();
    }
    if (!FormAbout) {
        FormAbout = new TFormAbout(VTixAppInfo1, this);
        FormAbout->SetTextLookup([this](const std::string& s, const std::string& k, const std::string& d) {
            return getLangText(s, k, d);
        });
    }
}

// ---- Options ------------------------------------------------------------------

QWidget* TFormMain::optionsControl(TControl Control) const
{
    if (!FormOptions)
        return nullptr;
    switch (Control) {
    case W::RGroupAutom: return FormOptions->RGroupAutom;
    case W::RGroupAdvanced: return FormOptions->RGroupAdvanced;
    case W::EditOftenCSQ: return FormOptions->EditOftenCSQ;
    case W::EditPIN: return FormOptions->EditPIN;
    case W::BtnCPINAgain: return FormOptions->BtnCPINAgain;
    default: return nullptr;
    }
}

int TFormMain::optionIndex(TControl Group)
{
    // Read by the engine on every tick.
    if (FormOptions)
        return (Group == W::RGroupAutom ? FormOptions->RGroupAutom : FormOptions->RGroupAdvanced)->ItemIndex();
    return Group == W::RGroupAutom ? options.automation : options.advanced;
}

void TFormMain::setOptionIndex(TControl Group, int Index)
{
    if (auto* group = qobject_cast<TRadioGroup*>(optionsControl(Group)))
        group->SetItemIndex(Index);
    (Group == W::RGroupAutom ? options.automation : options.advanced) = Index;
}

std::string TFormMain::optionText(TControl Edit)
{
    return editText(Edit);
}

void TFormMain::setOptionText(TControl Edit, const std::string& Text)
{
    setEditText(Edit, Text);
}

std::string TFormMain::myPhone()
{
    if (FormOptions)
        return Platform::FromQString(FormOptions->EditMyPhone->text());
    return options.myPhone;
}

void TFormMain::setMyPhone(const std::string& Text)
{
    options.myPhone = Text;
    if (FormOptions) {
        const QString q = Platform::ToQString(Text);
        if (FormOptions->EditMyPhone->text() != q)
            FormOptions->EditMyPhone->setText(q);
    }
}

void TFormMain::applyOptions()
{
    if (FormOptions) {
        FormOptions->RGroupAutomClick();
        FormOptions->RGroupAdvancedClick();
        FormOptions->EditMyPhoneChange();
        return;
    }
    // Without the dialog its rules in short: the check box only at a user
    // level above basic with automatics 2, and the own number.
    CheckRegul->setVisible(options.advanced >= 1 && options.automation == 2);
    LabelMyPhone->setText(Platform::ToQString(options.myPhone));
    LabelLabMyPhone->setVisible(!options.myPhone.empty());
}

int TFormMain::optionAutomation()
{
    return optionIndex(W::RGroupAutom);
}

int TFormMain::userLevel()
{
    return optionIndex(W::RGroupAdvanced);
}

bool TFormMain::optionsDialogExists()
{
    return FormOptions != nullptr;
}

bool TFormMain::optionsDialogVisible()
{
    return FormOptions && FormOptions->isVisible();
}

void TFormMain::showOptionsDialog()
{
    if (!FormOptions)
        return;
    FormOptions->show();
    FormOptions->raise();
    FormOptions->activateWindow();
}

// ---- The options dialog's view of the main window -----------------------------------

std::string TFormMain::getLangText(const std::string& Section, const std::string& Key, const std::string& Default)
{
    return getLangText(Section, Key, Default, -1);
}

int TFormMain::messageBox2(const std::string& Text, unsigned Flags)
{
    return VTixAppInfo1->MessageBox2(Text, Flags);
}

void TFormMain::setPIN(const std::string& pin)
{
    if (uniset)
        uniset->setPIN(pin);
}

void TFormMain::enterPinAgain()
{
    if (uniset)
        uniset->getHandlers().cpin().confirmPIN();
}

void TFormMain::setTerminalDebugWindowsVisible(bool value)
{
    if (VTixTerminal1)
        VTixTerminal1->SetDebugWindowsVisible(value);
}

// ---- About dialog ---------------------------------------------------------------------

void TFormMain::showAboutDialog()
{
    if (!FormAbout)
        return;
    FormAbout->show();
    FormAbout->raise();
    FormAbout->activateWindow();
}

void TFormMain::setAboutBranded(bool branded)
{
    if (FormAbout)
        FormAbout->branded = branded;
}

void TFormMain::refreshAboutTexts()
{
    if (FormAbout)
        FormAbout->refreshTexts();
}

// ---- Window placement ------------------------------------------------------------------

void TFormMain::loadPositions(bool firstShow)
{
    if (firstShow)
        VTixAppInfo1->loadPositions();
    else
        VTixAppInfo1->loadPositions(false, false);
}

void TFormMain::savePositions()
{
    VTixAppInfo1->savePositions();
}
