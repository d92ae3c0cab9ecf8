#include "TestSupport.h"
#include "WaveProbe.h"

#include "recorder/EncodedTake.h"
#include "recorder/OcxLame.h"

#include <QDir>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <fcntl.h>
#include <unistd.h>

enum Outcome { Encoded, Failed, Refused, Destroyed };

class tst_Encoder : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void encodes_data()
    {
        QTest::addColumn<QString>("bitrate");
        QTest::addColumn<QList<int>>("wav"); // channels, rate, format, seconds (2); empty: none
        QTest::addColumn<int>("outcome");
        const auto row = [](const char *name, const char *kbps, Outcome outcome,
                             const QList<int> &wav = { 2, 44100, SF_FORMAT_PCM_16 }) {
            QTest::newRow(name) << QString(kbps) << wav << int(outcome);
        };
        for (const char *kbps : { "128", "96", "64", "56", " 32 " })
            row(kbps, kbps, Encoded);
        row("mono 8-bit 22,050 Hz, resampled", "128", Encoded, { 1, 22050, SF_FORMAT_PCM_U8 });
        row("24-bit 48,000 Hz, resampled", "128", Encoded, { 2, 48000, SF_FORMAT_PCM_24 });
        row("missing input", "128", Failed, {});
        row("three channels", "128", Failed, { 3, 44100, SF_FORMAT_PCM_16 });
        row("bit rate 128k", "128k", Refused);
        row("bit rate 100", "100", Refused);
        row("destroyed before the end", "320", Destroyed, { 2, 44100, SF_FORMAT_PCM_16, 120 });
    }
    void encodes()
    {
        QFETCH(QString, bitrate);
        QFETCH(QList<int>, wav);
        QFETCH(int, outcome);
        QTemporaryDir dir;
        const QString input = dir.filePath(QStringLiteral("take one.wav"));
        const QString mp3 = dir.filePath(QStringLiteral("take one.mp3"));
        QVERIFY(wav.isEmpty() || writeTone(input, 440.0, wav.value(3, 2), wav[1], wav[0], wav[2]));
        const QStringList before = QDir(dir.path()).entryList();
        std::optional<OcxLame> lame(std::in_place);
        lame->setBitrate(bitrate);
        QList<int> percents; // reported later, on this thread (-1: on another one)
        qint64 atHundred = -1; // the MP3's size then
        const auto progress = [&](int percent) {
            percents << (QThread::currentThread() == thread() ? percent : -1);
            atHundred = percent == 100 ? QFileInfo(mp3).size() : atHundred;
        };
        connect(&*lame, &OcxLame::Progress, this, progress, Qt::DirectConnection);
        QSignalSpy failures(&*lame, &OcxLame::Failed);
        QCOMPARE(lame->EncodeFile(input, mp3), outcome != Refused);
        QVERIFY(!lame->EncodeFile(input, input + ".mp3") && percents.isEmpty()); // one at a time
        if (outcome == Destroyed)
            lame.reset(); // stops it
        QVERIFY(QTest::qWaitFor([&] { return !lame || !lame->isEncoding(); }, 120000));
        QVERIFY(std::is_sorted(percents.begin(), percents.end()) && !percents.contains(-1));
        QCOMPARE(percents.count(100), outcome == Encoded ? 1 : 0);
        QCOMPARE(failures.size(), outcome == Failed ? 1 : 0);
        QCOMPARE(QDir(dir.path()).entryList().join('|'),
            outcome == Encoded ? ".|..|take one.mp3|take one.wav" : before.join('|'));
        if (outcome != Encoded)
            return;
        QVERIFY(percents.first() >= 0 && percents.last() == 100);
        const QByteArray bytes = fileBytes(mp3);
        QCOMPARE(atHundred, bytes.size());
        const int kbps = bitrate.trimmed().toInt();
        const std::vector<FrameHeader> frames = frameHeaders(bytes);
        QVERIFY(!frames.empty() && frames.back().end == bytes.size());
        for (const FrameHeader &h : frames)
            QVERIFY(h.kbps == kbps && h.rate == 44100 && h.jointStereo);
        // The tag follows the first header and side information; 32 and 56 kbit/s have no room.
        QCOMPARE(bytes.mid(36, 4) == "Info", kbps >= 64);
        // Decoded by lame; untagged, the delay (576 less lame's 529) and the last padding stay.
        QCOMPARE(QProcess::execute("lame", { "--quiet", "--decode", mp3, input }), 0);
        const WaveProbe pcm = readWave(input);
        const qint64 extra = pcm.info.frames - 2 * 44100;
        QVERIFY(pcm.info.samplerate == 44100 && pcm.info.channels == 2
            && (kbps >= 64 ? extra == 0 : extra >= 0 && extra <= 47 + 1152));
        for (int ch : { 0, 1 }) // the tone, and no noise at 1 kHz
            QVERIFY(amplitudeAt(pcm, ch, 22050, 44100, 440.0) > 0.4
                && amplitudeAt(pcm, ch, 22050, 44100, 1000.0) < 0.01);
        QVERIFY(lame->EncodeFile(input, mp3)); // the next is taken once one has ended
    }
    // An MP3 made while recording is written only while the WAV it was offered for is the
    // file saved (the save's own tests show it written at its rate); stopped, it leaves no file.
    void writesTheMp3MadeWhileRecording_data()
    {
        QTest::addColumn<QString>("what");
        for (const char *name : { "WAV rewritten", "destroyed" })
            QTest::newRow(name) << QString(name);
    }
    void writesTheMp3MadeWhileRecording()
    {
        QFETCH(QString, what);
        QTemporaryDir dir;
        const QString wav = dir.filePath("take.wav"), mp3 = dir.filePath("take.mp3");
        QVERIFY(writeTone(wav, 440.0, 1));
        // A stream in a file of its own; a long one is mostly a hole, quickly made.
        const int fd = ::open(qPrintable(dir.filePath("stream")), O_RDWR | O_CREAT, 0600);
        const qint64 size = what == "destroyed" ? 256 << 20 : 4 << 20;
        QVERIFY(fd >= 0 && ::write(fd, "placeholder frame", 17) == 17 && ftruncate(fd, size) == 0);
        EncodedTake::offer(wav, std::make_shared<const EncodedTake>(fd, "LAME tag", 64, 44100));
        if (what == "WAV rewritten")
            QVERIFY(writeTone(wav, 440.0, 1));
        std::optional<OcxLame> lame(std::in_place);
        lame->setBitrate("64");
        QSignalSpy done(&*lame, &OcxLame::Progress);
        QVERIFY(lame->EncodeFile(wav, mp3));
        if (what == "destroyed") {
            lame.reset();
            QVERIFY(!QFile::exists(mp3));
            return;
        }
        QTRY_VERIFY_WITH_TIMEOUT(!done.isEmpty() && done.last().first() == 100, 30000);
        const QByteArray bytes = fileBytes(mp3); // encoded from the WAV
        QVERIFY(!frameHeaders(bytes).empty() && !bytes.contains("placeholder"));
    }
};

QTEST_GUILESS_MAIN(tst_Encoder)
#include "tst_encoder.moc"
