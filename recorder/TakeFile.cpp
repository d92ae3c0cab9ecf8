#include "recorder/TakeFile.h"

#include "platform/PrivateFolder.h"
#include "recorder/AudioBackend.h"

#include <QDateTime>
#include <QDir>
#include <QStorageInfo>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <condition_variable>
#include <fcntl.h>
#include <mutex>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace
{

// The disk gets a take's new frames at least this often; a second keeps a crash
// from costing more than that, and costs next to nothing.
constexpr auto kSyncEvery = std::chrono::seconds(1);
const QString kPrefix = QStringLiteral("take-");
const QString kSuffix = QStringLiteral(".pcm");
// The recent takes kept: the newest always, then older ones while both limits hold.
constexpr int kMaxRecent = 10;
constexpr qint64 kMaxRecentBytes = 2'000'000'000;

// The take files in a folder, newest first.
QFileInfoList takesIn(const QString &folder)
{
    return QDir(folder).entryInfoList(
        { kPrefix + QLatin1Char('*') + kSuffix }, QDir::Files | QDir::System, QDir::Time);
}

QStringList pathsOfTakesIn(const QString &folder)
{
    QStringList paths;
    if (!folder.isEmpty()) {
        for (const QFileInfo &entry : takesIn(folder))
            paths.append(entry.filePath());
    }
    return paths;
}

// Drops the oldest recent takes beyond the limits; one a program holds stays.
void pruneRecent(const QString &folder)
{
    int count = 0;
    qint64 bytes = 0;
    bool full = false;
    for (const QFileInfo &entry : takesIn(folder)) {
        full = full
            || (count > 0 && (count >= kMaxRecent || bytes + entry.size() > kMaxRecentBytes));
        if (full && !TakeFile::isHeld(entry.filePath())) {
            QFile::remove(entry.filePath());
            continue;
        }
        ++count;
        bytes += entry.size();
    }
}

// Opens and locks a take file; -1 when it is no regular file of ours or another holds it.
int holdTake(const QString &path, int flags)
{
    const int fd = ::open(QFile::encodeName(path).constData(),
        flags | O_RDWR | O_APPEND | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0)
        return -1;
    struct stat info {
    };
    if (flock(fd, LOCK_EX | LOCK_NB) != 0 || fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)
        || info.st_uid != geteuid()) {
        ::close(fd);
        return -1;
    }
    return fd;
}

} // namespace

struct TakeFile::Flusher {
    explicit Flusher(int takeFd)
        : fd(::dup(takeFd))
    {
    }
    ~Flusher()
    {
        if (fd >= 0)
            ::close(fd);
    }
    Q_DISABLE_COPY(Flusher)

    void request()
    {
        {
            const std::scoped_lock lock(mutex);
            due = true;
        }
        wake.notify_one();
    }
    void close()
    {
        {
            const std::scoped_lock lock(mutex);
            closing = true;
        }
        wake.notify_one();
    }
    void run()
    {
        std::unique_lock lock(mutex);
        for (;;) {
            wake.wait(lock, [this] { return due || closing; });
            if (closing)
                return;
            due = false;
            lock.unlock();
            // The next write tells of a refusal, on the writer's thread.
            if (fd < 0 || fdatasync(fd) != 0)
                failed = true;
            lock.lock();
        }
    }

    const int fd; // a copy of the take's, so that the take may close its own meanwhile
    std::mutex mutex;
    std::condition_variable wake;
    bool due = false;
    bool closing = false;
    std::atomic<bool> failed { false };
};

TakeFile::TakeFile(int fd, const QString &path)
    : m_fd(fd)
    , m_path(path)
    , m_synced(std::chrono::steady_clock::now())
    , m_flusher(std::make_shared<Flusher>(fd))
{
    QIODevice::open(QIODevice::WriteOnly | QIODevice::Unbuffered);
    std::thread([flusher = m_flusher] { flusher->run(); }).detach();
}

TakeFile::~TakeFile()
{
    // A flush under way on a slow disk ends on its own, on its own copy of the file.
    m_flusher->close();
    QIODevice::close();
    bool recent = false;
    if (!m_kept) {
        // Where the recent takes cannot be kept, the take waits for the next start's question.
        if (m_recent && frameBytes() > 0)
            recent = moveToRecent();
        else
            ::unlink(QFile::encodeName(m_path).constData());
    }
    ::close(m_fd); // lets go of the lock, so that pruning sees the take as no one's
    if (recent)
        pruneRecent(QFileInfo(m_path).path());
}

QString TakeFile::recentFolder()
{
    const QString takes = folder();
    if (takes.isEmpty())
        return QString();
    const QString recent = takes + QStringLiteral("/recent");
    return makePrivateFolder(recent).isEmpty() ? recent : QString();
}

bool TakeFile::moveToRecent()
{
    if (frameBytes() == 0)
        return false;
    const QString where = recentFolder();
    if (where.isEmpty())
        return false;
    const QString target = where + QLatin1Char('/') + QFileInfo(m_path).fileName();
    if (target == m_path)
        return true;
    // What the take holds reaches the disk before its name moves.
    if (fdatasync(m_fd) != 0
        || ::rename(QFile::encodeName(m_path).constData(), QFile::encodeName(target).constData())
            != 0)
        return false;
    m_path = target;
    return true;
}

QString TakeFile::folder(QString *problem)
{
    return privateDataFolder(QStringLiteral("takes"), problem);
}

qint64 TakeFile::room()
{
    const QString where = folder();
    if (where.isEmpty())
        return 0;
    qint64 room = QStorageInfo(where).bytesAvailable();
    rlimit limit {};
    if (getrlimit(RLIMIT_FSIZE, &limit) == 0 && limit.rlim_cur != RLIM_INFINITY)
        room = std::min(room, qint64(limit.rlim_cur));
    return std::max<qint64>(room, 0);
}

std::unique_ptr<TakeFile> TakeFile::create(QString *problem)
{
    const QString where = folder(problem);
    if (where.isEmpty())
        return nullptr;
    // Made under a name no other program looks at, and renamed once it is held.
    const QString name
        = QStringLiteral("%1/%2%3-%4")
              .arg(where, kPrefix, QString::number(QDateTime::currentMSecsSinceEpoch()),
                  QString::number(getpid()));
    const auto failed = [&] {
        if (problem)
            *problem = QStringLiteral("NO TAKE CAN BE MADE IN %1: %2.")
                           .arg(where, fileErrorReason(errno));
        return nullptr;
    };
    const QString making = name + QStringLiteral(".new");
    const int fd = holdTake(making, O_CREAT | O_EXCL);
    if (fd < 0)
        return failed();
    const QString path = name + kSuffix;
    if (::rename(QFile::encodeName(making).constData(), QFile::encodeName(path).constData()) != 0) {
        failed(); // while errno still tells why
        ::unlink(QFile::encodeName(making).constData());
        ::close(fd);
        return nullptr;
    }
    // The folder's entry too must reach the disk, or a power cut leaves frames nobody finds.
    const int folderFd
        = ::open(QFile::encodeName(where).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folderFd >= 0) {
        fsync(folderFd);
        ::close(folderFd);
    }
    return std::unique_ptr<TakeFile>(new TakeFile(fd, path));
}

QStringList TakeFile::found()
{
    return pathsOfTakesIn(folder());
}

QStringList TakeFile::recent()
{
    return pathsOfTakesIn(recentFolder());
}

bool TakeFile::isHeld(const QString &path)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool held = flock(fd, LOCK_EX | LOCK_NB) != 0;
    ::close(fd);
    return held;
}

std::unique_ptr<TakeFile> TakeFile::hold(const QString &path)
{
    const int fd = holdTake(path, 0);
    return fd < 0 ? nullptr : std::unique_ptr<TakeFile>(new TakeFile(fd, path));
}

QString TakeFile::readableName() const
{
    return QStringLiteral("/proc/self/fd/%1").arg(m_fd);
}

qint64 TakeFile::size() const
{
    struct stat info {
    };
    return fstat(m_fd, &info) == 0 ? qint64(info.st_size) : 0;
}

qint64 TakeFile::frameBytes() const
{
    const qint64 bytes = size();
    return bytes - bytes % kTakeFrameBytes;
}

bool TakeFile::sync()
{
    m_synced = std::chrono::steady_clock::now();
    // The disk tells of a refused write-back once: a flush that failed on the thread counts.
    const bool synced = fdatasync(m_fd) == 0;
    return synced && !m_flusher->failed;
}

qint64 TakeFile::readData(char *, qint64)
{
    return -1; // read through a file of its own name
}

qint64 TakeFile::writeData(const char *data, qint64 length)
{
    const qint64 room = std::max<qint64>(m_limit - size(), 0);
    const bool reachesLimit = length >= room;
    length = std::min(length, room);
    for (qint64 done = 0; done < length;) {
        const ssize_t written = ::write(m_fd, data + done, size_t(length - done));
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0) {
            if (m_writeFailed)
                m_writeFailed();
            return -1;
        }
        done += written;
    }
    if (m_written)
        m_written(data, length);
    if (m_flusher->failed) {
        if (m_writeFailed)
            m_writeFailed();
        return -1;
    }
    if (const auto now = std::chrono::steady_clock::now(); now - m_synced >= kSyncEvery) {
        m_synced = now;
        m_flusher->request();
    }
    if (reachesLimit && m_limitReached)
        m_limitReached();
    return length;
}
