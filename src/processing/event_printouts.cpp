#include "processing/event_printouts.h"

#include "database/text_edge.h"

#include <cstdio>

namespace k4 {

namespace {

const char* const kHashes = "####################";

std::string marks(const LUT_ENTRY& e, const EventTable& events, const ConfigBlock& config) {
    std::string m;
    m += e.colourOverride() ? "*" : " ";
    m += e.stdCode() != e.objCode() ? "N" : " ";
    if (e.sectorOverride()) {
        char sector[8];
        if (e.sector() == 4095) std::snprintf(sector, sizeof sector, " BS ");
        else std::snprintf(sector, sizeof sector, "%03d ", e.sector());
        m += sector;
    } else {
        m += "    ";
    }
    const int kind = events.eventKind(e.stdCode());
    if (kind == -1) return m + "Z";
    if (kind == -2) return m + "W";
    // The special codes are taken in order up to the first one not set.
    for (const auto& special : config.special_codes) {
        if (special == 0) break;
        if (special == e.stdCode()) return m + "T";
    }
    return m;
}

void names(const EventTable& events, int code, std::string& shortName, std::string& fullName) {
    if (const EventDef* def = events.findEvent(code)) {
        shortName = def->shortText();
        fullName = def->fullText();
    }
}

std::string eventListPrintoutLinesOf(const AlarmsTableList& list, const EventTable& events, const ConfigBlock& config) {
    std::string text;
    for (int i = 0; i < list.count(); ++i) {
        const LUT_ENTRY& e = list.entry(i);
        std::string shortName, fullName;
        names(events, e.stdCode(), shortName, fullName);
        char line[96];
        std::snprintf(line, sizeof line, "%03X (%03X) %-8.8s %-30.30s", e.objCode(), e.stdCode(), shortName.c_str(),
                      fullName.c_str());
        text += line + marks(e, events, config) + "\r\n";
    }
    return text;
}

} // namespace

std::string eventListPrintoutLines(const AlarmsTableList& list, const EventTable& events, const ConfigBlock& config) {
    return eventListPrintoutLinesOf(list, events, config);
}

std::string eventListLine(const AlarmsTableList& list, int i, const EventTable& events, const ConfigBlock& config) {
    const LUT_ENTRY& e = list.entry(i);
    std::string shortName, fullName;
    names(events, e.stdCode(), shortName, fullName);
    char line[80];
    std::snprintf(line, sizeof line, "%03X %-8.8s %-30.30s", e.objCode(), shortName.c_str(), fullName.c_str());
    return line + marks(e, events, config);
}

int eventListLineClass(const AlarmsTableList& list, int i, const EventTable& events) {
    const LUT_ENTRY& e = list.entry(i);
    if (e.colourOverride()) return e.colour();
    const EventDef* def = events.findEvent(e.stdCode());
    return def ? def->colourClass() : 0;
}

std::string subscriberListPrintout(const AlarmsTableList& list, int subscriber, const EventTable& events,
                                   const ConfigBlock& config) {
    char header[128];
    std::snprintf(header, sizeof header, mz("\r\n%s%7cLISTA ZDARZEŃ ABONENTA %4.4d%6c%s\r\n").c_str(), kHashes, ' ',
                  subscriber, ' ', kHashes);
    return header + eventListPrintoutLines(list, events, config);
}

std::string sharedListPrintout(const AlarmsTableList& list, const std::string& name, const EventTable& events,
                               const ConfigBlock& config) {
    char header[128];
    std::snprintf(header, sizeof header, mz("\r\n%s%4cLISTA ZDARZEŃ WSPÓLNYCH %s%4c%s\r\n").c_str(), kHashes, ' ',
                  name.c_str(), ' ', kHashes);
    return header + eventListPrintoutLines(list, events, config);
}

std::string standardTablePrintout(const EventTable& events) {
    char line[128];
    std::snprintf(line, sizeof line, mz("\r\n%s%12c LISTA ZDARZEŃ %12c%s\r\n").c_str(), kHashes, ' ', ' ', kHashes);
    std::string text = line;
    for (int code : events.definedCodes()) {
        const EventDef& def = *events.findEvent(code);
        std::snprintf(line, sizeof line, "%03X %-8.8s %-30.30s\r\n", code, def.shortText().c_str(),
                      def.fullText().c_str());
        text += line;
    }
    std::snprintf(line, sizeof line, "%s%s%s%s\r\n", kHashes, kHashes, kHashes, kHashes);
    return text + line;
}

} // namespace k4
