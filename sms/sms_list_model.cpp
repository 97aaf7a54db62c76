#include "sms/sms_list_model.h"

#include "platform/codepage.h"

namespace {

QString ToQ(const std::string& ansi)
{
    return QString::fromStdU16String(Platform::AnsiToUtf16(ansi, Platform::SystemCodePage()));
}

}  // namespace

VTixSMSListModel::VTixSMSListModel(VTixSMSList* list, QObject* parent)
    : QAbstractTableModel(parent), list_(list)
{
    if (list_)
        list_->SetListView(this);
}

VTixSMSListModel::~VTixSMSListModel()
{
    if (list_ && list_->GetListView() == this)
        list_->SetListView(nullptr);
}

VTixSMSRecord* VTixSMSListModel::getMessageByListItem(int row) const
{
    return row >= 0 && row < int(rows_.size()) ? rows_[size_t(row)] : nullptr;
}

int VTixSMSListModel::rowOf(const VTixSMSRecord* sms) const
{
    // Rows that change are mostly the newest (a listing, a send).
    for (size_t i = rows_.size(); i-- > 0;)
        if (rows_[i] == sms)
            return int(i);
    return -1;
}

int VTixSMSListModel::columnWidth(int column, int viewWidth) const
{
    return list_ ? list_->GetColumnWidth(column, viewWidth) : 0;
}

int VTixSMSListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(rows_.size());
}

int VTixSMSListModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : 3;
}

QVariant VTixSMSListModel::data(const QModelIndex& index, int role) const
{
    VTixSMSRecord* sms = index.isValid() ? getMessageByListItem(index.row()) : nullptr;
    if (!sms || !list_)
        return QVariant();
    switch (role) {
    case Qt::DisplayRole:
        switch (index.column()) {
        case 0: return ToQ(VTixSMSList::GetRowCaption(sms));
        case 1: return ToQ(list_->GetStateText(sms->GetState()));
        case 2: return ToQ(sms->GetText());
        default: return QVariant();
        }
    case StateRole: return int(sms->GetState());
    case RecordRole: return QVariant::fromValue(quintptr(sms));
    default: return QVariant();
    }
}

QVariant VTixSMSListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || !list_ || section < 0 || section > 2)
        return QVariant();
    return ToQ(list_->GetColumnCaption(section));
}

Qt::ItemFlags VTixSMSListModel::flags(const QModelIndex& index) const
{
    return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
}

void VTixSMSListModel::smsRowAdded(VTixSMSRecord* sms)
{
    const int row = int(rows_.size());
    beginInsertRows(QModelIndex(), row, row);
    rows_.push_back(sms);
    endInsertRows();
}

void VTixSMSListModel::smsRowChanged(VTixSMSRecord* sms)
{
    const int row = rowOf(sms);
    if (row >= 0)
        emit dataChanged(index(row, 0), index(row, 2));
}

void VTixSMSListModel::smsRowRemoved(VTixSMSRecord* sms)
{
    const int row = rowOf(sms);
    if (row < 0)
        return;
    beginRemoveRows(QModelIndex(), row, row);
    rows_.erase(rows_.begin() + row);
    endRemoveRows();
}

void VTixSMSListModel::smsRowsReset()
{
    beginResetModel();
    rows_.clear();
    if (list_ && list_->GetListView() == this)
        for (int i = 0; i < list_->getSMSCount(); ++i)
            rows_.push_back(list_->getSMS(i));
    else
        list_ = nullptr;  // detached: the list may go
    endResetModel();
    emit columnsChanged();
}

void VTixSMSListModel::smsColumnsChanged()
{
    emit headerDataChanged(Qt::Horizontal, 0, 2);
    emit columnsChanged();
}
