#include "fuzz/support/refusing_port.h"

#include <cerrno>
#include <memory>

namespace Fuzz {

namespace {

class TRefusingPort : public Serial::TPortIO {
public:
    int Open(const std::string&) override { return ENOENT; }
    int Fd() const override { return -1; }
    int Configure(const Serial::TDCB&) override { return EBADF; }
    ssize_t Read(void*, size_t) override { return -1; }
    ssize_t Write(const void*, size_t) override { return -1; }
    unsigned WaitRead(int, int) override { return WaitFailed; }
    unsigned WaitWrite(int, int) override { return WaitFailed; }
    int BytesReady(uint32_t& count) override
    {
        count = 0;
        return EBADF;
    }
    int GetModemStatus(uint32_t& status) override
    {
        status = 0;
        return EBADF;
    }
    int GetLineCounts(Serial::TLineCounts&) override { return EBADF; }
    int Escape(int) override { return EBADF; }
    void Purge(bool, bool) override {}
};

}  // namespace

Serial::TPortFactory RefusingPortFactory()
{
    return [] { return std::make_unique<TRefusingPort>(); };
}

}  // namespace Fuzz
