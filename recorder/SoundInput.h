#pragma once

#include "platform/MciDevice.h"

#include <QtGlobal>

// The sound server's input the presenter chose, else its default, in the take's format, one
// capture shared by all who listen: the take, the MP3 made beside it and the voice follower hear
// the same frames, and the server sees one stream. The first to join connects; the last to leave
// closes, so the next join after a server restart connects afresh. Join and leave are for the
// user-interface thread.
class SoundInput
{
public:
    class Listener
    {
    public:
        virtual ~Listener() = default;
        // The next whole frames, on the capture's thread, 50 ms at a time; keep it short.
        virtual void heard(const char *frames, qint64 bytes) = 0;
        // The input went away; nothing more follows. On the capture's thread.
        virtual void lost() = 0;
    };

    static MciError join(Listener *listener);
    // Once it returns, the listener is told nothing more.
    static void leave(Listener *listener);

    // The input by the server's name for it, from the next connection on; empty for the
    // server's default.
    static void choose(const QString &name);
    // The chosen input the capture now running could not find, having taken the default in
    // its place; empty when it hears the chosen one.
    static QString missing();
};
