// Phonebook files of any content, loaded into a model of a device with a
// writable SIM memory, a memory whose positions are not known yet and a
// read-only one. The scan offers only memories the device can write,
// each once; loading creates no memory, fills only positions within the
// writable range and touches no read-only memory; what is saved then
// loads back into a fresh model as the same entries.
//
// Input: one control byte (delete old, keep positions, which offered
// memories are chosen), then the file's bytes.
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "fuzz/support/fuzz_input.h"
#include "fuzz/support/qt_core_app.h"
#include "phonebook/phonebook.h"
#include "platform/ini_file.h"

namespace {

// SM 1..250 with three entries (one text with quotes and a comma), ME
// writable with its positions unknown, LD read-only with one entry.
void Device(VTixPhoneBook& model)
{
    model.setDeviceStorage("SM");
    model.setIndexRange(1, 250, 20, 18);
    const char* const texts[] = {"Jan \"Honza\", N.", "Petr", ""};
    for (int i = 0; i < 3; ++i) {
        VTixPhoneBookRecord* r = model.recordAt(1 + 2 * i);
        r->setDeviceNumber(i == 1 ? "+420602000003" : "60200000" + std::to_string(i));
        r->setDeviceText(texts[i]);
    }
    model.rangeRead(1, 250);
    model.setWriteLimits(1, 250, 20, 18);
    model.setDeviceStorage("ME");
    model.setWriteLimits(1, 100, 40, 16);
    model.setDeviceStorage("LD");
    model.setIndexRange(1, 10, 20, 18);
    model.recordAt(4)->setDeviceNumber("603555111");
    model.setWriteLimits(-1, -1, 0, 0);
    model.setDisplayedStorage("SM");
}

bool Sorted(const VTixPhoneBookStorage& s)
{
    for (int i = 1; i < s.recordCount(); ++i)
        if (s.recordAtPosition(i - 1)->getIndex() >= s.recordAtPosition(i)->getIndex())
            return false;
    return true;
}

bool SameEntries(const VTixPhoneBookStorage& a, const VTixPhoneBookStorage& b)
{
    if (a.recordCount() != b.recordCount())
        return false;
    for (int i = 0; i < a.recordCount(); ++i) {
        const VTixPhoneBookRecord& x = *a.recordAtPosition(i);
        const VTixPhoneBookRecord& y = *b.recordAtPosition(i);
        if (x.getIndex() != y.getIndex() || x.getEditedNumber() != y.getEditedNumber() ||
            x.getEditedText() != y.getEditedText())
            return false;
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    Fuzz::TInput in(data, size);
    const uint8_t control = in.byte();
    const std::string bytes = in.rest();
    const std::string path = std::string(Fuzz::TempFolder()) + "/phonebook.ini";
    const std::string saved = std::string(Fuzz::TempFolder()) + "/saved.ini";
    Fuzz::WriteWholeFile(path, bytes);

    VTixPhoneBook model;
    Device(model);
    std::vector<std::string> offered;
    model.loadFromFile(path, false, false, offered, false);
    for (size_t i = 0; i < offered.size(); ++i) {
        FUZZ_REQUIRE(offered[i] == "SM" || offered[i] == "ME");
        for (size_t j = 0; j < i; ++j)
            FUZZ_REQUIRE(offered[i] != offered[j]);
    }
    std::vector<std::string> chosen;
    for (size_t i = 0; i < offered.size(); ++i)
        if (control >> (2 + i) & 1)
            chosen.push_back(offered[i]);
    const bool deleteOld = control & 1, keep = control & 2;
    model.loadFromFile(path, deleteOld, keep, chosen, true);

    FUZZ_REQUIRE(model.storageCount() == 3);
    const VTixPhoneBookStorage& sm = *model.storageByName("SM");
    const VTixPhoneBookStorage& me = *model.storageByName("ME");
    const VTixPhoneBookStorage& ld = *model.storageByName("LD");
    FUZZ_REQUIRE(Sorted(sm) && Sorted(me));
    for (int i = 0; i < sm.recordCount(); ++i) {
        const int index = sm.recordAtPosition(i)->getIndex();
        FUZZ_REQUIRE((index >= 1 && index <= 250) || index == VTixPhoneBookRecord::NewEntryIndex);
    }
    // Positions unknown: only the new-entry row.
    FUZZ_REQUIRE(me.recordCount() == 1);
    FUZZ_REQUIRE(ld.recordCount() == 1 && !ld.recordAtPosition(0)->isPending() &&
                 ld.recordAtPosition(0)->getEditedNumber() == "603555111");

    // What is saved loads back as the same entries.
    FUZZ_REQUIRE(model.saveToFile(saved).empty());
    VTixPhoneBook again;
    Device(again);
    std::vector<std::string> all{"SM"};
    again.loadFromFile(saved, true, true, all, true);
    FUZZ_REQUIRE(SameEntries(sm, *again.storageByName("SM")));
    return 0;
}
