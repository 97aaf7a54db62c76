#include <gtest/gtest.h>

#include <cstring>
#include <random>

#include "foundation/tixutils_text.h"

using namespace Tixutils;

TEST(ExtractString, PrefixAndSuffixAroundTheMiddle)
{
    EXPECT_EQ(ExtractString("+CSQ: 21,99\r\n", "+CSQ: ", "\r\n"), "21,99");
    EXPECT_EQ(ExtractString("+csq: 21,99\r\n", "+CSQ: ", "\r\n"), "");  // case matters
    bool failed = false;
    EXPECT_EQ(ExtractString("+CSQ: \r\n", "+CSQ: ", "\r\n", failed), "");
    EXPECT_FALSE(failed);  // an empty middle is a match
    EXPECT_EQ(ExtractString("+CSQ:\r\n", "+CSQ: ", "\r\n", failed), "");
    EXPECT_TRUE(failed);
    // Prefix and suffix may not overlap.
    EXPECT_EQ(ExtractString("abc", std::string("ab"), std::string("bc"), failed), "");
    EXPECT_TRUE(failed);
    EXPECT_EQ(ExtractString("abc", std::string(""), std::string(""), failed), "abc");
    EXPECT_FALSE(failed);

    // Cursor form: compares from the cursor, leaves it on the last prefix
    // character.
    const std::string s = "AT+CCLK?\r\r\n";
    int pos = 2;
    EXPECT_EQ(ExtractString(pos, s, "+CCLK", "\r\r\n", failed), "?");
    EXPECT_FALSE(failed);
    EXPECT_EQ(pos, 7);
    pos = 3;
    EXPECT_EQ(ExtractString(pos, s, "+CCLK", "\r\r\n", failed), "");
    EXPECT_TRUE(failed);
    EXPECT_EQ(pos, 3);
    pos = 50;
    EXPECT_EQ(ExtractString(pos, s, "", "", failed), "");
    EXPECT_TRUE(failed);
}

TEST(ExtractStringIC, IgnoresCaseOnBothEndsKeepsTheMiddle)
{
    EXPECT_EQ(ExtractStringIC("+csq: 21,99\r\n", "+CSQ: ", "\r\n"), "21,99");
    EXPECT_EQ(ExtractStringIC("+CSQ: 21,99\r\n", "+csq: ", "\r\n"), "21,99");
    EXPECT_EQ(ExtractStringIC("+Cops: 0,0,\"Eurotel\"\r\n", "+COPS: ", "\r\n"),
              "0,0,\"Eurotel\"");
    // The line "+CSQ: " and a lone CR: the suffix does not match.
    bool failed = false;
    EXPECT_EQ(ExtractStringIC("+CSQ: \r", "+CSQ: ", "\r\n", failed), "");
    EXPECT_TRUE(failed);
    // The empty middle, told apart from a mismatch only by the flag.
    EXPECT_EQ(ExtractStringIC("+cpin: \r\n", "+CPIN: ", "\r\n", failed), "");
    EXPECT_FALSE(failed);
    EXPECT_EQ(ExtractStringIC("+CPIN:\r\n", "+CPIN: ", "\r\n", failed), "");
    EXPECT_TRUE(failed);
    // Only ASCII letters fold; accented bytes compare as they are.
    EXPECT_EQ(ExtractStringIC("\xE8x", "\xC8", "", failed), "");
    EXPECT_TRUE(failed);
    // Prefix and suffix longer than the text together.
    EXPECT_EQ(ExtractStringIC("OK", "OK", "\r\n", failed), "");
    EXPECT_TRUE(failed);
}

TEST(ExtractStringICU, OnlyTheTextIsUpperCased)
{
    EXPECT_EQ(ExtractStringICU("+creg: 1\r\n", "+CREG: ", "\r\n"), "1");
    bool failed = false;
    EXPECT_EQ(ExtractStringICU("+creg: 1\r\n", "+creg: ", "\r\n", failed), "");
    EXPECT_TRUE(failed);
    EXPECT_EQ(ExtractStringICU("abcd", "AB", "D", failed), "c");
    EXPECT_FALSE(failed);
}

TEST(ComparePrefix, CaseAndLength)
{
    EXPECT_TRUE(ComparePrefix("RING\r\n", "RING"));
    EXPECT_FALSE(ComparePrefix("ring\r\n", "RING"));
    EXPECT_TRUE(ComparePrefixIC("ring\r\n", "RING"));
    EXPECT_FALSE(ComparePrefixIC("RIN", "RING"));
    EXPECT_TRUE(ComparePrefix("x", ""));
}

TEST(CommonParts, PrefixAndPostfix)
{
    std::string a = "COM12", b = "COM1";
    EXPECT_EQ(CutCommonPrefix(a, b), "COM1");
    EXPECT_EQ(a, "2");
    EXPECT_EQ(b, "");
    std::string c = "file.txt", d = "name.txt";
    CutCommonPostfix(c, d);
    EXPECT_EQ(c, "fil");
    EXPECT_EQ(d, "nam");
}

namespace {

// The matching rules written out the slow way, as plain recursion.
bool referenceCompare(std::string p, std::string t)
{
    if (p == t)
        return true;
    if (p.empty())
        return t.empty();
    for (size_t i = 0;;) {
        if (i == p.size())
            return i == t.size();
        if (i == t.size())
            return p[i] == '*' && i == p.size() - 1;
        if (p[i] == '*') {
            if (referenceCompare(p.substr(i + 1), t.substr(i)))
                return true;
            if (i == p.size() - 1)
                return true;
            p = p.substr(i);
            t = t.substr(i + 1);
            i = 0;
            continue;
        }
        if (p[i] != '?' && p[i] != t[i])
            return false;
        ++i;
    }
}

bool patternEnd(const char* p, const char* terminators)
{
    return *p == 0 || (terminators && std::strchr(terminators, *p));
}

int referenceCut(size_t& pos, const std::string& s, const char*& pp, const char* terminators,
                 bool passed)
{
    for (;;) {
        if (pos >= s.size()) {
            if (patternEnd(pp, terminators))
                return 0;
            if (*pp == '*') {
                ++pp;
                continue;
            }
            return passed ? -1 : -2;
        }
        if (patternEnd(pp, terminators))
            return passed ? 1 : 2;
        if (*pp == '?') {
            passed = true;
            ++pp;
            ++pos;
            continue;
        }
        if (*pp == '*') {
            passed = true;
            size_t p2 = pos;
            const char* q = pp + 1;
            if (referenceCut(p2, s, q, terminators, true) == 0) {
                pos = p2;
                pp = q;
                return 0;
            }
            if (patternEnd(pp + 1, terminators)) {
                ++pp;
                return 0;
            }
            ++pos;
            continue;
        }
        const auto tc = uint8_t(s[pos]), pc = uint8_t(*pp);
        if (tc < pc)
            return passed ? -1 : -2;
        if (tc > pc)
            return passed ? 1 : 2;
        ++pp;
        ++pos;
    }
}

std::string randomText(std::mt19937& rng, const char* alphabet, size_t maxLen)
{
    const size_t n = rng() % (maxLen + 1);
    const size_t k = std::strlen(alphabet);
    std::string s;
    for (size_t i = 0; i < n; ++i)
        s += alphabet[rng() % k];
    return s;
}

}  // namespace

TEST(CompareWildcard, Examples)
{
    EXPECT_TRUE(CompareWildcard("COM*", "COM12"));
    EXPECT_FALSE(CompareWildcard("a?c", "ac"));
    EXPECT_TRUE(CompareWildcard("a?c", "abc"));
    EXPECT_TRUE(CompareWildcard("", ""));
    EXPECT_FALSE(CompareWildcard("", "a"));
    EXPECT_TRUE(CompareWildcard("*", ""));
    EXPECT_TRUE(CompareWildcard("*", "anything"));
    EXPECT_TRUE(CompareWildcard("*.Panel?", "FormMain.Panel1"));
    EXPECT_FALSE(CompareWildcard("*.Panel?", "FormMain.Panel12"));
    EXPECT_TRUE(CompareWildcard("a*b*c", "aXbYbZc"));
    EXPECT_FALSE(CompareWildcard("a*b*c", "aXbYbZ"));
    // A final run of stars needs a character at the end of the text.
    EXPECT_FALSE(CompareWildcard("a**", "a"));
    EXPECT_TRUE(CompareWildcard("a**", "ab"));
    EXPECT_FALSE(CompareWildcard("**", ""));
}

TEST(CompareWildcard, AgreesWithTheRecursiveRules)
{
    std::mt19937 rng(20240611);
    for (int i = 0; i < 20000; ++i) {
        const std::string p = randomText(rng, "ab*?", 7);
        const std::string t = randomText(rng, "ab", 8);
        ASSERT_EQ(CompareWildcard(p, t), referenceCompare(p, t)) << p << " / " << t;
        std::string p2 = p, t2 = t;
        ASSERT_EQ(CompareWildcardCut2(p2, t2), referenceCompare(p, t)) << p << " / " << t;
    }
}

TEST(CompareWildcard, AdversarialPatternsStayFast)
{
    std::string pattern;
    for (int i = 0; i < 200; ++i)
        pattern += "*a";
    pattern += "*b";
    const std::string text(3000, 'a');
    EXPECT_FALSE(CompareWildcard(pattern, text));
    EXPECT_TRUE(CompareWildcard(pattern, text + "b"));
    std::string stars(5000, '*');
    EXPECT_TRUE(CompareWildcard(stars + "x", "x"));
}

TEST(CompareWildcardCut2, LeavesTheUnmatchedRest)
{
    std::string p = "COM*", s = "COM12";
    EXPECT_TRUE(CompareWildcardCut2(p, s));
    EXPECT_EQ(p, "*");  // a final star takes the rest
    EXPECT_EQ(s, "12");
    p = "ab?d";
    s = "abcx";
    EXPECT_FALSE(CompareWildcardCut2(p, s));
    EXPECT_EQ(p, "d");
    EXPECT_EQ(s, "x");
    p = "a?c";
    s = "abc";
    EXPECT_TRUE(CompareWildcardCut2(p, s));
    EXPECT_EQ(p, "");
    EXPECT_EQ(s, "");
}

TEST(CutWildcard, OrderingAndMagnitude)
{
    std::string s = "abc";
    EXPECT_EQ(CutWildcard(s, "abd"), -2);  // c < d before any wildcard
    EXPECT_EQ(CutWildcard(s, "abb"), 2);
    EXPECT_EQ(CutWildcard(s, "a?d"), -1);  // after a wildcard
    EXPECT_EQ(CutWildcard(s, "ab"), 2);    // text left: after the pattern
    EXPECT_EQ(CutWildcard(s, "abcd"), -2);  // text ended first
    EXPECT_EQ(s, "abc");
    EXPECT_EQ(CutWildcard(s, "a*"), 0);
    EXPECT_EQ(s, "bc");  // a final star leaves the rest of the text
    std::string t = "\xE1x";
    EXPECT_EQ(CutWildcard(t, "a"), 2);  // bytes compare unsigned
}

TEST(CutWildcard, PatternPointerAndTerminators)
{
    // A language-file key "Btn*=..." matched against the looked-up key.
    const std::string line = "Btn*=\"value\"";
    const char* pattern = line.c_str();
    const std::string key = "BtnOK.Caption";
    int pos = 0;
    EXPECT_EQ(CutWildcard(pos, key, pattern, "=\""), 0);
    EXPECT_EQ(pos, 3);
    EXPECT_EQ(*pattern, '=');
    EXPECT_EQ(key.substr(size_t(pos)), "OK.Caption");  // the remainder

    // A list of NUL-ended patterns walked by the caller.
    const std::string list("*USB*\0*ttyS*\0", 13);
    const std::string device = "/dev/ttyS0";
    const char* p = list.c_str();
    pos = 0;
    EXPECT_NE(CutWildcard(pos, device, p), 0);
    EXPECT_LE(p, list.c_str() + 5);  // never past the pattern's NUL
    p = list.c_str() + 6;
    pos = 0;
    EXPECT_EQ(CutWildcard(pos, device, p), 0);
    EXPECT_EQ(pos, 9);  // the final star leaves "0"
    EXPECT_EQ(p, list.c_str() + 12);

    // Null pattern and a cursor beyond the text.
    const char* none = nullptr;
    pos = 0;
    EXPECT_EQ(CutWildcard(pos, std::string(""), none), 0);
    const char* q = "x";
    pos = 10;
    EXPECT_LT(CutWildcard(pos, std::string("ab"), q), 0);
    EXPECT_EQ(pos, 10);
}

TEST(CutWildcard, AgreesWithTheRecursiveRules)
{
    std::mt19937 rng(77);
    for (int i = 0; i < 20000; ++i) {
        const std::string pattern = randomText(rng, "abc*?=", 7);
        const std::string text = randomText(rng, "abc", 8);
        const int start = int(rng() % 3);
        size_t refPos = size_t(start) < text.size() ? size_t(start) : text.size();
        const char* refPattern = pattern.c_str();
        const int expected = referenceCut(refPos, text, refPattern, "=", false);
        int pos = start;
        const char* ptr = pattern.c_str();
        const int got = CutWildcard(pos, text, ptr, "=");
        ASSERT_EQ(got, expected) << pattern << " / " << text << " from " << start;
        if (got == 0) {
            ASSERT_EQ(size_t(pos), refPos) << pattern << " / " << text;
            ASSERT_EQ(ptr, refPattern) << pattern << " / " << text;
        } else {
            ASSERT_EQ(pos, start);
        }
    }
}

TEST(CutWildcard, AdversarialPatternsStayFast)
{
    std::string pattern;
    for (int i = 0; i < 300; ++i)
        pattern += "*a";
    pattern += "*b";
    std::string text(2000, 'a');
    EXPECT_NE(CutWildcard(text, pattern), 0);
    EXPECT_EQ(text.size(), 2000u);
    std::string deep(20000, '*');
    std::string t2 = "xyz";
    EXPECT_EQ(CutWildcard(t2, deep + "z"), 0);
    EXPECT_EQ(t2, "");
}
