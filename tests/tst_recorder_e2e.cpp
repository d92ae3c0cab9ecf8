#include "DialogAnswers.h"
#include "TestSupport.h"
#include "WaveProbe.h"

#include "app/frmMain.h"
#include "recorder/WaveAudioDevice.h"

#include <QAudioDevice>
#include <QMediaDevices>
#include <QProcess>

// Runs against the private sound server of the pulse fixture: what is played into the sink
// "vsink" is what the default input "vmic" hears.
class tst_RecorderE2E : public QObject
{
    Q_OBJECT

    static int sinkInputs() // streams playing on the sound server; -1 when it cannot be asked
    {
        QProcess pactl;
        pactl.start(QStringLiteral("pactl"), { "list", "short", "sink-inputs" });
        const bool answered = pactl.waitForFinished(10000) && pactl.exitCode() == 0;
        return answered ? int(pactl.readAllStandardOutput().count('\n')) : -1;
    }

private Q_SLOTS:
    // Also after a failure: an element left open would outlive the application object.
    void cleanup() { send(QStringLiteral("close all")); }

    void recordsPlaysAndSavesATone()
    {
        installWaveAudioDriver();
        QCOMPARE(QMediaDevices::defaultAudioInput().id(), QByteArray("vmic"));
        SettingsFolder dir("36\r\n 65535 \r\n 0 \r\n 255 \r\n5\r\n96\r\n"); // 96 kbit/s
        CapturedMessages boxes;
        DialogAnswers answers;
        const QString tone = dir.path() + "/tone.wav", mp3 = dir.path() + "/my takes/my take.mp3";
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
        const auto frames = frameHeaders(fileBytes(mp3));
        QVERIFY(
            frames.size() > 50 && std::ranges::all_of(frames, [](auto f) { return f.kbps == 96; }));
        const WaveProbe wave = readWave(dir.path() + "/my takes/my take.wav");
        QCOMPARE_GE(wave.info.frames, 2 * 44100);
        // The loudest half second (from each quarter on) holds the tone, well above any other.
        const auto level = [&](size_t i, double hz) { return amplitudeAt(wave, 0, i, 22050, hz); };
        size_t at = 0;
        for (size_t first = 11025; first + 22050 <= size_t(wave.info.frames); first += 11025)
            at = level(first, 440) > level(at, 440) ? first : at;
        QCOMPARE_GT(level(at, 440), 0.25);
        for (double other : { 300.0, 1000.0 })
            QCOMPARE_LT(level(at, other), level(at, 440) / 20);
    }
};

QTEST_MAIN(tst_RecorderE2E)
#include "tst_recorder_e2e.moc"
