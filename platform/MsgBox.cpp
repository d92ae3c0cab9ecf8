#include "platform/MsgBox.h"

#include <QMessageBox>

namespace
{
MessageSink &messageSink()
{
    static MessageSink sink;
    return sink;
}
} // namespace

void setMessageSink(MessageSink sink)
{
    messageSink() = std::move(sink);
}

void MsgBox(QWidget *parent, const QString &text, MsgStyle style, const QString &title)
{
    if (messageSink()) {
        messageSink()({ text, title, style });
        return;
    }
    QMessageBox box(style == MsgStyle::Critical ? QMessageBox::Critical : QMessageBox::Information,
        title, text, QMessageBox::Ok, parent);
    box.exec();
}

void ShowError(QWidget *parent, const QString &text)
{
    MsgBox(parent, text, MsgStyle::Critical, QStringLiteral("Error"));
}

void ShowNotice(QWidget *parent, const QString &text)
{
    MsgBox(parent, text, MsgStyle::Information, QStringLiteral("Message"));
}
