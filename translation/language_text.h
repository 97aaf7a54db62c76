#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "translation/language_file_reader.h"

// The text of one language (a ".lng" file or a built-in text) as the
// translation component keeps it: one entry per line, each with an index
// value that lets a lookup jump from section to section and find plain
// keys by binary search.
//
// Line kinds: [Name] section headers, Key=Value key lines (a double quote
// before the "=" makes a line no key line), keys holding "*" or "?" are
// wildcard keys; everything else (comments, blank lines) is ignored.
namespace Tixlanguage {

// Index value of a line: (position of the next header below it, or the line
// count) * 4 + kind.
enum TLineKind : uint32_t {
    lkHeader = 0,
    lkWildcardKey = 1,
    lkPlainKey = 2,
    lkOther = 3,
};

class TLangCache {
public:
    const std::vector<std::string>& Lines() const { return lines_; }
    // The lines for changing them in place; the header positions are
    // worked out again on the next lookup.
    std::vector<std::string>& EditLines()
    {
        headersKnown_ = false;
        return lines_;
    }
    // Parallel to Lines; all 0 while the cache is not indexed.
    std::vector<uint32_t> Index;

    size_t size() const { return lines_.size(); }
    bool empty() const { return lines_.empty(); }
    // A cache whose first line has index value 0 counts as not indexed.
    bool Indexed() const { return !Index.empty() && Index[0] != 0; }
    // Drops every index value (after lines were added or replaced).
    void ClearIndex() { Index.assign(lines_.size(), 0); }
    void SetLines(std::vector<std::string> lines);
    // Positions of the section headers named name (blanks around a header
    // allowed), in order: a lookup goes straight to the sections that can
    // serve it instead of passing every line. Worked out once per change of
    // the lines.
    const std::vector<uint32_t>& HeadersNamed(std::string_view name) const;

    TLangCache() = default;
    // A copy works its header positions out anew (they point into its own
    // lines); a move keeps them, the lines' storage moving along.
    TLangCache(const TLangCache& other);
    TLangCache& operator=(const TLangCache& other);
    TLangCache(TLangCache&& other) noexcept;
    TLangCache& operator=(TLangCache&& other) noexcept;

private:
    void Drop();

    std::vector<std::string> lines_;
    // Header name (a view into lines_) -> positions of its headers.
    mutable std::unordered_map<std::string_view, std::vector<uint32_t>> headers_;
    mutable bool headersKnown_ = false;
    // Bit n set: a header name of n characters exists (63: of 63 or more);
    // a name of a length no header has is not looked up.
    mutable uint64_t headerLengths_ = 0;
};

// Blanks and control characters (bytes up to 32) cut from both ends.
std::string TrimLine(const std::string& line);
// A trimmed line of at least two characters in square brackets; the name
// between them goes to *name.
bool IsSectionHeader(const std::string& trimmedLine, std::string* name = nullptr);

// Splits a language text into lines (CR LF, LF or a lone CR end a line).
// A leading UTF-8 byte-order mark is cut off and sets utf8.
std::vector<std::string> SplitLanguageText(const std::string& text, bool& utf8);

// Joins continuation lines: a line ending in "+" continues on the next
// line when the "+" follows a quote and the next line begins with a quote
// ("abc"+ / "def" -> "abcdef") or "#", or follows a hex digit and the next
// line begins with a quote or "#". Works upwards, so chains collapse into
// their first line.
void JoinContinuationLines(std::vector<std::string>& lines);

// Computes the index values and sorts the cache so that each section keeps
// its block of positions: header first, then wildcard keys, plain keys
// (ordered by key) and other lines. Does nothing on an empty or already
// indexed cache.
void IndexAndSortCache(TLangCache& cache);

// Kind of one line, as the index records it.
TLineKind ClassifyLine(const std::string& line);

// The raw (still quoted) value of Key in the best section of Lines serving
// Section: the section itself or a header that is its front followed by
// "." or "_" ([FormMain] serves FormMain.Panel1 and FormMain_X), or the
// catch-all header []; a longer matching header wins. Wildcard keys answer
// every key their pattern matches at the front; the unmatched rest goes to
// Remainder. A plain key answers only itself. Default when no section
// holds the key (Found false).
std::string TixFindInIni(const std::string& Section, const std::string& Key,
                         const std::string& Default, bool& Found, std::string& Remainder,
                         const TLangCache& Lines);

// What TixFindInIni answers for one key.
struct TKeyAnswer {
    std::string Value;      // the raw value; empty when not found
    bool Found = false;
    std::string Remainder;  // the part of the key a wildcard key left over
};

// TixFindInIni for several keys of one section at once, each answer the
// same as the single lookup gives: the sections serving Section are walked
// once for all keys instead of once per key (a language's locale values
// are read this way on every change of language). Answers holds one entry
// per key; a key answered already (Found) is passed over, so further texts
// can be asked for what earlier ones lacked.
void TixFindManyInIni(const std::string& Section, const std::vector<const std::string*>& Keys,
                      std::vector<TKeyAnswer>& Answers, const TLangCache& Lines);

// A number as the language files write them: decimal, or hexadecimal with
// "0x" or "$", optionally quoted. def when the text is no number or does
// not fit into 32 bits (0xFFFFFFFF reads as -1).
int ParseLangNumber(const std::string& text, int def);

}  // namespace Tixlanguage
