#pragma once
// The station's own alarm sounds: square-wave WAV files made here, one per
// category, so a fresh installation sounds without any file from elsewhere.
#include <string>

namespace k4 {

// "alarm00.wav" ... "alarm15.wav".
std::string defaultSoundName(int category);
// The WAV bytes of a category: the error signal (0) is three low beeps,
// each alarm class two beeps a little higher than the class before.
std::string defaultSoundWav(int category);
// Writes the 16 files into dir and a "sounds" file naming them.
bool writeDefaultSounds(const std::string& dir, std::string& error);

} // namespace k4
