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

MsgAnswer MsgBox(QWidget *parent, const QString &text, MsgStyle style, const QString &title)
{
    if (messageSink())
        return messageSink()({ text, title, style });
    if (style == MsgStyle::YesNoQuestion) {
        QMessageBox box(
            QMessageBox::Question, title, text, QMessageBox::Yes | QMessageBox::No, parent);
        return box.exec() == QMessageBox::Yes ? MsgAnswer::Yes : MsgAnswer::No;
    }
    QMessageBox box(style == MsgStyle::Critical ? QMessageBox::Critical : QMessageBox::Information,
        title, text, QMessageBox::Ok, parent);
    box.exec();
    return MsgAnswer::Ok;
}

void ShowError(QWidget *parent, const QString &text)
{
    MsgBox(parent, text, MsgStyle::Critical, QStringLiteral("Error"));
}

void ShowNotice(QWidget *parent, const QString &text)
{
    MsgBox(parent, text, MsgStyle::Information, QStringLiteral("Message"));
}

bool AskYesNo(QWidget *parent, const QString &text)
{
    return MsgBox(parent, text, MsgStyle::YesNoQuestion, QStringLiteral("Message"))
        == MsgAnswer::Yes;
}
