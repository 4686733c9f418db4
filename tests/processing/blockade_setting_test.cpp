#include "processing/blockade_setting.h"

#include "processing/block_lst.h"
#include "processing/scheduler.h"
#include "processing/scheduler_entry.h"
#include "support/history_rig.h"
#include "support/manual_clock.h"
#include "support/scripted_operator_ui.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

namespace k4 {
namespace {

class SettingBlockade : public ::testing::Test, protected test::HistoryRig {
protected:
    Scheduler scheduler{DataDir(dir.path()), clock, messages, history};
    BlockLst blockades{DataDir(dir.path()), messages, history, scheduler};

    void SetUp() override {
        ASSERT_GE(history.OpenHistory("logf"), 0);
        ASSERT_EQ(blockades.load(), 0);
    }
    int set(int subscriber, int kind, std::optional<int> minutes = std::nullopt) {
        return setBlockade({subscriber, kind, minutes}, blockades, scheduler, messages);
    }
};

TEST_F(SettingBlockade, KindsTimesAndTheSubscriberWarning) {
    EXPECT_EQ(set(10, kBlockAlarms), 0);
    EXPECT_EQ(blockades.kindOf(10), kBlockAlarms);
    EXPECT_TRUE(ui.boxes.empty()) << "only a subscriber blockade asks";

    EXPECT_EQ(set(20, kBlockIncomplete, 15), 0);
    EXPECT_EQ(blockades.kindOf(20), kBlockIncomplete | kBlockTimed);
    EXPECT_TRUE(scheduler.exists(20, kSchedRemoveBlk, kTimedBlockadeEnd));

    ui.answers.push_back(BoxAnswer::No);
    EXPECT_EQ(set(30, kBlockSubscriber), -1);
    EXPECT_EQ(blockades.kindOf(30), 0);
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_NE(ui.boxes[0].text.find("nie będą nigdzie odnotowane!"), std::string::npos);
    ui.answers.push_back(BoxAnswer::Yes);
    EXPECT_EQ(set(30, kBlockSubscriber), 0);
    EXPECT_EQ(blockades.kindOf(30), kBlockSubscriber);
}

TEST_F(SettingBlockade, SecondBlockadeIsRefusedBeforeAnythingIsScheduled) {
    ASSERT_EQ(set(10, kBlockAlarms), 0);
    const int queued = scheduler.count();
    EXPECT_EQ(set(10, kBlockIncomplete, 30), -1);
    EXPECT_EQ(scheduler.count(), queued);
    EXPECT_FALSE(scheduler.exists(10, kSchedRemoveBlk, kTimedBlockadeEnd));
    EXPECT_EQ(blockades.kindOf(10), kBlockAlarms);
    ASSERT_FALSE(ui.boxes.empty());
    EXPECT_EQ(ui.boxes.back().text, " Abonent jest już zablokowany");
}

TEST_F(SettingBlockade, TimedBlockadeTheFullTableRefusedLeavesNoEndEntry) {
    for (int s = 1; s <= BlockLst::kRecords; ++s) ASSERT_EQ(set(s * 10, kBlockAlarms), 0);
    EXPECT_EQ(set(5, kBlockAlarms, 20), -1);
    EXPECT_FALSE(scheduler.exists(5, kSchedRemoveBlk, kTimedBlockadeEnd))
        << "a stray end entry would lift a blockade set for 5 later";
    EXPECT_EQ(ui.boxes.back().text, " Zapełniona tablica blokad");
}

} // namespace
} // namespace k4
