#pragma once
// The central processing of every report: who sent it, what it means,
// whether it is blocked; one history entry, the alarm, the subscriber's test,
// arming and path state, the answer to a user test, the text the base wants
// confirmed, and the forwarding to other centres.
#include "config/config_block.h"
#include "history/history_log.h"
#include "processing/alarms_list.h"
#include "processing/block_lst.h"
#include "processing/report.h"
#include "processing/report_links.h"
#include "processing/scheduler.h"
#include "processing/subscriber_state.h"
#include "platform/clock.h"
#include "messages/messages.h"

namespace k4 {

class EventTable;
class Sbscrbr;
class SubscriberDatabase;

// The parts of the station processing works on; all outlive it.
struct ReportProcessingParts {
    const ConfigBlock& config;
    const Clock& clock;
    Messages& messages;
    HistoryLog& history;
    SubscriberDatabase& database;
    const EventTable& events;
    AlarmsList& alarms;
    BlockLst& blockades;
    Scheduler& scheduler;
};

// The subsystems it reaches through their own interfaces.
struct ReportLinks {
    ReportPaths& paths;
    TestSupervision& tests;
    ArmingSupervision& arming;
    AlarmForwarding& forwarding;
    OrderSender& orders;
    TextTracking& texts;
};

// Whose forwarding state a forwarding word fills: base 1..16 from bits
// 8-15; a word outside 0x100..0x10FF goes to base 1 (word 1) or 2 (word 2).
int forwardingTarget(uint16_t word, int wordNumber);

class ReportProcessing final : public ReportProcessor {
public:
    // Returned as a rule; a subscriber number instead means its rate
    // limiter tripped and the alarm-counter report is to follow.
    static constexpr int kNoFollowUp = -2;

    ReportProcessing(const ReportProcessingParts& parts, const ReportLinks& links);

    int processReport(const Report& report) override;

private:
    struct Outcome;
    int translateAndCheck(Sbscrbr& subscriber, Outcome& o);
    void checkSubsystem(Sbscrbr& subscriber, Outcome& o);

    ReportProcessingParts parts_;
    ReportLinks links_;
    SubscriberStateUpdate state_;
    MessageGuard limiterGuard_;
    MessageGuard listGuard_;
};

} // namespace k4
