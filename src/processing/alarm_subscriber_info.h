#pragma once
// The subscriber's side of the alarm description window, read from the
// subscriber's record and its subsystem table when the operator opens an
// alarm. Nothing is kept: the next alarm reads it again.
#include "processing/alarm_record.h"

#include <optional>
#include <string>

namespace k4 {

class EventTable;
class PathTypeTable;
class SubscriberDatabase;

// All texts UTF-8, as the window shows them.
struct AlarmSubscriberInfo {
    std::string name;
    std::string address;
    std::string phones;
    std::string contacts;
    std::string password;
    std::string pathText;      // "%-2.2s%d", the path type of a local source, or "???"
    std::string subsystemText; // " - " and the name, or " - BRAK INFORMACJI O PODSYSTEMIE!"
    std::string sectorText;    // "%3.3d - " and the description, or "BRAK INFORMACJI O SEKTORZE!"
};

// The text of the alarm's path. Paths of the table are named by their type
// and number; without the table only the local sources have a name.
std::string alarmPathText(const AlarmRecord& alarm, const PathTypeTable& types);

// Nothing when the subscriber is not in the database (the window then says
// "Brak informacji o abonencie %d"), unless the alarm is marked as one of an
// unknown subscriber or a demonstration: those get empty subscriber fields.
std::optional<AlarmSubscriberInfo> describeAlarmSubscriber(SubscriberDatabase& database, const EventTable& events,
                                                           const PathTypeTable& types, const AlarmRecord& alarm);

} // namespace k4
