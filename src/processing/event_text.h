#pragma once
// The one text line of a history entry, as the history window, the event
// printer, exports and the list of system kinds show it. Report entries get
// fixed columns with the event's names; system entries a sentence chosen by
// their kind. The line is stored (Mazovia) text; callers convert it.
#include "baselink/path_types.h"
#include "history/event_line_sink.h"
#include "history/history_entry.h"
#include "processing/event_table.h"
#include "processing/name_sources.h"

#include <string>

namespace k4 {

// The system kind of a demonstration report, printed in the report layout.
constexpr int kDemonstrationKind = 0x45;

class EventFormatter final : public EventLineFormatter {
public:
    // events may be unavailable (names print empty); orders and operators
    // may be null.
    EventFormatter(const EventTable& events, const PathTypeTable& pathTypes, OrderNames* orders = nullptr,
                   OperatorNames* operators = nullptr);

    // operators: the caller's list for this line; the station's otherwise.
    std::string formatEvent(const HistoryEntry& record, OperatorNames* operators = nullptr) const;
    std::string formatLine(const HistoryEntry& entry) override { return formatEvent(entry); }

private:
    std::string reportText(const HistoryEntry& r, bool demonstration) const;
    std::string systemText(const HistoryEntry& r, OperatorNames* operators) const;
    std::string incompleteReportText(const HistoryEntry& r) const;
    std::string pathName(const HistoryEntry& r) const;
    std::string orderName(int code) const;

    const EventTable& events_;
    const PathTypeTable& pathTypes_;
    OrderNames* orders_;
    OperatorNames* operators_;
};

// "%2.2d.%02d.%02d %02d:%02d:%02d   ": the 20 columns before every text.
std::string eventLinePrefix(Stamp time);

} // namespace k4
