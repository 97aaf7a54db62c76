#include "calls/list_item.h"

#include <charconv>

#include "foundation/tixutils_misc.h"

#include "calls/list_view_model.h"
#include "calls/list_view_user.h"

void VListItem::MirrorItem::clear()
{
    caption.clear();
    image = -1;
    subItems.clear();
}

void VListItem::MirrorItem::setSubItem(int Index, const std::string& Text)
{
    if (Index < 0)
        return;
    if (size_t(Index) < subItems.size())
        subItems[size_t(Index)] = Text;
    else
        subItems.push_back(Text);
}

VListItem::VListItem(int number) : number(number < 0 ? 0 : number) {}

VListItem::~VListItem()
{
    if (!owner)
        return;
    removeRow();
    if (owner->remembered == this)
        owner->remembered = nullptr;
}

void VListItem::activate()
{
    // An item that was already marked has woken its owner then.
    if (state == stNotStarted && owner)
        owner->activate();
    VStatedObject::activate();
}

bool VListItem::requestStop()
{
    if (state == stNotStarted && owner)
        owner->activate();
    const bool finished = VStatedObject::requestStop();
    return finished && !rowShown && holds == 0;
}

bool VListItem::updateRow(int Row)
{
    if (!owner)
        return false;
    switch (state) {
    case stActive:
        if (!rowShown && isHidden()) {
            // Up to date without a row; marking it again wakes the list.
            state = stNotStarted;
            return false;
        }
        owner->writeRow(this, Row);
        state = stNotStarted;
        return true;
    case stStopping:
        if (rowShown) {
            if (owner->isMarked(Row)) {
                const int rows = owner->getModel().rowCount();
                if (Row + 1 < rows)
                    owner->markRow(Row + 1);
                else if (Row > 0)
                    owner->markRow(Row - 1);
            }
            owner->deleteRow(this, Row);
        }
        state = stFinished;
        return true;
    default:
        return false;
    }
}

void VListItem::setOwner(VListViewUser* Owner)
{
    owner = Owner;
    activate();
}

void VListItem::rowInserted() {}
void VListItem::rowDeleted() {}
void VListItem::neighbourRemoved() {}
void VListItem::neighbourAdded() {}
bool VListItem::canEdit() { return true; }
int VListItem::getNumber() const { return number; }
bool VListItem::hasRow() const { return rowShown; }
bool VListItem::isHidden() const { return false; }

void VListItem::setText(int, const std::string&)
{
    activate();
}

std::string VListItem::rowText()
{
    if (!owner)
        return "=-1,";
    MirrorItem row;
    row.image = image;
    refreshTexts(row);
    return row.caption + "=" + std::to_string(row.image) + "," + Tixutils::VGetCommaText(row.subItems);
}

void VListItem::setFromText(const std::string& Text)
{
    int value = 0;
    const char* end = Text.data() + Text.size();
    const auto [last, error] = std::from_chars(Text.data(), end, value);
    if (error == std::errc() && last == end && !Text.empty())
        number = value < 0 ? 0 : value;
}

void VListItem::setImage(int Index)
{
    image = Index;
    activate();
}

void VListItem::removeRow()
{
    if (rowShown && owner)
        owner->takeRow(this, owner->rowOf(this));
}

void VListItem::release()
{
    if (holds <= 0)
        return;
    // The last holder let go of a row that has left the view: the next pass
    // frees it.
    if (--holds == 0 && state == stFinished && owner)
        owner->activate();
}
