#pragma once
// The heartbeat of the station, every 100 ms: due scheduler entries, the
// clock text about once a second, the change of month, then one pending
// window message or one poll of the inputs.
#include "history/month_rollover.h"
#include "platform/clock.h"
#include "processing/scheduler.h"

#include <functional>
#include <string>

namespace k4 {

// "yyyy/mm/dd  ddd hh:mm:ss": the clock label of the main window.
std::string clockText(const LocalDateTime& now);

class StationTimer {
public:
    using ClockShown = std::function<void(const std::string& text)>;

    StationTimer(const Clock& clock, Scheduler& scheduler, MonthRollover& months, std::function<void()> pollInputs);

    void setClockShown(ClockShown shown) { clockShown_ = std::move(shown); }

    // windowMessagePending: the window has input waiting; that tick leaves
    // the serial lines alone.
    void Timer1Timer(bool windowMessagePending = false);

private:
    const Clock& clock_;
    Scheduler& scheduler_;
    MonthRollover& months_;
    std::function<void()> pollInputs_;
    ClockShown clockShown_;
    int64_t shownAt_ = -1;
};

} // namespace k4
