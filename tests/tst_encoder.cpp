#include "TestSupport.h"
#include "WaveProbe.h"

#include "recorder/OcxLame.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

namespace
{

// One encoding watched to its end; the direct connection sees the thread that emits.
struct Watch {
    Watch(OcxLame &lame, const QString &mp3)
    {
        QObject::connect(
            &lame, &OcxLame::Progress, &lame,
            [this, mp3](int percent) {
                onUiThread &= QThread::currentThread() == QCoreApplication::instance()->thread();
                percents.append(percent);
                if (percent == 100)
                    fileAtHundred = fileBytes(mp3);
            },
            Qt::DirectConnection);
        QObject::connect(
            &lame, &OcxLame::Failed, &lame, [this](const QString &why) { failures << why; });
    }
    bool waitForEnd()
    {
        return QTest::qWaitFor(
            [this] { return percents.contains(100) || !failures.empty(); }, 120000);
    }
    // From 0 up, never going down, one 100 and last, all on the user-interface thread.
    bool wellFormed() const
    {
        return std::is_sorted(percents.begin(), percents.end()) && percents.first() >= 0
            && percents.count(100) == 1 && percents.last() == 100 && onUiThread;
    }

    QList<int> percents;
    QStringList failures;
    QByteArray fileAtHundred;
    bool onUiThread = true;
};

} // namespace

class tst_Encoder : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QString path(const QString &name) const { return m_dir.filePath(name); }

private Q_SLOTS:
    void encodes_data()
    {
        QTest::addColumn<QString>("bitrate");
        QTest::addColumn<int>("rate");
        QTest::addColumn<int>("channels");
        QTest::addColumn<int>("format");
        for (const char *kbps : { "128", "96", "64", "56", " 32 " })
            QTest::newRow(kbps) << kbps << 44100 << 2 << int(SF_FORMAT_PCM_16);
        // LAME resamples any PCM WAV to 44,100 Hz.
        QTest::newRow("mono 8-bit 22,050 Hz") << "128" << 22050 << 1 << int(SF_FORMAT_PCM_U8);
        QTest::newRow("stereo 24-bit 48,000 Hz") << "128" << 48000 << 2 << int(SF_FORMAT_PCM_24);
    }
    void encodes()
    {
        QFETCH(QString, bitrate);
        QFETCH(int, rate);
        QFETCH(int, channels);
        QFETCH(int, format);
        const int kbps = bitrate.trimmed().toInt();
        const QString wav = path(QStringLiteral("take one.wav"));
        const QString mp3 = path(QStringLiteral("take one.mp3"));
        QVERIFY(writeTone(wav, 440.0, 2.0, rate, channels, format));
        OcxLame lame;
        lame.SetLibraryPath(path(QStringLiteral("lame_enc.dll")));
        lame.setBitrate(bitrate);
        Watch watch(lame, mp3);
        QVERIFY(lame.EncodeFile(wav, mp3));
        QVERIFY(watch.percents.isEmpty()); // reported later, on this thread's event loop
        QVERIFY(watch.waitForEnd());
        QVERIFY(watch.failures.isEmpty());
        QVERIFY(watch.wellFormed());

        const QByteArray bytes = fileBytes(mp3);
        QCOMPARE(watch.fileAtHundred, bytes);
        const std::vector<FrameHeader> frames = frameHeaders(bytes);
        QVERIFY(!frames.empty());
        QCOMPARE(frames.back().end, bytes.size());
        for (const FrameHeader &h : frames)
            QVERIFY(h.kbps == kbps && h.rate == 44100 && h.jointStereo);
        // The tag, after 4 header bytes and 32 of side information, tells players the
        // encoder's delay and padding; below 64 kbit/s a frame is too small to hold it.
        const bool tagged = kbps >= 64;
        QCOMPARE(bytes.mid(36, 4) == "Info", tagged);

        // Decoded by the lame command, a decoder that is not ours.
        const QStringList decode { QStringLiteral("--quiet"), QStringLiteral("--decode"), mp3,
            path(QStringLiteral("decoded.wav")) };
        QCOMPARE(QProcess::execute(QStringLiteral("lame"), decode), 0);
        const WaveProbe pcm = readWave(path(QStringLiteral("decoded.wav")));
        QCOMPARE(pcm.info.samplerate, 44100);
        QCOMPARE(pcm.info.channels, 2);
        // Untagged, the decoder keeps the encoder's delay less its own (576 - 529) and the
        // padding of the last frame.
        const qint64 extra = pcm.info.frames - 2 * 44100;
        QVERIFY2(tagged ? extra == 0 : extra >= 0 && extra <= 47 + 1152,
            qPrintable(QString::number(extra)));
        // A second of it holds the tone within half a hertz, and no noise at 1 kHz.
        for (int channel = 0; channel < 2; ++channel) {
            QCOMPARE_GT(amplitudeAt(pcm, channel, 22050, 44100, 440.0), 0.4);
            QCOMPARE_LT(amplitudeAt(pcm, channel, 22050, 44100, 1000.0), 0.01);
        }
    }

    void failsWithoutFile_data()
    {
        QTest::addColumn<QString>("input");
        QTest::addColumn<QString>("output");
        QTest::addColumn<QString>("bitrate");
        QTest::newRow("missing input") << "missing.wav"
                                       << "out.mp3"
                                       << "128";
        QTest::newRow("three channels") << "three.wav"
                                        << "out.mp3"
                                        << "128";
        QTest::newRow("output is a folder") << "tone.wav"
                                            << "folder.mp3"
                                            << "128";
        // Refused at once: no signal follows.
        for (const char *refused : { "", "128k", "100" })
            QTest::addRow("bit rate \"%s\"", refused) << "tone.wav"
                                                      << "out.mp3" << refused;
    }
    void failsWithoutFile()
    {
        QFETCH(QString, input);
        QFETCH(QString, output);
        QFETCH(QString, bitrate);
        QTemporaryDir dir;
        QVERIFY(writeTone(dir.filePath(QStringLiteral("tone.wav")), 440.0, 1.0));
        QVERIFY(writeTone(dir.filePath(QStringLiteral("three.wav")), 440.0, 1.0, 44100, 3));
        QVERIFY(QDir(dir.path()).mkpath(QStringLiteral("folder.mp3")));
        const auto entries = [&dir] {
            return QDir(dir.path())
                .entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
        };
        const QStringList before = entries();
        OcxLame lame;
        lame.setBitrate(bitrate);
        Watch watch(lame, dir.filePath(output));
        const bool started = bitrate == QLatin1StringView("128");
        QCOMPARE(lame.EncodeFile(dir.filePath(input), dir.filePath(output)), started);
        QCOMPARE(lame.isEncoding(), started);
        QVERIFY(!started || watch.waitForEnd());
        QCoreApplication::sendPostedEvents();
        QCOMPARE(watch.failures.size(), started ? 1 : 0);
        QVERIFY(!watch.failures.contains(QString()) && !watch.percents.contains(100));
        QCOMPARE(entries(), before);
    }

    // A second file is refused while one is being encoded, taken once it has ended, and
    // not written when the control is destroyed before it is done.
    void oneEncodingAtATime()
    {
        const QString wav = path(QStringLiteral("long.wav"));
        const QString mp3 = path(QStringLiteral("long.mp3"));
        QVERIFY(writeTone(wav, 440.0, 120.0));
        {
            OcxLame lame;
            lame.setBitrate(QStringLiteral("64"));
            Watch watch(lame, mp3);
            QVERIFY(lame.EncodeFile(wav, mp3));
            QVERIFY(!lame.EncodeFile(wav, path(QStringLiteral("other.mp3"))));
            QVERIFY(watch.waitForEnd() && QFile::remove(mp3));
            QVERIFY(lame.EncodeFile(wav, mp3));
        }
        QCoreApplication::sendPostedEvents();
        QVERIFY(!QFile::exists(mp3) && !QFile::exists(path(QStringLiteral("other.mp3"))));
    }
};

QTEST_GUILESS_MAIN(tst_Encoder)
#include "tst_encoder.moc"
