#pragma once
#include <initializer_list>

namespace Fuzz {

// For LLVMFuzzerInitialize: puts libFuzzer flags in front of the command
// line, each only where the command line does not give that flag itself
// (so a flag typed by hand still wins). The new argument list lives until
// the process ends.
void DefaultFlags(int* argc, char*** argv, std::initializer_list<const char*> flags);

}  // namespace Fuzz
