#pragma once

#include "recorder/WaveAudioDevice.h"

#include <QIODevice>

#include <cmath>
#include <numbers>

// A sound system of known behaviour, shared by a test and every backend it hands out: the
// input is a 440 Hz sine whose frames are numbered over the whole run, written when the test
// feeds it; the test reads what is played from the source.
struct SyntheticAudio {
    QIODevice *sink = nullptr; // the take being recorded into, while capturing
    QIODevice *source = nullptr; // the take being played, while playing
    qint64 capturedFrames = 0; // frames written to takes so far; the next frame's number
    MciError captureError = MciError::None; // what starting a capture answers
    std::function<void()> loseInput; // ends the capture on its own, as a server that went away

    static QByteArray signal(qint64 first, qint64 frames) // PCM bytes; left and right alike
    {
        QByteArray pcm;
        for (qint64 i = first; i < first + frames; ++i) {
            const short s = qRound(8000 * std::sin(2 * std::numbers::pi * 440 * i / kTakeRate));
            pcm += QByteArray(reinterpret_cast<const char *>(&s), 2).repeated(kTakeChannels);
        }
        return pcm;
    }
    void feed(qint64 frames) // the next frames of the signal, into the take being recorded
    {
        if (sink && sink->write(signal(capturedFrames, frames)) > 0)
            capturedFrames += frames;
    }

    struct Backend final : AudioBackend {
        explicit Backend(SyntheticAudio *audio)
            : audio(audio)
        {
        }
        SyntheticAudio *audio; // owned by the test, outlives every element
        MciError startCapture(QIODevice *sink) override
        {
            audio->loseInput = [this] { reportEnded(MciError::CaptureLost); };
            return audio->captureError != MciError::None ? audio->captureError
                                                         : hold(audio->sink, sink);
        }
        void stopCapture() override { audio->sink = nullptr; }
        MciError startPlayback(QIODevice *source) override { return hold(audio->source, source); }
        void stopPlayback() override { audio->source = nullptr; }
        static MciError hold(QIODevice *&slot, QIODevice *device)
        {
            slot = device;
            return MciError::None;
        }
    };
    AudioBackendFactory factory()
    {
        return [this] { return std::make_unique<Backend>(this); };
    }
};
