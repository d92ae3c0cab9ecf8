#include "prompter/Rig.h"

#include "platform/MsgBox.h"
#include "prompter/PromptView.h"

#include <QActionGroup>
#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QMenu>
#include <QScreen>

Rig::Rig(QWidget *window, QWidget *area)
    : QObject(window)
    , m_window(window)
    , m_area(area)
    , m_mirror(new PromptView(area, window))
    , m_output(new PromptView(area, window, Qt::Window))
    , m_menu(new QMenu(window))
    , m_screens(new QActionGroup(m_menu))
    , m_choices(RigChoices::load())
{
    m_mirror->setObjectName(QStringLiteral("picmirror"));
    m_mirror->setGeometry(area->geometry());
    // The area's own mouse handling stays: the context menu is the window's.
    m_mirror->setAttribute(Qt::WA_TransparentForMouseEvents);
    m_output->setObjectName(QStringLiteral("picoutput"));
    m_output->setWindowTitle(QStringLiteral("Prompt"));
    // It goes with the console and never keeps the program running on its own.
    m_output->setAttribute(Qt::WA_QuitOnClose, false);
    m_menu->setObjectName(QStringLiteral("mnuprompt"));

    connect(m_output, &PromptView::closed, this, [this] { setOnScreen(false); });
    connect(qApp, &QGuiApplication::screenAdded, this, &Rig::placeOutput, Qt::QueuedConnection);
    connect(qApp, &QGuiApplication::screenRemoved, this, &Rig::placeOutput, Qt::QueuedConnection);
    window->installEventFilter(this);
    showMirror();
}

QWidget *Rig::output() const
{
    return m_output;
}

void Rig::promptChanged()
{
    if (m_mirror->isVisible())
        m_mirror->update();
    if (m_output->isVisible())
        m_output->update();
}

void Rig::toggleMirror()
{
    setMirror(Qt::Horizontal, !m_choices.mirrorLeftRight);
}

void Rig::toggleOutput()
{
    setOnScreen(!m_choices.onScreen);
}

bool Rig::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != m_window)
        return false;
    if (event->type() == QEvent::Show) {
        placeOutput();
    } else if (event->type() == QEvent::ContextMenu) {
        // The area's controls take no mouse input, so its right click reaches the window.
        auto *menuEvent = static_cast<QContextMenuEvent *>(event);
        if (!m_area->geometry().contains(menuEvent->pos()))
            return false;
        showMenu(menuEvent->globalPos());
        return true;
    }
    return false;
}

void Rig::showMenu(const QPoint &globalPos)
{
    m_menu->clear();
    const auto addCheck = [this](const QString &text, bool checked, auto toggled) {
        QAction *action = m_menu->addAction(text);
        action->setCheckable(true);
        action->setChecked(checked);
        connect(action, &QAction::toggled, this, toggled);
        return action;
    };
    addCheck(QStringLiteral("Mirror Left To Right"), m_choices.mirrorLeftRight,
        [this](bool on) { setMirror(Qt::Horizontal, on); });
    addCheck(QStringLiteral("Mirror Top To Bottom"), m_choices.mirrorTopBottom,
        [this](bool on) { setMirror(Qt::Vertical, on); });
    addCheck(QStringLiteral("Prompt On Screen"), m_choices.onScreen,
        [this](bool on) { setOnScreen(on); });
    m_menu->addSeparator();
    Q_EMIT menuOpening(m_menu);

    const QScreen *current = outputScreen();
    const QList<QScreen *> list = QGuiApplication::screens();
    for (qsizetype i = 0; i < list.size(); ++i) {
        const QScreen *screen = list.at(i);
        const QString text = QStringLiteral("Screen %1: %2 (%3 x %4)")
                                 .arg(i + 1)
                                 .arg(screen->name())
                                 .arg(screen->size().width())
                                 .arg(screen->size().height());
        m_screens->addAction(addCheck(text, screen == current, [this, i](bool on) {
            if (on)
                chooseScreen(int(i));
        }));
    }
    m_menu->popup(globalPos);
}

void Rig::setMirror(Qt::Orientation orientation, bool on)
{
    (orientation == Qt::Horizontal ? m_choices.mirrorLeftRight : m_choices.mirrorTopBottom) = on;
    showMirror();
    store();
}

void Rig::setOnScreen(bool on)
{
    if (on == m_choices.onScreen)
        return;
    m_choices.onScreen = on;
    placeOutput();
    store();
}

void Rig::chooseScreen(int index)
{
    // The screens may have changed while the menu was open.
    const QScreen *screen = QGuiApplication::screens().value(index);
    if (!screen)
        return;
    m_choices.screen = screen->name();
    m_choices.screenIndex = index;
    m_choices.onScreen = true;
    placeOutput();
    store();
}

void Rig::showMirror()
{
    Qt::Orientations mirror;
    mirror.setFlag(Qt::Horizontal, m_choices.mirrorLeftRight);
    mirror.setFlag(Qt::Vertical, m_choices.mirrorTopBottom);
    m_mirror->setMirror(mirror);
    m_output->setMirror(mirror);
    // Unmirrored, the area shows itself. Made after the area, the view lies above it, and
    // below the signs the window makes later.
    m_mirror->setVisible(mirror != Qt::Orientations());
}

void Rig::placeOutput()
{
    if (!m_choices.onScreen || !m_window->isVisible()) {
        m_output->hide();
        return;
    }
    QScreen *screen = outputScreen();
    const bool ownScreen = screen != m_window->screen();
    if (ownScreen != m_ownScreen || !m_output->isVisible()) {
        m_ownScreen = ownScreen;
        // On a screen of its own it has no frame; beside the console it is a window the
        // user moves and sizes. Either way the keys stay with the console.
        Qt::WindowFlags flags = Qt::Window | Qt::WindowDoesNotAcceptFocus;
        if (ownScreen)
            flags |= Qt::FramelessWindowHint;
        m_output->setWindowFlags(flags);
        if (!ownScreen)
            m_output->setGeometry(besideConsole(screen->availableGeometry()));
    }
    m_output->setScreen(screen);
    if (ownScreen)
        m_output->setGeometry(screen->geometry());
    m_output->show();
}

QRect Rig::besideConsole(const QRect &available) const
{
    // As big as the area; right of the console, else left of it, else in the top left.
    QRect place(QPoint(), m_area->size());
    const QRect console = m_window->frameGeometry();
    place.moveTopLeft(QPoint(console.right() + 1, console.top()));
    if (!available.contains(place))
        place.moveTopRight(QPoint(console.left() - 1, console.top()));
    if (!available.contains(place))
        place.moveTopLeft(available.topLeft());
    return place;
}

QScreen *Rig::outputScreen() const
{
    const QList<QScreen *> screens = QGuiApplication::screens();
    QScreen *atIndex = screens.value(m_choices.screenIndex);
    if (atIndex && atIndex->name() == m_choices.screen)
        return atIndex;
    for (QScreen *screen : screens) {
        if (screen->name() == m_choices.screen)
            return screen;
    }
    // None chosen, or the chosen one is gone: the first that is not the console's.
    for (QScreen *screen : screens) {
        if (screen != m_window->screen())
            return screen;
    }
    return m_window->screen();
}

void Rig::store()
{
    if (!m_choices.save())
        ShowError(m_window,
            QStringLiteral("THE PROMPT'S MIRROR AND SCREEN CHOICES COULD NOT BE STORED. THEY HOLD "
                           "UNTIL THE PROGRAM ENDS."));
}
