#pragma once
// The subscriber blockades: "blokady", 40 records of 3 bytes kept sorted by
// subscriber number with the used ones first. A blockade suppresses a
// subscriber altogether, only its alarms, or only its incomplete reports;
// a timed one ends by a scheduler entry (type 5, argument 1).
#include "history/history_log.h"
#include "platform/data_dir.h"
#include "platform/little_endian.h"
#include "messages/messages.h"

#include <array>
#include <cstdint>
#include <functional>
#include <string>

namespace k4 {

class Scheduler;

struct BlockRecord {
    Int16Le subscriber;
    uint8_t kind; // 10, 11 or 12, plus kBlockTimed
};
static_assert(sizeof(BlockRecord) == 3);

enum : int {
    kBlockIncomplete = 10, // incomplete reports are not reported to the operator
    kBlockSubscriber = 11, // reports are neither logged nor raised
    kBlockAlarms = 12,     // known events are logged as blocked, no alarm
    kBlockTimed = 0x10,
};

// History kinds of the blockade changes.
enum : int {
    kHistoryUnblockedIncomplete = 12,
    kHistoryUnblockedSubscriber = 13,
    kHistoryUnblockedAlarms = 14,
    kHistoryBlockedIncomplete = 15,
    kHistoryBlockedSubscriber = 16,
    kHistoryBlockedAlarms = 17,
};

// The argument of the scheduler's type-5 entry that ends a timed blockade.
constexpr int kTimedBlockadeEnd = 1;

// What the main window shows of the table: one line per record, in order.
class BlockListObserver {
public:
    virtual ~BlockListObserver() = default;
    virtual void blockadesLoaded() = 0;            // show lineOf(0..count-1)
    virtual void blockadeAdded(int index) = 0;     // a new line at index, to be selected
    virtual void blockadeRemoved(int index) = 0;
};

class BlockLst {
public:
    static constexpr int kRecords = 40;

    // Takes over the scheduler's type-5 entries: argument 1 ends a timed
    // blockade here, any other argument goes to the handler given with
    // setOtherEndHandler (the path table switches its probing back on with
    // argument 2). The scheduler must outlive the table.
    BlockLst(const DataDir& dir, Messages& messages, HistoryLog& history, Scheduler& scheduler);
    ~BlockLst();
    BlockLst(const BlockLst&) = delete;
    BlockLst& operator=(const BlockLst&) = delete;

    void setOtherEndHandler(std::function<void(uint16_t key, uint8_t arg)> handler) {
        otherEnds_ = std::move(handler);
    }

    void setObserver(BlockListObserver* observer) { observer_ = observer; }

    // At start-up: reads "blokady" (created when missing) and removes every
    // timed blockade whose end entry the scheduler no longer holds, so that
    // it cannot stay forever. Load the scheduler queue first. 0 or -1.
    int load();
    // The kind byte (with kBlockTimed) of the subscriber's record, 0 without one.
    int kindOf(int subscriber) const;
    // 0; -1 when the table is full ("Zapełniona tablica blokad"), the
    // subscriber already has a record, the kind is none of 10, 11, 12 (with
    // or without kBlockTimed), or the file could not be written.
    int add(int subscriber, int kind);
    void removeAt(int index);
    // The scheduler's type-5 entry with argument 1 for this subscriber: its
    // timed record ends. A continuous record stays: an end entry left over
    // from a timed blockade that never got into the table must not lift it.
    void endTimed(int subscriber);

    int count() const;
    const BlockRecord& operator[](int index) const { return records_[static_cast<size_t>(index)]; }
    // The window's line of a record, Mazovia.
    std::string lineOf(int index) const;

private:
    int save();

    DataDir dir_;
    Messages& messages_;
    HistoryLog& history_;
    Scheduler& scheduler_;
    std::array<BlockRecord, kRecords> records_{};
    BlockListObserver* observer_ = nullptr;
    std::function<void(uint16_t, uint8_t)> otherEnds_;
    MessageGuard fileGuard_;
};

} // namespace k4
