#include "foundation/tixutils_timer.h"

#include "platform/tick.h"

namespace Tixutils {

bool IsTimerOver(uint32_t Start, uint32_t Interval, uint32_t Now)
{
    if (Now >= Start)
        return Now - Start > Interval;
    // The tick seems to have gone back: only a step from the upper half
    // into the lower half is taken as the wrap at 2^32.
    if (Start >= 0x80000000u && Now < 0x80000000u)
        return uint32_t(Now - Start) > Interval;
    return true;
}

bool IsTimerOver(uint32_t Start, uint32_t Interval)
{
    return IsTimerOver(Start, Interval, Platform::GetTickCount());
}

void Cumulate(bool& Flag, bool Value) { Flag = Flag || Value; }

namespace {
template <typename T>
void assignIfDifferent(T& Value, T NewValue, bool& Changed)
{
    if (Value != NewValue) {
        Value = NewValue;
        Changed = true;
    }
}
}  // namespace

void CumulateAssign(uint8_t& Value, uint8_t NewValue, bool& Changed)
{
    assignIfDifferent(Value, NewValue, Changed);
}

void CumulateAssign(int32_t& Value, int32_t NewValue, bool& Changed)
{
    assignIfDifferent(Value, NewValue, Changed);
}

void CumulateAssign(uint32_t& Value, uint32_t NewValue, bool& Changed)
{
    assignIfDifferent(Value, NewValue, Changed);
}

void IncDword(uint32_t& Counter, uint32_t Increment)
{
    if (Counter < 0x80000000u) {
        Counter += Increment;
        return;
    }
    const uint32_t sum = (Counter - 0x80000000u) + Increment;
    Counter = sum < 0x80000000u ? sum + 0x80000000u : sum;
}

void DecDword(uint32_t& Counter, uint32_t Decrement) { Counter -= Decrement; }

}  // namespace Tixutils
