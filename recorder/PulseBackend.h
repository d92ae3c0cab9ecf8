#pragma once

#include "recorder/AudioBackend.h"

#include <memory>

struct PulseStream;

// The sound server's default input and output, through libpulse. The take hears the
// shared input (SoundInput); playback connects afresh at every start, so the next Play
// after a server restart works, on the default output as the server names it then. Each
// stream tells of its own end: a server that goes away mid-take ends the recording at
// once instead of leaving it silently short.
class PulseBackend final : public AudioBackend
{
public:
    PulseBackend();
    ~PulseBackend() override;

    MciError startCapture(QIODevice *sink) override;
    void stopCapture() override;
    MciError startPlayback(QIODevice *source) override;
    void stopPlayback() override;

private:
    class TakeListener;
    void play(PulseStream &stream);

    std::unique_ptr<TakeListener> m_capture;
    std::shared_ptr<PulseStream> m_playback;
};
