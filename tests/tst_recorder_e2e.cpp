#include "DialogAnswers.h"
#include "TestSupport.h"
#include "WaveProbe.h"

#include "app/frmMain.h"
#include "platform/Mci.h"
#include "recorder/WaveAudioDevice.h"

#include <QAudioDevice>
#include <QMediaDevices>
#include <QProcess>

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
        const bool answered = pactl.waitForFinished(10000) && pactl.exitCode() == 0;
        return answered ? int(pactl.readAllStandardOutput().count('\n')) : -1;
    }

private Q_SLOTS:
    // Also after a failure: an element left open would meet the sound system after the
    // application object is gone.
    void cleanup()
    {
        QString ret;
        mciSendStringA(QStringLiteral("close all"), ret, 1024, 0);
    }

    void recordsPlaysAndSavesATone()
    {
        installWaveAudioDriver();
        QCOMPARE(QMediaDevices::defaultAudioInput().id(), QByteArray("vmic"));
        QTemporaryDir dir;
        SettingsFolder settings("36\r\n 65535 \r\n 0 \r\n 255 \r\n5\r\n96\r\n"); // 96 kbit/s
        CapturedMessages boxes;
        DialogAnswers answers;
        const QString tone = dir.filePath(QStringLiteral("tone.wav"));
        const QString mp3 = dir.filePath(QStringLiteral("my takes/my take.mp3"));
        QVERIFY(writeTone(tone, 440.0, 3.0) && QDir(dir.path()).mkdir(QStringLiteral("my takes")));
        frmMain w;
        click(w, "cmdrecord");
        QProcess paplay;
        paplay.start(QStringLiteral("paplay"), { QStringLiteral("--device=vsink"), tone });
        // The capture is fed from the event loop, so the wait must keep it turning.
        QTRY_COMPARE_WITH_TIMEOUT(paplay.state(), QProcess::NotRunning, 30000);
        QCOMPARE(paplay.exitCode(), 0);
        click(w, "cmdstop");
        click(w, "cmdplay"); // reaches the server, and Stop ends it
        QTRY_COMPARE(sinkInputs(), 1);
        click(w, "cmdstop");
        QTRY_COMPARE(sinkInputs(), 0);
        answers.choose(mp3);
        click(w, "cmdsave");
        QTRY_VERIFY_WITH_TIMEOUT(!boxes.list.empty(), 30000);
        QCOMPARE(boxes.shown(), QStringList { "Message: MP3 FILE GENERATED AS - " + mp3 });
        const std::vector<FrameHeader> frames = frameHeaders(fileBytes(mp3));
        QVERIFY(frames.size() > 50
            && std::all_of(frames.begin(), frames.end(), [](auto &f) { return f.kbps == 96; }));

        const WaveProbe wave = readWave(dir.filePath(QStringLiteral("my takes/my take.wav")));
        QVERIFY2(wave.info.frames >= 2 * 44100, qPrintable(QString::number(wave.info.frames)));
        // The loudest half second holds the tone, well above any other pitch.
        std::vector<double> levels; // of each half second from each quarter on
        for (size_t first = 0; first + 22050 <= size_t(wave.info.frames); first += 11025)
            levels.push_back(amplitudeAt(wave, 0, first, 22050, 440.0));
        const auto loudest = std::max_element(levels.begin(), levels.end());
        QVERIFY(loudest != levels.end() && *loudest > 0.25);
        const size_t at = size_t(loudest - levels.begin()) * 11025;
        for (double other : { 300.0, 1000.0 })
            QCOMPARE_LT(amplitudeAt(wave, 0, at, 22050, other), *loudest / 20);
    }
};

QTEST_MAIN(tst_RecorderE2E)
#include "tst_recorder_e2e.moc"
