#include "recorder/SoundInput.h"

#include "recorder/AudioBackend.h"
#include "recorder/InputLevel.h"
#include "recorder/PulseStream.h"

#include <pulse/simple.h>

#include <algorithm>
#include <array>
#include <memory>
#include <mutex>
#include <vector>

namespace
{

// Who listens; the capture's thread tells them under the lock.
struct Listeners {
    std::mutex mutex;
    std::vector<SoundInput::Listener *> all;
    // The capture they hear; only the user-interface thread changes it, and the choice below.
    std::shared_ptr<PulseStream> stream;
    QString chosen;
    QString missing; // chosen, but gone when the capture connected
};

Listeners &listeners()
{
    // Never destroyed: a capture thread left behind on a frozen server may still look at
    // it while the program ends.
    static Listeners *shared = new Listeners;
    return *shared;
}

void capture(PulseStream &stream)
{
    std::array<char, kPulseChunkBytes> chunk {};
    Listeners &to = listeners();
    int code = 0;
    while (!stream.stopping) {
        const bool read = pa_simple_read(stream.pa, chunk.data(), chunk.size(), &code) >= 0;
        const std::scoped_lock lock(to.mutex);
        // A capture being let go of no longer speaks for the listeners.
        if (stream.stopping)
            return;
        if (!read) {
            stream.dead = true;
            for (SoundInput::Listener *listener : to.all)
                listener->lost();
            to.all.clear();
            return;
        }
        LevelTap::publish(chunk.data(), qint64(chunk.size()));
        for (SoundInput::Listener *listener : to.all)
            listener->heard(chunk.data(), qint64(chunk.size()));
    }
}

} // namespace

MciError SoundInput::join(Listener *listener)
{
    Listeners &to = listeners();
    if (to.stream && to.stream->dead)
        finishPulseStream(to.stream);
    if (!to.stream) {
        MciError error = MciError::None;
        to.missing.clear();
        to.stream = connectPulseStream(PA_STREAM_RECORD, error, to.chosen);
        // A chosen input that is gone gives way to the default, as an unplugged one would.
        if (!to.stream && !to.chosen.isEmpty() && error == MciError::NoInputDevice) {
            to.stream = connectPulseStream(PA_STREAM_RECORD, error);
            if (to.stream)
                to.missing = to.chosen;
        }
        if (!to.stream)
            return error;
        to.stream->thread = std::thread([stream = to.stream] {
            capture(*stream);
            stream->end();
        });
    }
    const std::scoped_lock lock(to.mutex);
    to.all.push_back(listener);
    return MciError::None;
}

void SoundInput::choose(const QString &name)
{
    listeners().chosen = name;
}

QString SoundInput::missing()
{
    return listeners().missing;
}

void SoundInput::leave(Listener *listener)
{
    Listeners &to = listeners();
    bool nobody = false;
    {
        const std::scoped_lock lock(to.mutex);
        std::erase(to.all, listener);
        nobody = to.all.empty();
    }
    if (nobody)
        finishPulseStream(to.stream);
}
