#pragma once

#include "platform/MciDevice.h"
#include "recorder/AudioBackend.h"

#include <QFile>
#include <QTemporaryFile>

#include <functional>
#include <memory>

// A "waveaudio" element: one take, streamed to a temporary file while it is
// recorded and removed with the element.
class WaveAudioDevice final : public MciDevice
{
public:
    explicit WaveAudioDevice(std::unique_ptr<AudioBackend> backend);
    ~WaveAudioDevice() override;

    MciError set(const MciSettings &settings) override;
    MciError record() override;
    MciError stop() override;
    MciError play(qint64 fromMs) override;
    MciError save(const QString &path) override;

private:
    bool openTake();
    // Whole frames of PCM the take holds so far, in bytes.
    qint64 takeBytes();

    // Declared before the backend, so that the backend lets go of them first.
    QTemporaryFile m_take;
    QFile m_playback; // a second handle on the take, read by the output
    std::unique_ptr<AudioBackend> m_backend;
    bool m_recording = false;
};

// Makes "open new Type waveaudio" create WaveAudioDevice elements, each with a
// backend from makeBackend; by default the sound system's own devices.
using AudioBackendFactory = std::function<std::unique_ptr<AudioBackend>()>;
void installWaveAudioDriver(AudioBackendFactory makeBackend = {});
