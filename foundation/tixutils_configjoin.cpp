// The line-list merge and the most-recently-used list of tixutils_quote.h;
// kept apart because they lean on the tokenizer and the wildcard matcher.
#include "foundation/tixutils_quote.h"

#include <algorithm>

#include "foundation/tixutils_text.h"

namespace Tixutils {

namespace {

bool isBlankLine(const std::string& s)
{
    return std::all_of(s.begin(), s.end(), [](char c) { return static_cast<unsigned char>(c) <= ' '; });
}

// The section name of a header line "[name]", or false.
bool sectionName(const std::string& line, std::string& name)
{
    const std::string t = TrimControls(line);
    if (t.size() < 2 || t.front() != '[' || t.back() != ']')
        return false;
    name = t.substr(1, t.size() - 2);
    return true;
}

// Text before the first "=" (leading "=" skipped); empty for a line
// without one, such as a comment.
std::string keyOf(const std::string& line)
{
    size_t b = 0;
    while (b < line.size() && line[b] == '=')
        ++b;
    const size_t eq = line.find('=', b);
    if (eq == std::string::npos)
        return std::string();
    return line.substr(b, eq - b);
}

}  // namespace

bool JoinConfigs(std::vector<std::string>& dest, const std::vector<std::string>& source,
                 bool overwrite, const std::vector<std::string>* skipSections)
{
    bool changed = false;
    bool inSection = false;  // a current section of dest exists
    size_t bodyStart = 0;    // first body line of the current section
    size_t bodyEnd = 0;      // one past its last non-blank line

    for (const std::string& line : source) {
        std::string name;
        if (sectionName(line, name)) {
            inSection = false;
            if (skipSections) {
                const bool skip = std::any_of(skipSections->begin(), skipSections->end(),
                                              [&](const std::string& p) { return CompareWildcard(p, name); });
                if (skip)
                    continue;
            }
            size_t header = dest.size();
            for (size_t i = 0; i < dest.size(); ++i) {
                std::string n;
                if (sectionName(dest[i], n) && n == name) {
                    header = i;
                    break;
                }
            }
            if (header == dest.size()) {
                if (!dest.empty() && !isBlankLine(dest.back()))
                    dest.emplace_back();
                dest.push_back(line);
                bodyStart = bodyEnd = dest.size();
                changed = true;
            } else {
                bodyStart = header + 1;
                size_t next = bodyStart;
                std::string n;
                while (next < dest.size() && !sectionName(dest[next], n))
                    ++next;
                bodyEnd = next;
                while (bodyEnd > bodyStart && isBlankLine(dest[bodyEnd - 1]))
                    --bodyEnd;
            }
            inSection = true;
            continue;
        }
        if (!inSection || isBlankLine(line))
            continue;

        const std::string key = keyOf(line);
        size_t found = bodyEnd;
        for (size_t i = bodyStart; i < bodyEnd; ++i) {
            // Comment lines have no key: they are the same line or none, so
            // merging twice never doubles them.
            if (key.empty() ? dest[i] == line : keyOf(dest[i]) == key) {
                found = i;
                break;
            }
        }
        if (found == bodyEnd) {
            const size_t at = overwrite ? bodyStart : bodyEnd;
            dest.insert(dest.begin() + std::ptrdiff_t(at), line);
            ++bodyEnd;
            changed = true;
        } else if (overwrite && dest[found] != line) {
            dest[found] = line;
            changed = true;
        }
    }
    return changed;
}

bool AddToCommaList(std::string& list, const std::string& item, int maxCount, char sep)
{
    const char delims[2] = {sep, '\0'};
    if (maxCount < 1)
        maxCount = 1;

    // The items as written (quotes kept) and as read.
    std::vector<std::string> raw;
    std::vector<std::string> values;
    int pos = 0;
    const int len = int(list.size());
    while (pos < len) {
        const int start = pos;
        bool skip = true;
        std::string value = CutString(pos, list, delims, skip);
        if (pos <= start)
            break;  // the tokenizer made no progress: stop rather than loop
        int end = pos;
        if (skip && pos > 0 && pos <= len && list[size_t(pos) - 1] == sep)
            end = pos - 1;
        raw.push_back(list.substr(size_t(start), size_t(end - start)));
        values.push_back(std::move(value));
    }

    if (!values.empty() && values.front() == item)
        return false;

    size_t found = values.size();
    for (size_t i = 0; i < values.size() && i < size_t(maxCount); ++i)
        if (values[i] == item) {
            found = i;
            break;
        }

    std::string result = item;
    size_t kept = 1;
    for (size_t i = 0; i < raw.size() && kept < size_t(maxCount); ++i) {
        if (i == found)
            continue;
        result += sep;
        result += raw[i];
        ++kept;
    }
    list = std::move(result);
    return true;
}

}  // namespace Tixutils
