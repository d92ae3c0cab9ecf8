#include "recorder/InputMeters.h"

#include "platform/Fonts.h"
#include "platform/StoreChoices.h"
#include "platform/Twips.h"
#include "recorder/LevelMeter.h"
#include "recorder/RecorderStore.h"

#include <QEvent>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QTimer>

namespace
{

// More than twenty refreshes a second, as the input's 50 ms blocks arrive.
constexpr int kRefreshMs = 40;
// The corner meters' room, clear of the reading line and the follow sign.
constexpr int kCornerMargin = 6;

const char *const kDisplayKeys[] = { "meter/panel", "meter/prompt", "meter/output" };

// A corner meter's size for a view of the given width: an eighth of it, and no smaller
// than reads at a glance.
QSize cornerSize(int width)
{
    const int meterWidth = std::max(120, width / 8);
    return { meterWidth, std::max(12, meterWidth / 10) };
}

} // namespace

InputMeters::InputMeters(QGroupBox *panel)
    : QObject(panel)
    , m_window(panel->window())
    , tmrlevel(new QTimer(this))
{
    const RecorderStore store;
    for (int display = Panel; display < Displays; ++display)
        m_shown[display] = store.value(QLatin1String(kDisplayKeys[display]), true).toBool();

    // Above the bars, which it stands in for while no save runs.
    m_meters[Panel] = new LevelMeter(panel, true);
    m_meters[Panel]->setObjectName(QStringLiteral("mtrpanel"));
    m_meters[Panel]->setGeometry(twipsRect(120, 1380, 2850, 195));
    tmrlevel->setObjectName(QStringLiteral("tmrlevel"));
    tmrlevel->setInterval(kRefreshMs);
    connect(tmrlevel, &QTimer::timeout, this, &InputMeters::refresh);
    showMeters();
}

void InputMeters::showInPrompt(QWidget *area, QWidget *output)
{
    m_area = area;
    m_output = output;
    // Made after the area's mirror, so they lie above it.
    m_meters[Prompt] = new LevelMeter(m_window, false);
    m_meters[Prompt]->setObjectName(QStringLiteral("mtrprompt"));
    m_meters[Output] = new LevelMeter(output, false);
    m_meters[Output]->setObjectName(QStringLiteral("mtroutput"));
    lblsilence = new QLabel(QStringLiteral("NO SOUND FROM THE MICROPHONE"), m_window);
    lblsilence->setObjectName(QStringLiteral("lblsilence"));
    lblsilence->setFont(tahoma(9.75, true));
    lblsilence->setStyleSheet(QStringLiteral(
        "QLabel { color: white; background-color: rgba(170, 0, 0, 220); padding: 3px 8px; }"));
    lblsilence->setAttribute(Qt::WA_TransparentForMouseEvents);
    lblsilence->adjustSize();
    lblsilence->hide();

    area->installEventFilter(this);
    output->installEventFilter(this);
    place();
    showMeters();
}

void InputMeters::setListening(Listener listener, bool on)
{
    const bool before = listening();
    if (listener == Listener::Recording) {
        m_recording = on;
        m_level.setRecording(on);
    } else {
        m_following = on;
    }
    const bool now = listening();
    if (now && !before) {
        // What was heard before anyone listened is no one's.
        LevelTap::drain();
        m_level.clear();
        tmrlevel->start();
    } else if (!now && before) {
        tmrlevel->stop();
        LevelTap::drain(); // a block on its way as the input closed shows nothing
        m_level.clear();
    }
    refresh();
    showMeters();
}

void InputMeters::setSaving(bool saving)
{
    m_saving = saving;
    showMeters();
}

void InputMeters::addPanelMenuItems(QMenu *menu)
{
    addSwitch(menu, Panel);
}

void InputMeters::addPromptMenuItems(QMenu *menu)
{
    addSwitch(menu, Prompt);
    menu->addSeparator();
}

void InputMeters::addSwitch(QMenu *menu, Display display)
{
    QAction *action = menu->addAction(QStringLiteral("Show Input Level"));
    action->setCheckable(true);
    action->setChecked(m_shown[display]);
    connect(action, &QAction::toggled, this, [this, display](bool on) { setShown(display, on); });
}

void InputMeters::addOutputMenuItems(QMenu *menu)
{
    addSwitch(menu, Output);
}

void InputMeters::setShown(Display display, bool on)
{
    m_shown[display] = on;
    showMeters();
    RecorderStore store;
    storeChoice(m_window, store, { { QLatin1String(kDisplayKeys[display]), on } },
        QStringLiteral("THE CHOICE TO SHOW THE INPUT LEVEL"));
}

bool InputMeters::eventFilter(QObject *watched, QEvent *event)
{
    if ((watched == m_area || watched == m_output)
        && (event->type() == QEvent::Resize || event->type() == QEvent::Move))
        place();
    return false;
}

void InputMeters::place()
{
    const QRect area = m_area->geometry();
    const QSize corner = cornerSize(area.width());
    m_meters[Prompt]->setGeometry(QRect(area.right() + 1 - kCornerMargin - corner.width(),
        area.bottom() + 1 - kCornerMargin - corner.height(), corner.width(), corner.height()));
    lblsilence->move(area.center().x() - lblsilence->width() / 2,
        area.bottom() + 1 - kCornerMargin - lblsilence->height());
    const QSize outputCorner = cornerSize(m_output->width());
    const int margin = std::max(kCornerMargin, m_output->height() / 60);
    m_meters[Output]->setGeometry(QRect(m_output->width() - margin - outputCorner.width(),
        m_output->height() - margin - outputCorner.height(), outputCorner.width(),
        outputCorner.height()));
}

void InputMeters::refresh()
{
    for (const BlockLevel &block : LevelTap::drain())
        m_level.add(block);
    for (LevelMeter *meter : m_meters) {
        if (meter)
            meter->showLevel(m_level);
    }
    if (lblsilence)
        lblsilence->setVisible(m_level.silent());
}

void InputMeters::showMeters()
{
    m_meters[Panel]->setVisible(m_shown[Panel] && !m_saving);
    m_meters[Panel]->raise();
    if (m_meters[Prompt]) {
        m_meters[Prompt]->setVisible(m_shown[Prompt] && listening());
        m_meters[Prompt]->raise();
        m_meters[Output]->setVisible(m_shown[Output] && listening());
    }
}
