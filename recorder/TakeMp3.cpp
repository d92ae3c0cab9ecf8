#include "recorder/TakeMp3.h"

#include "recorder/AudioBackend.h"
#include "recorder/EncodedTake.h"
#include "recorder/LameEncoder.h"
#include "recorder/TakeFile.h"

#include <QFile>
#include <QLoggingCategory>

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <unistd.h>
#include <vector>

Q_DECLARE_LOGGING_CATEGORY(lcEncoder)

namespace
{

// Far more than a worker that keeps up ever holds: a minute of frames. One that falls
// this far behind gives up, and the save encodes the WAV instead.
constexpr qint64 kMaxQueuedBytes = 60LL * kTakeBytesPerSec;

// A file nobody can open by name, in the private take folder; -1 when none can be made.
int unnamedFile()
{
    const QByteArray folder = QFile::encodeName(TakeFile::folder());
    if (folder.isEmpty())
        return -1;
    const int fd = ::open(folder.constData(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
    if (fd >= 0 || (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL))
        return fd;
    // A file system without unnamed files: a named one, unlinked at once.
    QByteArray path = folder + "/encoding-XXXXXX";
    const int named = mkostemp(path.data(), O_CLOEXEC);
    if (named >= 0)
        ::unlink(path.constData());
    return named;
}

} // namespace

std::unique_ptr<TakeMp3> TakeMp3::start(int kbps)
{
    QString error;
    std::unique_ptr<LameEncoder> lame = LameEncoder::create(kTakeRate, kTakeChannels, kbps, &error);
    if (!lame) {
        qCWarning(lcEncoder) << error;
        return nullptr;
    }
    const int fd = unnamedFile();
    if (fd < 0) {
        qCWarning(lcEncoder) << "no file for the MP3 beside the take:" << strerror(errno);
        return nullptr;
    }
    return std::unique_ptr<TakeMp3>(new TakeMp3(std::move(lame), fd, kbps));
}

TakeMp3::TakeMp3(std::unique_ptr<LameEncoder> lame, int fd, int kbps)
    : m_lame(std::move(lame))
    , m_fd(fd)
    , m_kbps(kbps)
    , m_worker(&TakeMp3::run, this)
{
}

TakeMp3::~TakeMp3()
{
    if (m_worker.joinable()) {
        fail();
        m_worker.join();
    }
    if (m_fd >= 0)
        ::close(m_fd);
}

void TakeMp3::add(const char *bytes, qint64 length)
{
    {
        const std::scoped_lock lock(m_mutex);
        if (m_finishing || m_failed)
            return;
        if (m_queued + length > kMaxQueuedBytes) {
            m_failed = true;
            m_queue.clear();
        } else {
            m_queue.emplace_back(bytes, length);
            m_queued += length;
            m_frames += length / kTakeFrameBytes;
        }
    }
    m_wake.notify_one();
}

qint64 TakeMp3::frames() const
{
    const std::scoped_lock lock(m_mutex);
    return m_frames;
}

void TakeMp3::fail()
{
    {
        const std::scoped_lock lock(m_mutex);
        m_failed = true;
        m_queue.clear();
    }
    m_wake.notify_one();
}

std::shared_ptr<const EncodedTake> TakeMp3::finish()
{
    if (!m_worker.joinable())
        return nullptr;
    {
        const std::scoped_lock lock(m_mutex);
        m_finishing = true;
    }
    m_wake.notify_one();
    m_worker.join();
    const std::scoped_lock lock(m_mutex);
    if (m_failed)
        return nullptr;
    auto encoded = std::make_shared<const EncodedTake>(m_fd, m_tag, m_kbps, m_frames);
    m_fd = -1;
    return encoded;
}

void TakeMp3::run()
{
    std::vector<int> block(size_t(LameEncoder::kStepFrames * kTakeChannels));
    size_t filled = 0; // samples in block
    for (;;) {
        QByteArray chunk;
        {
            std::unique_lock lock(m_mutex);
            m_wake.wait(lock, [this] { return !m_queue.empty() || m_finishing || m_failed; });
            if (m_failed)
                return;
            if (m_queue.empty())
                break; // finishing, and all is encoded
            chunk = std::move(m_queue.front());
            m_queue.pop_front();
            m_queued -= chunk.size();
        }
        const auto *samples = reinterpret_cast<const qint16 *>(chunk.constData());
        const qsizetype count = chunk.size() / qsizetype(sizeof(qint16));
        for (qsizetype i = 0; i < count; ++i) {
            // Full scale, as a WAV's 16-bit samples are read for encoding.
            block[filled++] = int(samples[i]) * 65536;
            if (filled == block.size()) {
                if (!encode(block.data(), LameEncoder::kStepFrames))
                    return fail();
                filled = 0;
            }
        }
    }
    if (filled > 0 && !encode(block.data(), int(filled / kTakeChannels)))
        return fail();
    const std::optional<QByteArrayView> tail = m_lame->flush();
    if (!tail || !write(*tail))
        return fail();
    const std::optional<QByteArrayView> tag = m_lame->lameTagFrame();
    if (!tag)
        return fail();
    m_tag = tag->toByteArray();
}

bool TakeMp3::encode(const int *samples, int frames)
{
    const std::optional<QByteArrayView> bytes = m_lame->encode(samples, frames);
    return bytes && write(*bytes);
}

bool TakeMp3::write(QByteArrayView bytes)
{
    for (qsizetype done = 0; done < bytes.size();) {
        const ssize_t written = ::write(m_fd, bytes.data() + done, size_t(bytes.size() - done));
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0) {
            qCWarning(lcEncoder) << "the MP3 beside the take cannot grow:" << strerror(errno);
            return false;
        }
        done += written;
    }
    return true;
}
