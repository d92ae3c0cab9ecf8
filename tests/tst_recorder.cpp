#include "SyntheticAudio.h"
#include "TestSupport.h"
#include "WaveProbe.h"

#include "app/frmMain.h"
#include "platform/Mci.h"
#include "recorder/RecordTime.h"

#include <QLabel>
#include <QTimer>
#include <QToolButton>

namespace {

QString errorText(MciError error)
{
    QString text;
    mciGetErrorStringA(qint32(error), text, 1024);
    return text.toUpper();
}

// Record, Stop, Play, Save enabled; and whether anything refreshes the time (the window's
// other timers, the scroll clock and the save timer, are not started by these tests).
QString panel(const frmMain &w)
{
    QString state;
    for (const QWidget *b : {w.cmdrecord, w.cmdstop, w.cmdplay, w.cmdsave})
        state += b->isEnabled() ? QLatin1Char('1') : QLatin1Char('0');
    const QList<QTimer *> timers = w.findChildren<QTimer *>();
    const bool ticking = std::any_of(timers.cbegin(), timers.cend(), [](QTimer *t) { return t->isActive(); });
    return state + (ticking ? QStringLiteral(" ticking") : QString());
}

const QString kIdle = QStringLiteral("1001");
const QString kRecording = QStringLiteral("1100 ticking");
const QString kStopped = QStringLiteral("1111");

} // namespace

class tst_Recorder : public QObject
{
    Q_OBJECT

    SyntheticAudio m_audio;
    double m_now = 0;
    std::unique_ptr<SettingsFolder> m_settings;
    std::unique_ptr<CapturedMessages> m_boxes;

    QString saveTake()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("take.wav"));
        QString ret;
        mciSendStringA(QStringLiteral("save recSound %1 wait").arg(path), ret, 1024, 0);
        const WaveProbe wave = readWave(path);
        return QStringLiteral("%1 frames from %2").arg(wave.info.frames).arg(wave.samples.at(0));
    }

private Q_SLOTS:
    void init()
    {
        m_audio = SyntheticAudio();
        installWaveAudioDriver(m_audio.factory());
        m_now = 5000.0;
        setRecordClock([this] { return m_now; });
        m_settings = std::make_unique<SettingsFolder>();
        m_boxes = std::make_unique<CapturedMessages>();
    }

    void cleanup()
    {
        QString ret;
        mciSendStringA(QStringLiteral("close all"), ret, 1024, 0);
        setRecordClock({});
        m_boxes.reset();
        m_settings.reset();
    }

    void showsTheTime_data()
    {
        QTest::addColumn<double>("start");
        QTest::addColumn<double>("now");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("minutes");
        QTest::addColumn<int>("seconds");
        QTest::newRow("9") << 1000.0 << 1009.0 << "00:09" << 0 << 0;
        QTest::newRow("59.4") << 1000.0 << 1059.4 << "00:59" << 0 << 0;
        QTest::newRow("59.5 to even 60") << 1000.0 << 1059.5 << "01:00" << 1 << 0;
        QTest::newRow("60.5 to even 60") << 1000.0 << 1060.5 << "01:00" << 1 << 0;
        QTest::newRow("58.5 to even 58") << 1000.0 << 1058.5 << "00:58" << 0 << 0;
        QTest::newRow("754") << 1000.0 << 1754.2 << "12:34" << 12 << 34;
        QTest::newRow("3599") << 1000.0 << 4599.0 << "59:59" << 59 << 59;
        QTest::newRow("6000") << 1000.0 << 7000.0 << "100:00" << 100 << 0;
        // The start is rounded too: 1000.5 to 1000 and 1001.5 to 1002. Unrounded, or
        // rounded half up, the same readings would show 00:01 and 00:02.
        QTest::newRow("start half down") << 1000.5 << 1001.6 << "00:02" << 0 << 0;
        QTest::newRow("start half up") << 1001.5 << 1003.4 << "00:01" << 0 << 0;
    }

    void showsTheTime()
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

    void recordsStopsAndPlays()
    {
        frmMain w;
        QCOMPARE(panel(w), kIdle);
        w.cmdrecord->click();
        QCOMPARE(panel(w), kRecording);
        QCOMPARE(w.mRecording, -1);
        const qint64 first = m_audio.capturedFrames;
        m_audio.feed(8000);
        for (int s : {1, 2, 7}) {
            m_now = 5000.0 + s;
            QTRY_COMPARE(w.mElapsed, s);
        }
        QCOMPARE(w.lbltime->text(), QStringLiteral("00:07"));
        // Stop twice ends as once; the label keeps the last time shown, even through Play.
        w.cmdstop->click();
        w.cmdstop->click();
        QCOMPARE(panel(w), kStopped);
        QCOMPARE(w.mRecording, 0);
        QCOMPARE(w.mMciResult, 0);
        m_now = 5030.0;
        w.cmdplay->click();
        QCOMPARE(panel(w), kStopped);
        QCOMPARE(w.lbltime->text(), QStringLiteral("00:07"));
        m_audio.pull(3000);
        // Stop ends the playback; Play starts it over.
        w.cmdstop->click();
        QVERIFY(!m_audio.source);
        QCOMPARE(panel(w), kStopped);
        w.cmdplay->click();
        const std::vector<qint16> replay = m_audio.pull(9000);
        QCOMPARE(replay.size(), size_t(2 * 8000));
        QCOMPARE(replay.front(), SyntheticAudio::sampleAt(first));
        QCOMPARE(m_audio.playbackStarts, 2);
        QVERIFY(m_boxes->list.empty());
    }

    void failedRecordStaysIdle_data()
    {
        QTest::addColumn<bool>("driver");
        QTest::addColumn<QStringList>("boxes");
        // Open, set and record each report their failure.
        QTest::newRow("no driver") << false << QStringList{errorText(MciError::NoDriver),
            errorText(MciError::UnknownDevice), errorText(MciError::UnknownDevice)};
        QTest::newRow("no input") << true << QStringList{errorText(MciError::NoInputDevice)};
    }

    void failedRecordStaysIdle()
    {
        QFETCH(bool, driver);
        QFETCH(QStringList, boxes);
        if (!driver)
            installMciDriver(QStringLiteral("waveaudio"), {});
        m_audio.hasInput = false;
        frmMain w;
        w.cmdrecord->click();
        QStringList shown;
        for (const ShownMessage &m : m_boxes->list) {
            shown << m.text;
            QCOMPARE(m.title, QStringLiteral("Error"));
            QCOMPARE(m.style, MsgStyle::Critical);
        }
        QCOMPARE(shown, boxes);
        QCOMPARE(w.mRecording, 0);
        QCOMPARE(panel(w), kIdle);
        QCOMPARE(w.lbltime->text(), QStringLiteral("00:00"));
    }

    void failedStopLeavesRecording()
    {
        frmMain w;
        w.cmdrecord->click();
        QString ret;
        QCOMPARE(mciSendStringA(QStringLiteral("close all"), ret, 1024, 0), 0);
        w.cmdstop->click();
        QCOMPARE(m_boxes->list.size(), size_t(1));
        QCOMPARE(m_boxes->list.front().text, errorText(MciError::UnknownDevice));
        QCOMPARE(w.mRecording, 0);
        QCOMPARE(panel(w), kStopped);
    }

    void recordAgainStartsOver_data()
    {
        QTest::addColumn<bool>("playing");
        QTest::newRow("during the recording") << false;
        QTest::newRow("during the playback") << true;
    }

    void recordAgainStartsOver()
    {
        QFETCH(bool, playing);
        frmMain w;
        w.cmdrecord->click();
        m_audio.feed(8000);
        m_now += 10;
        QTRY_COMPARE(w.lbltime->text(), QStringLiteral("00:10"));
        if (playing) {
            w.cmdstop->click();
            w.cmdplay->click();
            m_audio.pull(2000);
        }
        w.cmdrecord->click();
        QVERIFY(!m_audio.source && m_audio.sink);
        QCOMPARE(panel(w), kRecording);
        QCOMPARE(w.lbltime->text(), QStringLiteral("00:00"));
        QCOMPARE(m_audio.captureStarts, 2);
        const qint64 first = m_audio.capturedFrames;
        m_audio.feed(300);
        m_now += 3;
        QTRY_COMPARE(w.lbltime->text(), QStringLiteral("00:03"));
        w.cmdstop->click();
        // Only the new take is held, for Play and for Save.
        w.cmdplay->click();
        QCOMPARE(m_audio.pull(8000).size(), size_t(2 * 300));
        QCOMPARE(saveTake(), QStringLiteral("300 frames from %1").arg(SyntheticAudio::sampleAt(first)));
        QVERIFY(m_boxes->list.empty());
    }
};

QTEST_MAIN(tst_Recorder)
#include "tst_recorder.moc"
