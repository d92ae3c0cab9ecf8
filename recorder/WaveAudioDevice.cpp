#include "recorder/WaveAudioDevice.h"

#include "platform/Mci.h"
#include "recorder/QtAudioBackend.h"
#include "recorder/WaveFile.h"

#include <QDir>

WaveAudioDevice::WaveAudioDevice(std::unique_ptr<AudioBackend> backend)
    : m_take(QDir::tempPath() + QStringLiteral("/tellvane-take-XXXXXX.pcm"))
    , m_backend(std::move(backend))
{
}

WaveAudioDevice::~WaveAudioDevice()
{
    stop();
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

bool WaveAudioDevice::openTake()
{
    return m_take.isOpen() || m_take.open();
}

MciError WaveAudioDevice::record()
{
    if (MciError stopped = stop(); stopped != MciError::None)
        return stopped;
    // A take recorded on goes on at its end.
    if (!openTake() || !m_take.seek(m_take.size()))
        return MciError::TakeStorageFailed;
    const MciError started = m_backend->startCapture(&m_take);
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
    if (wasRecording && !m_take.flush())
        return MciError::TakeStorageFailed;
    return MciError::None;
}

MciError WaveAudioDevice::play(qint64 fromMs)
{
    if (MciError stopped = stop(); stopped != MciError::None)
        return stopped;
    if (!openTake())
        return MciError::TakeStorageFailed;
    m_playback.setFileName(m_take.fileName());
    if (!m_playback.open(QIODevice::ReadOnly))
        return MciError::TakeStorageFailed;
    const qint64 frame = fromMs * kTakeRate / 1000;
    if (!m_playback.seek(qMin(frame * kTakeFrameBytes, takeBytes())))
        return MciError::TakeStorageFailed;
    return m_backend->startPlayback(&m_playback);
}

MciError WaveAudioDevice::save(const QString &path)
{
    if (!openTake() || !m_take.flush())
        return MciError::TakeStorageFailed;
    QFile pcm(m_take.fileName());
    if (!pcm.open(QIODevice::ReadOnly))
        return MciError::TakeStorageFailed;
    return writeWaveFile(pcm, takeBytes(), path);
}

qint64 WaveAudioDevice::takeBytes()
{
    if (!m_take.isOpen())
        return 0;
    m_take.flush();
    const qint64 bytes = m_take.size();
    return bytes - bytes % kTakeFrameBytes;
}

void installWaveAudioDriver(AudioBackendFactory makeBackend)
{
    if (!makeBackend)
        makeBackend = [] { return std::make_unique<QtAudioBackend>(); };
    installMciDriver(QStringLiteral("waveaudio"), [makeBackend]() -> std::unique_ptr<MciDevice> {
        return std::make_unique<WaveAudioDevice>(makeBackend());
    });
}
