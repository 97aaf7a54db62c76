// Edits made through the tree's operations of the phonebook model, as the
// handler sends them: a move deletes the old position and writes the new
// one in ascending order, an entry never written and moved on costs no
// command, cleared rows are deleted and leave the shown memory.
#include <string>
#include <vector>

#include "phonebook/phonebook_observer.h"
#include "tests/engine/phonebook_rig.h"

namespace {

struct PhonebookEdits : PhonebookRig {
    void SetUp() override
    {
        PhonebookRig::SetUp();
        model.attachObserver(&tree);
        model.setEditorAttached(true);
        // The SIM card's memory alone, read and writable.
        known("(\"SM\")");
        exchange("AT+CPBR=?", {"+CPBR: (1-250),20,18"});
        exchange("AT+CPBR=1,250", {"+CPBR: 1,\"420602123456\",145,\"Jan\"", "+CPBR: 2,\"603555111\",129,\"Petr\"",
                                   "+CPBR: 3,\"604000003\",129,\"Eva\"", "+CPBR: 5,\"605000005\",129,\"Pavel\""});
        exchange("AT+CPBW=?", {"+CPBW: (1-250),20,(129,145),18"});
        ASSERT_EQ(model.displayedStorageName(), "SM");
        ASSERT_EQ(next(), "");
    }
    void TearDown() override { model.attachObserver(nullptr); }
    int row(int index) { return model.nodeOfRecord(entry("SM", index)); }
    // The tree, as far as the model needs one.
    VTixPhoneBookObserver tree;
};

}  // namespace

TEST_F(PhonebookEdits, AMoveDeletesTheOldPositionThenWritesTheNewOne)
{
    model.treeNewText(row(5), VTixPhoneBook::tcIndex, "9");
    EXPECT_EQ(model.treeEdited(), row(9));
    exchange("AT+CPBW=5", {});
    exchange("AT+CPBW=9,\"605000005\",129,\"Pavel\"", {});
    EXPECT_EQ(next(), "");
    EXPECT_EQ(entry("SM", 5), nullptr);
    EXPECT_FALSE(entry("SM", 9)->isPending());
    EXPECT_EQ(entry("SM", 9)->deviceNumber(), "605000005");
}

TEST_F(PhonebookEdits, AnEntryNeverWrittenAndMovedOnCostsNoCommand)
{
    const int newRow = model.rowCount() - 1;
    model.treeNewText(newRow, VTixPhoneBook::tcNumber, "+420777000007");
    model.treeNewText(newRow, VTixPhoneBook::tcText, "Nova");
    // Committed on leaving the row, yet blocked: the new-entry row has no position.
    model.treeFocusChanging(newRow, 0);
    EXPECT_EQ(next(), "");
    model.treeNewText(newRow, VTixPhoneBook::tcIndex, "7");
    // Moved on before the handler's next turn.
    model.treeNewText(row(7), VTixPhoneBook::tcIndex, "8");
    exchange("AT+CPBW=8,\"420777000007\",145,\"Nova\"", {});
    EXPECT_EQ(next(), "");
    EXPECT_EQ(entry("SM", 7), nullptr);
    for (const auto& line : rig.window.terminal)
        EXPECT_EQ(line.bytes.find("AT+CPBW=7"), std::string::npos) << line.bytes;
}

TEST_F(PhonebookEdits, DeletedRowsGoOnceTheDeviceTookTheDeletes)
{
    const VTixPhoneBook::TTreeKeyAction del =
        model.treeKeyUp(VTixPhoneBook::vkDelete, 0, {row(1), row(2), row(3)}, row(2));
    EXPECT_TRUE(del.clearFocus);
    EXPECT_EQ(model.rowCount(), 5);
    for (int index : {1, 2, 3})
        EXPECT_EQ(model.treeBeforeItemErase(row(index), false), clYellow) << index;
    exchange("AT+CPBW=1", {});
    exchange("AT+CPBW=2", {}, "ERROR");
    EXPECT_EQ(model.treeBeforeItemErase(row(2), false), clYellow) << "refused: still waiting";
    EXPECT_EQ(next(), "") << "a refused write waits out the pause";
    ASSERT_EQ(next(VPerifPhonebook::PauseMs), "AT+CPBW=2");
    answer("AT+CPBW=2", {});
    exchange("AT+CPBW=3", {});
    EXPECT_EQ(next(), "");
    EXPECT_EQ(model.rowCount(), 2) << "entry 5 and the new-entry row";
    EXPECT_EQ(model.treeGetText(0, 0), "5");
}
