#include "DialogAnswers.h"
#include "SyntheticAudio.h"
#include "TestSupport.h"
#include "WaveProbe.h"

#include "app/frmMain.h"
#include "platform/Mci.h"
#include "recorder/OcxLame.h"
#include "settings/frmSettings.h"

#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QProgressBar>
#include <QTimer>
#include <QToolButton>

#include <optional>

class tst_Save : public QObject
{
    Q_OBJECT

    SyntheticAudio m_audio;
    SettingsFolder m_settings;
    CapturedMessages m_boxes;
    DialogAnswers m_answers;
    std::optional<QTemporaryDir> m_dir;

    void recordTake(frmMain &w)
    {
        w.cmdrecord_Click();
        m_audio.feed(44100);
        w.cmdstop_Click();
    }

    QString path(const QString &name) const { return m_dir->filePath(name); }
    QStringList files() const { return QDir(m_dir->path()).entryList(QDir::Files, QDir::Name); }

    // Saves the chosen name as the user would, up to the box that ends the save, which leaves
    // the save panel idle.
    void save(frmMain &w, const QString &chosen)
    {
        const size_t before = m_boxes.list.size();
        m_answers.choose(path(chosen));
        w.cmdsave->click();
        QTRY_VERIFY_WITH_TIMEOUT(m_boxes.list.size() > before, 20000);
        QVERIFY(!w.tmrsave->isActive() && w.cmdsave->isEnabled());
        QCOMPARE(w.cursor().shape(), Qt::ArrowCursor);
        QCOMPARE(w.pbrwavsave->value() + w.pbrmp3save->value(), 0);
        QVERIFY(!w.pbrmp3save->isHidden());
    }

private Q_SLOTS:
    void initTestCase() { m_settings.write("36\r\n 65535 \r\n 0 \r\n 255 \r\n5\r\n64\r\n"); }

    void init()
    {
        m_audio = SyntheticAudio();
        installWaveAudioDriver(m_audio.factory());
        m_boxes.list.clear();
        m_answers.calls.clear();
        m_answers.answers.clear();
        m_dir.emplace();
    }

    void cleanup()
    {
        QString ret;
        mciSendStringA(QStringLiteral("close all"), ret, 1024, 0);
    }

    // An old file of the WAV's name is overwritten without a question; the MP3 is made at
    // the bit rate the settings dialog shows. A second save of the take under another name
    // follows, then a Cancel that writes nothing.
    void derivesTheFileNames_data()
    {
        QTest::addColumn<QString>("chosen");
        QTest::addColumn<QString>("wav");
        QTest::addColumn<QString>("mp3");
        // The folder's name also holds what ends the save command.
        QTest::newRow("blanks in folder and name") << "takes to wait on/my take.mp3"
                                                   << "takes to wait on/my take.wav"
                                                   << "takes to wait on/my take.mp3";
        QTest::newRow("upper-case extension") << "Take.MP3"
                                              << "Take.wav"
                                              << "Take.MP3";
        QTest::newRow("no extension") << "evening news"
                                      << "evening news.wav"
                                      << "evening news.mp3";
    }
    void derivesTheFileNames()
    {
        QFETCH(QString, chosen);
        QFETCH(QString, wav);
        QFETCH(QString, mp3);
        QVERIFY(QDir(m_dir->path()).mkpath(QStringLiteral("takes to wait on")));
        QFile old(path(wav));
        QVERIFY(old.open(QIODevice::WriteOnly) && old.write("not a take") > 0);
        old.close();
        frmMain w;
        w.settingsForm().cmbquality->setCurrentIndex(0);
        w.settingsForm().cmbquality_Click();
        recordTake(w);
        save(w, chosen);
        QCOMPARE(readWave(path(wav)).info.frames, 44100);
        const std::vector<FrameHeader> frames = frameHeaders(fileBytes(path(mp3)));
        QVERIFY(frames.size() > 30); // a second of audio
        QVERIFY(std::all_of(frames.begin(), frames.end(), [](auto &f) { return f.kbps == 128; }));
        QCOMPARE(m_boxes.list.size(), size_t(1));
        QCOMPARE(m_boxes.list.back().text, QStringLiteral("MP3 FILE GENERATED AS - ") + path(mp3));
        QCOMPARE(m_boxes.list.back().title, QStringLiteral("Message"));
        const DialogAnswers::Call &dialog = m_answers.calls.at(0);
        QVERIFY(dialog.filter == "Mp3 Files|*.mp3" && dialog.flags == 6 && dialog.cancelError);

        save(w, QStringLiteral("second.mp3"));
        QCOMPARE(readWave(path(QStringLiteral("second.wav"))).samples, readWave(path(wav)).samples);
        QVERIFY(QFileInfo(path(QStringLiteral("second.mp3"))).size() > 0);
        QCOMPARE(m_answers.calls.size(), size_t(2)); // no question about the old WAV
        const QStringList saved = files();
        m_answers.cancel();
        w.cmdsave_Click();
        QCoreApplication::processEvents();
        QVERIFY(!w.tmrsave->isActive() && w.cmdsave->isEnabled());
        QCOMPARE(files(), saved);
        QCOMPARE(m_boxes.list.size(), size_t(2));
    }

    // Stop, and Save once more, in the middle of a save leave it running alone.
    void writesTheWaveInTheTickThatFinds40()
    {
        frmMain w;
        recordTake(w);
        m_answers.choose(path(QStringLiteral("take.mp3")));
        w.cmdsave_Click();
        QVERIFY(w.tmrsave->isActive());
        QCOMPARE(w.tmrsave->interval(), 10);
        QCOMPARE(w.cursor().shape(), Qt::WaitCursor);
        w.tmrsave->stop(); // ticked by hand below
        w.cmdstop_Click();
        QVERIFY(!w.cmdsave->isEnabled());
        w.cmdsave_Click();
        QCOMPARE(m_answers.calls.size(), size_t(1));
        for (int tick = 1; tick <= 40; ++tick)
            w.tmrsave_Timer();
        QCOMPARE(w.pbrwavsave->value(), 40);
        QVERIFY(w.pbrmp3save->isHidden() && files().isEmpty());
        w.tmrsave_Timer(); // the 41st finds 40
        QCOMPARE(files(), QStringList { "take.wav" });
        for (int tick = 42; tick <= 100; ++tick)
            w.tmrsave_Timer();
        QCOMPARE(w.pbrwavsave->value(), 100);
        QVERIFY(!w.lameocx->isEncoding());
        w.tmrsave_Timer(); // the 101st starts the encoder
        QCOMPARE(w.pbrwavsave->value(), 0);
        QVERIFY(!w.pbrmp3save->isHidden() && w.lameocx->isEncoding() && !w.cmdsave->isEnabled());
        QTRY_VERIFY_WITH_TIMEOUT(!m_boxes.list.empty(), 20000);
        QCOMPARE(m_boxes.list.front().title, QStringLiteral("Message"));
        QVERIFY(w.cmdsave->isEnabled());
        const WaveProbe wave = readWave(path(QStringLiteral("take.wav")));
        QCOMPARE(wave.info.frames, 44100);
        QCOMPARE(wave.samples.at(2 * 1000 + 1), SyntheticAudio::sampleAt(1000));
    }

    void failedSaveGoesBackToIdle_data()
    {
        QTest::addColumn<QString>("obstacle");
        QTest::addColumn<QString>("message");
        QTest::newRow("before any recording") << ""
                                              << "THERE IS NO RECORDING TO SAVE!";
        QTest::newRow("read-only folder") << "read-only"
                                          << "COULD NOT SAVE THE WAV FILE HERE!";
        // A folder stands where the MP3 should go, so the encoder cannot write it.
        QTest::newRow("encoder fails") << "take.mp3"
                                       << "COULD NOT MAKE THE MP3 FILE!";
    }
    void failedSaveGoesBackToIdle()
    {
        QFETCH(QString, obstacle);
        QFETCH(QString, message);
        frmMain w;
        if (!obstacle.isEmpty())
            recordTake(w);
        const bool readOnly = obstacle == QLatin1StringView("read-only");
        if (readOnly)
            QFile::setPermissions(m_dir->path(),
                QFile::ReadOwner | QFile::ExeOwner | QFile::ReadOther | QFile::ExeOther);
        else if (!obstacle.isEmpty())
            QVERIFY(QDir(m_dir->path()).mkdir(obstacle));
        {
            std::optional<AsOrdinaryUser> user;
            if (readOnly)
                user.emplace();
            save(w, QStringLiteral("take.mp3"));
        }
        QFile::setPermissions(
            m_dir->path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QCOMPARE(m_boxes.list.size(), size_t(1));
        QCOMPARE(m_boxes.list.front().text, message);
        QCOMPARE(m_boxes.list.front().title, QStringLiteral("Error"));
        QVERIFY(!w.lameocx->isEncoding());
        QCOMPARE(files(), obstacle == "take.mp3" ? QStringList { "take.wav" } : QStringList());
    }
};

QTEST_MAIN(tst_Save)
#include "tst_save.moc"
