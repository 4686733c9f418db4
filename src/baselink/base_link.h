#pragma once
// The serial base frame link: receiving bases (or centres sending to this
// one) deliver framed, checksummed records; every frame is answered with an
// acceptance or a refusal, and a decoded report goes to report processing.
// The same framing carries the reports this centre forwards to other bases.
#include "baselink/base_frame_receiver.h"
#include "baselink/frame_buffer.h"
#include "baselink/serial_ports.h"
#include "baselink/tick_budget.h"
#include "baselink/trace_ring.h"
#include "config/config_block.h"
#include "intake/frame_intake.h"
#include "platform/clock.h"
#include "processing/report.h"
#include "messages/messages.h"

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace k4 {

// The owner of a telephone number, from the subscriber phone index.
class PhoneOwnerLookup {
public:
    virtual ~PhoneOwnerLookup() = default;
    virtual std::optional<int> ownerOfPhone(const std::string& phone) = 0;
};

// History entries the link prepares whole (clock and phone findings): the
// 14 bytes of the entry, of which the writer sets the time and the kind.
using PreparedEntry = std::array<uint8_t, 14>;
class PreparedEntryLog {
public:
    virtual ~PreparedEntryLog() = default;
    virtual int logPreparedEntry(int kind, const PreparedEntry& entry) = 0;
};

enum : int {
    kHistoryPhoneUnknown = 43,
    kHistoryPhoneOfOther = 45,
    kHistoryClockSkew = 57,
};

// The record types of a base frame and their lengths, type byte included.
int baseRecordLength(uint8_t type);

class BaseLink {
public:
    struct Services {
        SerialPorts& ports;
        FrameBuffer& frame;
        TraceRing& trace;
        Clock& clock;
        Messages& messages;
        const ConfigBlock& config;
        ReportProcessor& reports;
        PreparedEntryLog& history;
        PhoneOwnerLookup& phones;
        FrameIntake& intake;
    };

    // A line that sends without ever starting a frame is skipped this many
    // bytes, or this long, per poll; the rest waits for the next one.
    static constexpr int kHuntBytes = 100;
    static constexpr int kHuntMs = 100;

    explicit BaseLink(const Services& services);

    // One poll of the receiving base link (modes 2 and 3): one frame of one
    // base, the two bases of mode 2 on alternate polls; 0 when a frame was
    // read and handled, 255 otherwise. It waits up to 100 ms for a first
    // byte, as a serial read does.
    int PollBaseLink();
    // What the station's tick does instead: every receiving base of the
    // mode is served, taking the frames that are waiting while the budget
    // lasts. A line with nothing waiting costs one look and no wait; a frame
    // that is still coming is waited for only as long as the budget allows,
    // and goes on at the next call. True when the budget ran out with bytes
    // still waiting, so the caller should come back soon.
    bool ServeBaseLinks(TickBudget& budget);
    // The port objects of the receiving bases in the configured mode.
    std::vector<int> receivingPorts() const;
    Clock& clock() const { return s_.clock; }
    // Reads one frame after its 0x0A into the frame buffer (L at offset 0)
    // and answers it; 0 or the negative code of the failure.
    int ReadBaseFrame(int port);
    // Sends LF, L, records and CR from offset 0 of the frame buffer, then the
    // checksum, and reads the answer; 0 accepted, non-zero otherwise.
    int SendBaseFrame(int port);
    // Processes a frame taken in earlier (L and the records, as the journal
    // keeps them) as if it had just come at receivedAt: 0, or 255 when it
    // held nothing fit to report.
    int processStoredFrame(std::span<const uint8_t> frame, Stamp receivedAt);
    // SendBaseFrame up to three times; 0 or -1.
    int ForwardFrame(int port);

    bool locked() const { return locked_; }
    int lastPort() const { return lastPort_; }

    // The frames this centre sends, put into the frame buffer from offset 0.
    static int putForwardFrame(FrameBuffer& frame, uint16_t subscriber, bool hexSubscriber, int code,
                               int subsystem, int sector);
    static void putEmptyFrame(FrameBuffer& frame);
    static void putFillerFrame(FrameBuffer& frame);

private:
    struct Decoded {
        Report report;
        std::string phone;
        std::array<uint8_t, 12> timeDigits{};
        Stamp receivedAt = 0;
    };

    // Per port: the frame being read across calls of ServeBaseLinks.
    struct Reception {
        BaseFrameReceiver frame;
        uint64_t lastByteAt = 0; // tick of the clock when its last byte was taken
        int waitedMs = 0;        // waited in vain for the next byte since
    };
    enum class Taken { Nothing, Progress, HuntCapped, NoBudget };
    // The longest wait on one base while the other's frame is coming too.
    static constexpr int kShareWaitMs = 5;

    bool usable(int port);
    bool huntErrorLocks(SerialLine& line);
    Taken takeWaiting(int port, TickBudget& budget, int& hunted);
    int sinceLastByte(const Reception& r) const;
    // The frame's verdict: traced when it failed, answered and handed on
    // when it came whole. 0 when it was handled, 255 otherwise.
    int finishFrame(int port, BaseFrameReceiver::Step step);
    // The frame in the frame buffer is made durable before it is accepted;
    // one that cannot be stored is not answered at all.
    int answerFrame(int port, bool accepted);
    // The frame made durable by answerFrame is processed, whether or not its
    // answer went out whole, and marked done in the intake.
    int processTaken();
    // The frame in the frame buffer, from its L on, become a report.
    int handleFrame(Stamp receivedAt);
    // Time one frame's answer and processing take, to begin a frame only
    // when it still fits the budget.
    int frameCostMs() const;
    bool decodeRecords(int length, Decoded& decoded) const;
    void checkClock(const Decoded& decoded);
    void checkPhone(const Decoded& decoded);
    void traceFailure(int result);
    void drain(SerialLine& line, int limit);

    Services s_;
    int lastPort_ = 1;
    // Per port: with two bases the other one's ticks must not clear the
    // mark, or a lost base would be told again every other tick.
    std::array<bool, kComPort4 + 1> notConnectedShown_{};
    bool locked_ = false;
    std::array<Reception, kComPort4 + 1> reception_{};
    BaseFrameReceiver syncFrame_;
    int lastFrameCostMs_ = 0;
    // The frame answerFrame made durable, until its report is processed.
    std::optional<IntakeTicket> taken_;
};

} // namespace k4
