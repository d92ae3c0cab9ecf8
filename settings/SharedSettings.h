#pragma once

#include <QString>

// Settings shared by the windows for the whole run, as last read from settings.ini.
// They start at the values a first settings.ini holds.
inline qint16 gFontSize = 36; // prompt font size, points
inline QString gFontColor = QStringLiteral("65535"); // colours as text, exactly as read
inline QString gBackColor = QStringLiteral("0");
inline QString gLineColor = QStringLiteral("255");
