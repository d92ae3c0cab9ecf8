#pragma once

#include <QByteArray>
#include <QFile>

#include <vector>

// MPEG-1 Layer III frame headers as a player reads them, without a decoder of ours.
struct FrameHeader {
    int kbps = 0;
    int rate = 0;
    bool jointStereo = false;
    qsizetype offset = 0;
    qsizetype length = 0;
};

inline QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Walks the MP3 frame by frame from its first byte; stops at the first byte that is not an
// MPEG-1 Layer III frame header, which for a whole file is its end.
inline std::vector<FrameHeader> frameHeaders(const QByteArray &mp3)
{
    static constexpr int kbpsTable[16] = {0,   32,  40,  48,  56,  64,  80,  96,
                                          112, 128, 160, 192, 224, 256, 320, 0};
    static constexpr int rateTable[4] = {44100, 48000, 32000, 0};
    std::vector<FrameHeader> frames;
    for (qsizetype at = 0; at + 4 <= mp3.size();) {
        const auto b = [&](int i) { return quint8(mp3[at + i]); };
        // Sync bits, then version bits 11 (MPEG-1) and layer bits 01 (Layer III).
        if (b(0) != 0xFF || (b(1) & 0xFE) != 0xFA)
            break;
        const FrameHeader h{kbpsTable[b(2) >> 4], rateTable[(b(2) >> 2) & 3], (b(3) >> 6) == 1, at};
        if (h.kbps == 0 || h.rate == 0)
            break;
        frames.push_back(h);
        frames.back().length = 144000 * h.kbps / h.rate + ((b(2) >> 1) & 1);
        at += frames.back().length;
    }
    return frames;
}
