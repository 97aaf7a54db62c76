#pragma once
#include <QObject>
#include <QPointer>
#include <QStringList>

#include "calls/list_view_model.h"

class QStandardItemModel;
class QTreeView;
class TListCellEditor;

// Shows a list of rows (VListViewUser's model) in a tree view set up as a
// report-style list: one row selected, the selection kept while the view
// has no focus, cells edited in place after a double click only. The
// view's marks (current row and selection) are handed to the list, which
// moves them as rows come and go; a new row is scrolled into view when it
// gets the marks back or when the last row was in view before.
//
// While nothing is bound the view shows an empty table with the same
// column captions, so the form's translation always finds them.
class TListViewBinding : public QObject {
    Q_OBJECT
public:
    TListViewBinding(QTreeView* view, const QStringList& captions);
    ~TListViewBinding() override;

    // Binds a list's model; null unbinds. An open cell editor is committed
    // and closed first.
    void bind(VListViewModel* model);
    VListViewModel* boundModel() const { return bound.data(); }
    TListCellEditor* cellEditor() const { return editor; }
    QTreeView* view() const { return treeView; }

private:
    bool lastRowVisible() const;
    void rowsComing();
    void rowShown(int row, bool marked);
    void showCaptions();

    QTreeView* treeView;
    QStandardItemModel* captions;
    TListCellEditor* editor;
    QPointer<VListViewModel> bound;
    QList<QMetaObject::Connection> connections;
    bool followLastRow = true;
};
