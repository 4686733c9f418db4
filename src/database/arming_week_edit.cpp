#include "database/arming_week_edit.h"

#include <cstdio>

namespace k4 {

namespace {

std::string timeText(int minutes) {
    char text[16];
    std::snprintf(text, sizeof text, "%2.2d:%2.2d", minutes / 60, minutes % 60);
    return text;
}

// "%d:%d": the count of numbers read.
int readTime(std::string_view text, int& hour, int& minute) {
    const std::string s(text);
    hour = minute = 0;
    return std::sscanf(s.c_str(), "%d:%d", &hour, &minute);
}

bool timeInRange(int hour, int minute) { return hour >= 0 && hour <= 23 && minute >= 0 && minute <= 59; }

} // namespace

WeekCells weekCellsOf(const ArmingSchedule& schedule) {
    WeekCells cells;
    for (int d = 0; d < kScheduleDays; ++d) {
        const ScheduleDay& day = schedule.days[d];
        auto& row = cells[static_cast<size_t>(d)];
        row[0] = timeText(day.disarm_time);
        row[1] = std::to_string(static_cast<int>(day.disarm_delay));
        row[2] = timeText(day.arm_time);
        row[3] = std::to_string(static_cast<int>(day.arm_delay));
        row[4] = day.skip != 0 ? kSkipMark : "";
    }
    return cells;
}

bool timeCellRefused(std::string_view text) {
    int hour = 0, minute = 0;
    return readTime(text, hour, minute) >= 1 && !timeInRange(hour, minute);
}

WeekStore storeWeekCells(const ArmingSchedule& copy, const WeekCells& cells, ArmingSchedule& out) {
    ArmingSchedule result = copy;
    const WeekCells shown = weekCellsOf(copy);
    bool changed = false;
    for (int d = 0; d < kScheduleDays; ++d) {
        ScheduleDay& day = result.days[d];
        const auto& row = cells[static_cast<size_t>(d)];
        const auto& was = shown[static_cast<size_t>(d)];
        Int16Le* times[2] = {&day.disarm_time, &day.arm_time};
        Int16Le* delays[2] = {&day.disarm_delay, &day.arm_delay};
        for (int k = 0; k < 2; ++k) {
            const std::string& time = row[static_cast<size_t>(2 * k)];
            if (time != was[static_cast<size_t>(2 * k)]) {
                int hour = 0, minute = 0;
                // A time cell emptied is no time: the position stays as it was.
                if (readTime(time, hour, minute) < 1 || !timeInRange(hour, minute)) return WeekStore::Invalid;
                const int value = hour * 60 + minute;
                if (value != *times[k]) {
                    *times[k] = static_cast<int16_t>(value);
                    changed = true;
                }
            }
            const std::string& delay = row[static_cast<size_t>(2 * k + 1)];
            if (delay != was[static_cast<size_t>(2 * k + 1)]) {
                int value = 0;
                // A cell without a number keeps the delay.
                if (std::sscanf(delay.c_str(), "%d", &value) == 1 && value != *delays[k]) {
                    *delays[k] = static_cast<int16_t>(value);
                    changed = true;
                }
            }
        }
        const int skip = row[4].empty() ? 0 : 1;
        if (skip != (day.skip != 0 ? 1 : 0)) {
            day.skip = static_cast<int16_t>(skip);
            changed = true;
        }
    }
    if (!changed) return WeekStore::Unchanged;
    out = result;
    return WeekStore::Changed;
}

int storeArmersGrid(ArmersLst& armers, const std::vector<std::array<bool, kArmPositions>>& marks) {
    int toggled = 0;
    for (int i = 0; i < armers.Count() && i < static_cast<int>(marks.size()); ++i)
        for (int j = 0; j < kArmPositions; ++j) {
            const bool set = (armers.Item(i).mask >> j) & 1;
            if (set != marks[static_cast<size_t>(i)][static_cast<size_t>(j)] && armers.Toggle(i, j) == 0) ++toggled;
        }
    return toggled;
}

} // namespace k4
