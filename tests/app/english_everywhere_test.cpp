// Every page in the chosen language: with English active, no text on the
// main window, its pages (the docked terminal too), the floating terminal,
// the options, about and import dialogs is still a Czech text that the
// built-in English file translates.
#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAction>
#include <QComboBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QTabWidget>
#include <QTreeView>
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <vector>

#include "app/form_about.h"
#include "app/form_options.h"
#include "app/terminal.h"
#include "engine/perif_phonebook.h"
#include "phonebook/phonebook.h"
#include "phonebook/ui/form_import_pb.h"
#include "tests/app/main_window_fixture.h"
#include "tests/support/language_sections.h"
#include "translation/tixlanguage.h"
#include "widgets/check_control.h"

using namespace MainWindowTest;
using TestSupport::ShownText;

namespace {

// Czech texts of the built-in file that the English one translates
// otherwise, by key (the language's own data and names left out).
std::map<QString, std::string> CzechTranslatedTexts()
{
    TestSupport::TLanguageSections czech = TestSupport::BuiltInLanguage("0x0405");
    TestSupport::TLanguageSections english = TestSupport::BuiltInLanguage("0x0809");
    std::map<QString, std::string> out;
    for (const auto& [section, keys] : czech) {
        if (section == "General")
            continue;
        for (const auto& [key, text] : keys) {
            const auto e = english[section].find(key);
            if (e == english[section].end())
                continue;
            const QString cz = ShownText(QString::fromUtf8(text.c_str()));
            if (!cz.isEmpty() && cz != ShownText(QString::fromUtf8(e->second.c_str())))
                out[cz] = section + "." + key;
        }
    }
    return out;
}

std::string PathOf(const QObject* o)
{
    std::string path;
    for (; o; o = o->parent())
        path = o->objectName().toStdString() + (path.empty() ? "" : "/") + path;
    return path;
}

// Every text a person can read on an object: captions, hints, items,
// tabs, columns, menu entries.
std::vector<QString> TextsOf(QObject* o)
{
    std::vector<QString> t;
    auto* w = qobject_cast<QWidget*>(o);
    if (w) {
        if (w->isWindow())
            t.push_back(w->windowTitle());
        t.push_back(w->toolTip());
    }
    if (auto* b = qobject_cast<QAbstractButton*>(o))
        t.push_back(b->text());
    if (auto* l = qobject_cast<QLabel*>(o))
        t.push_back(l->text());
    if (auto* g = qobject_cast<QGroupBox*>(o))
        t.push_back(g->title());
    if (auto* e = qobject_cast<QLineEdit*>(o))
        t.insert(t.end(), {e->text(), e->placeholderText()});
    if (auto* c = qobject_cast<QComboBox*>(o))
        for (int i = 0; i < c->count(); ++i)
            t.push_back(c->itemText(i));
    if (auto* tabs = qobject_cast<QTabWidget*>(o))
        for (int i = 0; i < tabs->count(); ++i)
            t.insert(t.end(), {tabs->tabText(i), tabs->tabToolTip(i)});
    if (auto* a = qobject_cast<QAction*>(o))
        t.insert(t.end(), {a->text(), a->toolTip()});
    if (auto* m = qobject_cast<QMenu*>(o))
        t.push_back(m->title());
    if (auto* v = qobject_cast<QAbstractItemView*>(o); v && v->model())
        for (int c = 0; c < v->model()->columnCount(); ++c) {
            t.push_back(v->model()->headerData(c, Qt::Horizontal, Qt::DisplayRole).toString());
            t.push_back(v->model()->headerData(c, Qt::Horizontal, Qt::ToolTipRole).toString());
        }
    if (auto* check = qobject_cast<TIACheckControl*>(o))
        t.push_back(Platform::ToQString(check->Text()));
    return t;
}

struct EnglishEverywhere : TMainWindowFixture {
    // Objects left out: the language's own names in its chooser, and the
    // address memos the translation never touches.
    bool Skipped(const QObject* o) const
    {
        for (; o; o = o->parent()) {
            const QString name = o->objectName();
            if (name == "ComboLang" || name == "MemoAddress" || name == "MemoContact")
                return true;
        }
        return false;
    }
    // Each Czech text that should be English, with where it stands.
    std::vector<std::string> Untranslated(QObject* root)
    {
        std::vector<std::string> found;
        std::vector<QObject*> all{root};
        for (QObject* o : root->findChildren<QObject*>())
            all.push_back(o);
        for (QObject* o : all) {
            if (Skipped(o))
                continue;
            for (const QString& text : TextsOf(o)) {
                // The whole text, and a description in brackets ("SM (SIM
                // karta)").
                QStringList parts{ShownText(text)};
                const qsizetype open = text.indexOf(QLatin1Char('('));
                if (open >= 0 && text.endsWith(QLatin1Char(')')))
                    parts << ShownText(text.mid(open + 1, text.size() - open - 2));
                for (const QString& part : parts) {
                    const auto hit = czech.find(part);
                    if (hit != czech.end())
                        found.push_back(PathOf(o) + ": \"" + text.toStdString() + "\" (" + hit->second + ")");
                }
            }
        }
        return found;
    }
    std::map<QString, std::string> czech = CzechTranslatedTexts();
};

}  // namespace

TEST_F(EnglishEverywhere, NoCzechTextIsLeftWhereEnglishHasOne)
{
    ASSERT_GT(czech.size(), 150u);
    Make(false);
    w().resize(800, 600);
    w().show();
    w().createEngine();
    // Memories beside the phonebook, with their descriptions.
    for (const char* name : {"SM", "FD", "ON", "ME"})
        w().uniset->getHandlers().phonebook().getPhonebook().storageByName(name);
    RunFor(50);
    w().VTixLanguage1->SetCurrLanguage("English");
    ASSERT_EQ(w().VTixLanguage1->GetCurrLanguage(), "English");
    w().uniset->tick(Platform::GetTickCount());
    RunFor(50);

    // The main window with every page, the terminal docked among them.
    for (int page = 0; page < w().PageControl1->count(); ++page) {
        w().PageControl1->setCurrentIndex(page);
        RunFor(10);
    }
    EXPECT_EQ(Untranslated(&w()), std::vector<std::string>{});
    EXPECT_EQ(w().PageControl1->tabText(w().PageControl1->indexOf(w().VTixTerminal1->Form())), "Terminal");

    // The dialogs.
    EXPECT_EQ(Untranslated(FormOptions), std::vector<std::string>{});
    EXPECT_EQ(Untranslated(FormAbout), std::vector<std::string>{});
    TFormImportPB import(&w(), [this](const std::string& s, const std::string& k, const std::string& d) {
        return w().getLangText(s, k, d, -1);
    });
    w().VTixLanguage1->UpdateAllTexts(&import);
    EXPECT_EQ(Untranslated(&import), std::vector<std::string>{});

    // The terminal floating, and docked again.
    w().VTixTerminal1->SetDocked(false);
    RunFor(50);
    ASSERT_TRUE(w().VTixTerminal1->Form()->isWindow());
    w().VTixLanguage1->SetCurrLanguage(Cz("Česky"));
    w().VTixLanguage1->SetCurrLanguage("English");
    EXPECT_EQ(Untranslated(w().VTixTerminal1->Form()), std::vector<std::string>{});
    EXPECT_EQ(w().VTixTerminal1->Form()->windowTitle(), "Terminal");
    w().VTixTerminal1->SetDocked(true);
    RunFor(50);
    EXPECT_EQ(Untranslated(&w()), std::vector<std::string>{});

    // And back: Czech texts where they belong (the walk finds them then).
    w().VTixLanguage1->SetCurrLanguage(Cz("Česky"));
    EXPECT_FALSE(Untranslated(&w()).empty());
    EXPECT_EQ(w().PageControl1->tabText(w().PageControl1->indexOf(w().VTixTerminal1->Form())),
              QString::fromUtf8("Terminál"));
}
