#pragma once
// The week grid of "Wyłączenia/Załączenia" over one position's schedule:
// the texts of its cells, the check of a typed time, and the storing of the
// grid back into the schedule, and the armers grid stored back into the
// armers' masks. Rows 0..7 are Monday..Sunday and the holiday; columns 0..4
// the disarming time and delay, the arming time and delay, and "Pomiń".
#include "database/armers_lst.h"
#include "database/related_records.h"

#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace k4 {

constexpr int kWeekColumns = 5;
using WeekCells = std::array<std::array<std::string, kWeekColumns>, kScheduleDays>;

// The skip cell's text when the day is skipped.
inline const char* const kSkipMark = "    X    ";

WeekCells weekCellsOf(const ArmingSchedule& schedule);
// A committed time cell is refused ("Niepoprawna godzina") when its hour was
// read and either it or the minute is out of range.
bool timeCellRefused(std::string_view text);

enum class WeekStore { Unchanged, Changed, Invalid };
// The cells over the copy taken when the position was shown. Invalid (a
// time out of range, or a time cell left without one) stores nothing.
WeekStore storeWeekCells(const ArmingSchedule& copy, const WeekCells& cells, ArmingSchedule& out);

// marks[row][position]: the "X" of the armers grid. Every mark that differs
// from its armer's mask bit toggles it. The number of bits toggled.
int storeArmersGrid(ArmersLst& armers, const std::vector<std::array<bool, kArmPositions>>& marks);

} // namespace k4
