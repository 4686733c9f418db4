#pragma once
// What the alarm sounds need from the audio side. Two back ends stand behind
// it: one plays a WAV file per category, the other plays generated tones.
// Neither may stop the station: an audio output that fails is told once by
// the back end and every later call simply does nothing audible.
#include <array>
#include <string>

namespace k4 {

struct Tone {
    int frequencyHz = 0; // 18 Hz or less is a pause: nothing sounds
    int durationMs = 0;
};

class SoundPlayer {
public:
    enum class FileResult { Started, Missing, Failed };

    virtual ~SoundPlayer() = default;
    // true for the file back end, false for the tone back end.
    virtual bool playsFiles() const = 0;
    // File back end: plays the file, again and again while repeat holds.
    // Missing: the file is absent or not a sound the player can open.
    virtual FileResult playFile(const std::string& path, bool repeat) = 0;
    // File back end: the current playback is the last one.
    virtual void endRepeat() = 0;
    // Tone back end: three tones in turn, then the continuous tone when
    // continuousHz is above 0, left on until silence().
    virtual void playTones(const std::array<Tone, 3>& tones, int continuousHz) = 0;
    virtual void startContinuous(int frequencyHz) = 0;
    virtual void silence() = 0;
};

} // namespace k4
