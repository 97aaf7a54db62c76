#pragma once
#include <QAbstractTableModel>
#include <vector>

#include "sms/sms_list.h"

// The Qt item model of an SMS list: one row per record in the list's
// order, three columns (the record's place "3: SM", its state as text,
// its text), captions and texts from the list's language. It attaches
// itself to the list as its view and follows it row by row, with the
// row signals of a Qt model. The state role gives the state number, from
// which a view takes the state's picture; the record role the record.
class VTixSMSListModel : public QAbstractTableModel, public VTixSMSListView {
    Q_OBJECT
public:
    enum TRole : int {
        StateRole = Qt::UserRole + 1,  // int, VTixSMS_textSMSstates
        RecordRole,                    // VTixSMSRecord* as quintptr
    };

    // Attaches itself to the list (which must outlive it or detach it).
    explicit VTixSMSListModel(VTixSMSList* list, QObject* parent = nullptr);
    ~VTixSMSListModel() override;

    VTixSMSList* list() const { return list_; }
    // The record of a row; null out of range (getMessageByListItem).
    VTixSMSRecord* getMessageByListItem(int row) const;
    // The row of a record; -1 when it has none.
    int rowOf(const VTixSMSRecord* sms) const;
    // Column widths for a view of that width (the list's rule).
    int columnWidth(int column, int viewWidth) const;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    // VTixSMSListView
    void smsRowAdded(VTixSMSRecord* sms) override;
    void smsRowChanged(VTixSMSRecord* sms) override;
    void smsRowRemoved(VTixSMSRecord* sms) override;
    void smsRowsReset() override;
    void smsColumnsChanged() override;

signals:
    // Captions or widths changed: a view applies columnWidth again.
    void columnsChanged();

private:
    VTixSMSList* list_;
    std::vector<VTixSMSRecord*> rows_;
};
