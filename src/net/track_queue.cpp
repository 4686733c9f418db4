#include "net/track_queue.h"

#include <algorithm>
#include <new>

namespace k4 {

int TrackQueue::find(int seq) const {
    // Sequences are compared as bytes, so a free entry (-1) never matches.
    if (seq < 0 || seq > 255) return -1;
    for (int i = 0; i < kTrackEntries; ++i)
        if (entries_[static_cast<size_t>(i)].seq == seq) return i;
    return -1;
}

int TrackQueue::used() const {
    return static_cast<int>(std::count_if(entries_.begin(), entries_.end(), [](const TrackEntry& e) { return e.inUse(); }));
}

int TrackQueue::trackAdd(std::span<const uint8_t> data, uint8_t alarmId, uint8_t entryType, int repeats) {
    auto free = std::find_if(entries_.begin(), entries_.end(), [](const TrackEntry& e) { return !e.inUse(); });
    if (free == entries_.end()) return -1;
    std::vector<uint8_t> copy;
    try {
        copy.assign(data.begin(), data.end());
    } catch (const std::bad_alloc&) {
        return -1;
    }
    free->data = std::move(copy);
    free->seq = counter_.take();
    free->alarmId = alarmId;
    free->entryType = entryType;
    free->repeats = repeats;
    return free->seq;
}

int TrackQueue::trackUpdate(int seq, std::span<const uint8_t> data) {
    const int i = find(seq);
    if (i < 0) return -1;
    std::vector<uint8_t>& copy = entries_[static_cast<size_t>(i)].data;
    // The copy keeps its length; the new bytes go over it.
    std::copy_n(data.begin(), std::min(data.size(), copy.size()), copy.begin());
    return 0;
}

int TrackQueue::trackRemoveAt(int position) {
    if (position < 0 || position >= kTrackEntries) return -1;
    const int alarmId = entries_[static_cast<size_t>(position)].alarmId;
    std::move(entries_.begin() + position + 1, entries_.end(), entries_.begin() + position);
    entries_.back() = TrackEntry{};
    return alarmId;
}

int TrackQueue::trackRemove(int seq) {
    const int i = find(seq);
    return i < 0 ? -1 : trackRemoveAt(i);
}

std::optional<std::vector<uint8_t>> TrackQueue::trackNext(int seq, const std::function<void(int base)>& testLost) {
    const int i = find(seq);
    if (i < 0) return std::nullopt;
    TrackEntry& e = entries_[static_cast<size_t>(i)];
    if (e.repeats > 0) {
        --e.repeats;
        return e.data;
    }
    const bool test = e.entryType == kTrackTestOrder;
    const int base = e.data.size() > 19 ? e.data[19] : -1;
    trackRemoveAt(i);
    if (test && base >= 0 && testLost) testLost(base);
    return std::nullopt;
}

std::optional<std::vector<uint8_t>> TrackQueue::trackFindAlarm(uint8_t alarmId) const {
    // Only texts: an order staged for a partner carries 255, which is also
    // an identifier the alarm list gives out, and its binary block is no
    // text to send to a base.
    for (const TrackEntry& e : entries_)
        if (e.inUse() && e.entryType == kTrackText && e.alarmId == alarmId) return e.data;
    return std::nullopt;
}

} // namespace k4
