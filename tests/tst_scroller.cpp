#include "prompter/BoxLayout.h"
#include "prompter/Countdown.h"
#include "prompter/PromptProgress.h"
#include "prompter/Scroller.h"

#include <QSignalSpy>
#include <QTest>

#include <cmath>

namespace
{

// A script of even lines, 100 twips each, cut 112 lines to a box, starting at speed 15.
class EvenScript final : public Scroller::Script
{
public:
    explicit EvenScript(int lines)
        : m_lines(lines)
    {
    }
    bool isEmpty() const override { return m_lines == 0; }
    Scroller::Layout prepare() override
    {
        ++prepared;
        Scroller::Layout layout;
        for (int line = 0; line <= m_lines; ++line)
            layout.lineTops.push_back(100.0 * line);
        layout.linesPerBox = 112;
        layout.speed = 15;
        return layout;
    }
    void setLines(int lines) { m_lines = lines; }
    int prepared = 0;

private:
    int m_lines;
};

constexpr double kLine = 100; // twips
constexpr double kBox = 112 * kLine;

// The scroller as its panel shows it.
QString shown(const Scroller &s)
{
    const char *state[] = { "idle", "scrolling", "paused" };
    return QStringLiteral("%1, speed %2%3, %4 boxes, box 0 at %5")
        .arg(QLatin1String(state[int(s.state())]))
        .arg(s.speed())
        .arg(s.isPaused() ? QStringLiteral(" (paused since Reset)") : QString())
        .arg(s.boxes().size())
        .arg(double(s.boxes()[0].top));
}

} // namespace

class tst_Scroller : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void followsTheStateTable_data()
    {
        // Steps from idle, speed 10 loaded at start-up, 300 lines, settings at speed 15.
        QTest::addColumn<QString>("steps");
        QTest::addColumn<QString>("expected");
        const auto row = [](const char *n, QString s, QString e) { QTest::newRow(n) << s << e; };
        row("Start", "start", "scrolling, speed 15, 3 boxes, box 0 at 5800");
        row("backwards", "start =-20 tick tick", "scrolling, speed -20, 3 boxes, box 0 at 5840");
        row("Pause", "start tick pause tick",
            "paused, speed 0 (paused since Reset), 3 boxes, box 0 at 5785");
        row("Pause twice", "start pause start =30 pause start tick",
            "scrolling, speed 30 (paused since Reset), 3 boxes, box 0 at 5770");
        row("Pause when idle", "pause", "idle, speed 10, 1 boxes, box 0 at 5800");
        row("no script", "clear start", "idle, speed 10, 1 boxes, box 0 at 5800");
        // Reset idle changes nothing, not even the speed.
        row("Reset when idle", "=40 reset", "idle, speed 40, 1 boxes, box 0 at 5800");
        // Reset gives back the speed last saved: by Pause, by the space bar or at start-up.
        row("Reset while scrolling", "start +5 +5 tick reset",
            "idle, speed 10, 1 boxes, box 0 at 5800");
        row("Reset after a hold", "start =30 hold hold reset",
            "idle, speed 30, 1 boxes, box 0 at 5800");
        // The space bar holds and gives back, whatever the state.
        row("hold", "start hold tick", "scrolling, speed 0, 3 boxes, box 0 at 5800");
        row("release", "start hold hold tick", "scrolling, speed 15, 3 boxes, box 0 at 5785");
        row("hold, Pause saves 0", "start hold pause start",
            "scrolling, speed 0 (paused since Reset), 3 boxes, box 0 at 5800");
        row("release while paused", "start pause hold tick",
            "paused, speed 15 (paused since Reset), 3 boxes, box 0 at 5785");
        // The range holds every way of setting the speed.
        row("faster past the end", "=108 +5", "idle, speed 110, 1 boxes, box 0 at 5800");
        row("slower past the end", "=-108 -5 -5", "idle, speed -110, 1 boxes, box 0 at 5800");
        row("set past the end", "=500", "idle, speed 110, 1 boxes, box 0 at 5800");
        // A fresh Start lays the script out again, at the settings' speed.
        row("Reset, Start", "start =40 tick reset start",
            "scrolling, speed 15, 3 boxes, box 0 at 5800");
    }
    void followsTheStateTable()
    {
        QFETCH(QString, steps);
        QFETCH(QString, expected);
        EvenScript script(300);
        Scroller s(script);
        s.loadSpeed(10);
        for (const QString &step : steps.split(' ')) {
            if (step == "start")
                s.start();
            else if (step == "pause")
                s.pause();
            else if (step == "reset")
                s.reset();
            else if (step == "tick")
                s.tick();
            else if (step == "hold")
                s.holdOrRelease();
            else if (step == "clear")
                script.setLines(0);
            else if (step.startsWith('='))
                s.setSpeed(step.mid(1).toInt());
            else
                s.nudge(step.toInt());
        }
        QCOMPARE(shown(s), expected);
    }
    // Only a start from idle lays the script out and is told; nothing repaints for a tick
    // that moves nothing (at speed 0, or idle); an empty script is told once.
    void tellsWhatChanged()
    {
        EvenScript script(300);
        Scroller s(script);
        QSignalSpy states(&s, &Scroller::stateChanged), started(&s, &Scroller::started),
            stopped(&s, &Scroller::stopped), moved(&s, &Scroller::moved),
            empty(&s, &Scroller::nothingToScroll);
        s.start();
        s.pause();
        s.start();
        s.setSpeed(0);
        s.tick();
        s.reset();
        s.tick();
        script.setLines(0);
        QVERIFY(!s.start());
        QCOMPARE(QList({ script.prepared, int(states.size()), int(started.size()),
                     int(stopped.size()), int(moved.size()), int(empty.size()) }),
            QList({ 1, 4, 1, 1, 2, 1 }));
    }
    // Box 1 waits until the tick in which box 0's bottom edge passes the hand-over edge, then
    // keeps the distance it started at, no more than 100 twips, whichever way the text runs.
    void handsOver_data()
    {
        QTest::addColumn<int>("speed");
        QTest::addColumn<int>("tick"); // in which box 1 starts
        QTest::addColumn<float>("gap");
        // Box 0's edge, 5800 + 11200 at first, passes 5700 after 11300 twips.
        QTest::newRow("10") << 10 << 1131 << 100.0f;
        QTest::newRow("110") << 110 << 103 << 20.0f;
        QTest::newRow("7") << 7 << 1615 << 98.0f;
        QTest::newRow("1") << 1 << 11301 << 100.0f;
    }
    void handsOver()
    {
        QFETCH(int, speed);
        QFETCH(int, tick);
        QFETCH(float, gap);
        EvenScript script(200);
        Scroller s(script);
        QSignalSpy starting(&s, &Scroller::boxStarting);
        s.start();
        s.setSpeed(speed);
        for (int i = 1; i < tick; ++i)
            s.tick();
        QCOMPARE(s.boxes()[1].top, 5800.0f);
        QVERIFY(starting.isEmpty());
        s.tick();
        const auto distance
            = [&] { return s.boxes()[1].top - s.boxes()[0].top - s.boxes()[0].height; };
        QCOMPARE(distance(), gap);
        QCOMPARE(starting.size(), 1);
        QCOMPARE(starting[0][0].toInt(), 1);
        for (int i = 0; i < 50; ++i)
            s.tick();
        QCOMPARE(distance(), gap);
        // Backwards, it keeps its place behind box 0, even below the hand-over edge.
        s.setSpeed(-speed);
        for (int i = 0; i < tick + 100; ++i)
            s.tick();
        QCOMPARE(distance(), gap);
        QCOMPARE_GT(s.boxes()[1].top, float(kHandoverEdge));
        QCOMPARE(starting.size(), 1);
        // Speed 0 holds both.
        s.setSpeed(0);
        const float still = s.boxes()[1].top;
        s.tick();
        QCOMPARE(s.boxes()[1].top, still);
    }
    // Where the reading line is in the script, and how much is still to come.
    void knowsTheReadingPosition()
    {
        EvenScript script(300);
        Scroller s(script);
        const auto at = [&] {
            const Scroller::Position p = s.readingPosition();
            return QStringLiteral("line %1 + %2").arg(p.line).arg(p.fraction);
        };
        // Before the script reaches the reading line: its first line, and the way to it.
        QCOMPARE(at(), QStringLiteral("line 0 + 0"));
        s.start();
        QCOMPARE(s.twipsLeft(), 300 * kLine + 5800 - kReadingPoint);
        s.setSpeed(100);
        for (int i = 0; i < 31; ++i) // box 0 at 2700: the reading point 22.5 twips into line 0
            s.tick();
        QCOMPARE(at(), QStringLiteral("line 0 + 0.225"));
        QCOMPARE(s.distanceTo(10, 0.5), 10.5 * kLine - 22.5);
        // Box 1 follows box 0 100 twips below it: in that gap, the reading line waits for
        // box 1's first line; then it moves into it.
        for (int i = 0; i < 112; ++i)
            s.tick();
        QCOMPARE(s.boxes()[1].top - s.boxes()[0].top - s.boxes()[0].height, 100.0f);
        QCOMPARE(at(), QStringLiteral("line 112 + 0"));
        s.tick();
        QCOMPARE(at(), QStringLiteral("line 112 + 0.225"));
        QCOMPARE(s.twipsLeft(), (300 - 112) * kLine - 22.5);
        // Past the end of the script.
        s.setSpeed(110);
        for (int i = 0; i < 400; ++i)
            s.tick();
        QCOMPARE(at(), QStringLiteral("line 300 + 0"));
        QCOMPARE(s.twipsLeft(), 0.0);
        // As one number it moves on at a steady pace through the gap, never standing still:
        // box 0's last line takes the gap with it.
        Scroller again(script);
        again.start();
        again.setSpeed(100);
        while (again.readingLine() < 109)
            again.tick();
        std::vector<double> steps;
        for (double before = again.readingLine(); again.readingLine() < 114;
             before = again.readingLine()) {
            again.tick();
            steps.push_back(again.readingLine() - before);
        }
        QVERIFY(steps.size() > 4);
        for (const double step : steps)
            QVERIFY2(step > 0.4 && step < 1.01, qPrintable(QString::number(step)));
    }
    // Going to a line puts it at the reading line, the boxes closed up before it and following
    // after it; the scroll goes on from there.
    void goesToALine()
    {
        EvenScript script(300);
        Scroller s(script);
        s.goToLine(150); // idle: nothing to go to
        QCOMPARE(s.boxes()[0].top, 5800.0f);
        s.start();
        // Boxes of 112 lines, the last with the rest, each as tall as its lines.
        QCOMPARE(s.boxes().size(), size_t(3));
        QCOMPARE(s.boxes()[2].height, float(76 * kLine));
        QSignalSpy starting(&s, &Scroller::boxStarting), moved(&s, &Scroller::moved);
        s.goToLine(150, 0.5);
        QCOMPARE(s.readingPosition().line, 150);
        QCOMPARE(s.readingPosition().fraction, 0.5);
        QCOMPARE(s.distanceTo(150, 0.5), 0.0);
        QCOMPARE(s.twipsLeft(), 149.5 * kLine);
        QCOMPARE(s.boxes()[1].top, float(kReadingPoint - 38.5 * kLine));
        QCOMPARE(s.boxes()[0].top, float(s.boxes()[1].top - kBox));
        // Box 2 starts below the area, so it waits.
        QCOMPARE(s.boxes()[2].top, 5800.0f);
        QVERIFY(!s.boxes()[2].gap);
        QCOMPARE(starting.size(), 1);
        QCOMPARE(moved.size(), 1);
        s.setSpeed(10);
        s.tick();
        QCOMPARE(s.readingPosition().line, 150);
        QCOMPARE(s.readingPosition().fraction, 0.6);
        // Back near the start, every later box waits again.
        s.goToLine(5);
        QCOMPARE(s.readingPosition().line, 5);
        QVERIFY(!s.boxes()[1].gap && !s.boxes()[2].gap);
        QCOMPARE(s.boxes()[1].top, 5800.0f);
        // Near the end, every box is in its place.
        s.goToLine(1000);
        QCOMPARE(s.readingPosition().line, 299);
        QVERIFY(s.boxes()[1].gap && s.boxes()[2].gap);
        QCOMPARE(s.boxes()[2].top, float(s.boxes()[1].top + kBox));
        // Back takes the text three lines back at any speed, the point within the line kept;
        // not before the script has reached the reading line.
        s.setSpeed(-50);
        s.goToLine(150, 0.25);
        s.goBack(3);
        QCOMPARE(s.readingPosition().line, 147);
        QCOMPARE(s.readingPosition().fraction, 0.25);
        s.goToLine(1, 0.5);
        s.goBack(3);
        QCOMPARE(s.readingPosition().line, 0);
        QCOMPARE(s.readingPosition().fraction, 0.5);
        s.reset();
        s.start();
        s.goBack(3);
        QCOMPARE(s.boxes()[0].top, 5800.0f);
    }
    // The figures beside the prompt and the countdown before it moves, on a clock of the
    // test's own.
    void tellsTheTimeAndCountsDown()
    {
        EvenScript script(300);
        Scroller s(script);
        qint64 now = 1000;
        PromptProgress progress(s, [&] { return now; });
        Countdown countdown(s, [&] { return now; });
        QCOMPARE(progress.elapsedMs(), 0);
        QVERIFY(!progress.leftMs());
        countdown.setEnabled(true);
        QSignalSpy counts(&countdown, &Countdown::countChanged);
        const auto tick = [&](int ticks) {
            for (int i = 0; i < ticks; ++i) {
                now += Scroller::kTickMs;
                s.tick();
            }
        };
        s.start();
        QCOMPARE(countdown.count(), 3);
        tick(187); // 2992 ms: the text waits
        QCOMPARE(s.boxes()[0].top, 5800.0f);
        QCOMPARE(progress.elapsedMs(), 2992);
        tick(1);
        QCOMPARE(countdown.count(), 0);
        QCOMPARE(s.boxes()[0].top, 5785.0f);
        QList<int> shown;
        for (const QList<QVariant> &count : counts)
            shown << count.at(0).toInt();
        QCOMPARE(shown, QList<int>({ 3, 2, 1, 0 }));
        // At speed 15 a tick, the twips still to come take this long.
        QCOMPARE(*progress.leftMs(), qint64(std::ceil(s.twipsLeft() / 15) * 16));
        QCOMPARE(progress.progress(), 0.0);
        s.goToLine(150);
        QCOMPARE(progress.progress(), 0.5);
        s.holdOrRelease();
        QVERIFY(!progress.leftMs()); // held: no estimate
        s.holdOrRelease();
        // Measured while following: 30 twips every 160 ms, whatever the speed says.
        progress.setMeasured(true);
        s.setSpeed(1);
        double at = 150;
        for (int i = 0; i < 40; ++i) {
            now += 160;
            at += 0.3;
            s.goToLine(int(at), at - int(at));
        }
        const double left = s.twipsLeft();
        QVERIFY(
            qAbs(double(*progress.leftMs()) - left / (30.0 / 160)) < left / (30.0 / 160) * 0.02);
        // The presenter's reading rate, once known, comes first.
        std::optional<qint64> atRate;
        progress.setReadingRate([&] { return atRate; });
        QVERIFY(
            qAbs(double(*progress.leftMs()) - left / (30.0 / 160)) < left / (30.0 / 160) * 0.02);
        atRate = 42'000;
        QCOMPARE(progress.leftMs(), atRate);
        // Reset ends the count and the clock; a countdown switched off lets Start move at once.
        s.reset();
        QCOMPARE(progress.elapsedMs(), 0);
        countdown.setEnabled(false);
        s.start();
        QCOMPARE(countdown.count(), 0);
        tick(1);
        QCOMPARE(s.boxes()[0].top, 5785.0f);
    }
};

QTEST_GUILESS_MAIN(tst_Scroller)
#include "tst_scroller.moc"
