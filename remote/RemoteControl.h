#pragma once

#include "prompter/PromptCommand.h"

#include <QJsonObject>
#include <QObject>
#include <QPointer>

#include <functional>

class QMenu;
class QTimer;
class QWidget;
class RemoteServer;
class frmRemote;

// A phone or tablet as a remote, beside the console: off until "Remote Control…" in the prompt
// area's menu switches it on, which opens its window; it serves the remote page, passes the
// page's commands on, and sends the page the prompt's figures while it is on.
class RemoteControl final : public QObject
{
    Q_OBJECT

public:
    // The prompt's figures as the page shows them.
    using Figures = std::function<QJsonObject()>;

    RemoteControl(QWidget *window, Figures figures);

    // Its item in the prompt area's menu.
    void addMenuItems(QMenu *menu);
    // Starts serving on a new code, prints where, and shows the window; said when it cannot.
    void switchOn();
    void switchOff();
    bool isOn() const;

Q_SIGNALS:
    void commandReceived(PromptCommand command);

private:
    void sendFigures();

    QWidget *m_window;
    Figures m_figures;
    RemoteServer *m_server;
    QPointer<frmRemote> m_dialog;
    QTimer *m_figuresTimer;
    QJsonObject m_sent;
};
