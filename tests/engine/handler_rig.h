#pragma once
#include <cstdint>
#include <string>

#include "engine/perif_modem.h"
#include "engine/uniset.h"
#include "tests/engine/recording_port.h"
#include "tests/engine/recording_window.h"

// An engine over a byte sink with a recording window, for handler tests
// that feed received lines and ticks by hand with a test-owned clock.
// Handlers are started and restarted at `now`, as the engine's start
// does when a port opens.
struct THandlerRig {
    explicit THandlerRig(uint32_t start = 100000);

    // Bytes of a received line (or several) at `now`.
    void line(const std::string& text);
    // The bytes written since the last call.
    std::string sent();
    // Moves the clock on by `ms`.
    void advance(uint32_t ms) { now += ms; }
    // The engine's tick every 10 ms until `ms` have passed.
    void run(uint32_t ms);
    // One turn of the given handlers alone: the clock moves on by
    // `advanceMs`, each ticks; returns what they wrote.
    template <typename... THandler>
    std::string turn(uint32_t advanceMs, THandler&... handlers)
    {
        advance(advanceMs);
        (handlers.tick(now), ...);
        return sent();
    }
    // The device's answer: an information line unless empty, then the
    // final result.
    void reply(const std::string& info, const std::string& final);
    // The same after the echo of `command`.
    void answer(const std::string& command, const std::string& info, const std::string& final);

    TRecordingWindow window;
    TByteSinkPort port;
    VUniSET engine{&port, &window};
    VPerifModem& modem = engine.getHandlers();
    uint32_t now;
};
