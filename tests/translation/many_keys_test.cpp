// Several keys looked up in one walk: every answer is that of the single
// lookup, over random texts (indexed or not, with wildcard keys, repeated
// and catch-all sections), and a language's locale values read together
// are those GetLocaleStr gives one by one, redirections, neutral records,
// "Any" and code pages included.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "tests/translation/lang_test_support.h"
#include "translation/language_text.h"
#include "translation/locale_formats.h"
#include "translation/locale_table.h"
#include "translation/tixlanguage.h"

using namespace Tixlanguage;
using LangTest::Crlf;

namespace {

template <typename Pick>
std::vector<std::string> RandomLines(std::mt19937& random, const std::vector<std::string>& pieces, size_t most,
                                     Pick&& pick)
{
    std::vector<std::string> lines(std::uniform_int_distribution<size_t>(0, most)(random));
    for (std::string& l : lines)
        l = pieces[pick(random)];
    return lines;
}

}  // namespace

TEST(ManyKeys, RandomTextsAnswerAsSingleLookups)
{
    const std::vector<std::string> pieces = {
        "[A]", "[A.B]", "[A_B]", " [A] ", "[]", "[B]", "[ A ]", "K=1", "K=2", "L=3", "K*=w", "?=q",
        "L?=r", "\"K\"=x", "K\"=y", "; c", "", "=", "[", "]K=z", "[x]=v", "M=\"m\"", "*=all", "M=4",
        std::string("K\0*=n", 5), std::string("M\0=z", 4), "Mz*y=t", "K?x*=u"};
    const std::vector<std::string> sections = {"A", "A.B", "A_B", "B", "", "C", " A ", "AB", ".A", "A._B_"};
    const std::vector<std::string> keys = {"K", "L", "L1", "Kx", "Q", "\"K\"", "", "]K", "M", "K", "[x]", "Mz"};
    std::mt19937 random(20261210);
    std::uniform_int_distribution<size_t> piece(0, pieces.size() - 1);
    int found = 0;
    for (int round = 0; round < 600; ++round) {
        TLangCache cache;
        cache.SetLines(RandomLines(random, pieces, 16, piece));
        if (round % 2)
            IndexAndSortCache(cache);
        // A random selection of the keys, in a random order, repeats kept.
        std::vector<std::string> ask = keys;
        std::shuffle(ask.begin(), ask.end(), random);
        ask.resize(1 + round % ask.size());
        std::vector<const std::string*> keyRefs;
        for (const std::string& k : ask)
            keyRefs.push_back(&k);
        for (const std::string& s : sections) {
            std::vector<TKeyAnswer> many;
            TixFindManyInIni(s, keyRefs, many, cache);
            ASSERT_EQ(many.size(), ask.size());
            for (size_t k = 0; k < ask.size(); ++k) {
                bool hit = false;
                std::string rest;
                const std::string value = TixFindInIni(s, ask[k], "", hit, rest, cache);
                ASSERT_EQ(many[k].Found, hit) << "round " << round << " " << s << "/" << ask[k];
                ASSERT_EQ(many[k].Value, value) << "round " << round << " " << s << "/" << ask[k];
                ASSERT_EQ(many[k].Remainder, rest) << "round " << round << " " << s << "/" << ask[k];
                found += hit;
            }
        }
    }
    EXPECT_GT(found, 3000);  // the texts answer often enough to compare something
}

// Answers given already are kept: a second text is asked only for what the
// first one lacked.
TEST(ManyKeys, KeysAnsweredAlreadyArePassedOver)
{
    TLangCache first;
    first.SetLines({"[S]", "A=\"1\"", "W*=\"w\""});
    TLangCache second;
    second.SetLines({"[]", "A=\"2\"", "B=\"3\"", "[S.T]", "Wide=\"4\""});
    IndexAndSortCache(second);
    const std::string a = "A", b = "B", wide = "Wide", none = "None", empty;
    const std::vector<const std::string*> keys = {&a, &b, &wide, &none, &empty};
    std::vector<TKeyAnswer> answers;
    TixFindManyInIni("S.T", keys, answers, first);
    ASSERT_EQ(answers.size(), keys.size());
    TixFindManyInIni("S.T", keys, answers, second);
    const TKeyAnswer expected[] = {{"\"1\"", true, ""}, {"\"3\"", true, ""}, {"\"w\"", true, "ide"},
                                   {"", false, ""}, {"", false, ""}};
    for (size_t k = 0; k < keys.size(); ++k) {
        EXPECT_EQ(answers[k].Value, expected[k].Value) << *keys[k];
        EXPECT_EQ(answers[k].Found, expected[k].Found) << *keys[k];
        EXPECT_EQ(answers[k].Remainder, expected[k].Remainder) << *keys[k];
    }
    answers.clear();
    TixFindManyInIni("S", {}, answers, first);
    EXPECT_TRUE(answers.empty());
}

// Random languages whose [General] and catch-all sections hold locale keys
// (quoted, plain, wildcard, redirected, Czech letters), with neutral and
// "Any" records that give what a language lacks.
TEST(ManyKeys, LocaleValuesReadTogetherAreTheSingleOnes)
{
    const std::vector<int>& types = LocaleFormatTypes();
    ASSERT_TRUE(std::is_sorted(types.begin(), types.end()));
    // Every type the formats ask for is among those read beforehand.
    ComputeLocaleFormats(0x0405, [&](int type, const std::string& def) {
        EXPECT_TRUE(std::binary_search(types.begin(), types.end(), type)) << type;
        return def;
    });
    std::vector<int> asked = types;
    asked.insert(asked.end(), {LOCALE_SDECIMAL, LOCALE_SNATIVELANGNAME, LOCALE_SISO639LANGNAME, 0, 0x7777});

    const std::vector<std::string> pieces = {
        "LOCALE_SMONTHNAME1=\"leden\"", "LOCALE_SMONTHNAME1=\"\"", "LOCALE_SMONTHNAME2=únor",
        "LOCALE_SDAYNAME*=\"den\"", "LOCALE_SABBREVDAYNAME?=\"d\"", "LOCALE_SCURRENCY=\"Kč\"",
        "LOCALE_ICURRDIGITS=2", "LOCALE_SSHORTDATE=@General,LOCALE_SLONGDATE",
        "LOCALE_SLONGDATE=\"d. MMMM yyyy\"", "LOCALE_S1159=@Texts,Am", "LOCALE_S2359=@Texts,Nowhere",
        "LOCALE_ITIME=@General,LOCALE_ITIME", "LOCALE_IDEFAULTANSICODEPAGE=1250",
        "LOCALE_IDEFAULTANSICODEPAGE=1252", "LOCALE_SNATIVELANGNAME=\"čeština\"", "LOCALE_S*=\"s\"",
        "LOCALE_ICALENDARTYPE=3", "\"LOCALE_ITLZERO\"=1", "LOCALE_ITLZERO=1", "; comment", "",
        "[General]", "[]", "[Texts]", "Am=\"dop.\"", "LOCALE_SDECIMAL=\",\""};
    std::mt19937 random(20261211);
    std::uniform_int_distribution<size_t> piece(0, pieces.size() - 1);
    int nonEmpty = 0;
    for (int round = 0; round < 120; ++round) {
        auto text = [&](const char* id) {
            std::vector<std::string> lines = {"[General]", std::string("LanguageId=") + id};
            for (std::string& l : RandomLines(random, pieces, 18, piece))
                lines.push_back(std::move(l));
            // ANSI texts in the code page of the language; some in UTF-8.
            const std::string utf8 = Crlf(lines);
            return round % 3 == 0 ? "\xEF\xBB\xBF" + utf8 : LangTest::Cz(utf8);
        };
        std::unique_ptr<VTixLanguage> lang =
            LangTest::MakeLanguage({text("0x0405"), text("0x0409")}, {text("0"), text("5")});
        ASSERT_EQ(VTixLanguage::GlobalInstance(), lang.get());
        for (const int id : {0x0405, 0x0409, 5, 0, 0x0407, -1}) {
            const std::vector<std::string> together = VTixLanguage::GetLocaleStrs(id, asked);
            ASSERT_EQ(together.size(), asked.size());
            for (size_t k = 0; k < asked.size(); ++k) {
                ASSERT_EQ(together[k], VTixLanguage::GetLocaleStr(id, asked[k], ""))
                    << "round " << round << " id " << id << " type " << asked[k];
                nonEmpty += !together[k].empty();
            }
        }
    }
    EXPECT_GT(nonEmpty, 5000);
}

// An indexed section keeps its plain keys in byte order of the part before
// the "=" (a key that is the front of another first, bytes above 0x7F
// after ASCII), and every one of them is found by the binary search.
TEST(ManyKeys, SortedKeysFollowTheByteOrderOfTheirFronts)
{
    const std::vector<std::string> keys = {"b", "a", "ab", "a-", "\xE1", "B", "a\x01", "aa", "zz", "\xE1\x80", "Z"};
    std::mt19937 random(20261212);
    for (int round = 0; round < 50; ++round) {
        std::vector<std::string> lines = {"[S]"};
        for (const std::string& k : keys)
            if (random() % 3 != 0)
                lines.push_back(k + "=\"" + std::to_string(lines.size()) + "\"");
        std::shuffle(lines.begin() + 1, lines.end(), random);
        TLangCache cache;
        cache.SetLines(lines);
        IndexAndSortCache(cache);
        ASSERT_TRUE(cache.Indexed());
        auto front = [](const std::string& l) { return l.substr(0, l.find('=')); };
        for (size_t i = 2; i < cache.size(); ++i) {
            const std::string a = front(cache.Lines()[i - 1]);
            const std::string b = front(cache.Lines()[i]);
            // std::string compares bytes as unsigned char.
            ASSERT_LE(a.compare(b), 0) << "round " << round << ": " << a << " / " << b;
        }
        for (size_t i = 1; i < cache.size(); ++i) {
            bool found = false;
            std::string rest;
            const std::string& l = cache.Lines()[i];
            EXPECT_EQ(TixFindInIni("S", front(l), "", found, rest, cache), l.substr(l.find('=') + 1));
            EXPECT_TRUE(found);
        }
    }
}
