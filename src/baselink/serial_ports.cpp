#include "baselink/serial_ports.h"

namespace k4 {

SerialPorts::SerialPorts(SerialPortList& portList, const LineFactory& makeLine)
    : portList_(portList) {
    for (auto& line : lines_) line = makeLine();
}

std::string SerialPorts::deviceOf(int portNumber) {
    if (portNumber < 1 || static_cast<size_t>(portNumber) > present_.size()) return {};
    return present_[static_cast<size_t>(portNumber - 1)];
}

const std::vector<std::string>& SerialPorts::refreshPresentPorts() {
    present_ = portList_.presentPorts();
    return present_;
}

bool SerialPorts::openOn(int index, int portNumber, int baudRate) {
    const std::string device = deviceOf(portNumber);
    if (device.empty()) {
        error_ = "COM" + std::to_string(portNumber) + ": brak takiego portu";
        return false;
    }
    SerialLine& l = line(index);
    if (!l.open(device, baudRate)) {
        error_ = "COM" + std::to_string(portNumber) + " (" + device + "): " + l.errorText();
        return false;
    }
    return true;
}

bool SerialPorts::openModuleAndLedPorts(ConfigBlock& b) {
    if (!openOn(kComPort1, b.inter_port, 9600)) return false;
    if (!openOn(kComPort2, b.data_port, 9600)) return false;
    if (b.synopt_port > 0) {
        b.base2_port = 0;
        if (!openOn(kComPort4, b.synopt_port, b.base2_speed)) return false;
    }
    return true;
}

int SerialPorts::OpenSerialPorts(ConfigBlock& b) {
    error_.clear();
    refreshPresentPorts();
    const bool ledPort = b.synopt_port > 0;
    switch (b.mode) {
    case 0:
        return openModuleAndLedPorts(b) ? 0 : -1;
    case 1:
        if (!ledPort && b.base2_port && !openOn(kComPort4, b.base2_port, b.base2_speed)) return -1;
        if (b.base1_port && !openOn(kComPort3, b.base1_port, b.base1_speed)) return -1;
        return openModuleAndLedPorts(b) ? 0 : -1;
    case 2:
        if (!openOn(kComPort2, b.data_port, b.base1_speed)) return -1;
        if (b.base2_port && !openOn(kComPort1, b.base2_port, b.base2_speed)) return -1;
        return 0;
    case 3:
        if (b.base1_port && !openOn(kComPort3, b.base1_port, b.base1_speed)) return -1;
        return openModuleAndLedPorts(b) ? 0 : -1;
    default:
        error_ = "nieznany tryb pracy " + std::to_string(int(b.mode));
        return -1;
    }
}

int SerialPorts::openSerialPorts(ConfigBlock& block) { return OpenSerialPorts(block); }

void SerialPorts::CloseSerialPorts(const ConfigBlock& b) {
    const bool ledPort = b.synopt_port > 0;
    switch (b.mode) {
    case 2:
        line(kComPort2).close();
        if (b.base2_port) line(kComPort1).close();
        return;
    case 1:
    case 3:
        line(kComPort3).close();
        if (b.mode == 1 && !ledPort && b.base2_port) line(kComPort4).close();
        [[fallthrough]];
    case 0:
        line(kComPort2).close();
        line(kComPort1).close();
        if (ledPort) line(kComPort4).close();
        return;
    default:
        return;
    }
}

void SerialPorts::setLinkDelays(int sendDelay, int recvDelay) {
    sendDelay_ = sendDelay;
    recvDelay_ = recvDelay;
}

} // namespace k4
