#include "phonebook/phonebook.h"

#include "foundation/tixutils_gsm.h"
#include "foundation/tixutils_text.h"
#include "phonebook/phonebook_observer.h"

namespace {

// Memory codes are ASCII: only ASCII letters change.
void UpperCodeInPlace(std::string& text)
{
    for (char& c : text)
        if (c >= 'a' && c <= 'z')
            c = char(c - 'a' + 'A');
}

std::string UpperCode(std::string text)
{
    UpperCodeInPlace(text);
    return text;
}

}  // namespace

VTixPhoneBook::VTixPhoneBook()
{
    clear();
}

VTixPhoneBook::~VTixPhoneBook()
{
    OnStoragesChanged = nullptr;
    OnDeviceStorageChanged = nullptr;
    attachObserver(nullptr);
    deviceStorage = nullptr;
    displayedStorage = nullptr;
    while (!storages.empty())
        storages.pop_back();
}

VTixPhoneBookStorage* VTixPhoneBook::storageAt(int position) const
{
    if (position < 0 || position >= int(storages.size()))
        return nullptr;
    return storages[size_t(position)].get();
}

int VTixPhoneBook::positionOf(const VTixPhoneBookStorage* storage) const
{
    for (size_t i = 0; i < storages.size(); ++i)
        if (storages[i].get() == storage)
            return int(i);
    return -1;
}

void VTixPhoneBook::fireStoragesChanged()
{
    if (OnStoragesChanged)
        OnStoragesChanged(*this);
}

void VTixPhoneBook::fireDeviceStorageChanged()
{
    if (OnDeviceStorageChanged)
        OnDeviceStorageChanged(*this);
}

void VTixPhoneBook::removeStorage(VTixPhoneBookStorage* storage)
{
    const int position = positionOf(storage);
    if (position < 0)
        return;
    std::unique_ptr<VTixPhoneBookStorage> gone = std::move(storages[size_t(position)]);
    storages.erase(storages.begin() + position);
    // The cursor stays on the memory it was on.
    if (position < writeCursor)
        --writeCursor;
    if (gone->getName() == wantedStorage)
        setWantedStorage("");
    if (deviceStorage == gone.get())
        deviceStorage = nullptr;
    if (displayedStorage == gone.get()) {
        setDisplayedStorage("");
        refreshView();
    }
    fireStoragesChanged();
}

void VTixPhoneBook::setWantedStorage(const std::string& text)
{
    std::string rest = UpperCode(text);
    wantedStorage = Tixutils::CutString(rest);
}

std::string VTixPhoneBook::displayedStorageName() const
{
    return displayedStorage ? displayedStorage->getName() : std::string();
}

void VTixPhoneBook::setDisplayedStorage(const std::string& name)
{
    const std::string code = UpperCode(name);
    if (code == displayedStorageName())
        return;
    displayedStorage = storageByName(code);
    if (observer)
        observer->displayedStorageReplaced(displayedStorage);
    refreshView();
}

void VTixPhoneBook::attachObserver(VTixPhoneBookObserver* view)
{
    if (observer && observer != view) {
        VTixPhoneBookObserver* old = observer;
        observer = nullptr;
        old->phonebookDetached(*this);
    }
    observer = view;
    if (observer)
        observer->displayedStorageReplaced(displayedStorage);
    refreshView();
}

void VTixPhoneBook::refreshView()
{
    focusIndex = -1;
}

void VTixPhoneBook::setDeviceStorage(const std::string& name)
{
    VTixPhoneBookStorage* storage = storageByName(name);
    if (storage == deviceStorage)
        return;
    deviceStorage = storage;
    if (storage)
        storage->resetFailures();
    fireDeviceStorageChanged();
}

VTixPhoneBookStorage* VTixPhoneBook::storageByName(const std::string& name)
{
    if (name.empty())
        return nullptr;
    const std::string code = UpperCode(name);
    for (const auto& storage : storages)
        if (storage->getName() == code)
            return storage.get();
    storages.push_back(std::make_unique<VTixPhoneBookStorage>(this, code));
    VTixPhoneBookStorage* made = storages.back().get();
    fireStoragesChanged();
    storageChanged(made);
    return made;
}

int VTixPhoneBook::storageIndex(const std::string& name)
{
    return positionOf(storageByName(name));
}

void VTixPhoneBook::storageChanged(const VTixPhoneBookStorage* storage)
{
    const int position = positionOf(storage);
    if (position >= 0 && position < writeCursor)
        writeCursor = position;
}

VTixPhoneBookRecord* VTixPhoneBook::recordAt(int index)
{
    return deviceStorage ? deviceStorage->getRecord(index) : nullptr;
}

void VTixPhoneBook::addUsedRange(int from, int to)
{
    if (deviceStorage)
        deviceStorage->addUsedRange(from, to);
}

void VTixPhoneBook::clear()
{
    while (!storages.empty())
        removeStorage(storages.back().get());
    writeCursor = 0;
    setWantedStorage("");
    setDeviceStorage("");
    setDisplayedStorage("");
    storagesKnown = false;
    fireStoragesChanged();
    focusIndex = -1;
}

bool VTixPhoneBook::nextReadRange(std::string& name, int& first, int& last)
{
    // Asked on every tick: the name is upper-cased where it lies.
    UpperCodeInPlace(name);
    if (name.empty()) {
        for (const auto& storage : storages)
            if (storage->nextReadRange(first, last)) {
                name = storage->getName();
                return true;
            }
        return false;
    }
    VTixPhoneBookStorage* storage = storageByName(name);
    if (storage->isRangeKnown())
        return storage->nextReadRange(first, last);
    first = last = -1;
    name = storage->getName();
    return true;
}

void VTixPhoneBook::takeWrite(const VTixPhoneBookStorage& storage, int position, int& index,
                              std::string& number, int& type, std::string& text)
{
    if (position < 0) {
        index = -1;
        return;
    }
    const VTixPhoneBookRecord* entry = storage.recordAtPosition(position);
    index = entry->getIndex();
    std::string digits;
    Tixutils::GsmPhone2NumberType(entry->getEditedNumber(), digits, type);
    number = VTixPhoneBookRecord::DialDigits(digits);
    text = entry->getEditedText();
}

bool VTixPhoneBook::nextWrite(std::string& name, int& index, std::string& number, int& type,
                              std::string& text)
{
    // Asked on every tick: the name is upper-cased where it lies.
    UpperCodeInPlace(name);
    if (name.empty()) {
        for (int i = writeCursor; i < int(storages.size()); ++i) {
            VTixPhoneBookStorage& storage = *storages[size_t(i)];
            int position = 0;
            if (storage.nextWrite(position)) {
                name = storage.getName();
                takeWrite(storage, position, index, number, type, text);
                return true;
            }
            // Nothing to write there (not even behind a blocked entry).
            if (position == 0 && i == writeCursor)
                writeCursor = i + 1;
        }
        return false;
    }
    VTixPhoneBookStorage* storage = storageByName(name);
    name = storage->getName();
    if (!storage->isLimitsKnown()) {
        index = -1;
        return true;
    }
    int position = 0;
    if (!storage->nextWrite(position))
        return false;
    takeWrite(*storage, position, index, number, type, text);
    return true;
}

void VTixPhoneBook::setIndexRange(int first, int last, int numberLength, int textLength)
{
    if (!deviceStorage)
        return;
    deviceStorage->addUsedRange(first, last);
    deviceStorage->rangeKnown = true;
    deviceStorage->maxNumberLength = numberLength;
    deviceStorage->maxTextLength = textLength;
}

void VTixPhoneBook::setWriteLimits(int first, int last, int numberLength, int textLength)
{
    VTixPhoneBookStorage* storage = deviceStorage;
    if (!storage)
        return;
    if (first < last && first >= 1) {
        if (storage->readOnly) {
            storage->readOnly = false;
            storage->getRecord(VTixPhoneBookRecord::NewEntryIndex);
        }
        storage->maxNumberLength = numberLength;
        storage->maxTextLength = textLength;
    } else {
        storage->readOnly = true;
    }
    storage->limitsKnown = true;
}

void VTixPhoneBook::rangeRead(int from, int to)
{
    if (deviceStorage)
        deviceStorage->addReadRange(from, to);
}

void VTixPhoneBook::storageFailed(const std::string& name)
{
    if (storageIndex(name) >= 0)
        storageByName(name)->addFailure();
}

int VTixPhoneBook::fillStorageList(std::vector<std::string>& lines, const std::string& name,
                                   bool withDescriptions) const
{
    lines.resize(storages.size());
    int found = -1;
    for (size_t i = 0; i < storages.size(); ++i) {
        const std::string& code = storages[i]->getName();
        lines[i] = withDescriptions ? code + " (" + getText("Storage_" + code, "?") + ")" : code;
        if (code == name)
            found = int(i);
    }
    return found;
}

std::string VTixPhoneBook::getText(const std::string& key, const std::string& def) const
{
    return getText(Section, key, def);
}

std::string VTixPhoneBook::getText(const std::string& section, const std::string& key, const std::string& def) const
{
    return language ? language(section, key, def) : def;
}
