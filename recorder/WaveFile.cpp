#include "recorder/WaveFile.h"

#include "recorder/AudioBackend.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <sndfile.h>

#include <array>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace
{

std::function<quint32()> &tempNameSource()
{
    static std::function<quint32()> source;
    return source;
}

quint32 tempNameNumber()
{
    return tempNameSource() ? tempNameSource()() : QRandomGenerator::global()->generate();
}

// libsndfile writes to a new file beside the path, which then takes the path's place
// in one rename, so a failed write leaves nothing behind. The rename replaces whatever
// the path names, a symbolic link included: a link planted in a shared folder never
// leads the take onto another file. libsndfile ignores a failed seek, and QFile forgets
// a flush that failed inside one, so every failure is remembered here.
struct WaveTarget {
    explicit WaveTarget(const QString &path)
        : finalName(QFile::encodeName(path))
    {
        const QString folder = QFileInfo(path).absolutePath();
        // Created afresh (never through a link), with the usual rights under the umask.
        for (int attempt = 0; attempt < 16 && !file.isOpen(); ++attempt) {
            tempName = QFile::encodeName(folder
                + QStringLiteral("/wave-%1.tmp").arg(tempNameNumber(), 8, 16, QLatin1Char('0')));
            const int fd
                = ::open(tempName.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
            if (fd < 0 && errno != EEXIST)
                break;
            if (fd >= 0 && !file.open(fd, QIODevice::WriteOnly, QFileDevice::AutoCloseHandle)) {
                ::close(fd);
                ::unlink(tempName.constData());
                break;
            }
        }
        if (!file.isOpen())
            tempName.clear();
        // An old file of the name keeps its rights, as an overwritten file would.
        struct stat old = {};
        if (file.isOpen() && ::lstat(finalName.constData(), &old) == 0 && S_ISREG(old.st_mode))
            ::fchmod(file.handle(), old.st_mode & 07777);
    }
    ~WaveTarget()
    {
        file.close();
        if (!tempName.isEmpty())
            ::unlink(tempName.constData());
    }
    Q_DISABLE_COPY(WaveTarget)

    // Puts the file in place only when every byte reached the disk.
    bool commit()
    {
        if (failed || !file.flush() || ::fsync(file.handle()) != 0)
            return false;
        if (::rename(tempName.constData(), finalName.constData()) != 0)
            return false;
        tempName.clear();
        return true;
    }

    QFile file;
    QByteArray finalName;
    QByteArray tempName; // while it is ours to remove
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

void setWaveTempNameSource(std::function<quint32()> source)
{
    tempNameSource() = std::move(source);
}
