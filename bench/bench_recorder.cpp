// What recording costs: processor time while a take runs with the time label
// refreshing, resident memory over a ten-minute take, and the WAV save of that
// take (the one step of a save that holds the window).
#include "tests/SyntheticAudio.h"

#include "app/frmMain.h"
#include "platform/Mci.h"
#include "settings/SettingsFile.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QLabel>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>

#include <cstdio>
#include <ctime>

namespace
{

constexpr double kMaxCpuPercent = 3.0;
constexpr double kMaxGrowthMb = 5.0;
constexpr int kCpuSeconds = 5;
constexpr qint64 kTakeSeconds = 10 * 60;
constexpr double kMaxWavSaveSeconds = 0.5;

double residentMb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').first().toDouble() / 1024.0;
    }
    return 0;
}

double cpuSeconds()
{
    timespec t {};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) / 1e9;
}

qint32 send(const QString &command)
{
    QString ret;
    return mciSendStringA(command, ret, 1024, 0);
}

// Real-time recording in the window: the input paced by the clock, the label ticking.
bool cpuWhileRecording()
{
    SyntheticAudio audio;
    audio.realTime = true;
    installWaveAudioDriver(audio.factory());
    frmMain window;
    window.show();
    window.cmdrecord->click();

    QElapsedTimer wall;
    wall.start();
    const double cpuStart = cpuSeconds();
    QEventLoop loop;
    QTimer::singleShot(kCpuSeconds * 1000, &loop, &QEventLoop::quit);
    loop.exec();
    const double cpu = cpuSeconds() - cpuStart;
    const double percent = 100.0 * cpu / (double(wall.elapsed()) / 1000.0);
    window.cmdstop->click();
    send(QStringLiteral("close all"));

    const bool ok = percent < kMaxCpuPercent && audio.capturedFrames > 0
        && window.lbltime->text() != QStringLiteral("00:00");
    std::printf("recording, %d s in real time: %.2f %% of one core (limit %.1f %%), "
                "%lld frames, label %s: %s\n",
        kCpuSeconds, percent, kMaxCpuPercent, static_cast<long long>(audio.capturedFrames),
        qPrintable(window.lbltime->text()), ok ? "ok" : "FAILED");
    return ok;
}

// Ten minutes of input fed as fast as it can be written.
bool memoryOverALongTake()
{
    SyntheticAudio audio;
    installWaveAudioDriver(audio.factory());
    if (send(QStringLiteral("open new Type waveaudio Alias recSound")) != 0
        || send(QStringLiteral("record recSound")) != 0)
        return false;
    audio.feed(kTakeRate); // settle buffers before measuring
    const double before = residentMb();
    for (qint64 second = 1; second < kTakeSeconds; ++second) {
        audio.feed(kTakeRate);
        QCoreApplication::processEvents();
    }
    const double after = residentMb();
    send(QStringLiteral("stop recSound"));

    const double growth = after - before;
    const bool ok = growth < kMaxGrowthMb && audio.capturedFrames == kTakeSeconds * kTakeRate;
    std::printf("10-minute take: resident %.1f MB -> %.1f MB, growth %.2f MB (limit %.0f MB): %s\n",
        before, after, growth, kMaxGrowthMb, ok ? "ok" : "FAILED");

    QTemporaryDir folder;
    QElapsedTimer clock;
    clock.start();
    const bool saved = send(QStringLiteral("save recSound %1 wait")
                                .arg(folder.filePath(QStringLiteral("ten minutes.wav"))))
        == 0;
    const double seconds = double(clock.nsecsElapsed()) / 1e9;
    send(QStringLiteral("close all"));
    const bool fast = saved && seconds < kMaxWavSaveSeconds;
    std::printf("WAV save of the 10-minute take (%.0f MB): %.3f s (limit %.1f s): %s\n",
        double(kTakeSeconds * kTakeRate * kTakeFrameBytes) / 1e6, seconds, kMaxWavSaveSeconds,
        fast ? "ok" : "FAILED");
    return ok && fast;
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QTemporaryDir settings;
    SettingsFile::setFolder(settings.path());
    SettingsFile::createIfMissing();

    const bool memory = memoryOverALongTake();
    const bool cpu = cpuWhileRecording();
    return memory && cpu ? 0 : 1;
}
