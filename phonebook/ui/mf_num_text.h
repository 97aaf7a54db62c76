#pragma once
#include <optional>
#include <string>

// Number texts of the number edit, in the class library's float formats.
namespace MFNumText {

// The value rounded to 15 significant digits and Decimals places (halves
// away from zero), with Decimals digits after DecimalSep; ThousandSep,
// when not empty, groups the whole part by three. Values of 16 or more
// whole digits fall back to the general format.
std::string FormatFixed(double Value, int Decimals, char DecimalSep, const std::string& ThousandSep = {});

// The shortest text of Value with at most Digits significant digits: fixed
// notation while the whole part has at most Digits digits and the value is
// at least 0.00001, else "1.235E4" / "1E-20" (no plus sign, no padding).
std::string FormatGeneral(double Value, int Digits, char DecimalSep);

// A decimal number: an optional "-", digits and at most one DecimalSep
// with digits, blanks around; nothing when it is no such number.
std::optional<double> ParseDecimal(const std::string& Text, char DecimalSep);

}  // namespace MFNumText
