// Durations ("1t 2d 3h 4m 5s") from stored settings and the typed-field
// scanner over the lines of a file.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "foundation/input_buffer.h"
#include "foundation/utils.h"
#include "fuzz/support/fuzz_input.h"

namespace {

const char* const Formats[] = {"s=d,s", "s", "d", "b", "s,d,b", "d:d:d", "s=s", "sd", "ds",
                               "s s", "d,d,d,d", "b=b", ""};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    Fuzz::TInput in(data, size);
    const uint8_t control = in.byte();
    const std::string letters = in.text();
    const std::string text = in.text();
    const std::string format = in.text();
    std::vector<std::string> lines;
    while (!in.empty())
        lines.push_back(in.text());

    {
        bool error = false;
        Utils::ParseDuration(text, &error, Utils::DurationLetters);
        Utils::ParseDuration(text, nullptr, letters);
        const int32_t seconds = Utils::ParseDuration(text, &error, letters.empty() ? Utils::DurationLetters : letters);
        Utils::FormatDuration(seconds, Utils::DurationLetters);
        // A written duration reads back.
        bool again = false;
        FUZZ_REQUIRE(Utils::ParseDuration(Utils::FormatDuration(seconds, Utils::DurationLetters), &again,
                                     Utils::DurationLetters) == seconds);
        FUZZ_REQUIRE(!again);
    }
    Utils::LastCharPos(char(control), text);
    Utils::FormatByteSize(uint64_t(control) << (control % 64), text.c_str(), letters.c_str());

    TInputBuffer scratch;
    Utils::TLineScanner scanner;
    scanner.Lines = &lines;
    scanner.Scratch = &scratch;
    const std::string ownFormat = format;
    for (int guard = 0; guard <= int(lines.size()); ++guard) {
        std::string s1, s2;
        int32_t d1 = 0, d2 = 0;
        bool b1 = false;
        const char* f = (control & 1) ? ownFormat.c_str() : Formats[size_t(guard + control) % std::size(Formats)];
        Utils::ScanFormatted(scanner, f, &s1, &d1, &s2, &d2, &b1);
        FUZZ_REQUIRE(scanner.NextLine == guard + 1);
        if (scanner.State == Utils::lsNoLine)
            break;
    }
    if (!lines.empty()) {
        std::string out;
        Utils::ScanField(scanner, char(control), out, lines[0], int(control % 8) - 2);
    }
    return 0;
}
