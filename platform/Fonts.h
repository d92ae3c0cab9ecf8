#pragma once

#include <QFont>

// Adds the Tahoma faces to the application; returns false when they are missing
// and the default sans face stands in.
bool loadTahoma();

// Tahoma at a size in points, applied as pixels at 96 dpi so that twips layouts
// hold on any screen (36 pt = 48 px).
QFont tahoma(double points, bool bold = false);

// The controls' common text face, Tahoma 8.25 pt.
inline QFont controlFont()
{
    return tahoma(8.25);
}
