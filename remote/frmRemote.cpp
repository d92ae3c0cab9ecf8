#include "remote/frmRemote.h"

#include "remote/QrCode.h"
#include "remote/RemoteServer.h"

#include <QGridLayout>
#include <QLabel>
#include <QListWidget>
#include <QPixmap>
#include <QPushButton>

namespace
{
constexpr int kModulePixels = 5;
}

frmRemote::frmRemote(RemoteServer &server, QWidget *parent)
    : QWidget(parent, Qt::Window)
    , m_server(server)
    , lbladdress(new QLabel(this))
    , picqr(new QLabel(this))
    , lblcode(new QLabel(this))
    , lstdevices(new QListWidget(this))
    , cmddisconnect(new QPushButton(QStringLiteral("&Disconnect All"), this))
    , cmdswitchoff(new QPushButton(QStringLiteral("Switch &Off"), this))
{
    setObjectName(QStringLiteral("frmRemote"));
    setWindowTitle(QStringLiteral("Remote Control"));
    lbladdress->setObjectName(QStringLiteral("lbladdress"));
    lbladdress->setTextInteractionFlags(Qt::TextSelectableByMouse);
    picqr->setObjectName(QStringLiteral("picqr"));
    picqr->setAlignment(Qt::AlignCenter);
    lblcode->setObjectName(QStringLiteral("lblcode"));
    QFont big = lblcode->font();
    big.setPointSize(big.pointSize() * 2);
    big.setBold(true);
    lblcode->setFont(big);
    lblcode->setTextInteractionFlags(Qt::TextSelectableByMouse);
    lstdevices->setObjectName(QStringLiteral("lstdevices"));
    lstdevices->setMaximumHeight(90);
    cmddisconnect->setObjectName(QStringLiteral("cmddisconnect"));
    cmdswitchoff->setObjectName(QStringLiteral("cmdswitchoff"));

    auto *grid = new QGridLayout(this);
    grid->addWidget(new QLabel(QStringLiteral("Open this address on a phone or tablet on the same "
                                              "network, or scan the code:"),
                        this),
        0, 0, 1, 2);
    grid->addWidget(lbladdress, 1, 0, 1, 2);
    grid->addWidget(picqr, 2, 0, 1, 2);
    grid->addWidget(new QLabel(QStringLiteral("Pairing code:"), this), 3, 0);
    grid->addWidget(lblcode, 3, 1);
    grid->addWidget(new QLabel(QStringLiteral("Devices connected:"), this), 4, 0, 1, 2);
    grid->addWidget(lstdevices, 5, 0, 1, 2);
    grid->addWidget(cmddisconnect, 6, 0);
    grid->addWidget(cmdswitchoff, 6, 1);

    connect(cmddisconnect, &QPushButton::clicked, &m_server, &RemoteServer::disconnectAll);
    connect(cmdswitchoff, &QPushButton::clicked, this, &frmRemote::switchOffClicked);
    connect(&m_server, &RemoteServer::devicesChanged, this, &frmRemote::showServer);
}

void frmRemote::showServer()
{
    const QString address = m_server.pageAddress();
    lbladdress->setText(address);
    // The code rides in the address's fragment, which a browser never sends over the network.
    const QImage code = qrCode(address + QStringLiteral("#code=") + m_server.code(), kModulePixels);
    picqr->setPixmap(QPixmap::fromImage(code));
    lblcode->setText(m_server.code().left(3) + QLatin1Char(' ') + m_server.code().mid(3));
    const QStringList devices = m_server.devices();
    lstdevices->clear();
    lstdevices->addItems(devices.isEmpty() ? QStringList(QStringLiteral("None")) : devices);
    cmddisconnect->setEnabled(!devices.isEmpty());
}
