#pragma once

#include "prompter/Scroller.h"

#include <QObject>
#include <QPointer>

class PromptBox;
class QGroupBox;
class QLabel;
class QScrollBar;
class QTimer;
class QToolButton;
class QWidget;
class frmEditor;

// The "Scroller" panel: Editor, Start, Pause, Reset, the speed bar and its label, and the
// scroll clock. It shows the scroller's state and speed and drives it as the user does.
class ScrollerPanel final : public QObject
{
    Q_OBJECT

public:
    // store: the script store the editor's Done writes.
    ScrollerPanel(QWidget *window, Scroller &scroller, PromptBox &store);

    // The speed as shown, which a save of the settings stores.
    const QLabel *speedLabel() const { return lblspeed; }
    // Its controls in tab order.
    QList<QWidget *> tabOrder() const;

Q_SIGNALS:
    // The user drags the speed bar's scroll box: the speed shown is to be stored.
    void speedDragged();
    void speedDragEnded();

private:
    void cmdeditor_Click();
    void cmdstart_Click();
    void cmdpause_Click();
    void cmdreset_Click();
    void tmrmain_Timer();
    void hscspeed_Change();
    void hscspeed_Scroll();
    void showSpeed();
    void showState(Scroller::State state);

    Scroller &m_scroller;
    PromptBox &m_store;
    QGroupBox *Frame2 = nullptr;
    QToolButton *cmdeditor = nullptr;
    QToolButton *cmdstart = nullptr;
    QToolButton *cmdpause = nullptr;
    QToolButton *cmdreset = nullptr;
    QScrollBar *hscspeed = nullptr;
    QLabel *lblspeed = nullptr;
    QLabel *Label1 = nullptr;
    QTimer *tmrmain = nullptr;
    // The editor from its first show until its close box; hidden between shows.
    QPointer<frmEditor> mEditor;
};
