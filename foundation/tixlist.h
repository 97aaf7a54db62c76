#pragma once
#include <memory>
#include <stdexcept>
#include <string>

// An ordered list of object pointers (not owned) with explicit capacity.
namespace Tixutils {

// A list operation was given an index, capacity or count out of bounds.
class EListError : public std::out_of_range {
public:
    using std::out_of_range::out_of_range;
};

// A flag of the list class exported for its users (false at start-up);
// the list's own operations do not read it.
inline bool VTixList_IKnowInsert = false;

class VTixList {
public:
    // Capacity and count stay below this many items.
    static constexpr int MaxListSize = 0x8000000;

    VTixList() = default;
    virtual ~VTixList();
    VTixList(const VTixList&) = delete;
    VTixList& operator=(const VTixList&) = delete;

    // Index 0..Count-1, else "List index out of bounds (%d)".
    void* Get(int index) const;
    void Put(int index, void* item);
    // Appends, growing when full; the new item's index.
    int Add(void* item);
    // Index 0..Count; later items move up.
    void Insert(int index, void* item);
    void Delete(int index);
    // Deletes the first item equal to item: its former index, or -1.
    int Remove(void* item);
    int IndexOf(void* item) const;
    // Count and capacity become 0.
    virtual void Clear();

    int GetCapacity() const { return capacity_; }
    // Below the count or at the limit: "List capacity out of bounds (%d)".
    void SetCapacity(int capacity);
    int GetCount() const { return count_; }
    // Below 0 or at the limit: "List count out of bounds (%d)"; new items
    // are null.
    void SetCount(int count);
    // The item array, null while the capacity is 0.
    void** GetList() { return capacity_ > 0 ? items_.get() : nullptr; }

protected:
    // Capacity above 64 grows by a quarter, above 8 by 16, else by 4.
    virtual void Grow();
    // Throws EListError with message (its "%d" filled with value).
    virtual void Error(const std::string& message, int value) const;

private:
    std::unique_ptr<void*[]> items_;
    int capacity_ = 0;
    int count_ = 0;
};

}  // namespace Tixutils
