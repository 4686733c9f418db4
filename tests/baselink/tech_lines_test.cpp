#include "baselink/tech_lines.h"

#include "baselink/trace_ring.h"
#include "history/history_log.h"
#include "processing/scheduler.h"
#include "processing/scheduler_entry.h"
#include "support/manual_clock.h"
#include "support/scripted_operator_ui.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

namespace k4 {
namespace {

TEST(TechLines, QueueEntriesWithTheirDueMomentsAndTheFilter) {
    test::TempDir dir;
    test::ManualClock clock; // Thu May 28 22:26:40 2026 in Warsaw
    test::ScriptedOperatorUi ui;
    Messages messages(ui);
    bool suspended = false;
    HistoryLog history(DataDir(dir.path()), messages, clock, suspended);
    Scheduler scheduler(DataDir(dir.path()), clock, messages, history);
    ASSERT_EQ(scheduler.schedule(60, 12, kSchedRemoveBlk, 1), 0);
    ASSERT_EQ(scheduler.schedule(180, 0x4000 | 13, kSchedCheckTest, 2), 0);
    clock.advanceSeconds(10); // the head counts down; the due moments stay

    EXPECT_EQ(schedulerLine(scheduler, clock, 0, -1), "Thu May 28 22:27:40 2026 0012 (01) - REMOVEBLK");
    EXPECT_EQ(schedulerLine(scheduler, clock, 1, -1), "Thu May 28 22:29:40 2026 0013 (02) - CHECKTEST");
    EXPECT_EQ(schedulerLine(scheduler, clock, 1, 12), "---------");
    EXPECT_EQ(schedulerLine(scheduler, clock, 1, 13), "Thu May 28 22:29:40 2026 0013 (02) - CHECKTEST")
        << "the filter compares the low 14 bits of the key";
}

TEST(TechLines, TraceSlotsCutAt50OrADash) {
    TraceRing ring;
    ring.setEnabled(true);
    ring.add(std::string(70, 'x'));
    EXPECT_EQ(traceLine(ring, 0), std::string(50, 'x'));
    EXPECT_EQ(traceLine(ring, 1), "-");
}

} // namespace
} // namespace k4
