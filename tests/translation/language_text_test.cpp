// The language text format: continuation lines, the index and sort, the
// section and key search and the quick key reader.
#include <gtest/gtest.h>

#include <random>

#include "tests/translation/lang_test_support.h"
#include "translation/language_text.h"

using namespace Tixlanguage;
using LangTest::Crlf;

namespace {

TLangCache CacheOf(const std::string& text, bool indexed)
{
    bool utf8 = false;
    std::vector<std::string> lines = SplitLanguageText(text, utf8);
    JoinContinuationLines(lines);
    TLangCache cache;
    cache.SetLines(std::move(lines));
    if (indexed)
        IndexAndSortCache(cache);
    return cache;
}

std::string Find(const TLangCache& cache, const std::string& section, const std::string& key,
                 bool* found = nullptr, std::string* remainder = nullptr)
{
    bool f = false;
    std::string rest;
    std::string v = TixFindInIni(section, key, "<default>", f, rest, cache);
    if (found)
        *found = f;
    if (remainder)
        *remainder = rest;
    return v;
}

}  // namespace

TEST(LanguageLines, SplitsAllLineEndsAndCutsTheByteOrderMark)
{
    bool utf8 = false;
    auto lines = SplitLanguageText("\xEF\xBB\xBF[General]\r\nA=1\nB=2\rC=3", utf8);
    EXPECT_TRUE(utf8);
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[0], "[General]");
    EXPECT_EQ(lines[3], "C=3");
    lines = SplitLanguageText("[General]\r\n\r\n", utf8);
    EXPECT_FALSE(utf8);
    EXPECT_EQ(lines, (std::vector<std::string>{"[General]", ""}));
    // Lone CRs before a far LF, an LF CR pair, NUL bytes inside a line.
    lines = SplitLanguageText(std::string("a\rb\rc\r\nd\n\re\0f\r\r\n", 16), utf8);
    EXPECT_EQ(lines, (std::vector<std::string>{"a", "b", "c", "d", "", std::string("e\0f", 3), ""}));
    EXPECT_EQ(SplitLanguageText("\xEF\xBB\xBF", utf8), std::vector<std::string>{});
    EXPECT_TRUE(utf8);
}

TEST(LanguageLines, ContinuationLinesJoinByTheirRules)
{
    std::vector<std::string> lines = {
        "A=\"abc\"+",   "  \"def\"+", "\"ghi\"",  // chain: quote + quote
        "B=\"abc\"+",   "#13#10\"x\"",            // quote + code
        "C=0A+",        "\"x\"",                  // hex digit + quote
        "D=\"abc\"g+",  "\"x\"",                  // letter other than A-F: never joined
        "E=\"abc\"+",   "",           "\"x\"",    // an empty line below: not joined
        "F=\"abc\"+",   "xyz",                    // next line starts otherwise
    };
    JoinContinuationLines(lines);
    ASSERT_EQ(lines.size(), 10u);
    EXPECT_EQ(lines[0], "A=\"abcdefghi\"");
    EXPECT_EQ(lines[1], "B=\"abc\"#13#10\"x\"");
    EXPECT_EQ(lines[2], "C=0A\"x\"");
    EXPECT_EQ(lines[3], "D=\"abc\"g+");
    EXPECT_EQ(lines[5], "E=\"abc\"+");
    EXPECT_EQ(lines[8], "F=\"abc\"+");
}

TEST(LanguageLines, DoubledQuoteBeforeContinuationStaysAQuote)
{
    const TLangCache cache = CacheOf(Crlf({"[S]", "K=\"say \"\"\"+", "\"hi\"\"\""}), false);
    EXPECT_EQ(Find(cache, "S", "K"), "\"say \"\"hi\"\"\"");
}

TEST(LanguageIndex, IndexValuesAndSortKeepEverySectionInItsBlock)
{
    TLangCache cache = CacheOf(Crlf({"; head", "[B]", "z=1", "; c", "a*=2", "m=3", "[A]", "q=4", "b=5"}), false);
    EXPECT_FALSE(cache.Indexed());
    IndexAndSortCache(cache);
    ASSERT_TRUE(cache.Indexed());
    EXPECT_EQ(cache.Lines(), (std::vector<std::string>{"; head", "[B]", "a*=2", "m=3", "z=1", "; c",
                                                     "[A]", "b=5", "q=4"}));
    EXPECT_EQ(cache.Index[0], 1u * 4 + lkOther);
    EXPECT_EQ(cache.Index[1], 6u * 4 + lkHeader);
    EXPECT_EQ(cache.Index[2], 6u * 4 + lkWildcardKey);
    EXPECT_EQ(cache.Index[3], 6u * 4 + lkPlainKey);
    EXPECT_EQ(cache.Index[6], 9u * 4 + lkHeader);
    // Indexing twice changes nothing.
    const auto before = cache.Lines();
    IndexAndSortCache(cache);
    EXPECT_EQ(cache.Lines(), before);
}

TEST(LanguageIndex, ClassifiesByTheFirstSpecialCharacter)
{
    EXPECT_EQ(ClassifyLine("  [X]  "), lkHeader);
    EXPECT_EQ(ClassifyLine("Key=\"a*b\""), lkPlainKey);
    EXPECT_EQ(ClassifyLine("K?y=1"), lkWildcardKey);
    EXPECT_EQ(ClassifyLine("\"q\"=1"), lkOther);
    EXPECT_EQ(ClassifyLine("x"), lkOther);
    EXPECT_EQ(ClassifyLine("no key here"), lkOther);
    EXPECT_EQ(ClassifyLine("a*=b"), lkWildcardKey);
    EXPECT_EQ(ClassifyLine("k=v*?"), lkPlainKey);
    EXPECT_EQ(ClassifyLine("?x"), lkWildcardKey);
    EXPECT_EQ(ClassifyLine("\"a\"*=1"), lkOther);
    EXPECT_EQ(ClassifyLine("  *"), lkOther);
}

class SectionSearch : public ::testing::TestWithParam<bool> {};

TEST_P(SectionSearch, HeaderServesLongerSectionsOnlyAfterPointOrUnderscore)
{
    const TLangCache cache = CacheOf(Crlf({"[FormMain]", "K=\"main\""}), GetParam());
    bool found = false;
    EXPECT_EQ(Find(cache, "FormMain.GroupCCLK", "K", &found), "\"main\"");
    EXPECT_TRUE(found);
    EXPECT_EQ(Find(cache, "FormMain_X", "K"), "\"main\"");
    EXPECT_EQ(Find(cache, "FormMainX", "K", &found), "<default>");
    EXPECT_FALSE(found);
    EXPECT_EQ(Find(cache, "Form", "K"), "<default>");
}

TEST_P(SectionSearch, LongestServingHeaderWinsWhateverTheOrder)
{
    for (const auto& text : {Crlf({"[FormMain]", "K=\"short\"", "[FormMain.Page1]", "K=\"page\""}),
                             Crlf({"[FormMain.Page1]", "K=\"page\"", "[FormMain]", "K=\"short\""}),
                             Crlf({"[]", "K=\"any\"", "[FormMain.Page1]", "K=\"page\"", "[FormMain]",
                                   "K=\"short\""})}) {
        const TLangCache cache = CacheOf(text, GetParam());
        EXPECT_EQ(Find(cache, "FormMain.Page1.Edit", "K"), "\"page\"");
        EXPECT_EQ(Find(cache, "FormMain.Page2", "K"), "\"short\"");
    }
}

TEST_P(SectionSearch, ExactSectionEndsTheSearchEvenBeforeALongerHeader)
{
    const TLangCache cache =
        CacheOf(Crlf({"[A]", "K=\"a\"", "[A.B]", "K=\"ab\"", "[A]", "K=\"second a\""}), GetParam());
    EXPECT_EQ(Find(cache, "A", "K"), "\"a\"");
}

TEST_P(SectionSearch, CatchAllServesEverySection)
{
    const TLangCache cache = CacheOf(Crlf({"[Other]", "X=1", "[]", "K=\"all\""}), GetParam());
    EXPECT_EQ(Find(cache, "Texts", "K"), "\"all\"");
    EXPECT_EQ(Find(cache, "FormMain.Panel", "K"), "\"all\"");
    EXPECT_EQ(Find(cache, "Texts", "X"), "<default>");
}

TEST_P(SectionSearch, PlainKeyNeverAnswersALongerKey)
{
    const TLangCache cache = CacheOf(Crlf({"[S]", "Btn=\"short\"", "BtnOK=\"ok\""}), GetParam());
    EXPECT_EQ(Find(cache, "S", "Btn"), "\"short\"");
    EXPECT_EQ(Find(cache, "S", "BtnOK"), "\"ok\"");
    bool found = true;
    EXPECT_EQ(Find(cache, "S", "BtnCancel", &found), "<default>");
    EXPECT_FALSE(found);
    EXPECT_EQ(Find(cache, "S", "Bt"), "<default>");
}

TEST_P(SectionSearch, WildcardKeyAnswersWithTheRemainder)
{
    const TLangCache cache = CacheOf(Crlf({"[S]", "Day*=@\"General\",LOCALE_SDAYNAME", "a?c=\"q\""}), GetParam());
    bool found = false;
    std::string rest;
    EXPECT_EQ(Find(cache, "S", "DayOfWeek3", &found, &rest), "@\"General\",LOCALE_SDAYNAME");
    EXPECT_TRUE(found);
    EXPECT_EQ(rest, "OfWeek3");
    EXPECT_EQ(Find(cache, "S", "abc", &found, &rest), "\"q\"");
    EXPECT_EQ(rest, "");
    EXPECT_EQ(Find(cache, "S", "abcd", &found), "<default>");
    EXPECT_FALSE(found);
}

TEST_P(SectionSearch, EmptyKeyAndNonKeyLinesNeverMatch)
{
    const TLangCache cache = CacheOf(Crlf({"[S]", "=\"empty\"", "\"K\"=1", "K", "; K=comment?"}), GetParam());
    bool found = true;
    EXPECT_EQ(Find(cache, "S", "", &found), "<default>");
    EXPECT_FALSE(found);
    EXPECT_EQ(Find(cache, "S", "K"), "<default>");
    EXPECT_EQ(Find(cache, "S", "; K"), "comment?");
}

INSTANTIATE_TEST_SUITE_P(IndexedAndNot, SectionSearch, ::testing::Values(false, true));

TEST(SectionSearchOrder, WildcardBeatsPlainKeyInIndexedSectionsFirstLineWinsOtherwise)
{
    const std::string text = Crlf({"[S]", "Label=\"plain\"", "Lab*=\"wild\""});
    EXPECT_EQ(Find(CacheOf(text, true), "S", "Label"), "\"wild\"");
    EXPECT_EQ(Find(CacheOf(text, false), "S", "Label"), "\"plain\"");
    const std::string reversed = Crlf({"[S]", "Lab*=\"wild\"", "Label=\"plain\""});
    EXPECT_EQ(Find(CacheOf(reversed, false), "S", "Label"), "\"wild\"");
}

TEST(SectionSearchOrder, BinarySearchFindsEveryKeyOfABigSection)
{
    std::vector<std::string> lines = {"[Big]"};
    for (int i = 0; i < 500; ++i)
        lines.push_back("K" + std::to_string(i * 7919 % 1000) + "=\"" + std::to_string(i) + "\"");
    lines.push_back("");
    lines.push_back("; trailing comment");
    lines.push_back("[Next]");
    lines.push_back("K1=\"next\"");
    const TLangCache cache = CacheOf(Crlf(lines), true);
    for (int i = 0; i < 500; ++i)
        EXPECT_EQ(Find(cache, "Big", "K" + std::to_string(i * 7919 % 1000)), "\"" + std::to_string(i) + "\"");
    EXPECT_EQ(Find(cache, "Big", "K1000"), "<default>");
    EXPECT_EQ(Find(cache, "Next", "K1"), "\"next\"");
}

TEST(QuickKeyReader, ReadsGeneralKeysOfAFile)
{
    LangTest::TempDir dir;
    const std::string file = dir.File("a.lng");
    LangTest::WriteFile(file, "\xEF\xBB\xBF[General]\r\nLanguageId=0x0405\r\nLanguageName=\"Cesky\"\r\n"
                              "Tail=\"abc\r\n[Texts]\r\nLanguageCharset=238\r\n");
    std::string buffer;
    EXPECT_EQ(QuickReadKey("General", "LanguageId", "", file, 200, buffer), 6);
    EXPECT_EQ(buffer, "0x0405");
    EXPECT_EQ(QuickReadKey("General", "LanguageName", "", file, 200, buffer), 5);
    EXPECT_EQ(buffer, "Cesky");
    // An unterminated quoted value keeps what it has.
    EXPECT_EQ(QuickReadKey("General", "Tail", "", file, 200, buffer), 3);
    EXPECT_EQ(buffer, "abc");
    // A key of the next section is not the section's key.
    EXPECT_EQ(QuickReadKey("General", "LanguageCharset", "dflt", file, 200, buffer), 0);
    EXPECT_EQ(buffer, "dflt");
    EXPECT_EQ(QuickReadKey("Texts", "LanguageCharset", "", file, 200, buffer), 3);
    EXPECT_EQ(buffer, "238");
    EXPECT_EQ(QuickReadKey("General", "LanguageId", "x", dir.File("missing.lng"), 200, buffer), 0);
    EXPECT_EQ(buffer, "x");
}

TEST(QuickKeyReader, BlankLinesBufferLimitAndUnquotedValues)
{
    LangTest::TempDir dir;
    const std::string file = dir.File("b.lng");
    LangTest::WriteFile(file, "; comment\r\n\r\n[Gen]\r\n[General]\r\n\r\nLong=" + std::string(300, 'x') +
                                  "\r\nPlain=a \"b\"\r\nEnd=\"last\"");
    std::string buffer;
    EXPECT_EQ(QuickReadKey("General", "Long", "", file, 200, buffer), 199);
    EXPECT_EQ(buffer, std::string(199, 'x'));
    EXPECT_EQ(QuickReadKey("General", "Plain", "", file, 200, buffer), 5);
    EXPECT_EQ(buffer, "a \"b\"");
    EXPECT_EQ(QuickReadKey("General", "End", "", file, 200, buffer), 4);
    EXPECT_EQ(buffer, "last");
    EXPECT_EQ(QuickReadKey("General", "End", "d", file, 0, buffer), 0);
    // Room for one character less than the buffer's size; a fuzzer found
    // a buffer of one that got a character.
    for (const char* key : {"Long", "Plain", "End"}) {
        SCOPED_TRACE(key);
        EXPECT_EQ(QuickReadKey("General", key, "d", file, 1, buffer), 0);
        EXPECT_EQ(buffer, "");
        EXPECT_EQ(QuickReadKey("General", key, "d", file, 2, buffer), 1);
        EXPECT_EQ(buffer.size(), 1u);
    }
    EXPECT_EQ(buffer, "l");
    EXPECT_EQ(QuickReadKey("Gen", "End", "", file, 200, buffer), 0);
}

TEST(LanguageNumbers, ReadsDecimalHexAndQuotedNumbers)
{
    EXPECT_EQ(ParseLangNumber("0x0405", -1), 0x405);
    EXPECT_EQ(ParseLangNumber("\"0x0809\"", -1), 0x809);
    EXPECT_EQ(ParseLangNumber("$1F", -1), 31);
    EXPECT_EQ(ParseLangNumber(" 238 ", -1), 238);
    EXPECT_EQ(ParseLangNumber("0xFFFFFFFF", 5), -1);
    EXPECT_EQ(ParseLangNumber("-12", 0), -12);
    EXPECT_EQ(ParseLangNumber("2000000000", 0), 2000000000);
    EXPECT_EQ(ParseLangNumber("9999999999", 7), 7);
    EXPECT_EQ(ParseLangNumber("0x1FFFFFFFF", 7), 7);
    EXPECT_EQ(ParseLangNumber("12a", 7), 7);
    EXPECT_EQ(ParseLangNumber("", 7), 7);
    EXPECT_EQ(ParseLangNumber("0x", 7), 7);
}

TEST(LanguageTextRobustness, ArbitraryBytesNeverCrashTheReaders)
{
    LangTest::TempDir dir;
    std::mt19937 rng(12345);
    const std::string alphabet = "[]=\"*?#+\r\n AbK0_.@\xEF\xBB\xBF";
    for (int round = 0; round < 300; ++round) {
        std::string text;
        // Some texts longer than the file reader's 512-byte pieces.
        const int len = int(rng() % (round % 3 == 0 ? 1500 : 400));
        for (int i = 0; i < len; ++i)
            text += (rng() % 4 == 0) ? char(rng() % 256) : alphabet[rng() % alphabet.size()];
        for (bool indexed : {false, true}) {
            const TLangCache cache = CacheOf(text, indexed);
            bool found = false;
            std::string rest;
            TixFindInIni("A", "K", "d", found, rest, cache);
            TixFindInIni("A.B_c", "K*", "d", found, rest, cache);
            TixFindInIni("", "Ab", "d", found, rest, cache);
        }
        const std::string file = dir.File("r.lng");
        LangTest::WriteFile(file, text);
        std::string buffer;
        const int n = QuickReadKey("A", "K", "", file, 200, buffer);
        EXPECT_GE(n, 0);
        EXPECT_LE(n, 199);
        // Read piece by piece from the file or whole from memory, the same
        // bytes give the same answer.
        for (int size : {200, 3, 1}) {
            std::string fromFile;
            std::string fromText;
            const int m = QuickReadKey("A", "K", "-", file, size, fromFile);
            EXPECT_EQ(QuickReadKeyInText("A", "K", "-", text, size, fromText), m);
            EXPECT_EQ(fromText, fromFile);
        }
    }
}
