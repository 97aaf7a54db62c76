// The options dialog: what the user level and the automatics show on the
// main window, the edits' handlers, and the OK and close flow with the
// first run that only OK can end.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <memory>
#include <string>
#include <vector>

#include "app/app_info.h"
#include "app/form_options.h"
#include "app/radio_group.h"
#include "platform/qt/qt_text.h"
#include "tests/app/key_helpers.h"
#include "tests/app/quiet_options_owner.h"

using namespace MsgBox;

namespace {

// The main window as the dialog sees it: a window with the named controls
// and the members, recording what the dialog asks of it.
class FakeMainWindow : public VOptionsOwner {
public:
    FakeMainWindow()
    {
        KeyHelpers::AppWithDevices();
        window = std::make_unique<QWidget>();
        for (const char* name : {"BtnCHUP", "BtnTestSrc", "BtnTestDst", "Button3", "Button2", "Button1"})
            add(new QPushButton(QString::fromLatin1(name), window.get()), name);
        for (const char* name : {"CheckRing", "CheckDCD", "CheckPhonebookActive", "CheckRegul"})
            add(new QCheckBox(window.get()), name);
        add(new QLineEdit(window.get()), "Edit1");
        add(new QLabel(window.get()), "LabelMyPhone");
        add(new QLabel(window.get()), "LabelLabMyPhone");
    }

    QWidget* control(const char* name) const { return window->findChild<QWidget*>(QLatin1String(name)); }
    // Visible as the control's own flag (the window itself is not shown).
    bool shown(const char* name) const { return !control(name)->isHidden(); }

    QWidget* optionsOwnerWindow() override { return window.get(); }
    bool getFirstRun() override { return firstRun; }
    void setFirstRun(bool value) override { firstRun = value; }
    void setConfigClean(bool value) override { configClean = value; }
    std::string getLangText(const std::string& Section, const std::string& Key, const std::string& Default) override
    {
        lookups.push_back(Section + "/" + Key);
        return Default;
    }
    int messageBox2(const std::string& Text, unsigned Flags) override
    {
        boxTexts.push_back(Text);
        boxFlags.push_back(Flags);
        return answer;
    }
    void setPIN(const std::string& pin) override { pins.push_back(pin); }
    void enterPinAgain() override { ++pinAgain; }
    void writeSCANumber() override { ++scaWrites; }
    void setShowSMSStateAsText(bool value) override { smsStateAsText = value; }
    void setTerminalDebugWindowsVisible(bool value) override { debugWindows = value; }

    std::unique_ptr<QWidget> window;
    bool firstRun = false;
    bool configClean = true;
    std::vector<std::string> lookups;
    std::vector<std::string> boxTexts;
    std::vector<unsigned> boxFlags;
    int answer = IDYES;
    std::vector<std::string> pins;
    int pinAgain = 0;
    int scaWrites = 0;
    int smsStateAsText = -1;
    int debugWindows = -1;

private:
    void add(QWidget* w, const char* name) { w->setObjectName(QLatin1String(name)); }
};

struct Options : ::testing::Test {
    void SetUp() override
    {
        KeyHelpers::AppWithDevices();
        dialog = std::make_unique<TFormOptions>(&main);
    }
    void TearDown() override
    {
        if (dialog)
            dialog->hide();
        dialog.reset();
        QCoreApplication::processEvents();
    }
    // What the user does: click an item of a radio group.
    void pick(TRadioGroup* group, int index) { group->Button(index)->click(); }
    void level(int index) { pick(dialog->RGroupAdvanced, index); }

    FakeMainWindow main;
    std::unique_ptr<TFormOptions> dialog;
};

}  // namespace

TEST_F(Options, ControlsCarryTheirNamesAndCzechTexts)
{
    EXPECT_EQ(dialog->objectName(), "FormOptions");
    EXPECT_EQ(dialog->windowTitle(), QString::fromUtf8("Nastavení"));
    for (const char* name : {"LabelPIN", "EditPIN", "BtnCPINAgain", "LabelLabMyPhone", "EditMyPhone", "LabelSCSA",
                             "ComboSCA", "BtnCSCAAgain", "LabelLang", "ComboLang", "LabelOftenCSQ", "EditOftenCSQ",
                             "LabelCSQUnits", "RGroupAdvanced", "RGroupAutom", "BtnOK", "BtnCancel"})
        EXPECT_NE(dialog->findChild<QWidget*>(QLatin1String(name)), nullptr) << name;
    EXPECT_EQ(dialog->LabelLabMyPhone->text(), QString::fromUtf8("Moje telefonní číslo:"));
    EXPECT_EQ(dialog->LabelOftenCSQ->text(), QString::fromUtf8("Zjišťovat kvalitu signálu po"));
    EXPECT_EQ(dialog->EditOftenCSQ->text(), "15");
    EXPECT_EQ(dialog->RGroupAdvanced->title(), QString::fromUtf8("Ovládání"));
    EXPECT_EQ(dialog->RGroupAdvanced->Items(),
              QStringList({QString::fromUtf8("Základní"), QString::fromUtf8("Pokročilé"),
                           QString::fromUtf8("Testovací režim")}));
    EXPECT_EQ(dialog->RGroupAutom->Items(),
              QStringList({QString::fromUtf8("Vždy zapnuto"), QString::fromUtf8("Vypnout při aktivním terminálu"),
                           QString::fromUtf8("Zobrazit zaškrtávač")}));
    EXPECT_EQ(dialog->RGroupAdvanced->ItemIndex(), 0);
    EXPECT_EQ(dialog->RGroupAutom->ItemIndex(), 0);
    ASSERT_EQ(dialog->ComboSCA->count(), 3);
    EXPECT_EQ(dialog->ComboSCA->itemText(1), "+420603052100 \"CZE Radiomobil\"");
    EXPECT_TRUE(dialog->ComboSCA->currentText().isEmpty());
    EXPECT_EQ(dialog->ComboLang->itemText(0), QString::fromUtf8("Čeština"));
    EXPECT_EQ(dialog->BtnCancel->text(), "Storno");
    // Items the translation replaces: through the radio group's properties.
    dialog->RGroupAutom->setProperty("items", QStringList({"Always on", "Off when terminal active", "Show checkbox"}));
    EXPECT_EQ(dialog->RGroupAutom->Button(1)->text(), "Off when terminal active");
    EXPECT_EQ(dialog->RGroupAutom->property("itemIndex").toInt(), 0);
}

TEST_F(Options, UserLevelShowsAndHidesTheMainWindowControls)
{
    pick(dialog->RGroupAutom, 2);
    level(1);
    EXPECT_FALSE(dialog->RGroupAutom->isHidden());
    EXPECT_TRUE(main.shown("CheckRing"));
    EXPECT_TRUE(main.shown("CheckDCD"));
    EXPECT_TRUE(main.shown("CheckPhonebookActive"));
    EXPECT_TRUE(main.shown("CheckRegul"));
    EXPECT_FALSE(main.shown("BtnCHUP"));
    for (const char* name : {"BtnTestSrc", "BtnTestDst", "Edit1", "Button3", "Button2", "Button1"})
        EXPECT_FALSE(main.shown(name)) << name;
    EXPECT_EQ(main.smsStateAsText, 0);
    EXPECT_EQ(main.debugWindows, 0);

    // Test mode: the six test controls, the hang-up button and the
    // terminal's debug windows.
    level(2);
    EXPECT_TRUE(main.shown("BtnCHUP"));
    for (const char* name : {"BtnTestSrc", "BtnTestDst", "Edit1", "Button3", "Button2", "Button1"})
        EXPECT_TRUE(main.shown(name)) << name;
    EXPECT_EQ(main.debugWindows, 1);
    EXPECT_EQ(main.smsStateAsText, 0);
    EXPECT_TRUE(main.shown("CheckRegul"));

    // Basic: the automatics group goes and with it CheckRegul, although
    // automatics is still 2.
    level(0);
    EXPECT_TRUE(dialog->RGroupAutom->isHidden());
    EXPECT_EQ(dialog->RGroupAutom->ItemIndex(), 2);
    EXPECT_FALSE(main.shown("CheckRegul"));
    EXPECT_FALSE(main.shown("CheckRing"));
    EXPECT_FALSE(main.shown("CheckDCD"));
    EXPECT_FALSE(main.shown("CheckPhonebookActive"));
    EXPECT_FALSE(main.shown("BtnCHUP"));
    for (const char* name : {"BtnTestSrc", "BtnTestDst", "Edit1", "Button3", "Button2", "Button1"})
        EXPECT_FALSE(main.shown(name)) << name;
    EXPECT_EQ(main.smsStateAsText, 1);
    EXPECT_EQ(main.debugWindows, 0);
}

TEST_F(Options, AutomaticsShowsCheckRegulOnlyForItemTwoWhileItsGroupIsShown)
{
    level(1);
    for (int item : {0, 1, 2, 1, 2, 0}) {
        pick(dialog->RGroupAutom, item);
        EXPECT_EQ(main.shown("CheckRegul"), item == 2) << item;
    }
    // Applied from code at start-up with the group hidden (level 0).
    dialog->RGroupAdvanced->SetItemIndex(0);
    dialog->RGroupAutom->SetItemIndex(2);
    dialog->RGroupAutomClick();
    dialog->RGroupAdvancedClick();
    EXPECT_FALSE(main.shown("CheckRegul"));
    // Start-up order (automatics first) with level 1: shown.
    dialog->RGroupAdvanced->SetItemIndex(1);
    dialog->RGroupAutomClick();
    dialog->RGroupAdvancedClick();
    EXPECT_TRUE(main.shown("CheckRegul"));
}

TEST_F(Options, OnlyChangesMarkTheConfigurationChanged)
{
    // Setting values from code (loading a configuration) changes nothing.
    dialog->RGroupAdvanced->SetItemIndex(2);
    dialog->RGroupAutom->SetItemIndex(1);
    EXPECT_TRUE(main.configClean);
    EXPECT_TRUE(main.shown("CheckRing"));  // nothing applied yet

    // A click on the selected item is no change.
    pick(dialog->RGroupAdvanced, 2);
    EXPECT_TRUE(main.configClean);
    pick(dialog->RGroupAdvanced, 1);
    EXPECT_FALSE(main.configClean);

    struct Change {
        const char* what;
        std::function<void()> act;
    } changes[] = {
        {"automatics", [&] { pick(dialog->RGroupAutom, 2); }},
        {"PIN", [&] { dialog->EditPIN->setText("1234"); }},
        {"own number", [&] { dialog->EditMyPhone->setText("+420777000111"); }},
        {"interval", [&] { dialog->EditOftenCSQ->setText("30"); }},
    };
    for (const Change& c : changes) {
        main.configClean = true;
        c.act();
        EXPECT_FALSE(main.configClean) << c.what;
    }
}

TEST_F(Options, IntervalTextIsBlueUnlessItIsANumberNotBelowZero)
{
    auto colour = [&] { return dialog->EditOftenCSQ->palette().color(QPalette::Text); };
    const QColor blue(0, 0, 255), black(0, 0, 0);
    struct {
        const char* text;
        QColor expected;
    } cases[] = {{"x", blue}, {"0", black}, {"15", black}, {"-5", blue}, {"", blue},
                 {"1x", blue}, {"2147483647", black}, {"2147483648", blue}, {"-", blue}};
    for (const auto& c : cases) {
        dialog->EditOftenCSQ->setText(QString::fromLatin1(c.text));
        EXPECT_EQ(colour(), c.expected) << c.text;
    }
    EXPECT_EQ(TFormOptions::ParseInterval("15"), 15);
    EXPECT_EQ(TFormOptions::ParseInterval("+7"), 7);
    EXPECT_EQ(TFormOptions::ParseInterval("-3"), -3);
    EXPECT_EQ(TFormOptions::ParseInterval("99999999999999999999"), -1);
    EXPECT_EQ(TFormOptions::ParseInterval(" 5"), -1);
    EXPECT_EQ(TFormOptions::ParseInterval("5 "), -1);
}

TEST_F(Options, PinEditsReachTheEngineAndEnableEnteringAgain)
{
    dialog->show();
    EXPECT_FALSE(dialog->BtnCPINAgain->isEnabled());  // showing disables it
    dialog->EditPIN->setText("12");
    EXPECT_TRUE(dialog->BtnCPINAgain->isEnabled());
    dialog->BtnCPINAgain->click();
    EXPECT_EQ(main.pinAgain, 1);
    EXPECT_FALSE(dialog->BtnCPINAgain->isEnabled());
    dialog->EditPIN->setText("1234");
    EXPECT_TRUE(dialog->BtnCPINAgain->isEnabled());
    EXPECT_EQ(main.pins, (std::vector<std::string>{"12", "1234"}));
    dialog->hide();
    dialog->show();
    EXPECT_FALSE(dialog->BtnCPINAgain->isEnabled());
    EXPECT_EQ(dialog->EditPIN->echoMode(), QLineEdit::Password);
}

TEST_F(Options, OwnNumberShowsOnTheMainWindow)
{
    dialog->EditMyPhone->setText("+420 777 000 111");
    EXPECT_EQ(static_cast<QLabel*>(main.control("LabelMyPhone"))->text(), "+420 777 000 111");
    EXPECT_TRUE(main.shown("LabelLabMyPhone"));
    dialog->EditMyPhone->clear();
    EXPECT_TRUE(static_cast<QLabel*>(main.control("LabelMyPhone"))->text().isEmpty());
    EXPECT_FALSE(main.shown("LabelLabMyPhone"));
}

TEST_F(Options, FirstRunClosesOnlyThroughOk)
{
    main.firstRun = true;
    dialog->ComboSCA->setCurrentIndex(0);
    dialog->show();
    ASSERT_TRUE(dialog->isVisible());
    EXPECT_FALSE(dialog->BtnCancel->isEnabled());
    EXPECT_FALSE(dialog->isModal());

    // The close button, Escape and Cancel (even if it were pressed) are refused.
    dialog->close();
    EXPECT_TRUE(dialog->isVisible());
    dialog->reject();
    EXPECT_TRUE(dialog->isVisible());
    dialog->BtnCancelClick(dialog->BtnCancel);
    EXPECT_TRUE(dialog->isVisible());
    bool canClose = true;
    dialog->FormCloseQuery(dialog.get(), canClose);
    EXPECT_FALSE(canClose);
    EXPECT_TRUE(main.firstRun);

    dialog->BtnOK->click();
    EXPECT_FALSE(main.firstRun);
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(main.pinAgain, 1);
    EXPECT_EQ(main.scaWrites, 1);
    EXPECT_TRUE(main.boxTexts.empty());

    // Afterwards Cancel works.
    dialog->show();
    EXPECT_TRUE(dialog->BtnCancel->isEnabled());
    dialog->BtnCancel->click();
    EXPECT_FALSE(dialog->isVisible());
}

TEST_F(Options, OkWithoutSmsCentreAsksAndNoKeepsTheDialogOpen)
{
    main.firstRun = true;
    dialog->show();
    dialog->EditPIN->setText("1234");
    main.answer = IDNO;
    dialog->BtnOK->click();
    ASSERT_EQ(main.boxTexts.size(), 1u);
    EXPECT_EQ(main.boxTexts[0], Platform::FromQString(QString::fromUtf8(
                                    "Není vloženo číslo servisního centra SMS zpráv.\nChcete jej načíst ze SIM karty?"),
                                                      1250));
    EXPECT_EQ(main.boxFlags[0], 52u);
    EXPECT_EQ(main.lookups, (std::vector<std::string>{"Texts/ConfirmSCA", "Texts/ConfirmSCA2"}));
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_FALSE(main.firstRun);  // cleared before the question
    EXPECT_EQ(main.pinAgain, 1);
    EXPECT_FALSE(dialog->BtnCPINAgain->isEnabled());
    EXPECT_EQ(main.scaWrites, 0);

    main.answer = IDYES;
    dialog->BtnOK->click();
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(main.scaWrites, 0);  // the number is to come from the SIM card
}

TEST_F(Options, CancelKeepsWhatWasEdited)
{
    dialog->show();
    EXPECT_TRUE(dialog->BtnCancel->isEnabled());
    dialog->EditMyPhone->setText("123");
    pick(dialog->RGroupAdvanced, 2);
    dialog->BtnCancel->click();
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(dialog->EditMyPhone->text(), "123");
    EXPECT_EQ(dialog->RGroupAdvanced->ItemIndex(), 2);
    EXPECT_EQ(main.scaWrites, 0);
    EXPECT_EQ(main.pinAgain, 0);
}

TEST_F(Options, SmsCentreButtonWritesTheNumber)
{
    dialog->ComboSCA->setEditText("+420123456789");
    dialog->BtnCSCAAgain->click();
    EXPECT_EQ(main.scaWrites, 1);
}

TEST(OptionsWithoutControls, MissingMainWindowControlsAreSkipped)
{
    KeyHelpers::AppWithDevices();
    TQuietOptionsOwner bare;
    TFormOptions dialog(&bare);
    ASSERT_TRUE(bare.window.findChildren<QWidget*>().isEmpty());
    for (int i : {2, 0, 1}) {
        dialog.RGroupAdvanced->Button(i)->click();
        dialog.RGroupAutom->Button(2)->click();
    }
    dialog.EditMyPhone->setText("1");
    EXPECT_FALSE(dialog.RGroupAutom->isHidden());
}

TEST(RadioGroup, IndexOutsideTheItemsClearsTheSelection)
{
    KeyHelpers::AppWithDevices();
    TRadioGroup group(QStringLiteral("G"));
    int clicks = 0;
    group.SetOnClick([&](QObject*) { ++clicks; });
    group.SetItems({"a", "b", "c"});
    EXPECT_EQ(group.ItemIndex(), -1);
    group.SetItemIndex(1);
    EXPECT_EQ(group.ItemIndex(), 1);
    group.SetItemIndex(5);
    EXPECT_EQ(group.ItemIndex(), -1);
    group.SetItemIndex(2);
    group.SetItems({"x", "y"});  // the selected item is gone
    EXPECT_EQ(group.ItemIndex(), -1);
    group.SetItems({"x", "y", "z", "w"});
    EXPECT_EQ(group.Items().size(), 4);
    group.Button(3)->click();
    EXPECT_EQ(group.ItemIndex(), 3);
    EXPECT_EQ(clicks, 1);
}
