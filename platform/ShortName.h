#pragma once

#include <QString>

// The short form of a full path, as the recorder hands it to the sound device.
// A file still to be written answers with its own path when its folder can be
// written, so an empty answer also means the place cannot be written.
QString GetShortName(const QString &path);
