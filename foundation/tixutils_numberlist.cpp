#include "foundation/tixutils_numberlist.h"

#include <cstdint>
#include <limits>

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
// list, or an item that cannot be read: the walk stops there).
Interval readItem(const std::string& s, int& pos)
{
    Interval iv;
    int lo = 0, hi = -1;
    const int before = pos;
    NumberListGetInterval(s, pos, lo, hi);
    if (hi == -1 || pos <= before)
        return iv;
    iv.lo = lo;
    iv.hi = hi;
    return iv;
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

// Overlapping or touching on either side: the current interval grows.
bool mergeInto(Interval& cur, const Interval& iv)
{
    if (!cur.valid()) {
        cur = iv;
        return true;
    }
    if (iv.lo > cur.hi + 1 || iv.hi + 1 < cur.lo)
        return false;
    if (iv.lo < cur.lo)
        cur.lo = iv.lo;
    if (iv.hi > cur.hi)
        cur.hi = iv.hi;
    return true;
}

// Reads a list as intervals, joining consecutive items that touch.
class MergedReader {
public:
    explicit MergedReader(const std::string& s) : s_(s) { next_ = readItem(s_, pos_); }
    Interval take()
    {
        Interval cur = next_;
        if (!cur.valid())
            return cur;
        for (;;) {
            next_ = readItem(s_, pos_);
            if (!next_.valid() || next_.lo > cur.hi + 1 || next_.lo < cur.lo)
                break;
            if (next_.hi > cur.hi)
                cur.hi = next_.hi;
        }
        return cur;
    }

private:
    const std::string& s_;
    int pos_ = 1;
    Interval next_;
};

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
    std::string out;
    int posA = 1, posB = 1;
    Interval cur, heldA, heldB;
    for (;;) {
        if (!heldA.valid())
            heldA = readItem(a, posA);
        if (!heldB.valid())
            heldB = readItem(b, posB);
        if (!heldA.valid() && !heldB.valid()) {
            if (cur.valid())
                appendInterval(out, cur);
            return out;
        }
        if (heldA.valid() != heldB.valid()) {
            // One list is done. The other one's items still go through the
            // merge: copied as they are, an item touching the current
            // interval ("0-3" then "4") would leave the result unnormalised.
            Interval& held = heldA.valid() ? heldA : heldB;
            if (!mergeInto(cur, held)) {
                appendInterval(out, cur);
                cur = held;
            }
            held = Interval();
            continue;
        }
        Interval& first = heldA.hi <= heldB.hi ? heldA : heldB;
        Interval& second = heldA.hi <= heldB.hi ? heldB : heldA;
        const bool m1 = mergeInto(cur, first);
        if (m1)
            first = Interval();
        const bool m2 = mergeInto(cur, second);
        if (m2)
            second = Interval();
        if (!m1 && !m2) {
            appendInterval(out, cur);
            cur = Interval();
        }
    }
}

std::string NumberListSub(const std::string& a, const std::string& b)
{
    std::string out;
    MergedReader readerA(a);
    int posB = 1;
    Interval cur = readerA.take();
    Interval sub = readItem(b, posB);
    while (cur.valid()) {
        if (!sub.valid()) {
            appendInterval(out, cur);
            cur = readerA.take();
            continue;
        }
        if (sub.hi < cur.lo) {
            sub = readItem(b, posB);
            continue;
        }
        if (sub.lo > cur.hi) {
            appendInterval(out, cur);
            cur = readerA.take();
            continue;
        }
        if (sub.lo > cur.lo)
            appendInterval(out, Interval{cur.lo, sub.lo - 1});
        if (sub.hi < cur.hi) {
            cur.lo = sub.hi + 1;
            sub = readItem(b, posB);
        } else {
            if (sub.hi == cur.hi)
                sub = readItem(b, posB);
            cur = readerA.take();
        }
    }
    return out;
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

std::string NumberListFix(const std::string& text, bool& flag)
{
    std::string rest = text;
    flag = true;
    if (rest.size() >= 2 && rest[0] == '(') {
        const size_t close = rest.find(')');
        if (close != std::string::npos) {
            rest = rest.substr(1, close - 1);
            flag = false;
        }
    }
    std::string result;
    while (!rest.empty()) {
        const size_t before = rest.size();
        const std::string token = CutString(rest);
        result = NumberListAdd(result, token);
        if (rest.size() >= before)
            break;  // no progress: never loop for ever
    }
    return result;
}

}  // namespace Tixutils
