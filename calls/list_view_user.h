#pragma once
#include <QPointer>
#include <memory>
#include <string>
#include <vector>

#include "calls/list_item.h"
#include "foundation/stated_object.h"

class QItemSelectionModel;
class VListViewModel;

// An ordered list of row objects shown in one list view. It owns its items
// (ascending number order, equal numbers in arrival order) and the item
// model of their rows (getModel); the view shows that model. The model
// changes only in the pass that tick runs: rows are inserted for new
// items, rewritten for marked ones and removed for items asked to stop, so
// an unchanged item costs nothing and an idle tick does nothing.
//
// The marks of a row are the bound view's current index and selection
// (bindListView hands over the view's selection model). Before a marked row
// goes they move to the next row below, else to the one above; an item
// whose marked row was taken out gets them back on its new row.
//
// Run states (VStatedObject): 0 all rows up to date, 1 a pass is due,
// 2 closing (passes until no item is left), 3 finished.
class VListViewUser : public VStatedObject {
public:
    // Columns of the rows: the caption and ColumnCount - 1 sub-items.
    explicit VListViewUser(int ColumnCount);
    // Unbinds, removes the rows, frees the items.
    ~VListViewUser() override;

    // A pass is due (the activation hook runs when the list was idle).
    void activate() override;
    // Asks every item to stop (last first), then the list; true once the
    // list has finished.
    bool requestStop() override;
    virtual std::unique_ptr<VListItem> createItem(int Number) = 0;
    // The editor a cell gets: 0 none, 1 free-text combo, 2 combo with the
    // column's choices (columnOptions). The base: 0.
    virtual int canEditCell(int Row, VListItem* Item, int Column);
    // The choices of a column as comma text; the base: none.
    virtual std::string columnOptions(int Column);
    // The column holds file-system names (UTF-8) rather than texts of the
    // system code page; the base: none does.
    virtual bool isFileNameColumn(int Column) const;
    // Called when an idle list is marked for a pass.
    virtual void activated();
    // Hands over the marks of a view (its selection model of getModel());
    // null unbinds. Rows of an earlier binding are removed first and come
    // back at the next pass.
    virtual void bindListView(QItemSelectionModel* Marks);
    // State 1: a pass. State 2: a pass, then finished when no item is left.
    virtual void tick();
    // Item at a position; null out of range.
    virtual VListItem* getItem(int Position) const;
    // The first item whose number text is Text; null when none.
    virtual VListItem* findByNumberText(const std::string& Text) const;
    // The item shown in a row of the view; null when none.
    virtual VListItem* getItemOwner(int Row) const;

    // Appends rowText of every item, in order, and then an empty line.
    virtual void saveRows(std::vector<std::string>& Lines);
    // Replaces the items by the rows of Lines: every item is asked to stop
    // and a pass runs (the view's open editor closes with its row), then
    // lines "caption=image,rest" are read while they parse, each giving an
    // item made by createItem with the next number, its image and
    // setFromText of the caption.
    virtual void loadRows(const std::vector<std::string>& Lines);

    // Inserts the item after the last item whose number is not above its
    // own and takes it over; returns it (null for null).
    VListItem* addItem(std::unique_ptr<VListItem> Item);
    int getCount() const { return int(items.size()); }
    // The highest number; -1 for an empty list.
    int getMaxId();
    int getColumnCount() const { return columnCount; }
    VListViewModel& getModel() const { return *model; }
    QItemSelectionModel* getMarks() const;

protected:
    // The update pass.
    void updatePass();

private:
    friend class VListItem;
    // A selection model of this list's model is bound.
    bool isBound() const;
    // Whether a row carries the marks (current or selected).
    bool isMarked(int Row) const;
    // The row becomes the current and only selected row.
    void markRow(int Row);
    // Row of an item; -1 when it has none.
    int rowOf(const VListItem* Item) const;
    // Model operations of the items: a row written (inserted when the
    // item has none yet) or deleted.
    void writeRow(VListItem* Item, int Row);
    // Takes an item's row out now (VListItem::removeRow): the item is
    // remembered when the row was marked, and marked for the next pass.
    void takeRow(VListItem* Item, int Row);
    void deleteRow(VListItem* Item, int Row);

    int columnCount;
    std::vector<std::unique_ptr<VListItem>> items;
    std::unique_ptr<VListViewModel> model;
    QPointer<QItemSelectionModel> marks;
    bool bound = false;
    // The item whose marked row was taken out: its new row gets the marks.
    VListItem* remembered = nullptr;
    // Highest number; -1 when it must be worked out again.
    int maxId = -1;
    // Scratch description of the row being written.
    VListItem::MirrorItem mirror;
};
