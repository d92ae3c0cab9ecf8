#pragma once

#include "platform/MciDevice.h"
#include "recorder/AudioBackend.h"
#include "recorder/TakeFile.h"

#include <QFile>
#include <QObject>

#include <functional>
#include <memory>

// A "waveaudio" element: one take, streamed to a take file while it is recorded and
// deleted with the element. A recording or playback that ends on its own (the
// sound server went away, the disk is full) stops the element and is told to the
// MCI failure listener, with what was kept until then still held.
class WaveAudioDevice final : public MciDevice
{
public:
    explicit WaveAudioDevice(
        std::unique_ptr<AudioBackend> backend, std::unique_ptr<TakeFile> take = nullptr);
    ~WaveAudioDevice() override;

    MciError set(const MciSettings &settings) override;
    MciError record() override;
    MciError stop() override;
    MciError play(qint64 fromMs) override;
    MciError save(const QString &path) override;

private:
    // Runs on the user-interface thread, whatever thread the end was noticed on.
    void endedOnItsOwn(MciError error);

    // Declared before the backend, so that the backend lets go of them first.
    std::unique_ptr<TakeFile> m_take;
    QFile m_playback; // a second handle on the take, read by the output
    std::unique_ptr<AudioBackend> m_backend;
    QObject m_context; // queued ends die with the element
    bool m_recording = false;
    bool m_playing = false;
};

// Makes "open new Type waveaudio" create WaveAudioDevice elements, each with a
// backend from makeBackend; by default the sound system's own devices.
using AudioBackendFactory = std::function<std::unique_ptr<AudioBackend>()>;
void installWaveAudioDriver(AudioBackendFactory makeBackend = {});

// Opens a take left by an earlier run as the element alias, as if just recorded.
MciError openLeftTake(const QString &alias, std::unique_ptr<TakeFile> take);
