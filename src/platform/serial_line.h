#pragma once
// One serial port object of the station: 8 data bits, even parity, one stop
// bit, no flow control, one byte at a time. A read waits at most 100 ms, and
// only while no byte is there: a byte that has come is taken at once.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace k4 {

class SerialLine {
public:
    // The longest a read waits for a byte that has not come.
    static constexpr int kReadTimeoutMs = 100;

    virtual ~SerialLine() = default;

    virtual bool open(const std::string& device, int baudRate) = 0;
    virtual void close() = 0;
    virtual bool isOpen() const = 0;
    // Open and still there: a pulled USB adapter is open but not connected.
    virtual bool isConnected() = 0;
    // The byte waiting, or the next one within ms; nothing after that. With
    // 0 it only takes a byte that is already there and never waits.
    virtual std::optional<uint8_t> readByteWithin(int ms) = 0;
    // The byte waiting, or the next one within 100 ms.
    std::optional<uint8_t> readByte() { return readByteWithin(kReadTimeoutMs); }
    // A byte that cannot be written is dropped with whatever of the line's
    // output was still queued, so it never goes out late; the failure is the
    // writer's to handle and leaves no error behind for the readers.
    virtual bool writeByte(uint8_t byte) = 0;
    virtual void clearInput() = 0;
    // Set when a read of the line met an error since the last call; cleared
    // by it. A device that went away is not connected rather than in error.
    virtual bool takeError() = 0;
    virtual std::string errorText() const = 0;
    virtual std::string device() const = 0;

    // Told when bytes have come, so reception need not wait for the next
    // timer tick. It may be told in the middle of a read of this very line:
    // it only takes note (a SoonCall) and reads nothing itself. Lines
    // without an event loop behind them never tell.
    using ArrivalHandler = std::function<void()>;
    virtual void setArrivalHandler(ArrivalHandler handler) { (void)handler; }
};

// The ports the station may use, numbered from 1 in this order.
class SerialPortList {
public:
    virtual ~SerialPortList() = default;
    virtual std::vector<std::string> presentPorts() = 0;
};

} // namespace k4
