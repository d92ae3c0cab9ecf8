#include "remote/RemoteControl.h"

#include "platform/MsgBox.h"
#include "remote/RemoteServer.h"
#include "remote/frmRemote.h"

#include <QMenu>
#include <QTimer>

#include <cstdio>

namespace
{
constexpr int kFiguresMs = 100; // how often the page's figures may change
}

RemoteControl::RemoteControl(QWidget *window, Figures figures)
    : QObject(window)
    , m_window(window)
    , m_figures(std::move(figures))
    , m_server(new RemoteServer({}, this))
    , m_figuresTimer(new QTimer(this))
{
    m_figuresTimer->setInterval(kFiguresMs);
    connect(m_figuresTimer, &QTimer::timeout, this, &RemoteControl::sendFigures);
    connect(m_server, &RemoteServer::commandReceived, this, &RemoteControl::commandReceived);
}

void RemoteControl::addMenuItems(QMenu *menu)
{
    QAction *remote = menu->addAction(QStringLiteral("&Remote Control\u2026"));
    connect(remote, &QAction::triggered, this, &RemoteControl::switchOn);
    menu->addSeparator();
}

bool RemoteControl::isOn() const
{
    return m_server->isListening();
}

void RemoteControl::switchOn()
{
    if (!isOn()) {
        if (!m_server->start()) {
            ShowError(m_window,
                QStringLiteral("THE REMOTE CONTROL COULD NOT START: NO NETWORK ADDRESS OF THIS "
                               "COMPUTER COULD BE LISTENED ON."));
            return;
        }
        // Scripts and tests read where the page is from the program's output.
        std::printf("Remote control: %s#code=%s\n", qPrintable(m_server->pageAddress()),
            qPrintable(m_server->code()));
        std::fflush(stdout);
        m_sent = QJsonObject();
        sendFigures();
        m_figuresTimer->start();
    }
    if (!m_dialog) {
        m_dialog = new frmRemote(*m_server, m_window);
        connect(m_dialog, &frmRemote::switchOffClicked, this, &RemoteControl::switchOff);
    }
    m_dialog->showServer();
    m_dialog->show();
    m_dialog->raise();
    m_dialog->activateWindow();
}

void RemoteControl::switchOff()
{
    m_figuresTimer->stop();
    m_server->stop();
    if (m_dialog)
        m_dialog->close();
}

void RemoteControl::sendFigures()
{
    const QJsonObject figures = m_figures();
    if (figures == m_sent)
        return;
    m_sent = figures;
    m_server->publish(figures);
}
