#pragma once
#include <string>

class VTixSMSList;

// One message memory of the device (a memory name of AT+CPMS such as
// "SM") or the program's own "PC". A memory whose messages have not been
// listed yet counts as one pending operation of its list: creating it
// unlisted, and unmarking it, add one; marking it listed, and destroying
// it unlisted, take one away.
class VTixSMSStorage {
public:
    // "PC" is made listed, any other memory unlisted.
    VTixSMSStorage(VTixSMSList* list, const std::string& name);
    ~VTixSMSStorage();
    VTixSMSStorage(const VTixSMSStorage&) = delete;
    VTixSMSStorage& operator=(const VTixSMSStorage&) = delete;

    const std::string& GetName() const { return name_; }
    VTixSMSList* GetList() const { return list_; }
    // The memory's messages have been listed.
    bool GetFirstRead() const { return listed_; }
    void SetFirstRead(bool listed);
    // Capacity and used entries as the device last reported them; 0 unknown.
    int GetCapacity() const { return capacity_; }
    void SetCapacity(int capacity) { capacity_ = capacity; }
    int GetUsed() const { return used_; }
    void SetUsed(int used) { used_ = used; }

private:
    VTixSMSList* list_;
    std::string name_;
    bool listed_;
    int capacity_ = 0;
    int used_ = 0;
};
