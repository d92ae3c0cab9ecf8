#include "platform/PrivateFolder.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>

#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

QString fileErrorReason(int error)
{
    switch (error) {
    case EACCES:
    case EPERM:
    case EROFS:
        return QStringLiteral("IT CANNOT BE WRITTEN TO");
    case ENOSPC:
    case EDQUOT:
        return QStringLiteral("THE DISK IS FULL");
    default:
        return qt_error_string(error).toUpper();
    }
}

QString makePrivateFolder(const QString &path)
{
    const QByteArray name = QFile::encodeName(path);
    if (::mkdir(name.constData(), 0700) != 0 && errno != EEXIST)
        return QStringLiteral("THE FOLDER %1 CANNOT BE MADE: %2.")
            .arg(path, fileErrorReason(errno));
    struct stat info {
    };
    if (lstat(name.constData(), &info) != 0)
        return QStringLiteral("THE FOLDER %1 CANNOT BE READ: %2.")
            .arg(path, fileErrorReason(errno));
    if (S_ISLNK(info.st_mode))
        return QStringLiteral("%1 IS A LINK, NOT A FOLDER OF ITS OWN.").arg(path);
    if (!S_ISDIR(info.st_mode))
        return QStringLiteral("%1 IS NO FOLDER.").arg(path);
    if (info.st_uid != geteuid())
        return QStringLiteral("THE FOLDER %1 BELONGS TO ANOTHER USER.").arg(path);
    if (chmod(name.constData(), 0700) != 0)
        return QStringLiteral("THE FOLDER %1 CANNOT BE MADE PRIVATE: %2.")
            .arg(path, fileErrorReason(errno));
    return QString();
}

QString privateDataFolder(const QString &name, QString *problem)
{
    const QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    const QString app = data + QStringLiteral("/tellvane");
    const QString folder = app + QLatin1Char('/') + name;
    QString why;
    if (data.isEmpty())
        why = QStringLiteral("THERE IS NO FOLDER FOR YOUR DATA.");
    else if (!QDir().mkpath(data))
        why = QStringLiteral("THE FOLDER %1 CANNOT BE MADE.").arg(data);
    else if (why = makePrivateFolder(app); why.isEmpty())
        why = makePrivateFolder(folder);
    if (problem)
        *problem = why;
    return why.isEmpty() ? folder : QString();
}
