// Values read back from a byte buffer (stored files and frames from the
// remote station): a short or damaged buffer may only raise
// EStreamReadError.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "foundation/tixutils_stream.h"
#include "fuzz/support/fuzz_input.h"

using namespace Tixutils;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    Fuzz::TInput in(data, size);
    const std::string ops = in.text();
    const std::string buf = in.rest();

    int pos = 0;
    // Each read stands on its own; 64 of them reach every position an
    // input can name (a thrown short read costs far more than a read).
    for (size_t i = 0; i < ops.size() && i < 64; ++i) {
        const int before = pos;
        try {
            switch (uint8_t(ops[i]) % 7) {
            case 0: ReadStreamedByte(pos, buf); break;
            case 1: ReadStreamedInteger(pos, buf); break;
            case 2: ReadStreamedIntegerLE(pos, buf); break;
            case 3: {
                const std::string s = ReadStreamedString(pos, buf);
                FUZZ_REQUIRE(s.size() <= buf.size());
                break;
            }
            case 4: {
                const std::u16string w = ReadStreamedWideString(pos, buf);
                FUZZ_REQUIRE(w.size() * 2 <= buf.size());
                break;
            }
            case 5: ReadStreamedDateTime(pos, buf); break;
            default:
                // A reader started anywhere, even before the buffer.
                pos = int(int8_t(ops[i])) * 3;
                continue;
            }
        } catch (const EStreamReadError&) {
            // The expected answer to a short buffer.
            pos = before;
        }
        FUZZ_REQUIRE(pos <= int(buf.size()) || pos == before);
    }

    // What the writers write, the readers read back.
    std::string out;
    int w = 0;
    WriteStreamedString(w, out, ops);
    WriteStreamedInteger(w, out, int32_t(ops.size()) - 5);
    out.resize(size_t(w));
    int r = 0;
    FUZZ_REQUIRE(ReadStreamedString(r, out) == ops);
    FUZZ_REQUIRE(ReadStreamedInteger(r, out) == int32_t(ops.size()) - 5);
    FUZZ_REQUIRE(r == w);
    return 0;
}
