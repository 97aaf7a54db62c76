// The rotated label: angle normalisation, placement and colours.
#include <gtest/gtest.h>

#include <QFontMetrics>
#include <memory>

#include "tests/support/qt_app.h"
#include "tests/widgets/widget_test_helpers.h"
#include "widgets/rotate_label.h"

using WidgetTest::PixelColor;
using WidgetTest::Render;

TEST(RotateLabelTest, EscapementIsKeptInOneTurn)
{
    EXPECT_EQ(TRotateLabel::NormalizeEscapement(-90), 270);
    EXPECT_EQ(TRotateLabel::NormalizeEscapement(450), 90);
    EXPECT_EQ(TRotateLabel::NormalizeEscapement(-360), 360);
    EXPECT_EQ(TRotateLabel::NormalizeEscapement(0), 0);
    EXPECT_EQ(TRotateLabel::NormalizeEscapement(360), 360);
    EXPECT_EQ(TRotateLabel::NormalizeEscapement(-1), 359);
    EXPECT_EQ(TRotateLabel::NormalizeEscapement(-361), 359);
    EXPECT_EQ(TRotateLabel::NormalizeEscapement(-720), 360);
    EXPECT_EQ(TRotateLabel::NormalizeEscapement(720), 360);
    EXPECT_EQ(TRotateLabel::NormalizeEscapement(361), 1);
    const int big = TRotateLabel::NormalizeEscapement(INT32_MIN);
    EXPECT_TRUE(big >= 0 && big <= 360);

    WidgetTest::AppWithDevices();
    TRotateLabel label;
    EXPECT_EQ(label.Escapement(), 90);
    label.SetEscapement(-90);
    EXPECT_EQ(label.Escapement(), 270);
    label.SetEscapement(450);
    EXPECT_EQ(label.Escapement(), 90);
}

TEST(RotateLabelTest, TextOriginForEachQuarter)
{
    // Text 50 wide, 10 high.
    EXPECT_EQ(TRotateLabel::TextOffset(0, 50, 10, true), QPoint(0, 1));
    EXPECT_EQ(TRotateLabel::TextOffset(0, 50, 10, false), QPoint(0, 0));
    EXPECT_EQ(TRotateLabel::TextOffset(45, 50, 10, false), QPoint(0, 35));
    EXPECT_EQ(TRotateLabel::TextOffset(90, 50, 10, true), QPoint(0, 51));
    EXPECT_EQ(TRotateLabel::TextOffset(135, 50, 10, true), QPoint(35, 42));
    EXPECT_EQ(TRotateLabel::TextOffset(180, 50, 10, true), QPoint(50, 10));
    EXPECT_EQ(TRotateLabel::TextOffset(270, 50, 10, true), QPoint(10, 0));
    EXPECT_EQ(TRotateLabel::TextOffset(300, 50, 10, true), QPoint(9, 0));

    EXPECT_EQ(TRotateLabel::RotatedBounds(0, 50, 10), QSize(50, 10));
    EXPECT_EQ(TRotateLabel::RotatedBounds(90, 50, 10), QSize(10, 50));
    EXPECT_EQ(TRotateLabel::RotatedBounds(45, 50, 10), QSize(42, 42));
    EXPECT_EQ(TRotateLabel::RotatedBounds(180, 50, 10), QSize(50, 10));
}

TEST(RotateLabelTest, AutoSizeFollowsTheRotatedText)
{
    WidgetTest::AppWithDevices();
    TRotateLabel label;
    label.SetEscapement(0);
    const QFontMetrics fm(label.font());
    const int flags = Qt::TextExpandTabs | Qt::TextShowMnemonic;
    // An empty caption measures as one blank.
    EXPECT_EQ(label.size(), QSize(fm.size(flags, QStringLiteral(" ")).width(), fm.height()));
    label.SetCaption("Zelvitor");
    const int w = fm.size(flags, QStringLiteral("Zelvitor")).width();
    EXPECT_GE(w, fm.horizontalAdvance(QStringLiteral("Zelvitor")));
    EXPECT_EQ(label.size(), QSize(w, fm.height()));
    label.SetEscapement(90);
    EXPECT_EQ(label.size(), QSize(fm.height(), w));
    // Without auto size the size stays.
    label.SetAutoSize(false);
    label.resize(200, 30);
    label.SetEscapement(0);
    EXPECT_EQ(label.size(), QSize(200, 30));
}

TEST(RotateLabelTest, DisabledTextIsGreyAndTheCopiesKeepTheirColours)
{
    WidgetTest::AppWithDevices();
    Platform::ResetClassicSysColors();
    // Distinct colours to tell the three copies apart.
    Platform::SetSysColor(Platform::COLOR_GRAYTEXT, clRed);
    Platform::SetSysColor(Platform::COLOR_BTNSHADOW, clBlue);
    Platform::SetSysColor(Platform::COLOR_BTNHIGHLIGHT, clLime);
    auto parent = std::make_unique<QWidget>();
    auto* label = new TRotateLabel(parent.get());
    QFont f = label->font();
    f.setPixelSize(16);
    f.setStyleStrategy(QFont::NoAntialias);
    label->setFont(f);
    label->SetCaption("HHHH");
    label->SetEscapement(0);
    label->SetTextStyle(tsRaised);
    label->SetAutoSize(false);
    label->resize(80, 30);
    label->SetEnabled(false);
    auto count = [&](const QImage& img, TColor c) {
        int n = 0;
        for (int y = 0; y < img.height(); ++y)
            for (int x = 0; x < img.width(); ++x)
                n += PixelColor(img, x, y) == c;
        return n;
    };
    QImage img = Render(label);
    EXPECT_GT(count(img, clRed), 10);
    EXPECT_GT(count(img, clBlue), 2);
    EXPECT_GT(count(img, clLime), 2);
    EXPECT_EQ(count(img, clBlack), 0);
    label->SetEnabled(true);
    img = Render(label);
    EXPECT_GT(count(img, clBlack), 10);
    EXPECT_EQ(count(img, clRed), 0);
    Platform::ResetClassicSysColors();
}

TEST(RotateLabelTest, RotatedCaptionRunsUpwards)
{
    WidgetTest::AppWithDevices();
    auto parent = std::make_unique<QWidget>();
    auto* label = new TRotateLabel(parent.get());
    QFont f = label->font();
    f.setPixelSize(14);
    f.setStyleStrategy(QFont::NoAntialias);
    label->setFont(f);
    label->SetCaption("IIIIIIIIIIII");
    label->SetColor(clWhite);
    ASSERT_GT(label->height(), label->width());
    const QImage img = Render(label);
    // Ink spreads along the height, not the width.
    int top = img.height(), bottom = -1;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if (PixelColor(img, x, y) == clBlack) {
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
    EXPECT_GT(bottom - top, img.height() / 2);
}
