#pragma once

#include "prompter/PromptCommand.h"
#include "remote/RemoteGate.h"

#include <QHash>
#include <QHostAddress>
#include <QJsonObject>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QTcpSocket>

class QTcpServer;
class QWebSocket;
class QWebSocketServer;
struct HttpRequest;

// The remote page's server: the page's own files over HTTP, and a WebSocket on which a
// paired device sends commands and hears the prompt's figures. It listens on the loopback
// and the local network's addresses only, and holds every peer to the gate and to tight
// limits, so that nothing a peer sends can harm the prompt.
class RemoteServer final : public QObject
{
    Q_OBJECT

public:
    static constexpr int kMaxConnections = 20;
    static constexpr qint64 kMaxMessageBytes = 1024;
    static constexpr int kRequestMs = 5000; // for a request's head, or for pairing

    explicit RemoteServer(RemoteGate::Clock clock = {}, QObject *parent = nullptr);

    // An address a phone on the same network reaches: the private and link-local IPv4 ranges.
    // The loopback is listened on besides; a public address never.
    static bool isLocalNetwork(const QHostAddress &address);
    ~RemoteServer() override;

    // Listens, on the port asked for where it is free (0: any); false when it cannot.
    bool start(quint16 port = 0);
    // Every connection closed, and nobody listens.
    void stop();
    bool isListening() const { return !m_servers.isEmpty(); }
    // The page's address on the local network, the loopback's without one; its code.
    QString pageAddress() const;
    QString code() const { return m_gate.code(); }
    quint16 port() const { return m_port; }
    // The paired devices connected now, each as its address and its browser.
    QStringList devices() const;
    // Closes every device's connection; each must pair again.
    void disconnectAll();
    // The prompt's figures, sent to every paired device.
    void publish(const QJsonObject &status);

Q_SIGNALS:
    void commandReceived(PromptCommand command);
    void devicesChanged();

private:
    struct Peer {
        QString token; // empty until paired
        QString browser;
    };
    // A connection not (yet) a WebSocket: a request for a file, or an upgrade on its way.
    struct Pending {
        QPointer<QTcpSocket> socket;
        QString browser;
    };

    int openConnections();
    void accept(QTcpServer *server);
    void readRequest(QTcpSocket *socket);
    void upgrade(QTcpSocket *socket, const HttpRequest &request);
    bool isOwnOrigin(const HttpRequest &request) const;
    void answer(QTcpSocket *socket, const HttpRequest &request);
    void refuse(QTcpSocket *socket, const QByteArray &status);
    void respond(QTcpSocket *socket, const QByteArray &status, const QByteArray &type,
        const QByteArray &headers, const QByteArray &body, bool headOnly = false);
    void welcome();
    void receive(QWebSocket *socket, const QString &message);
    void send(QWebSocket *socket, const QJsonObject &message);

    RemoteGate m_gate;
    QList<QTcpServer *> m_servers;
    QWebSocketServer *m_webSockets;
    QHash<QWebSocket *, Peer> m_peers;
    QList<Pending> m_pending;
    QList<QHostAddress> m_addresses;
    quint16 m_port = 0;
    QJsonObject m_status;
};
