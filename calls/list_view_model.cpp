#include "calls/list_view_model.h"

#include <algorithm>

#include "calls/list_item.h"
#include "calls/list_view_user.h"
#include "foundation/tixutils_misc.h"
#include "platform/codepage.h"

namespace {

// The program's byte strings at the Qt boundary (Qt Core only here): texts
// in the system code page, file names in UTF-8.
QString Text(const std::string& ansi)
{
    return QString::fromStdU16String(Platform::AnsiToUtf16(ansi, Platform::SystemCodePage()));
}

std::string Ansi(const QString& text)
{
    return Platform::Utf16ToAnsiFolded(text.toStdU16String(), Platform::SystemCodePage());
}

// A name that is not valid UTF-8 (made elsewhere) shows its valid parts,
// the rest as replacement characters.
QString FileNameText(const std::string& utf8) { return QString::fromUtf8(utf8.data(), qsizetype(utf8.size())); }

}  // namespace

VListViewModel::VListViewModel(VListViewUser* owner) : owner(owner) {}

int VListViewModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(rows.size());
}

int VListViewModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : owner->getColumnCount();
}

VListItem* VListViewModel::itemAt(int row) const
{
    if (row < 0 || row >= int(rows.size()))
        return nullptr;
    return rows[size_t(row)];
}

bool VListViewModel::isRowIndex(const QModelIndex& index) const
{
    return index.isValid() && index.model() == this && !index.parent().isValid() && index.row() < int(rows.size()) &&
           index.column() < columnCount();
}

QVariant VListViewModel::data(const QModelIndex& index, int role) const
{
    if (!isRowIndex(index))
        return QVariant();
    VListItem* item = rows[size_t(index.row())];
    const VListItem::MirrorItem& shown = item->shownRow();
    const int column = index.column();
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
        if (column == 0)
            return owner->isFileNameColumn(0) ? FileNameText(shown.caption) : Text(shown.caption);
        if (size_t(column - 1) < shown.subItems.size()) {
            const std::string& text = shown.subItems[size_t(column - 1)];
            return owner->isFileNameColumn(column) ? FileNameText(text) : Text(text);
        }
        return QString();
    case ImageRole:
        return column == 0 ? QVariant(shown.image) : QVariant();
    case EditKindRole:
        return item->canEdit() ? owner->canEditCell(index.row(), item, column) : 0;
    case OptionsRole: {
        std::vector<std::string> options;
        Tixutils::VSetCommaText(options, owner->columnOptions(column));
        QStringList list;
        for (const std::string& option : options)
            list << Text(option);
        return list;
    }
    default:
        return QVariant();
    }
}

bool VListViewModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (role != Qt::EditRole || !(flags(index) & Qt::ItemIsEditable))
        return false;
    const QString text = value.toString();
    rows[size_t(index.row())]->setText(index.column(),
                                       owner->isFileNameColumn(index.column()) ? text.toStdString() : Ansi(text));
    return true;
}

Qt::ItemFlags VListViewModel::flags(const QModelIndex& index) const
{
    if (!isRowIndex(index))
        return Qt::NoItemFlags;
    Qt::ItemFlags result = Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
    if (data(index, EditKindRole).toInt() != 0)
        result |= Qt::ItemIsEditable;
    return result;
}

QVariant VListViewModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= columnCount())
        return QVariant();
    if (role != Qt::DisplayRole && role != Qt::EditRole)
        return QVariant();
    return section < captions.size() ? captions[section] : QString();
}

bool VListViewModel::setHeaderData(int section, Qt::Orientation orientation, const QVariant& value, int role)
{
    if (orientation != Qt::Horizontal || section < 0 || section >= columnCount())
        return false;
    if (role != Qt::DisplayRole && role != Qt::EditRole)
        return false;
    while (captions.size() <= section)
        captions << QString();
    captions[section] = value.toString();
    emit headerDataChanged(orientation, section, section);
    return true;
}

void VListViewModel::insertItemRow(int row, VListItem* item)
{
    beginInsertRows(QModelIndex(), row, row);
    rows.insert(rows.begin() + row, item);
    endInsertRows();
}

void VListViewModel::removeItemRow(int row)
{
    beginRemoveRows(QModelIndex(), row, row);
    rows.erase(rows.begin() + row);
    endRemoveRows();
}

void VListViewModel::rowWritten(int row)
{
    emit dataChanged(index(row, 0), index(row, columnCount() - 1));
}

void VListViewModel::removeAllRows()
{
    if (rows.empty())
        return;
    beginRemoveRows(QModelIndex(), 0, int(rows.size()) - 1);
    rows.clear();
    endRemoveRows();
}

int VListViewModel::rowOf(const VListItem* item) const
{
    const auto it = std::find(rows.begin(), rows.end(), item);
    return it == rows.end() ? -1 : int(it - rows.begin());
}
