#include "processing/scheduler.h"

#include "database/text_edge.h"

#include <algorithm>

namespace k4 {

namespace {
const char* const kTypeNames[kSchedulerTypes] = {
    "NIC",      "CHECKING",   "CHECKARM", "CHECKTEST", "SENDORDER", "REMOVEBLK", "ADJUSTTIME", "TESTACK",
    "TESTFORW", "SAVEBASE",   "SAVEEVENTS", "HYDRO",   "CHKORDER",  "DELAY",     "TEST",       "CHECKALARM",
};

// The consistency-error kind, with value 1 for the queue (2 is the record
// files) and the queue file's second letter, as the record files do.
constexpr int kProgramErrorKind = 55;
constexpr int kQueueErrorSource = 1;
} // namespace

const char* schedulerTypeName(int type) {
    return type >= 0 && type < kSchedulerTypes ? kTypeNames[type] : "?";
}

Scheduler::Scheduler(const DataDir& dir, const Clock& clock, Messages& messages, HistoryLog& history)
    : dir_(dir), clock_(clock), messages_(messages), history_(history), headStartTick_(clock.tickMs()) {
    queue_.reserve(kSchedulerCapacity);
    handlers_[kSchedSaveEvents] = [this](uint16_t, uint8_t) { saveEveryMinute(); };
}

void Scheduler::setHandler(int type, Handler handler) {
    if (type <= 0 || type >= kSchedulerTypes) return;
    handlers_[static_cast<size_t>(type)] = std::move(handler);
    if (!handlers_[static_cast<size_t>(type)]) return;
    std::vector<SchedulerEntry> waiting;
    std::erase_if(unhandled_, [&](const SchedulerEntry& e) {
        if (e.type() != type) return false;
        waiting.push_back(e);
        return true;
    });
    for (const SchedulerEntry& e : waiting) schedule(0, e.key, e.type(), e.arg());
}

void Scheduler::setHeadDelay() {
    headDelayMs_ = queue_.empty() ? 0 : static_cast<int64_t>(queue_.front().delay()) * 1000;
}

int64_t Scheduler::headRemainingMs() const {
    if (queue_.empty()) return 0;
    return headDelayMs_ - static_cast<int64_t>(clock_.tickMs() - headStartTick_);
}

void Scheduler::reportFull(int type) {
    if (fullGuard_.onScreen()) return;
    history_.LogEvent(kProgramErrorKind, kQueueErrorSource, type, 'v', 0);
    messages_.ShowNotice(fullGuard_, mz("\x03""dla zdarzeń systemowych"), kNoticeMemory);
}

int Scheduler::schedule(int delaySeconds, int key, int type, int arg) {
    if (static_cast<int>(queue_.size()) >= kSchedulerCapacity) {
        reportFull(type);
        return -1;
    }
    const int64_t delay = std::max(delaySeconds, 0) & kMaxDelay;
    // An empty queue has no head to count from: the next head starts now.
    // Counting from the last head's moment instead would overflow the 20-bit
    // delay after a long quiet spell.
    if (queue_.empty()) headStartTick_ = clock_.tickMs();
    const int64_t elapsedMs = static_cast<int64_t>(clock_.tickMs() - headStartTick_);
    const int64_t target = delay + (elapsedMs + 500) / 1000;

    size_t at = 0;
    int64_t sum = 0;
    while (at < queue_.size() && sum + queue_[at].delay() <= target) sum += queue_[at++].delay();

    const int64_t own = std::min<int64_t>(target - sum, kMaxDelay);
    if (at < queue_.size()) queue_[at].setDelay(static_cast<uint32_t>(queue_[at].delay() - own));
    queue_.insert(queue_.begin() + static_cast<std::ptrdiff_t>(at),
                  SchedulerEntry::make(static_cast<uint32_t>(own), key, type, arg));
    if (at == 0) setHeadDelay();
    return 0;
}

int Scheduler::cancel(int key, int type, int arg) {
    int result = 0;
    bool headRemoved = false;
    for (size_t i = 0; i < queue_.size();) {
        const SchedulerEntry& e = queue_[i];
        const bool match = e.type() == type && (e.key & kKeyMatchMask) == (key & kKeyMatchMask) &&
                           (arg == 0 || e.arg() == (arg & 0xFF));
        if (!match) {
            ++i;
            continue;
        }
        result = e.arg() << 24;
        // The follower inherits the removed delay, so it stays due when it was.
        if (i + 1 < queue_.size()) {
            const uint32_t merged = std::min<uint32_t>(queue_[i + 1].delay() + e.delay(), kMaxDelay);
            queue_[i + 1].setDelay(merged);
        }
        if (i == 0) headRemoved = true;
        queue_.erase(queue_.begin() + static_cast<std::ptrdiff_t>(i));
    }
    if (headRemoved) setHeadDelay();
    return result;
}

bool Scheduler::exists(int key, int type, int arg) const {
    return std::any_of(queue_.begin(), queue_.end(), [&](const SchedulerEntry& e) {
        return e.type() == type && (e.key & kKeyMatchMask) == (key & kKeyMatchMask) && e.arg() == (arg & 0xFF);
    });
}

void Scheduler::poll() {
    if (queue_.empty()) return;
    if (static_cast<int64_t>(clock_.tickMs() - headStartTick_) <= headDelayMs_) return;
    const SchedulerEntry due = queue_.front();
    queue_.erase(queue_.begin());
    // Advanced by the due delay, not to now: a late poll costs no drift.
    headStartTick_ += static_cast<uint64_t>(headDelayMs_);
    // The next head is in force before the handler runs: a handler that shows
    // a box lets the timer poll again underneath it.
    setHeadDelay();
    const int type = due.type();
    if (type == kSchedNothing) return;
    if (!handlers_[static_cast<size_t>(type)]) {
        // Nobody in this version acts on it: consumed, a test deadline or a
        // blockade end would be gone for the version that does.
        SchedulerEntry kept = due;
        kept.setDelay(0);
        unhandled_.push_back(kept);
        return;
    }
    handlers_[static_cast<size_t>(type)](due.key, static_cast<uint8_t>(due.arg()));
}

void Scheduler::saveEveryMinute() {
    if (save() != 0) messages_.ShowNotice(saveGuard_, mz("\x03zapisu testów"), kNoticeError);
    schedule(60, 0, kSchedSaveEvents, 0);
}

int Scheduler::close() {
    const int result = save();
    queue_.clear();
    unhandled_.clear();
    setHeadDelay();
    return result;
}

} // namespace k4
