// Every line an entry can become is stored text: ASCII and the Polish letters
// of the Mazovia page, nothing else. A literal with a Polish letter that
// skipped the conversion shows up here as UTF-8 bytes, whichever kind it
// belongs to, so the whole table of kinds is swept rather than sampled.
#include "processing/event_text.h"

#include "database/stamp.h"
#include "database/text_edge.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <set>
#include <string>

namespace k4 {
namespace {

// The eighteen Polish letters of the Mazovia page.
const std::set<uint8_t> kMazoviaLetters = {0x8F, 0x95, 0x90, 0x9C, 0xA5, 0xA3, 0x98, 0xA0, 0xA1,
                                           0x86, 0x8D, 0x91, 0x92, 0xA4, 0xA2, 0x9E, 0xA6, 0xA7};

// The first byte that is neither ASCII nor a Mazovia letter, or -1.
int strayByte(const std::string& line) {
    for (size_t i = 0; i < line.size(); ++i) {
        const auto b = static_cast<uint8_t>(line[i]);
        if (b >= 0x80 && !kMazoviaLetters.count(b)) return static_cast<int>(i);
    }
    return -1;
}

std::string hexDump(const std::string& line) {
    std::string out;
    char byte[4];
    for (unsigned char c : line) {
        std::snprintf(byte, sizeof byte, "%02X ", c);
        out += byte;
    }
    return out;
}

// Names borrowed from other tables, with Polish letters as they are stored.
struct PolishNames final : OperatorNames, OrderNames {
    std::optional<std::string> surnameOf(int) override { return mz("Żółkiewski"); }
    std::string orderName(int) override { return mz("Włącz syrenę"); }
};

// The field values each kind is formatted with: enough to reach every branch
// of every kind's text (zero and non-zero values, each detail and code2 the
// texts tell apart, both number forms). A few texts print a field as a
// character (the file letter of a record-file fault); those fields hold
// ASCII here, as they do when the station writes them.
struct Fields {
    int value, detail, code, extra, code2, sector;
    uint8_t flags;
};
const Fields kVariants[] = {
    {0, 0, 0, 0, 0, 0, 0},
    {7, 1, 5, 0x21, 1, 5, 0},
    {0xAAAA, 2, 0x130, 0x52, 2, 0x130, 0},
    {1444, 3, 0xF41, 0x60, 3, 4095, HistoryEntry::kEntryHexNumber},
    {-1, 0, 0x77A, 0x12, 0x80, 1000, HistoryEntry::kEntryHexNumber},
};

TEST(EventTextSweep, EveryKindOfEntryIsAsciiOrMazoviaLetters) {
    EventTable events;
    events.setRecords({});
    // A table as full as it holds, with Polish letters in both names as a
    // stored table has them; the codes between stay undefined.
    for (int code = kFirstEventCode; code <= kLastEventCode; code += 5)
        ASSERT_EQ(events.putEvent(makeEventDef(code, "POŻAR", "Pożar - strefa źródła ciepła", 4), code), 0);
    PathTypeTable pathTypes;
    PolishNames names;
    EventFormatter formatter(events, pathTypes, &names, &names);
    LocalDateTime t;
    t.year = 2026;
    t.month = 12;
    t.day = 10;
    t.hour = 21;
    const Stamp when = StampFromLocal(t);

    for (int kind = 0; kind < 4096; ++kind) {
        for (const Fields& f : kVariants) {
            // The system entry of this kind.
            HistoryEntry system = systemEntry(kind, f.value, f.detail, f.code, f.extra, true);
            system.time = when;
            system.flags = static_cast<uint8_t>(system.flags | f.flags);
            system.code2 = static_cast<uint16_t>(system.code2 | f.code2);
            // A report entry of this code, once plainly and once with every mark.
            HistoryEntry report{};
            report.time = when;
            report.subscriber = static_cast<int16_t>(f.value);
            report.subsystem = static_cast<uint8_t>(f.detail);
            report.sector = static_cast<uint16_t>(f.sector);
            report.kind = static_cast<uint16_t>(kind | ((f.extra >> 4) << 12));
            report.code2 = static_cast<uint16_t>(kind | ((f.extra & 0x0F) << 12));
            report.flags = static_cast<uint8_t>(f.flags & ~HistoryEntry::kEntrySystem);
            HistoryEntry marked = report;
            marked.flags = static_cast<uint8_t>(marked.flags | HistoryEntry::kEntryBlocked);
            marked.sector = static_cast<uint16_t>(marked.sector | (0x1000 << (kind % 4)));

            for (const HistoryEntry& entry : {system, report, marked}) {
                const std::string line = formatter.formatEvent(entry);
                const int at = strayByte(line);
                ASSERT_EQ(at, -1) << "kind " << kind << (entry.isSystem() ? " (system)" : " (report)") << ": byte "
                                  << at << " of " << hexDump(line) << "\n  shown: " << Utf8FromMazovia(line);
            }
        }
    }
}

} // namespace
} // namespace k4
