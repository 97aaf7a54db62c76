#include "serial/test_port.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <mutex>
#include <poll.h>
#include <thread>

#include "serial/termios_port.h"

namespace Serial {

struct TTestPortFactory::State {
    explicit State(TModemLines& l) : lines(l) {}
    TModemLines& lines;
    mutable std::mutex mutex;
    std::vector<uint32_t> rates;
    TDCB lastDcb;
    int failOpen = 0;
    std::atomic<int> failStatus{0};
    std::atomic<bool> hold{false};
    std::atomic<bool> held{false};
    std::atomic<bool> stall{false};
    std::atomic<bool> stalled{false};
    std::atomic<int> failWrites{0};
    std::atomic<int64_t> linesAfterStatus{-1};  // -1: none
    std::atomic<int> opens{0};
    std::atomic<int> configures{0};
    std::atomic<int> closes{0};
    std::atomic<uint64_t> bytesRead{0};
};

class TTestPortFactory::Port : public TTermiosPort {
public:
    explicit Port(std::shared_ptr<State> state)
        : state_(std::move(state)), lastSerial_(state_->lines.ChangeSerial())
    {
    }

    ~Port() override
    {
        if (opened_) {
            // As a real port closes: DTR and RTS drop.
            state_->lines.SetDtr(false);
            state_->lines.SetRts(false);
            ++state_->closes;
        }
    }

    int Open(const std::string& path) override
    {
        {
            std::lock_guard<std::mutex> lock(state_->mutex);
            if (state_->failOpen) {
                const int err = state_->failOpen;
                state_->failOpen = 0;
                return err;
            }
        }
        const int r = TTermiosPort::Open(path);
        if (r == 0) {
            opened_ = true;
            ++state_->opens;
        }
        return r;
    }

    int Configure(const TDCB& dcb) override
    {
        const int r = TTermiosPort::Configure(dcb);
        if (r == 0) {
            std::lock_guard<std::mutex> lock(state_->mutex);
            if (state_->rates.empty() || state_->rates.back() != dcb.BaudRate)
                state_->rates.push_back(dcb.BaudRate);
            state_->lastDcb = dcb;
            ++state_->configures;
        }
        return r;
    }

    ssize_t Read(void* buffer, size_t size) override
    {
        const ssize_t n = TTermiosPort::Read(buffer, size);
        if (n > 0)
            state_->bytesRead += static_cast<uint64_t>(n);
        return n;
    }

    ssize_t Write(const void* buffer, size_t size) override
    {
        if (const int err = state_->failWrites) {
            errno = err;
            return -1;
        }
        return TTermiosPort::Write(buffer, size);
    }

    unsigned WaitRead(int closeFd, int timeoutMs) override
    {
        while (state_->stall) {
            state_->stalled = true;
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        state_->stalled = false;
        if (state_->hold) {
            state_->held = true;
            pollfd p {closeFd, POLLIN, 0};
            while (state_->hold) {
                if (::poll(&p, 1, 5) > 0) {
                    state_->held = false;
                    return WaitClose;
                }
            }
            state_->held = false;
        }
        // The pseudo-terminal in short slices, so that a change of the lines
        // ends the wait as soon as it happens.
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
        for (;;) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                                  deadline - std::chrono::steady_clock::now())
                                  .count();
            const int slice = timeoutMs < 0 ? 10 : static_cast<int>(std::max<long long>(0, std::min<long long>(left, 10)));
            unsigned r = TTermiosPort::WaitRead(closeFd, slice);
            const uint64_t serial = state_->lines.ChangeSerial();
            if (serial != lastSerial_) {
                lastSerial_ = serial;
                r |= WaitLines;
            }
            if (r || (timeoutMs >= 0 && left <= 0))
                return r;
        }
    }

    int GetModemStatus(uint32_t& status) override
    {
        if (const int err = state_->failStatus)
            return err;
        status = state_->lines.DeviceLines();
        const int64_t next = state_->linesAfterStatus.exchange(-1);
        if (next >= 0)
            state_->lines.SetDeviceLines(static_cast<uint32_t>(next));
        return 0;
    }

    int GetLineCounts(TLineCounts& counts) override
    {
        if (const int err = state_->failStatus)
            return err;
        counts = state_->lines.GetCounts();
        return 0;
    }

    int Escape(int function) override
    {
        switch (function) {
        case SETRTS: state_->lines.SetRts(true); return 0;
        case CLRRTS: state_->lines.SetRts(false); return 0;
        case SETDTR: state_->lines.SetDtr(true); return 0;
        case CLRDTR: state_->lines.SetDtr(false); return 0;
        default: return TTermiosPort::Escape(function);
        }
    }

private:
    std::shared_ptr<State> state_;
    uint64_t lastSerial_;
    bool opened_ = false;
};

TTestPortFactory::TTestPortFactory(TModemLines& lines) : state_(std::make_shared<State>(lines)) {}

TTestPortFactory::~TTestPortFactory()
{
    // A stalled or held thread must not outlive the test that stalled it.
    state_->stall = false;
    state_->hold = false;
}

TPortFactory TTestPortFactory::Factory() const
{
    std::shared_ptr<State> state = state_;
    return [state]() -> std::unique_ptr<TPortIO> { return std::make_unique<Port>(state); };
}

std::vector<uint32_t> TTestPortFactory::BaudRates() const
{
    std::lock_guard<std::mutex> lock(state_->mutex);
    return state_->rates;
}

TDCB TTestPortFactory::LastDCB() const
{
    std::lock_guard<std::mutex> lock(state_->mutex);
    return state_->lastDcb;
}

int TTestPortFactory::Configures() const
{
    return state_->configures;
}

int TTestPortFactory::Opens() const
{
    return state_->opens;
}

int TTestPortFactory::Closes() const
{
    return state_->closes;
}

uint64_t TTestPortFactory::BytesRead() const
{
    return state_->bytesRead;
}

void TTestPortFactory::FailNextOpen(int err)
{
    std::lock_guard<std::mutex> lock(state_->mutex);
    state_->failOpen = err;
}

void TTestPortFactory::FailModemStatus(int err)
{
    state_->failStatus = err;
}

void TTestPortFactory::HoldEvents(bool hold)
{
    state_->hold = hold;
}

bool TTestPortFactory::ReadThreadHeld() const
{
    return state_->held;
}

void TTestPortFactory::StallReads(bool stall)
{
    state_->stall = stall;
}

bool TTestPortFactory::ReadThreadStalled() const
{
    return state_->stalled;
}

void TTestPortFactory::FailWrites(int err)
{
    state_->failWrites = err;
}

void TTestPortFactory::ChangeLinesAfterNextStatusRead(uint32_t msBits)
{
    state_->linesAfterStatus = msBits;
}

}  // namespace Serial
