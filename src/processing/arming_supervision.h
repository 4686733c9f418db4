#pragma once
// Supervision of the weekly arming schedules: each supervised subsystem
// position of a subscriber has, per weekday (and for the holiday), a window
// for disarming and one for arming. An arming or disarming outside its
// window is reported at once; a window that closes without its event is
// reported ("BRAK ZAŁĄCZENIA") or noted in the history. Window starts are
// scheduler entries of type 2, window ends of type 13 (key the subscriber,
// argument position + 16 × phase); they are not kept over a restart but
// rebuilt from the schedules at start-up.
#include "config/config_block.h"
#include "database/related_records.h"
#include "history/history_log.h"
#include "messages/messages.h"
#include "platform/clock.h"
#include "processing/report.h"
#include "processing/report_links.h"
#include "processing/scheduler.h"

#include <array>
#include <cstdint>
#include <optional>

namespace k4 {

class SubscriberDatabase;
class SubscriberIndexes;
class Sbscrbr;

// Bits of an arm_state byte.
enum : uint8_t {
    kArmStateArmed = 0x01,
    kArmStateDisarmed = 0x02,
    kArmStateAwaitingArming = 0x10,    // arming window open, no arming in it yet
    kArmStateAwaitingDisarming = 0x20, // disarming window open, no disarming in it yet
};

// Phases of the window entries.
enum ArmingPhase : int {
    kPhaseDisarmStart = 0,
    kPhaseDisarmEnd = 1,
    kPhaseArmStart = 2,
    kPhaseArmEnd = 3,
};
inline int armingArg(int position, int phase) { return position + 16 * phase; }

// The history kinds of the supervision.
enum : int {
    kHistoryArmingChanged = 44,
    kHistoryArmedBeforeWindow = 302,
    kHistoryNotDisarmed = 303,
};

// Today is the holiday: its date, or with the two-day flag the day after.
bool isHolidayOn(const ConfigBlock& config, const LocalDateTime& today);

class ArmingSupervisor final : public ArmingSupervision {
public:
    struct Parts {
        const ConfigBlock& config;
        const Clock& clock;
        Scheduler& scheduler;
        SubscriberDatabase& database;
        SubscriberIndexes& indexes;
        ReportProcessor& processor;
        HistoryLog& history;
        Messages& messages;
    };

    explicit ArmingSupervisor(const Parts& parts);
    ~ArmingSupervisor() override;
    ArmingSupervisor(const ArmingSupervisor&) = delete;
    ArmingSupervisor& operator=(const ArmingSupervisor&) = delete;

    // arm -1 arming, -2 disarming, from report processing. 0 or -1.
    int updateArming(Sbscrbr& subscriber, int arm, int subsystem, int sector) override;
    // The window entries of every supervised position (nothing cancelled).
    void scheduleArming(Sbscrbr& subscriber);
    // Cancels the subscriber's window entries and schedules them again.
    void rebuildArming(Sbscrbr& subscriber);
    // The operator saved a subscriber whose schedules or supervised
    // positions changed: rebuilt and noted (kind 44), unless the station
    // only receives.
    void armingChanged(Sbscrbr& subscriber);
    // At start-up: scheduleArming for every subscriber of the number index.
    // 0, or -1 when the index could not be walked.
    int scheduleAll();

    // The scheduler's type 2: a disarming or arming time is reached. The
    // delay to the next one (arg updated to its phase), or -1.
    int armingTimeReached(int subscriber, int& arg);
    // The scheduler's type 13: a window ends. 0 or -1.
    int armingWindowEnd(int subscriber, int arg);

    bool isHolidayToday() const;

private:
    struct PendingReport {
        int subsystem;
        int specialIndex;
    };
    // Position set-up of scheduleArming; true when the state byte changed.
    bool setUpPosition(int number, int position, const ArmingSchedule& schedule, uint8_t& state);
    // The common part of both handlers; the report to raise after the state
    // is written, if any.
    int windowEdge(int number, int position, int phase, std::optional<PendingReport>& report);
    void raise(int number, const PendingReport& report);
    void stateFailure(int result, int number);

    Parts parts_;
    MessageGuard stateGuard_;
    MessageGuard phaseGuard_;
    MessageGuard loadGuard_;
};

} // namespace k4
