#pragma once

#include "platform/MciDevice.h"

#include <QString>

// One command string taken apart. Keywords are case-insensitive; the device name is
// kept as written and matched case-insensitively by the layer.
struct MciCommand {
    enum class Verb { Open, Close, Set, Record, Stop, Play, Save };

    Verb verb = Verb::Close;
    QString device; // the alias, "all" for close, "new" for open
    QString type; // open: the driver, e.g. "waveaudio"
    QString alias; // open: the name later commands use
    MciSettings settings;
    qint64 fromMs = 0; // play
    QString path; // save: everything between the device and a trailing " wait"
};

// Fills command, or returns the code of what is wrong with the text.
MciError parseMciCommand(const QString &text, MciCommand &command);
