#include "foundation/tixlist.h"

#include <algorithm>

#include "foundation/tixutils_format.h"

namespace Tixutils {

VTixList::~VTixList()
{
    VTixList::Clear();
}

void* VTixList::Get(int index) const
{
    if (index < 0 || index >= count_) {
        Error("List index out of bounds (%d)", index);
        return nullptr;
    }
    return items_[size_t(index)];
}

void VTixList::Put(int index, void* item)
{
    if (index < 0 || index >= count_) {
        Error("List index out of bounds (%d)", index);
        return;
    }
    items_[size_t(index)] = item;
}

int VTixList::Add(void* item)
{
    if (count_ == capacity_) {
        Grow();
        if (count_ == capacity_)
            return -1;  // an overridden Error did not throw
    }
    items_[size_t(count_)] = item;
    return count_++;
}

void VTixList::Insert(int index, void* item)
{
    if (index < 0 || index > count_) {
        Error("List index out of bounds (%d)", index);
        return;
    }
    if (count_ == capacity_) {
        Grow();
        if (count_ == capacity_)
            return;
    }
    void** p = items_.get();
    std::move_backward(p + index, p + count_, p + count_ + 1);
    p[index] = item;
    ++count_;
}

void VTixList::Delete(int index)
{
    if (index < 0 || index >= count_) {
        Error("List index out of bounds (%d)", index);
        return;
    }
    void** p = items_.get();
    std::move(p + index + 1, p + count_, p + index);
    --count_;
}

int VTixList::Remove(void* item)
{
    const int index = IndexOf(item);
    if (index >= 0)
        Delete(index);
    return index;
}

int VTixList::IndexOf(void* item) const
{
    for (int i = 0; i < count_; ++i)
        if (items_[size_t(i)] == item)
            return i;
    return -1;
}

void VTixList::Clear()
{
    items_.reset();
    count_ = 0;
    capacity_ = 0;
}

void VTixList::SetCapacity(int capacity)
{
    if (capacity < count_ || capacity >= MaxListSize) {
        Error("List capacity out of bounds (%d)", capacity);
        return;
    }
    if (capacity == capacity_)
        return;
    std::unique_ptr<void*[]> items;
    if (capacity > 0) {
        items = std::make_unique<void*[]>(size_t(capacity));  // null-filled
        std::copy(items_.get(), items_.get() + count_, items.get());
    }
    items_ = std::move(items);
    capacity_ = capacity;
}

void VTixList::SetCount(int count)
{
    if (count < 0 || count >= MaxListSize) {
        Error("List count out of bounds (%d)", count);
        return;
    }
    if (count > capacity_) {
        SetCapacity(count);
        if (count > capacity_)
            return;
    }
    if (count > count_)
        std::fill(items_.get() + count_, items_.get() + count, nullptr);
    count_ = count;
}

void VTixList::Grow()
{
    int delta = capacity_ > 64 ? capacity_ / 4 : capacity_ > 8 ? 16 : 4;
    if (capacity_ + delta >= MaxListSize)
        delta = std::max(1, MaxListSize - 1 - capacity_);
    SetCapacity(capacity_ + delta);
}

void VTixList::Error(const std::string& message, int value) const
{
    throw EListError(SafePrintf_d(message, value));
}

}  // namespace Tixutils
