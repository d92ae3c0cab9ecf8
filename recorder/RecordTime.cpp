#include "recorder/RecordTime.h"

#include <QElapsedTimer>

#include <cmath>

namespace
{
std::function<double()> &clockOverride()
{
    static std::function<double()> clock;
    return clock;
}
} // namespace

qint32 roundHalfEven(double value)
{
    // The default floating-point rounding mode rounds halves to even.
    return qint32(std::nearbyint(value));
}

QString recordTimeText(qint32 elapsedSeconds)
{
    const QChar zero(QLatin1Char('0'));
    if (elapsedSeconds >= 60) {
        return QStringLiteral("%1:%2")
            .arg(elapsedSeconds / 60, 2, 10, zero)
            .arg(elapsedSeconds % 60, 2, 10, zero);
    }
    return QStringLiteral("00:%1").arg(elapsedSeconds, 2, 10, zero);
}

double recordClockSeconds()
{
    if (clockOverride())
        return clockOverride()();
    // The monotonic clock counts from a fixed point, usually the machine's start.
    QElapsedTimer now;
    now.start();
    return double(now.msecsSinceReference()) / 1000.0;
}

void setRecordClock(std::function<double()> clock)
{
    clockOverride() = std::move(clock);
}
