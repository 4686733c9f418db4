#pragma once
// The station's ways out for forwarded alarms: the serial base links of
// the configuration and the paths of the path table.
#include "processing/forwarding.h"

#include <functional>

namespace k4 {

class BaseLink;
class ModuleBus;
class PathTable;
class SerialPorts;
class Clock;
struct ConfigBlock;

class StationForwardingChannels final : public ForwardingChannels {
public:
    StationForwardingChannels(const ConfigBlock& config, BaseLink& baseLink, SerialPorts& ports, PathTable& paths,
                              ModuleBus& bus, FrameBuffer& frame, Clock& clock);

    int sendRsFrame(int rsLink, uint16_t subscriber, bool hexSubscriber, int code, int subsystem, int sector) override;
    int sendRsTest(int rsLink, bool filler) override;
    int findPath(int kind, int number) const override;
    int pathKind(int slot) const override;
    bool anyPath() const override;
    bool pathReady(int slot) override;
    int pollPath(int slot, int mode) override;
    int queueGprsBlock(int slot, uint8_t alarmId, int entryType) override;
    FrameBuffer& frame() override { return frame_; }
    void pauseMs(int ms) override;
    // The track queue that sends a block again until its base answers;
    // without it a block goes out once.
    using OrderQueue = std::function<int(int slot, uint8_t alarmId, int entryType)>;
    void setOrderQueue(OrderQueue queue) { orderQueue_ = std::move(queue); }

private:
    // The port object of a serial base link that is configured; -1.
    int portOf(int rsLink) const;

    const ConfigBlock& config_;
    BaseLink& baseLink_;
    SerialPorts& ports_;
    PathTable& paths_;
    ModuleBus& bus_;
    FrameBuffer& frame_;
    Clock& clock_;
    OrderQueue orderQueue_;
};

} // namespace k4
