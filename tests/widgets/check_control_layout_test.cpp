// The check control with AutoSize inside layouts: it settles at once and
// paints only when something about it changes.
#include <gtest/gtest.h>

#include <QBoxLayout>
#include <QGridLayout>
#include <memory>

#include "tests/support/event_loop.h"
#include "tests/widgets/widget_test_helpers.h"
#include "widgets/check_control.h"

namespace {

class CheckControlLayoutTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        WidgetTest::AppWithDevices();
        Platform::ResetClassicSysColors();
        window = std::make_unique<QWidget>();
        window->resize(300, 200);
    }

    TIACheckControl* Item(const char* text)
    {
        auto* c = new TIACheckControl(window.get());
        c->SetControlType(iacctSelect);
        c->SetStyle(iaccsStyleWin);
        c->SetText(text);
        return c;
    }

    // Paints of `w` while the event loop runs for `ms` milliseconds.
    static int PaintsWhileIdle(QWidget* w, int ms)
    {
        WidgetTest::Flush();
        WidgetTest::PaintCounter counter(w);
        TestSupport::ProcessFor(ms);
        return counter.count;
    }

    std::unique_ptr<QWidget> window;
};

}  // namespace

TEST_F(CheckControlLayoutTest, AStretchingLayoutLetsItSettle)
{
    // A box layout hands the control the whole width, more than it needs.
    auto* column = new QVBoxLayout(window.get());
    TIACheckControl* a = Item("Norm\xE1ln\xED");
    TIACheckControl* b = Item("Sp\xE1nek");
    column->addWidget(a);
    column->addWidget(b);
    column->addStretch(1);
    window->show();
    WidgetTest::Flush();
    ASSERT_TRUE(a->isVisible());

    EXPECT_LE(PaintsWhileIdle(a, 400), 1) << "an idle control paints nothing";
    EXPECT_LE(PaintsWhileIdle(b, 200), 1);
    // The layout's size stands; the control draws at its own size inside it.
    EXPECT_GE(a->width(), a->FullSize().width());
    EXPECT_TRUE(a->mask().contains(a->ImageRect().center()));
}

TEST_F(CheckControlLayoutTest, ALayoutCellSmallerThanTheTextSettlesToo)
{
    auto* grid = new QGridLayout(window.get());
    TIACheckControl* c = Item("A rather long caption of a power item");
    c->setMaximumWidth(60);
    grid->addWidget(c, 0, 0);
    grid->setColumnStretch(1, 1);
    window->show();
    WidgetTest::Flush();
    EXPECT_LE(PaintsWhileIdle(c, 400), 1);
    EXPECT_LE(c->width(), 60);
}

TEST_F(CheckControlLayoutTest, ChangesPaintOnceAndUnchangedValuesNotAtAll)
{
    auto* column = new QVBoxLayout(window.get());
    TIACheckControl* c = Item("Vypnut\xFD");
    column->addWidget(c);
    column->addStretch(1);
    window->show();
    WidgetTest::Flush();

    // Setting what is already there neither resizes nor repaints.
    EXPECT_EQ(WidgetTest::PaintsCausedBy(c, [&] {
                  c->SetChecked(false);
                  c->SetText("Vypnut\xFD");
                  c->SetCheckFieldColor2(c->CheckFieldColor2());
                  c->SetAutoSize(true);
                  c->setEnabled(true);
              }),
              0);
    // A real change paints, and then it is quiet again.
    const int paints = WidgetTest::PaintsCausedBy(c, [&] { c->SetChecked(true); });
    EXPECT_GE(paints, 1);
    EXPECT_LE(paints, 2);
    EXPECT_LE(PaintsWhileIdle(c, 200), 0);

    // A longer text asks the layout for more room, once.
    const QSize before = c->FullSize();
    const int grown = WidgetTest::PaintsCausedBy(c, [&] { c->SetText("Vypnut\xFD \x9A" "et\xF8" "e baterii"); });
    EXPECT_GT(c->FullSize().width(), before.width());
    EXPECT_GE(c->width(), c->FullSize().width());
    EXPECT_LE(grown, 3);
    EXPECT_LE(PaintsWhileIdle(c, 200), 0);
}

TEST_F(CheckControlLayoutTest, WithoutALayoutAutoSizeStillFitsTheText)
{
    TIACheckControl* c = Item("x");
    window->show();
    WidgetTest::Flush();
    EXPECT_EQ(c->size(), c->FullSize());
    c->SetText("a longer caption");
    EXPECT_EQ(c->size(), c->FullSize());
    // Resized from outside, it takes its own size back.
    c->resize(200, 40);
    WidgetTest::Flush();
    EXPECT_EQ(c->size(), c->FullSize());
    EXPECT_LE(PaintsWhileIdle(c, 200), 1);
}
