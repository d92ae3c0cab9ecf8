#pragma once

#include <QColor>

// Colours are stored as Windows COLORREF values: red + 256 * green + 65536 * blue.
inline QColor colorFromRef(qint32 ref)
{
    return QColor(ref & 0xFF, (ref >> 8) & 0xFF, (ref >> 16) & 0xFF);
}

inline qint32 refFromColor(const QColor &color)
{
    return color.red() + 256 * color.green() + 65536 * color.blue();
}
