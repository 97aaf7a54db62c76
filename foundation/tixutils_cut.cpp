// Token cutting: plain, parenthesised and quoted tokens, NUL-ended
// strings, words and name=value items.
#include "foundation/tixutils_text.h"
#include "foundation/tixutils_text_internal.h"

namespace Tixutils {

using namespace TextInternal;

namespace {

// A quoted token: quoted runs ("" inside stands for one quote) and #NN
// character codes, read from S[first] (a quote or "#").
std::string cutQuoted(int& Pos, const std::string& S, size_t first, const char* Delims,
                      bool& Skip)
{
    enum { InQuotes, AfterQuote, AfterHash, InCode } state = S[first] == '"' ? InQuotes : AfterHash;
    const size_t n = S.size();
    std::string token;
    unsigned code = 0;
    // Ends the token on the separator at i; Skip decides whether it is consumed.
    auto endOnSeparator = [&](size_t i) {
        Pos = int(Skip ? i + 1 : i);
        return token;
    };
    // Ends the token before the character at i.
    auto endBefore = [&](size_t i) {
        Pos = int(i);
        Skip = false;
        return token;
    };
    for (size_t i = first + 1; i < n; ++i) {
        const char c = S[i];
        switch (state) {
        case InQuotes:
            if (c == '"')
                state = AfterQuote;
            else
                token += c;
            break;
        case AfterQuote:
            if (c == '"') {
                token += '"';
                state = InQuotes;
            } else if (c == '#') {
                state = AfterHash;
            } else if (CharInString(c, Delims)) {
                return endOnSeparator(i);
            } else {
                return endBefore(i);
            }
            break;
        case AfterHash:
            if (!isDigit(c))
                return endBefore(i);
            code = unsigned(c - '0');
            state = InCode;
            break;
        case InCode:
            if (isDigit(c)) {
                code = (code * 10 + unsigned(c - '0')) % 256;
                break;
            }
            token += char(code);
            if (c == '"')
                state = InQuotes;
            else if (c == '#')
                state = AfterHash;
            else if (CharInString(c, Delims))
                return endOnSeparator(i);
            else
                return endBefore(i);
            break;
        }
    }
    Pos = int(n);
    Skip = false;
    if (state == InQuotes || state == AfterHash)
        return {};  // unterminated: nothing trustworthy was read
    if (state == InCode)
        token += char(code);
    return token;
}

}  // namespace

std::string CutString(int& Pos, const std::string& S, const char* Delims, bool& Skip)
{
    const size_t p = cursor(Pos);
    const size_t n = S.size();
    if (p >= n)
        return {};
    const char first = S[p];
    if (first == '"' || first == '#')
        return cutQuoted(Pos, S, p, Delims, Skip);
    if (first == '(') {
        const size_t close = S.find(')', p + 1);
        if (close == std::string::npos) {
            Pos = int(n);
            Skip = false;
            return S.substr(p + 1);
        }
        if (Skip && close + 1 < n && CharInString(S[close + 1], Delims)) {
            Pos = int(close + 2);
        } else {
            Pos = int(close + 1);
            Skip = false;
        }
        return S.substr(p + 1, close - p - 1);
    }
    size_t sep = p;
    while (sep < n && !CharInString(S[sep], Delims))
        ++sep;
    if (sep == n) {
        Pos = int(n);
        Skip = false;
        return S.substr(p);
    }
    Pos = int(Skip ? sep + 1 : sep);
    return S.substr(p, sep - p);
}

std::string CutString(int& Pos, const std::string& S)
{
    bool skip = true;
    return CutString(Pos, S, TokenDelims, skip);
}

std::string CutString(int& Pos, const std::string& S, const char* Delims)
{
    bool skip = true;
    return CutString(Pos, S, Delims, skip);
}

std::string CutString(std::string& S)
{
    bool skip = true;
    return CutString(S, skip, TokenDelims);
}

std::string CutString(std::string& S, bool& Skip) { return CutString(S, Skip, TokenDelims); }

std::string CutString(std::string& S, bool& Skip, const std::string& Delims)
{
    return CutString(S, Skip, Delims.c_str());
}

std::string CutString(std::string& S, bool& Skip, const char* Delims)
{
    int pos = 0;
    std::string token = CutString(pos, S, Delims, Skip);
    S.erase(0, size_t(pos));
    return token;
}

std::string CutString_(std::string& S, bool Skip, const std::string& Delims)
{
    return CutString(S, Skip, Delims.c_str());
}

std::string CutString_(std::string& S, bool Skip, const char* Delims)
{
    return CutString(S, Skip, Delims);
}

std::u16string CutString(std::u16string& S, bool& Skip, const std::u16string& Delims)
{
    const size_t n = S.size();
    if (n == 0) {
        Skip = false;
        return {};
    }
    std::u16string token;
    size_t next;  // index behind the token and its closing character
    const char16_t first = S[0];
    if (first == u'"' || first == u'(') {
        const size_t close = S.find(first == u'"' ? u'"' : u')', 1);
        if (close == std::u16string::npos) {
            token = S.substr(1);
            next = n;
        } else {
            token = S.substr(1, close - 1);
            next = close + 1;
        }
    } else {
        size_t sep = 0;
        while (sep < n && !CharInString(S[sep], Delims))
            ++sep;
        token = S.substr(0, sep);
        next = sep;
    }
    if (Skip && next < n && CharInString(S[next], Delims))
        ++next;
    else
        Skip = false;
    S.erase(0, next);
    return token;
}

std::string CutStringZ(int& Pos, const std::string& S)
{
    const size_t p = cursor(Pos);
    if (p >= S.size())
        return {};
    const size_t zero = S.find('\0', p);
    if (zero == std::string::npos)
        return {};
    Pos = int(zero + 1);
    return S.substr(p, zero - p);
}

std::string CutWord(std::string& S, const char* Delims, bool Cut)
{
    const size_t n = S.size();
    size_t from = 0;
    while (from < n && CharInString(S[from], Delims))
        ++from;
    size_t to = from;
    while (to < n && !CharInString(S[to], Delims))
        ++to;
    std::string word = S.substr(from, to - from);
    if (Cut)
        S.erase(0, to < n ? to + 1 : n);
    return word;
}

std::string CutNameValue(std::string& S, int& ValuePos)
{
    return CutNameValue(S, ValuePos, NameValueDelims);
}

namespace {

bool isNameChar(unsigned char c)
{
    return c == '(' || c == ')' || c == '*' || (c >= '0' && c <= '9') || c == ':' || c == ';' ||
           c == '<' || c >= 0x3E;
}

}  // namespace

std::string CutNameValue(std::string& S, int& ValuePos, const char* Delims)
{
    enum {
        BeforeName, InName, AfterEquals, InPlain, InQuoted, AfterQuote, InParens, AfterParen,
        AfterHash, InCode
    } state = BeforeName;
    ValuePos = 0;
    const size_t n = S.size();
    size_t start = 0;
    size_t valueStart = 0;
    bool hasValue = false;
    size_t end = n;  // where the item ends (that character is consumed too)
    for (size_t i = 0; i < n && end == n; ++i) {
        const char c = S[i];
        const bool sep = CharInString(c, Delims);
        switch (state) {
        case BeforeName:
            if (c == ' ')
                break;
            if (!isNameChar(uint8_t(c)))
                return {};
            start = i;
            state = InName;
            break;
        case InName:
            if (sep) {
                end = i;
            } else if (c == '=') {
                state = AfterEquals;
                hasValue = true;
                valueStart = i + 1;
            } else if (!isNameChar(uint8_t(c))) {
                return {};
            }
            break;
        case AfterEquals:
            if (c == '"')
                state = InQuoted;
            else if (c == '(')
                state = InParens;
            else if (c == '#')
                state = AfterHash;
            else if (sep)
                end = i;
            else
                state = InPlain;
            break;
        case InPlain:
            if (sep)
                end = i;
            break;
        case InQuoted:
            if (c == '"')
                state = AfterQuote;
            break;
        case AfterQuote:
            if (sep)
                end = i;
            else if (c == '"')
                state = InQuoted;
            else if (c == '#')
                state = AfterHash;
            else
                return {};
            break;
        case InParens:
            if (c == ')')
                state = AfterParen;
            break;
        case AfterParen:
            if (!sep)
                return {};
            end = i;
            break;
        case AfterHash:
            if (isDigit(c))
                state = InCode;
            else
                end = i;
            break;
        case InCode:
            if (isDigit(c))
                break;
            if (sep)
                end = i;
            else if (c == '"')
                state = InQuoted;
            else if (c == '#')
                state = AfterHash;
            else
                return {};
            break;
        }
    }
    if (end == n && (state == BeforeName || state == InQuoted || state == InParens))
        return {};
    std::string item = S.substr(start, end - start);
    ValuePos = hasValue ? int(valueStart - start + 1) : int(item.size() + 1);
    S.erase(0, end < n ? end + 1 : n);
    return item;
}

}  // namespace Tixutils
