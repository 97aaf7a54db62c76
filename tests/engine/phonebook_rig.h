#pragma once
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/perif_phonebook.h"
#include "phonebook/phonebook.h"
#include "tests/engine/status_stubs.h"

// The phonebook handler alone among quiet stand-ins, answered line by line
// with a test clock. The window's tab change shows the tab's memory, as
// the main window does.
struct PhonebookRig : ::testing::Test {
    TStatusRig rig{std::initializer_list<int>{VPerifModem::hPhonebook}};
    VPerifPhonebook& pb = rig.modem.phonebook();
    VTixPhoneBook& model = pb.getPhonebook();
    uint32_t t = rig.t0;

    void SetUp() override
    {
        rig.window.onPBTabsChange = [this](const std::string& tab) { pb.setDisplayedStorage(tab); };
        rig.window.langTexts["Phonebook/Storage_SM"] = "SIM karta";
        rig.window.langTexts["Phonebook/Storage_FD"] = "Pevn\xE1 volba";
        rig.window.langTexts["Phonebook/Storage_ME"] = "V GSM modemu (v telefonu)";
    }
    // The handler's tick `ms` after the last one; what it sent.
    std::string next(uint32_t ms = 10)
    {
        t += ms;
        return rig.pollSent(t);
    }
    // The device's echo of `command`, its lines and the final result.
    void answer(const std::string& command, const std::vector<std::string>& info, const std::string& final = "OK")
    {
        rig.answer(t, command, info, final);
    }
    // The next command is `command`, answered so.
    void exchange(const std::string& command, const std::vector<std::string>& info, const std::string& final = "OK")
    {
        ASSERT_EQ(next(), command);
        answer(command, info, final);
    }
    // The memories listed, SM selected, the pause over.
    void known(const std::string& list = "(\"SM\",\"ME\")")
    {
        exchange("AT+CPBS=?", {"+CPBS: " + list});
        exchange("AT+CPBS?", {"+CPBS: \"SM\",0,250"});
        ASSERT_EQ(next(), "");
        ASSERT_EQ(next(VPerifPhonebook::PauseMs), "");
    }
    // SM known with positions 1..250 and lengths 20 and 18, read with
    // `entries`, and writable.
    void smRead(const std::vector<std::string>& entries)
    {
        known();
        exchange("AT+CPBR=?", {"+CPBR: (1-250),20,18"});
        exchange("AT+CPBR=1,250", entries);
        exchange("AT+CPBW=?", {"+CPBW: (1-250),20,(129,145),18"});
    }
    VTixPhoneBookStorage& storage(const std::string& name) { return *model.storageByName(name); }
    VTixPhoneBookRecord* entry(const std::string& name, int index) { return storage(name).findRecord(index, false); }
};
