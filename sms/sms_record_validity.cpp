// VTixSMSRecord: the validity period as a length, a point in time and text.
#include <cmath>
#include <cstdio>

#include "foundation/ansi_to_date_time.h"
#include "foundation/utils.h"
#include "sms/sms_record.h"

using Tixutils::TDateTime;

namespace {

// Seconds of a length in days, rounded, kept in the 32-bit range.
int32_t wholeSeconds(TDateTime days)
{
    const double s = std::floor(days * 86400.0 + 0.5);
    if (!(s > -2147483647.0))
        return -2147483647;
    return s > 2147483647.0 ? 2147483647 : int32_t(s);
}

// A relative length "1t 2d 3h 4m 5s" (letters in either case, a number at
// the end without a letter is seconds). False when a letter is no unit,
// a unit comes twice, or there is no piece at all.
bool parseLength(const std::string& text, int64_t& seconds)
{
    static constexpr char kLetters[] = "tdhms";
    static constexpr int64_t kUnits[] = {604800, 86400, 3600, 60, 1};
    bool used[5] = {};
    bool any = false;
    seconds = 0;
    size_t i = 0;
    const auto skipBlanks = [&] {
        while (i < text.size() && (text[i] == ' ' || text[i] == '\t'))
            ++i;
    };
    for (;;) {
        skipBlanks();
        if (i >= text.size())
            return any;
        if (text[i] < '0' || text[i] > '9')
            return false;
        int64_t number = 0;
        while (i < text.size() && text[i] >= '0' && text[i] <= '9') {
            if (number < 1000000000000)  // more than 60 years of seconds: enough
                number = number * 10 + (text[i] - '0');
            ++i;
        }
        skipBlanks();
        int unit = 4;  // a number at the very end counts as seconds
        if (i < text.size()) {
            char c = text[i++];
            if (c >= 'A' && c <= 'Z')
                c = char(c - 'A' + 'a');
            unit = -1;
            for (int u = 0; u < 5; ++u)
                if (kLetters[u] == c)
                    unit = u;
            if (unit < 0)
                return false;
        }
        if (used[unit])
            return false;
        used[unit] = true;
        any = true;
        seconds += number * kUnits[unit];
    }
}

}  // namespace

bool VTixSMSRecord::GetValidityIsRelative()
{
    refreshIfStale();
    return booleans_[fbValidityRelative];
}

TDateTime VTixSMSRecord::GetValidityAbs()
{
    refreshIfStale();
    return booleans_[fbValidityRelative] ? Tixutils::Now() + validity_ : validity_;
}

void VTixSMSRecord::SetValidityAbs(TDateTime when)
{
    if (!beginSet())
        return;
    if (!booleans_[fbValidityRelative] && validity_ == when)
        return;
    booleans_[fbValidityRelative] = false;
    validity_ = when;
    endSet();
}

TDateTime VTixSMSRecord::GetValidityRel()
{
    refreshIfStale();
    return booleans_[fbValidityRelative] ? validity_ : validity_ - Tixutils::Now();
}

void VTixSMSRecord::SetValidityRel(TDateTime days)
{
    if (!beginSet())
        return;
    if (booleans_[fbValidityRelative] && validity_ == days)
        return;
    booleans_[fbValidityRelative] = true;
    validity_ = days;
    endSet();
}

std::string VTixSMSRecord::GetValidityText()
{
    refreshIfStale();
    if (booleans_[fbValidityRelative])
        return Utils::FormatDuration(wholeSeconds(validity_), Utils::DurationLetters);
    if (validity_ == 0)
        return std::string();
    // One format in every language: SetValidityText reads the day first.
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0, ms = 0;
    Tixutils::DecodeDate(validity_, year, month, day);
    Tixutils::DecodeTime(validity_, hour, minute, second, ms);
    char text[64];
    std::snprintf(text, sizeof text, "%d.%d.%04d %d:%02d:%02d", day, month, year, hour, minute,
                  second);
    return text;
}

void VTixSMSRecord::SetValidityText(const std::string& text)
{
    if (text.empty()) {
        SetValidityAbs(0);
        return;
    }
    int64_t seconds = 0;
    if (parseLength(text, seconds)) {
        SetValidityRel(double(seconds) / 86400.0);
        return;
    }
    TDateTime when = 0;
    if (Tixsmslist::AnsiToDateTime(text, when, "./", ":", ", ", Tixutils::vdoDMY))
        SetValidityAbs(when);
}
