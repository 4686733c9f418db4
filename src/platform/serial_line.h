#pragma once
// One serial port object of the station: 8 data bits, even parity, one stop
// bit, no flow control, one byte at a time. A read waits at most 100 ms.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace k4 {

class SerialLine {
public:
    virtual ~SerialLine() = default;

    virtual bool open(const std::string& device, int baudRate) = 0;
    virtual void close() = 0;
    virtual bool isOpen() const = 0;
    // Open and still there: a pulled USB adapter is open but not connected.
    virtual bool isConnected() = 0;
    // The byte waiting, or the next one within 100 ms; nothing after that.
    virtual std::optional<uint8_t> readByte() = 0;
    virtual bool writeByte(uint8_t byte) = 0;
    virtual void clearInput() = 0;
    // Set when the line reported an error since the last call; cleared by it.
    // A device that went away is not connected rather than in error.
    virtual bool takeError() = 0;
    virtual std::string errorText() const = 0;
    virtual std::string device() const = 0;
};

// The ports the station may use, numbered from 1 in this order.
class SerialPortList {
public:
    virtual ~SerialPortList() = default;
    virtual std::vector<std::string> presentPorts() = 0;
};

} // namespace k4
