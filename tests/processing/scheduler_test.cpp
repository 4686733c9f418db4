#include "processing/scheduler.h"

#include "../history/history_fixture.h"

#include <gtest/gtest.h>

namespace k4 {
namespace {

using test::contains;

struct Dispatch {
    int64_t atMs; // since the start of the test
    int type;
    int key;
    int arg;
    bool operator==(const Dispatch&) const = default;
};
std::ostream& operator<<(std::ostream& o, const Dispatch& d) {
    return o << "{" << d.atMs << "ms type " << d.type << " key " << d.key << " arg " << d.arg << "}";
}

struct SchedulerStation : test::HistoryStation {
    Scheduler scheduler{data, clock, messages, log};
    uint64_t startTick = clock.tickMs();
    std::vector<Dispatch> dispatched;

    SchedulerStation() {
        log.OpenHistory("logf");
        for (int type : {1, 2, 3, 4, 5, 12, 14}) record(scheduler, type);
    }
    void record(Scheduler& s, int type) {
        s.setHandler(type, [this, type](uint16_t key, uint8_t arg) {
            dispatched.push_back({static_cast<int64_t>(clock.tickMs() - startTick), type, key, arg});
        });
    }
    // Polls every 100 ms, as the main window's timer does.
    void runFor(int64_t ms, Scheduler* s = nullptr) {
        for (int64_t t = 0; t < ms; t += 100) {
            clock.advanceMs(100);
            (s ? *s : scheduler).poll();
        }
    }
};

TEST(Scheduler, EqualDelaysRunInTheOrderTheyWereScheduled) {
    SchedulerStation s;
    s.scheduler.schedule(5, 1, 3, 1);
    s.scheduler.schedule(2, 9, 3, 1);
    s.scheduler.schedule(5, 2, 3, 1);
    s.scheduler.schedule(5, 3, 3, 1);
    s.runFor(6000);
    ASSERT_EQ(s.dispatched.size(), 4u);
    EXPECT_EQ(s.dispatched[0].key, 9);
    EXPECT_EQ(s.dispatched[1].key, 1);
    EXPECT_EQ(s.dispatched[2].key, 2);
    EXPECT_EQ(s.dispatched[3].key, 3);
    EXPECT_EQ(s.dispatched[1].atMs, 5100) << "due after 5 s, taken by the next tick";
    EXPECT_EQ(s.dispatched[3].atMs, 5300) << "one entry per poll";
}

TEST(Scheduler, CancellingKeepsTheLaterDueMoments) {
    SchedulerStation s;
    s.scheduler.schedule(10, 1, 3, 1); // head
    s.scheduler.schedule(20, 2, 3, 1); // in the middle
    s.scheduler.schedule(25, 3, 3, 1);
    s.runFor(3000);
    s.scheduler.cancel(1, 3, 0);
    s.scheduler.cancel(2, 3, 1);
    s.runFor(30000);
    ASSERT_EQ(s.dispatched.size(), 1u);
    EXPECT_EQ(s.dispatched[0], (Dispatch{25100, 3, 3, 1}));
}

TEST(Scheduler, CancelMatchesFourteenKeyBitsAndAnyArgumentWithZero) {
    SchedulerStation s;
    s.scheduler.schedule(1, 0x4005, 5, 1);
    s.scheduler.schedule(2, 0x0005, 5, 2);
    s.scheduler.schedule(3, 0x0005, 3, 2);
    s.scheduler.schedule(4, 0x0006, 5, 1);
    EXPECT_TRUE(s.scheduler.exists(0x0005, 5, 1));
    EXPECT_FALSE(s.scheduler.exists(0x0005, 5, 0)) << "exists wants the exact argument";
    EXPECT_EQ(s.scheduler.cancel(0x8005, 5, 0), 2 << 24);
    EXPECT_EQ(s.scheduler.count(), 2);
    EXPECT_EQ(s.scheduler.cancel(0x0005, 5, 0), 0);
    s.runFor(5000);
    ASSERT_EQ(s.dispatched.size(), 2u);
    EXPECT_EQ(s.dispatched[0], (Dispatch{3100, 3, 5, 2}));
    EXPECT_EQ(s.dispatched[1], (Dispatch{4100, 5, 6, 1}));
}

TEST(Scheduler, HandlerGetsAllSixteenKeyBits) {
    SchedulerStation s;
    s.scheduler.schedule(0, 0xC123, 14, 16);
    s.runFor(100);
    ASSERT_EQ(s.dispatched.size(), 1u);
    EXPECT_EQ(s.dispatched[0].key, 0xC123);
    EXPECT_EQ(s.dispatched[0].arg, 16);
}

TEST(Scheduler, LatePollsRunOneOverdueEntryEachWithoutDrift) {
    SchedulerStation s;
    s.scheduler.schedule(5, 1, 1, 0);
    s.scheduler.schedule(6, 2, 1, 0);
    s.scheduler.schedule(30, 3, 1, 0);
    s.clock.advanceMs(20000); // a modal dialog held the timer
    s.scheduler.poll();
    s.scheduler.poll();
    s.scheduler.poll();
    EXPECT_EQ(s.dispatched.size(), 2u);
    s.runFor(9900);
    EXPECT_EQ(s.dispatched.size(), 2u);
    s.runFor(200);
    ASSERT_EQ(s.dispatched.size(), 3u);
    EXPECT_EQ(s.dispatched[2].atMs, 30100);
}

TEST(Scheduler, TimerUnderAHandlersBoxDoesNotRunTheNextEntryEarly) {
    SchedulerStation s;
    int runs = 0;
    s.scheduler.setHandler(2, [&](uint16_t, uint8_t) {
        ++runs;
        if (runs == 1) s.runFor(5000); // a box stays up for 5 s, the timer keeps polling
        if (runs < 3) s.scheduler.schedule(10, 0, 2, 0); // and it may queue its own type again
    });
    s.scheduler.schedule(1, 0, 2, 0);
    s.scheduler.schedule(15, 0, 4, 0);
    s.runFor(40000);
    EXPECT_EQ(runs, 3);
    ASSERT_EQ(s.dispatched.size(), 1u);
    EXPECT_EQ(s.dispatched[0].atMs, 15100);
}

TEST(Scheduler, FullQueueIsReportedOnceWhileTheBoxIsUp) {
    SchedulerStation s;
    for (int i = 0; i < kSchedulerCapacity; ++i) ASSERT_EQ(s.scheduler.schedule(100000 - i, i, 1, 0), 0);
    int failuresUnderBox = 0;
    s.ui.whileShown = [&](const BoxRequest&) { failuresUnderBox += s.scheduler.schedule(1, 0, 4, 0) == -1; };
    EXPECT_EQ(s.scheduler.schedule(1, 0, 4, 0), -1);
    EXPECT_EQ(failuresUnderBox, 1);
    ASSERT_EQ(s.ui.boxes.size(), 1u);
    EXPECT_EQ(s.boxText(0), " Brak pamięci  dla zdarzeń systemowych");
    const auto entries = test::entriesOf(s.dir.read("logf"));
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].kindCode(), 55);
}

TEST(SchedulerFile, EntryLayoutAndStampOfTheHeadsStart) {
    SchedulerStation s;
    s.scheduler.schedule(5, 0x1234, 3, 2);
    s.clock.advanceMs(2400);
    ASSERT_EQ(s.scheduler.save(), 0);
    const std::string image = s.dir.read("events");
    ASSERT_EQ(image.size(), kEventsFileSize);
    const Stamp start = nowStamp(s.clock) - 2;
    EXPECT_EQ(image.substr(0, 4), std::string({static_cast<char>(start & 0xFF), static_cast<char>((start >> 8) & 0xFF),
                                               static_cast<char>((start >> 16) & 0xFF), static_cast<char>((start >> 24) & 0xFF)}));
    EXPECT_EQ(image.substr(4, 6), std::string("\x05\x00\x30\x02\x34\x12", 6));
    EXPECT_EQ(image.find_first_not_of('\0', 10), std::string::npos);
}

TEST(SchedulerFile, RestartKeepsTestDeadlinesAndBlockadeEndsOnTheirDueSeconds) {
    SchedulerStation s;
    s.scheduler.schedule(100, 11, 3, 1);
    s.scheduler.schedule(50, 12, 1, 0);  // probe: rebuilt by its path, not restored
    s.scheduler.schedule(200, 13, 5, 1);
    s.scheduler.schedule(60, 0, 10, 0);
    s.scheduler.schedule(400, 14, 3, 2);
    s.scheduler.schedule(420, 15, 2, 0);
    s.runFor(30000);
    ASSERT_EQ(s.scheduler.close(), 0);

    s.clock.advanceMs(150000); // the station is off for two and a half minutes
    Scheduler restarted(s.data, s.clock, s.messages, s.log);
    for (int type : {1, 2, 3, 5}) s.record(restarted, type);
    ASSERT_EQ(restarted.load(), 0);
    EXPECT_EQ(restarted.count(), 3);
    s.runFor(300000, &restarted);
    ASSERT_EQ(s.dispatched.size(), 3u);
    EXPECT_EQ(s.dispatched[0], (Dispatch{180100, 3, 11, 1})) << "passed while stopped: due at once";
    EXPECT_EQ(s.dispatched[1], (Dispatch{200100, 5, 13, 1}));
    EXPECT_EQ(s.dispatched[2], (Dispatch{400100, 3, 14, 2}));
}

// A restored deadline of a type this version has no handler for is not
// consumed: it is kept, saved again, and runs in a version that handles it
// (or as soon as its handler is registered).
TEST(SchedulerFile, DueEntriesWithoutAHandlerAreKeptForAVersionThatHasOne) {
    test::HistoryStation h;
    h.log.OpenHistory("logf");
    Scheduler older(h.data, h.clock, h.messages, h.log); // no handler of type 5
    older.schedule(2, 41, 5, 1);
    older.schedule(3, 42, 3, 2);
    for (int i = 0; i < 50; ++i) {
        h.clock.advanceMs(100);
        older.poll();
    }
    EXPECT_EQ(older.count(), 0);
    EXPECT_EQ(older.unhandledCount(), 2);
    ASSERT_EQ(older.close(), 0);

    h.clock.advanceSeconds(60);
    Scheduler again(h.data, h.clock, h.messages, h.log); // still none: kept through a second run
    ASSERT_EQ(again.load(), 0);
    for (int i = 0; i < 5; ++i) {
        h.clock.advanceMs(100);
        again.poll();
    }
    EXPECT_EQ(again.unhandledCount(), 2);
    std::vector<std::pair<int, int>> ran;
    again.setHandler(3, [&](uint16_t key, uint8_t arg) { ran.emplace_back(key, arg); });
    for (int i = 0; i < 5; ++i) {
        h.clock.advanceMs(100);
        again.poll();
    }
    EXPECT_EQ(ran.size(), 1u) << "its handler registered, it runs at once";
    ASSERT_EQ(again.close(), 0);

    Scheduler newer(h.data, h.clock, h.messages, h.log);
    newer.setHandler(5, [&](uint16_t key, uint8_t arg) { ran.emplace_back(key, arg); });
    ASSERT_EQ(newer.load(), 0);
    for (int i = 0; i < 5; ++i) {
        h.clock.advanceMs(100);
        newer.poll();
    }
    EXPECT_EQ(ran, (std::vector<std::pair<int, int>>{{42, 2}, {41, 1}}));
}

TEST(SchedulerFile, StaleShortOrMissingFilesGiveWhatTheyCan) {
    {
        SchedulerStation s;
        EXPECT_EQ(s.scheduler.load(), 0) << "a fresh installation has no queue yet";
        EXPECT_EQ(s.scheduler.count(), 0);
    }
    {
        SchedulerStation s;
        s.scheduler.schedule(100, 1, 3, 1);
        ASSERT_EQ(s.scheduler.save(), 0);
        s.clock.advanceSeconds(0x100000 + 1);
        EXPECT_EQ(s.scheduler.load(), 0);
        EXPECT_EQ(s.scheduler.count(), 0) << "older than twelve days";
    }
    {
        SchedulerStation s;
        s.scheduler.schedule(100, 1, 3, 1);
        s.scheduler.schedule(200, 2, 3, 1);
        ASSERT_EQ(s.scheduler.save(), 0);
        s.dir.write("events", s.dir.read("events").substr(0, 4 + 6 + 3)); // cut inside the second entry
        EXPECT_EQ(s.scheduler.load(), 0);
        EXPECT_EQ(s.scheduler.count(), 1);
        EXPECT_TRUE(contains(s.boxText(0), "events")) << s.boxText(0);
    }
}

TEST(Scheduler, SaveEveryMinuteKeepsItselfQueued) {
    SchedulerStation s;
    s.scheduler.schedule(60, 0, kSchedSaveEvents, 0);
    s.runFor(60100);
    EXPECT_TRUE(fileExists(s.dir.file("events")));
    EXPECT_TRUE(s.scheduler.exists(0, kSchedSaveEvents, 0));
    EXPECT_EQ(s.scheduler.count(), 1);
    EXPECT_EQ(s.scheduler.headRemainingMs(), 60000);
}

} // namespace
} // namespace k4
