#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTreeView>
#include <QVBoxLayout>
#include <memory>
#include <string>

#include "app/list_cell_editor.h"
#include "app/list_view_binding.h"
#include "calls/list_view_model.h"
#include "tests/calls/test_list.h"
#include "tests/support/event_loop.h"
#include "tests/support/input_devices.h"

using CallsTest::TTestItem;
using CallsTest::TTestList;

namespace {

// An offscreen window with one report view bound to a test list, and a
// button to take the focus away.
struct ListView : ::testing::Test {
    std::unique_ptr<QWidget> window;
    QTreeView* view = nullptr;
    QPushButton* elsewhere = nullptr;
    TListViewBinding* binding = nullptr;
    std::unique_ptr<TTestList> list = std::make_unique<TTestList>(3);

    void SetUp() override
    {
        TestSupport::AppWithDevices();
        window = std::make_unique<QWidget>();
        auto* layout = new QVBoxLayout(window.get());
        view = new QTreeView(window.get());
        elsewhere = new QPushButton("x", window.get());
        layout->addWidget(view);
        layout->addWidget(elsewhere);
        binding = new TListViewBinding(view, {"Name", "Size", "State"});
        binding->bind(&list->getModel());
        window->resize(400, 220);
        window->show();
        window->activateWindow();
        QApplication::setActiveWindow(window.get());
        TestSupport::ProcessFor(10);
    }
    void TearDown() override
    {
        binding->bind(nullptr);
        window.reset();
        list.reset();
    }

    VListViewModel& model() { return list->getModel(); }
    QModelIndex cell(int row, int column) { return model().index(row, column); }
    void addRows(int count, int first = 1)
    {
        for (int i = 0; i < count; ++i)
            list->add(first + i, "row" + std::to_string(first + i));
        list->tick();
    }
    void click(const QModelIndex& index)
    {
        const QPoint p = view->visualRect(index).center();
        TestSupport::SendMouseEvent(view->viewport(), QEvent::MouseButtonPress, p, Qt::LeftButton, Qt::LeftButton);
        TestSupport::SendMouseEvent(view->viewport(), QEvent::MouseButtonRelease, p, Qt::LeftButton, Qt::NoButton);
    }
    void doubleClick(const QModelIndex& index)
    {
        const QPoint p = view->visualRect(index).center();
        click(index);
        TestSupport::SendMouseEvent(view->viewport(), QEvent::MouseButtonDblClick, p, Qt::LeftButton, Qt::LeftButton);
        TestSupport::SendMouseEvent(view->viewport(), QEvent::MouseButtonRelease, p, Qt::LeftButton, Qt::NoButton);
    }
    QComboBox* editor() { return binding->cellEditor()->openEditor(); }
    // Types into the open editor as the keyboard does.
    void type(const QString& text) { TestSupport::KeyClicks(editor(), text); }
    void key(int k) { TestSupport::KeyClick(editor(), k); }
    // Lets a closed editor go away.
    void settle() { TestSupport::ProcessFor(20); }
    std::string caption(int row) { return model().data(cell(row, 0)).toString().toStdString(); }
};

}  // namespace

TEST_F(ListView, TheViewIsAReportListSharingItsMarksWithTheList)
{
    EXPECT_EQ(view->model(), &model());
    EXPECT_EQ(list->getMarks(), view->selectionModel());
    EXPECT_EQ(view->editTriggers(), QAbstractItemView::DoubleClicked);
    EXPECT_EQ(view->selectionBehavior(), QAbstractItemView::SelectRows);
    EXPECT_EQ(view->selectionMode(), QAbstractItemView::SingleSelection);
    EXPECT_FALSE(view->rootIsDecorated());
    EXPECT_EQ(view->palette().color(QPalette::Inactive, QPalette::Highlight),
              view->palette().color(QPalette::Active, QPalette::Highlight));
    EXPECT_EQ(model().headerData(1, Qt::Horizontal).toString(), "Size");
    // Captions changed on the bound model (a translation) stay when unbound.
    model().setHeaderData(1, Qt::Horizontal, "Length");
    binding->bind(nullptr);
    EXPECT_NE(view->model(), &model());
    ASSERT_NE(view->model(), nullptr);
    EXPECT_EQ(view->model()->columnCount(), 3);
    EXPECT_EQ(view->model()->rowCount(), 0);
    EXPECT_EQ(view->model()->headerData(1, Qt::Horizontal).toString(), "Length");
    EXPECT_EQ(list->getMarks(), nullptr);
    binding->bind(&list->getModel());
    EXPECT_EQ(model().headerData(1, Qt::Horizontal).toString(), "Length");
    // A list that goes while bound leaves the captions behind.
    list.reset();
    EXPECT_EQ(view->model()->headerData(0, Qt::Horizontal).toString(), "Name");
    EXPECT_EQ(binding->boundModel(), nullptr);
    list = std::make_unique<TTestList>(3);
}

TEST_F(ListView, AnItemActivatedTwiceIsRedrawnOnce)
{
    addRows(3);
    int changes = 0;
    QObject::connect(&model(), &QAbstractItemModel::dataChanged, view, [&] { ++changes; });
    list->at(1)->caption = "changed";
    list->at(1)->activate();
    list->at(1)->activate();
    list->tick();
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(list->at(1)->refreshes, 2);
    EXPECT_EQ(caption(1), "changed");
}

TEST_F(ListView, TheMarkedRowsMarksGoToTheNextRowBelowOrAboveWhenItWasTheLast)
{
    addRows(4);
    click(cell(1, 1));
    ASSERT_EQ(view->currentIndex().row(), 1);
    list->at(1)->requestStop();
    list->tick();
    EXPECT_EQ(caption(view->currentIndex().row()), "row3");
    EXPECT_EQ(view->selectionModel()->selectedRows().size(), 1);
    EXPECT_TRUE(view->selectionModel()->isRowSelected(1, QModelIndex()));
    click(cell(2, 0));
    list->at(2)->requestStop();
    list->tick();
    EXPECT_EQ(caption(view->currentIndex().row()), "row3");
    EXPECT_TRUE(view->selectionModel()->isRowSelected(1, QModelIndex()));
}

TEST_F(ListView, ARowTakenOutWithTheMarksGetsThemBackAndIsScrolledIntoView)
{
    addRows(30);
    // The view followed the rows to the end.
    view->scrollToTop();
    settle();
    click(cell(0, 0));
    ASSERT_EQ(view->currentIndex().row(), 0);
    TTestItem* first = list->at(0);
    first->removeRow();
    view->scrollToBottom();
    settle();
    EXPECT_GT(view->verticalScrollBar()->value(), 0);
    list->tick();
    EXPECT_EQ(view->currentIndex().row(), 0);
    EXPECT_EQ(view->verticalScrollBar()->value(), 0);
}

TEST_F(ListView, NewRowsAreFollowedOnlyWhileTheLastRowIsInView)
{
    addRows(3);
    EXPECT_EQ(view->verticalScrollBar()->value(), 0);
    // Rows beyond the view: the view follows them to the end.
    for (int i = 4; i <= 40; ++i) {
        list->add(i, "row" + std::to_string(i));
        list->tick();
    }
    settle();
    EXPECT_GT(view->verticalScrollBar()->value(), 0);
    EXPECT_EQ(view->verticalScrollBar()->value(), view->verticalScrollBar()->maximum());
    // The user looks at the top: new rows no longer move the view.
    view->scrollToTop();
    settle();
    list->add(41, "row41");
    list->add(42, "row42");
    list->tick();
    settle();
    EXPECT_EQ(view->verticalScrollBar()->value(), 0);
}

TEST_F(ListView, OnlyADoubleClickOnAnEditableCellOpensTheEditor)
{
    addRows(2);
    list->editors = {{1, 1}};
    click(cell(0, 1));
    settle();
    EXPECT_EQ(editor(), nullptr);
    doubleClick(cell(0, 0));
    EXPECT_EQ(editor(), nullptr);
    doubleClick(cell(0, 2));
    EXPECT_EQ(editor(), nullptr);
    list->at(0)->subItems = {"12"};
    list->at(0)->activate();
    list->tick();
    doubleClick(cell(0, 1));
    ASSERT_NE(editor(), nullptr);
    EXPECT_TRUE(editor()->isEditable());
    EXPECT_EQ(editor()->currentText(), "12");
    EXPECT_EQ(editor()->count(), 0);
}

TEST_F(ListView, TypingCommitsEveryChangeAndEnterCloses)
{
    addRows(2);
    list->editors = {{0, 1}};
    doubleClick(cell(1, 0));
    ASSERT_NE(editor(), nullptr);
    editor()->lineEdit()->selectAll();
    type("ab");
    ASSERT_GE(list->at(1)->edits.size(), 2u);
    EXPECT_EQ(list->at(1)->edits.back(), std::make_pair(0, std::string("ab")));
    // The row follows the typing; the open editor is not rewritten.
    list->tick();
    EXPECT_EQ(caption(1), "ab");
    EXPECT_EQ(editor()->currentText(), "ab");
    type("c");
    key(Qt::Key_Return);
    settle();
    EXPECT_EQ(editor(), nullptr);
    list->tick();
    EXPECT_EQ(caption(1), "abc");
    EXPECT_EQ(list->at(0)->edits.size(), 0u);
}

TEST_F(ListView, EscapeRestoresTheOpeningTextAfterTypingChangedTheRow)
{
    addRows(1);
    list->editors = {{0, 1}};
    doubleClick(cell(0, 0));
    ASSERT_NE(editor(), nullptr);
    editor()->lineEdit()->selectAll();
    type("new");
    list->tick();
    EXPECT_EQ(caption(0), "new");
    key(Qt::Key_Escape);
    settle();
    EXPECT_EQ(editor(), nullptr);
    EXPECT_EQ(list->at(0)->edits.back(), std::make_pair(0, std::string("row1")));
    list->tick();
    EXPECT_EQ(caption(0), "row1");
}

TEST_F(ListView, LeavingTheEditorCommitsAndClosesIt)
{
    addRows(1);
    list->editors = {{0, 1}};
    doubleClick(cell(0, 0));
    ASSERT_NE(editor(), nullptr);
    editor()->setFocus();
    settle();
    editor()->setEditText("typed");
    elsewhere->setFocus();
    settle();
    EXPECT_EQ(editor(), nullptr);
    list->tick();
    EXPECT_EQ(caption(0), "typed");
}

TEST_F(ListView, AChoiceEditorOffersTheColumnsOptionsAndPicksTheCellsEntry)
{
    addRows(2);
    list->editors = {{2, 2}};
    list->options = {{2, "Alpha,beta,BETA,\"gamma delta\""}};
    struct Case {
        const char* cell;
        int entry;
    } cases[] = {{"BETA", 2}, {"Beta", 1}, {"gamma delta", 3}, {"other", -1}};
    for (const Case& c : cases) {
        list->at(0)->subItems = {"", c.cell};
        list->at(0)->activate();
        list->tick();
        doubleClick(cell(0, 2));
        ASSERT_NE(editor(), nullptr) << c.cell;
        EXPECT_EQ(editor()->count(), 4);
        EXPECT_EQ(editor()->itemText(3), "gamma delta");
        EXPECT_EQ(editor()->currentIndex(), c.entry) << c.cell;
        EXPECT_EQ(editor()->currentText(), c.cell);
        // Choosing an entry commits it.
        editor()->setCurrentIndex(0);
        EXPECT_EQ(list->at(0)->edits.back(), std::make_pair(2, std::string("Alpha")));
        key(Qt::Key_Escape);
        settle();
        EXPECT_EQ(list->at(0)->edits.back(), std::make_pair(2, std::string(c.cell)));
        ASSERT_EQ(editor(), nullptr);
    }
}

TEST_F(ListView, AnEditorWhoseRowGoesCommitsNothingToAnotherItem)
{
    addRows(3);
    list->editors = {{0, 1}};
    doubleClick(cell(1, 0));
    ASSERT_NE(editor(), nullptr);
    QPointer<QComboBox> open = editor();
    list->at(1)->requestStop();
    list->tick();
    settle();
    // The view closes the editor of a removed row; nothing reached the rows left.
    EXPECT_TRUE(open.isNull() || !open->isVisible());
    EXPECT_EQ(editor(), nullptr);
    EXPECT_TRUE(list->at(0)->edits.empty());
    EXPECT_TRUE(list->at(1)->edits.empty());
    EXPECT_EQ(list->rows(), "row1 row3");
}

TEST_F(ListView, AnEditFollowsItsRowWhenRowsAreInsertedAbove)
{
    addRows(2, 10);
    list->editors = {{0, 1}};
    doubleClick(cell(1, 0));
    ASSERT_NE(editor(), nullptr);
    TTestItem* edited = list->at(1);
    list->add(1, "first");
    list->tick();
    EXPECT_EQ(list->rows(), "first row10 row11");
    editor()->setEditText("renamed");
    key(Qt::Key_Return);
    EXPECT_EQ(edited->caption, "renamed");
    EXPECT_TRUE(list->at(1)->edits.empty());
    list->tick();
    EXPECT_EQ(list->rows(), "first row10 renamed");
}

TEST_F(ListView, RebindingCommitsAndClosesAnOpenEditorFirst)
{
    addRows(1);
    list->editors = {{0, 1}};
    doubleClick(cell(0, 0));
    ASSERT_NE(editor(), nullptr);
    editor()->setEditText("kept");
    const size_t edits = list->at(0)->edits.size();
    binding->bind(nullptr);
    settle();
    EXPECT_EQ(editor(), nullptr);
    EXPECT_EQ(list->at(0)->edits.size(), edits + 1);
    EXPECT_EQ(list->at(0)->edits.back(), std::make_pair(0, std::string("kept")));
}
