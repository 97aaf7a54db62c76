#pragma once
#include <cstdint>
#include <memory>
#include <string>

#include "engine/uniset.h"
#include "fuzz/support/null_window.h"

class VPerifSMSs;

namespace Fuzz {

// The connection engine with all its real handlers and the null window,
// without a port: what it writes goes nowhere, what it receives comes from
// the target. The engine's checks of its own state run after every step.
struct TEngineRig {
    TNullWindow window;
    std::unique_ptr<VUniSET> engine;
    uint32_t now = 0;
    const VPerifSMSs* smsHandler = nullptr;

    explicit TEngineRig(uint32_t start);
    ~TEngineRig();

    // One received byte at the current time.
    void receive(uint8_t byte);
    void receive(const std::string& bytes);
    // Moves the clock and ticks the engine.
    void tick(uint32_t elapsed);
    // What must hold after any step.
    void checkInvariants();

private:
    // The SMS list and the handler's records as the last walk of the list
    // found them. Records join the list only with a change notice (which
    // bumps the change count) and leave it only with a smaller count or a
    // join in the same step, so while all four stay the same the handler's
    // records are still in the list and need no new walk.
    struct TSmsSeen {
        int count = -1;
        uint32_t changes = 0;
        const void* mine = nullptr;
        const void* user = nullptr;
        bool operator==(const TSmsSeen&) const = default;
    };
    TSmsSeen smsSeen;
    void checkSmsRecords();
};

}  // namespace Fuzz
