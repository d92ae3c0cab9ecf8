#include "app/frmMain.h"
#include "platform/Fonts.h"
#include "recorder/WaveAudioDevice.h"
#include "settings/SettingsFile.h"

#include <QApplication>
#include <QScreen>
#include <QStyleFactory>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tellvane Professional"));
    // One style everywhere, so bar colours and panel captions look as designed.
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    loadTahoma();
    SettingsFile::createIfMissing();
    installWaveAudioDriver();

    frmMain window;
    const QRect screen = window.screen()->availableGeometry();
    window.move(screen.center() - window.rect().center());
    window.show();
    if (QCoreApplication::arguments().contains(QStringLiteral("--remote")))
        window.switchOnRemote();
    return app.exec();
}
