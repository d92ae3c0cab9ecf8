#pragma once

#include <QString>

// Why a file call failed (an errno), in the words of the program's messages.
QString fileErrorReason(int error);

// Makes path a folder only the user can enter, when it is missing; empty when it is one,
// else why not, naming the folder.
QString makePrivateFolder(const QString &path);

// $XDG_DATA_HOME/tellvane/<name>, both made private when missing; empty when they cannot be,
// with why, naming the folder, in problem.
QString privateDataFolder(const QString &name, QString *problem = nullptr);
