#pragma once
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>

// Where the simulated device gets its idea of "now". A device keeps a naive
// local date and time (no zone arithmetic), so every value here is a count
// of milliseconds since 1970-01-01 00:00:00 of that naive calendar.
namespace ModemSim {

class TTimeSource {
public:
    virtual ~TTimeSource() = default;
    // The host's local wall time as a naive millisecond count.
    virtual int64_t LocalMs() const = 0;
};

// The host clock (localtime of the system clock).
class TSystemTime : public TTimeSource {
public:
    int64_t LocalMs() const override;
};

// A clock that only moves when told: for tests of alarms and clock reads.
class TManualTime : public TTimeSource {
public:
    explicit TManualTime(int64_t localMs = 0) : ms_(localMs) {}
    int64_t LocalMs() const override;
    void Set(int64_t localMs);
    void Advance(int64_t ms);

private:
    mutable std::mutex mutex_;
    int64_t ms_;
};

// Broken-down naive date and time.
struct TDateTime {
    int year = 2000, month = 1, day = 1, hour = 0, minute = 0, second = 0;
};

int64_t DateTimeToMs(const TDateTime& dt);
TDateTime MsToDateTime(int64_t ms);
// "yy/MM/dd,hh:mm:ss" with two-digit year read as 2000 + yy. Returns false
// for anything malformed or out of range. The optional zone suffix
// ("+04", "-08", quarter hours) is returned in zone when present.
bool ParseGsmTime(const std::string& text, TDateTime& dt, std::string* zone = nullptr);
std::string FormatGsmTime(const TDateTime& dt);

// The device's real-time clock: host time plus an offset the device keeps
// since it was last set.
class TDeviceClock {
public:
    explicit TDeviceClock(std::shared_ptr<TTimeSource> source);
    int64_t NowMs() const;
    TDateTime Now() const;
    void Set(const TDateTime& dt);
    void SetOffsetMs(int64_t offsetMs) { offsetMs_ = offsetMs; }
    int64_t OffsetMs() const { return offsetMs_; }
    const std::shared_ptr<TTimeSource>& Source() const { return source_; }

private:
    std::shared_ptr<TTimeSource> source_;
    int64_t offsetMs_ = 0;
};

}  // namespace ModemSim
