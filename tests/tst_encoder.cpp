#include "Mp3Probe.h"

#include "recorder/OcxLame.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <sndfile.h>

#include <cmath>
#include <numbers>
#include <vector>

namespace {

constexpr int kFrameSamples = 1152;
constexpr double kToneHz = 440.0;

bool writeTone(const QString &path, int rate, int channels, int format, double seconds)
{
    SF_INFO info{};
    info.samplerate = rate;
    info.channels = channels;
    info.format = SF_FORMAT_WAV | format;
    SNDFILE *file = sf_open(QFile::encodeName(path).constData(), SFM_WRITE, &info);
    if (!file)
        return false;
    const auto frames = sf_count_t(seconds * rate);
    std::vector<double> samples(size_t(frames * channels));
    for (sf_count_t i = 0; i < frames; ++i)
        for (int c = 0; c < channels; ++c)
            samples[size_t(i * channels + c)]
                    = 0.5 * std::sin(2 * std::numbers::pi * kToneHz * double(i) / rate);
    const bool written = sf_writef_double(file, samples.data(), frames) == frames;
    return sf_close(file) == 0 && written;
}

struct Pcm {
    int rate = 0;
    int channels = 0;
    std::vector<double> samples;
    qint64 frames() const { return qint64(samples.size()) / channels; }
};

Pcm readPcm(const QString &path)
{
    Pcm pcm;
    SF_INFO info{};
    SNDFILE *file = sf_open(QFile::encodeName(path).constData(), SFM_READ, &info);
    if (!file)
        return pcm;
    pcm.rate = info.samplerate;
    pcm.channels = info.channels;
    pcm.samples.resize(size_t(info.frames * info.channels));
    pcm.samples.resize(size_t(sf_readf_double(file, pcm.samples.data(), info.frames) * info.channels));
    sf_close(file);
    return pcm;
}

// Upward zero crossings per second of one channel, leaving out a tenth of a second at each end.
double crossingRate(const Pcm &pcm, int channel)
{
    const qint64 first = pcm.rate / 10;
    const qint64 last = pcm.frames() - pcm.rate / 10;
    int crossings = 0;
    for (qint64 i = first + 1; i < last; ++i) {
        const double before = pcm.samples[size_t((i - 1) * pcm.channels + channel)];
        const double now = pcm.samples[size_t(i * pcm.channels + channel)];
        if (before < 0 && now >= 0)
            ++crossings;
    }
    return double(crossings) * pcm.rate / double(last - first);
}

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Progress seen, and whether the MP3 was already complete on disk when 100 arrived.
class Watch
{
public:
    explicit Watch(OcxLame &lame, const QString &mp3) : progress(&lame, &OcxLame::Progress),
                                                        failed(&lame, &OcxLame::Failed)
    {
        // Direct, so that it runs on whichever thread emits.
        QObject::connect(
                &lame, &OcxLame::Progress, &lame,
                [this, mp3](int percent) {
                    offUiThread |= QThread::currentThread() != QCoreApplication::instance()->thread();
                    if (percent == 100)
                        fileAtHundred = readAll(mp3);
                },
                Qt::DirectConnection);
    }
    bool waitForEnd()
    {
        return QTest::qWaitFor([this] { return hundreds() > 0 || failed.count() > 0; }, 120000);
    }
    int hundreds() const
    {
        int n = 0;
        for (const QList<QVariant> &args : progress)
            n += args.at(0).toInt() == 100;
        return n;
    }
    // Every value within 0-100, none lower than the one before, exactly one 100, last, and all
    // of them on the user-interface thread.
    bool wellFormed() const
    {
        int last = -1;
        for (const QList<QVariant> &args : progress) {
            const int percent = args.at(0).toInt();
            if (percent < 0 || percent > 100 || percent < last)
                return false;
            last = percent;
        }
        return last == 100 && hundreds() == 1 && !offUiThread;
    }

    QSignalSpy progress;
    QSignalSpy failed;
    QByteArray fileAtHundred;
    bool offUiThread = false;
};

} // namespace

class tst_Encoder : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void encodesAtEachRate_data();
    void encodesAtEachRate();
    void readsAnyPcmWav_data();
    void readsAnyPcmWav();
    void failureLeavesNoFile_data();
    void failureLeavesNoFile();
    void bitrateText_data();
    void bitrateText();
    void refusesSecondEncodingWhileBusy();
    void destroyingStopsWithoutFile();

private:
    // Decodes with the lame command, a decoder that is not ours.
    Pcm decode(const QString &mp3);

    QString m_lame;
};

void tst_Encoder::initTestCase()
{
    m_lame = QStandardPaths::findExecutable(QStringLiteral("lame"));
    if (m_lame.isEmpty())
        QSKIP("the lame command is needed to decode");
}

Pcm tst_Encoder::decode(const QString &mp3)
{
    const QString wav = mp3 + QStringLiteral(".decoded.wav");
    QProcess lame;
    lame.start(m_lame, {QStringLiteral("--quiet"), QStringLiteral("--decode"), mp3, wav});
    if (!lame.waitForFinished(60000) || lame.exitCode() != 0)
        return {};
    return readPcm(wav);
}

void tst_Encoder::encodesAtEachRate_data()
{
    QTest::addColumn<int>("kbps");
    // Below 64 kbit/s a 44,100 Hz frame is too small for the LAME tag.
    QTest::addColumn<bool>("tagged");
    QTest::newRow("128") << 128 << true;
    QTest::newRow("96") << 96 << true;
    QTest::newRow("64") << 64 << true;
    QTest::newRow("56") << 56 << false;
    QTest::newRow("32") << 32 << false;
}

void tst_Encoder::encodesAtEachRate()
{
    QFETCH(int, kbps);
    QFETCH(bool, tagged);
    QTemporaryDir dir;
    const QString wav = dir.filePath(QStringLiteral("take one.wav"));
    const QString mp3 = dir.filePath(QStringLiteral("take one.mp3"));
    QVERIFY(writeTone(wav, 44100, 2, SF_FORMAT_PCM_16, 3.0));

    OcxLame lame;
    lame.SetLibraryPath(dir.filePath(QStringLiteral("lame_enc.dll")));
    lame.setBitrate(QString::number(kbps));
    Watch watch(lame, mp3);
    QVERIFY(lame.EncodeFile(wav, mp3));
    QCOMPARE(watch.hundreds(), 0); // reported later, on this thread's event loop
    QVERIFY(watch.waitForEnd());
    QCOMPARE(watch.failed.count(), 0);
    QVERIFY(watch.wellFormed());

    const QByteArray bytes = readAll(mp3);
    QCOMPARE(watch.fileAtHundred, bytes);
    const std::vector<FrameHeader> frames = frameHeaders(bytes);
    QVERIFY(!frames.empty());
    QCOMPARE(frames.back().offset + frames.back().length, bytes.size());
    for (const FrameHeader &h : frames) {
        QCOMPARE(h.kbps, kbps);
        QCOMPARE(h.rate, 44100);
        QVERIFY(h.jointStereo);
    }
    // MPEG-1 stereo: 4 header bytes and 32 of side information before the tag.
    QCOMPARE(bytes.mid(36, 4) == "Info", tagged);

    const Pcm decoded = decode(mp3);
    QCOMPARE(decoded.rate, 44100);
    QCOMPARE(decoded.channels, 2);
    const Pcm original = readPcm(wav);
    const qint64 extra = decoded.frames() - original.frames();
    if (tagged) {
        // The tag tells the decoder the encoder's delay and padding.
        QCOMPARE(extra, qint64(0));
    } else {
        // Untrimmed, the decoder keeps the encoder's delay less its own (576 - 529) and up to
        // one frame of padding.
        QVERIFY2(extra >= 0 && extra <= 576 - 529 + kFrameSamples, qPrintable(QString::number(extra)));
    }
    for (int channel = 0; channel < 2; ++channel)
        QCOMPARE_LT(std::abs(crossingRate(decoded, channel) - kToneHz), kToneHz / 100);
}

void tst_Encoder::readsAnyPcmWav_data()
{
    QTest::addColumn<int>("rate");
    QTest::addColumn<int>("channels");
    QTest::addColumn<int>("format");
    QTest::newRow("mono 8-bit 22,050 Hz") << 22050 << 1 << int(SF_FORMAT_PCM_U8);
    QTest::newRow("mono 16-bit 8,000 Hz") << 8000 << 1 << int(SF_FORMAT_PCM_16);
    QTest::newRow("stereo 24-bit 48,000 Hz") << 48000 << 2 << int(SF_FORMAT_PCM_24);
    QTest::newRow("stereo 32-bit 96,000 Hz") << 96000 << 2 << int(SF_FORMAT_PCM_32);
}

// Any rate comes out at 44,100 Hz joint stereo (LAME resamples), as long as the take was.
void tst_Encoder::readsAnyPcmWav()
{
    QFETCH(int, rate);
    QFETCH(int, channels);
    QFETCH(int, format);
    QTemporaryDir dir;
    const QString wav = dir.filePath(QStringLiteral("in.wav"));
    const QString mp3 = dir.filePath(QStringLiteral("out.mp3"));
    const double seconds = 2.0;
    QVERIFY(writeTone(wav, rate, channels, format, seconds));

    OcxLame lame;
    lame.setBitrate(QStringLiteral("128"));
    Watch watch(lame, mp3);
    QVERIFY(lame.EncodeFile(wav, mp3));
    QVERIFY(watch.waitForEnd());
    QCOMPARE(watch.failed.count(), 0);
    QVERIFY(watch.wellFormed());
    for (const FrameHeader &h : frameHeaders(readAll(mp3))) {
        QCOMPARE(h.kbps, 128);
        QCOMPARE(h.rate, 44100);
        QVERIFY(h.jointStereo);
    }

    const Pcm decoded = decode(mp3);
    QCOMPARE(decoded.rate, 44100);
    QCOMPARE(decoded.channels, 2);
    QCOMPARE_LE(std::abs(decoded.frames() - qint64(seconds * 44100)), qint64(kFrameSamples));
    for (int channel = 0; channel < 2; ++channel)
        QCOMPARE_LT(std::abs(crossingRate(decoded, channel) - kToneHz), kToneHz / 100);
}

void tst_Encoder::failureLeavesNoFile_data()
{
    QTest::addColumn<QString>("input");
    QTest::addColumn<QString>("output");
    QTest::newRow("missing input") << "missing.wav" << "out.mp3";
    QTest::newRow("text named .wav") << "text.wav" << "out.mp3";
    QTest::newRow("three channels") << "three.wav" << "out.mp3";
    QTest::newRow("output folder missing") << "tone.wav" << "no such folder/out.mp3";
    QTest::newRow("output is a folder") << "tone.wav" << "folder.mp3";
}

void tst_Encoder::failureLeavesNoFile()
{
    QFETCH(QString, input);
    QFETCH(QString, output);
    QTemporaryDir dir;
    QVERIFY(writeTone(dir.filePath(QStringLiteral("tone.wav")), 44100, 2, SF_FORMAT_PCM_16, 1.0));
    QVERIFY(writeTone(dir.filePath(QStringLiteral("three.wav")), 44100, 3, SF_FORMAT_PCM_16, 1.0));
    QFile text(dir.filePath(QStringLiteral("text.wav")));
    QVERIFY(text.open(QIODevice::WriteOnly));
    text.write(QByteArray(4096, 'x'));
    text.close();
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("folder.mp3")));
    const QStringList before = QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot
                                                          | QDir::Hidden);

    OcxLame lame;
    lame.setBitrate(QStringLiteral("128"));
    const QString mp3 = dir.filePath(output);
    Watch watch(lame, mp3);
    QVERIFY(lame.EncodeFile(dir.filePath(input), mp3));
    QVERIFY(watch.waitForEnd());
    QCOMPARE(watch.failed.count(), 1);
    QVERIFY(!watch.failed.at(0).at(0).toString().isEmpty());
    QCOMPARE(watch.hundreds(), 0);
    QVERIFY(!QFileInfo(mp3).isFile());
    QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
             before);
    QVERIFY(QDir(dir.filePath(QStringLiteral("folder.mp3"))).isEmpty());
}

void tst_Encoder::bitrateText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("accepted");
    QTest::newRow("56") << "56" << true;
    QTest::newRow("blanks around, as the settings file has them") << " 32 " << true;
    QTest::newRow("empty") << "" << false;
    QTest::newRow("word") << "high" << false;
    QTest::newRow("zero") << "0" << false;
    QTest::newRow("negative") << "-128" << false;
    QTest::newRow("fraction") << "128.5" << false;
    QTest::newRow("unit") << "128k" << false;
    QTest::newRow("no such MP3 rate") << "100" << false;
}

void tst_Encoder::bitrateText()
{
    QFETCH(QString, text);
    QFETCH(bool, accepted);
    QTemporaryDir dir;
    const QString wav = dir.filePath(QStringLiteral("in.wav"));
    const QString mp3 = dir.filePath(QStringLiteral("out.mp3"));
    QVERIFY(writeTone(wav, 44100, 2, SF_FORMAT_PCM_16, 0.5));

    OcxLame lame;
    lame.setBitrate(text);
    QCOMPARE(lame.Bitrate(), text);
    Watch watch(lame, mp3);
    QCOMPARE(lame.EncodeFile(wav, mp3), accepted);
    QCOMPARE(lame.isEncoding(), accepted);
    if (!accepted) {
        QCoreApplication::sendPostedEvents();
        QCOMPARE(watch.progress.count(), 0);
        QCOMPARE(watch.failed.count(), 0);
        QVERIFY(!QFile::exists(mp3));
        return;
    }
    QVERIFY(watch.waitForEnd());
    QVERIFY(watch.wellFormed());
    const std::vector<FrameHeader> frames = frameHeaders(readAll(mp3));
    QVERIFY(!frames.empty());
    QCOMPARE(frames.front().kbps, text.trimmed().toInt());
}

void tst_Encoder::refusesSecondEncodingWhileBusy()
{
    QTemporaryDir dir;
    const QString wav = dir.filePath(QStringLiteral("in.wav"));
    QVERIFY(writeTone(wav, 44100, 2, SF_FORMAT_PCM_16, 1.0));
    const QString first = dir.filePath(QStringLiteral("first.mp3"));
    const QString second = dir.filePath(QStringLiteral("second.mp3"));

    OcxLame lame;
    lame.setBitrate(QStringLiteral("64"));
    Watch watch(lame, first);
    QVERIFY(lame.EncodeFile(wav, first));
    QVERIFY(!lame.EncodeFile(wav, second));
    QVERIFY(watch.waitForEnd());
    QVERIFY(watch.wellFormed());
    QVERIFY(QFile::exists(first));
    QVERIFY(!QFile::exists(second));

    // Once the first has ended, the control takes the next one.
    QVERIFY(!lame.isEncoding());
    QSignalSpy progress(&lame, &OcxLame::Progress);
    QVERIFY(lame.EncodeFile(wav, second));
    QTRY_VERIFY_WITH_TIMEOUT(!progress.isEmpty() && progress.last().at(0).toInt() == 100, 60000);
    QVERIFY(QFile::exists(second));
}

void tst_Encoder::destroyingStopsWithoutFile()
{
    QTemporaryDir dir;
    const QString wav = dir.filePath(QStringLiteral("long.wav"));
    const QString mp3 = dir.filePath(QStringLiteral("long.mp3"));
    QVERIFY(writeTone(wav, 44100, 2, SF_FORMAT_PCM_16, 120.0));
    {
        OcxLame lame;
        lame.setBitrate(QStringLiteral("128"));
        QVERIFY(lame.EncodeFile(wav, mp3));
    }
    QCoreApplication::sendPostedEvents();
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"long.wav"});
}

QTEST_GUILESS_MAIN(tst_Encoder)
#include "tst_encoder.moc"
