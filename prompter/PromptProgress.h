#pragma once

#include "platform/SteadyClock.h"

#include <QObject>

#include <deque>
#include <functional>
#include <optional>

class Scroller;

// How far the prompt has come and how long it has still to go, from the scroller alone:
// the time since a fresh Start, the part of the script past the reading line, and the time
// left at the present speed. The remote page shows these.
class PromptProgress final : public QObject
{
    Q_OBJECT

public:
    using Clock = SteadyClock;

    // Without a clock it reads the system's steady clock.
    explicit PromptProgress(const Scroller &scroller, Clock clock = {}, QObject *parent = nullptr);

    // Since the fresh Start, paused or not; 0 while idle.
    qint64 elapsedMs() const;
    // The part of the script that has risen past the reading line, 0 to 1.
    double progress() const;
    // At the present speed, or while measuring at the pace the script has risen over the
    // last moments; none while the text stands or runs backwards.
    std::optional<qint64> leftMs() const;
    // Measures the pace from the scroll itself: while following the voice, whose speed
    // changes with every word.
    void setMeasured(bool measured);
    // While measuring, the time left at the presenter's reading rate, when known, comes
    // before the pace of the scroll.
    using LeftAtRate = std::function<std::optional<qint64>()>;
    void setReadingRate(LeftAtRate leftAtRate) { m_leftAtRate = std::move(leftAtRate); }

private:
    struct Sample {
        qint64 at;
        double left;
    };
    void sample();

    const Scroller &m_scroller;
    Clock m_clock;
    std::optional<qint64> m_startedAt;
    bool m_measured = false;
    LeftAtRate m_leftAtRate;
    std::deque<Sample> m_samples; // the twips left, over the last moments
};
