#include <QApplication>
#include <QClipboard>
#include <QSlider>
#include <QToolButton>
#include <gtest/gtest.h>
#include <vector>

#include "phonebook/ui/mf_num_edit.h"
#include "phonebook/ui/mf_num_edit_popup.h"
#include "tests/phonebook_ui/pb_rig.h"

using namespace PhonebookUiTest;

namespace {

class NumEdit : public ::testing::Test {
protected:
    void SetUp() override
    {
        edit = new TMFNumEdit(rig.Window.get());
        edit->setObjectName("MFNumEdit1");
        edit->move(10, 10);
        edit->Events.OnChange = [this](QObject*) { ++changes; };
        edit->Events.OnKeyDown = [this](QObject*, int& key, Qt::KeyboardModifiers) { keysSeen.push_back(key); };
        rig.Show();
    }
    // The phonebook page's position editor.
    void AsPositionEditor()
    {
        edit->SetMaxValue(1000);
        edit->SetPrecision(0);
        edit->SetIncrement(1);
        edit->SetTrackBarEnabled(false);
    }
    QToolButton* Button(const char* name) { return edit->findChild<QToolButton*>(name); }

    TDecimalSeparatorScope separator{"."};
    TWindowRig rig;
    TMFNumEdit* edit = nullptr;
    int changes = 0;
    std::vector<int> keysSeen;
};

}  // namespace

TEST_F(NumEdit, Defaults)
{
    EXPECT_EQ(edit->MinValue(), 0);
    EXPECT_EQ(edit->MaxValue(), 100);
    EXPECT_EQ(edit->Increment(), 1);
    EXPECT_EQ(edit->Precision(), 2);
    EXPECT_EQ(edit->ValueUnit(), "");
    EXPECT_TRUE(edit->EditorEnabled());
    EXPECT_TRUE(edit->TrackBarEnabled());
    EXPECT_EQ(edit->TrackBarOrientation(), trHorizontal);
    EXPECT_EQ(edit->TrackBarWidth(), 125);
    EXPECT_EQ(edit->GaugeHeight(), 3);
    EXPECT_FALSE(edit->DroppedDown());
    EXPECT_EQ(edit->text(), "0.00");
    EXPECT_EQ(edit->width(), 101);
    EXPECT_EQ(edit->EditStyle(), esCtl3D);
}

TEST_F(NumEdit, PositionEditorReadsWhatWasTyped)
{
    AsPositionEditor();
    PBUI_REQUIRE_FOCUS(edit);
    edit->SetValue(5);
    TypeOver(edit, "12.7");
    EXPECT_EQ(edit->text(), "12.7");
    EXPECT_EQ(edit->GetText(), "13");
    EXPECT_DOUBLE_EQ(edit->Value(), 12.7);

    edit->SetValue(5);
    TypeOver(edit, "2000");
    EXPECT_EQ(edit->Value(), 5);  // outside the limits: the stored value comes back
    EXPECT_EQ(edit->text(), "5");
    TypeOver(edit, "abc");
    EXPECT_EQ(edit->text(), "abc");
    EXPECT_EQ(edit->GetText(), "5");
    EXPECT_EQ(edit->text(), "5");
}

TEST_F(NumEdit, CommaAndFullStopBothReadAsTheSeparator)
{
    PBUI_REQUIRE_FOCUS(edit);
    for (const char* sep : {".", ","}) {
        TDecimalSeparatorScope scope(sep);
        for (const char* typed : {"1,5", "1.5"}) {
            TypeOver(edit, typed);
            EXPECT_DOUBLE_EQ(edit->Value(), 1.5) << "separator " << sep << ", typed " << typed;
        }
        edit->SetValue(2.25);
        EXPECT_EQ(edit->text().toStdString(), std::string("2") + sep + "25");
        TypeOver(edit, ",5");
        EXPECT_DOUBLE_EQ(edit->Value(), 0.5);
        TypeOver(edit, "7.");
        EXPECT_DOUBLE_EQ(edit->Value(), 7);
        TypeOver(edit, "-");
        EXPECT_DOUBLE_EQ(edit->Value(), 0);  // a lone minus reads as 0
    }
}

TEST_F(NumEdit, UpStopsAtTheMaximumAndKeysNeverReachOnKeyDown)
{
    edit->SetMaxValue(1000);
    PBUI_REQUIRE_FOCUS(edit);
    edit->SetValue(999.5);
    KeyClick(edit, Qt::Key_Up);
    EXPECT_EQ(edit->Value(), 1000);
    EXPECT_EQ(edit->text(), "1000.00");
    KeyClick(edit, Qt::Key_Up);
    EXPECT_EQ(edit->Value(), 1000);
    KeyClick(edit, Qt::Key_Down);
    EXPECT_EQ(edit->Value(), 999);
    edit->SetValue(0.5);
    KeyClick(edit, Qt::Key_Down);
    EXPECT_EQ(edit->Value(), 0);
    KeyClick(edit, Qt::Key_Down);
    EXPECT_EQ(edit->Value(), 0);
    EXPECT_TRUE(keysSeen.empty());
    KeyClick(edit, Qt::Key_Home);
    ASSERT_EQ(keysSeen.size(), 1u);
    EXPECT_EQ(keysSeen[0], Qt::Key_Home);

    edit->SetWrap(true);
    edit->SetValue(1000);
    KeyClick(edit, Qt::Key_Up);
    EXPECT_EQ(edit->Value(), 0);
    KeyClick(edit, Qt::Key_Down);
    EXPECT_EQ(edit->Value(), 1000);
}

TEST_F(NumEdit, EqualLimitsStepFreely)
{
    edit->SetMaxValue(0);  // 0..0: no limit
    edit->SetIncrement(2.5);
    edit->SetValue(5000);
    EXPECT_EQ(edit->Value(), 5000);
    edit->SetValue(5);
    Button("UpButton")->click();
    EXPECT_EQ(edit->Value(), 7.5);
    edit->UpDownClick(btPrev);
    edit->UpDownClick(btPrev);
    EXPECT_EQ(edit->Value(), 2.5);
    edit->UpDownClick(btPrev);
    edit->UpDownClick(btPrev);
    EXPECT_EQ(edit->Value(), -2.5);
    edit->SetMinValue(7);
    edit->SetMaxValue(7);
    edit->SetValue(100);
    edit->UpDownClick(btNext);
    EXPECT_EQ(edit->Value(), 102.5);
}

TEST_F(NumEdit, StepButtonsAreRealButtons)
{
    edit->SetValue(10);
    for (const char* name : {"UpButton", "DownButton", "UpButton"}) {
        QToolButton* b = Button(name);
        ASSERT_NE(b, nullptr) << name;
        const QPoint mid = b->rect().center();
        SendMouseEvent(b, QEvent::MouseButtonPress, mid, Qt::LeftButton, Qt::LeftButton);
        SendMouseEvent(b, QEvent::MouseButtonRelease, mid, Qt::LeftButton, Qt::NoButton);
    }
    EXPECT_EQ(edit->Value(), 11);
    edit->setEnabled(false);
    EXPECT_FALSE(Button("UpButton")->isEnabled());
    EXPECT_FALSE(Button("PopupButton")->isEnabled());
}

TEST_F(NumEdit, UnitIsWrittenAfterABlankAndKeptWhileTyping)
{
    edit->SetPrecision(0);
    edit->SetValueUnit("mA");
    EXPECT_EQ(edit->text(), "0 mA");
    edit->setText("15 mA");
    EXPECT_EQ(edit->Value(), 15);
    EXPECT_EQ(edit->RawValueStr("15 mA"), "15");
    EXPECT_EQ(edit->RawValueStr("7 V"), "7");  // no unit: the part before the first blank
    EXPECT_EQ(edit->RawValueStr("mA"), "mA");
    EXPECT_EQ(edit->RawValueStr(" 5"), " 5");
    PBUI_REQUIRE_FOCUS(edit);
    TypeOver(edit, "4");
    EXPECT_EQ(edit->text(), "4 mA");
    EXPECT_EQ(edit->cursorPosition(), 1);
    Type(edit, "2");
    EXPECT_EQ(edit->text(), "42 mA");
    EXPECT_EQ(edit->Value(), 42);
}

TEST_F(NumEdit, GeneralPrecisionAndLimits)
{
    edit->SetPrecision(-1);
    edit->SetValue(3.14159);
    EXPECT_EQ(edit->text(), "3.142");
    EXPECT_DOUBLE_EQ(edit->Value(), 3.142);  // what the text shows
    edit->SetPrecision(9);
    EXPECT_EQ(edit->Precision(), 6);
    edit->SetPrecision(-5);
    EXPECT_EQ(edit->Precision(), -1);
    EXPECT_EQ(edit->CheckValue(-1), 0);
    EXPECT_EQ(edit->CheckValue(101), 100);
    EXPECT_EQ(edit->CheckValue(50), 50);
    edit->SetPrecision(2);
    edit->SetNumberFormat(nfNumber);
    edit->SetMaxValue(1e7);
    edit->SetValue(1234567.5);
    EXPECT_EQ(edit->text(), "1,234,567.50");
}

TEST_F(NumEdit, OnChangeOnlyWhenTheValueChanged)
{
    edit->SetValue(5);
    changes = 0;
    edit->SetValue(5);
    EXPECT_EQ(changes, 0);
    edit->SetValue(6);
    EXPECT_EQ(changes, 1);
    edit->SetValue(250);  // limited to 100, still a change
    EXPECT_EQ(changes, 2);
    EXPECT_EQ(edit->Value(), 100);
}

TEST_F(NumEdit, BadTextIsRewrittenWithTheCaretOneLeft)
{
    edit->SetValue(42);
    edit->setText("4x2y");
    edit->setCursorPosition(3);
    EXPECT_EQ(edit->GetValue(), 42);
    EXPECT_EQ(edit->text(), "42.00");
    EXPECT_EQ(edit->cursorPosition(), 2);
    edit->setText("zz");
    edit->setCursorPosition(0);
    edit->GetValue();
    EXPECT_EQ(edit->cursorPosition(), 0);
    // Empty while not leaving: 0, and the text stays empty.
    edit->SetMinValue(10);
    edit->clear();
    EXPECT_EQ(edit->GetValue(), 0);
    EXPECT_EQ(edit->text(), "");
}

TEST_F(NumEdit, LeavingAnEmptyEditGivesTheLimitedZero)
{
    edit->SetMinValue(10);
    edit->SetMaxValue(20);
    PBUI_REQUIRE_FOCUS(edit);
    TypeOver(edit, "");
    EXPECT_EQ(edit->text(), "");
    ASSERT_TRUE(TWindowRig::Focus(rig.Other));
    EXPECT_EQ(edit->text(), "10.00");
    EXPECT_EQ(edit->Value(), 10);
}

TEST_F(NumEdit, PasteAndCutRefusedWhenTheEditorIsDisabled)
{
    PBUI_REQUIRE_FOCUS(edit);
    QApplication::clipboard()->setText("77");
    edit->SetValue(12);
    edit->SetEditorEnabled(false);
    edit->selectAll();
    KeyClick(edit, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(edit->text(), "12.00");
    KeyClick(edit, Qt::Key_X, Qt::ControlModifier);
    EXPECT_EQ(edit->text(), "12.00");
    edit->SetEditorEnabled(true);
    edit->selectAll();
    KeyClick(edit, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(edit->text(), "77");
    edit->setReadOnly(true);
    EXPECT_EQ(edit->Value(), 77);
}

TEST_F(NumEdit, NeverLowerThanItsMinimumHeight)
{
    const int own = edit->fontMetrics().height();
    const int system = QFontMetrics(QApplication::font()).height();
    EXPECT_EQ(edit->MinHeight(), own + std::min(own, system) / 4 + 4 + 2 + 3 + 1);
    edit->resize(101, 5);
    EXPECT_EQ(edit->height(), edit->MinHeight());
    edit->SetGaugeHeight(10);
    EXPECT_EQ(edit->height(), edit->MinHeight());
    EXPECT_EQ(edit->MinHeight(), own + std::min(own, system) / 4 + 4 + 2 + 10 + 1);
    // The gauge takes the bottom, 4 pixels narrower than the edit.
    QWidget* gauge = edit->findChild<QWidget*>("Gauge");
    ASSERT_NE(gauge, nullptr);
    EXPECT_EQ(gauge->geometry(), QRect(2, edit->height() - 12, edit->width() - 4, 12));
}

TEST_F(NumEdit, PopupTrackBarFollowsTheMouseWhileTheButtonIsHeld)
{
    edit->SetMinValue(100);
    edit->SetMaxValue(300);
    edit->SetPrecision(0);
    edit->SetValue(150);
    EXPECT_EQ(edit->TrackBarPosition(150), 250);
    EXPECT_EQ(edit->TrackBarPosition(50), 0);
    EXPECT_EQ(edit->TrackBarPosition(900), 1000);
    QToolButton* button = Button("PopupButton");
    ASSERT_NE(button, nullptr);
    ASSERT_TRUE(button->isVisible());
    const QPoint mid = button->rect().center();
    SendMouseEvent(button, QEvent::MouseButtonPress, mid, Qt::LeftButton, Qt::LeftButton);
    ASSERT_TRUE(edit->DroppedDown());
    TMFNumEditPopupForm* popup = edit->PopupForm();
    ASSERT_NE(popup, nullptr);
    EXPECT_EQ(popup->TrackBar()->value(), 250);
    EXPECT_EQ(popup->size(), QSize(125, 35));
    // The mouse moves over the far right end of the bar.
    QSlider* bar = popup->TrackBar();
    const QPoint farRight = bar->mapToGlobal(QPoint(bar->width() + 20, bar->height() / 2));
    SendMouseEvent(button, QEvent::MouseMove, button->mapFromGlobal(farRight), Qt::NoButton, Qt::LeftButton);
    EXPECT_EQ(bar->value(), 1000);
    EXPECT_EQ(edit->Value(), 300);
    const QPoint farLeft = bar->mapToGlobal(QPoint(-20, bar->height() / 2));
    SendMouseEvent(button, QEvent::MouseMove, button->mapFromGlobal(farLeft), Qt::NoButton, Qt::LeftButton);
    EXPECT_EQ(edit->Value(), 100);
    SendMouseEvent(button, QEvent::MouseButtonRelease, mid, Qt::LeftButton, Qt::NoButton);
    EXPECT_FALSE(edit->DroppedDown());

    // Equal or reversed limits: a range of 100 from the minimum.
    edit->SetMaxValue(100);
    EXPECT_EQ(edit->TrackBarPosition(130), 300);
    edit->SetTrackBarEnabled(false);
    EXPECT_FALSE(button->isVisible());
}

TEST_F(NumEdit, GaugeShowsTheValueAndTakesClicks)
{
    edit->resize(200, edit->height());
    edit->SetGaugeBeginColor(clRed);
    edit->SetGaugeEndColor(clRed);
    edit->SetValue(50);
    QWidget* gauge = edit->findChild<QWidget*>("Gauge");
    ASSERT_NE(gauge, nullptr);
    const int w = gauge->width();
    const int y = gauge->height() / 2;
    QImage img = Grab(gauge);
    EXPECT_EQ(Pixel(img, w / 4, y), clRed);
    EXPECT_NE(Pixel(img, w * 3 / 4, y), clRed);
    // Equal gauge limits follow MinValue..MaxValue; others stand alone.
    edit->SetGaugeMinValue(0);
    edit->SetGaugeMaxValue(200);
    img = Grab(gauge);
    EXPECT_EQ(Pixel(img, w / 8, y), clRed);
    EXPECT_NE(Pixel(img, w * 3 / 8, y), clRed);
    edit->SetGaugeMaxValue(0);
    SendMouseEvent(gauge, QEvent::MouseButtonPress, QPoint(w * 3 / 4, y), Qt::LeftButton, Qt::LeftButton);
    EXPECT_NEAR(edit->Value(), 75, 1);
    edit->SetIncrementGauge(true);
    edit->SetIncrement(10);
    SendMouseEvent(gauge, QEvent::MouseMove, QPoint(w / 3, y), Qt::NoButton, Qt::LeftButton);
    EXPECT_EQ(edit->Value(), 30);
    edit->SetGaugeAroundCenter(true);
    img = Grab(gauge);
    EXPECT_EQ(Pixel(img, w * 2 / 5, y), clRed);   // from the value up to the middle
    EXPECT_NE(Pixel(img, w / 5, y), clRed);
    EXPECT_NE(Pixel(img, w * 3 / 4, y), clRed);
}
