#include "TestSupport.h"

#include "app/frmMain.h"
#include "platform/Fonts.h"
#include "recorder/InputLevel.h"
#include "recorder/WaveAudioDevice.h"

#include <QApplication>
#include <QLabel>
#include <QProgressBar>
#include <QStandardPaths>

#include <cmath>

namespace
{

using Steps = QList<std::pair<int, int>>; // (peak, ms) of input; a peak below 0 is an event
constexpr int kRecord = -1;

// Input of the given loudest magnitude, alternating in sign, in the take's format.
QByteArray pcm(int peak, int ms)
{
    QByteArray bytes;
    const qint64 frames = qint64(ms) * kTakeRate / 1000;
    for (qint64 i = 0; i < frames * kTakeChannels; ++i) {
        const auto sample = qint16(peak >= 32768 ? -32768 : (i % 2 ? -peak : peak));
        bytes += QByteArray(reinterpret_cast<const char *>(&sample), sizeof sample);
    }
    return bytes;
}

// A magnitude this many dB below full scale.
int below(double db)
{
    return int(std::lround(32768.0 * std::pow(10.0, db / 20.0)));
}

// A capture that takes whatever the test says the microphone hears; nothing reaches the take.
struct SilentBackend final : AudioBackend {
    MciError startCapture(QIODevice *) override { return MciError::None; }
    void stopCapture() override { }
    MciError startPlayback(QIODevice *) override { return MciError::None; }
    void stopPlayback() override { }
};

// The user's choices beside the settings: the meters' here, the rig's (the output window).
QString choices()
{
    return QStandardPaths::writableLocation(QStandardPaths::ConfigLocation) + "/tellvane";
}
QString recorderChoices()
{
    return choices() + "/recorder.ini";
}

// The program's window with a microphone the test speaks into, 50 ms at a time, as the
// sound server hands the input over.
struct Window {
    Window() { w.show(); }
    void hear(int peak, int ms)
    {
        for (int done = 0; done < ms; done += 50) {
            const QByteArray block = pcm(peak, std::min(50, ms - done));
            LevelTap::publish(block.constData(), block.size());
        }
        fire(w, "tmrlevel");
    }
    QString panel() const { return child(w, "mtrpanel")->accessibleDescription(); }
    bool shown(const char *name) const { return child(w, name)->isVisible(); }

    SettingsFolder folder {};
    CapturedMessages messages {};
    frmMain w { nullptr };
};

} // namespace

class tst_Meters : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { QVERIFY(loadTahoma()); }
    void init()
    {
        QDir(choices()).removeRecursively();
        installWaveAudioDriver([] { return std::make_unique<SilentBackend>(); });
    }
    void cleanup() { send(QStringLiteral("close all")); }

    void readsTheInput_data()
    {
        QTest::addColumn<Steps>("steps");
        QTest::addColumn<double>("level");
        QTest::addColumn<double>("peak");
        QTest::addColumn<bool>("clipLit");
        QTest::addColumn<int>("clips");
        QTest::addColumn<bool>("silent");
        const int loud = below(-6);
        QTest::newRow("below the floor")
            << Steps { { 3, 50 } } << -60.0 << -60.0 << false << 0 << false;
        QTest::newRow("falls 20 dB a second, the peak held")
            << Steps { { loud, 50 }, { 0, 1000 } } << -26.0 << -6.0 << false << 0 << false;
        QTest::newRow("the peak is still held at 1.5 s")
            << Steps { { loud, 50 }, { 0, 1500 } } << -36.0 << -6.0 << false << 0 << false;
        QTest::newRow("the peak falls after 1.5 s")
            << Steps { { loud, 50 }, { 0, 1550 } } << -37.0 << -37.0 << false << 0 << false;
        QTest::newRow("full scale, negative")
            << Steps { { kRecord, 0 }, { 32768, 50 } } << 0.0 << 0.0 << true << 1 << false;
        QTest::newRow("0.1 dB below full scale clips")
            << Steps { { kRecord, 0 }, { below(-0.1), 50 } } << -0.1 << -0.1 << true << 1 << false;
        QTest::newRow("a step less does not") << Steps { { kRecord, 0 }, { below(-0.1) - 1, 50 } }
                                              << -0.1 << -0.1 << false << 0 << false;
        QTest::newRow("the clip sign holds 2 s")
            << Steps { { 32767, 50 }, { 0, 1950 } } << -39.0 << -39.0 << true << 0 << false;
        QTest::newRow("and then goes out")
            << Steps { { 32767, 50 }, { 0, 2000 } } << -40.0 << -40.0 << false << 0 << false;
        QTest::newRow("one long clip is one moment")
            << Steps { { kRecord, 0 }, { 32767, 500 } } << 0.0 << 0.0 << true << 1 << false;
        QTest::newRow("two clips with sound between")
            << Steps { { kRecord, 0 }, { 32767, 50 }, { loud, 50 }, { 32767, 50 } } << 0.0 << 0.0
            << true << 2 << false;
        QTest::newRow("-49 dBFS is sound") << Steps { { kRecord, 0 }, { below(-49), 6000 } }
                                           << -49.0 << -49.0 << false << 0 << false;
        QTest::newRow("silence is not timed without a take")
            << Steps { { 0, 6000 } } << -60.0 << -60.0 << false << 0 << false;
    }
    void readsTheInput()
    {
        QFETCH(Steps, steps);
        QFETCH(double, level);
        QFETCH(double, peak);
        QFETCH(bool, clipLit);
        QFETCH(int, clips);
        QFETCH(bool, silent);
        InputLevel input;
        for (const auto &[magnitude, ms] : steps) {
            if (magnitude < 0) {
                input.setRecording(magnitude == kRecord);
                continue;
            }
            // The level falls block by block, as the input arrives.
            for (int done = 0; done < ms; done += 50) {
                const QByteArray block = pcm(magnitude, std::min(50, ms - done));
                input.add(measureBlock(block.constData(), block.size()));
            }
        }
        QCOMPARE(std::round(input.level() * 10) / 10, level);
        QCOMPARE(std::round(input.peakHold() * 10) / 10, peak);
        QCOMPARE(input.clipLit(), clipLit);
        QCOMPARE(input.clips(), clips);
        QCOMPARE(input.silent(), silent);
    }

    void showsTheInputWhileRecording()
    {
        Window window;
        frmMain &w = window.w;
        QVERIFY(window.shown("mtrpanel"));
        QCOMPARE(window.panel(), "No input, clipped 0 times in this take");
        QVERIFY(!window.shown("mtrprompt"));
        click(w, "cmdrecord");
        QVERIFY(window.shown("mtrprompt"));
        window.hear(below(-12), 50);
        QCOMPARE(window.panel(), "-12 dBFS, peak -12 dBFS, clipped 0 times in this take");
        // As it looks: green from the left, the scale dark beyond the level, the sign unlit.
        const QImage meter = child(w, "mtrpanel")->grab().toImage();
        const int middle = meter.height() / 2;
        QCOMPARE(meter.pixelColor(meter.width() / 10, middle), QColor(40, 200, 60));
        QCOMPARE(meter.pixelColor(meter.width() * 3 / 5, middle), QColor(24, 24, 24));
        QCOMPARE(meter.pixelColor(meter.width() - 3, 1), QColor(80, 0, 0));
        QCOMPARE(child(w, "mtrprompt")->accessibleDescription(), "-12 dBFS, peak -12 dBFS");

        window.hear(32767, 50);
        QCOMPARE(window.panel(), "0 dBFS, peak 0 dBFS, CLIP, clipped 1 times in this take");
        QVERIFY(!window.shown("lblsilence"));
        window.hear(0, 4950);
        QVERIFY(!window.shown("lblsilence"));
        window.hear(0, 50);
        QVERIFY(window.shown("lblsilence"));
        QCOMPARE(child<QLabel>(w, "lblsilence")->text(), "NO SOUND FROM THE MICROPHONE");
        QVERIFY(child(w, "lblsilence")->geometry().intersects(child(w, "picprompt")->geometry()));
        window.hear(below(-30), 50);
        QVERIFY(!window.shown("lblsilence"));
        QVERIFY(window.messages.shown().isEmpty()); // no box, the take goes on
        QVERIFY(child(w, "cmdstop")->isEnabled());

        // Stop: the corner meter goes, the panel keeps the take's count until the next Record.
        click(w, "cmdstop");
        QVERIFY(!window.shown("mtrprompt"));
        QCOMPARE(window.panel(), "No input, clipped 1 times in this take");
        click(w, "cmdrecord");
        QCOMPARE(window.panel(), "No input, clipped 0 times in this take");
        click(w, "cmdstop");

        // A save shows its bars where the meter stands, and gives the place back after.
        DialogAnswers dialog;
        dialog.choose(QDir::temp().filePath("nothing heard.mp3"));
        click(w, "cmdsave");
        QVERIFY(!window.shown("mtrpanel"));
        QTRY_VERIFY(window.shown("mtrpanel"));
        QCOMPARE(window.messages.shown(), { "Error: THERE IS NO RECORDING TO SAVE!" });
    }

    // Each meter has its switch in its own place's menu, kept for the next run; one that cannot
    // be stored holds for the run, with a word.
    void switchesEachMeterFromItsMenu()
    {
        const auto shown = [](const Window &window) {
            QStringList meters;
            for (const char *name : { "mtrpanel", "mtrprompt", "mtroutput" })
                if (window.shown(name))
                    meters << name;
            return meters.join(' ');
        };
        const QString item = QStringLiteral("Show Input Level");
        {
            Window window;
            frmMain &w = window.w;
            QTest::keyClick(&w, Qt::Key_F); // the output window
            QWidget *output = child(w, "picoutput");
            click(w, "cmdrecord");
            QCOMPARE(shown(window), "mtrpanel mtrprompt mtroutput");
            QVERIFY(!pickMenuItem(child(w, "picprompt"), "mnuprompt", item));
            QCOMPARE(shown(window), "mtrpanel mtroutput");
            QVERIFY(!pickMenuItem(output, "mnuoutput", item));
            QVERIFY(!pickMenuItem(child(w, "Frame1"), "mnurecorder", item));
            QCOMPARE(shown(window), ""); // the bars show, as without a meter
            // The output window's meter lies in its corner, whatever its size.
            const QRect corner = child(w, "mtroutput")->geometry();
            QVERIFY(output->rect().contains(corner) && corner.left() > output->width() / 2
                && corner.bottom() > output->height() * 9 / 10);
            QVERIFY(window.messages.shown().isEmpty());
        }
        Window window; // the output window opens with it, as the last run left it
        frmMain &w = window.w;
        click(w, "cmdrecord");
        QCOMPARE(shown(window), "");
        QVERIFY(pickMenuItem(child(w, "picprompt"), "mnuprompt", item));
        QCOMPARE(shown(window), "mtrprompt");
        // Clear of the reading line, inside the area.
        const QRect meter = child(w, "mtrprompt")->geometry();
        const QRect area = child(w, "picprompt")->geometry();
        QVERIFY(area.contains(meter));
        QVERIFY(!meter.intersects(child(w, "txtline")->geometry().translated(area.topLeft())));
        const Restore readOnly = makeReadOnly(recorderChoices());
        QVERIFY(pickMenuItem(child(w, "Frame1"), "mnurecorder", item));
        QCOMPARE(shown(window), "mtrpanel mtrprompt");
        QCOMPARE(window.messages.shown(),
            { "Error: THE CHOICE TO SHOW THE INPUT LEVEL COULD NOT BE STORED. IT HOLDS UNTIL THE "
              "PROGRAM ENDS." });
    }
};

QTEST_MAIN(tst_Meters)
#include "tst_meters.moc"
