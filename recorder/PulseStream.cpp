#include "recorder/PulseStream.h"

#include <pulse/error.h>
#include <pulse/simple.h>

#include <chrono>

namespace
{
constexpr auto kStopWait = std::chrono::seconds(3);
} // namespace

void PulseStream::end()
{
    pa_simple_free(pa);
    pa = nullptr;
    finished.set_value();
}

std::shared_ptr<PulseStream> connectPulseStream(
    int direction, MciError &error, const QString &device)
{
    const pa_sample_spec spec { PA_SAMPLE_S16LE, kTakeRate, kTakeChannels };
    pa_buffer_attr attr {};
    attr.maxlength = uint32_t(-1);
    attr.prebuf = uint32_t(-1);
    attr.minreq = uint32_t(-1);
    attr.tlength = uint32_t(2 * kPulseChunkBytes);
    attr.fragsize = uint32_t(kPulseChunkBytes);
    const bool capture = direction == PA_STREAM_RECORD;
    int code = 0;
    const QByteArray deviceName = device.toUtf8();
    pa_simple *pa = pa_simple_new(nullptr, "Tellvane Professional",
        pa_stream_direction_t(direction), device.isEmpty() ? nullptr : deviceName.constData(),
        capture ? "Recording" : "Playback", &spec, nullptr, &attr, &code);
    if (!pa) {
        const MciError missing = capture ? MciError::NoInputDevice : MciError::NoOutputDevice;
        // No server to reach is no device to use.
        const bool none = code == PA_ERR_NOENTITY || code == PA_ERR_CONNECTIONREFUSED;
        error = none ? missing : MciError::DeviceFailure;
        return nullptr;
    }
    auto stream = std::make_shared<PulseStream>();
    stream->pa = pa;
    error = MciError::None;
    return stream;
}

void finishPulseStream(std::shared_ptr<PulseStream> &stream)
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
