#pragma once

#include "recorder/WavToMp3.h"

#include <QFile>
#include <QTemporaryDir>

#include <sndfile.h>

#include <cmath>
#include <complex>
#include <numbers>
#include <vector>

// A WAV file as libsndfile reads it back: its header and its samples, interleaved.
struct WaveProbe {
    SF_INFO info {};
    std::vector<short> samples;
};

inline WaveProbe readWave(const QString &path)
{
    WaveProbe probe;
    SNDFILE *sf = sf_open(QFile::encodeName(path).constData(), SFM_READ, &probe.info);
    probe.samples.resize(sf ? size_t(probe.info.frames * probe.info.channels) : 0);
    const sf_count_t frames = sf ? sf_readf_short(sf, probe.samples.data(), probe.info.frames) : -1;
    return sf && sf_close(sf) == 0 && frames == probe.info.frames ? probe : WaveProbe();
}

// A WAV of a sine at half of full scale on every channel; format is an SF_FORMAT_PCM_*.
inline bool writeTone(const QString &path, double hz, double seconds, int rate = 44100,
    int channels = 2, int format = SF_FORMAT_PCM_16)
{
    SF_INFO info { 0, rate, channels, SF_FORMAT_WAV | format, 0, 0 };
    SNDFILE *sf = sf_open(QFile::encodeName(path).constData(), SFM_WRITE, &info);
    const auto frames = sf_count_t(seconds * rate);
    std::vector<double> samples(size_t(frames * channels));
    for (size_t i = 0; i < samples.size(); ++i)
        samples[i]
            = 0.5 * std::sin(2 * std::numbers::pi * hz * double(i / size_t(channels)) / rate);
    return sf && sf_writef_double(sf, samples.data(), frames) == frames && sf_close(sf) == 0;
}

// Amplitude (of full scale) of the frequency hz in count frames of one channel from first.
inline double amplitudeAt(const WaveProbe &wave, int channel, size_t first, size_t count, double hz)
{
    std::complex<double> sum;
    for (size_t i = 0; i < count; ++i) {
        const double x = wave.samples[(first + i) * size_t(wave.info.channels) + size_t(channel)];
        sum += x * std::polar(1.0, -2 * std::numbers::pi * hz * double(i) / wave.info.samplerate);
    }
    return 2.0 * std::abs(sum) / double(count) / 32768.0;
}

// An MPEG-1 Layer III frame header as a player reads it, without a decoder of ours.
struct FrameHeader {
    int kbps = 0, rate = 0;
    bool jointStereo = false;
    qsizetype end = 0; // offset of the byte after the frame
};

// The frames of an MP3 from its first byte up to the first byte that is not an MPEG-1
// Layer III frame header, which for a whole file is its end.
inline std::vector<FrameHeader> frameHeaders(const QByteArray &mp3)
{
    static constexpr int kbpsTable[16]
        = { 0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 0 };
    static constexpr int rateTable[4] = { 44100, 48000, 32000, 0 };
    std::vector<FrameHeader> frames;
    for (qsizetype at = 0; at + 4 <= mp3.size(); at = frames.back().end) {
        const auto b = [&](int i) { return quint8(mp3[at + i]); };
        const int kbps = kbpsTable[b(2) >> 4], rate = rateTable[(b(2) >> 2) & 3];
        // Sync bits, then version bits 11 (MPEG-1) and layer bits 01 (Layer III).
        if (b(0) != 0xFF || (b(1) & 0xFE) != 0xFA || kbps == 0 || rate == 0)
            break;
        frames.push_back(
            { kbps, rate, (b(3) >> 6) == 1, at + 144000 * kbps / rate + ((b(2) >> 1) & 1) });
    }
    return frames;
}

// The MP3 the encoder makes of a WAV file at a bit rate, afresh; empty when it cannot.
inline QByteArray mp3OfWave(const QString &wav, int kbps)
{
    QTemporaryDir dir;
    const QString mp3 = dir.filePath(QStringLiteral("fresh.mp3"));
    QString reason;
    if (!encodeWavToMp3(
            wav, mp3, kbps, {}, [](qint64, qint64) {}, &reason))
        return {};
    QFile file(mp3);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}
