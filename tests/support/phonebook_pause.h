#pragma once
#include <cstdint>

#include "engine/perif_modem.h"
#include "engine/perif_phonebook.h"
#include "platform/tick.h"

namespace TestSupport {

// The phonebook handler waits ten seconds after it learned the device's
// memories (and after an error) before it reads and writes. A test that
// waits for the device to become ready moves the tick clock past that
// pause rather than sleeping through it; only while no handler waits for
// an answer, so that no command times out early. True when it moved.
inline bool PassPhonebookPause(VPerifModem& handlers)
{
    const uint32_t left = handlers.phonebook().pauseLeft(Platform::GetTickCount());
    if (left == 0 || handlers.isBusy())
        return false;
    Platform::SetTickOffset(Platform::GetTickOffset() + left);
    return true;
}

}  // namespace TestSupport
