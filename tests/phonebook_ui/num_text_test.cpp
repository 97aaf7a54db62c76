#include <gtest/gtest.h>

#include "phonebook/ui/mf_num_text.h"

using MFNumText::FormatFixed;
using MFNumText::FormatGeneral;
using MFNumText::ParseDecimal;

TEST(NumText, FixedRoundsOnceHalvesAwayFromZero)
{
    struct Case {
        double value;
        int decimals;
        const char* thousands;
        const char* text;
    } cases[] = {
        {12.7, 0, "", "13"},
        {999.5, 0, "", "1000"},
        {2.5, 0, "", "3"},
        {-2.5, 0, "", "-3"},
        {0.125, 2, "", "0.13"},
        {1.005, 2, "", "1.00"},  // the double lies just below the half
        {0.005, 2, "", "0.01"},
        {0.004, 2, "", "0.00"},
        {-0.4, 0, "", "0"},      // no minus before a zero
        {0, 2, "", "0.00"},
        {0.1 + 0.2, 6, "", "0.300000"},
        {9.9999, 2, "", "10.00"},
        {1234567.891, 2, ",", "1,234,567.89"},
        {-1234.5, 1, " ", "-1 234.5"},
        {123.0, 0, ",", "123"},
        {123456789012.345678, 6, "", "123456789012.346000"},  // 15 significant digits
        {1e20, 2, "", "1E20"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FormatFixed(c.value, c.decimals, '.', c.thousands), c.text) << c.value << " @" << c.decimals;
    EXPECT_EQ(FormatFixed(1.5, 2, ','), "1,50");
}

TEST(NumText, GeneralKeepsFourSignificantDigits)
{
    struct Case {
        double value;
        const char* text;
    } cases[] = {
        {3.14159, "3.142"}, {1000, "1000"},   {100, "100"},      {12345, "1.235E4"}, {9999.6, "1E4"},
        {0.0001, "0.0001"}, {0.00001, "0.00001"}, {0.000001, "1E-6"}, {-2.5, "-2.5"}, {0, "0"},
        {2.0 / 3, "0.6667"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FormatGeneral(c.value, 4, '.'), c.text) << c.value;
    EXPECT_EQ(FormatGeneral(1e20, 15, '.'), "1E20");
    EXPECT_EQ(FormatGeneral(3.14159, 4, ','), "3,142");
}

TEST(NumText, ParseTakesOnlyPlainDecimals)
{
    EXPECT_EQ(ParseDecimal("1.5", '.'), 1.5);
    EXPECT_EQ(ParseDecimal("1,5", ','), 1.5);
    EXPECT_EQ(ParseDecimal(" -12 ", '.'), -12.0);
    EXPECT_EQ(ParseDecimal("-0.5", '.'), -0.5);
    for (const char* bad : {"", "-", "1-5", "--5", "1.2.3", "1e5", "+5", "abc", "1,5"})
        EXPECT_FALSE(ParseDecimal(bad, '.').has_value()) << bad;
    EXPECT_FALSE(ParseDecimal("1.5", ',').has_value());
}
