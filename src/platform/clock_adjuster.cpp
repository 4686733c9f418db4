#include "platform/clock_adjuster.h"

#include <cerrno>
#include <cstring>
#include <ctime>

namespace k4 {

std::optional<std::string> SystemClockAdjuster::moveBy(int64_t milliseconds) {
    timespec now{};
    if (clock_gettime(CLOCK_REALTIME, &now) != 0) return std::string(std::strerror(errno));
    int64_t ns = static_cast<int64_t>(now.tv_nsec) + (milliseconds % 1000) * 1'000'000;
    int64_t s = static_cast<int64_t>(now.tv_sec) + milliseconds / 1000;
    if (ns < 0) {
        ns += 1'000'000'000;
        --s;
    } else if (ns >= 1'000'000'000) {
        ns -= 1'000'000'000;
        ++s;
    }
    const timespec moved{static_cast<time_t>(s), static_cast<long>(ns)};
    if (clock_settime(CLOCK_REALTIME, &moved) != 0) return std::string(std::strerror(errno));
    return std::nullopt;
}

} // namespace k4
