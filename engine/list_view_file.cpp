#include "engine/list_view_file.h"

VListViewFile::VListViewFile(bool outgoing) : outgoing(outgoing) {}

VListViewFile::~VListViewFile() = default;

int VListViewFile::getMaxId() const
{
    return items.empty() ? -1 : items.back()->getNumber();
}

VListItemFile* VListViewFile::addItem(std::unique_ptr<VListItemFile> item)
{
    if (!item)
        return nullptr;
    size_t at = items.size();
    while (at > 0 && items[at - 1]->getNumber() > item->getNumber())
        --at;
    VListItemFile* row = item.get();
    items.insert(items.begin() + long(at), std::move(item));
    row->activate();
    activate();
    return row;
}

VListItemFile* VListViewFile::getItem(int position) const
{
    if (position < 0 || position >= int(items.size()))
        return nullptr;
    return items[size_t(position)].get();
}

VListItemFile* VListViewFile::getItemOwner(int row) const
{
    return getItem(row);
}

void VListViewFile::tick()
{
    for (auto& item : items)
        item->updateRow();
    for (size_t i = items.size(); i-- > 0;)
        if (items[i]->VStatedObject::getState() == stFinished)
            items.erase(items.begin() + long(i));
    if (state == stStopping && items.empty())
        state = stFinished;
    else if (state == stActive)
        state = stNotStarted;
}

bool VListViewFile::requestStop()
{
    if (isNotStopping())
        for (size_t i = items.size(); i-- > 0;)
            items[i]->requestStop();
    return VStatedObject::requestStop();
}
