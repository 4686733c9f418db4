#include "history/history_upgrade.h"

#include "history/history_log.h"
#include "history_fixture.h"

#include <gtest/gtest.h>

namespace k4 {
namespace {

using test::contains;
using test::HistoryStation;

// A previous-generation entry: time, the 32-bit word whose low half is the
// code C (system marker in the low nibble of its high byte), subscriber,
// then at 12.. subsystem, sector and the byte B; 10 and 11 are the word's
// far half in entries that carry a long value.
std::string oldEntry(int32_t time, uint16_t c, int16_t subscriber, uint8_t subsystem, uint8_t sector, uint8_t b,
                     uint16_t high = 0) {
    std::string e(16, '\0');
    auto put = [&](size_t at, uint32_t v, int n) {
        for (int i = 0; i < n; ++i) e[at + i] = static_cast<char>((v >> (8 * i)) & 0xFF);
    };
    put(0, static_cast<uint32_t>(time), 4);
    put(4, c, 2);
    put(8, static_cast<uint16_t>(subscriber), 2);
    put(10, high, 2);
    e[12] = static_cast<char>(subsystem);
    e[13] = static_cast<char>(sector);
    e[14] = static_cast<char>(b);
    return e;
}

std::string converted(const std::string& old) {
    uint8_t raw[kPreviousEntrySize];
    std::memcpy(raw, old.data(), sizeof raw);
    return test::bytesOf(convertPreviousEntry(raw));
}

TEST(PreviousGeneration, EntriesConvertByTheirCode) {
    struct Case {
        const char* what;
        std::string old;
        std::string expected; // bytes 4..13 of the new entry; the time is copied
    };
    const Case cases[] = {
        {"report, blocked in bit 14, B split over kind and code2",
         oldEntry(1, 0x4030, 1234, 3, 7, 0x52), std::string("\x02\xD2\x04\x03\x07\x00\x30\x50\x30\x20", 10)},
        {"report, sector 255 is no sector, unknown-event mask kept",
         oldEntry(1, 0x2045, 12, 255, 255, 0x00), std::string("\x00\x0C\x00\xFF\xFF\x2F\x45\x00\x45\x00", 10)},
        {"start of work: B is the release number",
         oldEntry(1, 0x0100, 0, 4, 2, 0x0D), std::string("\x01\x0D\x00\x04\x02\x00\x01\x00\x00\xD1", 10)},
        {"262: the subsystem moves to code2, no subsystem, no sector",
         oldEntry(1, 0x0106, 77, 9, 5, 0x00), std::string("\x01\x4D\x00\xFF\xFF\x0F\x07\x00\x09\x00", 10)},
        {"263 becomes kind 7 (start of alarm service)",
         oldEntry(1, 0x0107, 77, 9, 5, 0x00), std::string("\x01\x4D\x00\xFF\x05\x00\x07\x00\x09\x00", 10)},
        {"273: subsystem 0, the sector from the int16 at 12",
         oldEntry(1, 0x0111, 5, 0x34, 0x12, 0x00), std::string("\x01\x05\x00\x00\x34\x02\x12\x00\x11\x01", 10)},
        {"298: the long at 8 over bytes 5..8",
         oldEntry(1, 0x012A, 0x5678, 0, 0, 0x00, 0x1234), std::string("\x01\x78\x56\x34\x12\x00\x2B\x00\x2A\x01", 10)},
        {"a blocked system entry",
         oldEntry(1, 0x410B, 40, 0, 0, 0x00), std::string("\x03\x28\x00\x00\x00\x00\x0C\x00\x0B\x01", 10)},
    };
    for (const auto& c : cases) {
        const std::string got = converted(c.old);
        EXPECT_EQ(got.substr(0, 4), c.old.substr(0, 4)) << c.what;
        EXPECT_EQ(got.substr(4), c.expected) << c.what;
    }
}

TEST(PreviousGeneration, LogfOfNEntriesIsUpgradedAndKeptAsOld) {
    HistoryStation s;
    std::string old;
    for (int i = 0; i < 3; ++i) old += oldEntry(1000 + i, static_cast<uint16_t>(0x30 + i), static_cast<int16_t>(i), 1, 2, 0);
    s.dir.write("logf", old);
    ASSERT_EQ(s.log.OpenHistory("logf"), kHistoryUpgraded);
    ASSERT_EQ(s.ui.boxes.size(), 1u);
    EXPECT_TRUE(contains(s.boxText(0), "Konieczna jest konwersja historii. \nStara wersja zostanie zachowana jako logf.old"));
    EXPECT_EQ(s.dir.read("logf.old"), old);
    EXPECT_FALSE(fileExists(s.dir.file("logf.tmp")));

    const std::string file = s.dir.read("logf");
    ASSERT_EQ(file.size(), 10u + 14 * 3);
    EXPECT_EQ(file.substr(0, 10), test::kCurrentHeader);
    const auto entries = test::entriesOf(file);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(entries[i].time, 1000 + i);
        EXPECT_EQ(entries[i].kindCode(), 0x30 + i);
    }
    // The upgraded file is the history of the run.
    ASSERT_TRUE(s.log.isOpen());
    ASSERT_EQ(s.log.LogEvent(1, 13, 4, 2, ' '), 0);
    EXPECT_EQ(s.dir.read("logf").size(), 10u + 14 * 4);
    // A second start finds a current file.
    HistoryLog again(s.data, s.messages, s.clock, s.receptionSuspended);
    EXPECT_EQ(again.OpenHistory("logf"), kHistoryCurrent);
}

TEST(PreviousGeneration, ArchiveIsUpgradedBesideItselfAndClosed) {
    HistoryStation s;
    const std::string old = oldEntry(5, 0x31, 1, 1, 1, 0) + oldEntry(6, 0x32, 1, 1, 1, 0);
    s.dir.write("25_01.log", old);
    s.dir.write("25_01.old", "an earlier backup");
    ASSERT_EQ(s.log.OpenHistory(s.dir.file("25_01.log")), kHistoryUpgraded);
    EXPECT_FALSE(s.log.isOpen());
    EXPECT_EQ(s.dir.read("25_01.old"), old);
    EXPECT_EQ(s.dir.read("25_01.log").size(), 10u + 28);
}

// A station of the previous generation that died in the middle of a write
// left a part of an entry at the end: the whole entries are converted, the
// part is dropped with the notice a current file gets, and the old file is
// kept whole. The station starts.
TEST(PreviousGeneration, TornLastEntryIsDroppedAndTheRestConverted) {
    HistoryStation s;
    std::string old;
    for (int i = 0; i < 3; ++i) old += oldEntry(1000 + i, static_cast<uint16_t>(0x30 + i), static_cast<int16_t>(i), 1, 2, 0);
    old += oldEntry(2000, 0x40, 9, 1, 2, 0).substr(0, 7);
    s.dir.write("logf", old);
    ASSERT_EQ(s.log.OpenHistory("logf"), kHistoryUpgraded);
    ASSERT_EQ(s.ui.boxes.size(), 2u);
    EXPECT_TRUE(contains(s.boxText(0), "Konieczna jest konwersja historii."));
    EXPECT_EQ(s.boxText(1), " Niepełny ostatni wpis historii zdarzeń (7 B) został pominięty");
    EXPECT_EQ(s.dir.read("logf.old"), old);
    const std::string file = s.dir.read("logf");
    ASSERT_EQ(file.size(), 10u + 14 * 3);
    const auto entries = test::entriesOf(file);
    EXPECT_EQ(entries[2].time, 1002);
    EXPECT_EQ(entries[2].kindCode(), 0x32);
    EXPECT_TRUE(s.log.isOpen());
    EXPECT_EQ(s.log.LogEvent(1, 13, 4, 2, ' '), 0);

    // An archive of the previous generation the same way, and closed again.
    HistoryStation archive;
    archive.dir.write("24_11.log", oldEntry(5, 0x31, 1, 1, 1, 0) + std::string(15, '\x01'));
    ASSERT_EQ(archive.log.OpenHistory(archive.dir.file("24_11.log")), kHistoryUpgraded);
    EXPECT_FALSE(archive.log.isOpen());
    EXPECT_EQ(archive.dir.read("24_11.log").size(), 10u + 14);
    EXPECT_EQ(archive.boxText(1), " Niepełny ostatni wpis historii zdarzeń (15 B) został pominięty");
}

} // namespace
} // namespace k4
