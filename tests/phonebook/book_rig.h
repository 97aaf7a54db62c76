#pragma once
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "phonebook/phonebook.h"
#include "tests/phonebook/checking_view.h"

// A phonebook model as the handler leaves it: SM with positions 1..250,
// lengths 20 and 18, the given entries read and writable (so with its
// new-entry row), shown, with a checking view and the cell editors.
struct TBookRig {
    // The view outlives the model, which tells it when it goes.
    TCheckingView view;
    VTixPhoneBook model;

    // (index, number, text) as the device lists them.
    struct TEntry {
        int index;
        std::string number;
        std::string text;
    };

    // A memory read from the device with its entries; writable with the
    // write range first..last (first 0: read-only, limits refused).
    VTixPhoneBookStorage& Read(const std::string& name, int first, int last, const std::vector<TEntry>& entries,
                               int numberLength = 20, int textLength = 18)
    {
        model.setDeviceStorage(name);
        model.setIndexRange(first == 0 ? 1 : first, last, numberLength, textLength);
        for (const TEntry& e : entries) {
            VTixPhoneBookRecord* r = model.recordAt(e.index);
            r->setDeviceNumber(e.number);
            r->setDeviceText(e.text);
        }
        model.rangeRead(first == 0 ? 1 : first, last);
        if (first == 0)
            model.setWriteLimits(-1, -1, 0, 0);
        else
            model.setWriteLimits(first, last, numberLength, textLength);
        return *model.storageByName(name);
    }
    // SM 1..250 with the entries, shown.
    VTixPhoneBookStorage& Sm(const std::vector<TEntry>& entries)
    {
        VTixPhoneBookStorage& sm = Read("SM", 1, 250, entries);
        Show("SM");
        return sm;
    }
    void Show(const std::string& name)
    {
        model.attachObserver(&view);
        model.setEditorAttached(true);
        model.setDisplayedStorage(name);
    }
    int Row(int index) const { return model.nodeOfRecord(model.getDisplayedStorage()->findRecord(index, false)); }
    VTixPhoneBookRecord* Entry(int index) const { return model.getDisplayedStorage()->findRecord(index, false); }
    // The displayed memory's indexes in row order ("1,2,3,10000").
    std::string Indexes() const
    {
        std::string out;
        for (int row = 0; row < model.rowCount(); ++row)
            out += (out.empty() ? "" : ",") + std::to_string(model.recordOfRow(row)->getIndex());
        return out;
    }
    // What the handler would write next, as "index:number:type:text" or "".
    std::string NextWrite()
    {
        std::string name, number, text;
        int index = -1, type = 0;
        if (!model.nextWrite(name, index, number, type, text))
            return {};
        return name + " " + std::to_string(index) + ":" + number + ":" + std::to_string(type) + ":" + text;
    }
    // The handler's OK to the write of that entry: the device takes the edits.
    void Written(int index)
    {
        VTixPhoneBookRecord* r = Entry(index);
        if (r->getEditedNumber().empty() && r->getEditedText().empty()) {
            r->getStorage()->removeRecord(r);
            return;
        }
        r->setDeviceNumber(r->getEditedNumber());
        r->setDeviceText(r->getEditedText());
    }
};
