#include "shell/station_timer.h"

#include "database/stamp.h"

#include <cstdio>

namespace k4 {

std::string clockText(const LocalDateTime& now) {
    static const char* const days[7] = {"N", "Pn", "Wt", "Śr", "Cz", "Pt", "So"};
    char text[64];
    std::snprintf(text, sizeof text, "%04d/%02d/%02d  %s %02d:%02d:%02d", now.year, now.month, now.day,
                  days[now.weekday % 7], now.hour, now.minute, now.second);
    return text;
}

StationTimer::StationTimer(const Clock& clock, Scheduler& scheduler, MonthRollover& months,
                           std::function<void()> pollInputs)
    : clock_(clock), scheduler_(scheduler), months_(months), pollInputs_(std::move(pollInputs)) {}

void StationTimer::Timer1Timer(bool windowMessagePending) {
    scheduler_.poll();
    const int64_t now = clock_.unixTime();
    if (now != shownAt_) {
        shownAt_ = now;
        if (clockShown_) clockShown_(clockText(localNow(clock_)));
    }
    months_.onTimerTick();
    if (windowMessagePending) return;
    if (pollInputs_) pollInputs_();
}

} // namespace k4
