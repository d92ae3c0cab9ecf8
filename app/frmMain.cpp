#include "app/frmMain.h"

#include "app/GeneralPanel.h"
#include "app/PromptControl.h"
#include "follow/Following.h"
#include "platform/EndSignals.h"
#include "platform/Fonts.h"
#include "platform/KeyPreview.h"
#include "platform/Mci.h"
#include "platform/Twips.h"
#include "prompter/PromptArea.h"
#include "prompter/PromptProgress.h"
#include "prompter/Rig.h"
#include "prompter/Scroller.h"
#include "prompter/ScrollerPanel.h"
#include "recorder/InputMeters.h"
#include "recorder/RecorderPanel.h"
#include "remote/RemoteControl.h"
#include "settings/SettingsFile.h"
#include "settings/SettingsForm.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QIcon>
#include <QMenu>
#include <QToolButton>

frmMain::frmMain(QWidget *parent)
    : QWidget(parent)
{
    buildWindow();
    Form_Load();
    closeOnEndSignals(this);
    failWritesPastTheSizeLimit();
}

void frmMain::buildWindow()
{
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(QStringLiteral("Tellvane Professional Demo"));
    setWindowIcon(QIcon(QStringLiteral(":/icons/tellvane.png")));
    setWindowFlags(Qt::Window | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint
        | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    setFont(tahoma(9));
    setFixedSize(twipsToPixels(kClientWidth), twipsToPixels(kFullClientHeight));

    m_area = new PromptArea(this);
    m_scroller = new Scroller(*m_area, this);
    m_area->setScroller(*m_scroller);
    m_scrollerPanel = new ScrollerPanel(this, *m_scroller, m_area->store());
    m_settings = new SettingsForm(m_scrollerPanel->speedLabel(), this);
    m_general = new GeneralPanel(this, *m_settings);
    m_recorder = new RecorderPanel(this, *m_settings);
    m_following = new Following(this, *m_scroller, *m_area);
    m_control = new PromptControl(*m_scroller, *m_area, *m_following, this);
    m_remote = new RemoteControl(this, [this] { return m_control->figures(); });
    connect(&m_area->rig(), &Rig::menuOpening, m_remote, &RemoteControl::addMenuItems);
    connect(m_remote, &RemoteControl::commandReceived, m_control, &PromptControl::run);
    InputMeters &meters = m_recorder->meters();
    meters.showInPrompt(m_area->area(), m_area->rig().output());
    connect(&m_area->rig(), &Rig::menuOpening, &meters, &InputMeters::addPromptMenuItems);
    connect(&m_area->rig(), &Rig::outputMenuOpening, &meters, &InputMeters::addOutputMenuItems);
    // While following the voice, the time left comes from the presenter's reading rate, or
    // until it is known from the pace the script rises at.
    connect(m_following, &Following::listeningChanged, &m_area->rig().progress(),
        &PromptProgress::setMeasured);
    m_area->rig().progress().setReadingRate([this] { return m_following->leftAtReadingRate(); });
    connect(m_following, &Following::listeningChanged, &meters,
        [&meters](bool on) { meters.setListening(InputMeters::Listener::Following, on); });

    connect(m_scrollerPanel, &ScrollerPanel::speedDragged, m_settings, &SettingsForm::SaveSettings);
    connect(
        m_scrollerPanel, &ScrollerPanel::speedDragEnded, m_settings, &SettingsForm::speedDragEnded);
    connect(m_general->exitButton(), &QToolButton::clicked, this, &frmMain::cmdexit_Click);

    // Tab order follows the panels from left to right.
    const QList<QWidget *> order
        = m_scrollerPanel->tabOrder() + m_general->tabOrder() + m_recorder->tabOrder();
    for (qsizetype i = 1; i < order.size(); ++i)
        setTabOrder(order.at(i - 1), order.at(i));
}

void frmMain::Form_Load()
{
    if (const std::optional<int> speed = SettingsFile::LoadSettings())
        m_scroller->loadSpeed(*speed);
    else
        m_scroller->loadSpeed(m_scroller->speed());
    m_area->applyAreaColors();
    m_keys
        = new KeyPreview(this, [this](int &keyCode, int shift) { Form_KeyDown(keyCode, shift); });
    // The presenter may have clicked the output window last, or it may fill the only screen.
    m_keys->addWindow(m_area->rig().output());
    m_recorder->load();
    // Loaded hidden, so that its bit rate holds line 6 from the start.
    m_settings->load();
}

void frmMain::Form_KeyDown(int &KeyCode, int Shift)
{
    const std::optional<PromptCommand> command = commandForKey(KeyCode, Shift);
    if (!command)
        return;
    Rig &rig = m_area->rig();
    const bool inOutput = m_keys->keyWindow() == rig.output();
    if (*command == PromptCommand::Mirror) {
        rig.toggleMirror(inOutput);
    } else if (*command != PromptCommand::ConsoleSize) {
        m_control->run(*command);
    } else if (!rig.leaveFullScreen(inOutput)) {
        const int full = twipsToPixels(kFullClientHeight);
        setFixedSize(width(), height() == full ? twipsToPixels(kPromptClientHeight) : full);
    }
    KeyCode = 0;
}

void frmMain::switchOnRemote()
{
    m_remote->switchOn();
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
    m_recorder->unload();
    QString unused;
    mciSendStringA(QStringLiteral("close all"), unused, 1024, 0);
    QCoreApplication::exit(0);
}
