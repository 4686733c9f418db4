#pragma once
// The UDP endpoints of the station. DatagramSocket is what a path that only
// sends needs (Ethernet bases, the virtual paths); DatagramEndpoint is the
// whole socket the UDP channels own: bound to its port for the station's
// life, read one datagram at a time as they arrive on the event loop.
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace k4 {

class DatagramSocket {
public:
    virtual ~DatagramSocket() = default;
    // One datagram to host ("%d.%d.%d.%d") and port; false when it could
    // not be handed to the network.
    virtual bool sendDatagram(const std::string& host, uint16_t port, std::span<const uint8_t> bytes) = 0;
};

struct ReceivedDatagram {
    std::vector<uint8_t> bytes; // at most kReadBuffer of them
    size_t size = 0;            // the datagram's whole size, also past the buffer
    std::string sender;         // dotted decimal, no leading zeros
    uint16_t senderPort = 0;
};

class DatagramEndpoint : public DatagramSocket {
public:
    // What one read takes of a datagram; the rest of a longer one is lost.
    static constexpr size_t kReadBuffer = 2048;

    // Binds to port on address (empty: every IPv4 address of the host).
    virtual bool bind(const std::string& address, uint16_t port) = 0;
    virtual void close() = 0;
    virtual bool isBound() const = 0;
    // Why the last bind or send failed (UTF-8, for the operator's box).
    virtual std::string errorText() const = 0;
    // Called on the event loop when datagrams are waiting; they stay
    // waiting until read.
    virtual void setArrivalHandler(std::function<void()> handler) = 0;
    // The next waiting datagram, or nothing when none waits.
    virtual std::optional<ReceivedDatagram> receive() = 0;
    // Whether a sender address is one this socket's host answers on (the
    // bound address, or any address of the host when bound to all).
    virtual bool isOwnAddress(const std::string& address) const = 0;
};

// Runs the event loop for a while inside a wait, so that what arrives
// meanwhile (the answer waited for among it) is handled.
class EventPump {
public:
    virtual ~EventPump() = default;
    // Handles events for up to ms milliseconds, or until wake().
    virtual void runFor(int ms) = 0;
    // Ends the current runFor early: what it waited for has come.
    virtual void wake() = 0;
};

} // namespace k4
