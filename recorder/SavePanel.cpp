#include "recorder/SavePanel.h"

#include "platform/ColorRef.h"
#include "platform/Controls.h"
#include "platform/Mci.h"
#include "platform/MsgBox.h"
#include "platform/ShortName.h"
#include "platform/Twips.h"
#include "recorder/OcxLame.h"
#include "settings/SettingsForm.h"

#include <QCoreApplication>
#include <QGroupBox>
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

QProgressBar *makeProgressBar(QWidget *parent)
{
    auto *bar = new QProgressBar(parent);
    bar->setRange(0, 100);
    bar->setValue(0);
    bar->setTextVisible(false);
    bar->setGeometry(twipsRect(120, 1380, 2850, 195));
    return bar;
}

// Stands in for the bar colour message of the progress bar control.
void SetProgressBarColor(QProgressBar *bar, qint32 color)
{
    // The style would shade a highlight colour into a gradient, so the colour itself would
    // never show: the filled part is painted flat, inside the groove's border, which stays
    // as the style draws it.
    bar->setStyleSheet(QStringLiteral("QProgressBar::chunk { background-color: %1; margin: 1px; }")
                           .arg(colorFromRef(color).name()));
}
} // namespace

SavePanel::SavePanel(QGroupBox *frame, SettingsForm &settings)
    : QObject(frame)
    , m_settings(settings)
    , cdlgmain(frame->window())
{
    cmdsave = makeButton(frame, QStringLiteral("Save"), QStringLiteral("save"), 2280, 360);
    // The WAV bar lies behind the MP3 bar on the same spot.
    pbrwavsave = makeProgressBar(frame);
    pbrmp3save = makeProgressBar(frame);
    lblinputfile = makeLabel(frame, QString(), 180, 480, 2070, 315);
    lblinputfile->setFrameShape(QFrame::Box);
    lblinputfile->hide();
    lbloutputfile = makeLabel(frame, QString(), 180, 480, 2070, 315);
    lbloutputfile->setFrameShape(QFrame::Box);
    lbloutputfile->hide();
    tmrsave = new QTimer(this);
    tmrsave->setInterval(10);
    tmrsave->setTimerType(Qt::PreciseTimer);
    lameocx = new OcxLame(this);
    nameControls({ { cmdsave, "cmdsave" }, { pbrmp3save, "pbrmp3save" },
        { pbrwavsave, "pbrwavsave" }, { lblinputfile, "lblinputfile" },
        { lbloutputfile, "lbloutputfile" }, { tmrsave, "tmrsave" }, { lameocx, "lameocx" } });

    connect(cmdsave, &QToolButton::clicked, this, &SavePanel::cmdsave_Click);
    connect(tmrsave, &QTimer::timeout, this, &SavePanel::tmrsave_Timer);
    connect(lameocx, &OcxLame::Progress, this, &SavePanel::lameocx_Progress);
    connect(lameocx, &OcxLame::Failed, this, &SavePanel::lameocx_Failed);
}

void SavePanel::setBarColors()
{
    SetProgressBarColor(pbrwavsave, 204 + 256 * 51 + 65536 * 51);
    SetProgressBarColor(pbrmp3save, 102 + 256 * 0 + 65536 * 51);
}

void SavePanel::setRecording(bool recording)
{
    m_recording = recording;
    cmdsave->setEnabled(!recording && !mSaving);
}

void SavePanel::cmdsave_Click()
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
    Q_EMIT savingChanged(true);
    cmdsave->window()->setCursor(Qt::WaitCursor);
    cmdsave->setEnabled(false);
    tmrsave->start();
}

void SavePanel::tmrsave_Timer()
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

bool SavePanel::SaveWave()
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

void SavePanel::EncodeMp3()
{
    if (lbloutputfile->text().isEmpty() || lblinputfile->text().isEmpty()) {
        failSave(QStringLiteral("PLEASE RECORD AND SAVE YOUR FILE BEFORE ENCODING! "));
        return;
    }
    lameocx->SetLibraryPath(
        QCoreApplication::applicationDirPath() + QStringLiteral("/lame_enc.dll"));
    lameocx->setBitrate(m_settings.bitrateText());
    // The encoder works on a thread of its own and reports by queued signals, so the
    // window goes on being drawn without being pumped here.
    if (!lameocx->EncodeFile(lblinputfile->text(), lbloutputfile->text()))
        failSave(QStringLiteral("COULD NOT START THE MP3 ENCODER!"));
}

void SavePanel::lameocx_Progress(int percent, int, int)
{
    pbrmp3save->setValue(percent);
    if (pbrmp3save->value() != 100)
        return;
    ShowNotice(cmdsave->window(), QStringLiteral("MP3 FILE GENERATED AS - ") + cdlgmain.FileName);
    endSave();
}

void SavePanel::lameocx_Failed()
{
    failSave(QStringLiteral("COULD NOT MAKE THE MP3 FILE!"));
}

void SavePanel::failSave(const QString &message)
{
    tmrsave->stop();
    ShowError(cmdsave->window(), message);
    endSave();
}

void SavePanel::endSave()
{
    pbrwavsave->setValue(0);
    pbrmp3save->setValue(0);
    pbrmp3save->setVisible(true);
    // A recording started meanwhile keeps Save for its Stop.
    cmdsave->setEnabled(!m_recording);
    cmdsave->window()->unsetCursor();
    mSaving = false;
    Q_EMIT savingChanged(false);
}
