#include "Mp3Probe.h"
#include "WaveProbe.h"

#include "recorder/OcxLame.h"

#include <QDir>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

namespace {

constexpr double kToneHz = 440.0;

// One encoding watched to its end; the direct connection sees the thread that emits.
struct Watch {
    Watch(OcxLame &lame, const QString &mp3)
        : progress(&lame, &OcxLame::Progress), failed(&lame, &OcxLame::Failed)
    {
        QObject::connect(&lame, &OcxLame::Progress, &lame, [this, mp3](int percent) {
            offUiThread |= QThread::currentThread() != QCoreApplication::instance()->thread();
            if (percent == 100)
                fileAtHundred = fileBytes(mp3);
        }, Qt::DirectConnection);
    }
    bool waitForEnd()
    {
        return QTest::qWaitFor([this] { return hundreds() > 0 || !failed.isEmpty(); }, 120000);
    }
    int hundreds() const
    {
        return int(std::count_if(progress.begin(), progress.end(),
                                 [](const QList<QVariant> &args) { return args.at(0) == 100; }));
    }
    // Within 0-100, never going down, one 100 and last, all on the user-interface thread.
    bool wellFormed() const
    {
        int last = -1;
        for (const QList<QVariant> &args : progress) {
            if (args.at(0).toInt() < last || args.at(0).toInt() > 100)
                return false;
            last = args.at(0).toInt();
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
    void encodes_data();
    void encodes();
    void failsWithoutFile_data();
    void failsWithoutFile();
    void oneEncodingAtATime();
    void destroyingStopsWithoutFile();

private:
    QTemporaryDir m_dir;
};

void tst_Encoder::encodes_data()
{
    QTest::addColumn<QString>("bitrate");
    QTest::addColumn<int>("rate");
    QTest::addColumn<int>("channels");
    QTest::addColumn<int>("format");
    for (const char *kbps : {"128", "96", "64", "56", " 32 "})
        QTest::newRow(kbps) << kbps << 44100 << 2 << int(SF_FORMAT_PCM_16);
    // LAME resamples any PCM WAV to 44,100 Hz.
    QTest::newRow("mono 8-bit 22,050 Hz") << "128" << 22050 << 1 << int(SF_FORMAT_PCM_U8);
    QTest::newRow("mono 16-bit 8,000 Hz") << "128" << 8000 << 1 << int(SF_FORMAT_PCM_16);
    QTest::newRow("stereo 24-bit 48,000 Hz") << "128" << 48000 << 2 << int(SF_FORMAT_PCM_24);
    QTest::newRow("stereo 32-bit 96,000 Hz") << "128" << 96000 << 2 << int(SF_FORMAT_PCM_32);
}

void tst_Encoder::encodes()
{
    QFETCH(QString, bitrate);
    QFETCH(int, rate);
    QFETCH(int, channels);
    QFETCH(int, format);
    const int kbps = bitrate.trimmed().toInt();
    const QString wav = m_dir.filePath(QStringLiteral("take one.wav"));
    const QString mp3 = m_dir.filePath(QStringLiteral("take one.mp3"));
    QVERIFY(writeTone(wav, kToneHz, 2.0, rate, channels, format));

    OcxLame lame;
    lame.SetLibraryPath(m_dir.filePath(QStringLiteral("lame_enc.dll")));
    lame.setBitrate(bitrate);
    Watch watch(lame, mp3);
    QVERIFY(lame.EncodeFile(wav, mp3));
    QCOMPARE(watch.progress.count(), 0); // reported later, on this thread's event loop
    QVERIFY(watch.waitForEnd());
    QCOMPARE(watch.failed.count(), 0);
    QVERIFY(watch.wellFormed());

    const QByteArray bytes = fileBytes(mp3);
    QCOMPARE(watch.fileAtHundred, bytes);
    const std::vector<FrameHeader> frames = frameHeaders(bytes);
    QVERIFY(!frames.empty());
    QCOMPARE(frames.back().offset + frames.back().length, bytes.size());
    for (const FrameHeader &h : frames)
        QVERIFY(h.kbps == kbps && h.rate == 44100 && h.jointStereo);
    // The tag, after 4 header bytes and 32 of side information, tells players the encoder's
    // delay and padding; below 64 kbit/s a frame is too small to hold it.
    const bool tagged = kbps >= 64;
    QCOMPARE(bytes.mid(36, 4) == "Info", tagged);

    // Decoded by the lame command, a decoder that is not ours.
    const QString decoded = mp3 + QStringLiteral(".wav");
    QCOMPARE(QProcess::execute(QStringLiteral("lame"),
                               {QStringLiteral("--quiet"), QStringLiteral("--decode"), mp3, decoded}),
             0);
    const WaveProbe pcm = readWave(decoded);
    QCOMPARE(pcm.info.samplerate, 44100);
    QCOMPARE(pcm.info.channels, 2);
    const qint64 extra = pcm.info.frames - 2 * 44100;
    // Untagged, the decoder keeps the encoder's delay less its own (576 - 529) and the
    // padding of the last frame.
    QVERIFY2(tagged ? extra == 0 : extra >= 0 && extra <= 47 + 1152,
             qPrintable(QString::number(extra)));
    // A second of it holds the tone within half a hertz, and no noise at 1 kHz.
    for (int channel = 0; channel < 2; ++channel) {
        QCOMPARE_GT(amplitudeAt(pcm, channel, 22050, 44100, kToneHz), 0.4);
        QCOMPARE_LT(amplitudeAt(pcm, channel, 22050, 44100, 1000.0), 0.01);
    }
}

void tst_Encoder::failsWithoutFile_data()
{
    QTest::addColumn<QString>("input");
    QTest::addColumn<QString>("output");
    QTest::addColumn<QString>("bitrate");
    QTest::newRow("missing input") << "missing.wav" << "out.mp3" << "128";
    QTest::newRow("text named .wav") << "text.wav" << "out.mp3" << "128";
    QTest::newRow("three channels") << "three.wav" << "out.mp3" << "128";
    QTest::newRow("output folder missing") << "tone.wav" << "no such folder/out.mp3" << "128";
    QTest::newRow("output is a folder") << "tone.wav" << "folder.mp3" << "128";
    // Refused at once: no signal follows.
    QTest::newRow("bit rate empty") << "tone.wav" << "out.mp3" << "";
    QTest::newRow("bit rate with unit") << "tone.wav" << "out.mp3" << "128k";
    QTest::newRow("bit rate zero") << "tone.wav" << "out.mp3" << "0";
    QTest::newRow("no such MP3 bit rate") << "tone.wav" << "out.mp3" << "100";
}

void tst_Encoder::failsWithoutFile()
{
    QFETCH(QString, input);
    QFETCH(QString, output);
    QFETCH(QString, bitrate);
    QTemporaryDir dir;
    QVERIFY(writeTone(dir.filePath(QStringLiteral("tone.wav")), kToneHz, 1.0));
    QVERIFY(writeTone(dir.filePath(QStringLiteral("three.wav")), kToneHz, 1.0, 44100, 3));
    QFile text(dir.filePath(QStringLiteral("text.wav")));
    QVERIFY(text.open(QIODevice::WriteOnly) && text.write(QByteArray(4096, 'x')) == 4096);
    text.close();
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("folder.mp3")));
    const auto entries = [&dir] {
        return QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden)
            + QDir(dir.filePath(QStringLiteral("folder.mp3"))).entryList(QDir::NoDotAndDotDot);
    };
    const QStringList before = entries();

    OcxLame lame;
    lame.setBitrate(bitrate);
    Watch watch(lame, dir.filePath(output));
    const bool started = bitrate == QLatin1StringView("128");
    QCOMPARE(lame.EncodeFile(dir.filePath(input), dir.filePath(output)), started);
    QCOMPARE(lame.isEncoding(), started);
    if (started)
        QVERIFY(watch.waitForEnd());
    QCoreApplication::sendPostedEvents();
    QCOMPARE(watch.failed.count(), started ? 1 : 0);
    QVERIFY(!started || !watch.failed.at(0).at(0).toString().isEmpty());
    QCOMPARE(watch.hundreds(), 0);
    QCOMPARE(entries(), before);
}

void tst_Encoder::oneEncodingAtATime()
{
    const QString wav = m_dir.filePath(QStringLiteral("in.wav"));
    const QString first = m_dir.filePath(QStringLiteral("first.mp3"));
    const QString second = m_dir.filePath(QStringLiteral("second.mp3"));
    QVERIFY(writeTone(wav, kToneHz, 1.0));
    OcxLame lame;
    lame.setBitrate(QStringLiteral("64"));
    Watch watch(lame, first);
    QVERIFY(lame.EncodeFile(wav, first));
    QVERIFY(!lame.EncodeFile(wav, second));
    QVERIFY(watch.waitForEnd());
    QVERIFY(watch.wellFormed());
    QVERIFY(QFile::exists(first) && !QFile::exists(second));
    // Once the first has ended, the control takes the next one.
    QVERIFY(lame.EncodeFile(wav, second));
    QTRY_COMPARE_WITH_TIMEOUT(watch.hundreds(), 2, 60000);
    QVERIFY(QFile::exists(second));
}

void tst_Encoder::destroyingStopsWithoutFile()
{
    QTemporaryDir dir;
    const QString wav = dir.filePath(QStringLiteral("long.wav"));
    QVERIFY(writeTone(wav, kToneHz, 120.0));
    {
        OcxLame lame;
        lame.setBitrate(QStringLiteral("128"));
        QVERIFY(lame.EncodeFile(wav, dir.filePath(QStringLiteral("long.mp3"))));
    }
    QCoreApplication::sendPostedEvents();
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"long.wav"});
}

QTEST_GUILESS_MAIN(tst_Encoder)
#include "tst_encoder.moc"
