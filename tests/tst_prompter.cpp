#include "TestSupport.h"

#include "app/frmMain.h"
#include "platform/Fonts.h"
#include "platform/TextBoxLines.h"
#include "prompter/PromptBox.h"

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>
#include <QTextBlock>
#include <QTest>
#include <QTimer>
#include <QToolButton>

namespace {

QByteArray settings(int fontSize, int speed, qint32 fontColor = 65535, qint32 backColor = 0,
                    qint32 lineColor = 255)
{
    return QByteArray::number(fontSize) + "\r\n" + QByteArray::number(fontColor) + "\r\n"
        + QByteArray::number(backColor) + "\r\n" + QByteArray::number(lineColor) + "\r\n"
        + QByteArray::number(speed) + "\r\n56\r\n";
}

// Short lines that never wrap, so display lines and script lines are the same.
QString script(int lines)
{
    QStringList list;
    for (int i = 0; i < lines; ++i)
        list << QStringLiteral("line %1").arg(i);
    return list.join(QLatin1Char('\n'));
}

// The text of each display line of a box, without the break that ends it.
QStringList displayLines(PromptBox *box)
{
    TextBoxLines &lines = box->lines();
    const QString text = box->toPlainText();
    const int count = lines.lineCount();
    QStringList result;
    for (int i = 0; i < count; ++i) {
        const int start = lines.lineIndex(i);
        const int end = i + 1 < count ? lines.lineIndex(i + 1) : int(text.size());
        QString line = text.mid(start, end - start);
        if (line.endsWith(QLatin1Char('\n')))
            line.chop(1);
        result << line;
    }
    return result;
}

// Every box shows the store's display lines it was cut from, none lost, none twice.
void verifyCut(frmMain &window, int linesPerBox)
{
    const QStringList store = displayLines(window.txtcontainer);
    const int last = window.mLastBox;
    QCOMPARE(int(window.txtprompt.size()), last + 1);
    for (int j = 0; j <= last; ++j) {
        PromptBox *box = window.txtprompt[size_t(j)];
        QStringList shown = displayLines(box);
        // A box cut at a line break ends with it, which opens one empty line more.
        if (j < last && box->toPlainText().endsWith(QLatin1Char('\n')))
            QCOMPARE(shown.takeLast(), QString());
        const QStringList expected = store.mid(j * linesPerBox, j < last ? linesPerBox : -1);
        QCOMPARE(shown, expected);
        QVERIFY(!box->isHidden());
        QCOMPARE(box->Top(), 5800.0f);
        QCOMPARE(box->Height(), float(window.mBoxHeight));
    }
}

} // namespace

class tst_Prompter : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void cutsIntoBoxes_data();
    void cutsIntoBoxes();
    void cutsAWrappedParagraph();
    void countsALastEmptyLine_data();
    void countsALastEmptyLine();
    void boxesHoldTheirLines_data();
    void boxesHoldTheirLines();
    void refusesAnEmptyScript();
    void reloadsSettingsOnlyAtAFreshStart();
    void handsOverToTheNextBox();
    void movesByTheSpeed_data();
    void movesByTheSpeed();
    void followsOnlyBelowTheHandover();
    void pausesAndResumes();
    void spaceHoldsAndReleases();
    void spaceBeforePauseSavesZero();
    void resetRestores_data();
    void resetRestores();
    void resetWhileIdleDoesNothing();
    void arrowKeysStep_data();
    void arrowKeysStep();
    void escapeTogglesTheHeight();
    void speedLabelFollows();
    void focusStaysOffTheStore();
};

void tst_Prompter::initTestCase()
{
    QVERIFY(loadTahoma());
}

void tst_Prompter::cutsIntoBoxes_data()
{
    QTest::addColumn<int>("fontSize");
    QTest::addColumn<int>("lines");
    QTest::addColumn<int>("perBox");
    QTest::addColumn<int>("lastBox");
    QTest::addColumn<int>("lastLines");
    QTest::newRow("36: 112 fill one box") << 36 << 112 << 112 << 0 << 112;
    QTest::newRow("36: 113 give two") << 36 << 113 << 112 << 1 << 1;
    QTest::newRow("36: 300") << 36 << 300 << 112 << 2 << 76;
    QTest::newRow("28: 289") << 28 << 289 << 144 << 2 << 1;
    QTest::newRow("24: 166") << 24 << 166 << 166 << 0 << 166;
    QTest::newRow("24: 500") << 24 << 500 << 166 << 3 << 2;
}

void tst_Prompter::cutsIntoBoxes()
{
    QFETCH(int, fontSize);
    QFETCH(int, lines);
    QFETCH(int, perBox);
    QFETCH(int, lastBox);
    QFETCH(int, lastLines);
    SettingsFolder folder;
    folder.write(settings(fontSize, 10, 0x00FFFF, 0x400000, 0x0000FF));
    frmMain window;
    window.txtcontainer->setPlainText(script(lines));
    window.cmdstart_Click();

    QCOMPARE(window.mLastBox, lastBox);
    QCOMPARE(window.mLineCount, lastLines);
    QCOMPARE(window.mBoxHeight + window.mHandoverTop, 5700);
    verifyCut(window, perBox);
    if (lastBox == 0)
        QCOMPARE(window.txtprompt[0]->toPlainText(), window.txtcontainer->toPlainText());
    for (PromptBox *box : window.txtprompt) {
        QCOMPARE(box->font().pixelSize(), window.txtcontainer->font().pixelSize());
        QCOMPARE(box->palette().color(QPalette::Base), QColor(0, 0, 0x40));
        QCOMPARE(box->palette().color(QPalette::Text), QColor(0xFF, 0xFF, 0));
    }
    QVERIFY(window.tmrmain->isActive());
    QVERIFY(!window.cmdstart->isEnabled());
    QVERIFY(window.cmdpause->isEnabled());
}

void tst_Prompter::cutsAWrappedParagraph()
{
    SettingsFolder folder;
    folder.write(settings(28, 10));
    frmMain window;
    window.txtcontainer->setFontSize(28);
    // One paragraph, cut back at the start of its 201st display line.
    QString paragraph;
    for (int i = 0; i < 3000; ++i)
        paragraph += QStringLiteral("word%1 ").arg(i);
    window.txtcontainer->setPlainText(paragraph);
    TextBoxLines &store = window.txtcontainer->lines();
    QVERIFY(store.lineCount() > 200);
    window.txtcontainer->setPlainText(paragraph.left(store.lineIndex(200)));
    QCOMPARE(store.lineCount(), 200);

    window.cmdstart_Click();
    QCOMPARE(window.mLastBox, 1);
    QCOMPARE(window.mLineCount, 56);
    verifyCut(window, 144);
    QCOMPARE(window.txtprompt[1]->toPlainText(),
             window.txtcontainer->toPlainText().mid(store.lineIndex(144)));
}

void tst_Prompter::countsALastEmptyLine_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("lines");
    QTest::newRow("line break only") << QStringLiteral("\n") << 2;
    QTest::newRow("ends with a break") << QStringLiteral("one\ntwo\n") << 3;
    QTest::newRow("113th line empty") << script(112) + QLatin1Char('\n') << 113;
}

void tst_Prompter::countsALastEmptyLine()
{
    QFETCH(QString, text);
    QFETCH(int, lines);
    SettingsFolder folder;
    folder.write(settings(36, 10));
    CapturedMessages messages;
    frmMain window;
    window.txtcontainer->setPlainText(text);
    window.cmdstart_Click();
    QVERIFY(messages.list.empty());
    QCOMPARE(window.mLastBox, lines > 112 ? 1 : 0);
    verifyCut(window, 112);
    const QStringList last = displayLines(window.txtprompt.back());
    QCOMPARE(last.last(), QString());
}

void tst_Prompter::boxesHoldTheirLines_data()
{
    QTest::addColumn<int>("fontSize");
    QTest::addColumn<int>("perBox");
    QTest::newRow("36") << 36 << 112;
    QTest::newRow("28") << 28 << 144;
    QTest::newRow("24") << 24 << 166;
}

void tst_Prompter::boxesHoldTheirLines()
{
    QFETCH(int, fontSize);
    QFETCH(int, perBox);
    SettingsFolder folder;
    folder.write(settings(fontSize, 10));
    frmMain window;
    window.txtcontainer->setPlainText(script(perBox * 2));
    window.cmdstart_Click();
    PromptBox *box = window.txtprompt[0];
    // The box stacks its lines one under the other from its top edge.
    const QAbstractTextDocumentLayout *layout = box->document()->documentLayout();
    qreal bottom = 0;
    qreal lineHeight = 0;
    for (QTextBlock line = box->document()->begin(); line.blockNumber() < perBox;
         line = line.next()) {
        lineHeight = layout->blockBoundingRect(line).height();
        bottom += lineHeight;
    }
    QVERIFY2(bottom <= box->height(),
             qPrintable(QStringLiteral("%1 > %2").arg(bottom).arg(box->height())));
    // Less than a line stays empty below the last one, so the next box's text
    // follows without a blank stretch.
    QVERIFY2(box->height() - bottom < lineHeight,
             qPrintable(QStringLiteral("%1 px empty").arg(box->height() - bottom)));
    QCOMPARE(window.mBoxHeight + window.mHandoverTop, 5700);
}

void tst_Prompter::refusesAnEmptyScript()
{
    SettingsFolder folder;
    folder.write(settings(36, 10));
    CapturedMessages messages;
    frmMain window;

    // Idle: nothing changes, not even the speed from a rewritten file.
    folder.write(settings(28, 40));
    window.cmdstart_Click();
    QCOMPARE(messages.list.size(), size_t(1));
    QCOMPARE(messages.list[0].text, QStringLiteral("NOTHING TO SCROLL!"));
    QCOMPARE(messages.list[0].title, QStringLiteral("Error"));
    QCOMPARE(messages.list[0].style, MsgStyle::Critical);
    QVERIFY(!window.tmrmain->isActive());
    QCOMPARE(window.hscspeed->value(), 10);
    QVERIFY(window.cmdstart->isEnabled());
    QVERIFY(!window.cmdpause->isEnabled());

    // Paused: the message, and still paused.
    window.txtcontainer->setPlainText(script(10));
    window.cmdstart_Click();
    window.cmdpause_Click();
    window.txtcontainer->clear();
    window.cmdstart_Click();
    QCOMPARE(messages.list.size(), size_t(2));
    QCOMPARE(messages.list[1].text, QStringLiteral("NOTHING TO SCROLL!"));
    QCOMPARE(window.mPaused, -1);
    QCOMPARE(window.hscspeed->value(), 0);
    QVERIFY(window.cmdstart->isEnabled());
    QVERIFY(!window.cmdpause->isEnabled());
    QVERIFY(window.tmrmain->isActive());
}

void tst_Prompter::reloadsSettingsOnlyAtAFreshStart()
{
    SettingsFolder folder;
    folder.write(settings(36, 20, 0x00FFFF, 0x000000, 0x0000FF));
    frmMain window;
    window.txtcontainer->setPlainText(script(300));
    window.cmdstart_Click();
    QTest::keyClick(&window, Qt::Key_Up);
    QCOMPARE(window.hscspeed->value(), 25);
    PromptBox *second = window.txtprompt[1];
    const qint32 boxHeight36 = window.mBoxHeight;

    folder.write(settings(28, 30, 0xFFFFFF, 0x800000, 0x00FF00));
    window.cmdpause_Click();
    window.cmdstart_Click();
    QCOMPARE(window.hscspeed->value(), 25);
    QCOMPARE(window.mLastBox, 2);
    QCOMPARE(window.txtprompt[1], second);
    QCOMPARE(window.mBoxHeight, boxHeight36);
    QCOMPARE(window.txtprompt[0]->font().pixelSize(), 48);
    QCOMPARE(window.picprompt->palette().color(QPalette::Window), QColor(0, 0, 0));

    window.cmdreset_Click();
    window.cmdstart_Click();
    QCOMPARE(window.hscspeed->value(), 30);
    QCOMPARE(window.lblspeed->text(), QStringLiteral("30"));
    QVERIFY(window.mBoxHeight < boxHeight36);
    QCOMPARE(window.mBoxHeight + window.mHandoverTop, 5700);
    QCOMPARE(window.mLastBox, 2);
    QCOMPARE(window.mLineCount, 12);
    QCOMPARE(window.txtcontainer->font().pixelSize(), 37);
    QCOMPARE(window.picprompt->palette().color(QPalette::Window), QColor(0, 0, 0x80));
    QCOMPARE(window.txtline->palette().color(QPalette::Base), QColor(0, 0xFF, 0));
    for (PromptBox *box : window.txtprompt) {
        QCOMPARE(box->font().pixelSize(), 37);
        QCOMPARE(box->palette().color(QPalette::Base), QColor(0, 0, 0x80));
        QCOMPARE(box->palette().color(QPalette::Text), QColor(0xFF, 0xFF, 0xFF));
    }
    verifyCut(window, 144);
}

// At speed 10 box 1 waits at 5800 until the tick in which box 0's Top passes below
// the hand-over Top (the 9771st with Tahoma's line height on Windows).
static int handoverTick(const frmMain &window)
{
    return (5800 - window.mHandoverTop) / 10 + 1;
}

void tst_Prompter::handsOverToTheNextBox()
{
    SettingsFolder folder;
    folder.write(settings(36, 10));
    frmMain window;
    window.txtcontainer->setPlainText(script(113));
    window.cmdstart_Click();
    window.tmrmain->stop(); // ticks are driven by hand
    const int startTick = handoverTick(window);
    for (int tick = 1; tick < startTick; ++tick)
        window.tmrmain_Timer();
    QVERIFY(window.txtprompt[0]->Top() >= float(window.mHandoverTop));
    QCOMPARE(window.txtprompt[1]->Top(), 5800.0f);
    window.tmrmain_Timer();
    QCOMPARE(window.txtprompt[0]->Top(), 5800.0f - 10.0f * float(startTick));
    QVERIFY(window.txtprompt[0]->Top() < float(window.mHandoverTop));
    QCOMPARE(window.txtprompt[1]->Top(), 5790.0f);
    window.tmrmain_Timer();
    QCOMPARE(window.txtprompt[1]->Top(), 5780.0f);
    // Its top edge follows 100 twips below its predecessor's bottom edge.
    QCOMPARE(window.txtprompt[1]->Top() - (window.txtprompt[0]->Top() + window.mBoxHeight),
             100.0f);
}

void tst_Prompter::movesByTheSpeed_data()
{
    QTest::addColumn<int>("speed");
    QTest::addColumn<float>("top");
    QTest::newRow("0 holds") << 0 << 5800.0f;
    QTest::newRow("10 rises") << 10 << 5770.0f;
    QTest::newRow("-20 sinks") << -20 << 5860.0f;
}

void tst_Prompter::movesByTheSpeed()
{
    QFETCH(int, speed);
    QFETCH(float, top);
    SettingsFolder folder;
    folder.write(settings(36, speed));
    frmMain window;
    window.txtcontainer->setPlainText(script(300));
    window.cmdstart_Click();
    window.tmrmain->stop();
    for (int tick = 0; tick < 3; ++tick)
        window.tmrmain_Timer();
    QCOMPARE(window.txtprompt[0]->Top(), top);
    QCOMPARE(window.txtprompt[1]->Top(), 5800.0f);
    QCOMPARE(window.lblspeed->text(), QString::number(speed));
    QCOMPARE(window.mSpeed, speed);
}

void tst_Prompter::followsOnlyBelowTheHandover()
{
    SettingsFolder folder;
    folder.write(settings(36, 10));
    frmMain window;
    window.txtcontainer->setPlainText(script(113));
    window.cmdstart_Click();
    window.tmrmain->stop();
    const int startTick = handoverTick(window);
    for (int tick = 0; tick <= startTick; ++tick)
        window.tmrmain_Timer();
    QCOMPARE(window.txtprompt[1]->Top(), 5780.0f);
    // Back above the hand-over Top: box 1 stays where it is.
    window.hscspeed->setValue(-20);
    window.tmrmain_Timer();
    QCOMPARE(window.txtprompt[0]->Top(), 5800.0f - 10.0f * float(startTick - 1));
    QCOMPARE(window.txtprompt[1]->Top(), 5780.0f);
    window.hscspeed->setValue(10);
    window.tmrmain_Timer();
    QCOMPARE(window.txtprompt[0]->Top(), 5800.0f - 10.0f * float(startTick));
    QCOMPARE(window.txtprompt[1]->Top(), 5770.0f);
}

void tst_Prompter::pausesAndResumes()
{
    SettingsFolder folder;
    folder.write(settings(36, 15));
    frmMain window;
    window.txtcontainer->setPlainText(script(300));
    window.cmdstart_Click();
    for (int round = 0; round < 2; ++round) {
        window.cmdpause_Click();
        QCOMPARE(window.mSavedSpeed, 15);
        QCOMPARE(window.hscspeed->value(), 0);
        QCOMPARE(window.lblspeed->text(), QStringLiteral("0"));
        QCOMPARE(window.mPaused, -1);
        QVERIFY(window.cmdstart->isEnabled());
        QVERIFY(!window.cmdpause->isEnabled());
        QVERIFY(window.tmrmain->isActive());
        const float top = window.txtprompt[0]->Top();
        window.tmrmain_Timer();
        QCOMPARE(window.txtprompt[0]->Top(), top);

        window.cmdstart_Click();
        QCOMPARE(window.hscspeed->value(), 15);
        QCOMPARE(window.lblspeed->text(), QStringLiteral("15"));
        QCOMPARE(window.mPaused, -1);
        QVERIFY(!window.cmdstart->isEnabled());
        QVERIFY(window.cmdpause->isEnabled());
        window.tmrmain_Timer();
        QCOMPARE(window.txtprompt[0]->Top(), top - 15);
    }
}

void tst_Prompter::spaceHoldsAndReleases()
{
    SettingsFolder folder;
    folder.write(settings(36, 15));
    frmMain window;
    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    window.txtcontainer->setPlainText(script(300));
    window.cmdstart_Click();
    window.cmdpause->setFocus();
    QTRY_VERIFY(window.cmdpause->hasFocus());

    // The focused Pause button does not also take the space bar.
    QTest::keyClick(window.cmdpause, Qt::Key_Space);
    QCOMPARE(window.hscspeed->value(), 0);
    QCOMPARE(window.lblspeed->text(), QStringLiteral("0"));
    QCOMPARE(window.mSavedSpeed, 15);
    QCOMPARE(window.mPaused, 0);
    QVERIFY(window.cmdpause->isEnabled());
    QVERIFY(!window.cmdstart->isEnabled());

    QTest::keyClick(window.cmdpause, Qt::Key_Space);
    QCOMPARE(window.hscspeed->value(), 15);
    QCOMPARE(window.mPaused, 0);
    QVERIFY(window.tmrmain->isActive());
}

void tst_Prompter::spaceBeforePauseSavesZero()
{
    SettingsFolder folder;
    folder.write(settings(36, 15));
    frmMain window;
    window.txtcontainer->setPlainText(script(10));
    window.cmdstart_Click();
    QTest::keyClick(&window, Qt::Key_Space);
    window.cmdpause_Click();
    QCOMPARE(window.mSavedSpeed, 0);
    window.cmdstart_Click();
    QCOMPARE(window.hscspeed->value(), 0);
    QTest::keyClick(&window, Qt::Key_Up);
    QCOMPARE(window.hscspeed->value(), 5);
}

void tst_Prompter::resetRestores_data()
{
    QTest::addColumn<bool>("paused");
    QTest::addColumn<int>("speed");
    QTest::newRow("while paused") << true << 25;
    // The speed last saved (at start-up), not the one shown.
    QTest::newRow("while scrolling") << false << 15;
}

void tst_Prompter::resetRestores()
{
    QFETCH(bool, paused);
    QFETCH(int, speed);
    SettingsFolder folder;
    folder.write(settings(36, 15));
    frmMain window;
    window.txtcontainer->setPlainText(script(300));
    window.cmdstart_Click();
    QTest::keyClick(&window, Qt::Key_Up);
    QTest::keyClick(&window, Qt::Key_Up);
    for (int tick = 0; tick < 5; ++tick)
        window.tmrmain_Timer();
    if (paused)
        window.cmdpause_Click();
    const QString text = window.txtprompt[0]->toPlainText();

    window.cmdreset_Click();
    QVERIFY(!window.tmrmain->isActive());
    QCOMPARE(window.mPaused, 0);
    QCOMPARE(window.hscspeed->value(), speed);
    QCOMPARE(window.lblspeed->text(), QString::number(speed));
    QCOMPARE(window.txtprompt.size(), size_t(1));
    QCOMPARE(window.picprompt->findChildren<PromptBox *>().size(), 1);
    QCOMPARE(window.txtprompt[0]->Top(), 5800.0f);
    QCOMPARE(window.txtprompt[0]->toPlainText(), text);
    QCOMPARE(window.mLastBox, 2);
    QVERIFY(window.cmdstart->isEnabled());
    QVERIFY(!window.cmdpause->isEnabled());

    // Then a fresh start.
    window.cmdstart_Click();
    QCOMPARE(window.hscspeed->value(), 15);
    QCOMPARE(window.mLastBox, 2);
    verifyCut(window, 112);
}

void tst_Prompter::resetWhileIdleDoesNothing()
{
    SettingsFolder folder;
    folder.write(settings(36, 15));
    frmMain window;
    QTest::keyClick(&window, Qt::Key_Down);
    window.cmdreset_Click();
    QCOMPARE(window.hscspeed->value(), 10);
    QVERIFY(window.cmdstart->isEnabled());
    QVERIFY(!window.cmdpause->isEnabled());
}

void tst_Prompter::arrowKeysStep_data()
{
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("to");
    QTest::newRow("up") << 20 << int(Qt::Key_Up) << 25;
    QTest::newRow("down") << 20 << int(Qt::Key_Down) << 15;
    QTest::newRow("down below 0") << 3 << int(Qt::Key_Down) << -2;
    QTest::newRow("up to the end") << 108 << int(Qt::Key_Up) << 110;
    QTest::newRow("up at the end") << 110 << int(Qt::Key_Up) << 110;
    QTest::newRow("down at the end") << -110 << int(Qt::Key_Down) << -110;
}

void tst_Prompter::arrowKeysStep()
{
    QFETCH(int, from);
    QFETCH(int, key);
    QFETCH(int, to);
    SettingsFolder folder;
    folder.write(settings(36, from));
    frmMain window;
    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    // The focused scroll bar does not also take its own arrow step.
    window.hscspeed->setFocus();
    QTRY_VERIFY(window.hscspeed->hasFocus());
    QTest::keyClick(window.hscspeed, Qt::Key(key));
    QCOMPARE(window.hscspeed->value(), to);
    QCOMPARE(window.lblspeed->text(), QString::number(to));
}

void tst_Prompter::escapeTogglesTheHeight()
{
    SettingsFolder folder;
    folder.write(settings(36, 10));
    frmMain window;
    const int width = window.width();
    QCOMPARE(window.height(), 516);
    QTest::keyClick(&window, Qt::Key_Escape);
    QCOMPARE(window.height(), 398);
    QCOMPARE(window.width(), width);
    QTest::keyClick(&window, Qt::Key_Escape);
    QCOMPARE(window.height(), 516);

    window.setFixedSize(width, 450);
    QTest::keyClick(&window, Qt::Key_Escape);
    QCOMPARE(window.height(), 516);
    QCOMPARE(window.width(), width);
}

void tst_Prompter::speedLabelFollows()
{
    SettingsFolder folder;
    folder.write(settings(36, 10));
    frmMain window;

    // A drag shows the scroll box's position even before the value follows it.
    window.hscspeed->setTracking(false);
    window.hscspeed->setSliderDown(true);
    window.hscspeed->setSliderPosition(40);
    QCOMPARE(window.lblspeed->text(), QStringLiteral("40"));
    window.hscspeed->setSliderDown(false);
    QCOMPARE(window.hscspeed->value(), 40);
    window.hscspeed->setTracking(true);

    window.hscspeed->triggerAction(QAbstractSlider::SliderSingleStepSub);
    QCOMPARE(window.lblspeed->text(), QStringLiteral("39"));
    window.hscspeed->setValue(-7);
    QCOMPARE(window.lblspeed->text(), QStringLiteral("-7"));

    // The drag stored 40, so a fresh Start begins there.
    window.txtcontainer->setPlainText(script(10));
    window.cmdstart_Click();
    QCOMPARE(window.lblspeed->text(), QStringLiteral("40"));
    window.lblspeed->clear();
    window.tmrmain_Timer();
    QCOMPARE(window.lblspeed->text(), QStringLiteral("40"));
}

void tst_Prompter::focusStaysOffTheStore()
{
    SettingsFolder folder;
    folder.write(settings(36, 10));
    frmMain window;
    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    const QString text = script(300);
    window.txtcontainer->setPlainText(text);
    window.cmdstart->setFocus();
    QTRY_VERIFY(window.cmdstart->hasFocus());

    window.cmdstart->click();
    QCOMPARE(window.mLastBox, 2);
    QVERIFY(window.cmdpause->hasFocus());
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("xyz"));
    QCOMPARE(window.txtcontainer->toPlainText(), text);
    QCOMPARE(window.txtcontainer->focusPolicy(), Qt::NoFocus);

    window.cmdpause->click();
    QVERIFY(window.cmdstart->hasFocus());
}

QTEST_MAIN(tst_Prompter)
#include "tst_prompter.moc"
