#include "prompter/BoxLayout.h"

int linesPerBox(int points)
{
    switch (points) {
    case 24:
        return 166;
    case 28:
        return 144;
    default:
        return 112;
    }
}

std::vector<std::pair<int, int>> cutIntoBoxes(int lineCount, int perBox)
{
    std::vector<std::pair<int, int>> boxes;
    int first = 0;
    while (lineCount - first > perBox) {
        boxes.emplace_back(first, first + perBox);
        first += perBox;
    }
    boxes.emplace_back(first, lineCount);
    return boxes;
}
