#include "DialogAnswers.h"
#include "Mp3Probe.h"
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
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <algorithm>
#include <optional>

namespace {

constexpr qint64 kTakeFrames = 44100; // one second

// The bit rates in kbit/s of every frame of an MP3 file.
std::vector<int> frameBitrates(const QString &path)
{
    QFile file(path);
    std::vector<int> rates;
    if (file.open(QIODevice::ReadOnly)) {
        for (const FrameHeader &frame : frameHeaders(file.readAll()))
            rates.push_back(frame.kbps);
    }
    return rates;
}

QStringList filesIn(const QString &folder)
{
    return QDir(folder).entryList(QDir::Files, QDir::Name);
}

} // namespace

class tst_Save : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void derivesTheFileNames_data();
    void derivesTheFileNames();
    void writesTheWaveInTheTickThatFinds40();
    void encodesAtTheChosenRate();
    void overwritesAnOldWaveWithoutAsking();
    void savesTheSameTakeTwice();
    void cancelWritesNothing();
    void failedSaveGoesBackToIdle_data();
    void failedSaveGoesBackToIdle();
    void failedEncodingGoesBackToIdle();
    void stopDuringASaveKeepsSaveDisabled();

private:
    void recordTake(frmMain &window);
    // Runs a whole save of the chosen path, as the timers would, to its last box.
    void save(frmMain &window, const QString &path);
    void verifyIdle(const frmMain &window);

    SyntheticAudio m_audio;
    std::unique_ptr<SettingsFolder> m_settings;
    std::unique_ptr<CapturedMessages> m_messages;
    std::unique_ptr<DialogAnswers> m_answers;
    std::unique_ptr<QTemporaryDir> m_dir;
};

void tst_Save::init()
{
    m_audio = SyntheticAudio();
    installWaveAudioDriver(m_audio.factory());
    m_settings = std::make_unique<SettingsFolder>();
    m_settings->write("36\r\n 65535 \r\n 0 \r\n 255 \r\n5\r\n64\r\n");
    m_messages = std::make_unique<CapturedMessages>();
    m_answers = std::make_unique<DialogAnswers>();
    m_dir = std::make_unique<QTemporaryDir>();
}

void tst_Save::cleanup()
{
    QString ret;
    mciSendStringA(QStringLiteral("close all"), ret, 1024, 0);
    m_answers.reset();
    m_messages.reset();
    m_settings.reset();
    m_dir.reset();
}

void tst_Save::recordTake(frmMain &window)
{
    window.cmdrecord_Click();
    m_audio.feed(kTakeFrames);
    window.cmdstop_Click();
}

void tst_Save::save(frmMain &window, const QString &path)
{
    const size_t before = m_messages->list.size();
    m_answers->choose(path);
    window.cmdsave->click();
    QTRY_VERIFY_WITH_TIMEOUT(m_messages->list.size() > before, 20000);
}

void tst_Save::verifyIdle(const frmMain &window)
{
    QVERIFY(!window.tmrsave->isActive());
    QVERIFY(window.cmdsave->isEnabled());
    QCOMPARE(window.cursor().shape(), Qt::ArrowCursor);
    QCOMPARE(window.pbrwavsave->value(), 0);
    QCOMPARE(window.pbrmp3save->value(), 0);
    QVERIFY(!window.pbrmp3save->isHidden());
}

void tst_Save::derivesTheFileNames_data()
{
    QTest::addColumn<QString>("chosen");
    QTest::addColumn<QString>("wav");
    QTest::addColumn<QString>("mp3");
    QTest::newRow("blanks in folder and name")
        << "folder with blanks/my take.mp3" << "folder with blanks/my take.wav"
        << "folder with blanks/my take.mp3";
    QTest::newRow("upper-case extension") << "Take.MP3" << "Take.wav" << "Take.MP3";
    QTest::newRow("no extension") << "evening news" << "evening news.wav" << "evening news.mp3";
}

void tst_Save::derivesTheFileNames()
{
    QFETCH(QString, chosen);
    QFETCH(QString, wav);
    QFETCH(QString, mp3);
    QVERIFY(QDir(m_dir->path()).mkpath(QStringLiteral("folder with blanks")));
    frmMain window;
    recordTake(window);
    save(window, m_dir->filePath(chosen));

    QCOMPARE(window.mWavPath, m_dir->filePath(wav));
    QCOMPARE(window.mWavTitle, QFileInfo(wav).fileName());
    QCOMPARE(window.lblinputfile->text(), m_dir->filePath(wav));
    QCOMPARE(window.lbloutputfile->text(), m_dir->filePath(mp3));
    QCOMPARE(window.mLastBackslash, qint16(window.mShortWavPath.lastIndexOf('/') + 1));
    QVERIFY(QFile::exists(m_dir->filePath(wav)));
    QVERIFY(QFile::exists(m_dir->filePath(mp3)));
    QCOMPARE(m_messages->list.back().text,
             QStringLiteral("MP3 FILE GENERATED AS - ") + m_dir->filePath(mp3));
    QCOMPARE(m_messages->list.back().title, QStringLiteral("Message"));
    QCOMPARE(m_answers->calls.front().filter, QStringLiteral("Mp3 Files|*.mp3"));
    QCOMPARE(m_answers->calls.front().flags, 6);
    QVERIFY(m_answers->calls.front().cancelError);
    verifyIdle(window);
}

void tst_Save::writesTheWaveInTheTickThatFinds40()
{
    frmMain window;
    recordTake(window);
    const QString wav = m_dir->filePath(QStringLiteral("take.wav"));
    m_answers->choose(m_dir->filePath(QStringLiteral("take.mp3")));
    window.cmdsave_Click();
    QVERIFY(window.tmrsave->isActive());
    QCOMPARE(window.tmrsave->interval(), 10);
    QVERIFY(!window.cmdsave->isEnabled());
    QCOMPARE(window.cursor().shape(), Qt::WaitCursor);
    window.tmrsave->stop(); // the test ticks it by hand

    for (int tick = 1; tick <= 40; ++tick)
        window.tmrsave_Timer();
    QCOMPARE(window.pbrwavsave->value(), 40);
    QVERIFY(window.pbrmp3save->isHidden());
    QVERIFY(!QFile::exists(wav));
    window.tmrsave_Timer(); // the 41st finds 40
    QVERIFY(QFile::exists(wav));
    QCOMPARE(window.pbrwavsave->value(), 41);
    for (int tick = 42; tick <= 100; ++tick)
        window.tmrsave_Timer();
    QCOMPARE(window.pbrwavsave->value(), 100);
    QVERIFY(!window.lameocx->isEncoding());
    window.tmrsave_Timer(); // the 101st starts the encoder
    QCOMPARE(window.pbrwavsave->value(), 0);
    QVERIFY(!window.pbrmp3save->isHidden());
    QVERIFY(window.lameocx->isEncoding());
    QVERIFY(!window.cmdsave->isEnabled());

    QTRY_COMPARE_WITH_TIMEOUT(m_messages->list.size(), size_t(1), 20000);
    verifyIdle(window);
    const WaveProbe probe = readWave(wav);
    QCOMPARE(probe.info.frames, kTakeFrames);
    QCOMPARE(probe.info.channels, 2);
    QCOMPARE(probe.info.samplerate, 44100);
    QCOMPARE(probe.samples.at(2 * 1000), SyntheticAudio::sampleAt(1000));
}

void tst_Save::encodesAtTheChosenRate()
{
    frmMain window;
    QCOMPARE(window.settingsForm().lblbitrate->text(), QStringLiteral("64"));
    window.settingsForm().cmbquality->setCurrentIndex(0);
    window.settingsForm().cmbquality_Click();
    recordTake(window);
    save(window, m_dir->filePath(QStringLiteral("rate.mp3")));
    const std::vector<int> rates = frameBitrates(m_dir->filePath(QStringLiteral("rate.mp3")));
    QVERIFY(rates.size() > 30); // a second of audio
    QVERIFY(std::all_of(rates.begin(), rates.end(), [](int kbps) { return kbps == 128; }));
}

void tst_Save::overwritesAnOldWaveWithoutAsking()
{
    const QString wav = m_dir->filePath(QStringLiteral("take.wav"));
    QFile old(wav);
    QVERIFY(old.open(QIODevice::WriteOnly));
    old.write("an old file, not a take");
    old.close();
    frmMain window;
    recordTake(window);
    save(window, m_dir->filePath(QStringLiteral("take.mp3")));
    QCOMPARE(m_answers->calls.size(), size_t(1)); // the MP3 name only
    QCOMPARE(readWave(wav).info.frames, kTakeFrames);
}

void tst_Save::savesTheSameTakeTwice()
{
    frmMain window;
    recordTake(window);
    save(window, m_dir->filePath(QStringLiteral("first.mp3")));
    save(window, m_dir->filePath(QStringLiteral("second.mp3")));
    QCOMPARE(filesIn(m_dir->path()),
             QStringList({"first.mp3", "first.wav", "second.mp3", "second.wav"}));
    QCOMPARE(readWave(m_dir->filePath(QStringLiteral("second.wav"))).samples,
             readWave(m_dir->filePath(QStringLiteral("first.wav"))).samples);
}

void tst_Save::cancelWritesNothing()
{
    frmMain window;
    recordTake(window);
    save(window, m_dir->filePath(QStringLiteral("first.mp3")));
    const QStringList before = filesIn(m_dir->path());
    const size_t messages = m_messages->list.size();
    m_answers->cancel();
    window.cmdsave_Click();
    QVERIFY(!window.tmrsave->isActive());
    QTest::qWait(50);
    QCOMPARE(filesIn(m_dir->path()), before);
    QCOMPARE(m_messages->list.size(), messages);
    verifyIdle(window);
}

void tst_Save::failedSaveGoesBackToIdle_data()
{
    QTest::addColumn<bool>("recorded");
    QTest::addColumn<bool>("readOnly");
    QTest::addColumn<QString>("message");
    QTest::newRow("before any recording") << false << false << "THERE IS NO RECORDING TO SAVE!";
    QTest::newRow("read-only folder") << true << true << "COULD NOT SAVE THE WAV FILE HERE!";
}

void tst_Save::failedSaveGoesBackToIdle()
{
    QFETCH(bool, recorded);
    QFETCH(bool, readOnly);
    QFETCH(QString, message);
    frmMain window;
    if (recorded)
        recordTake(window);
    if (readOnly)
        QFile::setPermissions(m_dir->path(), QFileDevice::ReadOwner | QFileDevice::ExeOwner
                                  | QFileDevice::ReadOther | QFileDevice::ExeOther);
    {
        std::optional<AsOrdinaryUser> user;
        if (readOnly)
            user.emplace();
        save(window, m_dir->filePath(QStringLiteral("take.mp3")));
    }
    QFile::setPermissions(m_dir->path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner
                              | QFileDevice::ExeOwner);
    QCOMPARE(m_messages->list.size(), size_t(1));
    QCOMPARE(m_messages->list.front().text, message);
    QCOMPARE(m_messages->list.front().title, QStringLiteral("Error"));
    verifyIdle(window);
    QVERIFY(!window.lameocx->isEncoding());
    QVERIFY(filesIn(m_dir->path()).isEmpty());
}

void tst_Save::failedEncodingGoesBackToIdle()
{
    // A folder stands where the MP3 should go, so the encoder cannot write it.
    QVERIFY(QDir(m_dir->path()).mkpath(QStringLiteral("take.mp3")));
    frmMain window;
    recordTake(window);
    save(window, m_dir->filePath(QStringLiteral("take.mp3")));
    QCOMPARE(m_messages->list.size(), size_t(1));
    QCOMPARE(m_messages->list.front().text, QStringLiteral("COULD NOT MAKE THE MP3 FILE!"));
    verifyIdle(window);
}

void tst_Save::stopDuringASaveKeepsSaveDisabled()
{
    frmMain window;
    recordTake(window);
    m_answers->choose(m_dir->filePath(QStringLiteral("take.mp3")));
    window.cmdsave_Click();
    window.cmdstop_Click();
    QVERIFY(!window.cmdsave->isEnabled());
    window.cmdsave_Click(); // as a click that got through would
    QCOMPARE(m_answers->calls.size(), size_t(1));
    QTRY_COMPARE_WITH_TIMEOUT(m_messages->list.size(), size_t(1), 20000);
    QCOMPARE(m_messages->list.front().title, QStringLiteral("Message"));
    verifyIdle(window);
}

QTEST_MAIN(tst_Save)
#include "tst_save.moc"
