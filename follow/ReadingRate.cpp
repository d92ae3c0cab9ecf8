#include "follow/ReadingRate.h"

#include <cmath>

namespace
{

constexpr qint64 kWindowMs = 30'000;
// Less than this, and a sentence's burst of words would read as a rate.
constexpr qint64 kLeastMs = 5'000;

} // namespace

void ReadingRate::reset()
{
    m_readings.clear();
}

void ReadingRate::read(int words, qint64 atMs)
{
    m_readings.push_back({ atMs, words });
    while (atMs - m_readings.front().at > kWindowMs)
        m_readings.pop_front();
}

std::optional<int> ReadingRate::wordsPerMinute(qint64 nowMs) const
{
    if (m_readings.empty())
        return std::nullopt;
    // Since the first words were read, or over the last half minute once there is one.
    const qint64 since = std::max(m_readings.front().at, nowMs - kWindowMs);
    const qint64 span = nowMs - since;
    if (span < kLeastMs)
        return std::nullopt;
    int words = 0;
    for (const Reading &reading : m_readings)
        words += reading.at > since ? reading.words : 0;
    return int(std::lround(words * 60'000.0 / double(span)));
}
