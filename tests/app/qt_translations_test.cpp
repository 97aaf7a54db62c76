// Qt's own dialog texts in the program's language: the real message box of
// the main window shows its buttons in the active language and follows a
// language switch; without Qt's translation files the buttons stay English.
#include <QApplication>
#include <QCoreApplication>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <map>

#include "tests/app/main_window_fixture.h"
#include "translation/qt_translations.h"
#include "translation/tixlanguage.h"

using namespace MainWindowTest;
using namespace MsgBox;

namespace {

// What a real box showed: the text of each of its standard buttons, without
// the mnemonic mark.
using TButtonTexts = std::map<QMessageBox::StandardButton, std::string>;

// Asks through info, finds the box on the screen, reads its buttons and
// presses "No" (else closes it); the answer goes to *answer.
TButtonTexts AskAndRead(VTixAppInfo& info, unsigned flags, int* answer)
{
    TButtonTexts seen;
    QTimer finder;
    finder.setInterval(5);
    QObject::connect(&finder, &QTimer::timeout, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box || !box->isVisible())
            return;
        finder.stop();
        for (QAbstractButton* b : box->buttons())
            seen[box->standardButton(b)] = b->text().remove(QLatin1Char('&')).toStdString();
        if (QAbstractButton* no = box->button(QMessageBox::No))
            no->click();
        else
            box->reject();
    });
    finder.start();
    *answer = info.MessageBox2("Ot\xE1zka?", flags);
    return seen;
}

bool QtCzechInstalled()
{
    return QFileInfo::exists(QString::fromStdString(VTixQtTranslations::DefaultFolder() + "/qtbase_cs.qm"));
}

// Qt's text of the Yes button as the application translates it now.
std::string YesText()
{
    return QCoreApplication::translate("QPlatformTheme", "&Yes").toStdString();
}

class QtTranslationsWindow : public TMainWindowFixture {};

TEST_F(QtTranslationsWindow, MessageBoxButtonsFollowTheProgramsLanguage)
{
    ASSERT_TRUE(QtCzechInstalled()) << "Qt's translations are missing in " << VTixQtTranslations::DefaultFolder()
                                    << ": install qt6-translations-l10n (make deps)";
    Make(false);
    ASSERT_EQ(w().VTixLanguage1->GetCurrLanguage(), Cz("Česky"));
    VTixAppInfo& info = *w().VTixAppInfo1;
    info.SetMessageBoxResponder(nullptr);  // the real box
    int answer = 0;

    TButtonTexts seen = AskAndRead(info, MB_YESNO | MB_ICONEXCLAMATION, &answer);
    EXPECT_EQ(answer, IDNO);
    EXPECT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[QMessageBox::Yes], "Ano");
    EXPECT_EQ(seen[QMessageBox::No], "Ne");

    seen = AskAndRead(info, MB_YESNOCANCEL, &answer);
    EXPECT_EQ(answer, IDNO);
    EXPECT_EQ(seen[QMessageBox::Yes], "Ano");
    EXPECT_EQ(seen[QMessageBox::Cancel], "Zru\xC5\xA1it");  // Qt's Czech for Cancel (UTF-8)

    w().VTixLanguage1->SetCurrLanguage("English");
    seen = AskAndRead(info, MB_YESNOCANCEL | MB_ICONQUESTION, &answer);
    EXPECT_EQ(answer, IDNO);
    EXPECT_EQ(seen[QMessageBox::Yes], "Yes");
    EXPECT_EQ(seen[QMessageBox::No], "No");
    EXPECT_EQ(seen[QMessageBox::Cancel], "Cancel");
    seen = AskAndRead(info, MB_OK, &answer);
    EXPECT_EQ(answer, IDOK);
    EXPECT_EQ(seen[QMessageBox::Ok], "OK");

    // And back.
    w().VTixLanguage1->SetCurrLanguage(Cz("Česky"));
    seen = AskAndRead(info, MB_YESNO, &answer);
    EXPECT_EQ(seen[QMessageBox::Yes], "Ano");
    EXPECT_EQ(seen[QMessageBox::No], "Ne");

    // The window takes its translation with it.
    window.reset();
    EXPECT_EQ(YesText(), "&Yes");
}

TEST(QtTranslations, WithoutTranslationFilesTheButtonsStayEnglish)
{
    TestSupport::App();
    QTemporaryDir empty;
    ASSERT_TRUE(empty.isValid());
    VTixQtTranslations qt(empty.path().toStdString());
    EXPECT_FALSE(qt.SelectLanguage(0x0405));
    EXPECT_EQ(qt.LanguageId(), 0x0405);
    EXPECT_EQ(qt.FileName(), "");
    EXPECT_EQ(YesText(), "&Yes");

    VTixAppInfo info;
    info.SetAppName("Zelvitor");
    int answer = 0;
    TButtonTexts seen = AskAndRead(info, MB_YESNO, &answer);
    EXPECT_EQ(answer, IDNO);
    EXPECT_EQ(seen[QMessageBox::Yes], "Yes");
    EXPECT_EQ(seen[QMessageBox::No], "No");
}

TEST(QtTranslations, SwitchingReplacesTheTranslationAndUnknownLanguagesGiveEnglish)
{
    TestSupport::App();
    if (!QtCzechInstalled())
        GTEST_FAIL() << "install qt6-translations-l10n (make deps)";
    {
        VTixQtTranslations qt;
        EXPECT_EQ(qt.LanguageId(), -1);
        ASSERT_TRUE(qt.SelectLanguage(0x0405));
        const std::string file = qt.FileName();
        EXPECT_NE(file.find("qtbase_cs"), std::string::npos) << file;
        EXPECT_EQ(YesText(), "&Ano");
        // The same language again keeps what is installed.
        EXPECT_TRUE(qt.SelectLanguage(0x0405));
        EXPECT_EQ(qt.FileName(), file);
        EXPECT_EQ(YesText(), "&Ano");
        // A language the locale table does not know: Qt's English.
        EXPECT_FALSE(qt.SelectLanguage(0x7C7C));
        EXPECT_EQ(qt.FileName(), "");
        EXPECT_EQ(YesText(), "&Yes");
        EXPECT_TRUE(qt.SelectLanguage(0x0405));
        EXPECT_EQ(YesText(), "&Ano");
        // English: never a Czech text left over.
        qt.SelectLanguage(0x0809);
        EXPECT_EQ(YesText(), "&Yes");
        qt.SelectLanguage(0x0405);
    }
    EXPECT_EQ(YesText(), "&Yes") << "the translation leaves with its owner";
}

}  // namespace
