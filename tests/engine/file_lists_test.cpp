#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <memory>
#include <string>
#include <unistd.h>

#include "engine/list_item_file.h"
#include "engine/list_view_file.h"
#include "engine/perif_sending_file.h"
#include "engine/uniset.h"
#include "tests/engine/recording_window.h"

namespace {

struct Files : ::testing::Test {
    TRecordingWindow window;
    VUniSET engine{nullptr, &window};
    std::string existing;

    void SetUp() override
    {
        char name[] = "/tmp/zelvitor-engine-filesXXXXXX";
        const int fd = mkstemp(name);
        ASSERT_GE(fd, 0);
        ASSERT_EQ(write(fd, "12345", 5), 5);
        close(fd);
        existing = name;
    }
    void TearDown() override { std::remove(existing.c_str()); }

    VListViewFile& sendList() { return engine.getSendList(); }
    const std::vector<VListItemFile*>& queue() { return engine.getHandlers().sendingFile().getQueue(); }
};

}  // namespace

TEST_F(Files, SendRowsAreNumberedAndLookAtTheirFile)
{
    engine.addSendFile(existing, "+420123");
    engine.addSendFile("/nonexistent/zelvitor/file", "555");
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
}

TEST_F(Files, WalkQueuesReadyRowsAndRetriesFailedOnes)
{
    engine.addSendFile(existing, "1");
    engine.addSendFile(existing, "2");
    engine.addSendFile(existing, "3");
    engine.addSendFile("/nonexistent/x", "4");
    sendList().getItem(0)->setState(3);  // sent
    sendList().getItem(1)->setState(4);  // failed
    engine.walkSendList(true);
    // The sent row leaves, the failed one is ready again and queued with
    // the ready one; the missing file stays out.
    ASSERT_EQ(queue().size(), 2u);
    EXPECT_EQ(queue()[0], sendList().getItem(1));
    EXPECT_EQ(queue()[1], sendList().getItem(2));
    EXPECT_EQ(sendList().getItem(1)->getState(), 1);
    engine.tick(1);
    ASSERT_EQ(sendList().getCount(), 3);
    EXPECT_EQ(sendList().getItem(0)->getPeerNumber(), "2");

    // Without dropping, a sent row is queued again; the queue starts afresh.
    sendList().getItem(0)->setState(3);
    engine.walkSendList(false);
    EXPECT_EQ(queue().size(), 2u);
    EXPECT_EQ(sendList().getItem(0)->getState(), 1);
}

TEST_F(Files, RemovingARowTakesItOutOfTheQueue)
{
    engine.addSendFile(existing, "1");
    engine.addSendFile(existing, "2");
    engine.walkSendList(false);
    ASSERT_EQ(queue().size(), 2u);
    engine.removeSendFile(-1);
    engine.removeSendFile(7);
    EXPECT_EQ(queue().size(), 2u);
    VListItemFile* first = sendList().getItem(0);
    engine.removeSendFile(0);
    ASSERT_EQ(queue().size(), 1u);
    EXPECT_NE(queue()[0], first);
    engine.tick(1);
    ASSERT_EQ(sendList().getCount(), 1);
    EXPECT_EQ(sendList().getItem(0)->getPeerNumber(), "2");
    // New rows continue above the highest number left.
    engine.addSendFile(existing, "3");
    EXPECT_EQ(sendList().getItem(1)->getNumber(), 3);
}

TEST_F(Files, ReceivedRows)
{
    VListItemFile* a = engine.addReceivedFile();
    VListItemFile* b = engine.addReceivedFile();
    ASSERT_NE(a, nullptr);
    EXPECT_FALSE(a->isOutgoing());
    EXPECT_EQ(a->getNumber(), 1);
    EXPECT_EQ(b->getNumber(), 2);
    EXPECT_EQ(engine.receivedItemOf(1), b);
    EXPECT_EQ(engine.receivedItemOf(2), nullptr);
    EXPECT_EQ(engine.receivedItemOf(-1), nullptr);
    // An incoming row only keeps the name it is given.
    a->setPath("/nonexistent/name.txt");
    EXPECT_EQ(a->getState(), 0);
    EXPECT_EQ(a->getPath(), "/nonexistent/name.txt");
}

TEST(FileList, OrderByNumberKeepsArrivalForEqualNumbers)
{
    VListViewFile list(true);
    EXPECT_EQ(list.getMaxId(), -1);
    list.addItem(std::make_unique<VListItemFile>(5));
    VListItemFile* firstThree = list.addItem(std::make_unique<VListItemFile>(3));
    VListItemFile* secondThree = list.addItem(std::make_unique<VListItemFile>(3));
    list.addItem(std::make_unique<VListItemFile>(-4));  // negative numbers become 0
    EXPECT_EQ(list.getItem(0)->getNumber(), 0);
    EXPECT_EQ(list.getItem(1), firstThree);
    EXPECT_EQ(list.getItem(2), secondThree);
    EXPECT_EQ(list.getMaxId(), 5);
    EXPECT_EQ(list.getItem(4), nullptr);
    EXPECT_EQ(list.addItem(nullptr), nullptr);
}

TEST(FileList, StopsOnceItsRowsAreGone)
{
    VListViewFile list(false);
    list.addItem(std::make_unique<VListItemFile>(1));
    EXPECT_FALSE(list.requestStop());
    EXPECT_EQ(list.getCount(), 1);
    list.tick();
    EXPECT_EQ(list.getCount(), 0);
    EXPECT_TRUE(list.requestStop());
}
