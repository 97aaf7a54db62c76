// Reading language files from disk: a whole file, or one key of it read
// without loading the file.
#include "translation/language_file_reader.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>

namespace Tixlanguage {

namespace {

// Language files beyond this size are not taken (no real one comes near).
constexpr off_t kMaxLanguageFileSize = 64LL * 1024 * 1024;

// The reading of QuickReadKey over the bytes of a file, fed piece by
// piece: a key is found without the file being read further.
class TQuickKeyScan {
public:
    TQuickKeyScan(const std::string& section, const std::string& key, int bufferSize)
        : section_(section), key_(key), bufferSize_(bufferSize)
    {
    }

    // False once the scan needs no more bytes.
    bool Feed(const unsigned char* piece, size_t got)
    {
        for (size_t k = 0; k < got && !done_; ++k) {
            const unsigned char b = piece[k];
            switch (state_) {
            case sStart:
            case sLineStart:
                if (b == '[') {
                    state_ = sHeader;
                    namePos_ = 0;
                } else if (state_ == sStart && b == 0xEF) {
                    state_ = sBom1;
                } else {
                    state_ = b == '\r' ? sAfterCR : sSkip;
                }
                break;
            case sBom1:
                state_ = b == 0xBB ? sBom2 : (b == '\r' ? sAfterCR : sSkip);
                break;
            case sBom2:
                state_ = b == 0xBF ? sLineStart : (b == '\r' ? sAfterCR : sSkip);
                break;
            case sHeader:
                if (b == ']' && namePos_ == section_.size())
                    state_ = sSectionSkip;
                else if (namePos_ < section_.size() && b == static_cast<unsigned char>(section_[namePos_]))
                    ++namePos_;
                else
                    state_ = b == '\r' ? sAfterCR : sSkip;
                break;
            case sSkip:
                if (b == '\r')
                    state_ = sAfterCR;
                break;
            case sAfterCR:
                if (b == '\n')
                    state_ = sLineStart;
                else if (b != '\r')
                    state_ = sSkip;
                break;
            case sSectionSkip:
                if (b == '\r')
                    state_ = sSectionAfterCR;
                break;
            case sSectionAfterCR:
                if (b == '\n') {
                    state_ = sKey;
                    keyPos_ = 0;
                }
                break;
            case sKey:
                if (b == '=' && keyPos_ == key_.size()) {
                    if (bufferSize_ <= 0) {
                        done_ = true;
                        break;
                    }
                    state_ = sValueFirst;
                    found_ = true;
                } else if (keyPos_ == 0 && b == '[') {
                    done_ = true;  // the next section begins: the key is not in this one
                } else if (keyPos_ < key_.size() && b == static_cast<unsigned char>(key_[keyPos_])) {
                    ++keyPos_;
                } else {
                    state_ = b == '\r' ? sSectionAfterCR : sSectionSkip;
                }
                break;
            case sValueFirst:
            case sValue:
                if (state_ == sValueFirst && b == '"') {
                    quoted_ = true;
                    state_ = sValue;
                    break;
                }
                state_ = sValue;
                if (b == '\r') {
                    done_ = true;
                    break;
                }
                // A buffer of n characters holds n - 1 of the value (one
                // holds none).
                if (int(value_.size()) < bufferSize_ - 1)
                    value_.push_back(char(b));
                if (int(value_.size()) >= bufferSize_ - 1)
                    done_ = true;
                break;
            }
        }
        return !done_;
    }

    // The value's length, the value into Buffer (left as it is when the
    // key was not found).
    int Finish(std::string& Buffer)
    {
        if (!found_ || bufferSize_ <= 0)
            return 0;
        if (quoted_ && !value_.empty() && value_.back() == '"')
            value_.pop_back();
        Buffer = value_;
        return int(value_.size());
    }

private:
    enum State { sStart, sBom1, sBom2, sLineStart, sHeader, sSkip, sAfterCR, sSectionSkip,
                 sSectionAfterCR, sKey, sValueFirst, sValue };
    const std::string& section_;
    const std::string& key_;
    const int bufferSize_;
    State state_ = sStart;
    size_t namePos_ = 0;
    size_t keyPos_ = 0;
    bool quoted_ = false;
    bool done_ = false;
    bool found_ = false;
    std::string value_;
};

}  // namespace

int QuickReadKey(const std::string& Section, const std::string& Key, const std::string& Default,
                 const std::string& FileName, int BufferSize, std::string& Buffer)
{
    Buffer = Default;
    // A plain descriptor and a buffer on the stack: no stream buffer is
    // allocated for the few hundred bytes a key is usually found in.
    const int fd = ::open(FileName.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return 0;
    TQuickKeyScan scan(Section, Key, BufferSize);
    unsigned char piece[512];
    for (;;) {
        const ssize_t n = ::read(fd, piece, sizeof(piece));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0 || !scan.Feed(piece, size_t(n)))
            break;
    }
    ::close(fd);
    return scan.Finish(Buffer);
}

int QuickReadKeyInText(const std::string& Section, const std::string& Key, const std::string& Default,
                       const std::string& Text, int BufferSize, std::string& Buffer)
{
    Buffer = Default;
    TQuickKeyScan scan(Section, Key, BufferSize);
    scan.Feed(reinterpret_cast<const unsigned char*>(Text.data()), Text.size());
    return scan.Finish(Buffer);
}

bool ReadWholeFile(const std::string& fileName, std::string& bytes)
{
    // A plain descriptor: a stream would allocate its own buffer for every
    // file the languages are scanned and reloaded from.
    const int fd = ::open(fileName.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct stat st {};
    const off_t size = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) ? st.st_size : off_t(-1);
    if (size < 0 || size > kMaxLanguageFileSize) {
        ::close(fd);
        return false;
    }
    bytes.assign(size_t(size), '\0');
    size_t got = 0;
    while (got < bytes.size()) {
        const ssize_t n = ::read(fd, bytes.data() + got, bytes.size() - got);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        got += size_t(n);
    }
    ::close(fd);
    return got == bytes.size();
}

}  // namespace Tixlanguage
