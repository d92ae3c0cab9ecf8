#include "recorder/PulseBackend.h"

#include "recorder/PulseStream.h"
#include "recorder/SoundInput.h"

#include <pulse/simple.h>

#include <array>

// Writes what the input hears into the take.
class PulseBackend::TakeListener final : public SoundInput::Listener
{
public:
    TakeListener(PulseBackend *backend, QIODevice *sink)
        : m_backend(backend)
        , m_sink(sink)
    {
    }

    void heard(const char *frames, qint64 bytes) override
    {
        // A take that cannot grow has told of it already.
        if (!m_full)
            m_full = m_sink->write(frames, bytes) != bytes;
    }
    void lost() override { m_backend->reportEnded(Stream::Capture, MciError::CaptureLost); }

private:
    PulseBackend *m_backend;
    QIODevice *m_sink;
    bool m_full = false;
};

PulseBackend::PulseBackend() = default;

PulseBackend::~PulseBackend()
{
    stopCapture();
    stopPlayback();
}

MciError PulseBackend::startCapture(QIODevice *sink)
{
    stopCapture();
    auto listener = std::make_unique<TakeListener>(this, sink);
    const MciError joined = SoundInput::join(listener.get());
    if (joined == MciError::None)
        m_capture = std::move(listener);
    return joined;
}

void PulseBackend::stopCapture()
{
    if (!m_capture)
        return;
    SoundInput::leave(m_capture.get());
    m_capture.reset();
}

MciError PulseBackend::startPlayback(QIODevice *source)
{
    stopPlayback();
    MciError error = MciError::None;
    m_playback = connectPulseStream(PA_STREAM_PLAYBACK, error);
    if (!m_playback)
        return error;
    m_playback->io = source;
    m_playback->thread = std::thread([this, stream = m_playback] {
        play(*stream);
        stream->end();
    });
    return MciError::None;
}

void PulseBackend::play(PulseStream &stream)
{
    std::array<char, kPulseChunkBytes> chunk {};
    int code = 0;
    MciError ended = MciError::None;
    while (!stream.stopping) {
        qint64 read = 0;
        {
            const std::scoped_lock lock(stream.mutex);
            read = stream.io ? stream.io->read(chunk.data(), qint64(chunk.size())) : 0;
        }
        if (read < 0) {
            ended = MciError::TakeReadFailed;
            break;
        }
        read -= read % kTakeFrameBytes;
        const bool played = read == 0
            ? pa_simple_drain(stream.pa, &code) >= 0
            : pa_simple_write(stream.pa, chunk.data(), size_t(read), &code) >= 0;
        if (!played)
            ended = MciError::PlaybackLost;
        if (!played || read == 0)
            break;
    }
    if (stream.stopping)
        pa_simple_flush(stream.pa, &code);
    else if (ended != MciError::None)
        reportEnded(Stream::Playback, ended);
}

void PulseBackend::stopPlayback()
{
    finishPulseStream(m_playback);
}
