#pragma once
// What the module poll asks of the subsystems beside it: the forwarding
// confirmations of alarms this centre sent to other bases, the GPRS
// acknowledgement order, the queued texts of a path, waking the screen.
// Until an owner exists the station passes the "No..." object, which does
// nothing and says so in its result.
#include "processing/report.h"

#include <cstdint>
#include <span>

namespace k4 {

class ModuleLinks {
public:
    virtual ~ModuleLinks() = default;
    // A receiving base (entry 0..15) confirms the forwarded alarm of a
    // subscriber over a path (0x20 radio, 0x40 GSM).
    virtual void confirmForwarding(int subscriber, int base, int pathBit) = 0;
    // The GPRS variant, naming the queued text it answers.
    virtual void confirmGprsForwarding(int path, int subscriber, int base, int pathBit, int queueEntry) = 0;
    // A GPRS base wants its block acknowledged: the order is staged at 180
    // of the frame buffer. false when nothing was staged.
    virtual bool stageGprsAcknowledgement(int path, std::span<const uint8_t> block) = 0;
    // A GPRS partner ends the queued order of the path it names.
    virtual void endQueuedText(int path, int queueEntry) = 0;
    // The report goes on to the subscriber's forwarding base over GPRS.
    virtual void forwardOverGprs(const Report& report) = 0;
    // An alarm the operator must see now (a line fault).
    virtual void wakeScreen() = 0;
};

// Before forwarding, GPRS texts and the window are wired: confirmations
// and texts are dropped (nothing of this centre awaits them) and no
// acknowledgement can be staged.
class NoModuleLinks final : public ModuleLinks {
public:
    void confirmForwarding(int, int, int) override {}
    void confirmGprsForwarding(int, int, int, int, int) override {}
    bool stageGprsAcknowledgement(int, std::span<const uint8_t>) override { return false; }
    void endQueuedText(int, int) override {}
    void forwardOverGprs(const Report&) override {}
    void wakeScreen() override {}
};

} // namespace k4
