#pragma once
#include <memory>
#include <string>
#include <vector>

#include "phonebook/phonebook_record.h"

class VTixPhoneBook;

// One phonebook memory of the device ("SM", "ME", "FD", ...): its entries
// sorted by position, the positions it has and those already read (number
// lists such as "1-5,8"), what is known of its write limits, and how
// often selecting it failed. It owns its entries. A memory starts
// read-only with nothing known.
class VTixPhoneBookStorage {
public:
    // Selections that may fail before the memory is given up.
    static constexpr int MaxFailures = 3;

    VTixPhoneBookStorage(VTixPhoneBook* model, const std::string& name);
    VTixPhoneBookStorage(const VTixPhoneBookStorage&) = delete;
    VTixPhoneBookStorage& operator=(const VTixPhoneBookStorage&) = delete;
    // Deletes the entries from the last to the first, without notices: a
    // memory is deleted only once it has left the model.
    virtual ~VTixPhoneBookStorage();

    // Deletes the entry (it leaves the list and the view).
    virtual void removeRecord(VTixPhoneBookRecord* entry);
    // The next interval to read: -1, -1 and true while the range is not
    // known; false when all is read or the memory was given up.
    virtual bool nextReadRange(int& first, int& last) const;
    // The position of the next entry to write. Drops the given-up entries
    // first. -1 and true while the write limits are not known; false when
    // nothing is to be written, or -1 and false while an entry outside the
    // writable range heads the queue. Nothing is written to a read-only
    // or given-up memory.
    virtual bool nextWrite(int& position);
    virtual void addFailure();
    virtual void resetFailures();

    // The entry at `index`; missing: none, or with `create` a new one at
    // its sorted place.
    VTixPhoneBookRecord* findRecord(int index, bool create);
    VTixPhoneBookRecord* getRecord(int index) { return findRecord(index, true); }
    // An entry changed: the write scan and the view are told.
    void recordChanged(VTixPhoneBookRecord* entry);
    void addUsedRange(int from, int to);
    void addReadRange(int from, int to);
    // The first interval of the used positions; true when they are that
    // one interval (or none: -1, -1). False, first and last untouched,
    // while the write limits are not known.
    bool writableRange(int& first, int& last) const;
    // The first position from `index` that holds no entry with content.
    int firstFreeIndex(int index) const;

    // Position of an entry in the sorted list, -1 when not there.
    int positionOf(const VTixPhoneBookRecord* entry) const;
    int recordCount() const { return int(records.size()); }
    VTixPhoneBookRecord* recordAtPosition(int position) const;

    VTixPhoneBook* getModel() const { return model; }
    const std::string& getName() const { return name; }
    const std::string& getUsedRange() const { return usedRange; }
    const std::string& getReadRange() const { return readRange; }
    int getWriteCursor() const { return writeCursor; }
    int getFailures() const { return failures; }
    bool isReadOnly() const { return readOnly; }
    bool isRangeKnown() const { return rangeKnown; }
    bool isLimitsKnown() const { return limitsKnown; }
    int getMaxTextLength() const { return maxTextLength; }
    int getMaxNumberLength() const { return maxNumberLength; }

private:
    friend class VTixPhoneBook;

    bool isDisplayed() const;

    VTixPhoneBook* model;
    std::string usedRange;
    std::string readRange;
    // usedRange less readRange, kept so that asking costs no allocation.
    std::string unreadRange;
    int writeCursor = 0;
    int failures = 0;
    bool readOnly = true;
    bool rangeKnown = false;
    bool limitsKnown = false;
    int maxTextLength = 0;
    int maxNumberLength = 0;
    std::vector<std::unique_ptr<VTixPhoneBookRecord>> records;
    std::string name;
};
