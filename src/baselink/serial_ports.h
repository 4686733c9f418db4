#pragma once
// The four port objects of the station and which of them the mode opens:
// ComPort1 the interface port (or the second receiving base), ComPort2 the
// data port (or the first receiving base), ComPort3 and ComPort4 the serial
// base links and the LED panel.
#include "config/start_config.h"
#include "platform/serial_line.h"

#include <array>
#include <functional>
#include <memory>

namespace k4 {

enum : int { kComPort1 = 0, kComPort2 = 1, kComPort3 = 2, kComPort4 = 3 };

class SerialPorts final : public SerialStartStep {
public:
    using LineFactory = std::function<std::unique_ptr<SerialLine>()>;

    SerialPorts(SerialPortList& portList, const LineFactory& makeLine);

    SerialLine& line(int index) { return *lines_[static_cast<size_t>(index)]; }

    // Opens the ports of the configured mode; 0, or -1 when the mode is
    // unknown or any port failed (the ports opened so far stay open for
    // CloseSerialPorts). In mode 0 an LED port takes the place of base 2,
    // which is cleared in the block.
    int OpenSerialPorts(ConfigBlock& block);
    void CloseSerialPorts(const ConfigBlock& block);

    // What the last failed open was about, for the technician.
    const std::string& lastError() const { return error_; }

    // "Zwłoka nad." in milliseconds: the pause after every byte sent; 5
    // until the configuration has been read.
    int pacingMs() const { return sendDelay_; }
    int recvDelay() const { return recvDelay_; }

    // SerialStartStep
    int openSerialPorts(ConfigBlock& block) override;
    void closeSerialPorts(const ConfigBlock& block) override { CloseSerialPorts(block); }
    void setLinkDelays(int sendDelay, int recvDelay) override;

    // The configured port number n (1..) is the n-th present port.
    std::string deviceOf(int portNumber);
    // The present ports, asked anew.
    const std::vector<std::string>& refreshPresentPorts();

private:
    bool openOn(int index, int portNumber, int baudRate);
    bool openModuleAndLedPorts(ConfigBlock& block);

    SerialPortList& portList_;
    std::array<std::unique_ptr<SerialLine>, 4> lines_;
    std::vector<std::string> present_;
    int sendDelay_ = 5;
    int recvDelay_ = 3;
    std::string error_;
};

} // namespace k4
