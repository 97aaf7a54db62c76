// The buttons of the file-transfer page on the real main window
// (offscreen): choosing several files, sending with and without hiding
// what was sent, removing a row while it is being sent, saving a received
// file and the messages when that fails, and the hidden test buttons.
#include <QCheckBox>
#include <QItemSelectionModel>
#include <QLabel>
#include <QPushButton>
#include <QTreeView>
#include <filesystem>
#include <string>
#include <vector>

#include "calls/list_item_file.h"
#include "calls/list_view_file.h"
#include "engine/perif_calls.h"
#include "engine/perif_protikus.h"
#include "engine/perif_sending_file.h"
#include "tests/app/main_window_fixture.h"
#include "translation/tixlanguage.h"

using namespace MainWindowTest;
using Platform::FromQString;

namespace {

struct FilesTransferPage : TMainWindowFixture {
    void SetUp() override
    {
        TMainWindowFixture::SetUp();
        Make(false);
        w().createEngine();
        w().EditNumber->setText(QStringLiteral("+420601000002"));
    }
    void Tick() { w().uniset->tick(Platform::GetTickCount()); }
    static void Select(QTreeView* view, int row)
    {
        view->selectionModel()->select(view->model()->index(row, 0),
                                       QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    }
    VListViewFile& sendList() { return w().uniset->getSendList(); }
    VUniSET& uniset() { return *w().uniset; }
    VPerifSendingFile& sender() { return w().uniset->getHandlers().sendingFile(); }
    std::string File(const std::string& name, const std::string& bytes)
    {
        const std::string path = home + "/out/" + name;
        WriteFile(path, bytes);
        return path;
    }
};

std::string Text(QWidget* w)
{
    if (auto* b = qobject_cast<QAbstractButton*>(w))
        return FromQString(b->text());
    return FromQString(static_cast<QLabel*>(w)->text());
}

}  // namespace

TEST_F(FilesTransferPage, TheControlsCarryTheirCaptionsInEitherLanguage)
{
    const std::vector<std::pair<QWidget*, std::string>> czech = {
        {w().LabelFilesSend, "K odeslání"}, {w().BtnSendFiles, "Odeslat"},  {w().CheckHideSent, "Skrýt odeslané"},
        {w().BtnFilesNew, "Přidat..."},     {w().BtnFilesDel, "Odebrat"},   {w().LabelFilesRecv, "Přijaté"},
        {w().BtnSaveFile, "Uložit"},        {w().BtnTestSrc, "Src"},        {w().BtnTestDst, "Dst"},
    };
    for (const auto& [widget, caption] : czech) {
        ASSERT_NE(widget, nullptr) << caption;
        EXPECT_EQ(Text(widget), Cz(caption.c_str()));
        EXPECT_TRUE(w().SheetFiles->isAncestorOf(widget)) << caption;
    }
    EXPECT_TRUE(w().CheckHideSent->isChecked());
    EXPECT_TRUE(w().BtnTestSrc->isHidden());
    EXPECT_TRUE(w().BtnTestDst->isHidden());
    EXPECT_EQ(w().findChild<QPushButton*>(QStringLiteral("BtnTestSrc")), w().BtnTestSrc);
    EXPECT_TRUE(w().OpenDialogFiles.several);
    EXPECT_FALSE(w().OpenDialogFiles.save);
    EXPECT_EQ(w().OpenDialogFiles.title, Cz("Soubory k odeslání"));
    EXPECT_TRUE(w().SaveDialogFile.save);
    EXPECT_FALSE(w().SaveDialogFile.confirmOverwrite);
    EXPECT_EQ(w().SaveDialogFile.title, Cz("Přijatý soubor"));
    w().VTixLanguage1->SetCurrLanguage("English");
    EXPECT_EQ(Text(w().BtnFilesDel), "Remove");
    EXPECT_EQ(Text(w().CheckHideSent), "Hide sent");
    EXPECT_EQ(Text(w().LabelFilesRecv), "Received");
}

TEST_F(FilesTransferPage, FilesChosenTogetherAreAddedLastFirstForTheNumberAndSentOnce)
{
    std::vector<std::string> offered = {File("a", "1"), File("b", "22"), File("c", "333")};
    TFormMain::TFileDialogSetup seen;
    w().RunFilesDialog = [&](TFormMain::TFileDialogSetup& setup, std::vector<std::string>& chosen) {
        seen = setup;
        chosen = offered;
        return true;
    };
    w().BtnFilesNew->click();
    EXPECT_EQ(seen.name, "OpenDialogFiles");
    Tick();
    ASSERT_EQ(sendList().getCount(), 3);
    const std::vector<std::string> order = {offered[2], offered[1], offered[0]};
    for (int i = 0; i < 3; ++i) {
        VListItemFile* r = sendList().getItem(i);
        EXPECT_EQ(r->getPath(), order[size_t(i)]);
        EXPECT_EQ(r->getNumber(), i + 1);
        EXPECT_EQ(r->getPeerNumber(), "+420601000002");
        EXPECT_EQ(r->getState(), 1);
    }
    // A cancelled dialog adds nothing.
    w().RunFilesDialog = [](TFormMain::TFileDialogSetup&, std::vector<std::string>&) { return false; };
    w().BtnFilesNew->click();
    Tick();
    EXPECT_EQ(sendList().getCount(), 3);

    // One sent, one failed, one ready: Odeslat with "hide sent" removes
    // the sent row and queues the others once, also when pressed twice.
    sendList().getItem(0)->setState(3);
    sendList().getItem(1)->setState(4);
    w().BtnSendFiles->click();
    w().BtnSendFiles->click();
    Tick();
    ASSERT_EQ(sendList().getCount(), 2);
    EXPECT_EQ(sendList().getItem(0)->getPath(), offered[1]);
    EXPECT_EQ(sendList().getItem(0)->getState(), 1);
    EXPECT_EQ(sender().getQueue().size(), 2u);
    // Without hiding, a sent row is queued again.
    sendList().getItem(0)->setState(3);
    w().CheckHideSent->setChecked(false);
    w().BtnSendFiles->click();
    Tick();
    EXPECT_EQ(sendList().getCount(), 2);
    EXPECT_EQ(sendList().getItem(0)->getState(), 1);
    EXPECT_EQ(sender().getQueue().size(), 2u);
}

TEST_F(FilesTransferPage, AStationThatDidNotAnswerIsShownOnItsRowsAndSendTriesAgain)
{
    uniset().addSendFile(File("a", "1"), "+420601000002");
    uniset().addSendFile(File("b", "2"), "+420601000003");
    w().BtnSendFiles->click();
    sender().failStation("+420601000002", VPerifProtikus::NoAnswerText);
    Tick();
    QAbstractItemModel* m = w().ListFilesOut->model();
    auto state = [&](int row) { return FromQString(m->data(m->index(row, 2)).toString()); };
    EXPECT_EQ(state(0), Cz("Neodpovídá"));
    EXPECT_EQ(state(1), Cz("Připraven"));
    w().BtnSendFiles->click();
    Tick();
    EXPECT_EQ(state(0), Cz("Připraven"));
    EXPECT_EQ(uniset().getHandlers().protikus().getStations(),
              (std::vector<std::string>{"+420601000002", "+420601000003"}));
}

TEST_F(FilesTransferPage, ARowRemovedWhileSentLeavesTheListButNotTheTransfer)
{
    w().uniset->addSendFile(File("sending", "0123456789"), "+420601000002");
    w().uniset->addSendFile(File("waiting", "x"), "+420601000002");
    w().BtnSendFiles->click();
    Tick();
    VListItemFile* row = sendList().getItem(0);
    sender().beginTransfer(row, 8);
    ASSERT_EQ(row->getState(), 2);
    // Nothing selected: nothing removed.
    w().BtnFilesDel->click();
    Tick();
    EXPECT_EQ(sendList().getCount(), 2);
    Select(w().ListFilesOut, 0);
    w().BtnFilesDel->click();
    Tick();
    EXPECT_EQ(w().ListFilesOut->model()->rowCount(), 1);
    EXPECT_EQ(sender().getQueue().size(), 1u);
    // The transfer goes on with its row, and lets go of it at its end.
    EXPECT_EQ(sendList().getCount(), 2);
    EXPECT_EQ(sender().getCurrent(), row);
    EXPECT_EQ(row->getPath(), home + "/out/sending");
    sender().endTransfer(true);
    EXPECT_FALSE(sender().isBusy());
    Tick();
    EXPECT_EQ(sendList().getCount(), 1);
    EXPECT_EQ(sendList().getItem(0)->getPath(), home + "/out/waiting");
}

TEST_F(FilesTransferPage, AReceivedFileIsSavedWhereChosenAndNeverOverAnother)
{
    w().tempDir = home + "/temporary";
    std::filesystem::create_directories(w().tempDir);
    VListItemFile* row = w().uniset->addReceivedFile();
    row->setRemoteName("report.txt");
    row->setSize(2);
    ASSERT_TRUE(row->writeBlock(0, 2, "ok"));
    row->setState(7);
    Tick();
    std::vector<std::string> targets;
    std::vector<TFormMain::TFileDialogSetup> setups;
    w().RunFileDialog = [&](TFormMain::TFileDialogSetup& setup, std::string& chosen) {
        setups.push_back(setup);
        chosen = targets.front();
        targets.erase(targets.begin());
        return true;
    };
    // Nothing selected: no dialog.
    w().BtnSaveFile->click();
    EXPECT_TRUE(setups.empty());
    Select(w().ListFilesIn, 0);

    const std::string saved = home + "/saved/report.txt";
    std::filesystem::create_directories(home + "/saved");
    targets = {saved, saved, home + "/missing/report.txt"};
    w().BtnSaveFile->click();
    ASSERT_EQ(setups.size(), 1u);
    EXPECT_EQ(setups[0].name, "SaveDialogFile");
    EXPECT_EQ(setups[0].initialDir, "");
    EXPECT_EQ(setups[0].fileName, "report.txt");
    EXPECT_EQ(row->getState(), 8);
    EXPECT_EQ(row->getPath(), saved);
    EXPECT_EQ(ReadFile(saved), "ok");
    EXPECT_TRUE(boxes.empty());
    // Again: the dialog opens where it was saved; the file there stays.
    w().BtnSaveFile->click();
    EXPECT_EQ(setups[1].initialDir, home + "/saved/");
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, Cz("Soubor \"") + saved + Cz("\" již existuje."));
    EXPECT_EQ(boxes[0].flags & 0xFF, 0x30u);
    EXPECT_EQ(ReadFile(saved), "ok");
    w().VTixLanguage1->SetCurrLanguage("English");
    w().BtnSaveFile->click();
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[1].text, "File \"" + home + "/missing/report.txt\" could not be saved.");
    EXPECT_EQ(row->getPath(), saved);
}

TEST_F(FilesTransferPage, TheTestButtonsMakeRowZeroADataCall)
{
    VCall& row = w().uniset->getHandlers().calls().row(0);
    w().EditNumber->setText(QStringLiteral("123"));
    w().BtnTestSrc->click();
    EXPECT_EQ(row.state, 3);
    EXPECT_EQ(row.type, 2);
    EXPECT_EQ(row.number, "123");
    EXPECT_TRUE(row.outgoing);
    EXPECT_TRUE(row.remote.outgoing);
    EXPECT_EQ(w().uniset->getMode(), 3);
    w().uniset->setMode(0);
    w().EditNumber->setText(QStringLiteral("456"));
    w().BtnTestDst->click();
    EXPECT_EQ(row.number, "456");
    EXPECT_TRUE(row.outgoing) << "the first flag is not touched";
    EXPECT_FALSE(row.remote.outgoing);
    EXPECT_EQ(w().uniset->getMode(), 3);
}
