// The view side of the phonebook model: cell texts, the editors of the
// cells, moves and edits, commits, keys, colours, state images and hints
// of the tree that shows the displayed memory.
#include <charconv>

#include "foundation/tixutils_format.h"
#include "phonebook/phonebook.h"

namespace {

// A decimal integer, blanks before it allowed; `def` for anything else.
int DecimalOr(const std::string& text, int def)
{
    size_t p = text.find_first_not_of(" \t");
    if (p == std::string::npos)
        return def;
    if (text[p] == '+')
        ++p;
    int value = 0;
    const char* end = text.data() + text.size();
    const auto [rest, error] = std::from_chars(text.data() + p, end, value);
    return error == std::errc() && rest == end ? value : def;
}

// Empties the edits and commits them. An entry that never reached the
// device is forced pending: the next write scan drops it unwritten.
void Vacate(VTixPhoneBookRecord& entry, bool neverWritten)
{
    entry.setEditedNumber("");
    entry.setEditedText("");
    entry.markPending(neverWritten);
}

}  // namespace

int VTixPhoneBook::rowCount() const
{
    return displayedStorage ? displayedStorage->recordCount() : 0;
}

VTixPhoneBookRecord* VTixPhoneBook::recordOfRow(int row) const
{
    return displayedStorage ? displayedStorage->recordAtPosition(row) : nullptr;
}

int VTixPhoneBook::nodeOfRecord(const VTixPhoneBookRecord* entry) const
{
    if (!displayedStorage || !entry || !entry->belongsTo(displayedStorage))
        return -1;
    return displayedStorage->positionOf(entry);
}

bool VTixPhoneBook::isNewEntryRow(int row) const
{
    return displayedStorage && !displayedStorage->isReadOnly() && row >= 0 &&
           row == displayedStorage->recordCount() - 1;
}

VTixPhoneBookRecord* VTixPhoneBook::editableRecord(int row) const
{
    if (!displayedStorage || displayedStorage->isReadOnly() || !editorAttached)
        return nullptr;
    return recordOfRow(row);
}

std::string VTixPhoneBook::treeGetText(int row, int column) const
{
    const VTixPhoneBookRecord* entry = recordOfRow(row);
    if (!entry)
        return {};
    switch (column) {
    case tcIndex:
        return entry->getIndex() == VTixPhoneBookRecord::NewEntryIndex ? std::string()
                                                                       : std::to_string(entry->getIndex());
    case tcNumber:
        return entry->getEditedNumber();
    case tcText:
        return entry->getEditedText();
    default:
        return {};
    }
}

bool VTixPhoneBook::treeEditing(int row, int column) const
{
    if (!editableRecord(row))
        return false;
    if (column == tcIndex)
        return displayedStorage->isLimitsKnown();
    return column == tcNumber || column == tcText;
}

VTixPhoneBook::TTreeEditor VTixPhoneBook::treeCreateEditor(int row, int column) const
{
    TTreeEditor editor;
    const VTixPhoneBookRecord* entry = editableRecord(row);
    if (!entry)
        return editor;
    const VTixPhoneBookStorage& storage = *entry->getStorage();
    switch (column) {
    case tcIndex:
        editor.kind = TTreeEditor::ekNumber;
        if (!storage.writableRange(editor.minValue, editor.maxValue)) {
            editor.minValue = 1;
            editor.maxValue = 1000;
        }
        editor.offered = entry->getIndex() == VTixPhoneBookRecord::NewEntryIndex;
        editor.startValue = editor.offered ? storage.firstFreeIndex(editor.minValue) : entry->getIndex();
        break;
    case tcNumber:
    case tcText:
        // The lengths of the entry's own memory: the device may have
        // another one selected, or none.
        editor.kind = TTreeEditor::ekText;
        editor.startText = treeGetText(row, column);
        editor.maxLength = column == tcNumber ? storage.getMaxNumberLength() : storage.getMaxTextLength();
        break;
    default:
        break;
    }
    return editor;
}

std::string VTixPhoneBook::numberRefusal(const VTixPhoneBookRecord& entry, const std::string& text) const
{
    const int maxLength = entry.getStorage() ? entry.getStorage()->getMaxNumberLength() : 0;
    switch (VTixPhoneBookRecord::CheckNumber(text, maxLength)) {
    case VTixPhoneBookRecord::ncBadCharacters:
        return Tixutils::SafePrintf(getText("BadNumber", "\xC8\xEDslo \"%1\" obsahuje znaky, kter\xE9 telefonn\xED "
                                                         "\xE8\xEDslo m\xEDt nem\xF9\x9E" "e (jen \xE8\xEDslice, + na "
                                                         "za\xE8\xE1tku, *, #, mezery a -)"),
                                    {text});
    case VTixPhoneBookRecord::ncTooLong:
        return Tixutils::SafePrintf(getText("NumberTooLong", "\xC8\xEDslo \"%1\" m\xE1 v\xED" "c \xE8\xEDslic, "
                                                             "ne\x9E pam\xEC\x9D p\xF8ijme (nejv\xFD\x9A" "e %2)"),
                                    {text, maxLength});
    default:
        return {};
    }
}

std::string VTixPhoneBook::treeNewText(int row, int column, const std::string& text)
{
    VTixPhoneBookRecord* entry = recordOfRow(row);
    if (!entry)
        return {};
    if (column == tcNumber || column == tcText) {
        // A new edit of an entry the device refused tries it again, even
        // with the same value.
        if (column == tcNumber && !entry->setEditedNumber(text))
            return numberRefusal(*entry, text);
        if (column == tcText)
            entry->setEditedText(text);
        entry->clearRefusals();
        return {};
    }
    if (column != tcIndex)
        return {};
    VTixPhoneBookStorage& storage = *entry->getStorage();
    const int newIndex = DecimalOr(text, VTixPhoneBookRecord::NewEntryIndex);
    VTixPhoneBookRecord* target = entry;
    int first = -1, last = -1;
    // Positions below 1 lie outside every range, -1..-1 included.
    if (storage.writableRange(first, last) && newIndex >= first && newIndex <= last && newIndex >= 1)
        target = storage.getRecord(newIndex);
    if (target == entry)
        return {};
    target->setEditedNumber(entry->getEditedNumber());
    target->setEditedText(entry->getEditedText());
    target->markPending(false);
    focusIndex = newIndex;
    const bool neverWritten = entry->deviceNumber().empty() && entry->getDeviceText().empty() &&
                              entry->getIndex() != VTixPhoneBookRecord::NewEntryIndex;
    Vacate(*entry, neverWritten);
    return {};
}

int VTixPhoneBook::treeEdited()
{
    int row = -1;
    if (focusIndex >= 0 && displayedStorage)
        row = nodeOfRecord(displayedStorage->findRecord(focusIndex, false));
    focusIndex = -1;
    return row;
}

void VTixPhoneBook::treeFocusChanging(int oldRow, int newRow)
{
    if (oldRow == newRow)
        return;
    if (VTixPhoneBookRecord* entry = recordOfRow(oldRow))
        entry->markPending(false);
}

void VTixPhoneBook::treeExit(int focusedRow)
{
    if (VTixPhoneBookRecord* entry = recordOfRow(focusedRow))
        entry->markPending(false);
}

TColor VTixPhoneBook::treeBeforeItemErase(int row, bool selected) const
{
    const VTixPhoneBookRecord* entry = recordOfRow(row);
    return entry && entry->needsWrite() && !selected ? clYellow : clNone;
}

TColor VTixPhoneBook::treePaintText(int row, bool selected, bool treeFocused) const
{
    const VTixPhoneBookRecord* entry = recordOfRow(row);
    if (!entry)
        return clNone;
    // A given-up entry is no longer waiting: red, not the waiting colours.
    if (isRefusedEntry(*entry))
        return selected ? clNone : clRed;
    if (!entry->needsWrite())
        return clNone;
    return selected && treeFocused ? clYellow : clBlue;
}

bool VTixPhoneBook::isRefusedEntry(const VTixPhoneBookRecord& entry)
{
    return entry.isGivenUp() && entry.isPending() && (entry.isNumberModified() || entry.isTextModified());
}

int VTixPhoneBook::treeGetImageIndex(int row, int column) const
{
    const VTixPhoneBookRecord* entry = recordOfRow(row);
    if (!entry || column != tcIndex)
        return -1;
    if (isNewEntryRow(row))
        return imageNewEntry;
    if (isRefusedEntry(*entry))
        return imageRefused;
    return entry->isNumberModified() || entry->isTextModified() ? imageModified : -1;
}

std::string VTixPhoneBook::treeGetHint(int row) const
{
    if (const VTixPhoneBookRecord* entry = recordOfRow(row); entry && !isNewEntryRow(row) && isRefusedEntry(*entry))
        return Tixutils::SafePrintf(getText("WriteRefused", "Za\xF8\xEDzen\xED z\xE1pis odm\xEDtlo: %1"),
                                    {entry->getRefusalText()});
    if (!isNewEntryRow(row))
        return {};
    return getText("FillToAdd", "Vypl\xF2te polo\x9Eky pro p\xF8id\xE1n\xED nov\xE9ho z\xE1znamu");
}

VTixPhoneBook::TTreeKeyAction VTixPhoneBook::treeKeyUp(int key, int shift, const std::vector<int>& selectedRows,
                                                       int focusedRow)
{
    TTreeKeyAction action;
    if (!displayedStorage || !observer)
        return action;
    const bool ctrlAlone = shift == ssCtrl;
    if (key == vkDelete && !ctrlAlone) {
        // A memory the device does not let us write keeps its entries: a
        // delete would be refused again and again.
        if (displayedStorage->isReadOnly())
            return action;
        for (int row : selectedRows) {
            VTixPhoneBookRecord* entry = recordOfRow(row);
            if (!entry)
                continue;
            entry->setEditedNumber("");
            entry->setEditedText("");
            entry->markPending(false);
            action.deselect.push_back(row);
            if (row == focusedRow)
                action.clearFocus = true;
        }
        action.consumed = true;
    } else if (key == vkInsert && !ctrlAlone) {
        for (int row = 0; row < displayedStorage->recordCount(); ++row)
            if (recordOfRow(row)->getIndex() == VTixPhoneBookRecord::NewEntryIndex) {
                action.focusRow = row;
                action.editColumn = tcIndex;
                break;
            }
        action.consumed = true;
    } else if ((key == vkC || key == vkInsert) && ctrlAlone) {
        for (int row : selectedRows)
            if (const VTixPhoneBookRecord* entry = recordOfRow(row))
                action.clipboard += std::to_string(entry->getIndex()) + "\t" + entry->deviceNumber() + "\t" +
                                    entry->getDeviceText() + "\r\n";
        action.copy = true;
        action.consumed = true;
    }
    return action;
}
