#include <gtest/gtest.h>

#include <QAbstractItemModelTester>
#include <QItemSelectionModel>
#include <memory>
#include <string>
#include <vector>

#include "calls/list_view_model.h"
#include "tests/calls/test_list.h"

using CallsTest::TTestItem;
using CallsTest::TTestList;

namespace {

// What the model told its views, one text per signal.
struct TModelLog {
    std::vector<std::string> events;
    // The connections end with the log.
    QObject context;
    explicit TModelLog(VListViewModel& m)
    {
        QObject::connect(&m, &QAbstractItemModel::rowsInserted, &context, [this](const QModelIndex&, int a, int b) {
            events.push_back("insert " + std::to_string(a) + "-" + std::to_string(b));
        });
        QObject::connect(&m, &QAbstractItemModel::rowsRemoved, &context, [this](const QModelIndex&, int a, int b) {
            events.push_back("remove " + std::to_string(a) + "-" + std::to_string(b));
        });
        QObject::connect(&m, &QAbstractItemModel::dataChanged, &context, [this](const QModelIndex& a, const QModelIndex& b) {
            events.push_back("change " + std::to_string(a.row()) + ":" + std::to_string(a.column()) + "-" +
                             std::to_string(b.row()) + ":" + std::to_string(b.column()));
        });
        QObject::connect(&m, &VListViewModel::rowInserted, &context, [this](int row, bool marked) {
            events.push_back("shown " + std::to_string(row) + (marked ? " marked" : ""));
        });
    }
    std::string take()
    {
        std::string all;
        for (const std::string& e : events)
            all += (all.empty() ? "" : ", ") + e;
        events.clear();
        return all;
    }
};

struct Rows : ::testing::Test {
    TTestList list;
    TModelLog log{list.getModel()};
    QItemSelectionModel marks{&list.getModel()};

    void SetUp() override { list.bindListView(&marks); }
    int current() const { return marks.currentIndex().row(); }
    std::vector<int> selected() const
    {
        std::vector<int> rows;
        for (const QModelIndex& i : marks.selectedRows())
            rows.push_back(i.row());
        return rows;
    }
    void mark(int row)
    {
        marks.setCurrentIndex(list.getModel().index(row, 0),
                              QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    }
};

}  // namespace

TEST_F(Rows, ItemsKeepNumberOrderAndArrivalOrderForEqualNumbers)
{
    EXPECT_EQ(list.getMaxId(), -1);
    EXPECT_EQ(list.getMaxId(), -1);
    TTestItem* five = list.add(5, "five");
    TTestItem* firstThree = list.add(3, "three-a");
    TTestItem* secondThree = list.add(3, "three-b");
    TTestItem* zero = list.add(-4, "zero");  // a negative number becomes 0
    EXPECT_EQ(zero->getNumber(), 0);
    ASSERT_EQ(list.getCount(), 4);
    EXPECT_EQ(list.getItem(0), zero);
    EXPECT_EQ(list.getItem(1), firstThree);
    EXPECT_EQ(list.getItem(2), secondThree);
    EXPECT_EQ(list.getItem(3), five);
    EXPECT_EQ(list.getItem(4), nullptr);
    EXPECT_EQ(list.getItem(-1), nullptr);
    EXPECT_EQ(list.getMaxId(), 5);
    EXPECT_EQ(list.addItem(nullptr), nullptr);
    EXPECT_EQ(five->getOwner(), &list);
    // Neighbours are told: the first 3 went before 5, the second 3 between
    // the first 3 and 5, the 0 before the first 3.
    EXPECT_EQ(firstThree->added, 2);
    EXPECT_EQ(five->added, 2);
    EXPECT_EQ(secondThree->added, 0);
    EXPECT_EQ(list.findByNumberText("3"), firstThree);
    EXPECT_EQ(list.findByNumberText("4"), nullptr);
    EXPECT_EQ(list.findByNumberText(""), nullptr);
    // Nothing reaches the view before the pass.
    EXPECT_EQ(list.getModel().rowCount(), 0);
    list.tick();
    EXPECT_EQ(list.rows(), "zero three-a three-b five");
    EXPECT_EQ(log.take(), "insert 0-0, shown 0, insert 1-1, shown 1, insert 2-2, shown 2, insert 3-3, shown 3");
}

TEST_F(Rows, TheHighestNumberIsWorkedOutAgainAfterARemoval)
{
    list.add(1, "a");
    list.add(7, "b");
    list.tick();
    list.at(1)->requestStop();
    list.tick();
    EXPECT_EQ(list.getMaxId(), 1);
    list.add(9, "c");
    list.add(2, "d");
    EXPECT_EQ(list.getMaxId(), 9);
}

TEST_F(Rows, APassWritesOnlyMarkedRowsAndAnIdleTickDoesNothing)
{
    TTestItem* a = list.add(1, "a");
    TTestItem* b = list.add(2, "b");
    list.tick();
    log.take();
    EXPECT_EQ(a->refreshes, 1);
    // An item marked twice before the pass is written once, as one change
    // over its whole row.
    b->subItems = {"x", "y"};
    b->activate();
    b->activate();
    list.tick();
    EXPECT_EQ(log.take(), "change 1:0-1:2");
    EXPECT_EQ(a->refreshes, 1);
    EXPECT_EQ(b->refreshes, 2);
    EXPECT_EQ(list.getModel().data(list.getModel().index(1, 2)).toString(), "y");
    // Idle: no pass, no signal.
    EXPECT_EQ(list.getState(), VStatedObject::stNotStarted);
    list.tick();
    list.tick();
    EXPECT_EQ(log.take(), "");
    EXPECT_EQ(b->refreshes, 2);
    // The list wakes once per burst.
    const int woken = list.activations;
    a->activate();
    b->activate();
    EXPECT_EQ(list.activations, woken + 1);
}

TEST_F(Rows, BetweenPassesTheModelShowsTheRowsAsLastWritten)
{
    TTestItem* a = list.add(1, "old");
    list.tick();
    a->caption = "new";
    a->activate();
    EXPECT_EQ(list.rows(), "old");
    list.tick();
    EXPECT_EQ(list.rows(), "new");
}

TEST_F(Rows, ANewRowGoesAfterTheNearestEarlierItemWithARow)
{
    list.add(1, "a");
    TTestItem* hidden = list.add(2, "hidden");
    hidden->hidden = true;
    list.add(4, "d");
    list.tick();
    EXPECT_EQ(list.rows(), "a d");
    EXPECT_FALSE(hidden->hasRow());
    // Up to date without a row: marking it again wakes the list.
    EXPECT_EQ(hidden->getState(), VStatedObject::stNotStarted);
    log.take();
    list.add(3, "c");
    list.tick();
    EXPECT_EQ(list.rows(), "a c d");
    EXPECT_EQ(log.take(), "insert 1-1, shown 1");
    hidden->hidden = false;
    hidden->activate();
    list.tick();
    EXPECT_EQ(list.rows(), "a hidden c d");
    EXPECT_EQ(list.getItemOwner(1), hidden);
    EXPECT_EQ(list.getItemOwner(4), nullptr);
    EXPECT_EQ(hidden->inserted, 1);
}

TEST_F(Rows, AStoppedItemLosesItsRowAndIsFreed)
{
    list.add(1, "a");
    TTestItem* b = list.add(2, "b");
    TTestItem* c = list.add(3, "c");
    list.tick();
    log.take();
    // An idle item asked to stop wakes its list.
    EXPECT_FALSE(b->requestStop());
    EXPECT_EQ(list.getState(), VStatedObject::stActive);
    b->activate();  // a stopping item stays stopping
    EXPECT_EQ(b->getState(), VStatedObject::stStopping);
    list.tick();
    EXPECT_EQ(log.take(), "remove 1-1");
    EXPECT_EQ(list.rows(), "a c");
    ASSERT_EQ(list.getCount(), 2);
    EXPECT_EQ(c->removed, 1);
    EXPECT_EQ(list.at(0)->removed, 1);
    c->requestStop();
    list.tick();
    EXPECT_EQ(list.rows(), "a");
}

TEST_F(Rows, RemovingTheMarkedRowMarksTheNextBelowElseTheOneAbove)
{
    for (int i = 1; i <= 4; ++i)
        list.add(i, std::string(1, char('a' + i - 1)));
    list.tick();
    mark(1);
    list.at(1)->requestStop();
    list.tick();
    // Qt alone would mark the row above; the row that followed has the marks.
    EXPECT_EQ(list.rows(), "a c d");
    EXPECT_EQ(current(), 1);
    EXPECT_EQ(selected(), std::vector<int>{1});
    EXPECT_EQ(list.getItemOwner(current())->getNumber(), 3);
    // The last row: the one above.
    mark(2);
    list.at(2)->requestStop();
    list.tick();
    EXPECT_EQ(list.rows(), "a c");
    EXPECT_EQ(current(), 1);
    EXPECT_EQ(selected(), std::vector<int>{1});
    // A row merely selected counts as marked too.
    marks.clearCurrentIndex();
    marks.select(list.getModel().index(0, 0), QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    list.at(0)->requestStop();
    list.tick();
    EXPECT_EQ(list.rows(), "c");
    EXPECT_EQ(current(), 0);
    // An unmarked row leaves the marks where they are.
    list.add(9, "z");
    list.tick();
    list.at(1)->requestStop();
    list.tick();
    EXPECT_EQ(current(), 0);
}

TEST_F(Rows, AnItemWhoseMarkedRowWasTakenOutGetsTheMarksBackOnItsNewRow)
{
    list.add(1, "a");
    TTestItem* b = list.add(2, "b");
    list.add(3, "c");
    list.tick();
    mark(1);
    log.take();
    b->removeRow();
    EXPECT_FALSE(b->hasRow());
    EXPECT_EQ(b->deleted, 1);
    EXPECT_EQ(list.rows(), "a c");
    marks.clearCurrentIndex();
    marks.clearSelection();
    // An unmarked row is written meanwhile; the marks wait for b.
    list.at(0)->activate();
    list.tick();
    EXPECT_EQ(log.take(), "remove 1-1, change 0:0-0:2, insert 1-1, shown 1 marked");
    EXPECT_EQ(list.rows(), "a b c");
    EXPECT_EQ(current(), 1);
    EXPECT_EQ(selected(), std::vector<int>{1});
    // The memory is used once: a later unmarked removal leaves the marks.
    mark(0);
    b->removeRow();
    list.tick();
    EXPECT_EQ(log.take(), "remove 1-1, insert 1-1, shown 1");
    EXPECT_EQ(current(), 0);
}

TEST_F(Rows, RebindingTakesTheRowsAwayAndTheNextPassBringsThemBack)
{
    list.add(1, "a");
    list.add(2, "b");
    list.tick();
    mark(1);
    log.take();
    QItemSelectionModel other(&list.getModel());
    list.bindListView(&other);
    EXPECT_EQ(list.getModel().rowCount(), 0);
    EXPECT_EQ(log.take(), "remove 1-1, remove 0-0");
    EXPECT_EQ(list.getMarks(), &other);
    list.tick();
    EXPECT_EQ(list.rows(), "a b");
    EXPECT_EQ(other.currentIndex().row(), 1);
    // Unbound: rows still follow their items; there are no marks to move.
    list.bindListView(nullptr);
    EXPECT_EQ(list.getMarks(), nullptr);
    list.tick();
    EXPECT_EQ(list.rows(), "a b");
    list.at(1)->requestStop();
    list.tick();
    EXPECT_EQ(list.rows(), "a");
    // Marks of another model are never touched.
    TTestList stranger;
    QItemSelectionModel foreign(&stranger.getModel());
    list.bindListView(&foreign);
    list.add(5, "e");
    list.tick();
    EXPECT_FALSE(foreign.currentIndex().isValid());
}

TEST_F(Rows, AHeldItemLeavesTheViewButLivesUntilReleased)
{
    list.add(1, "a");
    TTestItem* held = list.add(2, "held");
    list.tick();
    held->hold();
    held->hold();
    EXPECT_FALSE(list.requestStop());
    list.tick();
    EXPECT_EQ(list.getModel().rowCount(), 0);
    ASSERT_EQ(list.getCount(), 1);
    EXPECT_EQ(list.getItem(0), held);
    EXPECT_EQ(held->caption, "held");  // alive
    EXPECT_FALSE(list.requestStop());
    held->release();
    list.tick();
    EXPECT_EQ(list.getCount(), 1);
    held->release();
    held->release();  // one too many does nothing
    EXPECT_EQ(held->holdCount(), 0);
    list.tick();
    EXPECT_EQ(list.getCount(), 0);
    EXPECT_TRUE(list.requestStop());
    EXPECT_EQ(list.getState(), VStatedObject::stFinished);
}

TEST_F(Rows, ARowReleasedAfterItsRemovalWakesTheList)
{
    TTestItem* held = list.add(1, "held");
    list.tick();
    held->hold();
    held->requestStop();
    list.tick();
    EXPECT_EQ(list.getState(), VStatedObject::stNotStarted);
    held->release();
    EXPECT_EQ(list.getState(), VStatedObject::stActive);
    list.tick();
    EXPECT_EQ(list.getCount(), 0);
}

TEST_F(Rows, TheModelAnswersEditorsChoicesImagesAndCaptions)
{
    TTestItem* a = list.add(1, "a");
    a->setImage(4);
    list.editors = {{0, 1}, {2, 2}};
    list.options = {{2, "one,Two,\"three four\""}};
    list.tick();
    VListViewModel& m = list.getModel();
    EXPECT_EQ(m.columnCount(), 3);
    EXPECT_EQ(m.data(m.index(0, 0), VListViewModel::ImageRole).toInt(), 4);
    EXPECT_FALSE(m.data(m.index(0, 1), VListViewModel::ImageRole).isValid());
    EXPECT_TRUE(m.flags(m.index(0, 0)) & Qt::ItemIsEditable);
    EXPECT_FALSE(m.flags(m.index(0, 1)) & Qt::ItemIsEditable);
    EXPECT_EQ(m.data(m.index(0, 2), VListViewModel::EditKindRole).toInt(), 2);
    EXPECT_EQ(m.data(m.index(0, 2), VListViewModel::OptionsRole).toStringList(),
              QStringList({"one", "Two", "three four"}));
    EXPECT_EQ(m.data(m.index(0, 1), Qt::DisplayRole).toString(), "");
    EXPECT_FALSE(m.data(m.index(1, 0)).isValid());
    // An edit reaches the item; the row follows at the pass.
    EXPECT_TRUE(m.setData(m.index(0, 0), QString::fromUtf8("\xC5\xA1" "ek")));  // "šek"
    EXPECT_EQ(a->caption, "\x9A" "ek");
    EXPECT_FALSE(m.setData(m.index(0, 1), "no"));
    EXPECT_FALSE(m.setData(m.index(0, 0), "no", Qt::DisplayRole));
    ASSERT_EQ(a->edits.size(), 1u);
    list.tick();
    EXPECT_EQ(m.data(m.index(0, 0)).toString(), QString::fromUtf8("\xC5\xA1" "ek"));
    // Captions are kept by the model for its views.
    EXPECT_TRUE(m.setHeaderData(1, Qt::Horizontal, "Length"));
    EXPECT_EQ(m.headerData(1, Qt::Horizontal).toString(), "Length");
    EXPECT_EQ(m.headerData(0, Qt::Horizontal).toString(), "");
    EXPECT_FALSE(m.setHeaderData(3, Qt::Horizontal, "x"));
    EXPECT_FALSE(m.setHeaderData(0, Qt::Vertical, "x"));
    EXPECT_FALSE(m.headerData(0, Qt::Vertical).isValid());
}

TEST(RowsLifetime, DestroyingTheListRemovesItsRowsAndFreesHeldItems)
{
    auto list = std::make_unique<TTestList>();
    list->add(1, "a");
    list->add(2, "b")->hold();
    list->tick();
    int removed = -1;
    QObject::connect(&list->getModel(), &QAbstractItemModel::rowsRemoved,
                     [&](const QModelIndex&, int first, int last) { removed = last - first + 1; });
    list.reset();
    EXPECT_EQ(removed, 2);
}

TEST(RowsLifetime, AnItemDestroyedOnItsOwnTakesItsRowAndTheMarksMemoryWithIt)
{
    TTestList list;
    QItemSelectionModel marks(&list.getModel());
    list.bindListView(&marks);
    list.add(1, "a");
    list.tick();
    marks.setCurrentIndex(list.getModel().index(0, 0), QItemSelectionModel::ClearAndSelect);
    TTestItem* a = list.at(0);
    a->removeRow();  // remembered as the one to mark
    list.tick();
    EXPECT_EQ(list.getModel().rowCount(), 1);
    EXPECT_EQ(marks.currentIndex().row(), 0);
}
