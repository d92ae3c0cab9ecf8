#pragma once

#include "platform/MciDevice.h"
#include "recorder/AudioBackend.h"
#include "recorder/EncodedTake.h"
#include "recorder/TakeFile.h"
#include "recorder/TakeMp3.h"

#include <QFile>
#include <QObject>

#include <functional>
#include <memory>
#include <utility>

// A "waveaudio" element: one take, streamed to a take file while it is recorded and
// deleted with the element. A take recorded from its start is encoded into an MP3 beside
// it, which its save offers to the MP3 of the WAV it writes. A take never saved joins the
// recent takes as the element goes. A recording or playback that ends on
// its own (the sound server went away, the disk is full) stops the element and is told to the MCI
// failure listener, with what was kept until then still held.
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
    QString takeErrorDetail() override { return std::exchange(m_errorDetail, {}); }

private:
    // Runs on the user-interface thread, whatever thread the end was noticed on.
    void endedOnItsOwn(AudioBackend::Stream stream, MciError error);
    // Goes on with the MP3 beside the take where it is the take's, else starts it afresh
    // for a new take, or gives it up.
    void encodeWhileRecording();
    void dropEncoding();

    // Declared before the backend, so that the backend lets go of them first.
    std::unique_ptr<TakeFile> m_take;
    std::unique_ptr<TakeMp3> m_mp3; // while the take may still grow
    std::shared_ptr<const EncodedTake> m_encoded; // once a save has ended it
    QFile m_playback; // a second handle on the take, read by the output
    std::unique_ptr<AudioBackend> m_backend;
    QObject m_context; // queued ends die with the element
    bool m_recording = false;
    QString m_errorDetail; // why the take could not be made
    bool m_playing = false;
    bool m_saved = false; // a WAV holds the take
};

// Makes "open new Type waveaudio" create WaveAudioDevice elements, each with a
// backend from makeBackend; by default the sound system's own devices.
using AudioBackendFactory = std::function<std::unique_ptr<AudioBackend>()>;
void installWaveAudioDriver(AudioBackendFactory makeBackend = {});

// The bit rate, as the settings show it, that takes are encoded at while they are recorded;
// none when bitrateText is empty or gives no MP3 rate.
void encodeTakesWhileRecording(std::function<QString()> bitrateText);

// Opens a take left by an earlier run as the element alias, as if just recorded.
MciError openLeftTake(const QString &alias, std::unique_ptr<TakeFile> take);
