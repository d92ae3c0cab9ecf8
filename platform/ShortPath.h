#pragma once

#include <QString>

// Stands in for the system's short-path query. This platform has no 8.3 names:
// an existing file answers with its own path. Returns the length written, the
// length needed when the buffer is too small, or 0 when the file does not exist.
quint32 GetShortPathNameA(const QString &longPath, QString &buffer, quint32 bufferLength);
