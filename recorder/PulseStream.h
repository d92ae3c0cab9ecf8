#pragma once

#include "recorder/AudioBackend.h"

#include <QIODevice>

#include <atomic>
#include <future>
#include <memory>
#include <mutex>
#include <thread>

struct pa_simple;

// 50 ms of take frames: Stop is answered within this time, and the take grows in small steps.
inline constexpr size_t kPulseChunkBytes = kTakeBytesPerSec / 20;

// One stream to the sound server in the take's format, run by a thread of its own. The
// thread shares it, so a thread left behind on a frozen server never touches what its
// owner has let go of.
struct PulseStream {
    pa_simple *pa = nullptr;
    std::mutex mutex;
    QIODevice *io = nullptr; // guarded by mutex; null once let go of
    std::atomic<bool> stopping = false;
    std::atomic<bool> dead = false; // ended on its own
    std::promise<void> finished;
    std::thread thread;

    // The thread's last step: the server lets go of a stream that ended, however it ended.
    void end();
};

// A stream of the direction (a pa_stream_direction_t) on the named device, the server's
// default when none is named; null, with the reason in error, when the server cannot give one.
std::shared_ptr<PulseStream> connectPulseStream(
    int direction, MciError &error, const QString &device = {});

// Ends a stream's thread and empties the slot; a thread that does not come back in time is
// left to itself rather than freezing the window.
void finishPulseStream(std::shared_ptr<PulseStream> &stream);
