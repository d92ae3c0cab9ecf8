#pragma once

#include <QString>

#include <functional>

class QWidget;

// Stands in for the system message box: one OK button, an icon by style.
enum class MsgStyle {
    Critical = 16, // "Error" boxes
    Information = 64, // "Message" boxes
};

struct ShownMessage {
    QString text;
    QString title;
    MsgStyle style;
};

// Shows a modal box and returns when the user presses OK.
void MsgBox(QWidget *parent, const QString &text, MsgStyle style, const QString &title);

// The program's two kinds of box, with the titles every window uses.
void ShowError(QWidget *parent, const QString &text);
void ShowNotice(QWidget *parent, const QString &text);

// Test seam: while a sink is set, boxes go to it instead of the screen.
using MessageSink = std::function<void(const ShownMessage &)>;
void setMessageSink(MessageSink sink);
