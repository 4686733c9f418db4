#pragma once
// The lines of event lists on screen and on paper: the list line of the
// dialogs, the printouts of a subscriber's or a shared list, and the
// printout of the standard table. All Mazovia text.
#include "config/config_block.h"
#include "processing/event_list.h"
#include "processing/event_table.h"

#include <string>

namespace k4 {

// "%03X %-8.8s %-30.30s" and the marks of entry i.
std::string eventListLine(const AlarmsTableList& list, int i, const EventTable& events, const ConfigBlock& config);
// The colour class the line is drawn in.
int eventListLineClass(const AlarmsTableList& list, int i, const EventTable& events);

// A subscriber's list (subscriber >= 0) or a shared list (its name).
std::string subscriberListPrintout(const AlarmsTableList& list, int subscriber, const EventTable& events,
                                   const ConfigBlock& config);
std::string sharedListPrintout(const AlarmsTableList& list, const std::string& name, const EventTable& events,
                               const ConfigBlock& config);
// The entries alone, "%03X (%03X) %-8.8s %-30.30s" and the marks each.
std::string eventListPrintoutLines(const AlarmsTableList& list, const EventTable& events, const ConfigBlock& config);
// Every defined code in ascending order between the two framing lines.
std::string standardTablePrintout(const EventTable& events);

} // namespace k4
