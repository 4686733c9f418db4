#include "processing/block_lst.h"

#include "database/table.h"
#include "database/text_edge.h"
#include "processing/scheduler.h"

#include <cstdio>

namespace k4 {

namespace {

const char* kFileName = "blokady";

int historyKindOf(int kind, bool blocked) {
    switch (kind & ~kBlockTimed) {
    case kBlockIncomplete: return blocked ? kHistoryBlockedIncomplete : kHistoryUnblockedIncomplete;
    case kBlockSubscriber: return blocked ? kHistoryBlockedSubscriber : kHistoryUnblockedSubscriber;
    default: return blocked ? kHistoryBlockedAlarms : kHistoryUnblockedAlarms;
    }
}

} // namespace

BlockLst::BlockLst(const DataDir& dir, Messages& messages, HistoryLog& history, Scheduler& scheduler)
    : dir_(dir), messages_(messages), history_(history), scheduler_(scheduler) {
    scheduler_.setHandler(kSchedRemoveBlk, [this](uint16_t key, uint8_t arg) {
        if (arg == kTimedBlockadeEnd) endTimed(key);
        else if (otherEnds_) otherEnds_(key, arg);
    });
}

BlockLst::~BlockLst() { scheduler_.setHandler(kSchedRemoveBlk, {}); }

int BlockLst::load() {
    Table table(dir_, records_.data());
    if (table.Load(kFileName, sizeof(BlockRecord), kRecords) != 0) {
        records_ = {};
        messages_.ShowNotice(fileGuard_, mz("\x03odczytu pliku blokad"), kNoticeError);
        if (observer_) observer_->blockadesLoaded();
        return -1;
    }
    if (observer_) observer_->blockadesLoaded();
    // A timed blockade whose end entry is gone (the queue was lost or is
    // older than the table) would never end: it ends now, logged as such.
    for (int i = count() - 1; i >= 0; --i) {
        const BlockRecord& r = records_[static_cast<size_t>(i)];
        if ((r.kind & kBlockTimed) && !scheduler_.exists(r.subscriber, kSchedRemoveBlk, kTimedBlockadeEnd))
            removeAt(i);
    }
    return 0;
}

int BlockLst::count() const {
    int n = 0;
    while (n < kRecords && records_[static_cast<size_t>(n)].kind != 0) ++n;
    return n;
}

int BlockLst::kindOf(int subscriber) const {
    for (const BlockRecord& r : records_) {
        if (r.kind == 0) break;
        if (r.subscriber == subscriber) return r.kind;
    }
    return 0;
}

std::string BlockLst::lineOf(int index) const {
    const BlockRecord& r = records_[static_cast<size_t>(index)];
    const char* format = "Zablokowano alarmy   %4.4d";
    if ((r.kind & ~kBlockTimed) == kBlockIncomplete) format = "Zablokowano niepełne meld. %4.4d";
    else if ((r.kind & ~kBlockTimed) == kBlockSubscriber) format = "Zablokowano abonenta %4.4d";
    char text[64];
    std::snprintf(text, sizeof text, format, static_cast<int>(r.subscriber));
    std::string line = text;
    if (r.kind & kBlockTimed) line += "   (czasowo)";
    return mz(line);
}

int BlockLst::add(int subscriber, int kind) {
    const int n = count();
    const int plain = kind & ~kBlockTimed;
    if (plain != kBlockIncomplete && plain != kBlockSubscriber && plain != kBlockAlarms) return -1;
    if (n >= kRecords) {
        messages_.ShowNotice(mz("\x03Zapełniona tablica blokad"), kNoticeInfo);
        return -1;
    }
    // One record per subscriber: a second one would be found by no look-up.
    if (kindOf(subscriber) != 0) {
        messages_.ShowNotice(mz("\x03" "Abonent jest już zablokowany"), kNoticeInfo);
        return -1;
    }
    int at = 0;
    while (at < n && records_[static_cast<size_t>(at)].subscriber < subscriber) ++at;
    for (int i = n; i > at; --i) records_[static_cast<size_t>(i)] = records_[static_cast<size_t>(i - 1)];
    records_[static_cast<size_t>(at)].subscriber = static_cast<int16_t>(subscriber);
    records_[static_cast<size_t>(at)].kind = static_cast<uint8_t>(kind);
    if (observer_) observer_->blockadeAdded(at);
    history_.LogEvent(historyKindOf(kind, true), subscriber);
    return save();
}

void BlockLst::removeAt(int index) {
    const int n = count();
    if (index < 0 || index >= n) return;
    const BlockRecord r = records_[static_cast<size_t>(index)];
    if (r.kind & kBlockTimed) scheduler_.cancel(r.subscriber, kSchedRemoveBlk, kTimedBlockadeEnd);
    history_.LogEvent(historyKindOf(r.kind, false), r.subscriber);
    for (int i = index; i + 1 < n; ++i) records_[static_cast<size_t>(i)] = records_[static_cast<size_t>(i + 1)];
    records_[static_cast<size_t>(n - 1)] = BlockRecord{};
    save();
    if (observer_) observer_->blockadeRemoved(index);
}

void BlockLst::endTimed(int subscriber) {
    const int n = count();
    for (int i = 0; i < n; ++i) {
        const BlockRecord& r = records_[static_cast<size_t>(i)];
        if (r.subscriber == subscriber) {
            if (r.kind & kBlockTimed) removeAt(i);
            return;
        }
    }
}

int BlockLst::save() {
    Table table(dir_, records_.data());
    if (table.Save(kFileName, sizeof(BlockRecord), kRecords) == 0) return 0;
    messages_.ShowNotice(fileGuard_, mz("\x03zapisu pliku blokad"), kNoticeError);
    return -1;
}

} // namespace k4
