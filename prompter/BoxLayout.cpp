#include "prompter/BoxLayout.h"

#include <array>
#include <cmath>
#include <cstdlib>

namespace
{

struct Row {
    int points;
    BoxLayout layout;
};

// Made for Tahoma's line height on Windows at 96 dpi (58, 45 and 39 pixels);
// every row's height + hand-over Top is kHandoverEdge.
constexpr std::array<Row, 3> kRows { {
    { 36, { 112, 97600, -91900 } },
    { 28, { 144, 97200, -91500 } },
    { 24, { 166, 97200, -91500 } },
} };

} // namespace

BoxLayout boxLayoutFor(int points, double lineHeight)
{
    const Row *nearest = &kRows.front();
    for (const Row &row : kRows) {
        if (std::abs(row.points - points) < std::abs(nearest->points - points))
            nearest = &row;
    }
    BoxLayout layout = nearest->layout;
    const double needed = std::ceil(layout.lines * lineHeight);
    if (needed > layout.boxHeight || layout.boxHeight - needed >= lineHeight) {
        layout.boxHeight = static_cast<int>(needed);
        layout.handoverTop = kHandoverEdge - layout.boxHeight;
    }
    return layout;
}
