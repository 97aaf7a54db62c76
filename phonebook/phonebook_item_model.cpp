#include "phonebook/phonebook_item_model.h"

#include "phonebook/phonebook.h"
#include "platform/codepage.h"

namespace {

QString ToQ(const std::string& ansi, int codePage = Platform::SystemCodePage())
{
    return QString::fromStdU16String(Platform::AnsiToUtf16(ansi, codePage));
}

std::string FromQ(const QString& text)
{
    return Platform::Utf16ToAnsiFolded(text.toStdU16String(), Platform::SystemCodePage());
}

// Position centred, number to the right, name to the left; captions alike.
int ColumnAlignment(int column)
{
    switch (column) {
    case VTixPhoneBook::tcIndex:
        return int(Qt::AlignHCenter | Qt::AlignVCenter);
    case VTixPhoneBook::tcNumber:
        return int(Qt::AlignRight | Qt::AlignVCenter);
    default:
        return int(Qt::AlignLeft | Qt::AlignVCenter);
    }
}

}  // namespace

VTixPhoneBookItemModel::VTixPhoneBookItemModel(QObject* parent)
    : QAbstractItemModel(parent),
      m_captions{ToQ("Pozice", Platform::CP_CZECH), ToQ("Tel. \xE8\xEDslo", Platform::CP_CZECH),
                 ToQ("Jm\xE9no", Platform::CP_CZECH)}
{
}

VTixPhoneBookItemModel::~VTixPhoneBookItemModel()
{
    // No reset from a model going away: the model only lets go.
    VTixPhoneBook* phonebook = m_phonebook;
    m_phonebook = nullptr;
    if (phonebook)
        phonebook->attachObserver(nullptr);
}

void VTixPhoneBookItemModel::setPhonebook(VTixPhoneBook* phonebook)
{
    if (phonebook == m_phonebook)
        return;
    if (m_phonebook)
        m_phonebook->attachObserver(nullptr);
    beginResetModel();
    m_phonebook = phonebook;
    m_shown = nullptr;
    m_open = 0;
    endResetModel();
    // The model names its displayed memory at once.
    if (m_phonebook)
        m_phonebook->attachObserver(this);
}

void VTixPhoneBookItemModel::phonebookDetached(const VTixPhoneBook& model)
{
    if (&model != m_phonebook)
        return;
    beginResetModel();
    m_phonebook = nullptr;
    m_shown = nullptr;
    m_open = 0;
    endResetModel();
}

void VTixPhoneBookItemModel::displayedStorageReplaced(const VTixPhoneBookStorage* storage)
{
    beginResetModel();
    m_shown = storage;
    m_open = 0;
    endResetModel();
}

void VTixPhoneBookItemModel::rowWillBeInserted(const VTixPhoneBookStorage& storage, int row)
{
    if (&storage != m_shown)
        return;
    beginInsertRows(QModelIndex(), row, row);
    m_open = +1;
}

void VTixPhoneBookItemModel::rowWillBeRemoved(const VTixPhoneBookStorage& storage, int row)
{
    if (&storage != m_shown)
        return;
    beginRemoveRows(QModelIndex(), row, row);
    m_open = -1;
}

void VTixPhoneBookItemModel::rowChangeDone(const VTixPhoneBookStorage& storage)
{
    if (&storage != m_shown || m_open == 0)
        return;
    if (m_open > 0)
        endInsertRows();
    else
        endRemoveRows();
    m_open = 0;
}

void VTixPhoneBookItemModel::rowChanged(const VTixPhoneBookStorage& storage, int row)
{
    if (&storage == m_shown)
        emit dataChanged(index(row, 0), index(row, VTixPhoneBook::TreeColumnCount - 1));
}

QModelIndex VTixPhoneBookItemModel::index(int row, int column, const QModelIndex& parent) const
{
    if (parent.isValid() || row < 0 || row >= rowCount() || column < 0 || column >= columnCount())
        return {};
    return createIndex(row, column);
}

QModelIndex VTixPhoneBookItemModel::parent(const QModelIndex&) const
{
    return {};
}

int VTixPhoneBookItemModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() || !m_shown ? 0 : m_shown->recordCount();
}

int VTixPhoneBookItemModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : VTixPhoneBook::TreeColumnCount;
}

QVariant VTixPhoneBookItemModel::data(const QModelIndex& index, int role) const
{
    if (!m_phonebook || !index.isValid() || index.row() >= rowCount())
        return {};
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
        return ToQ(m_phonebook->treeGetText(index.row(), index.column()));
    case Qt::TextAlignmentRole:
        return ColumnAlignment(index.column());
    case Qt::ToolTipRole: {
        const std::string hint = m_phonebook->treeGetHint(index.row());
        return hint.empty() ? QVariant() : QVariant(ToQ(hint));
    }
    case StateImageRole:
        return m_phonebook->treeGetImageIndex(index.row(), index.column());
    default:
        return {};
    }
}

bool VTixPhoneBookItemModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (!m_phonebook || !index.isValid() || role != Qt::EditRole || index.row() >= rowCount())
        return false;
    const int row = index.row(), column = index.column();
    const std::string refusal = m_phonebook->treeNewText(row, column, FromQ(value.toString()));
    if (!refusal.empty()) {
        emit newTextRefused(row, column, value.toString(), ToQ(refusal));
        return false;
    }
    emit newTextTaken(row, column);
    return true;
}

Qt::ItemFlags VTixPhoneBookItemModel::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
    if (m_phonebook && m_phonebook->treeEditing(index.row(), index.column()))
        f |= Qt::ItemIsEditable;
    return f;
}

QVariant VTixPhoneBookItemModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= int(m_captions.size()))
        return {};
    if (role == Qt::DisplayRole || role == Qt::EditRole)
        return m_captions[size_t(section)];
    if (role == Qt::TextAlignmentRole)
        return ColumnAlignment(section);
    return {};
}

bool VTixPhoneBookItemModel::setHeaderData(int section, Qt::Orientation orientation, const QVariant& value,
                                           int role)
{
    if (orientation != Qt::Horizontal || section < 0 || section >= int(m_captions.size()) ||
        (role != Qt::EditRole && role != Qt::DisplayRole))
        return false;
    m_captions[size_t(section)] = value.toString();
    emit headerDataChanged(orientation, section, section);
    return true;
}
