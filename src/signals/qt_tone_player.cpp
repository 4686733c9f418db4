#include "signals/qt_tone_player.h"

#include "signals/tone_wave.h"

#include <QAudioFormat>
#include <QAudioSink>
#include <QIODevice>
#include <QAudioDevice>
#include <QMediaDevices>

#include <cstring>
#include <deque>

namespace k4 {

// What the sink pulls: the queued tone samples first, then the continuous
// tone (or silence), for as long as the sink asks.
class ToneSource final : public QIODevice {
public:
    void queue(const std::vector<int16_t>& samples) { pending_.insert(pending_.end(), samples.begin(), samples.end()); }
    void setContinuous(int hz) { continuous_ = ContinuousTone(hz); }
    void clear() {
        pending_.clear();
        continuous_ = ContinuousTone(0);
    }
    bool isSequential() const override { return true; }
    qint64 bytesAvailable() const override { return 4096 + QIODevice::bytesAvailable(); }

protected:
    qint64 readData(char* data, qint64 maxSize) override {
        const auto count = static_cast<size_t>(maxSize / 2);
        auto* out = reinterpret_cast<int16_t*>(data);
        size_t n = 0;
        while (n < count && !pending_.empty()) {
            out[n++] = pending_.front();
            pending_.pop_front();
        }
        continuous_.fill(out + n, count - n);
        return static_cast<qint64>(count * 2);
    }
    qint64 writeData(const char*, qint64) override { return -1; }

private:
    std::deque<int16_t> pending_;
    ContinuousTone continuous_;
};

QtTonePlayer::QtTonePlayer(bool outputPresent)
    : outputPresent_(outputPresent), source_(std::make_unique<ToneSource>()) {
    source_->open(QIODevice::ReadOnly);
}

QtTonePlayer::~QtTonePlayer() {
    if (sink_) sink_->stop();
}

bool QtTonePlayer::ensureSink() {
    if (!outputPresent_) {
        failure_.tell("brak wyjścia dźwięku: alarmy są ciche");
        return false;
    }
    if (sink_) {
        if (sink_->error() == QAudio::NoError) return true;
        failure_.tell("wyjście dźwięku zawiodło: alarmy są ciche");
        return false;
    }
    QAudioFormat format;
    format.setSampleRate(kToneSampleRate);
    format.setChannelCount(1);
    format.setSampleFormat(QAudioFormat::Int16);
    const QAudioDevice device = QMediaDevices::defaultAudioOutput();
    if (device.isNull() || !device.isFormatSupported(format)) {
        failure_.tell("wyjście dźwięku nie gra tonów: alarmy są ciche");
        outputPresent_ = false;
        return false;
    }
    sink_ = std::make_unique<QAudioSink>(device, format);
    sink_->start(source_.get());
    if (sink_->error() != QAudio::NoError) {
        failure_.tell("wyjście dźwięku zawiodło: alarmy są ciche");
        return false;
    }
    return true;
}

void QtTonePlayer::playTones(const std::array<Tone, 3>& tones, int continuousHz) {
    source_->clear();
    source_->queue(toneSequence(tones));
    source_->setContinuous(continuousHz);
    ensureSink();
}

void QtTonePlayer::startContinuous(int frequencyHz) {
    source_->clear();
    source_->setContinuous(frequencyHz);
    ensureSink();
}

void QtTonePlayer::silence() { source_->clear(); }

} // namespace k4
