#pragma once
#include <functional>
#include <string>
#include <vector>

// The process-wide date, time, number and currency formats of the active
// language, recomputed by the translation component on every change of
// language. Texts are in the system code page (they make texts of the
// program's data: a letter that page lacks is "?"); date and time
// patterns use the Windows letters (d, M, yyyy, H, h, mm, ss).
struct TLocaleFormats {
    std::string ShortMonthNames[12];
    std::string LongMonthNames[12];
    // Index 0 is Sunday.
    std::string ShortDayNames[7];
    std::string LongDayNames[7];
    std::string CurrencyString;
    int CurrencyFormat = 0;
    int NegCurrFormat = 0;
    int CurrencyDecimals = 0;
    std::string ShortDateFormat = "m/d/yy";
    std::string LongDateFormat = "mmmm d, yyyy";
    std::string TimeAMString = "am";
    std::string TimePMString = "pm";
    std::string ShortTimeFormat = "h:mm AMPM";
    std::string LongTimeFormat = "h:mm:ss AMPM";
    std::string ThousandSeparator = ",";
    std::string DecimalSeparator = ".";
    std::string DateSeparator = "/";
    std::string TimeSeparator = ":";
    std::string ListSeparator = ",";
    int PriLangID = 0;
    int SubLangID = 0;
};

// Locale value of one locale type with a default; see
// VTixLanguage::GetLocaleStr.
using TLocaleLookup = std::function<std::string(int localeType, const std::string& def)>;

// The formats of a language id: names, currency, date and time formats from
// lookup (the language files), separators from what the system table knows
// (with the defaults above). Calendar types 3-5 get era year patterns;
// Japanese, Chinese and Korean lose the "G" letters of their date formats.
TLocaleFormats ComputeLocaleFormats(int langId, const TLocaleLookup& lookup);
// Every locale type ComputeLocaleFormats asks lookup for (in ascending
// order), so that a language's values can be read together beforehand.
const std::vector<int>& LocaleFormatTypes();

// The formats now in force (the defaults until a language was applied).
const TLocaleFormats& LocaleFormats();
// Makes formats the process-wide formats: also the foundation's date
// format (separators and short date) and Qt's default locale for the
// language id (when the locale table knows it).
void ApplyLocaleFormats(const TLocaleFormats& formats, int langId);
