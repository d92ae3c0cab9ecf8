#pragma once

#include <QString>

#include <memory>

struct sf_private_tag;

// Reads a PCM WAV (any width, rate and channel count libsndfile knows) as full-scale 32-bit
// samples, interleaved by frame.
class WavReader
{
public:
    // False when the file is missing or not audio; error() says why.
    bool open(const QString &path);

    int sampleRate() const { return m_rate; }
    int channels() const { return m_channels; }
    // As the header states it; the reading goes on to the real end of the data.
    qint64 frames() const { return m_frames; }

    // Frames read into `samples` (room for frames * channels()); 0 at the end, -1 on a read error.
    qint64 read(int *samples, qint64 frames);

    QString error() const { return m_error; }

private:
    struct Closer {
        void operator()(sf_private_tag *file) const;
    };
    std::unique_ptr<sf_private_tag, Closer> m_file;
    int m_rate = 0;
    int m_channels = 0;
    qint64 m_frames = 0;
    QString m_error;
};
