#pragma once
// The poll of one interface module: the mode byte out on the data port,
// the module's status byte back, and whatever that status brings — a report
// block, a forwarding confirmation, an order the module waits for, a line
// fault. Report blocks are on the disk (the intake journal) before the
// module hears 0xCA, so a block the module was told to forget is never lost.
#include "baselink/base_link.h"
#include "baselink/frame_buffer.h"
#include "baselink/module_blocks.h"
#include "baselink/module_bus.h"
#include "baselink/module_links.h"
#include "baselink/packet.h"
#include "baselink/path_types.h"
#include "baselink/serial_ports.h"
#include "baselink/trace_ring.h"
#include "config/config_block.h"
#include "history/history_log.h"
#include "intake/frame_intake.h"
#include "intake/intake_journal.h"
#include "messages/messages.h"
#include "platform/clock.h"
#include "processing/block_lst.h"
#include "processing/rate_limiter.h"
#include "processing/report.h"
#include "processing/report_links.h"
#include "processing/scheduler.h"

#include <cstdint>
#include <span>

namespace k4 {

// History kinds the poll writes.
enum : int {
    kHistoryLineBack = 10,
    kHistoryLineFault = 11,
    kHistoryProbeRefused = 56,
    kHistoryIncomplete = 67,
};

constexpr int kPollFailed = 0xFFFF;

// Poll modes, the byte written on the data port.
enum : int {
    kPollNormal = 1,
    kPollSendOrder = 2,
    kPollSendLongRadio = 3,
};


// What the poll needs to know of a module path and the state it keeps in it.
struct PolledPath {
    int slot = 0;
    int kind = 0;
    int number = 0;   // within its group, shown plus 1
    int pathType = 7; // index into the path types
    uint8_t status = kPathInitialStatus; // the bits of Packet::status
};

bool isRadioKind(int kind);
bool isGsmKind(int kind);

class ModulePoll {
public:
    struct Services {
        ModuleBus& bus;
        SerialPorts& ports;
        FrameBuffer& frame;
        TraceRing& trace;
        Clock& clock;
        Messages& messages;
        const ConfigBlock& config;
        const PathTypeTable& pathTypes;
        HistoryLog& history;
        ReportProcessor& reports;
        FrameIntake& intake;
        Scheduler& scheduler;
        PhoneOwnerLookup& phones;
        const BlockLst& blockades;
        ReportPaths& paths;
        ModuleLinks& links;
    };

    // Reports of unknown senders on the module paths: this many within
    // this many hours, and the next one raises the alarm counter.
    static constexpr int kUnknownSenderLimit = 20;
    static constexpr int kUnknownSenderHours = 1;

    explicit ModulePoll(const Services& services);

    // One poll of the path (radio classes or the other module classes by
    // the path's kind): its status, or kPollFailed after any error.
    int poll(PolledPath& path, int mode);
    int pollRadio(PolledPath& path, int mode);
    int pollModule(PolledPath& path, int mode);

    // The extended radio block already in the frame buffer (16 bytes for
    // kind 0xA0, 15 for the others): 0 taken, -1 refused.
    int decodeExtended(PolledPath& path, int mode);

    // A report block the journal kept from an earlier run, processed as if
    // it had just come (no bus work: the module was answered long ago).
    void processStoredBlock(const JournalRecord& record);

    // The delayed line-fault alert of a GSM path: only while the fault is
    // still reported.
    void lineFaultAlert(const PolledPath& path);

    const UnknownSenderLimiter& unknownSenders() const { return unknownSenders_; }

private:
    // The block of a report with what it needs to be handled again.
    struct BlockOrigin {
        int slot;
        int kind;
        int number;
        int pathType;
        int mode;
        int status;
    };

    int receiveReport(PolledPath& path, int mode, int status, int& error);
    BlockGate journalGate(const BlockOrigin& origin, std::optional<IntakeTicket>& ticket);
    // live: the block came just now and the bus may be used for its answers.
    // false when decoding refused it.
    bool handleBlock(const BlockOrigin& origin, std::span<const uint8_t> block, bool live, PolledPath* path);
    void handleIncomplete(const BlockOrigin& origin, const DecodedBlock& d);
    void handleBareCall(const BlockOrigin& origin, const DecodedBlock& d);
    void handleGprsConfirmation(const BlockOrigin& origin, const DecodedBlock& d);
    void deliver(const BlockOrigin& origin, const DecodedBlock& d, int extraFlags);
    void countUnknownSender(const BlockOrigin& origin);
    void checkGsmPhone(const BlockOrigin& origin, const DecodedBlock& d);

    void radioConfirmation(PolledPath& path, int& error);
    int gsmConfirmation(PolledPath& path);
    int sendStagedOrder(PolledPath& path, int& error);
    void lineBack(PolledPath& path);
    void lineFault(PolledPath& path, uint8_t status);
    void showLineFault(const PolledPath& path);

    void failure(const PolledPath& path, bool radio, int error, int status, int mode);
    void discardInput();
    SerialLine& data() { return s_.ports.line(kComPort2); }
    BlockOptions options(int mode) const;
    uint8_t extraOf(int pathType, int number) const;

    Services s_;
    UnknownSenderLimiter unknownSenders_{kUnknownSenderLimit, kUnknownSenderHours};
    MessageGuard checkPacketsGuard_;
    MessageGuard lineFaultGuard_;
    MessageGuard incompleteGuard_;
    MessageGuard wrongPhoneGuard_;
    // A poll calls itself once more at most (after an order, or for the
    // acknowledgement a GPRS base asks for).
    int depth_ = 0;
};

} // namespace k4
