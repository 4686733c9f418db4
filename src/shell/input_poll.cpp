#include "shell/input_poll.h"

#include "database/text_edge.h"

#include <algorithm>

namespace k4 {

InputPoller::InputPoller(const ConfigBlock& config, BaseLink& baseLink, ModuleBus& modules, ModulePaths& paths,
                         HistoryLog& history, Messages& messages)
    : config_(config), baseLink_(baseLink), modules_(modules), paths_(paths), history_(history),
      messages_(messages) {}

int InputPoller::nextExisting(int from) const {
    for (int step = 0; step < kModuleSlots; ++step) {
        const int slot = (from + step) % kModuleSlots;
        if (paths_.exists(slot)) return slot;
    }
    return -1;
}

bool InputPoller::serveBaseLinks() {
    if (config_.mode != 2 && config_.mode != 3) return false;
    TickBudget budget(baseLink_.clock());
    return baseLink_.ServeBaseLinks(budget);
}

int InputPoller::pollWhileReporting(int slot) {
    // A module that has just handed over a report may hold more behind it
    // (a mass event: every panel of a region at once). It is asked again
    // while the tick's budget still holds another exchange as long as the
    // last one, so a burst drains at the speed of the bus and not at one
    // report per tick; the count bound keeps a clock that does not move
    // from turning this into a loop.
    Clock& clock = baseLink_.clock();
    TickBudget budget(clock);
    int state = 0;
    for (int polls = 0; polls < kMaxPollsPerTick; ++polls) {
        const uint64_t started = clock.tickMs();
        state = paths_.poll(slot, 1, 0);
        const bool deliveredReport = state == kStatusReport || state == kStatusExtendedReport;
        const int exchangeMs = static_cast<int>(clock.tickMs() - started);
        if (!deliveredReport || !budget.allows(std::max(exchangeMs, 1))) break;
    }
    return state;
}

void InputPoller::PollInputs(bool baseLinks) {
    if (baseLinks) serveBaseLinks();
    if (config_.mode == 2) return;

    const int slot = nextExisting(position_);
    if (slot < 0) return;
    position_ = slot;
    if (modules_.CheckModule(slot, paths_.pathKind(slot)) != 0) {
        silenceMs_ += kTickMs;
        if (silenceMs_ > kSilenceLimitMs) {
            silenceMs_ = 0;
            history_.LogEvent(kHistoryNoCommunication);
            messages_.ShowNotice(silenceGuard_, mz("\x03" "Brak komunikacji z Bazą KVF16Z"), kNoticeAlarm);
        }
        return;
    }
    silenceMs_ = 0;
    const int state = pollWhileReporting(slot);
    // A path that is still in the middle of an exchange is polled again.
    if (state == 0 || state == 3 || state == 14 || state == 15) {
        const int next = nextExisting((slot + 1) % kModuleSlots);
        position_ = next < 0 ? 0 : next;
    }
}

} // namespace k4
