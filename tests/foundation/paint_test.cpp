#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <utility>

#include "foundation/tixutils_paint.h"

using namespace Tixutils;

TEST(PaintColorTest, GetCColorBlendsTruncatesAndClamps)
{
    EXPECT_EQ(GetCColor(clBlack, clWhite, 256, 128), 0x7F7F7F);
    EXPECT_EQ(GetCColor(clBlack, clWhite, 256, 300), 0xFFFFFF);
    EXPECT_EQ(GetCColor(clWhite, clBlack, 256, 300), 0x000000);  // clamped low
    EXPECT_EQ(GetCColor(clBlack, clWhite, 256, -5), 0x000000);
    // Per channel, red is the low byte: red 200 -> 100 at 50 % is 150.
    EXPECT_EQ(GetCColor(Platform::MakeColor(200, 0, 10), Platform::MakeColor(100, 255, 0), 100, 50),
              Platform::MakeColor(150, 127, 5));
    // Truncation toward zero on a falling channel: 10 + (-5 * 1) / 2 = 8.
    EXPECT_EQ(GetCColor(Platform::MakeColor(10, 0, 0), Platform::MakeColor(5, 0, 0), 2, 1),
              Platform::MakeColor(8, 0, 0));
}

TEST(PaintColorTest, GetCColorSpecialCases)
{
    EXPECT_EQ(GetCColor(clNone, clWhite, 100, 50), clNone);
    EXPECT_EQ(GetCColor(clRed, clNone, 100, 0), clNone);
    // Whole 0: the first colour exactly as given, even a system colour.
    EXPECT_EQ(GetCColor(clBtnFace, clWhite, 0, 50), clBtnFace);
}

TEST(PaintColorTest, GetCColorResolvesSystemColours)
{
    Platform::ResetClassicSysColors();
    // Button face 0xC0C0C0 40 % of the way to black.
    EXPECT_EQ(GetCColor(clBtnFace, clBlack, 100, 40), 0x747474);  // 192 - 76
    Platform::SetSysColor(Platform::COLOR_BTNFACE, 0x0000FF);
    EXPECT_EQ(GetCColor(clBtnFace, clBlack, 100, 0), 0x0000FF);
    Platform::ResetClassicSysColors();
}

TEST(PaintColorTest, DarkTests)
{
    EXPECT_TRUE(IsColorDark2(clBlue));
    EXPECT_FALSE(IsColorDark2(clLime));
    EXPECT_TRUE(IsColorDark2(clRed));  // 292 * 255 = 74460
    EXPECT_FALSE(IsColorDark2(Platform::MakeColor(0, 216, 0)));  // 128304
    EXPECT_TRUE(IsColorDark2(Platform::MakeColor(0, 215, 0)));   // 127710
    EXPECT_TRUE(IsColorDark2(clMaroon));
    EXPECT_TRUE(IsColorDark(0x7F7F7F));
    EXPECT_FALSE(IsColorDark(0x7F7F80));
    EXPECT_FALSE(IsColorDark(clBlue));
    Platform::ResetClassicSysColors();
    EXPECT_FALSE(IsColorDark(clBtnShadow));  // 0x808080: 128 is not below 128
    EXPECT_TRUE(IsColorDark(cl3DDkShadow));  // 0x404040
}

namespace {

// Records every call of the walker.
class Recorder : public VTixPaintCircularShapeInfo {
public:
    int starting = 0, startingLine = 0, finishedLine = 0;
    std::map<std::pair<int, int>, int> distance;
    int stopAtColumn = -1;

    void Starting() override { ++starting; }
    void StartingLine() override { ++startingLine; }
    void FinishedLine() override { ++finishedLine; }
    void Point() override
    {
        EXPECT_EQ(DX2, 2 * X - Left - Right);
        EXPECT_EQ(DY2, 2 * Y - Top - Bottom);
        EXPECT_FALSE(distance.count({X, Y}));
        distance[{X, Y}] = Distance;
        if (X == stopAtColumn)
            Stop = true;
    }
};

}  // namespace

TEST(PaintShapeTest, WalksEveryPixelWithIncrementalDistance)
{
    Recorder r;
    r.Left = 0;
    r.Top = 0;
    r.Right = 9;
    r.Bottom = 9;
    r.Radius2 = 10;
    PaintCircularShape(r);
    EXPECT_EQ(r.Limit, 100);
    EXPECT_EQ(r.starting, 1);
    EXPECT_EQ(r.startingLine, 10);
    EXPECT_EQ(r.finishedLine, 10);
    ASSERT_EQ(r.distance.size(), 100u);
    EXPECT_EQ((r.distance[{0, 0}]), 1 + 81 + 81);
    EXPECT_EQ((r.distance[{9, 9}]), 1 + 81 + 81);
    for (auto p : {std::pair{4, 4}, {5, 4}, {4, 5}, {5, 5}})
        EXPECT_EQ(r.distance[p], 3);
    for (const auto& [p, d] : r.distance) {
        const int dx = 2 * p.first - 9, dy = 2 * p.second - 9;
        EXPECT_EQ(d, dx * dx + dy * dy + 1);
    }
}

TEST(PaintShapeTest, OffsetBoxAndStopFlag)
{
    Recorder r;
    r.Left = 20;
    r.Top = -3;
    r.Right = 26;  // 7 wide: the centre column has offset 0
    r.Bottom = 1;
    r.stopAtColumn = 22;
    PaintCircularShape(r);
    // Each row stops after column 22 but every row is still visited.
    EXPECT_EQ(r.finishedLine, 5);
    EXPECT_EQ(r.distance.size(), 5u * 3u);
    EXPECT_EQ((r.distance[{20, -1}]), 36 + 0 + 1);
    EXPECT_FALSE(r.distance.count({23, -1}));
}

TEST(PaintShapeTest, EmptyBoxCallsNoPoint)
{
    Recorder r;
    r.Left = 5;
    r.Right = 4;
    r.Top = 0;
    r.Bottom = 0;
    PaintCircularShape(r);
    EXPECT_EQ(r.starting, 1);
    EXPECT_EQ(r.startingLine, 1);
    EXPECT_TRUE(r.distance.empty());
}

namespace {
// Every character is 10 pixels wide, blanks too.
int TenPerChar(const std::string& s) { return int(s.size()) * 10; }
}  // namespace

TEST(WordWrapTest, WordsFillLinesAndBreaksAreIgnored)
{
    std::vector<std::string> lines{"old"};
    BreakStringToStringList("one two\r\nthree  four", lines, TenPerChar, 70);
    EXPECT_EQ(lines, (std::vector<std::string>{"one two", "three", "four"}));
}

TEST(WordWrapTest, ExactFitIsAllowed)
{
    std::vector<std::string> lines;
    BreakStringToStringList("abc de", lines, TenPerChar, 60);
    EXPECT_EQ(lines, (std::vector<std::string>{"abc de"}));
    BreakStringToStringList("abc de", lines, TenPerChar, 59);
    EXPECT_EQ(lines, (std::vector<std::string>{"abc", "de"}));
}

TEST(WordWrapTest, LongWordIsSplitWithNoEmptyLine)
{
    std::vector<std::string> lines;
    BreakStringToStringList("ab abcdefghij x", lines, TenPerChar, 40);
    EXPECT_EQ(lines, (std::vector<std::string>{"ab", "abcd", "efgh", "ij x"}));
    for (const auto& l : lines)
        EXPECT_FALSE(l.empty());
}

TEST(WordWrapTest, TinyWidthTakesOneCharacterPerLine)
{
    std::vector<std::string> lines;
    BreakStringToStringList("abc", lines, TenPerChar, 0);
    EXPECT_EQ(lines, (std::vector<std::string>{"a", "b", "c"}));
}

TEST(WordWrapTest, EmptyAndBlankTextsGiveNoLines)
{
    std::vector<std::string> lines{"x"};
    BreakStringToStringList("", lines, TenPerChar, 100);
    EXPECT_TRUE(lines.empty());
    BreakStringToStringList(" \r\n ", lines, TenPerChar, 100);
    EXPECT_TRUE(lines.empty());
}

TEST(SmallUtilsTest, SignPiAndExitWindows)
{
    EXPECT_EQ(TixSign(-7), -1);
    EXPECT_EQ(TixSign(0), 0);
    EXPECT_EQ(TixSign(3), 1);
    EXPECT_EQ(TixSign(-0.5), -1.0);
    EXPECT_EQ(TixSign(0.0f), 0.0f);
    EXPECT_EQ(TixSign(2.5L), 1.0L);
    EXPECT_NEAR(double(TixPI()), std::acos(-1.0), 1e-15);
    EXPECT_FALSE(TixExitWindows());
    EXPECT_FALSE(TixExitWindows(9, 0));
}
