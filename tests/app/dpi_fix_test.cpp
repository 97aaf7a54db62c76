// The DPI fix-up: its arithmetic, and forms, frames and rectangles at
// equal, higher and lower pixels per inch than they were designed for.
#include <gtest/gtest.h>

#include <QFontMetrics>
#include <QMenuBar>
#include <QPushButton>
#include <QVBoxLayout>
#include <QWidget>
#include <memory>

#include "app/app_info.h"
#include "app/dpi_fix.h"
#include "tests/app/key_helpers.h"

using DpiFix::TTextScale;

namespace {

const TCachedSystemMetrics kReference;  // 96 ppi, menu 20, caption 25

// The scale the component works out for a widget's font at ppi.
TTextScale ScaleOf(const QWidget& w, int ppi)
{
    return DpiFix::TextScale(ppi, QFontMetrics(w.font(), &w).height(), w.font().family().toStdString(),
                             kReference);
}

}  // namespace

TEST(DpiFix, Arithmetic)
{
    const struct {
        int ppi, height;
        const char* family;
        int h, r;
    } scales[] = {
        {96, 13, "Arial", 13, 13},            // the design's ppi: no change
        {96, 40, "Arial", 40, 40},
        {120, 16, "Tahoma", 16, 13},
        {120, 17, "Tahoma", 17, 13},
        {120, 17, "MS Shell Dlg 2", 25, 19},
        {120, 16, "MS Shell Dlg 2", 16, 13},  // (96 x 16 + 30) / 120
        {144, 20, "DejaVu Sans", 20, 13},     // higher
        {72, 12, "DejaVu Sans", 12, 16},      // lower: shrinks
        {0, 12, "DejaVu Sans", 12, 12},
        {120, 0, "DejaVu Sans", 1, 1},        // a font that measures nothing
    };
    for (const auto& c : scales) {
        SCOPED_TRACE(std::to_string(c.ppi) + " " + c.family + " " + std::to_string(c.height));
        const TTextScale s = DpiFix::TextScale(c.ppi, c.height, c.family, kReference);
        EXPECT_EQ(s.h, c.h);
        EXPECT_EQ(s.r, c.r);
    }

    const struct {
        int a, b, c, result;
    } mulDivs[] = {{10, 16, 13, 12}, {13, 1, 2, 7}, {-13, 1, 2, -7}, {13, -1, 2, -7}, {5, 3, 0, -1}, {0, 5, 7, 0}};
    for (const auto& m : mulDivs)
        EXPECT_EQ(DpiFix::MulDiv(m.a, m.b, m.c), m.result) << m.a << "*" << m.b << "/" << m.c;

    const TCachedSystemMetrics system{120, 25, 30};
    const TTextScale tahoma{16, 13};
    const struct {
        bool sizeable, menu;
        QSize client;
    } sizes[] = {
        {false, false, QSize(320, 160)},  // 260 x 130 by 16 / 13
        {true, false, QSize(320, 166)},   // + 5 for the taller caption buttons
        {false, true, QSize(320, 166)},   // + 5 for the taller menu bar
        {true, true, QSize(320, 172)},
    };
    for (const auto& c : sizes)
        EXPECT_EQ(DpiFix::FixedClientSize(QSize(260, 130), tahoma, c.sizeable, c.menu, kReference, system), c.client)
            << c.sizeable << c.menu;
    EXPECT_EQ(DpiFix::FixedClientSize(QSize(260, 130), TTextScale{13, 13}, true, true, kReference, kReference),
              QSize(260, 130));
    EXPECT_EQ(DpiFix::ScaledRect(QRect(13, 26, 130, 39), tahoma), QRect(16, 32, 160, 48));
}

TEST(DpiFix, FormsAndFramesAreFixedOnceAtOtherPixelsPerInch)
{
    KeyHelpers::AppWithDevices();
    VTixAppInfo info;
    const TCachedSystemMetrics system{120, 25, 30};
    info.SetSystemMetrics(system);
    enum Kind { Plain, FixedSize, WithMenu, WithLayout };
    const struct {
        const char* name;
        Kind kind;
        int ppi;
    } cases[] = {
        {"equal", Plain, 96},   {"higher", Plain, 120},       {"much higher", Plain, 192},
        {"lower", Plain, 72},   {"fixed size", FixedSize, 120}, {"menu bar", WithMenu, 120},
        {"laid out", WithLayout, 120},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QWidget form;
        form.setObjectName("FormTest");
        QFont font("DejaVu Sans");
        font.setPixelSize(13);
        form.setFont(font);
        form.resize(260, 130);
        auto* filling = new QPushButton(&form);
        filling->setGeometry(form.rect());
        auto* button = new QPushButton(&form);
        button->setGeometry(10, 10, 50, 20);
        if (c.kind == FixedSize)
            form.setFixedSize(260, 130);
        if (c.kind == WithMenu)
            new QMenuBar(&form);
        if (c.kind == WithLayout)
            new QVBoxLayout(&form);
        const TTextScale s = ScaleOf(form, c.ppi);
        if (c.ppi != 96)
            ASSERT_NE(s.h, s.r) << "the font must scale at this ppi";

        QSize expected(260, 130);
        if (c.ppi != 96 && c.kind != WithLayout)
            expected = DpiFix::FixedClientSize(expected, s, c.kind != FixedSize, c.kind == WithMenu, kReference, system);
        info.FixPixelsPerInch(&form, c.ppi);
        EXPECT_TRUE(info.IsPixelsPerInchFixed(&form));
        EXPECT_EQ(form.size(), expected);
        if (c.kind != WithLayout) {
            EXPECT_EQ(filling->geometry(), form.rect());          // filled the client area, fills it again
            EXPECT_EQ(button->geometry(), QRect(10, 10, 50, 20));  // others stay where they were
        }
        if (c.kind == Plain && c.ppi == 120)
            EXPECT_GT(form.width(), 260);
        if (c.kind == Plain && c.ppi == 72)
            EXPECT_LT(form.width(), 260);
        // Once per form.
        info.FixPixelsPerInch(&form, c.ppi);
        EXPECT_EQ(form.size(), expected);
    }

    // A frame: its size scaled, no border, caption or menu.
    QWidget frame;
    frame.resize(100, 50);
    const TTextScale s = ScaleOf(frame, 120);
    info.FixPixelsPerInchFrame(&frame, 120);
    EXPECT_EQ(frame.size(), DpiFix::ScaledRect(QRect(0, 0, 100, 50), s).size());
    info.FixPixelsPerInchFrame(&frame, 120);
    EXPECT_EQ(frame.size(), DpiFix::ScaledRect(QRect(0, 0, 100, 50), s).size());
    QWidget same;
    same.resize(100, 50);
    info.FixPixelsPerInchFrame(&same, 96);
    EXPECT_EQ(same.size(), QSize(100, 50));

    // A form that is gone leaves the list.
    auto gone = std::make_unique<QWidget>();
    info.FixPixelsPerInch(gone.get(), 96);
    gone.reset();
    auto fresh = std::make_unique<QWidget>();
    EXPECT_FALSE(info.IsPixelsPerInchFixed(fresh.get()));
    info.FixPixelsPerInch(nullptr, 120);  // nothing to fix
}

TEST(DpiFix, RectanglesAndBounds)
{
    KeyHelpers::AppWithDevices();
    VTixAppInfo info;
    QWidget control;
    const QRect designed(13, 26, 130, 39);
    for (int ppi : {96, 120, 72}) {
        SCOPED_TRACE(ppi);
        const QRect expected = DpiFix::ScaledRect(designed, ScaleOf(control, ppi));
        if (ppi == 96)
            EXPECT_EQ(expected, designed);
        EXPECT_EQ(info.FixPixelsPerInchRectR(&control, designed, ppi), expected);
        QRect inPlace = designed;
        info.FixPixelsPerInchRect(&control, inPlace, ppi);
        EXPECT_EQ(inPlace, expected);
    }
    EXPECT_EQ(info.FixPixelsPerInchRectR(nullptr, designed, 120), designed);

    QWidget first, second;
    const struct {
        const char* name;
        int l, t, w, h, mulX, divX, mulY, divY;
        QWidget* parent;
        QRect bounds;
        QWidget* parentAfter;
    } cases[] = {
        {"unscaled", 10, 20, 30, 40, 1, 1, 1, 1, nullptr, QRect(10, 20, 30, 40), &first},
        {"wider", 10, 20, 30, 40, 3, 2, 1, 1, nullptr, QRect(15, 20, 45, 40), &first},
        {"both, rounded", 13, 13, 13, 13, 16, 13, 5, 2, &second, QRect(16, 33, 16, 33), &second},
        {"a divisor 0 leaves that way unscaled", 10, 20, 30, 40, 7, 0, 1, 2, nullptr, QRect(10, 10, 30, 20),
         &second},
    };
    auto* child = new QPushButton(&first);
    child->show();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        VTixAppInfo::SetBounds2(child, c.l, c.t, c.w, c.h, c.mulX, c.divX, c.mulY, c.divY, c.parent);
        EXPECT_EQ(child->geometry(), c.bounds);
        EXPECT_EQ(child->parentWidget(), c.parentAfter);
        EXPECT_FALSE(child->isHidden());
    }
}
