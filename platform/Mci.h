#pragma once

#include "platform/MciDevice.h"

#include <QString>

#include <functional>
#include <memory>

// Stands in for the system's Media Control Interface string commands. Every call
// runs on the user-interface thread.

// Sends one command; returns 0 or an MciError code. The return buffer receives the
// command's text result, at most returnLength - 1 characters (these commands have
// none, so it is emptied). No notifications are sent, so callback is not used.
qint32 mciSendStringA(
    const QString &command, QString &returnBuffer, int returnLength, qintptr callback);

// Writes the text of an error code into buffer, at most length - 1 characters.
void mciGetErrorStringA(qint32 code, QString &buffer, int length);
// What the last command's element added to its failure (which folder, and why), to follow
// the code's text; empty when it added nothing or the command succeeded.
QString mciErrorDetail();

// Opens an element made elsewhere (a take kept from an earlier run) under an alias,
// as "open" does for a new one.
MciError openMciDevice(const QString &alias, std::unique_ptr<MciDevice> device);

// An element whose recording or playback ends on its own tells the listener (the
// window that started it) with the code of what went wrong; on the user-interface thread.
using MciFailureListener = std::function<void(qint32 code)>;
void setMciFailureListener(MciFailureListener listener);
void notifyMciFailure(qint32 code);

// A driver makes the elements of one device type ("waveaudio"). Installing a driver
// for a type replaces the one before; elements already open keep theirs.
using MciDriver = std::function<std::unique_ptr<MciDevice>()>;
void installMciDriver(const QString &type, MciDriver driver);
