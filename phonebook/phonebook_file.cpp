// The phonebook file: ini-like text in the ANSI code page, one section per
// memory ("[SM]"), one line per entry (1,"+420777123456","Jan Novak"),
// an empty line after each section. Saving writes the edited values;
// loading is a scan pass (which memories the file can fill) and an apply
// pass (the entries of the chosen memories, committed for writing).
#include <charconv>

#include "foundation/tixutils_format.h"
#include "foundation/tixutils_misc.h"
#include "foundation/tixutils_quote.h"
#include "phonebook/phonebook.h"
#include "platform/ini_file.h"

namespace {

std::string EntryLine(const VTixPhoneBookRecord& entry)
{
    return std::to_string(entry.getIndex()) + "," + Tixutils::AnsiQuotedStr(entry.getEditedNumber()) + "," +
           Tixutils::AnsiQuotedStr(entry.getEditedText());
}

bool ContainsIC(const std::vector<std::string>& list, const std::string& name)
{
    for (const std::string& item : list)
        if (Platform::SameTextIC(item, name))
            return true;
    return false;
}

std::string UpperAscii(std::string text)
{
    for (char& c : text)
        if (c >= 'a' && c <= 'z')
            c = char(c - 'a' + 'A');
    return text;
}

// Field 0 of an entry line: a decimal integer, -1 for anything else.
int IndexField(const std::string& field)
{
    int value = 0;
    const char* end = field.data() + field.size();
    const char* start = field.data() + (!field.empty() && field[0] == '+' ? 1 : 0);
    const auto [rest, error] = std::from_chars(start, end, value);
    return error == std::errc() && rest == end && start != end ? value : -1;
}

}  // namespace

std::string VTixPhoneBook::saveToFile(const std::string& fileName, const std::vector<int>& selectedRows)
{
    std::vector<std::string> lines;
    if (selectedRows.size() < 2 || !displayedStorage) {
        for (const auto& storage : storages) {
            lines.push_back("[" + storage->getName() + "]");
            for (int i = 0; i < storage->recordCount(); ++i) {
                const VTixPhoneBookRecord& entry = *storage->recordAtPosition(i);
                if (entry.getIndex() != VTixPhoneBookRecord::NewEntryIndex)
                    lines.push_back(EntryLine(entry));
            }
            lines.emplace_back();
        }
    } else {
        lines.push_back("[" + displayedStorageName() + "]");
        for (int row : selectedRows)
            if (const VTixPhoneBookRecord* entry = recordOfRow(row))
                lines.push_back(EntryLine(*entry));
        lines.emplace_back();
    }
    if (Platform::TIniFile::WriteLines(fileName, lines))
        return {};
    return Tixutils::SafePrintf(getText("CannotWriteToFile", "Nelze zapsat seznam do souboru %1"), {fileName});
}

std::string VTixPhoneBook::loadFromFile(const std::string& fileName, bool deleteOld, bool preservePositions,
                                        std::vector<std::string>& storageList, bool apply)
{
    std::vector<std::string> lines;
    if (!Platform::TIniFile::ReadLines(fileName, lines))
        return Tixutils::SafePrintf(getText("Common", "FileNotFound", "Nepoda\xF8ilo se nal\xE9zt soubor %1"),
                                    {fileName});
    if (apply && deleteOld)
        for (const auto& storage : storages) {
            // A memory the device does not let us write keeps its entries.
            if (storage->isReadOnly() || !ContainsIC(storageList, storage->getName()))
                continue;
            for (int i = 0; i < storage->recordCount(); ++i) {
                VTixPhoneBookRecord& entry = *storage->recordAtPosition(i);
                entry.setEditedNumber("");
                entry.setEditedText("");
                entry.markPending(false);
            }
        }

    std::string message;
    VTixPhoneBookStorage* current = nullptr;
    int first = -1, last = -1;
    std::vector<std::string> fields;
    for (size_t lineNo = 0; lineNo < lines.size(); ++lineNo) {
        const std::string& line = lines[lineNo];
        if (line.size() >= 2 && line.front() == '[' && line.back() == ']') {
            const std::string content = line.substr(1, line.size() - 2);
            if (!apply) {
                // Each memory once, however often the file names it.
                const VTixPhoneBookStorage* storage = nullptr;
                for (const auto& s : storages)
                    if (Platform::SameTextIC(s->getName(), content))
                        storage = s.get();
                if (!content.empty() && storage && !storage->isReadOnly() && !ContainsIC(storageList, content))
                    storageList.push_back(UpperAscii(content));
                continue;
            }
            current = nullptr;
            if (!content.empty() && ContainsIC(storageList, content)) {
                current = storageByName(content);
                first = last = -1;
                current->writableRange(first, last);
            }
            continue;
        }
        if (!apply || !current || current->isReadOnly())
            continue;
        Tixutils::VSetCommaText(fields, line);
        if (fields.size() < 3)
            continue;
        // Positions below 1 lie outside every range, -1..-1 included: a
        // memory whose range is not known yet takes nothing.
        int index;
        if (preservePositions) {
            index = IndexField(fields[0]);
            if (index < first || index > last || index < 1) {
                message = Tixutils::SafePrintf(
                    getText("LoadingBadIndex", "Ulo\x9E" "en\xFD z\xE1znam na \xF8\xE1" "dku %1 m\xE1 chybn\xFD index "
                                               "(%2, lze %3..%4)"),
                    {int(lineNo), index, first, last});
                continue;
            }
        } else {
            index = current->firstFreeIndex(first);
            if (index < first || index > last || index < 1) {
                message = Tixutils::SafePrintf(
                    getText("LoadingTooMany", "Ulo\x9E" "en\xFD z\xE1znam na \xF8\xE1" "dku %1 (%2: %3) se ji\x9E "
                                              "nevejde do pam\xECti za\xF8\xEDzen\xED"),
                    {int(lineNo), fields[2], fields[1]});
                continue;
            }
        }
        VTixPhoneBookRecord* entry = current->getRecord(index);
        entry->setEditedNumber(fields[1]);
        entry->setEditedText(fields[2]);
        entry->markPending(false);
    }
    return message;
}
