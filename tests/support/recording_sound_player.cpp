#include "support/recording_sound_player.h"

#include <filesystem>

namespace k4::test {

SoundPlayer::FileResult RecordingSoundPlayer::playFile(const std::string& path, bool repeat) {
    const std::string name = std::filesystem::path(path).filename().string();
    if (!std::filesystem::exists(path)) {
        calls.push_back("missing " + name);
        return FileResult::Missing;
    }
    calls.push_back("file " + name + (repeat ? " repeat" : " once"));
    return FileResult::Started;
}

void RecordingSoundPlayer::playTones(const std::array<Tone, 3>& tones, int continuousHz) {
    std::string call = "tones";
    for (const Tone& t : tones)
        call += " " + std::to_string(t.frequencyHz) + "/" + std::to_string(t.durationMs);
    if (continuousHz > 0) call += " then " + std::to_string(continuousHz);
    calls.push_back(call);
}

} // namespace k4::test
