// The base links as the station's tick serves them: bytes taken as they
// come, every base within the tick's budget, a frame still coming carried
// over to the next call, and no line that can hold the station.
#include "baselink/base_link.h"

#include "support/fake_serial_line.h"
#include "support/manual_clock.h"
#include "support/scripted_operator_ui.h"

#include <gtest/gtest.h>

namespace k4 {
namespace {

using Bytes = std::vector<uint8_t>;
const Bytes kAccepted{0x0A, 0x0D};
const Bytes kRefused{0x0E, 0x0D};

struct FixedPorts final : SerialPortList {
    std::vector<std::string> presentPorts() override { return {"/dev/ttyS0", "/dev/ttyS1", "/dev/ttyS2", "/dev/ttyS3"}; }
};

struct Reports final : ReportProcessor, PreparedEntryLog, PhoneOwnerLookup, FrameIntake {
    std::vector<int> subscribers;
    int stored = 0;
    std::optional<IntakeTicket> take(IntakeChannel, int, std::span<const uint8_t>) override {
        return IntakeTicket{++stored, 0};
    }
    void processed(const IntakeTicket&) override {}
    int processReport(const Report& r) override {
        subscribers.push_back(r.subscriber);
        return 0;
    }
    int logPreparedEntry(int, const PreparedEntry&) override { return 0; }
    std::optional<int> ownerOfPhone(const std::string&) override { return std::nullopt; }
};

// The report frame of one subscriber, code 0x130.
Bytes reportFrame(int subscriber, int checksumError = 0) {
    char digits[8];
    std::snprintf(digits, sizeof digits, "%04d", subscriber);
    Bytes records{0x12};
    records.insert(records.end(), digits, digits + 4);
    records.insert(records.end(), {0x15, '1', '3', '0'});
    return test::baseFrame(records, checksumError);
}

Bytes times(const Bytes& bytes, int n) {
    Bytes out;
    for (int i = 0; i < n; ++i) out.insert(out.end(), bytes.begin(), bytes.end());
    return out;
}

struct ServingTest : ::testing::Test {
    test::ManualClock clock{1'781'000'000};
    FixedPorts portList;
    std::vector<test::FakeSerialLine*> lines;
    SerialPorts ports{portList, [this] {
                          auto line = std::make_unique<test::FakeSerialLine>(&clock);
                          lines.push_back(line.get());
                          return line;
                      }};
    FrameBuffer frame;
    TraceRing trace;
    test::ScriptedOperatorUi ui;
    Messages messages{ui};
    ConfigBlock config{};
    Reports reports;
    BaseLink link{{ports, frame, trace, clock, messages, config, reports, reports, reports, reports}};

    explicit ServingTest(bool twoBases = false) {
        config.mode = 2;
        config.data_port = 1;
        config.base1_speed = 9600;
        if (twoBases) {
            config.base2_port = 2;
            config.base2_speed = 9600;
        }
        trace.setEnabled(true);
        EXPECT_EQ(ports.OpenSerialPorts(config), 0);
    }
    test::FakeSerialLine& base1() { return *lines[kComPort2]; }
    test::FakeSerialLine& base2() { return *lines[kComPort1]; }

    // One tick's worth of serving.
    bool tick() {
        TickBudget budget(clock);
        return link.ServeBaseLinks(budget);
    }
    // Time passing for ms: a tick every 100 ms and, when the line is watched
    // as the station's event loop watches it, a call whenever a byte comes.
    void run(int ms, bool onArrival) {
        const uint64_t end = clock.tickMs() + static_cast<uint64_t>(ms);
        uint64_t nextTick = clock.tickMs();
        while (clock.tickMs() < end) {
            uint64_t next = nextTick;
            const auto arrival = base1().nextArrival();
            if (onArrival && arrival && *arrival < next) next = *arrival;
            if (next > clock.tickMs()) clock.advanceMs(static_cast<int64_t>(next - clock.tickMs()));
            while (nextTick <= clock.tickMs()) nextTick += 100;
            tick();
        }
    }
    bool traced(const std::string& text) const {
        for (int slot = 0; slot < TraceRing::kLines; ++slot)
            if (trace.line(slot).rfind(text, 0) == 0) return true;
        return false;
    }
};

TEST_F(ServingTest, AnIdleLineIsLookedAtOnceAndNotWaitedFor) {
    const uint64_t before = clock.tickMs();
    EXPECT_FALSE(tick());
    EXPECT_EQ(clock.tickMs(), before) << "no time spent waiting for a byte that is not there";
    EXPECT_EQ(base1().reads, 1);
    base1().send(reportFrame(7));
    tick();
    EXPECT_EQ(base1().written, kAccepted);
    EXPECT_EQ(reports.subscribers, (std::vector<int>{7}));
}

TEST_F(ServingTest, SlowBytesAreWaitedForAndALongGapRefusesTheFrame) {
    const Bytes good = reportFrame(7);
    struct Case {
        const char* name;
        int interval;    // between the bytes
        int gapAt, gap;  // one longer pause before byte gapAt
        bool onArrival;  // the event loop calls on every byte, or only the ticks do
        bool accepted;
    };
    const Case cases[] = {
        {"a byte every 60 ms, ticks only", 60, 0, 0, false, true},
        {"a byte every 60 ms, on arrival", 60, 0, 0, true, true},
        {"a byte every 95 ms, on arrival", 95, 0, 0, true, true},
        // A gap is measured from when a byte was taken; the station's event
        // loop takes each byte as it comes, so only then is the gap the
        // line's own (a byte found waiting at a tick may have come early).
        {"150 ms before the checksum", 1, 12, 150, true, false},
        {"150 ms inside the records", 10, 5, 150, true, false},
        {"150 ms after the length", 10, 2, 150, true, false},
        {"101 ms before the terminator", 10, 11, 101, true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        base1().written.clear();
        reports.subscribers.clear();
        trace.clear();
        for (size_t i = 0; i < good.size(); ++i) {
            const int pause = static_cast<int>(i) == c.gapAt && c.gap ? c.gap : c.interval;
            base1().sendSpaced({good[i]}, pause);
        }
        run(static_cast<int>(good.size()) * c.interval + c.gap + 300, c.onArrival);
        EXPECT_EQ(base1().bytesToCome(), 0u);
        if (c.accepted) {
            EXPECT_EQ(base1().written, kAccepted);
            EXPECT_EQ(reports.subscribers, (std::vector<int>{7}));
        } else {
            EXPECT_TRUE(base1().written.empty()) << "nothing answered";
            EXPECT_TRUE(reports.subscribers.empty());
            EXPECT_TRUE(traced("odb -")) << "the frame is traced as failed";
        }
        // Whatever happened, the next frame is read normally.
        base1().written.clear();
        base1().input.clear();
        base1().send(reportFrame(8));
        tick();
        EXPECT_EQ(base1().written, kAccepted);
    }
}

TEST_F(ServingTest, AFrameCutShortByTheBudgetGoesOnAtTheNextTick) {
    const Bytes good = reportFrame(9);
    // The first half is there, the rest comes at the speed of the wire but
    // only after the budget of this tick has gone.
    base1().send(Bytes(good.begin(), good.begin() + 8));
    base1().sendSpaced(Bytes(good.begin() + 8, good.end()), 1, TickBudget::kTickBudgetMs + 10);
    const uint64_t began = clock.tickMs();
    tick();
    EXPECT_LE(clock.tickMs() - began, static_cast<uint64_t>(TickBudget::kTickBudgetMs));
    EXPECT_TRUE(base1().written.empty());
    clock.advanceMs(TickBudget::kTickBudgetMs);
    tick();
    EXPECT_EQ(base1().written, kAccepted);
    EXPECT_EQ(reports.subscribers, (std::vector<int>{9}));
}

struct TwoBasesTest : ServingTest {
    TwoBasesTest() : ServingTest(true) {}
};

TEST_F(TwoBasesTest, BothBasesAreServedInOneTick) {
    base1().send(reportFrame(1));
    base2().send(reportFrame(2));
    tick();
    EXPECT_EQ(base1().written, kAccepted);
    EXPECT_EQ(base2().written, kAccepted);
    EXPECT_EQ(reports.subscribers.size(), 2u);
}

TEST_F(TwoBasesTest, AFloodIsTakenWithinTheBudgetOfEachTickAndNothingIsLost) {
    const int frames = 40;
    Bytes flood1, flood2;
    for (int i = 0; i < frames; ++i) {
        const Bytes one = reportFrame(1000 + i), two = reportFrame(2000 + i);
        flood1.insert(flood1.end(), one.begin(), one.end());
        flood2.insert(flood2.end(), two.begin(), two.end());
    }
    base1().send(flood1);
    base2().send(flood2);
    int ticks = 0;
    while (reports.subscribers.size() < 2u * frames && ticks < 200) {
        const uint64_t began = clock.tickMs();
        const bool more = tick();
        ++ticks;
        // However much is waiting, the tick's work stays within its budget,
        // and the window's input is served before the next.
        EXPECT_LE(clock.tickMs() - began, static_cast<uint64_t>(TickBudget::kTickBudgetMs));
        if (reports.subscribers.size() < 2u * frames) {
            EXPECT_TRUE(more) << "the caller is told to come back";
        }
        clock.advanceMs(100 - static_cast<int64_t>(clock.tickMs() - began));
    }
    EXPECT_GT(ticks, 2) << "one tick does not take the whole flood";
    EXPECT_EQ(base1().written, times(kAccepted, frames));
    EXPECT_EQ(base2().written, times(kAccepted, frames));
    std::vector<int> fromBase1, fromBase2;
    for (int s : reports.subscribers) (s < 2000 ? fromBase1 : fromBase2).push_back(s);
    ASSERT_EQ(fromBase1.size(), static_cast<size_t>(frames));
    ASSERT_EQ(fromBase2.size(), static_cast<size_t>(frames));
    for (int i = 0; i < frames; ++i) {
        EXPECT_EQ(fromBase1[static_cast<size_t>(i)], 1000 + i);
        EXPECT_EQ(fromBase2[static_cast<size_t>(i)], 2000 + i);
    }
}

TEST_F(ServingTest, AChatteringLineIsSkippedAPollAtATime) {
    base1().chatter = 0x55;
    for (int poll = 0; poll < 3; ++poll) {
        base1().reads = 0;
        EXPECT_TRUE(tick()) << "the caller is told that the line has more";
        EXPECT_LE(base1().reads, BaseLink::kHuntBytes);
        base1().reads = 0;
        EXPECT_EQ(link.PollBaseLink(), 255);
        EXPECT_LE(base1().reads, BaseLink::kHuntBytes);
    }
    EXPECT_TRUE(traced("odbx 55"));
    EXPECT_FALSE(link.locked()) << "noise is no error of the line";
    base1().chatter.reset();
    base1().send(reportFrame(5));
    tick();
    EXPECT_EQ(base1().written, kAccepted);
}

TEST_F(ServingTest, AFailedAnswerWriteDoesNotLockTheLink) {
    struct Case {
        int writesBeforeFailure;
        int checksumError;
        const char* trace;
    };
    // The acceptance or the refusal cannot be written, at its first or its
    // second byte (a base that holds the line).
    for (const Case& c : {Case{0, 0, "odb -6"}, Case{1, 0, "odb -7"}, Case{0, 1, "odb -8"}, Case{1, 1, "odb -9"}}) {
        SCOPED_TRACE(c.trace);
        trace.clear();
        base1().written.clear();
        base1().failWritesAfter = c.writesBeforeFailure;
        base1().send(reportFrame(3, c.checksumError));
        tick();
        EXPECT_TRUE(traced(c.trace));
        base1().failWritesAfter = -1;
        base1().written.clear();
        base1().send(reportFrame(4));
        tick();
        EXPECT_FALSE(link.locked());
        EXPECT_EQ(base1().written, kAccepted) << "the next frame is answered";
    }
    EXPECT_TRUE(ui.boxes.empty());
    // A right frame is stored before its answer, so it is processed even
    // when the answer could not go out whole; a refused one is not.
    EXPECT_EQ(reports.subscribers, (std::vector<int>{3, 4, 3, 4, 4, 4}));
}

TEST_F(ServingTest, AnErrorOfTheHuntStillLocksTheLink) {
    base1().errorOnNextRead = true;
    tick();
    EXPECT_TRUE(link.locked());
    ASSERT_EQ(ui.boxes.size(), 1u);
    base1().send(reportFrame(4));
    tick();
    EXPECT_TRUE(base1().written.empty());
}

} // namespace
} // namespace k4
