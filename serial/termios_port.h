#pragma once
#include <atomic>

#include "serial/port_io.h"

namespace Serial {

// A real serial device (or a pseudo-terminal) through termios: opened
// O_RDWR|O_NOCTTY|O_NONBLOCK|O_CLOEXEC, kept exclusive with TIOCEXCL and
// flock, raw mode with CLOCAL|CREAD. Rates without a termios constant go
// through termios2 (BOTHER).
class TTermiosPort : public TPortIO {
public:
    TTermiosPort() = default;
    ~TTermiosPort() override;

    int Open(const std::string& path) override;
    int Fd() const override { return fd_; }
    int Configure(const TDCB& dcb) override;
    ssize_t Read(void* buffer, size_t size) override;
    ssize_t Write(const void* buffer, size_t size) override;
    unsigned WaitRead(int closeFd, int timeoutMs) override;
    unsigned WaitWrite(int closeFd, int timeoutMs) override;
    int BytesReady(uint32_t& count) override;
    int GetModemStatus(uint32_t& status) override;
    int GetLineCounts(TLineCounts& counts) override;
    int Escape(int function) override;
    void Purge(bool rx, bool tx) override;

    // Whether the device is one the program must never take: the
    // controlling terminal, /dev/tty, /dev/console, a virtual console or a
    // port the kernel writes its console to.
    static bool IsConsoleDevice(int fd);

private:
    unsigned wait(int closeFd, short events, int timeoutMs);

    int fd_ = -1;
    // A device without modem lines or line counters (a pseudo-terminal)
    // refuses those requests for as long as it is open: once refused they
    // are answered here, not by a system call on every tick. Both threads
    // of the port ask.
    std::atomic<bool> noModemStatus_{false};
    std::atomic<bool> noLineCounts_{false};
};

// The standard port factory.
std::unique_ptr<TPortIO> MakeTermiosPort();

}  // namespace Serial
