#include "platform/tone_player.h"

#include <QAudioDevice>
#include <QAudioFormat>
#include <QAudioSink>
#include <QBuffer>
#include <QMediaDevices>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <numbers>

namespace platform {

namespace {
constexpr int kRate = 48000;
constexpr int kFrequency = 500;
constexpr int kDurationMs = 100;
constexpr double kAmplitude = 0.3;
}  // namespace

QByteArray makeTone(int sampleRate, int frequencyHz, int durationMs, double amplitude) {
    const int count = sampleRate * durationMs / 1000;
    const int fade = sampleRate * 5 / 1000;
    QByteArray out(count * 2, '\0');
    auto* s = reinterpret_cast<std::int16_t*>(out.data());
    for (int i = 0; i < count; ++i) {
        double env = 1.0;
        if (fade > 0) env = std::min({1.0, double(i) / fade, double(count - 1 - i) / fade});
        const double v = amplitude * env * std::sin(2.0 * std::numbers::pi * frequencyHz * i / sampleRate);
        s[i] = static_cast<std::int16_t>(std::lround(v * 32767.0));
    }
    return out;
}

TonePlayer::TonePlayer() : samples_(makeTone(kRate, kFrequency, kDurationMs, kAmplitude)) {}

TonePlayer::~TonePlayer() {
    if (sink_) sink_->stop();
}

bool TonePlayer::prepare() {
    if (failed_) return false;
    if (sink_) return true;
    const QAudioDevice device = QMediaDevices::defaultAudioOutput();
    QAudioFormat format;
    format.setSampleRate(kRate);
    format.setChannelCount(1);
    format.setSampleFormat(QAudioFormat::Int16);
    if (device.isNull() || !device.isFormatSupported(format)) {
        failed_ = true;
        return false;
    }
    sink_ = new QAudioSink(device, format, this);
    buffer_ = new QBuffer(&samples_, this);
    return true;
}

bool TonePlayer::play() {
    if (!prepare()) return false;
    sink_->stop();
    buffer_->close();
    buffer_->open(QIODevice::ReadOnly);
    sink_->start(buffer_);
    if (sink_->error() != QAudio::NoError) {
        failed_ = true;
        return false;
    }
    return true;
}

}  // namespace platform
