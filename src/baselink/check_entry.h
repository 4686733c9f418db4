#pragma once
// What a path puts on the checking panel of the main window: the subscriber
// it probes and how the probe went. 6 bytes as the paths hand them over.
#include <cstdint>

namespace k4 {

enum CheckState : uint8_t {
    kCheckAnswered = 0, // " OK "
    kCheckSilent = 1,   // "BRAK"
    kCheckRunning = 2,  // "SPR."
};

struct CheckEntry {
    uint16_t slot = 0;       // path table slot
    uint16_t subscriber = 0;
    uint8_t state = 0;       // CheckState
    uint8_t spare = 0;
};
static_assert(sizeof(CheckEntry) == 6);

// Who shows the entries: the main window's panel, or nobody.
class CheckingObserver {
public:
    virtual ~CheckingObserver() = default;
    virtual void addEntry(const CheckEntry& entry) = 0;
    virtual void updateEntry(const CheckEntry& entry) = 0;
};

} // namespace k4
