#include "calls/list_view_file.h"

VListViewFile::VListViewFile(bool editable) : VListViewUser(Columns), editable(editable) {}

std::unique_ptr<VListItem> VListViewFile::createItem(int Number)
{
    return std::make_unique<VListItemFile>(Number);
}

int VListViewFile::canEditCell(int, VListItem* Item, int Column)
{
    if (!editable || (Column != 0 && Column != 3))
        return 0;
    // The sender goes on with what it started: an edit would land its
    // outcome on another file or number.
    auto* file = dynamic_cast<VListItemFile*>(Item);
    return file && file->getState() == 2 ? 0 : 1;
}

VListItemFile* VListViewFile::getItem(int Position) const
{
    return dynamic_cast<VListItemFile*>(VListViewUser::getItem(Position));
}

VListItemFile* VListViewFile::getItemOwner(int Row) const
{
    return dynamic_cast<VListItemFile*>(VListViewUser::getItemOwner(Row));
}
