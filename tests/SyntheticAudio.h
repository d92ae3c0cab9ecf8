#pragma once

#include "recorder/WaveAudioDevice.h"

#include <QIODevice>

#include <cmath>
#include <numbers>

// A sound system of known behaviour, shared by a test and every backend it hands out: the
// input is a 440 Hz sine whose frames are numbered over the whole run, written when the
// test feeds it; the test reads what is played from the source.
struct SyntheticAudio {
    QIODevice *sink = nullptr; // the take being recorded into, while capturing
    QIODevice *source = nullptr; // the take being played, while playing
    qint64 capturedFrames = 0; // frames written to takes so far; the next frame's number

    // The PCM bytes of frames from first on; left and right alike.
    static QByteArray signal(qint64 first, qint64 frames)
    {
        QByteArray pcm;
        for (qint64 i = first; i < first + frames; ++i) {
            const auto s
                = qint16(std::lround(8000 * std::sin(2 * std::numbers::pi * 440 * i / kTakeRate)));
            const qint16 frame[kTakeChannels] = { s, s };
            pcm.append(reinterpret_cast<const char *>(frame), kTakeFrameBytes);
        }
        return pcm;
    }
    // Writes the next frames of the signal into the take being recorded.
    void feed(qint64 frames)
    {
        if (sink && sink->write(signal(capturedFrames, frames)) > 0)
            capturedFrames += frames;
    }

    struct Backend final : AudioBackend {
        explicit Backend(SyntheticAudio *audio)
            : audio(audio)
        {
        }
        MciError startCapture(QIODevice *sink) override
        {
            audio->sink = sink;
            return MciError::None;
        }
        void stopCapture() override { audio->sink = nullptr; }
        MciError startPlayback(QIODevice *source) override
        {
            audio->source = source;
            return MciError::None;
        }
        void stopPlayback() override { audio->source = nullptr; }
        SyntheticAudio *audio; // owned by the test, outlives every element
    };
    AudioBackendFactory factory()
    {
        return [this] { return std::make_unique<Backend>(this); };
    }
};
