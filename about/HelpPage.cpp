#include "about/HelpPage.h"

#include <QCoreApplication>
#include <QUrl>

QString helpPageAddress()
{
    const QString page
        = QCoreApplication::applicationDirPath() + QStringLiteral("/help/index.html");
    return QUrl::fromLocalFile(page).toString();
}
