#include "SyntheticAudio.h"
#include "TestSupport.h"
#include "WaveProbe.h"

#include "platform/Mci.h"
#include "recorder/WaveFile.h"

#include <QDir>
#include <QSet>

#include <optional>

namespace
{

const QString kOpen = QStringLiteral("open new Type waveaudio Alias recSound");
const QString kSet = QStringLiteral("set recSound time format ms bitspersample 16 channels 2 "
                                    "samplespersec 44100 bytespersec 176400 alignment 4");

MciError send(const QString &command)
{
    QString ret = QStringLiteral("stale");
    const auto result = MciError(mciSendStringA(command, ret, 1024, 0));
    return ret.isEmpty() ? result : MciError(-1); // these commands answer no text
}

// A take's file gets its name once it is played or saved.
QStringList takeFiles()
{
    return QDir::temp().entryList({ QStringLiteral("tellvane-take-*") }, QDir::Files);
}

} // namespace

class tst_Mci : public QObject
{
    Q_OBJECT

    SyntheticAudio m_audio;
    QTemporaryDir m_temp;

private Q_SLOTS:
    // Takes go to a folder of this test's own, which tests running beside it leave alone.
    void initTestCase()
    {
        qputenv("TMPDIR", QFile::encodeName(m_temp.path()));
        QCOMPARE(QDir::tempPath(), m_temp.path());
    }

    void init()
    {
        m_audio = SyntheticAudio();
        installWaveAudioDriver(m_audio.factory());
    }

    void cleanup()
    {
        QCOMPARE(send(QStringLiteral("close all")), MciError::None);
        QVERIFY(takeFiles().isEmpty());
    }

    void answersCommands_data()
    {
        // Each command is sent after "close all" and the recorder's own open.
        QTest::addColumn<QString>("command");
        QTest::addColumn<MciError>("result");
        const auto row = [](const char *name, const QString &command, MciError result) {
            QTest::newRow(name) << command << result;
        };
        using enum MciError;
        row("keywords any case", kSet.toUpper().replace("RECSOUND", "recSound"), None);
        row("alias any case, extra blanks", "  record   RECSOUND  ", None);
        row("close one", "close recSound", None);
        row("play", "play recSound", None);
        row("play past the end", "play recSound from 4294967295", None);
        row("unknown verb", "rewind recSound", UnknownCommand);
        row("no device", "record", MissingParameter);
        row("unknown alias", "record voice", UnknownDevice);
        row("alias in use", kOpen, AliasInUse);
        row("no driver", "open new Type cdaudio Alias cd", NoDriver);
        row("open without alias", "open new Type waveaudio", MissingParameter);
        row("open a file", "open take.wav Type waveaudio Alias other", BadParameter);
        row("open unknown keyword", "open new Kind waveaudio Alias other", BadParameter);
        row("set nothing", "set recSound", MissingParameter);
        row("set mono", "set recSound channels 1", UnsupportedFormat);
        row("set 48 kHz", "set recSound samplespersec 48000", UnsupportedFormat);
        row("set unknown", "set recSound volume 5", BadParameter);
        row("record extra", "record recSound insert", BadParameter);
        row("play from negative", "play recSound from -1", BadParameter);
        row("play from too far", "play recSound from 4294967296", BadParameter);
        row("save no path", "save recSound", MissingParameter);
    }
    void answersCommands()
    {
        QFETCH(QString, command);
        QFETCH(MciError, result);
        QCOMPARE(send(QStringLiteral("close all")), MciError::None);
        QCOMPARE(send(kOpen), MciError::None);
        QCOMPARE(send(command), result);
    }
    void givesEveryCodeItsOwnText()
    {
        QSet<QString> texts;
        const QList<qint32> codes { 261, 262, 263, 264, 265, 266, 267, 268, 269, 270, 271, 272,
            273 };
        for (qint32 code : codes + QList<qint32> { 9999 }) {
            QString text;
            QString cut; // the buffer holds its length less one
            mciGetErrorStringA(code, text, 1024);
            mciGetErrorStringA(code, cut, 11);
            QVERIFY2(!text.isEmpty() && cut == text.left(10), qPrintable(QString::number(code)));
            texts.insert(text);
        }
        QCOMPARE(texts.size(), codes.size() + 1);
    }

    void reportsAMissingOutput()
    {
        m_audio.hasOutput = false;
        QCOMPARE(send(kOpen), MciError::None);
        QCOMPARE(send(QStringLiteral("record recSound")), MciError::None);
        QCOMPARE(send(QStringLiteral("play recSound from 0")), MciError::NoOutputDevice);
    }

    // An old WAV of the name is kept whatever goes wrong, and nothing else is left.
    void writesTheWaveWholeOrNotAtAll_data()
    {
        // A take of pcm bytes, of which the writer is told of claimed; files may grow to limit
        // bytes; a sparse file stands in for a take of more than six hours.
        QTest::addColumn<qint64>("pcm");
        QTest::addColumn<qint64>("claimed");
        QTest::addColumn<int>("limit");
        QTest::addColumn<QString>("target");
        QTest::addColumn<MciError>("result");
        const auto row = [](const char *name, qint64 pcm, qint64 claimed, int limit,
                             const char *target, MciError result = MciError::FileWriteFailed) {
            QTest::newRow(name) << pcm << claimed << limit << target << result;
        };
        row("too long", kMaxWaveDataBytes + 4, kMaxWaveDataBytes + 4, 0, "take.wav",
            MciError::TakeTooLong);
        row("take shorter than told", 200000, 400000, 0, "take.wav");
        row("folder missing", 4000, 4000, 0, "missing/take.wav");
        row("disk full in the header", 4000, 4000, 20, "take.wav");
        row("disk full in the last buffered bytes", 4000, 4000, 3000, "take.wav");
        row("disk full after many chunks", 800000, 800000, 500000, "take.wav");
    }
    void writesTheWaveWholeOrNotAtAll()
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
        QCOMPARE(fileBytes(old.fileName()), QByteArray("old take"));
        QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
            QStringList({ QStringLiteral("take.pcm"), QStringLiteral("take.wav") }));
    }
};

QTEST_GUILESS_MAIN(tst_Mci)
#include "tst_mci.moc"
