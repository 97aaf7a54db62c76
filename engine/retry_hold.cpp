#include "engine/retry_hold.h"

#include "foundation/utils.h"

TRetryHold::TRetryHold(uint32_t base, uint32_t max) : base(base), max(max < base ? base : max) {}

void TRetryHold::failed(uint32_t now)
{
    since = now;
    if (count < 30)
        ++count;
}

void TRetryHold::succeeded()
{
    count = 0;
}

uint32_t TRetryHold::currentHold() const
{
    if (count == 0)
        return 0;
    uint64_t hold = base;
    for (int i = 1; i < count && hold < max; ++i)
        hold *= 2;
    return hold > max ? max : uint32_t(hold);
}

bool TRetryHold::holding(uint32_t now) const
{
    return count > 0 && !Utils::IsTickElapsed(since, currentHold(), now);
}
