#pragma once
// Every history entry is printed at the moment it is written. The history
// knows neither the event names nor the printer: a formatter turns the entry
// into its text line and a sink takes the line to the event printer.
#include "history/history_entry.h"

#include <string>
#include <string_view>

namespace k4 {

class EventLineFormatter {
public:
    virtual ~EventLineFormatter() = default;
    // The text line of an entry, stored (Mazovia) text, no line end.
    virtual std::string formatLine(const HistoryEntry& entry) = 0;
};

class EventLineSink {
public:
    virtual ~EventLineSink() = default;
    // One event line in Mazovia, ending in "\r\n"; the printer converts it to
    // its own code page.
    virtual void printEventLine(std::string_view line) = 0;
};

} // namespace k4
