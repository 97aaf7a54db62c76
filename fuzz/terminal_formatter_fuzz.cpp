// What the terminal shows of received and written bytes, and how much it
// trims from the top, for any bytes and any settings.
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/terminal_line_formatter.h"
#include "fuzz/support/fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    Fuzz::TInput in(data, size);
    VTixTerminalLineFormatter::TAppend a;
    a.type = VTixTerminal_LineType(in.interestingInt());
    a.openType = VTixTerminal_LineType(in.interestingInt());
    a.lastLineLength = in.interestingInt();
    a.maxCharsPerLine = in.interestingInt();
    a.timeStamp = in.text();
    const std::string bytes = in.text();
    a.data = bytes.data();
    a.count = int(bytes.size());
    if (in.flag())
        a.count = int(bytes.size()) - int(in.byte());  // a shorter or negative count

    const std::vector<TTerminalPiece> pieces = VTixTerminalLineFormatter::Emit(a);
    const size_t length = VTixTerminalLineFormatter::Length(pieces);
    FUZZ_REQUIRE(VTixTerminalLineFormatter::Text(pieces).size() == length);
    // At most a line break, the time stamp, a prefix and seven characters
    // (an escape and a line break) per byte.
    const size_t count = a.count > 0 ? size_t(a.count) : 0;
    FUZZ_REQUIRE(count == 0 ? length == 0 : length <= 2 + a.timeStamp.size() + 2 + 4 + 7 * count);
    for (size_t i = 1; i < pieces.size(); ++i)
        FUZZ_REQUIRE(!(pieces[i].color == pieces[i - 1].color));

    // Trimming over line starts taken from the input.
    std::vector<int64_t> starts{0};
    const int lines = int(in.byte());
    for (int i = 0; i < lines; ++i)
        starts.push_back(starts.back() + int64_t(in.byte()) + 2);
    const int64_t textLength = starts.back();
    const int64_t n = int64_t(in.u32() % 100000);
    const int maxLines = in.interestingInt();
    const int maxChars = in.interestingInt();
    const auto t = VTixTerminalLineFormatter::Trim(lines, textLength, n, maxLines, maxChars,
                                                   [&](int i) {
                                                       FUZZ_REQUIRE(i >= 0 && i <= lines);
                                                       return starts[size_t(i)];
                                                   });
    FUZZ_REQUIRE(t.lines >= 0 && t.lines <= lines);
    FUZZ_REQUIRE(t.chars >= 0 && t.chars <= textLength);
    return 0;
}
