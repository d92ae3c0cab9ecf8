#pragma once

#include <QByteArray>
#include <QFile>
#include <QObject>
#include <QString>
#include <QStringList>

#include <cstdio>
#include <cstdlib>

// The judgement of one benchmark run: every figure is printed with its target and "met" or
// "missed", and appended to the file BENCH_RESULTS names (scripts/run-benches tabulates it) as
// bench, figure, value, unit, target, verdict separated by tabs. The run fails when a figure
// missed, or when the work a figure times was not done, so a figure can never pass by default.
class Verdict
{
public:
    enum class Bound { Below, AtMost, AtLeast, Above };

    explicit Verdict(const char *bench)
        : m_bench(bench)
    {
    }

    // Prints the figure against its target; false when it missed.
    bool judge(const QString &figure, double value, const QString &unit, Bound bound, double limit,
        int decimals = 1)
    {
        const bool met = bound == Bound::Below ? value < limit
            : bound == Bound::AtMost           ? value <= limit
            : bound == Bound::AtLeast          ? value >= limit
                                               : value > limit;
        const char *const sign[] = { "<", "<=", ">=", ">" };
        const QString target
            = QStringLiteral("%1 %2").arg(QLatin1String(sign[int(bound)]), QString::number(limit));
        m_missed = m_missed || !met;
        record(figure, QString::number(value, 'f', decimals), unit, target,
            met ? QStringLiteral("met") : QStringLiteral("missed"));
        return met;
    }

    // A figure shown for information only; no target, never a verdict.
    void inform(const QString &figure, double value, const QString &unit, int decimals = 1)
    {
        record(figure, QString::number(value, 'f', decimals), unit, QStringLiteral("-"),
            QStringLiteral("info"));
    }

    // The work the figures time must have been done (the file loaded, the frames captured);
    // otherwise they mean nothing and the run fails.
    bool require(bool done, const QString &what)
    {
        if (!done) {
            m_failed = true;
            record(QStringLiteral("not done: ") + what, QStringLiteral("-"), QString(),
                QStringLiteral("-"), QStringLiteral("failed"));
        }
        return done;
    }

    // The bench cannot go on (a missing tool, a missing control): says why and ends the run.
    [[noreturn]] void abandon(const QString &why)
    {
        require(false, QStringLiteral("cannot run, ") + why);
        std::fflush(stdout);
        std::exit(1);
    }

    // A window's control by its design name, which is its object name.
    template <typename T> T *control(const QObject &window, const char *name)
    {
        T *found = window.findChild<T *>(QLatin1String(name));
        if (!found)
            abandon(QStringLiteral("no control named %1").arg(QLatin1String(name)));
        return found;
    }

    int exitCode() const { return m_missed || m_failed ? 1 : 0; }

private:
    void record(const QString &figure, const QString &value, const QString &unit,
        const QString &target, const QString &verdict)
    {
        const QString shown = unit.isEmpty() ? value : value + QLatin1Char(' ') + unit;
        if (verdict == QLatin1String("info"))
            std::printf("%s: %s  (information)\n", qPrintable(figure), qPrintable(shown));
        else if (verdict == QLatin1String("failed"))
            std::printf("%s  FAILED\n", qPrintable(figure));
        else
            std::printf("%s: %s  [target %s%s]  %s\n", qPrintable(figure), qPrintable(shown),
                qPrintable(target), qPrintable(unit.isEmpty() ? unit : QLatin1Char(' ') + unit),
                qPrintable(verdict));
        std::fflush(stdout);

        const QByteArray results = qgetenv("BENCH_RESULTS");
        if (results.isEmpty())
            return;
        QFile file(QString::fromLocal8Bit(results));
        if (!file.open(QIODevice::WriteOnly | QIODevice::Append)) {
            std::fprintf(stderr, "cannot append to %s\n", results.constData());
            m_failed = true;
            return;
        }
        QStringList fields { QLatin1String(m_bench), figure, value, unit, target, verdict };
        for (QString &field : fields)
            field.replace(QLatin1Char('\t'), QLatin1Char(' '))
                .replace(QLatin1Char('\n'), QLatin1Char(' '));
        file.write((fields.join(QLatin1Char('\t')) + QLatin1Char('\n')).toUtf8());
    }

    const char *m_bench;
    bool m_missed = false;
    bool m_failed = false;
};
