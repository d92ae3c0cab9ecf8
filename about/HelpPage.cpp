#include "about/HelpPage.h"

#include <QCoreApplication>
#include <QUrl>

QString helpPagePath()
{
    return QCoreApplication::applicationDirPath() + QStringLiteral("/help/index.html");
}

QString helpPageAddress()
{
    return QUrl::fromLocalFile(helpPagePath()).toString();
}
