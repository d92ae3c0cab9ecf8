#include "TestSupport.h"

#include "app/frmMain.h"
#include "remote/RemoteServer.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTcpSocket>
#include <QWebSocket>

namespace
{
// A raw HTTP exchange: what the server answers to these bytes, up to its closing.
QByteArray exchange(quint16 port, const QByteArray &request)
{
    // The server answers in this thread: the waits run its events.
    QTcpSocket socket;
    socket.connectToHost(QHostAddress::LocalHost, port);
    for (int i = 0; i < 400 && socket.state() != QAbstractSocket::ConnectedState
         && socket.state() != QAbstractSocket::UnconnectedState;
         ++i)
        QTest::qWait(5);
    if (socket.state() != QAbstractSocket::ConnectedState)
        return "no connection";
    socket.write(request);
    QByteArray answer;
    QElapsedTimer waited;
    waited.start();
    while (socket.state() == QAbstractSocket::ConnectedState && waited.elapsed() < 8000) {
        QTest::qWait(5);
        answer += socket.readAll();
    }
    return answer + socket.readAll();
}

QByteArray get(quint16 port, const QByteArray &path)
{
    return exchange(port, "GET " + path + " HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n");
}

QByteArray statusLine(const QByteArray &answer)
{
    return answer.left(answer.indexOf("\r\n"));
}

// A device's page as the browser runs it: a WebSocket from the page's own origin.
struct Device {
    explicit Device(quint16 port, const QString &origin = {})
        : socket(origin.isNull() ? QStringLiteral("http://127.0.0.1:%1").arg(port) : origin)
    {
        QObject::connect(&socket, &QWebSocket::textMessageReceived, [this](const QString &text) {
            heard << QJsonDocument::fromJson(text.toUtf8()).object();
        });
        socket.open(QUrl(QStringLiteral("ws://127.0.0.1:%1/socket").arg(port)));
        QSignalSpy opened(&socket, &QWebSocket::connected);
        QSignalSpy closed(&socket, &QWebSocket::disconnected);
        if (!opened.wait(2000) && closed.isEmpty())
            closed.wait(2000);
    }
    bool isOpen() const { return socket.state() == QAbstractSocket::ConnectedState; }
    // Sends a message and answers the first reply that is not the figures.
    QJsonObject say(const QJsonObject &message)
    {
        const qsizetype before = heard.size();
        socket.sendTextMessage(QString::fromUtf8(QJsonDocument(message).toJson()));
        QElapsedTimer waited;
        waited.start();
        while (!replyAfter(before) && isOpen() && waited.elapsed() < 2000)
            QTest::qWait(5);
        const QJsonObject *reply = replyAfter(before);
        return reply ? *reply : QJsonObject { { "closed", true } };
    }
    const QJsonObject *replyAfter(qsizetype from) const
    {
        for (qsizetype i = from; i < heard.size(); ++i)
            if (!heard.at(i).contains("status"))
                return &heard.at(i);
        return nullptr;
    }
    QString pair(const QString &code)
    {
        token = say({ { "pair", code } }).value("paired").toString();
        return token;
    }
    // A command, whose only answer is the figures it changed, or an error.
    void command(const char *name)
    {
        socket.sendTextMessage(QString::fromUtf8(
            QJsonDocument(QJsonObject { { "token", token }, { "command", name } }).toJson()));
    }
    QJsonObject refused(const char *name)
    {
        return say({ { "token", token }, { "command", name } });
    }
    QWebSocket socket;
    QList<QJsonObject> heard;
    QString token;
};

QString errorOf(const QJsonObject &reply)
{
    return reply.value("error").toString();
}
} // namespace

class tst_Remote : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    // Every request gets its answer: only the page's own files, however a path is spelled;
    // the WebSocket only from the page's own origin on one of our own addresses (a name that
    // merely resolves to us is not it); no head over 8 KB, none that never ends in time.
    void answersEachRequest_data()
    {
        QTest::addColumn<QByteArray>("request"); // PORT stands for the server's port
        QTest::addColumn<QByteArray>("status");
        const auto row = [](const char *name, const QByteArray &request, const char *status) {
            QTest::newRow(name) << request << QByteArray(status);
        };
        const QByteArray ok = "200 OK";
        row("the page", "GET / HTTP/1.1\r\n\r\n", ok);
        row("its script", "GET /remote.js?v=1 HTTP/1.1\r\n\r\n", ok);
        row("its style", "GET /remote.css HTTP/1.1\r\n\r\n", ok);
        for (const char *path :
            { "/../remote.js", "/%2e%2e/%2e%2e/etc/passwd", "/..%2f..%2fetc/passwd", "//etc/passwd",
                "/remote.js/..", "/index.html", "/.%2e/", "/%2fetc%2fpasswd", "/socket/x" })
            row(path, "GET " + QByteArray(path) + " HTTP/1.1\r\n\r\n", "404 Not Found");
        row("POST", "POST / HTTP/1.1\r\nContent-Length: 0\r\n\r\n", "405 Method Not Allowed");
        row("garbage", "GARBAGE\r\n\r\n", "400 Bad Request");
        row("a bare line feed", "GET / HTTP/1.1\nHost: x\r\n\r\n", "400 Bad Request");
        const QByteArray big = "GET / HTTP/1.1\r\nX-Big: " + QByteArray(8200, 'a');
        row("a head over 8 KB", big, "431 Request Header Fields Too Large");
        row("an ended head over 8 KB", big + "\r\n\r\n", "431 Request Header Fields Too Large");
        row("a slow sender", "GET / HTTP/1.1\r\nHost: x\r\n", "408 Request Timeout");
        const QByteArray upgrade
            = "GET /socket HTTP/1.1\r\nUpgrade: websocket\r\nConnection: Upgrade\r\n"
              "Sec-WebSocket-Key: dGhlIHNhbXBsZSBub25jZQ==\r\nSec-WebSocket-Version: 13\r\n";
        row("own origin", upgrade + "Host: 127.0.0.1:PORT\r\nOrigin: http://127.0.0.1:PORT\r\n\r\n",
            "101 Switching Protocols");
        row("no origin", upgrade + "Host: 127.0.0.1:PORT\r\n\r\n", "403 Forbidden");
        row("another origin",
            upgrade + "Host: 127.0.0.1:PORT\r\nOrigin: http://evil.example\r\n\r\n",
            "403 Forbidden");
        row("another port", upgrade + "Host: 127.0.0.1:PORT\r\nOrigin: http://127.0.0.1:1\r\n\r\n",
            "403 Forbidden");
        row("a rebound name",
            upgrade + "Host: rebound.example:PORT\r\nOrigin: http://rebound.example:PORT\r\n\r\n",
            "403 Forbidden");
    }
    void answersEachRequest()
    {
        QFETCH(QByteArray, request);
        QFETCH(QByteArray, status);
        RemoteServer server;
        QVERIFY(server.start());
        const QByteArray port = QByteArray::number(server.port());
        const QByteArray answer = exchange(server.port(), request.replace("PORT", port));
        QCOMPARE(statusLine(answer), "HTTP/1.1 " + status);
        if (QByteArray(QTest::currentDataTag()) == "the page") {
            for (const char *button :
                { "Start", "Hold", "Faster", "Slower", "Back", "Reset", "Blank", "Follow" })
                QVERIFY2(answer.contains(QByteArray(">") + button + "</button>"), button);
            QVERIFY(answer.contains("Content-Security-Policy: default-src 'self'"));
        }
        // The server is unharmed.
        QCOMPARE(statusLine(get(server.port(), "/")), "HTTP/1.1 200 OK");
    }
    // It listens on the local network's addresses only.
    void knowsTheLocalNetwork_data()
    {
        QTest::addColumn<QString>("address");
        QTest::addColumn<bool>("local");
        for (const char *local : { "10.0.0.1", "10.255.255.254", "172.16.0.1", "172.31.255.1",
                 "192.168.1.20", "169.254.10.1" })
            QTest::newRow(local) << local << true;
        for (const char *other :
            { "9.255.255.255", "11.0.0.1", "172.15.0.1", "172.32.0.1", "192.167.1.1", "192.169.0.1",
                "8.8.8.8", "127.0.0.1", "::1", "fe80::1", "fd00::1" })
            QTest::newRow(other) << other << false;
    }
    void knowsTheLocalNetwork()
    {
        QFETCH(QString, address);
        QFETCH(bool, local);
        QCOMPARE(RemoteServer::isLocalNetwork(QHostAddress(address)), local);
    }
    // Pairing with the code gives a token that every command carries.
    void pairsAndTakesCommands()
    {
        RemoteServer server;
        QVERIFY(server.start());
        QSignalSpy commands(&server, &RemoteServer::commandReceived);
        QSignalSpy devices(&server, &RemoteServer::devicesChanged);
        Device phone(server.port());
        QVERIFY(phone.isOpen());
        QCOMPARE(errorOf(phone.say({ { "command", "start" } })), "not paired");
        QCOMPARE(errorOf(phone.say({ { "token", "0123" }, { "command", "start" } })), "not paired");
        QCOMPARE(errorOf(phone.say({ { "pair", "" } })), "wrong code");
        QCOMPARE(errorOf(phone.say({ { "pair", "12345678" } })), "wrong code");
        QVERIFY(commands.isEmpty());
        QCOMPARE(server.devices(), QStringList());
        QCOMPARE(server.code().size(), 6);
        QVERIFY(!phone.pair(server.code()).isEmpty());
        QCOMPARE(devices.size(), 1);
        QCOMPARE(server.devices().size(), 1);
        QVERIFY(server.devices().first().startsWith("127.0.0.1"));
        phone.command("faster");
        QTRY_COMPARE(commands.size(), 1);
        QCOMPARE(commands.takeFirst().at(0).value<PromptCommand>(), PromptCommand::Faster);
        QCOMPARE(errorOf(phone.refused("format")), "unknown command");
        QCOMPARE(errorOf(phone.say({ { "token", phone.token.left(8) }, { "command", "start" } })),
            "not paired");
        phone.socket.sendTextMessage("{not json");
        QCOMPARE(errorOf(phone.say({ { "command", "start" } })), "not paired");
        QVERIFY(commands.isEmpty());
        // The figures go to paired devices only.
        Device stranger(server.port());
        server.publish({ { "speed", 20 } });
        QTRY_VERIFY(!phone.heard.isEmpty() && phone.heard.last().contains("status"));
        QCOMPARE(phone.heard.last().value("status").toObject().value("speed").toInt(), 20);
        QTest::qWait(100);
        QVERIFY(stranger.heard.isEmpty());
        // Back after the network dropped, its token pairs it again.
        Device again(server.port());
        again.token = phone.token;
        phone.socket.close();
        again.command("hold");
        QTRY_COMPARE(commands.size(), 1);
        QCOMPARE(commands.takeFirst().at(0).value<PromptCommand>(), PromptCommand::HoldOrRelease);
        // Disconnect All: every device must pair again.
        server.disconnectAll();
        QTRY_VERIFY(!again.isOpen());
        Device later(server.port());
        later.token = phone.token;
        QCOMPARE(errorOf(later.refused("start")), "not paired");
        // Four devices at most.
        QList<Device *> four;
        for (int i = 0; i < 4; ++i) {
            four << new Device(server.port());
            QVERIFY(!four.last()->pair(server.code()).isEmpty());
        }
        QCOMPARE(errorOf(later.say({ { "pair", server.code() } })), "too many devices");
        qDeleteAll(four);
        // Switched on again, the remote draws a new code and forgets every token.
        QVERIFY(server.start());
        Device fresh(server.port());
        fresh.token = phone.token;
        QCOMPARE(errorOf(fresh.refused("start")), "not paired");
        QVERIFY(commands.isEmpty());
    }
    // Five wrong codes in a minute from one address: it is refused for a minute.
    void refusesAGuesser()
    {
        qint64 now = 0;
        RemoteServer server([&now] { return now; });
        QVERIFY(server.start());
        Device guesser(server.port());
        const QString wrong = server.code() == "000000" ? "000001" : "000000";
        for (int i = 0; i < 4; ++i) {
            QCOMPARE(errorOf(guesser.say({ { "pair", wrong } })), "wrong code");
            now += 10'000;
        }
        QCOMPARE(errorOf(guesser.say({ { "pair", wrong } })), "refused");
        QTRY_VERIFY(!guesser.isOpen());
        // Refused even with the right code, until the minute is over.
        Device back(server.port());
        QVERIFY(!back.isOpen());
        now += 59'000;
        QVERIFY(!Device(server.port()).isOpen());
        now += 1'000;
        Device later(server.port());
        QVERIFY(!later.pair(server.code()).isEmpty());
        // Wrong codes spread over more than a minute are not a guesser's.
        for (int i = 0; i < 8; ++i) {
            Device slow(server.port());
            QCOMPARE(errorOf(slow.say({ { "pair", wrong } })), "wrong code");
            now += 15'000;
        }
    }
    // A message over 1 KB closes its connection; connections beyond 20 are closed at once.
    void holdsItsLimits()
    {
        RemoteServer server;
        QVERIFY(server.start());
        Device phone(server.port());
        QVERIFY(!phone.pair(server.code()).isEmpty());
        QSignalSpy commands(&server, &RemoteServer::commandReceived);
        phone.socket.sendTextMessage(QString(2000, 'x'));
        QTRY_VERIFY(!phone.isOpen());
        QVERIFY(commands.isEmpty());
        QList<QTcpSocket *> flood;
        for (int i = 0; i < 25; ++i) {
            flood << new QTcpSocket(this);
            flood.last()->connectToHost(QHostAddress::LocalHost, server.port());
        }
        QTest::qWait(300);
        const auto open = [&] {
            return std::count_if(flood.begin(), flood.end(),
                [](QTcpSocket *s) { return s->state() == QAbstractSocket::ConnectedState; });
        };
        QTRY_COMPARE(open(), 20);
        // The one who came in time still gets the page once the flood is gone.
        qDeleteAll(flood);
        QTRY_COMPARE(statusLine(get(server.port(), "/")), "HTTP/1.1 200 OK");
    }
    // Through the main window: the menu item opens the window, a paired device drives the
    // prompt through the keys' own commands and hears its figures, Switch Off ends it.
    void drivesThePrompt()
    {
        SettingsFolder folder { "36\r\n65535\r\n0\r\n255\r\n15\r\n56\r\n" };
        CapturedMessages messages {};
        frmMain w;
        w.show();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        child<QPlainTextEdit>(w, "txtcontainer")->setPlainText("The first line\nThe second line\n");
        menuItems(child(w, "picprompt"), "mnuprompt", QString::fromUtf8("&Remote Control…"));
        QWidget *window = w.findChild<QWidget *>("frmRemote");
        QVERIFY(window && window->isVisible());
        const QUrl address(child<QLabel>(*window, "lbladdress")->text());
        QVERIFY2(address.scheme() == "http" && address.port() > 0, qPrintable(address.toString()));
        QVERIFY(!child<QLabel>(*window, "picqr")->pixmap().isNull());
        const QString code = child<QLabel>(*window, "lblcode")->text().remove(' ');
        QCOMPARE(child<QListWidget>(*window, "lstdevices")->item(0)->text(), "None");

        Device phone(quint16(address.port()));
        QVERIFY(!phone.pair(code).isEmpty());
        QTRY_COMPARE(
            child<QListWidget>(*window, "lstdevices")->item(0)->text().left(9), "127.0.0.1");
        phone.command("start");
        QTRY_VERIFY(child(w, "cmdpause")->isEnabled());
        phone.command("faster");
        QTRY_COMPARE(child<QLabel>(w, "lblspeed")->text(), "20");
        const auto figures = [&] {
            for (qsizetype i = phone.heard.size() - 1; i >= 0; --i)
                if (phone.heard.at(i).contains("status"))
                    return phone.heard.at(i).value("status").toObject();
            return QJsonObject();
        };
        QTRY_COMPARE(figures().value("speed").toInt(), 20);
        QCOMPARE(figures().value("state").toString(), "Scrolling");
        QVERIFY(figures().contains("left") && figures().contains("elapsed"));
        phone.command("hold");
        QTRY_COMPARE(child<QLabel>(w, "lblspeed")->text(), "0");
        QTRY_COMPARE(figures().value("speed").toInt(), 0);
        QVERIFY(figures().value("left").isNull()); // held: no estimate
        phone.command("blank");
        QTRY_VERIFY(figures().value("blank").toBool());
        phone.command("reset");
        QTRY_VERIFY(child(w, "cmdstart")->isEnabled() && !child(w, "cmdpause")->isEnabled());
        QVERIFY(messages.list.empty());

        click(*window, "cmdswitchoff");
        QVERIFY(!window->isVisible());
        QTRY_VERIFY(!phone.isOpen());
        QCOMPARE(get(quint16(address.port()), "/"), "no connection");
    }
};

QTEST_MAIN(tst_Remote)
#include "tst_remote.moc"
