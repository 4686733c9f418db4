#pragma once
// What every receiver asks before it tells a device "accepted": the frame
// goes to the disk first, and only a frame that is there may be accepted.
// Told "accepted", a base deletes the report from its buffer; a report
// accepted and then lost in a crash or on a full disk is a burglary or a
// fire nobody will ever see.
#include <cstdint>
#include <optional>
#include <span>

namespace k4 {

// The receiver a stored frame came from; the number is kept in the journal,
// so it is never reused for another receiver.
enum class IntakeChannel : uint8_t {
    BaseFrame = 1,   // a serial base frame: L and the records
    ModuleBlock = 2, // a block of an interface module
    Datagram = 3,    // a UDP datagram
    IpPanel = 4,     // a frame of an IP panel, judged and decoded
};

// A frame taken in and not yet processed.
struct IntakeTicket {
    int64_t record = 0;           // where it sits in the journal
    uint64_t historyFailures = 0; // the history's failed writes when it was taken
};

class FrameIntake {
public:
    virtual ~FrameIntake() = default;
    // Makes the frame durable. Nothing when it could not be stored: the
    // sender must then not be told "accepted".
    virtual std::optional<IntakeTicket> take(IntakeChannel channel, int port, std::span<const uint8_t> bytes) = 0;
    // The frame's report has been processed (or it carried none).
    virtual void processed(const IntakeTicket& ticket) = 0;
};

} // namespace k4
