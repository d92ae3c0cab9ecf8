#include "editor/KeptScripts.h"

#include "platform/PrivateFolder.h"
#include "platform/SaveFile.h"

#include <QFile>

namespace
{

QString fileName(KeptScripts::Kind kind)
{
    return kind == KeptScripts::Kind::ClosedText ? QStringLiteral("closed.txt")
                                                 : QStringLiteral("last.txt");
}

} // namespace

namespace KeptScripts
{

std::optional<QString> keep(Kind kind, const QString &text)
{
    QString problem;
    const QString folder = privateDataFolder(QStringLiteral("scripts"), &problem);
    if (folder.isEmpty())
        return problem;
    // As the editor holds it, to the character: restoring gives back exactly what was there.
    if (!saveWhole(folder + QLatin1Char('/') + fileName(kind), text.toUtf8()))
        return QStringLiteral("IT CANNOT BE WRITTEN IN %1.").arg(folder);
    return std::nullopt;
}

bool has(Kind kind)
{
    const QString folder = privateDataFolder(QStringLiteral("scripts"));
    return !folder.isEmpty() && QFile::exists(folder + QLatin1Char('/') + fileName(kind));
}

std::optional<QString> kept(Kind kind)
{
    const QString folder = privateDataFolder(QStringLiteral("scripts"));
    if (folder.isEmpty())
        return std::nullopt;
    QFile file(folder + QLatin1Char('/') + fileName(kind));
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    return QString::fromUtf8(file.readAll());
}

} // namespace KeptScripts
