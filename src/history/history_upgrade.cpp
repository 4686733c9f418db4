#include "history/history_upgrade.h"

#include <cstring>

namespace k4 {

namespace {
uint16_t u16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
uint32_t u32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
           (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}
} // namespace

HistoryEntry convertPreviousEntry(const uint8_t (&old)[kPreviousEntrySize]) {
    const uint32_t w = u32(old + 4);
    const unsigned c = w & 0xFFFF;
    const uint8_t subsystem = old[12];
    const uint8_t sector = old[13];
    const uint8_t b = old[14];

    HistoryEntry e{};
    e.time = static_cast<int32_t>(u32(old));
    e.flags = 0;
    e.subscriber = static_cast<int16_t>(u16(old + 8));
    e.subsystem = subsystem;
    e.sector = static_cast<uint16_t>((sector == 255 ? 0x0FFF : sector) | (w & 0xF000));
    e.code2 = static_cast<uint16_t>((c & 0x0FFF) | ((b & 0x0F) << 12));
    const uint16_t kindHigh = static_cast<uint16_t>((b >> 4) << 12);

    auto setCode2Low = [&](unsigned low) { e.code2 = static_cast<uint16_t>((e.code2 & 0xF000) | (low & 0x0FFF)); };
    auto setSectorLow = [&](unsigned low) { e.sector = static_cast<uint16_t>((e.sector & 0xF000) | (low & 0x0FFF)); };

    // The system marker sits in the low nibble of the code's high byte.
    if ((old[5] & 0x0F) != 0) {
        e.flags = HistoryEntry::kEntrySystem;
        e.kind = static_cast<uint16_t>(((c - 255) & 0x0FFF) | kindHigh);
        switch (c) {
        case 256:
        case 257:
            e.subscriber = static_cast<int16_t>(b);
            break;
        case 262:
            e.subsystem = 255;
            setSectorLow(0x0FFF);
            setCode2Low(subsystem);
            break;
        case 263:
            e.kind = static_cast<uint16_t>(7 | kindHigh);
            e.subsystem = 255;
            setCode2Low(subsystem);
            break;
        case 273:
        case 274:
            e.subsystem = 0;
            setSectorLow(u16(old + 12));
            break;
        case 298: {
            // A long value over the subscriber, the detail and the sector's low byte.
            auto* bytes = reinterpret_cast<uint8_t*>(&e);
            std::memcpy(bytes + 5, old + 8, 4);
            break;
        }
        default:
            break;
        }
    } else {
        e.kind = static_cast<uint16_t>((c & 0xFF) | kindHigh);
    }

    // The old files kept the blockade in bit 14 of the sector word, where the
    // unknown-subsystem mark lives now.
    if (e.sector & 0x4000) {
        e.sector = static_cast<uint16_t>(e.sector & ~0x4000);
        e.flags = static_cast<uint8_t>(e.flags | HistoryEntry::kEntryBlocked);
    }
    return e;
}

} // namespace k4
