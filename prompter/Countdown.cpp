#include "prompter/Countdown.h"

#include "prompter/Scroller.h"

Countdown::Countdown(Scroller &scroller, Clock clock, QObject *parent)
    : QObject(parent)
    , m_scroller(scroller)
    , m_clock(std::move(clock))
{
    if (!m_clock)
        m_clock = systemSteadyClock();
    connect(&scroller, &Scroller::started, this, &Countdown::begin);
    connect(&scroller, &Scroller::ticking, this, &Countdown::check);
    connect(&scroller, &Scroller::stopped, this, &Countdown::finish);
}

void Countdown::setEnabled(bool enabled)
{
    m_enabled = enabled;
    if (!enabled)
        finish();
}

void Countdown::begin()
{
    if (!m_enabled)
        return;
    m_until = m_clock() + kSeconds * 1000;
    m_scroller.setWaiting(true);
    show(kSeconds);
}

void Countdown::check()
{
    if (!m_until)
        return;
    const qint64 left = *m_until - m_clock();
    if (left <= 0)
        finish();
    else
        show(int((left + 999) / 1000));
}

void Countdown::finish()
{
    m_until.reset();
    m_scroller.setWaiting(false);
    show(0);
}

void Countdown::show(int count)
{
    if (count == m_count)
        return;
    m_count = count;
    Q_EMIT countChanged(count);
}
