#include "history/plog_list.h"

#include "history_entries.h"
#include "history_fixture.h"

#include <gtest/gtest.h>

#include <unistd.h>
#include <vector>

namespace k4 {
namespace {

using test::reportEntry;
using test::systemAt;

// A history whose entries carry their file index as their time, so a line
// of the list tells which entry it is.
struct ListedHistory {
    test::HistoryStation station;
    File file;
    std::vector<HistoryEntry> entries;

    explicit ListedHistory(std::vector<HistoryEntry> all) : entries(std::move(all)) {
        station.dir.write("logf", test::historyFileOf(entries));
        EXPECT_TRUE(file.open(station.dir.file("logf"), File::Mode::ReadOnly));
    }
    // The matches the list must show, found the plain way.
    std::vector<int64_t> expected(HistFilter filter) const {
        std::vector<int64_t> out;
        const FilterKnowledge k = test::testKnowledge();
        filter.clearRunningState();
        for (size_t i = 0; i < entries.size(); ++i)
            if (matchesFilter(filter, entries[i], k)) out.push_back(static_cast<int64_t>(i));
        if (out.size() > PLogList::kListLimit) out.erase(out.begin(), out.end() - PLogList::kListLimit);
        return out;
    }
};

constexpr Stamp kBase = 1'000'000'000;

int64_t indexOf(const HistoryEntry& e) { return e.time - kBase; }

// Every third entry is subscriber 7's: more than the list may hold.
std::vector<HistoryEntry> denseHistory(int n) {
    std::vector<HistoryEntry> all;
    for (int i = 0; i < n; ++i) all.push_back(reportEntry(kBase + i, i % 3 == 0 ? 7 : 8, 0x130));
    return all;
}

// Subscriber 7 once in every 2500 entries.
std::vector<HistoryEntry> sparseHistory(int n) {
    std::vector<HistoryEntry> all;
    for (int i = 0; i < n; ++i) all.push_back(reportEntry(kBase + i, i % 2500 == 17 ? 7 : 8, 0x130));
    return all;
}

void expectWalk(PLogList& list, const std::vector<int64_t>& expected, const std::vector<int>& order) {
    for (int index : order) {
        const auto e = list.EntryAt(index);
        ASSERT_TRUE(e.has_value()) << "index " << index;
        ASSERT_EQ(indexOf(*e), expected[static_cast<size_t>(index)]) << "index " << index;
    }
}

std::vector<int> forwards(int n) {
    std::vector<int> v;
    for (int i = 0; i < n; ++i) v.push_back(i);
    return v;
}
std::vector<int> backwards(int from, int to) {
    std::vector<int> v;
    for (int i = from; i >= to; --i) v.push_back(i);
    return v;
}

TEST(PLogList, PagesForwardsAndBackwardsOverMatchesFarApart) {
    ListedHistory h(sparseHistory(600'000));
    PLogList list(h.file, h.station.messages, test::testKnowledge());
    list.filter().subscriber = 7;
    const auto expected = h.expected(list.filter());
    ASSERT_EQ(list.Recount(), static_cast<int>(expected.size()));
    ASSERT_EQ(expected.size(), 240u);
    const int n = static_cast<int>(expected.size());
    expectWalk(list, expected, forwards(n));
    expectWalk(list, expected, backwards(n - 1, 0));
    // Jumps: to the end, back to the start, into the middle and around it.
    expectWalk(list, expected, {n - 1, 0, 120, 119, 180, 60, 61, 200, 5});
    EXPECT_TRUE(h.station.ui.boxes.empty());
}

TEST(PLogList, MoreMatchesThanTheListHoldsShowTheNewest) {
    ListedHistory h(denseHistory(60'000));
    PLogList list(h.file, h.station.messages, test::testKnowledge());
    list.filter().subscriber = 7;
    const auto expected = h.expected(list.filter());
    ASSERT_EQ(list.Recount(), PLogList::kListLimit);
    EXPECT_EQ(list.skipped(), 20'000 - PLogList::kListLimit);
    ASSERT_EQ(indexOf(*list.EntryAt(0)), expected[0]);
    ASSERT_EQ(indexOf(*list.EntryAt(PLogList::kListLimit - 1)), 59'997);
    // Backwards through the page boundary and over an anchor.
    expectWalk(list, expected, backwards(PLogList::kListLimit - 1, PLogList::kListLimit - 400));
    expectWalk(list, expected, {0, 1, 2, 100, 99, 98, 12'000, 11'999, 16'383});
    EXPECT_FALSE(list.EntryAt(PLogList::kListLimit).has_value());
    EXPECT_FALSE(list.EntryAt(-1).has_value());
    EXPECT_TRUE(h.station.ui.boxes.empty());
}

// The operator's shift is running state: a page filled from an anchor must
// know whether that anchor lay inside a shift.
TEST(PLogList, RescansKeepTheOperatorShift) {
    std::vector<HistoryEntry> all;
    for (int i = 0; i < 200'000; ++i) {
        if (i % 5000 == 0) all.push_back(systemAt(kBase + i, 6, (i / 5000) % 2 == 0 ? 2 : 3));
        else all.push_back(reportEntry(kBase + i, 8, 0x130));
    }
    ListedHistory h(std::move(all));
    PLogList list(h.file, h.station.messages, test::testKnowledge());
    list.filter().operatorNumber = 2;
    const auto expected = h.expected(list.filter());
    ASSERT_EQ(list.Recount(), PLogList::kListLimit);
    expectWalk(list, expected, {0, 16'383, 8'000, 7'999, 7'950, 3, 2, 1, 0, 16'000});
    EXPECT_TRUE(h.station.ui.boxes.empty());
}

TEST(PLogList, DefaultFilterListsAllButWorkStartAndEnd) {
    ListedHistory h({systemAt(kBase, 1, 0), reportEntry(kBase + 1, 5, 0x130), systemAt(kBase + 2, 24, 5),
                     systemAt(kBase + 3, 2, 0)});
    PLogList list(h.file, h.station.messages, test::testKnowledge());
    ASSERT_EQ(list.Recount(), 2);
    EXPECT_EQ(indexOf(*list.EntryAt(0)), 1);
    EXPECT_EQ(indexOf(*list.EntryAt(1)), 2);
}

TEST(PLogList, ReadErrorLeavesAnEmptyListAndSaysSo) {
    ListedHistory h(denseHistory(3000));
    PLogList list(h.file, h.station.messages, test::testKnowledge());
    list.filter().subscriber = 7;
    ASSERT_EQ(list.Recount(), 1000);
    // The file is cut short under the list (a damaged disk): the next page
    // cannot be read.
    ASSERT_EQ(::truncate(h.station.dir.file("logf").c_str(), static_cast<off_t>(entryOffset(10))), 0);
    EXPECT_TRUE(list.EntryAt(999).has_value()); // the newest page was kept by the count
    EXPECT_FALSE(list.EntryAt(500).has_value());
    EXPECT_EQ(list.count(), 0);
    ASSERT_FALSE(h.station.ui.boxes.empty());
    EXPECT_TRUE(test::contains(h.station.ui.boxes[0].text, "odczytu pliku historii zdarzeń"));
}

} // namespace
} // namespace k4
