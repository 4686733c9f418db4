#pragma once
// The alarm sounds: which category sounds when, on either back end. The
// alarm list, the alarm-style notices and the line-fault reports ask for
// sounds through AlarmSoundControl; this is the one object that answers.
#include "config/config_block.h"
#include "messages/messages.h"
#include "processing/alarms_list.h"
#include "signals/sound_files.h"
#include "signals/sound_player.h"

#include <string>

namespace k4 {

class AlarmSounds : public AlarmSoundControl {
public:
    // directory: where the sound files live (the data directory).
    AlarmSounds(const ConfigBlock& config, SoundFiles& files, SoundPlayer& player,
                Messages& messages, std::string directory);

    // The list whose first waiting alarm resumes its sound; none until set.
    void setAlarms(const AlarmsList* alarms) { alarms_ = alarms; }

    void playSound(int category) override;
    void stopSound() override;
    void resumeAlarmSound(bool continuousOnly) override;
    // Space: the operator has heard it. Whatever plays stops now, on either
    // back end (a file does not play to its end); the waiting alarms sound
    // again at the next alarm or service.
    void silenceNow() { player_.silence(); }

private:
    const ConfigBlock& config_;
    SoundFiles& files_;
    SoundPlayer& player_;
    Messages& messages_;
    std::string directory_;
    const AlarmsList* alarms_ = nullptr;
};

} // namespace k4
