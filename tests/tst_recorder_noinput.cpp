#include "TestSupport.h"

#include "app/frmMain.h"
#include "platform/Mci.h"
#include "recorder/WaveAudioDevice.h"

// Runs with no sound server to reach: the sound system offers no input at all.
class tst_RecorderNoInput : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void recordShowsOneError()
    {
        installWaveAudioDriver();
        SettingsFolder settings;
        CapturedMessages boxes;
        frmMain w;
        click(w, "cmdrecord");
        QString text;
        mciGetErrorStringA(qint32(MciError::NoInputDevice), text, 1024);
        QCOMPARE(boxes.shown(), QStringList { "Error: " + text.toUpper() });
        QVERIFY(!child(w, "cmdstop")->isEnabled()); // nothing started
        mciSendStringA(QStringLiteral("close all"), text, 1024, 0);
    }
};

QTEST_MAIN(tst_RecorderNoInput)
#include "tst_recorder_noinput.moc"
