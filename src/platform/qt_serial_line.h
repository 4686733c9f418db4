#pragma once
// Serial lines through Qt SerialPort: real RS-232 ports, USB adapters and the
// pseudo-terminals of the simulator.
#include "platform/serial_line.h"

#include <memory>

class QSerialPort;

namespace k4 {

class QtSerialLine final : public SerialLine {
public:
    QtSerialLine();
    ~QtSerialLine() override;

    bool open(const std::string& device, int baudRate) override;
    void close() override;
    bool isOpen() const override;
    bool isConnected() override;
    std::optional<uint8_t> readByteWithin(int ms) override;
    bool writeByte(uint8_t byte) override;
    void clearInput() override;
    bool takeError() override;
    std::string errorText() const override { return error_; }
    std::string device() const override { return device_; }
    void setArrivalHandler(ArrivalHandler handler) override;

private:
    bool configure();
    void noteReadError();

    std::unique_ptr<QSerialPort> port_;
    std::string device_;
    int baudRate_ = 9600;
    bool lost_ = false;   // the device went away while open
    bool errorPending_ = false;
    std::string error_;
    ArrivalHandler arrival_;
    bool watching_ = false;
};

// The system's serial ports sorted as text, or exactly the colon-separated
// paths of KESTREL4_SERIAL_PORTS when that is set.
class SystemSerialPortList final : public SerialPortList {
public:
    std::vector<std::string> presentPorts() override;
    // The list KESTREL4_SERIAL_PORTS gives, or nothing when it is not set.
    static std::optional<std::vector<std::string>> fromEnvironment();
};

} // namespace k4
