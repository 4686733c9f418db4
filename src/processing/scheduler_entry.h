#pragma once
// One entry of the scheduler's queue, as it sits in memory and in the file
// "events": a 32-bit word with the delay after the previous entry (20 bits),
// the type (4 bits) and the handler's argument (8 bits), then the 16-bit key.
#include "platform/little_endian.h"

#include <cstddef>
#include <cstdint>

namespace k4 {

enum SchedulerType : int {
    kSchedNothing = 0,
    kSchedChecking = 1,   // probe step of a path (key slot)
    kSchedCheckArm = 2,   // start of an arming or disarming window
    kSchedCheckTest = 3,  // test deadline (key subscriber, arg test path + 1)
    kSchedSendOrder = 4,  // retry of an order in progress
    kSchedRemoveBlk = 5,  // end of a timed blockade (arg 1), path probing back on (arg 2)
    kSchedAdjustTime = 6, // hourly clock correction
    kSchedTestAck = 7,    // re-send of a queued text of a path
    kSchedTestForw = 8,   // forwarding path test
    kSchedSaveBase = 9,   // automatic database dump
    kSchedSaveEvents = 10,// save of this queue, every minute
    kSchedHydro = 11,
    kSchedChkOrder = 12,  // missing forwarding confirmation
    kSchedDelay = 13,     // end of an arming or disarming window
    kSchedTest = 14,      // fire alarm forwarding (arg 16), GSM path alert (arg 1)
    kSchedCheckAlarm = 15,
};
constexpr int kSchedulerTypes = 16;

// The name the technical window shows for a type ("NIC" for 0).
const char* schedulerTypeName(int type);

constexpr uint32_t kMaxDelay = 0xFFFFF;
// Only these bits of a key take part in matching; all 16 reach the handler.
constexpr uint16_t kKeyMatchMask = 0x3FFF;

struct SchedulerEntry {
    Uint32Le word;
    Uint16Le key;

    uint32_t delay() const { return word & kMaxDelay; }
    int type() const { return static_cast<int>((word >> 20) & 0x0F); }
    int arg() const { return static_cast<int>((word >> 24) & 0xFF); }
    void setDelay(uint32_t d) { word = static_cast<uint32_t>((word & ~kMaxDelay) | (d & kMaxDelay)); }
    bool isEnd() const { return word == 0; }

    static SchedulerEntry make(uint32_t delay, int key, int type, int arg) {
        SchedulerEntry e;
        e.word = static_cast<uint32_t>((delay & kMaxDelay) | ((static_cast<uint32_t>(type) & 0x0F) << 20) |
                                       ((static_cast<uint32_t>(arg) & 0xFF) << 24));
        e.key = static_cast<uint16_t>(key);
        return e;
    }
};
static_assert(sizeof(SchedulerEntry) == 6);
static_assert(offsetof(SchedulerEntry, key) == 4);

// The number of 6-byte entries in 64 KiB.
constexpr int kSchedulerCapacity = 10922;
// "events": the stamp, then every slot of the queue, the unused ones zero.
constexpr size_t kEventsFileSize = 4 + kSchedulerCapacity * sizeof(SchedulerEntry);

} // namespace k4
