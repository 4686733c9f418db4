#pragma once
// Everything the centre must do later is an entry of one queue of timed
// events, dispatched from the main window's timer. The queue is a delta list:
// each entry keeps its delay after the one before it, so only the head runs
// against the clock. Test deadlines and blockade ends survive a restart
// through the file "events".
#include "history/history_log.h"
#include "processing/scheduler_entry.h"
#include "platform/clock.h"
#include "platform/data_dir.h"
#include "messages/messages.h"

#include <array>
#include <cstdint>
#include <functional>
#include <vector>

namespace k4 {

class Scheduler {
public:
    using Handler = std::function<void(uint16_t key, uint8_t arg)>;

    Scheduler(const DataDir& dir, const Clock& clock, Messages& messages, HistoryLog& history);

    // The owner of a type registers what runs when its entries fall due.
    // Type 10 is the queue's own periodic save and is registered here.
    // Entries of the type that fell due while it had no handler run now.
    void setHandler(int type, Handler handler);

    // delaySeconds from now; entries due at the same second keep their order.
    // 0, or -1 when the queue is full.
    int schedule(int delaySeconds, int key, int type, int arg);
    // Removes every entry of this type and key (and arg, unless arg is 0);
    // the others keep their due moments. The arg of the last one removed in
    // the top byte, or 0.
    int cancel(int key, int type, int arg);
    bool exists(int key, int type, int arg) const;
    // Dispatches the head when it is due: at most one entry per call.
    void poll();

    // At start-up: the entries of types 3 and 5 kept in "events", moved on by
    // the time the station was stopped. A missing, unreadable or stale file
    // leaves the queue empty; that is no failure of the start. 0.
    int load();
    // 0 or -1.
    int save();
    // The type-10 handler: saves and schedules the next save a minute later.
    void saveEveryMinute();
    // At database close: saves and empties the queue.
    int close();

    // For the technical window and the tests.
    int count() const { return static_cast<int>(queue_.size()); }
    const SchedulerEntry& entry(int i) const { return queue_[static_cast<size_t>(i)]; }
    // Milliseconds until the head falls due (negative when overdue), 0 when empty.
    int64_t headRemainingMs() const;
    // Due entries of a type nobody handles (a restored deadline this version
    // has no owner for): kept, and saved again for a version that has one.
    int unhandledCount() const { return static_cast<int>(unhandled_.size()); }
    std::string path() const { return dir_.file("events"); }

private:
    void setHeadDelay();
    void reportFull(int type);

    DataDir dir_;
    const Clock& clock_;
    Messages& messages_;
    HistoryLog& history_;
    std::vector<SchedulerEntry> queue_;
    std::vector<SchedulerEntry> unhandled_;
    uint64_t headStartTick_ = 0;
    int64_t headDelayMs_ = 0;
    std::array<Handler, kSchedulerTypes> handlers_{};
    MessageGuard fullGuard_;
    MessageGuard saveGuard_;
};

} // namespace k4
