// The options and about dialogs under the translation component with the
// built-in texts: English and back to Czech, selections kept, the address
// memos never translated.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <cstdlib>
#include <memory>

#include "app/app_info.h"
#include "app/form_about.h"
#include "app/form_options.h"
#include "app/radio_group.h"
#include "app/url_label.h"
#include "platform/qt/qt_text.h"
#include "tests/app/key_helpers.h"
#include "tests/app/quiet_options_owner.h"
#include "tests/support/config_home.h"
#include "translation/forms/tixlanguage_forms.h"
#include "translation/tixlanguage.h"

namespace {

// The owner's texts come from the language component.
struct Owner : TQuietOptionsOwner {
    explicit Owner(VTixLanguage* l) : lang(l) {}
    QWidget* optionsOwnerWindow() override { return nullptr; }
    std::string getLangText(const std::string& s, const std::string& k, const std::string& d) override
    {
        return lang->GetLangText(s, k, d);
    }
    int messageBox2(const std::string& t, unsigned) override
    {
        asked = t;
        return MsgBox::IDNO;
    }
    VTixLanguage* lang;
    std::string asked;
};

}  // namespace

TEST(DialogTranslation, EnglishAndBackToCzech)
{
    KeyHelpers::AppWithDevices();
    TestSupport::PrivateConfigHome config;
    ASSERT_TRUE(config.IsValid());
    VTixAppInfo info;
    info.SetAppName("Zelvitor");
    TmdURLLabel::SetHandlerProbe([](TmdLinkType) { return true; });

    auto lang = std::make_unique<VTixLanguage>();
    lang->SetCfgDirectory("/no/such/folder");
    lang->SetDefaultSection("Texts");
    lang->ExceptionList = {"FormAbout.MemoAddress", "FormAbout.MemoContact"};
    lang->UseBuiltInTexts();
    auto* forms = new VTixLanguageForms(lang.get());
    Owner owner(lang.get());
    TFormOptions options(&owner);
    TFormAbout about(&info);
    about.SetTextLookup([&](const std::string& s, const std::string& k, const std::string& d) {
        return lang->GetLangText(s, k, d);
    });
    forms->SetLangCombo(options.ComboLang);
    lang->Loaded();
    lang->SetCurrLanguageId(0x0405);
    options.RGroupAdvanced->SetItemIndex(2);
    options.RGroupAutom->SetItemIndex(1);
    const QString address = about.MemoAddress->toPlainText();

    lang->SetCurrLanguageId(0x0809);
    about.refreshTexts();  // as the main window does after a change of language
    EXPECT_EQ(options.windowTitle(), "Options");
    EXPECT_EQ(options.BtnCPINAgain->text(), "Enter");
    EXPECT_EQ(options.LabelLabMyPhone->text(), "My phone number:");
    EXPECT_EQ(options.LabelOftenCSQ->text(), "Test signal quality every");
    EXPECT_EQ(options.RGroupAdvanced->title().trimmed(), "Experience Level");
    EXPECT_EQ(options.RGroupAdvanced->Items(), QStringList({"Basic", "Advanced", "Test mode"}));
    EXPECT_EQ(options.RGroupAutom->Button(1)->text(), "Off when terminal active");
    EXPECT_EQ(options.RGroupAdvanced->ItemIndex(), 2);
    EXPECT_EQ(options.RGroupAutom->ItemIndex(), 1);
    EXPECT_EQ(options.BtnCancel->text(), "Cancel");
    EXPECT_GE(options.ComboLang->count(), 2);
    EXPECT_EQ(options.ComboSCA->count(), 3);  // numbers are not translated
    EXPECT_EQ(about.windowTitle(), "About...");
    EXPECT_EQ(about.GroupContact->title().trimmed(), "Contact");
    EXPECT_EQ(about.BtnDone->text(), "Close");
    EXPECT_EQ(about.LabelAddress1->text(), "Manufacturer:");
    EXPECT_TRUE(about.LabelVersion->text().contains(" Version ")) << about.LabelVersion->text().toStdString();
    EXPECT_EQ(about.MemoAddress->toPlainText(), address);
    // For people to look at: the English dialogs beside the Czech ones.
    const QString dir = QStringLiteral(ZELVITOR_TEST_BUILD_DIR) + "/screenshots";
    QDir().mkpath(dir);
    about.branded = false;
    for (QWidget* w : {static_cast<QWidget*>(&options), static_cast<QWidget*>(&about)}) {
        w->show();
        QCoreApplication::processEvents();
        EXPECT_TRUE(w->grab().save(dir + (w == &about ? "/about_dialog_english.png" : "/options_dialog_english.png")));
        w->hide();
    }
    EXPECT_TRUE(about.LabelVersion->text().contains(" Version "));  // showing refreshes the texts again

    // The question of OK without an SMS centre, in English.
    options.ComboSCA->setCurrentIndex(-1);
    options.ComboSCA->setEditText(QString());
    options.BtnOKClick();
    EXPECT_EQ(owner.asked, "Phone number of SMS service centre is not entered.\nDo you want to read it from SIM card?");

    lang->SetCurrLanguageId(0x0405);
    about.refreshTexts();
    EXPECT_EQ(options.windowTitle(), QString::fromUtf8("Nastavení"));
    EXPECT_EQ(options.RGroupAdvanced->Button(0)->text(), QString::fromUtf8("Základní"));
    EXPECT_EQ(options.RGroupAdvanced->ItemIndex(), 2);
    EXPECT_EQ(about.LabelAddress1->text(), QString::fromUtf8("Výrobce:"));
    EXPECT_TRUE(about.LabelVersion->text().contains(" Verze ")) << about.LabelVersion->text().toStdString();
    EXPECT_EQ(about.MemoAddress->toPlainText(), address);
    forms->SetLangCombo(nullptr);
    TmdURLLabel::SetHandlerProbe({});
}
