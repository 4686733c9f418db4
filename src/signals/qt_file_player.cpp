#include "signals/qt_file_player.h"

#include "signals/wav_file.h"

#include <QAudioDevice>
#include <QMediaDevices>
#include <QSoundEffect>
#include <QUrl>

namespace k4 {

bool audioOutputPresent() { return !QMediaDevices::audioOutputs().isEmpty(); }

QtFilePlayer::QtFilePlayer(bool outputPresent) : outputPresent_(outputPresent) {}

QtFilePlayer::~QtFilePlayer() = default;

SoundPlayer::FileResult QtFilePlayer::playFile(const std::string& path, bool repeat) {
    // A file that is not there or not a wave sound is what the old player
    // refused to open: the caller then forgets it. Checked before the audio
    // output, so a station without sound still keeps its table honest.
    WavInfo info;
    if (!readWavFileInfo(path, info)) return FileResult::Missing;
    if (!outputPresent_) {
        failure_.tell("brak wyjścia dźwięku: alarmy są ciche");
        return FileResult::Failed;
    }
    if (!effect_) {
        effect_ = std::make_unique<QSoundEffect>();
        QObject::connect(effect_.get(), &QSoundEffect::playingChanged, effect_.get(), [this] {
            if (!effect_->isPlaying()) playbackEnded();
        });
        QObject::connect(effect_.get(), &QSoundEffect::statusChanged, effect_.get(), [this] {
            if (effect_->status() == QSoundEffect::Error)
                failure_.tell("wyjście dźwięku nie odtwarza plików: alarmy są ciche");
        });
    }
    // A new sound replaces the one playing at once.
    repeatMark_ = 0;
    effect_->stop();
    effect_->setSource(QUrl::fromLocalFile(QString::fromStdString(path)));
    repeatMark_ = repeat ? 2 : 0;
    effect_->play();
    return FileResult::Started;
}

void QtFilePlayer::playbackEnded() {
    if (repeatMark_ <= 0 || !effect_ || effect_->status() == QSoundEffect::Error) return;
    repeatMark_ = 1;
    effect_->play();
}

void QtFilePlayer::silence() {
    repeatMark_ = 0;
    if (effect_) effect_->stop();
}

} // namespace k4
