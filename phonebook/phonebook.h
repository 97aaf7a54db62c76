#pragma once
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "phonebook/phonebook_record.h"
#include "phonebook/phonebook_storage.h"

class VTixPhoneBookObserver;

// The phonebook model: the device's memories in the order they became
// known, each with its entries, and the three memories it tracks: the one
// selected on the device, the one the device is to be switched to (the
// user's choice) and the one shown. It tells the phonebook handler what to
// read, write and delete next (nextReadRange, nextWrite) and takes what
// the device answered. It owns its memories.
//
// Two cursors keep the write scan cheap: below the model's writeCursor no
// memory, below a memory's writeCursor no entry needs writing. They move
// forward during a scan and back when an entry or a memory changes.
class VTixPhoneBook {
public:
    using TNotify = std::function<void(VTixPhoneBook& sender)>;
    // A language text: section, key, default.
    using TLangText =
        std::function<std::string(const std::string& section, const std::string& key, const std::string& def)>;

    // Translation section of the model's texts.
    static constexpr const char* Section = "Phonebook";

    VTixPhoneBook();
    VTixPhoneBook(const VTixPhoneBook&) = delete;
    VTixPhoneBook& operator=(const VTixPhoneBook&) = delete;
    // Detaches the view and deletes the memories from the last to the
    // first, without notices.
    virtual ~VTixPhoneBook();

    // Takes the memory out of the list and deletes it.
    virtual void removeStorage(VTixPhoneBookStorage* storage);
    // The memory code of a selector item such as "SM (SIM karta)" (its
    // first word, upper-cased) becomes the memory the device is to use.
    virtual void setWantedStorage(const std::string& text);
    virtual std::string displayedStorageName() const;
    // The memory of that name (created when missing; none for "") is shown.
    virtual void setDisplayedStorage(const std::string& name);
    // The view to tell of every change (none: null); it learns the shown
    // memory at once.
    virtual void attachObserver(VTixPhoneBookObserver* observer);
    virtual void fireDeviceStorageChanged();
    // The memory of that name is the one selected on the device; a memory
    // that becomes it starts its failure count anew.
    virtual void setDeviceStorage(const std::string& name);
    // The next interval to read. With a name: that memory (-1, -1 and
    // true while its range is unknown). With "": the first memory that
    // has something to read; the name is set to it.
    virtual bool nextReadRange(std::string& name, int& first, int& last);
    // The memory of that name, upper-cased; created and announced when
    // missing. None for "".
    virtual VTixPhoneBookStorage* storageByName(const std::string& name);
    // The entry at `index` of the device memory, created when missing;
    // none without a device memory.
    virtual VTixPhoneBookRecord* recordAt(int index);
    virtual void addUsedRange(int from, int to);
    // Every memory and entry gone, the memory list unknown.
    virtual void clear();
    // The next entry to write: its index and, split, its edited number
    // and its edited text. Index -1 (and true) while the memory's write
    // limits are not known. With a name: that memory; with "": the first
    // memory from the cursor that has something to write.
    virtual bool nextWrite(std::string& name, int& index, std::string& number, int& type, std::string& text);
    // The device memory's index range and lengths (its positions first..last).
    virtual void setIndexRange(int first, int last, int numberLength, int textLength);
    // The device memory's write limits; a range of at least two positions
    // from 1 on makes it writable, anything else read-only.
    virtual void setWriteLimits(int first, int last, int numberLength, int textLength);
    // first..last of the device memory are read.
    virtual void rangeRead(int from, int to);
    // Selecting the memory of that name failed.
    virtual void storageFailed(const std::string& name);
    // One line per memory in list order: the bare code, or with
    // descriptions "SM (SIM karta)". Returns the position of `name`, -1.
    virtual int fillStorageList(std::vector<std::string>& lines, const std::string& name,
                                bool withDescriptions) const;
    // Position of the memory of that name (created when missing), -1 for "".
    virtual int storageIndex(const std::string& name);
    // The shown list was rebuilt: no entry waits for the focus.
    virtual void refreshView();

    // The memory changed: the write scan looks at it again.
    void storageChanged(const VTixPhoneBookStorage* storage);
    // The text of `key` in section "Phonebook", `def` without a language.
    std::string getText(const std::string& key, const std::string& def) const;
    void setLanguage(TLangText language) { this->language = std::move(language); }

    int storageCount() const { return int(storages.size()); }
    VTixPhoneBookStorage* storageAt(int position) const;
    // Position of a memory in the list, -1 when not there.
    int positionOf(const VTixPhoneBookStorage* storage) const;
    VTixPhoneBookStorage* getDeviceStorage() const { return deviceStorage; }
    VTixPhoneBookStorage* getDisplayedStorage() const { return displayedStorage; }
    const std::string& getWantedStorage() const { return wantedStorage; }
    VTixPhoneBookObserver* getObserver() const { return observer; }
    bool isStoragesKnown() const { return storagesKnown; }
    void setStoragesKnown(bool known) { storagesKnown = known; }
    int getWriteCursor() const { return writeCursor; }
    int getFocusIndex() const { return focusIndex; }
    void setFocusIndex(int index) { focusIndex = index; }

    // The memory list changed (memories added or removed).
    TNotify OnStoragesChanged;
    // The device memory changed.
    TNotify OnDeviceStorageChanged;

private:
    void fireStoragesChanged();
    // The entry at `position` of the memory as a write: index, number, type, text.
    static void takeWrite(const VTixPhoneBookStorage& storage, int position, int& index,
                          std::string& number, int& type, std::string& text);

    TLangText language;
    VTixPhoneBookObserver* observer = nullptr;
    int writeCursor = 0;
    int focusIndex = -1;
    VTixPhoneBookStorage* deviceStorage = nullptr;
    std::vector<std::unique_ptr<VTixPhoneBookStorage>> storages;
    std::string wantedStorage;
    VTixPhoneBookStorage* displayedStorage = nullptr;
    bool storagesKnown = false;
};
