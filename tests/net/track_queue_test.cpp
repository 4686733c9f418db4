// The track queues: orders sent again until their confirmation drops them,
// texts kept for the alarm service for the path's delay, a full queue.
#include "net/path_tracks.h"

#include "../history/history_fixture.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace k4 {
namespace {

struct RecordingPaths final : TrackedPaths {
    explicit RecordingPaths(const FrameBuffer& frame) : frame_(frame) {}
    std::vector<std::string> sends; // the staged sequence byte and the moment, for each send
    std::vector<int> lostTests;
    const test::ManualClock* clock = nullptr;
    uint64_t start = 0;

    std::optional<int> pathType(int slot) const override {
        if (slot == 7 || slot == 8) return 6; // two Ethernet bases share the TE queue
        if (slot == 3) return 5;
        return std::nullopt;
    }
    bool selectModule(int) override { return true; }
    int pollSendOrder(int slot) override {
        sends.push_back(std::to_string(slot) + " seq " + std::to_string(frame_[FrameBuffer::kStage180 + 6]) + " at " +
                        std::to_string((clock->tickMs() - start) / 1000) + " s");
        return 2;
    }
    void testOrderLost(int base) override { lostTests.push_back(base); }

private:
    const FrameBuffer& frame_;
};

struct TrackRig : test::HistoryStation {
    FrameBuffer frame;
    RecordingPaths paths{frame};
    Scheduler scheduler{data, clock, messages, log};
    PathTracks tracks{paths, frame, scheduler};

    TrackRig() {
        log.OpenHistory("logf");
        tracks.registerHandler();
        paths.clock = &clock;
        paths.start = clock.tickMs();
    }
    void stage(uint8_t type, uint8_t base) {
        frame.bytes.fill(0);
        frame[FrameBuffer::kStage180] = 17;
        frame[FrameBuffer::kStage180 + 5] = type;
        frame[FrameBuffer::kStage180 + 19] = base;
    }
    void runFor(int seconds) {
        for (int t = 0; t < seconds * 10; ++t) {
            clock.advanceMs(100);
            scheduler.poll();
        }
    }
};

TEST(TrackQueue, AnOrderIsSentAgainUntilItsConfirmationDropsIt) {
    TrackRig rig;
    rig.stage(kTrackForwardOrder, 2);
    const int status = rig.tracks.queueOrder(7, kNoAlarmId, kTrackForwardOrder);
    EXPECT_EQ(status, 2);
    rig.runFor(12);
    // The confirmation names the sequence the order carried.
    EXPECT_EQ(rig.tracks.dropQueued(7, 0), kNoAlarmId);
    rig.runFor(40);
    EXPECT_EQ(rig.paths.sends, (std::vector<std::string>{"7 seq 0 at 0 s", "7 seq 0 at 10 s"}));
    EXPECT_EQ(rig.tracks.queue(6).used(), 0);
    EXPECT_FALSE(rig.scheduler.exists(7, kSchedTestAck, 0));
}

TEST(TrackQueue, AnUnconfirmedTestOrderGoesThreeTimesAndCountsAsAFailedGsmTest) {
    TrackRig rig;
    rig.tracks.queueText(7, "first", 1); // takes sequence 0
    rig.stage(kTrackTestOrder, 4);
    rig.tracks.queueOrder(8, 9, kTrackTestOrder);
    rig.runFor(45);
    EXPECT_EQ(rig.paths.sends, (std::vector<std::string>{"8 seq 1 at 0 s", "8 seq 1 at 10 s", "8 seq 1 at 20 s"}));
    EXPECT_EQ(rig.paths.lostTests, (std::vector<int>{4}));
    EXPECT_EQ(rig.tracks.queue(6).used(), 1) << "the text stays until its own entry runs";
}

TEST(TrackQueue, AnAttachedTextIsFoundWithinThePathsDelayAndNotAfter) {
    TrackRig rig;
    const int seq = rig.tracks.queueText(7, "%07 y12AB34#", 5);
    ASSERT_GE(seq, 0);
    // As report processing does: the path's send delay.
    rig.scheduler.schedule(20, 7, kSchedTestAck, seq);
    // Any base of the type finds it; another alarm finds nothing.
    EXPECT_EQ(rig.tracks.trackFindAlarm(6, 5), std::optional<std::string>("%07 y12AB34#"));
    EXPECT_EQ(rig.tracks.trackFindAlarm(6, 6), std::nullopt);
    EXPECT_EQ(rig.tracks.trackFindAlarm(5, 5), std::nullopt);
    rig.runFor(19);
    EXPECT_TRUE(rig.tracks.trackFindAlarm(6, 5));
    rig.runFor(2);
    EXPECT_EQ(rig.tracks.trackFindAlarm(6, 5), std::nullopt);
    EXPECT_TRUE(rig.paths.sends.empty()) << "a text is never sent by the queue";
}

TEST(TrackQueue, AnOrderStagedForAPartnerIsNoTextOfAlarm255) {
    TrackRig rig;
    rig.stage(kTrackForwardOrder, 0);
    rig.tracks.queueOrder(7, kNoAlarmId, kTrackForwardOrder);
    EXPECT_EQ(rig.tracks.trackFindAlarm(6, kNoAlarmId), std::nullopt);
}

TEST(TrackQueue, TheTwentyFirstEntryIsRefusedAndSequencesWrapAfter255) {
    TrackCounter counter;
    TrackQueue q(counter);
    const uint8_t data[3] = {1, 2, 3};
    for (int i = 0; i < kTrackEntries; ++i) EXPECT_EQ(q.trackAdd(data, 1, kTrackText, 0), i);
    EXPECT_EQ(q.trackAdd(data, 1, kTrackText, 0), -1);
    // Removing from the middle moves the later entries down.
    EXPECT_EQ(q.trackRemove(3), 1);
    EXPECT_EQ(q.at(3).seq, 4);
    EXPECT_EQ(q.at(kTrackEntries - 1).seq, -1);
    EXPECT_EQ(q.trackRemove(3), -1);
    EXPECT_EQ(q.trackRemove(-1), -1) << "a free entry never matches";
    for (int i = 0; i < 300; ++i) {
        q.trackRemoveAt(0);
        const int seq = q.trackAdd(data, 1, kTrackText, 0);
        ASSERT_EQ(seq, (20 + i) % 256);
    }
    EXPECT_EQ(q.trackUpdate(999, data), -1);
}

TEST(TrackQueue, AFullQueueNeitherQueuesNorSendsAnOrder) {
    TrackRig rig;
    for (int i = 0; i < kTrackEntries; ++i) ASSERT_GE(rig.tracks.queueText(7, "t", 1), 0);
    rig.stage(kTrackForwardOrder, 0);
    EXPECT_EQ(rig.tracks.queueOrder(8, kNoAlarmId, kTrackForwardOrder), -1);
    EXPECT_TRUE(rig.paths.sends.empty());
    EXPECT_EQ(rig.tracks.queueText(8, "t", 1), -1);
    // Another type has its own queue.
    EXPECT_GE(rig.tracks.queueText(3, "t", 1), 0);
}

TEST(TrackQueue, AnEntryOfTheLastRunFindsNothingAndSendsNothing) {
    TrackRig rig;
    rig.scheduler.schedule(1, 7, kSchedTestAck, 42);
    rig.scheduler.schedule(1, 9, kSchedTestAck, 0); // a slot without a path now
    rig.runFor(3);
    EXPECT_TRUE(rig.paths.sends.empty());
}

} // namespace
} // namespace k4
