#pragma once

class VTixPhoneBook;
class VTixPhoneBookStorage;

// What the phonebook model tells its view: the rows of a memory's entry
// list (row n is the entry at position n of the sorted list) as they are
// inserted, removed and changed, and the memory the view shows. Every
// change of a memory's entry list comes between a "will be" notice and
// rowChangeDone, so a Qt item model can pass them on as row signals.
// Notices come for every memory; the view picks the one it shows.
class VTixPhoneBookObserver {
public:
    virtual ~VTixPhoneBookObserver() = default;

    // Row `row` of `storage` will be inserted; rowChangeDone follows.
    virtual void rowWillBeInserted(const VTixPhoneBookStorage& storage, int row) {}
    // Row `row` of `storage` will be removed; rowChangeDone follows.
    virtual void rowWillBeRemoved(const VTixPhoneBookStorage& storage, int row) {}
    // The insertion or removal announced last is done.
    virtual void rowChangeDone(const VTixPhoneBookStorage& storage) {}
    // The values of row `row` of `storage` changed.
    virtual void rowChanged(const VTixPhoneBookStorage& storage, int row) {}
    // The model shows another memory now (null: none). A memory that
    // leaves the model was replaced as the shown one before it goes; its
    // entries then go without notices.
    virtual void displayedStorageReplaced(const VTixPhoneBookStorage* storage) {}
    // The model tells this view no more: another view was attached, or
    // the model goes away (its memories go without notices).
    virtual void phonebookDetached(const VTixPhoneBook& model) {}
};
