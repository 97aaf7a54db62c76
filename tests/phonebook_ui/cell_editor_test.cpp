#include <QPointer>
#include <QStandardItemModel>
#include <QToolButton>
#include <gtest/gtest.h>
#include <string>
#include <utility>
#include <vector>

#include "phonebook/ui/mf_edit.h"
#include "phonebook/ui/mf_num_edit.h"
#include "phonebook/ui/virtual_string_tree_ex.h"
#include "phonebook/ui/vst_editor.h"
#include "tests/phonebook_ui/pb_rig.h"

using namespace PhonebookUiTest;

namespace {

// An item model that records what is written into it.
class TRecordingModel : public QStandardItemModel {
public:
    using QStandardItemModel::QStandardItemModel;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override
    {
        writes.emplace_back(std::make_pair(index.row(), index.column()), value.toString());
        return QStandardItemModel::setData(index, value, role);
    }
    std::vector<std::pair<std::pair<int, int>, QString>> writes;
};

class CellEditor : public ::testing::Test {
protected:
    void SetUp() override
    {
        page = new QWidget(rig.Window.get());
        page->setGeometry(0, 0, 400, 250);
        textEditor = new TMFEdit(page);
        textEditor->setObjectName("MFEdit1");
        textEditor->SetAlignment(taCenter);
        textEditor->hide();
        numEditor = new TMFNumEdit(page);
        numEditor->setObjectName("MFNumEdit1");
        numEditor->SetMaxValue(1000);
        numEditor->SetPrecision(0);
        numEditor->SetTrackBarEnabled(false);
        numEditor->hide();

        model.setColumnCount(3);
        for (int row = 0; row < 4; ++row) {
            QList<QStandardItem*> items{new QStandardItem(QString::number(row + 1)),
                                        new QStandardItem(QStringLiteral("60%1").arg(row)),
                                        new QStandardItem(QStringLiteral("name %1").arg(row))};
            items[1]->setData(int(Qt::AlignRight | Qt::AlignVCenter), Qt::TextAlignmentRole);
            model.appendRow(items);
        }
        tree = new TVirtualStringTreeEx(page);
        tree->setGeometry(0, 0, 380, 200);
        tree->setModel(&model);
        tree->setSelectionMode(QAbstractItemView::ExtendedSelection);
        tree->setSelectionBehavior(QAbstractItemView::SelectRows);
        tree->setEditTriggers(QAbstractItemView::NoEditTriggers);
        editor = new TVSTEditor(tree);
        editor->SetEditor(textEditor);
        editor->SetNumEditor(numEditor);
        editor->Reporter = [this](const std::string& text) { reports.push_back(text); };
        editor->OnCreateEditor = [this](TVSTEditor* sender, const QModelIndex& index, TVSTEditorLinkPtr& link) {
            ++asked;
            if (index.column() == 0)
                sender->LinkNumEditor(link, offered > 0 ? offered : index.data().toDouble());
            else
                sender->LinkEditor(link, Platform::FromQString(index.data().toString()));
            link->SetModified(offered > 0);
        };
        tree->setItemDelegate(editor);
        rig.Show();
        model.writes.clear();
    }

    // Starts editing a cell as the tree does for its focused row.
    QWidget* Edit(int row, int column)
    {
        const QModelIndex index = model.index(row, column);
        tree->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        tree->edit(index);
        return QApplication::focusWidget();
    }
    bool Editing() const { return editor->Link() && !editor->Link()->Stopped(); }
    QString Cell(int row, int column) const { return model.index(row, column).data().toString(); }

    TWindowRig rig;
    QWidget* page = nullptr;
    TMFEdit* textEditor = nullptr;
    TMFNumEdit* numEditor = nullptr;
    TRecordingModel model;
    TVirtualStringTreeEx* tree = nullptr;
    TVSTEditor* editor = nullptr;
    std::vector<std::string> reports;
    int asked = 0;
    // A start value the owner offers in place of the cell's own (0: none).
    int offered = 0;
};

}  // namespace

TEST_F(CellEditor, TheControlIsLentIntoTheCellAndGivenBack)
{
    if (!TWindowRig::Focus(tree))
        GTEST_SKIP() << "the platform gives no keyboard focus";
    QWidget* focused = Edit(1, 1);
    ASSERT_EQ(focused, textEditor);
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(textEditor->parentWidget(), tree->viewport());
    EXPECT_TRUE(textEditor->isVisible());
    EXPECT_EQ(textEditor->text(), "601");
    const QRect cell = tree->visualRect(model.index(1, 1));
    EXPECT_EQ(textEditor->x(), cell.left() + 6);
    EXPECT_EQ(textEditor->geometry().right(), cell.right());
    EXPECT_EQ(editor->Link()->GetBounds(), textEditor->geometry());
    EXPECT_EQ(textEditor->Alignment(), taRightJustify);  // the column's alignment
    KeyClick(textEditor, Qt::Key_Escape);
    EXPECT_EQ(textEditor->parentWidget(), page);
    EXPECT_FALSE(textEditor->isVisible());
    EXPECT_EQ(editor->Link(), nullptr);

    Edit(1, 2);
    EXPECT_EQ(textEditor->Alignment(), taLeftJustify);
    KeyClick(textEditor, Qt::Key_Escape);
    EXPECT_TRUE(reports.empty());
}

TEST_F(CellEditor, EnterAndDownMoveOnUpMovesBackPastTheEndsNoRowIsCurrent)
{
    PBUI_REQUIRE_FOCUS(tree);
    ASSERT_EQ(Edit(1, 1), textEditor);
    TypeOver(textEditor, "777");
    KeyClick(textEditor, Qt::Key_Return);
    ASSERT_EQ(model.writes.size(), 1u);
    EXPECT_EQ(model.writes[0].first, std::make_pair(1, 1));
    EXPECT_EQ(model.writes[0].second, "777");
    EXPECT_EQ(Cell(1, 1), "777");
    EXPECT_FALSE(textEditor->isVisible());
    EXPECT_EQ(tree->currentIndex(), model.index(2, 1));
    EXPECT_TRUE(tree->selectionModel()->isRowSelected(2, {}));
    EXPECT_TRUE(tree->hasFocus());

    ASSERT_EQ(Edit(2, 2), textEditor);
    KeyClick(textEditor, Qt::Key_Down);
    EXPECT_EQ(tree->currentIndex(), model.index(3, 2));
    ASSERT_EQ(Edit(2, 2), textEditor);
    KeyClick(textEditor, Qt::Key_Up);
    EXPECT_EQ(tree->currentIndex(), model.index(1, 2));
    EXPECT_TRUE(model.writes.size() == 1u);  // nothing typed: nothing written

    // Enter on the last row: the edit ends and no row is current.
    ASSERT_EQ(Edit(3, 2), textEditor);
    TypeOver(textEditor, "last");
    KeyClick(textEditor, Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_FALSE(tree->currentIndex().isValid());
    EXPECT_EQ(Cell(3, 2), "last");
    EXPECT_FALSE(Editing());
    // Up on the first row likewise.
    ASSERT_EQ(Edit(0, 1), textEditor);
    KeyClick(textEditor, Qt::Key_Up);
    EXPECT_FALSE(tree->currentIndex().isValid());
    EXPECT_FALSE(textEditor->isVisible());
    EXPECT_EQ(textEditor->parentWidget(), page);
}

TEST_F(CellEditor, KeysWithAModifierStayInTheControl)
{
    PBUI_REQUIRE_FOCUS(tree);
    ASSERT_EQ(Edit(1, 2), textEditor);
    Type(textEditor, "x");
    KeyClick(textEditor, Qt::Key_Return, Qt::ShiftModifier);
    EXPECT_TRUE(Editing());
    KeyClick(textEditor, Qt::Key_Down, Qt::ControlModifier);
    EXPECT_TRUE(Editing());
    KeyClick(textEditor, Qt::Key_Up, Qt::AltModifier);
    EXPECT_TRUE(Editing());
    EXPECT_TRUE(textEditor->isVisible());
    EXPECT_TRUE(textEditor->hasFocus());
    EXPECT_EQ(tree->currentIndex(), model.index(1, 2));
    EXPECT_TRUE(model.writes.empty());
    // Esc keeps the cell, whatever was typed.
    KeyClick(textEditor, Qt::Key_Escape);
    EXPECT_FALSE(Editing());
    EXPECT_TRUE(model.writes.empty());
    EXPECT_EQ(Cell(1, 2), "name 1");
    EXPECT_EQ(tree->currentIndex(), model.index(1, 2));
}

TEST_F(CellEditor, LeavingWritesAChangedTextOnlyAndNeverAnUnchangedOne)
{
    PBUI_REQUIRE_FOCUS(tree);
    // A click on another row: the tree takes the focus, then the row.
    ASSERT_EQ(Edit(0, 2), textEditor);
    tree->setFocus(Qt::MouseFocusReason);
    const QPoint other = tree->visualRect(model.index(2, 2)).center();
    SendMouseEvent(tree->viewport(), QEvent::MouseButtonPress, other, Qt::LeftButton, Qt::LeftButton);
    SendMouseEvent(tree->viewport(), QEvent::MouseButtonRelease, other, Qt::LeftButton, Qt::NoButton);
    EXPECT_FALSE(Editing());
    EXPECT_TRUE(model.writes.empty());
    EXPECT_EQ(tree->currentIndex().row(), 2);

    ASSERT_EQ(Edit(0, 2), textEditor);
    TypeOver(textEditor, "changed");
    tree->setFocus(Qt::MouseFocusReason);
    SendMouseEvent(tree->viewport(), QEvent::MouseButtonPress, other, Qt::LeftButton, Qt::LeftButton);
    SendMouseEvent(tree->viewport(), QEvent::MouseButtonRelease, other, Qt::LeftButton, Qt::NoButton);
    ASSERT_EQ(model.writes.size(), 1u);
    EXPECT_EQ(model.writes[0].second, "changed");
    EXPECT_EQ(textEditor->parentWidget(), page);

    // The view moving its current cell itself commits the same way.
    ASSERT_EQ(Edit(1, 2), textEditor);
    TypeOver(textEditor, "moved");
    tree->setCurrentIndex(model.index(3, 2));
    ASSERT_EQ(model.writes.size(), 2u);
    EXPECT_EQ(model.writes[1].second, "moved");
    ASSERT_EQ(Edit(1, 2), textEditor);
    tree->setCurrentIndex(model.index(3, 2));
    EXPECT_EQ(model.writes.size(), 2u);

    // Focus leaving for another control.
    ASSERT_EQ(Edit(1, 1), textEditor);
    Type(textEditor, "9");
    ASSERT_TRUE(TWindowRig::Focus(rig.Other));
    EXPECT_FALSE(Editing());
    ASSERT_EQ(model.writes.size(), 3u);
    EXPECT_EQ(model.writes[2].second, "9");  // the start text was selected
    EXPECT_FALSE(textEditor->isVisible());
}

TEST_F(CellEditor, NumberEditorStepsWithUpDownAndWritesItsValueText)
{
    PBUI_REQUIRE_FOCUS(tree);
    ASSERT_EQ(Edit(1, 0), numEditor);
    EXPECT_EQ(numEditor->text(), "2");
    KeyClick(numEditor, Qt::Key_Up);
    KeyClick(numEditor, Qt::Key_Up);
    KeyClick(numEditor, Qt::Key_Down);
    EXPECT_EQ(numEditor->Value(), 3);
    EXPECT_TRUE(Editing());
    EXPECT_TRUE(numEditor->isVisible());
    EXPECT_EQ(tree->currentIndex(), model.index(1, 0));
    KeyClick(numEditor, Qt::Key_Return);
    ASSERT_EQ(model.writes.size(), 1u);
    EXPECT_EQ(model.writes[0].second, "3");
    EXPECT_EQ(tree->currentIndex(), model.index(2, 0));

    ASSERT_EQ(Edit(2, 0), numEditor);
    TypeOver(numEditor, "12.7");
    KeyClick(numEditor, Qt::Key_Return);
    ASSERT_EQ(model.writes.size(), 2u);
    EXPECT_EQ(model.writes[1].second, "13");

    ASSERT_EQ(Edit(2, 0), numEditor);
    TypeOver(numEditor, "2000");
    KeyClick(numEditor, Qt::Key_Escape);
    EXPECT_EQ(model.writes.size(), 2u);
    EXPECT_EQ(Cell(2, 0), "13");
}

TEST_F(CellEditor, TheNumberEditorsPopupKeepsTheEditOpen)
{
    numEditor->SetTrackBarEnabled(true);
    PBUI_REQUIRE_FOCUS(tree);
    ASSERT_EQ(Edit(1, 0), numEditor);
    QToolButton* button = numEditor->findChild<QToolButton*>("PopupButton");
    ASSERT_NE(button, nullptr);
    const QPoint mid = button->rect().center();
    SendMouseEvent(button, QEvent::MouseButtonPress, mid, Qt::LeftButton, Qt::LeftButton);
    ASSERT_TRUE(numEditor->DroppedDown());
    KeyClick(numEditor, Qt::Key_Return);  // busy: the key stays with the control
    EXPECT_TRUE(Editing());
    ASSERT_TRUE(TWindowRig::Focus(rig.Other));
    EXPECT_TRUE(Editing());
    SendMouseEvent(button, QEvent::MouseButtonRelease, mid, Qt::LeftButton, Qt::NoButton);
    EXPECT_FALSE(numEditor->DroppedDown());
    ASSERT_TRUE(TWindowRig::Focus(numEditor));
    ASSERT_TRUE(TWindowRig::Focus(rig.Other));
    EXPECT_FALSE(Editing());
}

TEST_F(CellEditor, AStoppedLinkNeverStartsAgain)
{
    const QModelIndex cell = model.index(0, 2);
    TVSTEditorLinkPtr link;
    editor->LinkEditor(link, "start");
    EXPECT_EQ(editor->Link(), link.get());
    EXPECT_EQ(textEditor->text(), "start");
    EXPECT_FALSE(link->Modified());  // the start text is no change
    ASSERT_TRUE(link->PrepareEdit(tree, cell));
    EXPECT_EQ(link->Row(), 0);
    EXPECT_EQ(link->Column(), 2);
    EXPECT_EQ(link->Kind(), etEditor);
    EXPECT_EQ(textEditor->parentWidget(), tree->viewport());
    EXPECT_FALSE(textEditor->isVisible());
    link->SetBounds(QRect(10, 20, 100, 18));
    EXPECT_EQ(link->GetBounds(), QRect(16, 20, 94, 18));
    EXPECT_TRUE(link->BeginEdit());
    EXPECT_TRUE(textEditor->isVisible());
    textEditor->setText("typed");
    EXPECT_TRUE(link->Modified());
    EXPECT_TRUE(link->EndEdit());
    EXPECT_FALSE(link->Modified());
    ASSERT_EQ(model.writes.size(), 1u);
    EXPECT_EQ(model.writes[0].second, "typed");
    EXPECT_FALSE(link->EndEdit());
    EXPECT_FALSE(link->CancelEdit());
    EXPECT_FALSE(link->PrepareEdit(tree, cell));
    EXPECT_FALSE(link->BeginEdit());
    EXPECT_EQ(model.writes.size(), 1u);
    link.reset();
    EXPECT_EQ(editor->Link(), nullptr);
    EXPECT_EQ(textEditor->parentWidget(), page);

    // Cancelled links stop as well.
    editor->LinkEditor(link, "again");
    ASSERT_TRUE(link->PrepareEdit(tree, cell));
    EXPECT_TRUE(link->CancelEdit());
    EXPECT_FALSE(link->BeginEdit());
    EXPECT_FALSE(link->PrepareEdit(tree, cell));
    link.reset();

    // A kind without a control, or a control not assigned, edits nothing.
    for (TVSTEditorType kind : {etCurrencyEditor, etComboEditor, etNone, etFontEditor}) {
        auto other = std::make_shared<TVSTEditorLink>(editor, kind);
        editor->SetLink(nullptr);
        EXPECT_FALSE(other->PrepareEdit(tree, cell)) << int(kind);
    }
    EXPECT_TRUE(reports.empty() || reports.back().find("must not be nil") != std::string::npos);
}

TEST_F(CellEditor, MisuseOfSetLinkIsReportedAndChangesNothing)
{
    editor->SetLink(nullptr);
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0], "TVSTEditor: Failure in SetLink (must not be nil)!");
    TVSTEditorLinkPtr link;
    editor->LinkEditor(link, "a");
    auto stranger = std::make_shared<TVSTEditorLink>(nullptr, etEditor);
    editor->SetLink(stranger.get());
    ASSERT_EQ(reports.size(), 2u);
    EXPECT_EQ(reports[1], "TVSTEditor: Failure in SetLink (must be nil)!");
    EXPECT_EQ(editor->Link(), link.get());
    link.reset();
    EXPECT_EQ(editor->Link(), nullptr);
    EXPECT_EQ(reports.size(), 2u);
}

TEST_F(CellEditor, AnOwnerThatGivesNoLinkMeansNoEdit)
{
    editor->OnCreateEditor = [this](TVSTEditor*, const QModelIndex&, TVSTEditorLinkPtr&) { ++asked; };
    PBUI_REQUIRE_FOCUS(tree);
    EXPECT_EQ(Edit(1, 1), tree);
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(textEditor->parentWidget(), page);
    EXPECT_TRUE(tree->hasFocus());
    EXPECT_FALSE(textEditor->isVisible());
}

TEST_F(CellEditor, KeepingTheControlsEventsLeavesEnterToTheControl)
{
    editor->SetOptions(TVSTEditorOptions{true});
    PBUI_REQUIRE_FOCUS(tree);
    ASSERT_EQ(Edit(1, 2), textEditor);
    Type(textEditor, "z");
    KeyClick(textEditor, Qt::Key_Return);
    EXPECT_TRUE(Editing());
    EXPECT_FALSE(editor->Link()->Modified());
    ASSERT_TRUE(TWindowRig::Focus(rig.Other));
    EXPECT_FALSE(Editing());
    EXPECT_TRUE(model.writes.empty());
}

TEST_F(CellEditor, ControlsOutliveTheTreeAndTheEditor)
{
    PBUI_REQUIRE_FOCUS(tree);
    ASSERT_EQ(Edit(1, 1), textEditor);
    QPointer<TMFEdit> guard = textEditor;
    delete tree;  // the editor component goes with it
    ASSERT_FALSE(guard.isNull());
    EXPECT_EQ(textEditor->parentWidget(), page);
    EXPECT_FALSE(textEditor->isVisible());
    EXPECT_TRUE(model.writes.empty());
}

TEST_F(CellEditor, EnterMovesTheSelectionWithTheFocusAndAnOfferedValueIsTaken)
{
    PBUI_REQUIRE_FOCUS(tree);
    ASSERT_EQ(Edit(1, 2), textEditor);
    tree->selectionModel()->select(model.index(3, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
    TypeOver(textEditor, "x");
    KeyClick(textEditor, Qt::Key_Return);
    const QModelIndexList rows = tree->selectionModel()->selectedRows();
    ASSERT_EQ(rows.size(), 1) << "the row left and the others are no longer selected";
    EXPECT_EQ(rows[0].row(), 2);
    KeyClick(tree, Qt::Key_Up);
    EXPECT_EQ(tree->selectionModel()->selectedRows().size(), 1);

    // An offered start value is an edit of its own: Enter alone writes it.
    offered = 42;
    ASSERT_EQ(Edit(0, 0), numEditor);
    EXPECT_EQ(numEditor->Value(), 42);
    KeyClick(numEditor, Qt::Key_Return);
    ASSERT_EQ(model.writes.size(), 2u);
    EXPECT_EQ(model.writes[1].first, std::make_pair(0, 0));
    EXPECT_EQ(model.writes[1].second, "42");
    // Esc still writes nothing.
    ASSERT_EQ(Edit(2, 0), numEditor);
    KeyClick(numEditor, Qt::Key_Escape);
    EXPECT_EQ(model.writes.size(), 2u);
}

TEST_F(CellEditor, TheOwnerEndsAnOpenEditWritingItBack)
{
    EXPECT_FALSE(editor->EndEditing()) << "none open";
    PBUI_REQUIRE_FOCUS(tree);
    ASSERT_EQ(Edit(1, 2), textEditor);
    TypeOver(textEditor, "kept");
    EXPECT_TRUE(editor->EndEditing());
    EXPECT_FALSE(Editing());
    EXPECT_FALSE(textEditor->isVisible());
    ASSERT_EQ(model.writes.size(), 1u);
    EXPECT_EQ(model.writes[0].second, "kept");
    EXPECT_EQ(tree->currentIndex(), model.index(1, 2)) << "the focus stays where it was";
    EXPECT_FALSE(editor->EndEditing());
    // Unchanged: nothing written.
    ASSERT_EQ(Edit(2, 2), textEditor);
    EXPECT_TRUE(editor->EndEditing());
    EXPECT_EQ(model.writes.size(), 1u);
}

TEST_F(CellEditor, TheNumberEditorTakesTheRowsHeightAndGetsItsOwnBack)
{
    PBUI_REQUIRE_FOCUS(tree);
    const int own = numEditor->minimumHeight();
    const QRect cell = tree->visualRect(model.index(1, 0));
    ASSERT_LT(cell.height(), own) << "a row lower than the editor";
    ASSERT_EQ(Edit(1, 0), numEditor);
    EXPECT_EQ(numEditor->geometry(), cell.adjusted(6, 0, 0, 0));
    // The gauge gives way; the step buttons fit the height there is.
    QWidget* gauge = numEditor->findChild<QWidget*>("Gauge");
    ASSERT_NE(gauge, nullptr);
    EXPECT_FALSE(gauge->isVisible());
    for (const char* name : {"UpButton", "DownButton"}) {
        QWidget* button = numEditor->findChild<QWidget*>(name);
        ASSERT_NE(button, nullptr) << name;
        const QRect inEdit(button->mapTo(numEditor, QPoint(0, 0)), button->size());
        EXPECT_TRUE(numEditor->rect().contains(inEdit)) << name;
        EXPECT_GT(button->height(), 0) << name;
    }
    KeyClick(numEditor, Qt::Key_Escape);
    EXPECT_EQ(numEditor->minimumHeight(), own);
    EXPECT_GE(numEditor->height(), own);
    // Shown at its own height again, the gauge is back.
    numEditor->show();
    QCoreApplication::processEvents();
    EXPECT_TRUE(gauge->isVisible());
    numEditor->hide();
}

// The control stands 6 pixels into the cell: the cell's own text is not
// drawn while it edits, so the old text never shows beside the new.
TEST_F(CellEditor, TheOldTextNeverShowsBesideTheControl)
{
    if (!TWindowRig::Focus(tree))
        GTEST_SKIP() << "the platform gives no keyboard focus";
    const QRect cell = tree->visualRect(model.index(1, 2));
    // The strip left of where the control stands: all one colour?
    auto stripIsPlain = [&] {
        const QImage image = tree->viewport()->grab().toImage();
        const QColor first = image.pixelColor(cell.left() + 1, cell.top() + 2);
        for (int y = cell.top() + 2; y < cell.bottom() - 1; ++y)
            for (int x = cell.left() + 1; x < cell.left() + 6; ++x)
                if (image.pixelColor(x, y) != first)
                    return false;
        return true;
    };
    tree->selectionModel()->setCurrentIndex(model.index(1, 2),
                                            QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    EXPECT_FALSE(stripIsPlain()) << "the cell's text begins there";
    ASSERT_EQ(Edit(1, 2), textEditor);
    EXPECT_EQ(textEditor->x(), cell.left() + 6);
    EXPECT_TRUE(stripIsPlain());
    // Other cells keep their texts.
    EXPECT_EQ(Cell(1, 2), "name 1");
    KeyClick(textEditor, Qt::Key_Escape);
    EXPECT_FALSE(stripIsPlain());
}
