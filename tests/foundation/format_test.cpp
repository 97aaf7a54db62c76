#include <gtest/gtest.h>

#include <climits>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

#include "foundation/tixutils_format.h"

using namespace Tixutils;

namespace {

struct Shape {
    virtual ~Shape() = default;
};
struct VTixCircle : Shape {};

std::string fmt(const std::string& format)
{
    return SafePrintf(format, {5, "ab"});
}

}  // namespace

TEST(SafePrintf, PlaceholdersOfThePart)
{
    EXPECT_EQ(fmt("%1 of %2"), "5 of ab");
    EXPECT_EQ(fmt("%02:1"), "05");
    EXPECT_EQ(fmt("%  4:2|"), "ab  |");
    EXPECT_EQ(fmt("%   6:2|"), "  ab  |");
    EXPECT_EQ(fmt("%9"), "");
    EXPECT_EQ(fmt("%(2)x"), "abx");
    EXPECT_EQ(fmt("100%%"), "100%");
    EXPECT_EQ(fmt("%"), "%");
    EXPECT_EQ(fmt("%2 before %1"), "ab before 5");
}

TEST(SafePrintf, PlaceholdersThatNameNoValueVanish)
{
    EXPECT_EQ(fmt(""), "");
    EXPECT_EQ(fmt("plain text"), "plain text");
    EXPECT_EQ(fmt("a%0b"), "ab");
    EXPECT_EQ(fmt("a%3b"), "ab");
    EXPECT_EQ(fmt("%x"), "x");
    EXPECT_EQ(fmt("%-x"), "x");
    EXPECT_EQ(fmt("[%(1]"), "[]");
    EXPECT_EQ(fmt("%(1"), "");
    EXPECT_EQ(fmt("%(x)"), "x)");
    EXPECT_EQ(fmt("%1:"), "5:");
    EXPECT_EQ(fmt("a%"), "a%");
    EXPECT_EQ(fmt("a%("), "a");
    EXPECT_EQ(fmt("a%-"), "a");
    EXPECT_EQ(fmt("a%0"), "a");
    EXPECT_EQ(SafePrintf("%1", nullptr, 5), "");
    EXPECT_EQ(SafePrintf("%1 %2", std::vector<TVarRec>{}), " ");
}

TEST(SafePrintf, WidthsAndPadding)
{
    EXPECT_EQ(fmt("%02:2"), "ab");        // a narrower width pads nothing
    EXPECT_EQ(fmt("%5:1|"), "    5|");
    EXPECT_EQ(fmt("%-5:1|"), "----5|");
    EXPECT_EQ(fmt("%--5:1|"), "5----|");
    EXPECT_EQ(fmt("%---5:1|"), "--5  |");
    EXPECT_EQ(fmt("%    5:1|"), "|");     // more than three pad characters
    EXPECT_EQ(fmt("%(05:1)|"), "00005|");
    // Huge widths and indexes neither throw nor allocate without bound.
    EXPECT_EQ(fmt("%99999999999999999:1").size(), 4096u);
    EXPECT_EQ(fmt("x%1:99999999999999999y"), "xy");
    EXPECT_EQ(fmt("x%99999999999999999999y"), "xy");
}

TEST(SafePrintf, ValueTexts)
{
    EXPECT_EQ(TVarRecAsString(TVarRec(true), 0), "True");
    EXPECT_EQ(TVarRecAsString(TVarRec(false), 0), "False");
    EXPECT_EQ(TVarRecAsString(TVarRec('x'), 0), "x");
    EXPECT_EQ(TVarRecAsString(TVarRec(-42), 0), "-42");
    EXPECT_EQ(TVarRecAsString(TVarRec(int64_t(1) << 40), 0), "1099511627776");
    EXPECT_EQ(TVarRec(int64_t(1)).VType, vtInt64);
    EXPECT_EQ(TVarRec(7u).VType, vtInt64);
    EXPECT_EQ(TVarRecAsString(TVarRec(4000000000u), 0), "4000000000");
    EXPECT_EQ(TVarRecAsString(TVarRec(1.5), 0), "1.5");
    EXPECT_EQ(TVarRecAsString(TVarRec(1e20), 0), "1E20");
    EXPECT_EQ(TVarRecAsString(TVarRec(1.5e-7), 0), "1.5E-7");
    EXPECT_EQ(TVarRecAsString(TVarRec(1.5), 6), "   1.5");
    EXPECT_EQ(TVarRecAsString(TVarRec(std::string("text")), 0), "text");
    EXPECT_EQ(TVarRecAsString(TVarRec::ShortString("short"), 0), "short");
    EXPECT_EQ(TVarRecAsString(TVarRec(u"\u0159\u00E1"), 0), "\xF8\xE1");
    EXPECT_EQ(TVarRecAsString(TVarRec(u'\u010D'), 0), "\xE8");
    EXPECT_EQ(TVarRecAsString(TVarRec(nullptr), 0), ":00000000");
    EXPECT_EQ(TVarRecAsString(TVarRec(reinterpret_cast<const void*>(0xABCDu)), 0), ":0000ABCD");
    EXPECT_EQ(TVarRecAsString(TVarRec::Interface(reinterpret_cast<const void*>(0x12u)), 0), "I00000012");

    VTixCircle circle;
    const Shape* shape = &circle;
    EXPECT_EQ(TVarRecAsString(TVarRec::Object(shape), 0), "(VTixCircle)");
    EXPECT_EQ(TVarRecAsString(TVarRec::Class("VTixList"), 0), "VTixList");
    EXPECT_EQ(TVarRecAsString(TVarRec::Currency(15000), 0), "1.5");
    EXPECT_EQ(TVarRecAsString(TVarRec::Currency(-25), 0), "-0.0025");
    EXPECT_EQ(TVarRecAsString(TVarRec::Currency(30000), 0), "3");
    EXPECT_EQ(TVarRecAsString(TVarRec::Variant("v"), 0), "v");
    EXPECT_EQ(TVarRecAsString(TVarRec::Tagged(17), 0), "");
    EXPECT_EQ(TVarRecAsString(TVarRec::Tagged(-1), 0), "");

    EXPECT_EQ(SafePrintf("[%1][%2]", {TVarRec::Tagged(99), 3.25}), "[][3.25]");
    EXPECT_EQ(SafePrintf("%8:1|", {0.5}), "     0.5|");
}

TEST(SafePrintf, SurvivesRandomFormats)
{
    std::mt19937 rng(16180);
    std::uniform_int_distribution<int> len(0, 24);
    std::uniform_int_distribution<int> pick(0, 255);
    const std::string alphabet = "%%%()-0 123456789:ab";
    const std::vector<TVarRec> values = {1, "two", 3.5, true, TVarRec::Tagged(40)};
    for (int i = 0; i < 20000; ++i) {
        std::string f(size_t(len(rng)), '\0');
        for (char& c : f)
            c = i % 4 ? alphabet[size_t(pick(rng)) % alphabet.size()] : char(pick(rng));
        const int last = pick(rng) % 6 - 1;
        const std::string out = SafePrintf(f, values.data(), last);
        EXPECT_LE(out.size(), f.size() + 5 * 4096);
    }
}

TEST(ValueTexts, BooleansAndObjects)
{
    EXPECT_EQ(BoolToChar(true), "1");
    EXPECT_EQ(BoolToChar(false), "0");
    EXPECT_TRUE(CharToBoolDef("1", false));
    EXPECT_FALSE(CharToBoolDef("0", true));
    EXPECT_TRUE(CharToBoolDef("TRUE", false));
    EXPECT_TRUE(CharToBoolDef("true", false));
    EXPECT_FALSE(CharToBoolDef("False", true));
    EXPECT_TRUE(CharToBoolDef("yes", true));
    EXPECT_FALSE(CharToBoolDef("yes", false));
    EXPECT_TRUE(CharToBoolDef(" 1", true));
    EXPECT_FALSE(CharToBoolDef(" 1", false));
    EXPECT_FALSE(CharToBoolDef("truex", false));
    EXPECT_TRUE(CharToBoolDef("", true));

    EXPECT_EQ(ObjToStr(reinterpret_cast<const void*>(0xBEEFu)), ":0000BEEF");
}

TEST(ValueTexts, SimpleReplacements)
{
    EXPECT_EQ(SafePrintf_d("%d-%d", 7), "7-7");
    EXPECT_EQ(SafePrintf_d("no number", 7), "no number");
    EXPECT_EQ(SafePrintf_d("%", 7), "%");
    EXPECT_EQ(SafePrintf_s("a%sb%s", "%s"), "a%sb%s");
    EXPECT_EQ(SafePrintf_s("<%s>", ""), "<>");
    EXPECT_EQ(SafePrintf_s("%s%", "x"), "x%");
}

TEST(NumberTexts, BinaryDigits)
{
    EXPECT_EQ(IntToBin(5, 4), "0101");
    EXPECT_EQ(IntToBin(5, 0), "");
    EXPECT_EQ(IntToBin(0x80000000u, 32), "1" + std::string(31, '0'));
    EXPECT_EQ(BinToIntDef("101", -1), 5);
    EXPECT_EQ(BinToIntDef("102", -1), -1);
    EXPECT_EQ(BinToIntDef("", -1), 0);
    EXPECT_EQ(BinToIntDef("1" + std::string(31, '0') + "x", -1), INT_MIN);  // stops at 2^31
}

TEST(NumberTexts, FloatWithEitherSeparator)
{
    EXPECT_DOUBLE_EQ(StrToFloatDef("1,5", 0), 1.5);
    EXPECT_DOUBLE_EQ(StrToFloatDef("1.5", 0), 1.5);
    EXPECT_DOUBLE_EQ(StrToFloatDef(" -2.5e2 ", 0), -250);
    EXPECT_DOUBLE_EQ(StrToFloatDef("+3", 0), 3);
    EXPECT_DOUBLE_EQ(StrToFloatDef(".5", 0), 0.5);
    EXPECT_DOUBLE_EQ(StrToFloatDef("1.", 0), 1);
    for (const char* bad : {"", "abc", "1,000.5", "1e", "inf", "nan", "1.2.3", "--1", "1 2"})
        EXPECT_DOUBLE_EQ(StrToFloatDef(bad, -7), -7) << bad;
}

TEST(NumberTexts, FixedPoint)
{
    bool error = true;
    EXPECT_EQ(Text001ToInt("12,345", 2, error, false, 0), 1234);  // 5 on an even value: down
    EXPECT_FALSE(error);
    EXPECT_EQ(Text001ToInt("12,355", 2, error, false, 0), 1236);  // 5 on an odd value: up
    EXPECT_EQ(Text001ToInt("1.26", 1, error, false, 0), 13);
    EXPECT_EQ(Text001ToInt("1.24", 1, error, false, 0), 12);
    EXPECT_EQ(Text001ToInt("1.2", 3, error, false, 0), 1200);
    EXPECT_EQ(Text001ToInt("-5", 2, error, false, 0), -500);
    EXPECT_EQ(Text001ToInt(" - -5", 0, error, false, 0), 5);
    EXPECT_EQ(Text001ToInt("$1F", 0, error, false, 0), 31);
    EXPECT_FALSE(error);
    EXPECT_EQ(Text001ToInt("0x10", 1, error, false, 0), 160);
    EXPECT_EQ(Text001ToInt("0x10", 1, error, true, 0), 0);
    EXPECT_TRUE(error);
    EXPECT_EQ(Text001ToInt("1.5a", 1, error, false, 0), 15);
    EXPECT_TRUE(error);
    EXPECT_EQ(Text001ToInt("", 2, error, false, 99), 99);
    EXPECT_TRUE(error);
    EXPECT_EQ(Text001ToInt("abc", 2, error, false, 99), 99);
    EXPECT_TRUE(error);
    EXPECT_EQ(Text001ToInt("99999999999", 0, error, false, 0), 2147483647);
    EXPECT_TRUE(error);
    EXPECT_EQ(Text001ToInt("3", 9, error, false, 0), 2147483647);
    EXPECT_TRUE(error);

    EXPECT_EQ(IntToText001(12345, 2), "123.45");
    EXPECT_EQ(IntToText001(5, 2), "0.05");
    EXPECT_EQ(IntToText001(-5, 2), "-0.05");
    EXPECT_EQ(IntToText001(7, 0), "7");
    EXPECT_EQ(IntToText001(INT_MIN, 0), "-2147483648");
    for (int v : {0, 1, -1, 999, 123456, -7654321})
        EXPECT_EQ(Text001ToInt(IntToText001(v, 3), 3, error, true, 0), v);
}

TEST(NumberTexts, Durations)
{
    bool error = true;
    EXPECT_EQ(TextHMStoInt("1h 30", error, "tRMdhms", 6), 5400);
    EXPECT_FALSE(error);
    EXPECT_EQ(TextHMStoInt("2", error, "tRMdhms", 5), 7200);
    EXPECT_EQ(TextHMStoInt("3 ", error, "tRMdhms", 4), 3 * 86400);
    EXPECT_EQ(TextHMStoInt("1", error, "tRMdhms", 1), 604800);
    EXPECT_EQ(TextHMStoInt("90", error, "tRMdhms"), 90);
    EXPECT_FALSE(error);
    EXPECT_EQ(TextHMStoInt("1h1h", error, "tRMdhms"), 7200);
    EXPECT_TRUE(error);
    for (int bad : {0, 2, 3, 8, -1}) {
        try {
            TextHMStoInt("1", error, "tRMdhms", bad);
            ADD_FAILURE() << bad;
        } catch (const std::invalid_argument& e) {
            EXPECT_STREQ(e.what(), "TextHMStoInt(): unsupported defaultUnits");
        }
    }
    EXPECT_EQ(IntToTextHMS(3661, "tRMdhms"), "1h 1m 1s");
    EXPECT_EQ(IntToTextHMS(-5400, "tRMdhms"), "-1h 30m");
}
