#include "TestSupport.h"

#include "app/frmMain.h"
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
        QCOMPARE(boxes.shown(), QStringList { errorBox(MciError::NoInputDevice) });
        QVERIFY(!child(w, "cmdstop")->isEnabled()); // nothing started
        send(QStringLiteral("close all"));
    }
};

QTEST_MAIN(tst_RecorderNoInput)
#include "tst_recorder_noinput.moc"
