#pragma once
#include <cstdint>

// Timer and counter helpers on the 32-bit millisecond tick.
namespace Tixutils {

// Whether Interval ms have passed since Start at the tick Now. A tick
// below Start counts as a wrap-around only when Start lies in the upper
// half of the range and Now in the lower half; any other step back of
// the clock counts as "over".
bool IsTimerOver(uint32_t Start, uint32_t Interval, uint32_t Now);
// The same at the current system tick (Platform::GetTickCount).
bool IsTimerOver(uint32_t Start, uint32_t Interval);

// Flag := Flag OR Value.
void Cumulate(bool& Flag, bool Value);
// When Value differs from NewValue it takes NewValue and Changed becomes
// true; Changed is never cleared.
void CumulateAssign(uint8_t& Value, uint8_t NewValue, bool& Changed);
void CumulateAssign(int32_t& Value, int32_t NewValue, bool& Changed);
void CumulateAssign(uint32_t& Value, uint32_t NewValue, bool& Changed);

// Adds modulo 2^32, except that a counter in the upper half
// (>= 0x80000000) stays in the upper half.
void IncDword(uint32_t& Counter, uint32_t Increment);
// Subtracts modulo 2^32.
void DecDword(uint32_t& Counter, uint32_t Decrement);

}  // namespace Tixutils
