#include <QKeyEvent>
#include <QLineEdit>
#include <QStandardItemModel>
#include <QToolButton>
#include <gtest/gtest.h>

#include "foundation/tixutils_datetime.h"
#include "phonebook/ui/mf_button_edit.h"
#include "phonebook/ui/mf_combo_edit.h"
#include "phonebook/ui/mf_date_time_edit.h"
#include "phonebook/ui/virtual_string_tree_ex.h"
#include "phonebook/ui/vst_editor.h"
#include "tests/phonebook_ui/pb_rig.h"

using namespace PhonebookUiTest;

namespace {

// The button, combo and date-time edits as cell editors of one column each.
class Twins : public ::testing::Test {
protected:
    void SetUp() override
    {
        buttonEdit = new TMFButtonEdit(rig.Window.get());
        combo = new TMFComboEdit(rig.Window.get());
        combo->addItems({"SM", "FD", "ME"});
        dateEdit = new TMFDateTimeEdit(rig.Window.get());
        for (QWidget* w : {static_cast<QWidget*>(buttonEdit), static_cast<QWidget*>(combo),
                           static_cast<QWidget*>(dateEdit)})
            w->hide();
        model.setColumnCount(3);
        for (int row = 0; row < 2; ++row)
            model.appendRow({new QStandardItem("b"), new QStandardItem("FD"), new QStandardItem("d")});
        tree = new TVirtualStringTreeEx(rig.Window.get());
        tree->setGeometry(0, 0, 390, 150);
        tree->setColumnWidth(2, 200);
        tree->setModel(&model);
        tree->setEditTriggers(QAbstractItemView::NoEditTriggers);
        editor = new TVSTEditor(tree);
        editor->SetButtonEditor(buttonEdit);
        editor->SetComboEditor(combo);
        editor->SetDateTimeEditor(dateEdit);
        editor->OnCreateEditor = [](TVSTEditor* sender, const QModelIndex& index, TVSTEditorLinkPtr& link) {
            if (index.column() == 0)
                sender->LinkButtonEditor(link, Platform::FromQString(index.data().toString()));
            else if (index.column() == 1)
                sender->LinkComboEditor(link, Platform::FromQString(index.data().toString()));
            else
                sender->LinkDateTimeEditor(link, 45000, 0.75);  // 15 March 2023, 18:00
        };
        tree->setItemDelegate(editor);
        rig.Show();
    }
    QWidget* Edit(int row, int column)
    {
        const QModelIndex index = model.index(row, column);
        tree->setCurrentIndex(index);
        tree->edit(index);
        return QApplication::focusWidget();
    }
    bool Editing() const { return editor->Link() && !editor->Link()->Stopped(); }

    TWindowRig rig;
    TMFButtonEdit* buttonEdit = nullptr;
    TMFComboEdit* combo = nullptr;
    TMFDateTimeEdit* dateEdit = nullptr;
    QStandardItemModel model;
    TVirtualStringTreeEx* tree = nullptr;
    TVSTEditor* editor = nullptr;
};

}  // namespace

TEST_F(Twins, FiveSlotsOneControlEach)
{
    EXPECT_EQ(editor->ControlOf(etButtonEditor), buttonEdit);
    EXPECT_EQ(editor->ControlOf(etComboEditor), combo);
    EXPECT_EQ(editor->ControlOf(etDateTimeEditor), dateEdit);
    EXPECT_EQ(editor->ControlOf(etEditor), nullptr);
    EXPECT_EQ(editor->ControlOf(etNumEditor), nullptr);
    EXPECT_EQ(editor->ControlOf(etColorEditor), nullptr);
    EXPECT_EQ(editor->ButtonEditor(), buttonEdit);
    EXPECT_EQ(editor->ComboEditor(), combo);
    EXPECT_EQ(editor->DateTimeEditor(), dateEdit);
}

TEST_F(Twins, ComboLinksByStyle)
{
    TVSTEditorLinkPtr link;
    combo->SetStyle(csDropDownList);
    editor->LinkComboEditor(link, "ME");
    EXPECT_EQ(combo->ItemIndex(), 2);
    editor->LinkComboEditor(link, "XX");
    EXPECT_EQ(combo->ItemIndex(), -1);
    combo->SetStyle(csDropDown);
    editor->LinkComboEditor(link, "free text");
    EXPECT_EQ(combo->Text(), "free text");
    link.reset();
}

TEST_F(Twins, ComboCellWritesItsTextAndItsListKeepsTheEditOpen)
{
    PBUI_REQUIRE_FOCUS(tree);
    ASSERT_EQ(Edit(0, 1), combo);
    EXPECT_EQ(combo->Text(), "FD");
    combo->showPopup();
    ASSERT_TRUE(combo->DroppedDown());
    ASSERT_TRUE(TWindowRig::Focus(rig.Other));
    EXPECT_TRUE(Editing());
    combo->hidePopup();
    ASSERT_TRUE(TWindowRig::Focus(combo));
    TypeOver(combo, "SM");
    KeyClick(combo, Qt::Key_Return);
    EXPECT_FALSE(Editing());
    EXPECT_EQ(model.index(0, 1).data().toString(), "SM");
    EXPECT_EQ(tree->currentIndex(), model.index(1, 1));
}

TEST_F(Twins, DateTimeCellWritesTheShortDateOrTheTime)
{
    PBUI_REQUIRE_FOCUS(tree);
    ASSERT_EQ(Edit(0, 2), dateEdit);
    EXPECT_EQ(dateEdit->Date(), 45000);
    EXPECT_NEAR(dateEdit->Time(), 0.75, 1e-9);
    dateEdit->SetDate(45001);
    KeyClick(dateEdit, Qt::Key_Return);
    EXPECT_EQ(model.index(0, 2).data().toString(), Platform::ToQString(Tixutils::DateToStr(45001)));

    dateEdit->SetKind(dtkTime);
    ASSERT_EQ(Edit(1, 2), dateEdit);
    dateEdit->SetTime(0.5);
    KeyClick(dateEdit, Qt::Key_Down);
    EXPECT_EQ(model.index(1, 2).data().toString(), Platform::ToQString(Tixutils::TimeToStrEx(0.5, 0, false)));
}

TEST_F(Twins, DateTimeEditConsumesEnterAndKeepsItsColours)
{
    dateEdit->show();
    dateEdit->SetFocusedColor(clAqua);
    PBUI_REQUIRE_FOCUS(dateEdit);
    EXPECT_EQ(dateEdit->Color(), clAqua);
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"));
    enter.ignore();
    QCoreApplication::sendEvent(dateEdit, &enter);
    EXPECT_TRUE(enter.isAccepted());
    ASSERT_TRUE(TWindowRig::Focus(rig.Other));
    EXPECT_EQ(dateEdit->Color(), clWindow);
}

TEST_F(Twins, ButtonClickKeepsTheEditOpen)
{
    PBUI_REQUIRE_FOCUS(tree);
    ASSERT_EQ(Edit(0, 0), buttonEdit);
    bool clicking = false;
    buttonEdit->OnButtonClick = [&](QObject*) {
        clicking = buttonEdit->ButtonClicking();
        TWindowRig::Focus(rig.Other);  // a dialog of the button would take the focus
    };
    buttonEdit->Button()->click();
    EXPECT_TRUE(clicking);
    EXPECT_FALSE(buttonEdit->ButtonClicking());
    EXPECT_TRUE(Editing());
    ASSERT_TRUE(TWindowRig::Focus(buttonEdit));
    Type(buttonEdit, "z");
    KeyClick(buttonEdit, Qt::Key_Escape);
    EXPECT_FALSE(Editing());
    EXPECT_EQ(model.index(0, 0).data().toString(), "b");
    // The text stops short of the button.
    EXPECT_GE(buttonEdit->textMargins().right(), buttonEdit->Button()->width());
    buttonEdit->SetGlyphStyle(gsDropDown);
    EXPECT_EQ(buttonEdit->Button()->arrowType(), Qt::DownArrow);
    buttonEdit->SetGlyphStyle(gsFile);
    EXPECT_FALSE(buttonEdit->Button()->icon().isNull());
    buttonEdit->SetGlyphStyle(gsDefault);
    EXPECT_TRUE(buttonEdit->Button()->icon().isNull());
}

TEST_F(Twins, ComboRules)
{
    combo->show();
    combo->SetRequired(true);
    combo->setEditText("");
    EXPECT_EQ(combo->Color(), clYellow);
    combo->SetFirstCharUpperCase(true);
    PBUI_REQUIRE_FOCUS(combo);
    Type(combo, "xy");
    EXPECT_EQ(combo->Text(), "Xy");
    EXPECT_EQ(combo->Color(), clWindow);
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"));
    enter.ignore();
    QCoreApplication::sendEvent(combo, &enter);
    EXPECT_TRUE(enter.isAccepted());
    combo->SetKeys({ksReturn});
    KeyClick(combo, Qt::Key_Return);
    EXPECT_FALSE(combo->hasFocus());
}
