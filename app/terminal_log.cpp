#include "app/terminal_log.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <new>

namespace {

// Writes everything or fails; never waits on a full pipe (the file is a
// regular file anyway).
bool writeAll(int fd, const char* data, size_t count, off_t offset, bool positioned)
{
    while (count > 0) {
        const ssize_t n = positioned ? pwrite(fd, data, count, offset) : write(fd, data, count);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        if (n == 0) {
            errno = ENOSPC;
            return false;
        }
        data += n;
        count -= size_t(n);
        offset += n;
    }
    return true;
}

}  // namespace

VTixTerminalLog::~VTixTerminalLog() { Close(); }

void VTixTerminalLog::Close()
{
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = -1;
}

bool VTixTerminalLog::fail(const char* what)
{
    error_ = std::string(what) + ": " + std::strerror(errno);
    Close();
    return false;
}

bool VTixTerminalLog::Open(const std::string& fileName)
{
    Close();
    fileName_ = fileName;
    error_.clear();
    if (fileName.empty())
        return true;
    fd_ = ::open(fileName.c_str(), O_RDWR | O_CREAT | O_NONBLOCK | O_CLOEXEC, 0644);
    if (fd_ < 0)
        return fail("open");
    struct stat st{};
    if (fstat(fd_, &st) != 0)
        return fail("stat");
    if (!S_ISREG(st.st_mode)) {
        errno = EINVAL;
        return fail("not a regular file");
    }
    if (lseek(fd_, 0, SEEK_END) < 0)
        return fail("seek");
    if (!writeAll(fd_, "\r\n\r\n", 4, 0, false))
        return fail("write");
    return true;
}

bool VTixTerminalLog::Append(const char* data, size_t count, bool cut, int64_t maxLen)
{
    if (fd_ < 0)
        return false;
    if (count > 0 && !writeAll(fd_, data, count, 0, false))
        return fail("write");
    return cut ? CutIfLonger(maxLen) : true;
}

bool VTixTerminalLog::CutIfLonger(int64_t maxLen)
{
    if (fd_ < 0)
        return false;
    struct stat st{};
    if (fstat(fd_, &st) != 0)
        return fail("stat");
    const int64_t size = st.st_size;
    if (size <= maxLen && size <= int64_t(UINT32_MAX))
        return true;
    const int64_t keep = maxLen > 0 ? (maxLen / 10) * 9 : 0;
    std::string tail;
    try {
        tail.resize(size_t(keep));
    } catch (const std::bad_alloc&) {
        return true;  // nothing cut this time; the file is intact
    }
    size_t got = 0;
    while (got < tail.size()) {
        const ssize_t n = pread(fd_, tail.data() + got, tail.size() - got, off_t(size - keep + int64_t(got)));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        got += size_t(n);
    }
    if (got != tail.size())
        return true;  // short read: the file stays uncut for this append
    if (!writeAll(fd_, tail.data(), tail.size(), 0, true))
        return fail("write");
    if (ftruncate(fd_, off_t(keep)) != 0)
        return fail("truncate");
    if (lseek(fd_, 0, SEEK_END) < 0)
        return fail("seek");
    return true;
}
