// A list header's caption wider than its section ends in "…": drawn as the
// same header draws the shortened caption itself.
#include <gtest/gtest.h>

#include <QHeaderView>
#include <QStandardItemModel>
#include <QStyleOptionHeader>
#include <QTreeView>

#include "tests/support/qt_app.h"
#include "widgets/eliding_header_style.h"

namespace {

// A list whose first column is 40 pixels wide with a centred caption.
struct TList {
    explicit TList(const QString& caption)
    {
        model.setHorizontalHeaderLabels({caption, QStringLiteral("Name")});
        model.setHeaderData(0, Qt::Horizontal, int(Qt::AlignCenter), Qt::TextAlignmentRole);
        view.setModel(&model);
        view.setColumnWidth(0, 40);
        view.resize(200, 80);
    }
    QImage Section()
    {
        view.show();
        QHeaderView* h = view.header();
        return h->grab(QRect(0, 0, h->sectionSize(0), h->height())).toImage();
    }
    QStandardItemModel model{0, 2};
    QTreeView view;
};

}  // namespace

TEST(ElidingHeader, AWideCaptionEndsInAnEllipsisAndANarrowOneStays)
{
    TestSupport::App();
    TList wide(QStringLiteral("Position"));
    TElidingHeaderStyle::Install(wide.view.header());
    // What the header's style draws the caption in: its label rectangle.
    QStyleOptionHeader option;
    option.initFrom(wide.view.header());
    option.rect = QRect(0, 0, 40, wide.view.header()->height());
    option.section = 0;
    const int room =
        wide.view.header()->style()->subElementRect(QStyle::SE_HeaderLabel, &option, wide.view.header()).width();
    const QString shortened =
        wide.view.header()->fontMetrics().elidedText(QStringLiteral("Position"), Qt::ElideRight, room);
    ASSERT_TRUE(shortened.endsWith(QChar(0x2026))) << shortened.toStdString();
    ASSERT_TRUE(shortened.startsWith(QLatin1Char('P'))) << shortened.toStdString();

    TList plain(shortened);
    const QImage drawn = wide.Section();
    EXPECT_EQ(drawn, plain.Section());
    TList cut(QStringLiteral("Position"));
    EXPECT_NE(drawn, cut.Section()) << "without the style the caption is cut at both ends";

    // A caption that fits is drawn as it is.
    TList narrow(QStringLiteral("Pos"));
    TElidingHeaderStyle::Install(narrow.view.header());
    TList narrowPlain(QStringLiteral("Pos"));
    EXPECT_EQ(narrow.Section(), narrowPlain.Section());
}
