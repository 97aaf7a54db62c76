#include "tests/phonebook/checking_view.h"

void TCheckingView::rowWillBeInserted(const VTixPhoneBookStorage& storage, int row)
{
    log.push_back("insert " + storage.getName() + " " + std::to_string(row));
    if (open)
        fault("insert inside another change: " + log.back());
    if (row < 0 || row > storage.recordCount())
        fault("insert row out of range: " + log.back());
    open = &storage;
    expectedCount = storage.recordCount() + 1;
    removing = nullptr;
}

void TCheckingView::rowWillBeRemoved(const VTixPhoneBookStorage& storage, int row)
{
    log.push_back("remove " + storage.getName() + " " + std::to_string(row));
    if (open)
        fault("remove inside another change: " + log.back());
    if (row < 0 || row >= storage.recordCount())
        fault("remove row out of range: " + log.back());
    open = &storage;
    expectedCount = storage.recordCount() - 1;
    removing = storage.recordAtPosition(row);
}

void TCheckingView::rowChangeDone(const VTixPhoneBookStorage& storage)
{
    log.push_back("done " + storage.getName());
    if (open != &storage)
        fault("done without its change: " + log.back());
    else if (storage.recordCount() != expectedCount)
        fault("done with " + std::to_string(storage.recordCount()) + " rows, not " + std::to_string(expectedCount));
    else if (removing && storage.positionOf(removing) >= 0)
        fault("the removed row is still there");
    open = nullptr;
    removing = nullptr;
}

void TCheckingView::rowChanged(const VTixPhoneBookStorage& storage, int row)
{
    log.push_back("changed " + storage.getName() + " " + std::to_string(row));
    if (open)
        fault("changed inside a change: " + log.back());
    if (row < 0 || row >= storage.recordCount())
        fault("changed row out of range: " + log.back());
}

void TCheckingView::displayedStorageReplaced(const VTixPhoneBookStorage* storage)
{
    log.push_back("shown " + (storage ? storage->getName() : std::string("-")));
    if (open)
        fault("shown inside a change");
}

std::string TCheckingView::take()
{
    std::string joined;
    for (const auto& l : log)
        joined += (joined.empty() ? "" : "|") + l;
    log.clear();
    return joined;
}
