// Encodes a 10-minute take at 128 kbit/s with OcxLame and with the lame command, and watches
// how long the user-interface thread goes without running its timers meanwhile.
#include "bench/Verdict.h"

#include "recorder/OcxLame.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>

#include <sndfile.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <random>
#include <vector>

namespace
{

constexpr int kRate = 44100;
constexpr int kSeconds = 600;
constexpr int kRounds = 2;
constexpr double kMaxGapMs = 50.0;

// Speech-like enough for the encoder: a wandering pitch with harmonics, a syllable envelope and
// a little noise, different in each channel.
bool writeTake(const QString &path)
{
    SF_INFO info {};
    info.samplerate = kRate;
    info.channels = 2;
    info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
    SNDFILE *file = sf_open(QFile::encodeName(path).constData(), SFM_WRITE, &info);
    if (!file)
        return false;
    std::mt19937 random(7);
    std::normal_distribution<double> noise(0.0, 0.01);
    std::vector<double> chunk(2 * kRate);
    double phase = 0;
    bool written = true;
    for (int second = 0; second < kSeconds && written; ++second) {
        for (int i = 0; i < kRate; ++i) {
            const double t = second + double(i) / kRate;
            const double pitch = 140 + 40 * std::sin(2 * std::numbers::pi * 0.7 * t);
            phase += 2 * std::numbers::pi * pitch / kRate;
            const double envelope = 0.5 + 0.5 * std::sin(2 * std::numbers::pi * 4 * t);
            const double voice = envelope
                * (0.3 * std::sin(phase) + 0.15 * std::sin(2 * phase) + 0.08 * std::sin(3 * phase));
            chunk[size_t(2 * i)] = voice + noise(random);
            chunk[size_t(2 * i + 1)] = 0.8 * voice + noise(random);
        }
        written = sf_writef_double(file, chunk.data(), kRate) == kRate;
    }
    return sf_close(file) == 0 && written;
}

struct OurRun {
    bool ok = false;
    double seconds = 0;
    double callMs = 0;
    double maxGapMs = 0;
};

OurRun encodeWithOcxLame(const QString &wav, const QString &mp3)
{
    OurRun run;
    OcxLame lame;
    lame.setBitrate(QStringLiteral("128"));
    QEventLoop loop;
    QObject::connect(&lame, &OcxLame::Progress, &loop, [&](int percent) {
        if (percent == 100) {
            run.ok = true;
            loop.quit();
        }
    });
    QObject::connect(&lame, &OcxLame::Failed, &loop, &QEventLoop::quit);

    QElapsedTimer sinceTick;
    QTimer ticker;
    ticker.setTimerType(Qt::PreciseTimer);
    ticker.setInterval(5);
    QObject::connect(&ticker, &QTimer::timeout, &loop, [&] {
        run.maxGapMs = std::max(run.maxGapMs, double(sinceTick.nsecsElapsed()) / 1e6);
        sinceTick.restart();
    });

    QElapsedTimer clock;
    clock.start();
    sinceTick.start();
    ticker.start();
    if (!lame.EncodeFile(wav, mp3))
        return run;
    run.callMs = double(clock.nsecsElapsed()) / 1e6;
    loop.exec();
    run.seconds = double(clock.nsecsElapsed()) / 1e9;
    return run;
}

double encodeWithCommand(const QString &lame, const QString &wav, const QString &mp3)
{
    QProcess process;
    QElapsedTimer clock;
    clock.start();
    process.start(lame,
        { QStringLiteral("--quiet"), QStringLiteral("-b"), QStringLiteral("128"),
            QStringLiteral("-m"), QStringLiteral("j"), wav, mp3 });
    if (!process.waitForFinished(-1) || process.exitCode() != 0)
        return -1;
    return double(clock.nsecsElapsed()) / 1e9;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    Verdict verdict("bench_encoder");
    const QString lameCommand = QStandardPaths::findExecutable(QStringLiteral("lame"));
    if (lameCommand.isEmpty())
        verdict.abandon(QStringLiteral("the lame command is not installed"));
    QTemporaryDir dir;
    const QString wav = dir.filePath(QStringLiteral("take.wav"));
    if (!writeTake(wav))
        verdict.abandon(QStringLiteral("cannot write %1").arg(wav));

    // Alternating rounds, best of each, so that a busy moment of the machine hurts neither side.
    double commandBest = 1e9;
    OurRun oursBest;
    oursBest.seconds = 1e9;
    double worstGapMs = 0;
    double worstCallMs = 0;
    for (int round = 0; round < kRounds; ++round) {
        const QString mp3 = dir.filePath(QStringLiteral("ours.mp3"));
        QFile::remove(mp3);
        const double command
            = encodeWithCommand(lameCommand, wav, dir.filePath(QStringLiteral("command.mp3")));
        const OurRun ours = encodeWithOcxLame(wav, mp3);
        // A 10-minute take at 128 kbit/s is about 9.6 MB; anything much smaller was not encoded.
        if (command < 0 || !ours.ok || QFileInfo(mp3).size() < kSeconds * 128000 / 8 * 9 / 10)
            verdict.abandon(QStringLiteral("an encoding failed"));
        commandBest = std::min(commandBest, command);
        if (ours.seconds < oursBest.seconds)
            oursBest = ours;
        worstGapMs = std::max(worstGapMs, ours.maxGapMs);
        worstCallMs = std::max(worstCallMs, ours.callMs);
    }

    const QString take
        = QStringLiteral("10-minute stereo WAV at 128 kbit/s, best of %1 rounds").arg(kRounds);
    verdict.inform(take + QStringLiteral(", lame command"), commandBest, QStringLiteral("s"), 2);
    verdict.inform(take + QStringLiteral(", OcxLame"), oursBest.seconds, QStringLiteral("s"), 2);
    verdict.judge(QStringLiteral("speed ratio, lame command time / OcxLame time"),
        commandBest / oursBest.seconds, QString(), Verdict::Bound::AtLeast, 1.0, 2);
    verdict.inform(
        QStringLiteral("longest return of EncodeFile"), worstCallMs, QStringLiteral("ms"), 2);
    verdict.judge(QStringLiteral("longest gap between 5 ms UI-thread ticks while encoding"),
        worstGapMs, QStringLiteral("ms"), Verdict::Bound::AtMost, kMaxGapMs, 1);
    return verdict.exitCode();
}
