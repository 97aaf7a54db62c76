#include "translation/locale_table.h"

#include <QLocale>
#include <QString>
#include <cstdio>
#include <unordered_map>

#include "platform/qt/qt_text.h"

namespace Tixlanguage {

namespace {

struct TLocaleRow {
    int langId;
    const char* qtName;
    const char* iso639;
    const char* iso3166;
    const char* englishLanguage;
    const char* decimal;
    const char* thousand;
    const char* dateSeparator;
    const char* timeSeparator;
    const char* listSeparator;
    int ansiCodePage;
};

// "\xC2\xA0" is the no-break space that many locales group digits with.
const TLocaleRow kLocales[] = {
    {0x0405, "cs_CZ", "cs", "CZ", "Czech", ",", "\xC2\xA0", ".", ":", ";", 1250},
    {0x0809, "en_GB", "en", "GB", "English", ".", ",", "/", ":", ",", 1252},
    {0x0409, "en_US", "en", "US", "English", ".", ",", "/", ":", ",", 1252},
    {0x0407, "de_DE", "de", "DE", "German", ",", ".", ".", ":", ";", 1252},
    {0x041B, "sk_SK", "sk", "SK", "Slovak", ",", "\xC2\xA0", ".", ":", ";", 1250},
    {0x0415, "pl_PL", "pl", "PL", "Polish", ",", "\xC2\xA0", ".", ":", ";", 1250},
    {0x040C, "fr_FR", "fr", "FR", "French", ",", "\xC2\xA0", "/", ":", ";", 1252},
    {0x0410, "it_IT", "it", "IT", "Italian", ",", ".", "/", ":", ";", 1252},
    {0x0C0A, "es_ES", "es", "ES", "Spanish", ",", ".", "/", ":", ";", 1252},
    {0x040E, "hu_HU", "hu", "HU", "Hungarian", ",", "\xC2\xA0", ".", ":", ";", 1250},
    {0x0419, "ru_RU", "ru", "RU", "Russian", ",", "\xC2\xA0", ".", ":", ";", 1251},
    {0x0413, "nl_NL", "nl", "NL", "Dutch", ",", ".", "-", ":", ";", 1252},
};

const TLocaleRow* RowOf(int langId)
{
    if (langId <= 0)
        return nullptr;
    for (const TLocaleRow& row : kLocales)
        if (row.langId == langId)
            return &row;
    if (SubLangId(langId) == 0)
        for (const TLocaleRow& row : kLocales)
            if (PrimaryLangId(row.langId) == langId)
                return &row;
    return nullptr;
}

}  // namespace

const std::vector<std::pair<int, const char*>>& LocaleTypeTable()
{
    static const std::vector<std::pair<int, const char*>> table = [] {
        std::vector<std::pair<int, const char*>> t = {
            {0x0001, "LOCALE_ILANGUAGE"},
            {0x0002, "LOCALE_SLANGUAGE"},
            {0x1001, "LOCALE_SENGLANGUAGE"},
            {0x0003, "LOCALE_SABBREVLANGNAME"},
            {0x0004, "LOCALE_SNATIVELANGNAME"},
            {0x0005, "LOCALE_ICOUNTRY"},
            {0x0006, "LOCALE_SCOUNTRY"},
            {0x1002, "LOCALE_SENGCOUNTRY"},
            {0x0007, "LOCALE_SABBREVCTRYNAME"},
            {0x0008, "LOCALE_SNATIVECTRYNAME"},
            {0x0009, "LOCALE_IDEFAULTLANGUAGE"},
            {0x000A, "LOCALE_IDEFAULTCOUNTRY"},
            {0x000B, "LOCALE_IDEFAULTCODEPAGE"},
            {0x1004, "LOCALE_IDEFAULTANSICODEPAGE"},
            {0x1011, "LOCALE_IDEFAULTMACCODEPAGE"},
            {0x1012, "LOCALE_IDEFAULTEBCDICCODEPAGE"},
            {0x000C, "LOCALE_SLIST"},
            {0x000D, "LOCALE_IMEASURE"},
            {0x000E, "LOCALE_SDECIMAL"},
            {0x000F, "LOCALE_STHOUSAND"},
            {0x0010, "LOCALE_SGROUPING"},
            {0x0011, "LOCALE_IDIGITS"},
            {0x0012, "LOCALE_ILZERO"},
            {0x1010, "LOCALE_INEGNUMBER"},
            {0x0013, "LOCALE_SNATIVEDIGITS"},
            {0x1014, "LOCALE_IDIGITSUBSTITUTION"},
            {0x0014, "LOCALE_SCURRENCY"},
            {0x0015, "LOCALE_SINTLSYMBOL"},
            {0x1007, "LOCALE_SENGCURRNAME"},
            {0x1008, "LOCALE_SNATIVECURRNAME"},
            {0x0016, "LOCALE_SMONDECIMALSEP"},
            {0x0017, "LOCALE_SMONTHOUSANDSEP"},
            {0x0018, "LOCALE_SMONGROUPING"},
            {0x0019, "LOCALE_ICURRDIGITS"},
            {0x001A, "LOCALE_IINTLCURRDIGITS"},
            {0x001B, "LOCALE_ICURRENCY"},
            {0x001C, "LOCALE_INEGCURR"},
            {0x0050, "LOCALE_SPOSITIVESIGN"},
            {0x0051, "LOCALE_SNEGATIVESIGN"},
            {0x0052, "LOCALE_IPOSSIGNPOSN"},
            {0x0053, "LOCALE_INEGSIGNPOSN"},
            {0x0054, "LOCALE_IPOSSYMPRECEDES"},
            {0x0055, "LOCALE_IPOSSEPBYSPACE"},
            {0x0056, "LOCALE_INEGSYMPRECEDES"},
            {0x0057, "LOCALE_INEGSEPBYSPACE"},
            {0x001D, "LOCALE_SDATE"},
            {0x001E, "LOCALE_STIME"},
            {0x1003, "LOCALE_STIMEFORMAT"},
            {0x001F, "LOCALE_SSHORTDATE"},
            {0x0020, "LOCALE_SLONGDATE"},
            {0x1006, "LOCALE_SYEARMONTH"},
            {0x0021, "LOCALE_IDATE"},
            {0x0022, "LOCALE_ILDATE"},
            {0x0023, "LOCALE_ITIME"},
            {0x1005, "LOCALE_ITIMEMARKPOSN"},
            {0x0024, "LOCALE_ICENTURY"},
            {0x0025, "LOCALE_ITLZERO"},
            {0x0026, "LOCALE_IDAYLZERO"},
            {0x0027, "LOCALE_IMONLZERO"},
            {0x0028, "LOCALE_S1159"},
            {0x0029, "LOCALE_S2359"},
            {0x1009, "LOCALE_ICALENDARTYPE"},
            {0x100B, "LOCALE_IOPTIONALCALENDAR"},
            {0x100C, "LOCALE_IFIRSTDAYOFWEEK"},
            {0x100D, "LOCALE_IFIRSTWEEKOFYEAR"},
            {0x100A, "LOCALE_IPAPERSIZE"},
            {0x1013, "LOCALE_SSORTNAME"},
            {0x0058, "LOCALE_FONTSIGNATURE"},
            {0x0059, "LOCALE_SISO639LANGNAME"},
            {0x005A, "LOCALE_SISO3166CTRYNAME"},
        };
        static const char* const dayNames[7] = {
            "LOCALE_SDAYNAME1", "LOCALE_SDAYNAME2", "LOCALE_SDAYNAME3", "LOCALE_SDAYNAME4",
            "LOCALE_SDAYNAME5", "LOCALE_SDAYNAME6", "LOCALE_SDAYNAME7"};
        static const char* const abbrevDayNames[7] = {
            "LOCALE_SABBREVDAYNAME1", "LOCALE_SABBREVDAYNAME2", "LOCALE_SABBREVDAYNAME3",
            "LOCALE_SABBREVDAYNAME4", "LOCALE_SABBREVDAYNAME5", "LOCALE_SABBREVDAYNAME6",
            "LOCALE_SABBREVDAYNAME7"};
        static const char* const monthNames[13] = {
            "LOCALE_SMONTHNAME1", "LOCALE_SMONTHNAME2", "LOCALE_SMONTHNAME3",
            "LOCALE_SMONTHNAME4", "LOCALE_SMONTHNAME5", "LOCALE_SMONTHNAME6",
            "LOCALE_SMONTHNAME7", "LOCALE_SMONTHNAME8", "LOCALE_SMONTHNAME9",
            "LOCALE_SMONTHNAME10", "LOCALE_SMONTHNAME11", "LOCALE_SMONTHNAME12",
            "LOCALE_SMONTHNAME13"};
        static const char* const abbrevMonthNames[13] = {
            "LOCALE_SABBREVMONTHNAME1", "LOCALE_SABBREVMONTHNAME2", "LOCALE_SABBREVMONTHNAME3",
            "LOCALE_SABBREVMONTHNAME4", "LOCALE_SABBREVMONTHNAME5", "LOCALE_SABBREVMONTHNAME6",
            "LOCALE_SABBREVMONTHNAME7", "LOCALE_SABBREVMONTHNAME8", "LOCALE_SABBREVMONTHNAME9",
            "LOCALE_SABBREVMONTHNAME10", "LOCALE_SABBREVMONTHNAME11",
            "LOCALE_SABBREVMONTHNAME12", "LOCALE_SABBREVMONTHNAME13"};
        for (int k = 0; k < 7; ++k)
            t.push_back({0x002A + k, dayNames[k]});
        for (int k = 0; k < 7; ++k)
            t.push_back({0x0031 + k, abbrevDayNames[k]});
        for (int k = 0; k < 12; ++k)
            t.push_back({0x0038 + k, monthNames[k]});
        t.push_back({0x100E, monthNames[12]});
        for (int k = 0; k < 12; ++k)
            t.push_back({0x0044 + k, abbrevMonthNames[k]});
        t.push_back({0x100F, abbrevMonthNames[12]});
        return t;
    }();
    return table;
}

const std::string& LocaleTypeToName(int localeType)
{
    // Asked for every locale value of every change of language: found by
    // hashing and handed out without a copy.
    static const std::unordered_map<int, std::string> byType = [] {
        std::unordered_map<int, std::string> m;
        for (const auto& [type, name] : LocaleTypeTable())
            m.emplace(type, name);
        return m;
    }();
    static const std::string none;
    const auto it = byType.find(localeType);
    return it == byType.end() ? none : it->second;
}

std::string SystemLocaleInfo(int langId, int localeType)
{
    const TLocaleRow* row = RowOf(langId);
    if (!row)
        return {};
    switch (localeType) {
    case LOCALE_ILANGUAGE: {
        char buf[16];
        std::snprintf(buf, sizeof(buf), "%04x", unsigned(row->langId) & 0xFFFFu);
        return buf;
    }
    case LOCALE_SISO639LANGNAME:
        return row->iso639;
    case LOCALE_SISO3166CTRYNAME:
        return row->iso3166;
    case LOCALE_SENGLANGUAGE:
        return row->englishLanguage;
    case LOCALE_SDECIMAL:
        return row->decimal;
    case LOCALE_STHOUSAND:
        return row->thousand;
    case LOCALE_SDATE:
        return row->dateSeparator;
    case LOCALE_STIME:
        return row->timeSeparator;
    case LOCALE_SLIST:
        return row->listSeparator;
    case LOCALE_IDEFAULTANSICODEPAGE:
        return std::to_string(row->ansiCodePage);
    default:
        return {};
    }
}

int SystemAnsiCodePage(int langId)
{
    const TLocaleRow* row = RowOf(langId);
    return row ? row->ansiCodePage : 0;
}

std::string QtLocaleNameOf(int langId)
{
    const TLocaleRow* row = RowOf(langId);
    return row ? row->qtName : std::string();
}

int LangIdOfCode(const std::string& code)
{
    const QString wanted = QString::fromLatin1(code.data(), qsizetype(code.size()));
    for (const char* TLocaleRow::*field : {&TLocaleRow::iso639, &TLocaleRow::iso3166})
        for (const TLocaleRow& row : kLocales)
            if (wanted.compare(QLatin1String(row.*field), Qt::CaseInsensitive) == 0)
                return row.langId;
    return 0;
}

int GetUserDefaultLangID()
{
    // The language and territory of each row, parsed once per process (the
    // names are fixed): every language record asks when it gets its id.
    struct TRowPlace {
        QLocale::Language language;
        QLocale::Territory territory;
        int langId;
    };
    static const std::vector<TRowPlace> places = [] {
        std::vector<TRowPlace> p;
        for (const TLocaleRow& row : kLocales) {
            const QLocale l(QString::fromLatin1(row.qtName));
            p.push_back({l.language(), l.territory(), row.langId});
        }
        return p;
    }();
    const QLocale system = QLocale::system();
    const QLocale::Language language = system.language();
    const QLocale::Territory territory = system.territory();
    int sameLanguage = 0;
    for (const TRowPlace& row : places) {
        if (row.language != language)
            continue;
        if (row.territory == territory)
            return row.langId;
        if (sameLanguage == 0)
            sameLanguage = row.langId;
    }
    return sameLanguage != 0 ? sameLanguage : 0x0409;
}

bool SameTextIgnoreCase(const std::string& a, const std::string& b, int codePage)
{
    return Platform::ToQString(a, codePage).compare(Platform::ToQString(b, codePage), Qt::CaseInsensitive)
           == 0;
}

int CharsetOfCodePage(int codePage, int def)
{
    switch (codePage) {
    case 949:
        return HANGEUL_CHARSET;
    case 950:
        return CHINESEBIG5_CHARSET;
    case 1250:
        return EASTEUROPE_CHARSET;
    case 1251:
        return RUSSIAN_CHARSET;
    case 1252:
        return ANSI_CHARSET;
    case 1253:
        return GREEK_CHARSET;
    case 1256:
        return ARABIC_CHARSET;
    default:
        return def;
    }
}

bool CharsetOfName(const std::string& upperName, int& charset)
{
    static const std::pair<const char*, int> names[] = {
        {"ANSI_CHARSET", ANSI_CHARSET},
        {"DEFAULT_CHARSET", DEFAULT_CHARSET},
        {"SYMBOL_CHARSET", SYMBOL_CHARSET},
        {"MAC_CHARSET", MAC_CHARSET},
        {"SHIFTJIS_CHARSET", SHIFTJIS_CHARSET},
        {"HANGEUL_CHARSET", HANGEUL_CHARSET},
        {"JOHAB_CHARSET", JOHAB_CHARSET},
        {"GB2312_CHARSET", GB2312_CHARSET},
        {"CHINESEBIG5_CHARSET", CHINESEBIG5_CHARSET},
        {"GREEK_CHARSET", GREEK_CHARSET},
        {"TURKISH_CHARSET", TURKISH_CHARSET},
        {"HEBREW_CHARSET", HEBREW_CHARSET},
        {"ARABIC_CHARSET", ARABIC_CHARSET},
        {"BALTIC_CHARSET", BALTIC_CHARSET},
        {"RUSSIAN_CHARSET", RUSSIAN_CHARSET},
        {"THAI_CHARSET", THAI_CHARSET},
        {"EASTEUROPE_CHARSET", EASTEUROPE_CHARSET},
        {"OEM_CHARSET", OEM_CHARSET},
    };
    for (const auto& [name, value] : names)
        if (upperName == name) {
            charset = value;
            return true;
        }
    return false;
}

int CharsetGroup(int charset, int userDefaultCharset)
{
    if (charset == userDefaultCharset)
        return 0;
    switch (charset) {
    case ANSI_CHARSET:
    case EASTEUROPE_CHARSET:
        return 2;
    case RUSSIAN_CHARSET:
        return 4;
    case OEM_CHARSET:
    case MAC_CHARSET:
        return 6;
    case TURKISH_CHARSET:
    case BALTIC_CHARSET:
        return 7;
    case GREEK_CHARSET:
    case SHIFTJIS_CHARSET:
    case HANGEUL_CHARSET:
    case JOHAB_CHARSET:
    case GB2312_CHARSET:
    case CHINESEBIG5_CHARSET:
    case VIETNAMESE_CHARSET:
    case HEBREW_CHARSET:
    case ARABIC_CHARSET:
    case THAI_CHARSET:
        return 8;
    case DEFAULT_CHARSET:
        return 11;
    default:
        return 10;
    }
}

}  // namespace Tixlanguage
