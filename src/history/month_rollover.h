#pragma once
// The change of month, watched from the main window's timer: on the first
// tick of a new month the finished month is archived out of the history and
// "link.txt" gets the month's name.
#include "history/history_log.h"
#include "history/link_status.h"

namespace k4 {

class MonthRollover {
public:
    MonthRollover(const Clock& clock, HistoryLog& history, LinkStatusFile& linkStatus);

    // Run on every tick. The first tick only remembers its month; a month
    // the station did not run across is not archived.
    void onTimerTick();

private:
    const Clock& clock_;
    HistoryLog& history_;
    LinkStatusFile& linkStatus_;
    int year_ = 0;
    int month_ = 0;
};

} // namespace k4
