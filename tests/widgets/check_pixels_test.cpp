// The check images drawn pixel by pixel with the classic colours pinned.
#include <gtest/gtest.h>

#include <QKeyEvent>
#include <cstdlib>
#include <memory>

#include "tests/support/qt_app.h"
#include "tests/widgets/widget_test_helpers.h"
#include "widgets/check_control.h"
#include "widgets/image_list.h"
#include "widgets/theme_switch.h"

using WidgetTest::PixelColor;
using WidgetTest::Render;

namespace {

// Class limits of the classic radio image at size 13 (doubled radius 13):
// s^2 - 23, min(6s/7, s-2)^2 - 15, min(5s/7, s-4)^2 - 7, max((3s/7)^2 - 7, 4).
constexpr int R0 = 146, R1 = 106, R2 = 74, R3 = 18;

int RadioClass(int x, int y, bool checked)
{
    const int dx = 2 * x - 12, dy = 2 * y - 12;
    const int d = dx * dx + dy * dy + 1;
    if (d > R0)
        return -1;
    const bool upperLeft = -dx > dy;
    if (d > R1)
        return upperLeft ? 0 : 4;
    if (d > R2)
        return upperLeft ? 1 : 3;
    return (checked && d < R3) ? 5 : 2;
}

class CheckPixelsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        WidgetTest::AppWithDevices();
        Platform::ResetClassicSysColors();
        Widgets::SetThemesEnabled(false);
        parent = std::make_unique<QWidget>();
    }
    void TearDown() override { Widgets::SetThemesEnabled(true); }

    TIACheckControl* Make(VTixCheckControlStyle style, VTixCheckControlType type)
    {
        auto* c = new TIACheckControl(parent.get());
        c->SetText("");
        c->SetStyle(style);
        c->SetControlType(type);
        return c;
    }

    std::unique_ptr<QWidget> parent;
};

}  // namespace

TEST_F(CheckPixelsTest, ClassicRadioFollowsTheRingClasses)
{
    for (bool checked : {false, true}) {
        auto* c = Make(iaccsStyleWin, iacctSelect);
        c->SetChecked(checked);
        const QRect box = c->ImageRect();
        ASSERT_EQ(box, QRect(0, 2, 13, 13));
        const QImage img = Render(c);
        const TColor byClass[] = {0x808080, 0x404040, 0xFFFFFF, 0xC0C0C0, 0xFFFFFF, 0x000000};
        int seen[6] = {};
        for (int y = 0; y < 13; ++y) {
            for (int x = 0; x < 13; ++x) {
                const int cls = RadioClass(x, y, checked);
                const TColor want = cls < 0 ? TColor(0xC0C0C0) : byClass[cls];
                ASSERT_EQ(PixelColor(img, box.left() + x, box.top() + y), want)
                    << "pixel " << x << "," << y << " class " << cls << " checked " << checked;
                if (cls >= 0)
                    ++seen[cls];
            }
        }
        for (int cls = 0; cls < 5; ++cls)
            EXPECT_GT(seen[cls], 0) << cls;
        EXPECT_EQ(seen[5] > 0, checked);
    }
}

TEST_F(CheckPixelsTest, PressedRadioShowsTheButtonFace)
{
    auto* c = Make(iaccsStyleWin, iacctSelect);
    c->SetCheckFieldColor2(clYellow);
    QImage img = Render(c);
    EXPECT_EQ(PixelColor(img, 6, 2 + 6), clYellow);  // field colour 2
    WidgetTest::SendKeyEvent(c, QEvent::KeyPress, Qt::Key_Space, QStringLiteral(" "));
    img = Render(c);
    EXPECT_EQ(PixelColor(img, 6, 2 + 6), 0xC0C0C0);  // pushed: button face
}

TEST_F(CheckPixelsTest, DisabledRadioBlendsItsFieldColours)
{
    auto* c = Make(iaccsStyleWin, iacctSelect);
    c->SetChecked(true);
    c->SetEnabled(false);
    const QImage img = Render(c);
    // Field 30 % from the control colour toward white: 192 + 63 * 30 / 100.
    EXPECT_EQ(PixelColor(img, 3, 2 + 6), 0xD2D2D2);
    // Dot 40 % from the button face toward black: 192 - 192 * 40 / 100.
    EXPECT_EQ(PixelColor(img, 6, 2 + 6), 0x747474);
}

TEST_F(CheckPixelsTest, DcdLampOnAndOff)
{
    auto* c = Make(iaccsStyleLamp, iacctReadOnly);
    c->SetCheckFieldColor1(clRed);
    c->SetCheckFieldColor2(clLime);
    c->SetEnabled(false);  // the lamps are disabled and keep their colours
    const QRect box = c->ImageRect();
    ASSERT_EQ(box, QRect(0, 2, 13, 13));
    // Ring 40 % of the way from the field colour to the button face.
    const TColor ringOff = Platform::MakeColor(230, 76, 76), ringOn = Platform::MakeColor(76, 230, 76);
    for (bool on : {false, true}) {
        c->SetChecked(on);
        const QImage img = Render(c);
        for (int y = 0; y < 13; ++y) {
            for (int x = 0; x < 13; ++x) {
                const int dx = 2 * x - 12, dy = 2 * y - 12;
                const int d = dx * dx + dy * dy + 1;
                TColor want = 0xC0C0C0;
                if (d <= R0)
                    want = d > R1 ? (on ? ringOn : ringOff) : (on ? clLime : clRed);
                // The lamp sits one row above its box.
                ASSERT_EQ(PixelColor(img, box.left() + x, box.top() - 1 + y), want)
                    << x << "," << y << " on " << on;
            }
        }
        // The row below the lamp is background.
        EXPECT_EQ(PixelColor(img, box.left() + 6, box.top() + 12), 0xC0C0C0);
    }
}

TEST_F(CheckPixelsTest, LampWithoutOnColourDrawsOnlyTheRing)
{
    auto* c = Make(iaccsStyleLamp, iacctReadOnly);
    c->SetCheckFieldColor1(clRed);
    c->SetCheckFieldColor2(clNone);
    c->SetChecked(true);
    const QImage img = Render(c);
    const QRect box = c->ImageRect();
    EXPECT_EQ(PixelColor(img, box.left() + 6, box.top() - 1 + 6), 0xC0C0C0);  // no disc
    EXPECT_EQ(PixelColor(img, box.left() + 6, box.top() - 1), 0xC0C0C0);       // ring clNone too
    c->SetChecked(false);
    EXPECT_EQ(PixelColor(Render(c), box.left() + 6, box.top() - 1 + 6), clRed);
}

TEST_F(CheckPixelsTest, ClassicCheckBoxBandsAndTick)
{
    auto* c = Make(iaccsStyleWin, iacctCheck);
    const QRect box = c->ImageRect();
    auto at = [&](const QImage& img, int x, int y) { return PixelColor(img, box.left() + x, box.top() + y); };
    QImage img = Render(c);
    EXPECT_EQ(at(img, 0, 0), 0x808080);   // outer top-left: shadow
    EXPECT_EQ(at(img, 0, 11), 0x808080);
    EXPECT_EQ(at(img, 0, 12), 0xFFFFFF);  // ...stops short: highlight corner
    EXPECT_EQ(at(img, 12, 0), 0xFFFFFF);
    EXPECT_EQ(at(img, 1, 1), 0x404040);   // inner top-left: dark shadow
    EXPECT_EQ(at(img, 1, 11), 0xC0C0C0);  // inner bottom-right: 3D light
    EXPECT_EQ(at(img, 11, 11), 0xC0C0C0);
    EXPECT_EQ(at(img, 12, 12), 0xFFFFFF);
    EXPECT_EQ(at(img, 3, 6), 0xFFFFFF);   // field, unchecked
    c->SetChecked(true);
    img = Render(c);
    // The tick runs (3,7)-(5,9)-(9,5)..(9,3)-(5,7)-(3,5) inside the field.
    EXPECT_EQ(at(img, 3, 6), 0x000000);
    EXPECT_EQ(at(img, 5, 8), 0x000000);
    EXPECT_EQ(at(img, 9, 4), 0x000000);
    EXPECT_EQ(at(img, 8, 9), 0xFFFFFF);
    EXPECT_EQ(at(img, 3, 3), 0xFFFFFF);
}

TEST_F(CheckPixelsTest, ThemedRadioRingAndDot)
{
    Widgets::SetThemesEnabled(true);
    auto* c = Make(iaccsStyleWin, iacctSelect);
    const QRect box = c->ImageRect();
    const QColor bg(0x12, 0x34, 0x56);
    QImage img = Render(c, bg);
    auto at = [&](int x, int y) { return QColor(img.pixel(box.left() + x, box.top() + y)); };
    // The ring in the border colour 0x845724 (red 0x24, green 0x57, blue
    // 0x84), its edges smoothed a little.
    auto near = [](QColor a, QColor b) {
        return std::abs(a.red() - b.red()) <= 12 && std::abs(a.green() - b.green()) <= 12
               && std::abs(a.blue() - b.blue()) <= 12;
    };
    const QColor border(0x24, 0x57, 0x84);
    EXPECT_TRUE(near(at(0, 6), border)) << at(0, 6).name().toStdString();
    EXPECT_TRUE(near(at(6, 0), border));
    EXPECT_TRUE(near(at(12, 6), border));
    EXPECT_FALSE(near(at(1, 6), border));
    // Outside the circle the parent shows through.
    EXPECT_EQ(at(0, 0), bg);
    // Unchecked: a light face in the middle.
    EXPECT_GT(at(6, 6).red(), 200);
    EXPECT_GT(at(6, 6).blue(), 200);

    c->SetChecked(true);
    img = Render(c, bg);
    const QColor dot = at(6, 6);
    EXPECT_GT(dot.green(), dot.red() + 60);
    EXPECT_GT(dot.green(), dot.blue() + 60);
    EXPECT_GT(at(2, 6).red(), 200);  // face between ring and dot

    // Other field colours fall back to the classic drawing.
    c->SetCheckFieldColor1(clRed);
    img = Render(c, bg);
    EXPECT_EQ(WidgetTest::PixelColor(img, box.left() + 6, box.top() + 6), clRed);
}

TEST_F(CheckPixelsTest, BitmapStyleNeedsFourPictures)
{
    TImageList list(13, 13);
    for (QColor col : {QColor(Qt::red), QColor(Qt::green), QColor(Qt::blue)}) {
        QImage img(13, 13, QImage::Format_ARGB32);
        img.fill(col);
        list.Add(img);
    }
    auto* c = Make(iaccsBitmap, iacctCheck);
    c->SetImageList(&list);
    const QPoint p = c->ImageRect().center();
    EXPECT_EQ(PixelColor(Render(c), p.x(), p.y()), 0xC0C0C0);
    QImage yellow(13, 13, QImage::Format_ARGB32);
    yellow.fill(Qt::yellow);
    list.Add(yellow);
    c->update();
    EXPECT_EQ(PixelColor(Render(c), p.x(), p.y()), clRed);
    c->SetChecked(true);
    EXPECT_EQ(PixelColor(Render(c), p.x(), p.y()), clLime);
    c->SetEnabled(false);
    EXPECT_EQ(PixelColor(Render(c), p.x(), p.y()), clYellow);
}

TEST_F(CheckPixelsTest, ButtonLooksRaisedWhileSpaceIsHeldOnACheckedButton)
{
    auto* c = Make(iaccsStyleButton, iacctCheck);
    const QRect box = c->ImageRect();
    c->SetChecked(true);
    EXPECT_EQ(PixelColor(Render(c), box.left(), box.top()), 0x404040);  // sunk
    WidgetTest::SendKeyEvent(c, QEvent::KeyPress, Qt::Key_Space, QStringLiteral(" "));
    EXPECT_EQ(PixelColor(Render(c), box.left(), box.top()), 0xFFFFFF);  // raised
}
