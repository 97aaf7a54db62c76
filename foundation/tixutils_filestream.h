#pragma once
#include <cstdint>
#include <stdexcept>
#include <string>

// A file stream opened with explicit access, sharing and creation values,
// which owns its file descriptor.
namespace Tixutils {

// Access, sharing and creation values of the stream's constructors.
constexpr uint32_t GENERIC_READ = 0x80000000u;
constexpr uint32_t GENERIC_WRITE = 0x40000000u;
constexpr uint32_t FILE_SHARE_READ = 0x1;
constexpr uint32_t FILE_SHARE_WRITE = 0x2;
constexpr uint32_t FILE_SHARE_DELETE = 0x4;
constexpr uint32_t CREATE_NEW = 1;         // fails when the file exists
constexpr uint32_t CREATE_ALWAYS = 2;      // created or emptied
constexpr uint32_t OPEN_EXISTING = 3;      // fails when it is missing
constexpr uint32_t OPEN_ALWAYS = 4;        // opened or created
constexpr uint32_t TRUNCATE_EXISTING = 5;  // an existing file, emptied
constexpr uint32_t FILE_ATTRIBUTE_NORMAL = 0x80;
constexpr uint32_t FILE_FLAG_WRITE_THROUGH = 0x80000000u;

// The file could not be opened: "Cannot create file <name>".
class EFCreateError : public std::runtime_error {
public:
    explicit EFCreateError(const std::string& fileName);
};

class TTixFileStream {
public:
    enum TSeekOrigin { soBeginning = 0, soCurrent = 1, soEnd = 2 };

    // Without any share flag the file is locked against every other opener
    // that asks for a lock (advisory, as Linux locks are).
    TTixFileStream(const std::string& fileName, uint32_t access, uint32_t shareMode,
                   uint32_t creationDisposition, uint32_t flagsAndAttributes);
    // For writing only.
    TTixFileStream(const std::string& fileName, uint32_t shareMode, uint32_t creationDisposition,
                   uint32_t flagsAndAttributes);
    ~TTixFileStream();
    TTixFileStream(const TTixFileStream&) = delete;
    TTixFileStream& operator=(const TTixFileStream&) = delete;

    int Handle() const { return fd_; }
    // Bytes read or written; less at the end of the file or on an error.
    int Read(void* buffer, int count);
    int Write(const void* buffer, int count);
    // The new position, or -1 when the seek failed.
    int64_t Seek(int64_t offset, TSeekOrigin origin);
    int64_t Position() const;
    int64_t Size() const;

    // The characters of a C string without its NUL.
    void WritePChar(const char* text);
    // The file ends at the current position.
    void truncate();

private:
    void open(const std::string& fileName, uint32_t access, uint32_t shareMode,
              uint32_t creationDisposition, uint32_t flagsAndAttributes);
    int fd_ = -1;
};

}  // namespace Tixutils
