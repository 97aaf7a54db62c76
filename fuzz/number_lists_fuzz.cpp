// Number lists ("1-5,8,10-12") as the device's test answers and stored
// settings bring them.
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "foundation/tixutils_numberlist.h"
#include "fuzz/support/fuzz_input.h"

using namespace Tixutils;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    Fuzz::TInput in(data, size);
    const int32_t probe = in.interestingInt();
    const std::string a = in.text();
    const std::string b = in.text();

    // Walking the items always ends.
    for (int pos = 1, guard = 0; pos >= 1 && pos <= int(a.size()); ++guard) {
        FUZZ_REQUIRE(guard <= int(a.size()) + 1);
        int lo = 0, hi = -1;
        const int before = pos;
        NumberListGetInterval(a, pos, lo, hi);
        FUZZ_REQUIRE(pos > before);
    }

    NumberListContains(a, probe);
    bool flag = false;
    const std::string fixed = NumberListFix(a, flag);
    const std::string sum = NumberListAdd(a, b);
    const std::string diff = NumberListSub(a, b);
    // Normalised lists are stable: adding nothing changes nothing.
    FUZZ_REQUIRE(NumberListAdd(sum, "") == sum);
    FUZZ_REQUIRE(NumberListAdd(fixed, "") == NumberListAdd(fixed, fixed));
    // What is subtracted is gone.
    if (probe >= 0 && NumberListContains(b, probe))
        FUZZ_REQUIRE(!NumberListContains(diff, probe));
    if (probe >= 0 && NumberListContains(diff, probe))
        FUZZ_REQUIRE(NumberListContains(sum, probe));
    return 0;
}
