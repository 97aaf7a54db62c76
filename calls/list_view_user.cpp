#include "calls/list_view_user.h"

#include <QItemSelectionModel>
#include <algorithm>

#include "calls/list_view_model.h"
#include "foundation/input_buffer.h"
#include "foundation/utils.h"

VListViewUser::VListViewUser(int ColumnCount)
    : columnCount(ColumnCount < 1 ? 1 : ColumnCount), model(std::make_unique<VListViewModel>(this))
{
}

VListViewUser::~VListViewUser()
{
    VListViewUser::bindListView(nullptr);
    // The rows go in one step; the items then find none to remove.
    model->removeAllRows();
    for (auto& item : items)
        item->rowShown = false;
    remembered = nullptr;
    items.clear();
}

void VListViewUser::activate()
{
    if (state == stNotStarted)
        activated();
    VStatedObject::activate();
}

bool VListViewUser::requestStop()
{
    if (isNotStopping())
        for (size_t i = items.size(); i-- > 0;)
            items[i]->requestStop();
    return VStatedObject::requestStop();
}

int VListViewUser::canEditCell(int, VListItem*, int) { return 0; }
std::string VListViewUser::columnOptions(int) { return std::string(); }
bool VListViewUser::isFileNameColumn(int) const { return false; }
void VListViewUser::activated() {}

void VListViewUser::bindListView(QItemSelectionModel* Marks)
{
    remembered = nullptr;
    if (bound) {
        // The item of the current row gets the marks back on its new row.
        // Taken before the rows go: Qt moves the marks as rows are removed.
        VListItem* marked = isBound() ? model->itemAt(marks->currentIndex().row()) : nullptr;
        marks = nullptr;
        // Last first: the last row left is always the one to take.
        int row = model->rowCount();
        for (size_t i = items.size(); i-- > 0;)
            if (items[i]->rowShown)
                takeRow(items[i].get(), --row);
        remembered = marked;
    }
    marks = Marks;
    bound = Marks != nullptr;
}

void VListViewUser::tick()
{
    if (state == stActive) {
        updatePass();
    } else if (state == stStopping) {
        updatePass();
        if (items.empty())
            state = stFinished;
    }
}

void VListViewUser::updatePass()
{
    if (state == stActive)
        state = stNotStarted;
    // Row is the index of the next row: the items before have that many.
    int row = 0;
    bool stopped = false;
    for (auto& item : items) {
        item->updateRow(row);
        if (item->rowShown)
            ++row;
        stopped = stopped || item->getState() >= stStopping;
    }
    // Items that may go: only looked for when there are any.
    for (size_t i = stopped ? items.size() : 0; i-- > 0;) {
        VListItem* item = items[i].get();
        if (item->isNotStopping() || !item->requestStop())
            continue;
        if (remembered == item)
            remembered = nullptr;
        items.erase(items.begin() + long(i));
        maxId = -1;
        if (i < items.size())
            items[i]->neighbourRemoved();
        if (i > 0)
            items[i - 1]->neighbourRemoved();
    }
}

VListItem* VListViewUser::getItem(int Position) const
{
    if (Position < 0 || Position >= int(items.size()))
        return nullptr;
    return items[size_t(Position)].get();
}

VListItem* VListViewUser::findByNumberText(const std::string& Text) const
{
    for (const auto& item : items)
        if (item->getNumberText() == Text)
            return item.get();
    return nullptr;
}

VListItem* VListViewUser::getItemOwner(int Row) const { return model->itemAt(Row); }

void VListViewUser::saveRows(std::vector<std::string>& Lines)
{
    for (auto& item : items)
        Lines.push_back(item->rowText());
    Lines.emplace_back();
}

void VListViewUser::loadRows(const std::vector<std::string>& Lines)
{
    // The cell editor commits as it is typed, and the view closes it when
    // its row goes in this pass.
    for (size_t i = items.size(); i-- > 0;)
        items[i]->requestStop();
    updatePass();
    TInputBuffer scratch;
    Utils::TLineScanner scanner;
    scanner.Lines = &Lines;
    scanner.Scratch = &scratch;
    for (;;) {
        std::string caption, rest;
        int32_t image = 0;
        Utils::ScanFormatted(scanner, "s=d,s", &caption, &image, &rest);
        if (scanner.State != Utils::lsMatched)
            break;
        std::unique_ptr<VListItem> item = createItem(getMaxId() + 1);
        if (!item)
            break;
        item->setImage(image);
        item->setFromText(caption);
        addItem(std::move(item));
    }
}

VListItem* VListViewUser::addItem(std::unique_ptr<VListItem> Item)
{
    if (!Item)
        return nullptr;
    // The cache may have been dropped by a removal: work it out first, so
    // that a low number never hides a higher one.
    maxId = std::max(getMaxId(), Item->getNumber());
    size_t at = items.size();
    while (at > 0 && items[at - 1]->getNumber() > Item->getNumber())
        --at;
    VListItem* item = Item.get();
    items.insert(items.begin() + long(at), std::move(Item));
    item->setOwner(this);
    if (at + 1 < items.size())
        items[at + 1]->neighbourAdded();
    if (at > 0)
        items[at - 1]->neighbourAdded();
    activate();
    return item;
}

int VListViewUser::getMaxId()
{
    if (maxId == -1 && !items.empty())
        maxId = items.back()->getNumber();
    return maxId;
}

QItemSelectionModel* VListViewUser::getMarks() const { return marks.data(); }

bool VListViewUser::isBound() const { return marks && marks->model() == model.get(); }

bool VListViewUser::isMarked(int Row) const
{
    if (!isBound())
        return false;
    return marks->currentIndex().row() == Row || marks->isRowSelected(Row, QModelIndex());
}

void VListViewUser::markRow(int Row)
{
    if (!isBound())
        return;
    marks->setCurrentIndex(model->index(Row, 0),
                           QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

int VListViewUser::rowOf(const VListItem* Item) const { return model->rowOf(Item); }

void VListViewUser::writeRow(VListItem* Item, int Row)
{
    mirror.clear();
    mirror.image = Item->image;
    Item->refreshTexts(mirror);
    std::swap(Item->shown, mirror);
    if (Item->rowShown) {
        model->rowWritten(Row);
        return;
    }
    // A new row: inserted with its texts, after the nearest earlier item
    // that has a row.
    model->insertItemRow(Row, Item);
    Item->rowShown = true;
    const bool marked = remembered == Item && isBound();
    if (remembered == Item) {
        markRow(Row);
        remembered = nullptr;
    }
    Item->rowInserted();
    emit model->rowInserted(Row, marked);
}

void VListViewUser::takeRow(VListItem* Item, int Row)
{
    if (Row < 0)
        return;
    if (isMarked(Row))
        remembered = Item;
    deleteRow(Item, Row);
    Item->activate();
}

void VListViewUser::deleteRow(VListItem* Item, int Row)
{
    model->removeItemRow(Row);
    Item->rowShown = false;
    Item->shown.clear();
    Item->rowDeleted();
}
