// What recording costs: processor time while a take runs with the time label
// refreshing and its MP3 encoded beside it, the take's writes and flushes to the disk,
// resident memory over a ten-minute take, the WAV save of that take (the one step of a
// save that holds the window), and the whole save of it in the window, from the dialog's
// closing to the completion message, against encoding the WAV again as saves did before.
#include "bench/Verdict.h"

#include "app/frmMain.h"
#include "platform/CommonDialog.h"
#include "platform/Mci.h"
#include "platform/MsgBox.h"
#include "recorder/AudioBackend.h"
#include "recorder/EncodedTake.h"
#include "recorder/InputLevel.h"
#include "recorder/TakeFile.h"
#include "recorder/WaveAudioDevice.h"
#include "settings/SettingsFile.h"

#include <QApplication>
#include <QComboBox>
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
#include <random>
#include <thread>
#include <vector>

namespace
{

constexpr int kCpuSeconds = 5;
constexpr int kFlushSeconds = 10;
constexpr qint64 kTakeSeconds = 10 * 60;
// The bit rate a new settings file holds.
const int kSettingsKbps = SettingsFile::kDefaultBitrate.toInt();
// Input fed faster than a sound card delivers it, but slow enough for the MP3 encoder beside
// the take, which a real capture never outruns: a second of frames each 50 ms.
constexpr auto kFastSecond = std::chrono::milliseconds(50);
// How often the sound server hands the input over.
constexpr int kPulseChunkMs = 50;

// Stands in for the microphone: a 440 Hz tone under a hiss, different in each channel, written
// into the take, either as fast as feed() is called or, paced by the clock, 50 ms at a time as
// the sound server hands the input over. The hiss makes the encoder work as hard as on a voice
// in a room, or harder. A second of it is made once and repeated (the tone fits it whole), so
// that making the input costs the bench's process next to nothing.
class ToneInput final : public AudioBackend
{
public:
    explicit ToneInput(bool realTime)
        : m_realTime(realTime)
        , m_second(size_t(kTakeRate * kTakeChannels))
    {
        std::minstd_rand random;
        std::uniform_real_distribution<double> hiss { -3000.0, 3000.0 };
        for (size_t i = 0; i < size_t(kTakeRate); ++i) {
            const double tone
                = 8000.0 * std::sin(2.0 * std::numbers::pi * 440.0 * double(i) / kTakeRate);
            for (size_t channel = 0; channel < 2; ++channel)
                m_second[2 * i + channel] = qint16(std::lround(tone + hiss(random)));
        }
        QObject::connect(&m_pace, &QTimer::timeout, &m_pace,
            [this] { feed(m_clock.elapsed() * kTakeRate / 1000 - frames); });
    }

    void feed(qint64 count)
    {
        for (qint64 done = 0; m_sink && done < count;) {
            const qint64 at = frames % kTakeRate;
            const qint64 part = std::min(count - done, kTakeRate - at);
            const auto *bytes = reinterpret_cast<const char *>(m_second.data() + at * 2);
            // The meters hear what the take does, as from the sound server's input.
            LevelTap::publish(bytes, part * kTakeFrameBytes);
            if (m_sink->write(bytes, part * kTakeFrameBytes) != part * kTakeFrameBytes)
                return;
            frames += part;
            done += part;
        }
    }

    MciError startCapture(QIODevice *sink) override
    {
        m_sink = sink;
        if (m_realTime) {
            m_clock.start();
            m_pace.start(kPulseChunkMs);
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
    std::vector<qint16> m_second;
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

// Ten minutes of input (less the seconds fed already) into the take, at twenty times the
// speed of a sound card.
void feedTenMinutes(qint64 fromSecond = 0)
{
    const auto start = std::chrono::steady_clock::now();
    for (qint64 second = fromSecond; second < kTakeSeconds && gInput; ++second) {
        gInput->feed(kTakeRate);
        QCoreApplication::processEvents();
        std::this_thread::sleep_until(start + (second - fromSecond + 1) * kFastSecond);
    }
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

// Real-time recording in the window: the input paced by the clock, the label ticking, and
// the MP3 made beside the take; and, as before, with no MP3 beside it.
void cpuWhileRecording(Verdict &verdict, bool encoded)
{
    installToneInput(true);
    frmMain window;
    window.show();
    if (!encoded)
        encodeTakesWhileRecording({});
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
    verdict.require(verdict.control<QWidget>(window, "mtrpanel")->isVisible()
            && verdict.control<QWidget>(window, "mtrprompt")->isVisible(),
        QStringLiteral("the level meters show in the panel and the prompt area"));
    verdict.control<QToolButton>(window, "cmdstop")->click();
    const QString shown = verdict.control<QLabel>(window, "lbltime")->text();
    QTemporaryDir folder;
    const QString wav = folder.filePath(QStringLiteral("five seconds.wav"));
    const bool saved = send(QStringLiteral("save recSound %1 wait").arg(wav)) == 0;
    const auto mp3 = EncodedTake::claim(wav, kSettingsKbps);
    send(QStringLiteral("close all"));
    verdict.require(saved && (mp3 && mp3->frames() == frames) == encoded,
        QStringLiteral("the take was %1encoded at %2 kbit/s while it was recorded")
            .arg(encoded ? "" : "not ")
            .arg(kSettingsKbps));
    verdict.require(frames >= (kCpuSeconds - 1) * kTakeRate,
        QStringLiteral("%1 s of input recorded in real time (%2 frames)")
            .arg(kCpuSeconds)
            .arg(frames));
    verdict.require(shown == QStringLiteral("00:0%1").arg(kCpuSeconds),
        QStringLiteral("the time label counts the take (%1)").arg(shown));
    const QString figure = QStringLiteral("processor time while recording, %1 s in real time with "
                                          "the time label and the level meters refreshing")
                               .arg(kCpuSeconds);
    if (encoded)
        verdict.judge(figure + QStringLiteral(" and the MP3 made beside the take"), percent,
            QStringLiteral("% of one core"), Verdict::Bound::Below, 5, 2);
    else
        verdict.inform(figure + QStringLiteral(", no MP3 beside the take (as before)"), percent,
            QStringLiteral("% of one core"), 2);
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

// Ten minutes of input fed fast, then saved as a WAV.
void longTake(Verdict &verdict)
{
    installToneInput(false);
    encodeTakesWhileRecording([] { return QString::number(kSettingsKbps); });
    if (send(QStringLiteral("open new Type waveaudio Alias recSound")) != 0
        || send(QStringLiteral("record recSound")) != 0 || !gInput)
        verdict.abandon(QStringLiteral("a take cannot be recorded"));
    gInput->feed(kTakeRate); // settle buffers before measuring
    const double before = residentMb();
    feedTenMinutes(1);
    const double after = residentMb();
    const qint64 frames = gInput->frames;
    send(QStringLiteral("stop recSound"));
    verdict.require(frames == kTakeSeconds * kTakeRate,
        QStringLiteral("a 10-minute take recorded (%1 frames)").arg(frames));
    verdict.judge(QStringLiteral("resident memory growth over a 10-minute take with its MP3 "
                                 "encoded beside it (%1 MB before)")
                      .arg(before, 0, 'f', 1),
        after - before, QStringLiteral("MB"), Verdict::Bound::Below, 5, 2);

    QTemporaryDir folder;
    const QString wav = folder.filePath(QStringLiteral("ten minutes.wav"));
    QElapsedTimer clock;
    clock.start();
    const bool saved = send(QStringLiteral("save recSound %1 wait").arg(wav)) == 0;
    const double seconds = double(clock.nsecsElapsed()) / 1e9;
    const auto mp3 = EncodedTake::claim(wav, kSettingsKbps);
    send(QStringLiteral("close all"));
    encodeTakesWhileRecording({});
    const qint64 pcmBytes = kTakeSeconds * kTakeRate * kTakeFrameBytes;
    verdict.require(saved && QFile(wav).size() == 44 + pcmBytes,
        QStringLiteral("the save writes the whole take to %1").arg(wav));
    verdict.require(mp3 && mp3->frames() == frames,
        QStringLiteral("the whole take was encoded while it was recorded"));
    verdict.judge(QStringLiteral("WAV save of the 10-minute take (%1 MB)")
                      .arg(double(pcmBytes) / 1e6, 0, 'f', 0),
        seconds, QStringLiteral("s"), Verdict::Bound::Below, 2, 3);
}

// Seconds from the save dialog's closing to the completion message, in the window.
double saveInWindow(Verdict &verdict, frmMain &window, const QString &mp3)
{
    QElapsedTimer clock;
    CommonDialog::setAnswerer([&](CommonDialog::Kind, const CommonDialog &) {
        clock.start();
        return CommonDialog::Answer { true, mp3, 0 };
    });
    QString shown;
    double seconds = 0;
    setMessageSink([&](const ShownMessage &message) {
        seconds = double(clock.nsecsElapsed()) / 1e9;
        shown = message.text;
        return MsgAnswer::Ok;
    });
    verdict.control<QToolButton>(window, "cmdsave")->click();
    while (shown.isEmpty())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    CommonDialog::setAnswerer({});
    setMessageSink({});
    verdict.require(shown == QStringLiteral("MP3 FILE GENERATED AS - ") + mp3,
        QStringLiteral("the save ends with its completion message (%1)").arg(shown));
    return seconds;
}

// A 10-minute take recorded in the window at 128 kbit/s and saved as the user saves it, its
// MP3 made while it was recorded; and, as saves were before, one recorded with no MP3 beside
// it, so that the WAV is encoded at the save.
void saveOfALongTake(Verdict &verdict)
{
    installToneInput(false);
    QTemporaryDir folder;
    double seconds[2] {};
    for (const bool ready : { false, true }) {
        frmMain window;
        auto *quality = verdict.control<QComboBox>(window, "cmbquality");
        quality->setCurrentIndex(0);
        Q_EMIT quality->activated(0);
        if (!ready)
            encodeTakesWhileRecording({});
        verdict.control<QToolButton>(window, "cmdrecord")->click();
        feedTenMinutes();
        verdict.control<QToolButton>(window, "cmdstop")->click();
        verdict.require(gInput && gInput->frames == kTakeSeconds * kTakeRate,
            QStringLiteral("a 10-minute take recorded in the window"));
        const QString mp3 = folder.filePath(ready ? "ready.mp3" : "encoded at the save.mp3");
        seconds[ready] = saveInWindow(verdict, window, mp3);
        verdict.require(QFile(mp3).size() > 9'500'000,
            QStringLiteral("the MP3 holds ten minutes at 128 kbit/s (%1 bytes)")
                .arg(QFile(mp3).size()));
        send(QStringLiteral("close all"));
    }
    verdict.inform(QStringLiteral("save of a 10-minute take at 128 kbit/s, dialog closed to "
                                  "completion message, the WAV encoded at the save (as before)"),
        seconds[0], QStringLiteral("s"), 2);
    verdict.judge(QStringLiteral("the same save with the MP3 made while recording"), seconds[1],
        QStringLiteral("s"), Verdict::Bound::Below, 2.5, 2);
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
    cpuWhileRecording(verdict, false);
    cpuWhileRecording(verdict, true);
    takeWritesAndFlushes(verdict);
    saveOfALongTake(verdict);
    return verdict.exitCode();
}
