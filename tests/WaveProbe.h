#pragma once

#include <QString>

#include <sndfile.h>

#include <vector>

// A WAV file as libsndfile reads it back: its header and its samples, interleaved.
struct WaveProbe {
    bool opened = false;
    SF_INFO info {};
    std::vector<short> samples;
};

inline WaveProbe readWave(const QString &path)
{
    WaveProbe probe;
    SNDFILE *sf = sf_open(path.toLocal8Bit().constData(), SFM_READ, &probe.info);
    if (!sf)
        return probe;
    probe.opened = true;
    probe.samples.resize(size_t(probe.info.frames * probe.info.channels));
    probe.samples.resize(
        size_t(sf_read_short(sf, probe.samples.data(), sf_count_t(probe.samples.size()))));
    sf_close(sf);
    return probe;
}
