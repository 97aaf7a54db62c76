#include "app/list_view_binding.h"

#include <QHeaderView>
#include <QStandardItemModel>
#include <QTreeView>

#include "app/list_cell_editor.h"
#include "calls/list_view_model.h"
#include "calls/list_view_user.h"

namespace {

void CopyCaptions(QAbstractItemModel* from, QAbstractItemModel* to)
{
    const int count = std::min(from->columnCount(), to->columnCount());
    for (int i = 0; i < count; ++i)
        to->setHeaderData(i, Qt::Horizontal, from->headerData(i, Qt::Horizontal));
}

}  // namespace

TListViewBinding::TListViewBinding(QTreeView* view, const QStringList& captionTexts)
    : QObject(view), treeView(view), captions(new QStandardItemModel(0, int(captionTexts.size()), this)),
      editor(new TListCellEditor(this))
{
    captions->setHorizontalHeaderLabels(captionTexts);
    view->setRootIsDecorated(false);
    view->setItemsExpandable(false);
    view->setUniformRowHeights(true);
    view->setAllColumnsShowFocus(true);
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->setSelectionMode(QAbstractItemView::SingleSelection);
    view->setEditTriggers(QAbstractItemView::DoubleClicked);
    view->setItemDelegate(editor);
    // The selection stays visible while another control has the focus.
    QPalette palette = view->palette();
    for (QPalette::ColorRole role : {QPalette::Highlight, QPalette::HighlightedText})
        palette.setColor(QPalette::Inactive, role, palette.color(QPalette::Active, role));
    view->setPalette(palette);
    view->setModel(captions);
}

TListViewBinding::~TListViewBinding() = default;

void TListViewBinding::bind(VListViewModel* model)
{
    if (bound == model)
        return;
    editor->commitAndClose();
    for (const QMetaObject::Connection& c : connections)
        disconnect(c);
    connections.clear();
    if (bound) {
        CopyCaptions(bound, captions);
        bound->getOwner()->bindListView(nullptr);
    }
    bound = model;
    if (!model) {
        showCaptions();
        return;
    }
    CopyCaptions(captions, model);
    treeView->setModel(model);
    model->getOwner()->bindListView(treeView->selectionModel());
    followLastRow = lastRowVisible();
    connections << connect(model, &QAbstractItemModel::rowsAboutToBeInserted, this, [this] { rowsComing(); })
                << connect(model, &VListViewModel::rowInserted, this, &TListViewBinding::rowShown)
                // Translated captions are kept for the time nothing is bound.
                << connect(model, &QAbstractItemModel::headerDataChanged, this,
                           [this] {
                               if (bound)
                                   CopyCaptions(bound, captions);
                           })
                << connect(model, &QObject::destroyed, this, [this] { showCaptions(); });
}

void TListViewBinding::showCaptions()
{
    if (treeView->model() != captions)
        treeView->setModel(captions);
}

bool TListViewBinding::lastRowVisible() const
{
    QAbstractItemModel* model = treeView->model();
    const int rows = model ? model->rowCount() : 0;
    if (rows == 0)
        return true;
    const QRect last = treeView->visualRect(model->index(rows - 1, 0));
    return last.isValid() && last.bottom() < treeView->viewport()->height();
}

void TListViewBinding::rowsComing() { followLastRow = lastRowVisible(); }

void TListViewBinding::rowShown(int row, bool marked)
{
    if (!bound || (!marked && !followLastRow))
        return;
    treeView->scrollTo(bound->index(row, 0));
}
