// The prompt on a rig: a tick with the main window's mirrored area and the prompt output
// window repainted, the output filling a 1920 x 1080 screen, while a take is recorded and
// the level meters refresh at every tick. Target: under 4 ms. Also what one refresh of the
// meters costs on its own.
#include "bench/BenchSupport.h"
#include "bench/PaintCounter.h"
#include "bench/Verdict.h"

#include "app/frmMain.h"
#include "platform/Fonts.h"
#include "prompter/PromptBox.h"
#include "recorder/InputLevel.h"
#include "recorder/WaveAudioDevice.h"
#include "settings/SettingsFile.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <algorithm>
#include <functional>
#include <vector>

namespace
{

constexpr int kTicks = 500;

// A capture that takes whatever the bench says the microphone hears.
struct QuietInput final : AudioBackend {
    MciError startCapture(QIODevice *) override { return MciError::None; }
    void stopCapture() override { }
    MciError startPlayback(QIODevice *) override { return MciError::None; }
    void stopPlayback() override { }
};

// 50 ms of input at a level that changes with n, so that every refresh repaints the meters.
void hear(int n)
{
    const qint16 peak = qint16(1000 + (n % 30) * 1000);
    std::vector<qint16> block(size_t(kTakeRate / 20 * kTakeChannels));
    for (size_t i = 0; i < block.size(); ++i)
        block[i] = qint16(i % 2 ? peak : -peak);
    LevelTap::publish(reinterpret_cast<const char *>(block.data()), qint64(block.size() * 2));
}

// The milliseconds of each of kTicks steps, sorted: the input heard and the meters refreshed,
// then what else the step does, up to the repaint the watched widget gets from it.
std::vector<double> timeSteps(
    QTimer *meters, const PaintCounter &watched, const std::function<void()> &more)
{
    std::vector<double> costs;
    for (int i = 0; i < kTicks; ++i) {
        const int painted = watched.paints;
        QElapsedTimer clock;
        clock.start();
        hear(i);
        QMetaObject::invokeMethod(meters, "timeout");
        more();
        while (watched.paints == painted && clock.elapsed() < 1000)
            QCoreApplication::processEvents();
        costs.push_back(double(clock.nsecsElapsed()) / 1e6);
    }
    std::sort(costs.begin(), costs.end());
    return costs;
}

} // namespace

int main(int argc, char **argv)
{
    // A console screen and the rig's 1920 x 1080 screen beside it; the rig's choices in a
    // folder of the bench's own.
    QTemporaryDir folder;
    const bool written = useRigScreen(folder, 1920, 1080);
    QApplication app(argc, argv);
    Verdict verdict("bench_rig");
    if (!written)
        verdict.abandon(QStringLiteral("cannot write the screens' configuration"));
    if (!loadTahoma())
        std::printf("Tahoma missing: the default face stands in\n");
    SettingsFile::setFolder(folder.path());
    // 36 pt; speed 15 twips, one pixel a tick, so every tick repaints.
    if (!writeFile(SettingsFile::path(), "36\r\n65535\r\n0\r\n255\r\n15\r\n56\r\n"))
        verdict.abandon(QStringLiteral("cannot write settings.ini"));

    installWaveAudioDriver([] { return std::make_unique<QuietInput>(); });
    frmMain window;
    window.show();
    if (!QTest::qWaitForWindowExposed(&window))
        verdict.abandon(QStringLiteral("the window is not shown"));
    QStringList lines;
    for (int i = 0; i < 10000; ++i)
        lines << QStringLiteral("Script line %1 of the evening news").arg(i);
    verdict.control<PromptBox>(window, "txtcontainer")->setPlainText(lines.join('\n'));
    auto *tick = verdict.control<QTimer>(window, "tmrmain");
    verdict.control<QToolButton>(window, "cmdstart")->click();
    tick->stop(); // ticks are driven by hand
    QTest::keyClick(&window, Qt::Key_M);
    QTest::keyClick(&window, Qt::Key_F);
    auto *mirror = verdict.control<QWidget>(window, "picmirror");
    auto *output = verdict.control<QWidget>(window, "picoutput");
    auto *meters = verdict.control<QTimer>(window, "tmrlevel");
    verdict.control<QToolButton>(window, "cmdrecord")->click();
    meters->stop(); // refreshes are driven by hand
    auto *outputMeter = verdict.control<QWidget>(window, "mtroutput");
    if (!outputMeter->isVisible())
        verdict.abandon(QStringLiteral("the output window's level meter is not shown"));
    if (!mirror->isVisible() || output->size() != QSize(1920, 1080))
        verdict.abandon(QStringLiteral("the mirror or the 1920 x 1080 output is not shown"));
    // The first line up to the reading line.
    for (int i = 0; i < 240; ++i)
        QMetaObject::invokeMethod(tick, "timeout");
    QTest::qWait(50);

    PaintCounter mirrorPaints;
    PaintCounter outputPaints;
    mirror->installEventFilter(&mirrorPaints);
    output->installEventFilter(&outputPaints);
    // Each tick with the repaints it asks for, both windows.
    const std::vector<double> costs
        = timeSteps(meters, outputPaints, [tick] { QMetaObject::invokeMethod(tick, "timeout"); });
    verdict.require(mirrorPaints.paints >= kTicks && outputPaints.paints >= kTicks,
        QStringLiteral("every tick repaints the mirrored area and the output (%1 and %2 paints in "
                       "%3 ticks)")
            .arg(mirrorPaints.paints)
            .arg(outputPaints.paints)
            .arg(kTicks));
    // The letters are on the output, not only the reading line.
    const QImage shown = output->grab().toImage();
    qsizetype lettered = 0;
    for (int y = 0; y < shown.height(); ++y) {
        for (int x = 0; x < shown.width(); ++x)
            lettered += shown.pixelColor(x, y) == QColor(Qt::yellow);
    }
    verdict.require(lettered > 10000,
        QStringLiteral("the output shows the script's letters (%1 pixels)").arg(lettered));
    verdict.judge(QStringLiteral("tick with the mirrored area and the 1920 x 1080 output "
                                 "repainted, median"),
        costs[costs.size() / 2], QStringLiteral("ms"), Verdict::Bound::Below, 4, 2);
    verdict.inform(QStringLiteral("the same, 95th percentile"), costs[costs.size() * 95 / 100],
        QStringLiteral("ms"), 2);

    // The meters alone: a refresh and the repaint of the three it asks for.
    PaintCounter meterPaints;
    outputMeter->installEventFilter(&meterPaints);
    const std::vector<double> refreshes = timeSteps(meters, meterPaints, [] {});
    verdict.inform(QStringLiteral("one refresh of the level meters, repainted, median"),
        refreshes[refreshes.size() / 2], QStringLiteral("ms"), 2);
    verdict.control<QToolButton>(window, "cmdstop")->click();
    return verdict.exitCode();
}
