#include "recorder/EncodedTake.h"

#include <QFile>
#include <QIODevice>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace
{

// A copy step: progress moves smoothly, and a 10-minute take takes ten of them.
constexpr qint64 kCopyBytes = 1 << 20;

// What tells one WAV file from another, or from itself rewritten.
struct FileIdentity {
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = -1;
    timespec modified {};

    static FileIdentity of(const QString &path)
    {
        struct stat info {
        };
        if (stat(QFile::encodeName(path).constData(), &info) != 0)
            return {};
        return { info.st_dev, info.st_ino, info.st_size, info.st_mtim };
    }
    bool operator==(const FileIdentity &other) const
    {
        return size >= 0 && device == other.device && inode == other.inode && size == other.size
            && modified.tv_sec == other.modified.tv_sec
            && modified.tv_nsec == other.modified.tv_nsec;
    }
};

struct Offer {
    FileIdentity wav;
    std::shared_ptr<const EncodedTake> mp3;
};

Offer &offered()
{
    static Offer offer;
    return offer;
}

} // namespace

EncodedTake::EncodedTake(int fd, QByteArray tag, int kbps, qint64 frames)
    : m_fd(fd)
    , m_tag(std::move(tag))
    , m_kbps(kbps)
    , m_frames(frames)
{
}

EncodedTake::~EncodedTake()
{
    ::close(m_fd);
}

bool EncodedTake::writeTo(QIODevice &file, std::stop_token stop,
    const std::function<void(qint64, qint64)> &progress, QString *reason) const
{
    struct stat info {
    };
    if (fstat(m_fd, &info) != 0) {
        *reason = QStringLiteral("the encoding cannot be read: %1").arg(strerror(errno));
        return false;
    }
    const qint64 all = info.st_size;
    // The tag takes the place of the stream's first frame, as when encoding from the WAV.
    if (file.write(m_tag) != m_tag.size()) {
        *reason = file.errorString();
        return false;
    }
    std::vector<char> buffer(static_cast<size_t>(kCopyBytes));
    for (qint64 done = m_tag.size(); done < all;) {
        if (stop.stop_requested()) {
            *reason = QStringLiteral("stopped");
            return false;
        }
        const ssize_t got
            = pread(m_fd, buffer.data(), size_t(std::min(kCopyBytes, all - done)), off_t(done));
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0) {
            *reason = QStringLiteral("the encoding cannot be read: %1")
                          .arg(got < 0 ? strerror(errno) : "it is short");
            return false;
        }
        if (file.write(buffer.data(), got) != got) {
            *reason = file.errorString();
            return false;
        }
        done += got;
        progress(done, all);
    }
    return true;
}

void EncodedTake::offer(const QString &wav, std::shared_ptr<const EncodedTake> mp3)
{
    offered() = { FileIdentity::of(wav), std::move(mp3) };
}

void EncodedTake::withdraw(const EncodedTake *mp3)
{
    if (offered().mp3.get() == mp3)
        offered() = {};
}

std::shared_ptr<const EncodedTake> EncodedTake::claim(const QString &wav, int kbps)
{
    const Offer &offer = offered();
    if (!offer.mp3 || offer.mp3->kbps() != kbps || !(FileIdentity::of(wav) == offer.wav))
        return nullptr;
    return offer.mp3;
}
