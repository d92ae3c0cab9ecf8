#pragma once

#include <QString>

#include <optional>

// Result codes of the MCI layer; 0 is success, every other code has its own text.
enum class MciError : qint32 {
    None = 0,
    UnknownCommand = 261,
    MissingParameter = 262,
    BadParameter = 263,
    UnknownDevice = 264,
    AliasInUse = 265,
    NoDriver = 266,
    UnsupportedFormat = 267,
    NoInputDevice = 268,
    NoOutputDevice = 269,
    DeviceFailure = 270,
    TakeStorageFailed = 271,
    FileWriteFailed = 272,
    TakeTooLong = 273,
    CaptureLost = 274,
    PlaybackLost = 275,
    TakeWriteFailed = 276,
    NothingRecorded = 277,
    TakeReadFailed = 278,
    TakeLimitReached = 279,
};

// The values of a "set" command; only those the command names are present.
struct MciSettings {
    std::optional<QString> timeFormat;
    std::optional<qint64> bitsPerSample;
    std::optional<qint64> channels;
    std::optional<qint64> samplesPerSec;
    std::optional<qint64> bytesPerSec;
    std::optional<qint64> alignment;
};

// One opened element, as a driver makes it for "open new Type <type>".
class MciDevice
{
public:
    virtual ~MciDevice() = default;

    virtual MciError set(const MciSettings &settings) = 0;
    // Starts recording at the end of the element and returns at once.
    virtual MciError record() = 0;
    // Ends a recording or a playback; nothing to end is not an error.
    virtual MciError stop() = 0;
    // Starts playback at a position in milliseconds and returns at once.
    virtual MciError play(qint64 fromMs) = 0;
    // Writes the element to a file and returns when it is written.
    virtual MciError save(const QString &path) = 0;
    // What the failure just returned adds to its code's text (which folder, and why), as a
    // sentence or two to follow it in a message; empty when nothing. Asked once per failure.
    virtual QString takeErrorDetail() { return {}; }
};
