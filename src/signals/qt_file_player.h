#pragma once
// The file back end: one player for wave audio, with the repeat mark of the
// old multimedia player (0 stop after this playback, 2 repeat requested, 1
// repeating), played through Qt Multimedia.
#include "signals/audio_failure.h"
#include "signals/sound_player.h"

#include <memory>

class QSoundEffect;

namespace k4 {

class QtFilePlayer final : public SoundPlayer {
public:
    // outputPresent: normally audioOutputPresent(); a test passes false.
    explicit QtFilePlayer(bool outputPresent = audioOutputPresent());
    ~QtFilePlayer() override;

    AudioFailure& failure() { return failure_; }
    int repeatMark() const { return repeatMark_; }

    bool playsFiles() const override { return true; }
    FileResult playFile(const std::string& path, bool repeat) override;
    void endRepeat() override { repeatMark_ = 0; }
    void playTones(const std::array<Tone, 3>&, int) override {}
    void startContinuous(int) override {}
    void silence() override;

private:
    void playbackEnded();

    bool outputPresent_;
    AudioFailure failure_;
    std::unique_ptr<QSoundEffect> effect_;
    int repeatMark_ = 0;
};

} // namespace k4
