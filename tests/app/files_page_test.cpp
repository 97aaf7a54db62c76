#include <gtest/gtest.h>

#include <QHeaderView>
#include <QTreeView>
#include <string>

#include "app/list_cell_editor.h"
#include "app/list_view_binding.h"
#include "calls/list_item_file.h"
#include "calls/list_view_file.h"
#include "calls/list_view_model.h"
#include "engine/uniset.h"
#include "tests/app/main_window_fixture.h"
#include "translation/tixlanguage.h"

using namespace MainWindowTest;
using Platform::FromQString;

namespace {

struct FilesPage : TMainWindowFixture {
    std::string Captions(QTreeView* view)
    {
        std::string all;
        for (int i = 0; i < view->model()->columnCount(); ++i)
            all += (i ? "|" : "") + FromQString(view->model()->headerData(i, Qt::Horizontal).toString());
        return all;
    }
    std::string Cell(QTreeView* view, int row, int column)
    {
        return FromQString(view->model()->data(view->model()->index(row, column)).toString());
    }
};

}  // namespace

TEST_F(FilesPage, TheTwoListsShowTheEnginesFileListsInEitherLanguage)
{
    Make(false);
    ASSERT_NE(w().ListFilesOut, nullptr);
    ASSERT_NE(w().ListFilesIn, nullptr);
    EXPECT_EQ(w().ListFilesOut->parentWidget(), w().SheetFiles);
    EXPECT_EQ(w().controlWidget(VMainWindowLink::ListFilesIn), w().ListFilesIn);
    EXPECT_EQ(Captions(w().ListFilesOut), Cz("Soubor|Délka|Stav|Cíl"));
    EXPECT_EQ(Captions(w().ListFilesIn), Cz("Soubor|Délka|Stav|Zdroj"));
    // Translated before the engine exists: the lists take the captions over.
    w().VTixLanguage1->SetCurrLanguage("English");
    EXPECT_EQ(Captions(w().ListFilesIn), "File|Length|State|Source");
    w().createEngine();
    ASSERT_TRUE(w().uniset);
    EXPECT_EQ(w().ListFilesOut->model(), &w().uniset->getSendList().getModel());
    EXPECT_EQ(w().ListFilesIn->model(), &w().uniset->getReceivedList().getModel());
    EXPECT_EQ(Captions(w().ListFilesOut), "File|Length|State|Destination");
    w().VTixLanguage1->SetCurrLanguage(Cz("Česky"));
    EXPECT_EQ(Captions(w().ListFilesOut), Cz("Soubor|Délka|Stav|Cíl"));

    const std::string file = home + "/send.bin";
    WriteFile(file, "123456");
    w().uniset->addSendFile(file, "+420601000002");
    EXPECT_EQ(w().ListFilesOut->model()->rowCount(), 0);
    w().uniset->tick(Platform::GetTickCount());
    ASSERT_EQ(w().ListFilesOut->model()->rowCount(), 1);
    EXPECT_EQ(Cell(w().ListFilesOut, 0, 0), file);
    EXPECT_EQ(Cell(w().ListFilesOut, 0, 1), "6 B");
    EXPECT_EQ(Cell(w().ListFilesOut, 0, 2), Cz("Připraven"));
    EXPECT_EQ(Cell(w().ListFilesOut, 0, 3), "+420601000002");

    // The engine goes first; the views keep their captions.
    w().uniset.reset();
    EXPECT_EQ(w().ListFilesOutBinding->boundModel(), nullptr);
    EXPECT_EQ(w().ListFilesOut->model()->rowCount(), 0);
    EXPECT_EQ(Captions(w().ListFilesOut), Cz("Soubor|Délka|Stav|Cíl"));
}

TEST_F(FilesPage, ReceivedFilesGoToTheTemporaryFolderOfTheWindow)
{
    Make(false);
    w().createEngine();
    w().tempDir = home + "/temporary";
    WriteFile(w().tempDir + "/placeholder", "");
    EXPECT_EQ(w().tempFolder(), w().tempDir);
    VListItemFile* row = w().uniset->addReceivedFile();
    ASSERT_TRUE(row->writeBlock(0, 2, "ok"));
    EXPECT_EQ(row->temporaryName(), w().tempDir + "/tixu0000.tmp");
    EXPECT_EQ(ReadFile(w().tempDir + "/tixu0000.tmp"), "ok");
    w().uniset.reset();
    EXPECT_FALSE(QFile::exists(QString::fromStdString(w().tempDir + "/tixu0000.tmp")));
}

TEST_F(FilesPage, TheDestinationOfAFileToSendIsEditedInPlace)
{
    Make(false);
    w().resize(800, 600);
    w().show();
    w().createEngine();
    w().PageControl1->setCurrentWidget(w().SheetFiles);
    const std::string file = home + "/send.bin";
    WriteFile(file, "1");
    w().uniset->addSendFile(file, "111");
    w().uniset->tick(Platform::GetTickCount());
    RunFor(20);
    QTreeView* view = w().ListFilesOut;
    EXPECT_TRUE(view->model()->flags(view->model()->index(0, 3)) & Qt::ItemIsEditable);
    EXPECT_FALSE(view->model()->flags(view->model()->index(0, 1)) & Qt::ItemIsEditable);
    EXPECT_FALSE(w().ListFilesIn->model()->flags(w().ListFilesIn->model()->index(0, 0)) & Qt::ItemIsEditable);
    // What the double click does: the view opens the cell's editor.
    view->edit(view->model()->index(0, 3));
    QComboBox* editor = w().ListFilesOutBinding->cellEditor()->openEditor();
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(FromQString(editor->currentText()), "111");
    editor->setEditText("222");
    w().uniset->tick(Platform::GetTickCount());
    EXPECT_EQ(w().uniset->getSendList().getItem(0)->getPeerNumber(), "222");
    EXPECT_EQ(Cell(view, 0, 3), "222");
    // Closing the window's engine closes the editor first.
    w().uniset.reset();
    EXPECT_EQ(w().ListFilesOutBinding->cellEditor()->openEditor(), nullptr);
}
