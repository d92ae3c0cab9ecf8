#include "app/frmMain.h"

#include "app/Module1.h"
#include "platform/Mci.h"
#include "platform/MsgBox.h"
#include "recorder/OcxLame.h"
#include "settings/frmSettings.h"

#include <QCoreApplication>
#include <QLabel>
#include <QProgressBar>
#include <QTimer>
#include <QToolButton>

namespace
{
const QString kMp3Extension = QStringLiteral(".mp3");

// The name with its last three characters, the extension, replaced.
QString withExtension(const QString &name, const QString &extension)
{
    return name.chopped(3) + extension;
}
} // namespace

void frmMain::cmdsave_Click()
{
    if (mSaving)
        return;
    cdlgmain.CancelError = true;
    cdlgmain.DialogTitle = QStringLiteral("Save Mp3 File");
    cdlgmain.MaxFileSize = 32000;
    cdlgmain.Filter = QStringLiteral("Mp3 Files|*.mp3");
    cdlgmain.Flags = CommonDialog::kOverwritePrompt | CommonDialog::kHideReadOnly;
    cdlgmain.DefaultExt = QStringLiteral("mp3");
    if (!cdlgmain.ShowSave() || cdlgmain.FileName.isEmpty())
        return;
    // The derived names replace a three-letter extension, so a name typed without
    // one gets it rather than losing its last letters.
    if (!cdlgmain.FileName.endsWith(kMp3Extension, Qt::CaseInsensitive)) {
        cdlgmain.FileName += kMp3Extension;
        cdlgmain.FileTitle += kMp3Extension;
    }
    mWavPath = withExtension(cdlgmain.FileName, QStringLiteral("wav"));
    mWavTitle = withExtension(cdlgmain.FileTitle, QStringLiteral("wav"));
    mSaving = true;
    setCursor(Qt::WaitCursor);
    cmdsave->setEnabled(false);
    tmrsave->start();
}

void frmMain::tmrsave_Timer()
{
    pbrmp3save->setVisible(false);
    if (pbrwavsave->value() < 100) {
        if (pbrwavsave->value() == 40 && !SaveWave())
            return;
        pbrwavsave->setValue(pbrwavsave->value() + 1);
        return;
    }
    tmrsave->stop();
    pbrwavsave->setValue(0);
    pbrmp3save->setVisible(true);
    EncodeMp3();
}

bool frmMain::SaveWave()
{
    mShortWavPath = GetShortName(mWavPath);
    if (mShortWavPath.isEmpty()) {
        failSave(QStringLiteral("COULD NOT SAVE THE WAV FILE HERE!"));
        return false;
    }
    mMciResult
        = mciSendStringA(QStringLiteral("save recSound ") + mShortWavPath + QStringLiteral(" wait"),
            mMciReturn, kMciBufferLength, 0);
    if (mMciResult == qint32(MciError::UnknownDevice)
        || mMciResult == qint32(MciError::NothingRecorded)) {
        failSave(QStringLiteral("THERE IS NO RECORDING TO SAVE!"));
        return false;
    }
    if (mMciResult != 0) {
        failSave(QStringLiteral("COULD NOT SAVE THE WAV FILE!"));
        return false;
    }
    // The MP3 goes under the name as chosen: on a case-sensitive disk a derived
    // "mp3" could name another file than the one the overwrite question was about.
    lbloutputfile->setText(cdlgmain.FileName);
    mLastBackslash = qint16(mShortWavPath.lastIndexOf(QLatin1Char('/')) + 1);
    lblinputfile->setText(
        mWavPath.left(mWavPath.size() - mWavTitle.size()) + mShortWavPath.mid(mLastBackslash));
    return true;
}

void frmMain::EncodeMp3()
{
    if (lbloutputfile->text().isEmpty() || lblinputfile->text().isEmpty()) {
        failSave(QStringLiteral("PLEASE RECORD AND SAVE YOUR FILE BEFORE ENCODING! "));
        return;
    }
    lameocx->SetLibraryPath(
        QCoreApplication::applicationDirPath() + QStringLiteral("/lame_enc.dll"));
    lameocx->setBitrate(settingsForm().bitrateText());
    QCoreApplication::processEvents();
    if (!lameocx->EncodeFile(lblinputfile->text(), lbloutputfile->text()))
        failSave(QStringLiteral("COULD NOT START THE MP3 ENCODER!"));
}

void frmMain::lameocx_Progress(int percent, int, int)
{
    pbrmp3save->setValue(percent);
    QCoreApplication::processEvents();
    if (pbrmp3save->value() != 100)
        return;
    ShowNotice(this, QStringLiteral("MP3 FILE GENERATED AS - ") + cdlgmain.FileName);
    endSave();
}

void frmMain::lameocx_Failed()
{
    failSave(QStringLiteral("COULD NOT MAKE THE MP3 FILE!"));
}

void frmMain::failSave(const QString &message)
{
    tmrsave->stop();
    ShowError(this, message);
    endSave();
}

void frmMain::endSave()
{
    pbrwavsave->setValue(0);
    pbrmp3save->setValue(0);
    pbrmp3save->setVisible(true);
    // A recording started meanwhile keeps Save for its Stop.
    cmdsave->setEnabled(mRecording == 0);
    unsetCursor();
    mSaving = false;
}
