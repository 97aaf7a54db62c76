// The Czech texts the windows are built with are those of the built-in
// Czech language file: the windows are made under a language that has no
// texts (so nothing replaces the built ones), and every caption, hint and
// item is compared with Czech.lng by its section and key.
#include <QAbstractItemView>
#include <QComboBox>
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "app/form_about.h"
#include "app/form_options.h"
#include "app/radio_group.h"
#include "phonebook/ui/form_import_pb.h"
#include "tests/app/main_window_fixture.h"
#include "tests/support/language_sections.h"
#include "translation/forms/tixlanguage_forms.h"
#include "translation/tixlanguage.h"

using namespace MainWindowTest;
using TestSupport::ShownText;

namespace {

struct CzechDesignTexts : TMainWindowFixture {
    void SetUp() override
    {
        TMainWindowFixture::SetUp();
        // A language without texts, found in the current folder and chosen.
        before = std::filesystem::current_path();
        std::filesystem::current_path(root.path().toStdString());
        WriteFile(root.path().toStdString() + "/Plain.lng",
                  "[General]\r\nFileName=\"Plain.lng\"\r\nLanguageId=0x0407\r\nLanguageName=\"Plain\"\r\n");
        QSettings registry(QSettings::IniFormat, QSettings::UserScope, "Tix", "Zelvitor");
        registry.setValue("Options/General/Language", "Plain");
        registry.sync();
    }
    void TearDown() override
    {
        TMainWindowFixture::TearDown();
        std::filesystem::current_path(before);
    }

    // The section of an object: the name of the form it lies in.
    static std::string SectionOf(QObject* o)
    {
        for (QObject* p = o->parent(); p; p = p->parent())
            if (VTixLanguageForms::IsForm(p) && !p->objectName().isEmpty())
                return p->objectName().toStdString();
        return {};
    }

    // Compares what a form and everything on it show with Czech.lng.
    void Compare(QObject* form)
    {
        VTixLanguageForms& forms = *w().VTixLanguageForms1;
        std::vector<QObject*> all{form};
        for (QObject* o : form->findChildren<QObject*>())
            all.push_back(o);
        for (QObject* o : all) {
            const std::string name = o->objectName().toStdString();
            const std::string section = o == form ? name : SectionOf(o);
            const auto file = czech.find(section);
            if (name.empty() || file == czech.end())
                continue;
            const auto& keys = file->second;
            auto check = [&](const std::string& key, const QString& shown) {
                const auto text = keys.find(key);
                if (text == keys.end() || shown.isEmpty())
                    return;
                ++compared;
                sections.insert(section);
                EXPECT_EQ(ShownText(shown).toStdString(),
                          ShownText(QString::fromUtf8(text->second.c_str())).toStdString())
                    << section << "." << key;
            };
            QString text;
            if (forms.GetCaption(o, text))
                check(name, text);
            if (forms.GetHint(o, text))
                check(name + "_Hint", text);
            QStringList items;
            if (auto* combo = qobject_cast<QComboBox*>(o))
                for (int i = 0; i < combo->count(); ++i)
                    items << combo->itemText(i);
            if (auto* group = qobject_cast<TRadioGroup*>(o))
                items = group->Items();
            if (auto* view = qobject_cast<QAbstractItemView*>(o); view && view->model())
                for (int c = 0; c < view->model()->columnCount(); ++c)
                    items << view->model()->headerData(c, Qt::Horizontal).toString();
            for (int i = 0; i < items.size(); ++i)
                check(name + "_" + std::to_string(i), items[i]);
        }
    }

    std::filesystem::path before;
    TestSupport::TLanguageSections czech = TestSupport::BuiltInLanguage("0x0405");
    int compared = 0;
    std::set<std::string> sections;
};

}  // namespace

TEST_F(CzechDesignTexts, EveryBuiltTextIsTheCzechFilesText)
{
    Make(false);
    ASSERT_EQ(w().VTixLanguage1->GetCurrLanguage(), "Plain");
    w().resize(800, 600);
    w().show();
    RunFor(20);
    Compare(&w());
    Compare(FormOptions);
    Compare(FormAbout);
    TFormImportPB import(&w());
    Compare(&import);
    EXPECT_GT(compared, 140);
    EXPECT_EQ(sections, (std::set<std::string>{"FormAbout", "FormImportPB", "FormMain", "FormOptions",
                                                "VTixTerminal1_Form"}));
}
