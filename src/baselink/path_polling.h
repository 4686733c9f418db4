#pragma once
// How a path talks to its device: the poll of a module on the bus (radio
// or the others), the decoding of an extended radio block, the text command
// of an Ethernet base and the datagram of a virtual channel. The path
// classes call these from their poll operation; the module bus code is
// their one implementation in the station.
#include <cstdint>
#include <string>

namespace k4 {

class Packet;

class PathPolling {
public:
    static constexpr int kPollError = 0xFFFF;

    virtual ~PathPolling() = default;
    // Kinds 0x10, 0x40, 0xA0: the whole status byte, or 0xFFFF.
    virtual int radioPoll(Packet& path, int mode, int argument) = 0;
    // Every other module: the low four bits of the status, or 0xFFFF.
    virtual int modulePoll(Packet& path, int mode, int argument) = 0;
    // The extended radio block in the frame buffer: 0 taken, -1 refused.
    virtual int decodeExtendedRadio(Packet& path, int mode) = 0;
    // Ethernet bases: the staged order as one text command; 2, or -1.
    virtual int ethernetPoll(Packet& path, int mode, int argument) = 0;
    // Virtual channels: the staged order as one datagram; 2, or 0xFFFF.
    virtual int virtualPoll(Packet& path, int mode, int argument) = 0;
};

// Nothing to talk to: every poll fails as a silent device would.
class NoPathPolling final : public PathPolling {
public:
    int radioPoll(Packet&, int, int) override { return kPollError; }
    int modulePoll(Packet&, int, int) override { return kPollError; }
    int decodeExtendedRadio(Packet&, int) override { return -1; }
    int ethernetPoll(Packet&, int, int) override { return -1; }
    int virtualPoll(Packet&, int, int) override { return kPollError; }
};

// Asks an Ethernet receiving base for its kind: its first answer byte
// (kind in the high four bits, number in the low four) in bits 0-7 and its
// second (a send delay, 0 for none) in bits 8-15; -1 when it does not answer.
// position: the address's line in the IP base table, which the base is
// told in the query.
class EthernetKindQuery {
public:
    virtual ~EthernetKindQuery() = default;
    virtual int queryKind(const std::string& address, int position) = 0;
};

} // namespace k4
