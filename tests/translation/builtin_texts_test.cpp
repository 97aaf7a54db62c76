// The built-in language texts: well formed, Czech and English holding the
// same keys, and the texts other parts of the program rely on.
#include <gtest/gtest.h>

#include <map>
#include <set>

#include "platform/codepage.h"
#include "tests/translation/lang_test_support.h"
#include "translation/language_text.h"
#include "translation/tixlanguage.h"

using LangTest::Cz;

namespace {

// section -> key -> raw value of a language text (sections other than
// [General]).
std::map<std::string, std::map<std::string, std::string>> KeysOf(const std::string& text)
{
    bool utf8 = false;
    std::vector<std::string> lines = Tixlanguage::SplitLanguageText(text, utf8);
    Tixlanguage::JoinContinuationLines(lines);
    std::map<std::string, std::map<std::string, std::string>> keys;
    std::string section;
    for (const std::string& line : lines) {
        std::string name;
        if (Tixlanguage::IsSectionHeader(Tixlanguage::TrimLine(line), &name)) {
            section = name;
            continue;
        }
        const size_t eq = line.find('=');
        if (section.empty() || section == "General" || eq == std::string::npos)
            continue;
        keys[section][line.substr(0, eq)] = line.substr(eq + 1);
    }
    return keys;
}

bool ValidUtf8(const std::string& s)
{
    size_t i = 0;
    while (i < s.size()) {
        const auto b = static_cast<unsigned char>(s[i]);
        const size_t extra = b < 0x80 ? 0 : (b & 0xE0) == 0xC0 ? 1 : (b & 0xF0) == 0xE0 ? 2 : (b & 0xF8) == 0xF0 ? 3 : 9;
        if (extra == 9 || i + extra >= s.size() + (extra == 0 ? 1 : 0))
            return false;
        for (size_t k = 1; k <= extra; ++k)
            if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80)
                return false;
        i += extra + 1;
    }
    return true;
}

}  // namespace

TEST(BuiltInTexts, AreUtf8WithTheirIdentity)
{
    const auto full = VTixLanguage::BuiltInLanguages();
    const auto any = VTixLanguage::BuiltInAnyLanguages();
    ASSERT_EQ(full.size(), 2u);
    ASSERT_EQ(any.size(), 3u);
    for (const std::string& t : full)
        EXPECT_TRUE(t.compare(0, 3, "\xEF\xBB\xBF") == 0 && ValidUtf8(t.substr(3)));
    for (const std::string& t : any)
        EXPECT_TRUE(t.compare(0, 3, "\xEF\xBB\xBF") == 0 && ValidUtf8(t.substr(3)));
    auto lang = LangTest::MakeBuiltInLanguage();
    std::set<int> ids;
    for (const auto& r : lang->GetLanguages())
        ids.insert(r->GetLanguageId());
    for (const auto& r : lang->GetAnyLanguages())
        ids.insert(r->GetLanguageId());
    EXPECT_EQ(ids, (std::set<int>{0x0000, 0x0005, 0x0009, 0x0405, 0x0809}));
    lang->SetCurrLanguageId(0x0405);
    EXPECT_EQ(lang->GetActiveLangRecord()->FileName, "Czech.lng");
    EXPECT_GE(lang->GetActiveLangRecord()->ImageIndex, 2);
}

TEST(BuiltInTexts, CzechAndEnglishHoldTheSameKeys)
{
    const auto full = VTixLanguage::BuiltInLanguages();
    const auto czech = KeysOf(full[0]);
    const auto english = KeysOf(full[1]);
    ASSERT_FALSE(czech.empty());
    for (const auto& [section, keys] : czech) {
        ASSERT_TRUE(english.count(section)) << section;
        for (const auto& [key, value] : keys)
            EXPECT_TRUE(english.at(section).count(key)) << section << "/" << key << " lacks English";
    }
    for (const auto& [section, keys] : english) {
        ASSERT_TRUE(czech.count(section)) << section;
        for (const auto& [key, value] : keys)
            EXPECT_TRUE(czech.at(section).count(key)) << section << "/" << key << " lacks Czech";
    }
}

TEST(BuiltInTexts, CzechAnswersEveryKeyItselfSoSwitchingBackRestoresCzech)
{
    auto lang = LangTest::MakeBuiltInLanguage();
    lang->SetCurrLanguageId(0x0405);
    const auto english = KeysOf(VTixLanguage::BuiltInLanguages()[1]);
    for (const auto& [section, keys] : english)
        for (const auto& [key, value] : keys) {
            const std::string text = lang->GetLangText(section, key, "\x01");
            EXPECT_NE(text, "\x01") << section << "/" << key;
            bool found = false;
            lang->GetLangTextW(section, key, u"", -1, 0x0405, &found);
            EXPECT_TRUE(found) << section << "/" << key;
        }
}

TEST(BuiltInTexts, TextsTheEngineAndWindowsUse)
{
    auto lang = LangTest::MakeBuiltInLanguage();
    lang->SetCurrLanguageId(0x0405);
    const char* const czechHints[] = {"Připraven", "Chybí: ", "Pracuji...", "Zařízení neodpovídá",
                                      "Odpojeno", "Ukončuji...", "Ukončeno"};
    for (int i = 0; i < 7; ++i)
        EXPECT_EQ(lang->GetLangText("Texts", "ProgressHint", "?", i), Cz(czechHints[i])) << i;
    EXPECT_EQ(lang->GetLangText("Texts", "QueryPIN1", "?"), Cz("Chcete nyní vložit PIN"));
    EXPECT_EQ(lang->GetLangText("Texts", "CommPortBlocked", "?"), Cz("Port blokován"));
    EXPECT_EQ(lang->GetLangText("SMSList", "SMSState", "?", 9), Cz("Maže se..."));
    EXPECT_EQ(lang->GetLangText("Phonebook", "Storage_SM", "?"), "SIM karta");
    EXPECT_EQ(lang->GetLangText("Common", "FileNotFound", "?"), Cz("Nepodařilo se nalézt soubor %1"));
    EXPECT_EQ(lang->GetLangText("General", "TimeUnitNames", "?"), "tRMDhms");
    // Day names through the redirections of "Any".
    EXPECT_EQ(lang->GetLangText("Common", "DayOfWeekCombo", "?", 0), Cz("pondělí"));
    EXPECT_EQ(lang->GetLangText("Common", "DayOfWeekCombo", "?", 6), Cz("neděle"));
    lang->SetCurrLanguageId(0x0809);
    const char* const englishHints[] = {"Ready", "Missing: ", "Working...", "Device does not respond",
                                        "Disconnected", "Finishing...", "Finished"};
    for (int i = 0; i < 7; ++i)
        EXPECT_EQ(lang->GetLangText("Texts", "ProgressHint", "?", i), englishHints[i]) << i;
    EXPECT_EQ(lang->GetLangText("Texts", "ConfirmSave", "?"),
              "Configuration has been changed. Do you want to save it to file");
    EXPECT_EQ(lang->GetLangText("FormAbout", "Version", "?"), "Version");
    EXPECT_EQ(lang->GetLangText("General", "TimeUnitNames", "?"), "wYMDhms");
    EXPECT_EQ(lang->GetLangText("Common", "DayOfWeekCombo", "?", 2), "Wednesday");
    EXPECT_EQ(lang->GetLangText("Common", "DayOfWeekCombo_Count", "?"), "7");
    EXPECT_EQ(lang->GetLangText("Common.Shortcuts", "Ctrl", "?"), "Ctrl");
    EXPECT_EQ(lang->GetCurrLanguage(), "English");
}
