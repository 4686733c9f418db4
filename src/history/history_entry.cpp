#include "history/history_entry.h"

namespace k4 {

HistoryEntry systemEntry(int kind, int value, int detail, int code, int extra, bool system) {
    HistoryEntry e{};
    e.time = 0;
    e.flags = system ? HistoryEntry::kEntrySystem : 0;
    e.subscriber = static_cast<int16_t>(value);
    e.subsystem = static_cast<uint8_t>(detail);
    e.sector = static_cast<uint16_t>(code & 0x0FFF);
    const unsigned x = static_cast<unsigned>(extra) & 0xFF;
    e.kind = static_cast<uint16_t>((kind & 0x0FFF) | ((x >> 4) << 12));
    e.code2 = static_cast<uint16_t>((x & 0x0F) << 12);
    return e;
}

} // namespace k4
