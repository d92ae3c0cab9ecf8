#pragma once

#include <utility>
#include <vector>

// Where prompt boxes wait and hand over, twips from the top of the prompt area:
// a box waits at kWaitingTop, just below the area; once its predecessor's bottom
// edge has risen above kHandoverEdge it follows that edge, at most
// kMaxHandoverGap below it and never above it.
inline constexpr int kWaitingTop = 5800;
inline constexpr int kHandoverEdge = 5700;
inline constexpr int kMaxHandoverGap = kWaitingTop - kHandoverEdge;

// The reading line, twips from the top of the prompt area, and the point on it a line is
// read at: its middle.
inline constexpr int kReadingLineTop = 2700;
inline constexpr int kReadingLineHeight = 45;
inline constexpr double kReadingPoint = kReadingLineTop + kReadingLineHeight / 2.0;

// Display lines cut into one prompt box at a font size of 24, 28 or 36 points, the
// sizes the settings file takes every size to. Each box is then as tall as the
// text it holds.
int linesPerBox(int points);

// The display lines of each box, first and one past the last, for a script of lineCount
// display lines cut perBox at a time; the last box holds the rest. One box at least.
std::vector<std::pair<int, int>> cutIntoBoxes(int lineCount, int perBox);
