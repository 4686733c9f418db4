#pragma once
// The time one timer tick (or one call after bytes have come) may spend on
// the serial lines. Whatever reads outside input stops when it is spent and
// goes on next time, so the window and the timer never wait behind a line.
// The base link takes the frames that are waiting within it; a module path
// with more to deliver can be polled again within the same budget.
#include "platform/clock.h"

#include <algorithm>
#include <cstdint>

namespace k4 {

class TickBudget {
public:
    // About a third of the 100 ms tick: room for the answers of both bases
    // (15 ms of waits on the wire each) and the frames that come meanwhile,
    // while an input event of the window never waits longer than this
    // behind the lines.
    static constexpr int kTickBudgetMs = 35;

    explicit TickBudget(const Clock& clock, int ms = kTickBudgetMs)
        : clock_(clock), end_(clock.tickMs() + static_cast<uint64_t>(std::max(ms, 0))) {}

    int remainingMs() const {
        const uint64_t now = clock_.tickMs();
        return now >= end_ ? 0 : static_cast<int>(end_ - now);
    }
    // Whether work that takes ms still fits.
    bool allows(int ms) const { return remainingMs() >= ms; }
    bool spent() const { return remainingMs() == 0; }

private:
    const Clock& clock_;
    uint64_t end_;
};

} // namespace k4
