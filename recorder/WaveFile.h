#pragma once

#include "platform/MciDevice.h"

#include <QString>

class QIODevice;

// A RIFF chunk size is 32 bits and counts the 36 header bytes before the data.
inline constexpr qint64 kMaxWaveDataBytes = (0xFFFFFFFFLL - 36) / 4 * 4;

// Writes bytes of take-format PCM read from pcm as a RIFF WAV file at path. The file
// appears whole or not at all.
MciError writeWaveFile(QIODevice &pcm, qint64 bytes, const QString &path);
