#include "SyntheticAudio.h"
#include "TestSupport.h"

#include "platform/Mci.h"
#include "platform/MciCommand.h"
#include "recorder/WaveFile.h"

#include <QDir>
#include <QSet>

#include <optional>

namespace {

const QString kOpen = QStringLiteral("open new Type waveaudio Alias recSound");
const QString kSet = QStringLiteral("set recSound time format ms bitspersample 16 channels 2 "
                                    "samplespersec 44100 bytespersec 176400 alignment 4");

MciError send(const QString &command)
{
    QString ret = QStringLiteral("stale");
    const auto result = MciError(mciSendStringA(command, ret, 1024, 0));
    return ret.isEmpty() ? result : MciError(-1); // these commands answer no text
}

QStringList takeFiles()
{
    return QDir::temp().entryList({QStringLiteral("tellvane-take-*")}, QDir::Files);
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
    void takesTheSavePathWhole_data();
    void takesTheSavePathWhole();
    void givesEveryCodeItsOwnText();
    void closeAllDiscardsTheTake();
    void playsFromAPosition();
    void reportsMissingDevices_data();
    void reportsMissingDevices();
    void writesTheWaveWholeOrNotAtAll_data();
    void writesTheWaveWholeOrNotAtAll();

private:
    SyntheticAudio m_audio;
    QTemporaryDir m_temp;
};

// Takes go to a folder of this test's own, which tests running beside it leave alone.
void tst_Mci::initTestCase()
{
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
    QCOMPARE(send(QStringLiteral("close all")), MciError::None);
    QVERIFY(takeFiles().isEmpty());
}

void tst_Mci::answersCommands_data()
{
    // Each command is sent after "close all" and the recorder's own open.
    QTest::addColumn<QString>("command");
    QTest::addColumn<MciError>("result");
    const auto row = [](const char *name, const QString &command, MciError result) {
        QTest::newRow(name) << command << result;
    };
    using enum MciError;
    row("set format", kSet, None);
    row("keywords any case", kSet.toUpper().replace("RECSOUND", "recSound"), None);
    row("alias any case, extra blanks", "  record   RECSOUND  ", None);
    row("close one", "close recSound", None);
    row("play without from", "play recSound", None);
    row("play past the end", "play recSound from 4294967295", None);
    row("second open", "open new Type waveaudio Alias other", None);
    row("empty", "", UnknownCommand);
    row("unknown verb", "rewind recSound", UnknownCommand);
    row("no device", "record", MissingParameter);
    row("unknown alias", "record voice", UnknownDevice);
    row("alias in use", kOpen, AliasInUse);
    row("no driver", "open new Type cdaudio Alias cd", NoDriver);
    row("open without alias", "open new Type waveaudio", MissingParameter);
    row("open without type", "open new Alias other", MissingParameter);
    row("open dangling keyword", "open new Type", MissingParameter);
    row("open a file", "open take.wav Type waveaudio Alias other", BadParameter);
    row("open unknown keyword", "open new Kind waveaudio Alias other", BadParameter);
    row("set nothing", "set recSound", MissingParameter);
    row("set mono", "set recSound channels 1", UnsupportedFormat);
    row("set 8 bits", "set recSound bitspersample 8", UnsupportedFormat);
    row("set 48 kHz", "set recSound samplespersec 48000", UnsupportedFormat);
    row("set bytes", "set recSound bytespersec 88200", UnsupportedFormat);
    row("set alignment", "set recSound alignment 2", UnsupportedFormat);
    row("set frames", "set recSound time format frames", UnsupportedFormat);
    row("set no value", "set recSound channels", MissingParameter);
    row("set word value", "set recSound channels two", BadParameter);
    row("set unknown", "set recSound volume 5", BadParameter);
    row("set time without format", "set recSound time base ms", BadParameter);
    row("record extra", "record recSound insert", BadParameter);
    row("play to", "play recSound to 5", BadParameter);
    row("play from word", "play recSound from start", BadParameter);
    row("play from negative", "play recSound from -1", BadParameter);
    row("play from too far", "play recSound from 4294967296", BadParameter);
    row("play from nothing", "play recSound from", MissingParameter);
    row("save no path", "save recSound", MissingParameter);
}

void tst_Mci::answersCommands()
{
    QFETCH(QString, command);
    QFETCH(MciError, result);
    QCOMPARE(send(QStringLiteral("close all")), MciError::None);
    QCOMPARE(send(kOpen), MciError::None);
    QCOMPARE(send(command), result);
}

void tst_Mci::takesTheSavePathWhole_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("path");
    QTest::newRow("blanks unquoted") << "save recSound /my takes/a b.wav wait" << "/my takes/a b.wav";
    QTest::newRow("quoted") << "save recSound \"/a b.wav\" wait" << "/a b.wav";
    QTest::newRow("upper case") << "SAVE recSound /a.wav WAIT" << "/a.wav";
    QTest::newRow("no wait") << "save recSound /a b.wav" << "/a b.wav";
    QTest::newRow("wait inside") << "save recSound /wait here.wav wait" << "/wait here.wav";
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

void tst_Mci::givesEveryCodeItsOwnText()
{
    QSet<QString> texts;
    QList<qint32> codes{9999};
    for (auto code = qint32(MciError::UnknownCommand); code <= qint32(MciError::TakeTooLong); ++code)
        codes.append(code);
    for (qint32 code : codes) {
        QString text;
        mciGetErrorStringA(code, text, 1024);
        QVERIFY2(!text.isEmpty(), qPrintable(QString::number(code)));
        texts.insert(text);
    }
    QCOMPARE(texts.size(), codes.size());
    QString whole;
    QString cut; // the buffer holds its length less one
    mciGetErrorStringA(qint32(MciError::TakeTooLong), whole, 1024);
    mciGetErrorStringA(qint32(MciError::TakeTooLong), cut, 11);
    QCOMPARE(cut, whole.left(10));
}

void tst_Mci::closeAllDiscardsTheTake()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("a take.wav"));
    QCOMPARE(send(QStringLiteral("save recSound ") + path), MciError::UnknownDevice);
    QCOMPARE(send(kOpen), MciError::None);
    QCOMPARE(send(QStringLiteral("record recSound")), MciError::None);
    m_audio.feed(1000);
    QCOMPARE(send(QStringLiteral("save recSound ") + path), MciError::None);
    QCOMPARE(takeFiles().size(), 1);
    QCOMPARE(send(QStringLiteral("close all")), MciError::None);
    QVERIFY(!m_audio.sink);
    QVERIFY(takeFiles().isEmpty());
    QCOMPARE(send(kOpen), MciError::None);
    QCOMPARE(send(QStringLiteral("record recSound")), MciError::None);
    m_audio.feed(500);
    QCOMPARE(send(QStringLiteral("save recSound ") + path), MciError::None);
    QCOMPARE(QFileInfo(path).size(), 44 + 500 * kTakeFrameBytes);
}

void tst_Mci::playsFromAPosition()
{
    QCOMPARE(send(kOpen), MciError::None);
    QCOMPARE(send(QStringLiteral("record recSound")), MciError::None);
    const qint64 first = m_audio.capturedFrames;
    m_audio.feed(2 * 44100);
    QCOMPARE(send(QStringLiteral("play recSound from 1500")), MciError::None);
    QVERIFY(!m_audio.sink);
    const std::vector<qint16> rest = m_audio.pull(2 * 44100);
    QCOMPARE(rest.size(), size_t(2 * (2 * 44100 - 66150)));
    QCOMPARE(rest[0], SyntheticAudio::sampleAt(first + 66150));
    QCOMPARE(rest[2], SyntheticAudio::sampleAt(first + 66151));
}

void tst_Mci::reportsMissingDevices_data()
{
    QTest::addColumn<bool>("hasInput");
    QTest::addColumn<MciError>("record");
    QTest::addColumn<MciError>("play");
    QTest::newRow("no input") << false << MciError::NoInputDevice << MciError::None;
    QTest::newRow("no output") << true << MciError::None << MciError::NoOutputDevice;
}

void tst_Mci::reportsMissingDevices()
{
    QFETCH(bool, hasInput);
    QFETCH(MciError, record);
    QFETCH(MciError, play);
    m_audio.hasInput = hasInput;
    m_audio.hasOutput = !hasInput;
    QCOMPARE(send(kOpen), MciError::None);
    QCOMPARE(send(QStringLiteral("record recSound")), record);
    QCOMPARE(m_audio.sink != nullptr, hasInput);
    QCOMPARE(send(QStringLiteral("play recSound from 0")), play);
}

void tst_Mci::writesTheWaveWholeOrNotAtAll_data()
{
    // The take holds pcm bytes, the writer is told of claimed; files may grow to limit bytes.
    QTest::addColumn<qint64>("pcm");
    QTest::addColumn<qint64>("claimed");
    QTest::addColumn<int>("limit");
    QTest::addColumn<QString>("target");
    QTest::addColumn<MciError>("result");
    // A sparse file stands in for a take of more than six hours.
    QTest::newRow("too long for a WAV") << kMaxWaveDataBytes + 4 << kMaxWaveDataBytes + 4 << 0
                                        << "take.wav" << MciError::TakeTooLong;
    QTest::newRow("take shorter than told")
        << 200000LL << 400000LL << 0 << "take.wav" << MciError::FileWriteFailed;
    QTest::newRow("folder missing")
        << 4000LL << 4000LL << 0 << "missing/take.wav" << MciError::FileWriteFailed;
    QTest::newRow("disk full in the header")
        << 4000LL << 4000LL << 20 << "take.wav" << MciError::FileWriteFailed;
    QTest::newRow("disk full in the last buffered bytes")
        << 4000LL << 4000LL << 3000 << "take.wav" << MciError::FileWriteFailed;
    QTest::newRow("disk full after many chunks")
        << 800000LL << 800000LL << 500000 << "take.wav" << MciError::FileWriteFailed;
}

void tst_Mci::writesTheWaveWholeOrNotAtAll()
{
    QFETCH(qint64, pcm);
    QFETCH(qint64, claimed);
    QFETCH(int, limit);
    QFETCH(QString, target);
    QFETCH(MciError, result);
    QTemporaryDir dir;
    QFile old(dir.filePath(QStringLiteral("take.wav")));
    QVERIFY(old.open(QIODevice::WriteOnly) && old.write("old take") == 8);
    old.close();
    QFile take(dir.filePath(QStringLiteral("take.pcm")));
    QVERIFY(take.open(QIODevice::ReadWrite) && take.resize(pcm));
    {
        std::optional<FileSizeLimit> full;
        if (limit > 0)
            full.emplace(rlim_t(limit));
        QCOMPARE(writeWaveFile(take, claimed, dir.filePath(target)), result);
    }
    QVERIFY(old.open(QIODevice::ReadOnly));
    QCOMPARE(old.readAll(), QByteArray("old take"));
    QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
             QStringList({QStringLiteral("take.pcm"), QStringLiteral("take.wav")}));
}

QTEST_GUILESS_MAIN(tst_Mci)
#include "tst_mci.moc"
