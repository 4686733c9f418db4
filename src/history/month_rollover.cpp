#include "history/month_rollover.h"

#include "database/stamp.h"

namespace k4 {

MonthRollover::MonthRollover(const Clock& clock, HistoryLog& history, LinkStatusFile& linkStatus)
    : clock_(clock), history_(history), linkStatus_(linkStatus) {}

void MonthRollover::onTimerTick() {
    const LocalDateTime now = localNow(clock_);
    if (month_ == 0) {
        year_ = now.year;
        month_ = now.month;
        return;
    }
    if (now.month == month_ && now.year == year_) return;
    // The month remembered with its own year: December's archive on the
    // first tick of January is named after December's year.
    const int year = year_;
    const int month = month_;
    year_ = now.year;
    month_ = now.month;
    history_.ExtractMonth(year, month, 0, {});
    linkStatus_.RollLinkStatus(year, month, {});
}

} // namespace k4
