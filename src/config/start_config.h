#pragma once
// Bringing the configuration up at start: read "conf", make it belong to
// this directory, open the serial ports of the mode and hand the settings to
// the parts that keep their own copies.
#include "config/config.h"

namespace k4 {

class PathTypeTable;

// The serial side of the start: the base link and module ports of the mode.
class SerialStartStep {
public:
    virtual ~SerialStartStep() = default;
    // 0 when every port of the mode opened, -1 otherwise. The block is the
    // station's own: opening may adjust it (an LED port takes base 2's place).
    virtual int openSerialPorts(ConfigBlock& block) = 0;
    virtual void closeSerialPorts(const ConfigBlock& block) = 0;
    // The link layer's copies of "Zwłoka nad." and "Zwłoka odb.".
    virtual void setLinkDelays(int sendDelay, int recvDelay) = 0;
};

enum : int {
    kStartConfigOk = 0,
    kStartConfigFileFailed = -1,
    kStartConfigPortsFailed = -2,
};

int StartConfig(Config& config, int first, SerialStartStep& serial, PathTypeTable& pathTypes);

} // namespace k4
