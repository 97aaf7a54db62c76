#include "phonebook/phonebook_storage.h"

#include <algorithm>

#include "foundation/tixutils_numberlist.h"
#include "phonebook/phonebook.h"
#include "phonebook/phonebook_observer.h"

namespace {

std::string Interval(int from, int to)
{
    return std::to_string(from) + "-" + std::to_string(to);
}

}  // namespace

VTixPhoneBookStorage::VTixPhoneBookStorage(VTixPhoneBook* model, const std::string& name)
    : model(model), name(name)
{
}

VTixPhoneBookStorage::~VTixPhoneBookStorage()
{
    while (!records.empty())
        records.pop_back();
}

bool VTixPhoneBookStorage::isDisplayed() const
{
    return model && model->getDisplayedStorage() == this;
}

VTixPhoneBookRecord* VTixPhoneBookStorage::recordAtPosition(int position) const
{
    if (position < 0 || position >= int(records.size()))
        return nullptr;
    return records[size_t(position)].get();
}

int VTixPhoneBookStorage::positionOf(const VTixPhoneBookRecord* entry) const
{
    if (!entry)
        return -1;
    const auto it = std::lower_bound(records.begin(), records.end(), entry->getIndex(),
                                     [](const auto& r, int index) { return r->getIndex() < index; });
    if (it == records.end() || it->get() != entry)
        return -1;
    return int(it - records.begin());
}

VTixPhoneBookRecord* VTixPhoneBookStorage::findRecord(int index, bool create)
{
    const auto it = std::lower_bound(records.begin(), records.end(), index,
                                     [](const auto& r, int i) { return r->getIndex() < i; });
    if (it != records.end() && (*it)->getIndex() == index)
        return it->get();
    if (!create)
        return nullptr;
    const int position = int(it - records.begin());
    VTixPhoneBookObserver* view = model ? model->getObserver() : nullptr;
    if (view)
        view->rowWillBeInserted(*this, position);
    auto entry = std::make_unique<VTixPhoneBookRecord>(this, index);
    VTixPhoneBookRecord* made = entry.get();
    records.insert(records.begin() + position, std::move(entry));
    if (view)
        view->rowChangeDone(*this);
    recordChanged(made);
    if (isDisplayed())
        model->refreshView();
    return made;
}

void VTixPhoneBookStorage::removeRecord(VTixPhoneBookRecord* entry)
{
    const int position = positionOf(entry);
    if (position < 0)
        return;
    VTixPhoneBookObserver* view = model ? model->getObserver() : nullptr;
    if (view)
        view->rowWillBeRemoved(*this, position);
    std::unique_ptr<VTixPhoneBookRecord> gone = std::move(records[size_t(position)]);
    records.erase(records.begin() + position);
    // The cursor stays on the entry it was on.
    if (position < writeCursor)
        --writeCursor;
    if (view)
        view->rowChangeDone(*this);
    gone.reset();
    if (model)
        model->storageChanged(this);
    if (isDisplayed())
        model->refreshView();
}

void VTixPhoneBookStorage::recordChanged(VTixPhoneBookRecord* entry)
{
    const int position = positionOf(entry);
    if (position < 0)
        return;
    if (position < writeCursor)
        writeCursor = position;
    if (model) {
        if (VTixPhoneBookObserver* view = model->getObserver())
            view->rowChanged(*this, position);
        model->storageChanged(this);
    }
}

void VTixPhoneBookStorage::addUsedRange(int from, int to)
{
    usedRange = Tixutils::NumberListAdd(usedRange, Interval(from, to));
    unreadRange = Tixutils::NumberListSub(usedRange, readRange);
}

void VTixPhoneBookStorage::addReadRange(int from, int to)
{
    readRange = Tixutils::NumberListAdd(readRange, Interval(from, to));
    unreadRange = Tixutils::NumberListSub(usedRange, readRange);
}

bool VTixPhoneBookStorage::nextReadRange(int& first, int& last) const
{
    if (failures >= MaxFailures)
        return false;
    first = last = -1;
    if (!rangeKnown)
        return true;
    int pos = 1;
    Tixutils::NumberListGetInterval(unreadRange, pos, first, last);
    return first >= 0;
}

bool VTixPhoneBookStorage::writableRange(int& first, int& last) const
{
    if (!limitsKnown)
        return false;
    first = last = -1;
    int pos = 1;
    Tixutils::NumberListGetInterval(usedRange, pos, first, last);
    return pos > int(usedRange.size());
}

bool VTixPhoneBookStorage::nextWrite(int& position)
{
    if (failures >= MaxFailures)
        return false;
    for (int i = int(records.size()) - 1; i >= writeCursor && i >= 0; --i)
        if (records[size_t(i)]->isEmptyPending())
            removeRecord(records[size_t(i)].get());
    if (!limitsKnown) {
        position = -1;
        return true;
    }
    // An entry cleared in a memory the device does not let us write would
    // otherwise be deleted again and again.
    if (readOnly)
        return false;
    while (writeCursor < int(records.size())) {
        const VTixPhoneBookRecord* entry = records[size_t(writeCursor)].get();
        if (!entry->needsWrite()) {
            ++writeCursor;
            continue;
        }
        int first = -1, last = -1;
        if (writableRange(first, last) && entry->getIndex() >= first && entry->getIndex() <= last) {
            position = writeCursor;
            return true;
        }
        position = -1;
        return false;
    }
    return false;
}

int VTixPhoneBookStorage::firstFreeIndex(int index) const
{
    int candidate = index;
    for (const auto& entry : records) {
        if (entry->getIndex() < candidate)
            continue;
        if (entry->getIndex() > candidate)
            break;
        if (!entry->getEditedNumber().empty() || !entry->getEditedText().empty())
            ++candidate;
    }
    return candidate;
}

void VTixPhoneBookStorage::addFailure()
{
    if (failures < MaxFailures)
        ++failures;
}

void VTixPhoneBookStorage::resetFailures()
{
    failures = 0;
}
