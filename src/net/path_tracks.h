#pragma once
// The track queues of the eight path types and what uses them: the texts
// report processing attaches to an alarm (found again by the alarm
// service, dropped when the path's delay has passed), and the orders staged
// at 180 of the frame buffer, sent at once and twice more, 10 seconds
// apart, until their confirmation drops them (scheduler type 7).
#include "baselink/frame_buffer.h"
#include "net/track_queue.h"
#include "net/udp_links.h"
#include "processing/report_links.h"
#include "processing/scheduler.h"

#include <array>
#include <optional>

namespace k4 {

// What the queues need of the path table and the modules.
class TrackedPaths {
public:
    virtual ~TrackedPaths() = default;
    // The path type of the path in a slot; nothing for an empty slot.
    virtual std::optional<int> pathType(int slot) const = 0;
    // The slot's module answers its selection (any type).
    virtual bool selectModule(int slot) = 0;
    // One poll of the path that sends the order staged at 180: its status.
    virtual int pollSendOrder(int slot) = 0;
    // A queued GSM forwarding test was never confirmed.
    virtual void testOrderLost(int base) = 0;
};

class PathTracks final : public TextTracking, public TrackedTexts {
public:
    static constexpr int kOrderRepeats = 2;
    static constexpr int kResendSeconds = 10;
    static constexpr int kStagedBytes = 20;

    PathTracks(TrackedPaths& paths, FrameBuffer& frame, Scheduler& scheduler);

    // Scheduler type 7 runs resend.
    void registerHandler();

    TrackQueue& queue(int pathType) { return queues_[static_cast<size_t>(pathType & 7)]; }
    const TrackQueue& queue(int pathType) const { return queues_[static_cast<size_t>(pathType & 7)]; }

    // The staged order into the queue of the path's type and out: the poll
    // status, or -1 (nothing queued, nothing sent).
    int queueOrder(int slot, uint8_t alarmId, uint8_t entryType);
    // A confirmation names the queued order: it and its re-send go. The
    // removed entry's alarmId, or -1.
    int dropQueued(int slot, int seq);
    // Scheduler type 7: the entry sent again while it has repeats left,
    // otherwise dropped.
    void resend(int slot, int seq);

    // TextTracking: the report's text with its NUL; the seq or -1.
    int queueText(int path, std::string_view text, uint8_t alarmId) override;
    // TrackedTexts: the text up to its NUL.
    std::optional<std::string> trackFindAlarm(int pathType, uint8_t alarmId) override;

private:
    TrackedPaths& paths_;
    FrameBuffer& frame_;
    Scheduler& scheduler_;
    TrackCounter counter_;
    std::array<TrackQueue, 8> queues_;
};

} // namespace k4
