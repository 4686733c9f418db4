#include "shell/alarm_lines.h"

#include "database/stamp.h"
#include "database/text_edge.h"
#include "processing/event_def.h"
#include "processing/event_table.h"

#include <cstdio>
#include <cstring>

namespace k4 {

uint32_t alarmLineColour(int colourClass) {
    const int c = colourClass & 0x0F;
    return c == 0 ? 0xFFFFFFu : kClassColours[c];
}

namespace {

std::string nameColumn(const AlarmRecord& alarm, const EventTable& events) {
    if (alarm.state() & AlarmRecord::kStateDemonstration) return "TESTOWY ";
    if (alarm.flags & AlarmRecord::kUnknownEvent) return "KODniezn";
    if (alarm.flags & AlarmRecord::kUnknownSubscriber) return "ABOniezn";
    const EventDef* def = events.findEvent(alarm.code());
    if (!def) return {};
    return def->shortText();
}

// A transmitting centre shows, instead of " NOWY", whether the alarm still
// waits to be forwarded to the first two bases it goes to.
std::string marks(const AlarmRecord& alarm, int stationMode) {
    const bool isNew = !alarm.inService();
    int first = 0, second = 0, found = 0;
    for (uint8_t b : alarm.forward) {
        if (b == 0) continue;
        (found == 0 ? first : second) = b;
        if (++found == 2) break;
    }
    if (stationMode == 1 && (first > 15 || second > 15)) {
        std::string m = isNew ? " N " : "   ";
        m += first > 15 ? 'P' : ' ';
        if (second > 15) m += 'P';
        return m;
    }
    return isNew ? " NOWY" : "";
}

} // namespace

std::string alarmLineText(const AlarmRecord& alarm, const EventTable* events, int stationMode) {
    if (!events || !events->available()) return {};
    const LocalDateTime t = LocalFromStamp(static_cast<Stamp>(alarm.time));
    // The widths are the least the columns take: a subsystem above 99 or a
    // sector above 999 widens its column rather than lose its first digits,
    // which would name another subsystem or sector than the history holds.
    char subscriber[8], subsystem[8], sector[8];
    if (alarm.flags & AlarmRecord::kHexSubscriber)
        std::snprintf(subscriber, sizeof subscriber, "%4.4X", static_cast<unsigned>(static_cast<uint16_t>(alarm.subscriber)));
    else
        std::snprintf(subscriber, sizeof subscriber, "%4.4d", static_cast<int>(alarm.subscriber));
    if (alarm.subsystem == 255)
        std::strcpy(subsystem, "  ");
    else
        std::snprintf(subsystem, sizeof subsystem, "%2.2d", static_cast<int>(alarm.subsystem));
    if (alarm.sector == 4095)
        std::strcpy(sector, "   ");
    else
        std::snprintf(sector, sizeof sector, "%3.3d", static_cast<int>(alarm.sector));
    char line[128];
    std::snprintf(line, sizeof line, "%02d:%02d:%02d %s %s %3.3X %s %-8s", t.hour, t.minute, t.second, subscriber,
                  subsystem, static_cast<unsigned>(alarm.code()), sector, nameColumn(alarm, *events).c_str());
    std::string text(line);
    if (text.size() > kAlarmLineLength) text.resize(kAlarmLineLength);
    return text + marks(alarm, stationMode);
}

std::string alarmLineShown(const AlarmRecord& alarm, const EventTable* events, int stationMode) {
    return Utf8FromMazovia(alarmLineText(alarm, events, stationMode));
}

std::string alarmDescriptionText(const AlarmRecord& alarm, const EventTable* events) {
    if (alarm.state() & AlarmRecord::kStateDemonstration) return "# ALARM TESTOWY!";
    if (alarm.flags & AlarmRecord::kUnknownSubscriber) return "# NIEZNANY ABONENT!";
    if (alarm.flags & AlarmRecord::kUnknownEvent) return "# NIEZNANE ZDARZENIE!";
    const EventDef* def = events ? events->findEvent(alarm.code()) : nullptr;
    if (!def) return "# NIEZNANE ZDARZENIE!";
    return def->fullText();
}

} // namespace k4
