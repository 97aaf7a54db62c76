// The phonebook tree's item model over a real model, checked by Qt's own
// model tester: rows follow the model's notices one by one, so the
// selection and the current row stay on their entries; a new shown
// memory, a cleared or a vanished model resets it.
#include <QAbstractItemModelTester>
#include <QCoreApplication>
#include <QItemSelectionModel>
#include <QSignalSpy>
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "phonebook/phonebook.h"
#include "phonebook/phonebook_item_model.h"
#include "platform/codepage.h"

namespace {

QCoreApplication& App()
{
    static int argc = 1;
    static char name[] = "phonebook_item_model";
    static char* argv[] = {name, nullptr};
    if (!QCoreApplication::instance())
        new QCoreApplication(argc, argv);
    return *QCoreApplication::instance();
}

struct PhonebookItemModel : ::testing::Test {
    void SetUp() override
    {
        App();
        model = std::make_unique<VTixPhoneBook>();
        model->setDeviceStorage("SM");
        model->setIndexRange(1, 250, 20, 18);
        for (int index : {1, 5, 9}) {
            VTixPhoneBookRecord* r = model->recordAt(index);
            r->setDeviceNumber("60" + std::to_string(index));
            r->setDeviceText("N\xE1zev " + std::to_string(index));
        }
        model->rangeRead(1, 250);
        model->setWriteLimits(1, 250, 20, 18);
        model->setEditorAttached(true);
        model->setDisplayedStorage("SM");
        items.setPhonebook(model.get());
    }
    QString Cell(int row, int column) const { return items.index(row, column).data().toString(); }

    std::unique_ptr<VTixPhoneBook> model;
    VTixPhoneBookItemModel items;
    QAbstractItemModelTester tester{&items, QAbstractItemModelTester::FailureReportingMode::Fatal};
};

}  // namespace

TEST_F(PhonebookItemModel, CellsColumnsAndFlags)
{
    ASSERT_EQ(items.rowCount(), 4);
    EXPECT_EQ(items.columnCount(), 3);
    EXPECT_EQ(Cell(1, 0), "5");
    EXPECT_EQ(Cell(1, 1), "605");
    EXPECT_EQ(Cell(1, 2), QString::fromUtf8("Název 5")) << "code-page text shown as Unicode";
    EXPECT_EQ(Cell(3, 0), "");
    EXPECT_EQ(items.index(0, 0).data(Qt::TextAlignmentRole).toInt(), int(Qt::AlignHCenter | Qt::AlignVCenter));
    EXPECT_EQ(items.index(0, 1).data(Qt::TextAlignmentRole).toInt(), int(Qt::AlignRight | Qt::AlignVCenter));
    EXPECT_EQ(items.index(0, 2).data(Qt::TextAlignmentRole).toInt(), int(Qt::AlignLeft | Qt::AlignVCenter));
    EXPECT_EQ(items.index(3, 0).data(VTixPhoneBookItemModel::StateImageRole).toInt(),
              VTixPhoneBook::imageNewEntry);
    EXPECT_EQ(items.index(0, 0).data(VTixPhoneBookItemModel::StateImageRole).toInt(), -1);
    EXPECT_EQ(items.index(3, 1).data(Qt::ToolTipRole).toString(),
              QString::fromUtf8("Vyplňte položky pro přidání nového záznamu"));
    EXPECT_FALSE(items.index(0, 1).data(Qt::ToolTipRole).isValid());
    EXPECT_TRUE(items.flags(items.index(0, 2)) & Qt::ItemIsEditable);
    model->setEditorAttached(false);
    EXPECT_FALSE(items.flags(items.index(0, 2)) & Qt::ItemIsEditable);

    EXPECT_EQ(items.headerData(1, Qt::Horizontal).toString(), QString::fromUtf8("Tel. číslo"));
    QSignalSpy headers(&items, &QAbstractItemModel::headerDataChanged);
    EXPECT_TRUE(items.setHeaderData(1, Qt::Horizontal, QStringLiteral("Phone number")));
    EXPECT_EQ(items.headerData(1, Qt::Horizontal).toString(), "Phone number");
    EXPECT_EQ(headers.count(), 1);
    EXPECT_FALSE(items.setHeaderData(3, Qt::Horizontal, QStringLiteral("x")));
    EXPECT_FALSE(items.headerData(0, Qt::Vertical).isValid());
}

TEST_F(PhonebookItemModel, NewTextsGoToTheModelAndChangedRowsAreSignalled)
{
    QSignalSpy changed(&items, &QAbstractItemModel::dataChanged);
    QSignalSpy taken(&items, &VTixPhoneBookItemModel::newTextTaken);
    EXPECT_TRUE(items.setData(items.index(1, 2), QString::fromUtf8("Jiří")));
    EXPECT_EQ(model->recordOfRow(1)->getEditedText(), "Ji\xF8\xED");
    ASSERT_GE(changed.count(), 1);
    EXPECT_EQ(changed.last().at(0).toModelIndex().row(), 1);
    EXPECT_EQ(changed.last().at(1).toModelIndex().column(), 2);
    ASSERT_EQ(taken.count(), 1);
    EXPECT_EQ(taken.first().at(0).toInt(), 1);
    EXPECT_FALSE(items.setData(items.index(1, 2), "x", Qt::DisplayRole));
    EXPECT_FALSE(items.setData(QModelIndex(), "x"));
    // A move inserts the target row where it sorts.
    EXPECT_TRUE(items.setData(items.index(1, 0), "7"));
    EXPECT_EQ(items.rowCount(), 5);
    EXPECT_EQ(Cell(2, 0), "7");
    EXPECT_EQ(Cell(2, 2), QString::fromUtf8("Jiří"));
}

TEST_F(PhonebookItemModel, SelectionAndCurrentRowStayOnTheirEntries)
{
    QItemSelectionModel selection(&items);
    selection.setCurrentIndex(items.index(1, 0), QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    selection.select(items.index(2, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
    QSignalSpy resets(&items, &QAbstractItemModel::modelReset);

    // Entries read in above and between, and one removed below.
    model->recordAt(2)->setDeviceText("Dva");
    model->recordAt(7)->setDeviceText("Sedm");
    model->getDisplayedStorage()->removeRecord(model->getDisplayedStorage()->findRecord(9, false));
    EXPECT_EQ(resets.count(), 0);
    ASSERT_EQ(items.rowCount(), 5);
    EXPECT_EQ(Cell(selection.currentIndex().row(), 0), "5");
    const QModelIndexList rows = selection.selectedRows();
    ASSERT_EQ(rows.size(), 1) << "the removed row left the selection";
    EXPECT_EQ(Cell(rows[0].row(), 0), "5");

    // Notices of another memory change nothing here.
    model->setDeviceStorage("ME");
    model->recordAt(1)->setDeviceText("Jinde");
    EXPECT_EQ(items.rowCount(), 5);
    EXPECT_EQ(resets.count(), 0);

    // Another shown memory, and a cleared model, reset the rows.
    model->setDisplayedStorage("ME");
    EXPECT_EQ(resets.count(), 1);
    EXPECT_EQ(items.rowCount(), 1);
    EXPECT_FALSE(selection.currentIndex().isValid());
    model->clear();
    EXPECT_EQ(items.rowCount(), 0);
    EXPECT_GE(resets.count(), 2);
}

TEST_F(PhonebookItemModel, AModelThatGoesOrIsReplacedLeavesNoRows)
{
    QSignalSpy resets(&items, &QAbstractItemModel::modelReset);
    auto other = std::make_unique<VTixPhoneBook>();
    other->storageByName("ME");
    other->setDisplayedStorage("ME");
    items.setPhonebook(other.get());
    EXPECT_EQ(model->getObserver(), nullptr) << "the old model let go";
    EXPECT_EQ(other->getObserver(), &items);
    EXPECT_EQ(items.rowCount(), 0);
    other->getDisplayedStorage()->getRecord(4);
    EXPECT_EQ(items.rowCount(), 1);
    other.reset();
    EXPECT_EQ(items.phonebook(), nullptr);
    EXPECT_EQ(items.rowCount(), 0);
    EXPECT_FALSE(items.index(0, 0).isValid());
    EXPECT_FALSE(items.setData(items.index(0, 0), "1"));
    EXPECT_GE(resets.count(), 2);
    // An item model that goes first leaves the model without a view.
    {
        VTixPhoneBookItemModel shortLived;
        shortLived.setPhonebook(model.get());
        EXPECT_EQ(model->getObserver(), &shortLived);
    }
    EXPECT_EQ(model->getObserver(), nullptr);
}
