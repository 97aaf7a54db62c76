#pragma once
#include "serial/port_io.h"

namespace Fuzz {

// A port that cannot be opened: a serial component given this factory
// never touches a real device, whatever port name an input brings.
Serial::TPortFactory RefusingPortFactory();

}  // namespace Fuzz
