#pragma once
// The path classes' device side in the station: the module poll for the
// bus paths, the Ethernet poll for the bases and the virtual channels. Each
// poll works on the path's own fields (status and line-fault counter, the
// command sequence), copied in and back around the call.
#include "baselink/ethernet_poll.h"
#include "baselink/module_poll.h"
#include "baselink/path_polling.h"

namespace k4 {

class SubscriberDatabase;

// The addresses of subscribers of the virtual channels: the subscriber
// record's for vGPRS; the Ethernet channel's registrations are not kept by
// this station yet, so none is known.
class RecordSubscriberAddresses final : public SubscriberAddresses {
public:
    explicit RecordSubscriberAddresses(SubscriberDatabase& database) : database_(database) {}
    std::optional<std::array<uint8_t, 4>> registeredAddress(int) override { return std::nullopt; }
    std::optional<std::array<uint8_t, 4>> recordAddress(int subscriber) override;

private:
    SubscriberDatabase& database_;
};

class PathPollingLink final : public PathPolling {
public:
    PathPollingLink(ModulePoll& modules, EthernetPoll& ethernet, SubscriberAddresses& addresses,
                    DatagramSocket& ethernetChannel, DatagramSocket& vgprsChannel, const FrameBuffer& frame);

    int radioPoll(Packet& path, int mode, int argument) override;
    int modulePoll(Packet& path, int mode, int argument) override;
    int decodeExtendedRadio(Packet& path, int mode) override;
    int ethernetPoll(Packet& path, int mode, int argument) override;
    int virtualPoll(Packet& path, int mode, int argument) override;

private:
    ModulePoll& modules_;
    EthernetPoll& ethernet_;
    SubscriberAddresses& addresses_;
    DatagramSocket& ethernetChannel_;
    DatagramSocket& vgprsChannel_;
    const FrameBuffer& frame_;
};

} // namespace k4
