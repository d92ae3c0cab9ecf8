#include "platform/Fonts.h"

#include <QDirIterator>
#include <QFontDatabase>
#include <QStandardPaths>
#include <QStringList>
#include <cmath>

namespace
{
QString &faceName()
{
    static QString name = QStringLiteral("Sans Serif");
    return name;
}

// The Tahoma files: in Wine's font folder where a distribution ships them there,
// otherwise anywhere below the fonts folders of the data directories.
QStringList tahomaFiles()
{
    const QStringList names = { QStringLiteral("tahoma.ttf"), QStringLiteral("tahomabd.ttf") };
    const QStringList dataDirs
        = QStandardPaths::standardLocations(QStandardPaths::GenericDataLocation);
    QStringList found;
    for (const QString &dir : dataDirs) {
        for (const QString &name : names) {
            const QString wine = dir + QStringLiteral("/wine/fonts/") + name;
            if (QFileInfo::exists(wine))
                found << wine;
        }
        if (!found.isEmpty())
            return found;
    }
    for (const QString &dir : dataDirs) {
        QDirIterator it(dir + QStringLiteral("/fonts"), QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString path = it.next();
            if (names.contains(it.fileName(), Qt::CaseInsensitive))
                found << path;
        }
        if (!found.isEmpty())
            return found;
    }
    return found;
}
} // namespace

bool loadTahoma()
{
    bool loaded = false;
    for (const QString &file : tahomaFiles()) {
        const int id = QFontDatabase::addApplicationFont(file);
        if (id < 0)
            continue;
        const QStringList families = QFontDatabase::applicationFontFamilies(id);
        if (!families.isEmpty()) {
            faceName() = families.first();
            loaded = true;
        }
    }
    return loaded;
}

QFont tahoma(double points, bool bold)
{
    QFont font(faceName());
    font.setPixelSize(static_cast<int>(std::lround(points * 96.0 / 72.0)));
    font.setBold(bold);
    font.setStyleHint(QFont::SansSerif);
    return font;
}
