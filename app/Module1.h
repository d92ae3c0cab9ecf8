#pragma once

#include <QString>

// Settings shared by the windows for the whole run, as last read from settings.ini.
// They start at the values a first settings.ini holds.
inline qint16 gFontSize = 36; // prompt font size, points
inline QString gFontColor = QStringLiteral("65535"); // colours as text, exactly as read
inline QString gBackColor = QStringLiteral("0");
inline QString gLineColor = QStringLiteral("255");

// Working variables of the settings reading loop: the line just read and its number (from 1).
inline qint16 gSettingsLine = 0;
inline QString gSettingsText;

// The short form of a full path, as the recorder hands it to the sound device.
// A file still to be written answers with its own path when its folder can be
// written, so an empty answer also means the place cannot be written.
QString GetShortName(const QString &path);
