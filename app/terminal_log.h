#pragma once
#include <cstdint>
#include <string>

// The terminal's log file: what the output pane shows, appended, cut back to
// its newest nine tenths when it grows past its maximum length.
class VTixTerminalLog {
public:
    VTixTerminalLog() = default;
    ~VTixTerminalLog();
    VTixTerminalLog(const VTixTerminalLog&) = delete;
    VTixTerminalLog& operator=(const VTixTerminalLog&) = delete;

    // Closes the open file and opens (creating) the named one at its end,
    // writing an empty line pair as a separator. Only regular files are
    // taken: a pipe or a device could block the terminal. False with
    // LastError() on failure; the log is then closed.
    bool Open(const std::string& fileName);
    void Close();
    bool IsOpen() const { return fd_ >= 0; }
    const std::string& FileName() const { return fileName_; }

    // Appends the bytes; with cut, then cuts the file when it is longer than
    // maxLen bytes, keeping its last (maxLen / 10) * 9 bytes. A short read
    // while cutting leaves the file uncut. False when writing failed (the
    // log is closed then).
    bool Append(const char* data, size_t count, bool cut, int64_t maxLen);
    // Cuts as Append does; for tests and after a failed cut.
    bool CutIfLonger(int64_t maxLen);

    const std::string& LastError() const { return error_; }

private:
    bool fail(const char* what);

    int fd_ = -1;
    std::string fileName_;
    std::string error_;
};
