#pragma once
// The report-rate limiter: a subscriber (or the crowd of unknown senders on
// the module paths) that reports more than `limit` times within `hours`
// produces the alarm-counter event, and its window starts again.
#include "database/subscriber_record.h"

#include <cstdint>

namespace k4 {

// One report counted against the limiter; true when it trips. The
// (limit+1)-th report inside one window trips it and opens a new window.
// The window test is unsigned on purpose: a start in the future (a clock
// set back) reads as a long-expired window and restarts the count.
bool countReport(AlarmOpts& opts, uint32_t now);

// The one limiter of reports from unknown subscribers and unknown GSM
// numbers on the interface-module paths; it lives in memory only.
class UnknownSenderLimiter {
public:
    UnknownSenderLimiter(int limit, int hours);
    // true when this report trips the limiter: the caller then sends the
    // alarm-counter report for subscriber -1 with the unknown flag.
    bool count(uint32_t now) { return countReport(opts_, now); }
    const AlarmOpts& state() const { return opts_; }

private:
    AlarmOpts opts_{};
};

} // namespace k4
