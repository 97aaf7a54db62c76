#include "translation/locale_formats.h"

#include <QLocale>
#include <QString>
#include <algorithm>

#include "foundation/tixutils_datetime.h"
#include "platform/codepage.h"
#include "translation/language_text.h"
#include "translation/locale_table.h"

namespace {

TLocaleFormats& Current()
{
    static TLocaleFormats formats;
    return formats;
}

const char* const kShortMonths[12] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                      "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
const char* const kLongMonths[12] = {"January", "February", "March",     "April",
                                     "May",     "June",     "July",      "August",
                                     "September", "October", "November", "December"};
const char* const kShortDays[7] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
const char* const kLongDays[7] = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                  "Thursday", "Friday", "Saturday"};

int Number(const std::string& text, int def) { return Tixlanguage::ParseLangNumber(text, def); }

// Era calendars write their years as era years.
std::string EraDateFormat(const std::string& format)
{
    std::string out;
    size_t i = 0;
    while (i < format.size()) {
        const char c = format[i];
        size_t run = 1;
        while (i + run < format.size() && format[i + run] == c)
            ++run;
        if (c == 'g' && run == 2) {
            out += "ggg";
        } else if (c == 'y') {
            size_t left = run;
            while (left > 0) {
                if (left >= 4) {
                    out += "eeee";
                    left -= 4;
                } else if (left >= 2) {
                    out += "ee";
                    left -= 2;
                } else {
                    out += "e";
                    left -= 1;
                }
            }
        } else {
            out.append(run, c);
        }
        i += run;
    }
    return out;
}

std::string WithoutEra(const std::string& format)
{
    std::string out;
    for (char c : format)
        if (c != 'G' && c != 'g')
            out += c;
    return out;
}

std::string Separator(int langId, int localeType, const char* def, int codePage)
{
    const std::string value = Tixlanguage::SystemLocaleInfo(langId, localeType);
    return value.empty() ? std::string(def) : Platform::Utf8ToAnsi(value, codePage);
}

}  // namespace

TLocaleFormats ComputeLocaleFormats(int langId, const TLocaleLookup& lookup)
{
    using namespace Tixlanguage;
    TLocaleFormats f;
    f.PriLangID = langId & 0x3FF;
    f.SubLangID = langId >> 10;
    for (int m = 0; m < 12; ++m) {
        f.ShortMonthNames[m] = lookup(LOCALE_SABBREVMONTHNAME1 + m, kShortMonths[m]);
        f.LongMonthNames[m] = lookup(LOCALE_SMONTHNAME1 + m, kLongMonths[m]);
    }
    // Windows counts the days from Monday (name 1) to Sunday (name 7).
    f.ShortDayNames[0] = lookup(LOCALE_SABBREVDAYNAME1 + 6, kShortDays[0]);
    f.LongDayNames[0] = lookup(LOCALE_SDAYNAME1 + 6, kLongDays[0]);
    for (int d = 1; d < 7; ++d) {
        f.ShortDayNames[d] = lookup(LOCALE_SABBREVDAYNAME1 + d - 1, kShortDays[d]);
        f.LongDayNames[d] = lookup(LOCALE_SDAYNAME1 + d - 1, kLongDays[d]);
    }
    f.CurrencyString = lookup(LOCALE_SCURRENCY, "");
    f.CurrencyFormat = Number(lookup(LOCALE_ICURRENCY, "0"), 0);
    f.NegCurrFormat = Number(lookup(LOCALE_INEGCURR, "0"), 0);
    f.CurrencyDecimals = Number(lookup(LOCALE_ICURRDIGITS, "0"), 0);
    f.ShortDateFormat = lookup(LOCALE_SSHORTDATE, "m/d/yy");
    f.LongDateFormat = lookup(LOCALE_SLONGDATE, "mmmm d, yyyy");
    f.TimeAMString = lookup(LOCALE_S1159, "am");
    f.TimePMString = lookup(LOCALE_S2359, "pm");
    const std::string hour = Number(lookup(LOCALE_ITLZERO, "0"), 0) != 0 ? "hh" : "h";
    std::string before;
    std::string after;
    if (Number(lookup(LOCALE_ITIME, "0"), 0) == 0) {
        if (Number(lookup(LOCALE_ITIMEMARKPOSN, "0"), 0) != 0)
            before = "AMPM ";
        else
            after = " AMPM";
    }
    f.ShortTimeFormat = before + hour + ":mm" + after;
    f.LongTimeFormat = before + hour + ":mm:ss" + after;

    const int codePage = Platform::SystemCodePage();
    f.ThousandSeparator = Separator(langId, LOCALE_STHOUSAND, ",", codePage);
    f.DecimalSeparator = Separator(langId, LOCALE_SDECIMAL, ".", codePage);
    f.DateSeparator = Separator(langId, LOCALE_SDATE, "/", codePage);
    f.TimeSeparator = Separator(langId, LOCALE_STIME, ":", codePage);
    f.ListSeparator = Separator(langId, LOCALE_SLIST, ",", codePage);

    const int calendar = Number(lookup(LOCALE_ICALENDARTYPE, "1"), 1);
    if (calendar >= 3 && calendar <= 5) {
        f.ShortDateFormat = EraDateFormat(f.ShortDateFormat);
        f.LongDateFormat = EraDateFormat(f.LongDateFormat);
    } else if (f.PriLangID == 0x04 || f.PriLangID == 0x11 || f.PriLangID == 0x12) {
        f.ShortDateFormat = WithoutEra(f.ShortDateFormat);
        f.LongDateFormat = WithoutEra(f.LongDateFormat);
    }
    return f;
}

const std::vector<int>& LocaleFormatTypes()
{
    using namespace Tixlanguage;
    static const std::vector<int> types = [] {
        std::vector<int> t;
        for (int m = 0; m < 12; ++m) {
            t.push_back(LOCALE_SABBREVMONTHNAME1 + m);
            t.push_back(LOCALE_SMONTHNAME1 + m);
        }
        for (int d = 0; d < 7; ++d) {
            t.push_back(LOCALE_SABBREVDAYNAME1 + d);
            t.push_back(LOCALE_SDAYNAME1 + d);
        }
        for (int type : {LOCALE_SCURRENCY, LOCALE_ICURRENCY, LOCALE_INEGCURR, LOCALE_ICURRDIGITS,
                         LOCALE_SSHORTDATE, LOCALE_SLONGDATE, LOCALE_S1159, LOCALE_S2359, LOCALE_ITLZERO,
                         LOCALE_ITIME, LOCALE_ITIMEMARKPOSN,
                         LOCALE_ICALENDARTYPE})
            t.push_back(type);
        std::sort(t.begin(), t.end());
        return t;
    }();
    return types;
}

const TLocaleFormats& LocaleFormats() { return Current(); }

void ApplyLocaleFormats(const TLocaleFormats& formats, int langId)
{
    Current() = formats;
    Tixutils::TFormatSettings settings;
    settings.DateSeparator = formats.DateSeparator.empty() ? '/' : formats.DateSeparator[0];
    settings.TimeSeparator = formats.TimeSeparator.empty() ? ':' : formats.TimeSeparator[0];
    settings.ShortDateFormat = formats.ShortDateFormat;
    Tixutils::SetFormatSettings(settings);
    const std::string qtName = Tixlanguage::QtLocaleNameOf(langId);
    if (!qtName.empty())
        QLocale::setDefault(QLocale(QString::fromLatin1(qtName.c_str())));
}
