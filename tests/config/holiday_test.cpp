// The next holiday: kept as the stamp of its midnight with the two-day
// flag, read back by the arming supervision's holiday rule.
#include "config/holiday.h"

#include "database/stamp.h"
#include "messages/messages.h"
#include "processing/arming_supervision.h"
#include "support/manual_clock.h"
#include "support/scripted_operator_ui.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <cstring>

namespace k4 {
namespace {

struct HolidayRig {
    test::TempDir dir;
    test::ScriptedOperatorUi ui;
    Messages messages{ui};
    test::ManualClock clock;
    Config config{DataDir(dir.path())};
    HolidayRig() {
        ConfigBlock b{};
        dir.write("conf", std::string(reinterpret_cast<const char*>(&b), sizeof b));
        EXPECT_EQ(config.LoadConfig(1), 0);
    }
    static LocalDateTime day(int y, int m, int d) {
        LocalDateTime l;
        l.year = y, l.month = m, l.day = d, l.hour = 12;
        return l;
    }
};

TEST(Holiday, SavedIntoConfAndFollowedByTheHolidayRule) {
    HolidayRig rig;
    ASSERT_EQ(saveHoliday(rig.config, {2026, 11, 11, true}, rig.messages), 0);
    Config again{DataDir(rig.dir.path())};
    ASSERT_EQ(again.LoadConfig(1), 0);
    const HolidaySetting h = holidayOf(again.block(), rig.clock);
    EXPECT_EQ(h.year, 2026);
    EXPECT_EQ(h.month, 11);
    EXPECT_EQ(h.day, 11);
    EXPECT_TRUE(h.twoDays);
    EXPECT_EQ(LocalFromStamp(static_cast<int32_t>(again.block().holiday_date)).hour, 0);
    EXPECT_FALSE(isHolidayOn(again.block(), HolidayRig::day(2026, 11, 10)));
    EXPECT_TRUE(isHolidayOn(again.block(), HolidayRig::day(2026, 11, 11)));
    EXPECT_TRUE(isHolidayOn(again.block(), HolidayRig::day(2026, 11, 12)));
    EXPECT_FALSE(isHolidayOn(again.block(), HolidayRig::day(2026, 11, 13)));
    // One day: the day after is an ordinary day.
    ASSERT_EQ(saveHoliday(rig.config, {2026, 12, 31, false}, rig.messages), 0);
    EXPECT_TRUE(isHolidayOn(rig.config.block(), HolidayRig::day(2026, 12, 31)));
    EXPECT_FALSE(isHolidayOn(rig.config.block(), HolidayRig::day(2027, 1, 1)));
}

TEST(Holiday, ADayThatDoesNotExistIsRefusedAndNothingChanges) {
    HolidayRig rig;
    ASSERT_EQ(saveHoliday(rig.config, {2026, 5, 3, false}, rig.messages), 0);
    const std::string before = rig.dir.read("conf");
    EXPECT_EQ(saveHoliday(rig.config, {2026, 2, 30, true}, rig.messages), -1);
    EXPECT_EQ(rig.dir.read("conf"), before);
    EXPECT_EQ(static_cast<int16_t>(rig.config.block().holiday_flag), 0);
    ASSERT_EQ(rig.ui.boxes.size(), 1u);
    EXPECT_EQ(rig.ui.boxes[0].text, " Nieprawidłowa data");
}

TEST(Holiday, NeverSetShowsToday) {
    HolidayRig rig;
    const LocalDateTime now = localNow(rig.clock);
    const HolidaySetting h = holidayOf(rig.config.block(), rig.clock);
    EXPECT_EQ(h.year, now.year);
    EXPECT_EQ(h.month, now.month);
    EXPECT_EQ(h.day, now.day);
    EXPECT_FALSE(h.twoDays);
}

} // namespace
} // namespace k4
