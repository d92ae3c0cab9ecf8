#include "DialogAnswers.h"
#include "Mp3Probe.h"
#include "TestSupport.h"
#include "WaveProbe.h"

#include "app/frmMain.h"
#include "platform/Mci.h"
#include "recorder/WaveAudioDevice.h"

#include <QAudioDevice>
#include <QDir>
#include <QMediaDevices>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include <cmath>
#include <numbers>

// Runs against the private sound server of the pulse fixture: what is played into
// the sink "vsink" is what the default input "vmic" hears.
namespace {

constexpr double kToneHz = 440.0;
constexpr double kToneAmplitude = 0.5; // of full scale

bool writeTone(const QString &path, double seconds)
{
    SF_INFO info {};
    info.samplerate = 44100;
    info.channels = 2;
    info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
    SNDFILE *sf = sf_open(path.toLocal8Bit().constData(), SFM_WRITE, &info);
    if (!sf)
        return false;
    const auto frames = sf_count_t(seconds * info.samplerate);
    std::vector<short> samples(size_t(frames * 2));
    for (sf_count_t i = 0; i < frames; ++i) {
        const double t = double(i) / info.samplerate;
        samples[size_t(2 * i)] = samples[size_t(2 * i + 1)] = short(
            std::lround(32767.0 * kToneAmplitude * std::sin(2 * std::numbers::pi * kToneHz * t)));
    }
    const bool written = sf_writef_short(sf, samples.data(), frames) == frames;
    return sf_close(sf) == 0 && written;
}

// Amplitude (of full scale) of the frequency hz in count left-channel frames from first.
double amplitudeAt(const std::vector<short> &samples, size_t first, size_t count, double hz)
{
    const double w = 2 * std::numbers::pi * hz / 44100.0;
    double re = 0;
    double im = 0;
    for (size_t i = 0; i < count; ++i) {
        const double x = samples[2 * (first + i)] / 32768.0;
        re += x * std::cos(w * double(i));
        im -= x * std::sin(w * double(i));
    }
    return 2.0 * std::hypot(re, im) / double(count);
}

int sinkInputs()
{
    QProcess pactl;
    pactl.start(QStringLiteral("pactl"),
        { QStringLiteral("list"), QStringLiteral("short"), QStringLiteral("sink-inputs") });
    if (!pactl.waitForFinished(10000) || pactl.exitCode() != 0)
        return -1;
    return int(pactl.readAllStandardOutput().count('\n'));
}

} // namespace

class tst_RecorderE2E : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void cleanup();
    void recordsPlaysAndSavesATone();
};

void tst_RecorderE2E::initTestCase()
{
    installWaveAudioDriver();
    QCOMPARE(QMediaDevices::defaultAudioInput().id(), QByteArray("vmic"));
}

// Also after a failure: an element left open would meet the sound system after
// the application object is gone.
void tst_RecorderE2E::cleanup()
{
    QString ret;
    mciSendStringA(QStringLiteral("close all"), ret, 1024, 0);
}

void tst_RecorderE2E::recordsPlaysAndSavesATone()
{
    QTemporaryDir dir;
    SettingsFolder settings;
    settings.write("36\r\n 65535 \r\n 0 \r\n 255 \r\n5\r\n96\r\n");
    CapturedMessages boxes;
    const QString tone = dir.filePath(QStringLiteral("tone.wav"));
    QVERIFY(writeTone(tone, 3.0));

    frmMain w;
    w.cmdrecord->click();
    QVERIFY(w.cmdstop->isEnabled());
    QProcess paplay;
    paplay.start(QStringLiteral("paplay"), { QStringLiteral("--device=vsink"), tone });
    QVERIFY2(paplay.waitForStarted(), qPrintable(paplay.errorString()));
    // The capture is fed from the event loop, so the wait must keep it turning.
    QTRY_COMPARE_WITH_TIMEOUT(paplay.state(), QProcess::NotRunning, 30000);
    QCOMPARE(paplay.exitCode(), 0);
    w.cmdstop->click();
    QVERIFY(w.cmdplay->isEnabled());

    // Playback reaches the server, and Stop ends it.
    w.cmdplay->click();
    QTRY_COMPARE(sinkInputs(), 1);
    w.cmdstop->click();
    QTRY_COMPARE(sinkInputs(), 0);

    // Save as the presenter would: an MP3 name in a folder with blanks, at the
    // quality chosen in the settings (96 kbit/s).
    QVERIFY(QDir(dir.path()).mkpath(QStringLiteral("my takes")));
    const QString mp3 = dir.filePath(QStringLiteral("my takes/my take.mp3"));
    const QString take = dir.filePath(QStringLiteral("my takes/my take.wav"));
    DialogAnswers answers;
    answers.choose(mp3);
    w.cmdsave->click();
    QTRY_VERIFY_WITH_TIMEOUT(!boxes.list.empty(), 30000);
    for (const ShownMessage &m : boxes.list)
        qInfo() << "box:" << m.text;
    QCOMPARE(boxes.list.size(), size_t(1));
    QCOMPARE(boxes.list.front().text, QStringLiteral("MP3 FILE GENERATED AS - ") + mp3);
    QVERIFY(w.cmdsave->isEnabled());

    QFile mp3File(mp3);
    QVERIFY(mp3File.open(QIODevice::ReadOnly));
    const std::vector<FrameHeader> frames = frameHeaders(mp3File.readAll());
    QVERIFY(frames.size() > 50);
    for (const FrameHeader &frame : frames)
        QCOMPARE(frame.kbps, 96);

    const WaveProbe wave = readWave(take);
    QVERIFY(wave.opened);
    QCOMPARE(wave.info.format, SF_FORMAT_WAV | SF_FORMAT_PCM_16);
    QCOMPARE(wave.info.channels, 2);
    QCOMPARE(wave.info.samplerate, 44100);
    QVERIFY2(wave.info.frames >= 2 * 44100, qPrintable(QString::number(wave.info.frames)));

    // The loudest half second holds the tone, well above any other pitch.
    constexpr size_t kBlock = 22050;
    double best = 0;
    double other = 0;
    for (size_t first = 0; first + kBlock <= size_t(wave.info.frames); first += kBlock / 2) {
        const double a = amplitudeAt(wave.samples, first, kBlock, kToneHz);
        if (a > best) {
            best = a;
            other = std::max(amplitudeAt(wave.samples, first, kBlock, 1000.0),
                amplitudeAt(wave.samples, first, kBlock, 300.0));
        }
    }
    qInfo("tone amplitude %.3f, elsewhere %.4f", best, other);
    QVERIFY(best > kToneAmplitude / 2);
    QVERIFY(other < best / 20);
}

QTEST_MAIN(tst_RecorderE2E)
#include "tst_recorder_e2e.moc"
