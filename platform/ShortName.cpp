#include "platform/ShortName.h"

#include "platform/ShortPath.h"

#include <QFile>
#include <QFileInfo>

#include <fcntl.h>
#include <unistd.h>

namespace
{
// Asked with the rights the write itself will have, not the real user's. Nothing is
// created to find out: a file made at a planted link's target would stay behind.
bool canCreateIn(const QString &folder)
{
    return QFileInfo(folder).isDir()
        && faccessat(AT_FDCWD, QFile::encodeName(folder).constData(), W_OK | X_OK, AT_EACCESS) == 0;
}
} // namespace

QString GetShortName(const QString &path)
{
    constexpr quint32 kBufferLength = 255;
    QString buffer(kBufferLength, QLatin1Char(' '));
    quint32 result = GetShortPathNameA(path, buffer, kBufferLength);
    // A file still to be written has no short name of its own yet; the long one serves.
    if (result == 0 && !path.isEmpty() && canCreateIn(QFileInfo(path).absolutePath())) {
        buffer = path;
        result = quint32(path.size());
    }
    // A path too long for the buffer has no usable short form.
    if (result == 0 || result >= kBufferLength)
        return QString();
    return buffer.left(qsizetype(result));
}
