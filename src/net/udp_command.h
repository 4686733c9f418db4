#pragma once
// udp_c: a command to one Ethernet base and the wait for its "%" answer.
// The wait keeps the event loop running (the answer arrives through it,
// and the window and the timer go on), at most 500 ms; a second command
// asked for meanwhile is refused at once.
#include "messages/messages.h"
#include "platform/clock.h"
#include "platform/datagram_socket.h"

#include <cstdint>
#include <string>

namespace k4 {

class udp_c {
public:
    static constexpr int kWaitMs = 500;

    udp_c(DatagramSocket& socket, uint16_t port, const Clock& clock, EventPump* pump, Messages& messages,
          const bool& receptionSuspended);

    // Sends C to the base at ip and waits for its acknowledgement: 0, or
    // -1 (not sent, or no answer in time). A sequence "00" in C is taken
    // from the rolling counter and written into it.
    int sendCommand(const std::string& ip, std::string command);

    // The "%" answer of a base has come (the receive handler).
    void answered(uint8_t sequence);

    uint8_t acked = 0;
    // What the last answer said; callers set it to -1 before an exchange.
    int32_t lastReply = -1;
    bool busy() const { return busy_; }
    uint8_t rollingSequence() const { return rolling_; }
    // The command as it went out last.
    const std::string& lastSent() const { return lastSent_; }

private:
    DatagramSocket& socket_;
    uint16_t port_;
    const Clock& clock_;
    EventPump* pump_;
    Messages& messages_;
    const bool& receptionSuspended_;
    uint8_t rolling_ = 0;
    uint8_t sequence_ = 0;
    bool busy_ = false;
    std::string lastSent_;
    char buffer_[100] = {}; // kept with the instance; no exchange uses it
    MessageGuard emptyGuard_;
};

} // namespace k4
