#include "recorder/InputLevel.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <mutex>
#include <utility>

namespace
{

constexpr double kFullScale = 32768.0;
// Within 0.1 dB of full scale counts as clipped.
const int kClipPeak = int(std::ceil(kFullScale * std::pow(10.0, -0.1 / 20.0)));
// The blocks kept for a meter that is late to ask: ten seconds of 50 ms blocks.
constexpr size_t kMaxWaiting = 200;

struct Waiting {
    std::mutex mutex;
    std::vector<BlockLevel> blocks;
};

Waiting &waiting()
{
    // Never destroyed: a capture thread left behind may still publish as the program ends.
    static auto *shared = new Waiting;
    return *shared;
}

} // namespace

BlockLevel measureBlock(const char *frames, qint64 bytes)
{
    const qint64 samples = bytes / qint64(sizeof(qint16));
    int peak = 0;
    for (qint64 i = 0; i < samples; ++i) {
        qint16 sample = 0;
        std::memcpy(&sample, frames + i * qint64(sizeof sample), sizeof sample);
        peak = std::max(peak, std::abs(int(sample)));
    }
    return { peak, samples / kTakeChannels };
}

double levelDb(int peak)
{
    if (peak <= 0)
        return kMeterFloorDb;
    return std::max(kMeterFloorDb, 20.0 * std::log10(peak / kFullScale));
}

void InputLevel::setRecording(bool recording)
{
    if (recording && !m_recording) {
        m_clips = 0;
        m_quiet = 0;
        m_lastClipped = false;
    }
    m_recording = recording;
}

void InputLevel::add(const BlockLevel &block)
{
    const double db = levelDb(block.peak);
    m_level = std::max(db, m_level - kFallDbPerSecond * double(block.frames) / kTakeRate);
    // The peak holds, then falls with the level until something louder comes.
    if (db >= m_peak) {
        m_peak = db;
        m_peakAge = 0;
    } else if ((m_peakAge += block.frames) > kPeakHoldFrames) {
        m_peak = m_level;
    }

    const bool clipped = block.peak >= kClipPeak;
    if (clipped) {
        m_sinceClip = 0;
        if (m_recording && !m_lastClipped)
            ++m_clips;
    } else {
        m_sinceClip = std::min(kClipHoldFrames, m_sinceClip + block.frames);
    }
    m_lastClipped = clipped;

    m_quiet = db < kSilenceDb ? m_quiet + block.frames : 0;
}

void InputLevel::clear()
{
    m_level = m_peak = kMeterFloorDb;
    m_peakAge = 0;
    m_sinceClip = kClipHoldFrames;
    m_lastClipped = false;
    m_quiet = 0;
}

void LevelTap::publish(const char *frames, qint64 bytes)
{
    const BlockLevel block = measureBlock(frames, bytes);
    Waiting &to = waiting();
    const std::scoped_lock lock(to.mutex);
    if (to.blocks.size() >= kMaxWaiting)
        to.blocks.erase(to.blocks.begin());
    to.blocks.push_back(block);
}

std::vector<BlockLevel> LevelTap::drain()
{
    Waiting &from = waiting();
    const std::scoped_lock lock(from.mutex);
    return std::exchange(from.blocks, {});
}
