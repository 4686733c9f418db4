#pragma once
// Entries of the history window's tests, built field by field.
#include "history/history_entry.h"
#include "history/hist_filter.h"

#include <string>
#include <vector>

namespace k4::test {

inline HistoryEntry reportEntry(Stamp time, int subscriber, int code, int subsystem = 0, int sector = 0,
                                int pathType = 0, int base = 0, uint8_t flags = 0, int unknownMask = 0) {
    HistoryEntry e{};
    e.time = time;
    e.flags = flags;
    e.subscriber = static_cast<int16_t>(subscriber);
    e.subsystem = static_cast<uint8_t>(subsystem);
    e.sector = static_cast<uint16_t>((sector & 0x0FFF) | (unknownMask << 12));
    e.kind = static_cast<uint16_t>((code & 0x0FFF) | (pathType << 12));
    e.code2 = static_cast<uint16_t>((code & 0x0FFF) | (base << 12));
    return e;
}

inline HistoryEntry systemAt(Stamp time, int kind, int value, int extra = 0) {
    HistoryEntry e = systemEntry(kind, value, 0, 0, extra, true);
    e.time = time;
    return e;
}

inline std::string historyFileOf(const std::vector<HistoryEntry>& entries) {
    std::string file(kHistoryHeaderSize, static_cast<char>(kHistoryHeaderByte));
    file.append(reinterpret_cast<const char*>(entries.data()), entries.size() * sizeof(HistoryEntry));
    return file;
}

// Arming 0x101, disarming 0x102, every other code ordinary.
inline FilterKnowledge testKnowledge() {
    FilterKnowledge k;
    k.eventKind = [](int code) { return code == 0x101 ? -1 : code == 0x102 ? -2 : 0; };
    return k;
}

} // namespace k4::test
