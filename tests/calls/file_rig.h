#pragma once
#include <gtest/gtest.h>

#include <csignal>
#include <functional>
#include <memory>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "calls/list_item_file.h"
#include "calls/list_view_file.h"
#include "tests/support/files.h"

// Received rows on a list whose temporary folder is a test folder.
namespace CallsTest {

struct TReceivedRows : ::testing::Test {
    TestSupport::TempDir dir{"received"};
    std::unique_ptr<VListViewFile> list = std::make_unique<VListViewFile>(false);

    void SetUp() override { list->setTempFolder(dir.Path() + "/"); }

    VListItemFile* add()
    {
        auto item = std::make_unique<VListItemFile>(list->getMaxId() + 1);
        VListItemFile* row = item.get();
        list->addItem(std::move(item));
        return row;
    }
    // A received row holding Bytes in its temporary file, state 7.
    VListItemFile* received(const std::string& bytes)
    {
        VListItemFile* row = add();
        row->setRemoteName("remote.txt");
        row->setState(5);
        EXPECT_TRUE(row->writeBlock(0, int(bytes.size()), bytes.data()));
        row->setState(7);
        return row;
    }
    bool exists(const std::string& path) const
    {
        struct stat st {};
        return ::lstat(path.c_str(), &st) == 0;
    }
};

// Runs Body in a child process whose files may grow to at most Limit bytes
// (a write past it fails instead of killing the process); the child's exit
// code, -1 when it did not exit.
inline int RunWithFileSizeLimit(rlim_t Limit, const std::function<int()>& Body)
{
    const pid_t child = ::fork();
    if (child == 0) {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{Limit, Limit};
        if (::setrlimit(RLIMIT_FSIZE, &limit) != 0)
            ::_exit(100);
        ::_exit(Body());
    }
    int status = 0;
    if (child < 0 || ::waitpid(child, &status, 0) != child || !WIFEXITED(status))
        return -1;
    return WEXITSTATUS(status);
}

}  // namespace CallsTest
