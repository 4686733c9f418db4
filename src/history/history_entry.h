#pragma once
// One entry of the history: 14 bytes, the same in "logf" and in every monthly
// archive. A report entry and a system entry share the layout; the low bit of
// the flags tells them apart, and the field names of a system entry are the
// ones its writer passed (value, detail, code, extra).
#include "platform/clock.h"
#include "platform/little_endian.h"

#include <cstddef>
#include <cstdint>

namespace k4 {

struct HistoryEntry {
    Int32Le time;        // Stamp of the moment of writing
    uint8_t flags;       // see kEntry* below; high nibble the colour class of a report
    Int16Le subscriber;  // report: subscriber number; system entry: value
    uint8_t subsystem;   // report: subsystem (255 none); system entry: detail
    Uint16Le sector;     // bits 0-11 sector (code), bits 12-15 unknown-mask
    Uint16Le kind;       // bits 0-11 event code or system kind, bits 12-15 path type / extra high
    Uint16Le code2;      // bits 0-11 code as received, bits 12-15 base number / extra low

    int kindCode() const { return kind & 0x0FFF; }
    bool isSystem() const { return (flags & kEntrySystem) != 0; }

    static constexpr uint8_t kEntrySystem = 0x01;
    static constexpr uint8_t kEntryBlocked = 0x02;
    static constexpr uint8_t kEntryHexNumber = 0x04;
    static constexpr uint8_t kEntryLastReport = 0x08;
};

constexpr size_t kHistoryEntrySize = 14;
constexpr size_t kHistoryHeaderSize = 10;
constexpr uint8_t kHistoryHeaderByte = 0xFB;
static_assert(sizeof(HistoryEntry) == kHistoryEntrySize);
static_assert(offsetof(HistoryEntry, flags) == 4);
static_assert(offsetof(HistoryEntry, subscriber) == 5);
static_assert(offsetof(HistoryEntry, subsystem) == 7);
static_assert(offsetof(HistoryEntry, sector) == 8);
static_assert(offsetof(HistoryEntry, kind) == 10);
static_assert(offsetof(HistoryEntry, code2) == 12);

// Bits 12-15 of the sector word of a report entry.
enum : uint16_t {
    kUnknownSubscriberMask = 0x1000,
    kUnknownEventMask = 0x2000,
    kUnknownSubsystemMask = 0x4000,
    kUnknownSectorMask = 0x8000,
};

// The system entry LogEvent builds from its arguments. The extra byte is
// split over the two spare nibbles: its high nibble above the kind, its low
// nibble above code2.
HistoryEntry systemEntry(int kind, int value, int detail, int code, int extra, bool system);

// The number of whole entries in a history file of the given length; a torn
// last entry does not count.
inline int64_t wholeEntries(int64_t fileSize) {
    return fileSize <= static_cast<int64_t>(kHistoryHeaderSize)
               ? 0
               : (fileSize - static_cast<int64_t>(kHistoryHeaderSize)) / static_cast<int64_t>(kHistoryEntrySize);
}
inline int64_t entryOffset(int64_t index) {
    return static_cast<int64_t>(kHistoryHeaderSize) + index * static_cast<int64_t>(kHistoryEntrySize);
}

} // namespace k4
