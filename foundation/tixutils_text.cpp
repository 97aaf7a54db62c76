#include "foundation/tixutils_text.h"

#include "foundation/tixutils_text_internal.h"
#include "platform/codepage.h"

namespace Tixutils {

using namespace TextInternal;

// ---- Characters -------------------------------------------------------

bool Choose(bool Cond, bool A, bool B) { return Cond ? A : B; }
char Choose(bool Cond, char A, char B) { return Cond ? A : B; }
int Choose(bool Cond, int A, int B) { return Cond ? A : B; }
std::string Choose(bool Cond, const std::string& A, const std::string& B) { return Cond ? A : B; }
std::string Choose(bool Cond, const char* A, const char* B)
{
    const char* chosen = Cond ? A : B;
    return chosen ? chosen : "";
}

bool CharInString(char C, const char* Set)
{
    if (!Set || C == '\0')
        return false;
    for (; *Set; ++Set) {
        if (*Set == C)
            return true;
    }
    return false;
}

bool CharInString(char C, const std::string& Set) { return Set.find(C) != std::string::npos; }

bool CharInString(char16_t C, const std::u16string& Set)
{
    return Set.find(C) != std::u16string::npos;
}

int CharPosInString(char C, const std::string& S)
{
    const size_t at = S.rfind(C);
    return at == std::string::npos ? 0 : int(at) + 1;
}

char CutChar(std::string& S)
{
    if (S.empty())
        return 0;
    const char c = S[0];
    S.erase(0, 1);
    return c;
}

char CutChar(int& Pos, const std::string& S)
{
    const size_t p = cursor(Pos);
    if (p >= S.size())
        return 0;
    ++Pos;
    return S[p];
}

int CutCharDec(int& Pos, const std::string& S)
{
    const size_t p = cursor(Pos);
    if (p >= S.size())
        return 0;
    ++Pos;
    return isDigit(S[p]) ? S[p] - '0' : 0;
}

void CutSpaces(int& Pos, const std::string& S, const char* Set)
{
    size_t p = cursor(Pos);
    while (p < S.size() && CharInString(S[p], Set))
        ++p;
    Pos = int(p);
}

void CutSpaces(std::string& S) { CutSpaces(S, BlankDelims); }

void CutSpaces(std::string& S, const char* Set)
{
    int pos = 0;
    CutSpaces(pos, S, Set);
    S.erase(0, size_t(pos));
}

void CutSpaces(std::string& S, const std::string& Set)
{
    size_t p = 0;
    while (p < S.size() && CharInString(S[p], Set))
        ++p;
    S.erase(0, p);
}

bool CutSuffix(std::string& S, const std::string& Suffix, bool Cut)
{
    if (Suffix.size() > S.size() || S.compare(S.size() - Suffix.size(), Suffix.size(), Suffix) != 0)
        return false;
    if (Cut)
        S.resize(S.size() - Suffix.size());
    return true;
}

std::string TrimControls(std::string_view S)
{
    size_t b = 0, e = S.size();
    while (b < e && static_cast<unsigned char>(S[b]) <= ' ')
        ++b;
    while (e > b && static_cast<unsigned char>(S[e - 1]) <= ' ')
        --e;
    return std::string(S.substr(b, e - b));
}

// ---- Numbers and prefixes ---------------------------------------------

namespace {

// Value of a digit in Radix (10 or 16), -1 for any other character.
int digitValue(char c, int radix)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (radix == 16) {
        if (c >= 'A' && c <= 'F')
            return c - 'A' + 10;
        if (c >= 'a' && c <= 'f')
            return c - 'a' + 10;
    }
    return -1;
}

// Reads the digit run from p in radix; the whole run is consumed, the value
// saturates just past the 32-bit range.
int64_t readDigits(const std::string& S, size_t& p, int radix, bool& any)
{
    int64_t value = 0;
    for (int d; p < S.size() && (d = digitValue(S[p], radix)) >= 0; ++p) {
        any = true;
        if (value <= kIntLimit)
            value = value * radix + d;
    }
    return value;
}

int signedClamped(int64_t magnitude, bool negative)
{
    if (negative)
        return magnitude > kIntLimit ? INT32_MIN : int(-magnitude);
    return magnitude > INT32_MAX ? INT32_MAX : int(magnitude);
}

}  // namespace

int CutInteger(int& Pos, const std::string& S, int Default, bool Advance)
{
    size_t p = cursor(Pos);
    const bool negative = p < S.size() && S[p] == '-';
    if (negative)
        ++p;
    bool any = false;
    const int64_t magnitude = readDigits(S, p, 10, any);
    if (!any)
        return Default;
    if (Advance)
        Pos = int(p);
    return signedClamped(magnitude, negative);
}

int CutInteger(std::string& S, int Default) { return CutInteger(S, Default, true); }

int CutInteger(std::string& S, int Default, bool Cut)
{
    int pos = 0;
    const int value = CutInteger(pos, S, Default, true);
    if (Cut)
        S.erase(0, size_t(pos));
    return value;
}

int CutRadixInteger(int& Pos, const std::string& S, int Default, int Radix)
{
    size_t p = cursor(Pos);
    const size_t n = S.size();
    const bool negative = p < n && S[p] == '-';
    if (negative)
        ++p;
    bool any = false;
    int radix = Radix;
    if (radix != 10 && radix != 16) {
        radix = 10;
        if (p < n && S[p] == '$') {
            radix = 16;
            ++p;
        } else if (p < n && S[p] == '0') {
            any = true;
            ++p;
            if (p < n && (S[p] == 'x' || S[p] == 'X')) {
                radix = 16;
                ++p;
            }
        }
    }
    const int64_t magnitude = readDigits(S, p, radix, any);
    if (!any)
        return Default;
    Pos = int(p);
    return signedClamped(magnitude, negative);
}

int CutRadixInteger(std::string& S, int Default, int Radix)
{
    int pos = 0;
    const int value = CutRadixInteger(pos, S, Default, Radix);
    S.erase(0, size_t(pos));
    return value;
}

bool CutPrefix(int& Pos, const std::string& S, const std::string& Prefix, bool Advance)
{
    const size_t p = cursor(Pos);
    if (p > S.size() || S.size() - p < Prefix.size() || S.compare(p, Prefix.size(), Prefix) != 0)
        return false;
    if (Advance)
        Pos = int(p + Prefix.size());
    return true;
}

bool CutPrefix(std::string& S, const std::string& Prefix) { return CutPrefix(S, Prefix, true); }

bool CutPrefix(std::string& S, const char* Prefix)
{
    return CutPrefix(S, std::string(Prefix ? Prefix : ""), true);
}

bool CutPrefix(std::string& S, const std::string& Prefix, bool Cut)
{
    int pos = 0;
    if (!CutPrefix(pos, S, Prefix, Cut))
        return false;
    S.erase(0, size_t(pos));
    return true;
}

bool CutPrefix(std::string& S, const char* Prefix, bool Cut)
{
    return CutPrefix(S, std::string(Prefix ? Prefix : ""), Cut);
}

// ---- Matchers ---------------------------------------------------------

bool ComparePrefix(const std::string& S, const std::string& Prefix)
{
    return S.size() >= Prefix.size() && S.compare(0, Prefix.size(), Prefix) == 0;
}

bool ComparePrefixIC(const std::string& S, const std::string& Prefix)
{
    return S.size() >= Prefix.size() && Platform::SameAsciiIC(S.data(), Prefix.data(), Prefix.size());
}

std::string ExtractString(int& Pos, std::string_view S, std::string_view Prefix,
                          std::string_view Suffix, bool& Failed)
{
    Failed = true;
    const size_t p = cursor(Pos);
    const size_t n = S.size();
    if (p > n || n - p < Prefix.size() + Suffix.size())
        return {};
    if (S.compare(p, Prefix.size(), Prefix) != 0)
        return {};
    if (S.compare(n - Suffix.size(), Suffix.size(), Suffix) != 0)
        return {};
    const size_t from = p + Prefix.size();
    Pos = int(from);
    Failed = false;
    return std::string(S.substr(from, n - Suffix.size() - from));
}

std::string ExtractString(std::string_view S, std::string_view Prefix, std::string_view Suffix,
                          bool& Failed)
{
    int pos = 0;
    return ExtractString(pos, S, Prefix, Suffix, Failed);
}

std::string ExtractString(std::string_view S, std::string_view Prefix, std::string_view Suffix)
{
    bool failed = true;
    return ExtractString(S, Prefix, Suffix, failed);
}

namespace {

// `text` upper-cased is `part` as it stands (a lower-case letter in `part`
// never matches).
bool sameAsUpper(std::string_view text, std::string_view part)
{
    for (size_t i = 0; i < part.size(); ++i)
        if (upperAscii(text[i]) != part[i])
            return false;
    return true;
}

// Prefix and suffix compared with S upper-cased, and with themselves
// upper-cased when upperEnds is set.
std::string extractUpper(std::string_view S, std::string_view Prefix, std::string_view Suffix,
                         bool upperEnds, bool& Failed)
{
    Failed = true;
    const size_t n = S.size();
    if (Prefix.size() + Suffix.size() > n)
        return {};
    const size_t suffixAt = n - Suffix.size();
    if (upperEnds) {
        if (!Platform::SameAsciiIC(S.data(), Prefix.data(), Prefix.size()) ||
            !Platform::SameAsciiIC(S.data() + suffixAt, Suffix.data(), Suffix.size()))
            return {};
    } else if (!sameAsUpper(S.substr(0, Prefix.size()), Prefix) || !sameAsUpper(S.substr(suffixAt), Suffix)) {
        return {};
    }
    Failed = false;
    return std::string(S.substr(Prefix.size(), n - Prefix.size() - Suffix.size()));
}

}  // namespace

std::string ExtractStringIC(std::string_view S, std::string_view Prefix,
                            std::string_view Suffix, bool& Failed)
{
    return extractUpper(S, Prefix, Suffix, true, Failed);
}

std::string ExtractStringIC(std::string_view S, std::string_view Prefix,
                            std::string_view Suffix)
{
    bool failed = true;
    return extractUpper(S, Prefix, Suffix, true, failed);
}

std::string ExtractStringICU(const std::string& S, const char* Prefix, const char* Suffix,
                             bool& Failed)
{
    return extractUpper(S, Prefix ? Prefix : "", Suffix ? Suffix : "", false, Failed);
}

std::string ExtractStringICU(const std::string& S, const char* Prefix, const char* Suffix)
{
    bool failed = true;
    return ExtractStringICU(S, Prefix, Suffix, failed);
}

std::string CutCommonPrefix(std::string& A, std::string& B)
{
    size_t k = 0;
    while (k < A.size() && k < B.size() && A[k] == B[k])
        ++k;
    std::string common = A.substr(0, k);
    A.erase(0, k);
    B.erase(0, k);
    return common;
}

void CutCommonPostfix(std::string& A, std::string& B)
{
    size_t k = 0;
    while (k < A.size() && k < B.size() && A[A.size() - 1 - k] == B[B.size() - 1 - k])
        ++k;
    A.resize(A.size() - k);
    B.resize(B.size() - k);
}

}  // namespace Tixutils
