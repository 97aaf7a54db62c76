#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "foundation/input_buffer.h"
#include "foundation/utils.h"

using namespace Utils;

namespace {
int32_t parse(const std::string& text, bool& error)
{
    return ParseDuration(text, &error, DurationLetters);
}
}  // namespace

TEST(ParseDuration, UnitLettersOfTheProgram)
{
    bool error = true;
    EXPECT_EQ(parse("1t", error), 604800);
    EXPECT_FALSE(error);
    EXPECT_EQ(parse("2d 3h", error), 2 * 86400 + 3 * 3600);
    EXPECT_FALSE(error);
    EXPECT_EQ(parse("-1h 30m", error), -5400);
    EXPECT_FALSE(error);
    EXPECT_EQ(parse("90", error), 90);
    EXPECT_FALSE(error);
    EXPECT_EQ(parse("1t 2d 3h 4m 5s", error), 604800 + 2 * 86400 + 3 * 3600 + 4 * 60 + 5);
    EXPECT_FALSE(error);
    EXPECT_EQ(parse("  4 m  ", error), 240);  // blanks between number and letter
    EXPECT_FALSE(error);
}

TEST(ParseDuration, ExactCaseFirstSoCapitalMIsAMonth)
{
    bool error = false;
    // "M" is in the letters as month: counted as seconds, flagged.
    EXPECT_EQ(parse("3M", error), 3);
    EXPECT_TRUE(error);
    EXPECT_EQ(parse("3m", error), 180);
    EXPECT_FALSE(error);
    // "R" is the year.
    EXPECT_EQ(parse("2R", error), 2);
    EXPECT_TRUE(error);
    // "D" and "H" are not in the letters: found after upper-casing both.
    EXPECT_EQ(parse("1D 1H", error), 86400 + 3600);
    EXPECT_FALSE(error);
    // "T" upper-cased finds "t" as week (the last "T" of "TRMDHMS").
    EXPECT_EQ(parse("1T", error), 604800);
    EXPECT_FALSE(error);
    // "S" finds the seconds.
    EXPECT_EQ(parse("7S", error), 7);
    EXPECT_FALSE(error);
}

TEST(ParseDuration, EdgeCases)
{
    bool error = true;
    EXPECT_EQ(parse("", error), 0);
    EXPECT_FALSE(error);
    EXPECT_EQ(parse("    ", error), 0);
    EXPECT_FALSE(error);
    EXPECT_EQ(parse("1h1h", error), 7200);
    EXPECT_TRUE(error);
    EXPECT_EQ(parse("5x", error), 5);
    EXPECT_TRUE(error);
    EXPECT_EQ(parse("1h30", error), 3630);
    EXPECT_TRUE(error);
    EXPECT_EQ(parse("1m30", error), 90);  // after minutes alone a bare number is fine
    EXPECT_FALSE(error);
    EXPECT_EQ(parse("-", error), 0);
    EXPECT_FALSE(error);
    EXPECT_EQ(parse("--5s", error), 5);  // the sign flips twice
    EXPECT_FALSE(error);
    EXPECT_EQ(parse("-1h 30m -10s", error), -3600 - 1800 + 10);  // second "-" flips back
    EXPECT_FALSE(error);
    EXPECT_EQ(parse("99999999999s", error), 0);  // a number beyond 32 bits counts 0
    EXPECT_EQ(parse("h", error), 0);
    EXPECT_FALSE(error);
    // No error flag wanted.
    EXPECT_EQ(ParseDuration("1h1h", nullptr, DurationLetters), 7200);
}

TEST(ParseDuration, LargeTotalsClampAndFlag)
{
    bool error = false;
    // 25000 days are 2,160,000,000 s: beyond 32 bits.
    EXPECT_EQ(parse("25000d", error), INT32_MAX);
    EXPECT_TRUE(error);
    EXPECT_EQ(parse("-25000d", error), INT32_MIN);
    EXPECT_TRUE(error);
    EXPECT_EQ(parse("2147483647s", error), INT32_MAX);
    EXPECT_FALSE(error);
    // Added in 64 bits: a large step back brings the total into range.
    EXPECT_EQ(parse("25000d -24999h", error), 2070003600);
    EXPECT_FALSE(error);
    // Thousands of maximal blocks do not overflow the sum.
    std::string many;
    for (int i = 0; i < 20000; ++i)
        many += "2147483647t ";
    EXPECT_EQ(parse(many, error), INT32_MAX);
    EXPECT_TRUE(error);
}

TEST(FormatDuration, PiecesAndSigns)
{
    EXPECT_EQ(FormatDuration(0, DurationLetters), "0s");
    EXPECT_EQ(FormatDuration(86400 + 3600 + 61, DurationLetters), "1d 1h 1m 1s");
    EXPECT_EQ(FormatDuration(-5400, DurationLetters), "-1h 30m");
    EXPECT_EQ(FormatDuration(604800, DurationLetters), "1t");
    EXPECT_EQ(FormatDuration(3600, DurationLetters), "1h");
    EXPECT_EQ(FormatDuration(-1, DurationLetters), "-1s");
    EXPECT_EQ(FormatDuration(60, DurationLetters), "1m");
    EXPECT_EQ(FormatDuration(INT32_MIN, DurationLetters), "-3550t 5d 3h 14m 8s");
    EXPECT_EQ(FormatDuration(90061, "wYMDhms"), "1D 1h 1m 1s");
}

TEST(FormatDuration, RoundTripsThroughParse)
{
    for (int32_t v : {0, 1, -1, 59, 61, 3599, 86399, 86401, 604799, 1234567, -7654321, INT32_MAX,
                      INT32_MIN + 1}) {
        bool error = true;
        EXPECT_EQ(parse(FormatDuration(v, DurationLetters), error), v);
        EXPECT_FALSE(error) << v;
    }
}

TEST(SmallHelpers, LastCharPosAndAbsInt)
{
    EXPECT_EQ(LastCharPos('a', "banana"), 6);
    EXPECT_EQ(LastCharPos('x', "banana"), 0);
    EXPECT_EQ(LastCharPos('b', "banana"), 1);
    EXPECT_EQ(AbsInt(-5), 5u);
    EXPECT_EQ(AbsInt(INT32_MIN), 0x80000000u);
    EXPECT_EQ(AbsInt(INT32_MAX), 0x7FFFFFFFu);
}

TEST(SmallHelpers, StrIsPrefix)
{
    EXPECT_TRUE(StrIsPrefix("", "abc"));
    EXPECT_TRUE(StrIsPrefix("", ""));
    EXPECT_TRUE(StrIsPrefix("ab", "abc"));
    EXPECT_TRUE(StrIsPrefix("abc", "abc"));
    EXPECT_FALSE(StrIsPrefix("abcd", "abc"));  // stops at B's NUL
    EXPECT_FALSE(StrIsPrefix("b", "abc"));
    EXPECT_TRUE(StrIsPrefix(nullptr, "x"));
    EXPECT_FALSE(StrIsPrefix("x", nullptr));
}

TEST(FormatByteSize, UnitsAndTenths)
{
    EXPECT_EQ(FormatByteSize(0, "B", ""), "0 B");
    EXPECT_EQ(FormatByteSize(512, "B", ""), "512 B");
    EXPECT_EQ(FormatByteSize(512, "B", "+"), "512+ B");
    EXPECT_EQ(FormatByteSize(1023, "B", ""), "1023 B");
    EXPECT_EQ(FormatByteSize(1024, "B", ""), "1,0 KB");
    EXPECT_EQ(FormatByteSize(1536, "B", ""), "1,5 KB");
    EXPECT_EQ(FormatByteSize(1536, "B", "+"), "1,5+ KB");
    EXPECT_EQ(FormatByteSize(10240, "B", ""), "10 KB");
    EXPECT_EQ(FormatByteSize(15 * 1024 + 1000, "B", ""), "15 KB");
    EXPECT_EQ(FormatByteSize(1023ull * 1024 * 1024 + 5, "B", ""), "1023 MB");
    EXPECT_EQ(FormatByteSize(1ull << 30, "B", ""), "1,0 GB");
    EXPECT_EQ(FormatByteSize(1ull << 40, "B", ""), "1,0 TB");
    EXPECT_EQ(FormatByteSize((1ull << 50) - 1, "B", ""), "1023 TB");
    EXPECT_EQ(FormatByteSize(1ull << 50, "B", ""), "MUCH!");
    EXPECT_EQ(FormatByteSize(UINT64_MAX, "B", ""), "MUCH!");
}

TEST(FormatByteSize, RoundedTenthCarriesIntoTheUnit)
{
    EXPECT_EQ(FormatByteSize(2047, "B", ""), "2,0 KB");
    EXPECT_EQ(FormatByteSize(10239, "B", ""), "10 KB");
    EXPECT_EQ(FormatByteSize(1024 + 972, "B", ""), "1,9 KB");  // 972/1024 rounds to 9
    EXPECT_EQ(FormatByteSize(1024 + 973, "B", ""), "2,0 KB");  // 973/1024 rounds to 10
    EXPECT_EQ(FormatByteSize((2ull << 20) - 1, "B", ""), "2,0 MB");
    // Never a two-digit tenth.
    for (uint64_t size = 1024; size < 12 * 1024; size += 7) {
        const std::string text = FormatByteSize(size, "B", "");
        const size_t comma = text.find(',');
        if (comma != std::string::npos) {
            EXPECT_EQ(text[comma + 2], ' ') << text;
        }
    }
}

TEST(GetFileSize64, MissingEmptyAndSized)
{
    const auto dir = std::filesystem::temp_directory_path() /
                     ("zelvitor_size_" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    const auto empty = dir / "empty";
    const auto some = dir / "some";
    { std::ofstream(empty.string()); }
    { std::ofstream(some.string(), std::ios::binary) << std::string(12345, 'x'); }
    EXPECT_EQ(GetFileSize64((dir / "missing").string()), -1);
    EXPECT_EQ(GetFileSize64(empty.string()), 0);
    EXPECT_EQ(GetFileSize64(some.string()), 12345);
    EXPECT_EQ(GetFileSize64(dir.string()), -1);  // a folder is no file
    std::filesystem::remove_all(dir);
}

class ScanFormattedTest : public ::testing::Test {
protected:
    std::vector<std::string> lines;
    TInputBuffer scratch;
    TLineScanner scanner;
    std::string a, c;
    int32_t b = -7;

    void SetUp() override
    {
        scanner.Lines = &lines;
        scanner.Scratch = &scratch;
    }
};

TEST_F(ScanFormattedTest, ReadsTextIntegerText)
{
    lines = {"  abc=12,x y"};
    ScanFormatted(scanner, "s=d,s", &a, &b, &c);
    EXPECT_EQ(scanner.State, lsMatched);
    EXPECT_EQ(a, "abc");
    EXPECT_EQ(b, 12);
    EXPECT_EQ(c, "x y");
    EXPECT_EQ(scanner.NextLine, 1);
}

TEST_F(ScanFormattedTest, JunkBehindTheIntegerFails)
{
    lines = {"abc=12x,y"};
    ScanFormatted(scanner, "s=d,s", &a, &b, &c);
    EXPECT_EQ(scanner.State, lsFailed);
}

TEST_F(ScanFormattedTest, AfterTheLastLineOutputsAreCleared)
{
    lines = {"abc=1,z"};
    ScanFormatted(scanner, "s=d,s", &a, &b, &c);
    ASSERT_EQ(scanner.State, lsMatched);
    ScanFormatted(scanner, "s=d,s", &a, &b, &c);
    EXPECT_EQ(scanner.State, lsNoLine);
    EXPECT_EQ(a, "");
    EXPECT_EQ(b, 0);
    EXPECT_EQ(c, "");
    EXPECT_EQ(scanner.NextLine, 2);
}

TEST_F(ScanFormattedTest, EmptyLineMissingDelimiterAndBadFormat)
{
    lines = {"   ", "abc", "n=5,q", "x=1", "-3"};
    ScanFormatted(scanner, "s=d,s", &a, &b, &c);
    EXPECT_EQ(scanner.State, lsEmptyLine);
    EXPECT_EQ(a, "");
    ScanFormatted(scanner, "s=d,s", &a, &b, &c);  // no "=" in the line
    EXPECT_EQ(scanner.State, lsFailed);
    ScanFormatted(scanner, "s=d,s", &a, nullptr, &c);  // a null output
    EXPECT_EQ(scanner.State, lsFailed);
    ScanFormatted(scanner, "s=x", &a, &b);  // "x" is no conversion letter
    EXPECT_EQ(scanner.State, lsFailed);
    ScanFormatted(scanner, "s", &b);  // output of the wrong type
    EXPECT_EQ(scanner.State, lsFailed);
}

TEST_F(ScanFormattedTest, IntegerAndFlagFields)
{
    lines = {"-42,true", "+7,False", "2147483648,t", " 5,t"};
    bool flag = false;
    ScanFormatted(scanner, "d,b", &b, &flag);
    EXPECT_EQ(scanner.State, lsMatched);
    EXPECT_EQ(b, -42);
    EXPECT_TRUE(flag);
    ScanFormatted(scanner, "d,b", &b, &flag);
    EXPECT_EQ(scanner.State, lsMatched);
    EXPECT_EQ(b, 7);
    EXPECT_FALSE(flag);
    ScanFormatted(scanner, "d,b", &b, &flag);  // beyond 32 bits
    EXPECT_EQ(scanner.State, lsFailed);
    ScanFormatted(scanner, "d,b", &b, &flag);  // leading blanks of the line go
    EXPECT_EQ(scanner.State, lsMatched);
    EXPECT_EQ(b, 5);
}

TEST_F(ScanFormattedTest, ScanFieldStopsAtDelimiterNulOrEnd)
{
    std::string out;
    EXPECT_EQ(ScanField(scanner, ',', out, "ab,cd", 1), 2);
    EXPECT_EQ(out, "ab");
    EXPECT_EQ(ScanField(scanner, ',', out, "ab,cd", 4), 2);
    EXPECT_EQ(out, "cd");
    EXPECT_EQ(ScanField(scanner, ',', out, std::string("ab\0cd", 5), 1), 2);
    EXPECT_EQ(out, "ab");
    EXPECT_EQ(ScanField(scanner, ',', out, "ab", 9), 0);
    EXPECT_EQ(out, "");
}
