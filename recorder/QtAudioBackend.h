#pragma once

#include "recorder/AudioBackend.h"

#include <memory>

class QAudioSink;
class QAudioSource;

// The default input and output devices of the sound system, through Qt Multimedia.
class QtAudioBackend final : public AudioBackend
{
public:
    QtAudioBackend();
    ~QtAudioBackend() override;

    MciError startCapture(QIODevice *sink) override;
    void stopCapture() override;
    MciError startPlayback(QIODevice *source) override;
    void stopPlayback() override;

private:
    std::unique_ptr<QAudioSource> m_source;
    std::unique_ptr<QAudioSink> m_sink;
};
