// Arming-schedule supervision over whole weeks of a manual clock: events in
// and out of their windows, windows that close without their event, days
// without a schedule, the holiday, windows past midnight, both days of the
// summer-time change and a restart in the middle of a window.
#include "processing/arming_supervision.h"

#include "database/stamp.h"
#include "processing/wall_clock.h"
#include "processing_station.h"

#include <gtest/gtest.h>

namespace k4 {
namespace {

using test::kSpecial;

constexpr int kEarly = 0x301;    // "ZAŁ. PRZED CZASEM"
constexpr int kNotArmed = 0x302; // "BRAK ZAŁĄCZENIA"
constexpr int kWrongOff = 0x308; // "BŁĘDNE WYŁĄCZENIE"

struct Day {
    int disarm, disarmDelay, arm, armDelay, skip;
};
constexpr int hm(int h, int m) { return h * 60 + m; }
const Day kOffice{hm(7, 0), 30, hm(16, 0), 60, 0};
const Day kSkip{0, 0, 0, 0, 1};

int64_t at(int y, int mo, int d, int h, int mi, int s = 0) {
    LocalDateTime l;
    l.year = y, l.month = mo, l.day = d, l.hour = h, l.minute = mi, l.second = s;
    return UnixFromStamp(StampFromLocal(l));
}

struct ArmingRig : test::ProcessingStation {
    std::unique_ptr<Scheduler> queue = std::make_unique<Scheduler>(data, clock, messages, history);
    std::unique_ptr<ArmingSupervisor> arming;

    ArmingRig() { restart(); }
    // The station stopped and started again: the queue saved, a new one
    // loaded from "events", and the schedules set up again.
    void restart() {
        if (arming) {
            EXPECT_EQ(queue->save(), 0);
            arming.reset();
            queue = std::make_unique<Scheduler>(data, clock, messages, history);
            EXPECT_EQ(queue->load(), 0);
        }
        arming = std::make_unique<ArmingSupervisor>(ArmingSupervisor::Parts{
            config, clock, *queue, db, indexes, processing, history, messages});
    }

    // A subscriber with the schedule of position 0 (Monday..Sunday, holiday)
    // supervised, its record naming panel subsystem `panel`.
    void addScheduled(int number, std::array<Day, 8> days, int panel = 3, int position = 0,
                      const std::function<void(SubscriberRecord&)>& edit = {}) {
        OnDemandFile uzbroj(db.files(), DbFile::Uzbroj, "");
        ASSERT_TRUE(uzbroj.ok());
        ArmingSchedule s{};
        s.identification = static_cast<uint8_t>(kPanelSubsystemBit | panel);
        for (int i = 0; i < 8; ++i)
            s.days[i] = {static_cast<int16_t>(days[i].disarm), static_cast<int16_t>(days[i].disarmDelay),
                         static_cast<int16_t>(days[i].arm), static_cast<int16_t>(days[i].armDelay),
                         static_cast<int16_t>(days[i].skip)};
        int32_t offset = 0;
        ASSERT_EQ(uzbroj.file().AppendRecord(offset, &s), 0);
        addSubscriber(number, [&](SubscriberRecord& r) {
            r.arm_plans[position] = offset;
            r.arm_mask = static_cast<uint16_t>(1u << position);
            if (edit) edit(r);
        });
    }
    static std::array<Day, 8> week(Day d) { return {d, d, d, d, d, d, d, d}; }

    Sbscrbr load(int number) { return Sbscrbr(db, ByNumber{number}); }
    void startAt(int64_t t) {
        clock.setUnixTime(t);
        EXPECT_EQ(arming->scheduleAll(), 0);
    }
    // Runs every entry that falls due up to t, the clock moving from one to
    // the next.
    void runUntil(int64_t t) {
        for (int guard = 0; guard < 100000; ++guard) {
            if (queue->count() == 0) break;
            const int64_t remaining = queue->headRemainingMs();
            // Due once its moment has passed.
            const int64_t wait = remaining < 0 ? 0 : remaining + 1;
            if (clock.unixTime() + (wait + 999) / 1000 > t) break;
            clock.advanceMs(wait);
            queue->poll();
        }
        if (t > clock.unixTime()) clock.advanceSeconds(t - clock.unixTime());
        for (int i = 0; i < 16; ++i) queue->poll();
    }
    void event(int number, int arm, int subsystem = 3, int sector = 1) {
        Sbscrbr s = load(number);
        EXPECT_EQ(arming->updateArming(s, arm, subsystem, sector), 0);
    }
    // The kinds of what the history got for this subscriber since the last
    // call: report codes as they are, system kinds as "S<kind>".
    std::vector<std::string> newEntries(int number) {
        std::vector<std::string> out;
        const auto all = entries();
        size_t& seen = seen_[number];
        for (size_t i = seen; i < all.size(); ++i) {
            const HistoryEntry& e = all[i];
            if (e.subscriber != number) continue;
            out.push_back(e.isSystem() ? "S" + std::to_string(e.kindCode()) : test::format("%03X/%d", e.kindCode(), e.subsystem));
        }
        seen = all.size();
        return out;
    }
    uint8_t state(int number, int position = 0) { return stored(number).arm_state[position]; }
    int entriesOf(int number, int type) {
        int n = 0;
        for (int i = 0; i < queue->count(); ++i) n += queue->entry(i).key == number && queue->entry(i).type() == type;
        return n;
    }

private:
    std::map<int, size_t> seen_;
};

using Entries = std::vector<std::string>;

TEST(WallClock, ReadingsOfOrdinaryAndChangeDays) {
    struct Case {
        CalendarDay day;
        int minutes;
        WallEdge edge;
        int64_t unix;
    };
    const CalendarDay spring{2026, 3, 29}, autumn{2026, 10, 25}, june{2026, 6, 1};
    for (const Case& c : std::initializer_list<Case>{
             {june, hm(16, 0), WallEdge::First, at(2026, 6, 1, 16, 0)},
             {june, hm(23, 0) + 120, WallEdge::Last, at(2026, 6, 2, 1, 0)},       // past midnight
             {june, -30, WallEdge::First, at(2026, 5, 31, 23, 30)},               // the evening before
             {spring, hm(2, 30), WallEdge::First, 1774746000},                   // never shown: the jump, 01:00 UTC
             {spring, hm(2, 30), WallEdge::Last, 1774746000},
             {spring, hm(3, 30), WallEdge::First, 1774746000 + 1800},
             {autumn, hm(2, 30), WallEdge::First, 1792888200},                   // shown twice: 00:30 UTC
             {autumn, hm(2, 30), WallEdge::Last, 1792888200 + 3600},             // and 01:30 UTC
             {autumn, hm(3, 0), WallEdge::First, 1792888200 + 5400},
         })
        EXPECT_EQ(wallMoment(c.day, c.minutes, c.edge), c.unix) << c.day.month << "/" << c.day.day << " " << c.minutes;
    EXPECT_EQ(mondayWeekday(june), 0);
    EXPECT_EQ(mondayWeekday(spring), 6);
    EXPECT_EQ(addDays({2026, 12, 31}, 1), (CalendarDay{2027, 1, 1}));
    EXPECT_EQ(addDays({2028, 3, 1}, -1), (CalendarDay{2028, 2, 29}));
}

TEST(ArmingSupervisor, ArmingInsideTheWindowIsQuietAndEarlyArmingIsReportedAndNoted) {
    ArmingRig rig;
    rig.addScheduled(100, ArmingRig::week(kOffice));
    rig.addScheduled(101, ArmingRig::week(kOffice));
    rig.addScheduled(102, ArmingRig::week(kOffice));
    rig.startAt(at(2026, 6, 1, 0, 0)); // Monday
    rig.runUntil(at(2026, 6, 1, 7, 10));
    for (int n : {100, 101, 102}) rig.event(n, -2);
    // 101 arms before the window, 100 inside it, 102 not at all.
    rig.runUntil(at(2026, 6, 1, 15, 50));
    rig.event(101, -1);
    EXPECT_EQ(rig.newEntries(101), (Entries{"301/3"}));
    rig.runUntil(at(2026, 6, 1, 16, 30));
    EXPECT_EQ(rig.state(100) & (kArmStateAwaitingArming | kArmStateArmed), kArmStateAwaitingArming);
    rig.event(100, -1);
    EXPECT_EQ(rig.state(100) & (kArmStateAwaitingArming | kArmStateArmed), kArmStateArmed);
    rig.runUntil(at(2026, 6, 1, 17, 0, 1));
    EXPECT_EQ(rig.newEntries(100), Entries{});
    EXPECT_EQ(rig.newEntries(101), (Entries{"S302"}));
    EXPECT_EQ(rig.newEntries(102), (Entries{"302/3"}));
    EXPECT_EQ(rig.state(102) & kArmStateAwaitingArming, 0);
    // The same every working day of the week: 102 is missed each evening.
    rig.event(102, -2);
    rig.runUntil(at(2026, 6, 8, 0, 0));
    int missed = 0;
    for (const std::string& e : rig.newEntries(102)) missed += e == "302/3";
    EXPECT_EQ(missed, 6);
    EXPECT_EQ(rig.entriesOf(102, kSchedCheckArm), 1);
}

TEST(ArmingSupervisor, EarlyDisarmingIsReportedAndAMissingOneOnlyNoted) {
    ArmingRig rig;
    rig.addScheduled(200, ArmingRig::week(kOffice));
    rig.addScheduled(201, ArmingRig::week(kOffice));
    rig.clock.setUnixTime(at(2026, 5, 31, 16, 30)); // armed on Sunday evening, in time
    rig.event(200, -1, 3);
    rig.event(201, -1, 3);
    rig.startAt(at(2026, 6, 1, 0, 0));
    rig.newEntries(200);
    rig.runUntil(at(2026, 6, 1, 6, 50));
    rig.event(200, -2);
    EXPECT_EQ(rig.newEntries(200), (Entries{"308/3"}));
    const int alarmsBefore = rig.alarms.count();
    rig.runUntil(at(2026, 6, 1, 7, 30, 1));
    // 200 is disarmed (early, but disarmed); 201 is not: a note, no alarm.
    EXPECT_EQ(rig.newEntries(200), Entries{});
    EXPECT_EQ(rig.newEntries(201), (Entries{"S303"}));
    EXPECT_EQ(rig.alarms.count(), alarmsBefore);
}

TEST(ArmingSupervisor, AWindowPastMidnightCoversTheNextMorning) {
    ArmingRig rig;
    auto days = ArmingRig::week({hm(6, 0), 60, hm(22, 0), 30, 0});
    days[0] = {hm(6, 0), 60, hm(23, 0), 120, 0}; // Monday until 01:00 on Tuesday
    rig.addScheduled(300, days);
    rig.startAt(at(2026, 6, 1, 12, 0));
    rig.newEntries(300);
    rig.runUntil(at(2026, 6, 2, 0, 30));
    rig.event(300, -1);
    EXPECT_EQ(rig.newEntries(300), Entries{});
    rig.runUntil(at(2026, 6, 2, 1, 30));
    rig.event(300, -1);
    EXPECT_EQ(rig.newEntries(300), (Entries{"301/3"}));
}

TEST(ArmingSupervisor, ASkippedDayReportsEveryEventOutsideTheDayBeforesWindow) {
    ArmingRig rig;
    auto days = ArmingRig::week(kOffice);
    days[5] = {hm(8, 0), 30, hm(23, 0), 120, 0}; // Saturday until 01:00 on Sunday
    days[6] = kSkip;
    rig.addScheduled(400, days);
    rig.startAt(at(2026, 6, 6, 12, 0)); // Saturday
    rig.newEntries(400);
    rig.runUntil(at(2026, 6, 7, 0, 30));
    rig.event(400, -1);
    EXPECT_EQ(rig.newEntries(400), Entries{});
    rig.runUntil(at(2026, 6, 7, 12, 0));
    rig.event(400, -2);
    rig.event(400, -1);
    EXPECT_EQ(rig.newEntries(400), (Entries{"308/3", "301/3"}));
    // No window on Sunday: nothing is missed that day.
    rig.runUntil(at(2026, 6, 8, 6, 0));
    EXPECT_EQ(rig.newEntries(400), Entries{});
}

TEST(ArmingSupervisor, TheHolidayEntryDecidesOnTheHolidayAndWithTheFlagTheDayAfter) {
    for (bool twoDays : {false, true}) {
        ArmingRig rig;
        auto days = ArmingRig::week(kOffice);
        days[7] = {hm(9, 0), 30, hm(12, 0), 60, 0};
        rig.addScheduled(500, days);
        rig.config.holiday_date = StampFromUnix(at(2026, 6, 3, 0, 0)); // Wednesday
        rig.config.holiday_flag = static_cast<int16_t>(twoDays ? 1 : 0);
        rig.startAt(at(2026, 6, 3, 12, 30));
        rig.newEntries(500);
        rig.event(500, -1); // the holiday's window
        EXPECT_EQ(rig.newEntries(500), Entries{}) << twoDays;
        rig.clock.setUnixTime(at(2026, 6, 4, 12, 30));
        rig.event(500, -1);
        EXPECT_EQ(rig.newEntries(500), twoDays ? Entries{} : Entries{"301/3"}) << twoDays;
        rig.clock.setUnixTime(at(2026, 6, 5, 12, 30));
        rig.event(500, -1);
        EXPECT_EQ(rig.newEntries(500), (Entries{"301/3"})) << twoDays;
    }
}

TEST(ArmingSupervisor, PositionsOfAnEventByPersonByPanelSubsystemOrByNumber) {
    ArmingRig rig;
    rig.addScheduled(600, ArmingRig::week(kOffice), 3, 4, [](SubscriberRecord& r) {
        r.armers[0] = {7, 0x0006};
        r.armers[1] = {5, 0x0003};
    });
    rig.startAt(at(2026, 6, 1, 16, 10));
    rig.event(600, -1, 0, 5); // person 5: positions 0 and 1
    SubscriberRecord r = rig.stored(600);
    EXPECT_EQ(r.arm_state[0] & kArmStateArmed, kArmStateArmed);
    EXPECT_EQ(r.arm_state[1] & kArmStateArmed, kArmStateArmed);
    EXPECT_EQ(r.arm_state[2], 0);
    rig.event(600, -1, 3, 9); // panel subsystem 3: position 4's schedule
    EXPECT_EQ(rig.state(600, 4) & kArmStateArmed, kArmStateArmed);
    rig.event(600, -2, 0, 9); // nobody of code 9, no schedule of panel subsystem 0: position 0
    r = rig.stored(600);
    EXPECT_EQ(r.arm_state[0] & (kArmStateArmed | kArmStateDisarmed), kArmStateDisarmed);
    EXPECT_EQ(r.arm_state[4] & kArmStateArmed, kArmStateArmed);
    // Position 0 is not supervised: its disarming at 16:10 reports nothing.
    EXPECT_EQ(rig.newEntries(600), Entries{});
}

TEST(ArmingSupervisor, AllWeekdaysSkippedGivesNoEntriesAndNoReports) {
    ArmingRig rig;
    auto days = ArmingRig::week(kSkip);
    days[7] = kOffice;
    rig.addScheduled(700, days);
    rig.startAt(at(2026, 6, 1, 0, 0));
    EXPECT_EQ(rig.queue->count(), 0);
    rig.runUntil(at(2026, 6, 8, 0, 0));
    EXPECT_EQ(rig.newEntries(700), Entries{});
}

TEST(ArmingSupervisor, ARestartInsideTheWindowSchedulesItsEndAgain) {
    ArmingRig rig;
    rig.addScheduled(800, ArmingRig::week(kOffice));
    rig.addScheduled(801, ArmingRig::week(kOffice));
    rig.startAt(at(2026, 6, 1, 12, 0));
    rig.runUntil(at(2026, 6, 1, 16, 10));
    rig.event(800, -1);
    rig.runUntil(at(2026, 6, 1, 16, 20));
    rig.restart();
    rig.newEntries(800);
    rig.startAt(at(2026, 6, 1, 16, 25));
    EXPECT_EQ(rig.entriesOf(800, kSchedDelay), 1);
    EXPECT_EQ(rig.entriesOf(800, kSchedCheckArm), 1);
    rig.runUntil(at(2026, 6, 1, 17, 0, 1));
    // The one armed before the restart is in time; the other is missed.
    EXPECT_EQ(rig.newEntries(800), Entries{});
    EXPECT_EQ(rig.newEntries(801), (Entries{"302/3"}));
    // The chain goes on: the next morning's disarming window.
    rig.runUntil(at(2026, 6, 2, 7, 30, 1));
    EXPECT_EQ(rig.newEntries(801), (Entries{"S303"}));
}

TEST(ArmingSupervisor, ARebuildReplacesTheEntriesAndIsNoted) {
    ArmingRig rig;
    rig.addScheduled(900, ArmingRig::week(kOffice));
    rig.startAt(at(2026, 6, 1, 16, 30));
    EXPECT_EQ(rig.entriesOf(900, kSchedDelay), 1);
    Sbscrbr s = rig.load(900);
    rig.newEntries(900);
    rig.arming->armingChanged(s);
    EXPECT_EQ(rig.entriesOf(900, kSchedDelay), 1);
    EXPECT_EQ(rig.entriesOf(900, kSchedCheckArm), 1);
    EXPECT_EQ(rig.newEntries(900), (Entries{"S44"}));
    rig.config.mode = 2; // receiving only: nothing
    rig.arming->armingChanged(s);
    EXPECT_EQ(rig.newEntries(900), Entries{});
}

// Sunday 29 March 2026: the clock jumps from 02:00 to 03:00.
TEST(ArmingSupervisor, SpringDayWindowAtAnHourThatDoesNotExistOpensAtTheJump) {
    ArmingRig rig;
    auto days = ArmingRig::week(kOffice);
    days[6] = {hm(1, 0), 30, hm(2, 30), 60, 0};
    rig.addScheduled(1000, days);
    rig.addScheduled(1001, days);
    rig.clock.setUnixTime(at(2026, 3, 28, 7, 10)); // disarmed on Saturday morning, in time
    rig.event(1000, -2);
    rig.event(1001, -2);
    rig.startAt(at(2026, 3, 28, 18, 0));
    rig.newEntries(1000);
    rig.runUntil(1774746000 - 60); // 01:59 winter time
    rig.event(1000, -1);
    EXPECT_EQ(rig.newEntries(1000), (Entries{"301/3"}));
    rig.event(1000, -2);
    EXPECT_EQ(rig.newEntries(1000), (Entries{"308/3"}));
    rig.runUntil(1774746000 + 1); // 03:00:01 summer time: the window is open
    EXPECT_EQ(rig.state(1001) & kArmStateAwaitingArming, kArmStateAwaitingArming);
    rig.runUntil(1774746000 + 600);
    rig.event(1000, -1);
    EXPECT_EQ(rig.newEntries(1000), Entries{});
    rig.runUntil(1774746000 + 1799);
    EXPECT_EQ(rig.newEntries(1001), Entries{});
    rig.runUntil(1774746000 + 1801); // 03:30 on the clock
    EXPECT_EQ(rig.newEntries(1001), (Entries{"302/3"}));
    EXPECT_EQ(rig.newEntries(1000), Entries{});
}

// Sunday 25 October 2026: 02:00 to 03:00 comes twice.
TEST(ArmingSupervisor, AutumnDayWindowInTheDoubledHourLastsUntilTheSecondReadingOfItsEnd) {
    ArmingRig rig;
    auto days = ArmingRig::week(kOffice);
    days[6] = {hm(1, 0), 30, hm(2, 30), 20, 0};
    rig.addScheduled(1100, days);
    rig.addScheduled(1101, days);
    rig.clock.setUnixTime(at(2026, 10, 24, 7, 10));
    rig.event(1100, -2);
    rig.event(1101, -2);
    rig.startAt(at(2026, 10, 24, 18, 0));
    rig.newEntries(1100);
    const int64_t firstHalfPast = 1792888200; // 02:30 summer time
    rig.runUntil(firstHalfPast + 30 * 60);    // 03:00 summer time = 02:00 winter time
    EXPECT_EQ(rig.newEntries(1101), Entries{});
    rig.runUntil(firstHalfPast + 3600 + 600); // 02:40 winter time
    rig.event(1100, -1);
    EXPECT_EQ(rig.newEntries(1100), Entries{});
    rig.runUntil(firstHalfPast + 3600 + 1199);
    EXPECT_EQ(rig.newEntries(1101), Entries{});
    rig.runUntil(firstHalfPast + 3600 + 1201); // 02:50 winter time
    EXPECT_EQ(rig.newEntries(1101), (Entries{"302/3"}));
    EXPECT_EQ(rig.newEntries(1100), Entries{});
}

TEST(ArmingSupervisor, AWindowEndOfASubscriberGoneOrUnsupervisedDoesNothing) {
    ArmingRig rig;
    rig.addScheduled(1200, ArmingRig::week(kOffice));
    EXPECT_EQ(rig.arming->armingWindowEnd(4321, armingArg(0, kPhaseArmEnd)), -1);
    EXPECT_EQ(rig.arming->armingWindowEnd(1200, armingArg(1, kPhaseArmEnd)), -1);
    EXPECT_EQ(rig.arming->armingWindowEnd(1200, armingArg(12, kPhaseArmEnd)), -1);
    EXPECT_EQ(rig.arming->armingWindowEnd(1200, armingArg(0, 5)), -1);
    EXPECT_EQ(rig.shown(), std::vector<std::string>{"Bledny typ zalaczenia!"});
    EXPECT_EQ(rig.newEntries(4321), Entries{});
}

} // namespace
} // namespace k4
