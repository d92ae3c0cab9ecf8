#include "app/frmMain.h"

#include "platform/Mci.h"
#include "platform/MsgBox.h"
#include "recorder/RecordTime.h"

#include <QLabel>
#include <QTimer>
#include <QToolButton>

namespace
{
// Often enough that the seconds turn over on time, rarely enough to cost nothing.
constexpr int kRecordRefreshMs = 50;
} // namespace

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
    mRecording = 0;
    mRecordTimer->stop();
    cmdplay->setEnabled(true);
    // A save under way keeps its button until it has ended.
    cmdsave->setEnabled(!mSaving);
}

void frmMain::cmdplay_Click()
{
    mMciResult
        = mciSendStringA(QStringLiteral("play recSound from 0"), mMciReturn, kMciBufferLength, 0);
    reportMciResult();
}
