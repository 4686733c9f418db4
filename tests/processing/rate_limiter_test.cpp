#include "processing/rate_limiter.h"

#include <gtest/gtest.h>

#include <vector>

namespace k4 {
namespace {

// A time of today: a zeroed limiter's start lies far in the past.
constexpr uint32_t T = 1'780'000'000;

struct Step {
    uint32_t now;
    bool tripped;
    int count;
    uint32_t start;
};

TEST(RateLimiter, CountsWithinTheWindowAndRestartsIt) {
    struct Case {
        const char* name;
        int limit, hours;
        uint32_t start;
        std::vector<Step> steps;
    } const cases[] = {
        {"the report after the limit trips and opens a new window", 3, 1, 0,
         {{T + 1000, false, 1, T + 1000}, {T + 2000, false, 2, T + 1000}, {T + 4600, false, 3, T + 1000}, {T + 4601, true, 1, T + 4601},
          {T + 4602, false, 2, T + 4601}}},
        {"an expired window restarts without tripping", 3, 1, 0,
         {{T + 1000, false, 1, T + 1000}, {T + 1500, false, 2, T + 1000}, {T + 4601, false, 1, T + 4601}}},
        {"a fresh limiter with a recent start counts on from it", 3, 1, T,
         {{T + 1000, false, 1, T}, {T + 3600, false, 2, T}}},
        {"no limit never trips", 0, 1, 0,
         {{T + 1000, false, 1, T + 1000}, {T + 1000, false, 2, T + 1000}, {T + 1000, false, 3, T + 1000}, {T + 1000, false, 4, T + 1000}}},
        // The clock set back: the unsigned difference is huge, the window is over.
        {"a start in the future restarts", 3, 1, T + 5000, {{T + 4000, false, 1, T + 4000}, {T + 4001, false, 2, T + 4000}}},
        {"a zero-hour window lasts one second", 2, 0, 0,
         {{T + 1000, false, 1, T + 1000}, {T + 1000, false, 2, T + 1000}, {T + 1000, true, 1, T + 1000}, {T + 1001, false, 1, T + 1001}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        AlarmOpts opts{};
        opts.limit = static_cast<uint16_t>(c.limit);
        opts.hours = static_cast<uint16_t>(c.hours);
        opts.start = c.start;
        for (const Step& s : c.steps) {
            SCOPED_TRACE(s.now - T);
            EXPECT_EQ(countReport(opts, s.now), s.tripped);
            EXPECT_EQ(opts.count, s.count);
            EXPECT_EQ(opts.start, s.start);
            EXPECT_EQ(opts.limit, c.limit) << "the settings are never touched";
            EXPECT_EQ(opts.hours, c.hours);
        }
    }
}

TEST(RateLimiter, UnknownSendersShareOneLimiter) {
    UnknownSenderLimiter crowd(2, 1);
    EXPECT_FALSE(crowd.count(100));
    EXPECT_FALSE(crowd.count(200));
    EXPECT_TRUE(crowd.count(300));
    EXPECT_EQ(crowd.state().count, 1);
    EXPECT_EQ(crowd.state().start, 300u);
    EXPECT_FALSE(crowd.count(3900)) << "exactly an hour after the restart";
    EXPECT_EQ(crowd.state().count, 2);
}

} // namespace
} // namespace k4
