// The prompt output window as a prompt of its own, full screen on a 3840 x 2160 screen.
// Targets: a tick with the output repainted, at its largest text (a line a quarter of the
// screen tall), under 4 ms; the output's own layout of a 1 MB script ready in under 300 ms.
#include "bench/BenchSupport.h"
#include "bench/PaintCounter.h"
#include "bench/Verdict.h"

#include "app/frmMain.h"
#include "platform/Fonts.h"
#include "prompter/OutputLayout.h"
#include "prompter/OutputView.h"
#include "prompter/PromptBox.h"
#include "settings/SettingsFile.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFontMetricsF>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <algorithm>
#include <initializer_list>
#include <vector>

namespace
{
constexpr int kTicks = 400;

} // namespace

int main(int argc, char **argv)
{
    QTemporaryDir folder;
    const bool written = useRigScreen(folder, 3840, 2160);
    QApplication app(argc, argv);
    Verdict verdict("bench_output");
    if (!written)
        verdict.abandon(QStringLiteral("cannot write the screens' configuration"));
    loadTahoma();
    SettingsFile::setFolder(folder.path());
    if (!writeFile(SettingsFile::path(), "36\r\n65535\r\n0\r\n255\r\n15\r\n56\r\n"))
        verdict.abandon(QStringLiteral("cannot write settings.ini"));

    frmMain window;
    window.show();
    if (!QTest::qWaitForWindowExposed(&window))
        verdict.abandon(QStringLiteral("the window is not shown"));
    const QString text = spokenScript(1 << 20);
    verdict.control<PromptBox>(window, "txtcontainer")->setPlainText(text);
    QTest::keyClick(&window, Qt::Key_F);
    auto *output = verdict.control<OutputView>(window, "picoutput");
    if (!output->isVisible() || output->size() != QSize(3840, 2160))
        verdict.abandon(QStringLiteral("the 3840 x 2160 output is not shown"));
    output->setPointSize(output->maxPointSize());

    // The layout alone, as Start and every change of size, face or margin make it: ready when
    // the line at any point can be drawn, the middle's here.
    QString unbroken;
    while (unbroken.size() < text.size())
        unbroken += QStringLiteral("the quick brown fox jumps over the lazy dog ");
    struct Case {
        const char *name;
        const QString &script;
        qreal size;
    };
    for (const Case &one : { Case { "ordinary lines at 24 pt", text, OutputView::kMinPointSize },
             Case { "ordinary lines at its largest", text, output->maxPointSize() },
             Case { "one paragraph at its largest", unbroken, output->maxPointSize() } }) {
        QFont font(output->face());
        font.setPointSizeF(one.size);
        OutputLayout layout;
        QElapsedTimer clock;
        clock.start();
        layout.layOut(one.script, font, 3600);
        double fraction = 0;
        const OutputLayout::Place middle = layout.placeOf(one.script.size() / 2.0, &fraction);
        const double ms = double(clock.nsecsElapsed()) / 1e6;
        verdict.require(layout.line(middle).length > 0 && middle.paragraph > 200,
            QStringLiteral("the 1 MB script laid out (piece %1 in the middle)")
                .arg(middle.paragraph));
        verdict.judge(
            QStringLiteral("output layout of a 1 MB script, %1").arg(QLatin1String(one.name)), ms,
            QStringLiteral("ms"), Verdict::Bound::Below, 300);
    }

    auto *tick = verdict.control<QTimer>(window, "tmrmain");
    verdict.control<QToolButton>(window, "cmdstart")->click();
    tick->stop(); // ticks are driven by hand
    const QFontMetricsF largest(output->layout().font());
    verdict.require(largest.lineSpacing() > 2160 / 4.0 * 0.9,
        QStringLiteral("a line a quarter of the screen tall (%1 pixels)")
            .arg(largest.lineSpacing()));
    // The script up to the reading line, at a speed that moves the output every tick.
    for (int i = 0; i < 240; ++i)
        QMetaObject::invokeMethod(tick, "timeout");
    QTest::qWait(50);

    PaintCounter paints;
    output->installEventFilter(&paints);
    std::vector<double> costs;
    for (int i = 0; i < kTicks; ++i) {
        const int painted = paints.paints;
        QElapsedTimer clock;
        clock.start();
        QMetaObject::invokeMethod(tick, "timeout");
        while (paints.paints == painted && clock.elapsed() < 1000)
            QCoreApplication::processEvents();
        costs.push_back(double(clock.nsecsElapsed()) / 1e6);
    }
    verdict.require(paints.paints >= kTicks,
        QStringLiteral("every tick repaints the output (%1 paints)").arg(paints.paints));
    const QImage shown = output->grab().toImage();
    qsizetype lettered = 0;
    for (int y = 0; y < shown.height(); y += 2)
        for (int x = 0; x < shown.width(); x += 2)
            lettered += shown.pixelColor(x, y) == QColor(Qt::yellow);
    verdict.require(
        lettered > 10000, QStringLiteral("the output shows letters (%1)").arg(lettered));
    std::sort(costs.begin(), costs.end());
    verdict.judge(
        QStringLiteral("tick of the full-screen 3840 x 2160 output at its largest text, median"),
        costs[costs.size() / 2], QStringLiteral("ms"), Verdict::Bound::Below, 4, 2);
    verdict.inform(QStringLiteral("the same, 95th percentile"), costs[costs.size() * 95 / 100],
        QStringLiteral("ms"), 2);
    return verdict.exitCode();
}
