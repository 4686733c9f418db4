#pragma once
// The tone back end: the three tones of a profile and its continuous tone
// as a generated square wave through the audio output, since a PC speaker
// is no longer a given. Unlike the speaker it never holds the thread: the
// tones are queued and the call returns at once.
#include "signals/audio_failure.h"
#include "signals/sound_player.h"

#include <memory>

class QAudioSink;

namespace k4 {

class ToneSource;

class QtTonePlayer final : public SoundPlayer {
public:
    explicit QtTonePlayer(bool outputPresent = audioOutputPresent());
    ~QtTonePlayer() override;

    AudioFailure& failure() { return failure_; }

    bool playsFiles() const override { return false; }
    FileResult playFile(const std::string&, bool) override { return FileResult::Failed; }
    void endRepeat() override {}
    void playTones(const std::array<Tone, 3>& tones, int continuousHz) override;
    void startContinuous(int frequencyHz) override;
    void silence() override;

private:
    bool ensureSink();

    bool outputPresent_;
    AudioFailure failure_;
    std::unique_ptr<ToneSource> source_;
    std::unique_ptr<QAudioSink> sink_;
};

} // namespace k4
