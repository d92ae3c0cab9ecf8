// A drag of the speed scroll box rewrites settings.ini at every scroll event:
// how long one such event takes, file rewrite included.
#include "app/frmMain.h"
#include "settings/SettingsFile.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QScrollBar>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QTemporaryDir dir;
    SettingsFile::setFolder(dir.path());
    SettingsFile::createIfMissing();
    frmMain window;

    constexpr int kEvents = 2000;
    std::vector<double> micros;
    micros.reserve(kEvents);
    window.hscspeed->setSliderDown(true);
    QElapsedTimer timer;
    for (int i = 0; i < kEvents; ++i) {
        timer.start();
        window.hscspeed->setSliderPosition(i % 2 ? 20 : -20);
        micros.push_back(double(timer.nsecsElapsed()) / 1000.0);
    }
    window.hscspeed->setSliderDown(false);

    std::sort(micros.begin(), micros.end());
    QFile file(SettingsFile::path());
    file.open(QIODevice::ReadOnly);
    std::printf("settings rewrite per scroll event over %d events: median %.1f us, "
                "95th percentile %.1f us, max %.1f us (target: well under 1000 us)\n",
        kEvents, micros[kEvents / 2], micros[kEvents * 95 / 100], micros.back());
    std::printf("file after the drag: %s\n", file.readAll().replace("\r\n", " | ").constData());
    return 0;
}
