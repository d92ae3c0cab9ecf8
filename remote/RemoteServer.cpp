#include "remote/RemoteServer.h"

#include "remote/HttpRequest.h"

#include <QFile>
#include <QJsonDocument>
#include <QNetworkInterface>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>
#include <QWebSocket>
#include <QWebSocketServer>

#include <array>

namespace
{
struct PageFile {
    const char *path;
    const char *resource;
    const char *type;
};

// The only files served; any other path, however spelled, is not found.
constexpr std::array kFiles {
    PageFile { "/", ":/remote/index.html", "text/html; charset=utf-8" },
    PageFile { "/remote.js", ":/remote/remote.js", "text/javascript; charset=utf-8" },
    PageFile { "/remote.css", ":/remote/remote.css", "text/css; charset=utf-8" },
};

constexpr char kSocketPath[] = "/socket";

// The loopback, and this computer's addresses on a local network.
QList<QHostAddress> localAddresses()
{
    QList<QHostAddress> list { QHostAddress(QHostAddress::LocalHost) };
    for (const QHostAddress &address : QNetworkInterface::allAddresses()) {
        if (RemoteServer::isLocalNetwork(address))
            list.append(address);
    }
    return list;
}

// A short name for a device's browser, from its User-Agent.
QString browserOf(const QByteArray &agent)
{
    QString system = QStringLiteral("a browser");
    for (const char *name : { "Android", "iPhone", "iPad", "Windows", "Mac OS", "Linux" }) {
        if (agent.contains(name)) {
            system = QString::fromLatin1(name);
            break;
        }
    }
    for (const char *name : { "Firefox", "Edg", "Chrome", "Safari" }) {
        if (agent.contains(name))
            return QStringLiteral("%1 on %2").arg(QLatin1String(name), system);
    }
    return system;
}
} // namespace

bool RemoteServer::isLocalNetwork(const QHostAddress &address)
{
    if (address.protocol() != QAbstractSocket::IPv4Protocol || address.isLoopback())
        return false;
    const quint32 ip = address.toIPv4Address();
    return (ip >> 24) == 10 || (ip & 0xFFF00000) == 0xAC100000 || (ip & 0xFFFF0000) == 0xC0A80000
        || address.isLinkLocal();
}

RemoteServer::RemoteServer(RemoteGate::Clock clock, QObject *parent)
    : QObject(parent)
    , m_gate(std::move(clock))
    , m_webSockets(
          new QWebSocketServer(QStringLiteral("Tellvane"), QWebSocketServer::NonSecureMode, this))
{
    m_webSockets->setHandshakeTimeout(std::chrono::milliseconds(kRequestMs));
    connect(m_webSockets, &QWebSocketServer::newConnection, this, &RemoteServer::welcome);
}

RemoteServer::~RemoteServer()
{
    stop();
}

bool RemoteServer::start(quint16 port)
{
    stop();
    m_gate.renew();
    m_addresses.clear();
    // The first address picks the port; the others listen on the same one, or not at all.
    for (const QHostAddress &address : localAddresses()) {
        auto *server = new QTcpServer(this);
        if (!server->listen(address, m_servers.isEmpty() ? port : m_port)
            && !(m_servers.isEmpty() && port != 0 && server->listen(address, 0))) {
            delete server;
            continue;
        }
        m_port = server->serverPort();
        m_servers.append(server);
        m_addresses.append(address);
        connect(server, &QTcpServer::newConnection, this, [this, server] { accept(server); });
    }
    return isListening();
}

void RemoteServer::stop()
{
    qDeleteAll(m_servers);
    m_servers.clear();
    const QList<QWebSocket *> sockets = m_peers.keys();
    m_peers.clear();
    for (QWebSocket *socket : sockets) {
        socket->disconnect(this);
        socket->abort();
        socket->deleteLater();
    }
    for (const Pending &pending : std::as_const(m_pending)) {
        if (pending.socket) {
            pending.socket->disconnect(this);
            pending.socket->abort();
            pending.socket->deleteLater();
        }
    }
    m_pending.clear();
    m_gate.forgetAll();
    Q_EMIT devicesChanged();
}

QString RemoteServer::pageAddress() const
{
    if (!isListening())
        return QString();
    const QHostAddress host = m_addresses.size() > 1 ? m_addresses.at(1) : m_addresses.first();
    return QStringLiteral("http://%1:%2/").arg(host.toString()).arg(m_port);
}

QStringList RemoteServer::devices() const
{
    QStringList list;
    for (auto peer = m_peers.cbegin(); peer != m_peers.cend(); ++peer) {
        if (!peer->token.isEmpty())
            list << QStringLiteral("%1, %2").arg(
                peer.key()->peerAddress().toString(), peer->browser);
    }
    list.sort();
    return list;
}

void RemoteServer::disconnectAll()
{
    m_gate.forgetAll();
    for (auto peer = m_peers.begin(); peer != m_peers.end(); ++peer) {
        if (!peer->token.isEmpty()) {
            send(peer.key(), { { QStringLiteral("error"), QStringLiteral("disconnected") } });
            peer->token.clear();
            peer.key()->close(QWebSocketProtocol::CloseCodeNormal);
        }
    }
    Q_EMIT devicesChanged();
}

void RemoteServer::publish(const QJsonObject &status)
{
    m_status = status;
    for (auto peer = m_peers.cbegin(); peer != m_peers.cend(); ++peer) {
        if (!peer->token.isEmpty())
            send(peer.key(), { { QStringLiteral("status"), status } });
    }
}

int RemoteServer::openConnections()
{
    m_pending.removeIf([](const Pending &pending) { return pending.socket.isNull(); });
    return int(m_pending.size() + m_peers.size());
}

void RemoteServer::accept(QTcpServer *server)
{
    while (QTcpSocket *socket = server->nextPendingConnection()) {
        socket->setParent(this);
        if (openConnections() >= kMaxConnections) {
            socket->abort();
            socket->deleteLater();
            continue;
        }
        m_pending.append({ socket, QString() });
        // A head that has not come whole in time is a slow sender's: it is dropped.
        auto *late = new QTimer(socket);
        late->setSingleShot(true);
        connect(late, &QTimer::timeout, this,
            [this, socket] { refuse(socket, "408 Request Timeout"); });
        late->start(kRequestMs);
        connect(socket, &QTcpSocket::readyRead, this, [this, socket] { readRequest(socket); });
        connect(socket, &QTcpSocket::disconnected, socket, [this, socket] {
            // Until upgraded the socket is ours; then its WebSocket's, which goes with it.
            if (std::any_of(m_pending.cbegin(), m_pending.cend(),
                    [socket](const Pending &pending) { return pending.socket == socket; }))
                socket->deleteLater();
        });
        readRequest(socket);
    }
}

void RemoteServer::readRequest(QTcpSocket *socket)
{
    // Peeked, not read: an upgrade hands the head on to the WebSocket server whole.
    const QByteArray received = socket->peek(HttpRequest::kMaxHeadBytes);
    HttpRequest request;
    qsizetype length = 0;
    switch (HttpRequest::parse(received, &request, &length)) {
    case HttpRequest::Parse::Incomplete:
        return;
    case HttpRequest::Parse::TooLarge:
        refuse(socket, "431 Request Header Fields Too Large");
        return;
    case HttpRequest::Parse::Malformed:
        refuse(socket, "400 Bad Request");
        return;
    case HttpRequest::Parse::Done:
        break;
    }
    // One request a connection: nothing more is read from it here.
    socket->disconnect(this);
    delete socket->findChild<QTimer *>(QString(), Qt::FindDirectChildrenOnly);
    if (request.path == kSocketPath)
        upgrade(socket, request);
    else
        answer(socket, request);
}

void RemoteServer::upgrade(QTcpSocket *socket, const HttpRequest &request)
{
    if (!isOwnOrigin(request)) {
        refuse(socket, "403 Forbidden");
        return;
    }
    if (m_gate.isRefused(socket->peerAddress().toString())) {
        refuse(socket, "429 Too Many Requests");
        return;
    }
    for (Pending &pending : m_pending) {
        if (pending.socket == socket)
            pending.browser = browserOf(request.headers.value("user-agent"));
    }
    m_webSockets->handleConnection(socket);
}

bool RemoteServer::isOwnOrigin(const HttpRequest &request) const
{
    // The Host must be one of our own addresses, so that a name that resolves to us on
    // someone else's page cannot pass for the page's origin.
    const QByteArray host = request.headers.value("host");
    for (const QHostAddress &address : m_addresses) {
        const QByteArray own
            = QStringLiteral("%1:%2").arg(address.toString()).arg(m_port).toLatin1();
        if (host == own)
            return request.headers.value("origin") == "http://" + own;
    }
    return false;
}

void RemoteServer::answer(QTcpSocket *socket, const HttpRequest &request)
{
    if (request.method != "GET" && request.method != "HEAD") {
        refuse(socket, "405 Method Not Allowed");
        return;
    }
    const auto file = std::find_if(kFiles.begin(), kFiles.end(),
        [&](const PageFile &page) { return request.path == page.path; });
    if (file == kFiles.end()) {
        refuse(socket, "404 Not Found");
        return;
    }
    QFile resource(QString::fromLatin1(file->resource));
    if (!resource.open(QIODevice::ReadOnly)) {
        refuse(socket, "500 Internal Server Error");
        return;
    }
    socket->read(socket->bytesAvailable());
    respond(socket, "200 OK", file->type,
        "Cache-Control: no-store\r\nX-Content-Type-Options: nosniff\r\n"
        "Content-Security-Policy: default-src 'self'; connect-src 'self'; "
        "frame-ancestors 'none'\r\nReferrer-Policy: no-referrer\r\n",
        resource.readAll(), request.method == "HEAD");
}

void RemoteServer::refuse(QTcpSocket *socket, const QByteArray &status)
{
    socket->disconnect(this);
    delete socket->findChild<QTimer *>(QString(), Qt::FindDirectChildrenOnly);
    respond(socket, status, "text/plain", QByteArray(), status + "\n");
}

void RemoteServer::respond(QTcpSocket *socket, const QByteArray &status, const QByteArray &type,
    const QByteArray &headers, const QByteArray &body, bool headOnly)
{
    // One answer a connection: it closes once written.
    const QByteArray head = "HTTP/1.1 " + status + "\r\nContent-Type: " + type
        + "\r\nContent-Length: " + QByteArray::number(body.size()) + "\r\n" + headers
        + "Connection: close\r\n\r\n";
    socket->write(headOnly ? head : head + body);
    socket->disconnectFromHost();
}

void RemoteServer::welcome()
{
    while (QWebSocket *socket = m_webSockets->nextPendingConnection()) {
        socket->setParent(this);
        socket->setMaxAllowedIncomingFrameSize(kMaxMessageBytes);
        socket->setMaxAllowedIncomingMessageSize(kMaxMessageBytes);
        // Its connection is the WebSocket's from now on.
        QString browser;
        const auto same = [socket](const Pending &pending) {
            return pending.socket && pending.socket->peerAddress() == socket->peerAddress()
                && pending.socket->peerPort() == socket->peerPort();
        };
        const auto upgraded = std::find_if(m_pending.begin(), m_pending.end(), same);
        if (upgraded != m_pending.end()) {
            browser = upgraded->browser;
            if (upgraded->socket->parent() == this)
                upgraded->socket->setParent(socket);
            m_pending.erase(upgraded);
        }
        m_peers.insert(socket, { QString(), browser });
        connect(socket, &QWebSocket::textMessageReceived, this,
            [this, socket](const QString &message) { receive(socket, message); });
        // Binary frames are nobody's business here.
        connect(socket, &QWebSocket::binaryMessageReceived, socket,
            [socket] { socket->close(QWebSocketProtocol::CloseCodeDatatypeNotSupported); });
        connect(socket, &QWebSocket::disconnected, this, [this, socket] {
            const bool paired = !m_peers.take(socket).token.isEmpty();
            socket->deleteLater();
            if (paired)
                Q_EMIT devicesChanged();
        });
        // A peer that does not pair in time is let go.
        QTimer::singleShot(kRequestMs, socket, [this, socket] {
            if (m_peers.value(socket).token.isEmpty())
                socket->close(QWebSocketProtocol::CloseCodePolicyViolated);
        });
    }
}

void RemoteServer::receive(QWebSocket *socket, const QString &message)
{
    const QJsonObject json = QJsonDocument::fromJson(message.toUtf8()).object();
    const QString address = socket->peerAddress().toString();
    Peer &peer = m_peers[socket];
    if (json.contains(QStringLiteral("pair"))) {
        QString token;
        switch (m_gate.pair(address, json.value(QStringLiteral("pair")).toString(), &token)) {
        case RemoteGate::Pairing::Paired:
            peer.token = token;
            send(socket, { { QStringLiteral("paired"), token } });
            send(socket, { { QStringLiteral("status"), m_status } });
            Q_EMIT devicesChanged();
            return;
        case RemoteGate::Pairing::WrongCode:
            send(socket, { { QStringLiteral("error"), QStringLiteral("wrong code") } });
            return;
        case RemoteGate::Pairing::Full:
            send(socket, { { QStringLiteral("error"), QStringLiteral("too many devices") } });
            return;
        case RemoteGate::Pairing::Refused:
            send(socket, { { QStringLiteral("error"), QStringLiteral("refused") } });
            socket->close(QWebSocketProtocol::CloseCodePolicyViolated);
            return;
        }
    }
    const QString token = json.value(QStringLiteral("token")).toString();
    if (!m_gate.admits(token)) {
        send(socket, { { QStringLiteral("error"), QStringLiteral("not paired") } });
        return;
    }
    if (peer.token != token) {
        // A device back after the network dropped: its token pairs the new connection.
        peer.token = token;
        send(socket, { { QStringLiteral("paired"), token } });
        send(socket, { { QStringLiteral("status"), m_status } });
        Q_EMIT devicesChanged();
    }
    const QJsonValue name = json.value(QStringLiteral("command"));
    if (name.isUndefined())
        return;
    if (const std::optional<PromptCommand> command = commandNamed(name.toString()))
        Q_EMIT commandReceived(*command);
    else
        send(socket, { { QStringLiteral("error"), QStringLiteral("unknown command") } });
}

void RemoteServer::send(QWebSocket *socket, const QJsonObject &message)
{
    socket->sendTextMessage(
        QString::fromUtf8(QJsonDocument(message).toJson(QJsonDocument::Compact)));
}
