// Test supervision: deadlines as scheduler entries, restarted by the reports
// that count for each test type, and a missed test turned into the centre's
// "BRAK TESTU" report with its miss counted.
#include "processing/test_supervision.h"

#include "processing_station.h"

#include <gtest/gtest.h>

namespace k4 {
namespace {

using test::kSpecial;

struct TestRig : test::ProcessingStation {
    PathTypeTable types;
    TestSupervisor tests{{config, types, scheduler, db, indexes, processing, history, messages}};

    // Test 1 (and optionally test 2) of a new subscriber.
    void addWithTests(int number, int type1, int path1, int delay1, int repeat1, int type2 = -1, int path2 = 255) {
        addSubscriber(number, [&](SubscriberRecord& r) {
            r.tracks = 0x7F; // connected to every path, so no test is switched off
            r.test_type1 = static_cast<uint8_t>(type1);
            r.test_track1 = static_cast<uint8_t>(path1);
            r.test_delay1 = static_cast<int16_t>(delay1);
            r.test_repeat1 = static_cast<uint8_t>(repeat1);
            uint16_t flags = kTest1Active;
            if (type2 >= 0) {
                r.test_type2 = static_cast<uint8_t>(type2);
                r.test_track2 = static_cast<uint8_t>(path2);
                r.test_repeat2 = 1;
                flags = static_cast<uint16_t>(flags | kTest2Active | (15 << 4));
            }
            r.test_flags = flags;
        });
    }
    Sbscrbr load(int number) { return Sbscrbr(db, ByNumber{number}); }
    // Seconds until the deadline entry of this subscriber and path falls due;
    // -1 when there is none.
    int64_t dueIn(int number, int path) {
        int64_t at = 0;
        for (int i = 0; i < scheduler.count(); ++i) {
            const SchedulerEntry& e = scheduler.entry(i);
            at += i == 0 ? (scheduler.headRemainingMs() + 999) / 1000 : e.delay();
            if (e.type() == kSchedCheckTest && e.key == number && e.arg() == path + 1) return at;
        }
        return -1;
    }
    // Moves the clock and runs what fell due.
    void pass(int64_t seconds) {
        for (int64_t s = 0; s < seconds; ++s) {
            clock.advanceSeconds(1);
            for (int i = 0; i < 8; ++i) scheduler.poll();
        }
    }
    int missingReports(int number) {
        int n = 0;
        for (const auto& e : entries())
            if (!e.isSystem() && e.subscriber == number && e.kindCode() == kSpecial[0]) ++n;
        return n;
    }
};

TEST(TestDeadline, IntervalOfEachTypePlusTheDelay) {
    struct Case {
        int type, delay, repeat, seconds;
    };
    for (const Case& c : std::initializer_list<Case>{
             {kTestArming, 15, 1, 86400 + 900},
             {kTestEvery29h, 0, 1, 104400},
             {kTestDaily, 15, 1, 86400 + 900},
             {kTestTwiceDaily, 1, 9, 43200 + 60},
             {kTestRepeated, 0, 4, 4 * 1800},
             {kTestFromArming, 10, 2, 3600 + 600},
             {kTestFromAnyReport, 0, -1, 255 * 1800}, // the repeat is an unsigned byte
             {kTestRepeated, 0, 0, -1},               // nothing to wait for
             {7, 15, 1, -2},
         })
        EXPECT_EQ(testDeadlineSeconds(c.type, c.delay, c.repeat), c.seconds) << c.type << " " << c.repeat;
}

TEST(TestSupervisor, AnUnknownTypeIsToldAndGivesNoDeadline) {
    TestRig rig;
    EXPECT_EQ(rig.tests.testDeadline(9, 15, 1), -1);
    EXPECT_EQ(rig.shown(), std::vector<std::string>{" Nieprawidłowy kod testu"});
}

TEST(TestSupervisor, DailyTestRestartedByAPeriodicTestAndMissedAtItsDeadline) {
    TestRig rig;
    rig.addWithTests(100, kTestDaily, 1, 15, 1);
    Sbscrbr s = rig.load(100);
    rig.tests.scheduleTests(s, true);
    EXPECT_EQ(rig.dueIn(100, 1), 86400 + 900);

    // A test report ten minutes later moves the deadline with it.
    rig.pass(600);
    EXPECT_EQ(rig.tests.checkTest(5, s, 1), 0);
    EXPECT_EQ(rig.dueIn(100, 1), 86400 + 900);
    EXPECT_EQ(rig.stored(100).test_state & kTest1Received, kTest1Received);

    rig.pass(86400 + 899);
    EXPECT_EQ(rig.missingReports(100), 0);
    // Due once its second has gone by.
    rig.pass(2);
    EXPECT_EQ(rig.missingReports(100), 1);
    const SubscriberRecord after = rig.stored(100);
    EXPECT_EQ(after.test_state & (kTest1Received | kTest1Missing), kTest1Missing);
    EXPECT_EQ(after.test_miss1, 1);
    // It waits for the next interval.
    EXPECT_NEAR(rig.dueIn(100, 1), 86400 + 900, 1);
}

TEST(TestSupervisor, MissedTestIsReportedOnItsPathTypeAndTheCounterWrapsAfter99) {
    TestRig rig;
    rig.addWithTests(200, kTestRepeated, 3, 0, 4); // GSM test path: type "TG"
    Sbscrbr s = rig.load(200);
    uint8_t block[kStateBlockSize];
    ASSERT_EQ(s.ReadState(block), 0);
    block[offsetof(SubscriberRecord, test_miss1) - kStateBlockOffset] = 98;
    ASSERT_EQ(s.WriteState(block), 0);

    EXPECT_EQ(rig.tests.testMissed(200, 4), 4 * 1800);
    EXPECT_EQ(rig.stored(200).test_miss1, 99);
    EXPECT_EQ(rig.tests.testMissed(200, 4), 4 * 1800);
    EXPECT_EQ(rig.stored(200).test_miss1, 0);
    const auto entries = rig.entries();
    ASSERT_FALSE(entries.empty());
    // Path -(5+1): the transmission type of "TG" in the entry's kind.
    EXPECT_EQ(entries.back().kind >> 12, kPathGsm);
    EXPECT_EQ(rig.missingReports(200), 2);
}

TEST(TestSupervisor, WhichReportsRestartWhichTestTypes) {
    struct Case {
        int type, kind;
        bool restarts;
    };
    for (const Case& c : std::initializer_list<Case>{
             {kTestArming, 6, true}, {kTestArming, 5, true}, {kTestArming, -1, true}, {kTestArming, -2, true},
             {kTestDaily, 5, true}, {kTestDaily, 6, false}, {kTestDaily, -1, false}, {kTestDaily, -2, false},
             {kTestFromArming, 6, true}, {kTestFromArming, 5, false}, {kTestFromArming, -1, false},
             {kTestFromAnyReport, 0, true}, {kTestFromAnyReport, -1, true},
         }) {
        TestRig rig;
        rig.addWithTests(300, c.type, 2, 15, 2);
        Sbscrbr s = rig.load(300);
        rig.tests.checkTest(c.kind, s, 2);
        EXPECT_EQ(rig.dueIn(300, 2) != -1, c.restarts) << "type " << c.type << " kind " << c.kind;
    }
}

TEST(TestSupervisor, FromArmingIsStartedByAnArmingTestAndStoppedByDisarming) {
    TestRig rig;
    rig.addWithTests(400, kTestFromArming, 1, 0, 2);
    Sbscrbr s = rig.load(400);
    rig.tests.scheduleTests(s, true);
    EXPECT_EQ(rig.dueIn(400, 1), -1);
    rig.tests.checkTest(-1, s, 1);
    EXPECT_EQ(rig.dueIn(400, 1), -1);
    rig.tests.checkTest(6, s, 1);
    EXPECT_EQ(rig.dueIn(400, 1), 3600);
    rig.tests.checkTest(-2, s, 1);
    EXPECT_EQ(rig.dueIn(400, 1), -1);
}

TEST(TestSupervisor, ContactIdStandsInForAdemcoAndReportPathsSwapSixAndSeven) {
    TestRig rig;
    rig.addWithTests(500, kTestDaily, 4, 0, 1, kTestDaily, 7);
    Sbscrbr s = rig.load(500);
    rig.tests.checkTest(5, s, 5);
    EXPECT_EQ(rig.dueIn(500, 4), 86400);
    // The Ethernet path reports test index 6; the test path of Ethernet is 7.
    rig.tests.checkTest(5, s, 6);
    EXPECT_EQ(rig.dueIn(500, 7), 86400 + 900);
    EXPECT_EQ(rig.stored(500).test_state & (kTest1Received | kTest2Received), kTest1Received | kTest2Received);
}

TEST(TestSupervisor, AtStartAQueuedDeadlineIsKeptAndAChangeRebuildsThem) {
    TestRig rig;
    rig.addWithTests(600, kTestDaily, 1, 0, 1);
    Sbscrbr s = rig.load(600);
    rig.tests.scheduleTests(s, true);
    rig.pass(1000);
    rig.tests.scheduleTests(s, true);
    EXPECT_EQ(rig.dueIn(600, 1), 86400 - 1000);
    rig.tests.testsChanged(s);
    EXPECT_EQ(rig.dueIn(600, 1), 86400);
    const auto entries = rig.entries();
    ASSERT_FALSE(entries.empty());
    EXPECT_TRUE(entries.back().isSystem());
    EXPECT_EQ(entries.back().kindCode(), 40);
}

TEST(TestSupervisor, AnInactiveTestLosesItsDeadlineAndItsMarks) {
    TestRig rig;
    rig.addWithTests(700, kTestDaily, 1, 0, 1);
    Sbscrbr s = rig.load(700);
    rig.tests.checkTest(5, s, 1);
    ASSERT_NE(rig.dueIn(700, 1), -1);
    s.record.test_flags = 0;
    rig.tests.scheduleTests(s, false);
    EXPECT_EQ(rig.dueIn(700, 1), -1);
    EXPECT_EQ(rig.stored(700).test_state & (kTest1Received | kTest1Missing), 0);
}

TEST(TestSupervisor, AMissedTestOfASubscriberDeletedMeanwhileProducesNothing) {
    TestRig rig;
    EXPECT_EQ(rig.tests.testMissed(4321, 2), -1);
    EXPECT_EQ(rig.missingReports(4321), 0);
    EXPECT_TRUE(rig.shown().empty());
}

TEST(TestDisplay, PathLetterWithMissesOrPlus) {
    SubscriberRecord r{};
    r.test_track1 = 1;
    r.test_track2 = 255;
    r.test_state = kTest1Missing | kTest2Received;
    r.test_miss1 = 7;
    EXPECT_EQ(testDisplay(r), "R07x+ ");
}

} // namespace
} // namespace k4
