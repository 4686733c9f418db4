#pragma once
// What keeps the station's answers from feeding an endless exchange.
// Answers go to the sender's address at the channel's port, so a datagram
// forged with the address of another centre (or of this station) would be
// echoed to that centre's port, which echoes it back. Two rules stop it:
// at most kPerSecond answers to one address in one second, and a keep-alive
// that comes again unchanged from the same address within kRepeatMs of the
// one just echoed is not echoed again (a transmitter repeats its keep-alive
// after tens of seconds; a loop brings it back at once). A fixed table: a
// flood from many addresses never makes it grow.
#include <array>
#include <cstdint>
#include <span>
#include <string>

namespace k4 {

class ReplyLimiter {
public:
    static constexpr int kSlots = 256;
    static constexpr int kPerSecond = 10;
    static constexpr uint64_t kRepeatMs = 2000;

    // Whether an answer to this address may go now; counts it when it may.
    bool allow(const std::string& address, uint64_t nowMs);
    // Whether an echo of this keep-alive may go now (allow() included);
    // remembers it when it may.
    bool allowEcho(const std::string& address, std::span<const uint8_t> datagram, uint64_t nowMs);

    // Answers held back since start.
    uint64_t refused() const { return refused_; }

private:
    struct Entry {
        uint32_t address = 0;
        bool used = false;
        uint64_t secondStartMs = 0;
        int count = 0;
        uint32_t echoHash = 0;
        uint64_t echoAtMs = 0;
    };
    Entry& entryOf(const std::string& address, uint64_t nowMs);

    std::array<Entry, kSlots> entries_{};
    uint64_t refused_ = 0;
};

} // namespace k4
