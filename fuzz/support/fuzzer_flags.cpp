#include "fuzz/support/fuzzer_flags.h"

#include <cstring>
#include <deque>
#include <string>
#include <vector>

namespace Fuzz {

void DefaultFlags(int* argc, char*** argv, std::initializer_list<const char*> flags)
{
    if (!argc || !argv || !*argv || *argc < 1)
        return;
    static std::deque<std::string> added;  // stable addresses
    static std::vector<char*> args;
    args.assign(*argv, *argv + *argc);
    size_t at = 1;
    for (const char* flag : flags) {
        // "-name=" is what a command line giving the flag starts with.
        const char* equals = std::strchr(flag, '=');
        const size_t nameLength = equals ? size_t(equals - flag) + 1 : std::strlen(flag);
        bool given = false;
        for (int i = 1; i < *argc && !given; ++i)
            given = std::strncmp((*argv)[i], flag, nameLength) == 0;
        if (given)
            continue;
        added.emplace_back(flag);
        args.insert(args.begin() + std::ptrdiff_t(at++), nullptr);
    }
    // The strings are in place now: point at them (the vector no longer grows).
    for (size_t i = 0, k = 0; i < args.size(); ++i)
        if (!args[i])
            args[i] = added[k++].data();
    args.push_back(nullptr);
    *argc = int(args.size()) - 1;
    *argv = args.data();
}

}  // namespace Fuzz
