#include "processing/alarm_subscriber_info.h"

#include "baselink/path_types.h"
#include "database/lines_list.h"
#include "database/sbscrbr.h"
#include "database/subscriber_database.h"
#include "database/text_edge.h"
#include "processing/event_def.h"
#include "processing/event_table.h"

#include <cstdio>
#include <cstring>

namespace k4 {

namespace {

// A fixed field of the record: it may fill its width without a NUL.
template <size_t N>
std::string field(const char (&text)[N]) {
    return Utf8FromMazovia(std::string(text, strnlen(text, N)));
}

std::string joined(std::string a, const std::string& separator, const std::string& b) {
    if (a.empty()) return b;
    if (b.empty()) return a;
    return a + separator + b;
}

void describeSubsystem(Sbscrbr& subscriber, const AlarmRecord& alarm, AlarmSubscriberInfo& info) {
    info.subsystemText = " - BRAK INFORMACJI O PODSYSTEMIE!";
    info.sectorText = "BRAK INFORMACJI O SEKTORZE!";
    if (alarm.subsystem < 0 || alarm.subsystem >= kLineSlots) return;
    LinesList lines(subscriber.database().files(), subscriber.record.lines);
    if (!lines.usable()) return;
    lines.Recount();
    const int at = lines.Find(alarm.subsystem);
    if (at < 0 || lines.ReadIndex(at) != 0) return;
    info.subsystemText = " - " + field(lines.subsystem().line_desc);
    if (alarm.sector == 4095) {
        info.sectorText.clear();
        return;
    }
    SectorsList sectors(lines);
    sectors.Recount();
    const int sector = sectors.Find(alarm.sector);
    if (sector < 0 || sectors.ReadIndex(sector) != 0) return;
    char number[16];
    std::snprintf(number, sizeof number, "%3.3d - ", static_cast<int>(alarm.sector));
    info.sectorText = number + field(sectors.sector().sector_desc);
}

} // namespace

std::string alarmPathText(const AlarmRecord& alarm, const PathTypeTable& types) {
    if (alarm.path < 0) {
        const int type = -(alarm.path + 1);
        if (type >= kPathTypeCount) return "???";
        return std::string(types[type].name).substr(0, 2);
    }
    // The receiving paths are named by the path table, which the window
    // does not see yet.
    return "???";
}

std::optional<AlarmSubscriberInfo> describeAlarmSubscriber(SubscriberDatabase& database, const EventTable& events,
                                                           const PathTypeTable& types, const AlarmRecord& alarm) {
    Sbscrbr subscriber(database, ByNumber{alarm.subscriber});
    if (!subscriber.valid || subscriber.unindexed) {
        // An alarm of a sender the database does not know, or a
        // demonstration, is still the operator's to see and remove: the
        // window shows it without subscriber data instead of refusing it.
        if ((alarm.flags & AlarmRecord::kUnknownSubscriber) ||
            (alarm.state() & AlarmRecord::kStateDemonstration)) {
            AlarmSubscriberInfo info;
            info.pathText = alarmPathText(alarm, types);
            return info;
        }
        return std::nullopt;
    }
    const SubscriberRecord& r = subscriber.record;
    AlarmSubscriberInfo info;
    info.name = field(r.name);
    char postal[8] = "";
    const std::string code = std::string(r.code, strnlen(r.code, sizeof r.code));
    if (code.size() == 5) std::snprintf(postal, sizeof postal, "%.2s-%.3s", code.c_str(), code.c_str() + 2);
    info.address = joined(field(r.address), ", ", joined(postal, " ", field(r.town)));
    info.phones = joined(field(r.tel), "  GSM ", field(r.tel_gsm));
    info.contacts = joined(field(r.contact1), " / ", field(r.contact2));
    info.password = field(r.passwd);
    info.pathText = alarmPathText(alarm, types);
    const EventDef* def = events.findEvent(alarm.code());
    const bool armingOrDisarming = def && (def->kindBits() & (kEventArming | kEventDisarming));
    if (!armingOrDisarming) describeSubsystem(subscriber, alarm, info);
    return info;
}

} // namespace k4
