#include "processing/alarms_list.h"

#include "../history/history_fixture.h"

#include <gtest/gtest.h>

namespace k4 {
namespace {

struct Removals final : AlarmListObserver {
    std::vector<int> removed;
    void alarmRaised() override {}
    void alarmRemoved(int index) override { removed.push_back(index); }
    void alarmChanged(int) override {}
};

TEST(AlarmsListClear, ForgetsEveryAlarmWithoutAnEndEntry) {
    test::HistoryStation s;
    ASSERT_EQ(s.log.OpenHistory("logf"), kHistoryCurrent);
    ConfigBlock config{};
    AlarmsList alarms(config, s.log);
    Removals window;
    alarms.setObserver(&window);
    for (int i = 0; i < 3; ++i) alarms.insert(AlarmRecord{});
    alarms.clear();
    EXPECT_EQ(alarms.count(), 0);
    EXPECT_EQ(window.removed, (std::vector<int>{2, 1, 0})) << "the window drops its lines from the bottom";
    EXPECT_TRUE(test::entriesOf(s.dir.read("logf")).empty());
    alarms.insert(AlarmRecord{});
    EXPECT_EQ(alarms[0].id, 4) << "identifiers go on where they were";
}

} // namespace
} // namespace k4
