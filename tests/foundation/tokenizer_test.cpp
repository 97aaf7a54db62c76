#include <gtest/gtest.h>

#include <vector>

#include "foundation/tixutils_text.h"

using namespace Tixutils;

namespace {

// Every token of S, cut with the handlers' form.
std::vector<std::string> tokens(std::string s)
{
    std::vector<std::string> out;
    for (int guard = 0; !s.empty() && guard < 100; ++guard)
        out.push_back(CutString(s));
    return out;
}

}  // namespace

TEST(CutString, PlainTokensAndEmptyFields)
{
    EXPECT_EQ(tokens("21,99"), (std::vector<std::string>{"21", "99"}));
    EXPECT_EQ(tokens("1,,3"), (std::vector<std::string>{"1", "", "3"}));
    EXPECT_EQ(tokens(",a"), (std::vector<std::string>{"", "a"}));
    // A separator at the end is consumed with its token: no empty last field.
    EXPECT_EQ(tokens("a,"), (std::vector<std::string>{"a"}));
    EXPECT_EQ(tokens("a b\tc"), (std::vector<std::string>{"a", "b", "c"}));
}

TEST(CutString, CursorRuleCountsConsumedCharacters)
{
    const std::string s = "ab,cd";
    int pos = 0;
    bool skip = true;
    EXPECT_EQ(CutString(pos, s, ",", skip), "ab");
    EXPECT_EQ(pos, 3);  // on the separator, 1-based: it is consumed
    EXPECT_TRUE(skip);
    EXPECT_EQ(CutString(pos, s, ",", skip), "cd");
    EXPECT_EQ(pos, 5);
    EXPECT_FALSE(skip);  // the text ended
    EXPECT_EQ(CutString(pos, s, ",", skip), "");
    EXPECT_EQ(pos, 5);

    // Without Skip the cursor stays before the separator.
    pos = 0;
    skip = false;
    EXPECT_EQ(CutString(pos, s, ",", skip), "ab");
    EXPECT_EQ(pos, 2);
    EXPECT_FALSE(skip);
    // A negative cursor counts as 0.
    pos = -4;
    EXPECT_EQ(CutString(pos, s), "ab");
    EXPECT_EQ(pos, 3);
}

TEST(CutString, CuttingFormReportsWhetherTheSeparatorWasConsumed)
{
    std::string s = "ab,cd";
    bool skip = false;
    EXPECT_EQ(CutString(s, skip, ","), "ab");
    EXPECT_EQ(s, ",cd");
    skip = true;
    EXPECT_EQ(CutString(s, skip, std::string(",")), "");
    EXPECT_EQ(s, "cd");
    EXPECT_TRUE(skip);
    EXPECT_EQ(CutString_(s, true, ","), "cd");
    EXPECT_EQ(s, "");
}

TEST(CutString, ParenthesisedTokens)
{
    std::string s = "(1-5),\"SM\"";
    EXPECT_EQ(CutString(s), "1-5");
    EXPECT_EQ(s, "\"SM\"");
    EXPECT_EQ(CutString(s), "SM");
    EXPECT_EQ(s, "");

    // Something else behind ")" ends the token there with Skip false.
    std::string t = "(a)b,c";
    bool skip = true;
    EXPECT_EQ(CutString(t, skip), "a");
    EXPECT_FALSE(skip);
    EXPECT_EQ(t, "b,c");
    // No closing parenthesis: the rest.
    std::string u = "(abc,d";
    skip = true;
    EXPECT_EQ(CutString(u, skip), "abc,d");
    EXPECT_FALSE(skip);
    EXPECT_EQ(u, "");
}

TEST(CutString, QuotedTokensWithDoubledQuotesAndCodes)
{
    std::string s = "\"x\"\"y\"#65,rest";
    EXPECT_EQ(CutString(s), "x\"yA");
    EXPECT_EQ(s, "rest");

    std::string t = "\"ab\"\"c\"#13#10";
    EXPECT_EQ(CutString(t), "ab\"c\r\n");
    EXPECT_EQ(t, "");

    std::string codes = "#65#66";
    EXPECT_EQ(CutString(codes), "AB");

    std::string wrap = "#321,x";  // 321 mod 256 = 65
    EXPECT_EQ(CutString(wrap), "A");
    EXPECT_EQ(wrap, "x");

    std::string mixed = "#72\"i\"#33 z";
    EXPECT_EQ(CutString(mixed), "Hi!");
    EXPECT_EQ(mixed, "z");

    std::string empty = "\"\",x";
    EXPECT_EQ(CutString(empty), "");
    EXPECT_EQ(empty, "x");
}

TEST(CutString, QuotedTokenEndingOnOtherCharacters)
{
    // After a closing quote a non-separator ends the token, Skip false,
    // the cursor before that character.
    const std::string s = "\"ab\"x,y";
    int pos = 0;
    bool skip = true;
    EXPECT_EQ(CutString(pos, s, ",", skip), "ab");
    EXPECT_FALSE(skip);
    EXPECT_EQ(pos, 4);
    // "#" without digits ends the token with what was read so far.
    const std::string h = "\"ab\"#x";
    pos = 0;
    skip = true;
    EXPECT_EQ(CutString(pos, h, ",", skip), "ab");
    EXPECT_FALSE(skip);
    EXPECT_EQ(pos, 5);
    // Code digits followed by another character: the code is kept.
    const std::string c = "#66x";
    pos = 0;
    skip = true;
    EXPECT_EQ(CutString(pos, c, ",", skip), "B");
    EXPECT_FALSE(skip);
    EXPECT_EQ(pos, 3);
    // Ending on a separator with Skip false leaves the cursor before it.
    pos = 0;
    skip = false;
    EXPECT_EQ(CutString(pos, std::string("\"q\",r"), ",", skip), "q");
    EXPECT_EQ(pos, 3);
}

TEST(CutString, UnterminatedQuotesConsumeEverything)
{
    std::string s = "\"abc,def";
    bool skip = true;
    EXPECT_EQ(CutString(s, skip), "");
    EXPECT_FALSE(skip);
    EXPECT_EQ(s, "");

    std::string h = "\"ab\"#";  // ends right after "#"
    skip = true;
    EXPECT_EQ(CutString(h, skip), "");
    EXPECT_EQ(h, "");

    std::string q = "\"ab\"\"";  // a doubled quote re-opens the run
    EXPECT_EQ(CutString(q), "");
    EXPECT_EQ(q, "");

    // Ending right after a closing quote or code digits keeps the token.
    std::string k = "\"ab\"#9";
    skip = true;
    EXPECT_EQ(CutString(k, skip), "ab\t");
    EXPECT_FALSE(skip);
}

TEST(CutString, WideForm)
{
    std::u16string s = u"\"a,b\",(c d),e f";
    bool skip = true;
    EXPECT_EQ(CutString(s, skip, u","), u"a,b");
    EXPECT_EQ(s, u"(c d),e f");
    EXPECT_EQ(CutString(s, skip, u","), u"c d");
    EXPECT_EQ(CutString(s, skip, u","), u"e f");
    EXPECT_FALSE(skip);
    EXPECT_EQ(s, u"");
}

TEST(CutStringZ, UpToTheNul)
{
    const std::string s("ab\0cd\0e", 7);
    int pos = 0;
    EXPECT_EQ(CutStringZ(pos, s), "ab");
    EXPECT_EQ(pos, 3);
    EXPECT_EQ(CutStringZ(pos, s), "cd");
    EXPECT_EQ(pos, 6);
    EXPECT_EQ(CutStringZ(pos, s), "");  // no NUL after "e"
    EXPECT_EQ(pos, 6);
}

TEST(CutWord, SkipsLeadingSeparators)
{
    std::string s = "  ,word rest";
    EXPECT_EQ(CutWord(s, " ,", false), "word");
    EXPECT_EQ(s, "  ,word rest");
    EXPECT_EQ(CutWord(s, " ,", true), "word");
    EXPECT_EQ(s, "rest");
    EXPECT_EQ(CutWord(s, " ,", true), "rest");
    EXPECT_EQ(s, "");
    EXPECT_EQ(CutWord(s, " ,", true), "");
}

TEST(CutNameValue, ItemsAsWritten)
{
    std::string s = " a=1,b=\"x y\",c,d=(1,2) e=#65\"q\"";
    int vp = 0;
    EXPECT_EQ(CutNameValue(s, vp), "a=1");
    EXPECT_EQ(vp, 3);
    EXPECT_EQ(CutNameValue(s, vp), "b=\"x y\"");
    EXPECT_EQ(vp, 3);
    EXPECT_EQ(CutNameValue(s, vp), "c");
    EXPECT_EQ(vp, 2);  // no "=": length + 1
    EXPECT_EQ(CutNameValue(s, vp), "d=(1,2)");
    EXPECT_EQ(CutNameValue(s, vp), "e=#65\"q\"");
    EXPECT_EQ(vp, 3);
    EXPECT_EQ(s, "");
    std::string e = "name=";
    EXPECT_EQ(CutNameValue(e, vp), "name=");
    EXPECT_EQ(vp, 6);
}

TEST(CutNameValue, FailuresLeaveTheTextAlone)
{
    for (const char* bad : {"", "   ", ",a=1", "a=\"open", "a=(open", "a=\"x\"y", "a=(x)y",
                            "a+b=1", "a=#1x"}) {
        std::string s = bad;
        int vp = 99;
        EXPECT_EQ(CutNameValue(s, vp), "") << bad;
        EXPECT_EQ(s, bad);
    }
    // "#" without digits ends the item at that character.
    std::string h = "a=#x,b";
    int vp = 0;
    EXPECT_EQ(CutNameValue(h, vp), "a=#");
    EXPECT_EQ(h, ",b");
}

TEST(Characters, SmallOperations)
{
    EXPECT_EQ(Choose(true, 1, 2), 1);
    EXPECT_EQ(Choose(false, 'a', 'b'), 'b');
    EXPECT_EQ(Choose(false, "x", "y"), "y");
    EXPECT_TRUE(CharInString(',', TokenDelims));
    EXPECT_FALSE(CharInString('\0', TokenDelims));  // the terminator is no member
    EXPECT_FALSE(CharInString('x', static_cast<const char*>(nullptr)));
    EXPECT_EQ(CharPosInString('a', "abca"), 4);
    EXPECT_EQ(CharPosInString('z', "abca"), 0);

    std::string s = "xy";
    EXPECT_EQ(CutChar(s), 'x');
    EXPECT_EQ(CutChar(s), 'y');
    EXPECT_EQ(CutChar(s), 0);
    int pos = 0;
    EXPECT_EQ(CutCharDec(pos, "7a"), 7);
    EXPECT_EQ(CutCharDec(pos, "7a"), 0);
    EXPECT_EQ(pos, 2);
    EXPECT_EQ(CutCharDec(pos, "7a"), 0);
    EXPECT_EQ(pos, 2);
    EXPECT_EQ(CutChar(pos, "7a"), 0);

    std::string sp = " \t x ";
    CutSpaces(sp);
    EXPECT_EQ(sp, "x ");
    std::string sp2 = ",,;a";
    CutSpaces(sp2, std::string(",;"));
    EXPECT_EQ(sp2, "a");
    pos = 0;
    CutSpaces(pos, "  ab");
    EXPECT_EQ(pos, 2);

    std::string suf = "file.txt";
    EXPECT_TRUE(CutSuffix(suf, "", true));
    EXPECT_FALSE(CutSuffix(suf, "a.file.txt", true));
    EXPECT_TRUE(CutSuffix(suf, ".txt", false));
    EXPECT_EQ(suf, "file.txt");
    EXPECT_TRUE(CutSuffix(suf, ".txt", true));
    EXPECT_EQ(suf, "file");
}

TEST(CutInteger, SignsDefaultsAndTheRest)
{
    std::string s = "-12ab";
    EXPECT_EQ(CutInteger(s, 99), -12);
    EXPECT_EQ(s, "ab");
    std::string minus = "-";
    EXPECT_EQ(CutInteger(minus, 99), 99);
    EXPECT_EQ(minus, "-");
    std::string letter = "x1";
    EXPECT_EQ(CutInteger(letter, 99), 99);
    std::string blank = " 5";  // no blanks skipped
    EXPECT_EQ(CutInteger(blank, 99), 99);
    std::string inner = "1-2";  // "-" only in front
    EXPECT_EQ(CutInteger(inner, 99), 1);
    EXPECT_EQ(inner, "-2");
    std::string keep = "42,";
    EXPECT_EQ(CutInteger(keep, 0, false), 42);
    EXPECT_EQ(keep, "42,");
}

TEST(CutInteger, WholeDigitRunIsConsumedAndClamped)
{
    std::string s = "12345678";
    EXPECT_EQ(CutInteger(s, -1), 12345678);
    EXPECT_EQ(s, "");
    std::string big = "99999999999999999999999,x";
    EXPECT_EQ(CutInteger(big, -1), 2147483647);
    EXPECT_EQ(big, ",x");
    std::string edge = "2147483647";
    EXPECT_EQ(CutInteger(edge, -1), 2147483647);
    std::string negEdge = "-2147483648";
    EXPECT_EQ(CutInteger(negEdge, -1), INT32_MIN);
    std::string negBig = "-2147483649";
    EXPECT_EQ(CutInteger(negBig, -1), INT32_MIN);

    // The cursor form agrees: left on the last digit.
    const std::string t = "x12345678y";
    int pos = 1;
    EXPECT_EQ(CutInteger(pos, t, -1, true), 12345678);
    EXPECT_EQ(pos, 9);
    pos = 1;
    EXPECT_EQ(CutInteger(pos, t, -1, false), 12345678);
    EXPECT_EQ(pos, 1);
    pos = 0;
    EXPECT_EQ(CutInteger(pos, t, -1, true), -1);
    EXPECT_EQ(pos, 0);
}

TEST(CutRadixInteger, DecimalHexAndAutomatic)
{
    std::string s = "1Fz";
    EXPECT_EQ(CutRadixInteger(s, -1, 16), 31);
    EXPECT_EQ(s, "z");
    std::string d = "1Fz";
    EXPECT_EQ(CutRadixInteger(d, -1, 10), 1);
    EXPECT_EQ(d, "Fz");
    std::string a1 = "0x1f,";
    EXPECT_EQ(CutRadixInteger(a1, -1, 0), 31);
    EXPECT_EQ(a1, ",");
    std::string a2 = "$FF";
    EXPECT_EQ(CutRadixInteger(a2, -1, 0), 255);
    std::string a3 = "-0X10";
    EXPECT_EQ(CutRadixInteger(a3, -1, 0), -16);
    std::string a4 = "0012";  // leading zeros add nothing; decimal
    EXPECT_EQ(CutRadixInteger(a4, -1, 0), 12);
    std::string a5 = "12AB";
    EXPECT_EQ(CutRadixInteger(a5, -1, 0), 12);
    EXPECT_EQ(a5, "AB");
    std::string none = "$";
    EXPECT_EQ(CutRadixInteger(none, -1, 0), -1);
    EXPECT_EQ(none, "$");
    std::string huge = "FFFFFFFFFFFF";
    EXPECT_EQ(CutRadixInteger(huge, -1, 16), 2147483647);
    EXPECT_EQ(huge, "");
    std::string zero = "0";
    EXPECT_EQ(CutRadixInteger(zero, -1, 0), 0);
    EXPECT_EQ(zero, "");
}

TEST(CutPrefix, CaseSensitiveAndCursor)
{
    std::string s = "+CSQ: 21,99";
    EXPECT_FALSE(CutPrefix(s, "+csq: "));
    EXPECT_TRUE(CutPrefix(s, "+CSQ: ", false));
    EXPECT_EQ(s, "+CSQ: 21,99");
    EXPECT_TRUE(CutPrefix(s, "+CSQ: "));
    EXPECT_EQ(s, "21,99");
    EXPECT_TRUE(CutPrefix(s, std::string("")));
    EXPECT_EQ(s, "21,99");
    EXPECT_FALSE(CutPrefix(s, "21,999"));  // longer than the text

    const std::string t = "AT+CSQ";
    int pos = 2;
    EXPECT_TRUE(CutPrefix(pos, t, "+CSQ", true));
    EXPECT_EQ(pos, 6);
    EXPECT_FALSE(CutPrefix(pos, t, "x", true));
    EXPECT_EQ(pos, 6);
    EXPECT_TRUE(CutPrefix(pos, t, "", true));
    pos = 100;
    EXPECT_FALSE(CutPrefix(pos, t, "A", true));
    EXPECT_EQ(pos, 100);
}
