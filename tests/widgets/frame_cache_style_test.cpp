// The line-edit panel drawn from its kept picture looks as the base style
// draws it, and the picture is used only where it can be.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QLineEdit>
#include <QPainter>
#include <QStyleFactory>
#include <QStyleOptionFrame>
#include <memory>

#include "tests/support/qt_app.h"
#include "tests/widgets/widget_test_helpers.h"
#include "widgets/frame_cache_style.h"

namespace {

class FrameCacheStyleTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        WidgetTest::AppWithDevices();
        base.reset(QStyleFactory::create(QStringLiteral("Fusion")));
        cached = std::make_unique<TFrameCacheStyle>(QStyleFactory::create(QStringLiteral("Fusion")));
        edit = std::make_unique<QLineEdit>();
        edit->setStyle(cached.get());
        edit->resize(120, 24);
    }

    QStyleOptionFrame Panel(QSize size, QStyle::State state, const QPalette& palette = QPalette()) const
    {
        QStyleOptionFrame o;
        o.initFrom(edit.get());
        o.rect = QRect(QPoint(0, 0), size);
        o.state = state;
        o.lineWidth = 1;
        o.palette = palette;
        return o;
    }

    // The panel drawn at (7, 5) of an opaque picture; Setup prepares the painter.
    static QImage Draw(const QStyle& style, const QStyleOptionFrame& o, const QWidget* w,
                       const std::function<void(QPainter&)>& setup = {})
    {
        QImage img(o.rect.width() + 20, o.rect.height() + 20, QImage::Format_ARGB32_Premultiplied);
        img.fill(QColor(0x12, 0x34, 0x56));
        QPainter p(&img);
        if (setup)
            setup(p);
        QStyleOptionFrame at = o;
        at.rect.translate(7, 5);
        style.drawPrimitive(QStyle::PE_PanelLineEdit, &at, &p, w);
        return img;
    }

    // The largest difference of one colour channel over the two pictures.
    static int MaxDifference(const QImage& a, const QImage& b)
    {
        EXPECT_EQ(a.size(), b.size());
        int worst = 0;
        for (int y = 0; y < std::min(a.height(), b.height()); ++y)
            for (int x = 0; x < std::min(a.width(), b.width()); ++x) {
                const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
                worst = std::max({worst, std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)),
                                  std::abs(qBlue(p) - qBlue(q))});
            }
        return worst;
    }

    std::unique_ptr<QStyle> base;
    std::unique_ptr<TFrameCacheStyle> cached;
    std::unique_ptr<QLineEdit> edit;
};

TEST_F(FrameCacheStyleTest, KeptPanelsLookAsDrawnAndAreReusedPerSizeStateAndPalette)
{
    using S = QStyle::StateFlag;
    QPalette red;
    red.setColor(QPalette::Base, Qt::red);
    struct Case {
        QSize size;
        QStyle::State state;
        QPalette palette;
    } const cases[] = {
        {{120, 24}, S::State_Enabled, {}},
        {{120, 24}, S::State_Enabled | S::State_HasFocus, {}},
        {{120, 24}, S::State_None, {}},
        {{120, 24}, S::State_Enabled | S::State_ReadOnly, {}},
        {{33, 17}, S::State_Enabled, {}},
        {{120, 24}, S::State_Enabled, red},
    };
    int rendered = 0;
    for (const Case& c : cases) {
        const QStyleOptionFrame o = Panel(c.size, c.state, c.palette);
        const QImage direct = Draw(*base, o, edit.get());
        const QImage first = Draw(*cached, o, edit.get());
        const QImage again = Draw(*cached, o, edit.get());
        SCOPED_TRACE(testing::Message() << c.size.width() << "x" << c.size.height() << " state " << uint(c.state));
        // Antialiased edges composed over the page once more may round apart by a step.
        EXPECT_LE(MaxDifference(direct, first), 2);
        EXPECT_EQ(first, again);
        EXPECT_EQ(cached->Rendered(), ++rendered);
    }
    EXPECT_EQ(cached->Copied(), int(std::size(cases)));
    // The red base shows: the palette is part of what is kept.
    const QImage redPanel = Draw(*cached, Panel({120, 24}, S::State_Enabled, red), edit.get());
    EXPECT_EQ(QColor(redPanel.pixel(7 + 60, 5 + 12)), QColor(Qt::red));
}

TEST_F(FrameCacheStyleTest, WhatAPictureCannotReproduceIsDrawnDirectly)
{
    const QStyleOptionFrame o = Panel({120, 24}, QStyle::State_Enabled);
    QPalette pattern;
    pattern.setBrush(QPalette::Base, QBrush(Qt::blue, Qt::Dense4Pattern));
    QStyleOptionFrame noFrame = o;
    noFrame.lineWidth = 0;
    QComboBox combo;
    combo.setEditable(true);
    const std::function<void(QPainter&)> painters[] = {
        [](QPainter& p) { p.rotate(3); },
        [](QPainter& p) { p.scale(2, 2); },
        [](QPainter& p) { p.setOpacity(0.5); },
        [](QPainter& p) { p.setCompositionMode(QPainter::CompositionMode_Xor); },
    };
    for (const auto& setup : painters)
        EXPECT_EQ(Draw(*cached, o, edit.get(), setup), Draw(*base, o, edit.get(), setup));
    EXPECT_EQ(Draw(*cached, Panel({120, 24}, QStyle::State_Enabled, pattern), edit.get()),
              Draw(*base, Panel({120, 24}, QStyle::State_Enabled, pattern), edit.get()));
    EXPECT_EQ(Draw(*cached, noFrame, edit.get()), Draw(*base, noFrame, edit.get()));
    EXPECT_EQ(Draw(*cached, o, combo.lineEdit()), Draw(*base, o, combo.lineEdit()));
    EXPECT_EQ(Draw(*cached, Panel({2000, 400}, QStyle::State_Enabled), edit.get()),
              Draw(*base, Panel({2000, 400}, QStyle::State_Enabled), edit.get()));
    EXPECT_EQ(cached->Rendered(), 0);
    EXPECT_EQ(cached->Copied(), 0);
}

TEST_F(FrameCacheStyleTest, OldestPictureMakesRoomAndARealEditPaintsFromTheKeptOne)
{
    const int sizes = int(TFrameCacheStyle::MaxPictures) + 5;
    for (int i = 0; i < sizes; ++i)
        Draw(*cached, Panel({40 + i, 20}, QStyle::State_Enabled), edit.get());
    // The newest are kept, the first ones drawn again.
    Draw(*cached, Panel({40 + sizes - 1, 20}, QStyle::State_Enabled), edit.get());
    EXPECT_EQ(cached->Copied(), 1);
    const QStyleOptionFrame first = Panel({40, 20}, QStyle::State_Enabled);
    EXPECT_LE(MaxDifference(Draw(*cached, first, edit.get()), Draw(*base, first, edit.get())), 2);
    EXPECT_EQ(cached->Rendered(), sizes + 1);

    // A line edit painting itself twice draws its panel once.
    const int before = cached->Rendered();
    edit->setText(QStringLiteral("12.03.2026 10:11:12"));
    WidgetTest::Render(edit.get());
    edit->setText(QStringLiteral("12.03.2026 10:11:13"));
    WidgetTest::Render(edit.get());
    EXPECT_EQ(cached->Rendered(), before + 1);
}

}  // namespace
