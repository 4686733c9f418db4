#pragma once
// The bus of the centre's own receiver modules: the interface port selects
// one of seven slots, the data port carries checksummed blocks to and from
// the selected module. 0xCA accepts a block, 0xFE refuses it.
#include "baselink/frame_buffer.h"
#include "baselink/serial_ports.h"
#include "baselink/trace_ring.h"
#include "config/config.h"
#include "platform/clock.h"
#include "messages/messages.h"

#include <cstdint>
#include <functional>
#include <span>

namespace k4 {

constexpr uint8_t kBlockAccepted = 0xCA;
constexpr uint8_t kBlockRefused = 0xFE;
constexpr int kModuleSlots = 7;
// A block with a right checksum that could not be stored is left without
// an answer: the module keeps it and delivers it again.
constexpr int kBlockNotStored = 0x70;

// Asked between a right checksum and the 0xCA that tells the module to
// forget the block: true when the block is safe (on the disk).
using BlockGate = std::function<bool(std::span<const uint8_t> block)>;

bool isModuleType(uint8_t byte);

class ModuleBus {
public:
    struct Services {
        SerialPorts& ports;
        FrameBuffer& frame;
        TraceRing& trace;
        Clock& clock;
        Messages& messages;
    };

    explicit ModuleBus(const Services& services);

    // The slot's status byte (bit 0: a module answers), 0xFFFF when the
    // interface port stayed silent or could not be written, 1 for slot > 6.
    int SelectModule(int slot);
    // 0 when the slot answers (and, unless expectedType is -1, its module is
    // of that type), -1 otherwise.
    int CheckModule(int slot, int expectedType);
    // n bytes and their checksum into the frame buffer from offset 0.
    int ReceiveBlock(int count, const BlockGate& gate = {});
    // Up to ten chunks of 16 bytes; the first byte says how many follow.
    // The length of what came is left in chunkedLength().
    int ReceiveChunkedBlock(const BlockGate& gate = {});
    int chunkedLength() const { return chunkedLength_; }
    // The staged block at offset 160 or 180 of the frame buffer.
    int SendBlockFrom160(int count);
    int SendBlockFrom180(int count);
    // A block whose first byte is its own length.
    int SendCountedBlock(const uint8_t* block);

    // Finds the interface and data ports by trying every pair of present
    // ports on every slot; the pair found is saved into the configuration
    // and stays open. 0, or -1 when no pair answers.
    int PortAutotest(Config& config);

private:
    SerialLine& interfacePort() { return s_.ports.line(kComPort1); }
    SerialLine& dataPort() { return s_.ports.line(kComPort2); }
    // Discards what a babbling port keeps sending; true when it would not stop.
    bool drainTraced(SerialLine& line, int slot, int expectedType, bool dataSide);
    int answerBlock(int count, uint8_t sum, bool storeChecksums, int received, const BlockGate& gate);
    int sendReadAtOnce(const uint8_t* bytes, int count);
    bool probeSlot(int slot);

    Services s_;
    MessageGuard checkPacketsGuard_;
    int chunkedLength_ = 0;
};

} // namespace k4
