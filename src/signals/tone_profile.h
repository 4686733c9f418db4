#pragma once
// A tone profile: seven signed bytes of the configuration per category,
// frequencies in 10 Hz, durations in 10 ms; byte 6 is the continuous tone,
// 0 for a sound that plays once.
#include "config/config_block.h"
#include "signals/sound_player.h"

#include <array>
#include <cstdint>

namespace k4 {

struct ToneProfile {
    std::array<int8_t, kToneProfileSize> bytes{};

    static ToneProfile of(const ConfigBlock& config, int category);
    bool hasSound() const { return bytes[0] != 0; }
    bool continuous() const { return bytes[6] != 0; }
    int continuousHz() const { return bytes[6] * 10; }
    std::array<Tone, 3> tones() const;
};

// The defaults the dialogs write into an empty or invalid field.
constexpr int kDefaultToneFrequency = 84;
constexpr int kDefaultToneDuration = 24;

} // namespace k4
