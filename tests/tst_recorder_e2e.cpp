#include "DialogAnswers.h"
#include "TestSupport.h"
#include "WaveProbe.h"

#include "app/frmMain.h"
#include "platform/Mci.h"
#include "recorder/WaveAudioDevice.h"

#include <QAudioDevice>
#include <QDir>
#include <QMediaDevices>
#include <QProcess>
#include <QToolButton>

// Runs against the private sound server of the pulse fixture: what is played into the sink
// "vsink" is what the default input "vmic" hears.
class tst_RecorderE2E : public QObject
{
    Q_OBJECT

    // Streams playing on the sound server, or -1 when it cannot be asked.
    static int sinkInputs()
    {
        QProcess pactl;
        pactl.start(QStringLiteral("pactl"), { "list", "short", "sink-inputs" });
        if (!pactl.waitForFinished(10000) || pactl.exitCode() != 0)
            return -1;
        return int(pactl.readAllStandardOutput().count('\n'));
    }

private Q_SLOTS:
    void initTestCase()
    {
        installWaveAudioDriver();
        QCOMPARE(QMediaDevices::defaultAudioInput().id(), QByteArray("vmic"));
    }

    // Also after a failure: an element left open would meet the sound system after the
    // application object is gone.
    void cleanup()
    {
        QString ret;
        mciSendStringA(QStringLiteral("close all"), ret, 1024, 0);
    }

    void recordsPlaysAndSavesATone()
    {
        QTemporaryDir dir;
        SettingsFolder settings;
        settings.write("36\r\n 65535 \r\n 0 \r\n 255 \r\n5\r\n96\r\n"); // MP3 at 96 kbit/s
        CapturedMessages boxes;
        const QString tone = dir.filePath(QStringLiteral("tone.wav"));
        QVERIFY(writeTone(tone, 440.0, 3.0));

        frmMain w;
        w.cmdrecord->click();
        QProcess paplay;
        paplay.start(QStringLiteral("paplay"), { QStringLiteral("--device=vsink"), tone });
        QVERIFY2(paplay.waitForStarted(), qPrintable(paplay.errorString()));
        // The capture is fed from the event loop, so the wait must keep it turning.
        QTRY_COMPARE_WITH_TIMEOUT(paplay.state(), QProcess::NotRunning, 30000);
        QCOMPARE(paplay.exitCode(), 0);
        w.cmdstop->click();
        // Playback reaches the server, and Stop ends it.
        w.cmdplay->click();
        QTRY_COMPARE(sinkInputs(), 1);
        w.cmdstop->click();
        QTRY_COMPARE(sinkInputs(), 0);

        QVERIFY(QDir(dir.path()).mkpath(QStringLiteral("my takes")));
        const QString mp3 = dir.filePath(QStringLiteral("my takes/my take.mp3"));
        DialogAnswers answers;
        answers.choose(mp3);
        w.cmdsave->click();
        QTRY_VERIFY_WITH_TIMEOUT(!boxes.list.empty(), 30000);
        QCOMPARE(boxes.list.size(), size_t(1));
        QCOMPARE(boxes.list.front().text, QStringLiteral("MP3 FILE GENERATED AS - ") + mp3);
        QVERIFY(w.cmdsave->isEnabled());
        const std::vector<FrameHeader> frames = frameHeaders(fileBytes(mp3));
        QVERIFY(frames.size() > 50);
        QVERIFY(std::all_of(frames.begin(), frames.end(), [](auto &f) { return f.kbps == 96; }));

        const WaveProbe wave = readWave(dir.filePath(QStringLiteral("my takes/my take.wav")));
        QCOMPARE(wave.info.format, SF_FORMAT_WAV | SF_FORMAT_PCM_16);
        QCOMPARE(wave.info.channels, 2);
        QCOMPARE(wave.info.samplerate, 44100);
        QVERIFY2(wave.info.frames >= 2 * 44100, qPrintable(QString::number(wave.info.frames)));
        // The loudest half second holds the tone, well above any other pitch.
        size_t loudest = 0;
        double level = 0;
        for (size_t first = 0; first + 22050 <= size_t(wave.info.frames); first += 11025) {
            if (const double a = amplitudeAt(wave, 0, first, 22050, 440.0); a > level) {
                loudest = first;
                level = a;
            }
        }
        QCOMPARE_GT(level, 0.25);
        for (double other : { 300.0, 1000.0 })
            QCOMPARE_LT(amplitudeAt(wave, 0, loudest, 22050, other), level / 20);
    }
};

QTEST_MAIN(tst_RecorderE2E)
#include "tst_recorder_e2e.moc"
