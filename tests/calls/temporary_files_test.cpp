#include <gtest/gtest.h>

#include <string>
#include <sys/stat.h>
#include <unistd.h>

#include "tests/calls/file_rig.h"

using CallsTest::TReceivedRows;

TEST_F(TReceivedRows, RowsTakeTheNextFreeTemporaryNameAndTheFirstBlockMakesIt)
{
    VListItemFile* a = add();
    VListItemFile* b = add();
    // Nothing to write makes no file.
    EXPECT_TRUE(a->writeBlock(0, 0, "x"));
    EXPECT_TRUE(a->writeBlock(0, 3, nullptr));
    EXPECT_FALSE(a->hasFile());
    EXPECT_TRUE(a->writeBlock(0, 3, "abc"));
    EXPECT_TRUE(b->writeBlock(0, 2, "de"));
    EXPECT_EQ(a->temporaryName(), dir.File("tixu0000.tmp"));
    EXPECT_EQ(b->temporaryName(), dir.File("tixu0001.tmp"));
    EXPECT_EQ(TestSupport::ReadFile(dir.File("tixu0000.tmp")), "abc");
    EXPECT_EQ(TestSupport::ReadFile(dir.File("tixu0001.tmp")), "de");
    // Private to the user.
    struct stat st {};
    ASSERT_EQ(::stat(dir.File("tixu0000.tmp").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
    EXPECT_EQ(a->getState(), 0);
    EXPECT_FALSE(a->fileFailed());
}

TEST_F(TReceivedRows, ABlockPastTheEndLeavesAZeroGapAndBlocksMayComeInAnyOrder)
{
    VListItemFile* row = add();
    ASSERT_TRUE(row->writeBlock(10, 3, "xyz"));
    ASSERT_TRUE(row->writeBlock(0, 3, "abc"));
    ASSERT_TRUE(row->writeBlock(2, 2, "CD"));
    EXPECT_EQ(TestSupport::ReadFile(row->temporaryName()), std::string("abCD\0\0\0\0\0\0xyz", 13));
}

TEST_F(TReceivedRows, TakenNamesAreSkippedAndNothingIsWrittenThroughALink)
{
    ASSERT_TRUE(TestSupport::WriteFile(dir.File("tixu0000.tmp"), "someone's"));
    const std::string victim = dir.File("victim");
    ASSERT_TRUE(TestSupport::WriteFile(victim, "keep"));
    ASSERT_EQ(::symlink(victim.c_str(), dir.File("tixu0001.tmp").c_str()), 0);
    // A dangling link must not be followed to create its target either.
    ASSERT_EQ(::symlink(dir.File("made-by-link").c_str(), dir.File("tixu0002.tmp").c_str()), 0);
    VListItemFile* row = add();
    ASSERT_TRUE(row->writeBlock(0, 4, "data"));
    EXPECT_EQ(row->temporaryName(), dir.File("tixu0003.tmp"));
    EXPECT_EQ(TestSupport::ReadFile(dir.File("tixu0000.tmp")), "someone's");
    EXPECT_EQ(TestSupport::ReadFile(victim), "keep");
    EXPECT_FALSE(exists(dir.File("made-by-link")));
}

TEST_F(TReceivedRows, AFolderWithoutItsSlashGetsOne)
{
    list->setTempFolder(dir.Path());
    VListItemFile* row = add();
    ASSERT_TRUE(row->writeBlock(0, 1, "x"));
    EXPECT_EQ(row->temporaryName(), dir.Path() + "/tixu0000.tmp");
}

TEST_F(TReceivedRows, AMissingFolderFailsTheRowAndLaterBlocksAreIgnored)
{
    for (const std::string folder : {dir.File("missing/"), std::string()}) {
        list->setTempFolder(folder);
        VListItemFile* row = add();
        row->setState(5);
        EXPECT_FALSE(row->writeBlock(0, 3, "abc"));
        EXPECT_EQ(row->getState(), 6);
        EXPECT_TRUE(row->fileFailed());
        EXPECT_FALSE(row->hasFile());
        list->setTempFolder(dir.Path());
        EXPECT_FALSE(row->writeBlock(3, 3, "def"));
        EXPECT_FALSE(row->hasFile());
    }
    EXPECT_FALSE(exists(dir.File("tixu0000.tmp")));
    // A row without a list has no folder either.
    VListItemFile alone(1);
    EXPECT_FALSE(alone.writeBlock(0, 1, "x"));
    EXPECT_EQ(alone.getState(), 6);
}

TEST_F(TReceivedRows, WhenAllThousandNamesAreTakenTheRowFails)
{
    for (int i = 0; i < VListItemFile::TempNumbers; ++i) {
        char name[16];
        std::snprintf(name, sizeof name, "tixu%04d.tmp", i);
        ASSERT_TRUE(TestSupport::WriteFile(dir.File(name), ""));
    }
    VListItemFile* row = add();
    EXPECT_FALSE(row->writeBlock(0, 1, "x"));
    EXPECT_EQ(row->getState(), 6);
    EXPECT_FALSE(exists(dir.File("tixu1000.tmp")));
}

TEST_F(TReceivedRows, AFailedWriteRemovesTheTemporaryFile)
{
    VListItemFile* row = add();
    ASSERT_TRUE(row->writeBlock(0, 10, "0123456789"));
    const std::string temporary = row->temporaryName();
    // The write goes on after a short write and fails at the limit.
    const int code = CallsTest::RunWithFileSizeLimit(100, [&] {
        const std::string big(1000, 'b');
        int faults = 0;
        if (row->writeBlock(0, int(big.size()), big.data()))
            faults |= 1;
        if (row->getState() != 6 || !row->fileFailed() || row->hasFile())
            faults |= 2;
        if (exists(temporary))
            faults |= 4;
        if (row->writeBlock(0, 1, "x"))
            faults |= 8;
        return faults;
    });
    EXPECT_EQ(code, 0);
    // In this process: a negative offset fails the row the same way.
    ASSERT_TRUE(row->hasFile());
    EXPECT_FALSE(row->writeBlock(-1, 1, "x"));
    EXPECT_EQ(row->getState(), 6);
    EXPECT_FALSE(exists(dir.File("tixu0000.tmp")));
}

TEST_F(TReceivedRows, NoTemporaryFileOutlivesItsRowOrTheList)
{
    VListItemFile* a = add();
    add();
    ASSERT_TRUE(a->writeBlock(0, 1, "a"));
    ASSERT_TRUE(list->getItem(1)->writeBlock(0, 1, "b"));
    list->tick();
    a->requestStop();
    list->tick();
    EXPECT_EQ(list->getCount(), 1);
    EXPECT_FALSE(exists(dir.File("tixu0000.tmp")));
    EXPECT_TRUE(exists(dir.File("tixu0001.tmp")));
    list.reset();
    EXPECT_FALSE(exists(dir.File("tixu0001.tmp")));
}
