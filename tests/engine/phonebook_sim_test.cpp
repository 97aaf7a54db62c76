// The phonebook handler with every other handler real, on the simulated
// device: each memory worked through in order, the refused and read-only
// ones too, the device back on the SIM card's memory and the engine
// ready; then edits written and deleted on the device. The ten seconds
// before reading pass by the tick clock, not by waiting.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/perif_phonebook.h"
#include "phonebook/phonebook.h"
#include "platform/tick.h"
#include "tests/engine/engine_on_sim.h"
#include "tests/support/code_pages.h"

using EngineTest::TEngineOnSim;
using W = VMainWindowLink;

namespace {

struct PhonebookOnSim : ::testing::Test {
    void TearDown() override { Platform::SetTickOffset(0); }
    std::vector<std::string> phonebookCommands(TEngineOnSim& rig)
    {
        std::vector<std::string> out;
        for (const auto& c : rig.Sim().Transcript().Commands())
            if (c.rfind("AT+CPB", 0) == 0)
                out.push_back(c);
        return out;
    }
};

}  // namespace

TEST_F(PhonebookOnSim, EveryMemoryWorkedThroughThenReady)
{
    TEngineOnSim rig;
    rig.window.onPBTabsChange = [&](const std::string& tab) {
        rig.Engine().getHandlers().phonebook().setDisplayedStorage(tab);
    };
    std::string error;
    ASSERT_TRUE(rig.Boot(&error)) << error;
    VPerifPhonebook& pb = rig.Engine().getHandlers().phonebook();
    const VTixPhoneBook& model = pb.getPhonebook();
    ASSERT_TRUE(rig.RunUntil([&] { return rig.Engine().getState() == 0; }, 60000))
        << rig.Engine().getMissing() << "\n" << rig.Sim().Transcript().ToText();
    // The device saw the first read soon after the selected memory.
    int64_t selectedAt = -1, rangeAt = -1;
    for (const auto& e : rig.Sim().Transcript().Entries())
        if (e.direction == ModemSim::TDirection::Command) {
            if (e.data == "AT+CPBS?" && selectedAt < 0)
                selectedAt = e.ms;
            if (e.data == "AT+CPBR=?" && rangeAt < 0)
                rangeAt = e.ms;
        }
    ASSERT_GE(selectedAt, 0);
    EXPECT_LT(rangeAt - selectedAt, int64_t(VPerifPhonebook::PauseMs) / 2) << "the pause was not waited out";
    EXPECT_EQ(rig.window.hints[W::ShapeProgress], TestSupport::Cz("Připraven"));

    const std::vector<std::string> expected = {
        "AT+CPBS=?",        "AT+CPBS?",         "AT+CPBR=?",        "AT+CPBR=1,250",    "AT+CPBW=?",
        "AT+CPBS=\"ME\"",   "AT+CPBR=?",        "AT+CPBR=1,100",    "AT+CPBW=?",        "AT+CPBS=\"FD\"",
        "AT+CPBS=\"FD\"",   "AT+CPBS=\"FD\"",   "AT+CPBS=\"LD\"",   "AT+CPBR=?",        "AT+CPBR=1,10",
        "AT+CPBW=?",        "AT+CPBS=\"SM\"",
    };
    EXPECT_EQ(phonebookCommands(rig), expected) << rig.Sim().Transcript().ToText();
    EXPECT_TRUE(pb.isReady());
    EXPECT_EQ(pb.currentStorageName(), "SM");
    EXPECT_EQ(model.getWantedStorage(), "SM");
    EXPECT_EQ(rig.window.pbItemIndex, 0);
    EXPECT_EQ(rig.window.pbTabs, (std::vector<std::string>{"SM", "ME", "FD", "LD"}));
    EXPECT_EQ(model.displayedStorageName(), "SM");

    VTixPhoneBookStorage* sm = model.storageAt(0);
    ASSERT_EQ(sm->recordCount(), 4) << "three entries and the new-entry row";
    EXPECT_EQ(sm->findRecord(1, false)->getEditedNumber(), "+420602123456");
    EXPECT_EQ(sm->findRecord(1, false)->getEditedText(), "Jan Nov?k") << "IRA has no accents";
    EXPECT_EQ(sm->findRecord(250, false)->getEditedNumber(), "+420777000250");
    EXPECT_EQ(sm->getMaxTextLength(), 18);
    EXPECT_FALSE(sm->isReadOnly());
    EXPECT_EQ(model.storageAt(1)->findRecord(3, false)->getEditedText(), "Kancelar");
    EXPECT_EQ(model.storageAt(2)->getFailures(), 3) << "FD given up";
    EXPECT_FALSE(model.storageAt(2)->isRangeKnown());
    EXPECT_TRUE(model.storageAt(3)->isReadOnly()) << "LD";
    EXPECT_EQ(model.storageAt(3)->findRecord(1, false)->getEditedNumber(), "603555111");

    // Edits reach the device: a name changed, an entry cleared, one added
    // in ME (selected, written, and the device back on SM).
    sm->findRecord(2, false)->setEditedText("Petr Novy");
    sm->findRecord(2, false)->markPending(false);
    VTixPhoneBookRecord* last = sm->findRecord(250, false);
    last->setEditedNumber("");
    last->setEditedText("");
    last->markPending(false);
    VTixPhoneBookRecord* added = model.storageAt(1)->getRecord(50);
    added->setEditedNumber("+420604000050");
    added->setEditedText("A\"\rAT+CFUN=0");
    added->markPending(false);
    ASSERT_TRUE(rig.RunUntil([&] { return rig.Engine().getState() == 0 && pb.isReady() && !pb.isBusy(); }, 30000))
        << rig.Sim().Transcript().ToText();
    rig.Sim().WithDevice([](ModemSim::TDevice& d) {
        ModemSim::TPhonebookMemory* dsm = d.phonebook.Find("SM");
        EXPECT_EQ(dsm->entries.at(2).text, u"Petr Novy");
        EXPECT_EQ(dsm->entries.count(250), 0u);
        const ModemSim::TPhonebookEntry& me50 = d.phonebook.Find("ME")->entries.at(50);
        EXPECT_EQ(me50.digits, "420604000050");
        EXPECT_EQ(me50.type, 145);
        EXPECT_EQ(me50.text, u"AAT+CFUN=0");
        EXPECT_EQ(d.phonebook.selected, "SM");
    });
    EXPECT_EQ(sm->findRecord(250, false), nullptr);
    EXPECT_FALSE(added->isPending());
    // The name went in one line: no command of its own.
    for (const auto& c : rig.Sim().Transcript().Commands())
        EXPECT_NE(c.rfind("AT+CFUN=0", 0), 0u) << c;
    EXPECT_EQ(phonebookCommands(rig).back(), "AT+CPBS=\"SM\"");
}
