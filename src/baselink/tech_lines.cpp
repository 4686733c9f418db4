#include "baselink/tech_lines.h"

#include "baselink/trace_ring.h"
#include "platform/clock.h"
#include "processing/scheduler.h"
#include "processing/scheduler_entry.h"

#include <cstdio>
#include <cstring>
#include <ctime>

namespace k4 {

std::string schedulerLine(const Scheduler& scheduler, const Clock& clock, int k, int filter) {
    if (k < 0 || k >= scheduler.count()) return {};
    const SchedulerEntry& entry = scheduler.entry(k);
    const int key = entry.key & kKeyMatchMask;
    if (filter >= 0 && key != filter) return "---------";
    // The head's delay counts down; the others are delays after the one
    // before them.
    int64_t due = clock.unixTime() + scheduler.headRemainingMs() / 1000;
    for (int i = 1; i <= k; ++i) due += scheduler.entry(i).delay();
    const time_t t = static_cast<time_t>(due);
    // asctime, as ctime gives it: English names whatever the locale.
    struct tm local {};
    localtime_r(&t, &local);
    char when[32] = "";
    if (asctime_r(&local, when)) when[std::strcspn(when, "\n")] = '\0';
    char line[96];
    std::snprintf(line, sizeof line, "%s %4.4d (%2.2X) - %s", when, key, static_cast<unsigned>(entry.arg()),
                  schedulerTypeName(entry.type()));
    return line;
}

std::string traceLine(const TraceRing& trace, int slot) {
    const std::string& line = trace.line(slot);
    return line.empty() ? std::string("-") : line.substr(0, 50);
}

int64_t schedulerHeadStart(const Scheduler& scheduler, const Clock& clock) {
    if (scheduler.count() == 0) return 0;
    return static_cast<int64_t>(clock.tickMs()) + scheduler.headRemainingMs() -
           static_cast<int64_t>(scheduler.entry(0).delay()) * 1000;
}

} // namespace k4
