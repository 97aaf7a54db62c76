// CutDateTime: a date and/or a time from the front of a text.
#include <cmath>

#include "foundation/tixutils_text.h"
#include "foundation/tixutils_text_internal.h"

namespace Tixutils {

using namespace TextInternal;

namespace {

class DateTimeReader {
public:
    DateTimeReader(const std::string& text, const std::string& dateSeps,
                   const std::string& timeSeps, const std::string& dateTimeSeps, VDateOrder order,
                   TDateTime now)
        : t_(text), dateSeps_(dateSeps), timeSeps_(timeSeps), dateTimeSeps_(dateTimeSeps),
          order_(order), now_(now)
    {
        DecodeDate(now, year_, month_, day_);
        if (!TryEncodeDate(year_, month_, day_, today_))
            today_ = std::trunc(now);
    }

    // Result, Failed and how many characters were read.
    TDateTime read(bool& failed, size_t& consumed);

private:
    bool blank(size_t i) const { return i < t_.size() && (t_[i] == ' ' || t_[i] == '\t'); }

    // Only blanks are left.
    bool atEnd() const
    {
        size_t q = p_;
        while (blank(q))
            ++q;
        return q >= t_.size();
    }

    // A number after optional blanks; -1 when no digit is there.
    int number()
    {
        while (blank(p_))
            ++p_;
        if (p_ >= t_.size() || !isDigit(t_[p_]))
            return -1;
        int pos = int(p_);
        const int value = CutInteger(pos, t_, -1, true);
        p_ = size_t(pos);
        return value;
    }

    // A separator of the set, blanks around it allowed; a run of blanks is
    // itself the separator when the set holds a blank or a tab.
    bool separator(const std::string& set)
    {
        size_t q = p_;
        while (blank(q))
            ++q;
        if (q < t_.size() && CharInString(t_[q], set)) {
            p_ = q + 1;
            while (blank(p_))
                ++p_;
            return true;
        }
        if (q > p_ && (CharInString(' ', set) || CharInString('\t', set))) {
            p_ = q;
            return true;
        }
        return false;
    }

    // The date of A, B, C placed by the order; a missing B or C (-1) comes
    // from today.
    TDateTime composeDate(int a, int b, int c, bool& error) const
    {
        int y, m, d;
        switch (order_) {
        case vdoMDY:
            m = a;
            d = b < 0 ? day_ : b;
            y = c < 0 ? year_ : c;
            break;
        case vdoYMD:
            y = a;
            m = b < 0 ? month_ : b;
            d = c < 0 ? day_ : c;
            break;
        default:
            d = a;
            m = b < 0 ? month_ : b;
            y = c < 0 ? year_ : c;
            break;
        }
        return SafeEncodeDate(y, m, d, error, today_);
    }

    static TDateTime hours(int h, int m = 0, int s = 0) { return (h * 3600.0 + m * 60.0 + s) / 86400.0; }

    const std::string& t_;
    const std::string& dateSeps_;
    const std::string& timeSeps_;
    const std::string& dateTimeSeps_;
    VDateOrder order_;
    TDateTime now_;
    TDateTime today_ = 0;
    int year_ = 0, month_ = 0, day_ = 0;
    size_t p_ = 0;
};

TDateTime DateTimeReader::read(bool& failed, size_t& consumed)
{
    failed = true;
    consumed = 0;
    const int a = number();
    if (atEnd()) {
        // A lone number counts hours from today's midnight.
        if (a <= 0)
            return now_;
        failed = false;
        consumed = t_.size();
        return today_ + double(a / 24) + hours(a % 24);
    }
    if (a < 0)
        return now_;

    bool dateWritten = false;
    bool dateError = false;
    TDateTime date = today_;
    int hour = -1;
    bool hourRead = false;
    if (separator(dateSeps_)) {
        dateWritten = true;
        if (a == 0 && order_ != vdoYMD)
            return now_;
        const int b = number();
        if (atEnd()) {
            // "8." names one date part; "8.12" two, the year from today.
            date = composeDate(a, b < 1 ? -1 : b, -1, dateError);
            failed = dateError;
            consumed = t_.size();
            return date;
        }
        if (b < 1 || !separator(dateSeps_))
            return now_;
        const int c = number();
        if (c < 0 || atEnd()) {
            date = composeDate(a, b, c, dateError);
            failed = dateError;
            consumed = c < 0 ? p_ : t_.size();
            return date;
        }
        if (dateTimeSeps_.empty())
            return now_;
        if (separator(dateTimeSeps_)) {
            date = composeDate(a, b, c, dateError);
        } else if (separator(timeSeps_)) {
            // No year or day was written: that number was the hour.
            date = composeDate(a, b, -1, dateError);
            hour = c;
            hourRead = true;
        } else {
            date = composeDate(a, b, c, dateError);
            return date;  // no hour where one should be
        }
    } else if (separator(timeSeps_)) {
        hour = a;
        hourRead = true;
    } else {
        return now_;
    }

    // Minutes are due once a time separator followed the hour.
    bool minutesDue = true;
    if (!hourRead) {
        hour = number();
        if (hour < 0 || hour > 23)
            return date;
        if (atEnd())
            minutesDue = false;
        else if (!separator(timeSeps_))
            return now_;
    } else if (hour > 23) {
        return date;
    }
    int minute = 0, second = 0;
    if (minutesDue) {
        minute = number();
        if (minute < 0 || minute > 59)
            return date + hours(hour);
        if (!atEnd()) {
            if (!separator(timeSeps_))
                return now_;
            second = number();
            if (second < 0 || second > 59)
                return date + hours(hour, minute);
        }
    }
    TDateTime result = date + hours(hour, minute, second);
    if (!dateWritten && result < now_)
        result += 1;  // a bare time names its next occurrence
    failed = dateError;
    consumed = atEnd() ? t_.size() : p_;
    return result;
}

}  // namespace

TDateTime CutDateTime(std::string& S, bool& Failed, const std::string& DateSeps,
                      const std::string& TimeSeps, const std::string& DateTimeSeps,
                      VDateOrder Order, TDateTime NowValue)
{
    Failed = true;
    if (S.empty())
        return NowValue;
    const std::string text = S;
    DateTimeReader reader(text, DateSeps, TimeSeps, DateTimeSeps, Order, NowValue);
    size_t consumed = 0;
    const TDateTime result = reader.read(Failed, consumed);
    if (!Failed)
        S.erase(0, consumed);
    return result;
}

TDateTime CutDateTime(std::string& S, bool& Failed, const std::string& DateSeps,
                      const std::string& TimeSeps, const std::string& DateTimeSeps,
                      VDateOrder Order)
{
    return CutDateTime(S, Failed, DateSeps, TimeSeps, DateTimeSeps, Order, Now());
}

TDateTime CutDateTime(std::string& S, bool& Failed)
{
    return CutDateTime(S, Failed, DateSeparators, TimeSeparators, DateTimeSeparators, vdoDMY);
}

}  // namespace Tixutils
