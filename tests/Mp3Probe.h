#pragma once

#include <QByteArray>
#include <QtGlobal>

#include <vector>

// MPEG-1 Layer III frame headers as a player reads them, without a decoder of ours.
struct FrameHeader {
    bool mpeg1Layer3 = false;
    int kbps = 0;
    int rate = 0;
    bool jointStereo = false;
    qsizetype offset = 0;
    qsizetype length = 0;
};

// Walks the MP3 frame by frame from its first byte; stops at the first byte that is not a
// frame header, which for a whole file is its end.
inline std::vector<FrameHeader> frameHeaders(const QByteArray &mp3)
{
    static constexpr int kbpsTable[16] = {0,   32,  40,  48,  56,  64,  80,  96,
                                          112, 128, 160, 192, 224, 256, 320, 0};
    static constexpr int rateTable[4] = {44100, 48000, 32000, 0};
    std::vector<FrameHeader> frames;
    qsizetype at = 0;
    while (at + 4 <= mp3.size()) {
        const auto b = [&](int i) { return quint8(mp3[at + i]); };
        if (b(0) != 0xFF || (b(1) & 0xE0) != 0xE0)
            break;
        FrameHeader h;
        h.offset = at;
        h.mpeg1Layer3 = ((b(1) >> 3) & 3) == 3 && ((b(1) >> 1) & 3) == 1;
        h.kbps = kbpsTable[b(2) >> 4];
        h.rate = rateTable[(b(2) >> 2) & 3];
        h.jointStereo = (b(3) >> 6) == 1;
        if (!h.mpeg1Layer3 || h.kbps == 0 || h.rate == 0)
            break;
        h.length = 144000 * h.kbps / h.rate + ((b(2) >> 1) & 1);
        frames.push_back(h);
        at += h.length;
    }
    return frames;
}
