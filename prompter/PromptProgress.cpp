#include "prompter/PromptProgress.h"

#include "prompter/Scroller.h"

#include <QElapsedTimer>

#include <algorithm>
#include <cmath>
#include <memory>

PromptProgress::PromptProgress(const Scroller &scroller, Clock clock, QObject *parent)
    : QObject(parent)
    , m_scroller(scroller)
    , m_clock(std::move(clock))
{
    if (!m_clock) {
        auto steady = std::make_shared<QElapsedTimer>();
        steady->start();
        m_clock = [steady] { return steady->elapsed(); };
    }
    connect(&scroller, &Scroller::started, this, [this] { m_startedAt = m_clock(); });
    connect(&scroller, &Scroller::stopped, this, [this] { m_startedAt.reset(); });
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
    if (m_scroller.speed() <= 0 || m_scroller.state() != Scroller::State::Scrolling)
        return std::nullopt;
    return qint64(std::ceil(twips / m_scroller.speed()) * Scroller::kTickMs);
}
