#pragma once

#include <QEvent>
#include <QObject>

// Counts the paints of the widgets it watches, to show that each measured tick did repaint.
class PaintCounter final : public QObject
{
public:
    int paints = 0;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            ++paints;
        return false;
    }
};
