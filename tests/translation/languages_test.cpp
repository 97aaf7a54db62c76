// The language list: records from built-in texts and files, their order,
// choosing a language, what a change does (locale formats, code page,
// events), charsets, icons, registry overrides and the global instance;
// the files read as they are now (rescans, reloads, links, keys far in).
#include <gtest/gtest.h>
#include <unistd.h>

#include <QLocale>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <set>

#include "foundation/tixutils_datetime.h"
#include "platform/codepage.h"
#include "platform/qt/registry.h"
#include "tests/support/config_home.h"
#include "tests/translation/lang_test_support.h"
#include "translation/language_text.h"
#include "translation/locale_formats.h"
#include "translation/locale_table.h"
#include "translation/memory_language_files.h"
#include "translation/tixlanguage.h"

using LangTest::Crlf;
using LangTest::Cz;

namespace {

// This program runs as a Czech user, with a registry of its own; both are
// read once, so they are set before anything else runs.
const TestSupport::PrivateConfigHome& ConfigHome()
{
    static const TestSupport::PrivateConfigHome home;
    return home;
}
const bool kEnvironment = [] {
    ::setenv("LC_ALL", "cs_CZ.UTF-8", 1);
    return ConfigHome().IsValid();
}();

std::string German(const std::string& extra = std::string())
{
    return Crlf({"[General]", "LanguageId=0x0407", "LanguageName=\"Deutsch\"", "[Texts]",
                 "Hello=\"Guten Tag\"", extra});
}

std::string GermanWithKeysAhead(const std::string& hello, const std::string& extra = std::string())
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

TEST(LanguageList, CzechUserGetsCzechFirstThenEnglishInItsCharsetGroup)
{
    ASSERT_TRUE(kEnvironment);
    EXPECT_EQ(Tixlanguage::GetUserDefaultLangID(), 0x0405);
    auto lang = LangTest::MakeBuiltInLanguage();
    ASSERT_EQ(lang->GetLanguages().size(), 2u);
    EXPECT_EQ(lang->GetLanguages()[0]->GetLanguageId(), 0x0405);
    EXPECT_TRUE(lang->GetLanguages()[0]->IsUserDefault);
    EXPECT_EQ(lang->GetLanguages()[0]->Charset, Tixlanguage::EASTEUROPE_CHARSET);
    EXPECT_EQ(lang->GetLanguages()[1]->GetLanguageId(), 0x0809);
    EXPECT_EQ(lang->GetLanguages()[1]->Charset, Tixlanguage::ANSI_CHARSET);
    EXPECT_EQ(lang->GetCurrLanguage(), Cz("Česky"));
    EXPECT_EQ(lang->GetAnyLanguages().size(), 3u);
    EXPECT_EQ(lang->GetVersion(), "1.25");
    EXPECT_FALSE(lang->IsLoading());
}

TEST(LanguageList, SelectionByNameIgnoresCaseAndUnknownNamesChangeNothing)
{
    auto lang = LangTest::MakeBuiltInLanguage();
    int changes = 0;
    lang->OnChangeLanguage = [&changes](VTixLanguage*) { ++changes; };
    lang->SetCurrLanguage("english");
    EXPECT_EQ(lang->GetCurrLanguageId(), 0x0809);
    EXPECT_EQ(changes, 1);
    lang->SetCurrLanguage("English");
    EXPECT_EQ(changes, 1);
    lang->SetCurrLanguage("Klingon");
    EXPECT_EQ(lang->GetCurrLanguageId(), 0x0809);
    lang->SetCurrLanguage(Cz("ČESKY"));
    EXPECT_EQ(lang->GetCurrLanguageId(), 0x0405);
    EXPECT_EQ(changes, 2);
    lang->SetCurrLanguageId(0x0405);
    lang->SelectLanguageIndex(0);
    lang->SelectLanguageIndex(7);
    EXPECT_EQ(changes, 2);
    lang->SetCurrLanguageId(0x0809);
    EXPECT_EQ(lang->GetCurrLanguage(), "English");
}

TEST(LanguageList, EventsSurroundTheChange)
{
    auto lang = LangTest::MakeBuiltInLanguage();
    std::vector<std::string> seen;
    lang->OnChangingLanguage = [&seen](VTixLanguage* s) { seen.push_back("changing " + s->GetCurrLanguage()); };
    lang->OnChangeLanguage = [&seen](VTixLanguage* s) { seen.push_back("changed " + s->GetCurrLanguage()); };
    lang->SetCurrLanguageId(0x0809);
    EXPECT_EQ(seen, (std::vector<std::string>{"changing English", "changed English"}));
}

TEST(LanguageList, FileInCfgDirectoryBecomesTheLanguagesOwnFile)
{
    LangTest::TempDir dir;
    const std::string file = dir.File("mine.LNG");
    LangTest::WriteFile(file, Cz(Crlf({"[General]", "LanguageId=0x0405", "[Texts]", "Own=\"vlastní\""})));
    auto lang = LangTest::MakeBuiltInLanguage(dir.Path());
    EXPECT_EQ(lang->GetLangText("Texts", "Own", "x"), Cz("vlastní"));
    EXPECT_EQ(lang->GetLangText("Texts", "ProgressHint_0", "x"), Cz("Připraven"));
    EXPECT_EQ(lang->GetConfigFile(), file);
    EXPECT_TRUE(lang->GetActiveLangRecord()->HasFile);
}

TEST(LanguageList, FileInRuntimeDirAddsTextsButIsNoLanguagesFile)
{
    LangTest::TempDir dir;
    LangTest::WriteFile(dir.File("a.lng"), Cz(Crlf({"[General]", "LanguageId=0x0405", "[Texts]", "Own=\"vlastní\""})));
    LangTest::WriteFile(dir.File("de.lng"), German());
    auto lang = std::make_unique<VTixLanguage>();
    lang->SetCfgDirectory(dir.Path() + "/none");
    lang->SetRuntimeDirs({"/no/such/dir;" + dir.Path()});
    lang->UseBuiltInTexts();
    lang->Loaded();
    EXPECT_EQ(lang->GetLangText("Texts", "Own", "x"), Cz("vlastní"));
    EXPECT_TRUE(lang->GetConfigFile().empty());
    // A new full language is never taken from a run-time folder.
    EXPECT_EQ(lang->GetLanguages().size(), 2u);
}

TEST(LanguageList, NewLanguageFromCfgDirectoryAndItsNeutralRecord)
{
    LangTest::TempDir dir;
    LangTest::WriteFile(dir.File("de.lng"), German());
    LangTest::WriteFile(dir.File("de0.lng"), Crlf({"[General]", "LanguageId=0x0007",
                                                    "LOCALE_IDEFAULTANSICODEPAGE=1252", "[Texts]",
                                                    "Neutral=\"neutral deutsch\""}));
    LangTest::WriteFile(dir.File("fr0.lng"), Crlf({"[General]", "LanguageId=0x000C"}));
    LangTest::WriteFile(dir.File("noid.lng"), Crlf({"[General]", "LanguageName=\"Nobody\""}));
    LangTest::WriteFile(dir.File("bad.lng"), Crlf({"[General]", "LanguageId=zero"}));
    LangTest::WriteFile(dir.File("text.txt"), German());
    auto lang = LangTest::MakeBuiltInLanguage(dir.Path());
    ASSERT_EQ(lang->GetLanguages().size(), 3u);
    // Czech (the user's language) first, then by name: "Deutsch" < "English".
    EXPECT_EQ(lang->GetLanguages()[1]->LanguageName, "Deutsch");
    EXPECT_EQ(lang->GetAnyLanguages().size(), 4u);  // French has no full language here
    lang->SetCurrLanguage("Deutsch");
    EXPECT_EQ(lang->GetLangText("Texts", "Hello", "x"), "Guten Tag");
    EXPECT_EQ(lang->GetLangText("Texts", "Neutral", "x"), "neutral deutsch");
    EXPECT_EQ(lang->GetConfigFile(), dir.File("de.lng"));
}

TEST(LanguageList, LongContinuationChainLoadsWhole)
{
    // A long chain must be joined in one pass: a file of this size is
    // well within what the loader takes.
    constexpr size_t kPieces = 300000;
    std::string text = Crlf({"[General]", "LanguageId=0x0405", "[Texts]", "Long=\"a\"+"});
    text.reserve(text.size() + 6 * kPieces + 64);
    for (size_t i = 0; i < kPieces; ++i)
        text += (i % 2 == 0) ? "\"b\"+\r\n" : "  #98+\r\n";
    text += "\"c\"\r\nAfter=\"end\"\r\n";
    LangTest::TempDir dir;
    LangTest::WriteFile(dir.File("long.lng"), text);
    auto lang = LangTest::MakeBuiltInLanguage(dir.Path());
    const std::string value = lang->GetLangText("Texts", "Long", "x");
    EXPECT_EQ(value.size(), kPieces + 2);
    EXPECT_EQ(value, "a" + std::string(kPieces, 'b') + "c");
    EXPECT_EQ(lang->GetLangText("Texts", "After", "x"), "end");
}

TEST(LanguageList, NewLanguageWithoutNeutralRecordIsReadInItsOwnCodePage)
{
    LangTest::TempDir dir;
    LangTest::WriteFile(dir.File("fr.lng"), LangTest::We(Crlf({"[General]", "LanguageId=0x040C",
                                                                "LanguageName=\"Français\"", "[Texts]",
                                                                "Hello=\"voilà, ça\""})));
    auto lang = LangTest::MakeBuiltInLanguage(dir.Path());
    EXPECT_EQ(lang->GetCurrLanguageId(), 0x0405);
    EXPECT_EQ(lang->GetLangTextW("Texts", "Hello", u"x", -1, 0x040C), u"voilà, ça");
    lang->SetCurrLanguage(LangTest::We("Français"));
    EXPECT_EQ(lang->GetCurrLanguageId(), 0x040C);
    EXPECT_EQ(lang->GetLangText("Texts", "Hello", "x"), LangTest::We("voilà, ça"));
    EXPECT_EQ(lang->GetActiveLangRecord()->Charset, 0);
}

TEST(LanguageList, RescanAfterLoadingKeepsTheActiveLanguageAndIndexedLookups)
{
    LangTest::TempDir dir;
    auto lang = LangTest::MakeBuiltInLanguage();
    lang->SetCurrLanguageId(0x0809);
    LangTest::WriteFile(dir.File("en.lng"), Crlf({"[General]", "LanguageId=0x0809", "[Texts]",
                                                   "ZZLate=\"late\"", "ProgressHint_0=\"Idle\""}));
    lang->SetRuntimeDirs({dir.Path()});
    EXPECT_EQ(lang->GetCurrLanguageId(), 0x0809);
    EXPECT_EQ(lang->GetLangText("Texts", "ZZLate", "x"), "late");
    EXPECT_EQ(lang->GetLangText("Texts", "ProgressHint_0", "x"), "Idle");
    EXPECT_EQ(lang->GetLangText("Texts", "ProgressHint_1", "x"), "Missing: ");
}

TEST(LanguageList, CharsetNamesAndNumbers)
{
    auto lang = LangTest::MakeBuiltInLanguage();
    for (const char* value : {"EASTEUROPE", "easteurope_charset", "238", "\"238\""}) {
        Tixlanguage::TLangCache cache;
        cache.SetLines({"[General]", std::string("LanguageCharset=") + value});
        EXPECT_EQ(lang->GetCharsetFromFile(0x0809, 1, &cache), 238) << value;
    }
    Tixlanguage::TLangCache cache;
    cache.SetLines({"[General]", "LanguageCharset=Vietnamese"});
    EXPECT_EQ(lang->GetCharsetFromFile(-1, 1, &cache), 163);
    cache.SetLines({"[General]", "LanguageCharset=nonsense"});
    EXPECT_EQ(lang->GetCharsetFromFile(0x0809, 1, &cache), 0);
    cache.SetLines({"[General]"});
    EXPECT_EQ(lang->GetCharsetFromFile(0x0405, 1, &cache), 238);
    LangTest::TempDir dir;
    LangTest::WriteFile(dir.File("x.lng"), Crlf({"[General]", "LanguageCharset=RUSSIAN"}));
    EXPECT_EQ(lang->GetCharsetFromFile(-1, 1, nullptr, dir.File("x.lng")), 204);
}

TEST(LanguageList, LanguagesWithTheSameIdShareTheFirstIcon)
{
    const std::string a = Crlf({"[General]", "LanguageId=0x0405", "LanguageName=\"A\"", "IconString=\"0102\""});
    const std::string b = Crlf({"[General]", "LanguageId=0x0405", "LanguageName=\"B\"", "IconString=\"0304\""});
    auto lang = LangTest::MakeLanguage({a, b}, {});
    ASSERT_EQ(lang->GetLanguages().size(), 2u);
    const int index = lang->GetLanguages()[0]->ImageIndex;
    EXPECT_EQ(index, 2);
    EXPECT_EQ(lang->GetLanguages()[1]->ImageIndex, index);
    EXPECT_EQ(lang->GetImages()[size_t(index)], std::string("\x01\x02", 2));
    EXPECT_EQ(lang->GetImageNames()[size_t(index)], "0405");
    EXPECT_FALSE(lang->GetImages()[1].empty());
    EXPECT_EQ(lang->GetLanguageImageIndex(0x0405), index);
}

TEST(LanguageList, NameFromTheNeutralRecordWithCapitals)
{
    const std::string czech = Crlf({"[General]", "LanguageId=0x0405", "FileName=\"Czech.lng\""});
    const std::string neutral = Cz(Crlf({"[General]", "LanguageId=5", "LOCALE_SNATIVELANGNAME=\"čeština (česko)\"",
                                         "LOCALE_IDEFAULTANSICODEPAGE=1250"}));
    auto lang = LangTest::MakeLanguage({czech}, {neutral});
    EXPECT_EQ(lang->GetCurrLanguage(), Cz("Čeština (Česko)"));
    EXPECT_EQ(VTixLanguage::GetLangName(0x0416, "Portuguese"), "Portuguese");
}

TEST(LocaleSettings, LanguageChangeSetsFormatsAndQtLocale)
{
    auto lang = LangTest::MakeBuiltInLanguage();
    EXPECT_EQ(LocaleFormats().ShortDateFormat, "d.M.yyyy");
    EXPECT_EQ(LocaleFormats().DateSeparator, ".");
    EXPECT_EQ(LocaleFormats().DecimalSeparator, ",");
    EXPECT_EQ(LocaleFormats().ThousandSeparator, "\xA0");
    EXPECT_EQ(LocaleFormats().LongDayNames[1], Cz("pondělí"));
    EXPECT_EQ(LocaleFormats().ShortDayNames[0], "ne");
    EXPECT_EQ(LocaleFormats().LongMonthNames[11], "prosinec");
    EXPECT_EQ(LocaleFormats().LongTimeFormat, "h:mm:ss");
    EXPECT_EQ(LocaleFormats().CurrencyString, Cz("Kč"));
    EXPECT_EQ(LocaleFormats().PriLangID, 5);
    EXPECT_EQ(Tixutils::FormatSettings().ShortDateFormat, "d.M.yyyy");
    EXPECT_EQ(Tixutils::FormatSettings().DateSeparator, '.');
    EXPECT_EQ(QLocale().name(), "cs_CZ");
    lang->SetCurrLanguageId(0x0809);
    EXPECT_EQ(LocaleFormats().ShortDateFormat, "dd/MM/yyyy");
    EXPECT_EQ(LocaleFormats().LongTimeFormat, "hh:mm:ss");
    EXPECT_EQ(LocaleFormats().LongDayNames[0], "Sunday");
    // The formats make texts of the program's data, held in the system
    // code page whatever the language: the pound sign is not in cp1250
    // (its byte there is "Ł").
    EXPECT_EQ(LocaleFormats().CurrencyString, "?");
    EXPECT_EQ(Tixutils::FormatSettings().DateSeparator, '/');
    EXPECT_EQ(Tixutils::FormatSettings().ShortDateFormat, "dd/MM/yyyy");
    EXPECT_EQ(QLocale().name(), "en_GB");
    // Both write the day before the month.
    EXPECT_EQ(Tixutils::DateToStr(38694.0), "08/12/2005");
    lang->SetCurrLanguageId(0x0405);
    EXPECT_EQ(Tixutils::DateToStr(38694.0), "8.12.2005");
}

TEST(LocaleSettings, UnknownLocaleTakesNamesFromItsFileAndEraCalendarsRewriteYears)
{
    const std::string romanian = Crlf({"[General]", "LanguageId=0x0418", "LanguageName=\"Romana\"",
                                       "LOCALE_SDAYNAME1=\"luni\"", "LOCALE_SSHORTDATE=\"gg yyyy/MM/dd\"",
                                       "LOCALE_ICALENDARTYPE=3", "LOCALE_ITIME=0", "LOCALE_ITIMEMARKPOSN=1"});
    auto lang = LangTest::MakeLanguage({romanian}, {});
    EXPECT_EQ(LocaleFormats().LongDayNames[1], "luni");
    EXPECT_EQ(LocaleFormats().LongDayNames[2], "Tuesday");
    EXPECT_EQ(LocaleFormats().ShortDateFormat, "ggg eeee/MM/dd");
    EXPECT_EQ(LocaleFormats().LongDateFormat, "mmmm d, eeee");
    EXPECT_EQ(LocaleFormats().ShortTimeFormat, "AMPM h:mm");
    EXPECT_EQ(LocaleFormats().DateSeparator, "/");
}

TEST(LocaleSettings, LocaleTypeNames)
{
    EXPECT_EQ(VTixLanguage::LocaleTypeToName(0), "");
    EXPECT_EQ(VTixLanguage::LocaleTypeToName(12345), "");
    EXPECT_EQ(VTixLanguage::LocaleTypeToName(4), "LOCALE_SNATIVELANGNAME");
    EXPECT_EQ(VTixLanguage::LocaleTypeToName(4100), "LOCALE_IDEFAULTANSICODEPAGE");
    EXPECT_EQ(VTixLanguage::LocaleTypeToName(4105), "LOCALE_ICALENDARTYPE");
    EXPECT_EQ(VTixLanguage::LocaleTypeToName(0x002A), "LOCALE_SDAYNAME1");
    EXPECT_EQ(VTixLanguage::LocaleTypeToName(0x100F), "LOCALE_SABBREVMONTHNAME13");
    std::set<int> types;
    std::set<std::string> names;
    for (const auto& [type, name] : Tixlanguage::LocaleTypeTable()) {
        types.insert(type);
        names.insert(name);
    }
    EXPECT_EQ(Tixlanguage::LocaleTypeTable().size(), 110u);
    EXPECT_EQ(types.size(), 110u);
    EXPECT_EQ(names.size(), 110u);
}

TEST(LocaleSettings, LocaleStringsFromTheSystemTableThenTheLanguageFiles)
{
    auto lang = LangTest::MakeBuiltInLanguage();
    EXPECT_EQ(VTixLanguage::GetLocaleStr(0x0405, Tixlanguage::LOCALE_SISO639LANGNAME, "?"), "cs");
    EXPECT_EQ(VTixLanguage::GetLocaleStr(0x0405, Tixlanguage::LOCALE_IDEFAULTANSICODEPAGE, "?"), "1250");
    EXPECT_EQ(VTixLanguage::GetLocaleStr(0x0809, Tixlanguage::LOCALE_IDEFAULTANSICODEPAGE, "?"), "1252");
    EXPECT_EQ(VTixLanguage::GetLocaleStr(0x0005, Tixlanguage::LOCALE_SNATIVELANGNAME, "?"), Cz("čeština"));
    EXPECT_EQ(VTixLanguage::GetLocaleStr(0x0405, 0x0002 /* LOCALE_SLANGUAGE */, "?"), Cz("čeština"));
    EXPECT_EQ(VTixLanguage::GetLocaleStr(0x0407, 0x0002, "?"), "?");
    EXPECT_EQ(VTixLanguage::GetLocaleStr(0x0405, 0, "?"), "?");
}

TEST(GlobalInstance, FirstComponentStaysGlobalUntilDestroyed)
{
    auto first = std::make_unique<VTixLanguage>();
    EXPECT_EQ(VTixLanguage::GlobalInstance(), first.get());
    auto second = std::make_unique<VTixLanguage>();
    EXPECT_EQ(VTixLanguage::GlobalInstance(), first.get());
    first.reset();
    EXPECT_EQ(VTixLanguage::GlobalInstance(), nullptr);
    second.reset();
    auto third = std::make_unique<VTixLanguage>();
    EXPECT_EQ(VTixLanguage::GlobalInstance(), third.get());
}

TEST(RegistryOverrides, ValuesOfTheLanguagesKeysWinSectionBySection)
{
    {
        Platform::TRegistry registry;
        ASSERT_TRUE(registry.WriteString("Software\\LangTest\\0405\\Texts", "ProgressHint_0", "override"));
        ASSERT_TRUE(registry.WriteString("Software\\LangTest\\0000\\FormMain", "Key", "general"));
        registry.Sync();
    }
    auto lang = std::make_unique<VTixLanguage>();
    lang->SetCfgDirectory("/no/such/folder");
    lang->SetRegistryPath("Software\\LangTest");
    lang->UseBuiltInTexts();
    lang->Loaded();
    EXPECT_EQ(lang->GetLangText("Texts", "ProgressHint_0", "x"), "override");
    EXPECT_EQ(lang->GetLangText("Texts", "ProgressHint_2", "x"), Cz("Pracuji..."));
    EXPECT_EQ(lang->GetLangText("FormMain.Panel1.Edit", "Key", "x"), "general");
    lang->SetCurrLanguageId(0x0809);
    EXPECT_EQ(lang->GetLangText("Texts", "ProgressHint_0", "x"), "Ready");
    EXPECT_EQ(lang->GetLangText("FormMain", "Key", "x"), "general");
}

TEST(RegistryChoice, TheChosenLanguageIsRememberedUnderOptionsGeneral)
{
    auto lang = LangTest::MakeBuiltInLanguage();
    {
        Platform::TRegistry registry;
        registry.DeleteValue("Options\\General", "Language");
    }
    EXPECT_EQ(VTixLanguage::ReadLanguageChoice(), Cz("Česky"));
    lang->SetCurrLanguage(VTixLanguage::ReadLanguageChoice());
    EXPECT_EQ(lang->GetCurrLanguageId(), 0x0405);
    lang->SetCurrLanguageId(0x0809);
    lang->WriteLanguageChoice();
    {
        Platform::TRegistry registry;
        EXPECT_EQ(registry.ReadString("Options\\General", "Language", ""), "English");
    }
    auto other = LangTest::MakeBuiltInLanguage();
    other->SetCurrLanguage(VTixLanguage::ReadLanguageChoice());
    EXPECT_EQ(other->GetCurrLanguageId(), 0x0809);
}

TEST(Authoring, IconFileBecomesIconStringAndSystemLocaleValues)
{
    LangTest::TempDir dir;
    LangTest::WriteFile(dir.File("xx.ico"), std::string("\x00\x01\xAB", 3));
    LangTest::WriteFile(dir.File("xx.lng"), Crlf({"[General]", "LanguageId=0x0405"}));
    auto lang = LangTest::MakeBuiltInLanguage();
    lang->ConvertIconToString(dir.File("xx.ico"));
    const std::string text = LangTest::ReadFile(dir.File("xx.lng"));
    EXPECT_NE(text.find("IconString=\"0001AB\"\r\n"), std::string::npos);
    EXPECT_NE(text.find("LOCALE_SISO639LANGNAME=\"cs\"\r\n"), std::string::npos);
    std::vector<std::string> dirs = {"$(LangRoot)\\a\\", "other\\"};
    lang->SetDesignDirs(dirs);
    lang->AddToDesignDirs("$(LangRoot)\\b");
    lang->AddToDesignDirs("plain");
    lang->AddToDesignDirs("plain\\");
    EXPECT_EQ(lang->GetDesignDirs(),
              (std::vector<std::string>{"plain\\", "$(LangRoot)\\a\\", "$(LangRoot)\\b\\", "other\\"}));
}

TEST(LanguageFiles, RescanAndChangeOfLanguageSeeTheFilesAsTheyAreNow)
{
    ASSERT_TRUE(kEnvironment);
    LangTest::TempDir dir;
    LangTest::TempDir elsewhere;
    LangTest::WriteFile(dir.File("de.lng"), GermanWithKeysAhead("Guten Tag"));
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
    LangTest::WriteFile(dir.File("de.lng"), GermanWithKeysAhead("Hallo", "Later=\"sp\xE4ter\""));
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

TEST(LanguageFiles, AFolderHeldInMemoryServesAsTheSameFilesOnDisk)
{
    ASSERT_TRUE(kEnvironment);
    LangTest::TempDir dir;
    const std::map<std::string, std::string> files = {
        {"de.lng", GermanWithKeysAhead("Guten Tag")},
        {"de0.LNG", Crlf({"[General]", "LanguageId=0x0007", "[Texts]", "Neutral=\"neutral\""})},
        {".lng", Crlf({"[General]", "LanguageId=0x040C", "LanguageName=\"Hidden\""})},
        {"fr.txt", Crlf({"[General]", "LanguageId=0x040C", "LanguageName=\"Text\""})},
    };
    Tixlanguage::TMemoryLanguageFiles memory;
    for (const auto& [name, text] : files) {
        LangTest::WriteFile(dir.File(name), text);
        memory.Put(dir.File(name), text);
    }
    // Another folder's file is not the folder's.
    memory.Put(dir.File("sub") + "/it.lng", Crlf({"[General]", "LanguageId=0x0410"}));
    const auto load = [&](Tixlanguage::TLanguageFiles* source) {
        auto lang = std::make_unique<VTixLanguage>();
        lang->SetLanguageFiles(source);
        lang->SetCfgDirectory(dir.Path());
        lang->SetStartupLanguages(VTixLanguage::BuiltInLanguages());
        lang->SetStartupAnyLanguages(VTixLanguage::BuiltInAnyLanguages());
        lang->Loaded();
        return lang;
    };
    const auto describe = [](const VTixLanguage& lang) {
        std::vector<std::string> d;
        for (const auto& r : lang.GetLanguages())
            d.push_back(r->LanguageName + " " + std::to_string(r->GetLanguageId()) + " " + r->ConfigFile);
        d.push_back(std::to_string(lang.GetAnyLanguages().size()));
        return d;
    };
    auto disk = load(nullptr);
    auto held = load(&memory);
    ASSERT_EQ(describe(*disk).size(), 4u);
    EXPECT_EQ(describe(*held), describe(*disk));
    for (VTixLanguage* lang : {disk.get(), held.get()}) {
        lang->SetCurrLanguage("Deutsch");
        EXPECT_EQ(lang->GetLangText("Texts", "Hello", "x"), "Guten Tag");
        EXPECT_EQ(lang->GetLangText("Texts", "Neutral", "x"), "neutral");
        // A text written goes into the language's file and is read back
        // from it by the next scan.
        lang->SetLangText("Texts", "Written", "neu", -1, -1);
        lang->updateLanguages(false);
        EXPECT_EQ(lang->GetLangText("Texts", "Written", "x"), "neu");
    }
    std::string onDisk;
    std::string inMemory;
    ASSERT_TRUE(Tixlanguage::ReadWholeFile(dir.File("de.lng"), onDisk));
    ASSERT_TRUE(memory.Read(dir.File("de.lng"), inMemory));
    EXPECT_NE(onDisk, files.at("de.lng"));
    EXPECT_EQ(inMemory, onDisk);
    EXPECT_FALSE(memory.Read(dir.File("none.lng"), inMemory));
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
