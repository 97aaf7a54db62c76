#include "foundation/tixutils_format.h"

#include <cxxabi.h>

#include <charconv>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <memory>
#include <stdexcept>

#include "foundation/utils.h"
#include "platform/codepage.h"
#include "platform/ini_file.h"

namespace Tixutils {

namespace {

// Messages have no use for wider fields; larger widths are cut to this so
// that a stray number in a translation cannot ask for gigabytes.
constexpr int kMaxWidth = 4096;
// Digits of a placeholder number beyond this value are read but ignored.
constexpr int kMaxNumber = 100000000;

char decimalPoint()
{
    const std::lconv* lc = std::localeconv();
    return (lc && lc->decimal_point && lc->decimal_point[0]) ? lc->decimal_point[0] : '.';
}

std::string hexAddress(const void* p)
{
    char buf[32];
    std::snprintf(buf, sizeof buf, "%08llX", static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(p)));
    return buf;
}

// The general floating-point text: up to 15 significant digits, "E" and no
// "+" or leading zeros in the exponent ("1E20", "1.5E-7").
std::string formatFloat(double v, int width)
{
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.15G", v);
    std::string s = buf;
    const size_t e = s.find('E');
    if (e != std::string::npos) {
        std::string exp = s.substr(e + 1);
        bool neg = false;
        size_t k = 0;
        if (k < exp.size() && (exp[k] == '+' || exp[k] == '-'))
            neg = exp[k++] == '-';
        while (k + 1 < exp.size() && exp[k] == '0')
            ++k;
        s = s.substr(0, e + 1) + (neg ? "-" : "") + exp.substr(k);
    }
    if (width > kMaxWidth)
        width = kMaxWidth;
    if (width > 0 && int(s.size()) < width)
        s.insert(0, size_t(width) - s.size(), ' ');
    return s;
}

std::string currencyText(int64_t v)
{
    const bool neg = v < 0;
    const uint64_t a = neg ? uint64_t(0) - uint64_t(v) : uint64_t(v);
    std::string s = std::to_string(a / 10000);
    uint64_t frac = a % 10000;
    if (frac != 0) {
        std::string f = std::to_string(frac);
        f.insert(0, 4 - f.size(), '0');
        while (!f.empty() && f.back() == '0')
            f.pop_back();
        s += decimalPoint();
        s += f;
    }
    return neg ? "-" + s : s;
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

// Digits from i on, i moved past them; the value stops growing at kMaxNumber.
int readNumber(const std::string& s, size_t& i, int start)
{
    int v = start;
    while (i < s.size() && isDigit(s[i])) {
        if (v < kMaxNumber)
            v = v * 10 + (s[i] - '0');
        ++i;
    }
    return v;
}

}  // namespace

TVarRec TVarRec::ShortString(const std::string& v)
{
    TVarRec r(v);
    r.VType = vtString;
    return r;
}

TVarRec TVarRec::Class(const std::string& className)
{
    TVarRec r;
    r.VType = vtClass;
    r.Text = className;
    return r;
}

TVarRec TVarRec::Currency(int64_t tenThousandths)
{
    TVarRec r;
    r.VType = vtCurrency;
    r.Int = tenThousandths;
    return r;
}

TVarRec TVarRec::Variant(const std::string& text)
{
    TVarRec r;
    r.VType = vtVariant;
    r.Text = text;
    return r;
}

TVarRec TVarRec::Interface(const void* pointer)
{
    TVarRec r;
    r.VType = vtInterface;
    r.Ptr = pointer;
    return r;
}

TVarRec TVarRec::Tagged(int tag)
{
    TVarRec r;
    r.VType = tag;
    return r;
}

std::string TVarRec::ClassNameOf(const std::type_info& type)
{
    int status = 0;
    std::unique_ptr<char, void (*)(void*)> demangled(
        abi::__cxa_demangle(type.name(), nullptr, nullptr, &status), std::free);
    std::string name = (status == 0 && demangled) ? demangled.get() : type.name();
    // The class's own name, without namespaces or enclosing classes.
    int depth = 0;
    size_t cut = 0;
    for (size_t i = 0; i < name.size(); ++i) {
        const char c = name[i];
        if (c == '<')
            ++depth;
        else if (c == '>')
            --depth;
        else if (c == ':' && depth == 0 && i + 1 < name.size() && name[i + 1] == ':')
            cut = i + 2;
    }
    return name.substr(cut);
}

std::string TVarRecAsString(const TVarRec& value, int width)
{
    switch (value.VType) {
    case vtInteger:
    case vtInt64:
        return std::to_string(value.Int);
    case vtBoolean:
        return value.Int ? "True" : "False";
    case vtChar:
        return std::string(1, char(value.Int));
    case vtWideChar:
        return Platform::Utf16ToAnsi(std::u16string(1, char16_t(value.Int)), Platform::SystemCodePage());
    case vtExtended:
        return formatFloat(value.Float, width);
    case vtString:
    case vtPChar:
    case vtAnsiString:
    case vtVariant:
        return value.Text;
    case vtPWideChar:
    case vtWideString:
        return Platform::Utf16ToAnsi(value.Wide, Platform::SystemCodePage());
    case vtPointer:
        return ":" + hexAddress(value.Ptr);
    case vtObject:
        return value.Ptr ? "(" + value.Text + ")" : "(nil)";
    case vtClass:
        return value.Text;
    case vtCurrency:
        return currencyText(value.Int);
    case vtInterface:
        return "I" + hexAddress(value.Ptr);
    default:
        return std::string();
    }
}

std::string SafePrintf(const std::string& format, const TVarRec* values, int lastIndex)
{
    if (values == nullptr)
        lastIndex = -1;
    std::string out;
    const size_t n = format.size();
    size_t run = 0;  // start of the pending literal run
    size_t i = 0;
    while (i < n) {
        if (format[i] != '%') {
            ++i;
            continue;
        }
        out.append(format, run, i - run);
        if (i + 1 >= n) {  // a final "%" stays
            run = i;
            break;
        }
        if (format[i + 1] == '%') {
            run = i + 1;
            i += 2;
            continue;
        }
        size_t j = i + 1;
        bool open = false;
        if (format[j] == '(') {
            open = true;
            ++j;
        }
        char pad = ' ';
        int padCount = 0;
        int index = 0;
        int width = 0;
        if (j < n && (format[j] == ' ' || format[j] == '-' || isDigit(format[j]))) {
            pad = format[j] == '-' ? '-' : format[j] == '0' ? '0' : ' ';
            while (j < n && format[j] == pad) {
                ++padCount;
                ++j;
            }
            // Pad characters not followed by a digit name no value; the
            // text behind them stays.
            index = readNumber(format, j, 0);
            if (j + 1 < n && format[j] == ':' && isDigit(format[j + 1])) {
                width = index;
                ++j;
                index = readNumber(format, j, 0);
            }
        }
        if (open && j < n && format[j] == ')') {
            open = false;
            ++j;
        }
        if (!open && index >= 1 && index <= lastIndex + 1) {
            const std::string text = TVarRecAsString(values[index - 1], width);
            if (width == 0) {
                out += text;
            } else {
                const int w = width > kMaxWidth ? kMaxWidth : width;
                const size_t fill = int(text.size()) < w ? size_t(w) - text.size() : 0;
                switch (padCount) {
                case 0:
                case 1:
                    out.append(fill, pad);
                    out += text;
                    break;
                case 2:
                    out += text;
                    out.append(fill, pad);
                    break;
                case 3:
                    out.append(fill / 2, pad);
                    out += text;
                    out.append(fill - fill / 2, ' ');
                    break;
                default:
                    break;
                }
            }
        }
        run = j;
        i = j;
    }
    if (run < n)
        out.append(format, run, n - run);
    return out;
}

std::string SafePrintf(const std::string& format, const std::vector<TVarRec>& values)
{
    return SafePrintf(format, values.data(), int(values.size()) - 1);
}

std::string SafePrintf(const std::string& format, std::initializer_list<TVarRec> values)
{
    return SafePrintf(format, values.begin(), int(values.size()) - 1);
}

std::string BoolToChar(bool value)
{
    return value ? "1" : "0";
}

bool CharToBoolDef(const std::string& text, bool def)
{
    if (text == "0")
        return false;
    if (text == "1")
        return true;
    if (Platform::SameTextIC(text, "false"))
        return false;
    if (Platform::SameTextIC(text, "true"))
        return true;
    return def;
}

std::string ObjToStr(const void* object)
{
    return ":" + hexAddress(object);
}

namespace {

// The format with every "%" followed by `mark` replaced by `value`.
std::string replaceMark(const std::string& format, char mark, const std::string& value)
{
    std::string out;
    size_t i = 0;
    while (i < format.size()) {
        if (format[i] == '%' && i + 1 < format.size() && format[i + 1] == mark) {
            out += value;
            i += 2;
        } else {
            out += format[i++];
        }
    }
    return out;
}

}  // namespace

std::string SafePrintf_d(const std::string& format, int value)
{
    return replaceMark(format, 'd', std::to_string(value));
}

std::string SafePrintf_s(const std::string& format, const std::string& text)
{
    return replaceMark(format, 's', text);
}

std::string IntToBin(uint32_t value, int digits)
{
    if (digits <= 0)
        return std::string();
    if (digits > 64)
        digits = 64;
    std::string out(size_t(digits), '0');
    for (int k = 0; k < digits && k < 32; ++k)
        if (value & (1u << k))
            out[size_t(digits - 1 - k)] = '1';
    return out;
}

int BinToIntDef(const std::string& text, int def)
{
    uint64_t v = 0;
    for (char c : text) {
        if (v >= 0x80000000u)
            break;
        if (c != '0' && c != '1')
            return def;
        v = v * 2 + uint64_t(c - '0');
    }
    return static_cast<int>(static_cast<uint32_t>(v));
}

double StrToFloatDef(const std::string& text, double def)
{
    std::string s = Platform::TrimBlanks(text);
    const bool comma = s.find(',') != std::string::npos;
    const bool dot = s.find('.') != std::string::npos;
    if (comma && dot)
        return def;
    if (comma)
        for (char& c : s)
            if (c == ',')
                c = '.';
    // Only plain decimal numbers: sign, digits, one point, exponent.
    size_t k = 0;
    if (k < s.size() && (s[k] == '+' || s[k] == '-'))
        ++k;
    const size_t numberStart = (k > 0 && s[0] == '+') ? 1 : 0;
    size_t digits = 0;
    while (k < s.size() && isDigit(s[k]))
        ++k, ++digits;
    if (k < s.size() && s[k] == '.') {
        ++k;
        while (k < s.size() && isDigit(s[k]))
            ++k, ++digits;
    }
    if (digits == 0)
        return def;
    if (k < s.size() && (s[k] == 'e' || s[k] == 'E')) {
        ++k;
        if (k < s.size() && (s[k] == '+' || s[k] == '-'))
            ++k;
        size_t expDigits = 0;
        while (k < s.size() && isDigit(s[k]))
            ++k, ++expDigits;
        if (expDigits == 0)
            return def;
    }
    if (k != s.size())
        return def;
    double v = 0;
    const char* first = s.data() + numberStart;
    const auto r = std::from_chars(first, s.data() + s.size(), v);
    if (r.ec != std::errc() || r.ptr != s.data() + s.size())
        return def;
    return v;
}

int Text001ToInt(const std::string& text, int decimals, bool& error, bool decimalOnly, int def)
{
    error = false;
    if (decimals < 0)
        decimals = 0;
    const size_t n = text.size();
    size_t p = 0;
    bool negative = false;
    while (p < n && (text[p] == ' ' || text[p] == '\t' || text[p] == '-')) {
        if (text[p] == '-')
            negative = !negative;
        ++p;
    }
    bool hex = false;
    if (!decimalOnly && p < n) {
        if (text[p] == '$') {
            hex = true;
            ++p;
        } else if (text[p] == '0' && p + 1 < n && (text[p + 1] == 'x' || text[p + 1] == 'X')) {
            hex = true;
            p += 2;
        }
    }
    constexpr int64_t kLimit = std::numeric_limits<int32_t>::max();
    int64_t v = 0;
    int digits = 0;
    int fraction = 0;
    int roundDigit = -1;
    bool point = false;
    bool overflow = false;
    for (; p < n; ++p) {
        const char c = text[p];
        int d = -1;
        if (isDigit(c))
            d = c - '0';
        else if (hex && c >= 'a' && c <= 'f')
            d = c - 'a' + 10;
        else if (hex && c >= 'A' && c <= 'F')
            d = c - 'A' + 10;
        if (d >= 0) {
            ++digits;
            if (!point) {
                v = v * (hex ? 16 : 10) + d;
            } else if (fraction < decimals) {
                v = v * 10 + d;
                ++fraction;
            } else if (roundDigit < 0) {
                roundDigit = d;
            }
            if (v > kLimit) {
                overflow = true;
                break;
            }
            continue;
        }
        if (!hex && !point && (c == '.' || c == ',')) {
            point = true;
            continue;
        }
        error = true;
        break;
    }
    if (digits == 0) {
        error = true;
        return def;
    }
    while (!overflow && fraction < decimals) {
        v *= 10;
        ++fraction;
        if (v > kLimit)
            overflow = true;
    }
    if (!overflow) {
        if (roundDigit >= 6 || (roundDigit == 5 && (v & 1)))
            ++v;
        if (v > kLimit)
            overflow = true;
    }
    if (overflow) {
        error = true;
        return 2147483647;
    }
    return int(negative ? -v : v);
}

std::string IntToText001(int value, int decimals)
{
    if (decimals < 0)
        decimals = 0;
    if (decimals > 64)
        decimals = 64;
    const bool negative = value < 0;
    const uint64_t a = negative ? uint64_t(0) - uint64_t(int64_t(value)) : uint64_t(value);
    std::string s = std::to_string(a);
    if (decimals > 0) {
        if (s.size() < size_t(decimals) + 1)
            s.insert(0, size_t(decimals) + 1 - s.size(), '0');
        s.insert(s.size() - size_t(decimals), 1, decimalPoint());
    }
    return negative ? "-" + s : s;
}

int TextHMStoInt(const std::string& text, bool& error, const std::string& letters, int defaultUnits)
{
    if (defaultUnits != 1 && (defaultUnits < 4 || defaultUnits > 7))
        throw std::invalid_argument("TextHMStoInt(): unsupported defaultUnits");
    if (defaultUnits == 7 || letters.size() < size_t(defaultUnits))
        return Utils::ParseDuration(text, &error, letters);
    // A trailing number without a letter takes the default unit's letter.
    std::string t = text;
    size_t e = t.size();
    while (e > 0 && t[e - 1] == ' ')
        --e;
    if (e > 0 && isDigit(t[e - 1]))
        t.insert(e, 1, letters[size_t(defaultUnits) - 1]);
    return Utils::ParseDuration(t, &error, letters);
}

int TextHMStoInt(const std::string& text, bool& error, const std::string& letters)
{
    return TextHMStoInt(text, error, letters, 7);
}

std::string IntToTextHMS(int seconds, const std::string& letters)
{
    return Utils::FormatDuration(seconds, letters);
}

}  // namespace Tixutils
