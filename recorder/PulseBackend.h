#pragma once

#include "recorder/AudioBackend.h"

#include <memory>

// The sound server's default input and output, through libpulse. Every start
// connects afresh, so the next Record or Play after a server restart works, and it
// uses the default device as the server names it at that moment. Each stream runs on
// a thread of its own and tells of its own end: a server that goes away mid-take
// ends the recording at once instead of leaving it silently short.
class PulseBackend final : public AudioBackend
{
public:
    PulseBackend();
    ~PulseBackend() override;

    MciError startCapture(QIODevice *sink) override;
    void stopCapture() override;
    MciError startPlayback(QIODevice *source) override;
    void stopPlayback() override;

    struct Stream;

private:
    // Connects a stream of the direction for io and runs work on a thread of its own.
    MciError startStream(std::shared_ptr<Stream> &slot, int direction, QIODevice *io,
        void (PulseBackend::*work)(Stream &));
    void capture(Stream &stream);
    void play(Stream &stream);

    std::shared_ptr<Stream> m_capture;
    std::shared_ptr<Stream> m_playback;
};
