#include "database/stamp.h"

#include <gtest/gtest.h>

namespace k4 {
namespace {

LocalDateTime at(int y, int mo, int d, int h, int mi, int s) {
    LocalDateTime t;
    t.year = y;
    t.month = mo;
    t.day = d;
    t.hour = h;
    t.minute = mi;
    t.second = s;
    return t;
}

TEST(Stamp, IsUnixTimeOfTheLocalMomentPlus21600) {
    // 2026-01-15 12:00 in Warsaw is 11:00 UTC (winter), 2026-07-15 12:00 is 10:00 UTC.
    EXPECT_EQ(StampFromLocal(at(2026, 1, 15, 12, 0, 0)), 1768474800 + 21600);
    EXPECT_EQ(StampFromLocal(at(2026, 7, 15, 12, 0, 0)), 1784109600 + 21600);
}

TEST(Stamp, RoundTripsEveryFewHoursFrom1980To2037) {
    for (int year = 1980; year <= 2037; ++year) {
        for (int month = 1; month <= 12; ++month) {
            for (int day : {1, 15, 28}) {
                // Hours 1 to 3 of a spring day may not exist at all.
                for (int hour : {0, 4, 12, 23}) {
                    const LocalDateTime local = at(year, month, day, hour, 17, 42);
                    EXPECT_EQ(LocalFromStamp(StampFromLocal(local)), local)
                        << year << "-" << month << "-" << day << " " << hour;
                }
            }
        }
    }
}

TEST(Stamp, AcrossSummerTimeChangesLaterMomentsHaveLargerStamps) {
    // Spring: 2026-03-29 02:00 -> 03:00; autumn: 2026-10-25 03:00 -> 02:00.
    EXPECT_EQ(StampFromLocal(at(2026, 3, 29, 3, 0, 0)) - StampFromLocal(at(2026, 3, 29, 1, 59, 59)), 1);
    const Stamp beforeAutumn = StampFromLocal(at(2026, 10, 25, 1, 59, 0));
    const Stamp afterAutumn = StampFromLocal(at(2026, 10, 25, 3, 0, 0));
    EXPECT_EQ(afterAutumn - beforeAutumn, 60 + 2 * 3600);
    for (Stamp s = beforeAutumn; s < afterAutumn; s += 600) {
        const LocalDateTime local = LocalFromStamp(s);
        EXPECT_EQ(local.day, 25);
        EXPECT_LE(local.hour, 2);
    }
    // Outside the repeated hour the conversion is exact.
    EXPECT_EQ(LocalFromStamp(afterAutumn), at(2026, 10, 25, 3, 0, 0));
    EXPECT_EQ(LocalFromStamp(StampFromLocal(at(2026, 3, 29, 3, 30, 0))), at(2026, 3, 29, 3, 30, 0));
}

TEST(Stamp, WeekdayIsFilled) {
    EXPECT_EQ(LocalFromStamp(StampFromLocal(at(2026, 12, 9, 10, 0, 0))).weekday, 3); // a Wednesday
}

} // namespace
} // namespace k4
