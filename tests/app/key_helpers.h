#pragma once
#include "tests/support/input_devices.h"

// The application and keys as the window system delivers them (press and
// release, with the text the keyboard layout gives).
namespace KeyHelpers {

using TestSupport::AppWithDevices;
using TestSupport::KeyClick;
using TestSupport::KeyClicks;
using TestSupport::SendMouseEvent;

}  // namespace KeyHelpers
