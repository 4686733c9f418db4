#pragma once
// The device side of the path table: the paths' poll operations reach the
// module bus, the Ethernet bases and the datagram channels through this one
// object. It owns the module poll and the sends of the Ethernet and virtual
// paths, and it takes the journal's module blocks back at start-up.
#include "baselink/ethernet_poll.h"
#include "baselink/module_poll.h"
#include "baselink/packet.h"
#include "baselink/path_polling.h"
#include "intake/report_intake.h"
#include "platform/datagram_socket.h"

namespace k4 {

// Before the UDP channels exist nothing goes out: every send is refused,
// so a path that should have sent reports a failure, never a success.
class NoDatagramSocket final : public DatagramSocket {
public:
    bool sendDatagram(const std::string&, uint16_t, std::span<const uint8_t>) override { return false; }
};

// Before the UDP channels keep their subscribers' addresses: none known.
class NoSubscriberAddresses final : public SubscriberAddresses {
public:
    std::optional<std::array<uint8_t, 4>> registeredAddress(int) override { return std::nullopt; }
    std::optional<std::array<uint8_t, 4>> recordAddress(int) override { return std::nullopt; }
};

class ModulePathPolling final : public PathPolling {
public:
    struct Channels {
        DatagramSocket& textCommands; // Ethernet bases, port 7024
        DatagramSocket& ethernet;     // virtual Ethernet channel, port 8024
        DatagramSocket& vgprs;        // virtual GPRS channel, port 1024
        SubscriberAddresses& addresses;
    };

    // Registers the journal's handler of module blocks with the intake.
    ModulePathPolling(const ModulePoll::Services& services, const Channels& channels, ReportIntake& intake);
    ~ModulePathPolling() override;

    int radioPoll(Packet& path, int mode, int argument) override;
    int modulePoll(Packet& path, int mode, int argument) override;
    int decodeExtendedRadio(Packet& path, int mode) override;
    int ethernetPoll(Packet& path, int mode, int argument) override;
    int virtualPoll(Packet& path, int mode, int argument) override;

    // Scheduler type 14 with argument 1: the delayed alert of a GSM path
    // whose line is still gone.
    void lineFaultAlert(Packet& path);

    ModulePoll& modulePoll() { return poll_; }

private:
    template <typename Poll> int withState(Packet& path, Poll poll);

    ModulePoll poll_;
    EthernetPoll ethernet_;
    Channels channels_;
    ReportIntake& intake_;
};

} // namespace k4
