#pragma once

#include <QPainter>
#include <QSize>

// Turns a painter so that a picture of the given size comes out flipped as the mirror says:
// Qt::Horizontal left to right, Qt::Vertical top to bottom.
inline void flip(QPainter &painter, const QSize &picture, Qt::Orientations mirror)
{
    if (mirror & Qt::Horizontal) {
        painter.translate(picture.width(), 0);
        painter.scale(-1, 1);
    }
    if (mirror & Qt::Vertical) {
        painter.translate(0, picture.height());
        painter.scale(1, -1);
    }
}
