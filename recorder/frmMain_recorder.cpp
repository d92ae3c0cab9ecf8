#include "app/frmMain.h"

#include "platform/Mci.h"
#include "platform/MsgBox.h"
#include "recorder/AudioBackend.h"
#include "recorder/RecordTime.h"
#include "recorder/TakeFile.h"
#include "recorder/WaveAudioDevice.h"
#include "settings/frmSettings.h"

#include <QLabel>
#include <QTimer>
#include <QToolButton>

namespace
{
// Often enough that the seconds turn over on time, rarely enough to cost nothing.
constexpr int kRecordRefreshMs = 50;
// Less room than this for the take is worth a word before the presenter starts.
constexpr qint64 kWarnBelowSeconds = 10 * 60;
} // namespace

void frmMain::watchRecorder()
{
    setMciFailureListener([this](qint32 code) { recSound_Failed(code); });
    // The MP3 is made while the take is recorded, at the rate the settings show at Record.
    encodeTakesWhileRecording([this] { return settingsForm().bitrateText(); });
    QTimer::singleShot(0, this, &frmMain::offerLeftTakes);
}

void frmMain::reportMciResult()
{
    if (mMciResult == 0)
        return;
    mciGetErrorStringA(mMciResult, mMciErrorText, kMciBufferLength);
    ShowError(this, mMciErrorText.toUpper());
}

void frmMain::cmdrecord_Click()
{
    // Closing discards the take held so far, or ends its playback; never reported.
    mMciResult = mciSendStringA(QStringLiteral("close all"), mMciReturn, kMciBufferLength, 0);
    mMciResult = mciSendStringA(
        QStringLiteral("open new Type waveaudio Alias recSound"), mMciReturn, kMciBufferLength, 0);
    reportMciResult();
    mMciResult
        = mciSendStringA(QStringLiteral("set recSound time format ms bitspersample 16 channels 2 "
                                        "samplespersec 44100 bytespersec 176400 alignment 4"),
            mMciReturn, kMciBufferLength, 0);
    reportMciResult();
    mMciResult = mciSendStringA(QStringLiteral("record recSound"), mMciReturn, kMciBufferLength, 0);
    if (mMciResult != 0) {
        reportMciResult();
        return;
    }
    cmdstop->setEnabled(true);
    cmdplay->setEnabled(false);
    cmdsave->setEnabled(false);
    mRecording = -1;
    mRecordStart = roundHalfEven(recordClockSeconds());
    ShowRecordTime();
    mRecordTimer->start(kRecordRefreshMs);
    if (TakeFile::room() < kWarnBelowSeconds * kTakeBytesPerSec)
        ShowNotice(this,
            QStringLiteral("THERE IS ROOM FOR LESS THAN 10 MINUTES OF RECORDING ON THE DISK. THE "
                           "RECORDING GOES ON; FREE SOME SPACE TO RECORD LONGER."));
}

void frmMain::ShowRecordTime()
{
    mElapsed = roundHalfEven(recordClockSeconds() - mRecordStart);
    if (mElapsed >= 60) {
        mRecordSeconds = qint16(mElapsed % 60);
        mRecordMinutes = qint16(mElapsed / 60);
    }
    mTimeText = recordTimeText(mElapsed);
    lbltime->setText(mTimeText);
}

void frmMain::cmdstop_Click()
{
    mMciResult = mciSendStringA(QStringLiteral("stop recSound"), mMciReturn, kMciBufferLength, 0);
    reportMciResult();
    endRecording();
}

void frmMain::endRecording()
{
    mRecording = 0;
    mRecordTimer->stop();
    cmdplay->setEnabled(true);
    // A save under way keeps its button until it has ended.
    cmdsave->setEnabled(!mSaving);
}

void frmMain::recSound_Failed(qint32 code)
{
    mMciResult = code;
    if (mRecording != 0)
        endRecording();
    reportMciResult();
}

void frmMain::cmdplay_Click()
{
    mMciResult
        = mciSendStringA(QStringLiteral("play recSound from 0"), mMciReturn, kMciBufferLength, 0);
    reportMciResult();
}
