#pragma once
#include <QAbstractTableModel>
#include <QStringList>
#include <vector>

class VListItem;
class VListViewUser;

// The rows of a VListViewUser as a Qt table: the items that have a row, in
// item order. Only the owner's pass changes it; between passes it answers
// from the rows as last written. Column 0 is the caption, column i the
// sub-item i - 1; texts are the program's byte strings in the active code
// page.
class VListViewModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum TRole {
        // The row's image index (column 0).
        ImageRole = Qt::UserRole + 1,
        // The editor a cell gets (VListViewUser::canEditCell: 0, 1, 2).
        EditKindRole,
        // The column's choices (VListViewUser::columnOptions) as a list.
        OptionsRole,
    };

    explicit VListViewModel(VListViewUser* owner);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    // An edit of an editable cell goes to the item (VListItem::setText);
    // the row shows it after the next pass.
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    // Column captions, set by the view's owner.
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    bool setHeaderData(int section, Qt::Orientation orientation, const QVariant& value,
                       int role = Qt::EditRole) override;

    VListViewUser* getOwner() const { return owner; }
    // The item of a row; null out of range.
    VListItem* itemAt(int row) const;

signals:
    // A pass gave an item a row; marked: the row got the marks back.
    void rowInserted(int row, bool marked);

private:
    friend class VListViewUser;
    void insertItemRow(int row, VListItem* item);
    void removeItemRow(int row);
    void rowWritten(int row);
    void removeAllRows();
    int rowOf(const VListItem* item) const;
    // A valid index of a row of this model.
    bool isRowIndex(const QModelIndex& index) const;

    VListViewUser* owner;
    std::vector<VListItem*> rows;
    QStringList captions;
};
