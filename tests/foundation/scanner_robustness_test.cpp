// Random and adversarial byte strings through every scanner, in the
// manner of a fuzzer with a fixed seed: nothing may crash (the sanitizer
// build watches every access), no cursor may pass the end of its text,
// and every cutting loop must come to an end.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <random>
#include <vector>

#include "foundation/input_buffer.h"
#include "foundation/tixutils_text.h"
#include "foundation/utils.h"

using namespace Tixutils;

namespace {

class Generator {
public:
    explicit Generator(uint32_t seed) : rng_(seed) {}

    // Bytes that matter to the scanners, mixed with arbitrary ones.
    std::string text(size_t maxLen = 48)
    {
        static const char interesting[] = "\"#(),; \t0123456789-+$xX*?=:./\r\nabAB";
        size_t n = rng_() % (maxLen + 1);
        if (rng_() % 50 == 0)
            n = rng_() % 2000;  // now and then a long one
        std::string s;
        s.reserve(n);
        for (size_t i = 0; i < n; ++i) {
            const uint32_t r = rng_() % 10;
            if (r < 7)
                s += interesting[rng_() % (sizeof interesting - 1)];
            else if (r < 8)
                s += '\0';
            else
                s += char(rng_() % 256);
        }
        return s;
    }

    int below(int n) { return int(rng_() % uint32_t(n)); }
    bool flip() { return rng_() % 2 == 0; }

private:
    std::mt19937 rng_;
};

const char* const kDelimSets[] = {" ,\t", ",", "", " ", "\"#(", "=\""};

// A cursor may stay beyond the text only where the caller put it there.
void expectCursorInside(int pos, int before, const std::string& s)
{
    ASSERT_GE(pos, 0);
    ASSERT_LE(pos, std::max(int(s.size()), before));
}

}  // namespace

TEST(ScannerRobustness, Tokenizers)
{
    Generator g(1);
    for (int round = 0; round < 20000; ++round) {
        const std::string s = g.text();
        const char* delims = kDelimSets[g.below(6)];
        const int start = g.below(int(s.size()) + 4) - 2;

        int pos = start;
        bool skip = g.flip();
        const bool skipIn = skip;
        const std::string token = CutString(pos, s, delims, skip);
        expectCursorInside(pos, start, s);
        ASSERT_LE(token.size(), s.size());
        if (skipIn && start >= 0 && size_t(start) < s.size()) {
            ASSERT_GT(pos, start) << "no progress with Skip";
        }

        // Cutting every token ends within one round per character.
        std::string rest = s;
        size_t steps = 0;
        while (!rest.empty()) {
            bool sk = true;
            const size_t before = rest.size();
            CutString(rest, sk, delims);
            ASSERT_LT(rest.size(), before);
            ASSERT_LE(++steps, s.size());
        }

        std::string w = s;
        CutWord(w, delims, true);
        ASSERT_LE(w.size(), s.size());

        std::string nv = s;
        int valuePos = -1;
        const std::string item = CutNameValue(nv, valuePos, delims);
        if (item.empty()) {
            ASSERT_EQ(nv, s);
        } else {
            ASSERT_NE(s.find(item), std::string::npos);
            ASSERT_GE(valuePos, 1);
            ASSERT_LE(size_t(valuePos), item.size() + 1);
            ASSERT_LT(nv.size(), s.size());
        }

        int zpos = start;
        const std::string z = CutStringZ(zpos, s);
        expectCursorInside(zpos, start, s);
        ASSERT_LE(z.size(), s.size());

        std::u16string wide(s.begin(), s.end());
        bool wskip = g.flip();
        const std::u16string wtoken = CutString(wide, wskip, u" ,");
        ASSERT_LE(wtoken.size(), s.size());
    }
}

TEST(ScannerRobustness, NumbersPrefixesAndCharacters)
{
    Generator g(2);
    for (int round = 0; round < 20000; ++round) {
        const std::string s = g.text();
        const int start = g.below(int(s.size()) + 4) - 2;

        int pos = start;
        CutInteger(pos, s, -7, true);
        expectCursorInside(pos, start, s);
        std::string cut = s;
        int cursor = 0;
        const int viaCursor = CutInteger(cursor, s, -7, true);
        ASSERT_EQ(CutInteger(cut, -7), viaCursor);
        ASSERT_EQ(cut, s.substr(size_t(cursor)));  // both forms agree

        const int radix = g.flip() ? 0 : (g.flip() ? 10 : 16);
        pos = start;
        CutRadixInteger(pos, s, -7, radix);
        expectCursorInside(pos, start, s);
        std::string rcut = s;
        CutRadixInteger(rcut, -7, radix);
        ASSERT_LE(rcut.size(), s.size());

        const std::string prefix = g.text(4);
        pos = start;
        const bool has = CutPrefix(pos, s, prefix, true);
        expectCursorInside(pos, start, s);
        if (has) {
            ASSERT_EQ(s.compare(size_t(start < 0 ? 0 : start), prefix.size(), prefix), 0);
        }

        pos = start;
        CutSpaces(pos, s);
        expectCursorInside(pos, start, s);
        pos = start;
        CutChar(pos, s);
        expectCursorInside(pos, start, s);
        pos = start;
        CutCharDec(pos, s);
        expectCursorInside(pos, start, s);

        std::string suffix = s;
        CutSuffix(suffix, g.text(3), true);
        std::string spaces = s;
        CutSpaces(spaces, " \t,");
        ASSERT_LE(spaces.size(), s.size());
    }
}

TEST(ScannerRobustness, Matchers)
{
    Generator g(3);
    for (int round = 0; round < 20000; ++round) {
        const std::string s = g.text();
        const std::string prefix = g.text(5);
        const std::string suffix = g.text(5);
        bool failed = false;
        const std::string mid = ExtractString(s, prefix, suffix, failed);
        if (!failed) {
            ASSERT_EQ(prefix + mid + suffix, s);
        } else {
            ASSERT_TRUE(mid.empty());
        }
        const std::string mid2 = ExtractStringIC(s, prefix, suffix, failed);
        if (!failed) {
            ASSERT_EQ(mid2.size() + prefix.size() + suffix.size(), s.size());
        }
        ExtractStringICU(s, prefix.c_str(), suffix.c_str(), failed);
        int pos = g.below(int(s.size()) + 3) - 1;
        const int before = pos;
        ExtractString(pos, s, prefix, suffix, failed);
        expectCursorInside(pos, before, s);

        // Wildcards on short texts (the table form is quadratic by design).
        const std::string pattern = g.text(12);
        const std::string shortText = s.substr(0, 40);
        const bool match = CompareWildcard(pattern, shortText);
        std::string p2 = pattern, t2 = shortText;
        ASSERT_EQ(CompareWildcardCut2(p2, t2), match);

        // The cursor form on the full text, pattern ended by NUL or a
        // terminator.
        const std::string wpattern = g.text(16);
        const char* ptr = wpattern.c_str();
        pos = g.below(int(s.size()) + 3) - 1;
        const int wstart = pos;
        const int order = CutWildcard(pos, s, ptr, g.flip() ? "=\"" : nullptr);
        expectCursorInside(pos, wstart, s);
        ASSERT_GE(ptr, wpattern.c_str());
        ASSERT_LE(ptr, wpattern.c_str() + std::strlen(wpattern.c_str()));
        ASSERT_LE(std::abs(order), 2);
        if (order != 0) {
            ASSERT_EQ(pos, std::max(wstart, 0));  // a negative cursor reads as 0
        }
        std::string cutText = s;
        if (CutWildcard(cutText, wpattern) == 0) {
            ASSERT_LE(cutText.size(), s.size());
        }
    }
}

TEST(ScannerRobustness, DatesDurationsAndLines)
{
    Generator g(4);
    const char* dateSeps[] = {"./", "/", "", ":"};
    const TDateTime now = 44362.5;  // a fixed noon
    for (int round = 0; round < 20000; ++round) {
        const std::string s = g.text(24);
        std::string t = s;
        bool failed = false;
        const TDateTime v = CutDateTime(t, failed, dateSeps[g.below(4)], ":", g.flip() ? ", " : "",
                                        VDateOrder(g.below(3)), now);
        ASSERT_FALSE(std::isnan(v));
        if (failed) {
            ASSERT_EQ(t, s);
        } else {
            ASSERT_EQ(s.substr(s.size() - t.size()), t);  // the rest is a tail
        }

        bool error = false;
        Utils::ParseDuration(s, &error, Utils::DurationLetters);
        Utils::ParseDuration(s, nullptr, g.text(8));
        Utils::FormatDuration(int32_t(g.below(1 << 30)) - (1 << 29), g.text(8));

        std::vector<std::string> lines{s, g.text(), ""};
        TInputBuffer scratch;
        Utils::TLineScanner scanner{&lines, &scratch, g.below(5) - 1, 0};
        std::string a, c;
        int32_t b = 0;
        bool flag = false;
        const std::string format = g.text(6);
        for (int i = 0; i < 4; ++i)
            Utils::ScanFormatted(scanner, format.c_str(), &a, &b, &c, &flag);
        ASSERT_TRUE(scanner.State >= Utils::lsFailed && scanner.State <= Utils::lsMatched);
    }
}

TEST(ScannerRobustness, InputBufferFollowsAPlainModel)
{
    Generator g(5);
    TInputBuffer b;
    std::string model;  // the text
    bool terminated = false;
    for (int step = 0; step < 200000; ++step) {
        switch (g.below(9)) {
        case 0:
        case 1: {
            const char c = char(g.below(256));
            b.appendByte(uint8_t(c));
            model += c;
            terminated = false;
            break;
        }
        case 2: {
            const std::string more = g.text(8);
            b.appendBytes(more.data(), int(more.size()));
            model += more;
            if (!more.empty())
                terminated = false;
            break;
        }
        case 3:
            b.c_str();
            terminated = true;
            break;
        case 4: {
            const uint32_t n = uint32_t(g.below(12));
            b.removeFront(n);
            const size_t raw = model.size() + (terminated ? 1 : 0);
            if (n >= raw) {
                model.clear();
                terminated = false;
            } else {
                model.erase(0, n);
            }
            break;
        }
        case 5: {
            const uint32_t i = uint32_t(g.below(int(model.size()) + 2));
            b.removeAt(i);
            if (i < model.size())
                model.erase(i, 1);
            break;
        }
        case 6: {
            const uint32_t i = uint32_t(g.below(int(model.size()) + 2));
            const char c = char(g.below(256));
            b.setAt(i, uint8_t(c));
            if (i < model.size())
                model[i] = c;
            break;
        }
        case 7:
            if (g.below(50) == 0) {
                b.clear();
                model.clear();
                terminated = false;
            }
            break;
        default:
            b.reserve(uint32_t(g.below(300)));
            break;
        }
        ASSERT_EQ(b.length(), model.size());
        ASSERT_EQ(b.isTerminated(), terminated);
        ASSERT_LE(b.rawLength(), b.capacity());
        ASSERT_TRUE(b.equalsBytes(model.data(), uint32_t(model.size())));
        if (model.size() > 4000) {
            b.clear();
            model.clear();
            terminated = false;
        }
    }
}
