#include "DialogAnswers.h"
#include "TestSupport.h"
#include "WaveProbe.h"

#include "app/frmMain.h"
#include "recorder/WaveAudioDevice.h"

#include <QLabel>
#include <QProcess>
#include <QToolButton>

// Runs against the private sound server of the pulse fixture: what is played into the sink
// "vsink" is what the default input "vmic" hears.
class tst_RecorderE2E : public QObject
{
    Q_OBJECT

    // What a command printed, when it succeeded.
    static std::optional<QString> run(const QString &program, const QStringList &arguments)
    {
        QProcess process;
        process.start(program, arguments);
        if (!process.waitForFinished(30000) || process.exitCode() != 0)
            return std::nullopt;
        return QString::fromUtf8(process.readAllStandardOutput());
    }
    static int playing()
    {
        return int(run("pactl", { "list", "short", "sink-inputs" })->count('\n'));
    }
    // The sources that programs' recording streams hear (a remapped source's own stream
    // has no program).
    static QStringList recordingFrom()
    {
        QStringList heard;
        const QStringList sources = run("pactl", { "list", "short", "sources" })->split('\n');
        for (const QString &output :
            run("pactl", { "list", "short", "source-outputs" })->split('\n'))
            for (const QString &source : sources)
                if (output.section('\t', 2, 2) != "-" && !source.isEmpty()
                    && output.section('\t', 1, 1) == source.section('\t', 0, 0))
                    heard << source.section('\t', 1, 1);
        return heard;
    }
    static bool fixture(const char *action)
    {
        return run("bash",
            { qEnvironmentVariable("PULSE_FIXTURE"), action, qEnvironmentVariable("PULSE_DIR") })
            .has_value();
    }

private Q_SLOTS:
    void init() { installWaveAudioDriver(); }
    // Also after a failure: an element left open would outlive the application object.
    void cleanup() { send(QStringLiteral("close all")); }

    void recordsPlaysAndSavesATone()
    {
        SettingsFolder dir("36\r\n 65535 \r\n 0 \r\n 255 \r\n5\r\n96\r\n"); // 96 kbit/s
        CapturedMessages boxes;
        DialogAnswers answers;
        const QString tone = dir.path() + "/tone.wav", mp3 = dir.path() + "/my takes/my take.mp3";
        QVERIFY(writeTone(tone, 440.0, 3.0) && QDir(dir.path()).mkdir(QStringLiteral("my takes")));
        frmMain w;
        click(w, "cmdrecord");
        QProcess paplay;
        paplay.start(QStringLiteral("paplay"), { QStringLiteral("--device=vsink"), tone });
        QTRY_COMPARE_WITH_TIMEOUT(paplay.state(), QProcess::NotRunning, 30000);
        QCOMPARE(paplay.exitCode(), 0);
        click(w, "cmdstop");
        click(w, "cmdplay"); // reaches the server, and Stop ends it
        QTRY_COMPARE(playing(), 1);
        click(w, "cmdstop");
        QCOMPARE(playing(), 0);
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

    // A second input, made the default after the program started, is the one Record hears.
    void recordsFromTheDefaultInput()
    {
        const QString module = run("pactl",
            { "load-module", "module-remap-source", "master=vsink.monitor", "source_name=amic" })
                                   .value_or("")
                                   .trimmed();
        QVERIFY(!module.isEmpty() && run("pactl", { "set-default-source", "amic" }));
        frmMain w;
        click(w, "cmdrecord");
        QTRY_COMPARE(recordingFrom(), QStringList { "amic" });
        click(w, "cmdstop");
        QVERIFY(run("pactl", { "set-default-source", "vmic" }));
        QVERIFY(run("pactl", { "unload-module", module }));
    }

    // The server dies mid-take: the take ends at once with what was heard, kept to play and
    // save; once the server is back, a later Record reaches it.
    void endsTheTakeWhenTheServerDiesAndRecordsOnceItIsBack()
    {
        SettingsFolder dir;
        CapturedMessages boxes;
        DialogAnswers answers;
        frmMain w;
        click(w, "cmdrecord");
        QTRY_COMPARE(recordingFrom(), QStringList { "vmic" });
        QTest::qWait(1500);
        QVERIFY(fixture("stop"));
        QTRY_COMPARE(boxes.shown(),
            QStringList { "Error: THE SOUND INPUT STOPPED. THE RECORDING ENDS WITH WHAT WAS HEARD "
                          "UNTIL THEN." });
        QVERIFY(child<QToolButton>(w, "cmdplay")->isEnabled());
        const QString time = child<QLabel>(w, "lbltime")->text();
        QTest::qWait(1200);
        QCOMPARE(child<QLabel>(w, "lbltime")->text(), time);
        answers.choose(dir.path() + "/cut.mp3");
        click(w, "cmdsave");
        QTRY_COMPARE_WITH_TIMEOUT(boxes.list.size(), size_t(2), 30000);
        QCOMPARE_GE(readWave(dir.path() + "/cut.wav").info.frames, 44100);

        QVERIFY(fixture("start"));
        click(w, "cmdrecord");
        QCOMPARE(boxes.list.size(), size_t(2));
        QTRY_COMPARE(recordingFrom(), QStringList { "vmic" });
        QVERIFY(!child<QToolButton>(w, "cmdplay")->isEnabled());
    }
};

QTEST_MAIN(tst_RecorderE2E)
#include "tst_recorder_e2e.moc"
