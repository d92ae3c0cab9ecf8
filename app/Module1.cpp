#include "app/Module1.h"

#include "platform/ShortPath.h"

#include <QFile>

QString GetShortName(const QString &path)
{
    constexpr quint32 kBufferLength = 255;
    QString buffer(kBufferLength, QLatin1Char(' '));
    quint32 result = GetShortPathNameA(path, buffer, kBufferLength);
    if (result == 0) {
        QFile probe(path);
        if (probe.open(QIODevice::WriteOnly)) {
            probe.close();
            result = GetShortPathNameA(path, buffer, kBufferLength);
            probe.remove();
        }
    }
    // A path too long for the buffer has no usable short form.
    if (result == 0 || result >= kBufferLength)
        return QString();
    return buffer.left(qsizetype(result));
}
