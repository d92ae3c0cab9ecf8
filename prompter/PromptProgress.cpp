#include "prompter/PromptProgress.h"

#include "prompter/Scroller.h"

#include <algorithm>
#include <cmath>

namespace
{
constexpr qint64 kWindowMs = 20'000; // the pace measured over this much of the past
constexpr qint64 kMinWindowMs = 3'000; // and not before this much of it
} // namespace

PromptProgress::PromptProgress(const Scroller &scroller, Clock clock, QObject *parent)
    : QObject(parent)
    , m_scroller(scroller)
    , m_clock(std::move(clock))
{
    if (!m_clock)
        m_clock = systemSteadyClock();
    connect(&scroller, &Scroller::started, this, [this] {
        m_startedAt = m_clock();
        m_samples.clear();
    });
    connect(&scroller, &Scroller::stopped, this, [this] {
        m_startedAt.reset();
        m_samples.clear();
    });
    connect(&scroller, &Scroller::moved, this, &PromptProgress::sample);
}

void PromptProgress::setMeasured(bool measured)
{
    m_measured = measured;
    m_samples.clear();
}

void PromptProgress::sample()
{
    if (!m_measured)
        return;
    const qint64 now = m_clock();
    m_samples.push_back({ now, m_scroller.twipsLeft() });
    while (m_samples.size() > 2 && now - m_samples.front().at > kWindowMs)
        m_samples.pop_front();
}

qint64 PromptProgress::elapsedMs() const
{
    return m_startedAt ? m_clock() - *m_startedAt : 0;
}

double PromptProgress::progress() const
{
    const int lines = m_scroller.lineCount();
    if (!m_scroller.isRunning() || lines <= 0)
        return 0;
    const Scroller::Position at = m_scroller.readingPosition();
    return std::clamp((at.line + at.fraction) / lines, 0.0, 1.0);
}

std::optional<qint64> PromptProgress::leftMs() const
{
    if (!m_scroller.isRunning())
        return std::nullopt;
    const double twips = m_scroller.twipsLeft();
    if (twips <= 0)
        return 0;
    if (m_scroller.state() != Scroller::State::Scrolling)
        return std::nullopt;
    if (m_measured) {
        if (const std::optional<qint64> left = m_leftAtRate ? m_leftAtRate() : std::nullopt)
            return left;
        // Twips a millisecond, over the moments measured; pauses in the voice count too.
        if (m_samples.size() < 2 || m_clock() - m_samples.front().at < kMinWindowMs)
            return std::nullopt;
        const double risen = m_samples.front().left - twips;
        const double elapsed = double(m_clock() - m_samples.front().at);
        if (risen <= 0)
            return std::nullopt;
        return qint64(std::ceil(twips / (risen / elapsed)));
    }
    if (m_scroller.speed() <= 0)
        return std::nullopt;
    return qint64(std::ceil(twips / m_scroller.speed()) * Scroller::kTickMs);
}
