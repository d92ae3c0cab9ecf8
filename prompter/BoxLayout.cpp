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
