#pragma once

#include <QString>

#include <functional>
#include <stop_token>

class EncodedTake;

// Milliseconds of audio read so far, and the length the WAV header announces.
using EncodeProgress = std::function<void(qint64 doneMs, qint64 totalMs)>;

// Encodes a whole WAV into an MP3 at `kbps`, written through QSaveFile so that the MP3 appears
// only once complete, LAME tag included. A stop request ends it like a failure: no file.
// False with a reason on any failure.
bool encodeWavToMp3(const QString &inputWav, const QString &outputMp3, int kbps,
    std::stop_token stop, const EncodeProgress &progress, QString *reason);

// Writes an MP3 encoded while its take was recorded to outputMp3, as whole as
// encodeWavToMp3 writes one, with the same progress and failures.
bool writeEncodedTake(const EncodedTake &take, const QString &outputMp3, std::stop_token stop,
    const EncodeProgress &progress, QString *reason);
