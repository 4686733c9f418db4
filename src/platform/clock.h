#pragma once
// The one source of time of the station. The scheduler, test deadlines,
// arming windows and the month roll-over all read it, so tests can move time
// instead of waiting for it.
#include <cstdint>

namespace k4 {

// A calendar date and time of day in the local time zone of the centre.
// Hundredths of a second are never kept.
struct LocalDateTime {
    int year = 1970;   // full year, e.g. 2026
    int month = 1;     // 1..12
    int day = 1;       // 1..31
    int hour = 0;
    int minute = 0;
    int second = 0;
    int weekday = 0;   // 0 Sunday .. 6 Saturday; filled by conversions from a stamp

    friend bool operator==(const LocalDateTime& a, const LocalDateTime& b) {
        return a.year == b.year && a.month == b.month && a.day == b.day && a.hour == b.hour &&
               a.minute == b.minute && a.second == b.second;
    }
};

// The stored time of every record: Unix time of the local moment plus 21600.
using Stamp = int32_t;

class Clock {
public:
    virtual ~Clock() = default;
    // Seconds since 1970-01-01 00:00 UTC.
    virtual int64_t unixTime() const = 0;
    // Monotonic milliseconds since an arbitrary start; never goes back.
    virtual uint64_t tickMs() const = 0;
    // Blocks the caller; a manual clock advances itself instead.
    virtual void sleepMs(int ms) = 0;
};

class SystemClock final : public Clock {
public:
    int64_t unixTime() const override;
    uint64_t tickMs() const override;
    void sleepMs(int ms) override;
};

} // namespace k4
