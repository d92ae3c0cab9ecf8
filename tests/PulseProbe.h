#pragma once

#include <QHash>
#include <QProcess>
#include <QStringList>

#include <optional>

// What a command printed, when it succeeded.
inline std::optional<QString> runCommand(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(30000) || process.exitCode() != 0)
        return std::nullopt;
    return QString::fromUtf8(process.readAllStandardOutput());
}

// Stops or starts the private sound server of the pulse fixture; true when it did.
inline bool pulseFixture(const char *action)
{
    return runCommand("bash",
        { qEnvironmentVariable("PULSE_FIXTURE"), action, qEnvironmentVariable("PULSE_DIR") })
        .has_value();
}

// The sources programs' recording streams hear, one entry a stream (a remapped source's
// own has no program).
inline QStringList recordingFrom()
{
    const auto pactl = [](const char *what) {
        return runCommand("pactl", { "list", "short", what }).value_or(QString()).split('\n');
    };
    QHash<QString, QString> names; // by index
    for (const QString &source : pactl("sources"))
        names[source.section('\t', 0, 0)] = source.section('\t', 1, 1);
    QStringList heard;
    for (const QString &out : pactl("source-outputs"))
        if (!out.isEmpty() && out.section('\t', 2, 2) != "-")
            heard << names.value(out.section('\t', 1, 1));
    return heard;
}
