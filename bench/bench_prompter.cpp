// Start for long scripts, and the cost of one scroll tick with its repaint.
// Targets: 10,000 display lines laid out in under 300 ms; a tick with its repaint
// under 1 ms at 10,000 lines, growing no faster than the number of boxes.
#include "app/frmMain.h"
#include "platform/Fonts.h"
#include "platform/TextBoxLines.h"
#include "prompter/PromptBox.h"
#include "settings/SettingsFile.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace
{

QString script(int lines)
{
    QStringList list;
    list.reserve(lines);
    for (int i = 0; i < lines; ++i)
        list << QStringLiteral("Script line %1").arg(i);
    return list.join(QLatin1Char('\n'));
}

// Counts the paints of the first box, to show each measured tick did repaint.
class PaintCounter final : public QObject
{
public:
    int paints = 0;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            ++paints;
        return false;
    }
};

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// Milliseconds per tick, each followed by the repaint it asks for (or of the whole area).
double tickCost(frmMain &window, int ticks, bool wholeArea)
{
    QElapsedTimer clock;
    clock.start();
    for (int i = 0; i < ticks; ++i) {
        window.tmrmain_Timer();
        if (wholeArea)
            window.picprompt->repaint();
        else
            QCoreApplication::processEvents();
    }
    return double(clock.nsecsElapsed()) / 1e6 / ticks;
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    if (!loadTahoma())
        std::printf("Tahoma missing: the default face stands in\n");
    QTemporaryDir folder;
    SettingsFile::setFolder(folder.path());
    {
        QFile file(SettingsFile::path());
        if (!file.open(QIODevice::WriteOnly))
            return 1;
        // 36 pt; speed 15 twips, one pixel a tick, so every tick repaints.
        file.write("36\r\n65535\r\n0\r\n255\r\n15\r\n56\r\n");
    }

    frmMain window;
    window.show();
    if (!QTest::qWaitForWindowExposed(&window))
        return 1;

    std::printf("%-14s %8s %12s %14s %14s %14s %12s\n", "display lines", "boxes", "start ms",
        "tick ms", "tick+area ms", "late tick ms", "paints/tick");
    for (int lines : { 1000, 10000, 100000 }) {
        const QString text = script(lines);
        std::vector<double> starts;
        const int runs = lines >= 100000 ? 2 : 5;
        for (int run = 0; run < runs; ++run) {
            window.cmdreset_Click();
            window.txtcontainer->setPlainText(text); // the editor's Done
            QCoreApplication::processEvents();
            QElapsedTimer clock;
            clock.start();
            window.cmdstart_Click();
            starts.push_back(double(clock.nsecsElapsed()) / 1e6);
        }
        window.tmrmain->stop(); // ticks are driven by hand
        QCoreApplication::processEvents();

        tickCost(window, 100, false); // warm up
        PaintCounter counter;
        window.txtprompt[0]->viewport()->installEventFilter(&counter);
        const double tick = tickCost(window, 1000, false);
        window.txtprompt[0]->viewport()->removeEventFilter(&counter);
        const double area = tickCost(window, 300, true);
        // Well into the script: box 1 has taken over from box 0.
        while (window.txtprompt.size() > 1 && window.txtprompt[1]->Top() > 3000)
            window.tmrmain_Timer();
        QCoreApplication::processEvents();
        const double late = tickCost(window, 1000, false);

        std::printf("%-14d %8zu %12.1f %14.4f %14.4f %14.4f %12.2f\n",
            window.txtcontainer->lines().lineCount(), window.txtprompt.size(), median(starts), tick,
            area, late, counter.paints / 1000.0);
        window.tmrmain->start();
    }
    return 0;
}
