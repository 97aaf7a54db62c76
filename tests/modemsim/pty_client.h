#pragma once
#include <string>

// The program's side of the pseudo-terminal with plain POSIX calls, for
// tests that talk to the simulator directly: open the slave raw at a line
// speed, write commands, read until an expected text arrives.
namespace ModemSim {

class TPtyClient {
public:
    TPtyClient() = default;
    ~TPtyClient();
    TPtyClient(const TPtyClient&) = delete;
    TPtyClient& operator=(const TPtyClient&) = delete;

    bool Open(const std::string& path, int baud = 19200);
    void Close();
    bool IsOpen() const { return fd_ >= 0; }
    int Fd() const { return fd_; }
    bool SetBaud(int baud);

    bool Write(const std::string& bytes);
    // Writes "AT..." + CR (adds the CR).
    bool Command(const std::string& line) { return Write(line + "\r"); }

    // Reads until the bytes received since the last Take contain `text`,
    // or the time-out passes. Returns true when found.
    bool WaitFor(const std::string& text, int timeoutMs);
    // Reads whatever comes within `ms`.
    void ReadFor(int ms);
    // Everything received and not yet taken; Take also clears it.
    const std::string& Received() const { return received_; }
    std::string Take();
    // True when the port reported hang-up or an error (the device vanished).
    bool HungUp() const { return hungUp_; }

    // Sends the command and waits for a final result code; returns the
    // bytes received for it (and takes them).
    std::string Transact(const std::string& line, int timeoutMs = 5000);

private:
    bool ReadSome(int timeoutMs);

    int fd_ = -1;
    std::string received_;
    bool hungUp_ = false;
};

}  // namespace ModemSim
