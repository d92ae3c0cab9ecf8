#pragma once

#include "recorder/AudioBackend.h"
#include "recorder/WaveAudioDevice.h"

#include <QElapsedTimer>
#include <QIODevice>
#include <QTimer>

#include <cmath>
#include <numbers>
#include <vector>

// A sound system of known behaviour, shared by a test and every backend it hands out: the
// input is a 440 Hz sine whose frames are numbered over the whole run; the test takes what
// is played.
class SyntheticAudio
{
public:
    bool hasOutput = true;
    bool realTime = false; // capture paces itself by the clock instead of feed()
    QIODevice *sink = nullptr; // the take being recorded into, while capturing
    QIODevice *source = nullptr; // the take being played, while playing
    qint64 capturedFrames = 0; // frames written to takes so far; the next frame's number

    // Left and right sample of the frame numbered frame.
    static qint16 sampleAt(qint64 frame)
    {
        return qint16(std::lround(
            8000.0 * std::sin(2.0 * std::numbers::pi * 440.0 * double(frame) / kTakeRate)));
    }

    // Writes the next frames of the signal into the take being recorded.
    void feed(qint64 frames)
    {
        std::vector<qint16> buffer(4096 * kTakeChannels);
        for (qint64 done = 0; sink && done < frames; done += 4096) {
            const qint64 n = std::min<qint64>(4096, frames - done);
            for (qint64 i = 0; i < n; ++i)
                buffer[size_t(2 * i)] = buffer[size_t(2 * i + 1)] = sampleAt(capturedFrames + i);
            sink->write(reinterpret_cast<const char *>(buffer.data()), n * kTakeFrameBytes);
            capturedFrames += n;
        }
    }

    // Takes up to frames frames from the take being played; interleaved samples.
    std::vector<qint16> pull(qint64 frames) const
    {
        std::vector<qint16> samples(size_t(frames * kTakeChannels));
        const qint64 got = source
            ? source->read(reinterpret_cast<char *>(samples.data()), frames * kTakeFrameBytes)
            : 0;
        samples.resize(size_t(std::max<qint64>(got, 0) / 2));
        return samples;
    }

    AudioBackendFactory factory();
};

class SyntheticAudioBackend final : public AudioBackend
{
public:
    explicit SyntheticAudioBackend(SyntheticAudio *audio)
        : m_audio(audio)
    {
        QObject::connect(&m_pace, &QTimer::timeout, &m_pace, [this] {
            const qint64 due = m_clock.elapsed() * kTakeRate / 1000 - m_paced;
            m_audio->feed(due);
            m_paced += due;
        });
    }

    MciError startCapture(QIODevice *sink) override
    {
        m_audio->sink = sink;
        if (m_audio->realTime) {
            m_paced = 0;
            m_clock.start();
            m_pace.start(10);
        }
        return MciError::None;
    }
    void stopCapture() override
    {
        m_pace.stop();
        m_audio->sink = nullptr;
    }
    MciError startPlayback(QIODevice *source) override
    {
        if (!m_audio->hasOutput)
            return MciError::NoOutputDevice;
        m_audio->source = source;
        return MciError::None;
    }
    void stopPlayback() override { m_audio->source = nullptr; }

private:
    SyntheticAudio *m_audio; // owned by the test, outlives every element
    QTimer m_pace;
    QElapsedTimer m_clock;
    qint64 m_paced = 0; // frames fed since the capture started
};

inline AudioBackendFactory SyntheticAudio::factory()
{
    return [this] { return std::make_unique<SyntheticAudioBackend>(this); };
}
