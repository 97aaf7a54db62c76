// Reading the language files as they are now: a rescan lists the folder
// anew, a change of language reloads the language's own file, links are
// followed and folders or hidden names skipped, keys far into a file are
// found by the quick reader, and lookups of ASCII and Czech names agree.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <filesystem>

#include "tests/support/config_home.h"
#include "tests/translation/lang_test_support.h"
#include "translation/language_text.h"
#include "translation/tixlanguage.h"

using LangTest::Crlf;
using LangTest::Cz;

namespace {

const TestSupport::PrivateConfigHome& ConfigHome()
{
    static const TestSupport::PrivateConfigHome home;
    return home;
}
const bool kEnvironment = [] {
    ::setenv("LC_ALL", "cs_CZ.UTF-8", 1);
    return ConfigHome().IsValid();
}();

std::string German(const std::string& hello, const std::string& extra = std::string())
{
    // Enough keys before LanguageId that the quick reader finds it well
    // past its first piece.
    std::string general;
    for (int i = 0; i < 60; ++i)
        general += "Filler" + std::to_string(i) + "=\"" + std::string(20, 'f') + "\"\r\n";
    return "[General]\r\n" + general
           + Crlf({"LanguageId=0x0407", "LanguageName=\"Deutsch\"", "[Texts]", "Hello=\"" + hello + "\"", extra});
}

}  // namespace

TEST(LanguageFiles, RescanAndChangeOfLanguageSeeTheFilesAsTheyAreNow)
{
    ASSERT_TRUE(kEnvironment);
    LangTest::TempDir dir;
    LangTest::TempDir elsewhere;
    LangTest::WriteFile(dir.File("de.lng"), German("Guten Tag"));
    // A link to a neutral record is followed; a folder and a name that is
    // all extension are no language files.
    LangTest::WriteFile(elsewhere.File("neutral"), Crlf({"[General]", "LanguageId=0x0007",
                                                         "LOCALE_IDEFAULTANSICODEPAGE=1252", "[Texts]",
                                                         "Neutral=\"neutral\""}));
    ASSERT_EQ(::symlink(elsewhere.File("neutral").c_str(), dir.File("de0.lng").c_str()), 0);
    std::filesystem::create_directory(dir.File("folder.lng"));
    LangTest::WriteFile(dir.File(".lng"), Crlf({"[General]", "LanguageId=0x040C", "LanguageName=\"Hidden\""}));
    LangTest::WriteFile(dir.File("de.txt"), Crlf({"[General]", "LanguageId=0x040C", "LanguageName=\"Text\""}));

    auto lang = LangTest::MakeBuiltInLanguage(dir.Path());
    ASSERT_EQ(lang->GetLanguages().size(), 3u);
    EXPECT_EQ(lang->GetAnyLanguages().size(), 4u);
    lang->SetCurrLanguage("Deutsch");
    EXPECT_EQ(lang->GetLangText("Texts", "Hello", "x"), "Guten Tag");
    EXPECT_EQ(lang->GetLangText("Texts", "Neutral", "x"), "neutral");

    // The file changes on disk: choosing the language again reads it again.
    LangTest::WriteFile(dir.File("de.lng"), German("Hallo", "Later=\"sp\xE4ter\""));
    EXPECT_EQ(lang->GetLangText("Texts", "Hello", "x"), "Guten Tag");
    lang->SetCurrLanguageId(0x0405);
    lang->SetCurrLanguage("Deutsch");
    EXPECT_EQ(lang->GetLangText("Texts", "Hello", "x"), "Hallo");
    EXPECT_EQ(lang->GetLangText("Texts", "Later", "x"), "sp\xE4ter");

    // A file added after loading is found by the next rescan, in both passes
    // of the folder (a full language and its neutral record).
    LangTest::WriteFile(dir.File("fr.lng"), Crlf({"[General]", "LanguageId=0x040C",
                                                   "LanguageName=\"Fran\xE7" "ais\"", "[Texts]",
                                                   "Hello=\"Bonjour\""}));
    LangTest::WriteFile(dir.File("fr0.lng"), Crlf({"[General]", "LanguageId=0x000C", "[Texts]",
                                                    "Neutral=\"neutre\""}));
    lang->updateLanguages(false);
    ASSERT_EQ(lang->GetLanguages().size(), 4u);
    EXPECT_EQ(lang->GetAnyLanguages().size(), 5u);
    EXPECT_EQ(lang->GetCurrLanguage(), "Deutsch");
    lang->SetCurrLanguage("Fran\xE7" "ais");
    EXPECT_EQ(lang->GetLangText("Texts", "Hello", "x"), "Bonjour");
    EXPECT_EQ(lang->GetLangText("Texts", "Neutral", "x"), "neutre");
    EXPECT_EQ(lang->GetConfigFile(), dir.File("fr.lng"));

    // A file removed is gone from the next rescan's lookups of its record.
    std::filesystem::remove(dir.File("fr.lng"));
    lang->updateLanguages(false);
    EXPECT_TRUE(lang->GetConfigFile().empty());
}

TEST(LanguageFiles, CzechNamesAndTextsAgreeWithAsciiOnes)
{
    ASSERT_TRUE(kEnvironment);
    LangTest::TempDir dir;
    LangTest::WriteFile(dir.File("cs.lng"), Cz(Crlf({"[General]", "LanguageId=0x0405", "[Texts]",
                                                     "Žluťoučký=\"kůň\"", "Plain=\"ASCII\"",
                                                     "Ascii=\"úpěl\"", "[Sekce_č]", "Klíč_1=\"ódy\""})));
    auto lang = LangTest::MakeBuiltInLanguage(dir.Path());
    ASSERT_EQ(lang->GetCurrLanguageId(), 0x0405);
    const struct {
        const char* section;
        const char* key;
        int index;
        const char* text;  // UTF-8; null: the default comes back
    } cases[] = {
        {"Texts", "Žluťoučký", -1, "kůň"}, {"Texts", "Plain", -1, "ASCII"},
        {"Texts", "Ascii", -1, "úpěl"},    {"Sekce_č", "Klíč", 1, "ódy"},
        {"Sekce_č", "Klíč_1", -1, "ódy"},  {"Sekce", "Klíč_1", -1, nullptr},
        {"Texts", "Zlutoucky", -1, nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.section) + " " + c.key);
        const std::string expected = c.text ? Cz(c.text) : "dflt";
        EXPECT_EQ(lang->GetLangText(Cz(c.section), Cz(c.key), "dflt", c.index), expected);
        bool found = false;
        const std::u16string wide = lang->GetLangTextW(Cz(c.section), Cz(c.key), u"dflt", c.index, -1, &found);
        EXPECT_EQ(found, c.text != nullptr);
        EXPECT_EQ(VTixLanguage::WideToStr(wide, 0x0405), expected);
        if (c.index == -1) {
            EXPECT_EQ(lang->GetLangTextUtf8(Cz(c.section), Cz(c.key), "dflt"), c.text ? c.text : "dflt");
        }
    }
    // The built-in pictures are the same for every component.
    auto other = LangTest::MakeBuiltInLanguage();
    ASSERT_GE(lang->GetImages().size(), 2u);
    EXPECT_FALSE(lang->GetImages()[0].empty());
    EXPECT_FALSE(lang->GetImages()[1].empty());
    EXPECT_EQ(other->GetImages()[0], lang->GetImages()[0]);
    EXPECT_EQ(other->GetImages()[1], lang->GetImages()[1]);
    EXPECT_EQ(other->GetImageNames()[1], "LANG_TWOFLAGS");
}

TEST(LanguageFiles, WholeFilesAndKeysFarIntoThem)
{
    LangTest::TempDir dir;
    std::string text = "[General]\r\n";
    for (int i = 0; i < 200; ++i)
        text += "K" + std::to_string(i) + "=\"" + std::string(i % 37, char('a' + i % 26)) + "\"\r\n";
    text += "[Next]\r\nK5=\"next\"\r\n";
    LangTest::WriteFile(dir.File("big.lng"), text);
    std::string bytes;
    ASSERT_TRUE(Tixlanguage::ReadWholeFile(dir.File("big.lng"), bytes));
    EXPECT_EQ(bytes, text);
    for (int i = 0; i < 200; i += 7) {
        std::string buffer;
        const std::string expected(i % 37, char('a' + i % 26));
        EXPECT_EQ(Tixlanguage::QuickReadKey("General", "K" + std::to_string(i), "d", dir.File("big.lng"), 200, buffer),
                  int(expected.size()));
        EXPECT_EQ(buffer, expected) << i;
    }
    std::string buffer;
    EXPECT_EQ(Tixlanguage::QuickReadKey("Next", "K5", "d", dir.File("big.lng"), 200, buffer), 4);
    EXPECT_EQ(buffer, "next");
    EXPECT_EQ(Tixlanguage::QuickReadKey("Next", "K6", "d", dir.File("big.lng"), 200, buffer), 0);
    EXPECT_EQ(buffer, "d");

    LangTest::WriteFile(dir.File("empty.lng"), "");
    bytes = "old";
    EXPECT_TRUE(Tixlanguage::ReadWholeFile(dir.File("empty.lng"), bytes));
    EXPECT_EQ(bytes, "");
    EXPECT_FALSE(Tixlanguage::ReadWholeFile(dir.File("missing.lng"), bytes));
    EXPECT_FALSE(Tixlanguage::ReadWholeFile(dir.Path(), bytes));
}
