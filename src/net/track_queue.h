#pragma once
// What was sent over the paths of one path type and waits for an answer:
// orders the scheduler sends again until their confirmation drops them,
// and texts attached to reports that the operator's alarm service sends
// back to the base. Twenty entries a type, in memory only; one 8-bit
// counter shared by every queue hands out the sequence numbers the bases
// echo.
#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <vector>

namespace k4 {

constexpr int kTrackEntries = 20;
constexpr uint8_t kNoAlarmId = 255;

// Entry types.
enum : uint8_t {
    kTrackText = 0,          // a text for the alarm service
    kTrackTestOrder = 8,     // its loss counts as a failed GSM forwarding test
    kTrackForwardOrder = 9,  // a forwarding order or forwarding answer
};

struct TrackEntry {
    int32_t seq = -1; // -1 free, else 0..255
    int32_t repeats = 0;
    uint8_t entryType = kTrackText;
    uint8_t alarmId = kNoAlarmId;
    std::vector<uint8_t> data;

    bool inUse() const { return seq >= 0; }
};

// The sequence numbers: 0, 1, ... 255, 0, ... over all queues.
class TrackCounter {
public:
    uint8_t take() { return next_++; }

private:
    uint8_t next_ = 0;
};

class TrackQueue {
public:
    explicit TrackQueue(TrackCounter& counter) : counter_(counter) {}

    // The new entry's seq, or -1 when the queue is full or the copy cannot
    // be made.
    int trackAdd(std::span<const uint8_t> data, uint8_t alarmId, uint8_t entryType, int repeats);
    // 0, or -1 when no entry has that seq. The copy takes the new bytes.
    int trackUpdate(int seq, std::span<const uint8_t> data);
    // The removed entry's alarmId; the entries above move down.
    int trackRemoveAt(int position);
    // The removed entry's alarmId, or -1 when no entry has that seq.
    int trackRemove(int seq);
    // The data to send again while the entry has repeats left; otherwise the
    // entry goes and nothing is sent. A test order that goes names its base
    // (byte 19 of its data) to lost, read before the copy is freed.
    std::optional<std::vector<uint8_t>> trackNext(int seq, const std::function<void(int base)>& testLost);
    // The data of the first text in use for this alarm.
    std::optional<std::vector<uint8_t>> trackFindAlarm(uint8_t alarmId) const;

    const TrackEntry& at(int position) const { return entries_[static_cast<size_t>(position)]; }
    int used() const;

private:
    int find(int seq) const;

    TrackCounter& counter_;
    std::array<TrackEntry, kTrackEntries> entries_{};
};

} // namespace k4
