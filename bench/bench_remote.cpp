// The remote's command-to-screen latency: from a paired device sending Blank over the loopback
// to the prompt area painting it blank (or back), while the prompt scrolls.
// Target: every one of 60 commands shows within 50 ms.
#include "bench/Verdict.h"

#include "app/frmMain.h"
#include "platform/Fonts.h"
#include "prompter/PromptBox.h"
#include "settings/SettingsFile.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <QWebSocket>

#include <algorithm>
#include <functional>
#include <vector>

namespace
{
constexpr int kCommands = 60;
constexpr double kTargetMs = 50;

// The time of the first paint of the watched widget once armed.
class PaintClock final : public QObject
{
public:
    explicit PaintClock(const QElapsedTimer &clock)
        : m_clock(clock)
    {
    }
    void arm() { m_paintedAt = -1; }
    qint64 paintedAt() const { return m_paintedAt; }

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint && m_paintedAt < 0)
            m_paintedAt = m_clock.nsecsElapsed();
        return false;
    }

private:
    const QElapsedTimer &m_clock;
    qint64 m_paintedAt = -1;
};

void say(QWebSocket &socket, const QJsonObject &message)
{
    socket.sendTextMessage(QString::fromUtf8(QJsonDocument(message).toJson()));
}
} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    Verdict verdict("bench_remote");
    loadTahoma();
    QTemporaryDir folder;
    SettingsFile::setFolder(folder.path());
    SettingsFile::createIfMissing();

    frmMain window;
    window.show();
    if (!QTest::qWaitForWindowExposed(&window))
        verdict.abandon(QStringLiteral("the window is not shown"));
    QStringList lines;
    for (int i = 0; i < 2000; ++i)
        lines << QStringLiteral("Line %1 of the script").arg(i);
    verdict.control<PromptBox>(window, "txtcontainer")->setPlainText(lines.join('\n'));
    verdict.control<QToolButton>(window, "cmdstart")->click();

    window.switchOnRemote();
    QWidget *remote = verdict.control<QWidget>(window, "frmRemote");
    const QUrl page(verdict.control<QLabel>(*remote, "lbladdress")->text());
    const QString code
        = verdict.control<QLabel>(*remote, "lblcode")->text().remove(QLatin1Char(' '));

    QWebSocket device(QStringLiteral("http://%1:%2").arg(page.host()).arg(page.port()));
    QString token;
    QObject::connect(&device, &QWebSocket::textMessageReceived, [&token](const QString &text) {
        const QJsonObject reply = QJsonDocument::fromJson(text.toUtf8()).object();
        if (reply.contains(QStringLiteral("paired")))
            token = reply.value(QStringLiteral("paired")).toString();
    });
    device.open(QUrl(QStringLiteral("ws://%1:%2/socket").arg(page.host()).arg(page.port())));
    const auto waitFor = [](const std::function<bool()> &done) {
        for (int i = 0; i < 300 && !done(); ++i)
            QTest::qWait(10);
    };
    waitFor([&] { return device.state() == QAbstractSocket::ConnectedState; });
    say(device, { { QStringLiteral("pair"), code } });
    waitFor([&] { return !token.isEmpty(); });
    if (!verdict.require(!token.isEmpty(), QStringLiteral("pairing")))
        return verdict.exitCode();

    QElapsedTimer clock;
    clock.start();
    PaintClock painted(clock);
    QWidget *area = verdict.control<QWidget>(window, "picprompt");
    QWidget *blank = verdict.control<QWidget>(window, "picblank");
    area->installEventFilter(&painted);
    blank->installEventFilter(&painted);
    std::vector<double> latencies;
    for (int i = 0; i < kCommands; ++i) {
        QTest::qWait(30); // the scroll goes on between the presses
        const bool wasBlank = blank->isVisible();
        painted.arm();
        const qint64 sent = clock.nsecsElapsed();
        say(device,
            { { QStringLiteral("token"), token },
                { QStringLiteral("command"), QStringLiteral("blank") } });
        QElapsedTimer waited;
        waited.start();
        while (
            (blank->isVisible() == wasBlank || painted.paintedAt() < 0) && waited.elapsed() < 1000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
        if (blank->isVisible() == wasBlank || painted.paintedAt() < 0)
            break;
        latencies.push_back(double(painted.paintedAt() - sent) / 1e6);
    }
    if (!verdict.require(int(latencies.size()) == kCommands, QStringLiteral("every command shown")))
        return verdict.exitCode();
    std::sort(latencies.begin(), latencies.end());
    verdict.inform(QStringLiteral("remote command to screen, median"),
        latencies[latencies.size() / 2], QStringLiteral("ms"), 2);
    verdict.judge(QStringLiteral("remote command to screen, slowest of %1").arg(kCommands),
        latencies.back(), QStringLiteral("ms"), Verdict::Bound::Below, kTargetMs, 2);
    return verdict.exitCode();
}
