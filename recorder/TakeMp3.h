#pragma once

#include <QByteArray>

#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>

class EncodedTake;
class LameEncoder;

// Encodes a take into an MP3 while it is recorded, on a worker thread, into an unnamed file
// in the private take folder, so memory stays flat however long the take. The frames reach
// LAME in the steps an encoding of the WAV uses, so the stream is the one the WAV would give.
class TakeMp3
{
public:
    // Null when the rate is no MP3 rate or no private file can be made.
    static std::unique_ptr<TakeMp3> start(int kbps);
    ~TakeMp3();
    TakeMp3(const TakeMp3 &) = delete;
    TakeMp3 &operator=(const TakeMp3 &) = delete;

    // Take-format bytes just added to the take; on the capture's thread.
    void add(const char *bytes, qint64 length);
    // The take's frames handed in so far.
    qint64 frames() const;
    // Encodes what is left and ends the stream; null when the encoding failed on the way.
    // What is added afterwards is not encoded.
    std::shared_ptr<const EncodedTake> finish();

private:
    TakeMp3(std::unique_ptr<LameEncoder> lame, int fd, int kbps);
    void run();
    bool encode(const int *samples, int frames);
    bool write(QByteArrayView bytes);
    void fail();

    std::unique_ptr<LameEncoder> m_lame;
    int m_fd;
    int m_kbps;
    QByteArray m_tag;
    mutable std::mutex m_mutex;
    std::condition_variable m_wake;
    std::deque<QByteArray> m_queue; // guarded by m_mutex, as are the four below
    qint64 m_queued = 0; // bytes waiting
    qint64 m_frames = 0;
    bool m_finishing = false;
    bool m_failed = false;
    std::thread m_worker;
};
