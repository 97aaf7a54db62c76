// The phonebook page end to end: the real window on the simulated device
// reads the SIM card's memory into the tree; a name typed into entry 2,
// a deleted entry 3 and a new entry typed at position 6 reach the device;
// the phonebook saved and loaded back unchanged writes nothing; gammu,
// talking to the same device once the window's port is closed, lists the
// result. The ten seconds before reading pass by the tick clock.
#include <QApplication>
#include <QCheckBox>
#include <QPushButton>
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "engine/perif_phonebook.h"
#include "phonebook/phonebook.h"
#include "phonebook/phonebook_item_model.h"
#include "phonebook/ui/form_import_pb.h"
#include "phonebook/ui/mf_edit.h"
#include "phonebook/ui/mf_num_edit.h"
#include "phonebook/ui/virtual_string_tree_ex.h"
#include "tests/app/main_window_fixture.h"
#include "tests/support/gammu.h"
#include "tests/support/input_devices.h"

using namespace MainWindowTest;
using Platform::FromQString;
using TestSupport::KeyClick;
using TestSupport::KeyClicks;

namespace {

struct PhonebookPageOnSim : TMainWindowFixture {
    VTixPhoneBook& Model() { return w().uniset->getHandlers().phonebook().getPhonebook(); }
    VTixPhoneBookRecord* Entry(int index) { return Model().storageByName("SM")->findRecord(index, false); }
    QModelIndex Index(int row, int column = 0) { return w().VTPhonebookModel->index(row, column); }
    int Row(int index) { return Model().nodeOfRecord(Entry(index)); }
    std::string Indexes()
    {
        std::string out;
        for (int row = 0; row < w().VTPhonebookModel->rowCount(); ++row)
            out += (row ? "," : "") + FromQString(Index(row).data().toString());
        return out;
    }
    QColor RowColor(int row)
    {
        const QRect cell = w().VTPhonebook->visualRect(Index(row, 1));
        return ColorAt(w().VTPhonebook->viewport(), QPoint(cell.left() + 4, cell.center().y()));
    }
    // Edits a cell with F2: its text replaced by `text`, ended by `endKey`.
    void TypeInto(int row, int column, const QString& text, int endKey, QWidget* editor)
    {
        w().VTPhonebook->setCurrentIndex(Index(row, column));
        KeyClick(w().VTPhonebook, Qt::Key_F2);
        ASSERT_TRUE(editor->isVisible()) << row << "," << column;
        KeyClick(editor, Qt::Key_A, Qt::ControlModifier);
        KeyClick(editor, Qt::Key_Delete);
        for (QChar c : text) {
            if (c == '+')
                KeyClick(editor, Qt::Key_Plus, Qt::NoModifier, QString(c));
            else
                KeyClicks(editor, QString(c));
        }
        KeyClick(editor, endKey);
        ASSERT_FALSE(editor->isVisible());
    }
    // Phonebook commands the device has seen.
    std::vector<std::string> Writes()
    {
        std::vector<std::string> out;
        for (const auto& c : sim->Transcript().Commands())
            if (c.rfind("AT+CPBW=", 0) == 0 && c != "AT+CPBW=?")
                out.push_back(c);
        return out;
    }
    bool Idle()
    {
        PassPhonebookPause();
        VPerifPhonebook& pb = w().uniset->getHandlers().phonebook();
        return pb.isReady() && !pb.isBusy();
    }
};

}  // namespace

TEST_F(PhonebookPageOnSim, EditsReachTheDeviceAndTheFileLoadsBackUnchanged)
{
    ModemSim::TProfile profile = ModemSim::TProfile::Builtin("tc35");
    profile.phonebooks.Find("SM")->entries[3] = {"604000003", 129, u"Eva"};
    StartSim(profile);
    StartOnSim(QSize(760, 600));
    WaitUntilReady();
    ASSERT_TRUE(RunUntil([&] { return Idle(); }, 30000)) << sim->Transcript().ToText();
    w().PageControl1->setCurrentWidget(w().SheetPhonebook);
    ASSERT_EQ(Model().displayedStorageName(), "SM");
    ASSERT_EQ(Indexes(), "1,2,3,250,") << "the SIM card's entries and the new-entry row";
    EXPECT_EQ(FromQString(Index(1, 2).data().toString()), "Petr");
    w().activateWindow();
    w().VTPhonebook->setFocus();
    if (!RunUntil([&] { return QApplication::focusWidget() == w().VTPhonebook; }, 2000))
        GTEST_SKIP() << "the platform gives no keyboard focus";
    const QColor plain = RowColor(Row(2));

    // A new name for entry 2; leaving the row commits it: yellow at once.
    TypeInto(Row(2), 2, "Novy", Qt::Key_Down, w().MFEdit1);
    EXPECT_EQ(w().VTPhonebook->currentIndex().row(), Row(3)) << "Down left the row";
    EXPECT_TRUE(Entry(2)->needsWrite());
    // Down selects the next row besides; the row left shows plain.
    w().VTPhonebook->selectionModel()->clearSelection();
    EXPECT_EQ(RowColor(Row(2)), QColor(255, 255, 0)) << "before the event loop runs on";
    ASSERT_TRUE(RunUntil([&] { return Idle() && !Entry(2)->isPending(); }, 20000)) << sim->Transcript().ToText();
    EXPECT_EQ(Writes(), std::vector<std::string>{"AT+CPBW=2,\"603555111\",129,\"Novy\""});
    EXPECT_EQ(RowColor(Row(2)), plain);

    // Entry 3 deleted.
    w().VTPhonebook->selectionModel()->setCurrentIndex(
        Index(Row(3)), QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    KeyClick(w().VTPhonebook, Qt::Key_Delete);
    ASSERT_TRUE(RunUntil([&] { return Idle() && !Entry(3); }, 20000)) << sim->Transcript().ToText();
    EXPECT_EQ(Writes().back(), "AT+CPBW=3");
    EXPECT_EQ(Indexes(), "1,2,250,");

    // A new entry typed on the new-entry row, then given position 6.
    const int newRow = w().VTPhonebookModel->rowCount() - 1;
    TypeInto(newRow, 1, "+420777000006", Qt::Key_Return, w().MFEdit1);
    TypeInto(newRow, 2, "Sest", Qt::Key_Return, w().MFEdit1);
    TypeInto(newRow, 0, "6", Qt::Key_Return, w().MFNumEdit1);
    EXPECT_EQ(Indexes(), "1,2,6,250,");
    ASSERT_TRUE(RunUntil([&] { return Idle() && Entry(6) && !Entry(6)->isPending(); }, 20000))
        << sim->Transcript().ToText();
    EXPECT_EQ(Writes().back(), "AT+CPBW=6,\"420777000006\",145,\"Sest\"");
    EXPECT_EQ(Writes().size(), 3u);

    // Saved (no rows selected: every memory), then loaded back over
    // itself: nothing to write.
    w().VTPhonebook->selectionModel()->clearSelection();
    const std::string file = home + "/saved.ini";
    w().RunFileDialog = [&](TFormMain::TFileDialogSetup&, std::string& chosen) {
        chosen = file;
        return true;
    };
    w().BtnWritePBToFileClick();
    ASSERT_TRUE(boxes.empty()) << boxes[0].text;
    EXPECT_NE(ReadFile(file).find("[SM]\r\n1,\"+420602123456\",\"Jan Nov?k\"\r\n2,\"603555111\",\"Novy\"\r\n"
                                  "6,\"+420777000006\",\"Sest\"\r\n250,\"+420777000250\",\"Posledni\"\r\n\r\n"),
              std::string::npos)
        << ReadFile(file);
    std::vector<std::string> offered;
    w().RunImportDialog = [&](TFormImportPB& dialog) {
        dialog.FormShow();
        offered = dialog.StoragesInFile;
        for (int row = 0; row < int(offered.size()); ++row)
            dialog.SetRowChecked(row, true);
        dialog.CheckDeleteOld->setChecked(true);
        dialog.CheckPreservePositions->setChecked(true);
        dialog.BtnOK->click();
        return true;
    };
    w().BtnReadPBFromFileClick();
    ASSERT_TRUE(boxes.empty()) << boxes[0].text;
    EXPECT_EQ(offered, (std::vector<std::string>{"SM", "ME"})) << "FD given up, LD read-only";
    EXPECT_EQ(w().OpenDialogPB.fileName, "saved.ini");
    EXPECT_FALSE(Entry(1)->isPending());
    RunFor(300);
    ASSERT_TRUE(RunUntil([&] { return Idle(); }, 20000));
    EXPECT_EQ(Writes().size(), 3u) << "no AT+CPBW at all after the load";
    EXPECT_EQ(Indexes(), "1,2,6,250,");

    // The port closed, gammu reads the device's SIM memory.
    const std::string pty = sim->PtyPath();
    window.reset();
    QCoreApplication::processEvents();
    if (!TestSupport::HaveGammu())
        GTEST_SKIP() << "gammu is not installed";
    const std::string all = TestSupport::RunGammu(pty, "getallmemory SM");
    auto location = [&](int index) {
        const std::string key = "memory sm, location " + std::to_string(index) + "\n";
        const size_t at = all.find(TestSupport::Flat(key));
        if (at == std::string::npos)
            return std::string();
        const size_t next = all.find("memory sm, location ", at + 1);
        return all.substr(at, next == std::string::npos ? std::string::npos : next - at);
    };
    EXPECT_NE(location(2).find("\"novy\""), std::string::npos) << all;
    EXPECT_EQ(location(3), "") << all;
    EXPECT_NE(location(6).find("\"+420777000006\""), std::string::npos) << all;
    EXPECT_NE(location(6).find("\"sest\""), std::string::npos) << all;
    EXPECT_NE(location(1).find("\"+420602123456\""), std::string::npos) << all;
}
