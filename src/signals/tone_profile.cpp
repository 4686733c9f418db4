#include "signals/tone_profile.h"

namespace k4 {

ToneProfile ToneProfile::of(const ConfigBlock& config, int category) {
    ToneProfile p;
    for (int i = 0; i < kToneProfileSize; ++i)
        p.bytes[static_cast<size_t>(i)] = static_cast<int8_t>(config.tones[category][i]);
    return p;
}

std::array<Tone, 3> ToneProfile::tones() const {
    std::array<Tone, 3> t{};
    for (size_t i = 0; i < 3; ++i) {
        t[i].frequencyHz = bytes[2 * i] * 10;
        t[i].durationMs = bytes[2 * i + 1] * 10;
    }
    return t;
}

} // namespace k4
