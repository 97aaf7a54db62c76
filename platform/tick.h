#pragma once
#include <cstdint>

// The system millisecond tick: an unsigned 32-bit count that wraps after
// about 49.7 days. Every timed wait in the program compares ticks modulo
// 2^32, so tests shift the clock next to the wrap with SetTickOffset.
namespace Platform {

uint32_t GetTickCount();

// Added to every tick read from the monotonic clock (tests only).
void SetTickOffset(uint32_t offset);
uint32_t GetTickOffset();

}  // namespace Platform
