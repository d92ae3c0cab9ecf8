#pragma once

#include "platform/MciDevice.h"

#include <QAudioFormat>

class QIODevice;

// The take's format: linear PCM, 16 bits, 2 channels, 44,100 frames a second.
inline constexpr int kTakeRate = 44100;
inline constexpr int kTakeChannels = 2;
inline constexpr int kTakeFrameBytes = 4;
inline constexpr int kTakeBytesPerSec = kTakeRate * kTakeFrameBytes;

QAudioFormat takeFormat();

// Moves sound between the take and the machine: the real sound system in the
// program, a synthetic one in tests. Devices handed in are owned by the caller and
// stay valid until the matching stop.
class AudioBackend
{
public:
    virtual ~AudioBackend() = default;

    // Starts writing captured frames to sink; returns at once.
    virtual MciError startCapture(QIODevice *sink) = 0;
    virtual void stopCapture() = 0;
    // Starts reading frames from source to the output; returns at once.
    virtual MciError startPlayback(QIODevice *source) = 0;
    virtual void stopPlayback() = 0;
};
