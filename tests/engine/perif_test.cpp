#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "engine/perif.h"
#include "engine/uniset.h"
#include "tests/engine/recording_window.h"

namespace {

class TPlainHandler : public VPerif {
public:
    using VPerif::VPerif;
    bool isBusy() const override { return false; }
};

std::vector<int> Choose(const char* text, std::vector<int> preferred, int groups)
{
    TPlainHandler h(nullptr);
    std::vector<int> chosen(size_t(groups), -99);
    h.chooseSupported(text, preferred, chosen, groups);
    return chosen;
}

}  // namespace

TEST(ChooseSupported, PreferenceInRangeOrListElseFirstValue)
{
    EXPECT_EQ(Choose("(0-2),(1,3),0", {2, -1, 3, 1, -1, 5, -1}, 3), (std::vector<int>{2, 3, 0}));
}

TEST(ChooseSupported, FirstPreferenceThatOccursWins)
{
    EXPECT_EQ(Choose("(0,1)", {2, 3, 1, 0, -1}, 1), (std::vector<int>{1}));
}

TEST(ChooseSupported, RangeMatchesItsValuesOnly)
{
    for (int p = 0; p <= 3; ++p)
        EXPECT_EQ(Choose("(0-3)", {p, -1}, 1), (std::vector<int>{p})) << p;
    // Not in the range: the group's first value.
    EXPECT_EQ(Choose("(0-3)", {4, -1}, 1), (std::vector<int>{0}));
    EXPECT_EQ(Choose("(1-3)", {-5, -1}, 1), (std::vector<int>{1}));
}

TEST(ChooseSupported, ValueAfterARangeIsReached)
{
    EXPECT_EQ(Choose("(0,1-3,5)", {5, -1}, 1), (std::vector<int>{5}));
    EXPECT_EQ(Choose("(1-2,4-6,9)", {9, -1}, 1), (std::vector<int>{9}));
    EXPECT_EQ(Choose("(1-2,4-6,9)", {7, 5, -1}, 1), (std::vector<int>{5}));
}

TEST(ChooseSupported, QuotedGroupGivesMinusOne)
{
    EXPECT_EQ(Choose("(\"SM\",\"ME\"),(0-1)", {1, -1, 1, -1}, 2), (std::vector<int>{-1, 1}));
}

TEST(ChooseSupported, EmptyListEndsThePreferences)
{
    EXPECT_EQ(Choose("(0-2),(2-3),(4,5)", {1, -1, -1}, 3), (std::vector<int>{1, 2, 4}));
}

TEST(ChooseSupported, UnparenthesisedListIsTwoGroups)
{
    EXPECT_EQ(Choose("1,2", {2, -1, 1, -1}, 2), (std::vector<int>{1, 2}));
    EXPECT_EQ(Choose("1-3,2", {3, -1, 9, -1}, 2), (std::vector<int>{3, 2}));
}

TEST(ChooseSupported, NewMessageIndicationAnswer)
{
    // The SMS handler's lists against a typical "+CNMI: " test answer.
    const std::vector<int> prefs = {2, 3, 1, 0, -1, 1, 3, 2, 0, -1, 1, 3, 2, 0, -1,
                                    1, 0, -1, 0, 1, -1};
    EXPECT_EQ(Choose("(0-2),(0-3),(0,2),(0-2),(0,1)", prefs, 5),
              (std::vector<int>{2, 1, 2, 1, 0}));
}

TEST(ChooseSupported, MissingGroupsAndShortArraysAreSafe)
{
    EXPECT_EQ(Choose("(0,1)", {1, -1, 1, -1, 1, -1}, 3), (std::vector<int>{1, -1, -1}));
    // Preferences without any terminator and more groups than outputs.
    TPlainHandler h(nullptr);
    std::vector<int> chosen(2, -99);
    const std::vector<int> prefs = {7, 8};
    h.chooseSupported("(7),(8),(9)", prefs, chosen, 5);
    EXPECT_EQ(chosen, (std::vector<int>{7, 8}));
    h.chooseSupported("", {}, chosen, 2);
    EXPECT_EQ(chosen, (std::vector<int>{-1, -1}));
}

TEST(ChooseSupported, MalformedTextsNeverLoop)
{
    const char* texts[] = {"(", ")", ",,,", "(-", "(1-", "(1-)", "((((", "(1,2", "(99999999999999-1)",
                           "(-3--1)", "( 1 , 2 )", "(1- 3)"};
    for (const char* t : texts) {
        // Every group gets an answer, even from a text that makes no sense.
        const auto r = Choose(t, {2, -1, 1, -1}, 3);
        EXPECT_EQ(std::count(r.begin(), r.end(), -99), 0) << t;
    }
    EXPECT_EQ(Choose("(-3--1)", {-2, -1}, 1), (std::vector<int>{-2}));
    // A blank before the comma ends the scan: only the first value counts.
    EXPECT_EQ(Choose("( 1 , 2 )", {2, -1}, 1), (std::vector<int>{1}));
    EXPECT_EQ(Choose("( 1, 2 )", {2, -1}, 1), (std::vector<int>{2}));
}

TEST(Perif, ElapsedIsStrictAndWrapSafe)
{
    TPlainHandler h(nullptr);
    h.setLastSendTime(5000);
    EXPECT_FALSE(h.elapsed(1000, 6000));
    EXPECT_TRUE(h.elapsed(1000, 6001));
    h.setLastSendTime(0xFFFFFE00u);
    EXPECT_FALSE(h.elapsed(1000, 0x000001E8u));  // 1000 ms across the wrap
    EXPECT_TRUE(h.elapsed(1000, 0x000001E9u));
    EXPECT_FALSE(h.elapsed(0, 0xFFFFFE00u));
}

TEST(Perif, ExtractFromTheCurrentLine)
{
    TRecordingWindow window;
    VUniSET engine(nullptr, &window);
    TPlainHandler h(&engine);
    for (char c : std::string("+csq: 15,99\r\n"))
        engine.getRxBuffer().appendByte(uint8_t(c));
    EXPECT_EQ(h.extractString("+CSQ: ", "\r\n"), "");
    EXPECT_EQ(h.extractStringIC("+CSQ: ", "\r\n"), "15,99");
    EXPECT_EQ(h.extractString("+csq: ", "\r\n"), "15,99");
}
