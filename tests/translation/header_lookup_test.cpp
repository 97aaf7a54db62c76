// Section lookups that go through the headers found by name: the answers
// are those of a walk over every line, also after the lines changed and in
// copied or moved caches.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <random>
#include <string_view>
#include <utility>

#include "foundation/tixutils_text.h"
#include "translation/language_text.h"

using namespace Tixlanguage;

namespace {

TLangCache CacheOf(std::vector<std::string> lines, bool indexed)
{
    TLangCache cache;
    cache.SetLines(std::move(lines));
    if (indexed)
        IndexAndSortCache(cache);
    return cache;
}

struct TAnswer {
    std::string value;
    bool found = false;
    std::string rest;
    bool operator==(const TAnswer&) const = default;
};

std::ostream& operator<<(std::ostream& os, const TAnswer& a)
{
    return os << (a.found ? "found " : "missing ") << '"' << a.value << "\" rest \"" << a.rest << '"';
}

TAnswer Find(const TLangCache& cache, const std::string& section, const std::string& key)
{
    TAnswer a;
    a.value = TixFindInIni(section, key, "<d>", a.found, a.rest, cache);
    return a;
}

// The lookup as a plain walk over every line of a cache without an index:
// each header serving the section, from the top, scanned up to the next
// line that begins with "[" and ends with "]"; a longer serving name
// replaces an earlier answer.
TAnswer WalkEveryLine(const std::vector<std::string>& lines, const std::string& section,
                      const std::string& key)
{
    TAnswer a{"<d>", false, ""};
    if (key.empty())
        return a;
    int best = -1;
    for (size_t i = 0; i < lines.size(); ++i) {
        const std::string t = TrimLine(lines[i]);
        std::string name;
        if (!IsSectionHeader(t, &name) || int(name.size()) <= best || name.size() > section.size()
            || section.compare(0, name.size(), name) != 0)
            continue;
        if (!name.empty() && name.size() < section.size() && section[name.size()] != '.'
            && section[name.size()] != '_')
            continue;
        for (size_t j = i + 1; j < lines.size(); ++j) {
            const std::string& s = lines[j];
            if (s.size() >= 2 && s.front() == '[' && s.back() == ']')
                break;
            const size_t eq = s.find('=');
            if (eq == std::string::npos || s.find('"') < eq)
                continue;
            const std::string front = s.substr(0, eq);
            if (front.find_first_of("*?") == std::string::npos) {
                if (front != key)
                    continue;
                a = {s.substr(eq + 1), true, ""};
            } else {
                // The pattern matching itself is the foundation's.
                int pos = 0;
                const char* pattern = s.c_str();
                if (Tixutils::CutWildcard(pos, key, pattern, "=") != 0)
                    continue;
                const size_t k = size_t(std::clamp(pos, 0, int(key.size())));
                a = {s.substr(eq + 1), true, key.substr(k)};
            }
            best = int(name.size());
            break;
        }
        if (best == int(section.size()))
            break;
    }
    return a;
}

}  // namespace

TEST(HeaderLookup, SameNamedHeadersLongerNamesAndIndentedHeaders)
{
    const std::vector<std::string> lines = {
        "[]",          "K=\"any\"",    "Only=\"catch-all\"",
        "[A]",         "X=\"first\"",  "  [A.B]  ",  "Y=\"under indented\"",
        "[A]",         "X=\"second\"", "Z=\"second z\"",
        "[A.B]",       "Y=\"ab\"",     "[A_C]", "W*=\"wild\"",
        "[A.B]",       "V=\"later ab\"",
    };
    struct Case {
        const char* section;
        const char* key;
        TAnswer unindexed;
        TAnswer indexed;
    };
    const Case cases[] = {
        // The first [A] holding the key answers; a later [A] answers keys the first lacks.
        {"A", "X", {"\"first\"", true, ""}, {"\"first\"", true, ""}},
        {"A", "Z", {"\"second z\"", true, ""}, {"\"second z\"", true, ""}},
        // Without an index an indented header does not end the section above it.
        {"A", "Y", {"\"under indented\"", true, ""}, {"<d>", false, ""}},
        // [A.B] beats [A] and [] wherever they stand; its second block answers too.
        {"A.B", "Y", {"\"under indented\"", true, ""}, {"\"under indented\"", true, ""}},
        {"A.B", "V", {"\"later ab\"", true, ""}, {"\"later ab\"", true, ""}},
        {"A.B.C", "X", {"\"first\"", true, ""}, {"\"first\"", true, ""}},
        {"A_C", "Wide", {"\"wild\"", true, "ide"}, {"\"wild\"", true, "ide"}},
        {"A_C", "K", {"\"any\"", true, ""}, {"\"any\"", true, ""}},
        {"AB", "X", {"<d>", false, ""}, {"<d>", false, ""}},
        {"AB", "Only", {"\"catch-all\"", true, ""}, {"\"catch-all\"", true, ""}},
        {"", "K", {"\"any\"", true, ""}, {"\"any\"", true, ""}},
    };
    const TLangCache plain = CacheOf(lines, false);
    const TLangCache sorted = CacheOf(lines, true);
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.section) + "/" + c.key);
        EXPECT_EQ(Find(plain, c.section, c.key), c.unindexed);
        EXPECT_EQ(Find(plain, c.section, c.key), WalkEveryLine(lines, c.section, c.key));
        EXPECT_EQ(Find(sorted, c.section, c.key), c.indexed);
    }
}

TEST(HeaderLookup, EditedSortedCopiedAndMovedCachesAnswerFromTheirOwnLines)
{
    TLangCache cache = CacheOf({"[S]", "K=\"1\""}, false);
    EXPECT_EQ(Find(cache, "S", "K").value, "\"1\"");
    EXPECT_FALSE(Find(cache, "T", "K").found);

    // Edited in place: a new header and a renamed one are found at once.
    std::vector<std::string>& lines = cache.EditLines();
    lines.insert(lines.begin(), {"[T]", "K=\"t\""});
    lines[2] = "[U]";
    EXPECT_EQ(Find(cache, "T", "K").value, "\"t\"");
    EXPECT_EQ(Find(cache, "U", "K").value, "\"1\"");
    EXPECT_FALSE(Find(cache, "S", "K").found);

    // Sorting moves the lines: the headers are found where they are now.
    cache.EditLines().insert(cache.EditLines().begin(), {"; head", "[V]", "B=\"b\"", "A=\"a\""});
    cache.ClearIndex();
    IndexAndSortCache(cache);
    ASSERT_TRUE(cache.Indexed());
    EXPECT_EQ(Find(cache, "V", "A").value, "\"a\"");
    EXPECT_EQ(Find(cache, "T", "K").value, "\"t\"");

    // A copy keeps answering after the original changed and went away.
    auto original = std::make_unique<TLangCache>(CacheOf({"[Long section name]", "Key=\"v\""}, false));
    EXPECT_TRUE(Find(*original, "Long section name", "Key").found);
    TLangCache copy(*original);
    TLangCache assigned;
    EXPECT_FALSE(Find(assigned, "Long section name", "Key").found);
    assigned = *original;
    original->SetLines({"[Other section name]", "Key=\"o\""});
    EXPECT_FALSE(Find(*original, "Long section name", "Key").found);
    EXPECT_EQ(Find(*original, "Other section name", "Key").value, "\"o\"");
    original.reset();
    EXPECT_EQ(Find(copy, "Long section name", "Key").value, "\"v\"");
    EXPECT_EQ(Find(assigned, "Long section name", "Key").value, "\"v\"");

    // A move takes the answers along and leaves an empty cache behind.
    TLangCache moved(std::move(copy));
    EXPECT_EQ(Find(moved, "Long section name", "Key").value, "\"v\"");
    EXPECT_TRUE(copy.empty());  // NOLINT(bugprone-use-after-move): the moved-from state is checked
    EXPECT_FALSE(Find(copy, "Long section name", "Key").found);
    assigned = std::move(moved);
    EXPECT_EQ(Find(assigned, "Long section name", "Key").value, "\"v\"");
    EXPECT_FALSE(Find(moved, "Long section name", "Key").found);
    copy.SetLines({"[Long section name]", "Key=\"again\""});
    EXPECT_EQ(Find(copy, "Long section name", "Key").value, "\"again\"");
}

// Random texts of headers (also indented, repeated, catch-all, with points
// and underscores), plain, wildcard, quoted and other lines: every section
// and key gives the answer of the walk over every line.
TEST(HeaderLookup, RandomTextsAnswerAsTheWalkOverEveryLine)
{
    const char* const pieces[] = {"[A]", "[A.B]", "[A_B]", " [A] ", "[]", "[B]", "[A.B.C]", "[ A ]",
                                  "K=1", "K=2", "L=3", "K*=w", "?=q", "L?=r", "\"K\"=x", "K\"=y",
                                  "; c", "", "=", "[", "]K=z", "[x]=v", "Kx*=p", "L1?*=s", "K?=t"};
    const std::string sections[] = {"A", "A.B", "A_B", "A.B.C", "B", "", "C", "A.", " A ", "AB",
                                    ".A", "_", "A._B", "A.B_C", "A__"};
    const std::string keys[] = {"K", "L", "L1", "Kx", "Q", "\"K\"", "K\"", "]K", "[x]"};
    std::mt19937 random(20261209);
    std::uniform_int_distribution<size_t> piece(0, std::size(pieces) - 1);
    std::uniform_int_distribution<size_t> length(0, 14);
    int found = 0;
    for (int round = 0; round < 400; ++round) {
        std::vector<std::string> lines(length(random));
        for (std::string& l : lines)
            l = pieces[piece(random)];
        const TLangCache cache = CacheOf(lines, false);
        for (const std::string& s : sections)
            for (const std::string& k : keys) {
                const TAnswer expected = WalkEveryLine(lines, s, k);
                ASSERT_EQ(Find(cache, s, k), expected) << "round " << round << " " << s << "/" << k;
                found += expected.found;
            }
    }
    EXPECT_GT(found, 1000);  // the texts answer often enough to compare something
}
