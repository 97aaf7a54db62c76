#include <QScrollBar>
#include <QStandardItemModel>
#include <gtest/gtest.h>

#include "phonebook/ui/virtual_string_tree_ex.h"
#include "tests/phonebook_ui/pb_rig.h"

using namespace PhonebookUiTest;

namespace {

class BufferedTree : public ::testing::Test {
protected:
    void SetUp() override
    {
        Fill(model, 5);
        Fill(plainModel, 5);
        tree = new TVirtualStringTreeEx(rig.Window.get());
        tree->setGeometry(0, 0, 200, 140);
        tree->setModel(&model);
        plain = new QTreeView(rig.Window.get());
        plain->setGeometry(200, 0, 200, 140);
        plain->setModel(&plainModel);
        rig.Show();
    }
    static void Fill(QStandardItemModel& m, int rows)
    {
        m.setColumnCount(2);
        for (int r = m.rowCount(); r < rows; ++r)
            m.appendRow({new QStandardItem(QStringLiteral("row %1").arg(r)), new QStandardItem(QStringLiteral("#"))});
    }
    static double MeanLuminance(const QImage& img)
    {
        double sum = 0;
        for (int y = 0; y < img.height(); ++y)
            for (int x = 0; x < img.width(); ++x)
                sum += qGray(img.pixel(x, y));
        return sum / (img.width() * img.height());
    }
    QImage Picture() { return Grab(tree->viewport()); }

    TWindowRig rig;
    QStandardItemModel model, plainModel;
    TVirtualStringTreeEx* tree = nullptr;
    QTreeView* plain = nullptr;
};

}  // namespace

TEST_F(BufferedTree, OptionsDefaultToShadeBufferAndCopyWhole)
{
    EXPECT_EQ(tree->TreeOptions().ExtendedOptions(), TVTExtendedOptions{toShadeBuffer});
    TVirtualStringTreeEx other;
    other.TreeOptions().SetExtendedOptions({toBufferUpdates});
    tree->SetTreeOptions(other.TreeOptions());
    EXPECT_EQ(tree->TreeOptions().ExtendedOptions(), TVTExtendedOptions{toBufferUpdates});
    TVirtualTreeExOptions copy;
    copy.Assign(tree->TreeOptions());
    EXPECT_TRUE(copy.ExtendedOptions().Contains(toBufferUpdates));
    EXPECT_FALSE(copy.ExtendedOptions().Contains(toShadeBuffer));
}

TEST_F(BufferedTree, ShadeBufferAlonePaintsAsAPlainTree)
{
    ASSERT_EQ(Picture(), Grab(plain->viewport()));
    tree->beginUpdate();
    EXPECT_EQ(tree->UpdateBuffer(), nullptr);
    EXPECT_FALSE(tree->updatesEnabled());  // the redraw switch is off meanwhile
    Fill(model, 8);
    Fill(plainModel, 8);
    tree->endUpdate();
    EXPECT_TRUE(tree->updatesEnabled());
    EXPECT_EQ(Picture(), Grab(plain->viewport()));
}

TEST_F(BufferedTree, BufferedUpdatesShowOnlyAfterTheEnd)
{
    tree->TreeOptions().SetExtendedOptions({toBufferUpdates});
    const QImage before = Picture();
    tree->beginUpdate();
    tree->beginUpdate();  // nested
    ASSERT_NE(tree->UpdateBuffer(), nullptr);
    EXPECT_EQ(tree->UpdateBuffer()->size(), tree->viewport()->size());
    EXPECT_TRUE(tree->updatesEnabled());
    tree->SetRedraw(false);  // swallowed while the snapshot stands in
    EXPECT_TRUE(tree->updatesEnabled());
    Fill(model, 8);
    Fill(plainModel, 8);
    EXPECT_EQ(Picture(), before);
    tree->endUpdate();
    EXPECT_EQ(Picture(), before);
    EXPECT_EQ(tree->UpdateCount(), 1);
    tree->endUpdate();
    EXPECT_EQ(tree->UpdateBuffer(), nullptr);
    EXPECT_NE(Picture(), before);
    EXPECT_EQ(Picture(), Grab(plain->viewport()));
    tree->endUpdate();  // one too many changes nothing
    EXPECT_EQ(tree->UpdateCount(), 0);
    tree->SetRedraw(false);
    EXPECT_FALSE(tree->updatesEnabled());
    tree->SetRedraw(true);
}

TEST_F(BufferedTree, TheSnapshotIsTakenWithTheScrollOffsets)
{
    tree->TreeOptions().SetExtendedOptions({toBufferUpdates});
    Fill(model, 60);
    tree->setColumnWidth(0, 400);
    tree->scrollToBottom();
    tree->horizontalScrollBar()->setValue(tree->horizontalScrollBar()->maximum());
    ASSERT_GT(tree->verticalScrollBar()->value(), 0);
    ASSERT_GT(tree->horizontalScrollBar()->value(), 0);
    const QImage scrolled = Picture();
    tree->beginUpdate();
    EXPECT_EQ(*tree->UpdateBuffer(), scrolled.convertToFormat(tree->UpdateBuffer()->format()));
    tree->endUpdate();
}

TEST_F(BufferedTree, TheShadedSnapshotIsDarker)
{
    tree->TreeOptions().SetExtendedOptions({toBufferUpdates, toShadeBuffer});
    const QImage before = Picture();
    tree->beginUpdate();
    const QImage shaded = Picture();
    tree->endUpdate();
    EXPECT_LT(MeanLuminance(shaded), MeanLuminance(before) - 50);
    // Every pixel: 70 % towards the checker's white or black, less 30.
    QImage expected = before;
    tree->ShadeBitmap(expected);
    EXPECT_EQ(shaded, expected);
    QImage white(4, 2, QImage::Format_RGB32);
    white.fill(Qt::white);
    tree->ShadeBitmap(white);
    EXPECT_EQ(white.pixel(0, 0), qRgb(225, 225, 225));
    EXPECT_EQ(white.pixel(1, 0), qRgb(45, 45, 45));
    EXPECT_EQ(white.pixel(0, 1), qRgb(45, 45, 45));
    EXPECT_EQ(white.pixel(3, 1), qRgb(225, 225, 225));
    QImage black(2, 1, QImage::Format_RGB32);
    black.fill(Qt::black);
    tree->ShadeBitmap(black);
    EXPECT_EQ(black.pixel(0, 0), qRgb(149, 149, 149));  // 0 + 180 * 255 / 256 - 30
    EXPECT_EQ(black.pixel(1, 0), qRgb(0, 0, 0));
    EXPECT_EQ(Picture(), before);
}
