#include "recorder/PulseBackend.h"

#include <QIODevice>

#include <pulse/error.h>
#include <pulse/simple.h>

#include <array>
#include <atomic>
#include <chrono>
#include <future>
#include <mutex>
#include <thread>

namespace
{

// 50 ms of frames: Stop is answered within this time, and the take grows in small steps.
constexpr size_t kChunkBytes = kTakeBytesPerSec / 20;
// A server that does not answer within this time is left to itself rather than
// freezing the window.
constexpr auto kStopWait = std::chrono::seconds(3);

} // namespace

// One running stream. The thread shares it, so a thread left behind on a frozen
// server never touches what the backend has let go of: the device goes to null first.
struct PulseBackend::Stream {
    pa_simple *pa = nullptr;
    std::mutex mutex;
    QIODevice *io = nullptr; // guarded by mutex
    std::atomic<bool> stopping = false;
    std::promise<void> finished;
    std::thread thread;

    // The thread's last step: the server lets go of a stream that ended, however it ended.
    void end()
    {
        pa_simple_free(pa);
        pa = nullptr;
        finished.set_value();
    }
};

namespace
{

using Stream = PulseBackend::Stream;

std::shared_ptr<Stream> connectStream(pa_stream_direction_t direction, MciError &error)
{
    const pa_sample_spec spec { PA_SAMPLE_S16LE, kTakeRate, kTakeChannels };
    pa_buffer_attr attr {};
    attr.maxlength = uint32_t(-1);
    attr.prebuf = uint32_t(-1);
    attr.minreq = uint32_t(-1);
    attr.tlength = uint32_t(2 * kChunkBytes);
    attr.fragsize = uint32_t(kChunkBytes);
    const bool capture = direction == PA_STREAM_RECORD;
    int code = 0;
    pa_simple *pa = pa_simple_new(nullptr, "Tellvane Professional", direction, nullptr,
        capture ? "Recording" : "Playback", &spec, nullptr, &attr, &code);
    if (!pa) {
        const MciError missing = capture ? MciError::NoInputDevice : MciError::NoOutputDevice;
        // No server to reach is no device to use.
        const bool none = code == PA_ERR_NOENTITY || code == PA_ERR_CONNECTIONREFUSED;
        error = none ? missing : MciError::DeviceFailure;
        return nullptr;
    }
    auto stream = std::make_shared<Stream>();
    stream->pa = pa;
    error = MciError::None;
    return stream;
}

// Ends a stream's thread; one that does not come back in time is let go.
void finish(std::shared_ptr<Stream> &stream)
{
    if (!stream)
        return;
    stream->stopping = true;
    {
        const std::scoped_lock lock(stream->mutex);
        stream->io = nullptr;
    }
    if (stream->finished.get_future().wait_for(kStopWait) == std::future_status::ready)
        stream->thread.join();
    else
        stream->thread.detach();
    stream.reset();
}

} // namespace

PulseBackend::PulseBackend() = default;

PulseBackend::~PulseBackend()
{
    stopCapture();
    stopPlayback();
}

MciError PulseBackend::startStream(std::shared_ptr<Stream> &slot, int direction, QIODevice *io,
    void (PulseBackend::*work)(Stream &))
{
    MciError error = MciError::None;
    slot = connectStream(pa_stream_direction_t(direction), error);
    if (!slot)
        return error;
    slot->io = io;
    slot->thread = std::thread([this, work, stream = slot] {
        (this->*work)(*stream);
        stream->end();
    });
    return MciError::None;
}

MciError PulseBackend::startCapture(QIODevice *sink)
{
    stopCapture();
    return startStream(m_capture, PA_STREAM_RECORD, sink, &PulseBackend::capture);
}

void PulseBackend::capture(Stream &stream)
{
    std::array<char, kChunkBytes> chunk {};
    int code = 0;
    while (!stream.stopping) {
        if (pa_simple_read(stream.pa, chunk.data(), chunk.size(), &code) < 0) {
            if (!stream.stopping)
                reportEnded(MciError::CaptureLost);
            return;
        }
        const std::scoped_lock lock(stream.mutex);
        // A take that cannot grow has told of it already.
        if (!stream.io
            || stream.io->write(chunk.data(), qint64(chunk.size())) != qint64(chunk.size()))
            return;
    }
}

void PulseBackend::stopCapture()
{
    finish(m_capture);
}

MciError PulseBackend::startPlayback(QIODevice *source)
{
    stopPlayback();
    return startStream(m_playback, PA_STREAM_PLAYBACK, source, &PulseBackend::play);
}

void PulseBackend::play(Stream &stream)
{
    std::array<char, kChunkBytes> chunk {};
    int code = 0;
    MciError ended = MciError::None;
    while (!stream.stopping) {
        qint64 read = 0;
        {
            const std::scoped_lock lock(stream.mutex);
            read = stream.io ? stream.io->read(chunk.data(), qint64(chunk.size())) : 0;
        }
        if (read < 0) {
            ended = MciError::TakeStorageFailed;
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
        reportEnded(ended);
}

void PulseBackend::stopPlayback()
{
    finish(m_playback);
}
