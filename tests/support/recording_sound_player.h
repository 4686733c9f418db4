#pragma once
// A sound back end that records every call, either kind, and reports a file
// missing when the file is not there.
#include "signals/sound_player.h"

#include <string>
#include <vector>

namespace k4::test {

class RecordingSoundPlayer final : public SoundPlayer {
public:
    explicit RecordingSoundPlayer(bool files) : files_(files) {}
    std::vector<std::string> calls;

    bool playsFiles() const override { return files_; }
    FileResult playFile(const std::string& path, bool repeat) override;
    void endRepeat() override { calls.push_back("end repeat"); }
    void playTones(const std::array<Tone, 3>& tones, int continuousHz) override;
    void startContinuous(int hz) override { calls.push_back("continuous " + std::to_string(hz)); }
    void silence() override { calls.push_back("silence"); }

private:
    bool files_;
};

} // namespace k4::test
