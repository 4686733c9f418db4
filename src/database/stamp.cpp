#include "database/stamp.h"

#include <ctime>

namespace k4 {

Stamp StampFromLocal(const LocalDateTime& local) {
    std::tm tm{};
    tm.tm_year = local.year - 1900;
    tm.tm_mon = local.month - 1;
    tm.tm_mday = local.day;
    tm.tm_hour = local.hour;
    tm.tm_min = local.minute;
    tm.tm_sec = local.second;
    tm.tm_isdst = -1; // the zone decides whether summer time is in force
    return StampFromUnix(static_cast<int64_t>(std::mktime(&tm)));
}

LocalDateTime LocalFromStamp(Stamp stamp) {
    std::time_t t = static_cast<std::time_t>(UnixFromStamp(stamp));
    std::tm tm{};
    localtime_r(&t, &tm);
    LocalDateTime local;
    local.year = tm.tm_year + 1900;
    local.month = tm.tm_mon + 1;
    local.day = tm.tm_mday;
    local.hour = tm.tm_hour;
    local.minute = tm.tm_min;
    local.second = tm.tm_sec;
    local.weekday = tm.tm_wday;
    return local;
}

} // namespace k4
