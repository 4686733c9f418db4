#include "processing/rate_limiter.h"

namespace k4 {

bool countReport(AlarmOpts& opts, uint32_t now) {
    const uint16_t limit = opts.limit;
    const uint16_t count = opts.count;
    const bool tripped = limit != 0 && count >= limit;
    const uint32_t window = static_cast<uint32_t>(static_cast<uint16_t>(opts.hours)) * 3600u;
    if (now - static_cast<uint32_t>(opts.start) > window || tripped) {
        opts.start = now;
        opts.count = 1;
    } else {
        opts.count = static_cast<uint16_t>(count + 1);
    }
    return tripped;
}

UnknownSenderLimiter::UnknownSenderLimiter(int limit, int hours) {
    opts_.limit = static_cast<uint16_t>(limit);
    opts_.hours = static_cast<uint16_t>(hours);
}

} // namespace k4
