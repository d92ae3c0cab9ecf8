#pragma once

#include <QWidget>

class QLabel;
class QListWidget;
class QPushButton;
class RemoteServer;

// The Remote Control window: the page's address and its QR code, the pairing code, the
// devices connected, and the buttons that disconnect them all and switch the remote off.
// Closing it leaves the remote on.
class frmRemote final : public QWidget
{
    Q_OBJECT

public:
    frmRemote(RemoteServer &server, QWidget *parent);

    // The address, the code and the devices as the server has them now.
    void showServer();

Q_SIGNALS:
    void switchOffClicked();

private:
    RemoteServer &m_server;
    QLabel *lbladdress;
    QLabel *picqr;
    QLabel *lblcode;
    QListWidget *lstdevices;
    QPushButton *cmddisconnect;
    QPushButton *cmdswitchoff;
};
