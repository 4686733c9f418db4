#include "net/path_tracks.h"

#include <algorithm>
#include <cstring>

namespace k4 {

PathTracks::PathTracks(TrackedPaths& paths, FrameBuffer& frame, Scheduler& scheduler)
    : paths_(paths), frame_(frame), scheduler_(scheduler),
      queues_{TrackQueue(counter_), TrackQueue(counter_), TrackQueue(counter_), TrackQueue(counter_),
              TrackQueue(counter_), TrackQueue(counter_), TrackQueue(counter_), TrackQueue(counter_)} {}

void PathTracks::registerHandler() {
    scheduler_.setHandler(kSchedTestAck, [this](uint16_t key, uint8_t arg) { resend(key, arg); });
}

int PathTracks::queueOrder(int slot, uint8_t alarmId, uint8_t entryType) {
    const auto type = paths_.pathType(slot);
    if (!type) return -1;
    TrackQueue& q = queue(*type);
    const std::span<uint8_t> staged(frame_.bytes.data() + FrameBuffer::kStage180, kStagedBytes);
    const int seq = q.trackAdd(staged, alarmId, entryType, kOrderRepeats);
    if (seq < 0) return -1;
    // The partner echoes the sequence; the queued copy carries it too, so a
    // re-send is the same order.
    staged[6] = static_cast<uint8_t>(seq);
    q.trackUpdate(seq, staged);
    scheduler_.schedule(kResendSeconds, slot, kSchedTestAck, seq);
    return paths_.pollSendOrder(slot);
}

int PathTracks::dropQueued(int slot, int seq) {
    const auto type = paths_.pathType(slot);
    const int removed = type ? queue(*type).trackRemove(seq) : -1;
    scheduler_.cancel(slot, kSchedTestAck, seq);
    return removed;
}

void PathTracks::resend(int slot, int seq) {
    const auto type = paths_.pathType(slot);
    // An entry of the last run, or of a path the module check took away:
    // nothing is queued for it any more.
    if (!type) return;
    const auto data = queue(*type).trackNext(seq, [this](int base) { paths_.testOrderLost(base); });
    if (!data) return;
    std::memset(frame_.bytes.data() + FrameBuffer::kStage180, 0, kStagedBytes);
    std::memcpy(frame_.bytes.data() + FrameBuffer::kStage180, data->data(),
                std::min<size_t>(data->size(), kStagedBytes));
    if (paths_.selectModule(slot)) paths_.pollSendOrder(slot);
    scheduler_.schedule(kResendSeconds, slot, kSchedTestAck, seq);
}

int PathTracks::queueText(int path, std::string_view text, uint8_t alarmId) {
    const auto type = paths_.pathType(path);
    if (!type) return -1;
    std::vector<uint8_t> bytes(text.begin(), text.end());
    bytes.push_back(0);
    return queue(*type).trackAdd(bytes, alarmId, kTrackText, 0);
}

std::optional<std::string> PathTracks::trackFindAlarm(int pathType, uint8_t alarmId) {
    const auto data = queue(pathType).trackFindAlarm(alarmId);
    if (!data) return std::nullopt;
    const auto end = std::find(data->begin(), data->end(), uint8_t{0});
    return std::string(data->begin(), end);
}

} // namespace k4
