#pragma once

#include <QString>

#include <functional>

// Rounds to the nearest whole number, an exact half to the even neighbour.
qint32 roundHalfEven(double value);

// The recording time as the recorder panel shows it: "mm:ss", minutes counting on
// past 59 with no hour field.
QString recordTimeText(qint32 elapsedSeconds);

// Seconds on a clock that never jumps (with fraction), so a take that runs across
// midnight or a clock change is timed right.
double recordClockSeconds();

// Test seam: while set, the recorder reads this clock instead.
void setRecordClock(std::function<double()> clock);
