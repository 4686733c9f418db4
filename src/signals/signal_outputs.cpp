#include "signals/signal_outputs.h"

#include "signals/qt_file_player.h"
#include "signals/qt_tone_player.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace k4 {
namespace {

// A station that must stay silent: every sound is a no-op.
class SilentPlayer final : public SoundPlayer {
public:
    bool playsFiles() const override { return true; }
    FileResult playFile(const std::string&, bool) override { return FileResult::Failed; }
    void endRepeat() override {}
    void playTones(const std::array<Tone, 3>&, int) override {}
    void startContinuous(int) override {}
    void silence() override {}
};

} // namespace

SignalOutputs::SoundKind SignalOutputs::soundKindFromEnvironment() {
    const char* v = std::getenv("KESTREL4_SOUND");
    if (v && std::strcmp(v, "tones") == 0) return SoundKind::Tones;
    if (v && std::strcmp(v, "none") == 0) return SoundKind::None;
    return SoundKind::Files;
}

SignalOutputs::SignalOutputs(const ConfigBlock& config, Messages& messages, AlarmsList& alarms, DataDir dir,
                             SoundKind sound, GraphicDocument* graphic)
    : messages_(messages), alarms_(alarms), files_(dir.file("sounds")),
      spooler_(makeCupsSpooler()), printing_(config, *spooler_, messages, dir, graphic),
      eventPrinter_(printing_) {
    auto teller = [this](const std::string& what) { tell(what); };
    if (sound == SoundKind::Files) {
        auto files = std::make_unique<QtFilePlayer>();
        files->failure().setTeller(teller);
        player_ = std::move(files);
    } else if (sound == SoundKind::Tones) {
        auto tones = std::make_unique<QtTonePlayer>();
        tones->failure().setTeller(teller);
        player_ = std::move(tones);
    } else {
        player_ = std::make_unique<SilentPlayer>();
    }
    files_.load();
    sounds_ = std::make_unique<AlarmSounds>(config, files_, *player_, messages, dir.path());
    sounds_->setAlarms(&alarms);
    sounds_->stopSound();
    alarms.setSound(sounds_.get());
    messages.setAlarmSound(sounds_.get());
    if (dde_.start(teller)) alarms.setBroadcast(&dde_);
}

SignalOutputs::~SignalOutputs() {
    alarms_.setBroadcast(nullptr);
    alarms_.setSound(nullptr);
    messages_.setAlarmSound(nullptr);
    sounds_->stopSound();
}

void SignalOutputs::tell(const std::string& what) {
    // Said on the station's diagnostic output, not in a box: a missing sound
    // card or session bus must not stop the operator at every start.
    std::fprintf(stderr, "kestrel4: %s\n", what.c_str());
}

} // namespace k4
