#include "recorder/WaveFile.h"

#include "recorder/AudioBackend.h"
#include "recorder/ReplacingFile.h"

#include <sndfile.h>

#include <array>
#include <cstdio>
#include <memory>

namespace
{

// libsndfile writes to a file that takes the path's place whole (see ReplacingFile). It
// ignores a failed seek, and QFile forgets a flush that failed inside one, so every failure
// is remembered here.
struct WaveTarget {
    explicit WaveTarget(const QString &path)
        : file(path)
    {
    }
    bool commit() { return !failed && file.commit(); }

    ReplacingFile file;
    bool failed = false;
};

WaveTarget &target(void *user)
{
    return *static_cast<WaveTarget *>(user);
}

sf_count_t fileLength(void *user)
{
    return target(user).file.size();
}

sf_count_t seekFile(sf_count_t offset, int whence, void *user)
{
    WaveTarget &t = target(user);
    qint64 to = offset;
    if (whence == SEEK_CUR)
        to += t.file.pos();
    else if (whence == SEEK_END)
        to += t.file.size();
    if (!t.file.seek(to)) {
        t.failed = true;
        return -1;
    }
    return t.file.pos();
}

sf_count_t readFile(void *, sf_count_t, void *)
{
    return 0; // opened for writing only
}

sf_count_t writeFile(const void *data, sf_count_t count, void *user)
{
    WaveTarget &t = target(user);
    const qint64 written = t.file.write(static_cast<const char *>(data), count);
    t.failed = t.failed || written != count;
    return written;
}

sf_count_t tellFile(void *user)
{
    return target(user).file.pos();
}

struct SndfileCloser {
    void operator()(SNDFILE *sf) const { sf_close(sf); }
};

} // namespace

MciError writeWaveFile(QIODevice &pcm, qint64 bytes, const QString &path)
{
    bytes -= bytes % kTakeFrameBytes;
    if (bytes > kMaxWaveDataBytes)
        return MciError::TakeTooLong;

    WaveTarget out(path);
    if (!out.file.isOpen())
        return MciError::FileWriteFailed;

    SF_VIRTUAL_IO io { fileLength, seekFile, readFile, writeFile, tellFile };
    SF_INFO info {};
    info.samplerate = kTakeRate;
    info.channels = kTakeChannels;
    info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
    std::unique_ptr<SNDFILE, SndfileCloser> sf(sf_open_virtual(&io, SFM_WRITE, &info, &out));
    if (!sf)
        return MciError::FileWriteFailed;

    std::array<qint16, 32768> buffer {};
    const qint64 chunkBytes = qint64(sizeof(buffer));
    for (qint64 left = bytes; left > 0;) {
        const qint64 want = qMin(left, chunkBytes);
        if (pcm.read(reinterpret_cast<char *>(buffer.data()), want) != want)
            return MciError::FileWriteFailed;
        const sf_count_t frames = want / kTakeFrameBytes;
        if (sf_writef_short(sf.get(), buffer.data(), frames) != frames)
            return MciError::FileWriteFailed;
        left -= want;
    }
    if (sf_close(sf.release()) != 0)
        return MciError::FileWriteFailed;
    return out.commit() ? MciError::None : MciError::FileWriteFailed;
}
