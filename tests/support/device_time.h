#pragma once
#include <algorithm>
#include <chrono>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <memory>
#include <mutex>

#include "platform/tick.h"
#include "tests/modemsim/modem_sim.h"

// Device time that runs ahead of the wall clock. The program's tick clock
// and the simulated device's clock are one: hand Clock() to the
// simulator's options, and call Skip() from the loop that ticks the
// program. While nothing is on its way between the two and the device
// has nothing due, Skip moves the shared clock forward, so a minute of a
// device that answers late or never passes in a few seconds, with every
// time-out of both sides seen in order.
namespace TestSupport {

// The program's tick count as 64-bit milliseconds that never wrap or run
// back (the tick may be shifted next to its wrap; a test that resets the
// offset afterwards does so after its simulator is gone).
inline std::function<int64_t()> DeviceClock()
{
    struct TUnwrap {
        std::mutex mutex;
        bool started = false;
        uint32_t last = 0;
        int64_t ms = 0;
    };
    auto state = std::make_shared<TUnwrap>();
    return [state] {
        std::lock_guard<std::mutex> lock(state->mutex);
        const uint32_t now = Platform::GetTickCount();
        if (!state->started) {
            state->started = true;
            state->last = now;
        }
        const uint32_t step = now - state->last;
        if (step < 0x80000000u) {  // a reset of the offset is not time running back
            state->ms += step;
            state->last = now;
        }
        return state->ms;
    };
}

inline int64_t HostSteadyMs()
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

// Bytes in flight or work due: the line must have been quiet this long
// (host time) before the clock moves, so that what one side wrote has
// reached the other.
constexpr int64_t kQuietHostMs = 15;

// Moves the shared clock forward when it is safe: no device has anything
// due sooner, no bytes wait in a pseudo-terminal either way, and every
// transcript has been quiet for kQuietHostMs. The program may wait for an
// answer meanwhile: none is coming, so passing the time only brings its
// time-out sooner. One step at most every kQuietHostMs of host time, so
// that a thread held up by a loaded machine sees a bounded jump.
class TClockSkipper {
public:
    explicit TClockSkipper(uint32_t maxStepMs = 250) : maxStepMs_(maxStepMs) {}

    // Returns the milliseconds moved.
    uint32_t Skip(std::initializer_list<ModemSim::TModemSim*> sims)
    {
        const int64_t host = HostSteadyMs();
        if (host - lastSkipHostMs_ < kQuietHostMs)
            return 0;
        int64_t step = maxStepMs_;
        for (ModemSim::TModemSim* sim : sims) {
            if (host - sim->Transcript().LastEntryHostMs() < kQuietHostMs)
                return 0;
            const int64_t due = sim->NextDueMs();
            if (due == 0)
                return 0;
            if (due > 0)
                step = std::min(step, due);
        }
        lastSkipHostMs_ = host;
        Platform::SetTickOffset(Platform::GetTickOffset() + static_cast<uint32_t>(step));
        for (ModemSim::TModemSim* sim : sims)
            sim->ClockMoved();
        skipped_ += step;
        return static_cast<uint32_t>(step);
    }
    int64_t SkippedMs() const { return skipped_; }

private:
    uint32_t maxStepMs_;
    int64_t lastSkipHostMs_ = 0;
    int64_t skipped_ = 0;
};

}  // namespace TestSupport
