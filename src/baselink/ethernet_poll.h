#pragma once
// The poll of the paths that never use the module bus: an Ethernet
// receiving base gets the staged order as one text command, a virtual path
// (the Ethernet and vGPRS channels) as one binary datagram. Both only send:
// what the far end answers comes in through the UDP channels.
#include "baselink/frame_buffer.h"
#include "platform/clock.h"
#include "platform/datagram_socket.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace k4 {

// Ports of the far ends.
enum : uint16_t {
    kTextCommandPort = 7024,
    kEthernetDatagramPort = 8024,
    kVgprsDatagramPort = 1024,
};

// The text command of an Ethernet base for the order staged in the frame
// buffer (radio kinds at 160, GSM and GPRS kinds at 180); nothing for a
// mode that sends nothing.
std::optional<std::string> ethernetCommand(int kind, int mode, uint8_t sequence, const FrameBuffer& frame);

// The 14-byte datagram of a virtual path (kind 1 Ethernet, 2 vGPRS) for the
// 17-byte GPRS block staged at 180.
std::vector<uint8_t> virtualPathDatagram(int kind, const FrameBuffer& frame);
// The same datagram turned into an order that sets the partner's clock.
std::vector<uint8_t> timeSettingDatagram(int kind, const FrameBuffer& frame, const LocalDateTime& now);

// Where a subscriber of a virtual path is reached.
class SubscriberAddresses {
public:
    virtual ~SubscriberAddresses() = default;
    // The address the subscriber last registered from (Ethernet channel).
    virtual std::optional<std::array<uint8_t, 4>> registeredAddress(int subscriber) = 0;
    // The address in the subscriber's record (vGPRS channel).
    virtual std::optional<std::array<uint8_t, 4>> recordAddress(int subscriber) = 0;
};

struct EthernetPathState {
    int kind = 0;
    std::string address; // the base's IPv4 address
    uint8_t sequence = 0;
};

class EthernetPoll {
public:
    EthernetPoll(const FrameBuffer& frame, DatagramSocket& textChannel);

    // Ethernet base: 2 when the command went out, -1 for a mode that sends
    // nothing, 0xFFFF when the network refused it.
    int pollEthernet(EthernetPathState& path, int mode);
    // Virtual path: 2 when the datagram went out, 0xFFFF otherwise (not an
    // order poll, no address for the subscriber, the network refused it).
    int pollVirtual(int kind, int mode, SubscriberAddresses& addresses, DatagramSocket& channel);

private:
    const FrameBuffer& frame_;
    DatagramSocket& textChannel_;
};

} // namespace k4
