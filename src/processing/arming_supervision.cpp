#include "processing/arming_supervision.h"

#include "database/index_file.h"
#include "database/sbscrbr.h"
#include "database/stamp.h"
#include "database/subscriber_database.h"
#include "database/subscriber_indexes.h"
#include "database/subsys_lst.h"
#include "database/text_edge.h"
#include "processing/subscriber_state.h"
#include "processing/wall_clock.h"

#include <algorithm>
#include <cstddef>
#include <cstdio>
#include <vector>

namespace k4 {

namespace {

constexpr size_t kArmAt = offsetof(SubscriberRecord, arm_state) - kStateBlockOffset;
constexpr int kWeekdays = 7;
constexpr int kHolidayEntry = 7;
// The subsystem number of a position whose schedule cannot be read.
constexpr int kUnknownSubsystem = 127;

bool skipped(const ScheduleDay& e) { return (static_cast<int16_t>(e.skip) & 1) != 0; }
int timeOf(const ScheduleDay& e, bool arming) { return static_cast<int16_t>(arming ? e.arm_time : e.disarm_time); }
int delayOf(const ScheduleDay& e, bool arming) {
    // A negative delay from a damaged record is no window at all, not one
    // that ends before it starts.
    return std::max(0, static_cast<int>(static_cast<int16_t>(arming ? e.arm_delay : e.disarm_delay)));
}

struct Window {
    int64_t start = 0;
    int64_t end = 0;
    bool holds(int64_t t) const { return t >= start && t <= end; }
};

Window windowOf(CalendarDay day, const ScheduleDay& e, bool arming) {
    const int at = timeOf(e, arming);
    return {wallMoment(day, at, WallEdge::First), wallMoment(day, at + delayOf(e, arming), WallEdge::Last)};
}

const ScheduleDay& weekdayEntry(const ArmingSchedule& s, int weekday) {
    return s.days[((weekday % kWeekdays) + kWeekdays) % kWeekdays];
}

int delayUntil(int64_t moment, int64_t now) {
    const int64_t d = moment - now;
    return static_cast<int>(std::clamp<int64_t>(d, 0, kMaxDelay));
}

CalendarDay todayAt(int64_t unixTime) { return calendarDayOf(LocalFromStamp(StampFromUnix(unixTime))); }

int subsystemNumberOf(const ArmingSchedule& s, int position) {
    return (s.identification & kPanelSubsystemBit) ? (s.identification & 0x7F) : position;
}

} // namespace

bool isHolidayOn(const ConfigBlock& config, const LocalDateTime& today) {
    const CalendarDay day = calendarDayOf(today);
    const CalendarDay holiday = calendarDayOf(LocalFromStamp(static_cast<Stamp>(config.holiday_date)));
    if (day == holiday) return true;
    return static_cast<int16_t>(config.holiday_flag) != 0 && day == addDays(holiday, 1);
}

ArmingSupervisor::ArmingSupervisor(const Parts& parts) : parts_(parts) {
    parts_.scheduler.setHandler(kSchedCheckArm, [this](uint16_t key, uint8_t arg) {
        int next = arg;
        const int delay = armingTimeReached(key, next);
        if (delay != -1) parts_.scheduler.schedule(delay, key, kSchedCheckArm, next);
    });
    parts_.scheduler.setHandler(kSchedDelay, [this](uint16_t key, uint8_t arg) { armingWindowEnd(key, arg); });
}

ArmingSupervisor::~ArmingSupervisor() {
    parts_.scheduler.setHandler(kSchedCheckArm, {});
    parts_.scheduler.setHandler(kSchedDelay, {});
}

void ArmingSupervisor::stateFailure(int result, int number) {
    char text[96];
    if (result == 0) std::snprintf(text, sizeof text, "\x03wczytania danych o flagach testu - %4.4d", number);
    else std::snprintf(text, sizeof text, "\x03%d zapisu danych o flagach testu - %4.4d", result, number);
    parts_.messages.ShowNotice(stateGuard_, mz(text), kNoticeError);
}

bool ArmingSupervisor::isHolidayToday() const { return isHolidayOn(parts_.config, localNow(parts_.clock)); }

void ArmingSupervisor::raise(int number, const PendingReport& pending) {
    Report r;
    r.subscriber = number;
    r.subsystem = pending.subsystem;
    r.code = specialCode(parts_.config, pending.specialIndex);
    r.sector = Report::kNoSector;
    // The centre's own reports come in on the local base's slot.
    r.path = Report::kPathSerialBase;
    r.flags = 0;
    parts_.processor.processReport(r);
}

int ArmingSupervisor::updateArming(Sbscrbr& subscriber, int arm, int subsystem, int sector) {
    if ((arm != -1 && arm != -2) || !subscriber.valid) return -1;
    const bool arming = arm == -1;
    SubscriberRecord& record = subscriber.record;

    // Which positions the event concerns: the person's positions when the
    // panel did not say which subsystem, else the schedule naming it.
    uint16_t mask = 0;
    if (subsystem == 0)
        for (const ArmersTab& a : record.armers)
            if (static_cast<int16_t>(a.code) == sector) {
                mask = a.mask;
                break;
            }
    SubsysLst plans(parts_.database.files(), record.arm_plans);
    if (mask == 0) {
        if (!plans.usable()) return -1;
        for (int p = 0; p < kArmPositions && mask == 0; ++p) {
            if (plans.ReadPosition(p) != 0) continue;
            const uint8_t id = plans.schedule().identification;
            const bool names = (id & kPanelSubsystemBit) ? (id & 0x7F) == subsystem : p == subsystem;
            if (names) mask = static_cast<uint16_t>(1u << p);
        }
    }
    if (mask == 0 && subsystem >= 0 && subsystem < kArmPositions) mask = static_cast<uint16_t>(1u << subsystem);

    const int number = subscriber.number();
    uint8_t block[kStateBlockSize];
    if (subscriber.ReadState(block) != 0) {
        stateFailure(0, number);
        return -1;
    }
    const int64_t now = parts_.clock.unixTime();
    const CalendarDay today = todayAt(now);
    const int weekday = mondayWeekday(today);
    const bool holiday = isHolidayToday();
    std::vector<PendingReport> reports;
    for (int p = 0; p < kArmPositions; ++p) {
        if (!((mask >> p) & 1)) continue;
        uint8_t& s = block[kArmAt + static_cast<size_t>(p)];
        if (arming) s = static_cast<uint8_t>((s | kArmStateArmed) & ~(kArmStateDisarmed | kArmStateAwaitingArming));
        else s = static_cast<uint8_t>((s | kArmStateDisarmed) & ~(kArmStateArmed | kArmStateAwaitingDisarming));
        if (!((static_cast<uint16_t>(record.arm_mask) >> p) & 1) || plans.ReadPosition(p) != 0) continue;
        const ArmingSchedule& schedule = plans.schedule();
        const ScheduleDay& todays = holiday ? schedule.days[kHolidayEntry] : weekdayEntry(schedule, weekday);
        const ScheduleDay& yesterdays = weekdayEntry(schedule, weekday - 1);
        bool inTime = !skipped(todays) && windowOf(today, todays, arming).holds(now);
        // Yesterday's window may reach past midnight.
        if (!inTime && !skipped(yesterdays)) inTime = now <= windowOf(addDays(today, -1), yesterdays, arming).end;
        if (!inTime)
            reports.push_back({subsystemNumberOf(schedule, p), arming ? kSpecialArmedEarly : kSpecialWrongDisarming});
    }
    const int result = subscriber.WriteState(block);
    std::copy(block, block + kArmPositions, record.arm_state);
    // The reports go in after the state is stored: their own processing
    // reads and writes the same block.
    for (const PendingReport& r : reports) raise(number, r);
    if (result != 0) {
        stateFailure(result, number);
        return -1;
    }
    return 0;
}

bool ArmingSupervisor::setUpPosition(int number, int position, const ArmingSchedule& schedule, uint8_t& state) {
    const int64_t now = parts_.clock.unixTime();
    const CalendarDay today = todayAt(now);
    const int weekday = mondayWeekday(today);
    auto entry = [&](int offset) -> const ScheduleDay& { return weekdayEntry(schedule, weekday + offset); };

    int nextDay = 0;
    for (int k = 1; k <= kWeekdays && nextDay == 0; ++k)
        if (!skipped(entry(k))) nextDay = k;
    if (nextDay == 0) return false;
    int previousDay = kWeekdays;
    for (int k = 1; k < kWeekdays; ++k)
        if (!skipped(entry(-k))) {
            previousDay = k;
            break;
        }

    struct Open {
        bool arming;
        int64_t end;
    };
    std::vector<Open> open;
    auto openIfRunning = [&](CalendarDay day, const ScheduleDay& e, bool arming) {
        const Window w = windowOf(day, e, arming);
        if (w.end > now && w.start <= now) open.push_back({arming, w.end});
    };
    auto previousWindows = [&] {
        const CalendarDay p = addDays(today, -previousDay);
        openIfRunning(p, entry(-previousDay), false);
        openIfRunning(p, entry(-previousDay), true);
    };

    int64_t next = 0;
    bool nextArming = false;
    const CalendarDay nDay = addDays(today, nextDay);
    const ScheduleDay& n = entry(nextDay);
    const ScheduleDay& t = entry(0);
    if (skipped(t)) {
        nextArming = timeOf(n, true) <= timeOf(n, false);
        next = wallMoment(nDay, timeOf(n, nextArming), WallEdge::First);
        // A window of the day before that runs past midnight into this
        // skipped day is still watched to its end.
        previousWindows();
    } else {
        const bool firstArming = timeOf(t, true) < timeOf(t, false);
        const Window first = windowOf(today, t, firstArming);
        const Window second = windowOf(today, t, !firstArming);
        if (now < first.start) {
            nextArming = firstArming;
            next = first.start;
            previousWindows();
        } else if (now < second.start) {
            nextArming = !firstArming;
            next = second.start;
            if (first.end > now) open.push_back({firstArming, first.end});
        } else {
            nextArming = firstArming;
            next = wallMoment(nDay, timeOf(n, nextArming), WallEdge::First);
            if (first.end > now) open.push_back({firstArming, first.end});
            if (second.end > now) open.push_back({!firstArming, second.end});
        }
    }

    bool changed = false;
    for (const Open& o : open) {
        // Started before this run: whatever came in it is already in the
        // armed/disarmed bits, so it counts as having come in the window.
        const uint8_t bit = o.arming ? kArmStateAwaitingArming : kArmStateAwaitingDisarming;
        if (state & bit) {
            state = static_cast<uint8_t>(state & ~bit);
            changed = true;
        }
        if (!parts_.scheduler.exists(number, kSchedDelay, armingArg(position, o.arming ? kPhaseArmEnd : kPhaseDisarmEnd)))
            parts_.scheduler.schedule(delayUntil(o.end, now), number, kSchedDelay,
                                      armingArg(position, o.arming ? kPhaseArmEnd : kPhaseDisarmEnd));
    }
    parts_.scheduler.schedule(delayUntil(next, now), number, kSchedCheckArm,
                              armingArg(position, nextArming ? kPhaseArmStart : kPhaseDisarmStart));
    return changed;
}

void ArmingSupervisor::scheduleArming(Sbscrbr& subscriber) {
    if (!subscriber.valid) return;
    const int number = subscriber.number();
    uint8_t block[kStateBlockSize];
    if (subscriber.ReadState(block) != 0) {
        stateFailure(0, number);
        return;
    }
    SubsysLst plans(parts_.database.files(), subscriber.record.arm_plans);
    bool changed = false;
    const uint16_t supervised = subscriber.record.arm_mask;
    for (int p = 0; p < kArmPositions; ++p) {
        if (!((supervised >> p) & 1) || plans.ReadPosition(p) != 0) continue;
        const ArmingSchedule schedule = plans.schedule();
        changed = setUpPosition(number, p, schedule, block[kArmAt + static_cast<size_t>(p)]) || changed;
    }
    if (!changed) return;
    const int result = subscriber.WriteState(block);
    if (result != 0) stateFailure(result, number);
    else std::copy(block, block + kArmPositions, subscriber.record.arm_state);
}

void ArmingSupervisor::rebuildArming(Sbscrbr& subscriber) {
    const int number = subscriber.number();
    parts_.scheduler.cancel(number, kSchedCheckArm, 0);
    parts_.scheduler.cancel(number, kSchedDelay, 0);
    scheduleArming(subscriber);
}

void ArmingSupervisor::armingChanged(Sbscrbr& subscriber) {
    if (static_cast<int16_t>(parts_.config.mode) == 2) return;
    rebuildArming(subscriber);
    parts_.history.LogEvent(kHistoryArmingChanged, subscriber.number());
}

int ArmingSupervisor::scheduleAll() {
    IndexHandle& numer = parts_.indexes.handle(kIndexNumber);
    if (!numer.isOpen()) return -1;
    IndexKey key;
    int r = numer.First(key);
    for (; r == kIndexFound; r = numer.Next(key)) {
        Sbscrbr subscriber(parts_.database, AtOffset{key.value});
        if (!subscriber.valid) {
            parts_.messages.ShowNotice(loadGuard_, mz("\x03wczytania danych o abonencie"), kNoticeError);
            continue;
        }
        if (static_cast<uint16_t>(subscriber.record.arm_mask) != 0) scheduleArming(subscriber);
    }
    return r == -1 ? -1 : 0;
}

int ArmingSupervisor::windowEdge(int number, int position, int phase, std::optional<PendingReport>& report) {
    if (position < 0 || position >= kArmPositions) return -1;
    Sbscrbr subscriber(parts_.database, ByNumber{number});
    if (!subscriber.valid || subscriber.number() != number ||
        !((static_cast<uint16_t>(subscriber.record.arm_mask) >> position) & 1))
        return -1;
    if (phase < kPhaseDisarmStart || phase > kPhaseArmEnd) {
        parts_.messages.ShowNotice(phaseGuard_, mz("Bledny typ zalaczenia!"), kNoticeInfo);
        return -1;
    }
    uint8_t block[kStateBlockSize];
    if (subscriber.ReadState(block) != 0) {
        stateFailure(0, number);
        return -1;
    }
    int subsystem = kUnknownSubsystem;
    if (phase == kPhaseDisarmEnd || phase == kPhaseArmEnd) {
        SubsysLst plans(parts_.database.files(), subscriber.record.arm_plans);
        if (plans.ReadPosition(position) == 0) subsystem = subsystemNumberOf(plans.schedule(), position);
    }
    uint8_t& s = block[kArmAt + static_cast<size_t>(position)];
    switch (phase) {
    case kPhaseDisarmStart: s |= kArmStateAwaitingDisarming; break;
    case kPhaseArmStart: s |= kArmStateAwaitingArming; break;
    case kPhaseDisarmEnd:
        // While an arming window of the position is open, not being
        // disarmed is what the schedule wants.
        if (!(s & kArmStateDisarmed) &&
            !parts_.scheduler.exists(number, kSchedDelay, armingArg(position, kPhaseArmEnd)))
            parts_.history.LogEvent(kHistoryNotDisarmed, number, subsystem, Report::kNoSector, 0);
        s &= static_cast<uint8_t>(~kArmStateAwaitingDisarming);
        break;
    case kPhaseArmEnd:
        if ((s & kArmStateArmed) && !(s & kArmStateAwaitingArming)) {
            // Armed inside the window: as it should be.
        } else if (s & kArmStateArmed) {
            parts_.history.LogEvent(kHistoryArmedBeforeWindow, number, subsystem, Report::kNoSector, 0);
        } else {
            report = PendingReport{subsystem, kSpecialNotArmed};
        }
        s &= static_cast<uint8_t>(~kArmStateAwaitingArming);
        break;
    }
    const int result = subscriber.WriteState(block);
    if (result != 0) {
        stateFailure(result, number);
        report.reset();
        return -1;
    }
    return 0;
}

int ArmingSupervisor::armingWindowEnd(int number, int arg) {
    std::optional<PendingReport> report;
    const int result = windowEdge(number, arg & 0x0F, arg >> 4, report);
    if (report) raise(number, *report);
    return result;
}

int ArmingSupervisor::armingTimeReached(int number, int& arg) {
    const int position = arg & 0x0F;
    const int phase = arg >> 4;
    if (position >= kArmPositions) return -1;
    if (phase != kPhaseDisarmStart && phase != kPhaseArmStart) {
        parts_.messages.ShowNotice(phaseGuard_, mz("Bledny typ zalaczenia!"), kNoticeInfo);
        return -1;
    }
    std::optional<PendingReport> none;
    if (windowEdge(number, position, phase, none) != 0) return -1;

    Sbscrbr subscriber(parts_.database, ByNumber{number});
    if (!subscriber.valid) return -1;
    SubsysLst plans(parts_.database.files(), subscriber.record.arm_plans);
    if (plans.ReadPosition(position) != 0) return -1;
    const ArmingSchedule& schedule = plans.schedule();

    const int64_t now = parts_.clock.unixTime();
    const CalendarDay today = todayAt(now);
    const int weekday = mondayWeekday(today);
    const ScheduleDay& t = weekdayEntry(schedule, weekday);
    const bool arming = phase == kPhaseArmStart;
    // The end on the wall clock, not a number of seconds on: a window over
    // the change of summer time ends when the clock says it does.
    const int64_t end = windowOf(today, t, arming).end;
    parts_.scheduler.schedule(delayUntil(end, now), number, kSchedDelay, armingArg(position, phase + 1));

    // The other kind of event: today when it comes later in the day (after
    // an arming, equal times mean tomorrow's disarming), else on the next
    // day with a schedule.
    const bool otherArming = !arming;
    const bool todayNext = arming ? timeOf(t, false) > timeOf(t, true) : timeOf(t, true) >= timeOf(t, false);
    int64_t next = 0;
    if (todayNext) {
        next = wallMoment(today, timeOf(t, otherArming), WallEdge::First);
    } else {
        int day = 0;
        for (int k = 1; k <= kWeekdays && day == 0; ++k)
            if (!skipped(weekdayEntry(schedule, weekday + k))) day = k;
        if (day == 0) return -1;
        next = wallMoment(addDays(today, day), timeOf(weekdayEntry(schedule, weekday + day), otherArming),
                          WallEdge::First);
    }
    arg = armingArg(position, (phase + 2) % 4);
    return delayUntil(next, now);
}

} // namespace k4
