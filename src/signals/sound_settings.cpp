#include "signals/sound_settings.h"

#include "signals/tone_profile.h"

#include <cstdio>

namespace k4 {

std::string soundCategoryText(int category) { return category == 0 ? "Sygnał błędu" : "Alarm"; }

std::string toneProfileLine(const ConfigBlock& config, int category) {
    const ToneProfile p = ToneProfile::of(config, category);
    char line[64];
    std::snprintf(line, sizeof line, "%2d  %2d  %2d  %2d  %2d  %2d  %2d", p.bytes[0], p.bytes[1], p.bytes[2],
                  p.bytes[3], p.bytes[4], p.bytes[5], p.bytes[6]);
    return line;
}

bool storePlayOnce(ConfigBlock& config, const std::vector<bool>& playOnce) {
    bool changed = false;
    for (size_t c = 0; c < playOnce.size() && c < static_cast<size_t>(kToneProfiles); ++c) {
        uint8_t& continuous = config.tones[c][6];
        if (playOnce[c] && continuous != 0) {
            continuous = 0;
            changed = true;
        } else if (!playOnce[c] && continuous == 0) {
            continuous = kDefaultToneFrequency;
            changed = true;
        }
    }
    return changed;
}

bool storeToneFields(ConfigBlock& config, int category, const std::array<std::string, 7>& fields) {
    bool changed = false;
    for (size_t i = 0; i < fields.size(); ++i) {
        // Fields 1, 3, 5 and 7 (indexes 0, 2, 4, 6) are frequencies.
        int value = (i % 2 == 0) ? kDefaultToneFrequency : kDefaultToneDuration;
        // The two-digit mask leaves blanks or "_" where nothing was typed.
        const std::string& raw = fields[i];
        const size_t from = raw.find_first_not_of(" _");
        const size_t to = raw.find_last_not_of(" _");
        const std::string f = from == std::string::npos ? std::string() : raw.substr(from, to - from + 1);
        const bool number = !f.empty() && f.size() <= 2 && f.find_first_not_of("0123456789") == std::string::npos;
        if (number) value = std::stoi(f);
        uint8_t& byte = config.tones[category][i];
        if (byte != value) {
            byte = static_cast<uint8_t>(value);
            changed = true;
        }
    }
    return changed;
}

} // namespace k4
