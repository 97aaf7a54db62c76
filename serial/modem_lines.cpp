#include "serial/modem_lines.h"

#include <chrono>

namespace Serial {

void TModemLines::bumpLocked()
{
    ++serial_;
    changed_.notify_all();
}

void TModemLines::SetDeviceLines(uint32_t msBits)
{
    std::lock_guard<std::mutex> lock(mutex_);
    msBits &= MS_CTS_ON | MS_DSR_ON | MS_RING_ON | MS_RLSD_ON;
    const uint32_t diff = device_ ^ msBits;
    if (!diff)
        return;
    if (diff & MS_CTS_ON)
        ++counts_.cts;
    if (diff & MS_DSR_ON)
        ++counts_.dsr;
    if (diff & MS_RING_ON)
        ++counts_.ring;
    if (diff & MS_RLSD_ON)
        ++counts_.rlsd;
    device_ = msBits;
    bumpLocked();
}

uint32_t TModemLines::DeviceLines() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return device_;
}

void TModemLines::InjectErrors(uint32_t ceBits)
{
    std::lock_guard<std::mutex> lock(mutex_);
    if (ceBits & CE_BREAK)
        ++counts_.brk;
    if (ceBits & CE_FRAME)
        ++counts_.frame;
    if (ceBits & CE_OVERRUN)
        ++counts_.overrun;
    if (ceBits & CE_RXPARITY)
        ++counts_.parity;
    if (ceBits & CE_RXOVER)
        ++counts_.bufOverrun;
    bumpLocked();
}

void TModemLines::setOutput(bool TModemLines::*line, bool on)
{
    std::function<void(bool, bool)> listener;
    bool rts, dtr;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (this->*line == on)
            return;
        this->*line = on;
        rts = rts_;
        dtr = dtr_;
        listener = listener_;
        bumpLocked();
    }
    if (listener)
        listener(rts, dtr);
}

void TModemLines::SetRts(bool on)
{
    setOutput(&TModemLines::rts_, on);
}

void TModemLines::SetDtr(bool on)
{
    setOutput(&TModemLines::dtr_, on);
}

bool TModemLines::Rts() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return rts_;
}

bool TModemLines::Dtr() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return dtr_;
}

TModemLines::Counts TModemLines::GetCounts() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return counts_;
}

uint64_t TModemLines::ChangeSerial() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return serial_;
}

uint64_t TModemLines::WaitForChange(uint64_t seen, int timeoutMs) const
{
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait_for(lock, std::chrono::milliseconds(timeoutMs < 0 ? 0 : timeoutMs),
                      [&] { return serial_ != seen; });
    return serial_;
}

void TModemLines::SetOutputListener(std::function<void(bool, bool)> listener)
{
    std::lock_guard<std::mutex> lock(mutex_);
    listener_ = std::move(listener);
}

}  // namespace Serial
