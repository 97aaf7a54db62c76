#pragma once
#include <string>
#include <utility>
#include <vector>

// Locale facts the translation component needs, standing in for the
// Windows locale calls: the names of the locale types that language files
// use as "LOCALE_" keys, a small table of language identifiers (LCIDs)
// with what identifies their locale, the user's default language from the
// system locale, font charsets, and a case-insensitive compare.
namespace Tixlanguage {

// Windows locale-type numbers used by the component.
enum TLocaleType : int {
    LOCALE_ILANGUAGE = 0x0001,
    LOCALE_SNATIVELANGNAME = 0x0004,
    LOCALE_SLIST = 0x000C,
    LOCALE_SDECIMAL = 0x000E,
    LOCALE_STHOUSAND = 0x000F,
    LOCALE_SCURRENCY = 0x0014,
    LOCALE_ICURRDIGITS = 0x0019,
    LOCALE_ICURRENCY = 0x001B,
    LOCALE_INEGCURR = 0x001C,
    LOCALE_SDATE = 0x001D,
    LOCALE_STIME = 0x001E,
    LOCALE_SSHORTDATE = 0x001F,
    LOCALE_SLONGDATE = 0x0020,
    LOCALE_ITIME = 0x0023,
    LOCALE_ITLZERO = 0x0025,
    LOCALE_S1159 = 0x0028,
    LOCALE_S2359 = 0x0029,
    LOCALE_SDAYNAME1 = 0x002A,
    LOCALE_SABBREVDAYNAME1 = 0x0031,
    LOCALE_SMONTHNAME1 = 0x0038,
    LOCALE_SABBREVMONTHNAME1 = 0x0044,
    LOCALE_SISO639LANGNAME = 0x0059,
    LOCALE_SISO3166CTRYNAME = 0x005A,
    LOCALE_SENGLANGUAGE = 0x1001,
    LOCALE_IDEFAULTANSICODEPAGE = 0x1004,
    LOCALE_ITIMEMARKPOSN = 0x1005,
    LOCALE_ICALENDARTYPE = 0x1009,
};

// The 110 locale types with their Windows names ("LOCALE_SNATIVELANGNAME").
const std::vector<std::pair<int, const char*>>& LocaleTypeTable();
// The name of a locale type; empty for 0 or a type not in the table.
const std::string& LocaleTypeToName(int localeType);

// Primary language and sublanguage of a language identifier.
inline int PrimaryLangId(int langId) { return langId & 0x3FF; }
inline int SubLangId(int langId) { return (langId & 0xFFFF) >> 10; }

// What the system knows of a locale without the language files (the
// stand-in for GetLocaleInfoA): the identifying values (LOCALE_ILANGUAGE,
// the ISO names, the English language name) and the separators (decimal,
// thousand, date, time, list) of the identifiers in our table, in UTF-8.
// Empty for anything else; neutral identifiers answer for the first
// country of their language.
std::string SystemLocaleInfo(int langId, int localeType);

// The ANSI code page the system uses for a language identifier; 0 when
// the table does not know it (the language files then name it, in
// LOCALE_IDEFAULTANSICODEPAGE of their neutral records).
int SystemAnsiCodePage(int langId);

// The Qt locale name of a language identifier ("cs_CZ" for 0x0405); a
// neutral identifier gives the first country of its language; empty when
// the table does not know the language.
std::string QtLocaleNameOf(int langId);

// The table's language identifier of a two-letter code, compared ignoring
// case: an ISO 639 language name ("cs") first, else an ISO 3166 country
// name ("CZ"); 0 when neither is known.
int LangIdOfCode(const std::string& code);

// The user's default language identifier, from the system locale: the
// table's identifier of the same language and country, else of the same
// language, else 0x0409 (as Windows answers for an unknown setting).
int GetUserDefaultLangID();

// Letters compared ignoring case the way a user reads them (both texts in
// the given ANSI code page).
bool SameTextIgnoreCase(const std::string& a, const std::string& b, int codePage);

// Windows font charsets.
enum TFontCharset : int {
    ANSI_CHARSET = 0,
    DEFAULT_CHARSET = 1,
    SYMBOL_CHARSET = 2,
    MAC_CHARSET = 77,
    SHIFTJIS_CHARSET = 128,
    HANGEUL_CHARSET = 129,
    JOHAB_CHARSET = 130,
    GB2312_CHARSET = 134,
    CHINESEBIG5_CHARSET = 136,
    GREEK_CHARSET = 161,
    TURKISH_CHARSET = 162,
    VIETNAMESE_CHARSET = 163,
    HEBREW_CHARSET = 177,
    ARABIC_CHARSET = 178,
    BALTIC_CHARSET = 186,
    RUSSIAN_CHARSET = 204,
    THAI_CHARSET = 222,
    EASTEUROPE_CHARSET = 238,
    OEM_CHARSET = 255,
};

// The charset of an ANSI code page (949, 950, 1250-1253, 1256); def for others.
int CharsetOfCodePage(int codePage, int def);
// A charset by its Windows name ("EASTEUROPE_CHARSET"); false when unknown.
bool CharsetOfName(const std::string& upperName, int& charset);
// Sort group of a charset; the user's default language's charset is 0.
int CharsetGroup(int charset, int userDefaultCharset);

}  // namespace Tixlanguage
