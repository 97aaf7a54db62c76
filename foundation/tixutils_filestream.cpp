#include "foundation/tixutils_filestream.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace Tixutils {

EFCreateError::EFCreateError(const std::string& fileName)
    : std::runtime_error("Cannot create file " + fileName)
{
}

TTixFileStream::TTixFileStream(const std::string& fileName, uint32_t access, uint32_t shareMode,
                               uint32_t creationDisposition, uint32_t flagsAndAttributes)
{
    open(fileName, access, shareMode, creationDisposition, flagsAndAttributes);
}

TTixFileStream::TTixFileStream(const std::string& fileName, uint32_t shareMode,
                               uint32_t creationDisposition, uint32_t flagsAndAttributes)
{
    open(fileName, GENERIC_WRITE, shareMode, creationDisposition, flagsAndAttributes);
}

TTixFileStream::~TTixFileStream()
{
    if (fd_ >= 0)
        ::close(fd_);
}

void TTixFileStream::open(const std::string& fileName, uint32_t access, uint32_t shareMode,
                          uint32_t creationDisposition, uint32_t flagsAndAttributes)
{
    const bool read = access & GENERIC_READ;
    const bool write = access & GENERIC_WRITE;
    int flags = O_CLOEXEC;
    flags |= (read && write) ? O_RDWR : write ? O_WRONLY : O_RDONLY;
    switch (creationDisposition) {
    case CREATE_NEW: flags |= O_CREAT | O_EXCL; break;
    case CREATE_ALWAYS: flags |= O_CREAT | O_TRUNC; break;
    case OPEN_EXISTING: break;
    case OPEN_ALWAYS: flags |= O_CREAT; break;
    case TRUNCATE_EXISTING: flags |= O_TRUNC; break;
    default: throw EFCreateError(fileName);
    }
    // Emptying a file needs write access.
    if ((flags & O_TRUNC) && !write)
        throw EFCreateError(fileName);
    if (flagsAndAttributes & FILE_FLAG_WRITE_THROUGH)
        flags |= O_SYNC;
    const int fd = ::open(fileName.c_str(), flags, 0644);
    if (fd < 0)
        throw EFCreateError(fileName);
    struct stat st {};
    if (::fstat(fd, &st) != 0 || S_ISDIR(st.st_mode)) {
        ::close(fd);
        throw EFCreateError(fileName);
    }
    const bool shared = shareMode & (FILE_SHARE_READ | FILE_SHARE_WRITE);
    if (::flock(fd, (shared ? LOCK_SH : LOCK_EX) | LOCK_NB) != 0) {
        ::close(fd);
        throw EFCreateError(fileName);
    }
    fd_ = fd;
}

int TTixFileStream::Read(void* buffer, int count)
{
    if (buffer == nullptr || count <= 0)
        return 0;
    int done = 0;
    while (done < count) {
        const ssize_t n = ::read(fd_, static_cast<char*>(buffer) + done, size_t(count - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        done += int(n);
    }
    return done;
}

int TTixFileStream::Write(const void* buffer, int count)
{
    if (buffer == nullptr || count <= 0)
        return 0;
    int done = 0;
    while (done < count) {
        const ssize_t n = ::write(fd_, static_cast<const char*>(buffer) + done, size_t(count - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        done += int(n);
    }
    return done;
}

int64_t TTixFileStream::Seek(int64_t offset, TSeekOrigin origin)
{
    const int whence = origin == soCurrent ? SEEK_CUR : origin == soEnd ? SEEK_END : SEEK_SET;
    return int64_t(::lseek(fd_, off_t(offset), whence));
}

int64_t TTixFileStream::Position() const
{
    return int64_t(::lseek(fd_, 0, SEEK_CUR));
}

int64_t TTixFileStream::Size() const
{
    struct stat st {};
    return ::fstat(fd_, &st) == 0 ? int64_t(st.st_size) : -1;
}

void TTixFileStream::WritePChar(const char* text)
{
    if (text != nullptr)
        Write(text, int(std::strlen(text)));
}

void TTixFileStream::truncate()
{
    const off_t pos = ::lseek(fd_, 0, SEEK_CUR);
    if (pos >= 0)
        (void)::ftruncate(fd_, pos);
}

}  // namespace Tixutils
