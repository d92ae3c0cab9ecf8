#pragma once

// How the script is cut into prompt boxes at a font size: lines per box, the
// boxes' height and the Top below which a box lets the next one start, in twips.
struct BoxLayout {
    int lines;
    int boxHeight;
    int handoverTop;
};

// A box's bottom edge hands over here, 100 twips above the Top at which the next box waits.
inline constexpr int kHandoverEdge = 5700;
inline constexpr int kWaitingTop = 5800;

// The layout for a font size in points, by the nearest of the sizes 24, 28 and 36
// (ties go to the larger). lineHeight is the face's real line height in twips.
// The rows' heights hold their lines at Tahoma's line height on Windows. A face
// whose lines would overflow such a box, or leave a whole line or more of it
// empty (a blank stretch in the script where one box hands over to the next),
// gets a box just tall enough for its lines, and the hand-over Top moves with it.
BoxLayout boxLayoutFor(int points, double lineHeight);
