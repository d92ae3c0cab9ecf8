#include "recorder/WaveAudioDevice.h"

#include "platform/Mci.h"
#include "recorder/LameEncoder.h"
#include "recorder/PulseBackend.h"
#include "recorder/WaveFile.h"

namespace
{
AudioBackendFactory &backendFactory()
{
    static AudioBackendFactory factory;
    return factory;
}

std::function<QString()> &encodingRate()
{
    static std::function<QString()> bitrateText;
    return bitrateText;
}
} // namespace

WaveAudioDevice::WaveAudioDevice(
    std::unique_ptr<AudioBackend> backend, std::unique_ptr<TakeFile> take)
    : m_take(std::move(take))
    , m_backend(std::move(backend))
{
    m_backend->setEndedHandler(
        [this](AudioBackend::Stream stream, MciError error) { endedOnItsOwn(stream, error); });
}

WaveAudioDevice::~WaveAudioDevice()
{
    stop(); // no stream is left to tell of its end
    dropEncoding();
    if (m_take && !m_saved)
        m_take->keepAsRecent();
}

void WaveAudioDevice::dropEncoding()
{
    if (m_take)
        m_take->setWrittenHandler({});
    m_mp3.reset();
    EncodedTake::withdraw(m_encoded.get());
    m_encoded.reset();
}

void WaveAudioDevice::encodeWhileRecording()
{
    const qint64 frames = m_take->frameBytes() / kTakeFrameBytes;
    if (m_mp3 && m_mp3->frames() == frames)
        return;
    dropEncoding();
    const std::optional<int> kbps
        = encodingRate() ? LameEncoder::bitrateOf(encodingRate()()) : std::nullopt;
    // A take that holds frames already (one left by an earlier run) is encoded at its save.
    if (frames == 0 && kbps)
        m_mp3 = TakeMp3::start(*kbps);
}

MciError WaveAudioDevice::set(const MciSettings &settings)
{
    if (settings.timeFormat && *settings.timeFormat != QLatin1StringView("ms")
        && *settings.timeFormat != QLatin1StringView("milliseconds"))
        return MciError::UnsupportedFormat;
    // The one format takes are kept in; naming it again is allowed, anything else is not.
    const std::pair<const std::optional<qint64> &, qint64> fixed[] = {
        { settings.bitsPerSample, 16 },
        { settings.channels, kTakeChannels },
        { settings.samplesPerSec, kTakeRate },
        { settings.bytesPerSec, kTakeBytesPerSec },
        { settings.alignment, kTakeFrameBytes },
    };
    for (const auto &[requested, supported] : fixed) {
        if (requested && *requested != supported)
            return MciError::UnsupportedFormat;
    }
    return MciError::None;
}

void WaveAudioDevice::endedOnItsOwn(AudioBackend::Stream stream, MciError error)
{
    QMetaObject::invokeMethod(
        &m_context,
        [this, stream, error] {
            // A Stop that came first has ended it already.
            const bool running = stream == AudioBackend::Stream::Playback ? m_playing : m_recording;
            if (!running)
                return;
            stop();
            notifyMciFailure(qint32(error));
        },
        Qt::QueuedConnection);
}

MciError WaveAudioDevice::record()
{
    if (MciError stopped = stop(); stopped != MciError::None)
        return stopped;
    // A take recorded on goes on at its end.
    if (!m_take)
        m_take = TakeFile::create(&m_errorDetail);
    if (!m_take)
        return MciError::TakeStorageFailed;
    m_take->setWriteFailedHandler(
        [this] { endedOnItsOwn(AudioBackend::Stream::Capture, MciError::TakeWriteFailed); });
    m_take->setLimit(kMaxWaveDataBytes,
        [this] { endedOnItsOwn(AudioBackend::Stream::Capture, MciError::TakeLimitReached); });
    encodeWhileRecording();
    TakeMp3 *mp3 = m_mp3.get();
    m_take->setWrittenHandler(mp3
            ? [mp3](const char *bytes, qint64 length) { mp3->add(bytes, length); }
            : std::function<void(const char *, qint64)>());
    const MciError started = m_backend->startCapture(m_take.get());
    m_recording = started == MciError::None;
    return started;
}

MciError WaveAudioDevice::stop()
{
    m_backend->stopCapture();
    m_backend->stopPlayback();
    m_playback.close();
    const bool wasRecording = m_recording;
    m_recording = false;
    m_playing = false;
    if (wasRecording && !m_take->sync())
        return MciError::TakeStorageFailed;
    return MciError::None;
}

MciError WaveAudioDevice::play(qint64 fromMs)
{
    if (MciError stopped = stop(); stopped != MciError::None)
        return stopped;
    if (!m_take)
        return MciError::None; // an empty element plays nothing
    m_playback.setFileName(m_take->readableName());
    if (!m_playback.open(QIODevice::ReadOnly))
        return MciError::TakeStorageFailed;
    const qint64 frame = fromMs * kTakeRate / 1000;
    if (!m_playback.seek(qMin(frame * kTakeFrameBytes, m_take->frameBytes())))
        return MciError::TakeStorageFailed;
    const MciError started = m_backend->startPlayback(&m_playback);
    m_playing = started == MciError::None;
    return started;
}

MciError WaveAudioDevice::save(const QString &path)
{
    // A Record that never started, or heard nothing, left no take.
    if (!m_take || m_take->frameBytes() == 0)
        return MciError::NothingRecorded;
    QFile pcm(m_take->readableName());
    if (!pcm.open(QIODevice::ReadOnly))
        return MciError::TakeStorageFailed;
    const qint64 bytes = m_take->frameBytes();
    const MciError saved = writeWaveFile(pcm, bytes, path);
    if (saved != MciError::None)
        return saved;
    m_saved = true;
    // Saving a stopped take ends its MP3; only one of every frame the WAV holds is offered.
    if (m_mp3 && !m_recording) {
        m_take->setWrittenHandler({});
        m_encoded = m_mp3->frames() * kTakeFrameBytes == bytes ? m_mp3->finish() : nullptr;
        m_mp3.reset();
    }
    if (m_encoded && m_encoded->frames() * kTakeFrameBytes == bytes)
        EncodedTake::offer(path, m_encoded);
    return MciError::None;
}

void encodeTakesWhileRecording(std::function<QString()> bitrateText)
{
    encodingRate() = std::move(bitrateText);
}

void installWaveAudioDriver(AudioBackendFactory makeBackend)
{
    if (!makeBackend)
        makeBackend = [] { return std::make_unique<PulseBackend>(); };
    backendFactory() = std::move(makeBackend);
    installMciDriver(QStringLiteral("waveaudio"), []() -> std::unique_ptr<MciDevice> {
        return std::make_unique<WaveAudioDevice>(backendFactory()());
    });
}

MciError openLeftTake(const QString &alias, std::unique_ptr<TakeFile> take)
{
    if (!backendFactory())
        installWaveAudioDriver();
    return openMciDevice(
        alias, std::make_unique<WaveAudioDevice>(backendFactory()(), std::move(take)));
}
