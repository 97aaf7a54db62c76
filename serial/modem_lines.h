#pragma once
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>

// Modem control lines that a pseudo-terminal cannot carry. A test port (the
// serial component's test interface) reads the device-side lines from here
// and writes RTS and DTR into it; the simulated device does the opposite.
// Thread-safe: the port threads, the simulator's thread and the test all
// touch it.
namespace Serial {

// Modem status bits as the component reports them.
constexpr uint32_t MS_CTS_ON = 0x10;
constexpr uint32_t MS_DSR_ON = 0x20;
constexpr uint32_t MS_RING_ON = 0x40;
constexpr uint32_t MS_RLSD_ON = 0x80;

// Line-error bits of a reported event.
constexpr uint32_t CE_RXOVER = 0x0001;
constexpr uint32_t CE_OVERRUN = 0x0002;
constexpr uint32_t CE_RXPARITY = 0x0004;
constexpr uint32_t CE_FRAME = 0x0008;
constexpr uint32_t CE_BREAK = 0x0010;

// Transition counts of the input lines and the receiver's error counts.
struct TLineCounts {
    uint32_t cts = 0, dsr = 0, ring = 0, rlsd = 0;
    uint32_t brk = 0, frame = 0, overrun = 0, parity = 0, bufOverrun = 0;
    bool operator==(const TLineCounts&) const = default;
};

class TModemLines {
public:
    using Counts = TLineCounts;

    // Device side: sets CTS/DSR/RING/RLSD (MS_* bits), counting transitions.
    void SetDeviceLines(uint32_t msBits);
    uint32_t DeviceLines() const;
    // Device side: a break or line errors (CE_* bits) seen by the receiver.
    void InjectErrors(uint32_t ceBits);

    // Program side.
    void SetRts(bool on);
    void SetDtr(bool on);
    bool Rts() const;
    bool Dtr() const;

    Counts GetCounts() const;
    // Serial number of the last change of anything above.
    uint64_t ChangeSerial() const;
    // Waits until the serial differs from `seen` or the time-out passes;
    // returns the current serial.
    uint64_t WaitForChange(uint64_t seen, int timeoutMs) const;

    // Called (outside the lock) after RTS or DTR changed: the device side
    // learns of the program's lines.
    void SetOutputListener(std::function<void(bool rts, bool dtr)> listener);

private:
    void bumpLocked();
    // Sets RTS or DTR; on a change tells the listener.
    void setOutput(bool TModemLines::*line, bool on);

    mutable std::mutex mutex_;
    mutable std::condition_variable changed_;
    uint32_t device_ = 0;
    bool rts_ = false;
    bool dtr_ = false;
    Counts counts_;
    uint64_t serial_ = 0;
    std::function<void(bool, bool)> listener_;
};

}  // namespace Serial
