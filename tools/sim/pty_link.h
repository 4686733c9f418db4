#pragma once
// A pseudo-terminal pair whose station end is published under a path of the
// technician's choosing (a symlink), so the station opens it as a serial port.
#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace k4::sim {

class PtyLink {
public:
    PtyLink() = default;
    ~PtyLink();
    PtyLink(const PtyLink&) = delete;
    PtyLink& operator=(const PtyLink&) = delete;

    // Creates the pair and points linkPath at its station end.
    bool create(const std::string& linkPath, std::string& error);
    const std::string& stationEnd() const { return slaveName_; }
    // For waiting on several links at once.
    int fd() const { return master_; }

    bool write(const std::vector<uint8_t>& bytes);
    // At the speed of a line of baud bits per second (8E1: 11 bits a byte),
    // one byte after another, as a real base's UART sends them; 0 sends all
    // at once.
    void setLineSpeed(int baud) { baud_ = baud; }
    // How long one byte takes on the line, 0 without a line speed.
    std::chrono::microseconds byteTime() const;
    // The next byte within the time given, or nothing.
    std::optional<uint8_t> read(std::chrono::milliseconds timeout);
    // Everything that arrives until the line has been quiet for quiet.
    std::vector<uint8_t> readUntilQuiet(std::chrono::milliseconds first, std::chrono::milliseconds quiet);
    // A station's answer to a frame as it comes: its first byte, and after
    // 0x0A or 0x0E the 0x0D, each within timeout. Nothing is waited for
    // after the answer is whole.
    std::vector<uint8_t> readAnswer(std::chrono::milliseconds timeout);

private:
    int master_ = -1;
    int slaveKeeper_ = -1; // keeps the line up while no station has it open
    std::string slaveName_;
    std::string linkPath_;
    int baud_ = 0;
};

} // namespace k4::sim
