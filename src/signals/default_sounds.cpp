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
    // Small files: a fresh installation must fit beside its data on a
    // nearly full disk, and a beep needs no more than 8 kHz in 8 bits.
    constexpr int kRate = 8000;
    std::vector<int16_t> samples;
    if (category == 0) {
        for (int i = 0; i < 3; ++i) {
            appendTone(samples, {440, 150}, kRate);
            appendTone(samples, {0, 100}, kRate);
        }
    } else {
        const int f = 600 + 40 * category;
        appendTone(samples, {f, 240}, kRate);
        appendTone(samples, {0, 100}, kRate);
        appendTone(samples, {f * 5 / 4, 240}, kRate);
        // The gap before a repeat, so a repeating alarm is heard as beeps.
        appendTone(samples, {0, 200}, kRate);
    }
    return wavBytes8(samples, kRate);
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
