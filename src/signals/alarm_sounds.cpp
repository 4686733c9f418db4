#include "signals/alarm_sounds.h"

#include "database/text_edge.h"
#include "signals/tone_profile.h"

namespace k4 {

AlarmSounds::AlarmSounds(const ConfigBlock& config, SoundFiles& files, SoundPlayer& player,
                         Messages& messages, std::string directory)
    : config_(config), files_(files), player_(player), messages_(messages),
      directory_(std::move(directory)) {}

void AlarmSounds::playSound(int category) {
    if (category < 0 || category >= SoundFiles::kCategories) return;
    const ToneProfile profile = ToneProfile::of(config_, category);
    if (!player_.playsFiles()) {
        if (!profile.hasSound()) return;
        player_.playTones(profile.tones(), profile.continuous() ? profile.continuousHz() : 0);
        return;
    }
    const std::string& name = files_.slot(category);
    if (name.empty()) return;
    const std::string path = directory_.empty() ? name : directory_ + "/" + name;
    if (player_.playFile(path, profile.continuous()) == SoundPlayer::FileResult::Missing) {
        // The file is gone: the slot forgets it, so the operator is told
        // once and the next alarm of the class is silent until a new file
        // is chosen.
        messages_.ShowNotice(mz("Brak podanego pliku - wpis zostanie usunięty"), kNoticeInfo);
        files_.clearSlot(category);
        files_.save();
    }
}

void AlarmSounds::stopSound() {
    if (player_.playsFiles())
        player_.endRepeat();
    else
        player_.silence();
}

void AlarmSounds::resumeAlarmSound(bool continuousOnly) {
    if (!alarms_) return;
    for (int i = 0; i < alarms_->count(); ++i) {
        const AlarmRecord& alarm = (*alarms_)[i];
        if (alarm.inService()) continue;
        const int category = alarm.codeWord >> 12;
        const ToneProfile profile = ToneProfile::of(config_, category);
        if (!profile.hasSound()) continue;
        if (continuousOnly && !profile.continuous()) continue;
        if (player_.playsFiles())
            playSound(category);
        else
            player_.startContinuous(profile.continuousHz());
        return;
    }
}

} // namespace k4
