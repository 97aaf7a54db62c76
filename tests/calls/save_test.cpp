#include <gtest/gtest.h>

#include <string>
#include <sys/stat.h>
#include <unistd.h>

#include "calls/list_view_model.h"
#include "tests/calls/file_rig.h"

using CallsTest::TReceivedRows;

namespace {

std::string Pattern(size_t size)
{
    std::string bytes(size, '\0');
    for (size_t i = 0; i < size; ++i)
        bytes[i] = char((i * 7 + i / 251) & 0xFF);
    return bytes;
}

}  // namespace

TEST_F(TReceivedRows, SavingCopiesEveryByteAndLaterBlocksGoToTheSavedFile)
{
    const std::string bytes = Pattern(200000);  // several copy blocks
    VListItemFile* row = received(bytes);
    const std::string temporary = row->temporaryName();
    const std::string target = dir.File("saved.bin");
    ASSERT_TRUE(row->save(target));
    EXPECT_EQ(TestSupport::ReadFile(target), bytes);
    EXPECT_EQ(row->getPath(), target);
    EXPECT_EQ(row->getState(), 8);
    EXPECT_TRUE(row->isSaved());
    EXPECT_TRUE(row->hasFile());
    EXPECT_EQ(row->temporaryName(), "");
    EXPECT_FALSE(exists(temporary));
    // Still receiving: the rest lands in the saved file.
    ASSERT_TRUE(row->writeBlock(200000, 3, "end"));
    EXPECT_EQ(TestSupport::ReadFile(target), bytes + "end");
    // Saving again copies from the saved file, which stays where it is.
    const std::string second = dir.File("again.bin");
    ASSERT_TRUE(row->save(second));
    EXPECT_EQ(TestSupport::ReadFile(second), bytes + "end");
    EXPECT_EQ(TestSupport::ReadFile(target), bytes + "end");
    EXPECT_EQ(row->getPath(), second);
    EXPECT_EQ(row->getState(), 8);
    // Nothing is removed with the row but temporary files.
    list.reset();
    EXPECT_TRUE(exists(target));
    EXPECT_TRUE(exists(second));
}

TEST_F(TReceivedRows, AnExistingTargetIsNeverOverwrittenAndTheRowStaysAsItWas)
{
    VListItemFile* row = received("new data");
    const std::string temporary = row->temporaryName();
    const std::string target = dir.File("exists.txt");
    ASSERT_TRUE(TestSupport::WriteFile(target, "old"));
    const std::string elsewhere = dir.File("elsewhere");
    ASSERT_TRUE(TestSupport::WriteFile(elsewhere, "other"));
    const std::string link = dir.File("link.txt");
    ASSERT_EQ(::symlink(elsewhere.c_str(), link.c_str()), 0);
    for (const std::string& taken : {target, link, dir.File("no/such/folder.txt"), std::string(), temporary}) {
        EXPECT_FALSE(row->save(taken)) << taken;
        EXPECT_EQ(row->getPath(), "remote.txt");
        EXPECT_EQ(row->getState(), 7);
        EXPECT_FALSE(row->isSaved());
        EXPECT_EQ(row->temporaryName(), temporary);
    }
    EXPECT_EQ(TestSupport::ReadFile(target), "old");
    EXPECT_EQ(TestSupport::ReadFile(elsewhere), "other");
    EXPECT_EQ(TestSupport::ReadFile(temporary), "new data");
}

TEST_F(TReceivedRows, AFailedCopyLeavesNoTargetAndKeepsTheTemporaryFile)
{
    const std::string bytes = Pattern(100000);
    VListItemFile* row = received(bytes);
    const std::string temporary = row->temporaryName();
    const std::string target = dir.File("too-big.bin");
    const int code = CallsTest::RunWithFileSizeLimit(bytes.size() / 2, [&] {
        int faults = 0;
        if (row->save(target))
            faults |= 1;
        if (exists(target))
            faults |= 2;
        if (TestSupport::ReadFile(temporary) != bytes)
            faults |= 4;
        if (row->getState() != 7 || row->isSaved() || row->getPath() != "remote.txt" ||
            row->temporaryName() != temporary || !row->hasFile())
            faults |= 8;
        return faults;
    });
    EXPECT_EQ(code, 0);
    EXPECT_FALSE(exists(target));
    EXPECT_EQ(TestSupport::ReadFile(temporary), bytes);
    // Without the limit the same save succeeds.
    ASSERT_TRUE(row->save(target));
    EXPECT_EQ(TestSupport::ReadFile(target), bytes);
}

TEST_F(TReceivedRows, ARowWithNothingReceivedSavesAnEmptyFileThatTakesLaterBlocks)
{
    VListItemFile* row = add();
    row->setRemoteName("empty.txt");
    row->setState(7);
    const std::string target = dir.File("empty.txt");
    ASSERT_TRUE(row->save(target));
    EXPECT_TRUE(exists(target));
    EXPECT_EQ(TestSupport::ReadFile(target), "");
    EXPECT_EQ(row->getState(), 8);
    EXPECT_EQ(row->getPath(), target);
    EXPECT_FALSE(exists(dir.File("tixu0000.tmp")));
    ASSERT_TRUE(row->writeBlock(0, 2, "hi"));
    EXPECT_EQ(TestSupport::ReadFile(target), "hi");
    EXPECT_FALSE(exists(dir.File("tixu0000.tmp")));
}

TEST_F(TReceivedRows, ARowWhoseFileFailedIsRefusedButACutOffOneSavesWhatArrived)
{
    list->setTempFolder(dir.File("missing"));
    VListItemFile* failed = add();
    failed->setState(5);
    EXPECT_FALSE(failed->writeBlock(0, 1, "x"));
    EXPECT_FALSE(failed->save(dir.File("failed.txt")));
    EXPECT_FALSE(exists(dir.File("failed.txt")));
    EXPECT_EQ(failed->getState(), 6);

    list->setTempFolder(dir.Path());
    VListItemFile* cut = add();
    cut->setState(5);
    ASSERT_TRUE(cut->writeBlock(0, 4, "part"));
    cut->setState(6);  // the reception was cut off
    ASSERT_TRUE(cut->save(dir.File("part.txt")));
    EXPECT_EQ(TestSupport::ReadFile(dir.File("part.txt")), "part");
    EXPECT_EQ(cut->getState(), 6);
    EXPECT_TRUE(cut->isSaved());

    // A row to send has nothing to save.
    VListItemFile out(9);
    out.setOutgoing(true);
    EXPECT_FALSE(out.save(dir.File("out.txt")));
    EXPECT_FALSE(exists(dir.File("out.txt")));
}

TEST_F(TReceivedRows, SavingRewritesTheRowAtTheNextPass)
{
    VListItemFile* row = received("abc");
    row->setSize(3);
    row->setProgress(3);
    list->tick();
    ASSERT_TRUE(row->save(dir.File("abc.txt")));
    EXPECT_EQ(list->getState(), VStatedObject::stActive);
    list->tick();
    VListViewModel& m = list->getModel();
    EXPECT_EQ(m.data(m.index(0, 0)).toString().toStdString(), dir.File("abc.txt"));
    EXPECT_EQ(m.data(m.index(0, 2)).toString(), QString::fromUtf8("Ulo\xC5\xBE" "en"));
    EXPECT_EQ(m.data(m.index(0, 0), VListViewModel::ImageRole).toInt(), 8);
}
