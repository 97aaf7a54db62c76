// Wildcard matching: "?" one character, "*" any run.
#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <memory_resource>
#include <unordered_set>
#include <vector>

#include "foundation/tixutils_text.h"

namespace Tixutils {

namespace {

// Match table of CompareWildcard, filled from the ends backwards:
// at(a, b) tells whether Pattern[a..] matches S[b..]. A star at the end of
// the text matches only when it is the pattern's last character, so a
// final run of two or more stars needs at least one character.
class WildcardTable {
public:
    WildcardTable(const std::string& pattern, const std::string& text)
        : n_(pattern.size()), m_(text.size()), cells_((n_ + 1) * (m_ + 1))
    {
        for (size_t a = n_ + 1; a-- > 0;) {
            for (size_t b = m_ + 1; b-- > 0;) {
                bool match;
                if (a == n_)
                    match = b == m_;
                else if (b == m_)
                    match = pattern[a] == '*' && a == n_ - 1;
                else if (pattern[a] == '*')
                    match = at(a + 1, b) || a == n_ - 1 || at(a, b + 1);
                else
                    match = (pattern[a] == '?' || pattern[a] == text[b]) && at(a + 1, b + 1);
                cells_[a * (m_ + 1) + b] = match;
            }
        }
    }

    bool at(size_t a, size_t b) const { return cells_[a * (m_ + 1) + b]; }

private:
    size_t n_, m_;
    std::vector<bool> cells_;
};

}  // namespace

bool CompareWildcard(const std::string& Pattern, const std::string& S)
{
    const size_t n = Pattern.size();
    const size_t m = S.size();
    if (Pattern.find('*') == std::string::npos) {
        if (n != m)
            return false;
        for (size_t i = 0; i < n; ++i) {
            if (Pattern[i] != '?' && Pattern[i] != S[i])
                return false;
        }
        return true;
    }
    // The same table as WildcardTable, one pattern row at a time.
    std::vector<char> next(m + 1), row(m + 1);
    for (size_t b = 0; b <= m; ++b)
        next[b] = b == m;  // the pattern's end matches only the text's end
    for (size_t a = n; a-- > 0;) {
        const char pc = Pattern[a];
        row[m] = pc == '*' && a == n - 1;
        for (size_t b = m; b-- > 0;) {
            if (pc == '*')
                row[b] = next[b] || a == n - 1 || row[b + 1];
            else
                row[b] = (pc == '?' || pc == S[b]) && next[b + 1];
        }
        std::swap(row, next);
    }
    return next[0];
}

bool CompareWildcardCut2(std::string& Pattern, std::string& S)
{
    const WildcardTable table(Pattern, S);
    const size_t n = Pattern.size();
    const size_t m = S.size();
    size_t a = 0, b = 0;
    // Walk the matching path (or the path to the first mismatch).
    while (a < n && b < m) {
        if (Pattern[a] == '*') {
            if (table.at(a + 1, b))
                ++a;
            else if (a == n - 1)
                break;  // a final star takes the rest
            else
                ++b;
        } else if (Pattern[a] == '?' || Pattern[a] == S[b]) {
            ++a;
            ++b;
        } else {
            break;
        }
    }
    const bool match = table.at(0, 0);
    Pattern.erase(0, a);
    S.erase(0, b);
    return match;
}

int CutWildcard(int& Pos, const std::string& S, const char*& PatternPtr, const char* Terminators)
{
    if (Pos < 0)
        Pos = 0;
    static const char kEmpty[] = "";
    const char* P = PatternPtr ? PatternPtr : kEmpty;
    size_t plen = 0;
    while (P[plen] && !CharInString(P[plen], Terminators))
        ++plen;
    const size_t m = S.size();
    size_t t = size_t(Pos) < m ? size_t(Pos) : m;
    size_t p = 0;
    int magnitude = 2;  // 1 once a wildcard was passed

    // Each star tries the rest of the pattern at its text position and, when
    // that fails, takes one more character. The stack holds the stars still
    // trying. Two memories keep adversarial patterns polynomial: failed
    // (pattern, text) attempts, and for each star the earliest text
    // position from which all its attempts failed (a later start fails
    // too, having fewer attempts left).
    struct Star {
        size_t star;
        size_t text;
        size_t start;
    };
    // Nearly every call needs a few entries at most: they live in a buffer
    // on the stack, and only long patterns against long texts reach the heap.
    std::array<std::byte, 1024> arena;
    std::pmr::monotonic_buffer_resource memory(arena.data(), arena.size());
    std::pmr::vector<Star> stars(&memory);
    std::pmr::unordered_set<uint64_t> failed(&memory);
    std::pmr::vector<size_t> exhaustedFrom(&memory);
    auto key = [](size_t a, size_t b) { return (uint64_t(a) << 32) ^ uint64_t(b); };
    // Whether only stars are left from pattern position a on.
    auto onlyStars = [&](size_t a) {
        for (; a < plen; ++a) {
            if (P[a] != '*')
                return false;
        }
        return true;
    };

    for (;;) {
        int result = 0;
        if (!stars.empty() && p == stars.back().star + 1 && t == stars.back().text &&
            failed.count(key(p, t))) {
            result = magnitude;
        } else {
            for (;;) {
                if (t >= m) {
                    if (p >= plen) {
                        result = 0;
                        break;
                    }
                    if (P[p] == '*') {
                        ++p;  // a star matches nothing at the end
                        continue;
                    }
                    result = -magnitude;
                    break;
                }
                if (p >= plen) {
                    result = magnitude;
                    break;
                }
                const char pc = P[p];
                if (pc == '?') {
                    magnitude = 1;
                    ++p;
                    ++t;
                    continue;
                }
                if (pc == '*') {
                    magnitude = 1;
                    if (exhaustedFrom.empty())
                        exhaustedFrom.assign(plen, SIZE_MAX);
                    if (t >= exhaustedFrom[p]) {
                        // Known to fail all the way to the text's end, where
                        // the rest of the pattern meets no text.
                        result = -magnitude;
                        break;
                    }
                    stars.push_back({p, t, t});
                    ++p;
                    if (failed.count(key(p, t))) {
                        result = magnitude;
                        break;
                    }
                    continue;
                }
                const auto tc = uint8_t(S[t]);
                if (tc != uint8_t(pc)) {
                    result = tc < uint8_t(pc) ? -magnitude : magnitude;
                    break;
                }
                ++p;
                ++t;
            }
        }
        if (result == 0) {
            Pos = int(t);
            PatternPtr = P + p;
            return 0;
        }
        if (stars.empty())
            return result;
        Star& s = stars.back();
        if (s.star + 1 >= plen) {
            // A final star: the match ends here, the rest stays unconsumed.
            Pos = int(s.text);
            PatternPtr = P + s.star + 1;
            return 0;
        }
        failed.insert(key(s.star + 1, s.text));
        ++s.text;  // the star takes one more character
        p = s.star + 1;
        t = s.text;
        if (t >= m) {
            // At the text's end the star is skipped; unless only stars
            // follow, that fails for every start of this star.
            if (!onlyStars(p))
                exhaustedFrom[s.star] = std::min(exhaustedFrom[s.star], s.start);
            stars.pop_back();
        }
    }
}

int CutWildcard(std::string& S, const std::string& Pattern)
{
    int pos = 0;
    const char* pattern = Pattern.c_str();
    const int result = CutWildcard(pos, S, pattern);
    if (result == 0)
        S.erase(0, size_t(pos));
    return result;
}

}  // namespace Tixutils
