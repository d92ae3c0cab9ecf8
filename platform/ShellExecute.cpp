#include "platform/ShellExecute.h"

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
    const QString opener = QStandardPaths::findExecutable(QStringLiteral("xdg-open"));
    if (opener.isEmpty()) {
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
    // Bare host names ("lame.sourceforge.io") open as web pages, as the shell does.
    process->start(opener, { QUrl::fromUserInput(address).toString() });
}
