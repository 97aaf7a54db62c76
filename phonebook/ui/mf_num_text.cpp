#include "phonebook/ui/mf_num_text.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>

#include "foundation/tixutils_format.h"

namespace MFNumText {

namespace {

// The decimal digits of |Value| (exact to 40 significant digits, enough
// to tell a true half from a value just below it) and the power of ten of
// the first digit: Value = d1.d2d3... * 10^Exponent.
struct TDecimalDigits {
    std::string Digits;
    int Exponent = 0;
};

TDecimalDigits DecimalDigits(double Value)
{
    char buf[96];
    std::snprintf(buf, sizeof buf, "%.39e", std::fabs(Value));
    TDecimalDigits d;
    const std::string s = buf;
    const size_t e = s.find('e');
    for (size_t i = 0; i < e; ++i)
        if (s[i] != '.')
            d.Digits += s[i];
    d.Exponent = std::stoi(s.substr(e + 1));
    return d;
}

// Rounds the digit string to Keep digits, halves up; a carry into a new
// leading digit raises the exponent.
void RoundDigits(TDecimalDigits& d, int Keep)
{
    if (Keep >= int(d.Digits.size()))
        return;
    if (Keep < 0) {
        d.Digits = "0";
        return;
    }
    const bool up = d.Digits[size_t(Keep)] >= '5';
    d.Digits.resize(size_t(Keep));
    if (up) {
        int i = Keep - 1;
        while (i >= 0 && d.Digits[size_t(i)] == '9')
            d.Digits[size_t(i--)] = '0';
        if (i >= 0) {
            ++d.Digits[size_t(i)];
        } else {
            d.Digits.insert(d.Digits.begin(), '1');
            ++d.Exponent;
        }
    }
    if (d.Digits.empty())
        d.Digits = "0";
}

bool AllZero(const std::string& Digits)
{
    return Digits.find_first_not_of('0') == std::string::npos;
}

std::string NonFinite(double Value)
{
    if (std::isnan(Value))
        return "NAN";
    return Value < 0 ? "-INF" : "INF";
}

std::string GroupThousands(const std::string& Whole, const std::string& Sep)
{
    if (Sep.empty())
        return Whole;
    std::string out;
    for (size_t i = 0; i < Whole.size(); ++i) {
        if (i > 0 && (Whole.size() - i) % 3 == 0)
            out += Sep;
        out += Whole[i];
    }
    return out;
}

}  // namespace

std::string FormatFixed(double Value, int Decimals, char DecimalSep, const std::string& ThousandSep)
{
    if (!std::isfinite(Value))
        return NonFinite(Value);
    constexpr int Precision = 15;
    TDecimalDigits d = DecimalDigits(Value);
    if (Value == 0)
        d = {"0", 0};
    if (d.Exponent + 1 > Precision)
        return FormatGeneral(Value, Precision, DecimalSep);
    // One rounding: Exponent + 1 digits before the point and Decimals
    // after it, at most Precision digits in all.
    RoundDigits(d, std::min(Precision, d.Exponent + 1 + Decimals));
    std::string whole, fraction;
    for (int pos = std::max(d.Exponent, 0); pos >= -Decimals; --pos) {
        const int index = d.Exponent - pos;
        const char digit = index >= 0 && index < int(d.Digits.size()) ? d.Digits[size_t(index)] : '0';
        (pos >= 0 ? whole : fraction) += digit;
    }
    if (whole.empty())
        whole = "0";
    std::string out;
    if (Value < 0 && !AllZero(whole + fraction))
        out = "-";
    out += GroupThousands(whole, ThousandSep);
    if (Decimals > 0)
        out += DecimalSep + fraction;
    return out;
}

std::string FormatGeneral(double Value, int Digits, char DecimalSep)
{
    if (!std::isfinite(Value))
        return NonFinite(Value);
    if (Value == 0)
        return "0";
    TDecimalDigits d = DecimalDigits(Value);
    RoundDigits(d, Digits);
    while (d.Digits.size() > 1 && d.Digits.back() == '0')
        d.Digits.pop_back();
    std::string out = Value < 0 ? "-" : "";
    const int n = int(d.Digits.size());
    if (d.Exponent + 1 <= Digits && d.Exponent >= -5) {
        if (d.Exponent < 0) {
            out += '0';
            out += DecimalSep;
            out.append(size_t(-d.Exponent - 1), '0');
            out += d.Digits;
        } else {
            for (int i = 0; i <= d.Exponent; ++i)
                out += i < n ? d.Digits[size_t(i)] : '0';
            if (n > d.Exponent + 1)
                out += DecimalSep + d.Digits.substr(size_t(d.Exponent + 1));
        }
        return out;
    }
    out += d.Digits[0];
    if (n > 1)
        out += DecimalSep + d.Digits.substr(1);
    return out + "E" + std::to_string(d.Exponent);
}

std::optional<double> ParseDecimal(const std::string& Text, char DecimalSep)
{
    // Only the separator, digits and a leading minus may stand here; the
    // foundation's reader takes "." as the point.
    std::string s;
    for (char c : Text) {
        if (c == DecimalSep)
            s += '.';
        else if (c == '.' || c == ',' || c == '+' || c == 'e' || c == 'E')
            return std::nullopt;
        else
            s += c;
    }
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double v = Tixutils::StrToFloatDef(s, nan);
    if (std::isnan(v))
        return std::nullopt;
    return v;
}

}  // namespace MFNumText
