// The phonebook model: its memories by name, the device, wanted and shown
// memory, the scans over all memories, the selector's lines.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "phonebook/phonebook.h"
#include "tests/phonebook/checking_view.h"

namespace {

std::string Names(const VTixPhoneBook& model)
{
    std::string out;
    for (int i = 0; i < model.storageCount(); ++i)
        out += (out.empty() ? "" : ",") + model.storageAt(i)->getName();
    return out;
}

}  // namespace

TEST(PhonebookModel, MemoriesAreUniqueUpperCaseAndAnnounced)
{
    VTixPhoneBook model;
    int changes = 0, deviceChanges = 0;
    model.OnStoragesChanged = [&](VTixPhoneBook& sender) {
        EXPECT_EQ(&sender, &model);
        ++changes;
    };
    model.OnDeviceStorageChanged = [&](VTixPhoneBook&) { ++deviceChanges; };
    EXPECT_EQ(model.storageByName(""), nullptr);
    VTixPhoneBookStorage* sm = model.storageByName("sm");
    EXPECT_EQ(sm->getName(), "SM");
    EXPECT_EQ(model.storageByName("Sm"), sm);
    EXPECT_EQ(model.storageIndex("fd"), 1);
    EXPECT_EQ(model.storageIndex(""), -1);
    EXPECT_EQ(Names(model), "SM,FD");
    EXPECT_EQ(changes, 2);
    // Only ASCII letters change case.
    EXPECT_EQ(model.storageByName("\xE8m")->getName(), "\xE8M");

    model.setDeviceStorage("fd");
    model.setDeviceStorage("FD");
    EXPECT_EQ(deviceChanges, 1);
    model.setDeviceStorage("");
    EXPECT_EQ(model.getDeviceStorage(), nullptr);
    EXPECT_EQ(deviceChanges, 2);
    // Without a device memory the device operations do nothing.
    EXPECT_EQ(model.recordAt(1), nullptr);
    model.setIndexRange(1, 10, 20, 18);
    model.setWriteLimits(1, 10, 20, 18);
    model.rangeRead(1, 10);
    model.addUsedRange(1, 10);
    EXPECT_FALSE(sm->isRangeKnown());

    model.setWantedStorage("fd (Pevn\xE1 volba)");
    EXPECT_EQ(model.getWantedStorage(), "FD");
    model.setWantedStorage("");
    EXPECT_EQ(model.getWantedStorage(), "");

    changes = 0;
    model.setWantedStorage("SM");
    model.setDeviceStorage("SM");
    model.clear();
    EXPECT_EQ(model.storageCount(), 0);
    EXPECT_EQ(model.getWantedStorage(), "");
    EXPECT_EQ(model.getDeviceStorage(), nullptr);
    EXPECT_FALSE(model.isStoragesKnown());
    EXPECT_EQ(changes, 4) << "one per memory gone, one for the clear";
}

TEST(PhonebookModel, SelectorLinesWithDescriptions)
{
    VTixPhoneBook model;
    for (const char* n : {"SM", "XY", "ME"})
        model.storageByName(n);
    std::vector<std::string> lines = {"old", "old", "old", "old", "old"};
    EXPECT_EQ(model.fillStorageList(lines, "ME", false), 2);
    EXPECT_EQ(lines, (std::vector<std::string>{"SM", "XY", "ME"}));
    // Without a language the default, "?".
    EXPECT_EQ(model.fillStorageList(lines, "none", true), -1);
    EXPECT_EQ(lines, (std::vector<std::string>{"SM (?)", "XY (?)", "ME (?)"}));
    model.setLanguage([](const std::string& section, const std::string& key, const std::string& def) {
        EXPECT_EQ(section, "Phonebook");
        return key == "Storage_SM" ? std::string("SIM karta") : def;
    });
    model.fillStorageList(lines, "SM", true);
    EXPECT_EQ(lines, (std::vector<std::string>{"SM (SIM karta)", "XY (?)", "ME (?)"}));
    EXPECT_EQ(model.getText("FillToAdd", "dflt"), "dflt");
}

TEST(PhonebookModel, ScansGoThroughTheMemoriesInListOrder)
{
    // The view outlives the model, which tells it when it goes.
    TCheckingView view;
    VTixPhoneBook model;
    model.attachObserver(&view);
    for (const char* n : {"SM", "FD", "ME"})
        model.storageByName(n);
    std::string name;
    int first = 0, last = 0;
    // Nothing known: the first memory, range unknown.
    EXPECT_TRUE(model.nextReadRange(name, first, last));
    EXPECT_EQ(name, "SM");
    EXPECT_EQ(first, -1);

    model.setDeviceStorage("SM");
    model.setIndexRange(1, 250, 20, 18);
    model.rangeRead(1, 250);
    name = "sm";
    EXPECT_FALSE(model.nextReadRange(name, first, last));
    name.clear();
    EXPECT_TRUE(model.nextReadRange(name, first, last));
    EXPECT_EQ(name, "FD");
    // A given-up memory is skipped in the scan, but named it still asks
    // for its range.
    for (int i = 0; i < 3; ++i)
        model.storageFailed("FD");
    name.clear();
    EXPECT_TRUE(model.nextReadRange(name, first, last));
    EXPECT_EQ(name, "ME");
    name = "FD";
    EXPECT_TRUE(model.nextReadRange(name, first, last));
    EXPECT_EQ(first, -1);

    // Writes: the device memory's limits first.
    std::string number, text;
    int index = 0, type = 0;
    name = "SM";
    EXPECT_TRUE(model.nextWrite(name, index, number, type, text));
    EXPECT_EQ(index, -1);
    model.setWriteLimits(1, 250, 20, 18);
    VTixPhoneBookRecord* r = model.recordAt(12);
    r->setDeviceDigits("603555111");
    r->setDeviceText("Old");
    r->setEditedNumber("+420603555111");
    r->setEditedText("New");
    r->markPending(false);
    EXPECT_TRUE(model.nextWrite(name, index, number, type, text));
    EXPECT_EQ(index, 12);
    EXPECT_EQ(number, "420603555111");
    EXPECT_EQ(type, 145);
    EXPECT_EQ(text, "New");
    // Any memory: SM first, then ME (limits unknown); FD is given up.
    name.clear();
    EXPECT_TRUE(model.nextWrite(name, index, number, type, text));
    EXPECT_EQ(name, "SM");
    r->setDeviceDigits("420603555111");
    r->setDeviceType(145);
    r->setDeviceText("New");
    EXPECT_FALSE(r->isPending());
    name.clear();
    EXPECT_TRUE(model.nextWrite(name, index, number, type, text));
    EXPECT_EQ(name, "ME");
    EXPECT_EQ(index, -1);
    EXPECT_EQ(model.getWriteCursor(), 2) << "past SM (nothing to write) and FD (given up)";
    // A change in SM brings the cursor back.
    r->setEditedText("");
    r->setEditedNumber("");
    r->markPending(false);
    EXPECT_EQ(model.getWriteCursor(), 0);
    name.clear();
    EXPECT_TRUE(model.nextWrite(name, index, number, type, text));
    EXPECT_EQ(name, "SM");
    EXPECT_EQ(number, "");
    EXPECT_EQ(type, 0) << "the delete form";
    EXPECT_TRUE(view.faults.empty()) << view.faults.front();
}

TEST(PhonebookModel, ShownMemoryAndFocus)
{
    // The view outlives the model, which tells it when it goes.
    TCheckingView view;
    VTixPhoneBook model;
    model.storageByName("SM");
    model.setDisplayedStorage("SM");
    model.setFocusIndex(5);
    model.attachObserver(&view);
    EXPECT_EQ(view.take(), "shown SM") << "a new view learns the shown memory";
    EXPECT_EQ(model.getFocusIndex(), -1);
    model.setDisplayedStorage("sm");
    EXPECT_EQ(view.take(), "");
    model.setDisplayedStorage("on");
    EXPECT_EQ(model.displayedStorageName(), "ON");
    EXPECT_EQ(view.take(), "shown ON");
    model.setDisplayedStorage("");
    EXPECT_EQ(view.take(), "shown -");
    EXPECT_EQ(model.displayedStorageName(), "");
    // A shown memory that leaves is replaced first.
    model.setDisplayedStorage("SM");
    model.setDeviceStorage("SM");
    model.recordAt(1);
    view.take();
    model.removeStorage(model.storageByName("SM"));
    EXPECT_EQ(view.take(), "shown -");
    EXPECT_EQ(model.getDeviceStorage(), nullptr);
    EXPECT_EQ(Names(model), "ON");
    model.attachObserver(nullptr);
    model.setDisplayedStorage("ON");
    EXPECT_EQ(view.take(), "");
    EXPECT_TRUE(view.faults.empty()) << view.faults.front();
}
