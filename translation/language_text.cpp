#include "translation/language_text.h"

#include <algorithm>
#include <cstring>
#include <numeric>
#include <string_view>

#include "foundation/tixutils_quote.h"
#include "foundation/tixutils_text.h"

namespace Tixlanguage {

namespace {

// The key of a line for sorting and binary search: up to the first "=".
// Byte order, a key that is the front of another first; the two keys are
// compared by the C library (sorting and every binary search pass here).
size_t KeyLength(const std::string& s)
{
    const void* eq = std::memchr(s.data(), '=', s.size());
    return eq ? size_t(static_cast<const char*>(eq) - s.data()) : s.size();
}

int CompareKeys(const std::string& a, const std::string& b)
{
    const size_t la = KeyLength(a);
    const size_t lb = KeyLength(b);
    const int c = std::memcmp(a.data(), b.data(), std::min(la, lb));
    if (c != 0)
        return c < 0 ? -1 : 1;
    return la == lb ? 0 : (la < lb ? -1 : 1);
}

// A line without the blanks (and control bytes) around it.
std::string_view Trimmed(const std::string& line)
{
    size_t b = 0;
    size_t e = line.size();
    while (b < e && static_cast<unsigned char>(line[b]) <= ' ')
        ++b;
    while (e > b && static_cast<unsigned char>(line[e - 1]) <= ' ')
        --e;
    return std::string_view(line).substr(b, e - b);
}

// The name of a section header line (blanks around it allowed), as
// IsSectionHeader(TrimLine(line)) gives it but without copying: lookups
// pass every header of a text.
bool HeaderName(const std::string& line, std::string_view& name)
{
    // Most lines begin with their first character: no header unless "[".
    if (line.empty() || (static_cast<unsigned char>(line[0]) > ' ' && line[0] != '['))
        return false;
    const std::string_view t = Trimmed(line);
    if (t.size() < 2 || t.front() != '[' || t.back() != ']')
        return false;
    name = t.substr(1, t.size() - 2);
    return true;
}

bool HasWildcard(const std::string& s, size_t end)
{
    return std::memchr(s.data(), '*', end) || std::memchr(s.data(), '?', end);
}

// Position of the first c in s from pos on (s.size() when there is none).
size_t FindByte(std::string_view s, char c, size_t pos = 0)
{
    if (pos >= s.size())
        return s.size();
    const void* at = std::memchr(s.data() + pos, c, s.size() - pos);
    return at ? size_t(static_cast<const char*>(at) - s.data()) : s.size();
}

// A wildcard key line against Key; on a match the unmatched rest of Key.
bool MatchWildcardLine(const std::string& line, const std::string& key, std::string& remainder)
{
    // The pattern's front up to its first wildcard must be the key's front:
    // most wildcard keys of a section are passed over without the matcher.
    const size_t front = std::strcspn(line.c_str(), "*?=");
    if (key.size() < front || std::memcmp(key.data(), line.data(), front) != 0)
        return false;
    // Every other character of the pattern but "*" stands for one of the
    // key's, in order ("?" for any): the key must hold them as a sequence.
    const size_t end = front + std::strcspn(line.c_str() + front, "=");
    size_t t = front;
    for (size_t p = front; p < end; ++p) {
        const char c = line[p];
        if (c == '*')
            continue;
        if (t >= key.size())
            return false;
        if (c != '?') {
            const void* at = std::memchr(key.data() + t, c, key.size() - t);
            if (!at)
                return false;
            t = size_t(static_cast<const char*>(at) - key.data());
        }
        ++t;
    }
    int pos = 0;
    const char* pattern = line.c_str();
    if (Tixutils::CutWildcard(pos, key, pattern, "=") != 0)
        return false;
    remainder = key.substr(size_t(std::clamp(pos, 0, int(key.size()))));
    return true;
}

bool IsBlank(char c) { return static_cast<unsigned char>(c) <= ' '; }

// The joined line below the one being looked at, kept reversed: putting an
// upper line in front of it is then an append, and trimming its ends moves
// two bounds. Each chain is built once, whatever its length.
struct ReversedChain {
    std::string text;
    size_t lo = 0;
    size_t hi = 0;

    std::string Take()
    {
        std::string line(text.rbegin() + std::ptrdiff_t(text.size() - hi),
                         text.rbegin() + std::ptrdiff_t(text.size() - lo));
        text.clear();
        lo = hi = 0;
        return line;
    }
};

}  // namespace

void TLangCache::SetLines(std::vector<std::string> lines)
{
    lines_ = std::move(lines);
    headersKnown_ = false;
    ClearIndex();
}

TLangCache::TLangCache(const TLangCache& other) : Index(other.Index), lines_(other.lines_) {}

TLangCache& TLangCache::operator=(const TLangCache& other)
{
    if (this != &other) {
        lines_ = other.lines_;
        Index = other.Index;
        headersKnown_ = false;
    }
    return *this;
}

TLangCache::TLangCache(TLangCache&& other) noexcept
    : Index(std::move(other.Index)), lines_(std::move(other.lines_)), headers_(std::move(other.headers_)),
      headersKnown_(other.headersKnown_), headerLengths_(other.headerLengths_)
{
    other.Drop();
}

TLangCache& TLangCache::operator=(TLangCache&& other) noexcept
{
    if (this != &other) {
        lines_ = std::move(other.lines_);
        Index = std::move(other.Index);
        headers_ = std::move(other.headers_);
        headersKnown_ = other.headersKnown_;
        headerLengths_ = other.headerLengths_;
        other.Drop();
    }
    return *this;
}

void TLangCache::Drop()
{
    lines_.clear();
    Index.clear();
    headers_.clear();
    headersKnown_ = false;
    headerLengths_ = 0;
}

const std::vector<uint32_t>& TLangCache::HeadersNamed(std::string_view name) const
{
    if (!headersKnown_) {
        headers_.clear();
        headerLengths_ = 0;
        std::string_view header;
        for (size_t k = 0; k < lines_.size(); ++k)
            if (HeaderName(lines_[k], header)) {
                headers_[header].push_back(uint32_t(k));
                headerLengths_ |= uint64_t(1) << std::min<size_t>(header.size(), 63);
            }
        headersKnown_ = true;
    }
    static const std::vector<uint32_t> none;
    if (((headerLengths_ >> std::min<size_t>(name.size(), 63)) & 1) == 0)
        return none;
    const auto it = headers_.find(name);
    return it == headers_.end() ? none : it->second;
}

std::string TrimLine(const std::string& line)
{
    return std::string(Trimmed(line));
}

bool IsSectionHeader(const std::string& trimmedLine, std::string* name)
{
    if (trimmedLine.size() < 2 || trimmedLine.front() != '[' || trimmedLine.back() != ']')
        return false;
    if (name)
        *name = trimmedLine.substr(1, trimmedLine.size() - 2);
    return true;
}

std::vector<std::string> SplitLanguageText(const std::string& text, bool& utf8)
{
    size_t start = 0;
    utf8 = text.size() >= 3 && static_cast<unsigned char>(text[0]) == 0xEF &&
           static_cast<unsigned char>(text[1]) == 0xBB && static_cast<unsigned char>(text[2]) == 0xBF;
    if (utf8)
        start = 3;
    std::vector<std::string> lines;
    const size_t n = text.size();
    // The next CR and the next LF are each searched again only once passed,
    // so a text with one kind of line end alone is still read once.
    size_t cr = FindByte(text, '\r', start);
    size_t lf = FindByte(text, '\n', start);
    size_t i = start;
    while (i < n) {
        if (cr < i)
            cr = FindByte(text, '\r', i);
        if (lf < i)
            lf = FindByte(text, '\n', i);
        size_t j = std::min(cr, lf);
        lines.emplace_back(text, i, j - i);
        if (j < n && text[j] == '\r' && j + 1 < n && text[j + 1] == '\n')
            j += 2;
        else if (j < n)
            ++j;
        i = j;
    }
    return lines;
}

// A line ending in "+" continues on the next; the lower line is taken as
// already joined with everything below it, so the lines are walked upwards.
void JoinContinuationLines(std::vector<std::string>& lines)
{
    if (lines.size() < 2)
        return;
    std::vector<std::string> joined;  // bottom line first
    joined.reserve(lines.size());
    ReversedChain chain;
    bool chained = false;  // the lower line is the chain, not lines[k + 1]
    for (size_t k = lines.size() - 1; k-- > 0;) {
        const std::string_view upper = Trimmed(lines[k]);
        bool join = false;
        size_t cut = 0, drop = 0;     // chars cut off upper's end, off lower's start
        size_t lowerB = 0, lowerE = 0;  // the trimmed lower line, in its own string
        if (upper.size() >= 2 && upper.back() == '+') {
            char first = 0;
            if (chained) {
                // Reversed: the lower line's start is the chain's end.
                lowerB = chain.lo;
                lowerE = chain.hi;
                while (lowerE > lowerB && IsBlank(chain.text[lowerE - 1]))
                    --lowerE;
                while (lowerB < lowerE && IsBlank(chain.text[lowerB]))
                    ++lowerB;
                if (lowerB < lowerE)
                    first = chain.text[lowerE - 1];
            } else {
                const std::string& lower = lines[k + 1];
                lowerB = 0;
                lowerE = lower.size();
                while (lowerB < lowerE && IsBlank(lower[lowerB]))
                    ++lowerB;
                while (lowerE > lowerB && IsBlank(lower[lowerE - 1]))
                    --lowerE;
                if (lowerB < lowerE)
                    first = lower[lowerB];
            }
            const char before = upper[upper.size() - 2];
            if (lowerB == lowerE) {
                // An empty line ends the chain.
            } else if (before == '"' && first == '"') {
                join = true;
                cut = 2;
                drop = 1;
            } else if ((before == '"' && first == '#')
                       || (Tixutils::Asc2Hex(before, -1) >= 0 && (first == '"' || first == '#'))) {
                join = true;
                cut = 1;
            }
        }
        if (join) {
            if (chained) {
                chain.text.resize(lowerE - drop);
                chain.lo = lowerB;
            } else {
                const std::string& lower = lines[k + 1];
                chain.text.assign(lower.rbegin() + std::ptrdiff_t(lower.size() - lowerE),
                                  lower.rbegin() + std::ptrdiff_t(lower.size() - lowerB - drop));
                chain.lo = 0;
                chained = true;
            }
            chain.text.append(upper.rbegin() + std::ptrdiff_t(cut), upper.rend());
            chain.hi = chain.text.size();
        } else if (chained) {
            joined.push_back(chain.Take());
            chained = false;
        } else {
            joined.push_back(std::move(lines[k + 1]));
        }
    }
    joined.push_back(chained ? chain.Take() : std::move(lines[0]));
    std::reverse(joined.begin(), joined.end());
    lines = std::move(joined);
}

TLineKind ClassifyLine(const std::string& line)
{
    std::string_view name;
    if (HeaderName(line, name))
        return lkHeader;
    const std::string_view t = Trimmed(line);
    if (t.size() < 2)
        return lkOther;
    // The first "=", wildcard or quote decides.
    const size_t eq = FindByte(t, '=');
    const size_t quote = FindByte(t, '"');
    const size_t wildcard = std::min(FindByte(t, '*'), FindByte(t, '?'));
    const size_t first = std::min({eq, quote, wildcard});
    if (first == t.size() || first == quote)
        return lkOther;
    return first == eq ? lkPlainKey : lkWildcardKey;
}

void IndexAndSortCache(TLangCache& cache)
{
    const size_t n = cache.size();
    if (n == 0 || cache.Indexed())
        return;
    const std::vector<std::string>& all = cache.Lines();
    cache.Index.assign(n, 0);
    uint32_t next = uint32_t(n);
    for (size_t k = n; k-- > 0;) {
        const TLineKind kind = ClassifyLine(all[k]);
        cache.Index[k] = next * 4 + kind;
        if (kind == lkHeader)
            next = uint32_t(k);
    }
    std::vector<size_t> order(n);
    std::iota(order.begin(), order.end(), size_t(0));
    std::stable_sort(order.begin(), order.end(), [&cache, &all](size_t a, size_t b) {
        if (cache.Index[a] != cache.Index[b])
            return cache.Index[a] < cache.Index[b];
        return CompareKeys(all[a], all[b]) < 0;
    });
    std::vector<std::string>& unsorted = cache.EditLines();
    std::vector<std::string> lines(n);
    std::vector<uint32_t> index(n);
    for (size_t k = 0; k < n; ++k) {
        lines[k] = std::move(unsorted[order[k]]);
        index[k] = cache.Index[order[k]];
    }
    unsorted = std::move(lines);
    cache.Index = std::move(index);
}

namespace {

// A section of a cache without an index ends at the next line that begins
// with "[" and ends with "]" (blanks around it make no header there).
bool EndsPlainSection(const std::string& s)
{
    return s.size() >= 2 && s.front() == '[' && s.back() == ']';
}

// A key line of a cache without an index: an "=" with no quote before it;
// eq receives the position of the "=".
bool KeyLineEq(const std::string& s, size_t& eq)
{
    eq = s.find('=');
    if (eq == std::string::npos)
        return false;
    const size_t quote = s.find('"');
    return !(quote < eq);
}

// The key lines of the section of a cache without an index whose header
// is line i, each with the position of its "=", while visit answers true.
template <typename Visit>
void ForEachPlainKeyLine(const std::vector<std::string>& lines, size_t i, Visit visit)
{
    for (size_t j = i + 1; j < lines.size(); ++j) {
        const std::string& s = lines[j];
        if (EndsPlainSection(s))
            break;
        size_t eq = 0;
        if (KeyLineEq(s, eq) && !visit(s, eq))
            return;
    }
}

// End of the indexed section whose header is line i.
size_t IndexedSectionEnd(const TLangCache& cache, size_t i)
{
    return std::min(std::max<size_t>(cache.Index[i] >> 2, i + 1), cache.size());
}

// Past the wildcard key lines that open an indexed section at line from.
size_t WildcardsEnd(const TLangCache& cache, size_t from, size_t end)
{
    while (from < end && (cache.Index[from] & 3) == lkWildcardKey)
        ++from;
    return from;
}

// Binary search for Key among the sorted plain key lines of an indexed
// section, which lie from line from (after its wildcard keys) to end.
bool FindPlainKey(const TLangCache& cache, size_t from, size_t end, const std::string& Key,
                  std::string& value, std::string& rest)
{
    const std::vector<std::string>& lines = cache.Lines();
    long low = long(from);
    long high = long(end) - 1;
    while (high >= low && (cache.Index[size_t(high)] & 3) != lkPlainKey)
        --high;
    while (low <= high) {
        const long mid = (low + high + 1) / 2;
        const std::string& s = lines[size_t(mid)];
        const int c = CompareKeys(s, Key);
        if (c == 0) {
            rest.clear();
            value = s.substr(s.find('=') + 1);
            return true;
        }
        if (c < 0)
            low = mid + 1;
        else
            high = mid - 1;
    }
    return false;
}

bool IndexedFully(const TLangCache& cache)
{
    return cache.Indexed() && cache.Index.size() == cache.size();
}

// Key in the section whose header is line i: the first matching key line
// below the header (without an index, up to the next line that begins
// with "[" and ends with "]"); a wildcard key first among an indexed
// section's keys.
bool FindInSection(const TLangCache& cache, size_t i, const std::string& Key, std::string& value,
                   std::string& rest)
{
    const std::vector<std::string>& lines = cache.Lines();
    bool hit = false;
    if (!IndexedFully(cache)) {
        ForEachPlainKeyLine(lines, i, [&](const std::string& s, size_t eq) {
            if (HasWildcard(s, eq)) {
                if (MatchWildcardLine(s, Key, rest)) {
                    hit = true;
                    value = s.substr(eq + 1);
                }
            } else if (s.compare(0, eq, Key) == 0 && eq == Key.size()) {
                hit = true;
                rest.clear();
                value = s.substr(eq + 1);
            }
            return !hit;
        });
        return hit;
    }
    const size_t end = IndexedSectionEnd(cache, i);
    size_t j = i + 1;
    for (; j < end && (cache.Index[j] & 3) == lkWildcardKey && !hit; ++j) {
        const std::string& s = lines[j];
        if (MatchWildcardLine(s, Key, rest)) {
            hit = true;
            value = s.substr(s.find('=') + 1);
        }
    }
    if (hit)
        return true;
    return FindPlainKey(cache, WildcardsEnd(cache, j, end), end, Key, value, rest);
}

// FindInSection for every key not answered yet: a key answered here keeps
// the first line of the section that matches it, as the single lookup
// does. Returns the number of keys answered.
size_t FindManyInSection(const TLangCache& cache, size_t i, const std::vector<const std::string*>& keys,
                         std::vector<TKeyAnswer>& answers)
{
    const std::vector<std::string>& lines = cache.Lines();
    size_t answered = 0;
    if (!IndexedFully(cache)) {
        ForEachPlainKeyLine(lines, i, [&](const std::string& s, size_t eq) {
            const bool wildcard = HasWildcard(s, eq);
            for (size_t k = 0; k < keys.size(); ++k) {
                TKeyAnswer& a = answers[k];
                const std::string& key = *keys[k];
                if (a.Found || key.empty())
                    continue;
                if (wildcard) {
                    if (!MatchWildcardLine(s, key, a.Remainder))
                        continue;
                } else if (eq != key.size() || s.compare(0, eq, key) != 0) {
                    continue;
                } else {
                    a.Remainder.clear();
                }
                a.Found = true;
                a.Value = s.substr(eq + 1);
                ++answered;
            }
            return true;
        });
        return answered;
    }
    const size_t end = IndexedSectionEnd(cache, i);
    const size_t plain = WildcardsEnd(cache, i + 1, end);
    for (size_t j = i + 1; j < plain; ++j) {
        const std::string& s = lines[j];
        for (size_t k = 0; k < keys.size(); ++k) {
            TKeyAnswer& a = answers[k];
            if (a.Found || keys[k]->empty() || !MatchWildcardLine(s, *keys[k], a.Remainder))
                continue;
            a.Found = true;
            a.Value = s.substr(s.find('=') + 1);
            ++answered;
        }
    }
    for (size_t k = 0; k < keys.size(); ++k) {
        TKeyAnswer& a = answers[k];
        if (a.Found || keys[k]->empty())
            continue;
        a.Found = FindPlainKey(cache, plain, end, *keys[k], a.Value, a.Remainder);
        answered += a.Found;
    }
    return answered;
}

// The header names serving Section, longest first: the section itself,
// its fronts before each "." or "_", and the catch-all "". The separators
// are searched by the C library: every lookup passes here.
template <typename Visit>
void ForEachServingName(const std::string& Section, Visit visit)
{
    const char* s = Section.data();
    size_t len = Section.size();
    if (!visit(std::string_view(s, len)))
        return;
    while (len > 0) {
        const void* dot = ::memrchr(s, '.', len);
        const void* under = ::memrchr(s, '_', len);
        size_t cut = 0;
        if (dot)
            cut = size_t(static_cast<const char*>(dot) - s);
        if (under)
            cut = std::max(cut, size_t(static_cast<const char*>(under) - s));
        len = cut;
        if (!visit(std::string_view(s, len)))
            return;
    }
}

}  // namespace

// The longest header name serving Section wins, and among headers of that
// name the first holding the key: so the names are tried from the section
// itself down to the catch-all [], each through the headers of that name.
std::string TixFindInIni(const std::string& Section, const std::string& Key,
                         const std::string& Default, bool& Found, std::string& Remainder,
                         const TLangCache& Lines)
{
    Found = false;
    Remainder.clear();
    if (Key.empty())
        return Default;
    std::string value;
    std::string rest;
    ForEachServingName(Section, [&](std::string_view name) {
        for (const uint32_t i : Lines.HeadersNamed(name))
            if (FindInSection(Lines, i, Key, value, rest)) {
                Found = true;
                return false;
            }
        return true;
    });
    if (!Found)
        return Default;
    Remainder = std::move(rest);
    return value;
}

void TixFindManyInIni(const std::string& Section, const std::vector<const std::string*>& Keys,
                      std::vector<TKeyAnswer>& Answers, const TLangCache& Lines)
{
    Answers.resize(Keys.size());
    size_t open = 0;
    for (size_t k = 0; k < Keys.size(); ++k)
        open += !Answers[k].Found && !Keys[k]->empty();
    if (open == 0)
        return;
    ForEachServingName(Section, [&](std::string_view name) {
        for (const uint32_t i : Lines.HeadersNamed(name)) {
            open -= FindManyInSection(Lines, i, Keys, Answers);
            if (open == 0)
                return false;
        }
        return true;
    });
}

int ParseLangNumber(const std::string& text, int def)
{
    std::string t = TrimLine(text);
    if (!t.empty() && (t.front() == '"' || t.front() == '#'))
        t = TrimLine(Tixutils::TixExtractQuotedStr(t));
    if (t.empty())
        return def;
    size_t i = 0;
    bool negative = false;
    if (t[0] == '-') {
        negative = true;
        i = 1;
    }
    int base = 10;
    if (t.compare(i, 2, "0x") == 0 || t.compare(i, 2, "0X") == 0) {
        base = 16;
        i += 2;
    } else if (i < t.size() && t[i] == '$') {
        base = 16;
        i += 1;
    }
    if (i >= t.size())
        return def;
    uint64_t v = 0;
    for (; i < t.size(); ++i) {
        const int d = Tixutils::Asc2Hex(t[i], -1);
        if (d < 0 || d >= base)
            return def;
        v = v * uint64_t(base) + uint64_t(d);
        if (v > 0xFFFFFFFFull)
            return def;
    }
    int64_t value;
    if (base == 16) {
        value = int64_t(int32_t(uint32_t(v)));
    } else {
        if (v > 0x7FFFFFFFull + (negative ? 1 : 0))
            return def;
        value = int64_t(v);
    }
    return int(negative ? -value : value);
}

}  // namespace Tixlanguage
