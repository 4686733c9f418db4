#pragma once
// One UDP endpoint of the station: datagrams out to a host and port. The
// receiving side and the socket itself belong to the UDP channels; the
// paths that only send (Ethernet bases, the virtual paths) need no more.
#include <cstdint>
#include <span>
#include <string>

namespace k4 {

class DatagramSocket {
public:
    virtual ~DatagramSocket() = default;
    // One datagram to host ("%d.%d.%d.%d") and port; false when it could
    // not be handed to the network.
    virtual bool sendDatagram(const std::string& host, uint16_t port, std::span<const uint8_t> bytes) = 0;
};

} // namespace k4
