#include "foundation/tixutils_numberlist.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <vector>

#include "foundation/tixutils_text.h"

namespace Tixutils {

namespace {

constexpr int kMax = std::numeric_limits<int>::max();

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

// Digits at p (0-based), p moved past them; saturates at INT_MAX.
int readDigits(const std::string& s, size_t& p)
{
    int64_t v = 0;
    while (p < s.size() && isDigit(s[p])) {
        v = v * 10 + (s[p] - '0');
        if (v > kMax)
            v = kMax;
        ++p;
    }
    return int(v);
}

struct Interval {
    int64_t lo = 0;
    int64_t hi = -1;
    bool valid() const { return hi >= 0; }
};

// The next readable item from pos, or an invalid interval (end of the
// list, or an item that cannot be read: the walk stops there). A
// descending item ("9-3") holds no number, as NumberListContains reads
// it: it is passed over, so that it cannot break the merges.
Interval readItem(const std::string& s, int& pos)
{
    for (;;) {
        Interval iv;
        int lo = 0, hi = -1;
        const int before = pos;
        NumberListGetInterval(s, pos, lo, hi);
        if (hi == -1 || pos <= before)
            return iv;
        if (hi < lo)
            continue;
        iv.lo = lo;
        iv.hi = hi;
        return iv;
    }
}

void appendInterval(std::string& out, const Interval& iv)
{
    if (!out.empty())
        out += ',';
    out += std::to_string(iv.lo);
    if (iv.hi != iv.lo) {
        out += '-';
        out += std::to_string(iv.hi);
    }
}

// The readable items of a list (up to the first one that cannot be read),
// ascending, with overlapping and touching items merged. Items may come
// in any order: a device's answer need not be sorted.
void collect(const std::string& s, std::vector<Interval>& items)
{
    int pos = 1;
    for (;;) {
        const Interval iv = readItem(s, pos);
        if (!iv.valid())
            return;
        items.push_back(iv);
    }
}

std::vector<Interval> normalise(std::vector<Interval> items)
{
    std::sort(items.begin(), items.end(),
              [](const Interval& x, const Interval& y) { return x.lo < y.lo; });
    std::vector<Interval> out;
    for (const Interval& iv : items) {
        if (!out.empty() && iv.lo <= out.back().hi + 1)
            out.back().hi = std::max(out.back().hi, iv.hi);
        else
            out.push_back(iv);
    }
    return out;
}

std::string text(const std::vector<Interval>& items)
{
    std::string out;
    for (const Interval& iv : items)
        appendInterval(out, iv);
    return out;
}

}  // namespace

void NumberListGetInterval(const std::string& list, int& pos, int& lo, int& hi)
{
    if (hi != -1 || pos < 1 || size_t(pos) > list.size())
        return;
    size_t p = size_t(pos) - 1;
    if (isDigit(list[p])) {
        lo = readDigits(list, p);
        if (p >= list.size() || list[p] == ',') {
            hi = lo;
        } else if (list[p] == '-' && p + 1 < list.size() && isDigit(list[p + 1])) {
            ++p;
            hi = readDigits(list, p);
        }
    }
    if (p < list.size())
        ++p;
    pos = int(p) + 1;
}

std::string NumberListAdd(const std::string& a, const std::string& b)
{
    std::vector<Interval> items;
    collect(a, items);
    collect(b, items);
    return text(normalise(std::move(items)));
}

std::string NumberListSub(const std::string& a, const std::string& b)
{
    std::vector<Interval> from, cut;
    collect(a, from);
    collect(b, cut);
    from = normalise(std::move(from));
    cut = normalise(std::move(cut));
    std::vector<Interval> out;
    size_t k = 0;
    for (Interval cur : from) {
        while (k < cut.size() && cut[k].hi < cur.lo)
            ++k;
        // The cut intervals from k on that reach into cur, in order.
        size_t j = k;
        while (j < cut.size() && cut[j].lo <= cur.hi) {
            if (cut[j].lo > cur.lo)
                out.push_back(Interval{cur.lo, cut[j].lo - 1});
            cur.lo = std::max(cur.lo, cut[j].hi + 1);
            if (cur.lo > cur.hi)
                break;
            ++j;
        }
        if (cur.lo <= cur.hi)
            out.push_back(cur);
    }
    return text(out);
}

bool NumberListContains(const std::string& list, int n)
{
    int pos = 1;
    for (;;) {
        const Interval iv = readItem(list, pos);
        if (!iv.valid())
            return false;
        if (iv.lo <= n && n <= iv.hi)
            return true;
    }
}

std::string NumberListFix(const std::string& list, bool& flag)
{
    std::string rest = list;
    flag = true;
    if (rest.size() >= 2 && rest[0] == '(') {
        const size_t close = rest.find(')');
        if (close != std::string::npos) {
            rest = rest.substr(1, close - 1);
            flag = false;
        }
    }
    // The items of every token go into one list, normalised once: merging
    // token by token re-read the whole result for each token, which made a
    // long list cost its length squared.
    std::vector<Interval> items;
    int pos = 0;
    while (size_t(pos) < rest.size()) {
        const int before = pos;
        collect(CutString(pos, rest), items);
        if (pos <= before)
            break;  // no progress: never loop for ever
    }
    return text(normalise(std::move(items)));
}

}  // namespace Tixutils
