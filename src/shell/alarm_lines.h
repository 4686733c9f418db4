#pragma once
// How one active alarm reads in the alarm list of the main window: the text
// of its line, the marks after it and the colour of its class.
#include "processing/alarm_record.h"

#include <cstdint>
#include <string>

namespace k4 {

class EventTable;

// The longest line before its marks.
constexpr size_t kAlarmLineLength = 49;

// RGB of the text of a line of colour class 0..15. Class 0 is black in the
// table and would vanish on the black list, so it is drawn white.
uint32_t alarmLineColour(int colourClass);

// The line in the data code page (Mazovia): time, subscriber, subsystem,
// code, sector and name column, then " NOWY" or the forwarding marks of a
// transmitting centre (stationMode 1). Empty while no event table is loaded.
std::string alarmLineText(const AlarmRecord& alarm, const EventTable* events, int stationMode);
// The same as the list shows it (UTF-8).
std::string alarmLineShown(const AlarmRecord& alarm, const EventTable* events, int stationMode);

// The description line of the description window: "# ALARM TESTOWY!",
// "# NIEZNANY ABONENT!", "# NIEZNANE ZDARZENIE!" or the event's full name
// (Mazovia).
std::string alarmDescriptionText(const AlarmRecord& alarm, const EventTable* events);

} // namespace k4
