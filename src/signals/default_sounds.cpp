#include "signals/default_sounds.h"

#include "platform/file.h"
#include "signals/sound_files.h"
#include "signals/tone_wave.h"
#include "signals/wav_file.h"

#include <cstdio>

namespace k4 {

std::string defaultSoundName(int category) {
    char name[16];
    std::snprintf(name, sizeof name, "alarm%02d.wav", category);
    return name;
}

std::string defaultSoundWav(int category) {
    std::vector<int16_t> samples;
    if (category == 0) {
        for (int i = 0; i < 3; ++i) {
            appendTone(samples, {440, 150});
            appendTone(samples, {0, 100});
        }
    } else {
        const int f = 600 + 40 * category;
        appendTone(samples, {f, 240});
        appendTone(samples, {0, 100});
        appendTone(samples, {f * 5 / 4, 240});
        // The gap before a repeat, so a repeating alarm is heard as beeps.
        appendTone(samples, {0, 300});
    }
    return wavBytes(samples, kToneSampleRate);
}

bool writeDefaultSounds(const std::string& dir, std::string& error) {
    SoundFiles table(dir + "/sounds");
    for (int c = 0; c < SoundFiles::kCategories; ++c) {
        const std::string name = defaultSoundName(c);
        if (!replaceFileDurably(dir + "/" + name, defaultSoundWav(c), &error)) return false;
        table.setSlot(c, name);
    }
    if (!table.save()) {
        error = "nie można zapisać " + table.path();
        return false;
    }
    return true;
}

} // namespace k4
