#include "shell/station_timer.h"

#include "database/stamp.h"
#include "support/manual_clock.h"
#include "support/scripted_operator_ui.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

namespace k4 {
namespace {

TEST(ClockText, DateTwoBlanksDayAndTime) {
    LocalDateTime t;
    t.year = 2026;
    t.month = 12;
    t.day = 9;
    t.hour = 7;
    t.minute = 5;
    t.second = 3;
    t.weekday = 3;
    EXPECT_EQ(clockText(t), "2026/12/09  Śr 07:05:03");
}

struct StationTimerTest : ::testing::Test {
    test::TempDir dir;
    test::ManualClock clock{1'781'000'000};
    test::ScriptedOperatorUi ui;
    Messages messages{ui};
    bool suspended = false;
    HistoryLog history{DataDir(dir.path()), messages, clock, suspended};
    Scheduler scheduler{DataDir(dir.path()), clock, messages, history};
    LinkStatusFile link{DataDir(dir.path()), messages, clock};
    MonthRollover months{clock, history, link};
    int polls = 0;
    StationTimer timer{clock, scheduler, months, [this] { ++polls; }};
    std::vector<std::string> shown;
    StationTimerTest() {
        EXPECT_GE(history.OpenHistory("logf"), 0);
        timer.setClockShown([this](const std::string& t) { shown.push_back(t); });
    }
};

TEST_F(StationTimerTest, ClockChangesAboutOnceASecondAndPollsWaitForMessages) {
    for (int tick = 0; tick < 25; ++tick) {
        timer.Timer1Timer(tick % 5 == 0);
        clock.advanceMs(100);
    }
    EXPECT_EQ(shown.size(), 3u);
    EXPECT_EQ(shown[0], clockText(LocalFromStamp(StampFromUnix(1'781'000'000))));
    EXPECT_EQ(polls, 20) << "a tick with a pending message does not poll";
}

TEST_F(StationTimerTest, DueSchedulerEntriesRunFromTheTick) {
    int ran = 0;
    scheduler.setHandler(13, [&](uint16_t, uint8_t) { ++ran; });
    scheduler.schedule(2, 7, 13, 0);
    for (int tick = 0; tick < 30; ++tick) {
        timer.Timer1Timer();
        clock.advanceMs(100);
    }
    EXPECT_EQ(ran, 1);
}

} // namespace
} // namespace k4
