#pragma once
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <sys/types.h>

#include "serial/comm_types.h"
#include "serial/modem_lines.h"

// The low-level calls of one open serial port, behind a small interface so
// that tests can put lines, errors and baud switching that a
// pseudo-terminal cannot carry in place of the real ones.
//
// The port's threads and the main thread call it at the same time (reads
// on the read thread, writes on the write thread, line calls anywhere), as
// they would call the system on one file descriptor. Errors are errno
// values; 0 is success.
namespace Serial {

class TPortIO {
public:
    // Results of the waits, as bits.
    static constexpr unsigned WaitClose = 1;     // the close event is set
    static constexpr unsigned WaitReady = 2;     // data to read, or room to write
    static constexpr unsigned WaitHangup = 4;    // the device is gone (hang-up or error)
    static constexpr unsigned WaitLines = 8;     // the modem lines or line errors changed
    static constexpr unsigned WaitFailed = 16;   // the wait itself failed

    virtual ~TPortIO() = default;

    // Opens the device exclusively; EBUSY when someone else has it.
    virtual int Open(const std::string& path) = 0;
    virtual int Fd() const = 0;
    // Applies the line settings; EINVAL when the device cannot carry them,
    // and then nothing is changed.
    virtual int Configure(const TDCB& dcb) = 0;

    virtual ssize_t Read(void* buffer, size_t size) = 0;
    virtual ssize_t Write(const void* buffer, size_t size) = 0;
    // Waits up to timeoutMs (-1: no limit) for input (or output room) or
    // for closeFd to become readable.
    virtual unsigned WaitRead(int closeFd, int timeoutMs) = 0;
    virtual unsigned WaitWrite(int closeFd, int timeoutMs) = 0;
    // Bytes waiting to be read.
    virtual int BytesReady(uint32_t& count) = 0;

    // MS_* bits of the input lines; ENOTTY when the device has no modem
    // lines (every pseudo-terminal).
    virtual int GetModemStatus(uint32_t& status) = 0;
    // ENOTTY or EINVAL when the device keeps no counts.
    virtual int GetLineCounts(TLineCounts& counts) = 0;
    // Escape functions SETRTS ... CLRBREAK; a device without modem lines
    // takes the line functions as done.
    virtual int Escape(int function) = 0;
    // Discards received and/or unsent bytes.
    virtual void Purge(bool rx, bool tx) = 0;
};

// Makes the port object for one opening of the port.
using TPortFactory = std::function<std::unique_ptr<TPortIO>()>;

}  // namespace Serial
