#include "PulseProbe.h"
#include "TestSupport.h"
#include "WaveProbe.h"

#include "app/frmMain.h"
#include "recorder/SoundInput.h"
#include "recorder/TakeFile.h"
#include "recorder/WaveAudioDevice.h"

#include <QScopeGuard>
#include <QToolButton>

#include <atomic>

// Runs against the private sound server of the pulse fixture: what is played into the sink
// "vsink" is what the default input "vmic" hears.
class tst_RecorderE2E : public QObject
{
    Q_OBJECT

    static int playing()
    {
        return int(runCommand("pactl", { "list", "short", "sink-inputs" })->count('\n'));
    }

private Q_SLOTS:
    // A take an earlier run left, killed, would be offered at the first window.
    void initTestCase()
    {
        for (const QString &take : TakeFile::found())
            QVERIFY(QFile::remove(take));
    }
    void init() { installWaveAudioDriver(); }
    // Also after a failure: an element left open would outlive the application object.
    void cleanup() { send(QStringLiteral("close all")); }

    void recordsPlaysAndSavesATone()
    {
        SettingsFolder dir;
        CapturedMessages boxes;
        DialogAnswers answers;
        const QString tone = dir.path() + "/tone.wav", mp3 = dir.path() + "/my takes/my take.mp3";
        QVERIFY(writeTone(tone, 440.0, 3.0) && QDir(dir.path()).mkdir(QStringLiteral("my takes")));
        frmMain w;
        click(w, "cmdrecord");
        QProcess paplay;
        paplay.start(QStringLiteral("paplay"), { QStringLiteral("--device=vsink"), tone });
        QTRY_COMPARE_WITH_TIMEOUT(paplay.state(), QProcess::NotRunning, 30000);
        click(w, "cmdstop");
        click(w, "cmdplay"); // reaches the server, and Stop ends it
        QTRY_COMPARE(playing(), 1);
        click(w, "cmdstop");
        QCOMPARE(playing(), 0);
        click(w, "cmdplay"); // and played to its end, it ends without a word
        QTRY_COMPARE_WITH_TIMEOUT(playing(), 0, 20000);
        answers.choose(mp3);
        // The MP3 made while recording is written, and it is the saved WAV's encoding.
        QTest::ignoreMessage(
            QtInfoMsg, QRegularExpression("written from the encoding made while recording"));
        click(w, "cmdsave");
        QTRY_VERIFY_WITH_TIMEOUT(!boxes.list.empty(), 30000);
        QCOMPARE(boxes.shown(), QStringList { "Message: MP3 FILE GENERATED AS - " + mp3 });
        const QString wav = dir.path() + "/my takes/my take.wav";
        const QByteArray made = fileBytes(mp3);
        const std::vector<FrameHeader> frames = frameHeaders(made);
        QVERIFY(!frames.empty());
        QCOMPARE(made, mp3OfWave(wav, frames[0].kbps));
        const WaveProbe wave = readWave(wav);
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
    // Record hears the input that is the default when it is pressed. The server dies mid-take:
    // the take ends at once with what was heard, kept to play and save; Record finds no input
    // then, and reaches the server once it is back.
    void endsTheTakeWhenTheServerDiesAndRecordsOnceItIsBack()
    {
        SettingsFolder dir;
        CapturedMessages boxes;
        frmMain w;
        QVERIFY(runCommand("pactl",
                    { "load-module", "module-remap-source", "master=vsink.monitor",
                        "source_name=amic" })
            && runCommand("pactl", { "set-default-source", "amic" }));
        click(w, "cmdrecord");
        QTRY_COMPARE(recordingFrom(), QStringList { "amic" });
        QTest::qWait(3000); // a remapped input starts late
        QVERIFY(pulseFixture("stop"));
        QTRY_COMPARE(boxes.shown(),
            QStringList { "Error: THE SOUND INPUT STOPPED. THE RECORDING ENDS WITH WHAT WAS HEARD "
                          "UNTIL THEN." });
        QVERIFY(child<QToolButton>(w, "cmdplay")->isEnabled());

        click(w, "cmdrecord"); // with no server to reach, nothing starts
        QCOMPARE(boxes.shown().last(), errorBox(MciError::NoInputDevice));
        QVERIFY(pulseFixture("start"));
        click(w, "cmdrecord");
        QCOMPARE(boxes.list.size(), size_t(2));
        QTRY_COMPARE(recordingFrom(), QStringList { "vmic" });
        QVERIFY(!child<QToolButton>(w, "cmdplay")->isEnabled());
    }
    // The panel's menu lists the server's inputs, the default first; the take, and the meters,
    // hear the one chosen, in this run and the next. Gone at Record, it gives way to the
    // default with a word.
    void picksTheMicrophone()
    {
        SettingsFolder dir;
        CapturedMessages boxes;
        const QString tone = dir.path() + "/tone.wav";
        QVERIFY(writeTone(tone, 440.0, 2.0));
        const std::optional<QString> sink = runCommand("pactl",
            { "load-module", "module-null-sink", "sink_name=desk",
                "sink_properties=device.description=Desk" });
        const std::optional<QString> source = runCommand("pactl",
            { "load-module", "module-remap-source", "master=desk.monitor", "source_name=deskmic",
                "source_properties='device.description=\"Desk Microphone\"'" });
        const auto unload = [](const std::optional<QString> &module) {
            if (module)
                runCommand("pactl", { "unload-module", module->trimmed() });
        };
        const auto letGo = qScopeGuard([&] {
            unload(source);
            unload(sink);
        });
        QVERIFY(sink && source);
        {
            frmMain w;
            w.show();
            QWidget *panel = child(w, "Frame1");
            const QStringList items = menuItems(panel, "mnurecorder");
            const qsizetype first = items.indexOf("Microphone") + 1;
            QVERIFY(first > 0);
            QCOMPARE(
                items.mid(first, 1), { "System Default (Remapped Monitor of Null Output) (on)" });
            QVERIFY(items.mid(first + 1).contains("Desk Microphone"));
            QVERIFY(pickMenuItem(panel, "mnurecorder", "Desk Microphone"));
            click(w, "cmdrecord");
            QTRY_COMPARE(recordingFrom(), QStringList { "deskmic" });
            QProcess paplay;
            paplay.start(QStringLiteral("paplay"), { QStringLiteral("--device=desk"), tone });
            QTRY_VERIFY_WITH_TIMEOUT(
                child(w, "mtrpanel")->accessibleDescription().contains("peak -"), 10000);
            QTRY_COMPARE_WITH_TIMEOUT(paplay.state(), QProcess::NotRunning, 30000);
            click(w, "cmdstop");
        }
        unload(source);
        frmMain w;
        w.show();
        click(w, "cmdrecord");
        QTRY_COMPARE(recordingFrom(), QStringList { "vmic" });
        QCOMPARE(boxes.shown(),
            { "Message: THE CHOSEN MICROPHONE, Desk Microphone, IS NOT CONNECTED. THE SYSTEM'S "
              "DEFAULT INPUT IS HEARD INSTEAD." });
        click(w, "cmdstop");
        pickMenuItem(
            child(w, "Frame1"), "mnurecorder", "System Default (Remapped Monitor of Null Output)");
    }
    // The take and the voice follower share one input. One told of a loss that has not yet
    // let go hears nothing of the capture that starts after it.
    void aListenerToldOfALossHearsNoMore()
    {
        struct Counting : SoundInput::Listener {
            std::atomic<qint64> before { 0 }, after { 0 };
            std::atomic<bool> wasLost { false };
            void heard(const char *, qint64 bytes) override { (wasLost ? after : before) += bytes; }
            void lost() override { wasLost = true; }
        } told, fresh;
        // Also when a check fails: the input must not keep them past this test.
        const auto letGo = qScopeGuard([&] {
            SoundInput::leave(&told);
            SoundInput::leave(&fresh);
        });
        QCOMPARE(SoundInput::join(&told), MciError::None);
        QTRY_VERIFY(told.before > 0);
        QVERIFY(pulseFixture("stop"));
        QTRY_VERIFY(told.wasLost);
        QVERIFY(pulseFixture("start"));
        QCOMPARE(SoundInput::join(&fresh), MciError::None);
        QTRY_VERIFY(fresh.before > 0);
        QTest::qWait(300);
        QCOMPARE(told.after.load(), qint64(0));
    }
};

QTEST_MAIN(tst_RecorderE2E)
#include "tst_recorder_e2e.moc"
