#include "recorder/OcxLame.h"

#include "recorder/EncodedTake.h"
#include "recorder/LameEncoder.h"
#include "recorder/WavToMp3.h"

#include <QLoggingCategory>

#include <algorithm>
#include <climits>
#include <optional>

Q_LOGGING_CATEGORY(lcEncoder, "tellvane.encoder")

namespace
{

int clampToInt(qint64 value)
{
    return int(std::clamp<qint64>(value, 0, INT_MAX));
}

} // namespace

OcxLame::OcxLame(QObject *parent)
    : QObject(parent)
{
}

// The worker posts to this object; stopping and joining it here, before QObject's destructor
// drops those posts, leaves nothing behind.
OcxLame::~OcxLame() = default;

void OcxLame::SetLibraryPath(const QString &path)
{
    Q_UNUSED(path)
}

bool OcxLame::EncodeFile(const QString &inputWav, const QString &outputMp3)
{
    if (isEncoding()) {
        qCWarning(lcEncoder) << "an encoding is already running; not starting" << outputMp3;
        return false;
    }
    const std::optional<int> kbps = LameEncoder::bitrateOf(m_bitrate);
    if (!kbps) {
        qCWarning(lcEncoder) << "not an MP3 bit rate:" << m_bitrate;
        return false;
    }
    m_encoding = true;
    m_lastPercent = -1;
    // A take encoded while it was recorded need not be encoded again.
    std::shared_ptr<const EncodedTake> ready = EncodedTake::claim(inputWav, *kbps);
    m_worker = std::jthread(
        [this, inputWav, outputMp3, kbps = *kbps, ready = std::move(ready)](std::stop_token stop) {
            int posted = -1;
            qint64 doneMs = 0;
            qint64 allMs = 0;
            const auto progress = [&](qint64 encodedMs, qint64 totalMs) {
                doneMs = encodedMs;
                allMs = totalMs;
                // 100 is kept for the committed file.
                const int percent
                    = totalMs > 0 ? int(std::min<qint64>(99, encodedMs * 100 / totalMs)) : 0;
                if (percent <= posted)
                    return;
                posted = percent;
                QMetaObject::invokeMethod(
                    this, [=, this] { report(percent, encodedMs, totalMs); }, Qt::QueuedConnection);
            };
            QString reason;
            bool ok = false;
            if (ready) {
                qCInfo(lcEncoder) << "written from the encoding made while recording:" << outputMp3;
                ok = writeEncodedTake(*ready, outputMp3, stop, progress, &reason);
            } else {
                ok = encodeWavToMp3(inputWav, outputMp3, kbps, stop, progress, &reason);
            }
            QMetaObject::invokeMethod(
                this, [=, this] { finish(ok, reason, doneMs, allMs); }, Qt::QueuedConnection);
        });
    return true;
}

void OcxLame::report(int percent, qint64 encodedMs, qint64 totalMs)
{
    if (percent <= m_lastPercent)
        return;
    m_lastPercent = percent;
    Q_EMIT Progress(percent, clampToInt(encodedMs), clampToInt(totalMs));
}

void OcxLame::finish(bool ok, const QString &reason, qint64 encodedMs, qint64 totalMs)
{
    m_encoding = false;
    if (!ok) {
        qCWarning(lcEncoder) << reason;
        Q_EMIT Failed(reason);
        return;
    }
    report(100, encodedMs, totalMs);
}
