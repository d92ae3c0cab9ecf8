#include "follow/FollowSpeed.h"

#include <algorithm>
#include <cmath>

namespace
{

constexpr double kTicksPerSecond = 62.5; // a tick is 16 ms
// The distance is closed in about half a second: the voice is heard late enough already.
constexpr double kCloseIn = 0.5;
constexpr int kTopSpeed = 110; // the speed bar's end
// Per tick: a catch-up accelerates rather than jumps, but a stop takes only 11 ticks.
constexpr int kSpeedUp = 6;
constexpr int kSlowDown = 10;
// Seconds without a word after which the presenter has stopped; with the slowing down, the
// text stands still within a second.
constexpr double kQuietAfter = 0.8;

} // namespace

int FollowSpeed::speedFor(double distance, double heardAgo, bool offScript)
{
    int wanted = 0;
    // Never scrolls back: a spoken point above the reading line only waits for the text.
    if (heardAgo <= kQuietAfter && !offScript)
        wanted = int(std::lround(
            std::clamp(distance / (kTicksPerSecond * kCloseIn), 0.0, double(kTopSpeed))));
    m_speed = std::clamp(wanted, m_speed - kSlowDown, m_speed + kSpeedUp);
    return m_speed;
}
