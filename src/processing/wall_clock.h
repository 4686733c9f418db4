#pragma once
// Arming windows are set on the wall clock: "16:00 with 60 minutes" means
// from the moment the clock on the wall shows 16:00 until it shows 17:00,
// whatever summer time did to the day in between. These helpers turn a
// calendar day and a number of minutes after its midnight into the moment
// the clock shows it.
//
// Two days of the year need a rule:
// - spring (the clock jumps from 02:00 to 03:00): a time the clock never
//   shows is reached at the jump, so 02:30 is the moment the clock turns
//   03:00 -- the window neither vanishes nor starts an hour late;
// - autumn (02:00 to 03:00 comes twice): a window starts at the first time
//   the clock shows its start and ends at the last time the clock shows its
//   end, so an event whose clock reading lies in the window is in time
//   whichever of the two hours it came in.
#include "platform/clock.h"

#include <cstdint>

namespace k4 {

struct CalendarDay {
    int year = 1970;
    int month = 1;
    int day = 1;
    friend bool operator==(const CalendarDay&, const CalendarDay&) = default;
};

// The day `days` after (or before, when negative) this one.
CalendarDay addDays(CalendarDay day, int days);
// Monday 0 .. Sunday 6.
int mondayWeekday(CalendarDay day);
CalendarDay calendarDayOf(const LocalDateTime& local);

enum class WallEdge { First, Last };
// The Unix time at which the wall clock shows `minutes` after the midnight
// of this day (minutes may run past 1440 into the following days, or be
// negative). A reading shown twice: its first or last moment. A reading
// never shown: the moment of the jump over it.
int64_t wallMoment(CalendarDay day, int minutes, WallEdge edge);

} // namespace k4
