// Text lookup: the order of sources, item indexes, redirections, code
// pages and UTF-8, and writing texts.
#include <gtest/gtest.h>

#include <random>

#include "platform/codepage.h"
#include "tests/translation/lang_test_support.h"
#include "translation/tixlanguage.h"

using LangTest::Crlf;
using LangTest::Cz;
using LangTest::We;

namespace {

std::string CzechText()
{
    return Cz(Crlf({"[General]", "LanguageId=0x0405", "LanguageName=\"Česky\"", "[Texts]",
                    "Hello=\"Dobrý den\"", "Item_0=\"nula\"", "Item_2=\"dva\"", "Redir=@\"Texts\",Hello",
                    "Loop1=@Texts,Loop2", "Loop2=@Texts,Loop1", "Self=@Texts,Self",
                    "Missing=@Texts,Nothing", "Wild*=@\"Texts\",Target", "TargetX=\"cíl x\"",
                    "Lines=\"první\"#13#10\"druhý \"\"řádek\"\"\"", "[FormMain]", "Caption=\"Hlavní\"",
                    "[FormMain.Big]", "Caption=\"Velké\""}));
}

std::string EnglishText()
{
    return We(Crlf({"[General]", "LanguageId=0x0809", "LanguageName=\"English\"", "[Texts]",
                    "Hello=\"Good day\"", "OnlyEnglish=\"english only\"", "Price=\"£ 5, café\""}));
}

std::string NeutralCzech()
{
    return Cz(Crlf({"[General]", "LanguageId=0x0005", "LOCALE_IDEFAULTANSICODEPAGE=\"1250\"",
                    "LOCALE_SNATIVELANGNAME=\"čeština\"", "[Texts]", "Neutral=\"neutrální\"",
                    "Item_1=\"jedna\""}));
}

std::string NeutralEnglish()
{
    return Crlf({"[General]", "LanguageId=0x0009", "LOCALE_IDEFAULTANSICODEPAGE=1252"});
}

std::string AnyText()
{
    return Crlf({"[General]", "LanguageId=0", "[Texts]", "AnyOnly=\"any\"", "Item_3=\"three\"",
                 "Neutral=\"any neutral\""});
}

class Lookup : public ::testing::Test {
protected:
    void SetUp() override
    {
        lang = LangTest::MakeLanguage({CzechText(), EnglishText()},
                                      {AnyText(), NeutralCzech(), NeutralEnglish()});
        lang->SetCurrLanguageId(0x0405);
        ASSERT_EQ(lang->GetCurrLanguageId(), 0x0405);
    }
    std::unique_ptr<VTixLanguage> lang;
};

}  // namespace

TEST_F(Lookup, EmptyKeyGivesDefaultEmptySectionGivesKey)
{
    EXPECT_EQ(lang->GetLangText("Texts", "", "dflt"), "dflt");
    EXPECT_EQ(lang->GetLangText("", "Hello", "dflt"), "Hello");
    EXPECT_EQ(lang->GetSimpleText(""), "");
    EXPECT_EQ(lang->GetSimpleText("Hello"), Cz("Dobrý den"));
    EXPECT_EQ(lang->GetSimpleText("Unknown"), "Unknown");
}

TEST_F(Lookup, CzechTextsComeInCodePage1250)
{
    EXPECT_EQ(lang->GetLangText("Texts", "Hello", "x"), Cz("Dobrý den"));
    EXPECT_EQ(lang->GetLangText("Texts", "Lines", "x"), Cz("první\r\ndruhý \"řádek\""));
    EXPECT_EQ(lang->GetCurrLanguage(), Cz("Česky"));
    EXPECT_FALSE(lang->GetCurrentUTF8());
}

TEST_F(Lookup, CzechNeverReturnsEnglish)
{
    EXPECT_EQ(lang->GetLangText("Texts", "OnlyEnglish", Cz("jen česky")), Cz("jen česky"));
    lang->SetCurrLanguageId(0x0809);
    EXPECT_EQ(lang->GetLangText("Texts", "OnlyEnglish", "x"), "english only");
    // English is asked directly by its id while Czech is active.
    lang->SetCurrLanguageId(0x0405);
    EXPECT_EQ(lang->GetLangText("Texts", "Hello", "x", -1, 0x0809), "Good day");
}

TEST_F(Lookup, NeutralRecordThenAnyThenDefault)
{
    EXPECT_EQ(lang->GetLangText("Texts", "Neutral", "x"), Cz("neutrální"));
    EXPECT_EQ(lang->GetLangText("Texts", "AnyOnly", "x"), "any");
    EXPECT_EQ(lang->GetLangText("Texts", "Nowhere", Cz("výchozí")), Cz("výchozí"));
    lang->SetCurrLanguageId(0x0809);
    // English has its own neutral record without the key: Any answers.
    EXPECT_EQ(lang->GetLangText("Texts", "Neutral", "x"), "any neutral");
    EXPECT_EQ(lang->GetLangText("Texts", "AnyOnly", "x"), "any");
}

TEST_F(Lookup, NeutralAndAnyRecordsMatchKeysExactly)
{
    EXPECT_EQ(lang->GetLangText("Texts", "NeutralX", "d"), "d");
    EXPECT_EQ(lang->GetLangText("Texts", "Neutra", "d"), "d");
    EXPECT_EQ(lang->GetLangText("Texts", "AnyOnlyMore", "d"), "d");
}

TEST_F(Lookup, ItemIndexLooksUpKeyUnderscoreIndexInEverySource)
{
    EXPECT_EQ(lang->GetLangText("Texts", "Item", "d", 0), "nula");
    EXPECT_EQ(lang->GetLangText("Texts", "Item", "d", 1), "jedna");
    EXPECT_EQ(lang->GetLangText("Texts", "Item", "d", 2), "dva");
    EXPECT_EQ(lang->GetLangText("Texts", "Item", "d", 3), "three");
    EXPECT_EQ(lang->GetLangText("Texts", "Item", "d", 4), "d");
    EXPECT_EQ(lang->GetLangText("Texts", "Item", "d"), "d");
    EXPECT_EQ(lang->GetLangText("Texts", "Item", "d", 3, 0x0809), "three");
}

TEST_F(Lookup, RedirectionsFollowAndCyclesEndInTheDefault)
{
    EXPECT_EQ(lang->GetLangText("Texts", "Redir", "d"), Cz("Dobrý den"));
    EXPECT_EQ(lang->GetLangText("Texts", "Missing", "d"), "d");
    EXPECT_EQ(lang->GetLangText("Texts", "Loop1", "d"), "d");
    EXPECT_EQ(lang->GetLangText("Texts", "Self", "d"), "d");
    // A wildcard key hands the rest of the looked-up key to its target.
    EXPECT_EQ(lang->GetLangText("Texts", "WildX", "d"), Cz("cíl x"));
    EXPECT_EQ(lang->GetLangText("Texts", "WildY", "d"), "d");
}

TEST_F(Lookup, FormSuffixExtendsTheSection)
{
    lang->SetAllFormsSuffix(".Big");
    EXPECT_EQ(lang->GetAllFormsSuffix(), "Big");
    EXPECT_EQ(lang->GetLangTextSuff("FormMain", "Caption", "d"), Cz("Velké"));
    lang->SetAllFormsSuffix("Small");
    EXPECT_EQ(lang->GetLangTextSuff("FormMain", "Caption", "d"), Cz("Hlavní"));
    lang->SetAllFormsSuffix("");
    EXPECT_EQ(lang->GetLangTextSuff("FormMain", "Caption", "d"), Cz("Hlavní"));
}

TEST_F(Lookup, EnglishTextsComeInCodePage1252)
{
    lang->SetCurrLanguageId(0x0809);
    EXPECT_EQ(lang->GetLangText("Texts", "Price", "x"), We("£ 5, café"));
    EXPECT_EQ(lang->GetLangTextW("Texts", "Price", u"x"), u"£ 5, café");
    EXPECT_EQ(lang->GetLangTextUtf8("Texts", "Price", "x"), "£ 5, café");
    EXPECT_EQ(lang->GetLangTextUtf8("Texts", "Nothing", "žluť"), "žluť");
}

TEST_F(Lookup, UnicodeLookupReportsWhetherTheLanguageHadTheText)
{
    bool found = false;
    EXPECT_EQ(lang->GetLangTextW("Texts", "Hello", u"x", -1, -1, &found), u"Dobrý den");
    EXPECT_TRUE(found);
    EXPECT_EQ(lang->GetLangTextW("Texts", "Nothing", u"Ω default", -1, -1, &found), u"Ω default");
    EXPECT_FALSE(found);
}

TEST(LookupEncoding, ByteOrderMarkAndCodePageGiveTheSameTexts)
{
    const std::string utf8Czech = "\xEF\xBB\xBF" + Crlf({"[General]", "LanguageId=0x0405", "[Texts]",
                                                        "Hello=\"Dobrý den, žluťoučký kůň\""});
    const std::string ansiCzech = Cz(Crlf({"[General]", "LanguageId=0x0405", "[Texts]",
                                           "Hello=\"Dobrý den, žluťoučký kůň\""}));
    auto a = LangTest::MakeLanguage({utf8Czech}, {NeutralCzech()});
    auto b = LangTest::MakeLanguage({ansiCzech}, {NeutralCzech()});
    EXPECT_TRUE(a->GetCurrentUTF8());
    EXPECT_FALSE(b->GetCurrentUTF8());
    EXPECT_EQ(a->GetLangText("Texts", "Hello", "x"), Cz("Dobrý den, žluťoučký kůň"));
    EXPECT_EQ(b->GetLangText("Texts", "Hello", "x"), Cz("Dobrý den, žluťoučký kůň"));
    EXPECT_EQ(a->GetLangTextW("Texts", "Hello", u"x"), u"Dobrý den, žluťoučký kůň");
    EXPECT_EQ(b->GetLangTextW("Texts", "Hello", u"x"), u"Dobrý den, žluťoučký kůň");
}

TEST(LookupEncoding, FileOnDiskInEitherEncodingMergesOverTheBuiltInText)
{
    for (const bool withMark : {false, true}) {
        LangTest::TempDir dir;
        const std::string body = Crlf({"[General]", "LanguageId=0x0405", "[Texts]", "Extra=\"přidáno\""});
        LangTest::WriteFile(dir.File("cz.lng"), withMark ? "\xEF\xBB\xBF" + body : Cz(body));
        auto lang = LangTest::MakeLanguage({CzechText()}, {NeutralCzech()}, dir.Path());
        EXPECT_EQ(lang->GetLangText("Texts", "Extra", "x"), Cz("přidáno")) << withMark;
        EXPECT_EQ(lang->GetLangText("Texts", "Hello", "x"), Cz("Dobrý den")) << withMark;
        EXPECT_EQ(lang->GetCurrentUTF8(), withMark);
    }
}

TEST_F(Lookup, SetLangTextWithoutFileGoesIntoTheCacheOnly)
{
    // The Czech cache is indexed: the new key must still be found.
    lang->SetLangText("Texts", "Added", Cz("nový text"), -1, 0x0405);
    lang->SetLangText("Texts", "Hello", Cz("Nazdar"), -1, 0x0405);
    lang->SetLangText("NewSection", "Key", "v", 2, 0x0405);
    EXPECT_EQ(lang->GetLangText("Texts", "Added", "x"), Cz("nový text"));
    EXPECT_EQ(lang->GetLangText("Texts", "Hello", "x"), Cz("Nazdar"));
    EXPECT_EQ(lang->GetLangText("NewSection", "Key", "x", 2), "v");
    EXPECT_EQ(lang->GetLangText("Texts", "Item", "d", 2), "dva");
    // The short forms write into "Any".
    lang->SetSimpleText("Simple", "quoted \"text\"");
    EXPECT_EQ(lang->GetLangText("Texts", "Simple", "x"), "quoted \"text\"");
    EXPECT_TRUE(lang->GetConfigFile().empty());
}

TEST(LookupWrite, SetLangTextWritesTheLanguagesOwnFileOnly)
{
    LangTest::TempDir dir;
    const std::string file = dir.File("Czech.lng");
    LangTest::WriteFile(file, Cz(Crlf({"[General]", "LanguageId=0x0405", "[Texts]", "Hello=\"Ahoj\""})));
    auto lang = LangTest::MakeLanguage({CzechText()}, {AnyText(), NeutralCzech()}, dir.Path());
    EXPECT_EQ(lang->GetConfigFile(), file);
    lang->SetLangText("Texts", "Written", Cz("zapsáno\r\nřádek"), 1, 0x0405);
    EXPECT_NE(LangTest::ReadFile(file).find(Cz("Written_1=\"zapsáno\"#13#10\"řádek\"")), std::string::npos);
    // A language without a file (Any) gets no file at all.
    lang->SetLangText("Texts", "AnyWrite", "x");
    EXPECT_EQ(lang->GetLangText("Texts", "AnyWrite", "d"), "x");
    EXPECT_FALSE(LangTest::FileExists(dir.File("Any.lng")));
}

TEST(LookupWrite, SetCachedTextReplacesInsertsAndAppendsSections)
{
    Tixlanguage::TLangCache cache;
    cache.SetLines({"[A]", "K=\"old\"", "", "[B]", "X=1"});
    VTixLanguage::SetCachedText("A", "K", cache, -1, "new \"q\"");
    VTixLanguage::SetCachedText("A", "L", cache, 3, "l");
    VTixLanguage::SetCachedText("C", "M", cache, -1, "m");
    EXPECT_EQ(cache.Lines(), (std::vector<std::string>{"[A]", "K=\"new \"\"q\"\"\"", "L_3=\"l\"", "", "[B]",
                                                     "X=1", "", "[C]", "M=\"m\""}));
    VTixLanguage::SetCachedText("C", "", cache, -1, "nothing");
    EXPECT_EQ(cache.Lines().size(), 9u);
}

TEST(LookupRobustness, ArbitraryLanguageTextsNeverCrashOrHang)
{
    std::mt19937 rng(777);
    const std::string alphabet = "[]=\"*?#+@,\r\nTextsKey_01 .";
    for (int round = 0; round < 60; ++round) {
        std::vector<std::string> texts;
        for (int t = 0; t < 3; ++t) {
            std::string text = t == 0 ? Crlf({"[General]", "LanguageId=0x0405", "[Texts]"})
                                      : Crlf({"[General]", t == 1 ? "LanguageId=5" : "LanguageId=0"});
            const int len = int(rng() % 300);
            for (int i = 0; i < len; ++i)
                text += (rng() % 5 == 0) ? char(rng() % 256) : alphabet[rng() % alphabet.size()];
            texts.push_back(text);
        }
        auto lang = LangTest::MakeLanguage({texts[0]}, {texts[1], texts[2]});
        for (const char* key : {"Key", "Key_0", "Texts", "K", "@", "*"}) {
            lang->GetLangText("Texts", key, "d");
            lang->GetLangText("Texts", key, "d", 1);
            lang->GetLangTextW("Texts.Sub", key, u"d");
        }
        lang->SetLangText("ZzSection", "ZzKey", "x", -1, 0x0405);
        EXPECT_EQ(lang->GetLangText("ZzSection", "ZzKey", "d"), "x");
    }
}

TEST(LookupConversions, WideConversionsUseTheLanguagesCodePage)
{
    auto lang = LangTest::MakeLanguage({CzechText(), EnglishText()}, {NeutralCzech(), NeutralEnglish()});
    EXPECT_EQ(VTixLanguage::StrToWide(Cz("kůň"), 0x0405), u"kůň");
    EXPECT_EQ(VTixLanguage::StrToWide(We("café"), 0x0809), u"café");
    bool used = false;
    EXPECT_EQ(VTixLanguage::WideToStr(u"kůň", 0x0809, '?', &used), "k??");
    EXPECT_TRUE(used);
    EXPECT_EQ(VTixLanguage::WideToStrCP(u"kůň", 1250, '?', &used), Cz("kůň"));
    EXPECT_FALSE(used);
}
