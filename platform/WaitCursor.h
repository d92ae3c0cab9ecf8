#pragma once

#include <QApplication>

// The wait cursor over the whole program for as long as it lives, around work
// that may keep the window busy for a noticeable time (a big script).
class WaitCursor
{
public:
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
    Q_DISABLE_COPY(WaitCursor)
};
