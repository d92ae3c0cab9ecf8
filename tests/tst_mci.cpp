#include "SyntheticAudio.h"
#include "TestSupport.h"
#include "WaveProbe.h"

#include "platform/Mci.h"
#include "platform/MciCommand.h"
#include "recorder/WaveFile.h"

#include <QDir>
#include <QFile>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QString kOpen = QStringLiteral("open new Type waveaudio Alias recSound");
const QString kSet = QStringLiteral("set recSound time format ms bitspersample 16 channels 2 "
                                    "samplespersec 44100 bytespersec 176400 alignment 4");

qint32 send(const QString &command)
{
    QString ret;
    return mciSendStringA(command, ret, 1024, 0);
}

qint32 code(MciError error)
{
    return qint32(error);
}

QStringList takeFiles()
{
    return QDir::temp().entryList({ QStringLiteral("tellvane-take-*") }, QDir::Files);
}

} // namespace

class tst_Mci : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();

    void answersCommands_data();
    void answersCommands();
    void givesEveryCodeItsOwnText();
    void cutsErrorTextToTheBuffer();
    void takesTheSavePathWhole_data();
    void takesTheSavePathWhole();
    void savesTheTakeAsWave();
    void savesNothingBeforeOpen();
    void closeAllDiscardsTheTake();
    void playsFromTheStartAfterStop();
    void playsFromAPosition();
    void reportsMissingDevices_data();
    void reportsMissingDevices();
    void refusesATakeTooLongForWave();
    void leavesNoFileWhenSavingFails();
    void keepsTheOldWaveWhenTheDiskFills_data();
    void keepsTheOldWaveWhenTheDiskFills();

private:
    SyntheticAudio m_audio;
    QTemporaryDir m_dir;
    QTemporaryDir m_temp;
};

// Takes go to a folder of this test's own, which tests running beside it leave alone.
void tst_Mci::initTestCase()
{
    QVERIFY(m_temp.isValid());
    qputenv("TMPDIR", QFile::encodeName(m_temp.path()));
    QCOMPARE(QDir::tempPath(), m_temp.path());
}

void tst_Mci::init()
{
    m_audio = SyntheticAudio();
    installWaveAudioDriver(m_audio.factory());
}

void tst_Mci::cleanup()
{
    send(QStringLiteral("close all"));
    // A closed element leaves no take behind.
    QVERIFY(takeFiles().isEmpty());
}

void tst_Mci::answersCommands_data()
{
    // Each command is sent after "close all" and the recorder's own open.
    QTest::addColumn<QString>("command");
    QTest::addColumn<MciError>("result");
    auto row = [](const char *name, const QString &command, MciError result) {
        QTest::newRow(name) << command << result;
    };
    row("close all", QStringLiteral("close all"), MciError::None);
    row("close one", QStringLiteral("close recSound"), MciError::None);
    row("set format", kSet, MciError::None);
    row("keywords any case",
        kSet.toUpper().replace(QStringLiteral("RECSOUND"), QStringLiteral("recSound")),
        MciError::None);
    row("alias any case", QStringLiteral("record RECSOUND"), MciError::None);
    row("extra blanks", QStringLiteral("  record   recSound  "), MciError::None);
    row("record", QStringLiteral("record recSound"), MciError::None);
    row("stop idle", QStringLiteral("stop recSound"), MciError::None);
    row("play", QStringLiteral("play recSound from 0"), MciError::None);
    row("play without from", QStringLiteral("play recSound"), MciError::None);
    row("second open", QStringLiteral("open new Type waveaudio Alias other"), MciError::None);

    row("empty", QString(), MciError::UnknownCommand);
    row("unknown verb", QStringLiteral("rewind recSound"), MciError::UnknownCommand);
    row("no device", QStringLiteral("record"), MciError::MissingParameter);
    row("unknown alias", QStringLiteral("record voice"), MciError::UnknownDevice);
    row("save unknown alias", QStringLiteral("save voice a.wav wait"), MciError::UnknownDevice);
    row("alias in use", kOpen, MciError::AliasInUse);
    row("no driver", QStringLiteral("open new Type cdaudio Alias cd"), MciError::NoDriver);
    row("open without alias", QStringLiteral("open new Type waveaudio"),
        MciError::MissingParameter);
    row("open without type", QStringLiteral("open new Alias other"), MciError::MissingParameter);
    row("open dangling keyword", QStringLiteral("open new Type"), MciError::MissingParameter);
    row("open a file", QStringLiteral("open take.wav Type waveaudio Alias other"),
        MciError::BadParameter);
    row("open unknown keyword", QStringLiteral("open new Kind waveaudio Alias other"),
        MciError::BadParameter);
    row("set nothing", QStringLiteral("set recSound"), MciError::MissingParameter);
    row("set mono", QStringLiteral("set recSound channels 1"), MciError::UnsupportedFormat);
    row("set 8 bits", QStringLiteral("set recSound bitspersample 8"), MciError::UnsupportedFormat);
    row("set 48 kHz", QStringLiteral("set recSound samplespersec 48000"),
        MciError::UnsupportedFormat);
    row("set bytes", QStringLiteral("set recSound bytespersec 88200"), MciError::UnsupportedFormat);
    row("set alignment", QStringLiteral("set recSound alignment 2"), MciError::UnsupportedFormat);
    row("set frames", QStringLiteral("set recSound time format frames"),
        MciError::UnsupportedFormat);
    row("set no value", QStringLiteral("set recSound channels"), MciError::MissingParameter);
    row("set word value", QStringLiteral("set recSound channels two"), MciError::BadParameter);
    row("set unknown", QStringLiteral("set recSound volume 5"), MciError::BadParameter);
    row("set time without format", QStringLiteral("set recSound time base ms"),
        MciError::BadParameter);
    row("record extra", QStringLiteral("record recSound insert"), MciError::BadParameter);
    row("stop extra", QStringLiteral("stop recSound now"), MciError::BadParameter);
    row("play to", QStringLiteral("play recSound to 5"), MciError::BadParameter);
    row("play from word", QStringLiteral("play recSound from start"), MciError::BadParameter);
    row("play from negative", QStringLiteral("play recSound from -1"), MciError::BadParameter);
    row("play from too far", QStringLiteral("play recSound from 4294967296"),
        MciError::BadParameter);
    row("play past the end", QStringLiteral("play recSound from 4294967295"), MciError::None);
    row("play from nothing", QStringLiteral("play recSound from"), MciError::MissingParameter);
    row("save no path", QStringLiteral("save recSound"), MciError::MissingParameter);
}

void tst_Mci::answersCommands()
{
    QFETCH(QString, command);
    QFETCH(MciError, result);
    QCOMPARE(send(QStringLiteral("close all")), 0);
    QCOMPARE(send(kOpen), 0);
    QString ret = QStringLiteral("stale");
    QCOMPARE(mciSendStringA(command, ret, 1024, 0), code(result));
    QVERIFY(ret.isEmpty());
}

void tst_Mci::givesEveryCodeItsOwnText()
{
    QSet<QString> texts;
    const QList<MciError> failures = { MciError::UnknownCommand, MciError::MissingParameter,
        MciError::BadParameter, MciError::UnknownDevice, MciError::AliasInUse, MciError::NoDriver,
        MciError::UnsupportedFormat, MciError::NoInputDevice, MciError::NoOutputDevice,
        MciError::DeviceFailure, MciError::TakeStorageFailed, MciError::FileWriteFailed,
        MciError::TakeTooLong, MciError(9999) };
    for (MciError failure : failures) {
        QString text;
        mciGetErrorStringA(code(failure), text, 1024);
        QVERIFY2(!text.isEmpty(), qPrintable(QString::number(code(failure))));
        texts.insert(text);
    }
    QCOMPARE(texts.size(), failures.size());
}

void tst_Mci::cutsErrorTextToTheBuffer()
{
    QString whole;
    QString cut;
    mciGetErrorStringA(code(MciError::NoInputDevice), whole, 1024);
    mciGetErrorStringA(code(MciError::NoInputDevice), cut, 11);
    QCOMPARE(cut, whole.left(10));
}

void tst_Mci::takesTheSavePathWhole_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("path");
    QTest::newRow("short path") << QStringLiteral("save recSound C:\\TAKES\\TAKE1~1.WAV wait")
                                << QStringLiteral("C:\\TAKES\\TAKE1~1.WAV");
    QTest::newRow("blanks unquoted") << QStringLiteral("save recSound /tmp/my takes/a b.wav wait")
                                     << QStringLiteral("/tmp/my takes/a b.wav");
    QTest::newRow("quoted") << QStringLiteral("save recSound \"/tmp/a b.wav\" wait")
                            << QStringLiteral("/tmp/a b.wav");
    QTest::newRow("no wait") << QStringLiteral("save recSound /tmp/a b.wav")
                             << QStringLiteral("/tmp/a b.wav");
    QTest::newRow("upper case") << QStringLiteral("SAVE recSound /tmp/a.wav WAIT")
                                << QStringLiteral("/tmp/a.wav");
    QTest::newRow("wait inside") << QStringLiteral("save recSound /tmp/wait here.wav wait")
                                 << QStringLiteral("/tmp/wait here.wav");
}

void tst_Mci::takesTheSavePathWhole()
{
    QFETCH(QString, command);
    QFETCH(QString, path);
    MciCommand parsed;
    QCOMPARE(parseMciCommand(command, parsed), MciError::None);
    QCOMPARE(parsed.verb, MciCommand::Verb::Save);
    QCOMPARE(parsed.device, QStringLiteral("recSound"));
    QCOMPARE(parsed.path, path);
}

void tst_Mci::savesTheTakeAsWave()
{
    const QString path = m_dir.filePath(QStringLiteral("a take.wav"));
    QCOMPARE(send(kOpen), 0);
    QCOMPARE(send(kSet), 0);
    QCOMPARE(send(QStringLiteral("record recSound")), 0);
    const qint64 first = m_audio.capturedFrames;
    m_audio.feed(30000);
    QCOMPARE(send(QStringLiteral("stop recSound")), 0);
    QCOMPARE(send(QStringLiteral("save recSound ") + path + QStringLiteral(" wait")), 0);

    const WaveProbe wave = readWave(path);
    QVERIFY(wave.opened);
    QCOMPARE(wave.info.format, SF_FORMAT_WAV | SF_FORMAT_PCM_16);
    QCOMPARE(wave.info.channels, 2);
    QCOMPARE(wave.info.samplerate, 44100);
    QCOMPARE(wave.info.frames, 30000);
    for (qint64 i = 0; i < 30000; i += 997) {
        QCOMPARE(wave.samples[size_t(2 * i)], SyntheticAudio::sampleAt(first + i));
        QCOMPARE(wave.samples[size_t(2 * i + 1)], SyntheticAudio::sampleAt(first + i));
    }
    QFile header(path);
    QVERIFY(header.open(QIODevice::ReadOnly));
    const QByteArray riff = header.read(12);
    QCOMPARE(riff.left(4), QByteArray("RIFF"));
    QCOMPARE(riff.mid(8, 4), QByteArray("WAVE"));
}

void tst_Mci::savesNothingBeforeOpen()
{
    const QString path = m_dir.filePath(QStringLiteral("none.wav"));
    QCOMPARE(send(QStringLiteral("save recSound ") + path + QStringLiteral(" wait")),
        code(MciError::UnknownDevice));
    QVERIFY(!QFile::exists(path));
}

void tst_Mci::closeAllDiscardsTheTake()
{
    QVERIFY(takeFiles().isEmpty());
    QCOMPARE(send(kOpen), 0);
    QCOMPARE(send(QStringLiteral("record recSound")), 0);
    m_audio.feed(1000);
    QCOMPARE(send(QStringLiteral("save recSound ") + m_dir.filePath(QStringLiteral("first.wav"))
                 + QStringLiteral(" wait")),
        0);
    QCOMPARE(takeFiles().size(), 1);
    QCOMPARE(send(QStringLiteral("close all")), 0);
    QVERIFY(!m_audio.sink);
    QVERIFY(takeFiles().isEmpty());

    // The next element starts empty.
    const QString path = m_dir.filePath(QStringLiteral("second.wav"));
    QCOMPARE(send(kOpen), 0);
    QCOMPARE(send(QStringLiteral("record recSound")), 0);
    m_audio.feed(500);
    QCOMPARE(send(QStringLiteral("save recSound ") + path + QStringLiteral(" wait")), 0);
    QCOMPARE(readWave(path).info.frames, 500);
}

void tst_Mci::playsFromTheStartAfterStop()
{
    QCOMPARE(send(kOpen), 0);
    QCOMPARE(send(QStringLiteral("record recSound")), 0);
    const qint64 first = m_audio.capturedFrames;
    m_audio.feed(5000);
    QCOMPARE(send(QStringLiteral("stop recSound")), 0);
    QCOMPARE(send(QStringLiteral("stop recSound")), 0);

    QCOMPARE(send(QStringLiteral("play recSound from 0")), 0);
    QVERIFY(m_audio.source);
    QCOMPARE(m_audio.pull(1000).front(), SyntheticAudio::sampleAt(first));
    // Stop during playback ends it; playing again starts over.
    QCOMPARE(send(QStringLiteral("stop recSound")), 0);
    QVERIFY(!m_audio.source);
    QCOMPARE(send(QStringLiteral("play recSound from 0")), 0);
    const std::vector<qint16> again = m_audio.pull(10000);
    QCOMPARE(qint64(again.size()), 2 * 5000);
    QCOMPARE(again[2 * 4321], SyntheticAudio::sampleAt(first + 4321));
    QCOMPARE(m_audio.playbackStarts, 2);
}

void tst_Mci::playsFromAPosition()
{
    QCOMPARE(send(kOpen), 0);
    QCOMPARE(send(QStringLiteral("record recSound")), 0);
    const qint64 first = m_audio.capturedFrames;
    m_audio.feed(2 * 44100);
    QCOMPARE(send(QStringLiteral("stop recSound")), 0);
    QCOMPARE(send(QStringLiteral("play recSound from 1500")), 0);
    const std::vector<qint16> rest = m_audio.pull(2 * 44100);
    QCOMPARE(qint64(rest.size()), 2 * (2 * 44100 - 66150));
    QCOMPARE(rest.front(), SyntheticAudio::sampleAt(first + 66150 + 0));
    QCOMPARE(rest[2], SyntheticAudio::sampleAt(first + 66151));
}

void tst_Mci::reportsMissingDevices_data()
{
    QTest::addColumn<bool>("hasInput");
    QTest::addColumn<bool>("hasOutput");
    QTest::addColumn<MciError>("record");
    QTest::addColumn<MciError>("play");
    QTest::newRow("no input") << false << true << MciError::NoInputDevice << MciError::None;
    QTest::newRow("no output") << true << false << MciError::None << MciError::NoOutputDevice;
}

void tst_Mci::reportsMissingDevices()
{
    QFETCH(bool, hasInput);
    QFETCH(bool, hasOutput);
    QFETCH(MciError, record);
    QFETCH(MciError, play);
    m_audio.hasInput = hasInput;
    m_audio.hasOutput = hasOutput;
    QCOMPARE(send(kOpen), 0);
    QCOMPARE(send(QStringLiteral("record recSound")), code(record));
    QCOMPARE(m_audio.sink != nullptr, record == MciError::None);
    QCOMPARE(send(QStringLiteral("stop recSound")), 0);
    QCOMPARE(send(QStringLiteral("play recSound from 0")), code(play));
}

void tst_Mci::refusesATakeTooLongForWave()
{
    // A sparse file stands in for a take of more than six hours.
    QFile pcm(m_dir.filePath(QStringLiteral("long.pcm")));
    QVERIFY(pcm.open(QIODevice::ReadWrite));
    QVERIFY(pcm.resize(kMaxWaveDataBytes + 4));
    const QString path = m_dir.filePath(QStringLiteral("long.wav"));
    QCOMPARE(writeWaveFile(pcm, pcm.size(), path), MciError::TakeTooLong);
    QVERIFY(!QFile::exists(path));
}

void tst_Mci::leavesNoFileWhenSavingFails()
{
    // The take claims more bytes than it can give: the write stops half way.
    QFile pcm(m_dir.filePath(QStringLiteral("short.pcm")));
    QVERIFY(pcm.open(QIODevice::ReadWrite));
    QVERIFY(pcm.resize(200000));
    const QString path = m_dir.filePath(QStringLiteral("short.wav"));
    QCOMPARE(writeWaveFile(pcm, 400000, path), MciError::FileWriteFailed);
    QVERIFY(!QFile::exists(path));

    QVERIFY(pcm.seek(0));
    const QString nowhere = m_dir.filePath(QStringLiteral("missing folder/a.wav"));
    QCOMPARE(writeWaveFile(pcm, pcm.size(), nowhere), MciError::FileWriteFailed);
}

void tst_Mci::keepsTheOldWaveWhenTheDiskFills_data()
{
    // Files may grow to limit bytes; a take of frames frames needs 44 + 4 * frames.
    QTest::addColumn<int>("frames");
    QTest::addColumn<int>("limit");
    QTest::newRow("full in the header") << 1000 << 20;
    QTest::newRow("full in the last buffered bytes") << 1000 << 3000;
    QTest::newRow("full after many chunks") << 200000 << 500000;
}

void tst_Mci::keepsTheOldWaveWhenTheDiskFills()
{
    QFETCH(int, frames);
    QFETCH(int, limit);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("take.wav"));
    {
        QFile old(path);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("old take");
    }
    QFile pcm(dir.filePath(QStringLiteral("take.pcm")));
    QVERIFY(pcm.open(QIODevice::ReadWrite));
    QVERIFY(pcm.resize(qint64(frames) * kTakeFrameBytes));
    QVERIFY(pcm.seek(0));

    MciError result = MciError::None;
    {
        const FileSizeLimit full{rlim_t(limit)};
        result = writeWaveFile(pcm, pcm.size(), path);
    }
    QCOMPARE(result, MciError::FileWriteFailed);
    QFile old(path);
    QVERIFY(old.open(QIODevice::ReadOnly));
    QCOMPARE(old.readAll(), QByteArray("old take"));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
        QStringList({ QStringLiteral("take.pcm"), QStringLiteral("take.wav") }));
}

QTEST_GUILESS_MAIN(tst_Mci)
#include "tst_mci.moc"
