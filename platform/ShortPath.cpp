#include "platform/ShortPath.h"

#include <QFileInfo>

quint32 GetShortPathNameA(const QString &longPath, QString &buffer, quint32 bufferLength)
{
    if (longPath.isEmpty() || !QFileInfo::exists(longPath))
        return 0;
    const auto length = quint32(longPath.size());
    if (length >= bufferLength)
        return length + 1; // room for the terminator, as the system counts it
    buffer = longPath;
    return length;
}
