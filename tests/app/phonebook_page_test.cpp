// The phonebook page of the real window over the engine's phonebook model
// (no device: the model is filled as the handler fills it): its controls,
// the tree edited with keys and its cell editors, the selector and tabs
// the handler lays out, and the two file buttons with their dialogs.
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QHeaderView>
#include <QPushButton>
#include <QRadioButton>
#include <QTabBar>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/radio_group.h"
#include "app/tab_control.h"
#include "engine/perif_phonebook.h"
#include "phonebook/phonebook.h"
#include "phonebook/phonebook_item_model.h"
#include "phonebook/ui/form_import_pb.h"
#include "phonebook/ui/mf_edit.h"
#include "phonebook/ui/mf_num_edit.h"
#include "phonebook/ui/virtual_string_tree_ex.h"
#include "phonebook/ui/vst_editor.h"
#include "tests/app/main_window_fixture.h"
#include "tests/support/input_devices.h"
#include "translation/tixlanguage.h"
#include "widgets/image_list.h"

using namespace MainWindowTest;
using Platform::FromQString;
using TestSupport::KeyClick;
using TestSupport::KeyClicks;

namespace {

struct PhonebookPage : TMainWindowFixture {
    void SetUp() override
    {
        TMainWindowFixture::SetUp();
        TestSupport::AppWithDevices();
        Make(false);
        // The design items until the handler lays them out (the first
        // showing creates the engine, whose start empties them).
        EXPECT_EQ(w().RGroupPBStorage->Items(), (QStringList{"SM", "FD", "LD", "MC", "RC", "ON", "ME"}));
        w().resize(700, 560);
        w().show();
        w().PageControl1->setCurrentWidget(w().SheetPhonebook);
    }
    // The engine (its start empties the phonebook model).
    void Engine()
    {
        w().createEngine();
        ASSERT_TRUE(w().uniset);
    }
    VTixPhoneBook& Model() { return w().uniset->getHandlers().phonebook().getPhonebook(); }
    // A memory as the handler leaves it once read (writable from `first`;
    // 0: read-only).
    void Read(const std::string& name, int first, int last, const std::vector<std::pair<int, std::string>>& entries)
    {
        VTixPhoneBook& m = Model();
        m.setStoragesKnown(true);
        m.setDeviceStorage(name);
        m.setIndexRange(first ? first : 1, last, 20, 18);
        for (const auto& [index, text] : entries) {
            VTixPhoneBookRecord* r = m.recordAt(index);
            r->setDeviceNumber("60" + std::to_string(index));
            r->setDeviceText(text);
        }
        m.rangeRead(first ? first : 1, last);
        if (first)
            m.setWriteLimits(first, last, 20, 18);
        else
            m.setWriteLimits(-1, -1, 0, 0);
    }
    void ThreeOnSim()
    {
        Engine();
        Read("SM", 1, 250, {{1, "Jan"}, {2, "Petr"}, {3, "Eva"}});
    }
    QModelIndex Index(int row, int column = 0) { return w().VTPhonebookModel->index(row, column); }
    std::string Cell(int row, int column) { return FromQString(Index(row, column).data().toString()); }
    int Row(int index) { return Model().nodeOfRecord(Model().getDisplayedStorage()->findRecord(index, false)); }
    // The tree with the keyboard focus; false where the platform gives none.
    bool FocusTree()
    {
        w().activateWindow();
        w().VTPhonebook->setFocus(Qt::OtherFocusReason);
        RunUntil([&] { return QApplication::focusWidget() == w().VTPhonebook; }, 2000);
        return QApplication::focusWidget() == w().VTPhonebook;
    }
    void SelectRows(const std::vector<int>& rows, int current)
    {
        QItemSelectionModel* s = w().VTPhonebook->selectionModel();
        s->setCurrentIndex(Index(current), QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        s->clearSelection();
        for (int row : rows)
            s->select(Index(row), QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }
    // The colour in the middle of a row's number cell, as the window draws it.
    QColor RowColor(int row)
    {
        w().VTPhonebook->viewport()->repaint();
        const QRect cell = w().VTPhonebook->visualRect(Index(row, 1));
        return ColorAt(w().VTPhonebook->viewport(), QPoint(cell.left() + 4, cell.center().y()));
    }
    std::string File(const std::string& name) { return home + "/" + name; }
    // The file dialogs answer `chosen` (empty: cancelled) and are counted.
    void Choose(const std::string& chosen)
    {
        w().RunFileDialog = [this, chosen](TFormMain::TFileDialogSetup& setup, std::string& out) {
            dialogsRun.push_back(setup.name);
            out = chosen;
            return !chosen.empty();
        };
    }
    std::vector<std::string> dialogsRun;
};

}  // namespace

TEST_F(PhonebookPage, ControlsAsDesignedAndTranslated)
{
    TFormMain& f = w();
    EXPECT_EQ(f.TabsPBStorages->parentWidget(), f.SheetPhonebook);
    EXPECT_TRUE(f.TabsPBStorages->isAncestorOf(f.VTPhonebook)) << "the tabs hold the tree";
    EXPECT_TRUE(f.TabsPBStorages->Tabs()->testAttribute(Qt::WA_Hover));
    EXPECT_EQ(f.VTPhonebook->model(), f.VTPhonebookModel);
    EXPECT_EQ(f.VTPhonebook->itemDelegate(), f.VSTEditor1);
    EXPECT_EQ(f.VTPhonebook->TreeOptions().ExtendedOptions(), TVTExtendedOptions{toShadeBuffer});
    EXPECT_TRUE(f.VTPhonebook->ShowVertGridLines());
    EXPECT_EQ(f.VTPhonebook->selectionMode(), QAbstractItemView::ExtendedSelection);
    EXPECT_EQ(f.VTPhonebook->selectionBehavior(), QAbstractItemView::SelectRows);
    EXPECT_EQ(f.VTPhonebook->columnWidth(0), 40);
    EXPECT_GE(f.VTPhonebook->columnWidth(1), 100);
    EXPECT_GE(f.VTPhonebook->columnWidth(1),
              f.VTPhonebook->fontMetrics().horizontalAdvance(QStringLiteral("+420777000250")) + 8)
        << "an international number shows whole";
    EXPECT_EQ(f.VTPhonebook->header()->sectionResizeMode(2), QHeaderView::Stretch) << "the name takes what is left";
    EXPECT_EQ(f.VTPhonebook->header()->minimumSectionSize(), 20);
    EXPECT_TRUE(f.VTPhonebook->header()->sectionsMovable());
    EXPECT_EQ(f.VSTEditor1->Editor(), f.MFEdit1);
    EXPECT_EQ(f.VSTEditor1->NumEditor(), f.MFNumEdit1);
    EXPECT_FALSE(f.MFEdit1->isVisible());
    EXPECT_FALSE(f.MFNumEdit1->isVisible());
    EXPECT_EQ(f.MFNumEdit1->MaxValue(), 1000);
    EXPECT_EQ(f.MFNumEdit1->Precision(), 0);
    EXPECT_FALSE(f.MFNumEdit1->TrackBarEnabled());
    EXPECT_EQ(f.ImagesPhonebookStates->Count(), 4);
    EXPECT_EQ(f.controlWidget(VMainWindowLink::CheckPhonebookActive), f.CheckPhonebookActive);
    EXPECT_TRUE(f.isChecked(VMainWindowLink::CheckPhonebookActive));
    auto captions = [&] {
        std::string all;
        for (int i = 0; i < 3; ++i)
            all += (i ? "|" : "") + FromQString(f.VTPhonebookModel->headerData(i, Qt::Horizontal).toString());
        return all + "|" + FromQString(f.RGroupPBStorage->title()) + "|" +
               FromQString(static_cast<QCheckBox*>(f.CheckPhonebookActive)->text()) + "|" +
               FromQString(f.BtnReadPBFromFile->text()) + "|" + FromQString(f.BtnWritePBToFile->text());
    };
    EXPECT_EQ(captions(), Cz("Pozice|Tel. číslo|Jméno| Paměť |Načíst telefonní seznamy|Načíst|Zapsat"));
    f.VTixLanguage1->SetCurrLanguage("English");
    EXPECT_EQ(captions(), "Position|Phone number|Name| Memory |Read phonebooks|Load|Save");
    f.VTixLanguage1->SetCurrLanguage(Cz("Česky"));
    EXPECT_EQ(captions(), Cz("Pozice|Tel. číslo|Jméno| Paměť |Načíst telefonní seznamy|Načíst|Zapsat"));
    Engine();
    EXPECT_EQ(f.VTPhonebookModel->phonebook(), &Model());
    EXPECT_TRUE(Model().isEditorAttached());
}

TEST_F(PhonebookPage, TheSelectorAndTabsFollowTheMemoryList)
{
    TFormMain& f = w();
    Engine();
    auto placed = [&] {
        RunFor(20);
        const QRect g = f.RGroupPBStorage->geometry();
        EXPECT_EQ(g.height(), f.RGroupPBStorage->sizeHint().height());
        EXPECT_EQ(f.SheetPhonebook->height() - g.bottom() - 1, 2) << "2 pixels above the page's bottom";
        return g.height();
    };
    // The engine's start cleared the model: no memories, no items, no tabs.
    EXPECT_EQ(f.RGroupPBStorage->Items().size(), 0);
    EXPECT_EQ(f.TabsPBStorages->Tabs()->count(), 0);
    const int none = placed();
    for (const char* name : {"SM", "FD", "ON"})
        Model().storageByName(name);
    EXPECT_EQ(f.RGroupPBStorage->Items(), (QStringList{"SM (SIM karta)", QString::fromUtf8("FD (Pevná volba)"),
                                                       "ON (MSISDN seznam)"}));
    EXPECT_EQ(f.TabsPBStorages->TabTexts(), (std::vector<std::string>{"SM", "FD", "ON"}));
    EXPECT_EQ(f.TabsPBStorages->TabIndex(), 0);
    EXPECT_EQ(Model().displayedStorageName(), "SM") << "the first tab shown";
    const int three = placed();
    EXPECT_GT(three, none + 2 * f.RGroupPBStorage->Button(0)->sizeHint().height());

    // The user's tab and item.
    f.TabsPBStorages->SetTabIndex(2);
    EXPECT_EQ(Model().displayedStorageName(), "ON");
    f.RGroupPBStorage->Button(1)->click();
    EXPECT_EQ(Model().getWantedStorage(), "FD");
    f.setPBStorageItemIndex(-1);
    f.RGroupPBStorageClick();
    EXPECT_EQ(Model().getWantedStorage(), "FD") << "no item selected: nothing changes";
    f.setPBStorageItemIndex(0);
    EXPECT_EQ(f.pbStorageItemIndex(), 0);
    EXPECT_EQ(Model().getWantedStorage(), "FD") << "selected from code: no click";

    // A reset: none again, the selector as small as before.
    Model().clear();
    EXPECT_EQ(f.RGroupPBStorage->Items().size(), 0);
    EXPECT_EQ(f.TabsPBStorages->TabIndex(), -1);
    f.TabsPBStoragesChange();
    EXPECT_EQ(Model().displayedStorageName(), "");
    EXPECT_EQ(placed(), none);
}

TEST_F(PhonebookPage, InsertOpensThePositionEditorAndTheMovedEntryIsFocused)
{
    ThreeOnSim();
    ASSERT_EQ(w().VTPhonebookModel->rowCount(), 4);
    if (!FocusTree())
        GTEST_SKIP() << "the platform gives no keyboard focus";
    SelectRows({0}, 0);
    KeyClick(w().VTPhonebook, Qt::Key_Insert);
    ASSERT_TRUE(w().MFNumEdit1->isVisible());
    EXPECT_EQ(w().MFNumEdit1->parentWidget(), w().VTPhonebook->viewport());
    EXPECT_EQ(w().MFNumEdit1->Value(), 4);
    EXPECT_EQ(w().MFNumEdit1->MinValue(), 1);
    EXPECT_EQ(w().MFNumEdit1->MaxValue(), 250);
    EXPECT_EQ(w().VTPhonebook->currentIndex().row(), 3) << "the new-entry row focused";
    EXPECT_EQ(w().VTPhonebook->selectionModel()->selectedRows().size(), 1);
    KeyClick(w().MFNumEdit1, Qt::Key_A, Qt::ControlModifier);
    KeyClicks(w().MFNumEdit1, "6");
    std::vector<int> focused;
    const QMetaObject::Connection watch =
        QObject::connect(w().VTPhonebook->selectionModel(), &QItemSelectionModel::currentChanged,
                         [&](const QModelIndex& current) { focused.push_back(current.row()); });
    KeyClick(w().MFNumEdit1, Qt::Key_Return);
    EXPECT_FALSE(w().MFNumEdit1->isVisible());
    EXPECT_EQ(w().MFNumEdit1->parentWidget(), w().SheetPhonebook) << "the editor given back";
    ASSERT_EQ(w().VTPhonebookModel->rowCount(), 5);
    EXPECT_EQ(Cell(3, 0), "6");
    // The entry moved to is focused; Enter then moves on to the next row.
    QObject::disconnect(watch);
    EXPECT_EQ(focused, (std::vector<int>{3, 4}));
    EXPECT_EQ(w().VTPhonebook->currentIndex().row(), 4);
    EXPECT_EQ(QApplication::focusWidget(), w().VTPhonebook);

    // A name typed into entry 2 through F2; keys of the editor are its own.
    SelectRows({1}, 1);
    w().VTPhonebook->setCurrentIndex(Index(1, 2));
    KeyClick(w().VTPhonebook, Qt::Key_F2);
    ASSERT_TRUE(w().MFEdit1->isVisible());
    EXPECT_EQ(w().MFEdit1->MaxLength(), 18);
    EXPECT_EQ(FromQString(w().MFEdit1->text()), "Petr");
    KeyClick(w().MFEdit1, Qt::Key_End);
    KeyClick(w().MFEdit1, Qt::Key_Delete);
    KeyClick(w().MFEdit1, Qt::Key_Backspace);
    KeyClick(w().MFEdit1, Qt::Key_Insert);
    EXPECT_EQ(Model().getDisplayedStorage()->findRecord(2, false)->getEditedNumber(), "602")
        << "Delete in the editor cleared no row";
    KeyClicks(w().MFEdit1, "x");
    KeyClick(w().MFEdit1, Qt::Key_Escape);
    EXPECT_EQ(Cell(1, 2), "Petr") << "cancelled";
    EXPECT_FALSE(Model().getDisplayedStorage()->findRecord(2, false)->isPending());
}

TEST_F(PhonebookPage, DeleteMarksRowsYellowAndCopyTakesTheirDeviceValues)
{
    ThreeOnSim();
    if (!FocusTree())
        GTEST_SKIP() << "the platform gives no keyboard focus";
    const QColor plain = RowColor(3);
    SelectRows({0, 2}, 2);
    KeyClick(w().VTPhonebook, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(FromQString(QGuiApplication::clipboard()->text()), "1\t601\tJan\r\n3\t603\tEva\r\n");
    KeyClick(w().VTPhonebook, Qt::Key_Insert, Qt::ControlModifier);
    EXPECT_FALSE(w().MFNumEdit1->isVisible()) << "Ctrl+Insert copies";

    SelectRows({0, 1, 2}, 1);
    KeyClick(w().VTPhonebook, Qt::Key_Delete, Qt::ControlModifier);
    EXPECT_EQ(Cell(0, 1), "601") << "Ctrl alone deletes nothing";
    KeyClick(w().VTPhonebook, Qt::Key_Delete);
    EXPECT_TRUE(w().VTPhonebook->selectionModel()->selectedRows().isEmpty());
    EXPECT_FALSE(w().VTPhonebook->currentIndex().isValid()) << "the focus was on a deleted row";
    for (int row = 0; row < 3; ++row) {
        EXPECT_EQ(Cell(row, 1), "") << row;
        EXPECT_EQ(RowColor(row), QColor(255, 255, 0)) << row;
    }
    EXPECT_EQ(RowColor(3), plain);
    // Selected and waiting: yellow text while the tree has the focus.
    SelectRows({0}, 0);
    EXPECT_NE(RowColor(0), QColor(255, 255, 0));
    // The handler's OKs take them away.
    VTixPhoneBookStorage* sm = Model().getDisplayedStorage();
    for (int index : {1, 2, 3})
        sm->removeRecord(sm->findRecord(index, false));
    EXPECT_EQ(w().VTPhonebookModel->rowCount(), 1);
}

TEST_F(PhonebookPage, SelectionStaysWhenAnEntryIsReadInAboveIt)
{
    Engine();
    Read("SM", 1, 250, {{3, "C"}, {5, "E"}});
    SelectRows({1}, 1);
    Model().recordAt(1)->setDeviceText("A");
    Model().recordAt(4)->setDeviceText("D");
    const QModelIndexList rows = w().VTPhonebook->selectionModel()->selectedRows();
    ASSERT_EQ(rows.size(), 1);
    EXPECT_EQ(Cell(rows[0].row(), 0), "5");
    EXPECT_EQ(Cell(w().VTPhonebook->currentIndex().row(), 0), "5");
    // Leaving the tree for another control commits the focused row.
    Model().treeNewText(Row(5), VTixPhoneBook::tcText, "Eva");
    w().VTPhonebook->setCurrentIndex(Index(Row(5), 2));
    if (!FocusTree())
        GTEST_SKIP() << "the platform gives no keyboard focus";
    w().BtnWritePBToFile->setFocus(Qt::TabFocusReason);
    RunUntil([&] { return QApplication::focusWidget() == w().BtnWritePBToFile; }, 2000);
    EXPECT_TRUE(Model().getDisplayedStorage()->findRecord(5, false)->needsWrite());
}

TEST_F(PhonebookPage, WritingTheFileAddsTheExtensionAndRemembersTheFolder)
{
    Engine();
    Read("SM", 1, 250, {{1, "Jan"}});
    Choose(File("book"));
    w().BtnWritePBToFile->click();
    EXPECT_EQ(dialogsRun, std::vector<std::string>{"SaveDialogPB"});
    EXPECT_EQ(ReadFile(File("book.ini")), "[SM]\r\n1,\"601\",\"Jan\"\r\n\r\n");
    EXPECT_EQ(w().OpenDialogPB.initialDir, home + "/");
    EXPECT_EQ(w().OpenDialogPB.fileName, "book.ini");
    EXPECT_EQ(w().SaveDialogPB.fileName, "book.ini");
    Choose(File("x.txt"));
    w().BtnWritePBToFile->click();
    EXPECT_NE(ReadFile(File("x.txt")), "");
    EXPECT_EQ(w().SaveDialogPB.fileName, "x.txt");
    // A file that cannot be written: an error box, nothing remembered.
    Choose(File("missing/y.ini"));
    w().BtnWritePBToFile->click();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, Cz("Nelze zapsat seznam do souboru ") + File("missing/y.ini"));
    EXPECT_EQ(boxes[0].flags & 0xF0, 16u);
    EXPECT_EQ(w().SaveDialogPB.fileName, "x.txt");
    Choose("");
    w().BtnWritePBToFile->click();
    EXPECT_EQ(boxes.size(), 1u) << "cancelled";
}

TEST_F(PhonebookPage, ReadingTheFileThroughTheImportDialog)
{
    Engine();
    Read("SM", 1, 250, {{1, "Jan"}});
    Read("LD", 0, 10, {});
    Model().setDeviceStorage("SM");
    int shown = 0;
    std::vector<std::string> offered;
    bool accept = true;
    w().RunImportDialog = [&](TFormImportPB& dialog) {
        ++shown;
        dialog.FormShow();
        offered = dialog.StoragesInFile;
        EXPECT_EQ(dialog.windowTitle(), QString::fromUtf8("Import telefonního seznamu"));
        EXPECT_TRUE(dialog.RowChecked(0)) << "SM starts checked";
        dialog.CheckPreservePositions->setChecked(true);
        if (accept)
            dialog.BtnOK->click();
        else
            dialog.BtnCancel->click();
        return dialog.result() == QDialog::Accepted;
    };
    WriteFile(File("in.ini"), "[SM]\r\n7,\"607\",\"Sedm\"\r\n\r\n[LD]\r\n1,\"1\",\"x\"\r\n");

    // Cancel loads nothing.
    accept = false;
    Choose(File("in"));
    w().BtnReadPBFromFileClick();
    EXPECT_EQ(dialogsRun, std::vector<std::string>{"OpenDialogPB"});
    EXPECT_EQ(shown, 1);
    EXPECT_EQ(offered, std::vector<std::string>{"SM"}) << "the read-only memory is not offered";
    EXPECT_EQ(Model().getDisplayedStorage()->findRecord(7, false), nullptr);
    EXPECT_EQ(w().OpenDialogPB.fileName, "");

    // OK loads SM at the file's positions; the name is remembered.
    accept = true;
    w().BtnReadPBFromFileClick();
    EXPECT_EQ(shown, 2);
    ASSERT_NE(Model().getDisplayedStorage()->findRecord(7, false), nullptr);
    EXPECT_TRUE(Model().getDisplayedStorage()->findRecord(7, false)->needsWrite());
    EXPECT_EQ(w().OpenDialogPB.fileName, "in.ini");
    EXPECT_TRUE(boxes.empty());

    // A refused line: an error box, the name not remembered.
    WriteFile(File("bad.ini"), "[SM]\r\n300,\"6\",\"Daleko\"\r\n");
    Choose(File("bad.ini"));
    w().BtnReadPBFromFileClick();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, Cz("Uložený záznam na řádku 1 má chybný index (300, lze 1..250)"));
    EXPECT_EQ(boxes[0].flags & 0xF0, 16u);
    EXPECT_EQ(w().OpenDialogPB.fileName, "in.ini");

    // Only memories the device lacks: a warning, no dialog.
    WriteFile(File("other.ini"), "[XY]\r\n1,\"1\",\"x\"\r\n[LD]\r\n");
    Choose(File("other.ini"));
    w().BtnReadPBFromFileClick();
    EXPECT_EQ(shown, 3);
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[1].text, Cz("Zadaný soubor obsahuje pouze paměti, které připojené zařízení nepodporuje"));
    EXPECT_EQ(boxes[1].flags & 0xF0, 48u);

    // A file that is not there.
    Choose(File("gone.ini"));
    w().BtnReadPBFromFileClick();
    ASSERT_EQ(boxes.size(), 3u);
    EXPECT_EQ(boxes[2].text, Cz("Nepodařilo se nalézt soubor ") + File("gone.ini"));
    EXPECT_EQ(boxes[2].flags & 0xF0, 16u);
    EXPECT_EQ(shown, 3);
}
