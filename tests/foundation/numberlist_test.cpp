#include <gtest/gtest.h>

#include <random>
#include <set>
#include <string>

#include "foundation/tixutils_numberlist.h"
#include "foundation/tixutils_text.h"

using namespace Tixutils;

namespace {

// The set a list names (small numbers only), for comparing against.
std::set<int> setOf(const std::string& list)
{
    std::set<int> s;
    for (int n = 0; n <= 40; ++n)
        if (NumberListContains(list, n))
            s.insert(n);
    return s;
}

// The normalised text of a set.
std::string textOf(const std::set<int>& s)
{
    std::string out;
    auto it = s.begin();
    while (it != s.end()) {
        const int lo = *it;
        int hi = lo;
        while (++it != s.end() && *it == hi + 1)
            ++hi;
        if (!out.empty())
            out += ',';
        out += std::to_string(lo);
        if (hi != lo)
            out += '-' + std::to_string(hi);
    }
    return out;
}

std::set<int> randomSet(std::mt19937& rng)
{
    std::bernoulli_distribution in(0.35);
    std::set<int> s;
    for (int n = 0; n <= 40; ++n)
        if (in(rng))
            s.insert(n);
    return s;
}

}  // namespace

TEST(NumberList, ReadsOneItemAtATime)
{
    const std::string list = "1-5,8,10-12";
    int pos = 1, lo = -1, hi = -1;
    NumberListGetInterval(list, pos, lo, hi);
    EXPECT_EQ(lo, 1);
    EXPECT_EQ(hi, 5);
    EXPECT_EQ(pos, 5);

    // A held interval is not overwritten.
    NumberListGetInterval(list, pos, lo, hi);
    EXPECT_EQ(lo, 1);
    EXPECT_EQ(pos, 5);

    hi = -1;
    NumberListGetInterval(list, pos, lo, hi);
    EXPECT_EQ(lo, 8);
    EXPECT_EQ(hi, 8);
    hi = -1;
    NumberListGetInterval(list, pos, lo, hi);
    EXPECT_EQ(lo, 10);
    EXPECT_EQ(hi, 12);
    EXPECT_GT(pos, int(list.size()));

    // One item only: the caller learns it from the position.
    pos = 1, lo = hi = -1;
    NumberListGetInterval("7", pos, lo, hi);
    EXPECT_EQ(lo, 7);
    EXPECT_EQ(hi, 7);
    EXPECT_EQ(pos, 2);

    // "-" without a second number: no interval.
    pos = 1, lo = hi = -1;
    NumberListGetInterval("3-,5", pos, lo, hi);
    EXPECT_EQ(hi, -1);
    pos = 1, lo = hi = -1;
    NumberListGetInterval("x", pos, lo, hi);
    EXPECT_EQ(lo, -1);
    EXPECT_EQ(pos, 2);
}

TEST(NumberList, Union)
{
    EXPECT_EQ(NumberListAdd("1-2", "3"), "1-3");
    EXPECT_EQ(NumberListAdd("1-3", "5"), "1-3,5");
    EXPECT_EQ(NumberListAdd("1-10", "2-4"), "1-10");
    EXPECT_EQ(NumberListAdd("1-10", "2,5"), "1-10");
    EXPECT_EQ(NumberListAdd("", ""), "");
    EXPECT_EQ(NumberListAdd("", "4-6"), "4-6");
    EXPECT_EQ(NumberListAdd("5,9", "1"), "1,5,9");
    EXPECT_EQ(NumberListAdd("1-2,4", "3"), "1-4");
    EXPECT_EQ(NumberListAdd("1,3,5", "2,4"), "1-5");
    EXPECT_EQ(NumberListAdd("10-12", "1-3,20"), "1-3,10-12,20");
    EXPECT_EQ(NumberListAdd("7-7", ""), "7");
    // The rest of the longer list still joins the interval it touches.
    EXPECT_EQ(NumberListAdd("1-3", "0,2,4"), "0-4");
    EXPECT_EQ(NumberListAdd("0,2,4", "1-3"), "0-4");
}

TEST(NumberList, Difference)
{
    EXPECT_EQ(NumberListSub("1-10", "3-4"), "1-2,5-10");
    EXPECT_EQ(NumberListSub("1-10", "3-4,7"), "1-2,5-6,8-10");
    EXPECT_EQ(NumberListSub("1-10,20", "3-4,7"), "1-2,5-6,8-10,20");
    EXPECT_EQ(NumberListSub("2-3", "1-10"), "");
    EXPECT_EQ(NumberListSub("", "1"), "");
    EXPECT_EQ(NumberListSub("1-5", ""), "1-5");
    EXPECT_EQ(NumberListSub("1-3,4-6", "0"), "1-6");  // touching items join
    EXPECT_EQ(NumberListSub("1-5,8-12", "4-9"), "1-3,10-12");
    EXPECT_EQ(NumberListSub("1-5", "5"), "1-4");
    EXPECT_EQ(NumberListSub("1-5", "1"), "2-5");
}

TEST(NumberList, Contains)
{
    for (int n : {1, 5, 8})
        EXPECT_TRUE(NumberListContains("1-5,8", n)) << n;
    for (int n : {0, 6, 9})
        EXPECT_FALSE(NumberListContains("1-5,8", n)) << n;
    EXPECT_FALSE(NumberListContains("", 0));
    EXPECT_TRUE(NumberListContains("8,1-5", 3));   // items need not be sorted
    EXPECT_FALSE(NumberListContains("1-,5", 5));   // reading stops at a bad item
    EXPECT_FALSE(NumberListContains("x,5", 5));
}

TEST(NumberList, FixTestAnswers)
{
    bool flag = true;
    EXPECT_EQ(NumberListFix("(1-250)", flag), "1-250");
    EXPECT_FALSE(flag);
    EXPECT_EQ(NumberListFix("0,1", flag), "0-1");
    EXPECT_TRUE(flag);
    EXPECT_EQ(NumberListFix("(0,1,4)", flag), "0-1,4");
    EXPECT_FALSE(flag);
    // Only the first bracketed group is the list.
    EXPECT_EQ(NumberListFix("(0,1,4,5),(0,1)", flag), "0-1,4-5");
    EXPECT_FALSE(flag);
    EXPECT_EQ(NumberListFix("(5, 3 1-2)", flag), "1-3,5");
    EXPECT_EQ(NumberListFix("()", flag), "");
    EXPECT_FALSE(flag);
    EXPECT_EQ(NumberListFix("", flag), "");
    EXPECT_TRUE(flag);
}

TEST(NumberList, AgreesWithSetArithmetic)
{
    std::mt19937 rng(8128);
    for (int i = 0; i < 2000; ++i) {
        const std::set<int> a = randomSet(rng), b = randomSet(rng);
        std::set<int> both = a, rest;
        both.insert(b.begin(), b.end());
        for (int n : a)
            if (!b.count(n))
                rest.insert(n);
        EXPECT_EQ(NumberListAdd(textOf(a), textOf(b)), textOf(both));
        EXPECT_EQ(NumberListSub(textOf(a), textOf(b)), textOf(rest));
        EXPECT_EQ(setOf(textOf(a)), a);
    }
}

// A fixed list is the union of its tokens' lists: the same as adding the
// tokens one by one, for lists of any shape and length.
TEST(NumberList, FixedListIsTheUnionOfItsTokens)
{
    auto tokenByToken = [](const std::string& list) {
        std::string rest = list;
        if (rest.size() >= 2 && rest[0] == '(' && rest.find(')') != std::string::npos)
            rest = rest.substr(1, rest.find(')') - 1);
        std::string result;
        while (!rest.empty()) {
            const size_t before = rest.size();
            result = NumberListAdd(result, CutString(rest));
            if (rest.size() >= before)
                break;
        }
        return result;
    };
    std::mt19937 rng(2718);
    const std::string alphabet = "0123456789,-() \"#x";
    const char* const pieces[] = {"4294967296", "2147483647", "9-3", "(1-5)", "\"7\"", "#48", ",,", "0"};
    for (int i = 0; i < 3000; ++i) {
        std::string a;
        const int length = i < 2900 ? int(rng() % 40) : 4000;
        while (int(a.size()) < length)
            a += rng() % 4 ? std::string(1, alphabet[rng() % alphabet.size()]) : pieces[rng() % std::size(pieces)];
        bool flag = false;
        EXPECT_EQ(NumberListFix(a, flag), tokenByToken(a)) << a;
        EXPECT_EQ(flag, !(a.size() >= 2 && a[0] == '(' && a.find(')') != std::string::npos)) << a;
    }
}

TEST(NumberList, SurvivesRandomText)
{
    std::mt19937 rng(1618);
    std::uniform_int_distribution<int> len(0, 20);
    std::uniform_int_distribution<int> byte(0, 255);
    const std::string alphabet = "0123456789,-() x";
    for (int i = 0; i < 5000; ++i) {
        std::string a(size_t(len(rng)), '\0'), b(size_t(len(rng)), '\0');
        for (char& c : a)
            c = i % 3 ? alphabet[size_t(byte(rng)) % alphabet.size()] : char(byte(rng));
        for (char& c : b)
            c = alphabet[size_t(byte(rng)) % alphabet.size()];
        NumberListAdd(a, b);
        NumberListSub(a, b);
        NumberListContains(a, i % 50);
        bool flag;
        NumberListFix(a, flag);
        const int start = i % 5;
        int pos = start, lo = -1, hi = -1;
        NumberListGetInterval(a, pos, lo, hi);
        if (start >= 1 && start <= int(a.size())) {
            EXPECT_LE(pos, int(a.size()) + 1);
        } else {
            EXPECT_EQ(pos, start);
        }
    }
    // Huge numbers saturate instead of overflowing.
    EXPECT_TRUE(NumberListContains("99999999999999999999", 2147483647));
    EXPECT_EQ(NumberListAdd("2147483647", "2147483646"), "2147483646-2147483647");
}
