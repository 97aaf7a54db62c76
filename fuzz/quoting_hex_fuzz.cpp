// The program's own quoting style, hex texts and the merge of ini-style
// line lists, as the language files and stored settings bring them.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "foundation/tixutils_quote.h"
#include "fuzz/support/fuzz_input.h"

using namespace Tixutils;

namespace {

std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> lines(1);
    for (char c : text) {
        if (c == '\n')
            lines.emplace_back();
        else
            lines.back() += c;
    }
    return lines;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    Fuzz::TInput in(data, size);
    const uint8_t control = in.byte();
    const std::string a = in.text();
    const std::string b = in.text();
    const std::string c = in.text();

    {
        bool failed = false;
        const std::string bytes = HexaStringToBytes(a, failed);
        FUZZ_REQUIRE(bytes.size() <= a.size() / 2 + 1);
        FUZZ_REQUIRE(HexaStringToBytes(a) == bytes);
        // Bytes written as hex read back unchanged.
        FUZZ_REQUIRE(HexaStringToBytes(BytesToHexaString(a)) == a);
        FUZZ_REQUIRE(BytesToHexaString2(a.data(), int(a.size())) == BytesToHexaString(a));
        FUZZ_REQUIRE(HexaStringSpacedToBytes(BytesToHexaStringSpaced(a)) == a);
        HexaStringSpacedToBytes(a);
    }
    {
        const std::string plain = TixExtractQuotedStr(a);
        (void)plain;
        // What the quoting writes reads back (controls kept).
        FUZZ_REQUIRE(TixExtractQuotedStr(TixQuotedStr(b, true)) == b);
        TixQuotedStr(b, false);
        HtmlExtractQuotedStr(a);
    }
    {
        std::vector<std::string> dest = Lines(b);
        const std::vector<std::string> source = Lines(c);
        std::vector<std::string> skip;
        if (control & 2)
            skip = Lines(a);
        JoinConfigs(dest, source, control & 1, (control & 2) ? &skip : nullptr);
        // Nothing of the destination is lost beyond what the source brings.
        FUZZ_REQUIRE(dest.size() <= Lines(b).size() + 2 * source.size());
    }
    {
        std::string list = b;
        AddToCommaList(list, a, int(control % 12) - 1, ",;|"[control % 3]);
        uint32_t sum = 0;
        UpdateChecksum4(sum, a);
        ComputeChecksum4(Lines(c));
    }
    for (char ch : a) {
        Asc2Hex(ch, -1);
        Hex2Asc(int(int8_t(ch)));
    }
    return 0;
}
