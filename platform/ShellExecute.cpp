#include "platform/ShellExecute.h"

#include <QDesktopServices>
#include <QUrl>

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

void ShellExecuteA(QWidget *parent, const QString &address)
{
    // The owner window only matters to the system's own error dialogs, which
    // this call never shows.
    Q_UNUSED(parent);
    if (addressSink()) {
        addressSink()(address);
        return;
    }
    // Bare host names ("lame.sourceforge.io") open as web pages, as the shell does.
    QDesktopServices::openUrl(QUrl::fromUserInput(address));
}
