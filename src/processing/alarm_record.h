#pragma once
// One active alarm: a report the operator must see and service. Alarms live
// in memory only, newest first.
#include <array>
#include <cstdint>

namespace k4 {

struct AlarmRecord {
    uint32_t reserved = 0;
    uint8_t id = 0;           // unique in the list, given by insert
    uint32_t time = 0;        // Stamp of the report's history entry
    uint32_t sentTime = 0;    // the transmitter's time, 0 unknown
    int16_t subscriber = 0;
    int16_t subsystem = 255;  // 90 and above: a last report
    uint16_t codeWord = 0;    // bits 0-11 code after translation, 12-15 colour class
    int16_t sector = 4095;
    int16_t path = 0;
    uint8_t flags = 0;
    uint16_t service = 0;     // the service steps ticked, bits 0-7
    uint16_t origCodeWord = 0; // bits 0-11 code as received, 12-15 state
    int16_t origSector = 4095;
    std::array<uint8_t, 16> forward{}; // per base: high nibble to forward on, low nibble sent on

    int code() const { return codeWord & 0x0FFF; }
    int colour() const { return codeWord >> 12; }
    int origCode() const { return origCodeWord & 0x0FFF; }
    int state() const { return origCodeWord >> 12; }
    bool inService() const { return flags & kInService; }

    enum : uint8_t {
        kInService = 0x01,
        kTextToConfirm = 0x04, // the base awaits confirmation of an attached text
        kHexSubscriber = 0x08,
        kUnknownSubscriber = 0x10,
        kUnknownEvent = 0x20,
    };
    enum : uint8_t {
        kStateDemonstration = 0x1,
        kStateFireForwardPending = 0x2,
    };
};
// The record keeps the field order and natural alignment of its 52 bytes.
static_assert(sizeof(AlarmRecord) == 52);

inline uint16_t codeWordOf(int code, int colour) {
    return static_cast<uint16_t>((code & 0x0FFF) | ((colour & 0xF) << 12));
}

} // namespace k4
