// Following a voice. A script of six paragraphs is read into a private sound server's
// microphone by several synthesised voices, and read the ways presenters read: straight
// through with a pause, in noise, with a sentence or a paragraph skipped, with a paragraph
// read again, with two ad-libbed sentences. Targets: the line being spoken within one display
// line of the reading line for at least 95 % of the time (90 % in noise 15 dB below the
// speech); following again within 4 s of speech after a skip or a going back; under half a
// line of drift during the ad-libs; the scroll stopped within 1.5 s after the speech stops;
// at most 30 % of a core while following. Without sound: Start of a 1 MB script never blocks
// the window thread more than 100 ms, and a 10 MB script adds under 200 MB.
#include "bench/BenchSupport.h"
#include "bench/Verdict.h"

#include "app/frmMain.h"
#include "follow/VoiceFollow.h"
#include "platform/Fonts.h"
#include "platform/TextBoxLines.h"
#include "prompter/PromptBox.h"
#include "settings/SettingsFile.h"

#include <sndfile.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QRandomGenerator>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextLayout>
#include <QTimer>
#include <QToolButton>

#include <cmath>
#include <ctime>
#include <functional>
#include <optional>

namespace
{

const QList<QStringList> kParagraphs = {
    { "Good evening and welcome to the programme.",
        "Tonight we look at the weather over the coming week, and at the people who make the "
        "forecast.",
        "The forecast begins long before dawn, when the first readings arrive from stations "
        "along the coast.",
        "Each reading tells of the wind, the rain and the temperature at one place and one "
        "moment." },
    { "Together they draw a picture of the air moving over the country.",
        "Computers then run that picture forward, hour by hour, into the days to come.",
        "But a computer does not know the hills and valleys as the people who live among them "
        "do.",
        "So every morning the forecasters sit together and talk about what the computers have "
        "made." },
    { "They look for the places where the picture and the sky disagree.",
        "Sometimes a valley keeps its fog until noon, while the hills around it are bright with "
        "sun.",
        "Sometimes a shower forms over the sea and drifts inland faster than anyone expected.",
        "These are the details that matter to farmers, to sailors and to families planning a "
        "day out." },
    { "This week begins with high pressure settling over the south.",
        "That means light winds, clear skies and cold nights, with frost in sheltered places.",
        "Farther north, a band of cloud will bring rain on Tuesday, heavy at times over the "
        "mountains.",
        "By Wednesday the rain moves away to the east, and the wind turns to the west." },
    { "Owners of small hotels on the coast expect a busy weekend with many visitors.",
        "Fishermen will be glad of the calm sea after a stormy month.",
        "Gardeners should cover young plants on the cold nights early in the week.",
        "And if you are walking in the hills, take a warm coat, because the wind on the tops is "
        "sharp." },
    { "We will be back tomorrow evening with the latest news from the forecasters.",
        "Until then, from all of us here, good night and sleep well." },
};
const QStringList kAdLibs = { "Sorry, I seem to have lost my notes for a moment there.",
    "Let me just find out what I was going to tell you next." };

// A synthesised voice: the program and its arguments, %T the text and %W the wave file.
struct Voice {
    QString name;
    QString program;
    QStringList arguments;
    bool textOnInput = false;
};
const QList<Voice> kVoices = {
    { "espeak-ng", "espeak-ng", { "-s", "180", "-w", "%W", "%T" } },
    { "flite slt", "flite", { "-voice", "slt", "-t", "%T", "-o", "%W" } },
    { "flite rms", "flite", { "-voice", "rms", "-t", "%T", "-o", "%W" } },
    { "festival kal", "text2wave", { "-o", "%W", "-eval", "(voice_kal_diphone)" }, true },
};

bool say(const Voice &voice, const QString &text, const QString &wave)
{
    QStringList arguments;
    for (const QString &argument : voice.arguments)
        arguments << (argument == "%T" ? text : argument == "%W" ? wave : argument);
    QProcess process;
    process.start(voice.program, arguments);
    if (voice.textOnInput) {
        process.write(text.toUtf8());
        process.closeWriteChannel();
    }
    return process.waitForFinished(60000) && process.exitStatus() == QProcess::NormalExit
        && process.exitCode() == 0 && QFile(wave).size() > 44;
}

// The wave's samples, mono, and its rate.
std::vector<float> readWave(const QString &path, int &rate)
{
    SF_INFO info {};
    SNDFILE *file = sf_open(QFile::encodeName(path).constData(), SFM_READ, &info);
    if (!file)
        return {};
    std::vector<float> samples(size_t(info.frames * info.channels));
    sf_readf_float(file, samples.data(), info.frames);
    sf_close(file);
    rate = info.samplerate;
    return samples;
}

double waveMs(const QString &path)
{
    int rate = 1;
    return double(readWave(path, rate).size()) * 1000.0 / rate;
}

// Pink noise (Paul Kellet's filter) added 15 dB below the speech's loudness.
bool addNoise(const QString &path)
{
    int rate = 0;
    std::vector<float> speech = readWave(path, rate);
    double power = 0;
    int loud = 0;
    for (const float s : speech) {
        if (std::abs(s) > 0.01f) { // the speech, not its pauses
            power += double(s) * s;
            ++loud;
        }
    }
    if (loud == 0)
        return false;
    std::vector<float> noise(speech.size());
    QRandomGenerator random(7);
    double b0 = 0, b1 = 0, b2 = 0, noisePower = 0;
    for (float &n : noise) {
        const double white = random.generateDouble() * 2 - 1;
        b0 = 0.99765 * b0 + white * 0.0990460;
        b1 = 0.96300 * b1 + white * 0.2965164;
        b2 = 0.57000 * b2 + white * 1.0526913;
        n = float(b0 + b1 + b2 + white * 0.1848);
        noisePower += double(n) * n;
    }
    const double gain = std::sqrt(power / loud / (noisePower / double(noise.size())))
        * std::pow(10.0, -15.0 / 20.0);
    for (size_t i = 0; i < speech.size(); ++i)
        speech[i] = std::clamp(float(speech[i] + gain * noise[i]), -1.0f, 1.0f);
    SF_INFO info { 0, rate, 1, SF_FORMAT_WAV | SF_FORMAT_PCM_16, 0, 0 };
    SNDFILE *file = sf_open(QFile::encodeName(path).constData(), SFM_WRITE, &info);
    if (!file)
        return false;
    const bool written = sf_writef_float(file, speech.data(), sf_count_t(speech.size()))
        == sf_count_t(speech.size());
    sf_close(file);
    return written;
}

double processCpuSeconds()
{
    timespec now {};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return double(now.tv_sec) + double(now.tv_nsec) / 1e9;
}

// The display line of the store across the reading line, with how far down it the line
// lies, as the presenter sees it.
double readingLine(const QWidget &window, PromptBox &store)
{
    const QWidget *line = window.findChild<QLineEdit *>(QStringLiteral("txtline"));
    const QWidget *area = window.findChild<QWidget *>(QStringLiteral("picprompt"));
    const QPoint at = line->geometry().center();
    for (PromptBox *box : window.findChildren<PromptBox *>(QStringLiteral("txtprompt"))) {
        if (!box->isVisible() || !box->geometry().contains(at))
            continue;
        const QPoint inView = box->viewport()->mapFrom(area, at);
        const QTextCursor cursor = box->cursorForPosition(inView);
        const QTextBlock block = cursor.block();
        const QTextLine shown = block.layout()->lineForTextPosition(cursor.positionInBlock());
        const double top = box->document()->documentLayout()->blockBoundingRect(block).top()
            + shown.y() - box->verticalScrollBar()->value();
        const double fraction = std::clamp((inView.y() - top) / shown.height(), 0.0, 1.0);
        // The box's text is a run of the store's: find where it starts there.
        const int start = store.toPlainText().indexOf(box->toPlainText().left(200));
        return store.lines().lineFromChar(start + cursor.position()) + fraction;
    }
    return -1;
}

// What is read: a sentence of the script (paragraph, sentence) or an ad-lib, after a pause.
struct Part {
    int paragraph = -1;
    int sentence = 0;
    int pauseMs = 0;
    bool jump = false; // the reader skipped to it, or went back
};

QList<Part> paragraphs(std::initializer_list<int> which)
{
    QList<Part> parts;
    for (const int p : which) {
        for (int s = 0; s < kParagraphs[p].size(); ++s)
            parts.push_back({ p, s, s == 0 ? 700 : 0 });
    }
    return parts;
}

// One reading's measurements.
struct Reading {
    int within = 0;
    int samples = 0;
    std::optional<double> recoveryS; // after the jump
    double driftLines = 0; // during ad-libs
    std::optional<double> stopS; // after the pause
};

class Bench
{
public:
    Bench(Verdict &verdict, frmMain &window)
        : m_verdict(verdict)
        , m_window(window)
        , m_store(verdict.control<PromptBox>(window, "txtcontainer"))
        , m_speed(verdict.control<QScrollBar>(window, "hscspeed"))
    {
        for (const QStringList &sentences : kParagraphs)
            m_script += sentences.join(QLatin1Char(' ')) + QLatin1Char('\n');
        m_script.chop(1);
    }

    void speak(const Voice &voice, const QTemporaryDir &folder, bool noisy)
    {
        m_waves.clear();
        m_ms.clear();
        const QString prefix = folder.filePath(voice.name + (noisy ? " noisy " : " "));
        for (int p = 0; p < kParagraphs.size(); ++p) {
            for (int s = 0; s < kParagraphs[p].size(); ++s)
                synthesise(voice, kParagraphs[p][s], prefix + QStringLiteral("%1-%2").arg(p).arg(s),
                    noisy);
        }
        for (int a = 0; a < kAdLibs.size(); ++a)
            synthesise(voice, kAdLibs[a], prefix + QStringLiteral("ad%1").arg(a), noisy);
    }

    Reading read(const QList<Part> &parts)
    {
        m_store->setPlainText(m_script);
        m_verdict.control<QToolButton>(m_window, "cmdreset")->click();
        m_verdict.control<QToolButton>(m_window, "cmdstart")->click();
        auto *sign = m_verdict.control<QLabel>(m_window, "lblfollow");
        QElapsedTimer ready;
        ready.start();
        while (!sign->text().contains(QStringLiteral("Following your voice"))
            && ready.elapsed() < 30000)
            QTest::qWait(50);
        QTest::qWait(2500); // the beginning comes up to the reading line

        Reading reading;
        QElapsedTimer clock;
        clock.start();
        const double cpuBefore = processCpuSeconds();
        QProcess player;
        double jumpedAt = -1;
        double recoveredSince = -1;
        std::optional<double> adLibFrom; // the reading line as the ad-libs began
        int adLibs = 0;
        for (const Part &part : parts) {
            const double pauseEnd = double(clock.elapsed()) + part.pauseMs;
            const double speechEnd = double(clock.elapsed());
            double lastMoving = speechEnd;
            while (clock.elapsed() < pauseEnd) {
                QTest::qWait(20);
                if (m_speed->value() != 0)
                    lastMoving = double(clock.elapsed());
            }
            if (part.pauseMs >= 3000)
                reading.stopS = (lastMoving - speechEnd) / 1000.0;
            const bool adLib = part.paragraph < 0;
            const QString key = adLib
                ? QStringLiteral("ad%1").arg(adLibs++)
                : QStringLiteral("%1-%2").arg(part.paragraph).arg(part.sentence);
            const double start = double(clock.elapsed());
            if (part.jump)
                jumpedAt = start;
            player.start(QStringLiteral("paplay"),
                { QStringLiteral("-d"), QStringLiteral("vsink"), m_waves.value(key) });
            const QString text = adLib ? QString() : kParagraphs[part.paragraph][part.sentence];
            const int at = adLib ? -1 : int(m_script.indexOf(text));
            while (clock.elapsed() < start + m_ms.value(key)) {
                QTest::qWait(50);
                const double reached = readingLine(m_window, *m_store);
                if (adLib) {
                    adLibFrom = adLibFrom.value_or(reached);
                    reading.driftLines
                        = std::max(reading.driftLines, std::abs(reached - *adLibFrom));
                    continue;
                }
                // The word due now, by its share of the sentence's letters.
                const double share = (double(clock.elapsed()) - start) / m_ms.value(key);
                const int spoken = m_store->lines().lineFromChar(at + int(share * text.size()));
                const bool near = std::abs(spoken - std::floor(reached)) <= 1;
                if (jumpedAt >= 0 && !reading.recoveryS) {
                    // Found again once it stays within a line for a second.
                    recoveredSince = near
                        ? (recoveredSince < 0 ? double(clock.elapsed()) : recoveredSince)
                        : -1;
                    if (recoveredSince >= 0 && clock.elapsed() - recoveredSince >= 1000)
                        reading.recoveryS = (recoveredSince - jumpedAt) / 1000.0;
                    continue; // the time to find it is judged on its own
                }
                if (clock.elapsed() < 3000)
                    continue;
                ++reading.samples;
                reading.within += near;
            }
            player.waitForFinished(5000);
        }
        m_cpuSeconds += processCpuSeconds() - cpuBefore;
        m_readingSeconds += double(clock.elapsed()) / 1000.0;
        m_verdict.control<QToolButton>(m_window, "cmdreset")->click();
        return reading;
    }
    // The program's share of a core over the readings.
    double cpuShare() const { return m_cpuSeconds / std::max(1.0, m_readingSeconds); }

private:
    void synthesise(const Voice &voice, const QString &text, const QString &wave, bool noisy)
    {
        const QString path = wave + QStringLiteral(".wav");
        if (!say(voice, text, path) || (noisy && !addNoise(path)))
            m_verdict.abandon(voice.program + QStringLiteral(" is missing or failed"));
        const QString key = wave.section(QLatin1Char(' '), -1);
        m_waves.insert(key, path);
        m_ms.insert(key, waveMs(path));
    }

    Verdict &m_verdict;
    frmMain &m_window;
    PromptBox *m_store;
    QScrollBar *m_speed;
    QString m_script;
    QHash<QString, QString> m_waves; // by "paragraph-sentence" or "adN"
    QHash<QString, double> m_ms;
    double m_cpuSeconds = 0;
    double m_readingSeconds = 0;
};

// A script of about the given size in English words of many kinds, as the dictionary spells
// them, a few common ones often and most rarely: the vocabulary of a long real script.
QString longScript(qsizetype bytes, Verdict &verdict)
{
    QFile dictionary(QStringLiteral("/usr/share/pocketsphinx/model/en-us/cmudict-en-us.dict"));
    if (!dictionary.open(QIODevice::ReadOnly))
        verdict.abandon(QStringLiteral("the speech model is not installed"));
    QStringList words;
    while (!dictionary.atEnd()) {
        const QByteArray word = dictionary.readLine().split(' ').first();
        if (!word.contains('(') && !word.contains('\''))
            words << QString::fromLatin1(word);
    }
    QRandomGenerator random(42);
    QString text;
    text.reserve(bytes + 100);
    for (int sentence = 1; text.size() < bytes; ++sentence) {
        const int length = 6 + int(random.bounded(14));
        for (int w = 0; w < length; ++w) {
            // Zipf-like: the rank's share falls as one over the rank.
            const double rank = std::pow(double(words.size()), random.generateDouble());
            text += words[std::min(qsizetype(rank) - 1, words.size() - 1)];
            text += w + 1 < length ? QLatin1Char(' ') : QLatin1Char('.');
        }
        text += sentence % 5 == 0 ? QLatin1Char('\n') : QLatin1Char(' ');
    }
    return text;
}

qint64 statusKb(const char *field)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith(field))
            return line.mid(qstrlen(field)).trimmed().split(' ').first().toLongLong();
    }
    return -1;
}

// Following started on a long script, without a window: how long the window thread was held
// at once at most until following was ready, and the peak of memory added.
void startLong(Verdict &verdict, qsizetype bytes, bool judgeBlock, bool judgeMemory)
{
    const QString script = longScript(bytes, verdict);
    const QString size = QStringLiteral("%1 MB").arg(bytes >> 20);
    const qint64 before = statusKb("VmRSS:");
    QFile refs(QStringLiteral("/proc/self/clear_refs"));
    const bool peakReset = refs.open(QIODevice::WriteOnly) && refs.write("5") == 1;
    refs.close();
    VoiceFollow follow;
    QElapsedTimer clock;
    clock.start();
    follow.start(script);
    qint64 longest = clock.elapsed();
    qint64 last = clock.elapsed();
    QTimer beat;
    QObject::connect(&beat, &QTimer::timeout, [&] {
        longest = std::max(longest, clock.elapsed() - last);
        last = clock.elapsed();
    });
    beat.start(5);
    QString failure;
    QObject::connect(&follow, &VoiceFollow::failed, [&](const QString &m) { failure = m; });
    while (!follow.isReady() && failure.isEmpty() && clock.elapsed() < 300000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    const double readyS = double(clock.elapsed()) / 1000.0;
    verdict.require(follow.isReady(), size + QStringLiteral(" following got ready ") + failure);
    verdict.inform(size + QStringLiteral(" script: following ready after"), readyS, "s");
    if (judgeBlock)
        verdict.judge(size
                + QStringLiteral(" script: longest hold of the window thread from Start "
                                 "until following is ready"),
            double(longest), "ms", Verdict::Bound::AtMost, 100, 0);
    if (judgeMemory) {
        verdict.require(peakReset, QStringLiteral("the peak of memory could be reset"));
        verdict.judge(size + QStringLiteral(" script: peak memory added until following is ready"),
            double(statusKb("VmHWM:") - before) / 1024.0, "MB", Verdict::Bound::Below, 200, 0);
    }
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
    if (!writeFile(SettingsFile::path(), "36\r\n65535\r\n0\r\n255\r\n5\r\n56\r\n"))
        verdict.abandon(QStringLiteral("cannot write settings.ini"));

    startLong(verdict, 1 << 20, true, false);
    startLong(verdict, 10 << 20, false, true);

    frmMain window;
    window.show();
    if (!QTest::qWaitForWindowExposed(&window))
        verdict.abandon(QStringLiteral("the window is not shown"));
    QTest::keyClick(&window, Qt::Key_V);
    Bench bench(verdict, window);

    // Straight through, every voice; with espeak-ng a pause of 5 s after two paragraphs.
    for (const Voice &voice : kVoices) {
        bench.speak(voice, folder, false);
        QList<Part> parts = paragraphs({ 0, 1, 2 });
        if (voice.name == QLatin1String("espeak-ng"))
            parts[8].pauseMs = 5000;
        const Reading reading = bench.read(parts);
        verdict.require(reading.samples > 100,
            QStringLiteral("%1 straight was sampled (%2)").arg(voice.name).arg(reading.samples));
        verdict.judge(QStringLiteral("%1, straight: time within one line").arg(voice.name),
            100.0 * reading.within / std::max(1, reading.samples), "%", Verdict::Bound::AtLeast,
            95);
        if (reading.stopS)
            verdict.judge(
                QStringLiteral("%1, straight: the scroll stopped after the speech stopped")
                    .arg(voice.name),
                *reading.stopS, "s", Verdict::Bound::AtMost, 1.5, 2);
    }
    const Voice &espeak = kVoices.first();
    bench.speak(espeak, folder, true);
    const Reading noisy = bench.read(paragraphs({ 0, 1, 2 }));
    verdict.judge(QStringLiteral("espeak-ng, noise 15 dB below: time within one line"),
        100.0 * noisy.within / std::max(1, noisy.samples), "%", Verdict::Bound::AtLeast, 90);

    bench.speak(espeak, folder, false);
    const auto jumped = [](QList<Part> parts, int at) {
        parts[at].jump = true;
        return parts;
    };
    QList<Part> sentenceSkipped = paragraphs({ 0, 1 });
    sentenceSkipped.removeAt(5);
    QList<Part> paragraphSkipped = paragraphs({ 0, 2, 3 });
    QList<Part> readAgain = paragraphs({ 0, 1, 2, 1, 2 });
    const struct {
        const char *name;
        QList<Part> parts;
    } jumps[] = { { "a sentence skipped", jumped(sentenceSkipped, 5) },
        { "a paragraph skipped", jumped(paragraphSkipped, 4) },
        { "a paragraph read again after the next", jumped(readAgain, 12) } };
    for (const auto &jump : jumps) {
        const Reading reading = bench.read(jump.parts);
        verdict.inform(
            QStringLiteral("espeak-ng, %1: time within one line, the search aside").arg(jump.name),
            100.0 * reading.within / std::max(1, reading.samples), "%");
        verdict.require(reading.recoveryS.has_value(),
            QStringLiteral("espeak-ng, %1: followed again").arg(jump.name));
        verdict.judge(QStringLiteral("espeak-ng, %1: following again after").arg(jump.name),
            reading.recoveryS.value_or(99), "s of speech", Verdict::Bound::AtMost, 4);
    }
    QList<Part> adLibbed = paragraphs({ 0, 1 });
    adLibbed.insert(4, { -1, 0, 700 });
    adLibbed.insert(5, { -1, 1, 0 });
    const Reading adLib = bench.read(adLibbed);
    verdict.judge(QStringLiteral("espeak-ng, two ad-libbed sentences: drift"), adLib.driftLines,
        "lines", Verdict::Bound::Below, 0.5, 2);
    verdict.inform(QStringLiteral("espeak-ng, two ad-libbed sentences: time within one line"),
        100.0 * adLib.within / std::max(1, adLib.samples), "%");

    const double cpu = bench.cpuShare();
    verdict.judge(QStringLiteral("CPU while following, share of one core"), 100.0 * cpu, "%",
        Verdict::Bound::AtMost, 30);
    QProcess::execute(
        QStringLiteral("bash"), { QStringLiteral(PULSE_FIXTURE), QStringLiteral("stop"), pulse });
    return verdict.exitCode();
}
