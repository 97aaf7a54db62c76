#include "tests/modemsim/at_command.h"

#include <cctype>
#include <climits>

namespace ModemSim {

namespace {

bool IsNameChar(char c)
{
    return std::isalnum(static_cast<unsigned char>(c)) || c == '!' || c == '%' || c == '-' || c == '.' ||
           c == '/' || c == ':' || c == '_';
}

char Up(char c)
{
    return static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
}

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

}  // namespace

std::string UpperAscii(std::string s)
{
    for (char& c : s)
        c = Up(c);
    return s;
}

std::string CommandKey(const std::string& line)
{
    std::string key = UpperAscii(line);
    if (key.compare(0, 2, "AT") == 0)
        key.erase(0, 2);
    return key;
}

std::string TAtCommand::FormKey() const
{
    switch (kind) {
    case TCmdKind::Test: return name + "=?";
    case TCmdKind::Read: return name + "?";
    case TCmdKind::Set: return name + "=";
    case TCmdKind::Exec: return name;
    }
    return name;
}

bool ParseInt(const std::string& text, int& value)
{
    size_t i = 0, n = text.size();
    while (i < n && text[i] == ' ')
        ++i;
    while (n > i && text[n - 1] == ' ')
        --n;
    bool neg = false;
    if (i < n && (text[i] == '-' || text[i] == '+')) {
        neg = text[i] == '-';
        ++i;
    }
    if (i >= n)
        return false;
    long long v = 0;
    for (; i < n; ++i) {
        if (!IsDigit(text[i]))
            return false;
        v = v * 10 + (text[i] - '0');
        if (v > INT_MAX)
            return false;
    }
    value = static_cast<int>(neg ? -v : v);
    return true;
}

bool SplitArgs(const std::string& args, std::vector<std::string>& items, std::vector<bool>* quoted)
{
    items.clear();
    if (quoted)
        quoted->clear();
    std::string cur;
    bool inQuote = false, wasQuoted = false;
    for (char c : args) {
        if (c == '"') {
            inQuote = !inQuote;
            wasQuoted = true;
        } else if (c == ',' && !inQuote) {
            items.push_back(wasQuoted ? cur : UpperAscii(cur));
            if (quoted)
                quoted->push_back(wasQuoted);
            cur.clear();
            wasQuoted = false;
        } else if (inQuote || c != ' ')
            cur += c;
    }
    if (inQuote)
        return false;
    items.push_back(wasQuoted ? cur : UpperAscii(cur));
    if (quoted)
        quoted->push_back(wasQuoted);
    return true;
}

bool SplitCommandLine(const std::string& s, std::vector<TAtCommand>& out)
{
    out.clear();
    size_t i = 0;
    const size_t n = s.size();
    while (i < n) {
        const char c = Up(s[i]);
        if (c == ' ' || c == ';') {
            ++i;
            continue;
        }
        TAtCommand cmd;
        const size_t start = i;
        if (c == '+' || c == '^' || c == '*' || c == '$' || c == '%') {
            cmd.name += c;
            ++i;
            while (i < n && IsNameChar(s[i]))
                cmd.name += Up(s[i++]);
            if (cmd.name.size() < 2)
                return false;
            if (i + 1 < n && s[i] == '=' && s[i + 1] == '?') {
                cmd.kind = TCmdKind::Test;
                i += 2;
            } else if (i < n && s[i] == '=') {
                cmd.kind = TCmdKind::Set;
                ++i;
                bool inQuote = false;
                while (i < n && (inQuote || s[i] != ';')) {
                    if (s[i] == '"')
                        inQuote = !inQuote;
                    cmd.args += s[i++];
                }
                if (inQuote)
                    return false;
            } else if (i < n && s[i] == '?') {
                cmd.kind = TCmdKind::Read;
                ++i;
            }
            while (i < n && s[i] == ' ')
                ++i;
            if (i < n && s[i] != ';')
                return false;
        } else if (c == 'D') {
            // Dial: the rest of the line, ";" included (voice call marker).
            cmd.name = "D";
            cmd.args = s.substr(i + 1);
            i = n;
        } else if (c == 'S') {
            cmd.name = "S";
            ++i;
            std::string reg;
            while (i < n && IsDigit(s[i]))
                reg += s[i++];
            if (reg.empty() || !ParseInt(reg, cmd.sreg))
                return false;
            if (i + 1 < n && s[i] == '=' && s[i + 1] == '?') {
                cmd.kind = TCmdKind::Test;
                i += 2;
            } else if (i < n && s[i] == '=') {
                cmd.kind = TCmdKind::Set;
                ++i;
                while (i < n && IsDigit(s[i]))
                    cmd.args += s[i++];
            } else if (i < n && s[i] == '?') {
                cmd.kind = TCmdKind::Read;
                ++i;
            } else
                return false;
        } else if (c == '&' || c == '\\' || std::isalpha(static_cast<unsigned char>(c))) {
            if (c == '&' || c == '\\') {
                ++i;
                if (i >= n || !std::isalpha(static_cast<unsigned char>(s[i])))
                    return false;
                cmd.name = std::string(1, c) + Up(s[i++]);
            } else {
                cmd.name = std::string(1, c);
                ++i;
            }
            while (i < n && IsDigit(s[i]))
                cmd.args += s[i++];
            if (i < n && s[i] == '?') {
                cmd.kind = TCmdKind::Read;
                ++i;
            } else if (i + 1 < n && s[i] == '=' && s[i + 1] == '?') {
                cmd.kind = TCmdKind::Test;
                i += 2;
            } else if (i < n && s[i] == '=') {
                cmd.kind = TCmdKind::Set;
                ++i;
                while (i < n && IsDigit(s[i]))
                    cmd.args += s[i++];
            }
        } else
            return false;
        cmd.text = s.substr(start, i - start);
        out.push_back(std::move(cmd));
    }
    return true;
}

}  // namespace ModemSim
