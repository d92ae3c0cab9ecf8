#pragma once

#include <QRect>
#include <cmath>

// Window geometry is designed in twips: 1/1440 inch, 15 to a pixel at 96 dpi.
inline constexpr int kTwipsPerPixel = 15;

inline int twipsToPixels(double twips)
{
    return static_cast<int>(std::lround(twips / kTwipsPerPixel));
}

inline QRect twipsRect(double left, double top, double width, double height)
{
    return QRect(
        twipsToPixels(left), twipsToPixels(top), twipsToPixels(width), twipsToPixels(height));
}
