#include "platform/Fonts.h"

#include <QFontDatabase>
#include <QStringList>
#include <cmath>

namespace
{
QString &faceName()
{
    static QString name = QStringLiteral("Sans Serif");
    return name;
}
} // namespace

bool loadTahoma()
{
    static const char *const files[]
        = { "/usr/share/wine/fonts/tahoma.ttf", "/usr/share/wine/fonts/tahomabd.ttf" };
    bool loaded = false;
    for (const char *file : files) {
        const int id = QFontDatabase::addApplicationFont(QString::fromLatin1(file));
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
