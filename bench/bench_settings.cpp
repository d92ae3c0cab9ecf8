// A drag of the speed scroll box rewrites settings.ini at every scroll event:
// how long one such event takes, file rewrite included.
#include "bench/Verdict.h"

#include "app/frmMain.h"
#include "settings/SettingsFile.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QScrollBar>
#include <QTemporaryDir>

#include <algorithm>
#include <vector>

namespace
{

// The speed line of settings.ini as it is on disk now.
QByteArray storedSpeed()
{
    QFile file(SettingsFile::path());
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray();
    const QList<QByteArray> lines = file.readAll().split('\n');
    return lines.size() > 4 ? lines[4].trimmed() : QByteArray();
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    Verdict verdict("bench_settings");
    QTemporaryDir dir;
    SettingsFile::setFolder(dir.path());
    SettingsFile::createIfMissing();
    frmMain window;
    QScrollBar *speed = verdict.control<QScrollBar>(window, "hscspeed");

    constexpr int kEvents = 2000;
    std::vector<double> ms;
    ms.reserve(kEvents);
    int stored = 0; // events whose position reached the file
    speed->setSliderDown(true);
    QElapsedTimer timer;
    for (int i = 0; i < kEvents; ++i) {
        const int position = i % 2 ? 20 : -20;
        timer.start();
        speed->setSliderPosition(position);
        ms.push_back(double(timer.nsecsElapsed()) / 1e6);
        stored += storedSpeed() == QByteArray::number(position);
    }
    speed->setSliderDown(false);
    verdict.require(stored == kEvents,
        QStringLiteral("settings.ini holds the dragged speed after every scroll event (%1 of %2)")
            .arg(stored)
            .arg(kEvents));

    std::sort(ms.begin(), ms.end());
    const auto figure = [](const char *which) {
        return QStringLiteral("settings rewrite per scroll event, %1 of %2")
            .arg(QLatin1String(which))
            .arg(kEvents);
    };
    verdict.judge(
        figure("median"), ms[kEvents / 2], QStringLiteral("ms"), Verdict::Bound::Below, 1.0, 3);
    verdict.judge(figure("95th percentile"), ms[kEvents * 95 / 100], QStringLiteral("ms"),
        Verdict::Bound::Below, 1.0, 3);
    verdict.inform(figure("longest"), ms.back(), QStringLiteral("ms"), 3);
    return verdict.exitCode();
}
