#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

// What several benches set up alike.

inline bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// A spoken script of about the given size: sentences, a line break after every two.
inline QString spokenScript(qsizetype bytes)
{
    static const char *const sentences[] = {
        "Good evening, and welcome to the programme. ",
        "Tonight we look at the weather over the coming week. ",
        "Caf\xc3\xa9 owners on the coast expect a busy weekend. ",
        "The forecast calls for sunshine and light winds. ",
    };
    QString text;
    for (int line = 0; text.size() < bytes; ++line)
        text += QString::fromUtf8(sentences[line % 4])
            + QString::fromUtf8(sentences[(line + 1) % 4]) + QLatin1Char('\n');
    return text;
}

// Before the application starts: the offscreen platform with a 1280 x 1024 console screen and
// a rig screen of the given size beside it, and the rig's choices in the folder. False when
// the screens could not be described.
inline bool useRigScreen(const QTemporaryDir &folder, int width, int height)
{
    const QString screens = folder.filePath(QStringLiteral("screens.json"));
    const bool written = writeFile(screens,
        QStringLiteral(R"({ "screens": [ { "name": "Console", "width": 1280, "height": 1024 },
            { "name": "Rig", "x": 1280, "width": %1, "height": %2 } ] })")
            .arg(width)
            .arg(height)
            .toUtf8());
    qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + screens.toLocal8Bit());
    qputenv("XDG_CONFIG_HOME", folder.path().toLocal8Bit());
    return written;
}
