// Translation of forms (offscreen): a small form to English and back to
// Czech, padding, memos, radio groups, list views, file dialog filters,
// rich texts, the language combo box and menu, and dialogs created later.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTextEdit>
#include <QTreeWidget>

#include "tests/support/event_loop.h"
#include "tests/support/qt_app.h"
#include "tests/translation/lang_test_support.h"
#include "translation/forms/tixlanguage_forms.h"
#include "translation/tixlanguage.h"

using LangTest::Crlf;
using LangTest::We;

// A control that shows its text the way the check and lamp control does:
// through a property "text" only.
class FakeCheckControl : public QWidget {
    Q_OBJECT
    Q_PROPERTY(QString text READ text WRITE setText)
public:
    using QWidget::QWidget;
    QString text() const { return text_; }
    void setText(const QString& t) { text_ = t; }

private:
    QString text_;
};

// Controls the translation cannot link: reached through registered accessors.
class FakeLamp : public QWidget {
    Q_OBJECT
public:
    using QWidget::QWidget;
    std::string Text;
};
class FakeTray : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    std::string Hint;
};

namespace {

const char* const kCzechForm[] = {
    "[FormTest]", "FormTest=\"Zkouška\"", "LabelName=\"Jméno:\"", "LabelName_Hint=\"Vaše jméno\"",
    "BtnOK=\"Potvrdit\"", "CheckAuto=\"Automaticky\"", "GroupPower=\"Spotřeba\"",
    "RGroupMode=\"Režim\"", "RGroupMode_Count=2", "RGroupMode_0=\"hlas\"", "RGroupMode_1=\"data\"",
    "SheetGeneral=\"Obecné\"", "MenuFile=\"Soubor\"", "ItemFileExit=\"Konec\"",
    "EditPIN=\"kód\"", "MemoInfo_Count=2", "MemoInfo_0=\"první\"", "MemoInfo_1=\"druhý\"",
    "MemoAddress_Count=1", "MemoAddress_0=\"adresa\"", "ListFiles_0=\"Soubor\"", "ListFiles_1=\"Délka\"",
    "CheckDCD=\"Linka\"", "LabelInner=\"Vnitřní\"", "LabelDeep=\"Hluboký\"", "ComboItems_Count=1",
    "ComboItems_0=\"jedna\"", "ComboLang_Count=1", "ComboLang_0=\"nikdy\"", "MenuLang=\"Jazyk\"",
};

const char* const kEnglishForm[] = {
    "[FormTest]", "FormTest=\"Trial\"", "LabelName=\"Name:\"", "LabelName_Hint=\"Your name\"",
    "BtnOK=\"Confirm\"", "CheckAuto=\"Automatic\"", "GroupPower=\"Power\"",
    "RGroupMode=\"Mode\"", "RGroupMode_Count=2", "RGroupMode_0=\"voice\"", "RGroupMode_1=\"data\"",
    "SheetGeneral=\"General\"", "MenuFile=\"File\"", "ItemFileExit=\"Exit\"",
    "EditPIN=\"code\"", "MemoInfo_Count=2", "MemoInfo_0=\"first\"", "MemoInfo_1=\"second\"",
    "MemoAddress_Count=1", "MemoAddress_0=\"address\"", "ListFiles_0=\"File\"", "ListFiles_1=\"Length\"",
    "CheckDCD=\"Line\"", "LabelInner=\"Inner\"", "LabelDeep=\"Deep\"", "ComboItems_Count=1",
    "ComboItems_0=\"one\"", "ComboLang_Count=1", "ComboLang_0=\"never\"", "MenuLang=\"Language\"",
    "[FormLater]", "FormLater=\"Later\"", "LabelLater=\"Translated later\"", "LabelLater_Hint=\"later hint\"",
    "[FormRich]", "RichInfo_Count=2", "RichInfo_0=\"<B>bold</B> &amp; <i>it</i>\"",
    "RichInfo_1=\"&lt;x&gt; <u>under</u> <b>\"", "LabelHtml=\"<b>not bold</b>\"",
};

std::string CzechText(const std::vector<std::string>& extra = {})
{
    std::vector<std::string> lines = {"[General]", "LanguageId=0x0405", "LanguageName=\"Česky\""};
    lines.insert(lines.end(), std::begin(kCzechForm), std::end(kCzechForm));
    lines.insert(lines.end(), extra.begin(), extra.end());
    return "\xEF\xBB\xBF" + Crlf(lines);
}

std::string EnglishText(const std::vector<std::string>& extra = {})
{
    std::vector<std::string> lines = {"[General]", "LanguageId=0x0809", "LanguageName=\"English\""};
    lines.insert(lines.end(), std::begin(kEnglishForm), std::end(kEnglishForm));
    lines.insert(lines.end(), extra.begin(), extra.end());
    return We(Crlf(lines));
}

std::string Neutrals(int id, int codePage)
{
    return Crlf({"[General]", "LanguageId=" + std::to_string(id),
                 "LOCALE_IDEFAULTANSICODEPAGE=" + std::to_string(codePage)});
}

template <typename T>
T* Make(QObject* parent, const char* name)
{
    auto* w = new T(static_cast<QWidget*>(parent));
    w->setObjectName(QString::fromLatin1(name));
    return w;
}

// The form as designed: every text Czech.
struct TestForm {
    bool app = (TestSupport::App(), true);
    std::unique_ptr<QMainWindow> window = std::make_unique<QMainWindow>();
    QLabel* labelName;
    QPushButton* btnOK;
    QCheckBox* checkAuto;
    QGroupBox* groupPower;
    QGroupBox* rgroupMode;
    QRadioButton* radio0;
    QRadioButton* radio1;
    QTabWidget* tabs;
    QWidget* sheetGeneral;
    QMenu* menuFile;
    QAction* itemExit;
    QLineEdit* editPIN;
    QPlainTextEdit* memoInfo;
    QPlainTextEdit* memoAddress;
    QTreeWidget* listFiles;
    FakeCheckControl* checkDCD;
    QLabel* labelInner;
    QLabel* labelDeep;
    QComboBox* comboItems;
    QComboBox* comboLang;
    QMenu* menuLang;

    TestForm()
    {
        QMainWindow* w = window.get();
        w->setObjectName("FormTest");
        w->setWindowTitle(QString::fromUtf8("Zkouška"));
        auto* central = new QWidget(w);  // unnamed: passed through
        w->setCentralWidget(central);
        labelName = Make<QLabel>(central, "LabelName");
        labelName->setText(QString::fromUtf8("Jméno:"));
        btnOK = Make<QPushButton>(central, "BtnOK");
        btnOK->setText("Potvrdit");
        checkAuto = Make<QCheckBox>(central, "CheckAuto");
        checkAuto->setText("Automaticky");
        groupPower = Make<QGroupBox>(central, "GroupPower");
        groupPower->setTitle(QString::fromUtf8("Spotřeba"));
        rgroupMode = Make<QGroupBox>(central, "RGroupMode");
        rgroupMode->setTitle(QString::fromUtf8("Režim"));
        radio0 = Make<QRadioButton>(rgroupMode, "radioButton");
        radio0->setText("hlas");
        radio1 = Make<QRadioButton>(rgroupMode, "radioButton_2");
        radio1->setText("data");
        radio1->setChecked(true);
        tabs = Make<QTabWidget>(central, "PageControl1");
        sheetGeneral = new QWidget;
        sheetGeneral->setObjectName("SheetGeneral");
        tabs->addTab(sheetGeneral, QString::fromUtf8("Obecné"));
        menuFile = Make<QMenu>(w->menuBar(), "MenuFile");
        menuFile->setTitle("Soubor");
        w->menuBar()->addMenu(menuFile);
        itemExit = new QAction("Konec", w);
        itemExit->setObjectName("ItemFileExit");
        menuFile->addAction(itemExit);
        menuLang = Make<QMenu>(w->menuBar(), "MenuLang");
        menuLang->setTitle("Jazyk");
        editPIN = Make<QLineEdit>(sheetGeneral, "EditPIN");
        editPIN->setText("1234");
        memoInfo = Make<QPlainTextEdit>(sheetGeneral, "MemoInfo");
        memoInfo->setPlainText(QString::fromUtf8("první\ndruhý"));
        memoAddress = Make<QPlainTextEdit>(sheetGeneral, "MemoAddress");
        memoAddress->setPlainText("adresa");
        listFiles = Make<QTreeWidget>(sheetGeneral, "ListFiles");
        listFiles->setHeaderLabels({"Soubor", QString::fromUtf8("Délka")});
        checkDCD = Make<FakeCheckControl>(central, "CheckDCD");
        checkDCD->setText("Linka");
        auto* internal = Make<QWidget>(central, "qt_internal");
        labelInner = Make<QLabel>(new QWidget(central), "LabelInner");
        labelInner->setText(QString::fromUtf8("Vnitřní"));
        labelDeep = Make<QLabel>(internal, "LabelDeep");
        labelDeep->setText(QString::fromUtf8("Hluboký"));
        comboItems = Make<QComboBox>(central, "ComboItems");
        comboItems->addItem("jedna");
        comboLang = Make<QComboBox>(central, "ComboLang");
    }
};

struct Component {
    std::unique_ptr<VTixLanguage> language;
    VTixLanguageForms* forms = nullptr;
};

// Component with forms, as the main window sets it up: Czech active.
Component MakeComponent(const std::vector<std::string>& czechExtra = {},
                        const std::vector<std::string>& englishExtra = {},
                        const std::function<void(VTixLanguage&)>& configure = {})
{
    TestSupport::App();
    Component c;
    c.language = std::make_unique<VTixLanguage>();
    c.language->SetCfgDirectory("/no/such/folder");
    c.language->SetStartupLanguages({CzechText(czechExtra), EnglishText(englishExtra)});
    c.language->SetStartupAnyLanguages({Neutrals(5, 1250), Neutrals(9, 1252)});
    c.language->ExceptionList = {"FormTest.MemoAddress"};
    if (configure)
        configure(*c.language);
    c.forms = new VTixLanguageForms(c.language.get());
    c.language->Loaded();
    c.language->SetCurrLanguageId(0x0405);
    return c;
}

QString U(const char* utf8) { return QString::fromUtf8(utf8); }

}  // namespace

TEST(FormTranslation, SmallFormToEnglishAndBackToCzech)
{
    TestForm f;
    Component c = MakeComponent();
    c.language->SetCurrLanguageId(0x0809);
    EXPECT_EQ(f.window->windowTitle(), "Trial");
    EXPECT_EQ(f.labelName->text(), "Name:");
    EXPECT_EQ(f.labelName->toolTip(), "Your name");
    EXPECT_EQ(f.btnOK->text(), "Confirm");
    EXPECT_EQ(f.checkAuto->text(), "Automatic");
    EXPECT_EQ(f.groupPower->title(), " Power ");
    EXPECT_EQ(f.rgroupMode->title(), " Mode ");
    EXPECT_EQ(f.radio0->text(), "voice");
    EXPECT_TRUE(f.radio1->isChecked());
    EXPECT_EQ(f.tabs->tabText(0), "General");
    EXPECT_EQ(f.menuFile->title(), "File");
    EXPECT_EQ(f.itemExit->text(), "Exit");
    EXPECT_EQ(f.listFiles->headerItem()->text(1), "Length");
    EXPECT_EQ(f.checkDCD->text(), "Line");
    EXPECT_EQ(f.labelInner->text(), "Inner");
    EXPECT_EQ(f.labelDeep->text(), "Deep");
    EXPECT_EQ(f.memoInfo->toPlainText(), U("první\ndruhý")) << "memos only by their rule";
    EXPECT_EQ(f.memoAddress->toPlainText(), "address") << "the exception inverts the memo rule";
    EXPECT_EQ(f.editPIN->text(), "1234") << "edits only by their rule";
    EXPECT_EQ(f.comboItems->itemText(0), "jedna");

    c.language->SetCurrLanguageId(0x0405);
    EXPECT_EQ(f.window->windowTitle(), U("Zkouška"));
    EXPECT_EQ(f.labelName->text(), U("Jméno:"));
    EXPECT_EQ(f.labelName->toolTip(), U("Vaše jméno"));
    EXPECT_EQ(f.btnOK->text(), "Potvrdit");
    EXPECT_EQ(f.groupPower->title(), U(" Spotřeba "));
    EXPECT_EQ(f.radio0->text(), "hlas");
    EXPECT_TRUE(f.radio1->isChecked());
    EXPECT_EQ(f.tabs->tabText(0), U("Obecné"));
    EXPECT_EQ(f.menuFile->title(), "Soubor");
    EXPECT_EQ(f.itemExit->text(), "Konec");
    EXPECT_EQ(f.listFiles->headerItem()->text(1), U("Délka"));
    EXPECT_EQ(f.checkDCD->text(), "Linka");
    EXPECT_EQ(f.memoAddress->toPlainText(), "adresa");
}

TEST(FormTranslation, RulesSwitchedOnTranslateEditsCombosAndMemos)
{
    TestForm f;
    Component c = MakeComponent({}, {}, [](VTixLanguage& l) {
        l.Translate.Include(vtl_tEdit);
        l.Translate.Include(vtl_tComboBox);
        l.Translate.Include(vtl_tMemo);
    });
    c.language->SetCurrLanguageId(0x0809);
    EXPECT_EQ(f.editPIN->text(), "code");
    EXPECT_EQ(f.comboItems->itemText(0), "one");
    EXPECT_EQ(f.memoInfo->toPlainText(), "first\nsecond");
    EXPECT_EQ(f.memoAddress->toPlainText(), "adresa") << "the exception now excludes it";
}

TEST(FormTranslation, GroupBoxPadding)
{
    TestForm f;
    Component c = MakeComponent({}, {"[FormTest]", "GroupA=\"x\"", "GroupB=\" x \"", "GroupC=\" x\"",
                                     "GroupD=\"\""});
    auto* a = Make<QGroupBox>(f.window->centralWidget(), "GroupA");
    auto* b = Make<QGroupBox>(f.window->centralWidget(), "GroupB");
    auto* d = Make<QGroupBox>(f.window->centralWidget(), "GroupD");
    auto* cc = Make<QGroupBox>(f.window->centralWidget(), "GroupC");
    d->setTitle("was");
    c.language->SetCurrLanguageId(0x0809);
    EXPECT_EQ(a->title(), " x ");
    EXPECT_EQ(b->title(), " x ");
    EXPECT_EQ(cc->title(), " x ");
    EXPECT_EQ(d->title(), "");
    c.language->Pad.Exclude(vtl_pGroupBox);
    c.language->SetCurrLanguageId(0x0405);
    c.language->SetCurrLanguageId(0x0809);
    EXPECT_EQ(a->title(), "x");
    EXPECT_EQ(cc->title(), " x");
    EXPECT_EQ(f.rgroupMode->title(), " Mode ") << "radio groups keep their own padding";
}

TEST(FormTranslation, MemoCountDecidesTheLines)
{
    TestForm f;
    Component c = MakeComponent({}, {"[FormTest]", "Memo4_Count=4", "Memo4_0=\"a\"", "Memo4_2=\"c\"",
                                     "Memo1_Count=1", "Memo1_0=\"only\"", "MemoHuge_Count=2000000000",
                                     "MemoHuge_1=\"one\""},
                                [](VTixLanguage& l) { l.Translate.Include(vtl_tMemo); });
    auto* m4 = Make<QPlainTextEdit>(f.window->centralWidget(), "Memo4");
    m4->setPlainText("x\ny");
    auto* m1 = Make<QPlainTextEdit>(f.window->centralWidget(), "Memo1");
    m1->setPlainText("x\nkept");
    auto* huge = Make<QPlainTextEdit>(f.window->centralWidget(), "MemoHuge");
    QElapsedTimer t;
    t.start();
    c.language->SetCurrLanguageId(0x0809);
    EXPECT_EQ(m4->toPlainText(), "a\ny\nc\n");
    EXPECT_EQ(m1->toPlainText(), "only\nkept");
    const QStringList lines = huge->toPlainText().split('\n');
    EXPECT_EQ(lines.value(1), "one");
    EXPECT_LE(lines.size(), 4096);
    EXPECT_LT(t.elapsed(), 60000);
}

TEST(FormTranslation, RadioGroupInExceptionListIsTranslatedAndKeepsItsSelection)
{
    TestForm f;
    Component c = MakeComponent({}, {"[FormTest]", "RGroupFax=\"Fax\"", "RGroupFax_Count=3",
                                     "RGroupFax_0=\"A\"", "RGroupFax_2=\"C\""},
                                [](VTixLanguage& l) { l.ExceptionList.push_back("FormTest.RGroup*"); });
    auto* group = Make<QGroupBox>(f.window->centralWidget(), "RGroupFax");
    group->setTitle("Faks");
    auto* a = Make<QRadioButton>(group, "a");
    a->setText("a");
    auto* b = Make<QRadioButton>(group, "b");
    b->setText("b");
    b->setChecked(true);
    c.language->SetCurrLanguageId(0x0809);
    EXPECT_EQ(f.radio0->text(), "voice");
    EXPECT_EQ(group->title(), "Faks") << "its caption follows the exception";
    const QList<QRadioButton*> radios = group->findChildren<QRadioButton*>();
    ASSERT_EQ(radios.size(), 3);
    EXPECT_EQ(radios[0]->text(), "A");
    EXPECT_EQ(radios[1]->text(), "b");
    EXPECT_EQ(radios[2]->text(), "C");
    EXPECT_TRUE(b->isChecked());
}

TEST(FormTranslation, FilterTranslationKeepsThePatternsOfTheForm)
{
    TestForm f;
    Component c = MakeComponent({}, {"[FormTest]", "OpenDialogPB=\"Load phonebook\"",
                                     "OpenDialogPB_Filter=\"Phonebook (*.ini)|*.txt\""});
    auto* dialog = new QFileDialog(f.window.get());
    dialog->setObjectName("OpenDialogPB");
    dialog->setOption(QFileDialog::DontUseNativeDialog);
    dialog->setWindowTitle(U("Načíst"));
    dialog->setProperty("filter", U("Seznam (*.ini)|*.ini|Všechny soubory (*.*)|*.*"));
    c.language->SetCurrLanguageId(0x0809);
    EXPECT_EQ(dialog->windowTitle(), "Load phonebook");
    EXPECT_EQ(dialog->property("filter").toString(), "Phonebook (*.ini)|*.ini");
    EXPECT_EQ(dialog->nameFilters(), QStringList{"Phonebook (*.ini)"});
}

TEST(FormTranslation, FilterDescriptionsByIndexFromNameFilters)
{
    TestForm f;
    Component c = MakeComponent({}, {"[FormTest]", "SaveDialogCfg_Filter_0=\"Configuration\"",
                                     "SaveDialogCfg_Filter_1=\"Everything\""});
    auto* dialog = new QFileDialog(f.window.get());
    dialog->setObjectName("SaveDialogCfg");
    dialog->setOption(QFileDialog::DontUseNativeDialog);
    dialog->setNameFilters({U("Konfigurace (*.cfg)"), U("Vše (*.a *.b)")});
    c.language->SetCurrLanguageId(0x0809);
    EXPECT_EQ(dialog->nameFilters(), (QStringList{"Configuration (*.cfg)", "Everything (*.a *.b)"}));
}

TEST(FormTranslation, LabelsShowTranslatedMarkupAsPlainText)
{
    TestSupport::App();
    Component c = MakeComponent();
    QWidget form;
    form.setObjectName("FormRich");
    auto* label = Make<QLabel>(&form, "LabelHtml");
    label->setText("<i>design</i>");
    c.language->SetCurrLanguageId(0x0809);
    EXPECT_EQ(label->text(), "<b>not bold</b>");
    EXPECT_EQ(label->textFormat(), Qt::PlainText);
}

TEST(FormTranslation, RichEditTakesTheTaggedForm)
{
    TestSupport::App();
    Component c = MakeComponent({}, {}, [](VTixLanguage& l) {
        l.Translate.Include(vtl_tRichEdit);
        l.Translate.Include(vtl_t_RichHTML);
    });
    QWidget form;
    form.setObjectName("FormRich");
    auto* rich = Make<QTextEdit>(&form, "RichInfo");
    rich->setPlainText("design");
    c.language->SetCurrLanguageId(0x0809);
    EXPECT_EQ(rich->toPlainText(), "bold & it\n<x> under ");
    QTextCursor cursor(rich->document());
    cursor.setPosition(2);
    EXPECT_EQ(cursor.charFormat().fontWeight(), QFont::Bold);
    cursor.setPosition(6);
    EXPECT_NE(cursor.charFormat().fontWeight(), QFont::Bold);
    cursor.setPosition(8);
    EXPECT_TRUE(cursor.charFormat().fontItalic());
    cursor.setPosition(16);
    EXPECT_TRUE(cursor.charFormat().fontUnderline());
    EXPECT_TRUE(rich->toHtml().contains("under"));
    EXPECT_FALSE(rich->toPlainText().contains("<b>"));
}

TEST(FormTranslation, LanguageComboAndMenuListTheLanguagesAndAreNeverTranslated)
{
    TestForm f;
    Component c = MakeComponent();
    c.forms->SetLangCombo(f.comboLang);
    c.forms->SetLangMenu(f.menuLang);
    ASSERT_EQ(f.comboLang->count(), 2);
    const int english = f.comboLang->findText("English");
    ASSERT_GE(english, 0);
    EXPECT_EQ(f.comboLang->currentIndex(), c.language->GetActiveIndex());
    ASSERT_EQ(f.menuLang->actions().size(), 2);
    EXPECT_FALSE(f.menuLang->icon().isNull());
    f.comboLang->setCurrentIndex(english);
    EXPECT_EQ(c.language->GetCurrLanguageId(), 0x0809);
    EXPECT_EQ(f.labelName->text(), "Name:");
    EXPECT_EQ(f.comboLang->count(), 2);
    EXPECT_EQ(f.comboLang->itemText(english), "English");
    EXPECT_EQ(f.menuLang->title(), "Language");
    EXPECT_TRUE(f.menuLang->actions()[english]->isChecked());
    EXPECT_TRUE(f.menuLang->actions()[english]->font().bold());
    EXPECT_EQ(f.menuLang->actions()[english]->text(), "English");
    const int czech = 1 - english;
    f.menuLang->actions()[czech]->trigger();
    EXPECT_EQ(c.language->GetCurrLanguageId(), 0x0405);
    EXPECT_EQ(f.comboLang->currentIndex(), czech);
    EXPECT_EQ(f.comboLang->itemText(czech), U("Česky"));
    // The same language again changes nothing.
    int changes = 0;
    c.language->OnChangeLanguage = [&changes](VTixLanguage*) { ++changes; };
    f.comboLang->setCurrentIndex(czech);
    EXPECT_EQ(changes, 0);
    c.forms->SetLangCombo(nullptr);
    EXPECT_EQ(f.comboLang->count(), 0);
}

TEST(FormTranslation, DialogCreatedLaterIsTranslatedOnceTheEventLoopRuns)
{
    TestSupport::App();
    Component c = MakeComponent();
    c.language->SetCurrLanguageId(0x0809);
    auto dialog = std::make_unique<QDialog>();
    dialog->setObjectName("FormLater");
    dialog->setWindowTitle("Pozdě");
    auto* label = Make<QLabel>(dialog.get(), "LabelLater");
    label->setText(U("Přeloženo později"));
    EXPECT_EQ(label->text(), U("Přeloženo později"));
    ASSERT_TRUE(TestSupport::ProcessUntil([&] { return label->text() == "Translated later"; }, 5000));
    EXPECT_EQ(label->toolTip(), "later hint");
    EXPECT_EQ(dialog->windowTitle(), "Later");
    // A dialog gone before the loop runs is simply skipped.
    {
        QDialog gone;
        gone.setObjectName("FormLater");
    }
    QApplication::processEvents();
}

TEST(FormTranslation, TranslatedEventNamesEveryComponentWithItsSection)
{
    TestForm f;
    Component c = MakeComponent();
    std::vector<std::pair<QString, std::string>> seen;
    c.language->OnTranslated = [&seen](VTixLanguage*, QObject* comp, const std::string& section) {
        seen.emplace_back(comp->objectName(), section);
    };
    c.forms->SetLangCombo(f.comboLang);
    c.language->SetCurrLanguageId(0x0809);
    auto has = [&seen](const char* name) {
        for (const auto& s : seen)
            if (s.first == name)
                return s.second == "FormTest";
        return false;
    };
    EXPECT_TRUE(has("LabelName"));
    EXPECT_TRUE(has("ListFiles"));
    EXPECT_TRUE(has("FormTest"));
    EXPECT_FALSE(has("ComboLang"));
    EXPECT_TRUE(has("radioButton_2"));
}

TEST(FormTranslation, FormSuffixAndUnnamedFormsAndRoots)
{
    TestSupport::App();
    Component c = MakeComponent({}, {"[FormRich.Big]", "LabelHtml=\"big\"", "[Other]", "LabelHtml=\"other\""});
    c.language->SetAllFormsSuffix(".Big");
    QWidget form;
    form.setObjectName("FormRich");
    auto* label = Make<QLabel>(&form, "LabelHtml");
    QWidget unnamed;
    auto* label2 = Make<QLabel>(&unnamed, "LabelHtml");
    label2->setText("untouched");
    c.language->SetCurrLanguageId(0x0809);
    EXPECT_EQ(label->text(), "big");
    EXPECT_EQ(label2->text(), "untouched");
    c.language->TranslateTree("", &form);
    EXPECT_EQ(label->text(), "big") << "an empty section never sets names as texts";
    c.language->TranslateTree("Other", label);
    EXPECT_EQ(label->text(), "other");
}

TEST(FormTranslation, RegisteredClassesAreReachedThroughTheirAccessors)
{
    TestForm f;
    Component c = MakeComponent({}, {"[FormTest]", "LampA=\"Lamp on\"", "LampA_Hint=\"lamp tip\"",
                                     "TrayA_Hint=\"tray tip\"", "TrayA=\"never\""});
    c.forms->RegisterControlClass(
        "FakeLamp", [](QObject* o) { return QString::fromStdString(static_cast<FakeLamp*>(o)->Text); },
        [](QObject* o, const QString& t) { static_cast<FakeLamp*>(o)->Text = t.toStdString(); });
    c.forms->RegisterControlClass(
        "FakeTray", {}, {}, [](QObject* o) { return QString::fromStdString(static_cast<FakeTray*>(o)->Hint); },
        [](QObject* o, const QString& t) { static_cast<FakeTray*>(o)->Hint = t.toStdString(); });
    auto* lamp = Make<FakeLamp>(f.window->centralWidget(), "LampA");
    lamp->Text = " Svítí ";
    auto* tray = new FakeTray(f.window.get());
    tray->setObjectName("TrayA");
    tray->Hint = "old";
    c.language->SetCurrLanguageId(0x0809);
    EXPECT_EQ(lamp->Text, "Lamp on");
    EXPECT_EQ(lamp->toolTip(), "lamp tip");
    EXPECT_EQ(tray->Hint, "tray tip");
}

TEST(FormTranslation, DockedFormKeepsItsSectionAndShowsItsTitleOnTheTab)
{
    TestForm f;
    Component c = MakeComponent({}, {"[FormDocked]", "FormDocked=\"Docked\"", "BtnDocked=\"Inside\"",
                                     "[FormTest]", "BtnDocked=\"wrong section\""});
    auto* docked = new QWidget;
    docked->setObjectName("FormDocked");
    docked->setProperty("tixForm", true);
    auto* button = Make<QPushButton>(docked, "BtnDocked");
    f.tabs->addTab(docked, "Terminal");
    c.language->SetCurrLanguageId(0x0809);
    EXPECT_EQ(docked->windowTitle(), "Docked");
    EXPECT_EQ(f.tabs->tabText(1), "Docked");
    EXPECT_EQ(button->text(), "Inside");
}

#include "form_translation_test.moc"
