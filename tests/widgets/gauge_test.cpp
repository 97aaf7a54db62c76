// The gauge's values and texts, and its pictures pixel by pixel.
#include <gtest/gtest.h>

#include <QFont>
#include <cstdlib>
#include <memory>

#include "tests/support/qt_app.h"
#include "tests/widgets/widget_test_helpers.h"
#include "widgets/gauge.h"
#include "widgets/theme_switch.h"

using WidgetTest::PixelColor;
using WidgetTest::Render;

namespace {

class GaugeTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        WidgetTest::AppWithDevices();
        Platform::ResetClassicSysColors();
        Widgets::SetThemesEnabled(false);
        parent = std::make_unique<QWidget>();
        parent->resize(300, 300);
        g = new VTixGauge(parent.get());
    }
    void TearDown() override { Widgets::SetThemesEnabled(true); }

    std::unique_ptr<QWidget> parent;
    VTixGauge* g = nullptr;
};

}  // namespace

TEST_F(GaugeTest, ProgressIsClampedAndRepaintsOnlyOnChange)
{
    parent->show();
    EXPECT_GE(WidgetTest::PaintsCausedBy(g, [&] { g->SetProgress(150); }), 1);
    EXPECT_EQ(g->Progress(), 100);
    EXPECT_EQ(WidgetTest::PaintsCausedBy(g, [&] { g->SetProgress(150); }), 0);
    g->SetProgress(-5);
    EXPECT_EQ(g->Progress(), 0);
    // AddProgress repaints even when nothing changes.
    EXPECT_GE(WidgetTest::PaintsCausedBy(g, [&] { g->AddProgress(-1); }), 1);
    g->AddProgress(30);
    EXPECT_EQ(g->Progress(), 30);
    g->AddProgress(INT32_MAX);
    EXPECT_EQ(g->Progress(), 100);
}

TEST_F(GaugeTest, RangeChangesPushTheOtherValues)
{
    g->SetProgress(50);
    g->SetMinValue(120);
    EXPECT_EQ(g->MaxValue(), 120);
    EXPECT_EQ(g->MinValue(), 120);
    EXPECT_EQ(g->Progress(), 120);
    EXPECT_EQ(g->ShowMaxValue(), 120);
    EXPECT_EQ(g->ShowMinValue(), 120);

    VTixGauge h(parent.get());
    h.SetProgress(50);
    h.SetMaxValue(80);
    EXPECT_EQ(h.Progress(), 50);  // within the new range: untouched
    h.SetMaxValue(30);
    EXPECT_EQ(h.Progress(), 30);
    h.SetMaxValue(-10);
    EXPECT_EQ(h.MinValue(), -10);
    EXPECT_EQ(h.Progress(), -10);

    VTixGauge k(parent.get());
    k.AutoShowVals = false;
    k.SetMaxValue(31);
    EXPECT_EQ(k.ShowMaxValue(), 100);
}

TEST_F(GaugeTest, DigitsAndUnits)
{
    g->SetDigitsAfterPoint(12);
    EXPECT_EQ(g->DigitsAfterPoint(), 9);
    g->SetDigitsAfterPoint(-1);
    EXPECT_EQ(g->DigitsAfterPoint(), 0);
    g->SetProgress(42);
    g->SetUnits(" ");
    EXPECT_EQ(g->progressString_(), "42");
    g->SetUnits("");
    EXPECT_EQ(g->progressString_(), "42");
    g->SetUnits(" mA");
    EXPECT_EQ(g->progressString_(), "42 mA");
}

TEST_F(GaugeTest, ShownValueMapsTheRange)
{
    g->AutoShowVals = false;
    g->SetMaxValue(7);
    g->SetProgress(7);
    EXPECT_EQ(g->progressString_(), "100%");
    g->SetProgress(0);
    EXPECT_EQ(g->progressString_(), "0%");
    g->SetMaxValue(31);
    g->SetProgress(15);
    EXPECT_EQ(g->progressString_(), "48%");
    EXPECT_EQ(g->GetPercentDone(), 48);
    // Halves round up without decimals: 2.5 -> 3.
    g->SetMaxValue(2);
    g->SetShowMaxValue(5);
    g->SetProgress(1);
    EXPECT_EQ(g->progressString_(), "3%");
    // Decimals always with a point.
    g->SetMaxValue(3);
    g->SetShowMaxValue(100);
    g->SetDigitsAfterPoint(2);
    EXPECT_EQ(g->progressString_(), "33.33%");
    g->SetShowMinValue(-100);
    g->SetProgress(0);
    EXPECT_EQ(g->progressString_(), "-100.00%");
}

TEST_F(GaugeTest, EmptyRangeShowsTheMiddleOfTheShownRange)
{
    g->AutoShowVals = false;
    g->SetMaxValue(0);
    g->SetShowMinValue(10);
    g->SetShowMaxValue(20);
    EXPECT_EQ(g->MinValue(), g->MaxValue());
    EXPECT_EQ(g->progressString_(), "15%");
    EXPECT_EQ(g->GetPercentDone(), 0);
    EXPECT_EQ(VTixGauge::SolveForY(5, 0), 0);
    EXPECT_EQ(VTixGauge::SolveForX(50, 8), 4);
}

TEST_F(GaugeTest, HorizontalBarAtHalf)
{
    g->resize(100, 20);
    g->SetShowText(false);
    g->SetProgress(50);
    const QImage img = Render(g);
    for (int y = 0; y < 20; ++y) {
        for (int x = 0; x < 100; ++x) {
            TColor want;
            if (x == 0 || y == 0 || x == 99 || y == 19)
                want = 0x505050;
            else
                want = x < 50 ? clBlack : clWhite;
            ASSERT_EQ(PixelColor(img, x, y), want) << x << "," << y;
        }
    }
}

TEST_F(GaugeTest, VerticalBarAtHalf)
{
    g->SetGaugeKind(vgkVerticalBar);
    g->resize(20, 100);
    g->SetShowText(false);
    g->SetProgress(50);
    const QImage img = Render(g);
    EXPECT_EQ(PixelColor(img, 10, 49), clWhite);
    EXPECT_EQ(PixelColor(img, 10, 50), clBlack);
    EXPECT_EQ(PixelColor(img, 10, 98), clBlack);
    EXPECT_EQ(PixelColor(img, 10, 99), 0x505050);
}

TEST_F(GaugeTest, ThemedBarFrameAndShading)
{
    Widgets::SetThemesEnabled(true);
    g->resize(100, 20);
    g->SetShowText(false);
    g->SetProgress(50);
    const QImage img = Render(g);
    EXPECT_EQ(PixelColor(img, 0, 0), 0xC0C0C0);    // cut corner: the background
    EXPECT_EQ(PixelColor(img, 1, 0), 0xA7A7A7);    // frame to back at 50 %
    EXPECT_EQ(PixelColor(img, 5, 0), 0x505050);    // frame
    EXPECT_EQ(PixelColor(img, 30, 1), 0xB9B9B9);   // ring at 60 %
    EXPECT_EQ(PixelColor(img, 30, 2), 0xDCDCDC);   // ring at 80 %
    // Inner height 14: shading pairs at 80 %, 50 % and 20 % of fore to back.
    EXPECT_EQ(PixelColor(img, 20, 3), 0xCCCCCC);
    EXPECT_EQ(PixelColor(img, 20, 16), 0xCCCCCC);
    EXPECT_EQ(PixelColor(img, 20, 4), 0x7F7F7F);
    EXPECT_EQ(PixelColor(img, 20, 5), 0x333333);
    EXPECT_EQ(PixelColor(img, 20, 10), clBlack);
    EXPECT_EQ(PixelColor(img, 70, 10), clWhite);
    // The bar ends at 3 + round(0.5 * 94) = 50.
    EXPECT_EQ(PixelColor(img, 49, 10), clBlack);
    EXPECT_EQ(PixelColor(img, 50, 10), clWhite);
}

TEST_F(GaugeTest, TextIsInvertedOverDarkParts)
{
    g->resize(100, 20);
    g->SetProgress(50);
    g->SetFontColor(clRed);
    QFont f = g->font();
    f.setPixelSize(14);
    f.setStyleStrategy(QFont::NoAntialias);
    g->setFont(f);
    g->OnGetColors = [](VTixGauge*, VTixGaugePaintColors& c) { c.Text = "HHHHHHHHHHHH"; };
    const QImage img = Render(g);
    const TColor cyan = Platform::MakeColor(0, 255, 255);
    int redLeft = 0, cyanLeft = 0, redRight = 0, cyanRight = 0;
    for (int y = 1; y < 19; ++y) {
        for (int x = 1; x < 99; ++x) {
            const TColor c = PixelColor(img, x, y);
            (x < 50 ? redLeft : redRight) += c == clRed;
            (x < 50 ? cyanLeft : cyanRight) += c == cyan;
        }
    }
    EXPECT_GT(cyanLeft, 20);   // over the black filled part
    EXPECT_EQ(redLeft, 0);
    EXPECT_GT(redRight, 20);   // over the white empty part
    EXPECT_EQ(cyanRight, 0);

    // The event may take the text away, and the compositing with it.
    g->OnGetColors = [](VTixGauge*, VTixGaugePaintColors& c) { c.Text.clear(); };
    const QImage none = Render(g);
    g->OnGetColors = nullptr;
    g->SetShowText(false);
    EXPECT_EQ(none, Render(g));
}

// The text is made of whole pixels in the font colour (or its inverse),
// whatever the font's own smoothing: a smoothed edge mixed purple with the
// bar's lime into a green that barely read.
TEST_F(GaugeTest, TextPixelsAreTheFontColourWithoutBlends)
{
    g->resize(200, 18);
    g->SetProgress(80);
    g->SetUnits(" %");
    g->SetForeColor(clLime);
    g->SetBackColor(clGreen);
    g->SetFontColor(clPurple);
    QFont f = g->font();
    f.setPixelSize(13);
    f.setStyleStrategy(QFont::PreferAntialias);
    g->setFont(f);
    const QImage img = Render(g);
    const TColor inverse = Platform::MakeColor(127, 255, 127);
    int purple = 0, inverted = 0, other = 0;
    for (int y = 2; y < 16; ++y)
        for (int x = 2; x < 198; ++x) {
            const TColor c = PixelColor(img, x, y);
            purple += c == clPurple;
            inverted += c == inverse;
            other += c != clPurple && c != inverse && c != clLime && c != clGreen;
        }
    EXPECT_GT(purple, 20);  // "80 %" lies over the filled part
    EXPECT_EQ(inverted, 0);
    EXPECT_EQ(other, 0);
}

TEST_F(GaugeTest, ColourEventSeesThePaintColours)
{
    g->SetForeColor(clNavy);
    g->SetProgress(40);
    g->SetFontColor(clMaroon);
    VTixGaugePaintColors seen;
    g->OnGetColors = [&](VTixGauge* s, VTixGaugePaintColors& c) {
        EXPECT_EQ(s, g);
        seen = c;
        c.ForeColor = clRed;
    };
    g->resize(100, 20);
    const QImage img = Render(g);
    EXPECT_EQ(seen.ForeColor, clNavy);
    EXPECT_EQ(seen.BackColor, clWhite);
    EXPECT_EQ(seen.Color, clBtnFace);
    EXPECT_EQ(seen.FrameColor, 0x505050);
    EXPECT_EQ(seen.FontColor, clMaroon);
    EXPECT_EQ(seen.Text, "40%");
    EXPECT_EQ(PixelColor(img, 5, 3), clRed);
}

TEST_F(GaugeTest, NeedleEnds)
{
    for (bool themes : {false, true}) {
        Widgets::SetThemesEnabled(themes);
        const int e = themes ? 2 : 0;
        g->SetGaugeKind(vgkNeedle);
        g->resize(101, 51);
        g->SetShowText(false);
        g->SetForeColor(clRed);
        g->SetProgress(0);
        QImage img = Render(g);
        EXPECT_EQ(PixelColor(img, 0, 50 - e), clRed) << themes;
        EXPECT_EQ(PixelColor(img, 50, 50), clRed);
        g->SetProgress(100);
        img = Render(g);
        EXPECT_EQ(PixelColor(img, 100 - e, 50 - e), clRed) << themes;
        g->SetProgress(50);
        img = Render(g);
        EXPECT_EQ(PixelColor(img, (100 - e + 1) / 2, 0), clRed) << themes;
        int reds = 0;
        for (int x = 0; x < 101; ++x)
            reds += PixelColor(img, x, 25) == clRed ? (std::abs(x - 50) <= 1 ? 1 : 100) : 0;
        EXPECT_EQ(reds, 1) << themes;  // one needle pixel in the middle row, nothing else red
    }
}

TEST_F(GaugeTest, PieRunsClockwiseFromTwelve)
{
    g->SetGaugeKind(vgkPie);
    g->resize(41, 41);
    g->SetShowText(false);
    g->SetForeColor(clBlue);
    g->SetProgress(25);
    QImage img = Render(g);
    // The upper-right quadrant, 12 to 3 o'clock.
    EXPECT_EQ(PixelColor(img, 28, 12), clBlue);
    EXPECT_EQ(PixelColor(img, 22, 5), clBlue);
    EXPECT_EQ(PixelColor(img, 35, 18), clBlue);
    EXPECT_EQ(PixelColor(img, 21, 8), clBlue);
    EXPECT_EQ(PixelColor(img, 30, 19), clBlue);
    EXPECT_EQ(PixelColor(img, 19, 8), clWhite);
    EXPECT_EQ(PixelColor(img, 30, 21), clWhite);
    EXPECT_EQ(PixelColor(img, 12, 12), clWhite);
    EXPECT_EQ(PixelColor(img, 28, 28), clWhite);
    EXPECT_EQ(PixelColor(img, 12, 28), clWhite);
    // Three quarters leave only the upper-left quadrant.
    g->SetProgress(75);
    img = Render(g);
    EXPECT_EQ(PixelColor(img, 28, 28), clBlue);
    EXPECT_EQ(PixelColor(img, 12, 28), clBlue);
    EXPECT_EQ(PixelColor(img, 12, 12), clWhite);
    // Nothing done, no sector.
    g->SetProgress(0);
    img = Render(g);
    EXPECT_EQ(PixelColor(img, 28, 12), clWhite);
    g->SetProgress(100);
    img = Render(g);
    EXPECT_EQ(PixelColor(img, 12, 12), clBlue);
}

TEST_F(GaugeTest, TransparentGaugeLetsTheParentShowThrough)
{
    g->SetGaugeKind(vgkPie);
    g->resize(41, 41);
    g->SetShowText(false);
    g->SetColor(clNone);
    g->SetProgress(25);
    const QColor bg(0x12, 0x34, 0x56);
    const QImage img = Render(g, bg);
    EXPECT_EQ(QColor(img.pixel(0, 0)), bg);
    EXPECT_EQ(QColor(img.pixel(40, 40)), bg);
    // The picture itself keeps its colours (no OR with the background);
    // without a background the disc is not filled either.
    EXPECT_EQ(PixelColor(img, 28, 12), clBlack);
    EXPECT_EQ(QColor(img.pixel(12, 28)), bg);
    // A needle gauge: the dial is drawn, the corners stay see-through.
    g->SetGaugeKind(vgkNeedle);
    g->resize(101, 51);
    const QImage dial = Render(g, bg);
    EXPECT_EQ(QColor(dial.pixel(1, 1)), bg);
    EXPECT_EQ(PixelColor(dial, 50, 40), clWhite);
}
