#include "app/frmMain.h"

#include "app/Module1.h"
#include "platform/ColorRef.h"
#include "platform/Controls.h"
#include "platform/EndSignals.h"
#include "platform/Fonts.h"
#include "platform/KeyPreview.h"
#include "platform/Mci.h"
#include "platform/Twips.h"
#include "prompter/PromptBox.h"
#include "prompter/Rig.h"
#include "recorder/OcxLame.h"
#include "recorder/WaveAudioDevice.h"
#include "settings/SettingsFile.h"

#include <QApplication>
#include <QCloseEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QScreen>
#include <QScrollBar>
#include <QTimer>
#include <QToolButton>

namespace
{

// The main window's panels carry their captions in dark red.
QGroupBox *makeRedPanel(
    QWidget *parent, const QString &caption, int left, int top, int width, int height)
{
    QGroupBox *panel = makePanel(parent, caption, left, top, width, height);
    panel->setStyleSheet(QStringLiteral("QGroupBox::title { color: rgb(192, 0, 0); }"));
    return panel;
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

} // namespace

frmMain::frmMain(QWidget *parent)
    : QWidget(parent)
{
    buildWindow();
    connectControls();
    Form_Load();
    closeOnEndSignals(this);
    watchRecorder();
}

frmMain::~frmMain()
{
    setMciFailureListener({});
    encodeTakesWhileRecording({});
}

void frmMain::buildWindow()
{
    setWindowTitle(QStringLiteral("Tellvane Professional Demo"));
    setWindowIcon(QIcon(QStringLiteral(":/icons/tellvane.png")));
    setWindowFlags(Qt::Window | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint
        | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    setFont(tahoma(9));
    setFixedSize(twipsToPixels(kClientWidth), twipsToPixels(kFullClientHeight));

    // The store lies behind the panels, so it is made first and never seen.
    txtcontainer = new PromptBox(this);
    txtcontainer->setHorizontal(180, 9195);
    txtcontainer->setTop(6060);
    txtcontainer->setHeight(1500);
    txtcontainer->setFontSize(36);
    txtcontainer->setBackColor(0);
    txtcontainer->setForeColor(0x00FF00);

    picprompt = new QWidget(this);
    picprompt->setGeometry(twipsRect(120, 60, 9375, 5835));
    picprompt->setAutoFillBackground(true);
    picprompt->setEnabled(false);

    auto *box0 = new PromptBox(picprompt);
    box0->setHorizontal(60, 9195);
    box0->setTop(5800);
    box0->setHeight(1200);
    box0->setFontSize(36);
    txtprompt.push_back(box0);

    // The reading line is made last in the display so that it lies above every box.
    txtline = new QLineEdit(picprompt);
    txtline->setFrame(false);
    txtline->setReadOnly(true);
    txtline->setFocusPolicy(Qt::NoFocus);
    txtline->setFont(tahoma(2.25));
    txtline->setGeometry(twipsRect(0, 2700, 9375, 45));
    txtline->setMinimumSize(0, 0);

    buildScroller();
    buildGeneral();
    buildRecorder();

    // Tab order follows the panels from left to right.
    const QList<QWidget *> order = { cmdeditor, cmdstart, cmdpause, cmdreset, hscspeed, cmdsettings,
        cmdhelp, cmdexit, cmdabout, cmdrecord, cmdstop, cmdplay, cmdsave };
    for (qsizetype i = 1; i < order.size(); ++i)
        setTabOrder(order.at(i - 1), order.at(i));

    setObjectName(QStringLiteral("frmMain"));
    nameControls({ { picprompt, "picprompt" }, { txtline, "txtline" }, { box0, "txtprompt" },
        { txtcontainer, "txtcontainer" }, { Frame1, "Frame1" }, { Frame2, "Frame2" },
        { Frame3, "Frame3" }, { cmdeditor, "cmdeditor" }, { cmdstart, "cmdstart" },
        { cmdpause, "cmdpause" }, { cmdreset, "cmdreset" }, { hscspeed, "hscspeed" },
        { lblspeed, "lblspeed" }, { Label1, "Label1" }, { tmrmain, "tmrmain" },
        { cmdsettings, "cmdsettings" }, { cmdhelp, "cmdhelp" }, { cmdexit, "cmdexit" },
        { cmdabout, "cmdabout" }, { lameocx, "lameocx" }, { cmdrecord, "cmdrecord" },
        { cmdstop, "cmdstop" }, { cmdplay, "cmdplay" }, { cmdsave, "cmdsave" },
        { Label2, "Label2" }, { lbltime, "lbltime" }, { pbrmp3save, "pbrmp3save" },
        { pbrwavsave, "pbrwavsave" }, { lblinputfile, "lblinputfile" },
        { lbloutputfile, "lbloutputfile" }, { tmrsave, "tmrsave" } });
}

void frmMain::buildScroller()
{
    Frame2 = makeRedPanel(this, QStringLiteral("Scroller"), 120, 5940, 3075, 1695);
    cmdeditor = makeButton(Frame2, QStringLiteral("&Editor"), QStringLiteral("editor"), 120, 360);
    cmdstart = makeButton(Frame2, QStringLiteral("&Start"), QStringLiteral("start"), 840, 360);
    cmdpause = makeButton(Frame2, QStringLiteral("&Pause"), QStringLiteral("pause"), 1560, 360);
    cmdreset = makeButton(Frame2, QStringLiteral("&Reset"), QStringLiteral("reset"), 2280, 360);

    hscspeed = new QScrollBar(Qt::Horizontal, Frame2);
    hscspeed->setRange(SettingsFile::kMinSpeed, SettingsFile::kMaxSpeed);
    hscspeed->setSingleStep(1);
    hscspeed->setPageStep(1);
    hscspeed->setValue(0);
    hscspeed->setFocusPolicy(Qt::StrongFocus);
    hscspeed->setGeometry(twipsRect(120, 1080, 2235, 255));

    lblspeed = makeLabel(Frame2, QString(), 2400, 1080, 555, 255);
    lblspeed->setFont(tahoma(8.25, true));
    lblspeed->setFrameShape(QFrame::Box);
    lblspeed->setAlignment(Qt::AlignCenter);

    Label1 = makeLabel(Frame2, QStringLiteral("- [ Scroll Speed ] +"), 360, 1380, 1755, 255);
    Label1->setAlignment(Qt::AlignCenter);
    Label1->setToolTip(QStringLiteral("UpArrow - Faster, Down Arrow - Slower, Page Down - Pause"));

    tmrmain = new QTimer(this);
    // A window timer fired about 64 times a second where the speeds were tuned;
    // a speed stays a distance per tick at that rate.
    tmrmain->setInterval(16);
    tmrmain->setTimerType(Qt::PreciseTimer);
}

void frmMain::buildGeneral()
{
    Frame3 = makeRedPanel(this, QStringLiteral("General"), 3180, 5940, 3255, 1695);
    cmdsettings
        = makeButton(Frame3, QStringLiteral("&Options"), QStringLiteral("options"), 180, 360);
    cmdhelp = makeButton(Frame3, QStringLiteral("&Help"), QStringLiteral("help"), 920, 360);
    cmdexit = makeButton(Frame3, QStringLiteral("E&xit"), QStringLiteral("exit"), 1660, 360);
    cmdabout = makeButton(Frame3, QStringLiteral("&About"), QStringLiteral("about"), 2400, 360);
    lameocx = new OcxLame(this);
}

void frmMain::buildRecorder()
{
    Frame1 = makeRedPanel(this, QStringLiteral("Recorder"), 6420, 5940, 3075, 1695);
    cmdrecord = makeButton(Frame1, QStringLiteral("Record"), QStringLiteral("record"), 120, 360);
    cmdstop = makeButton(Frame1, QStringLiteral("Stop"), QStringLiteral("stop"), 840, 360);
    cmdplay = makeButton(Frame1, QStringLiteral("Play"), QStringLiteral("play"), 1560, 360);
    cmdsave = makeButton(Frame1, QStringLiteral("Save"), QStringLiteral("save"), 2280, 360);

    // The caption is sized to its text; the time keeps room for "999:59".
    Label2 = makeLabel(Frame1, QStringLiteral("Recording Time:"), 660, 1080, 1155, 210);
    Label2->adjustSize();
    lbltime = makeLabel(Frame1, QStringLiteral("00:00"), 1920, 1080, 900, 210);
    lbltime->setFont(tahoma(8.25, true));
    QPalette black = lbltime->palette();
    black.setColor(QPalette::WindowText, Qt::black);
    lbltime->setPalette(black);

    // The WAV bar lies behind the MP3 bar on the same spot.
    pbrwavsave = makeProgressBar(Frame1);
    pbrmp3save = makeProgressBar(Frame1);

    lblinputfile = makeLabel(Frame1, QString(), 180, 480, 2070, 315);
    lblinputfile->setFrameShape(QFrame::Box);
    lblinputfile->hide();
    lbloutputfile = makeLabel(Frame1, QString(), 180, 480, 2070, 315);
    lbloutputfile->setFrameShape(QFrame::Box);
    lbloutputfile->hide();

    tmrsave = new QTimer(this);
    tmrsave->setInterval(10);
    tmrsave->setTimerType(Qt::PreciseTimer);

    // Refreshes the recording time while a take is recorded.
    mRecordTimer = new QTimer(this);
    // Fills the prompt boxes after Start, one box at a time, while the window is idle.
    mFillTimer = new QTimer(this);
    mFillTimer->setObjectName(QStringLiteral("tmrfill"));
}

void frmMain::connectControls()
{
    connect(cmdexit, &QToolButton::clicked, this, &frmMain::cmdexit_Click);
    connect(cmdstart, &QToolButton::clicked, this, &frmMain::cmdstart_Click);
    connect(cmdpause, &QToolButton::clicked, this, &frmMain::cmdpause_Click);
    connect(cmdreset, &QToolButton::clicked, this, &frmMain::cmdreset_Click);
    connect(tmrmain, &QTimer::timeout, this, &frmMain::tmrmain_Timer);
    connect(cmdeditor, &QToolButton::clicked, this, &frmMain::cmdeditor_Click);
    connect(hscspeed, &QScrollBar::valueChanged, this, &frmMain::hscspeed_Change);
    connect(hscspeed, &QScrollBar::sliderReleased, this, &frmMain::hscspeed_DragEnded);
    connect(cmdsettings, &QToolButton::clicked, this, &frmMain::cmdsettings_Click);
    connect(cmdabout, &QToolButton::clicked, this, &frmMain::cmdabout_Click);
    connect(cmdhelp, &QToolButton::clicked, this, &frmMain::cmdhelp_Click);
    connect(hscspeed, &QScrollBar::sliderMoved, this, &frmMain::hscspeed_Scroll);
    connect(cmdrecord, &QToolButton::clicked, this, &frmMain::cmdrecord_Click);
    connect(cmdstop, &QToolButton::clicked, this, &frmMain::cmdstop_Click);
    connect(cmdplay, &QToolButton::clicked, this, &frmMain::cmdplay_Click);
    connect(cmdsave, &QToolButton::clicked, this, &frmMain::cmdsave_Click);
    connect(tmrsave, &QTimer::timeout, this, &frmMain::tmrsave_Timer);
    connect(lameocx, &OcxLame::Progress, this, &frmMain::lameocx_Progress);
    connect(lameocx, &OcxLame::Failed, this, &frmMain::lameocx_Failed);
    connect(mRecordTimer, &QTimer::timeout, this, &frmMain::ShowRecordTime);
    connect(mFillTimer, &QTimer::timeout, this, &frmMain::fillNextBox);
}

void frmMain::Form_Load()
{
    mRig = new Rig(this, picprompt);
    LoadSettings();
    applyAreaColors();
    mSavedSpeed = qint16(hscspeed->value());
    lblspeed->setText(QString::number(hscspeed->value()));
    cmdpause->setEnabled(false);
    mPaused = 0;
    buildFollowing();
    new KeyPreview(this, [this](int &keyCode, int shift) {
        followKeyDown(keyCode);
        Form_KeyDown(keyCode, shift);
        if (keyCode != 0)
            mRig->keyDown(keyCode, shift);
    });
    cmdplay->setEnabled(false);
    cmdstop->setEnabled(false);
    SetProgressBarColor(pbrwavsave, 204 + 256 * 51 + 65536 * 51);
    SetProgressBarColor(pbrmp3save, 102 + 256 * 0 + 65536 * 51);
    // Loaded hidden, so that its bit rate holds line 6 from the start.
    settingsForm();
}

void frmMain::applyAreaColors()
{
    const qint32 back = SettingsFile::toColor(gBackColor, SettingsFile::kDefaultBackColor);
    QPalette area = picprompt->palette();
    area.setColor(QPalette::Window, colorFromRef(back));
    picprompt->setPalette(area);
    // Box 0 waits with its top rows inside the area, so it must not show as a white strip.
    txtprompt[0]->setBackColor(back);
    QPalette line = txtline->palette();
    line.setColor(QPalette::Base,
        colorFromRef(SettingsFile::toColor(gLineColor, SettingsFile::kDefaultLineColor)));
    txtline->setPalette(line);
    mRig->promptChanged();
}

void frmMain::SetProgressBarColor(QProgressBar *bar, qint32 color)
{
    QPalette pal = bar->palette();
    pal.setColor(QPalette::Highlight, colorFromRef(color));
    bar->setPalette(pal);
    // The style shades the highlight into a gradient, so the colour itself would never
    // show: the filled part is painted flat, inside the groove's border, which stays
    // as the style draws it.
    bar->setStyleSheet(QStringLiteral("QProgressBar::chunk { background-color: %1; margin: 1px; }")
                           .arg(colorFromRef(color).name()));
}

void frmMain::cmdexit_Click()
{
    close();
}

void frmMain::closeEvent(QCloseEvent *event)
{
    event->accept();
    Form_QueryUnload();
}

void frmMain::Form_QueryUnload()
{
    // Every close ends the run at once: nothing is saved or asked, and the take,
    // unsaved, goes with the run.
    mciSendStringA(QStringLiteral("close all"), mMciReturn, kMciBufferLength, 0);
    QCoreApplication::exit(0);
}
