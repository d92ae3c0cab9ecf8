#include "SyntheticAudio.h"
#include "TestSupport.h"

#include "app/frmMain.h"
#include "platform/Mci.h"
#include "recorder/RecordTime.h"

#include <QLabel>
#include <QTimer>
#include <QToolButton>

namespace
{

QString errorText(MciError error)
{
    QString text;
    mciGetErrorStringA(qint32(error), text, 1024);
    return text.toUpper();
}

// Whether Record, Stop, Play and Save are enabled, then " ticking" while the recording time
// is refreshed (these tests start neither the scroll clock nor the save timer).
QString panel(const frmMain &w)
{
    QString state;
    for (const QWidget *button : { w.cmdrecord, w.cmdstop, w.cmdplay, w.cmdsave })
        state += QString::number(button->isEnabled());
    for (const QTimer *timer : w.findChildren<QTimer *>())
        state += timer->isActive() ? QStringLiteral(" ticking") : QString();
    return state;
}

} // namespace

class tst_Recorder : public QObject
{
    Q_OBJECT

    SyntheticAudio m_audio;
    double m_now = 0; // seconds on the recording clock
    SettingsFolder m_settings;
    CapturedMessages m_boxes;

    // What Play gives of the take: its frames, and whether it starts at frame first.
    QString played(qint64 first) const
    {
        const std::vector<qint16> samples = m_audio.pull(1 << 20);
        const bool fromFirst = !samples.empty() && samples[0] == SyntheticAudio::sampleAt(first);
        return QString::number(samples.size() / 2) + (fromFirst ? " from the first" : "");
    }

private Q_SLOTS:
    void initTestCase()
    {
        setRecordClock([this] { return m_now; });
    }

    void init()
    {
        m_audio = SyntheticAudio();
        installWaveAudioDriver(m_audio.factory());
        m_now = 5000;
        m_boxes.list.clear();
    }

    void cleanup()
    {
        QString ret;
        mciSendStringA(QStringLiteral("close all"), ret, 1024, 0);
    }

    void showsTheTime_data()
    {
        QTest::addColumn<double>("start");
        QTest::addColumn<double>("now");
        QTest::addColumn<QString>("text");
        QTest::newRow("59.4") << 1000.0 << 1059.4 << "00:59";
        QTest::newRow("59.5 to even 60") << 1000.0 << 1059.5 << "01:00";
        QTest::newRow("60.5 to even 60") << 1000.0 << 1060.5 << "01:00";
        QTest::newRow("754") << 1000.0 << 1754.2 << "12:34";
        QTest::newRow("3599") << 1000.0 << 4599.0 << "59:59";
        QTest::newRow("6000") << 1000.0 << 7000.0 << "100:00";
        // The start is rounded too: 1000.5 to 1000 and 1001.5 to 1002. Unrounded, or
        // rounded half up, the same readings would show 00:01 and 00:02.
        QTest::newRow("start half down") << 1000.5 << 1001.6 << "00:02";
        QTest::newRow("start half up") << 1001.5 << 1003.4 << "00:01";
    }
    // Then a Stop that fails: it is reported, and still ends the recording and its clock.
    void showsTheTime()
    {
        QFETCH(double, start);
        QFETCH(double, now);
        QFETCH(QString, text);
        frmMain w;
        m_now = start;
        w.cmdrecord->click();
        QCOMPARE(w.lbltime->text(), QStringLiteral("00:00"));
        m_now = now;
        QTRY_COMPARE(w.lbltime->text(), text);
        cleanup(); // closes the element behind the window's back
        w.cmdstop->click();
        QCOMPARE(m_boxes.list.size(), size_t(1));
        QCOMPARE(m_boxes.list.front().text, errorText(MciError::UnknownDevice));
        QCOMPARE(w.mRecording, 0);
        QCOMPARE(panel(w), QStringLiteral("1111"));
    }

    void recordsStopsAndPlays()
    {
        frmMain w;
        QCOMPARE(panel(w), QStringLiteral("1001"));
        w.cmdrecord->click();
        QCOMPARE(panel(w), QStringLiteral("1100 ticking"));
        QCOMPARE(w.mRecording, -1);
        qint64 first = m_audio.capturedFrames;
        m_audio.feed(8000);
        for (int s : { 1, 2, 7 }) {
            m_now = 5000.0 + s;
            QTRY_COMPARE(w.mElapsed, s);
        }
        // Stop twice ends as once; the label keeps the last time shown, through Play too.
        w.cmdstop->click();
        w.cmdstop->click();
        QVERIFY(w.mRecording == 0 && w.mMciResult == 0);
        m_now = 5030;
        w.cmdplay->click();
        QCOMPARE(panel(w), QStringLiteral("1111"));
        QCOMPARE(w.lbltime->text(), QStringLiteral("00:07"));
        m_audio.pull(3000);
        // Stop ends the playback; Play starts it over.
        w.cmdstop->click();
        QVERIFY(!m_audio.source);
        w.cmdplay->click();
        QCOMPARE(played(first), QStringLiteral("8000 from the first"));

        // Record, during the playback and then during the recording, ends what runs and
        // discards the take, and starts the clock over.
        for (int again = 0; again < 2; ++again) {
            w.cmdrecord->click();
            QVERIFY(!m_audio.source && m_audio.sink);
            QCOMPARE(panel(w), QStringLiteral("1100 ticking"));
            QCOMPARE(w.lbltime->text(), QStringLiteral("00:00"));
            first = m_audio.capturedFrames;
            m_audio.feed(300);
            m_now += 3;
            QTRY_COMPARE(w.lbltime->text(), QStringLiteral("00:03"));
        }
        w.cmdstop->click();
        w.cmdplay->click();
        QCOMPARE(played(first), QStringLiteral("300 from the first"));
        QVERIFY(m_boxes.list.empty());
    }

    // Open, set and record each report their failure.
    void failedOpenShowsEveryError()
    {
        installMciDriver(QStringLiteral("waveaudio"), {});
        frmMain w;
        w.cmdrecord->click();
        QStringList shown;
        for (const ShownMessage &m : m_boxes.list) {
            shown << m.text;
            QVERIFY(m.title == QStringLiteral("Error") && m.style == MsgStyle::Critical);
        }
        QCOMPARE(shown,
            QStringList({ errorText(MciError::NoDriver), errorText(MciError::UnknownDevice),
                errorText(MciError::UnknownDevice) }));
        QCOMPARE(w.mRecording, 0);
        QCOMPARE(panel(w), QStringLiteral("1001"));
        QCOMPARE(w.lbltime->text(), QStringLiteral("00:00"));
    }
};

QTEST_MAIN(tst_Recorder)
#include "tst_recorder.moc"
