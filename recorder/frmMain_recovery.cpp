#include "app/frmMain.h"

#include "platform/Mci.h"
#include "platform/MsgBox.h"
#include "recorder/AudioBackend.h"
#include "recorder/RecordTime.h"
#include "recorder/TakeFile.h"
#include "recorder/WaveAudioDevice.h"

#include <QLabel>
#include <QToolButton>

void frmMain::offerLeftTakes()
{
    for (const QString &path : TakeFile::found()) {
        std::unique_ptr<TakeFile> take = TakeFile::hold(path);
        // Held by a program running now, or holding nothing worth a question.
        if (!take || take->frameBytes() == 0)
            continue;
        const QString length = recordTimeText(qint32(take->frameBytes() / kTakeBytesPerSec));
        if (!AskYesNo(this,
                QStringLiteral(
                    "A RECORDING OF %1 WAS LEFT BY A RUN OF THE PROGRAM THAT DID NOT END "
                    "PROPERLY. DO YOU WANT TO KEEP IT?")
                    .arg(length)))
            continue; // deleted as it is let go
        mciSendStringA(QStringLiteral("close all"), mMciReturn, kMciBufferLength, 0);
        mMciResult = qint32(openLeftTake(QStringLiteral("recSound"), std::move(take)));
        // Held as if just recorded and stopped. Older ones wait for the next start,
        // so that keeping one never costs another.
        mTimeText = length;
        lbltime->setText(mTimeText);
        cmdstop->setEnabled(true);
        endRecording();
        return;
    }
}
