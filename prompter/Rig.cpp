#include "prompter/Rig.h"

#include "platform/Fonts.h"
#include "platform/MsgBox.h"
#include "prompter/Countdown.h"
#include "prompter/OutputView.h"
#include "prompter/PromptArea.h"
#include "prompter/PromptProgress.h"
#include "prompter/PromptView.h"
#include "prompter/Scroller.h"

#include <QActionGroup>
#include <QContextMenuEvent>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QLabel>
#include <QMenu>
#include <QScreen>

#include <array>
#include <cmath>

namespace
{
constexpr qreal kSizeStep = 1.1; // the output's text size per step of Ctrl and "+" or "-"

struct Choice {
    const char *text;
    double value;
};
constexpr std::array kMargins { Choice { "None", 0 }, Choice { "5 %", 5 }, Choice { "10 %", 10 },
    Choice { "15 %", 15 }, Choice { "20 %", 20 } };
constexpr std::array kMarkers { Choice { "A Quarter Of The Way Down", 0.25 },
    Choice { "A Third Of The Way Down", 1.0 / 3 }, Choice { "Two Fifths Of The Way Down", 0.4 },
    Choice { "The Middle", 0.5 } };
} // namespace

Rig::Rig(QWidget *window, PromptArea &area)
    : QObject(window)
    , m_window(window)
    , m_area(area.area())
    , m_mirror(new PromptView(m_area, window))
    , m_output(new OutputView(area, window))
    , m_menu(new QMenu(window))
    , m_outputMenu(new QMenu(m_output))
    , m_screens(new QActionGroup(m_menu))
    , m_choices(RigChoices::load())
    , lblcountdown(new QLabel(m_area))
{
    lblcountdown->setObjectName(QStringLiteral("lblcountdown"));
    lblcountdown->setAlignment(Qt::AlignCenter);
    lblcountdown->setFont(tahoma(96, true));
    lblcountdown->setGeometry(m_area->rect());
    lblcountdown->hide();
    m_mirror->setObjectName(QStringLiteral("picmirror"));
    m_mirror->setGeometry(m_area->geometry());
    // The area's own mouse handling stays: the context menu is the window's.
    m_mirror->setAttribute(Qt::WA_TransparentForMouseEvents);
    m_output->setObjectName(QStringLiteral("picoutput"));
    m_output->setWindowTitle(QStringLiteral("Prompt"));
    // It goes with the console and never keeps the program running on its own.
    m_output->setAttribute(Qt::WA_QuitOnClose, false);
    m_output->setContextMenuPolicy(Qt::CustomContextMenu);
    m_menu->setObjectName(QStringLiteral("mnuprompt"));
    m_outputMenu->setObjectName(QStringLiteral("mnuoutput"));
    if (!m_choices.face.isEmpty())
        m_output->setFace(m_choices.face);
    m_output->setPointSize(m_choices.pointSize);
    m_output->setMargin(m_choices.margin);
    m_output->setMarkerAt(m_choices.markerAt);

    connect(m_output, &OutputView::closed, this, [this] { setOnScreen(false); });
    connect(m_output, &QWidget::customContextMenuRequested, this, &Rig::showOutputMenu);
    connect(m_output, &OutputView::pointSizeWheeled, this, [this](qreal size) {
        m_choices.pointSize = size;
        store();
    });
    connect(qApp, &QGuiApplication::screenAdded, this, &Rig::placeOutput, Qt::QueuedConnection);
    connect(qApp, &QGuiApplication::screenRemoved, this, &Rig::placeOutput, Qt::QueuedConnection);
    window->installEventFilter(this);
    showMirror();
}

void Rig::setScroller(Scroller &scroller)
{
    connect(&scroller, &Scroller::started, m_output, &OutputView::scriptChanged);
    connect(&scroller, &Scroller::stopped, m_output, &OutputView::promptMoved);
    m_progress = new PromptProgress(scroller, {}, this);
    m_countdown = new Countdown(scroller, {}, this);
    m_countdown->setEnabled(m_choices.countdown);
    connect(m_countdown, &Countdown::countChanged, this, &Rig::showCount);
    m_output->setFigures(*m_progress, *m_countdown);
    showFigures();
}

void Rig::showCount(int count)
{
    if (count == 0) {
        lblcountdown->hide();
        return;
    }
    QPalette palette = lblcountdown->palette();
    palette.setColor(QPalette::WindowText,
        m_area->palette().color(QPalette::Window).lightness() > 128 ? Qt::black : Qt::white);
    lblcountdown->setPalette(palette);
    lblcountdown->setText(QString::number(count));
    lblcountdown->raise();
    lblcountdown->show();
}

void Rig::showFigures()
{
    m_output->setShown(m_choices.showElapsed, m_choices.showProgress, m_choices.showLeft);
}

QWidget *Rig::output() const
{
    return m_output;
}

void Rig::promptChanged()
{
    if (m_mirror->isVisible())
        m_mirror->update();
    m_output->promptMoved();
}

void Rig::toggleMirror(bool output)
{
    setMirror(
        output, Qt::Horizontal, output ? !m_choices.outputLeftRight : !m_choices.mirrorLeftRight);
}

void Rig::toggleOutput()
{
    setOnScreen(!m_choices.onScreen);
}

void Rig::toggleFullScreen()
{
    if (!m_choices.onScreen) {
        m_choices.onScreen = true;
        setFullScreen(true);
        return;
    }
    setFullScreen(!isFullScreen());
}

bool Rig::leaveFullScreen(bool inOutput)
{
    // With one screen the full-screen prompt covers the console, whichever window the key
    // reached; otherwise only the output's own Escape is its.
    const bool oneScreen = QGuiApplication::screens().size() == 1;
    if (!m_output->isVisible() || !isFullScreen() || !(inOutput || oneScreen))
        return false;
    // Over the only screen, the console comes back.
    if (oneScreen)
        setOnScreen(false);
    else
        setFullScreen(false);
    return true;
}

void Rig::stepTextSize(int steps)
{
    m_output->setPointSize(m_output->pointSize() * std::pow(kSizeStep, steps));
    m_choices.pointSize = m_output->pointSize();
    store();
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

QAction *Rig::addCheck(
    QMenu *menu, const QString &text, bool checked, std::function<void(bool)> toggled)
{
    QAction *action = menu->addAction(text);
    action->setCheckable(true);
    action->setChecked(checked);
    connect(action, &QAction::toggled, this, std::move(toggled));
    return action;
}

void Rig::showMenu(const QPoint &globalPos)
{
    m_menu->clear();
    addCheck(m_menu, QStringLiteral("Mirror Left To Right"), m_choices.mirrorLeftRight,
        [this](bool on) { setMirror(false, Qt::Horizontal, on); });
    addCheck(m_menu, QStringLiteral("Mirror Top To Bottom"), m_choices.mirrorTopBottom,
        [this](bool on) { setMirror(false, Qt::Vertical, on); });
    addCheck(m_menu, QStringLiteral("Prompt On Screen"), m_choices.onScreen,
        [this](bool on) { setOnScreen(on); });
    addCheck(
        m_menu, QStringLiteral("Count Down Before Start"), m_choices.countdown, [this](bool on) {
            m_choices.countdown = on;
            m_countdown->setEnabled(on);
            store();
        });
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
        m_screens->addAction(addCheck(m_menu, text, screen == current, [this, i](bool on) {
            if (on)
                chooseScreen(int(i));
        }));
    }
    m_menu->popup(globalPos);
}

void Rig::showOutputMenu(const QPoint &pos)
{
    QMenu *menu = m_outputMenu;
    // The submenus of the last showing go with their items.
    qDeleteAll(menu->findChildren<QMenu *>(Qt::FindDirectChildrenOnly));
    menu->clear();
    addCheck(menu, QStringLiteral("Mirror Left To Right"), m_choices.outputLeftRight,
        [this](bool on) { setMirror(true, Qt::Horizontal, on); });
    addCheck(menu, QStringLiteral("Mirror Top To Bottom"), m_choices.outputTopBottom,
        [this](bool on) { setMirror(true, Qt::Vertical, on); });
    addCheck(menu, QStringLiteral("Full Screen\tF11"), isFullScreen(),
        [this](bool on) { setFullScreen(on); });
    menu->addSeparator();
    const auto addShown = [this, menu](const QString &text, bool RigChoices::*shown) {
        addCheck(menu, text, m_choices.*shown, [this, shown](bool on) {
            m_choices.*shown = on;
            showFigures();
            store();
        });
    };
    addShown(QStringLiteral("Show Time Since Start"), &RigChoices::showElapsed);
    addShown(QStringLiteral("Show Progress"), &RigChoices::showProgress);
    addShown(QStringLiteral("Show Time Left"), &RigChoices::showLeft);
    menu->addSeparator();
    connect(menu->addAction(QStringLiteral("Larger Text\tCtrl++")), &QAction::triggered, this,
        [this] { stepTextSize(1); });
    connect(menu->addAction(QStringLiteral("Smaller Text\tCtrl+-")), &QAction::triggered, this,
        [this] { stepTextSize(-1); });

    QMenu *faces = menu->addMenu(QStringLiteral("Face"));
    QStringList families { m_output->face() };
    for (const QString &family : QFontDatabase::families(QFontDatabase::Latin)) {
        if (!QFontDatabase::isPrivateFamily(family) && !families.contains(family))
            families << family;
    }
    auto *faceGroup = new QActionGroup(faces);
    for (const QString &family : families) {
        faceGroup->addAction(
            addCheck(faces, family, family == m_output->face(), [this, family](bool on) {
                if (!on)
                    return;
                m_output->setFace(family);
                m_choices.face = family;
                store();
            }));
    }
    const auto addChoices = [this](QMenu *submenu, const auto &choices, double current, auto pick) {
        auto *group = new QActionGroup(submenu);
        for (const Choice &choice : choices) {
            group->addAction(addCheck(submenu, QString::fromLatin1(choice.text),
                std::abs(choice.value - current) < 1e-6, [this, pick, choice](bool on) {
                    if (on) {
                        pick(choice.value);
                        store();
                    }
                }));
        }
    };
    addChoices(menu->addMenu(QStringLiteral("Side Margins")), kMargins, m_choices.margin,
        [this](double value) {
            m_choices.margin = int(value);
            m_output->setMargin(m_choices.margin);
        });
    addChoices(menu->addMenu(QStringLiteral("Reading Marker")), kMarkers, m_choices.markerAt,
        [this](double value) {
            m_choices.markerAt = value;
            m_output->setMarkerAt(value);
        });
    menu->addSeparator();
    Q_EMIT outputMenuOpening(menu);
    menu->popup(m_output->mapToGlobal(pos));
}

void Rig::setMirror(bool output, Qt::Orientation orientation, bool on)
{
    if (output)
        (orientation == Qt::Horizontal ? m_choices.outputLeftRight : m_choices.outputTopBottom)
            = on;
    else
        (orientation == Qt::Horizontal ? m_choices.mirrorLeftRight : m_choices.mirrorTopBottom)
            = on;
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

void Rig::setFullScreen(bool on)
{
    m_choices.fullScreen = on;
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
    Qt::Orientations console;
    console.setFlag(Qt::Horizontal, m_choices.mirrorLeftRight);
    console.setFlag(Qt::Vertical, m_choices.mirrorTopBottom);
    m_mirror->setMirror(console);
    // Unmirrored, the area shows itself. Made after the area, the view lies above it, and
    // below the signs the window makes later.
    m_mirror->setVisible(console != Qt::Orientations());
    Qt::Orientations output;
    output.setFlag(Qt::Horizontal, m_choices.outputLeftRight);
    output.setFlag(Qt::Vertical, m_choices.outputTopBottom);
    m_output->setMirror(output);
}

bool Rig::isFullScreen() const
{
    // A screen of its own it fills anyway; one screen it shares only full screen.
    return m_choices.fullScreen || QGuiApplication::screens().size() == 1
        || outputScreen() != m_window->screen();
}

void Rig::placeOutput()
{
    if (!m_choices.onScreen || !m_window->isVisible()) {
        m_output->hide();
        return;
    }
    QScreen *screen = outputScreen();
    const bool ownScreen = screen != m_window->screen();
    const bool full = isFullScreen();
    // Full screen it has no frame; beside the console it is a window the user moves and
    // sizes. On a screen of its own the keys stay with the console; full screen over the
    // console it takes them, so that its own keys (Escape, M) reach it.
    Qt::WindowFlags flags = Qt::Window;
    if (full)
        flags |= Qt::FramelessWindowHint;
    if (ownScreen)
        flags |= Qt::WindowDoesNotAcceptFocus;
    const bool wasFull = m_output->windowFlags().testFlag(Qt::FramelessWindowHint);
    if (flags != m_output->windowFlags() || !m_output->isVisible()) {
        m_output->setWindowFlags(flags);
        if (!full)
            m_output->setGeometry(besideConsole(screen->availableGeometry()));
    } else if (wasFull && !full) {
        m_output->setGeometry(besideConsole(screen->availableGeometry()));
    }
    m_output->setScreen(screen);
    if (full)
        m_output->setGeometry(screen->geometry());
    m_output->show();
    if (full && !ownScreen) {
        m_output->raise();
        m_output->activateWindow();
    }
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
