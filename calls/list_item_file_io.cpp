// The files of a received row: the temporary file the blocks go to, and
// saving it under the user's name.
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "calls/list_item_file.h"
#include "calls/list_view_file.h"

namespace {

// Whole-write of a buffer at an offset: partial writes are continued.
bool PWriteAll(int file, int64_t offset, const char* data, size_t count)
{
    while (count > 0) {
        const ssize_t n = ::pwrite(file, data, count, off_t(offset));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        data += n;
        count -= size_t(n);
        offset += n;
    }
    return true;
}

// A new file that must not exist yet; a link in its place is refused.
int CreateNew(const std::string& path, mode_t mode)
{
    int file;
    do
        file = ::open(path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode);
    while (file < 0 && errno == EINTR);
    return file;
}

}  // namespace

std::string VListItemFile::tempFolder() const
{
    auto* list = dynamic_cast<VListViewFile*>(owner);
    std::string folder = list ? list->getTempFolder() : std::string();
    if (!folder.empty() && folder.back() != '/')
        folder += '/';
    return folder;
}

bool VListItemFile::createTemporary()
{
    // Without a folder nothing is written: never into whatever the working
    // folder happens to be.
    const std::string folder = tempFolder();
    if (folder.empty())
        return false;
    for (int i = 0; i < TempNumbers; ++i) {
        char name[16];
        std::snprintf(name, sizeof name, "tixu%04d.tmp", i);
        const std::string candidate = folder + name;
        fd = CreateNew(candidate, 0600);
        if (fd >= 0) {
            temporary = candidate;
            return true;
        }
        // Only a taken name is worth the next number; a missing or closed
        // folder refuses them all.
        if (errno != EEXIST)
            return false;
    }
    return false;
}

void VListItemFile::closeFile()
{
    if (fd < 0)
        return;
    ::close(fd);
    fd = -1;
    if (!temporary.empty()) {
        ::unlink(temporary.c_str());
        temporary.clear();
    }
}

void VListItemFile::fail()
{
    closeFile();
    failed = true;
    setState(6);
}

bool VListItemFile::writeBlock(int64_t offset, int count, const void* data)
{
    if (failed)
        return false;
    if (count <= 0 || !data)
        return true;
    if (fd < 0 && !createTemporary()) {
        fail();
        return false;
    }
    if (offset < 0 || !PWriteAll(fd, offset, static_cast<const char*>(data), size_t(count))) {
        fail();
        return false;
    }
    return true;
}

bool VListItemFile::save(const std::string& target)
{
    if (failed || outgoing || target.empty())
        return false;
    const int copy = CreateNew(target, 0666);
    if (copy < 0)
        return false;
    if (fd >= 0) {
        std::vector<char> block(64 * 1024);
        int64_t offset = 0;
        for (;;) {
            const ssize_t n = ::pread(fd, block.data(), block.size(), off_t(offset));
            if (n < 0 && errno == EINTR)
                continue;
            if (n == 0)
                break;
            if (n < 0 || !PWriteAll(copy, offset, block.data(), size_t(n))) {
                // The row keeps what it has; no half copy is left behind.
                ::close(copy);
                ::unlink(target.c_str());
                return false;
            }
            offset += n;
        }
    }
    closeFile();
    fd = copy;
    path = target;
    saved = true;
    if (fileState == 7)
        fileState = 8;
    activate();
    return true;
}
