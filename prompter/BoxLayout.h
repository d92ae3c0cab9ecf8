#pragma once

// Where prompt boxes wait and hand over, twips from the top of the prompt area:
// a box waits at kWaitingTop, just below the area; once its predecessor's bottom
// edge has risen above kHandoverEdge it follows that edge, at most
// kMaxHandoverGap below it and never above it.
inline constexpr int kWaitingTop = 5800;
inline constexpr int kHandoverEdge = 5700;
inline constexpr int kMaxHandoverGap = kWaitingTop - kHandoverEdge;

// Display lines cut into one prompt box at a font size of 24, 28 or 36 points, the
// sizes the settings file takes every size to. Each box is then as tall as the
// text it holds.
int linesPerBox(int points);
