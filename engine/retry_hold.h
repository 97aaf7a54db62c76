#pragma once
#include <cstdint>

// Back-off of a handler after an error or an answer it cannot use: the
// first failure holds the next attempt for `base` ms, every further one
// in a row doubles the hold up to `max`; a good answer ends it. Without
// it a handler that asks again on every tick would take every turn from
// the handlers after it.
class TRetryHold {
public:
    static constexpr uint32_t DefaultBase = 2000;
    static constexpr uint32_t DefaultMax = 60000;

    explicit TRetryHold(uint32_t base = DefaultBase, uint32_t max = DefaultMax);

    void failed(uint32_t now);
    void succeeded();
    // Still within the hold of the last failure.
    bool holding(uint32_t now) const;
    int failures() const { return count; }
    // The hold the last failure started (0 when none).
    uint32_t currentHold() const;

private:
    uint32_t base;
    uint32_t max;
    uint32_t since = 0;
    int count = 0;
};
