#include "tests/modemsim/device_clock.h"

#include <chrono>
#include <cstdio>
#include <ctime>

namespace ModemSim {

namespace {

// Days from 1970-01-01 to the given civil date (proleptic Gregorian).
int64_t DaysFromCivil(int y, int m, int d)
{
    y -= m <= 2;
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const int64_t yoe = y - era * 400;
    const int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

void CivilFromDays(int64_t z, int& y, int& m, int& d)
{
    z += 719468;
    const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const int64_t doe = z - era * 146097;
    const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const int64_t mp = (5 * doy + 2) / 153;
    d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    y = static_cast<int>(yoe + era * 400 + (m <= 2));
}

int DaysInMonth(int y, int m)
{
    static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (m == 2 && ((y % 4 == 0 && y % 100 != 0) || y % 400 == 0))
        return 29;
    return days[m - 1];
}

bool TwoDigits(const std::string& s, size_t pos, int& value)
{
    if (pos + 2 > s.size() || s[pos] < '0' || s[pos] > '9' || s[pos + 1] < '0' || s[pos + 1] > '9')
        return false;
    value = (s[pos] - '0') * 10 + (s[pos + 1] - '0');
    return true;
}

}  // namespace

int64_t TSystemTime::LocalMs() const
{
    const auto now = std::chrono::system_clock::now();
    const int64_t ms = std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count();
    const time_t secs = static_cast<time_t>(ms / 1000);
    struct tm local {};
    localtime_r(&secs, &local);
    TDateTime dt{local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min,
                 local.tm_sec};
    return DateTimeToMs(dt) + ms % 1000;
}

int64_t TManualTime::LocalMs() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return ms_;
}

void TManualTime::Set(int64_t localMs)
{
    std::lock_guard<std::mutex> lock(mutex_);
    ms_ = localMs;
}

void TManualTime::Advance(int64_t ms)
{
    std::lock_guard<std::mutex> lock(mutex_);
    ms_ += ms;
}

int64_t DateTimeToMs(const TDateTime& dt)
{
    const int64_t days = DaysFromCivil(dt.year, dt.month, dt.day);
    return ((days * 24 + dt.hour) * 60 + dt.minute) * 60000 + int64_t(dt.second) * 1000;
}

TDateTime MsToDateTime(int64_t ms)
{
    int64_t secs = ms >= 0 ? ms / 1000 : -((-ms + 999) / 1000);
    int64_t days = secs >= 0 ? secs / 86400 : -((-secs + 86399) / 86400);
    int64_t rest = secs - days * 86400;
    TDateTime dt;
    CivilFromDays(days, dt.year, dt.month, dt.day);
    dt.hour = static_cast<int>(rest / 3600);
    dt.minute = static_cast<int>(rest / 60 % 60);
    dt.second = static_cast<int>(rest % 60);
    return dt;
}

bool ParseGsmTime(const std::string& text, TDateTime& dt, std::string* zone)
{
    // yy/MM/dd,hh:mm:ss = 17 characters
    int yy, mo, dd, hh, mi, ss;
    if (text.size() < 17 || !TwoDigits(text, 0, yy) || text[2] != '/' || !TwoDigits(text, 3, mo) ||
        text[5] != '/' || !TwoDigits(text, 6, dd) || text[8] != ',' || !TwoDigits(text, 9, hh) ||
        text[11] != ':' || !TwoDigits(text, 12, mi) || text[14] != ':' || !TwoDigits(text, 15, ss))
        return false;
    std::string rest = text.substr(17);
    if (!rest.empty()) {
        // Time zone in quarter hours: sign and one or two digits.
        if ((rest[0] != '+' && rest[0] != '-') || rest.size() < 2 || rest.size() > 3)
            return false;
        for (size_t i = 1; i < rest.size(); ++i)
            if (rest[i] < '0' || rest[i] > '9')
                return false;
        if (std::stoi(rest.substr(1)) > 48)
            return false;
    }
    if (mo < 1 || mo > 12 || hh > 23 || mi > 59 || ss > 59)
        return false;
    const int year = 2000 + yy;
    if (dd < 1 || dd > DaysInMonth(year, mo))
        return false;
    dt = TDateTime{year, mo, dd, hh, mi, ss};
    if (zone)
        *zone = rest;
    return true;
}

std::string FormatGsmTime(const TDateTime& dt)
{
    char buf[40];
    std::snprintf(buf, sizeof buf, "%02d/%02d/%02d,%02d:%02d:%02d", ((dt.year % 100) + 100) % 100,
                  dt.month, dt.day, dt.hour, dt.minute, dt.second);
    return buf;
}

TDeviceClock::TDeviceClock(std::shared_ptr<TTimeSource> source) : source_(std::move(source))
{
    if (!source_)
        source_ = std::make_shared<TSystemTime>();
}

int64_t TDeviceClock::NowMs() const
{
    return source_->LocalMs() + offsetMs_;
}

TDateTime TDeviceClock::Now() const
{
    return MsToDateTime(NowMs());
}

void TDeviceClock::Set(const TDateTime& dt)
{
    // The device starts the new second at once: keep the sub-second part of
    // the host clock out of the offset so reads round the same way.
    const int64_t host = source_->LocalMs();
    offsetMs_ = DateTimeToMs(dt) - (host - host % 1000);
}

}  // namespace ModemSim
