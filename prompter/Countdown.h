#pragma once

#include "platform/SteadyClock.h"

#include <QObject>

#include <functional>
#include <optional>

class Scroller;

// An optional 3-2-1 before the text starts to move after a fresh Start: the scroller waits
// while the count runs, and the console and the output window show it large.
class Countdown final : public QObject
{
    Q_OBJECT

public:
    using Clock = SteadyClock;
    static constexpr int kSeconds = 3;

    // Without a clock it reads the system's steady clock.
    explicit Countdown(Scroller &scroller, Clock clock = {}, QObject *parent = nullptr);

    void setEnabled(bool enabled);
    bool isEnabled() const { return m_enabled; }
    // 3, 2 or 1 while counting down; 0 otherwise.
    int count() const { return m_count; }

Q_SIGNALS:
    void countChanged(int count);

private:
    void begin();
    void check();
    void finish();
    void show(int count);

    Scroller &m_scroller;
    Clock m_clock;
    bool m_enabled = false;
    std::optional<qint64> m_until;
    int m_count = 0;
};
