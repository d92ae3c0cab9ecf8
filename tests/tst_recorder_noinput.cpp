#include "TestSupport.h"

#include "app/frmMain.h"
#include "platform/Mci.h"
#include "recorder/WaveAudioDevice.h"

#include <QLabel>
#include <QToolButton>

// Runs with no sound server to reach: the sound system offers no input at all.
class tst_RecorderNoInput : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void recordShowsOneErrorAndChangesNothing()
    {
        installWaveAudioDriver();
        SettingsFolder settings;
        CapturedMessages boxes;
        frmMain w;
        w.cmdrecord->click();
        QString error;
        mciGetErrorStringA(qint32(MciError::NoInputDevice), error, 1024);
        QCOMPARE(boxes.list.size(), size_t(1));
        QCOMPARE(boxes.list.front().text, error.toUpper());
        QCOMPARE(boxes.list.front().title, QStringLiteral("Error"));
        QVERIFY(w.cmdrecord->isEnabled() && !w.cmdstop->isEnabled() && !w.cmdplay->isEnabled());
        QVERIFY(w.cmdsave->isEnabled() && w.mRecording == 0);
        QCOMPARE(w.lbltime->text(), QStringLiteral("00:00"));
        mciSendStringA(QStringLiteral("close all"), error, 1024, 0);
    }
};

QTEST_MAIN(tst_RecorderNoInput)
#include "tst_recorder_noinput.moc"
