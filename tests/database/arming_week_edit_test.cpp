// The week grid of the arming schedules: what a committed time cell is
// refused for, what storing the grid makes of each kind of change, and the
// armers grid stored back into the masks.
#include "database/arming_week_edit.h"

#include <gtest/gtest.h>

namespace k4 {
namespace {

ArmingSchedule officeWeek() {
    ArmingSchedule s{};
    s.identification = kPanelSubsystemBit | 3;
    for (auto& d : s.days) d = {7 * 60, 30, 16 * 60, 60, 0};
    s.days[7].skip = 1; // the holiday has no schedule
    return s;
}

TEST(WeekGrid, CellsShowTimesDelaysAndTheSkipMark) {
    const WeekCells cells = weekCellsOf(officeWeek());
    EXPECT_EQ(cells[0][0], "07:00");
    EXPECT_EQ(cells[0][1], "30");
    EXPECT_EQ(cells[0][2], "16:00");
    EXPECT_EQ(cells[0][3], "60");
    EXPECT_EQ(cells[0][4], "");
    EXPECT_EQ(cells[7][4], "    X    ");
}

TEST(WeekGrid, ATypedTimeIsRefusedOnlyWhenItsHourWasReadAndIsOutOfRange) {
    const struct {
        const char* text;
        bool refused;
    } cases[] = {{"07:30", false}, {"23:59", false}, {"00:00", false}, {"24:00", true}, {"12:60", true},
                 {"-1:10", true},  {"99:99", true},  {"", false},      {"  :  ", false}, {"7", false}};
    for (const auto& c : cases) EXPECT_EQ(timeCellRefused(c.text), c.refused) << '"' << c.text << '"';
}

TEST(WeekGrid, StoringTheGridChangesWhatDiffersAndRefusesABadTimeWhole) {
    const ArmingSchedule copy = officeWeek();
    struct Case {
        const char* what;
        int row, column;
        const char* text;
        WeekStore result;
        int field; // the day entry field that changes, -1 none
        int value;
    };
    const Case cases[] = {
        {"Tuesday armed by 07:30", 1, 2, "07:30", WeekStore::Changed, 2, 450},
        {"Monday disarmed from 06:15", 0, 0, "06:15", WeekStore::Changed, 0, 375},
        {"a delay typed", 3, 1, "45", WeekStore::Changed, 1, 45},
        {"a delay cleared keeps it", 3, 3, "", WeekStore::Unchanged, -1, 0},
        {"a delay without a number keeps it", 3, 3, "   ", WeekStore::Unchanged, -1, 0},
        {"the same time typed again", 4, 0, "07:00", WeekStore::Unchanged, -1, 0},
        {"an hour of 24", 2, 2, "24:00", WeekStore::Invalid, -1, 0},
        {"a minute of 60", 2, 0, "10:60", WeekStore::Invalid, -1, 0},
        {"a time cell emptied", 5, 0, "", WeekStore::Invalid, -1, 0},
        {"Sunday skipped", 6, 4, "    X    ", WeekStore::Changed, 4, 1},
        {"the holiday unskipped", 7, 4, "", WeekStore::Changed, 4, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        WeekCells cells = weekCellsOf(copy);
        // Another row changed as well: an invalid cell must keep it out too.
        cells[5][3] = "90";
        cells[static_cast<size_t>(c.row)][static_cast<size_t>(c.column)] = c.text;
        ArmingSchedule out{};
        const WeekStore expected = c.result == WeekStore::Unchanged ? WeekStore::Changed : c.result;
        ASSERT_EQ(storeWeekCells(copy, cells, out), expected);
        if (c.result == WeekStore::Invalid) continue;
        EXPECT_EQ(out.days[5].arm_delay, 90);
        EXPECT_EQ(out.identification, copy.identification);
        const ScheduleDay& day = out.days[c.row];
        const int fields[5] = {day.disarm_time, day.disarm_delay, day.arm_time, day.arm_delay, day.skip};
        const ScheduleDay& was = copy.days[c.row];
        const int before[5] = {was.disarm_time, was.disarm_delay, was.arm_time, was.arm_delay, was.skip};
        for (int f = 0; f < 5; ++f) EXPECT_EQ(fields[f], f == c.field ? c.value : before[f]) << "field " << f;
    }
}

TEST(WeekGrid, NothingChangedOrTheSkipToggledTwiceStoresNothing) {
    const ArmingSchedule copy = officeWeek();
    WeekCells cells = weekCellsOf(copy);
    ArmingSchedule out = officeWeek();
    out.days[2].arm_time = 1; // must stay untouched
    EXPECT_EQ(storeWeekCells(copy, cells, out), WeekStore::Unchanged);
    cells[6][4] = kSkipMark;
    cells[6][4] = "";
    EXPECT_EQ(storeWeekCells(copy, cells, out), WeekStore::Unchanged);
    EXPECT_EQ(out.days[2].arm_time, 1);
}

TEST(ArmersGrid, MarksThatDifferToggleTheirBits) {
    ArmersTab table[kArmerSlots]{};
    table[0] = {3, 0b0000000011};
    table[1] = {10, 0b1000000000};
    ArmersLst armers(table, false);
    std::vector<std::array<bool, kArmPositions>> marks(2);
    marks[0] = {true, false, true}; // position 1 off, position 2 on
    marks[1][9] = true;             // as it was
    EXPECT_EQ(storeArmersGrid(armers, marks), 2);
    EXPECT_EQ(table[0].mask, 0b0000000101);
    EXPECT_EQ(table[1].mask, 0b1000000000);

    ArmersLst readOnly(table, true);
    marks[1][9] = false;
    EXPECT_EQ(storeArmersGrid(readOnly, marks), 0);
    EXPECT_EQ(table[1].mask, 0b1000000000);
}

} // namespace
} // namespace k4
