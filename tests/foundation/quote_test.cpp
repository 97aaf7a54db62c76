#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "foundation/tixutils_quote.h"

using namespace Tixutils;
using Lines = std::vector<std::string>;

namespace {

std::string randomBytes(std::mt19937& rng, size_t maxLen, const std::string& alphabet = std::string())
{
    std::uniform_int_distribution<size_t> len(0, maxLen);
    std::uniform_int_distribution<int> byte(0, 255);
    std::string s(len(rng), '\0');
    for (char& c : s) {
        if (alphabet.empty())
            c = char(byte(rng));
        else
            c = alphabet[size_t(byte(rng)) % alphabet.size()];
    }
    return s;
}

}  // namespace

TEST(HexText, DigitsBothWays)
{
    EXPECT_EQ(Asc2Hex('7', -1), 7);
    EXPECT_EQ(Asc2Hex('a', -1), 10);
    EXPECT_EQ(Asc2Hex('F', -1), 15);
    EXPECT_EQ(Asc2Hex('g', -1), -1);
    EXPECT_EQ(Hex2Asc(0), '0');
    EXPECT_EQ(Hex2Asc(11), 'B');
    EXPECT_EQ(Hex2Asc(16), '?');
    EXPECT_EQ(Hex2Asc(-1), '?');
}

TEST(HexText, HexaStringToBytesFlagsBadAndOddInput)
{
    bool failed = true;
    EXPECT_EQ(HexaStringToBytes("00ff7F", failed), std::string("\x00\xFF\x7F", 3));
    EXPECT_FALSE(failed);

    // An odd last digit is dropped; only the flagged form reports it.
    EXPECT_EQ(HexaStringToBytes("4a5", failed), "\x4A");
    EXPECT_TRUE(failed);
    EXPECT_EQ(HexaStringToBytes("4a5"), "\x4A");

    EXPECT_EQ(HexaStringToBytes("4G", failed), std::string(1, '\0'));
    EXPECT_TRUE(failed);
    EXPECT_EQ(HexaStringToBytes("1x41", failed), std::string("\x00\x41", 2));
    EXPECT_TRUE(failed);

    EXPECT_EQ(HexaStringToBytes("", failed), "");
    EXPECT_FALSE(failed);
}

TEST(HexText, WritersAndSpacedForm)
{
    EXPECT_EQ(BytesToHexaString(std::string("\x01\xAB\x00", 3)), "01AB00");
    EXPECT_EQ(BytesToHexaString2("\xFE\x10", 2), "FE10");
    EXPECT_EQ(BytesToHexaString2(nullptr, 5), "");
    EXPECT_EQ(BytesToHexaString2("x", -1), "");

    const std::string spaced = BytesToHexaStringSpaced("\x01\xAB");
    EXPECT_EQ(spaced, "01 AB ");
    EXPECT_EQ(spaced.size(), 6u);
    EXPECT_EQ(BytesToHexaStringSpaced(""), "");

    EXPECT_EQ(HexaStringSpacedToBytes("41 4 4243"), "\x41\x04\x42\x43");
    EXPECT_EQ(HexaStringSpacedToBytes("41\t4\n42"), "\x41\x04\x42");
    EXPECT_EQ(HexaStringSpacedToBytes("4Z"), "\x04Z");  // a lone digit ends at a letter
    EXPECT_EQ(HexaStringSpacedToBytes("ab:cd"), "\xAB:\xCD");
    EXPECT_EQ(HexaStringSpacedToBytes("f"), "\x0F");
    EXPECT_EQ(HexaStringSpacedToBytes("   "), "");
}

TEST(HexText, RoundTripsAndSurvivesRandomInput)
{
    std::mt19937 rng(20240611);
    for (int i = 0; i < 2000; ++i) {
        const std::string bytes = randomBytes(rng, 40);
        bool failed = true;
        EXPECT_EQ(HexaStringToBytes(BytesToHexaString(bytes), failed), bytes);
        EXPECT_FALSE(failed);
        EXPECT_EQ(HexaStringSpacedToBytes(BytesToHexaStringSpaced(bytes)), bytes);

        const std::string junk = randomBytes(rng, 60);
        const std::string out = HexaStringToBytes(junk, failed);
        EXPECT_EQ(out.size(), junk.size() / 2);
        EXPECT_LE(HexaStringSpacedToBytes(junk).size(), junk.size());
    }
}

TEST(LibraryQuoting, DoublesInnerQuotesOnly)
{
    EXPECT_EQ(Tixutils::AnsiQuotedStr(""), "\"\"");
    EXPECT_EQ(Tixutils::AnsiQuotedStr("Jan \"Honza\" Novak"), "\"Jan \"\"Honza\"\" Novak\"");
    EXPECT_EQ(Tixutils::AnsiQuotedStr("\""), "\"\"\"\"");
    EXPECT_EQ(Tixutils::AnsiQuotedStr("a,\r\x9E"), "\"a,\r\x9E\"") << "nothing else changes";
}

TEST(OwnQuoting, WritesRunsAndCodes)
{
    EXPECT_EQ(TixQuotedStr("ab\r\ncd"), "\"ab\"#13#10\"cd\"");
    EXPECT_EQ(TixQuotedStr("\""), "\"\"\"\"");
    EXPECT_EQ(TixQuotedStr(""), "");
    EXPECT_EQ(TixQuotedStr("\t"), "");
    EXPECT_EQ(TixQuotedStr("a\tb"), "\"ab\"");
    EXPECT_EQ(TixQuotedStr("\t", true), "#9");
    EXPECT_EQ(TixQuotedStr(std::string("x\0", 2), true), "\"x\"#0");
    EXPECT_EQ(TixQuotedStr("\xE8\x7F"), "\"\xE8\x7F\"");
    EXPECT_EQ(TixQuotedStr("\r"), "#13");
}

TEST(OwnQuoting, ReadsItsOwnStyleAndLiteralText)
{
    EXPECT_EQ(TixExtractQuotedStr("\"ab\"#13#10\"cd\""), "ab\r\ncd");
    EXPECT_EQ(TixExtractQuotedStr("#65#66"), "AB");
    EXPECT_EQ(TixExtractQuotedStr("#256"), std::string(1, '\0'));
    EXPECT_EQ(TixExtractQuotedStr("#2561"), std::string("\0" "1", 2));
    EXPECT_EQ(TixExtractQuotedStr("\"a\"\"b\""), "a\"b");
    EXPECT_EQ(TixExtractQuotedStr("plain text"), "plain text");
    EXPECT_EQ(TixExtractQuotedStr("abc\"def"), "abc");
    EXPECT_EQ(TixExtractQuotedStr("\"ab\" rest"), "ab");
    EXPECT_EQ(TixExtractQuotedStr("\"ab"), "ab");
    EXPECT_EQ(TixExtractQuotedStr("#"), "");
    EXPECT_EQ(TixExtractQuotedStr("#x"), "");
    EXPECT_EQ(TixExtractQuotedStr("#9\"x\""), "\tx");
    EXPECT_EQ(TixExtractQuotedStr(""), "");
    // Runs end at their quote wherever it stands.
    EXPECT_EQ(TixExtractQuotedStr("\"\""), "");
    EXPECT_EQ(TixExtractQuotedStr("\"\"\"\""), "\"");
    EXPECT_EQ(TixExtractQuotedStr("\"a\"#65\"bc\"\"\""), "aAbc\"");
    EXPECT_EQ(TixExtractQuotedStr(std::string("\"a\0b\"c", 6)), std::string("a\0b", 3));
}

TEST(OwnQuoting, RoundTripForEveryText)
{
    std::mt19937 rng(7);
    for (int i = 0; i < 3000; ++i) {
        const std::string text = randomBytes(rng, 30);
        // With the flag every byte survives.
        EXPECT_EQ(TixExtractQuotedStr(TixQuotedStr(text, true)), text);
        // Without it only the control characters other than CR and LF go.
        std::string kept;
        for (char c : text)
            if (static_cast<unsigned char>(c) >= 32 || c == '\r' || c == '\n')
                kept += c;
        EXPECT_EQ(TixExtractQuotedStr(TixQuotedStr(text)), kept);
    }
}

TEST(OwnQuoting, ReadersSurviveRandomInput)
{
    std::mt19937 rng(99);
    const std::string alphabet = "\"#0123456789%aF \r\n,";
    for (int i = 0; i < 5000; ++i) {
        const std::string junk = i % 2 ? randomBytes(rng, 50) : randomBytes(rng, 50, alphabet);
        EXPECT_LE(TixExtractQuotedStr(junk).size(), junk.size());
        EXPECT_LE(HtmlExtractQuotedStr(junk).size(), junk.size());
    }
}

TEST(OwnQuoting, HtmlQuotedText)
{
    EXPECT_EQ(HtmlExtractQuotedStr("\"a%41b\""), "aAb");
    EXPECT_EQ(HtmlExtractQuotedStr("\"%4\""), "\x04");
    EXPECT_EQ(HtmlExtractQuotedStr("\"%zq\""), "zq");
    EXPECT_EQ(HtmlExtractQuotedStr("\"%\"\""), "\"");
    EXPECT_EQ(HtmlExtractQuotedStr("\"ab\"cd"), "ab");
    EXPECT_EQ(HtmlExtractQuotedStr("\"ab"), "ab");
    EXPECT_EQ(HtmlExtractQuotedStr("ab"), "");
    EXPECT_EQ(HtmlExtractQuotedStr("\"%"), "");
}

TEST(JoinConfigs, AppendsMissingSectionOnceOnly)
{
    Lines dest = {"[A]", "x=1"};
    const Lines source = {"[B]", "k1=1", "k2=2"};
    EXPECT_TRUE(JoinConfigs(dest, source, false));
    EXPECT_EQ(dest, (Lines{"[A]", "x=1", "", "[B]", "k1=1", "k2=2"}));
    const Lines once = dest;
    EXPECT_FALSE(JoinConfigs(dest, source, false));
    EXPECT_EQ(dest, once);

    // With overwrite the new keys go to the top of the body, one by one.
    Lines dest2 = {"[A]", "x=1", ""};
    EXPECT_TRUE(JoinConfigs(dest2, source, true));
    EXPECT_EQ(dest2, (Lines{"[A]", "x=1", "", "[B]", "k2=2", "k1=1"}));
    EXPECT_FALSE(JoinConfigs(dest2, source, true));
}

TEST(JoinConfigs, CommentLinesAreNotDoubled)
{
    Lines dest = {"[Texts]", "a=1"};
    const Lines source = {"[Texts]", "; written by hand", "a=1", "b=2"};
    EXPECT_TRUE(JoinConfigs(dest, source, true));
    const Lines once = dest;
    EXPECT_FALSE(JoinConfigs(dest, source, true));
    EXPECT_FALSE(JoinConfigs(dest, source, false));
    EXPECT_EQ(dest, once);
    int comments = 0;
    for (const auto& l : dest)
        comments += l == "; written by hand";
    EXPECT_EQ(comments, 1);
}

TEST(JoinConfigs, OverwriteReplacesAndPlacesKeys)
{
    Lines dest = {"top", "[S]", "a=old", "c=3", "", "", "[T]", "z=9"};
    const Lines source = {"ignored=before header", "[S]", "a=new", "  ", "b=2"};
    Lines keep = dest;
    EXPECT_TRUE(JoinConfigs(keep, source, false));
    // Existing key kept; the new one after the last non-blank body line.
    EXPECT_EQ(keep, (Lines{"top", "[S]", "a=old", "c=3", "b=2", "", "", "[T]", "z=9"}));

    EXPECT_TRUE(JoinConfigs(dest, source, true));
    EXPECT_EQ(dest, (Lines{"top", "[S]", "b=2", "a=new", "c=3", "", "", "[T]", "z=9"}));

    // The same line again is no change.
    EXPECT_FALSE(JoinConfigs(dest, Lines{"[S]", "a=new"}, true));
}

TEST(JoinConfigs, SkipsSectionsByWildcardAndMatchesHeadersExactly)
{
    Lines dest = {"[General]", "x=1"};
    const Lines skip = {"Priv*", "Tmp?"};
    const Lines source = {"[Private]", "p=1", "[Tmp1]", "t=1", "[general]", "y=2", " [General] ", "z=3"};
    EXPECT_TRUE(JoinConfigs(dest, source, false, &skip));
    EXPECT_EQ(dest, (Lines{"[General]", "x=1", "z=3", "", "[general]", "y=2"}));
}

TEST(JoinConfigs, SurvivesRandomLines)
{
    std::mt19937 rng(4711);
    const std::string alphabet = "[]=ab; \t";
    for (int round = 0; round < 300; ++round) {
        Lines dest, source;
        for (int i = 0; i < 12; ++i) {
            dest.push_back(randomBytes(rng, 6, alphabet));
            source.push_back(randomBytes(rng, 6, alphabet));
        }
        Lines dest2 = dest;
        JoinConfigs(dest, source, false);
        // Without overwrite a merge is idempotent: the second one finds
        // everything in place.
        const Lines once = dest;
        EXPECT_FALSE(JoinConfigs(dest, source, false)) << round;
        EXPECT_EQ(dest, once);
        // With overwrite a key given twice may flip, but nothing is added.
        JoinConfigs(dest2, source, true);
        const size_t size = dest2.size();
        JoinConfigs(dest2, source, true);
        EXPECT_EQ(dest2.size(), size) << round;
    }
}

TEST(CommaList, MostRecentlyUsed)
{
    std::string list = "a,b,c";
    EXPECT_TRUE(AddToCommaList(list, "b", 5, ','));
    EXPECT_EQ(list, "b,a,c");
    EXPECT_FALSE(AddToCommaList(list, "b", 5, ','));
    EXPECT_EQ(list, "b,a,c");
    EXPECT_TRUE(AddToCommaList(list, "x", 3, ','));
    EXPECT_EQ(list, "x,b,a");

    std::string empty;
    EXPECT_TRUE(AddToCommaList(empty, "one", 4, ';'));
    EXPECT_EQ(empty, "one");

    std::string quoted = "\"p;q\";r";
    EXPECT_TRUE(AddToCommaList(quoted, "s", 4, ';'));
    EXPECT_EQ(quoted, "s;\"p;q\";r");
    EXPECT_TRUE(AddToCommaList(quoted, "p;q", 4, ';'));
    EXPECT_EQ(quoted, "p;q;s;r");

    // Beyond the first maxCount items the item counts as absent.
    std::string longList = "a,b,c,d";
    EXPECT_TRUE(AddToCommaList(longList, "d", 2, ','));
    EXPECT_EQ(longList, "d,a");

    std::mt19937 rng(3);
    for (int i = 0; i < 1000; ++i) {
        std::string junk = randomBytes(rng, 30, "ab,\"#1(");
        AddToCommaList(junk, "z", 3, ',');
        EXPECT_EQ(junk.substr(0, 1), "z");
    }
}

TEST(Checksum4, ShiftRegister)
{
    uint32_t c = 0;
    UpdateChecksum4(c, "\x80");
    EXPECT_EQ(c, 0x80u);
    c = 0;
    UpdateChecksum4(c, std::string("\x80\0\0\0\0", 5));
    EXPECT_EQ(c, 0x80000303u);
    // Line ends are not part of it: the split does not matter.
    EXPECT_EQ(ComputeChecksum4({std::string("\x80\0", 2), std::string("\0\0\0", 3)}), 0x80000303u);
    EXPECT_EQ(ComputeChecksum4({}), 0u);
    EXPECT_NE(ComputeChecksum4({"ab", "c"}), ComputeChecksum4({"ac", "b"}));
}

TEST(FloatSteps, NextRepresentable)
{
    double x = 1.0;
    IncDouble(x);
    EXPECT_EQ(x, 1.0 + std::ldexp(1.0, -52));
    DecDouble(x);
    EXPECT_EQ(x, 1.0);
    DecDouble(x);
    EXPECT_EQ(x, 1.0 - std::ldexp(1.0, -53));

    double zero = 0.0;
    IncDouble(zero);
    EXPECT_GT(zero, 0.0);
    double neg = -2.0;
    IncDouble(neg);
    EXPECT_GT(neg, -2.0);
    double nan = std::numeric_limits<double>::quiet_NaN();
    IncDouble(nan);  // must come back
    EXPECT_TRUE(std::isnan(nan));
}
