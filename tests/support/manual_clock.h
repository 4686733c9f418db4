#pragma once
// Time that moves only when a test moves it.
#include "platform/clock.h"

namespace k4::test {

class ManualClock final : public Clock {
public:
    explicit ManualClock(int64_t unixTime = 1'780'000'000) : unix_(unixTime) {}

    int64_t unixTime() const override { return unix_; }
    uint64_t tickMs() const override { return tick_; }
    // Sleeping is time passing.
    void sleepMs(int ms) override { advanceMs(ms); }

    void advanceMs(int64_t ms) {
        tick_ += static_cast<uint64_t>(ms);
        subSecondMs_ += ms;
        unix_ += subSecondMs_ / 1000;
        subSecondMs_ %= 1000;
    }
    void advanceSeconds(int64_t s) { advanceMs(s * 1000); }
    void setUnixTime(int64_t t) { unix_ = t; }

private:
    int64_t unix_;
    uint64_t tick_ = 1000;
    int64_t subSecondMs_ = 0;
};

} // namespace k4::test
