#pragma once
// What report processing asks of the subsystems around it: the path table,
// test and arming supervision, forwarding to other centres, orders to
// panels and the queue of texts awaiting confirmation. One small interface
// per subsystem; each owner implements its own. Until an owner exists the
// station passes the "No..." object beside it, which does nothing and says
// so in its result (never a success it did not earn).
#include "processing/alarm_record.h"

#include <cstdint>
#include <optional>
#include <string_view>

namespace k4 {

class Sbscrbr;

// What a path of the path table tells about itself.
struct PathDescriptor {
    int pathKind = 0;          // kind byte of the path's module
    int transmissionType = 0;  // 4 bits, the path type of history entries
    int baseNumber = 0;        // 4 bits, the base index plus 1
    int testPath = 7;          // test-path index of the path's type
    int textDelaySeconds = 0;  // how long a queued text waits for its confirmation
};

// The path table and its probing (interface paths).
class ReportPaths {
public:
    virtual ~ReportPaths() = default;
    // The path in slot 0..20, or nothing when the slot holds none.
    virtual std::optional<PathDescriptor> describe(int path) const = 0;
    // A probe answer of this subscriber arrived over the path.
    virtual void markProbeAnswered(int path, int subscriber) = 0;
};

// Test supervision: kind 0 any report, 5 periodic test, 6 arming test,
// -1 arming, -2 disarming. 1 when the report matched a running test.
class TestSupervision {
public:
    virtual ~TestSupervision() = default;
    virtual int checkTest(int kind, Sbscrbr& subscriber, int testPath) = 0;
};

// Arming-schedule supervision: arm -1 arming, -2 disarming. 0 or -1.
class ArmingSupervision {
public:
    virtual ~ArmingSupervision() = default;
    virtual int updateArming(Sbscrbr& subscriber, int arm, int subsystem, int sector) = 0;
};

// Forwarding of alarms to the receiving bases of other centres (station
// mode "Nadawcza"). added: the alarm went into the active list. 0 or -1.
class AlarmForwarding {
public:
    virtual ~AlarmForwarding() = default;
    virtual int forwardNewAlarm(Sbscrbr& subscriber, AlarmRecord& alarm, bool added) = 0;
};

// Orders to a subscriber's panel, sent asynchronously. 0 started, -1 not.
class OrderSender {
public:
    virtual ~OrderSender() = default;
    virtual int sendOrder(int subscriber, int path, int order) = 0;
};

// The per-path queue of texts the base wants confirmed when the operator
// opens the alarm. The entry's sequence number, or -1 when not queued.
class TextTracking {
public:
    virtual ~TextTracking() = default;
    virtual int queueText(int path, std::string_view text, uint8_t alarmId) = 0;
};

// --- Until their owners are built -----------------------------------------

// The path table before the module discovery fills it: no slot holds a
// path, so no report is treated as coming over one. Replaced by the path
// table of the interface paths.
class NoPaths final : public ReportPaths {
public:
    std::optional<PathDescriptor> describe(int) const override { return std::nullopt; }
    void markProbeAnswered(int, int) override {}
};

// No test is supervised: nothing matches. Replaced by test supervision.
class NoTestSupervision final : public TestSupervision {
public:
    int checkTest(int, Sbscrbr&, int) override { return 0; }
};

// No arming schedule is supervised. Replaced by arming supervision.
class NoArmingSupervision final : public ArmingSupervision {
public:
    int updateArming(Sbscrbr&, int, int, int) override { return -1; }
};

// Nothing is forwarded. Replaced by the forwarding to receiving bases.
class NoForwarding final : public AlarmForwarding {
public:
    int forwardNewAlarm(Sbscrbr&, AlarmRecord&, bool) override { return -1; }
};

// No order can be sent. Replaced by the orders to subscribers.
class NoOrders final : public OrderSender {
public:
    int sendOrder(int, int, int) override { return -1; }
};

// No text is queued: processing without paths (benchmarks, tools).
class NoTextTracking final : public TextTracking {
public:
    int queueText(int, std::string_view, uint8_t) override { return -1; }
};

} // namespace k4
