#pragma once
// The lines of the technical information window: the pending scheduler
// entries with their due moments, and the serial trace.
#include <cstdint>
#include <string>

namespace k4 {

class Clock;
class Scheduler;
class TraceRing;

// Line k of the scheduler view: "---------" when a filter (>= 0) is set and
// the entry's key differs from it; otherwise the due moment as ctime gives
// it, then " %4.4d (%2.2X) - %s" with key, argument and type name.
std::string schedulerLine(const Scheduler& scheduler, const Clock& clock, int k, int filter);

// Slot i of the trace view: the first 50 characters of the line, or "-".
std::string traceLine(const TraceRing& trace, int slot);

// What has to change for the scheduler view to be drawn again: the moment
// the head of the queue started counting down.
int64_t schedulerHeadStart(const Scheduler& scheduler, const Clock& clock);

} // namespace k4
