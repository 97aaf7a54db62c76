#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "calls/list_item_file.h"
#include "calls/list_view_file.h"
#include "calls/list_view_model.h"
#include "engine/perif_sending_file.h"
#include "engine/uniset.h"
#include "tests/engine/recording_window.h"
#include "tests/support/code_pages.h"
#include "tests/support/files.h"

namespace {

using TestSupport::Cz;
using W = VMainWindowLink;

struct Files : ::testing::Test {
    TestSupport::TempDir dir{"engine-files"};
    TRecordingWindow window;
    std::unique_ptr<VUniSET> engine;
    std::string existing;

    void SetUp() override
    {
        existing = dir.File("five.bin");
        ASSERT_TRUE(TestSupport::WriteFile(existing, "12345"));
        window.tempDir = dir.Path();
        engine = std::make_unique<VUniSET>(nullptr, &window);
    }

    VListViewFile& sendList() { return engine->getSendList(); }
    VListViewModel& sendRows() { return sendList().getModel(); }
    const std::vector<VListItemFile*>& queue() { return engine->getHandlers().sendingFile().getQueue(); }
    std::string cell(VListViewModel& rows, int row, int column)
    {
        return rows.data(rows.index(row, column)).toString().toStdString();
    }
};

}  // namespace

TEST_F(Files, TheEngineBindsBothListsToTheWindowAndUnbindsThemWhenItGoes)
{
    EXPECT_EQ(window.fileLists[W::ListFilesOut], &engine->getSendList().getModel());
    EXPECT_EQ(window.fileLists[W::ListFilesIn], &engine->getReceivedList().getModel());
    EXPECT_TRUE(engine->getSendList().isEditable());
    EXPECT_FALSE(engine->getReceivedList().isEditable());
    engine.reset();
    EXPECT_EQ(window.fileLists[W::ListFilesOut], nullptr);
    EXPECT_EQ(window.fileLists[W::ListFilesIn], nullptr);
    EXPECT_EQ(window.fileListBindings[W::ListFilesOut], 2);
    EXPECT_EQ(window.fileListBindings[W::ListFilesIn], 2);
}

TEST_F(Files, SendRowsAreNumberedAndLookAtTheirFile)
{
    engine->addSendFile(existing, "+420123");
    engine->addSendFile("/nonexistent/zelvitor/file", "555");
    ASSERT_EQ(sendList().getCount(), 2);
    VListItemFile* first = sendList().getItem(0);
    VListItemFile* second = sendList().getItem(1);
    EXPECT_EQ(first->getNumber(), 1);
    EXPECT_EQ(second->getNumber(), 2);
    EXPECT_TRUE(first->isOutgoing());
    EXPECT_EQ(first->getState(), 1);
    EXPECT_EQ(first->getSize(), 5);
    EXPECT_EQ(first->getPeerNumber(), "+420123");
    EXPECT_EQ(second->getState(), 0);
    EXPECT_EQ(second->getSize(), -1);
    EXPECT_EQ(sendList().getMaxId(), 2);

    // The rows reach the view at the engine's tick.
    EXPECT_EQ(sendRows().rowCount(), 0);
    engine->tick(1);
    ASSERT_EQ(sendRows().rowCount(), 2);
    EXPECT_EQ(cell(sendRows(), 0, 0), existing);
    EXPECT_EQ(cell(sendRows(), 0, 1), "5 B");
    EXPECT_EQ(cell(sendRows(), 0, 2), "P\u0159ipraven");
    EXPECT_EQ(cell(sendRows(), 0, 3), "+420123");
    EXPECT_EQ(cell(sendRows(), 1, 1), "-");
    EXPECT_EQ(cell(sendRows(), 1, 2), "Nenalezen");
}

TEST_F(Files, WalkQueuesReadyRowsAndRetriesFailedOnes)
{
    engine->addSendFile(existing, "1");
    engine->addSendFile(existing, "2");
    engine->addSendFile(existing, "3");
    engine->addSendFile("/nonexistent/x", "4");
    sendList().getItem(0)->setState(3);  // sent
    sendList().getItem(1)->setState(4);  // failed
    engine->walkSendList(true);
    // The sent row leaves, the failed one is ready again and queued with
    // the ready one; the missing file stays out. The queue holds its rows.
    ASSERT_EQ(queue().size(), 2u);
    EXPECT_EQ(queue()[0], sendList().getItem(1));
    EXPECT_EQ(queue()[1], sendList().getItem(2));
    EXPECT_EQ(sendList().getItem(1)->getState(), 1);
    EXPECT_EQ(sendList().getItem(1)->holdCount(), 1);
    EXPECT_EQ(sendList().getItem(0)->holdCount(), 0);
    engine->tick(1);
    ASSERT_EQ(sendList().getCount(), 3);
    EXPECT_EQ(sendList().getItem(0)->getPeerNumber(), "2");

    // Without dropping, a sent row is queued again; the queue starts afresh
    // and lets go of what it held before.
    sendList().getItem(0)->setState(3);
    engine->walkSendList(false);
    EXPECT_EQ(queue().size(), 2u);
    EXPECT_EQ(sendList().getItem(0)->getState(), 1);
    EXPECT_EQ(sendList().getItem(0)->holdCount(), 1);
    EXPECT_EQ(sendList().getItem(1)->holdCount(), 1);
    EXPECT_EQ(sendList().getItem(2)->holdCount(), 0);
}

TEST_F(Files, RemovingARowTakesItOutOfTheQueue)
{
    engine->addSendFile(existing, "1");
    engine->addSendFile(existing, "2");
    engine->tick(1);
    engine->walkSendList(false);
    ASSERT_EQ(queue().size(), 2u);
    engine->removeSendFile(-1);
    engine->removeSendFile(7);
    EXPECT_EQ(queue().size(), 2u);
    VListItemFile* first = sendList().getItem(0);
    engine->removeSendFile(0);
    ASSERT_EQ(queue().size(), 1u);
    EXPECT_NE(queue()[0], first);
    engine->tick(1);
    ASSERT_EQ(sendList().getCount(), 1);
    EXPECT_EQ(sendRows().rowCount(), 1);
    EXPECT_EQ(sendList().getItem(0)->getPeerNumber(), "2");
    // New rows continue above the highest number left.
    engine->addSendFile(existing, "3");
    EXPECT_EQ(sendList().getItem(1)->getNumber(), 3);
}

TEST_F(Files, AHeldRowLeavesTheViewAtOnceAndIsFreedWhenReleased)
{
    engine->addSendFile(existing, "1");
    engine->addSendFile(existing, "2");
    engine->tick(1);
    // The sender keeps the row it sends.
    VListItemFile* sending = sendList().getItem(0);
    sending->hold();
    engine->removeSendFile(0);
    engine->tick(2);
    EXPECT_EQ(sendRows().rowCount(), 1);
    EXPECT_EQ(sendRows().itemAt(0), sendList().getItem(1));
    ASSERT_EQ(sendList().getCount(), 2);
    EXPECT_EQ(sendList().getItem(0), sending);
    // It can still be read (address sanitizer: it is alive).
    EXPECT_EQ(sending->getPeerNumber(), "1");
    engine->tick(3);
    EXPECT_EQ(sendList().getCount(), 2);
    sending->release();
    engine->tick(4);
    ASSERT_EQ(sendList().getCount(), 1);
    EXPECT_EQ(sendList().getItem(0)->getPeerNumber(), "2");
}

TEST_F(Files, FinishEmptiesTheSendersQueueSoClosingNeverWaitsOnIt)
{
    engine->addSendFile(existing, "1");
    engine->addSendFile(existing, "2");
    engine->walkSendList(false);
    ASSERT_EQ(queue().size(), 2u);
    EXPECT_FALSE(engine->finish());
    EXPECT_TRUE(queue().empty());
    engine->tick(1);
    EXPECT_EQ(sendList().getCount(), 0);
    EXPECT_TRUE(engine->finish());
}

TEST_F(Files, ReceivedRows)
{
    VListItemFile* a = engine->addReceivedFile();
    VListItemFile* b = engine->addReceivedFile();
    ASSERT_NE(a, nullptr);
    EXPECT_FALSE(a->isOutgoing());
    EXPECT_EQ(a->getNumber(), 1);
    EXPECT_EQ(b->getNumber(), 2);
    // Rows of the view exist from the next tick on.
    EXPECT_EQ(engine->receivedItemOf(0), nullptr);
    engine->tick(1);
    EXPECT_EQ(engine->receivedItemOf(1), b);
    EXPECT_EQ(engine->receivedItemOf(2), nullptr);
    EXPECT_EQ(engine->receivedItemOf(-1), nullptr);
    // An incoming row only keeps the name it is given.
    a->setPath("/nonexistent/name.txt");
    EXPECT_EQ(a->getState(), 0);
    EXPECT_EQ(a->getPath(), "/nonexistent/name.txt");
}

TEST_F(Files, ReceivedDataGoesToTheWindowsTemporaryFolder)
{
    VListItemFile* row = engine->addReceivedFile();
    ASSERT_TRUE(row->writeBlock(0, 3, "abc"));
    EXPECT_EQ(row->temporaryName(), dir.File("tixu0000.tmp"));
    EXPECT_EQ(TestSupport::ReadFile(dir.File("tixu0000.tmp")), "abc");
    // The folder is the window's at the time the row is made.
    TestSupport::TempDir other("engine-files-other");
    window.tempDir = other.Path() + "/";
    VListItemFile* next = engine->addReceivedFile();
    ASSERT_TRUE(next->writeBlock(0, 1, "x"));
    EXPECT_EQ(next->temporaryName(), other.File("tixu0000.tmp"));
    // No temporary file outlives the engine.
    engine.reset();
    EXPECT_FALSE(std::filesystem::exists(dir.File("tixu0000.tmp")));
    EXPECT_FALSE(std::filesystem::exists(other.File("tixu0000.tmp")));
}
