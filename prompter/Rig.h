#pragma once

#include "prompter/RigChoices.h"

#include <QObject>

#include <QRect>

class PromptView;
class QActionGroup;
class QMenu;
class QScreen;
class QWidget;

// The prompt on a teleprompter rig: the prompt area mirrored in place for the glass, and
// the prompt output window filling a screen of its own. The main window stays the
// operator's console; the choices come from the prompt area's context menu and the keys
// M and F, and are remembered per user.
class Rig final : public QObject
{
    Q_OBJECT

public:
    // Shows what the stored choices ask for; the output window opens with the window.
    Rig(QWidget *window, QWidget *area);

    // The prompt area changed: every view repaints from it.
    void promptChanged();
    // The key M: the left-to-right mirror on or off.
    void toggleMirror();
    // The key F: the output window shown or closed.
    void toggleOutput();
    // The prompt output window, for what else shows in it.
    QWidget *output() const;

Q_SIGNALS:
    // The prompt area's menu is being filled: what else the area offers goes in here, after
    // the rig's own items and before the screens.
    void menuOpening(QMenu *menu);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void showMenu(const QPoint &globalPos);
    void setMirror(Qt::Orientation orientation, bool on);
    void setOnScreen(bool on);
    void chooseScreen(int index);
    void showMirror();
    void placeOutput();
    QScreen *outputScreen() const;
    // Where the output window opens on the console's screen.
    QRect besideConsole(const QRect &available) const;
    void store();

    QWidget *m_window;
    QWidget *m_area;
    PromptView *m_mirror; // over the area while a mirror is set
    PromptView *m_output; // the prompt output window
    QMenu *m_menu;
    QActionGroup *m_screens; // the menu's screen items, one checked
    RigChoices m_choices;
    bool m_ownScreen = false; // the output window fills a screen of its own
};
