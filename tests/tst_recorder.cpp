#include "TestSupport.h"
#include "WaveProbe.h"

#include "app/frmMain.h"
#include "recorder/OcxLame.h"
#include "recorder/RecordTime.h"
#include "recorder/ReplacingFile.h"
#include "recorder/TakeFile.h"
#include "recorder/WaveAudioDevice.h"
#include "recorder/WaveFile.h"

#include <QApplication>
#include <QDirIterator>
#include <QIODevice>
#include <QLabel>
#include <QProcess>
#include <QProgressBar>
#include <QSignalSpy>
#include <QThread>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <sys/file.h>

namespace
{
// A sound system of known behaviour, shared by a test and every backend it hands out: the
// input is a 440 Hz sine whose frames are numbered over the whole run, written when the test
// feeds it; the test reads what is played from the source.
struct SyntheticAudio {
    QIODevice *sink = nullptr; // the take being recorded into, while capturing
    QIODevice *source = nullptr; // the take being played, while playing
    qint64 capturedFrames = 0; // frames written to takes so far; the next frame's number
    MciError captureError = MciError::None; // what starting a capture answers
    std::function<void()> loseInput; // ends the capture on its own, as a server that went away
    std::function<void(MciError)> endPlayback; // ends the playback on its own, for that reason

    static QByteArray signal(qint64 first, qint64 frames) // PCM bytes; left and right alike
    {
        QByteArray pcm;
        for (qint64 i = first; i < first + frames; ++i) {
            const short s = qRound(8000 * std::sin(2 * std::numbers::pi * 440 * i / kTakeRate));
            pcm += QByteArray(reinterpret_cast<const char *>(&s), 2).repeated(kTakeChannels);
        }
        return pcm;
    }
    void feed(qint64 frames) // the next frames of the signal, into the take being recorded
    {
        if (sink && sink->write(signal(capturedFrames, frames)) > 0)
            capturedFrames += frames;
    }

    struct Backend final : AudioBackend {
        explicit Backend(SyntheticAudio *audio)
            : audio(audio)
        {
        }
        SyntheticAudio *audio; // owned by the test, outlives every element
        MciError startCapture(QIODevice *sink) override
        {
            audio->loseInput = [this] { reportEnded(Stream::Capture, MciError::CaptureLost); };
            return audio->captureError != MciError::None ? audio->captureError
                                                         : hold(audio->sink, sink);
        }
        void stopCapture() override { audio->sink = nullptr; }
        MciError startPlayback(QIODevice *source) override
        {
            audio->endPlayback = [this](MciError error) { reportEnded(Stream::Playback, error); };
            return hold(audio->source, source);
        }
        void stopPlayback() override { audio->source = nullptr; }
        static MciError hold(QIODevice *&slot, QIODevice *device)
        {
            slot = device;
            return MciError::None;
        }
    };
    AudioBackendFactory factory()
    {
        return [this] { return std::make_unique<Backend>(this); };
    }
};

// The recorder panel as a user reads it: the buttons enabled, the time, the WAV and MP3 bars,
// whether the time is refreshing or a save is running, and the hourglass.
QString panel(const frmMain &w)
{
    QStringList enabled;
    for (const char *name : { "cmdrecord", "cmdstop", "cmdplay", "cmdsave" })
        if (child(w, name)->isEnabled())
            enabled << child<QAbstractButton>(w, name)->text();
    const auto *mp3 = child<QProgressBar>(w, "pbrmp3save");
    QString state
        = QStringLiteral("enabled: %1; time %2; WAV bar %3, MP3 bar %4")
              .arg(enabled.isEmpty() ? QStringLiteral("nothing") : enabled.join(' '))
              .arg(child<QLabel>(w, "lbltime")->text())
              .arg(child<QProgressBar>(w, "pbrwavsave")->value())
              .arg(mp3->isHidden() ? QStringLiteral("hidden") : QString::number(mp3->value()));
    for (const QTimer *timer : w.findChildren<QTimer *>())
        if (timer->isActive() && timer->objectName() != "tmrfill")
            state += timer->objectName() == "tmrsave" ? "; saving"
                : timer->objectName() == "tmrlevel"   ? "; level refreshing"
                                                      : "; time refreshing";
    return state + (w.cursor().shape() == Qt::WaitCursor ? "; hourglass" : "");
}

// The panel while it records, and with a take to play or save.
QString recording(const QString &time)
{
    return "enabled: Record Stop; time " + time
        + "; WAV bar 0, MP3 bar 0; time refreshing; level refreshing";
}
QString takeReady(const QString &time)
{
    return "enabled: Record Stop Play Save; time " + time + "; WAV bar 0, MP3 bar 0";
}

// Take-format PCM that gives one chunk of silence, then says "writing" and stalls, so that a
// WAV written from it can be killed half way.
struct StallingPcm final : QIODevice {
    StallingPcm() { open(QIODevice::ReadOnly | QIODevice::Unbuffered); }
    qint64 readData(char *data, qint64 maxSize) override
    {
        if (pos() > 0) {
            QTextStream(stdout) << "writing" << Qt::endl;
            QThread::sleep(3600);
        }
        std::fill_n(data, maxSize, '\0');
        return maxSize;
    }
    qint64 writeData(const char *, qint64) override { return -1; }
};

const QString kDone = QStringLiteral("Message: MP3 FILE GENERATED AS - ");
const QString kLittleRoom = QStringLiteral("Message: THERE IS ROOM FOR LESS THAN 10 MINUTES OF "
                                           "RECORDING ON THE DISK. THE RECORDING GOES ON; FREE "
                                           "SOME SPACE TO RECORD LONGER.");
} // namespace

class tst_Recorder : public QObject
{
    Q_OBJECT

    SyntheticAudio m_audio;
    double m_now = 0; // seconds on the recording clock
    SettingsFolder m_settings { "36\r\n 65535 \r\n 0 \r\n 255 \r\n5\r\n64\r\n" };
    CapturedMessages m_boxes;
    std::optional<DialogAnswers> m_answers;
    std::optional<QTemporaryDir> m_dir; // where saves go; holds an old take.wav, 8 bytes

    QStringList boxes()
    {
        const QStringList shown = m_boxes.shown();
        m_boxes.list.clear();
        return shown;
    }
    QString path(const QString &name) const { return m_dir->filePath(name); }
    // Each saved file with its bit rate if an MP3 of a second or more, else its WAV frames, or
    // its size when it holds no sound (the old take.wav: 8 bytes).
    QString files() const
    {
        QStringList entries;
        for (QDirIterator it(m_dir->path(), QDir::Files, QDirIterator::Subdirectories);
             it.hasNext();) {
            const QString file = it.next();
            const std::vector<FrameHeader> mp3 = frameHeaders(fileBytes(file));
            const qint64 frames = readWave(file).info.frames;
            entries << QDir(m_dir->path()).relativeFilePath(file) + ' '
                    + (mp3.size() > 30   ? QString::number(mp3[0].kbps)
                            : frames > 0 ? QString::number(frames)
                                         : QStringLiteral("%1 bytes").arg(QFileInfo(file).size()));
        }
        entries.sort();
        return entries.join(", ");
    }
    // This program started again as another run of the program, doing what otherRun does for
    // what, until it says it is doing it.
    void startOtherRun(QProcess &run, const QString &what)
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("OTHER_RUN", what);
        environment.insert("WAVE_FOLDER", m_dir->path());
        run.setProcessEnvironment(environment);
        run.start(QCoreApplication::applicationFilePath(), { "otherRun" });
        QByteArray out;
        QTRY_VERIFY_WITH_TIMEOUT(
            (out += run.readAllStandardOutput()).contains(what.toUtf8()), 20000);
    }
    void recordTake(frmMain &w, qint64 frames = 44100) // Record, Stop: a take to save
    {
        click(w, "cmdrecord");
        m_audio.feed(frames);
        click(w, "cmdstop");
    }
    // The recent takes the panel's menu lists, newest first, each by its length (" (greyed)"
    // after the one held now) once its start is checked; the one at pick is chosen first.
    static QStringList recentTakes(frmMain &w, qsizetype pick = -1)
    {
        QWidget *panel = child(w, "Frame1");
        QStringList items = menuItems(panel, "mnurecorder");
        items = items.mid(items.indexOf("Recent Takes") + 1);
        if (pick >= 0)
            menuItems(panel, "mnurecorder", items.at(pick));
        static const QRegularExpression listed(
            "^\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d  (\\d+:\\d\\d.*)$");
        return items.replaceInStrings(listed, "\\1");
    }
    void pressSave(frmMain &w, const QString &chosen) // as the user would, up to the box
    {
        const size_t shown = m_boxes.list.size();
        m_answers->choose(path(chosen));
        click(w, "cmdsave");
        QTRY_VERIFY_WITH_TIMEOUT(m_boxes.list.size() > shown, 20000);
    }
    void save(frmMain &w, const QString &chosen)
    {
        pressSave(w, chosen);
        QVERIFY2(panel(w).contains("Save;") && panel(w).endsWith("WAV bar 0, MP3 bar 0"),
            qPrintable(panel(w))); // Save back, idle
    }

private Q_SLOTS:
    void initTestCase() // takes left by a failed run go; another run keeps those it was given
    {
        if (qEnvironmentVariableIsEmpty("OTHER_RUN"))
            QDir(TakeFile::folder()).removeRecursively();
    }
    void init()
    {
        m_audio = SyntheticAudio();
        installWaveAudioDriver(m_audio.factory());
        QDir(TakeFile::folder() + "/recent").removeRecursively(); // those of the test before
        setRecordClock([this] { return m_now; });
        m_boxes.list.clear();
        m_answers.emplace();
        m_dir.emplace();
        QVERIFY(writeFile(path(QStringLiteral("take.wav")), "old take"));
    }
    void cleanup()
    {
        send(QStringLiteral("close all"));
        ReplacingFile::setTempNameSource({});
    }
    void recordsStopsAndPlays_data()
    {
        QTest::addColumn<QString>("times"); // the clock at Record, the clock later, the time shown
        // Half seconds go to even; the last two rows fail with the start unrounded or half up.
        for (const char *row :
            { "1000 1059.4 00:59", "1000 1059.5 01:00", "1000 1060.5 01:00", "1000 1754.2 12:34",
                "1000 7000 100:00", "1000.5 1001.6 00:02", "1001.5 1003.4 00:01" })
            QTest::newRow(row) << QString(row);
    }
    void recordsStopsAndPlays()
    {
        QFETCH(QString, times);
        const QString text = times.section(' ', 2);
        frmMain w;
        QCOMPARE(
            panel(w), QStringLiteral("enabled: Record Save; time 00:00; WAV bar 0, MP3 bar 0"));
        m_now = times.section(' ', 0, 0).toDouble();
        click(w, "cmdrecord");
        QCOMPARE(panel(w), recording("00:00"));
        m_audio.feed(8000);
        m_now = times.section(' ', 1, 1).toDouble();
        QTRY_COMPARE(panel(w), recording(text));
        // Stop twice ends as once; the time stays, through Play too.
        click(w, "cmdstop");
        click(w, "cmdstop");
        click(w, "cmdplay");
        QCOMPARE(panel(w), takeReady(text));
        m_audio.source->read(12000);
        click(w, "cmdstop"); // ends the playback; Play starts it over
        QVERIFY(!m_audio.source);
        click(w, "cmdplay");
        QCOMPARE(m_audio.source->readAll(), SyntheticAudio::signal(0, 8000));
        // Record, during the playback and then during the recording, ends what runs,
        // discards the take and starts the clock over.
        m_now = 5000;
        for (int again = 0; again < 2; ++again) {
            click(w, "cmdrecord");
            QVERIFY(!m_audio.source && m_audio.sink);
            QCOMPARE(panel(w), recording("00:00"));
            m_audio.feed(300);
            m_now += 3;
            QTRY_COMPARE(panel(w), recording("00:03"));
        }
        click(w, "cmdstop");
        click(w, "cmdplay");
        QCOMPARE(m_audio.source->readAll(), SyntheticAudio::signal(8300, 300));
        QCOMPARE(boxes(), QStringList());
        // A playback that ends on its own, the take unreadable, says so; Play starts it over.
        m_audio.endPlayback(MciError::TakeReadFailed);
        QTRY_VERIFY(!m_boxes.list.empty());
        QCOMPARE(boxes(), QStringList { errorBox(MciError::TakeReadFailed) });
        QVERIFY(!m_audio.source);
        click(w, "cmdplay");
        QVERIFY(m_audio.source);
        // A Stop that fails is reported, and still ends the recording and its clock.
        click(w, "cmdrecord");
        send(QStringLiteral("close all"));
        click(w, "cmdstop");
        // Open, set and record each report their failure; the buttons stay.
        installMciDriver(QStringLiteral("waveaudio"), {});
        click(w, "cmdrecord");
        const QString unknown = errorBox(MciError::UnknownDevice);
        QCOMPARE(boxes(), QStringList({ unknown, errorBox(MciError::NoDriver), unknown, unknown }));
        QCOMPARE(panel(w), takeReady("00:00"));
    }
    // Each command follows "close all" and the recorder's own open.
    void answersCommands_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<MciError>("result");
        using enum MciError;
        const std::pair<const char *, MciError> rows[] = {
            { "SET recSound TIME FORMAT MS CHANNELS 2", None }, { "  record   RECSOUND  ", None },
            { "open new Type waveaudio Alias RECSOUND", AliasInUse }, { "close recSound", None },
            { "open take.wav Type waveaudio Alias other", BadParameter }, { "play recSound", None },
            { "open new Kind waveaudio Alias other", BadParameter }, { "record", MissingParameter },
            { "open new Type cdaudio Alias cd", NoDriver }, { "record voice", UnknownDevice },
            { "open new Type waveaudio", MissingParameter }, { "save recSound", MissingParameter },
            { "set recSound channels 1", UnsupportedFormat }, { "rewind recSound", UnknownCommand },
            { "set recSound volume 5", BadParameter }, { "play recSound from -1", BadParameter },
            { "play recSound from 4294967296", BadParameter }, { "set recSound", MissingParameter },
            { "record recSound insert", BadParameter }, { "play recSound from 4294967295", None },
            { "set recSound channels", MissingParameter }
        };
        for (const auto &[command, result] : rows)
            QTest::newRow(command) << QString::fromLatin1(command) << result;
    }
    void answersCommands()
    {
        QFETCH(QString, command);
        QFETCH(MciError, result);
        QCOMPARE(send(QStringLiteral("open new Type waveaudio Alias recSound")), MciError::None);
        QCOMPARE(send(command), result);
    }
    // The WAV is written at tick 41, the encoder starts at 101 and moves the MP3 bar; Stop
    // meanwhile leaves the save alone, a recording started meanwhile keeps Save for its Stop.
    void savesInTimedSteps()
    {
        frmMain w;
        recordTake(w);
        m_answers->choose(path(QStringLiteral("take.mp3")));
        click(w, "cmdsave");
        QCOMPARE(panel(w),
            QStringLiteral(
                "enabled: Record Stop Play; time 00:00; WAV bar 0, MP3 bar 0; saving; hourglass"));
        click(w, "cmdstop");
        for (int tick = 1; tick <= 40; ++tick) // no event loop meanwhile: no tick of its own
            fire(w, "tmrsave");
        QCOMPARE(panel(w) + ", " + files(),
            "enabled: Record Stop Play; time 00:00; WAV bar 40, MP3 bar hidden; saving; hourglass, "
            "take.wav 8 bytes");
        fire(w, "tmrsave");
        QCOMPARE(files(), QStringLiteral("take.wav 44100"));
        for (int tick = 42; tick <= 100; ++tick)
            fire(w, "tmrsave");
        QCOMPARE(panel(w),
            QStringLiteral("enabled: Record Stop Play; time 00:00; WAV bar 100, MP3 bar hidden; "
                           "saving; hourglass"));
        QSignalSpy bar(child<QProgressBar>(w, "pbrmp3save"), &QProgressBar::valueChanged);
        fire(w, "tmrsave");
        QCOMPARE(panel(w),
            QStringLiteral(
                "enabled: Record Stop Play; time 00:00; WAV bar 0, MP3 bar 0; hourglass"));
        QTRY_VERIFY_WITH_TIMEOUT(!m_boxes.list.empty(), 20000);
        QCOMPARE(boxes(), QStringList { kDone + path(QStringLiteral("take.mp3")) });
        QCOMPARE(panel(w), takeReady("00:00"));
        QVERIFY(bar.size() > 2 && bar.at(bar.size() - 2).at(0) == 100);
        // The same take again under another name; then a Cancel, which writes nothing.
        save(w, QStringLiteral("second.mp3"));
        click(w, "cmdsave");
        QCOMPARE(boxes(), QStringList { kDone + path(QStringLiteral("second.mp3")) });
        QCOMPARE(panel(w) + ", " + files(),
            takeReady("00:00") + ", second.mp3 64, second.wav 44100, take.mp3 64, take.wav 44100");
        QCOMPARE(m_answers->shows, QStringList(3, "Save 6 0 Mp3 Files|*.mp3 CancelError"));
        m_answers->choose(path(QStringLiteral("third.mp3")));
        click(w, "cmdsave");
        click(w, "cmdrecord");
        QTRY_VERIFY_WITH_TIMEOUT(!m_boxes.list.empty(), 20000);
        QCOMPARE(panel(w), recording("00:00"));
    }
    // An old WAV of the derived name is overwritten without a question, and kept whole
    // when the new one cannot be written; nothing else is left behind. Links planted at the
    // WAV's and the MP3's names are replaced, what they lead to left as it was; where every
    // temporary name is taken, the save gives up after a few tries.
    void savesTheFiles_data()
    {
        QTest::addColumn<QString>("chosen");
        QTest::addColumn<int>("limit"); // bytes a file may grow to
        QTest::addColumn<QString>("box"); // the error, or the MP3 the message names
        QTest::addColumn<QString>("written");
        const auto row
            = [](const char *tag, const QString &chosen, int limit, const char *box,
                  const char *written) { QTest::newRow(tag) << chosen << limit << box << written; };
        const char *wavFailed = "COULD NOT SAVE THE WAV FILE!";
        const char *notHere = "COULD NOT SAVE THE WAV FILE HERE!";
        // The folder's name also holds what ends the save command.
        row("blanks", "to wait on/my take.mp3", 0, "to wait on/my take.mp3",
            "take.wav 8 bytes, to wait on/my take.mp3 128, to wait on/my take.wav 44100");
        row("upper-case extension", "take.MP3", 0, "take.MP3", "take.MP3 128, take.wav 44100");
        row("no extension", "news", 0, "news.mp3",
            "news.mp3 128, news.wav 44100, take.wav 8 bytes");
        row("no take", "take.mp3", 0, "THERE IS NO RECORDING TO SAVE!", "take.wav 8 bytes");
        row("failed record", "take.mp3", 0, "THERE IS NO RECORDING TO SAVE!", "take.wav 8 bytes");
        row("read-only folder", "to wait on/take.mp3", 0, notHere, "take.wav 8 bytes");
        row("path too long", QString(250, 'n') + ".mp3", 0, notHere, "take.wav 8 bytes");
        row("full in the header", "take.mp3", 20, wavFailed, "take.wav 8 bytes");
        row("full mid-way", "take.mp3", 100000, wavFailed, "take.wav 8 bytes");
        row("full in the last bytes", "take.mp3", 176400, wavFailed, "take.wav 8 bytes");
        row("MP3 is a folder", "take.mp3", 0, "COULD NOT MAKE THE MP3 FILE!", "take.wav 44100");
        row("links to a file", "take.mp3", 0, "take.mp3",
            "take.mp3 128, take.wav 44100, victim.txt 6 bytes");
        row("dangling links", "take.mp3", 0, "take.mp3", "take.mp3 128, take.wav 44100");
        row("every temporary name taken", "take.mp3", 0, wavFailed,
            "take.wav 8 bytes, tellvane-0000abcd.tmp 14 bytes");
    }
    void savesTheFiles()
    {
        QFETCH(QString, chosen);
        QFETCH(int, limit);
        QFETCH(QString, box);
        QFETCH(QString, written);
        const QString tag = QTest::currentDataTag();
        frmMain w;
        QTest::keyClick(child(w, "cmbquality"), Qt::Key_Home); // 128 kbit/s
        m_audio.captureError = tag == "failed record" ? MciError::NoInputDevice : MciError::None;
        if (tag != "no take") // else Stop stays disabled and ignores its click
            recordTake(w);
        boxes(); // a Record that failed told of it
        QVERIFY(QDir(m_dir->path()).mkpath(tag == "MP3 is a folder" ? chosen : "to wait on"));
        if (tag.contains("links")) {
            const QString victim = path("victim.txt");
            QVERIFY(tag.startsWith("dangling") || writeFile(victim, "victim"));
            QVERIFY(QFile::remove(path("take.wav")) && QFile::link(victim, path("take.wav"))
                && QFile::link(victim, path("take.mp3")));
        }
        if (tag == "every temporary name taken") {
            QVERIFY(writeFile(path("tellvane-0000abcd.tmp"), "someone else's"));
            ReplacingFile::setTempNameSource([] { return 0xabcdu; });
        }
        {
            std::optional<Restore> readOnly;
            if (tag == "read-only folder")
                readOnly.emplace(makeReadOnly(path(QStringLiteral("to wait on"))));
            const Restore full = limitFileSize(limit > 0 ? rlim_t(limit) : RLIM_INFINITY);
            save(w, chosen);
        }
        QCOMPARE(boxes(), QStringList { box.endsWith('!') ? "Error: " + box : kDone + path(box) });
        QCOMPARE(files(), written);
        QVERIFY(!child<OcxLame>(w, "lameocx")->isEncoding());
    }
    // A run killed while it writes the WAV leaves nothing beside the old file, which stays.
    void leavesNothingWhenKilledDuringTheWavWrite()
    {
        QProcess run;
        startOtherRun(run, "writing");
        run.kill();
        QVERIFY(run.waitForFinished(20000));
        QCOMPARE(folderEntries(m_dir->path()), QStringList("take.wav"));
        QCOMPARE(fileBytes(path("take.wav")), "old take");
    }
    // A take that ends on its own (the input went away, the disk is full, it holds as much as
    // a WAV can) ends at once as Stop would, says so, and keeps what was captured to play and
    // save. Little room warns first. A hole makes a take long, quickly.
    void keepsWhatWasHeardWhenTheTakeEndsOnItsOwn_data()
    {
        QTest::addColumn<int>("room"); // bytes the take may grow to; 0: no limit
        QTest::addColumn<QStringList>("shown");
        QTest::newRow("input lost") << 0 << QStringList { errorBox(MciError::CaptureLost) };
        QTest::newRow("disk full")
            << 8000 * kTakeFrameBytes
            << QStringList { kLittleRoom, errorBox(MciError::TakeWriteFailed) };
        QTest::newRow("WAV full") << 0 << QStringList { errorBox(MciError::TakeLimitReached) };
    }
    void keepsWhatWasHeardWhenTheTakeEndsOnItsOwn()
    {
        QFETCH(int, room);
        QFETCH(QStringList, shown);
        const bool wavFull = QTest::currentDataTag() == QStringLiteral("WAV full");
        frmMain w;
        QString take;
        {
            const Restore full = limitFileSize(room > 0 ? rlim_t(room) : RLIM_INFINITY);
            m_now = 0;
            click(w, "cmdrecord");
            m_audio.feed(8000);
            m_now = 2;
            QTRY_COMPARE(panel(w), recording("00:02"));
            if (wavFull) {
                take = TakeFile::found().constFirst();
                QVERIFY(QFile::resize(take, kMaxWaveDataBytes - 50 * kTakeFrameBytes));
            }
            room > 0 || wavFull ? m_audio.feed(100) : m_audio.loseInput();
            QTRY_COMPARE(m_boxes.shown(), shown);
        }
        m_now = 9;
        QTest::qWait(120);
        QVERIFY(!m_audio.sink && panel(w) == takeReady("00:02"));
        if (wavFull) { // kept to the last byte a WAV holds; too long to play and save here
            QCOMPARE(QFileInfo(take).size(), kMaxWaveDataBytes);
            return;
        }
        click(w, "cmdplay");
        QCOMPARE(m_audio.source->readAll(), SyntheticAudio::signal(0, 8000));
        save(w, QStringLiteral("take.mp3"));
        QCOMPARE(boxes(), shown + QStringList { kDone + path("take.mp3") });
        QCOMPARE(fileBytes(path("take.wav")).mid(44), SyntheticAudio::signal(0, 8000));
    }
    // A take that cannot be made says which folder stands in the way, and why.
    void saysWhyNoTakeCanBeMade_data()
    {
        QTest::addColumn<QString>("why"); // %1: the take folder
        QTest::newRow("a link") << "%1 IS A LINK, NOT A FOLDER OF ITS OWN.";
        QTest::newRow("a file") << "%1 IS NO FOLDER.";
    }
    void saysWhyNoTakeCanBeMade()
    {
        QFETCH(QString, why);
        const QString takes = TakeFile::folder(), elsewhere = m_dir->path();
        QVERIFY(QDir(takes).removeRecursively());
        QVERIFY(why.contains("LINK") ? QFile::link(elsewhere, takes) : writeFile(takes, "x"));
        frmMain w;
        click(w, "cmdrecord");
        QVERIFY(QFile::remove(takes));
        QCOMPARE(
            boxes(), QStringList { errorBox(MciError::TakeStorageFailed) + ' ' + why.arg(takes) });
    }
    // A take whose folder is deleted while it is recorded is still whole to play and save.
    void keepsATakeWhoseFolderIsDeleted()
    {
        frmMain w;
        click(w, "cmdrecord");
        m_audio.feed(8000);
        QVERIFY(QDir(TakeFile::folder()).removeRecursively());
        m_audio.feed(8000);
        click(w, "cmdstop");
        click(w, "cmdplay");
        QVERIFY(m_audio.source);
        QCOMPARE(m_audio.source->readAll(), SyntheticAudio::signal(0, 16000));
        save(w, QStringLiteral("take.mp3"));
        QCOMPARE(boxes(), QStringList { kDone + path("take.mp3") });
        QCOMPARE(fileBytes(path("take.wav")).mid(44), SyntheticAudio::signal(0, 16000));
    }
    // The take lives in a folder of the user's own, never in a shared one: a clean end (here
    // the end signals, as the close box) keeps it among the recent takes, a kill leaves it to be
    // offered at the next start, and Yes there makes it the take to play and save.
    void offersATakeAKilledRunLeft_data()
    {
        QTest::addColumn<int>("signal");
        QTest::newRow("killed") << SIGKILL;
        QTest::newRow("terminated") << SIGTERM;
        QTest::newRow("hung up") << SIGHUP;
        QTest::newRow("interrupted") << SIGINT;
    }
    void offersATakeAKilledRunLeft()
    {
        QFETCH(int, signal);
        const QDir takes(TakeFile::folder());
        QCOMPARE(QFileInfo(takes.path()).permissions() & 0x0077, 0);
        QProcess run;
        startOtherRun(run, "recording");
        // A take an earlier run left; held meanwhile, so that the run does not offer it.
        QFile older(takes.filePath("take-1-1.pcm"));
        QVERIFY(older.open(QIODevice::WriteOnly) && older.write(SyntheticAudio::signal(0, 44100))
            && flock(older.handle(), LOCK_EX) == 0
            && older.setFileTime(QDateTime::fromSecsSinceEpoch(1), QFile::FileModificationTime));
        QCOMPARE(takes.entryList(QDir::Files).size(), 2);
        ::kill(pid_t(run.processId()), signal);
        QVERIFY(run.waitForFinished(20000));
        older.close();
        QCOMPARE(run.exitStatus() == QProcess::NormalExit && !run.exitCode(), signal != SIGKILL);
        QCOMPARE(takes.entryList(QDir::Files).size(), signal == SIGKILL ? 2 : 1);
        QCOMPARE(QDir(takes.filePath("recent")).entryList(QDir::Files).size(),
            signal == SIGKILL ? 0 : 1);
        if (signal != SIGKILL)
            return void(older.remove());
        // One a program running now holds is never offered, nor one of another user's.
        const std::unique_ptr<TakeFile> live = TakeFile::create();
        QVERIFY(live && live->write(SyntheticAudio::signal(0, 441)) > 0);
        const QString foreign = takes.filePath("take-3-3.pcm");
        QVERIFY(writeFile(foreign, SyntheticAudio::signal(0, 44100)));
        if (geteuid() == 0)
            QVERIFY(chown(QFile::encodeName(foreign).constData(), 65534, 65534) == 0);
        else
            QVERIFY(QFile::remove(foreign)); // only root can give a file away
        const QString question = "Message: A RECORDING OF %1 WAS LEFT BY A RUN OF THE PROGRAM "
                                 "THAT DID NOT END PROPERLY. DO YOU WANT TO KEEP IT?";
        // Yes to the newest makes it the take; the older one waits for the next start.
        m_boxes.answers = { true };
        frmMain w;
        QTRY_COMPARE(m_boxes.shown(), QStringList { question.arg("00:02") });
        QCOMPARE(panel(w), takeReady("00:02"));
        save(w, QStringLiteral("take.mp3"));
        QCOMPARE(boxes(), QStringList({ question.arg("00:02"), kDone + path("take.mp3") }));
        QCOMPARE(fileBytes(path("take.wav")).mid(44), SyntheticAudio::signal(0, 88200));
        // No deletes it.
        frmMain next;
        QTRY_COMPARE(m_boxes.shown(), QStringList { question.arg("00:01") });
        QVERIFY(!older.exists());
        QCOMPARE(takes.entryList(QDir::Files).size(), geteuid() == 0 ? 3 : 2);
        QFile::remove(foreign);
    }
    // An end signal while the question about a left take shows (a logout) ends the run and
    // leaves that take, and the one not yet offered, for the next start.
    void keepsLeftTakesWhenTheRunEndsDuringTheQuestion()
    {
        const QDir takes(TakeFile::folder());
        const QStringList left { "take-1-1.pcm", "take-2-2.pcm" };
        for (const QString &name : left)
            QVERIFY(writeFile(takes.filePath(name), SyntheticAudio::signal(0, 44100)));
        QProcess run;
        startOtherRun(run, "asking");
        ::kill(pid_t(run.processId()), SIGTERM);
        QVERIFY(run.waitForFinished(20000));
        QVERIFY(run.exitStatus() == QProcess::NormalExit && run.exitCode() == 0);
        QCOMPARE(takes.entryList(QDir::Files), left);
        for (const QString &name : left) {
            QCOMPARE(fileBytes(takes.filePath(name)), SyntheticAudio::signal(0, 44100));
            QVERIFY(QFile::remove(takes.filePath(name)));
        }
    }
    // A take let go unsaved (Record over it, Exit) joins the recent takes, listed newest first
    // in the panel's menu with when it began and how long it is, and no question at the next
    // start. Choosing one makes it the take to play and save; a saved one leaves the list, and
    // the one held now is listed but cannot be chosen. The ten newest stay, and no more than
    // 2 GB of them, the oldest going first.
    void keepsUnsavedTakesAsRecent()
    {
        {
            frmMain w;
            w.show();
            QCOMPARE(recentTakes(w), { "No Recent Takes (greyed)" });
            recordTake(w, 44100);
            recordTake(w, 88200); // over the first
            QCOMPARE(recentTakes(w), { "00:01" });
            click(w, "cmdexit");
        }
        frmMain w;
        w.show();
        QCOMPARE(recentTakes(w), QStringList({ "00:02", "00:01" }));
        recentTakes(w, 1);
        QCOMPARE(panel(w), takeReady("00:01"));
        QCOMPARE(recentTakes(w), QStringList({ "00:02", "00:01 (greyed)" }));
        save(w, QStringLiteral("first.mp3"));
        QCOMPARE(fileBytes(path("first.wav")).mid(44), SyntheticAudio::signal(0, 44100));
        recentTakes(w, 0);
        QCOMPARE(recentTakes(w), { "00:02 (greyed)" }); // the saved one is gone
        save(w, QStringLiteral("second.mp3"));
        QCOMPARE(fileBytes(path("second.wav")).mid(44), SyntheticAudio::signal(44100, 88200));
        QCOMPARE(boxes(), QStringList({ kDone + path("first.mp3"), kDone + path("second.mp3") }));

        // Eleven more, each a second longer than the one before; the first of them goes.
        for (int seconds = 1; seconds <= 12; ++seconds)
            recordTake(w, seconds * 44100);
        QStringList newest;
        for (int seconds = 11; seconds >= 2; --seconds)
            newest << recordTimeText(seconds);
        QCOMPARE(recentTakes(w), newest);
        // Two long ones pass 2 GB together: the older goes, and those before it.
        for (int i = 0; i < 2; ++i) {
            click(w, "cmdrecord");
            m_audio.feed(44100);
            const QStringList held = TakeFile::found();
            QCOMPARE(held.size(), 1);
            QVERIFY(QFile::resize(held.first(), 1'200'000'000)); // sparse: no disk taken
            click(w, "cmdstop");
        }
        recordTake(w);
        QCOMPARE(recentTakes(w), { recordTimeText(1'200'000'000 / kTakeBytesPerSec) });
    }
    // The MP3 is made while the take is recorded, at the rate the settings show at Record, and
    // the save writes it without encoding again: the same bytes an encoding of the saved WAV
    // gives. Another rate at Save encodes the WAV; Record again starts a new MP3.
    void makesTheMp3WhileRecording_data()
    {
        QTest::addColumn<int>("kbps"); // at Save; the take is recorded at 64 or, "lowest", at 32
        QTest::addColumn<bool>("ready"); // written from the MP3 made while recording
        QTest::newRow("rate of Record") << 64 << true;
        QTest::newRow("lowest, with no tag") << 32 << true;
        QTest::newRow("rate changed after Record") << 128 << false;
        QTest::newRow("recorded again") << 64 << true;
    }
    void makesTheMp3WhileRecording()
    {
        QFETCH(int, kbps);
        QFETCH(bool, ready);
        const QString tag = QTest::currentDataTag();
        frmMain w;
        if (kbps == 32)
            QTest::keyClick(child(w, "cmbquality"), Qt::Key_End);
        click(w, "cmdrecord");
        // Not a whole number of the encoder's steps, and fed in uneven pieces.
        for (const qint64 frames : { 2205, 30000, 1, 70000 })
            m_audio.feed(frames);
        click(w, "cmdstop");
        if (tag == "recorded again") {
            recordTake(w, 50000);
        }
        click(w, "cmdplay"); // leaves the take and its MP3 as they are
        click(w, "cmdstop");
        if (kbps == 128)
            QTest::keyClick(child(w, "cmbquality"), Qt::Key_Home);
        for (const QString name : { "take", "again" }) {
            const QRegularExpression written("written from the encoding made while recording");
            if (ready)
                QTest::ignoreMessage(QtInfoMsg, written);
            save(w, name + ".mp3");
            QCOMPARE(boxes(), QStringList { kDone + path(name + ".mp3") });
            const QByteArray mp3 = fileBytes(path(name + ".mp3"));
            QCOMPARE(mp3, mp3OfWave(path(name + ".wav"), kbps));
            QCOMPARE(frameHeaders(mp3).at(0).kbps, kbps);
        }
        QCOMPARE(readWave(path("take.wav")).info.frames,
            tag == "recorded again" ? 50000 : 2205 + 30000 + 1 + 70000);
    }
    // Another run of the program, started by startOtherRun: it says what it does once it does
    // it, and goes on until it is ended.
    void otherRun()
    {
        const QString what = qEnvironmentVariable("OTHER_RUN");
        if (what.isEmpty())
            QSKIP("started by the tests above");
        const auto say = [&what] { QTextStream(stdout) << what << Qt::endl; };
        if (what == "writing") { // from PCM that stalls half way, and says so itself
            StallingPcm pcm;
            writeWaveFile(pcm, 10 << 20, qEnvironmentVariable("WAVE_FOLDER") + "/take.wav");
        }
        QTimer asking; // the question about the takes left shows as a box of its own
        connect(&asking, &QTimer::timeout, [&] {
            if (QApplication::activeModalWidget() && asking.isActive()) {
                asking.stop();
                say();
            }
        });
        if (what == "asking") {
            setMessageSink({});
            asking.start(10);
        }
        frmMain w;
        if (what == "recording") {
            click(w, "cmdrecord");
            m_audio.feed(88200);
            say();
        }
        QEventLoop().exec();
    }
};

QTEST_MAIN(tst_Recorder)
#include "tst_recorder.moc"
