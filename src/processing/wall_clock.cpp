#include "processing/wall_clock.h"

#include <ctime>
#include <initializer_list>
#include <tuple>

namespace k4 {

namespace {

// Days since 1970-01-01 of a proleptic Gregorian date, and back.
int64_t daysFromCivil(int y, int m, int d) {
    y -= m <= 2 ? 1 : 0;
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const int64_t yoe = y - era * 400;
    const int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

CalendarDay civilFromDays(int64_t z) {
    z += 719468;
    const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const int64_t doe = z - era * 146097;
    const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const int64_t mp = (5 * doy + 2) / 153;
    const int d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    const int m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    const int y = static_cast<int>(yoe + era * 400 + (m <= 2 ? 1 : 0));
    return {y, m, d};
}

using Reading = std::tuple<int, int, int, int, int, int>;

Reading readingAt(int64_t unixTime) {
    std::time_t t = static_cast<std::time_t>(unixTime);
    std::tm tm{};
    localtime_r(&t, &tm);
    return {tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec};
}

int64_t asZone(const Reading& wanted, int isDst) {
    std::tm tm{};
    tm.tm_year = std::get<0>(wanted) - 1900;
    tm.tm_mon = std::get<1>(wanted) - 1;
    tm.tm_mday = std::get<2>(wanted);
    tm.tm_hour = std::get<3>(wanted);
    tm.tm_min = std::get<4>(wanted);
    tm.tm_sec = std::get<5>(wanted);
    tm.tm_isdst = isDst;
    return static_cast<int64_t>(std::mktime(&tm));
}

} // namespace

CalendarDay addDays(CalendarDay day, int days) {
    return civilFromDays(daysFromCivil(day.year, day.month, day.day) + days);
}

int mondayWeekday(CalendarDay day) {
    // 1970-01-01 was a Thursday.
    const int64_t z = daysFromCivil(day.year, day.month, day.day);
    return static_cast<int>(((z % 7) + 7 + 3) % 7);
}

CalendarDay calendarDayOf(const LocalDateTime& local) { return {local.year, local.month, local.day}; }

int64_t wallMoment(CalendarDay day, int minutes, WallEdge edge) {
    const int dayShift = minutes >= 0 ? minutes / 1440 : -((1439 - minutes) / 1440);
    const int ofDay = minutes - dayShift * 1440;
    const CalendarDay d = addDays(day, dayShift);
    const Reading wanted{d.year, d.month, d.day, ofDay / 60, ofDay % 60, 0};

    // The reading taken as standard time and as summer time; each that the
    // clock really shows is a moment of it.
    bool found = false;
    int64_t best = 0;
    int64_t low = 0, high = 0;
    for (int isDst : {0, 1}) {
        const int64_t t = asZone(wanted, isDst);
        if (isDst == 0) low = high = t;
        else {
            low = t < low ? t : low;
            high = t > high ? t : high;
        }
        if (readingAt(t) != wanted) continue;
        if (!found || (edge == WallEdge::First ? t < best : t > best)) best = t;
        found = true;
    }
    if (found) return best;
    // Never shown: the first moment whose reading is past it lies between
    // the two interpretations.
    while (low < high) {
        const int64_t mid = low + (high - low) / 2;
        if (readingAt(mid) < wanted) low = mid + 1;
        else high = mid;
    }
    return low;
}

} // namespace k4
