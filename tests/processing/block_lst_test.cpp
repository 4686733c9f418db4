#include "processing/block_lst.h"

#include "database/table.h"
#include "database/text_edge.h"
#include "processing/scheduler.h"

#include "../history/history_fixture.h"

#include <gtest/gtest.h>

#include <memory>
#include <utility>
#include <vector>

namespace k4 {
namespace {

using Records = std::vector<std::pair<int, int>>; // subscriber, kind

// "blokady" as the table engine keeps it: the 10-byte header (-1, -1,
// record size 3, 40 records), then 40 records of int16 subscriber and kind.
std::string tableBytes(const Records& records) {
    std::string bytes = {'\xFF', '\xFF', '\xFF', '\xFF', '\xFF', '\xFF', 3, 0, 40, 0};
    for (const auto& r : records) {
        bytes += static_cast<char>(r.first & 0xFF);
        bytes += static_cast<char>((r.first >> 8) & 0xFF);
        bytes += static_cast<char>(r.second);
    }
    bytes.resize(kTableHeaderSize + 40 * 3, '\0');
    return bytes;
}

struct Lines final : BlockListObserver {
    std::vector<std::string> events;
    void blockadesLoaded() override { events.push_back("loaded"); }
    void blockadeAdded(int index) override { events.push_back("added " + std::to_string(index)); }
    void blockadeRemoved(int index) override { events.push_back("removed " + std::to_string(index)); }
};

struct BlockLstTest : test::HistoryStation, ::testing::Test {
    Scheduler scheduler{data, clock, messages, log};
    Lines lines;
    std::unique_ptr<BlockLst> blockades;

    BlockLstTest() { EXPECT_EQ(log.OpenHistory("logf"), kHistoryCurrent); }
    // The table as the station builds it at start-up, over what is on disk.
    int start() {
        blockades = std::make_unique<BlockLst>(data, messages, log, scheduler);
        blockades->setObserver(&lines);
        return blockades->load();
    }
    Records records() const {
        Records out;
        for (int i = 0; i < blockades->count(); ++i) out.emplace_back((*blockades)[i].subscriber, (*blockades)[i].kind);
        return out;
    }
    // (kind, value) of the history's system entries.
    std::vector<std::pair<int, int>> logged() const {
        std::vector<std::pair<int, int>> out;
        for (const HistoryEntry& e : test::entriesOf(dir.read("logf"))) {
            EXPECT_TRUE(e.isSystem());
            out.emplace_back(e.kindCode(), e.subscriber);
        }
        return out;
    }
};

TEST_F(BlockLstTest, LoadEndsTimedBlockadesWhoseEndEntryIsGone) {
    dir.write("blokady", tableBytes({{100, 10}, {200, 0x1B}, {300, 0x1C}, {400, 0x1A}}));
    scheduler.schedule(600, 200, kSchedRemoveBlk, kTimedBlockadeEnd);
    scheduler.schedule(600, 400, kSchedRemoveBlk, 2); // the path probing's entry is no blockade end

    ASSERT_EQ(start(), 0);
    EXPECT_EQ(records(), (Records{{100, 10}, {200, 0x1B}}));
    EXPECT_EQ(dir.read("blokady"), tableBytes({{100, 10}, {200, 0x1B}}));
    EXPECT_EQ(logged(), (std::vector<std::pair<int, int>>{{kHistoryUnblockedIncomplete, 400},
                                                          {kHistoryUnblockedAlarms, 300}}));
    EXPECT_EQ(lines.events, (std::vector<std::string>{"loaded", "removed 3", "removed 2"}));
    EXPECT_EQ(blockades->lineOf(0), mz("Zablokowano niepełne meld. 0100"));
    EXPECT_EQ(blockades->lineOf(1), mz("Zablokowano abonenta 0200   (czasowo)"));
    EXPECT_TRUE(scheduler.exists(200, kSchedRemoveBlk, kTimedBlockadeEnd));
    EXPECT_TRUE(scheduler.exists(400, kSchedRemoveBlk, 2));
}

TEST_F(BlockLstTest, KindOfScansUpToTheFirstEmptyRecord) {
    dir.write("blokady", tableBytes({{0, 11}, {100, 0x1C}, {0, 0}, {300, 10}}));
    scheduler.schedule(600, 100, kSchedRemoveBlk, kTimedBlockadeEnd);
    ASSERT_EQ(start(), 0);
    EXPECT_EQ(blockades->count(), 2);
    const std::pair<int, int> cases[] = {{0, 11}, {100, 0x1C}, {300, 0}, {5, 0}};
    for (const auto& c : cases) EXPECT_EQ(blockades->kindOf(c.first), c.second) << c.first;
    EXPECT_EQ(blockades->lineOf(1), mz("Zablokowano alarmy   0100   (czasowo)"));
}

TEST_F(BlockLstTest, AddKeepsTheTableSortedLogsAndSavesIt) {
    ASSERT_EQ(start(), 0);
    EXPECT_EQ(dir.read("blokady"), tableBytes({})) << "a missing table is created empty";
    EXPECT_EQ(blockades->add(500, kBlockAlarms), 0);
    EXPECT_EQ(blockades->add(100, kBlockIncomplete), 0);
    EXPECT_EQ(blockades->add(300, kBlockSubscriber | kBlockTimed), 0);
    EXPECT_EQ(records(), (Records{{100, 10}, {300, 0x1B}, {500, 12}}));
    EXPECT_EQ(dir.read("blokady"), tableBytes({{100, 10}, {300, 0x1B}, {500, 12}}));
    EXPECT_EQ(logged(), (std::vector<std::pair<int, int>>{
                            {kHistoryBlockedAlarms, 500}, {kHistoryBlockedIncomplete, 100},
                            {kHistoryBlockedSubscriber, 300}}));
    EXPECT_EQ(lines.events, (std::vector<std::string>{"loaded", "added 0", "added 0", "added 1"}));

    // Refusals change nothing: a second record, a kind that is none.
    const std::string before = dir.read("blokady");
    EXPECT_EQ(blockades->add(300, kBlockIncomplete), -1);
    EXPECT_EQ(blockades->add(600, 13), -1);
    EXPECT_EQ(blockades->add(600, 0), -1);
    EXPECT_EQ(dir.read("blokady"), before);
    EXPECT_EQ(logged().size(), 3u);
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].text, " Abonent jest już zablokowany");
}

TEST_F(BlockLstTest, FullTableTakesNoMore) {
    ASSERT_EQ(start(), 0);
    for (int i = 0; i < BlockLst::kRecords; ++i) ASSERT_EQ(blockades->add(1000 + i, kBlockAlarms), 0);
    const std::string full = dir.read("blokady");
    EXPECT_EQ(blockades->add(5, kBlockAlarms), -1);
    EXPECT_EQ(dir.read("blokady"), full);
    EXPECT_EQ(blockades->count(), BlockLst::kRecords);
    EXPECT_EQ(blockades->kindOf(5), 0);
    EXPECT_EQ(logged().size(), static_cast<size_t>(BlockLst::kRecords));
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].text, " Zapełniona tablica blokad");
}

TEST_F(BlockLstTest, RemoveAtCancelsTheEndEntryLogsAndClosesTheGap) {
    ASSERT_EQ(start(), 0);
    scheduler.schedule(600, 200, kSchedRemoveBlk, kTimedBlockadeEnd);
    blockades->add(100, kBlockIncomplete);
    blockades->add(200, kBlockAlarms | kBlockTimed);
    blockades->add(300, kBlockSubscriber);
    const size_t added = logged().size();

    blockades->removeAt(1);
    EXPECT_FALSE(scheduler.exists(200, kSchedRemoveBlk, kTimedBlockadeEnd));
    EXPECT_EQ(dir.read("blokady"), tableBytes({{100, 10}, {300, 11}}));
    blockades->removeAt(2);
    blockades->removeAt(-1);
    EXPECT_EQ(records(), (Records{{100, 10}, {300, 11}})) << "a position outside the table does nothing";
    blockades->removeAt(1);
    blockades->removeAt(0);
    EXPECT_EQ(dir.read("blokady"), tableBytes({}));

    auto removals = logged();
    removals.erase(removals.begin(), removals.begin() + static_cast<std::ptrdiff_t>(added));
    EXPECT_EQ(removals, (std::vector<std::pair<int, int>>{{kHistoryUnblockedAlarms, 200},
                                                          {kHistoryUnblockedSubscriber, 300},
                                                          {kHistoryUnblockedIncomplete, 100}}));
    EXPECT_EQ(lines.events.back(), "removed 0");
}

TEST_F(BlockLstTest, SchedulerEndsTimedBlockadesAndPassesOtherEndsOn) {
    ASSERT_EQ(start(), 0);
    std::vector<std::pair<int, int>> others;
    blockades->setOtherEndHandler([&](uint16_t key, uint8_t arg) { others.emplace_back(key, arg); });

    scheduler.schedule(30, 7, kSchedRemoveBlk, 2);
    scheduler.schedule(60, 300, kSchedRemoveBlk, kTimedBlockadeEnd);
    blockades->add(300, kBlockAlarms | kBlockTimed);
    // An end entry left behind by a timed blockade that never made it into
    // the table must not lift the continuous one set since.
    scheduler.schedule(90, 400, kSchedRemoveBlk, kTimedBlockadeEnd);
    blockades->add(400, kBlockSubscriber);

    clock.advanceSeconds(31);
    scheduler.poll();
    EXPECT_EQ(others, (std::vector<std::pair<int, int>>{{7, 2}}));
    EXPECT_EQ(blockades->count(), 2);

    clock.advanceSeconds(30);
    scheduler.poll();
    EXPECT_EQ(records(), (Records{{400, 11}}));
    EXPECT_EQ(logged().back(), std::make_pair(static_cast<int>(kHistoryUnblockedAlarms), 300));

    clock.advanceSeconds(30);
    scheduler.poll();
    EXPECT_EQ(records(), (Records{{400, 11}}));
    EXPECT_EQ(dir.read("blokady"), tableBytes({{400, 11}}));
    EXPECT_EQ(scheduler.count(), 0);
}

} // namespace
} // namespace k4
