#pragma once

#include <QByteArray>
#include <QIODevice>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

// settings.ini: six lines by position, no keys.
namespace SettingsFile
{

enum Line { FontSize = 1, FontColor, BackColor, LineColor, Speed, Bitrate };

inline constexpr int kDefaultFontSize = 36;
inline constexpr qint32 kDefaultFontColor = 65535;
inline constexpr qint32 kDefaultBackColor = 0;
inline constexpr qint32 kDefaultLineColor = 255;
inline constexpr int kDefaultSpeed = 5;
inline constexpr int kMinSpeed = -110;
inline constexpr int kMaxSpeed = 110;
inline const QString kDefaultBitrate = QStringLiteral("56");

// The file beside the program; tests point it at a folder of their own.
QString path();
void setFolder(const QString &folder);

// The readers use lines 1 to 6; nothing past them is read. A line longer than
// kMaxLineBytes comes back empty, as a line that does not convert, and at most
// kMaxScannedBytes are looked at; lines not reached by then are missing.
inline constexpr int kLinesRead = Bitrate;
inline constexpr qsizetype kMaxLineBytes = 4096;
inline constexpr qint64 kMaxScannedBytes = 1024 * 1024;

// A line ends at CR LF, a lone CR or a lone LF; the end is not part of the line.
QStringList readLines(QIODevice &device);

// The reading loop: act runs on each line in turn, with its number (from 1) and its text;
// on none when the file is not a regular file or cannot be read.
using LineReader = std::function<void(int line, const QString &text)>;
void readLoop(const LineReader &act);

// Lines 1-4 into the shared settings variables, taken alike by every reader.
void takeSharedLine(int line, const QString &text);

// Reads the shared settings variables from the file, and answers the speed its line 5 asks
// for; none when the file has no line 5 or cannot be read.
std::optional<int> LoadSettings();

// Writes the lines, each ended by CR LF, replacing the file only once all is written.
bool write(const QStringList &lines);

// Creates a missing file with the first values; an existing (even unreadable) one is left.
bool createIfMissing();

// " 24 " / "-5 ": how a value held as a number is written.
QString numericForm(qint64 value);

// A whole number with blanks around it, as the readers accept it.
std::optional<qint32> toInt32(const QString &text);
std::optional<qint16> toInt16(const QString &text);

// A colour as held in a shared variable, converted where it is applied.
qint32 toColor(const QString &text, qint32 fallback);

// 24, 28 or 36, whichever is nearest (ties go to the larger size).
qint16 nearestFontSize(int points);

// The speed a line 5 asks for, within the scroll bar's range; the default when it does not convert.
int speedFromText(const QString &text);

} // namespace SettingsFile
