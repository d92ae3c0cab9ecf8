#pragma once

#include <QString>

// The help page ships in a "help" folder beside the program, so it opens offline.
QString helpPagePath();
// Its file address (file:///…/help/index.html).
QString helpPageAddress();
