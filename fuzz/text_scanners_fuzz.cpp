// The text scanners every answer and file line goes through: tokens,
// numbers, prefixes, dates, matchers and wildcards, in both the cursor and
// the cutting style, with separators and patterns taken from the input.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "foundation/ansi_to_date_time.h"
#include "foundation/tixutils_misc.h"
#include "foundation/tixutils_text.h"
#include "fuzz/support/fuzz_input.h"

using namespace Tixutils;

namespace {

// A cursor must stay within the text (it may stand just past its end); a
// negative start counts as 0 and may be left as it was.
void CheckPos(int pos, int start, const std::string& s)
{
    FUZZ_REQUIRE((pos >= 0 || pos == start) && (pos < 0 || size_t(pos) <= s.size() + 1));
}

// Walks the whole text with the cursor-style scanners; every step must
// make progress or stop.
void CursorWalk(const std::string& s, const std::string& delims, Fuzz::TInput& in)
{
    int pos = in.byte() % 4 == 0 ? -int(in.byte()) : 0;
    for (int guard = 0; guard <= int(s.size()) + 2; ++guard) {
        const int start = pos;
        const int before = pos < 0 ? 0 : pos;
        bool skip = in.flag();
        switch (in.below(10)) {
        case 0: CutString(pos, s, delims.c_str(), skip); break;
        case 1: CutString(pos, s); break;
        case 2: CutInteger(pos, s, -7, in.flag()); break;
        case 3: CutRadixInteger(pos, s, -7, in.below(3) == 0 ? 16 : (in.flag() ? 10 : 0)); break;
        case 4: CutChar(pos, s); break;
        case 5: CutCharDec(pos, s); break;
        case 6: CutSpaces(pos, s, delims.c_str()); break;
        case 7: CutStringZ(pos, s); break;
        case 8: {
            bool failed = false;
            ExtractString(pos, s, delims, std::string(1, char(in.byte())), failed);
            break;
        }
        default: CutPrefix(pos, s, delims, in.flag()); break;
        }
        CheckPos(pos, start, s);
        if (pos <= before)
            ++pos;  // a scanner may stay put; move on by hand
        if (pos >= int(s.size()))
            break;
    }
}

// The same with the cutting style: the text shrinks or the walk stops.
void CuttingWalk(std::string s, const std::string& delims, Fuzz::TInput& in)
{
    for (int guard = 0; !s.empty() && guard < 4096; ++guard) {
        const size_t before = s.size();
        bool skip = in.flag();
        switch (in.below(12)) {
        case 0: CutString(s, skip, delims); break;
        case 1: CutString(s, skip); break;
        case 2: CutString_(s, skip, delims); break;
        case 3: CutInteger(s, 0, in.flag()); break;
        case 4: CutRadixInteger(s, 0, in.below(3) == 0 ? 16 : 0); break;
        case 5: CutWord(s, delims.c_str(), true); break;
        case 6: {
            int valuePos = 0;
            const std::string item = CutNameValue(s, valuePos, delims.c_str());
            FUZZ_REQUIRE(item.empty() || (valuePos >= 1 && size_t(valuePos) <= item.size() + 1));
            break;
        }
        case 7: CutChar(s); break;
        case 8: CutSpaces(s, delims); break;
        case 9: CutSuffix(s, delims, true); break;
        case 10: {
            bool failed = false;
            const VDateOrder order = VDateOrder(in.below(3));
            // A fixed clock keeps the target deterministic.
            CutDateTime(s, failed, in.flag() ? "/" : DateSeparators, TimeSeparators,
                        in.flag() ? "," : DateTimeSeparators, order, 37595.4483796296);
            break;
        }
        default: CutPrefix(s, delims, true); break;
        }
        FUZZ_REQUIRE(s.size() <= before);
        if (s.size() == before)
            s.erase(0, 1);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    Fuzz::TInput in(data, size);
    const uint8_t control = in.byte();
    const std::string delims = in.text();
    const std::string pattern = in.text();
    const std::string s = in.text();
    Fuzz::TInput steps(data, size);  // the same bytes drive the walk choices

    CursorWalk(s, delims, steps);
    CuttingWalk(s, delims, steps);

    // Matchers and wildcards against the pattern.
    ExtractString(s, pattern, delims);
    ExtractStringIC(s, pattern, delims);
    ExtractStringICU(s, pattern.c_str(), delims.c_str());
    ComparePrefix(s, pattern);
    ComparePrefixIC(s, pattern);
    CompareWildcard(pattern, s);
    {
        std::string p = pattern, t = s;
        CompareWildcardCut2(p, t);
        FUZZ_REQUIRE(p.size() <= pattern.size() && t.size() <= s.size());
    }
    {
        const int start = std::min(int(control % 5), int(s.size()));
        int pos = start;
        const char* ptr = pattern.c_str();
        CutWildcard(pos, s, ptr, control & 8 ? delims.c_str() : nullptr);
        FUZZ_REQUIRE(ptr >= pattern.c_str() && ptr <= pattern.c_str() + pattern.size());
        CheckPos(pos, start, s);
        std::string t = s;
        CutWildcard(t, pattern);
    }
    {
        std::string a = s, b = pattern;
        CutCommonPrefix(a, b);
        CutCommonPostfix(a, b);
    }
    {
        bool failed = false;
        std::string t = s;
        CutDateTime(t, failed);
        Tixutils::TDateTime result = 0;
        Tixsmslist::AnsiToDateTime(s, result, delims.empty() ? "./" : delims, ":", ", ",
                                   VDateOrder(control % 3));
    }
    {
        std::vector<std::string> list;
        VSetCommaText(list, s);
        size_t total = 0;
        for (const auto& item : list)
            total += item.size();
        FUZZ_REQUIRE(total <= s.size());
        FUZZ_REQUIRE(list.size() <= s.size() + 1);
    }
    {
        std::u16string w;
        for (char c : s)
            w += char16_t(uint8_t(c));
        std::u16string d;
        for (char c : delims)
            d += char16_t(uint8_t(c));
        for (int guard = 0; !w.empty() && guard < 4096; ++guard) {
            const size_t before = w.size();
            bool skip = guard & 1;
            CutString(w, skip, d);
            if (w.size() == before)
                break;
        }
    }
    return 0;
}
