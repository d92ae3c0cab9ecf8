#include "SyntheticAudio.h"
#include "TestSupport.h"
#include "WaveProbe.h"

#include "app/frmMain.h"
#include "platform/Mci.h"
#include "recorder/RecordTime.h"

#include <QLabel>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <algorithm>

namespace {

QString errorText(MciError error)
{
    QString text;
    mciGetErrorStringA(qint32(error), text, 1024);
    return text.toUpper();
}

struct Buttons {
    bool record, stop, play, save;
};

void expectButtons(const frmMain &w, Buttons b)
{
    QCOMPARE(w.cmdrecord->isEnabled(), b.record);
    QCOMPARE(w.cmdstop->isEnabled(), b.stop);
    QCOMPARE(w.cmdplay->isEnabled(), b.play);
    QCOMPARE(w.cmdsave->isEnabled(), b.save);
}

// Whether anything still refreshes the recording time: the window's only timers
// are the scroll clock, the save timer and the recording-time refresh, and
// nothing in these tests starts the first two.
bool timeRefreshRuns(const frmMain &w)
{
    const QList<QTimer *> timers = w.findChildren<QTimer *>();
    return std::any_of(timers.cbegin(), timers.cend(), [](const QTimer *t) { return t->isActive(); });
}

constexpr Buttons kIdle { true, false, false, true };
constexpr Buttons kRecording { true, true, false, false };
constexpr Buttons kStopped { true, true, true, true };

} // namespace

class tst_Recorder : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void formatsTheRecordingTime_data();
    void formatsTheRecordingTime();
    void roundsTheClock_data();
    void roundsTheClock();
    void countsWhileRecording();
    void movesButtonsThroughRecordAndStop();
    void reportsEveryFailureWhenOpenFails();
    void staysIdleWithoutInput();
    void leavesRecordingWhenStopFails();
    void restartsOnRecordDuringRecording();
    void stopTwiceEndsAsOnce();
    void stopEndsPlayback();
    void recordDuringPlaybackStartsOver();

private:
    SyntheticAudio m_audio;
    double m_now = 0;
    std::unique_ptr<SettingsFolder> m_settings;
};

void tst_Recorder::init()
{
    m_audio = SyntheticAudio();
    installWaveAudioDriver(m_audio.factory());
    m_now = 5000.0;
    setRecordClock([this] { return m_now; });
    m_settings = std::make_unique<SettingsFolder>();
}

void tst_Recorder::cleanup()
{
    QString ret;
    mciSendStringA(QStringLiteral("close all"), ret, 1024, 0);
    setRecordClock({});
    m_settings.reset();
}

void tst_Recorder::formatsTheRecordingTime_data()
{
    QTest::addColumn<int>("elapsed");
    QTest::addColumn<QString>("text");
    QTest::newRow("0") << 0 << QStringLiteral("00:00");
    QTest::newRow("9") << 9 << QStringLiteral("00:09");
    QTest::newRow("59") << 59 << QStringLiteral("00:59");
    QTest::newRow("60") << 60 << QStringLiteral("01:00");
    QTest::newRow("754") << 754 << QStringLiteral("12:34");
    QTest::newRow("3599") << 3599 << QStringLiteral("59:59");
    QTest::newRow("3600") << 3600 << QStringLiteral("60:00");
    QTest::newRow("6000") << 6000 << QStringLiteral("100:00");
}

void tst_Recorder::formatsTheRecordingTime()
{
    QFETCH(int, elapsed);
    QFETCH(QString, text);
    QCOMPARE(recordTimeText(elapsed), text);
}

void tst_Recorder::roundsTheClock_data()
{
    QTest::addColumn<double>("start");
    QTest::addColumn<double>("now");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("minutes");
    QTest::addColumn<int>("seconds");
    QTest::newRow("59.4") << 1000.0 << 1059.4 << QStringLiteral("00:59") << 0 << 0;
    QTest::newRow("59.5 to even 60") << 1000.0 << 1059.5 << QStringLiteral("01:00") << 1 << 0;
    QTest::newRow("60.5 to even 60") << 1000.0 << 1060.5 << QStringLiteral("01:00") << 1 << 0;
    QTest::newRow("58.5 to even 58") << 1000.0 << 1058.5 << QStringLiteral("00:58") << 0 << 0;
    QTest::newRow("754") << 1000.0 << 1754.2 << QStringLiteral("12:34") << 12 << 34;
    // The start is rounded too: 1000.5 goes to 1000 and 1001.5 to 1002. Unrounded,
    // or rounded half up, the same readings would show 00:01 and 00:02.
    QTest::newRow("start half down") << 1000.5 << 1001.6 << QStringLiteral("00:02") << 0 << 0;
    QTest::newRow("start half up") << 1001.5 << 1003.4 << QStringLiteral("00:01") << 0 << 0;
}

void tst_Recorder::roundsTheClock()
{
    QFETCH(double, start);
    QFETCH(double, now);
    QFETCH(QString, text);
    QFETCH(int, minutes);
    QFETCH(int, seconds);
    frmMain w;
    m_now = start;
    w.cmdrecord->click();
    QCOMPARE(w.lbltime->text(), QStringLiteral("00:00"));
    m_now = now;
    QTRY_COMPARE(w.lbltime->text(), text);
    QCOMPARE(w.mTimeText, text);
    QCOMPARE(w.mRecordMinutes, minutes);
    QCOMPARE(w.mRecordSeconds, seconds);
}

void tst_Recorder::countsWhileRecording()
{
    frmMain w;
    w.cmdrecord->click();
    QCOMPARE(w.mRecording, -1);
    for (int s : { 1, 2, 7 }) {
        m_now = 5000.0 + s;
        QTRY_COMPARE(w.mElapsed, s);
    }
    QCOMPARE(w.lbltime->text(), QStringLiteral("00:07"));
    QVERIFY(timeRefreshRuns(w));
    w.cmdstop->click();
    QCOMPARE(w.mRecording, 0);
    // The label keeps the last time shown.
    QVERIFY(!timeRefreshRuns(w));
    m_now = 5030.0;
    w.cmdplay->click();
    QVERIFY(!timeRefreshRuns(w));
    QCOMPARE(w.lbltime->text(), QStringLiteral("00:07"));
}

void tst_Recorder::movesButtonsThroughRecordAndStop()
{
    CapturedMessages boxes;
    frmMain w;
    expectButtons(w, kIdle);
    w.cmdrecord->click();
    expectButtons(w, kRecording);
    QCOMPARE(m_audio.captureStarts, 1);
    w.cmdstop->click();
    expectButtons(w, kStopped);
    w.cmdplay->click();
    expectButtons(w, kStopped);
    QCOMPARE(m_audio.playbackStarts, 1);
    QVERIFY(boxes.list.empty());
}

void tst_Recorder::reportsEveryFailureWhenOpenFails()
{
    installMciDriver(QStringLiteral("waveaudio"), {});
    CapturedMessages boxes;
    frmMain w;
    w.cmdrecord->click();
    const QStringList expected = { errorText(MciError::NoDriver),
        errorText(MciError::UnknownDevice), errorText(MciError::UnknownDevice) };
    QStringList shown;
    for (const ShownMessage &m : boxes.list) {
        shown << m.text;
        QCOMPARE(m.title, QStringLiteral("Error"));
        QCOMPARE(m.style, MsgStyle::Critical);
    }
    QCOMPARE(shown, expected);
    QCOMPARE(w.mMciResult, qint32(MciError::UnknownDevice));
    QCOMPARE(w.mRecording, 0);
    expectButtons(w, kIdle);
    QVERIFY(!timeRefreshRuns(w));
    QCOMPARE(w.lbltime->text(), QStringLiteral("00:00"));
}

void tst_Recorder::staysIdleWithoutInput()
{
    m_audio.hasInput = false;
    CapturedMessages boxes;
    frmMain w;
    w.cmdrecord->click();
    QCOMPARE(boxes.list.size(), size_t(1));
    QCOMPARE(boxes.list.front().text, errorText(MciError::NoInputDevice));
    QCOMPARE(w.mRecording, 0);
    expectButtons(w, kIdle);
    QVERIFY(!timeRefreshRuns(w));
    QCOMPARE(w.lbltime->text(), QStringLiteral("00:00"));
}

void tst_Recorder::leavesRecordingWhenStopFails()
{
    CapturedMessages boxes;
    frmMain w;
    w.cmdrecord->click();
    QString ret;
    QCOMPARE(mciSendStringA(QStringLiteral("close all"), ret, 1024, 0), 0);
    w.cmdstop->click();
    QCOMPARE(boxes.list.size(), size_t(1));
    QCOMPARE(boxes.list.front().text, errorText(MciError::UnknownDevice));
    QCOMPARE(w.mRecording, 0);
    QVERIFY(!timeRefreshRuns(w));
    expectButtons(w, kStopped);
}

void tst_Recorder::restartsOnRecordDuringRecording()
{
    QTemporaryDir dir;
    CapturedMessages boxes;
    frmMain w;
    w.cmdrecord->click();
    m_audio.feed(44100);
    m_now += 10;
    QTRY_COMPARE(w.lbltime->text(), QStringLiteral("00:10"));

    w.cmdrecord->click();
    QCOMPARE(w.lbltime->text(), QStringLiteral("00:00"));
    expectButtons(w, kRecording);
    QCOMPARE(m_audio.captureStarts, 2);
    const qint64 first = m_audio.capturedFrames;
    m_audio.feed(1000);
    m_now += 3;
    QTRY_COMPARE(w.lbltime->text(), QStringLiteral("00:03"));
    w.cmdstop->click();

    // Only the second take is held.
    const QString path = dir.filePath(QStringLiteral("take.wav"));
    QString ret;
    QCOMPARE(mciSendStringA(QStringLiteral("save recSound %1 wait").arg(path), ret, 1024, 0), 0);
    const WaveProbe wave = readWave(path);
    QCOMPARE(wave.info.frames, 1000);
    QCOMPARE(wave.samples.front(), SyntheticAudio::sampleAt(first));
    QVERIFY(boxes.list.empty());
}

void tst_Recorder::stopTwiceEndsAsOnce()
{
    CapturedMessages boxes;
    frmMain w;
    w.cmdrecord->click();
    m_now += 4;
    QTRY_COMPARE(w.lbltime->text(), QStringLiteral("00:04"));
    w.cmdstop->click();
    w.cmdstop->click();
    expectButtons(w, kStopped);
    QCOMPARE(w.mRecording, 0);
    QVERIFY(!timeRefreshRuns(w));
    QCOMPARE(w.mMciResult, 0);
    QCOMPARE(w.lbltime->text(), QStringLiteral("00:04"));
    QVERIFY(boxes.list.empty());
}

void tst_Recorder::stopEndsPlayback()
{
    CapturedMessages boxes;
    frmMain w;
    w.cmdrecord->click();
    const qint64 first = m_audio.capturedFrames;
    m_audio.feed(8000);
    w.cmdstop->click();
    w.cmdplay->click();
    QVERIFY(m_audio.source);
    m_audio.pull(3000);
    w.cmdstop->click();
    QVERIFY(!m_audio.source);
    expectButtons(w, kStopped);
    w.cmdplay->click();
    const std::vector<qint16> replay = m_audio.pull(8000);
    QCOMPARE(replay.size(), size_t(2 * 8000));
    QCOMPARE(replay.front(), SyntheticAudio::sampleAt(first));
    QVERIFY(boxes.list.empty());
}

void tst_Recorder::recordDuringPlaybackStartsOver()
{
    QTemporaryDir dir;
    CapturedMessages boxes;
    frmMain w;
    w.cmdrecord->click();
    m_audio.feed(8000);
    m_now += 6;
    QTRY_COMPARE(w.lbltime->text(), QStringLiteral("00:06"));
    w.cmdstop->click();
    w.cmdplay->click();
    m_audio.pull(2000);

    w.cmdrecord->click();
    QVERIFY(!m_audio.source);
    QVERIFY(m_audio.sink);
    expectButtons(w, kRecording);
    QCOMPARE(w.lbltime->text(), QStringLiteral("00:00"));
    const qint64 first = m_audio.capturedFrames;
    m_audio.feed(300);
    w.cmdstop->click();

    // The played take is gone; Play and Save work on the new one.
    w.cmdplay->click();
    const std::vector<qint16> played = m_audio.pull(8000);
    QCOMPARE(played.size(), size_t(2 * 300));
    QCOMPARE(played.front(), SyntheticAudio::sampleAt(first));
    const QString path = dir.filePath(QStringLiteral("take.wav"));
    QString ret;
    QCOMPARE(mciSendStringA(QStringLiteral("save recSound %1 wait").arg(path), ret, 1024, 0), 0);
    QCOMPARE(readWave(path).info.frames, 300);
    QVERIFY(boxes.list.empty());
}

QTEST_MAIN(tst_Recorder)
#include "tst_recorder.moc"
