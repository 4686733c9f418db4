#pragma once
// Moving the PC's clock: the hourly correction of a clock that gains or
// loses. On Linux only a process with the right to set the time may do it;
// the station must say so when it has not, not pretend the clock moved.
#include <cstdint>
#include <optional>
#include <string>

namespace k4 {

class ClockAdjuster {
public:
    virtual ~ClockAdjuster() = default;
    // Moves the system time (UTC) by this many milliseconds; nothing on
    // success, otherwise the system's own words for the refusal.
    virtual std::optional<std::string> moveBy(int64_t milliseconds) = 0;
};

// The real clock, through clock_settime: refused (EPERM) unless the station
// runs with CAP_SYS_TIME.
class SystemClockAdjuster final : public ClockAdjuster {
public:
    std::optional<std::string> moveBy(int64_t milliseconds) override;
};

} // namespace k4
