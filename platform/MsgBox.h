#pragma once

#include <QString>

#include <functional>

class QWidget;

// Stands in for the system message box: an icon and buttons by style.
enum class MsgStyle {
    Critical = 16, // "Error" boxes, OK
    YesNoQuestion = 4 + 32, // "Message" boxes that ask, Yes and No
    Information = 64, // "Message" boxes, OK
};

// The button the user pressed.
enum class MsgAnswer { Ok = 1, Yes = 6, No = 7 };

struct ShownMessage {
    QString text;
    QString title;
    MsgStyle style;
};

// Shows a modal box and returns the button the user pressed.
MsgAnswer MsgBox(QWidget *parent, const QString &text, MsgStyle style, const QString &title);

// The program's kinds of box, with the titles every window uses.
void ShowError(QWidget *parent, const QString &text);
void ShowNotice(QWidget *parent, const QString &text);
// True when the user answers Yes.
bool AskYesNo(QWidget *parent, const QString &text);

// Test seam: while a sink is set, boxes go to it instead of the screen, and it answers.
using MessageSink = std::function<MsgAnswer(const ShownMessage &)>;
void setMessageSink(MessageSink sink);
