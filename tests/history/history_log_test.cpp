#include "history/history_log.h"

#include "history_fixture.h"

#include <gtest/gtest.h>

namespace k4 {
namespace {

using test::HistoryStation;
using test::contains;

TEST(HistoryOpen, MissingOrEmptyLogfStartsWithTheHeaderAlone) {
    for (bool emptyFileThere : {false, true}) {
        HistoryStation s;
        if (emptyFileThere) s.dir.write("logf", "");
        EXPECT_EQ(s.log.OpenHistory("logf"), kHistoryCurrent);
        EXPECT_EQ(s.dir.read("logf"), test::kCurrentHeader);
        EXPECT_TRUE(s.log.isOpen());
        EXPECT_TRUE(s.ui.boxes.empty());
    }
}

TEST(HistoryOpen, TransitionalGenerationsAreRefusedAndLeftAlone) {
    for (char b : {'\xFF', '\xFE', '\xFD', '\xFC'}) {
        HistoryStation s;
        const std::string image = std::string(10, b) + std::string(28, '\x11');
        s.dir.write("logf", image);
        EXPECT_EQ(s.log.OpenHistory("logf"), kHistoryFailed);
        EXPECT_FALSE(s.log.isOpen());
        ASSERT_EQ(s.ui.boxes.size(), 1u);
        EXPECT_EQ(s.boxText(0), "Przejsciowa wersja historii - brak konwersji");
        EXPECT_EQ(s.dir.read("logf"), image);
    }
}

TEST(HistoryOpen, ShortHeaderIsAReadError) {
    HistoryStation s;
    s.dir.write("logf", std::string(7, '\xFB'));
    EXPECT_EQ(s.log.OpenHistory("logf"), kHistoryFailed);
    EXPECT_TRUE(contains(s.boxText(0), "odczytu historii")) << s.boxText(0);
    EXPECT_EQ(s.dir.read("logf"), std::string(7, '\xFB'));
}

TEST(HistoryOpen, TornLastEntryIsDroppedSoNewEntriesStayOnTheirBoundary) {
    HistoryStation s;
    HistoryEntry a = systemEntry(4, 0, 0, 0, 0, true);
    s.dir.write("logf", test::kCurrentHeader + test::bytesOf(a) + std::string(5, '\x77'));
    ASSERT_EQ(s.log.OpenHistory("logf"), kHistoryCurrent);
    EXPECT_TRUE(contains(s.boxText(0), "(5 B)")) << s.boxText(0);
    ASSERT_EQ(s.log.LogEvent(5), 0);
    const std::string file = s.dir.read("logf");
    ASSERT_EQ(file.size(), 10u + 2 * 14);
    EXPECT_EQ(test::entriesOf(file)[1].kindCode(), 5);
}

TEST(HistoryOpen, ArchiveNameNeedsAShortBaseBeforeItsDot) {
    HistoryStation s;
    s.dir.write("archiwum_maj.log", test::kCurrentHeader);
    s.dir.write("24_05_a.log", test::kCurrentHeader);
    EXPECT_EQ(s.log.OpenHistory("archiwum_maj.log"), kHistoryFailed);
    EXPECT_TRUE(contains(s.boxText(0), "archiwum_maj.log")) << s.boxText(0);
    EXPECT_EQ(s.log.OpenHistory("24_05_a.log"), kHistoryCurrent);
    EXPECT_FALSE(s.log.isOpen()) << "an archive is checked and closed again";
    EXPECT_EQ(s.log.OpenHistory("brak.log"), kHistoryFailed);
    EXPECT_TRUE(contains(s.boxText(1), "otwarcia historii")) << s.boxText(1);
}

TEST(LogEvent, SystemEntrySplitsTheExtraByteOverTheSpareNibbles) {
    HistoryStation s;
    ASSERT_EQ(s.log.OpenHistory("logf"), 0);
    test::setLocal(s.clock, 2026, 3, 14, 12, 30, 5);
    // Kind 18: period of a dial-up path changed from 300 to 600, extra 0x51.
    ASSERT_EQ(s.log.LogEvent(18, nullptr, 300, 0, 600, 0x51, 1), 0);
    ASSERT_EQ(s.log.LogEvent(0x123, nullptr, -2, 0xAB, 0xFFFF, 0x20, 1), 0);
    const std::string file = s.dir.read("logf");
    ASSERT_EQ(file.size(), 10u + 2 * 14);
    const Stamp t = test::localStamp(2026, 3, 14, 12, 30, 5);
    const std::string stamp{static_cast<char>(t & 0xFF), static_cast<char>((t >> 8) & 0xFF),
                            static_cast<char>((t >> 16) & 0xFF), static_cast<char>((t >> 24) & 0xFF)};
    EXPECT_EQ(file.substr(10, 14), stamp + std::string("\x01\x2C\x01\x00\x58\x02\x12\x50\x00\x10", 10));
    // 0x20: 2 above the kind, 0 above code2; the code keeps only 12 bits.
    EXPECT_EQ(file.substr(24, 14), stamp + std::string("\x01\xFE\xFF\xAB\xFF\x0F\x23\x21\x00\x00", 10));
}

TEST(LogEvent, PreparedEntryGetsOnlyItsKindAndTimeAndTheCallerSeesThem) {
    HistoryStation s;
    ASSERT_EQ(s.log.OpenHistory("logf"), 0);
    HistoryEntry e{};
    e.flags = 0xA4;
    e.subscriber = 1234;
    e.subsystem = 93;
    e.sector = 0x2FFF;
    e.kind = 0x5130; // path type 5 above a code the writer replaces
    e.code2 = 0x3130;
    ASSERT_EQ(s.log.LogEvent(0x602, e), 0);
    EXPECT_EQ(e.kind, 0x5602);
    EXPECT_EQ(e.time, nowStamp(s.clock));
    const auto written = test::entriesOf(s.dir.read("logf"));
    ASSERT_EQ(written.size(), 1u);
    EXPECT_EQ(test::bytesOf(written[0]), test::bytesOf(e));
}

struct RecordingPrinter final : EventLineFormatter, EventLineSink {
    std::vector<std::string> lines;
    std::string formatLine(const HistoryEntry& e) override { return "kind " + std::to_string(e.kindCode()); }
    void printEventLine(std::string_view line) override { lines.emplace_back(line); }
};

TEST(LogEvent, EveryWrittenEntryIsPrintedAsOneLineWithWindowsLineEnd) {
    HistoryStation s;
    RecordingPrinter printer;
    s.log.setEventPrinting(&printer, &printer);
    ASSERT_EQ(s.log.OpenHistory("logf"), 0);
    ASSERT_EQ(s.log.LogEvent(55, 2, 4, 'a'), 0);
    EXPECT_EQ(printer.lines, std::vector<std::string>{"kind 55\r\n"});
}

TEST(LogEvent, WithoutAHistoryTheEntryIsLostAndTheOperatorToldOnce) {
    HistoryStation s;
    int shownWhileUp = 0;
    s.ui.whileShown = [&](const BoxRequest&) { shownWhileUp += s.log.LogEvent(3) == -1; };
    EXPECT_EQ(s.log.LogEvent(3), -1);
    EXPECT_EQ(shownWhileUp, 1);
    ASSERT_EQ(s.ui.boxes.size(), 1u) << "the same error is not stacked while it is up";
    EXPECT_TRUE(contains(s.boxText(0), "zapisu historii zdarzeń")) << s.boxText(0);
}

} // namespace
} // namespace k4
