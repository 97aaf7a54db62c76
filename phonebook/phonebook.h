#pragma once
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "phonebook/phonebook_record.h"
#include "phonebook/phonebook_storage.h"
#include "platform/colors.h"

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
    // (the digits as dialled: grouping blanks and dashes left out) and its
    // edited text. Index -1 (and true) while the memory's write
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

    // ---- The view (phonebook_view.cpp) --------------------------------
    // The tree shows the displayed memory, row n = its entry n, in three
    // columns. Its events come here as plain operations; the window's tree
    // and its item model do what the answers say.
    enum TTreeColumn { tcIndex = 0, tcNumber = 1, tcText = 2, TreeColumnCount = 3 };
    // Keys of treeKeyUp and the bits of its shift state (Windows codes).
    static constexpr int vkInsert = 0x2D;
    static constexpr int vkDelete = 0x2E;
    static constexpr int vkC = 'C';
    enum TShiftBits { ssShift = 1, ssAlt = 2, ssCtrl = 4, ssLeft = 8, ssRight = 16, ssMiddle = 32 };
    // State images of column 0.
    static constexpr int imageModified = 1;
    static constexpr int imageNewEntry = 2;
    // An entry the device refused to write and that was given up.
    static constexpr int imageRefused = 3;

    // The in-place editor of a cell: the position editor with its limits
    // and start value, or the text editor with its start text and maximum
    // length (0: none); ekNone: the cell is not edited.
    struct TTreeEditor {
        enum TKind { ekNone, ekNumber, ekText } kind = ekNone;
        int minValue = 0;
        int maxValue = 0;
        int startValue = 0;
        std::string startText;
        int maxLength = 0;
        // The start value is offered (the new-entry row's first free
        // position), not the cell's own: taking it unchanged is an edit.
        bool offered = false;
    };
    // What the tree does after a key: rows to deselect (and the focus
    // taken away when it was on one of them), a row to focus alone and
    // edit in a column, text for the clipboard; consumed: the key is used.
    struct TTreeKeyAction {
        bool consumed = false;
        std::vector<int> deselect;
        bool clearFocus = false;
        int focusRow = -1;
        int editColumn = -1;
        bool copy = false;
        std::string clipboard;
    };

    // The view has the cell editors (the tree edits nothing without them).
    void setEditorAttached(bool attached) { editorAttached = attached; }
    bool isEditorAttached() const { return editorAttached; }
    // The entry of a row of the displayed memory; none outside the rows.
    VTixPhoneBookRecord* recordOfRow(int row) const;
    // The row of an entry of the displayed memory, -1 when not shown.
    virtual int nodeOfRecord(const VTixPhoneBookRecord* entry) const;
    // Rows of the displayed memory (0 without one).
    int rowCount() const;

    virtual std::string treeGetText(int row, int column) const;
    virtual bool treeEditing(int row, int column) const;
    virtual TTreeEditor treeCreateEditor(int row, int column) const;
    // A cell's new text: a number or name edited (not committed), or the
    // entry moved to the position typed into column 0. "" when taken,
    // else why not (a number no dial string can be): nothing changed.
    virtual std::string treeNewText(int row, int column, const std::string& text);
    // After an edit: the row to focus (the entry moved to), -1 for none.
    virtual int treeEdited();
    // Leaving a row commits its edits; so does leaving the tree.
    virtual void treeFocusChanging(int oldRow, int newRow);
    virtual void treeExit(int focusedRow);
    // The background of a row (clNone: the normal one) and its text
    // colour: yellow with blue text while it waits to be written.
    virtual TColor treeBeforeItemErase(int row, bool selected) const;
    virtual TColor treePaintText(int row, bool selected, bool treeFocused) const;
    // The state image of a cell, -1 for none.
    virtual int treeGetImageIndex(int row, int column) const;
    virtual std::string treeGetHint(int row) const;
    // Delete, Insert and the copy keys; `selectedRows` in tree order.
    virtual TTreeKeyAction treeKeyUp(int key, int shift, const std::vector<int>& selectedRows, int focusedRow);

    // ---- The phonebook file (phonebook_file.cpp) ------------------------
    // Writes every memory's edited entries, or with two or more selected
    // rows of the displayed memory only those; "" on success, else the
    // message.
    virtual std::string saveToFile(const std::string& fileName, const std::vector<int>& selectedRows = {});
    // Scan (apply false): adds to `storages` the memories of the file that
    // the device has and can write. Apply: loads the entries of the memories
    // named in `storages`. "" when every line was taken, else the message
    // of the last line refused.
    virtual std::string loadFromFile(const std::string& fileName, bool deleteOld, bool preservePositions,
                                     std::vector<std::string>& storages, bool apply);

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

    // The text of `key` in another section, `def` without a language.
    std::string getText(const std::string& section, const std::string& key, const std::string& def) const;
    // The displayed memory's entry of a row when it may be edited.
    VTixPhoneBookRecord* editableRecord(int row) const;
    // The row is the new-entry row of a writable memory (its last one).
    bool isNewEntryRow(int row) const;
    // An edit the device refused until it was given up.
    static bool isRefusedEntry(const VTixPhoneBookRecord& entry);
    // Why treeNewText takes no number: a language text.
    std::string numberRefusal(const VTixPhoneBookRecord& entry, const std::string& text) const;

    TLangText language;
    VTixPhoneBookObserver* observer = nullptr;
    bool editorAttached = false;
    int writeCursor = 0;
    int focusIndex = -1;
    VTixPhoneBookStorage* deviceStorage = nullptr;
    std::vector<std::unique_ptr<VTixPhoneBookStorage>> storages;
    std::string wantedStorage;
    VTixPhoneBookStorage* displayedStorage = nullptr;
    bool storagesKnown = false;
};
