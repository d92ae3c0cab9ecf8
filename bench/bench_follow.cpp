// Following a voice: a script of over 400 words read by espeak-ng into a private sound
// server's microphone, with a pause of 5 s in the middle. Targets: the line being spoken within
// one display line of the reading line for at least 90 % of the time after the first 3 s of
// speech; the scroll stopped at most 1.5 s after the speech stops; the program's CPU use while
// it follows at most 50 % of one core.
#include "bench/Verdict.h"

#include "app/frmMain.h"
#include "platform/Fonts.h"
#include "platform/TextBoxLines.h"
#include "prompter/PromptBox.h"
#include "settings/SettingsFile.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QProcess>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextLayout>
#include <QTimer>
#include <QToolButton>

#include <ctime>

namespace
{

const QStringList kSentences = {
    "Good evening and welcome to the programme.",
    "Tonight we look at the weather over the coming week, and at the people who make the forecast.",
    "The forecast begins long before dawn, when the first readings arrive from stations along the "
    "coast.",
    "Each reading tells of the wind, the rain and the temperature at one place and one moment.",
    "Together they draw a picture of the air moving over the country.",
    "Computers then run that picture forward, hour by hour, into the days to come.",
    "But a computer does not know the hills and valleys as the people who live among them do.",
    "So every morning the forecasters sit together and talk about what the computers have made.",
    "They look for the places where the picture and the sky disagree.",
    "Sometimes a valley keeps its fog until noon, while the hills around it are bright with sun.",
    "Sometimes a shower forms over the sea and drifts inland faster than anyone expected.",
    "These are the details that matter to farmers, to sailors and to families planning a day out.",
    "This week begins with high pressure settling over the south.",
    "That means light winds, clear skies and cold nights, with frost in sheltered places.",
    "Farther north, a band of cloud will bring rain on Tuesday, heavy at times over the mountains.",
    "By Wednesday the rain moves away to the east, and the wind turns to the west.",
    "The rest of the week looks mild and bright for most of us, with only a few showers.",
    "Owners of small hotels on the coast expect a busy weekend with many visitors.",
    "Fishermen will be glad of the calm sea after a stormy month.",
    "Gardeners should cover young plants on the cold nights early in the week.",
    "And if you are walking in the hills, take a warm coat, because the wind on the tops is sharp.",
    "We will be back tomorrow evening with the latest news from the forecasters.",
    "Until then, from all of us here, good night and sleep well.",
    "The forecast for the coming days shows the weather settling into a quiet pattern.",
    "Mornings will start cold and bright, and afternoons will feel pleasantly warm in the "
    "sunshine.",
    "Evenings will cool quickly once the sun has gone down behind the hills.",
    "Anyone travelling late at night should watch for patches of ice on quiet country roads.",
    "That is all from us for tonight, and thank you for watching.",
};
constexpr int kPauseAfter = 14; // sentences before the pause
constexpr int kPauseMs = 5000;

double processCpuSeconds()
{
    timespec now {};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return double(now.tv_sec) + double(now.tv_nsec) / 1e9;
}

// Milliseconds of sound in a 16-bit mono WAV file from espeak-ng.
double waveMs(const QString &path)
{
    return double(QFile(path).size() - 44) / 2.0 / 22050.0 * 1000.0;
}

// The display line of the store that lies across the reading line, by the store's numbering.
int lineAtReadingLine(const QWidget &window, PromptBox &store)
{
    const QWidget *line = window.findChild<QLineEdit *>(QStringLiteral("txtline"));
    const QWidget *area = window.findChild<QWidget *>(QStringLiteral("picprompt"));
    const QPoint at = line->geometry().center();
    for (PromptBox *box : window.findChildren<PromptBox *>(QStringLiteral("txtprompt"))) {
        if (!box->isVisible() || !box->geometry().contains(at))
            continue;
        const QTextCursor cursor = box->cursorForPosition(box->viewport()->mapFrom(area, at));
        // The box's text is a run of the store's: find where it starts there.
        const int start = store.toPlainText().indexOf(box->toPlainText().left(200));
        return store.lines().lineFromChar(start + cursor.position());
    }
    return -1;
}

} // namespace

int main(int argc, char **argv)
{
    QTemporaryDir folder;
    const QString pulse = folder.filePath(QStringLiteral("pulse"));
    qputenv("XDG_RUNTIME_DIR", pulse.toLocal8Bit());
    qputenv("PULSE_SERVER", ("unix:" + pulse + "/pulse/native").toLocal8Bit());
    qputenv("XDG_CONFIG_HOME", folder.filePath(QStringLiteral("config")).toLocal8Bit());
    QApplication app(argc, argv);
    Verdict verdict("bench_follow");
    if (QProcess::execute(QStringLiteral("bash"),
            { QStringLiteral(PULSE_FIXTURE), QStringLiteral("start"), pulse })
        != 0)
        verdict.abandon(QStringLiteral("no private sound server"));
    loadTahoma();
    SettingsFile::setFolder(folder.path());
    QFile settings(SettingsFile::path());
    if (!settings.open(QIODevice::WriteOnly)
        || settings.write("36\r\n65535\r\n0\r\n255\r\n5\r\n56\r\n") < 0)
        verdict.abandon(QStringLiteral("cannot write settings.ini"));
    settings.close();

    // Each sentence spoken apart, so that the time of every word is known.
    QStringList waves;
    std::vector<double> sentenceMs;
    for (qsizetype i = 0; i < kSentences.size(); ++i) {
        waves << folder.filePath(QStringLiteral("s%1.wav").arg(i));
        if (QProcess::execute(QStringLiteral("espeak-ng"),
                { QStringLiteral("-s"), QStringLiteral("150"), QStringLiteral("-w"), waves.last(),
                    kSentences.at(i) })
            != 0)
            verdict.abandon(QStringLiteral("espeak-ng is missing"));
        sentenceMs.push_back(waveMs(waves.last()));
    }
    const QString script = kSentences.join(QLatin1Char(' '));
    verdict.inform(QStringLiteral("words in the script"), double(script.split(' ').size()),
        QStringLiteral("words"), 0);

    frmMain window;
    window.show();
    if (!QTest::qWaitForWindowExposed(&window))
        verdict.abandon(QStringLiteral("the window is not shown"));
    auto *store = verdict.control<PromptBox>(window, "txtcontainer");
    auto *speed = verdict.control<QScrollBar>(window, "hscspeed");
    store->setPlainText(script);
    QTest::keyClick(&window, Qt::Key_V);
    verdict.control<QToolButton>(window, "cmdstart")->click();
    QTest::qWait(3000); // the beginning comes up to the reading line

    // The sentences played one after another, the pause after the first part.
    QElapsedTimer clock;
    clock.start();
    const double cpuBefore = processCpuSeconds();
    std::vector<double> starts; // each sentence's start, ms on the clock
    int within = 0;
    int samples = 0;
    double speechEnd = -1;
    double lastMoving = -1;
    QProcess player;
    for (qsizetype i = 0; i < kSentences.size(); ++i) {
        if (i == kPauseAfter)
            speechEnd = lastMoving = double(clock.elapsed());
        const double pauseMs = i == kPauseAfter ? kPauseMs : 0;
        const double due
            = (starts.empty() ? 0 : starts.back() + sentenceMs[size_t(i) - 1]) + pauseMs;
        while (clock.elapsed() < due) {
            QTest::qWait(20);
            // The scroll has stopped once it stays still for the rest of the pause.
            if (speechEnd >= 0 && speed->value() != 0)
                lastMoving = double(clock.elapsed());
        }
        starts.push_back(double(clock.elapsed()));
        player.start(QStringLiteral("paplay"),
            { QStringLiteral("-d"), QStringLiteral("vsink"), waves.at(i) });
        // Sample while the sentence is spoken: the word due now, by its share of the letters.
        const int sentenceStart = int(script.indexOf(kSentences.at(i)));
        while (clock.elapsed() < starts.back() + sentenceMs[size_t(i)]) {
            QTest::qWait(50);
            const double share = (double(clock.elapsed()) - starts.back()) / sentenceMs[size_t(i)];
            const int spoken = sentenceStart + int(share * double(kSentences.at(i).size()));
            if (double(clock.elapsed()) < 3000)
                continue;
            ++samples;
            const int diff
                = store->lines().lineFromChar(spoken) - lineAtReadingLine(window, *store);
            within += std::abs(diff) <= 1;
        }
        player.waitForFinished(5000);
    }
    const double cpu = (processCpuSeconds() - cpuBefore) / (double(clock.elapsed()) / 1000.0);
    QProcess::execute(
        QStringLiteral("bash"), { QStringLiteral(PULSE_FIXTURE), QStringLiteral("stop"), pulse });

    verdict.require(
        samples > 100, QStringLiteral("the speech was sampled (%1 samples)").arg(samples));
    verdict.require(speechEnd >= 0 && lastMoving < speechEnd + kPauseMs - 2000,
        QStringLiteral("the scroll stopped in the pause and held for its last 2 s"));
    verdict.judge(QStringLiteral("time the spoken line is within one line of the reading line"),
        100.0 * within / std::max(1, samples), QStringLiteral("%"), Verdict::Bound::AtLeast, 90);
    verdict.judge(QStringLiteral("time for the scroll to stop after the speech stops"),
        (lastMoving - speechEnd) / 1000.0, QStringLiteral("s"), Verdict::Bound::AtMost, 1.5, 2);
    verdict.judge(QStringLiteral("CPU while following, share of one core"), 100.0 * cpu,
        QStringLiteral("%"), Verdict::Bound::AtMost, 50);
    return verdict.exitCode();
}
