#pragma once

#include "platform/MciDevice.h"

#include <functional>
#include <mutex>

class QIODevice;

// The take's format: linear PCM, 16 bits, 2 channels, 44,100 frames a second.
inline constexpr int kTakeRate = 44100;
inline constexpr int kTakeChannels = 2;
inline constexpr int kTakeFrameBytes = 4;
inline constexpr int kTakeBytesPerSec = kTakeRate * kTakeFrameBytes;

// Moves sound between the take and the machine: the real sound system in the
// program, a synthetic one in tests. Devices handed in are owned by the caller and
// stay valid until the matching stop; a backend may use them from a thread of its own.
class AudioBackend
{
public:
    enum class Stream { Capture, Playback };
    // Told when a capture or playback ends on its own (the sound server went away,
    // the input was unplugged, the take could not be read), and which one; called on any
    // thread, at most once per start.
    using EndedHandler = std::function<void(Stream, MciError)>;

    virtual ~AudioBackend() = default;

    // Starts writing captured frames to sink; returns at once.
    virtual MciError startCapture(QIODevice *sink) = 0;
    virtual void stopCapture() = 0;
    // Starts reading frames from source to the output; returns at once.
    virtual MciError startPlayback(QIODevice *source) = 0;
    virtual void stopPlayback() = 0;

    void setEndedHandler(EndedHandler handler)
    {
        const std::scoped_lock lock(m_endedMutex);
        m_ended = std::move(handler);
    }

protected:
    void reportEnded(Stream stream, MciError error)
    {
        const std::scoped_lock lock(m_endedMutex);
        if (m_ended)
            m_ended(stream, error);
    }

private:
    std::mutex m_endedMutex;
    EndedHandler m_ended;
};
