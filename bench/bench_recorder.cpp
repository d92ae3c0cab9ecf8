// What recording costs: processor time while a take runs with the time label
// refreshing, the take's writes and flushes to the disk, resident memory over a
// ten-minute take, and the WAV save of that take (the one step of a save that
// holds the window).
#include "bench/Verdict.h"

#include "app/frmMain.h"
#include "platform/Mci.h"
#include "recorder/AudioBackend.h"
#include "recorder/TakeFile.h"
#include "recorder/WaveAudioDevice.h"
#include "settings/SettingsFile.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QIODevice>
#include <QLabel>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>

#include <chrono>
#include <cmath>
#include <ctime>
#include <numbers>
#include <thread>
#include <vector>

namespace
{

constexpr int kCpuSeconds = 5;
constexpr int kFlushSeconds = 10;
constexpr qint64 kTakeSeconds = 10 * 60;

// Stands in for the microphone: a 440 Hz tone written into the take, either as fast as
// feed() is called or, paced by the clock, as a sound card delivers it.
class ToneInput final : public AudioBackend
{
public:
    explicit ToneInput(bool realTime)
        : m_realTime(realTime)
    {
        QObject::connect(&m_pace, &QTimer::timeout, &m_pace,
            [this] { feed(m_clock.elapsed() * kTakeRate / 1000 - frames); });
    }

    void feed(qint64 count)
    {
        std::vector<qint16> buffer(size_t(count * kTakeChannels));
        for (qint64 i = 0; i < count; ++i)
            buffer[size_t(2 * i)] = buffer[size_t(2 * i + 1)] = qint16(std::lround(8000.0
                * std::sin(2.0 * std::numbers::pi * 440.0 * double(frames + i) / kTakeRate)));
        if (m_sink && count > 0
            && m_sink->write(reinterpret_cast<const char *>(buffer.data()), count * kTakeFrameBytes)
                == count * kTakeFrameBytes)
            frames += count;
    }

    MciError startCapture(QIODevice *sink) override
    {
        m_sink = sink;
        if (m_realTime) {
            m_clock.start();
            m_pace.start(10);
        }
        return MciError::None;
    }
    void stopCapture() override
    {
        m_pace.stop();
        m_sink = nullptr;
    }
    MciError startPlayback(QIODevice *) override { return MciError::NoOutputDevice; }
    void stopPlayback() override { }

    qint64 frames = 0; // written into the take so far

private:
    bool m_realTime;
    QIODevice *m_sink = nullptr;
    QTimer m_pace;
    QElapsedTimer m_clock;
};

// The element's input, as the driver hands it out; the element owns it.
ToneInput *gInput = nullptr;

void installToneInput(bool realTime)
{
    installWaveAudioDriver([realTime] {
        auto input = std::make_unique<ToneInput>(realTime);
        gInput = input.get();
        return input;
    });
}

double residentMb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return std::nan("");
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').first().toDouble() / 1024.0;
    }
    return std::nan("");
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
void cpuWhileRecording(Verdict &verdict)
{
    installToneInput(true);
    frmMain window;
    window.show();
    verdict.control<QToolButton>(window, "cmdrecord")->click();

    QElapsedTimer wall;
    wall.start();
    const double cpuStart = cpuSeconds();
    QEventLoop loop;
    QTimer::singleShot(kCpuSeconds * 1000, &loop, &QEventLoop::quit);
    loop.exec();
    const double cpu = cpuSeconds() - cpuStart;
    const double percent = 100.0 * cpu / (double(wall.elapsed()) / 1000.0);
    const qint64 frames = gInput ? gInput->frames : 0;
    verdict.control<QToolButton>(window, "cmdstop")->click();
    const QString shown = verdict.control<QLabel>(window, "lbltime")->text();
    send(QStringLiteral("close all"));

    verdict.require(frames >= (kCpuSeconds - 1) * kTakeRate,
        QStringLiteral("%1 s of input recorded in real time (%2 frames)")
            .arg(kCpuSeconds)
            .arg(frames));
    verdict.require(shown == QStringLiteral("00:0%1").arg(kCpuSeconds),
        QStringLiteral("the time label counts the take (%1)").arg(shown));
    verdict.judge(QStringLiteral("processor time while recording, %1 s in real time with the "
                                 "time label refreshing")
                      .arg(kCpuSeconds),
        percent, QStringLiteral("% of one core"), Verdict::Bound::Below, 5, 2);
}

double threadCpuSeconds()
{
    timespec t {};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) / 1e9;
}

// The take as the capture thread writes it, 50 ms of frames at a time in real time; each
// write pushes the take to the disk once a second has passed since the last.
void takeWritesAndFlushes(Verdict &verdict)
{
    const std::unique_ptr<TakeFile> take = TakeFile::create();
    if (!take)
        verdict.abandon(QStringLiteral("no take file can be made in %1").arg(TakeFile::folder()));
    const QByteArray chunk(kTakeBytesPerSec / 20, '\x11');
    const auto start = std::chrono::steady_clock::now();
    double cpu = 0;
    int written = 0;
    for (int i = 1; i <= kFlushSeconds * 20; ++i) {
        const double before = threadCpuSeconds();
        written += take->write(chunk) == chunk.size() ? 1 : 0;
        cpu += threadCpuSeconds() - before;
        std::this_thread::sleep_until(start + i * std::chrono::milliseconds(50));
    }
    const double wall
        = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    verdict.require(written == kFlushSeconds * 20 && take->frameBytes() == written * chunk.size(),
        QStringLiteral("%1 s of frames written to the take").arg(kFlushSeconds));
    verdict.judge(QStringLiteral("writing and flushing the take to the disk, %1 s in real time")
                      .arg(kFlushSeconds),
        100.0 * cpu / wall, QStringLiteral("% of one core"), Verdict::Bound::Below, 1, 3);
}

// Ten minutes of input fed as fast as it can be written, then saved as a WAV.
void longTake(Verdict &verdict)
{
    installToneInput(false);
    if (send(QStringLiteral("open new Type waveaudio Alias recSound")) != 0
        || send(QStringLiteral("record recSound")) != 0 || !gInput)
        verdict.abandon(QStringLiteral("a take cannot be recorded"));
    gInput->feed(kTakeRate); // settle buffers before measuring
    const double before = residentMb();
    for (qint64 second = 1; second < kTakeSeconds; ++second) {
        gInput->feed(kTakeRate);
        QCoreApplication::processEvents();
    }
    const double after = residentMb();
    const qint64 frames = gInput->frames;
    send(QStringLiteral("stop recSound"));
    verdict.require(frames == kTakeSeconds * kTakeRate,
        QStringLiteral("a 10-minute take recorded (%1 frames)").arg(frames));
    verdict.judge(QStringLiteral("resident memory growth over a 10-minute take (%1 MB before)")
                      .arg(before, 0, 'f', 1),
        after - before, QStringLiteral("MB"), Verdict::Bound::Below, 5, 2);

    QTemporaryDir folder;
    const QString wav = folder.filePath(QStringLiteral("ten minutes.wav"));
    QElapsedTimer clock;
    clock.start();
    const bool saved = send(QStringLiteral("save recSound %1 wait").arg(wav)) == 0;
    const double seconds = double(clock.nsecsElapsed()) / 1e9;
    send(QStringLiteral("close all"));
    const qint64 pcmBytes = kTakeSeconds * kTakeRate * kTakeFrameBytes;
    verdict.require(saved && QFile(wav).size() == 44 + pcmBytes,
        QStringLiteral("the save writes the whole take to %1").arg(wav));
    verdict.judge(QStringLiteral("WAV save of the 10-minute take (%1 MB)")
                      .arg(double(pcmBytes) / 1e6, 0, 'f', 0),
        seconds, QStringLiteral("s"), Verdict::Bound::Below, 2, 3);
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    Verdict verdict("bench_recorder");
    QTemporaryDir settings;
    SettingsFile::setFolder(settings.path());
    SettingsFile::createIfMissing();

    longTake(verdict);
    cpuWhileRecording(verdict);
    takeWritesAndFlushes(verdict);
    return verdict.exitCode();
}
