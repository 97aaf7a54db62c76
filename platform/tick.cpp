#include "platform/tick.h"

#include <atomic>
#include <ctime>

namespace Platform {

namespace {
std::atomic<uint32_t> g_offset{0};
}

[[gnu::hot]] uint32_t GetTickCount()  // many times on every tick
{
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    const uint64_t ms = uint64_t(ts.tv_sec) * 1000u + uint64_t(ts.tv_nsec) / 1000000u;
    return uint32_t(ms) + g_offset.load(std::memory_order_relaxed);
}

void SetTickOffset(uint32_t offset) { g_offset.store(offset, std::memory_order_relaxed); }

uint32_t GetTickOffset() { return g_offset.load(std::memory_order_relaxed); }

}  // namespace Platform
