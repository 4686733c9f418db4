// The queue across a restart. "events" holds a stamp and every slot of the
// queue; only test deadlines and blockade ends come back, moved on by the
// time the station was stopped. Everything else is rebuilt by its owner.
#include "processing/scheduler.h"

#include "database/stamp.h"
#include "database/text_edge.h"
#include "platform/file.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace k4 {

namespace {

bool survivesRestart(int type) { return type == kSchedCheckTest || type == kSchedRemoveBlk; }

int32_t readStamp(const std::string& image) {
    uint32_t v = 0;
    for (int i = 0; i < 4; ++i) v |= static_cast<uint32_t>(static_cast<uint8_t>(image[i])) << (8 * i);
    return static_cast<int32_t>(v);
}

} // namespace

int Scheduler::load() {
    headStartTick_ = clock_.tickMs();
    queue_.clear();
    unhandled_.clear();
    setHeadDelay();

    std::string image;
    // No file (a fresh installation) or nothing readable: an empty queue,
    // and the start goes on.
    if (!readWholeFile(path(), image, nullptr) || image.size() < 4) return 0;
    if (image.size() != kEventsFileSize) {
        // A torn or foreign file: what it holds in whole entries is still
        // the best knowledge of the deadlines, and the operator is told.
        char text[160];
        std::snprintf(text, sizeof text, "\x03Plik events ma niewłaściwą długość (%zu B)", image.size());
        messages_.ShowNotice(mz(text), kNoticeInfo);
    }

    // The stamp is the moment from which the stored head's delay ran, so the
    // difference to now is the time already spent by the whole queue.
    int64_t off = static_cast<int64_t>(nowStamp(clock_)) - readStamp(image);
    if (off > static_cast<int64_t>(kMaxDelay)) return 0; // older than any delay: nothing left to keep
    if (off < 0) off = 0; // a clock set back: nothing has passed yet

    const size_t slots = std::min<size_t>((image.size() - 4) / sizeof(SchedulerEntry), kSchedulerCapacity);
    // Delays in full width while entries are dropped and the offset applied.
    struct Kept {
        int64_t due; // seconds after the stored head's start
        SchedulerEntry entry;
    };
    std::vector<Kept> kept;
    int64_t sum = 0;
    for (size_t i = 0; i < slots; ++i) {
        SchedulerEntry e;
        std::memcpy(&e, image.data() + 4 + i * sizeof e, sizeof e);
        if (e.isEnd()) break;
        sum += e.delay();
        if (survivesRestart(e.type())) kept.push_back({sum, e});
    }

    int64_t previousDue = off;
    for (auto& k : kept) {
        const int64_t due = std::max(k.due, off);
        k.entry.setDelay(static_cast<uint32_t>(std::min<int64_t>(due - previousDue, kMaxDelay)));
        previousDue = due;
        queue_.push_back(k.entry);
    }
    setHeadDelay();
    return 0;
}

int Scheduler::save() {
    // Stored: the head's start moment, not the moment of saving. A restart
    // then restores every deadline on its own due second, however long the
    // head had already been running.
    const int64_t elapsed = static_cast<int64_t>(clock_.tickMs() - headStartTick_) / 1000;
    const int32_t stamp = static_cast<int32_t>(nowStamp(clock_) - (queue_.empty() ? 0 : elapsed));

    std::string image(kEventsFileSize, '\0');
    for (int i = 0; i < 4; ++i) image[static_cast<size_t>(i)] = static_cast<char>((static_cast<uint32_t>(stamp) >> (8 * i)) & 0xFF);
    // Entries already due that no handler took come first with delay 0:
    // due at once at the next start, before the head, whose delay counts
    // from the same moment.
    std::vector<SchedulerEntry> slots(unhandled_);
    slots.insert(slots.end(), queue_.begin(), queue_.end());
    slots.resize(std::min<size_t>(slots.size(), kSchedulerCapacity));
    if (!slots.empty()) std::memcpy(image.data() + 4, slots.data(), slots.size() * sizeof(SchedulerEntry));
    return replaceFileDurably(path(), image, nullptr) ? 0 : -1;
}

} // namespace k4
