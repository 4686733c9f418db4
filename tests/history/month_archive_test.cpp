#include "history/history_log.h"
#include "history/link_status.h"
#include "history/month_rollover.h"

#include "history_fixture.h"

#include <gtest/gtest.h>

namespace k4 {
namespace {

using test::contains;
using test::HistoryStation;
using test::setLocal;

// Writes one entry whose value tells it apart, at the given local moment.
void logAt(HistoryStation& s, int value, int y, int mo, int d, int h, int mi, int sec) {
    setLocal(s.clock, y, mo, d, h, mi, sec);
    ASSERT_EQ(s.log.LogEvent(24, value), 0);
}

std::vector<int> valuesIn(const std::string& file) {
    std::vector<int> values;
    for (const auto& e : test::entriesOf(file)) values.push_back(e.subscriber);
    return values;
}

TEST(ExtractMonth, LastSecondOfAMonthIsItsOwnAndMidnightTheNext) {
    HistoryStation s;
    ASSERT_EQ(s.log.OpenHistory("logf"), 0);
    logAt(s, 1, 2026, 1, 31, 23, 59, 59);
    logAt(s, 2, 2026, 2, 1, 0, 0, 0);
    logAt(s, 3, 2026, 2, 28, 23, 59, 59);
    logAt(s, 4, 2026, 3, 1, 0, 0, 0);
    logAt(s, 5, 2025, 12, 31, 23, 59, 59); // a clock set back: still sorted by its time
    const std::string before = s.dir.read("logf");

    ASSERT_EQ(s.log.ExtractMonth(2026, 2, 0), 0);
    const std::string archive = s.dir.read("26_02.log");
    EXPECT_EQ(archive.substr(0, 10), test::kCurrentHeader);
    EXPECT_EQ(valuesIn(archive), (std::vector<int>{2, 3}));
    ASSERT_EQ(s.log.ExtractMonth(2025, 12, 0), 0);
    EXPECT_EQ(valuesIn(s.dir.read("25_12.log")), std::vector<int>{5});
    EXPECT_EQ(s.dir.read("logf"), before) << "the history itself is never changed";
    EXPECT_TRUE(s.ui.boxes.empty());
}

TEST(ExtractMonth, OperatorSavesGetTheNextFreeLetterAndTheNameIsShown) {
    HistoryStation s;
    ASSERT_EQ(s.log.OpenHistory("logf"), 0);
    setLocal(s.clock, 2026, 5, 10, 8);
    ASSERT_EQ(s.log.LogEvent(24, 7), 0);
    for (const char* name : {"26_05_a.log", "26_05_b.log", "26_05_c.log"}) {
        ASSERT_EQ(s.log.ExtractMonth(2026, 5, kExtractOperatorCopy | kExtractConfirmName), 0);
        EXPECT_EQ(valuesIn(s.dir.read(name)), std::vector<int>{7});
        EXPECT_EQ(s.ui.boxes.back().text,
                  std::string(" Historia zdarzeń z bieżącego miesiąca została zapisana pod nazwą: ") + name);
    }
}

TEST(ExtractMonth, AfterTheZLetterNothingIsWritten) {
    HistoryStation s;
    ASSERT_EQ(s.log.OpenHistory("logf"), 0);
    for (char c = 'a'; c <= 'z'; ++c) s.dir.write(std::string("26_05_") + c + ".log", "x");
    EXPECT_EQ(s.log.ExtractMonth(2026, 5, kExtractOperatorCopy), -1);
    EXPECT_TRUE(contains(s.boxText(0), "Błąd zapisu archiwalnej historii zdarzeń (przekroczona liczba plików)"));
    EXPECT_EQ(s.dir.read("26_05_z.log"), "x");
}

TEST(ExtractMonth, DumpDirectoryGetsLogfOfTheMonth) {
    HistoryStation s;
    ASSERT_EQ(s.log.OpenHistory("logf"), 0);
    logAt(s, 9, 2026, 5, 3, 1, 0, 0);
    test::TempDir dump;
    ASSERT_EQ(s.log.ExtractMonth(2026, 5, kExtractFixedLogf, dump.path()), 0);
    EXPECT_EQ(valuesIn(dump.read("logf")), std::vector<int>{9});
    ASSERT_EQ(s.log.ExtractMonth(2026, 5, 0, dump.path()), 0);
    EXPECT_EQ(valuesIn(dump.read("26_05.log")), std::vector<int>{9});
}

TEST(ExtractMonth, ReceptionIsSuspendedWhileCopyingAndEntriesWrittenMeanwhileAreTaken) {
    HistoryStation s;
    ASSERT_EQ(s.log.OpenHistory("logf"), 0);
    setLocal(s.clock, 2026, 5, 10, 8);
    // 2500 entries: the inputs are served after each of the two full blocks.
    std::string image = test::kCurrentHeader;
    HistoryEntry e = systemEntry(24, 1, 0, 0, 0, true);
    e.time = nowStamp(s.clock);
    for (int i = 0; i < 2500; ++i) image += test::bytesOf(e);
    s.log.CloseHistory();
    s.dir.write("logf", image);
    ASSERT_EQ(s.log.OpenHistory("logf"), 0);

    std::vector<bool> suspendedAtPoll;
    s.messages.setInputPoll([&] {
        suspendedAtPoll.push_back(s.receptionSuspended);
        s.log.LogEvent(24, 2); // a report that came in while the inputs were served
    });
    s.receptionSuspended = false;
    ASSERT_EQ(s.log.ExtractMonth(2026, 5, 0), 0);
    EXPECT_EQ(suspendedAtPoll, (std::vector<bool>{true, true}));
    EXPECT_FALSE(s.receptionSuspended);
    const auto values = valuesIn(s.dir.read("26_05.log"));
    ASSERT_EQ(values.size(), 2502u);
    EXPECT_EQ(values.back(), 2);

    // Inside a backup's own suspension the flag stays up afterwards.
    s.messages.setInputPoll({});
    s.receptionSuspended = true;
    ASSERT_EQ(s.log.ExtractMonth(2026, 5, 0), 0);
    EXPECT_TRUE(s.receptionSuspended);
}

TEST(MonthRollover, FirstTickOfJanuaryArchivesDecemberOfThePreviousYear) {
    HistoryStation s;
    LinkStatusFile link(s.data, s.messages, s.clock);
    MonthRollover rollover(s.clock, s.log, link);
    ASSERT_EQ(s.log.OpenHistory("logf"), 0);

    logAt(s, 1, 2025, 12, 31, 23, 59, 58);
    rollover.onTimerTick();
    s.dir.write("link.txt", "grudzien\n");
    logAt(s, 2, 2025, 12, 31, 23, 59, 59);
    rollover.onTimerTick();
    EXPECT_FALSE(fileExists(s.dir.file("25_12.log")));

    logAt(s, 3, 2026, 1, 1, 0, 0, 0);
    rollover.onTimerTick();
    EXPECT_EQ(valuesIn(s.dir.read("25_12.log")), (std::vector<int>{1, 2}));
    EXPECT_EQ(s.dir.read("link_25_12.txt"), "grudzien\n");
    EXPECT_FALSE(fileExists(s.dir.file("link.txt")));

    // Further ticks of January do nothing more.
    s.clock.advanceSeconds(3600);
    rollover.onTimerTick();
    EXPECT_FALSE(fileExists(s.dir.file("26_01.log")));
    EXPECT_TRUE(s.ui.boxes.empty());
}

TEST(LinkStatus, LineCarriesTheQualityValuesInTheirColumns) {
    LocalDateTime t;
    t.year = 2026;
    t.month = 5;
    t.day = 7;
    t.hour = 9;
    t.minute = 3;
    t.second = 1;
    LinkStatusRecord r;
    r.subscriber = 42;
    r.subsystem = 1;
    r.code = 0x130;
    r.sector = 5;
    r.quality1 = 0xA;
    r.quality2 = 3;
    r.quality3 = 127;
    r.quality4 = 45;
    EXPECT_EQ(LinkStatusFile::statusLine(t, 0x90, r),
              "26.05.07\t 09:03:01\t 0042\t 01.\t 130.\t 005.\t A\t 3\t 012,7\t 450\t p90");
    r.hexNumber = true;
    r.subscriber = 0xBEEF;
    EXPECT_TRUE(contains(LinkStatusFile::statusLine(t, 0x90, r), "\t BEEF\t "));
}

TEST(LinkStatus, AppendsOnlyMessagesWithQualityValues) {
    HistoryStation s;
    LinkStatusFile link(s.data, s.messages, s.clock);
    LinkStatusRecord none;
    link.LinkStatus(0x80, none);
    EXPECT_FALSE(fileExists(link.path()));
    LinkStatusRecord r;
    r.quality1 = 1;
    link.LinkStatus(0x80, r);
    link.LinkStatus(0x80, r);
    const std::string text = s.dir.read("link.txt");
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 2);
}

TEST(LinkStatus, ExistingMonthFileKeepsLinkTxtGrowing) {
    HistoryStation s;
    LinkStatusFile link(s.data, s.messages, s.clock);
    s.dir.write("link_26_04.txt", "kwiecien\n");
    s.dir.write("link.txt", "maj\n");
    EXPECT_EQ(link.RollLinkStatus(2026, 4), -1);
    ASSERT_EQ(s.ui.boxes.size(), 1u);
    EXPECT_EQ(s.boxText(0), " Podany plik statusu istnieje");
    EXPECT_EQ(s.dir.read("link.txt"), "maj\n");
    EXPECT_EQ(s.dir.read("link_26_04.txt"), "kwiecien\n");
    EXPECT_EQ(link.RollLinkStatus(2026, 3), 0);
    EXPECT_EQ(s.dir.read("link_26_03.txt"), "maj\n");
    EXPECT_EQ(link.RollLinkStatus(2026, 2), 0) << "no link.txt: nothing to do";
}

} // namespace
} // namespace k4
