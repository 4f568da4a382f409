#pragma once
#include <QByteArray>
#include <QObject>

class QAudioSink;
class QBuffer;

namespace platform {

// Samples of a sine tone, 16-bit mono, with short fades so it does not click.
QByteArray makeTone(int sampleRate, int frequencyHz, int durationMs, double amplitude);

// Plays the beep tone without blocking. Returns false when there is no usable audio
// output, so the caller can fall back to the bell.
class TonePlayer : public QObject {
public:
    TonePlayer();
    ~TonePlayer() override;
    // Finds the audio output and sets up the sink, once; false when there is none.
    bool prepare();
    bool play();

private:
    QByteArray samples_;
    QAudioSink* sink_ = nullptr;
    QBuffer* buffer_ = nullptr;
    bool failed_ = false;
};

}  // namespace platform
