#include "recorder/RecorderPanel.h"

#include "platform/Controls.h"
#include "platform/Fonts.h"
#include "platform/Mci.h"
#include "platform/MsgBox.h"
#include "recorder/AudioBackend.h"
#include "recorder/InputChoice.h"
#include "recorder/InputMeters.h"
#include "recorder/RecordTime.h"
#include "recorder/SavePanel.h"
#include "recorder/TakeFile.h"
#include "recorder/WaveAudioDevice.h"
#include "settings/SettingsForm.h"

#include <QDateTime>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QTimer>
#include <QToolButton>

namespace
{
// Often enough that the seconds turn over on time, rarely enough to cost nothing.
constexpr int kRecordRefreshMs = 50;
// Less room than this for the take is worth a word before the presenter starts.
constexpr qint64 kWarnBelowSeconds = 10 * 60;
} // namespace

RecorderPanel::RecorderPanel(QWidget *window, SettingsForm &settings)
    : QObject(window)
    , m_window(window)
{
    Frame1 = makeRedPanel(window, QStringLiteral("Recorder"), 6420, 5940, 3075, 1695);
    cmdrecord = makeButton(Frame1, QStringLiteral("Record"), QStringLiteral("record"), 120, 360);
    cmdstop = makeButton(Frame1, QStringLiteral("Stop"), QStringLiteral("stop"), 840, 360);
    cmdplay = makeButton(Frame1, QStringLiteral("Play"), QStringLiteral("play"), 1560, 360);
    m_save = new SavePanel(Frame1, settings);
    m_meters = new InputMeters(Frame1);
    m_input = new InputChoice(window);
    m_menu = new QMenu(Frame1);
    m_menu->setObjectName(QStringLiteral("mnurecorder"));
    Frame1->setContextMenuPolicy(Qt::CustomContextMenu);

    // The caption is sized to its text; the time keeps room for "999:59".
    Label2 = makeLabel(Frame1, QStringLiteral("Recording Time:"), 660, 1080, 1155, 210);
    Label2->adjustSize();
    lbltime = makeLabel(Frame1, QStringLiteral("00:00"), 1920, 1080, 900, 210);
    lbltime->setFont(tahoma(8.25, true));
    QPalette black = lbltime->palette();
    black.setColor(QPalette::WindowText, Qt::black);
    lbltime->setPalette(black);

    mRecordTimer = new QTimer(this);
    nameControls({ { Frame1, "Frame1" }, { cmdrecord, "cmdrecord" }, { cmdstop, "cmdstop" },
        { cmdplay, "cmdplay" }, { Label2, "Label2" }, { lbltime, "lbltime" } });

    connect(cmdrecord, &QToolButton::clicked, this, &RecorderPanel::cmdrecord_Click);
    connect(cmdstop, &QToolButton::clicked, this, &RecorderPanel::cmdstop_Click);
    connect(cmdplay, &QToolButton::clicked, this, &RecorderPanel::cmdplay_Click);
    connect(mRecordTimer, &QTimer::timeout, this, &RecorderPanel::ShowRecordTime);
    connect(m_save, &SavePanel::savingChanged, m_meters, &InputMeters::setSaving);
    connect(Frame1, &QWidget::customContextMenuRequested, this, &RecorderPanel::showMenu);

    setMciFailureListener([this](qint32 code) { recSound_Failed(code); });
    // The MP3 is made while the take is recorded, at the rate the settings show at Record.
    encodeTakesWhileRecording([&settings] { return settings.bitrateText(); });
}

RecorderPanel::~RecorderPanel()
{
    // A window let go without being closed ends its take as a close does: nothing records on
    // without a window to tell of it.
    mciSendStringA(QStringLiteral("close all"), mMciReturn, kMciBufferLength, 0);
    setMciFailureListener({});
    encodeTakesWhileRecording({});
}

QList<QWidget *> RecorderPanel::tabOrder() const
{
    return { cmdrecord, cmdstop, cmdplay, m_save->button() };
}

void RecorderPanel::load()
{
    cmdplay->setEnabled(false);
    cmdstop->setEnabled(false);
    m_save->setBarColors();
    QTimer::singleShot(0, this, &RecorderPanel::offerLeftTakes);
}

void RecorderPanel::reportMciResult()
{
    if (mMciResult == 0)
        return;
    mciGetErrorStringA(mMciResult, mMciErrorText, kMciBufferLength);
    const QString detail = mciErrorDetail();
    ShowError(m_window, mMciErrorText.toUpper() + (detail.isEmpty() ? QString() : ' ' + detail));
}

void RecorderPanel::cmdrecord_Click()
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
    m_save->setRecording(true);
    mRecording = -1;
    mRecordStart = roundHalfEven(recordClockSeconds());
    ShowRecordTime();
    mRecordTimer->start(kRecordRefreshMs);
    m_meters->setListening(InputMeters::Listener::Recording, true);
    m_input->tellIfMissing();
    if (TakeFile::room() < kWarnBelowSeconds * kTakeBytesPerSec)
        ShowNotice(m_window,
            QStringLiteral("THERE IS ROOM FOR LESS THAN 10 MINUTES OF RECORDING ON THE DISK. THE "
                           "RECORDING GOES ON; FREE SOME SPACE TO RECORD LONGER."));
}

void RecorderPanel::ShowRecordTime()
{
    mElapsed = roundHalfEven(recordClockSeconds() - mRecordStart);
    if (mElapsed >= 60) {
        mRecordSeconds = qint16(mElapsed % 60);
        mRecordMinutes = qint16(mElapsed / 60);
    }
    mTimeText = recordTimeText(mElapsed);
    lbltime->setText(mTimeText);
}

void RecorderPanel::cmdstop_Click()
{
    mMciResult = mciSendStringA(QStringLiteral("stop recSound"), mMciReturn, kMciBufferLength, 0);
    reportMciResult();
    endRecording();
}

void RecorderPanel::endRecording()
{
    mRecording = 0;
    mRecordTimer->stop();
    m_meters->setListening(InputMeters::Listener::Recording, false);
    cmdplay->setEnabled(true);
    m_save->setRecording(false);
}

void RecorderPanel::recSound_Failed(qint32 code)
{
    mMciResult = code;
    if (mRecording != 0)
        endRecording();
    reportMciResult();
}

void RecorderPanel::cmdplay_Click()
{
    mMciResult
        = mciSendStringA(QStringLiteral("play recSound from 0"), mMciReturn, kMciBufferLength, 0);
    reportMciResult();
}

void RecorderPanel::showMenu(const QPoint &pos)
{
    m_menu->clear();
    m_meters->addPanelMenuItems(m_menu);
    m_input->addMenuItems(m_menu);
    addRecentTakes();
    m_menu->popup(Frame1->mapToGlobal(pos));
}

void RecorderPanel::offerLeftTakes()
{
    for (const QString &path : TakeFile::found()) {
        std::unique_ptr<TakeFile> take = TakeFile::hold(path);
        // Held by a program running now, or holding nothing worth a question.
        if (!take || take->frameBytes() == 0)
            continue;
        const QString length = recordTimeText(qint32(take->frameBytes() / kTakeBytesPerSec));
        const bool kept = AskYesNo(m_window,
            QStringLiteral("A RECORDING OF %1 WAS LEFT BY A RUN OF THE PROGRAM THAT DID NOT END "
                           "PROPERLY. DO YOU WANT TO KEEP IT?")
                .arg(length));
        // The run ended while it asked (an end signal, a logout): this take and those not
        // yet offered wait for the next start.
        if (m_unloading) {
            take->keep();
            return;
        }
        if (!kept)
            continue; // deleted as it is let go
        // Older ones wait for the next start, so that keeping one never costs another.
        makeCurrent(std::move(take));
        return;
    }
}

void RecorderPanel::makeCurrent(std::unique_ptr<TakeFile> take)
{
    mTimeText = recordTimeText(qint32(take->frameBytes() / kTakeBytesPerSec));
    mciSendStringA(QStringLiteral("close all"), mMciReturn, kMciBufferLength, 0);
    mMciResult = qint32(openLeftTake(QStringLiteral("recSound"), std::move(take)));
    lbltime->setText(mTimeText);
    cmdstop->setEnabled(true);
    endRecording();
}

void RecorderPanel::addRecentTakes()
{
    m_menu->addSection(QStringLiteral("Recent Takes"));
    const QStringList takes = TakeFile::recent();
    if (takes.isEmpty())
        m_menu->addAction(QStringLiteral("No Recent Takes"))->setEnabled(false);
    // Choosing one lets the take now held go, so not while it records or saves.
    const bool free = mRecording == 0 && !m_save->isSaving();
    for (const QString &path : takes) {
        const QFileInfo file(path);
        const qint32 seconds = qint32(file.size() / kTakeBytesPerSec);
        const QDateTime started = file.lastModified().addSecs(-seconds);
        QAction *action = m_menu->addAction(QStringLiteral("%1  %2").arg(
            started.toString(QStringLiteral("yyyy-MM-dd hh:mm")), recordTimeText(seconds)));
        // The take held now is among them, held by this program.
        action->setEnabled(free && !TakeFile::isHeld(path));
        connect(action, &QAction::triggered, this, [this, path] { openRecentTake(path); });
    }
}

void RecorderPanel::openRecentTake(const QString &path)
{
    // Held before the take now held goes among the recent ones, so that pruning spares it.
    std::unique_ptr<TakeFile> take = TakeFile::hold(path);
    if (!take) {
        ShowError(m_window,
            QStringLiteral("THE RECORDING IS GONE, OR ANOTHER RUN OF THE PROGRAM HOLDS IT."));
        return;
    }
    makeCurrent(std::move(take));
}
