#include "signals/tone_wave.h"

namespace k4 {
namespace {

// Loud enough to hear over a monitoring room, well below clipping.
constexpr int16_t kAmplitude = 8000;

int16_t squareSample(uint64_t n, int frequencyHz, int sampleRate) {
    // The level flips every half period; integer arithmetic keeps the wave
    // exact over hours of a continuous tone.
    const uint64_t halfPeriods = (n * 2 * static_cast<uint64_t>(frequencyHz)) / static_cast<uint64_t>(sampleRate);
    return (halfPeriods % 2 == 0) ? kAmplitude : static_cast<int16_t>(-kAmplitude);
}

} // namespace

void appendTone(std::vector<int16_t>& samples, const Tone& tone, int sampleRate) {
    if (tone.durationMs <= 0) return;
    const auto count = static_cast<size_t>(static_cast<int64_t>(tone.durationMs) * sampleRate / 1000);
    if (tone.frequencyHz <= 18) {
        samples.insert(samples.end(), count, 0);
        return;
    }
    for (size_t n = 0; n < count; ++n) samples.push_back(squareSample(n, tone.frequencyHz, sampleRate));
}

std::vector<int16_t> toneSequence(const std::array<Tone, 3>& tones, int sampleRate) {
    std::vector<int16_t> samples;
    for (const Tone& t : tones) appendTone(samples, t, sampleRate);
    return samples;
}

ContinuousTone::ContinuousTone(int frequencyHz, int sampleRate)
    : frequencyHz_(frequencyHz), sampleRate_(sampleRate) {}

void ContinuousTone::fill(int16_t* out, size_t count) {
    for (size_t i = 0; i < count; ++i)
        out[i] = sounding() ? squareSample(position_++, frequencyHz_, sampleRate_) : 0;
}

} // namespace k4
