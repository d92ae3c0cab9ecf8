#pragma once

#include "prompter/RigChoices.h"

#include <QObject>
#include <QRect>

#include <functional>

class Countdown;
class OutputView;
class PromptProgress;
class QLabel;
class PromptArea;
class PromptView;
class QAction;
class QActionGroup;
class QMenu;
class QScreen;
class QWidget;
class Scroller;

// The prompt on a teleprompter rig: the console's prompt area mirrored in place, and the
// prompt output window, a prompt of its own on a screen of its own or full screen. Each
// window has its own mirror. The choices come from each window's context menu and from
// keys, and are remembered per user.
class Rig final : public QObject
{
    Q_OBJECT

public:
    // Shows what the stored choices ask for; the output window opens with the window.
    Rig(QWidget *window, PromptArea &area);
    // The output follows this scroller.
    void setScroller(Scroller &scroller);

    // The prompt area changed: every view repaints.
    void promptChanged();
    // The key M: the left-to-right mirror of the console, or of the output window.
    void toggleMirror(bool output);
    // The key F: the output window shown or closed.
    void toggleOutput();
    // F11: the output window full screen on the screen it stands on, or not.
    void toggleFullScreen();
    // Escape: out of full screen when pressed in the output window, or anywhere while the
    // output covers the only screen, which brings the console back. False when the key is
    // not the output's.
    bool leaveFullScreen(bool inOutput);
    // Ctrl and "+" or "-": the output's text a step larger or smaller.
    void stepTextSize(int steps);
    // The prompt output window.
    QWidget *output() const;
    // How far the prompt has come, for whatever shows it.
    PromptProgress &progress() const { return *m_progress; }
    OutputView &outputView() const { return *m_output; }

Q_SIGNALS:
    // A menu is being filled: what else the place offers goes in here, after the rig's own
    // items.
    void menuOpening(QMenu *menu);
    void outputMenuOpening(QMenu *menu);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void showMenu(const QPoint &globalPos);
    void showOutputMenu(const QPoint &pos);
    QAction *addCheck(
        QMenu *menu, const QString &text, bool checked, std::function<void(bool)> toggled);
    void setMirror(bool output, Qt::Orientation orientation, bool on);
    void setOnScreen(bool on);
    void setFullScreen(bool on);
    void chooseScreen(int index);
    void showMirror();
    void placeOutput();
    bool isFullScreen() const;
    QScreen *outputScreen() const;
    // Where the output window opens on the console's screen.
    QRect besideConsole(const QRect &available) const;
    void store();
    void showCount(int count);
    void showFigures();

    QWidget *m_window;
    QWidget *m_area;
    PromptView *m_mirror; // over the area while a mirror is set
    OutputView *m_output; // the prompt output window
    QMenu *m_menu;
    QMenu *m_outputMenu;
    QActionGroup *m_screens; // the menu's screen items, one checked
    RigChoices m_choices;
    PromptProgress *m_progress = nullptr;
    Countdown *m_countdown = nullptr;
    QLabel *lblcountdown; // the count over the console's prompt area
};
