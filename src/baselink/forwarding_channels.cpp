#include "baselink/forwarding_channels.h"

#include "baselink/base_link.h"
#include "baselink/module_bus.h"
#include "baselink/module_poll.h"
#include "baselink/path_table.h"
#include "baselink/serial_ports.h"

namespace k4 {

StationForwardingChannels::StationForwardingChannels(const ConfigBlock& config, BaseLink& baseLink, SerialPorts& ports,
                                                     PathTable& paths, ModuleBus& bus, FrameBuffer& frame, Clock& clock)
    : config_(config), baseLink_(baseLink), ports_(ports), paths_(paths), bus_(bus), frame_(frame), clock_(clock) {}

int StationForwardingChannels::portOf(int rsLink) const {
    if (rsLink == 2 && static_cast<int16_t>(config_.base1_port) != 0) return kComPort3;
    if (rsLink == 3 && static_cast<int16_t>(config_.base2_port) != 0) return kComPort4;
    return -1;
}

int StationForwardingChannels::sendRsFrame(int rsLink, uint16_t subscriber, bool hexSubscriber, int code,
                                           int subsystem, int sector) {
    const int port = portOf(rsLink);
    if (port < 0) return -1;
    BaseLink::putForwardFrame(frame_, subscriber, hexSubscriber, code, subsystem, sector);
    return baseLink_.ForwardFrame(port);
}

int StationForwardingChannels::sendRsTest(int rsLink, bool filler) {
    const int port = portOf(rsLink);
    if (port < 0) return -2;
    if (filler) BaseLink::putFillerFrame(frame_);
    else BaseLink::putEmptyFrame(frame_);
    return baseLink_.ForwardFrame(port);
}

int StationForwardingChannels::findPath(int kind, int number) const {
    for (int slot = 0; slot < kPathSlots; ++slot) {
        const Packet* p = paths_.at(slot);
        if (p && p->kind == kind && (number < 0 || p->number == number)) return slot;
    }
    return -1;
}

int StationForwardingChannels::pathKind(int slot) const {
    const Packet* p = paths_.at(slot);
    return p ? p->kind : -1;
}

bool StationForwardingChannels::anyPath() const {
    for (int slot = 0; slot < kPathSlots; ++slot)
        if (paths_.at(slot)) return true;
    return false;
}

bool StationForwardingChannels::pathReady(int slot) {
    if (!paths_.at(slot)) return false;
    const int answer = bus_.SelectModule(slot);
    return answer != 0xFFFF && (answer & 1);
}

int StationForwardingChannels::pollPath(int slot, int mode) { return paths_.poll(slot, mode, 0); }

int StationForwardingChannels::queueGprsBlock(int slot, uint8_t alarmId, int entryType) {
    if (orderQueue_) return orderQueue_(slot, alarmId, entryType);
    return paths_.poll(slot, kPollSendOrder, 0);
}

void StationForwardingChannels::pauseMs(int ms) { clock_.sleepMs(ms); }

} // namespace k4
