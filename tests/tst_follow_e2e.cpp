#include "PulseProbe.h"
#include "TestSupport.h"

#include "app/frmMain.h"
#include "platform/Fonts.h"
#include "prompter/PromptBox.h"
#include "recorder/WaveAudioDevice.h"

#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextLayout>

namespace
{
const QString kFirst
    = "Good evening and welcome to the programme. Tonight we look at the weather over "
      "the coming week, and at the people who make the forecast.";
// Skipped by the reader: more words than following looks ahead without searching.
const QString kSkipped
    = "The long range outlook suggests a dry spell lasting into next month, which farmers in the "
      "eastern counties will welcome after the floods of the spring. Reservoirs remain low in "
      "places, so water companies are asking customers to use hosepipes sparingly and to report "
      "any leaks they notice in the street outside their homes.";
const QString kSecond = "Owners of small hotels on the coast expect a busy weekend, with sunshine, "
                        "light winds and warm evenings for everyone.";

// A voice reading text into the private server's microphone, while the window runs on;
// true when it was all played.
bool speak(const QString &text, const QString &folder)
{
    const QString wave = folder + "/speech.wav";
    if (QProcess::execute("espeak-ng", { "-s", "150", "-w", wave, text }) != 0)
        return false;
    QProcess player;
    player.start("paplay", { "-d", "vsink", wave });
    for (int waited = 0; player.state() != QProcess::NotRunning && waited < 30000; waited += 50)
        QTest::qWait(50);
    return player.exitStatus() == QProcess::NormalExit && player.exitCode() == 0;
}

// The words of the display line that lies across the reading line, as the presenter sees it.
QString lineAtReadingLine(const frmMain &w)
{
    const QWidget *line = child<QLineEdit>(w, "txtline");
    const QPoint at = line->geometry().center();
    for (PromptBox *box : w.findChildren<PromptBox *>("txtprompt")) {
        if (!box->isVisible() || !box->geometry().contains(at))
            continue;
        const QTextCursor cursor
            = box->cursorForPosition(box->viewport()->mapFrom(child(w, "picprompt"), at));
        const QTextLayout *layout = cursor.block().layout();
        const QTextLine shown = layout->lineForTextPosition(cursor.positionInBlock());
        return cursor.block().text().mid(shown.textStart(), shown.textLength());
    }
    return QString();
}
} // namespace

// Runs against the private sound server of the pulse fixture: what is played into the sink
// "vsink" is what the default input "vmic" hears.
class tst_FollowE2E : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(loadTahoma());
        installWaveAudioDriver();
        // Following starts off, as for a new user.
        QDir(qEnvironmentVariable("XDG_CONFIG_HOME") + "/tellvane").removeRecursively();
    }
    void followsAVoiceHoldsInItsPauseAndFindsASkip()
    {
        SettingsFolder folder("36\r\n65535\r\n0\r\n255\r\n5\r\n56\r\n");
        CapturedMessages messages;
        frmMain w;
        w.show();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        child<PromptBox>(w, "txtcontainer")
            ->setPlainText(kFirst + "\n\n" + kSkipped + "\n\n" + kSecond);
        QTest::keyClick(&w, Qt::Key_V);
        click(w, "cmdstart");
        QVERIFY2(messages.list.empty(), qPrintable(messages.shown().join('\n')));
        auto *sign = child<QLabel>(w, "lblfollow");
        // Start returns at once: the model of the script is made meanwhile.
        QVERIFY2(
            sign->isVisible() && sign->text().contains("Getting ready"), qPrintable(sign->text()));
        QVERIFY(child(w, "mtrprompt")->isVisible()); // the level of what it hears
        // Before a word is heard the script's beginning comes up to the reading line and waits.
        QTRY_VERIFY_WITH_TIMEOUT(lineAtReadingLine(w).startsWith("Good evening"), 5000);
        QTRY_VERIFY2(sign->text().contains("Following your voice"), qPrintable(sign->text()));
        // A take recorded meanwhile hears the one capture the follower hears.
        click(w, "cmdrecord");

        QVERIFY(speak(kFirst, folder.path()));
        QCOMPARE(recordingFrom(), QStringList { "vmic" });
        const QString level = child(w, "mtrprompt")->accessibleDescription();
        QVERIFY2(level.contains("dBFS"), qPrintable(level));
        // The pause: the text stops within about a second, at the end of what was said.
        QTest::qWait(1500);
        auto *speed = child<QScrollBar>(w, "hscspeed");
        QCOMPARE(speed->value(), 0);
        // At the end of what was said, within a line: one of its last three lines.
        QVERIFY2(kFirst.right(60).contains(lineAtReadingLine(w).trimmed()),
            qPrintable(lineAtReadingLine(w)));
        const QString held = lineAtReadingLine(w);
        QTest::qWait(1500);
        QCOMPARE(lineAtReadingLine(w), held);

        // The next paragraph skipped: found once a few of the words read are heard.
        QVERIFY(speak(kSecond, folder.path()));
        QTRY_VERIFY2_WITH_TIMEOUT(
            lineAtReadingLine(w).contains("everyone"), qPrintable(lineAtReadingLine(w)), 3000);
        // With the reading rate.
        QVERIFY2(sign->text().contains(" words a minute: ") && sign->text().contains("everyone"),
            qPrintable(sign->text()));
        click(w, "cmdstop"); // the follower goes on hearing
        QCOMPARE(recordingFrom(), QStringList { "vmic" });
        QVERIFY2(messages.list.empty(), qPrintable(messages.shown().join(QLatin1Char(10))));
    }
    // The sound server dies while the prompt follows, and the presenter starts afresh with
    // another script once it is back, before the window has heard of the loss: the loss
    // belongs to the session that ended, and the new one goes on following.
    void aLossLeftOverNeverStopsTheNextSession()
    {
        SettingsFolder folder("36\r\n65535\r\n0\r\n255\r\n5\r\n56\r\n");
        CapturedMessages messages;
        frmMain w;
        child<PromptBox>(w, "txtcontainer")->setPlainText(kFirst);
        click(w, "cmdstart"); // following is on since the test before
        auto *sign = child<QLabel>(w, "lblfollow");
        QTRY_VERIFY2(sign->text().contains("Following your voice"), qPrintable(sign->text()));
        QVERIFY(pulseFixture("stop"));
        // No event is handled meanwhile, so the loss the listener has already told of waits
        // in the queue; the capture sees the server go within milliseconds.
        QTest::qSleep(1000);
        QVERIFY(pulseFixture("start"));
        click(w, "cmdreset");
        // Another script: nothing of the last one's words is used while the new one's are made.
        child<PromptBox>(w, "txtcontainer")->setPlainText(kSecond);
        click(w, "cmdstart");
        QTRY_VERIFY2(sign->text().contains("Following your voice"), qPrintable(sign->text()));
        QTest::qWait(500);
        QVERIFY2(messages.list.empty(), qPrintable(messages.shown().join(QLatin1Char(10))));
        QTRY_COMPARE(recordingFrom(), QStringList { "vmic" });
        click(w, "cmdreset");
    }
};

QTEST_MAIN(tst_FollowE2E)
#include "tst_follow_e2e.moc"
