#pragma once

#include <QElapsedTimer>

#include <functional>
#include <memory>

// Milliseconds of a steady clock; what a class that times things takes, so that a test can
// hand it a clock of its own.
using SteadyClock = std::function<qint64()>;

// The system's steady clock, counting from now.
inline SteadyClock systemSteadyClock()
{
    auto steady = std::make_shared<QElapsedTimer>();
    steady->start();
    return [steady] { return steady->elapsed(); };
}
