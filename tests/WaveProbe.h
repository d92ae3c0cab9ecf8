#pragma once

#include <QFile>

#include <sndfile.h>

#include <cmath>
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
    if (!sf)
        return {};
    probe.samples.resize(size_t(probe.info.frames * probe.info.channels));
    probe.samples.resize(
        size_t(sf_read_short(sf, probe.samples.data(), sf_count_t(probe.samples.size()))));
    sf_close(sf);
    return probe;
}

// A WAV of a sine at half of full scale on every channel; format is an SF_FORMAT_PCM_*.
inline bool writeTone(const QString &path, double hz, double seconds, int rate = 44100,
                      int channels = 2, int format = SF_FORMAT_PCM_16)
{
    SF_INFO info {};
    info.samplerate = rate;
    info.channels = channels;
    info.format = SF_FORMAT_WAV | format;
    SNDFILE *sf = sf_open(QFile::encodeName(path).constData(), SFM_WRITE, &info);
    if (!sf)
        return false;
    const auto frames = sf_count_t(seconds * rate);
    std::vector<double> samples(size_t(frames * channels));
    for (size_t i = 0; i < samples.size(); ++i)
        samples[i] = 0.5 * std::sin(2 * std::numbers::pi * hz * double(i / size_t(channels)) / rate);
    const bool written = sf_writef_double(sf, samples.data(), frames) == frames;
    return sf_close(sf) == 0 && written;
}

// Amplitude (of full scale) of the frequency hz in count frames of one channel from first.
inline double amplitudeAt(const WaveProbe &wave, int channel, size_t first, size_t count, double hz)
{
    const double w = 2 * std::numbers::pi * hz / wave.info.samplerate;
    const auto channels = size_t(wave.info.channels);
    double re = 0;
    double im = 0;
    for (size_t i = 0; i < count; ++i) {
        const double x = wave.samples[(first + i) * channels + size_t(channel)] / 32768.0;
        re += x * std::cos(w * double(i));
        im -= x * std::sin(w * double(i));
    }
    return 2.0 * std::hypot(re, im) / double(count);
}
