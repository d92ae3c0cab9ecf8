#include "settings/SettingsFile.h"

#include "platform/SaveFile.h"
#include "settings/SharedSettings.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

#include <algorithm>
#include <cstdlib>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace SettingsFile
{

namespace
{
QString &folderOverride()
{
    static QString folder;
    return folder;
}

// A colour line that is not a 24-bit RGB value gives way to the default.
QString colorOrDefault(const QString &text, qint32 fallback)
{
    const auto value = toInt32(text);
    if (value && *value >= 0 && *value <= 0xFFFFFF)
        return text;
    return QString::number(fallback);
}
} // namespace

QString path()
{
    const QString folder
        = folderOverride().isEmpty() ? QCoreApplication::applicationDirPath() : folderOverride();
    return QDir(folder).filePath(QStringLiteral("settings.ini"));
}

void setFolder(const QString &folder)
{
    folderOverride() = folder;
}

QStringList readLines(QIODevice &device)
{
    QStringList lines;
    QByteArray line;
    bool tooLong = false;
    bool afterCr = false;
    const auto endLine = [&] {
        lines.append(tooLong ? QString() : QString::fromLatin1(line));
        line.clear();
        tooLong = false;
    };
    char buffer[64 * 1024];
    qint64 scanned = 0;
    while (lines.size() < kLinesRead && scanned < kMaxScannedBytes) {
        const qint64 got = device.read(buffer, sizeof buffer);
        if (got <= 0)
            break;
        scanned += got;
        for (qint64 i = 0; i < got && lines.size() < kLinesRead; ++i) {
            const char c = buffer[i];
            if (afterCr && c == '\n') {
                afterCr = false;
                continue;
            }
            afterCr = c == '\r';
            if (c == '\r' || c == '\n')
                endLine();
            else if (line.size() < kMaxLineBytes)
                line.append(c);
            else
                tooLong = true;
        }
    }
    // A last line without its end counts when the file ends there.
    if (lines.size() < kLinesRead && (!line.isEmpty() || tooLong) && device.atEnd())
        endLine();
    return lines;
}

void readLoop(const LineReader &act)
{
    // Only a regular file is read: a FIFO or a device in its place must not
    // block or flood the start-up, so the open itself never waits.
    const int fd = ::open(QFile::encodeName(path()).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return;
    struct stat status {
    };
    QFile file;
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)
        || !file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return;
    }
    const QStringList lines = readLines(file);
    file.close();
    int number = 0;
    for (const QString &line : lines)
        act(++number, line);
}

std::optional<int> LoadSettings()
{
    std::optional<int> speed;
    readLoop([&speed](int line, const QString &text) {
        if (line == Speed)
            speed = speedFromText(text);
        else
            takeSharedLine(line, text);
    });
    return speed;
}

void takeSharedLine(int line, const QString &text)
{
    switch (line) {
    case FontSize: {
        const auto size = toInt16(text);
        gFontSize = size ? nearestFontSize(*size) : qint16(kDefaultFontSize);
        break;
    }
    case FontColor:
        gFontColor = colorOrDefault(text, kDefaultFontColor);
        break;
    case BackColor:
        gBackColor = colorOrDefault(text, kDefaultBackColor);
        break;
    case LineColor:
        gLineColor = colorOrDefault(text, kDefaultLineColor);
        break;
    default:
        break;
    }
}

bool write(const QStringList &lines)
{
    QByteArray bytes;
    for (const QString &line : lines)
        bytes += line.toLatin1() + "\r\n";
    return saveWhole(path(), bytes);
}

bool createIfMissing()
{
    if (QFile::exists(path()))
        return true;
    return write({ QString::number(kDefaultFontSize), numericForm(kDefaultFontColor),
        numericForm(kDefaultBackColor), numericForm(kDefaultLineColor),
        QString::number(kDefaultSpeed), kDefaultBitrate });
}

QString numericForm(qint64 value)
{
    return (value < 0 ? QStringLiteral("-") : QStringLiteral(" "))
        + QString::number(std::abs(value)) + QLatin1Char(' ');
}

std::optional<qint32> toInt32(const QString &text)
{
    bool ok = false;
    const qint32 value = text.trimmed().toInt(&ok);
    if (!ok)
        return std::nullopt;
    return value;
}

std::optional<qint16> toInt16(const QString &text)
{
    const auto value = toInt32(text);
    if (!value || *value < -32768 || *value > 32767)
        return std::nullopt;
    return qint16(*value);
}

qint32 toColor(const QString &text, qint32 fallback)
{
    return toInt32(text).value_or(fallback);
}

qint16 nearestFontSize(int points)
{
    if (points < 26)
        return 24;
    if (points < 32)
        return 28;
    return 36;
}

int speedFromText(const QString &text)
{
    const auto value = toInt32(text);
    if (!value)
        return kDefaultSpeed;
    return std::clamp(*value, kMinSpeed, kMaxSpeed);
}

} // namespace SettingsFile
