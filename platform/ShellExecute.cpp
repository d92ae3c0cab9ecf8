#include "platform/ShellExecute.h"

#include <QDesktopServices>
#include <QPointer>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>
#include <QWidget>

namespace
{
AddressSink &addressSink()
{
    static AddressSink sink;
    return sink;
}
} // namespace

void setAddressSink(AddressSink sink)
{
    addressSink() = std::move(sink);
}

void ShellExecuteA(QWidget *parent, const QString &address, std::function<void()> failed)
{
    const QPointer<QWidget> owner(parent);
    const auto fail = [owner, failed] {
        if (owner && failed)
            failed();
    };
    if (addressSink()) {
        if (!addressSink()(address))
            fail();
        return;
    }
    // Bare host names ("lame.sourceforge.io") open as web pages, as the shell does.
    const QUrl url = QUrl::fromUserInput(address);
    const QString opener = QStandardPaths::findExecutable(QStringLiteral("xdg-open"));
    if (opener.isEmpty()) {
        // Without the desktop's opener Qt knows other ways ($BROWSER, a portal), though it
        // can only tell whether one started.
        if (!QDesktopServices::openUrl(url))
            fail();
        return;
    }
    // Without a parent, and never destroyed while it runs: the opener may wait for the
    // browser it started, which must outlive this program.
    auto *process = new QProcess;
    process->setStandardOutputFile(QProcess::nullDevice());
    process->setStandardErrorFile(QProcess::nullDevice());
    QObject::connect(process, &QProcess::finished, process,
        [process, fail](int code, QProcess::ExitStatus status) {
            if (status != QProcess::NormalExit || code != 0)
                fail();
            process->deleteLater();
        });
    QObject::connect(
        process, &QProcess::errorOccurred, process, [process, fail](QProcess::ProcessError error) {
            if (error != QProcess::FailedToStart)
                return;
            fail();
            process->deleteLater();
        });
    process->start(opener, { url.toString() });
}
