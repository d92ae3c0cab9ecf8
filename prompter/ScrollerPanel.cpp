#include "prompter/ScrollerPanel.h"

#include "editor/frmEditor.h"
#include "platform/Controls.h"
#include "platform/Fonts.h"
#include "platform/MsgBox.h"
#include "platform/Twips.h"
#include "platform/WaitCursor.h"
#include "prompter/PromptBox.h"

#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QScrollBar>
#include <QTimer>
#include <QToolButton>

namespace
{

// A scroll bar whose arrow keys step toward the end they point at: Qt's horizontal scroll
// bar turns them round, which on a speed bar would make Right slower.
class SpeedBar final : public QScrollBar
{
public:
    explicit SpeedBar(QWidget *parent)
        : QScrollBar(Qt::Horizontal, parent)
    {
    }

protected:
    void keyPressEvent(QKeyEvent *event) override
    {
        const bool rightToLeft = isRightToLeft();
        if (event->key() == Qt::Key_Right)
            triggerAction(rightToLeft ? SliderSingleStepSub : SliderSingleStepAdd);
        else if (event->key() == Qt::Key_Left)
            triggerAction(rightToLeft ? SliderSingleStepAdd : SliderSingleStepSub);
        else
            return QScrollBar::keyPressEvent(event);
        event->accept();
    }
};

// Hands the focus on when the focused button is about to be disabled.
void switchButtons(QToolButton *off, QToolButton *on)
{
    const bool hadFocus = off->hasFocus();
    on->setEnabled(true);
    off->setEnabled(false);
    if (hadFocus)
        on->setFocus();
}

} // namespace

ScrollerPanel::ScrollerPanel(QWidget *window, Scroller &scroller, PromptBox &store)
    : QObject(window)
    , m_scroller(scroller)
    , m_store(store)
{
    Frame2 = makeRedPanel(window, QStringLiteral("Scroller"), 120, 5940, 3075, 1695);
    cmdeditor = makeButton(Frame2, QStringLiteral("&Editor"), QStringLiteral("editor"), 120, 360);
    cmdstart = makeButton(Frame2, QStringLiteral("&Start"), QStringLiteral("start"), 840, 360);
    cmdpause = makeButton(Frame2, QStringLiteral("&Pause"), QStringLiteral("pause"), 1560, 360);
    cmdreset = makeButton(Frame2, QStringLiteral("&Reset"), QStringLiteral("reset"), 2280, 360);

    hscspeed = new SpeedBar(Frame2);
    hscspeed->setRange(Scroller::kMinSpeed, Scroller::kMaxSpeed);
    hscspeed->setSingleStep(1);
    hscspeed->setPageStep(1);
    hscspeed->setValue(scroller.speed());
    hscspeed->setFocusPolicy(Qt::StrongFocus);
    hscspeed->setGeometry(twipsRect(120, 1080, 2235, 255));

    lblspeed = makeLabel(Frame2, QString(), 2400, 1080, 555, 255);
    lblspeed->setFont(tahoma(8.25, true));
    lblspeed->setFrameShape(QFrame::Box);
    lblspeed->setAlignment(Qt::AlignCenter);
    showSpeed();

    Label1 = makeLabel(Frame2, QStringLiteral("- [ Scroll Speed ] +"), 360, 1380, 1755, 255);
    Label1->setAlignment(Qt::AlignCenter);
    Label1->setToolTip(QStringLiteral("UpArrow - Faster, Down Arrow - Slower, Page Down - Pause"));

    tmrmain = new QTimer(this);
    // A window timer fired about 64 times a second where the speeds were tuned;
    // a speed stays a distance per tick at that rate.
    tmrmain->setInterval(Scroller::kTickMs);
    tmrmain->setTimerType(Qt::PreciseTimer);

    nameControls({ { Frame2, "Frame2" }, { cmdeditor, "cmdeditor" }, { cmdstart, "cmdstart" },
        { cmdpause, "cmdpause" }, { cmdreset, "cmdreset" }, { hscspeed, "hscspeed" },
        { lblspeed, "lblspeed" }, { Label1, "Label1" }, { tmrmain, "tmrmain" } });

    connect(cmdeditor, &QToolButton::clicked, this, &ScrollerPanel::cmdeditor_Click);
    connect(cmdstart, &QToolButton::clicked, this, &ScrollerPanel::cmdstart_Click);
    connect(cmdpause, &QToolButton::clicked, this, &ScrollerPanel::cmdpause_Click);
    connect(cmdreset, &QToolButton::clicked, this, &ScrollerPanel::cmdreset_Click);
    connect(tmrmain, &QTimer::timeout, this, &ScrollerPanel::tmrmain_Timer);
    connect(hscspeed, &QScrollBar::valueChanged, this, &ScrollerPanel::hscspeed_Change);
    connect(hscspeed, &QScrollBar::sliderMoved, this, &ScrollerPanel::hscspeed_Scroll);
    connect(hscspeed, &QScrollBar::sliderReleased, this, &ScrollerPanel::speedDragEnded);
    connect(&scroller, &Scroller::speedChanged, hscspeed, &QScrollBar::setValue);
    connect(&scroller, &Scroller::stateChanged, this, &ScrollerPanel::showState);
    connect(&scroller, &Scroller::nothingToScroll, this,
        [window] { ShowError(window, QStringLiteral("NOTHING TO SCROLL!")); });
    showState(scroller.state());
}

QList<QWidget *> ScrollerPanel::tabOrder() const
{
    return { cmdeditor, cmdstart, cmdpause, cmdreset, hscspeed };
}

void ScrollerPanel::cmdeditor_Click()
{
    if (!mEditor)
        mEditor = new frmEditor(&m_store, Frame2->window());
    mEditor->exec();
    // Done only hides the editor; its close box unloads it for good.
    if (mEditor && mEditor->isUnloaded())
        delete mEditor;
}

void ScrollerPanel::cmdstart_Click()
{
    // A fresh start lays the whole script out.
    const WaitCursor busy;
    m_scroller.start();
}

void ScrollerPanel::cmdpause_Click()
{
    m_scroller.pause();
}

void ScrollerPanel::cmdreset_Click()
{
    m_scroller.reset();
}

void ScrollerPanel::tmrmain_Timer()
{
    m_scroller.tick();
    showSpeed();
}

void ScrollerPanel::hscspeed_Change()
{
    m_scroller.setSpeed(hscspeed->value());
    showSpeed();
}

void ScrollerPanel::hscspeed_Scroll()
{
    // While the box is dragged, the value the user sees is the scroll box's position.
    lblspeed->setText(QString::number(hscspeed->sliderPosition()));
    // A dragged speed is stored at once.
    Q_EMIT speedDragged();
}

void ScrollerPanel::showSpeed()
{
    lblspeed->setText(QString::number(hscspeed->value()));
}

void ScrollerPanel::showState(Scroller::State state)
{
    // The clock runs from a fresh Start to Reset, paused or not.
    if (state == Scroller::State::Idle)
        tmrmain->stop();
    else if (!tmrmain->isActive())
        tmrmain->start();
    if (state == Scroller::State::Scrolling)
        switchButtons(cmdstart, cmdpause);
    else
        switchButtons(cmdpause, cmdstart);
}
