#pragma once
// The serial base frame link: receiving bases (or centres sending to this
// one) deliver framed, checksummed records; every frame is answered with an
// acceptance or a refusal, and a decoded report goes to report processing.
// The same framing carries the reports this centre forwards to other bases.
#include "baselink/frame_buffer.h"
#include "baselink/serial_ports.h"
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

    explicit BaseLink(const Services& services);

    // One poll of the receiving base link (modes 2 and 3): 0 when a frame was
    // read and handled, 255 otherwise.
    int PollBaseLink();
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

    // The frame in the frame buffer, from its L on, become a report.
    int handleFrame(Stamp receivedAt);

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
    // The frame ReadBaseFrame made durable, until its report is processed.
    std::optional<IntakeTicket> taken_;
};

} // namespace k4
