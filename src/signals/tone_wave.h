#pragma once
// Square-wave audio, as the PC speaker made it: the tone back end plays it
// and the WAV generator of the installation writes it into files.
#include "signals/sound_player.h"

#include <array>
#include <cstdint>
#include <vector>

namespace k4 {

constexpr int kToneSampleRate = 22050;

// 16-bit mono samples of one tone; a frequency of 18 Hz or less is a pause
// (silence for the duration), as the speaker is then not started.
void appendTone(std::vector<int16_t>& samples, const Tone& tone, int sampleRate = kToneSampleRate);
std::vector<int16_t> toneSequence(const std::array<Tone, 3>& tones, int sampleRate = kToneSampleRate);

// The square wave of a continuous tone, kept in step across calls.
class ContinuousTone {
public:
    explicit ContinuousTone(int frequencyHz = 0, int sampleRate = kToneSampleRate);
    bool sounding() const { return frequencyHz_ > 18; }
    void fill(int16_t* out, size_t count);

private:
    int frequencyHz_;
    int sampleRate_;
    uint64_t position_ = 0;
};

} // namespace k4
