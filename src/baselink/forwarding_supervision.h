#pragma once
// What happens around the forwarding of alarms to other centres: the
// periodic test of every forwarding path of every receiving base, the count
// and report of failed tests, the bases' confirmations and the reaction to
// one that does not come, the operator's reception tests, and the hourly
// correction of the PC clock.
#include "baselink/module_links.h"
#include "config/config_block.h"
#include "history/history_log.h"
#include "messages/messages.h"
#include "platform/clock.h"
#include "platform/clock_adjuster.h"
#include "processing/alarms_list.h"
#include "processing/forwarding.h"
#include "processing/scheduler.h"

#include <array>
#include <functional>

namespace k4 {

// Path types of the forwarding tests (scheduler type 8's argument).
enum : int {
    kTestPathRs = 1,
    kTestPathTr = 2,
    kTestPathTg = 3,
    kTestPathTe = 4,
};

constexpr uint16_t kTestSubscriber = 0xAAAA;

// One line of the reception tests' base list (Mazovia): number, name
// without its marks, radio byte, GSM number and the serial link's port.
std::string receptionTestLine(int index, const ConfigBlock& config);

struct ForwardingSupervisionParts {
    ConfigBlock& config;
    std::function<int()> saveConfig; // 0 or -1
    AlarmsList& alarms;
    Scheduler& scheduler;
    HistoryLog& history;
    Messages& messages;
    const Clock& clock;
    AlarmForwarder& forwarder;
    ForwardingChannels& channels;
    ClockAdjuster& clockAdjuster;
};

class ForwardingSupervision {
public:
    static constexpr int kRetestSeconds = 60;
    static constexpr int kTestPeriodSeconds = 3600;
    static constexpr int kAfterFourFailuresSeconds = 3660;
    static constexpr int kFailuresInARow = 4;

    explicit ForwardingSupervision(const ForwardingSupervisionParts& parts);

    // Registers the handlers of scheduler types 6, 8, 12 and of type 14's
    // delayed forwards (argument 16).
    void registerHandlers(const std::function<void(uint16_t key)>& lineFaultAlert);
    // Mode "Nadawcza" at start: the tests of every configured path begin,
    // and a serial link without a base gets its test blocked (saved).
    void startTests();
    // The hourly clock correction is put in the queue (every mode).
    void scheduleClockCorrection();

    // Scheduler type 8.
    void pathTest(int base, int pathType);
    void ReportPathTestFailure(int base, int pathType);
    // A base confirms the forwarded alarm of a subscriber (path bit 0x20
    // radio, 0x40 GSM, 0x80 Ethernet).
    void ConfirmForwarding(int subscriber, int base, int pathBit);
    void ConfirmGprsForwarding(int path, int subscriber, int base, int pathBit, int queueEntry);
    // The track queue's drop of a confirmed order (path slot, queue entry).
    void setQueuedOrders(std::function<int(int path, int seq)> drop) { dropQueued_ = std::move(drop); }
    // Scheduler type 12: key subscriber, argument path bit + base.
    void missingConfirmation(uint16_t subscriber, uint8_t arg);
    // Scheduler type 6.
    void clockCorrection();

    // "Testy odbioru": "&Wyślij" with path 0 RS, 1 radio, 2 GSM/GPRS,
    // 3 Ethernet; "&Koniec zmian" with the two check boxes (the second only
    // when shown). 0, or -1 when the configuration could not be saved.
    void sendReceptionTest(int base, int subscriber, int code, int path);
    int endReceptionTests(bool block1, bool block2, bool secondShown);
    // The last base entry served by serial link 1 (rsLink 2) or 2 (rsLink 3)
    // whose port is configured; -1.
    int rsBaseOfLink(int link) const;

    int failures(int base, int pathType) const { return failures_[static_cast<size_t>(base)][static_cast<size_t>(pathType)]; }

private:
    void confirmAlarm(int subscriber, int base, int pathBit, int kind);
    void logConfirmation(int kind, int subscriber, int base, int pathBit, const AlarmRecord* alarm);
    std::string pathName(int base, int pathBit) const;
    void reschedule(int base, int pathType, int delay);

    ForwardingSupervisionParts p_;
    std::array<std::array<int, 5>, kBaseEntries> failures_{};
    std::array<std::array<MessageGuard, 5>, kBaseEntries> failureGuards_{};
    bool clockRefusalTold_ = false;
    std::function<int(int path, int seq)> dropQueued_;
};

// What the module poll hands over: the bases' confirmations go to the
// supervision; a partner's end of a queued order and the passing-on of a
// report to the subscriber's GPRS partner go to the track queues. No GPRS
// acknowledgement order is staged.
class ForwardingModuleLinks final : public ModuleLinks {
public:
    using EndQueued = std::function<void(int path, int queueEntry)>;
    using PassOn = std::function<void(const Report& report)>;

    explicit ForwardingModuleLinks(ForwardingSupervision& supervision) : supervision_(supervision) {}
    void setQueues(EndQueued endQueued, PassOn passOn) {
        endQueued_ = std::move(endQueued);
        passOn_ = std::move(passOn);
    }
    void confirmForwarding(int subscriber, int base, int pathBit) override {
        supervision_.ConfirmForwarding(subscriber, base, pathBit);
    }
    void confirmGprsForwarding(int path, int subscriber, int base, int pathBit, int queueEntry) override {
        supervision_.ConfirmGprsForwarding(path, subscriber, base, pathBit, queueEntry);
    }
    bool stageGprsAcknowledgement(int, std::span<const uint8_t>) override { return false; }
    void endQueuedText(int path, int queueEntry) override {
        if (endQueued_) endQueued_(path, queueEntry);
    }
    void forwardOverGprs(const Report& report) override {
        if (passOn_) passOn_(report);
    }
    void wakeScreen() override {}

private:
    ForwardingSupervision& supervision_;
    EndQueued endQueued_;
    PassOn passOn_;
};

} // namespace k4
