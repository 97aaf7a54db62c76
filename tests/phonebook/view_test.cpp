// The view side of the phonebook model as the tree meets it: cell texts,
// which cells are edited with which editor and limits, moves, commits,
// the keys, the colours, pictures and hints of rows.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "phonebook/phonebook.h"
#include "tests/phonebook/book_rig.h"

namespace {

using TEditor = VTixPhoneBook::TTreeEditor;
constexpr int NewEntry = VTixPhoneBookRecord::NewEntryIndex;

struct PhonebookView : ::testing::Test {
    TBookRig rig;
    VTixPhoneBook& model = rig.model;
    void TearDown() override { EXPECT_TRUE(rig.view.faults.empty()) << rig.view.faults.front(); }
    VTixPhoneBookStorage& ThreeEntries()
    {
        return rig.Sm({{1, "+420602123456", "Jan"}, {2, "603555111", "Petr"}, {3, "604000003", "Eva"}});
    }
};

}  // namespace

TEST_F(PhonebookView, CellTextsAndWhichCellsAreEdited)
{
    ThreeEntries();
    ASSERT_EQ(rig.Indexes(), "1,2,3,10000") << "the new-entry row last";
    EXPECT_EQ(model.treeGetText(0, VTixPhoneBook::tcIndex), "1");
    EXPECT_EQ(model.treeGetText(0, VTixPhoneBook::tcNumber), "+420602123456");
    EXPECT_EQ(model.treeGetText(0, VTixPhoneBook::tcText), "Jan");
    EXPECT_EQ(model.treeGetText(3, VTixPhoneBook::tcIndex), "") << "the new-entry row shows no position";
    EXPECT_EQ(model.treeGetText(4, VTixPhoneBook::tcIndex), "") << "no such row";
    EXPECT_EQ(model.treeGetText(0, 3), "");
    // The tree shows edits, not the device's values.
    rig.Entry(2)->setEditedText("Petr Novy");
    EXPECT_EQ(model.treeGetText(1, VTixPhoneBook::tcText), "Petr Novy");

    for (int column : {0, 1, 2})
        EXPECT_TRUE(model.treeEditing(1, column)) << column;
    EXPECT_FALSE(model.treeEditing(1, 3));
    EXPECT_FALSE(model.treeEditing(9, 1));
    model.setEditorAttached(false);
    EXPECT_FALSE(model.treeEditing(1, 1)) << "no editors, no editing";
    EXPECT_EQ(model.treeCreateEditor(1, 1).kind, TEditor::ekNone);
    model.setEditorAttached(true);

    // A read-only memory is never edited; positions wait for the limits.
    rig.Read("LD", 0, 10, {{1, "603555111", ""}});
    model.setDisplayedStorage("LD");
    EXPECT_EQ(rig.Indexes(), "1") << "no new-entry row";
    for (int column : {0, 1, 2})
        EXPECT_FALSE(model.treeEditing(0, column)) << column;
    EXPECT_EQ(model.treeCreateEditor(0, 1).kind, TEditor::ekNone);
    model.setDeviceStorage("ME");
    model.setIndexRange(1, 100, 40, 16);
    model.recordAt(3)->setDeviceText("Kancelar");
    model.setDisplayedStorage("ME");
    EXPECT_FALSE(model.treeEditing(0, 0)) << "write limits not known";
    EXPECT_FALSE(model.treeEditing(0, 1)) << "read-only until the limits say otherwise";
}

TEST_F(PhonebookView, InsertOpensThePositionEditorAtTheFirstFreePosition)
{
    ThreeEntries();
    const VTixPhoneBook::TTreeKeyAction insert = model.treeKeyUp(VTixPhoneBook::vkInsert, 0, {1}, 1);
    EXPECT_TRUE(insert.consumed);
    EXPECT_EQ(insert.focusRow, 3) << "the new-entry row";
    EXPECT_EQ(insert.editColumn, VTixPhoneBook::tcIndex);
    EXPECT_TRUE(insert.deselect.empty());
    const TEditor editor = model.treeCreateEditor(insert.focusRow, insert.editColumn);
    EXPECT_EQ(editor.kind, TEditor::ekNumber);
    EXPECT_EQ(editor.startValue, 4);
    EXPECT_EQ(editor.minValue, 1);
    EXPECT_EQ(editor.maxValue, 250);
    // Shift and Alt do not matter; Ctrl alone copies instead.
    EXPECT_EQ(model.treeKeyUp(VTixPhoneBook::vkInsert, VTixPhoneBook::ssShift | VTixPhoneBook::ssCtrl, {}, -1)
                  .focusRow,
              3);
    EXPECT_EQ(model.treeKeyUp(VTixPhoneBook::vkInsert, VTixPhoneBook::ssCtrl, {}, -1).focusRow, -1);
    // An emptied entry's position counts as free; a real row starts at its own.
    rig.Entry(2)->setEditedNumber("");
    rig.Entry(2)->setEditedText("");
    EXPECT_EQ(model.treeCreateEditor(3, 0).startValue, 2);
    EXPECT_EQ(model.treeCreateEditor(2, 0).startValue, 3);
    EXPECT_EQ(model.treeCreateEditor(2, 0).maxValue, 250);

    // Several used intervals: no single range, the editor takes 1..1000.
    model.getDisplayedStorage()->addUsedRange(300, 310);
    const TEditor wide = model.treeCreateEditor(0, 0);
    EXPECT_EQ(wide.minValue, 1);
    EXPECT_EQ(wide.maxValue, 1000);
    EXPECT_EQ(wide.startValue, 1);
}

TEST_F(PhonebookView, TextEditorsTakeTheLengthsOfTheEntrysOwnMemory)
{
    ThreeEntries();
    rig.Read("ME", 1, 100, {{3, "+420212345678", "Kancelar"}}, 40, 16);
    model.setDisplayedStorage("SM");
    ASSERT_EQ(model.getDeviceStorage()->getName(), "ME") << "the device works with another memory";
    TEditor number = model.treeCreateEditor(1, VTixPhoneBook::tcNumber);
    EXPECT_EQ(number.kind, TEditor::ekText);
    EXPECT_EQ(number.startText, "603555111");
    EXPECT_EQ(number.maxLength, 20);
    TEditor text = model.treeCreateEditor(1, VTixPhoneBook::tcText);
    EXPECT_EQ(text.startText, "Petr");
    EXPECT_EQ(text.maxLength, 18);
    model.setDeviceStorage("");
    EXPECT_EQ(model.treeCreateEditor(1, VTixPhoneBook::tcText).maxLength, 18) << "no device memory";
    model.setDisplayedStorage("ME");
    EXPECT_EQ(model.treeCreateEditor(0, VTixPhoneBook::tcNumber).maxLength, 40);
    EXPECT_EQ(model.treeCreateEditor(0, VTixPhoneBook::tcText).maxLength, 16);
    // A memory whose lengths are not known takes any length.
    model.setDeviceStorage("MT");
    model.setIndexRange(1, 10, 0, 0);
    model.setWriteLimits(1, 10, 0, 0);
    model.setDisplayedStorage("MT");
    EXPECT_EQ(model.treeCreateEditor(0, VTixPhoneBook::tcText).maxLength, 0);
}

TEST_F(PhonebookView, APositionOutsideTheRangeLeavesTheEntry)
{
    ThreeEntries();
    for (const char* text : {"0", "251", "-1", "", "abc", "3x", "10000"}) {
        model.treeNewText(1, VTixPhoneBook::tcIndex, text);
        EXPECT_EQ(rig.Indexes(), "1,2,3,10000") << text;
        EXPECT_FALSE(rig.Entry(2)->isPending()) << text;
        EXPECT_EQ(rig.Entry(2)->getEditedText(), "Petr") << text;
        EXPECT_EQ(model.treeEdited(), -1) << text;
    }
    // Its own position: nothing moves either.
    model.treeNewText(1, VTixPhoneBook::tcIndex, "2");
    EXPECT_FALSE(rig.Entry(2)->isPending());
    EXPECT_EQ(rig.NextWrite(), "");
}

TEST_F(PhonebookView, AMoveWritesTheTargetAndClearsTheOldPositionInAscendingOrder)
{
    rig.Sm({{1, "+420602123456", "Jan"}, {5, "605000005", "Pavel"}});
    model.treeNewText(rig.Row(5), VTixPhoneBook::tcIndex, " 9");
    EXPECT_EQ(rig.Indexes(), "1,5,9,10000");
    EXPECT_EQ(model.treeEdited(), 2) << "the tree focuses the moved entry";
    EXPECT_EQ(model.treeEdited(), -1) << "once";
    EXPECT_TRUE(rig.Entry(9)->needsWrite());
    EXPECT_EQ(rig.Entry(9)->getEditedNumber(), "605000005");
    EXPECT_TRUE(rig.Entry(5)->needsWrite());
    EXPECT_EQ(rig.Entry(5)->getEditedText(), "");
    EXPECT_EQ(rig.NextWrite(), "SM 5::0:") << "the old position deleted first";
    rig.Written(5);
    EXPECT_EQ(rig.NextWrite(), "SM 9:605000005:129:Pavel");
    rig.Written(9);
    EXPECT_EQ(rig.NextWrite(), "");
    EXPECT_EQ(rig.Indexes(), "1,9,10000");
}

TEST_F(PhonebookView, ANeverWrittenEntryMovedIsDroppedUnwritten)
{
    ThreeEntries();
    // Typed on the new-entry row, moved to 7, and on to 8 before any write.
    model.treeNewText(3, VTixPhoneBook::tcNumber, "+420777000007");
    model.treeNewText(3, VTixPhoneBook::tcText, "Nova");
    EXPECT_EQ(model.treeGetImageIndex(3, 0), VTixPhoneBook::imageNewEntry);
    model.treeNewText(3, VTixPhoneBook::tcIndex, "7");
    EXPECT_EQ(rig.Indexes(), "1,2,3,7,10000");
    EXPECT_EQ(rig.Entry(NewEntry)->getEditedText(), "") << "the new-entry row is emptied";
    EXPECT_FALSE(rig.Entry(NewEntry)->isPending());
    model.treeNewText(rig.Row(7), VTixPhoneBook::tcIndex, "8");
    EXPECT_EQ(rig.NextWrite(), "SM 8:420777000007:145:Nova");
    EXPECT_EQ(rig.Indexes(), "1,2,3,8,10000") << "entry 7 dropped by the write scan, no command for it";
}

TEST_F(PhonebookView, EditsAreCommittedOnLeavingTheRowOrTheTree)
{
    ThreeEntries();
    model.treeNewText(1, VTixPhoneBook::tcText, "Novy");
    EXPECT_TRUE(rig.Entry(2)->isTextModified());
    EXPECT_FALSE(rig.Entry(2)->isPending()) << "an edit alone is no commit";
    EXPECT_EQ(model.treeGetImageIndex(1, 0), VTixPhoneBook::imageModified);
    EXPECT_EQ(model.treeGetImageIndex(1, 1), -1);
    EXPECT_EQ(model.treeBeforeItemErase(1, false), clNone);
    model.treeFocusChanging(1, 1);
    EXPECT_FALSE(rig.Entry(2)->isPending()) << "the same row";
    model.treeFocusChanging(1, 2);
    EXPECT_TRUE(rig.Entry(2)->needsWrite());
    EXPECT_EQ(model.treeBeforeItemErase(1, false), clYellow);
    EXPECT_EQ(model.treeBeforeItemErase(1, true), clNone) << "a selected row keeps the selection";
    EXPECT_EQ(model.treePaintText(1, false, true), clBlue);
    EXPECT_EQ(model.treePaintText(1, true, true), clYellow);
    EXPECT_EQ(model.treePaintText(1, true, false), clBlue);
    EXPECT_EQ(model.treePaintText(0, true, true), clNone);

    model.treeNewText(0, VTixPhoneBook::tcNumber, "+420602999999");
    model.treeNewText(0, VTixPhoneBook::tcNumber, "12\"3");
    EXPECT_EQ(rig.Entry(1)->getEditedNumber(), "+420602999999") << "a number the device cannot take is refused";
    model.treeExit(0);
    EXPECT_TRUE(rig.Entry(1)->needsWrite());
    model.treeExit(-1);
    model.treeFocusChanging(-1, 0);
    EXPECT_EQ(rig.NextWrite(), "SM 1:420602999999:145:Jan");
}

TEST_F(PhonebookView, DeleteClearsTheSelectedRowsUntilTheyAreWritten)
{
    ThreeEntries();
    const VTixPhoneBook::TTreeKeyAction del =
        model.treeKeyUp(VTixPhoneBook::vkDelete, VTixPhoneBook::ssShift, {0, 1, 2}, 1);
    EXPECT_TRUE(del.consumed);
    EXPECT_EQ(del.deselect, (std::vector<int>{0, 1, 2}));
    EXPECT_TRUE(del.clearFocus);
    for (int row = 0; row < 3; ++row) {
        EXPECT_EQ(model.treeBeforeItemErase(row, false), clYellow) << row;
        EXPECT_EQ(model.treePaintText(row, false, true), clBlue) << row;
        EXPECT_EQ(model.treeGetText(row, VTixPhoneBook::tcNumber), "") << row;
    }
    for (int index : {1, 2, 3}) {
        EXPECT_EQ(rig.NextWrite(), "SM " + std::to_string(index) + "::0:");
        rig.Written(index);
    }
    EXPECT_EQ(rig.Indexes(), "10000");
    EXPECT_TRUE(rig.view.faults.empty());

    // The focus elsewhere stays; Ctrl alone deletes nothing.
    rig.Read("SM", 1, 250, {{4, "604", "D"}});
    EXPECT_FALSE(model.treeKeyUp(VTixPhoneBook::vkDelete, 0, {0}, 1).clearFocus);
    rig.Read("SM", 1, 250, {{5, "605", "E"}});
    const VTixPhoneBook::TTreeKeyAction ctrl = model.treeKeyUp(VTixPhoneBook::vkDelete, VTixPhoneBook::ssCtrl,
                                                               {rig.Row(5)}, rig.Row(5));
    EXPECT_FALSE(ctrl.consumed);
    EXPECT_FALSE(rig.Entry(5)->isPending());
}

TEST_F(PhonebookView, DeleteInAReadOnlyMemoryDoesNothing)
{
    rig.Read("LD", 0, 10, {{1, "603555111", "Petr"}, {2, "604", ""}});
    rig.Show("LD");
    const VTixPhoneBook::TTreeKeyAction del = model.treeKeyUp(VTixPhoneBook::vkDelete, 0, {0, 1}, 0);
    EXPECT_TRUE(del.deselect.empty());
    EXPECT_FALSE(del.clearFocus);
    EXPECT_EQ(rig.Entry(1)->getEditedNumber(), "603555111");
    EXPECT_FALSE(rig.Entry(1)->isPending());
    EXPECT_EQ(model.treeBeforeItemErase(0, false), clNone);
    EXPECT_EQ(rig.NextWrite(), "");
    // Insert finds no new-entry row there.
    EXPECT_EQ(model.treeKeyUp(VTixPhoneBook::vkInsert, 0, {}, -1).focusRow, -1);
    EXPECT_EQ(model.treeGetHint(1), "") << "the last row of a read-only memory is an entry";
}

TEST_F(PhonebookView, CopyPutsTheDeviceValuesOfTheSelectedRows)
{
    ThreeEntries();
    rig.Entry(1)->setEditedText("not yet on the device");
    const VTixPhoneBook::TTreeKeyAction copy = model.treeKeyUp(VTixPhoneBook::vkC, VTixPhoneBook::ssCtrl, {0, 2}, 0);
    EXPECT_TRUE(copy.consumed);
    EXPECT_TRUE(copy.copy);
    EXPECT_EQ(copy.clipboard, "1\t+420602123456\tJan\r\n3\t604000003\tEva\r\n");
    EXPECT_EQ(model.treeKeyUp(VTixPhoneBook::vkInsert, VTixPhoneBook::ssCtrl, {1}, 0).clipboard,
              "2\t603555111\tPetr\r\n");
    // C without Ctrl alone, and other keys, do nothing.
    for (int shift : {0, int(VTixPhoneBook::ssCtrl | VTixPhoneBook::ssShift), int(VTixPhoneBook::ssAlt)})
        EXPECT_FALSE(model.treeKeyUp(VTixPhoneBook::vkC, shift, {0}, 0).consumed) << shift;
    EXPECT_FALSE(model.treeKeyUp('X', VTixPhoneBook::ssCtrl, {0}, 0).consumed);
    // Without a shown memory nothing happens at all.
    model.setDisplayedStorage("");
    EXPECT_FALSE(model.treeKeyUp(VTixPhoneBook::vkC, VTixPhoneBook::ssCtrl, {0}, 0).consumed);
}

TEST_F(PhonebookView, PicturesHintsAndTheSelectorLines)
{
    ThreeEntries();
    EXPECT_EQ(model.treeGetImageIndex(3, 0), VTixPhoneBook::imageNewEntry);
    EXPECT_EQ(model.treeGetImageIndex(0, 0), -1);
    EXPECT_EQ(model.treeGetHint(3), "Vypl\xF2te polo\x9Eky pro p\xF8id\xE1n\xED nov\xE9ho z\xE1znamu");
    EXPECT_EQ(model.treeGetHint(0), "");
    model.setLanguage([](const std::string& section, const std::string& key, const std::string& def) {
        return section == "Phonebook" && key == "FillToAdd" ? std::string("Fill in fields to add new record")
                                                             : def;
    });
    EXPECT_EQ(model.treeGetHint(3), "Fill in fields to add new record");

    std::vector<std::string> lines;
    model.storageByName("XX");
    EXPECT_EQ(model.fillStorageList(lines, "XX", true), 1);
    EXPECT_EQ(lines.back(), "XX (?)") << "a memory without a description";
}

TEST_F(PhonebookView, TheFirstEntryIsFoundAsARowAndRowsFollowTheShownMemory)
{
    rig.Sm({{2, "602", "B"}});
    model.treeNewText(0, VTixPhoneBook::tcIndex, "1");
    EXPECT_EQ(model.treeEdited(), 0) << "focused after a move to position 1";
    EXPECT_EQ(rig.NextWrite(), "SM 1:602:129:B");
    rig.Written(1);
    EXPECT_EQ(rig.NextWrite(), "SM 2::0:");
    rig.Written(2);
    model.treeKeyUp(VTixPhoneBook::vkDelete, 0, {0}, 0);
    EXPECT_EQ(rig.NextWrite(), "SM 1::0:");
    rig.Written(1);
    EXPECT_EQ(rig.Indexes(), "10000") << "its row went with it";
    // Entries of another memory have no row here.
    rig.Read("ME", 1, 100, {{3, "603", "C"}});
    EXPECT_EQ(model.nodeOfRecord(model.storageByName("ME")->findRecord(3, false)), -1);
    EXPECT_EQ(model.nodeOfRecord(nullptr), -1);
    model.setDisplayedStorage("");
    EXPECT_EQ(model.rowCount(), 0);
    EXPECT_EQ(model.treeGetText(0, 1), "");
    EXPECT_EQ(model.treeCreateEditor(0, 1).kind, TEditor::ekNone);
    model.treeNewText(0, 1, "1");
    model.treeFocusChanging(0, 1);
    model.treeExit(0);
}
