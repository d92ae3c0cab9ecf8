#include "recorder/WavToMp3.h"

#include "recorder/EncodedTake.h"
#include "recorder/LameEncoder.h"
#include "recorder/ReplacingFile.h"
#include "recorder/WavReader.h"

#include <vector>

namespace
{

// Frames per read; about 0.2 s at 44,100 Hz, so progress moves smoothly and memory stays flat.
constexpr qint64 kChunkFrames = LameEncoder::kStepFrames;

bool writeAll(QFile &file, QByteArrayView bytes)
{
    return file.write(bytes.data(), bytes.size()) == bytes.size();
}

qint64 toMs(qint64 frames, int rate)
{
    return frames * 1000 / rate;
}

} // namespace

bool encodeWavToMp3(const QString &inputWav, const QString &outputMp3, int kbps,
    std::stop_token stop, const EncodeProgress &progress, QString *reason)
{
    WavReader wav;
    if (!wav.open(inputWav)) {
        *reason = QStringLiteral("cannot read %1: %2").arg(inputWav, wav.error());
        return false;
    }
    std::unique_ptr<LameEncoder> encoder
        = LameEncoder::create(wav.sampleRate(), wav.channels(), kbps, reason);
    if (!encoder)
        return false;

    ReplacingFile mp3(outputMp3);
    if (!mp3.isOpen()) {
        *reason = QStringLiteral("cannot write %1: %2").arg(outputMp3, mp3.errorString());
        return false;
    }
    const auto writeFailed = [&] {
        *reason = QStringLiteral("cannot write %1: %2").arg(outputMp3, mp3.errorString());
        return false;
    };

    const qint64 totalMs = toMs(wav.frames(), wav.sampleRate());
    std::vector<int> samples(size_t(kChunkFrames * wav.channels()));
    qint64 done = 0;
    for (;;) {
        if (stop.stop_requested()) {
            *reason = QStringLiteral("stopped");
            return false;
        }
        const qint64 got = wav.read(samples.data(), kChunkFrames);
        if (got < 0) {
            *reason = QStringLiteral("cannot read %1: %2").arg(inputWav, wav.error());
            return false;
        }
        if (got == 0)
            break;
        const std::optional<QByteArrayView> bytes = encoder->encode(samples.data(), int(got));
        if (!bytes) {
            *reason = QStringLiteral("the encoder failed");
            return false;
        }
        if (!writeAll(mp3, *bytes))
            return writeFailed();
        done += got;
        progress(toMs(done, wav.sampleRate()), totalMs);
    }

    const std::optional<QByteArrayView> tail = encoder->flush();
    if (!tail) {
        *reason = QStringLiteral("the encoder failed to flush");
        return false;
    }
    if (!writeAll(mp3, *tail))
        return writeFailed();
    // The tag replaces the placeholder frame LAME put first, so players know the true length.
    const std::optional<QByteArrayView> tag = encoder->lameTagFrame();
    if (!tag) {
        *reason = QStringLiteral("the encoder gave no LAME tag");
        return false;
    }
    if (!tag->isEmpty() && !(mp3.seek(0) && writeAll(mp3, *tag)))
        return writeFailed();
    if (!mp3.commit())
        return writeFailed();
    return true;
}

bool writeEncodedTake(const EncodedTake &take, const QString &outputMp3, std::stop_token stop,
    const EncodeProgress &progress, QString *reason)
{
    ReplacingFile mp3(outputMp3);
    const auto writeFailed = [&] {
        *reason = QStringLiteral("cannot write %1: %2").arg(outputMp3, mp3.errorString());
        return false;
    };
    if (!mp3.isOpen())
        return writeFailed();
    const qint64 totalMs = toMs(take.frames(), LameEncoder::kOutputRate);
    progress(0, totalMs);
    QString copyFailed;
    const bool copied = take.writeTo(
        mp3, stop, [&](qint64 done, qint64 all) { progress(totalMs * done / all, totalMs); },
        &copyFailed);
    if (!copied) {
        *reason = QStringLiteral("cannot write %1: %2").arg(outputMp3, copyFailed);
        return false;
    }
    if (!mp3.commit())
        return writeFailed();
    return true;
}
