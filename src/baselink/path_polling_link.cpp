#include "baselink/path_polling_link.h"

#include "baselink/module_blocks.h"
#include "baselink/packet.h"
#include "database/sbscrbr.h"

#include <cstring>

namespace k4 {

namespace {

PolledPath polledOf(const Packet& p) {
    PolledPath polled;
    polled.slot = p.slot;
    polled.kind = p.kind;
    polled.number = p.number;
    polled.pathType = p.typeIndex;
    polled.status = p.status;
    return polled;
}

} // namespace

std::optional<std::array<uint8_t, 4>> RecordSubscriberAddresses::recordAddress(int subscriber) {
    Sbscrbr s(database_, ByNumber{subscriber});
    if (!s.valid || s.unindexed) return std::nullopt;
    std::array<uint8_t, 4> address{};
    std::memcpy(address.data(), &s.record.ip, 4);
    if (address == std::array<uint8_t, 4>{}) return std::nullopt;
    return address;
}

PathPollingLink::PathPollingLink(ModulePoll& modules, EthernetPoll& ethernet, SubscriberAddresses& addresses,
                                 DatagramSocket& ethernetChannel, DatagramSocket& vgprsChannel, const FrameBuffer& frame)
    : modules_(modules), ethernet_(ethernet), addresses_(addresses), ethernetChannel_(ethernetChannel),
      vgprsChannel_(vgprsChannel), frame_(frame) {}

int PathPollingLink::radioPoll(Packet& path, int mode, int) {
    PolledPath polled = polledOf(path);
    const int status = modules_.pollRadio(polled, mode);
    path.status = polled.status;
    return status;
}

int PathPollingLink::modulePoll(Packet& path, int mode, int) {
    PolledPath polled = polledOf(path);
    const int status = modules_.pollModule(polled, mode);
    path.status = polled.status;
    return status;
}

int PathPollingLink::decodeExtendedRadio(Packet& path, int) {
    const size_t length = path.kind == kKindLtr ? 16 : 15;
    const DecodedBlock decoded = decodeExtendedRadioBlock(std::span<const uint8_t>(frame_.bytes.data(), length), path.kind);
    return decoded.outcome == BlockOutcome::Report ? 0 : -1;
}

int PathPollingLink::ethernetPoll(Packet& path, int mode, int) {
    EthernetPathState state{path.kind, path.address, path.sequence};
    const int result = ethernet_.pollEthernet(state, mode);
    path.sequence = state.sequence;
    return result;
}

int PathPollingLink::virtualPoll(Packet& path, int mode, int) {
    DatagramSocket& channel = path.kind == kKindEthernetChannel ? ethernetChannel_ : vgprsChannel_;
    return ethernet_.pollVirtual(path.kind, mode, addresses_, channel);
}

} // namespace k4
