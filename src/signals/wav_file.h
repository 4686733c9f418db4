#pragma once
// The plain PCM WAV files the file back end plays: written by the
// installation's generator, checked before a playback so that a file that
// is not a sound counts as missing rather than as a silent alarm.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace k4 {

std::string wavBytes(const std::vector<int16_t>& samples, int sampleRate);
// The same as 8-bit samples: a quarter of the size at telephone quality,
// plenty for a square-wave beep.
std::string wavBytes8(const std::vector<int16_t>& samples, int sampleRate);

struct WavInfo {
    int channels = 0;
    int sampleRate = 0;
    int bitsPerSample = 0;
    uint32_t dataBytes = 0;
};

// false for anything but a RIFF/WAVE file with PCM format and a data chunk.
bool readWavInfo(std::string_view bytes, WavInfo& info);
bool readWavFileInfo(const std::string& path, WavInfo& info);

} // namespace k4
