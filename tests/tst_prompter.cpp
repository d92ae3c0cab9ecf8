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
#include <QTimer>
#include <QToolButton>

#include <functional>

namespace
{

QByteArray settings(
    int fontSize, int speed, qint32 fontColor = 65535, qint32 backColor = 0, qint32 lineColor = 255)
{
    return QByteArray::number(fontSize) + "\r\n" + QByteArray::number(fontColor) + "\r\n"
        + QByteArray::number(backColor) + "\r\n" + QByteArray::number(lineColor) + "\r\n"
        + QByteArray::number(speed) + "\r\n56\r\n";
}

// Numbered words or lines; short lines never wrap, so display and script lines agree.
QString numbered(const char *pattern, int count, char separator)
{
    QStringList list;
    for (int i = 0; i < count; ++i)
        list << QString::fromLatin1(pattern).arg(i);
    return list.join(QLatin1Char(separator));
}
QString script(int lines)
{
    return numbered("line %1", lines, '\n');
}

// The boxes hold the store's text, none lost or shown twice, each box as many of
// its own display lines as were cut into it; waiting at 5800 in font and colours.
void verifyCut(frmMain &w, int linesPerBox, int pixels, const QColor &back, const QColor &text)
{
    const int last = w.mLastBox;
    QCOMPARE(int(w.txtprompt.size()), last + 1);
    QCOMPARE(w.mBoxHeight + w.mHandoverTop, 5700);
    QCOMPARE(w.txtcontainer->font().pixelSize(), pixels);
    QString shown;
    for (int j = 0; j <= last; ++j) {
        PromptBox *box = w.txtprompt[size_t(j)];
        shown += box->toPlainText();
        // A box cut at a line break ends with it, which opens one empty line more.
        const bool endsWithBreak = j < last && box->toPlainText().endsWith(QLatin1Char('\n'));
        QCOMPARE(box->lines().lineCount() - endsWithBreak, j < last ? linesPerBox : w.mLineCount);
        QVERIFY(!box->isHidden());
        QCOMPARE(box->Top(), 5800.0f);
        QCOMPARE(box->Height(), float(w.mBoxHeight));
        QCOMPARE(box->font().pixelSize(), pixels);
        QCOMPARE(box->palette().color(QPalette::Base), back);
        QCOMPARE(box->palette().color(QPalette::Text), text);
    }
    QCOMPARE(shown, w.txtcontainer->toPlainText());
}

// The scroller at a glance: the buttons enabled, "timer" while it runs, "paused"
// while mPaused is True, speed/speed shown, box 0's Top, the number of boxes, the
// focus, the window's size unless whole, and the messages shown.
QString state(const frmMain &w, const CapturedMessages &messages)
{
    const QWidget *focus = QApplication::focusWidget();
    QStringList words { w.cmdstart->isEnabled() ? "start" : "",
        w.cmdpause->isEnabled() ? "pause" : "", w.tmrmain->isActive() ? "timer" : "",
        w.mPaused == -1 ? "paused" : "",
        QStringLiteral("%1/%2").arg(w.hscspeed->value()).arg(w.lblspeed->text()),
        QString::number(w.txtprompt[0]->Top()), QStringLiteral("x%1").arg(w.txtprompt.size()),
        focus == w.cmdstart       ? "@start"
            : focus == w.cmdpause ? "@pause"
            : focus == w.hscspeed ? "@speed"
                                  : "@other" };
    if (w.size() != QSize(638, 516))
        words << QStringLiteral("%1x%2").arg(w.width()).arg(w.height());
    words.removeAll(QString());
    return (words + messages.shown()).join(QLatin1Char(' '));
}

// A main window on a settings.ini of the test's own, its store holding a script.
struct Prompter {
    Prompter(const QByteArray &ini, const QString &text)
        : folder(ini)
    {
        w.txtcontainer->setPlainText(text);
    }
    SettingsFolder folder;
    CapturedMessages messages;
    frmMain w;
};

} // namespace

struct Cut {
    int fontSize;
    QString text;
    int perBox, lastBox, lastLines; // lastLines: display lines left for the last box
    int cutBackTo = 0; // the text is cut back to the start of this display line
};
Q_DECLARE_METATYPE(Cut)

class tst_Prompter : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QVERIFY(loadTahoma()); }

    void cutsIntoBoxes_data()
    {
        QTest::addColumn<Cut>("cut");
        QTest::newRow("36: 112 fill one box") << Cut { 36, script(112), 112, 0, 112 };
        QTest::newRow("36: 113 give two") << Cut { 36, script(113), 112, 1, 1 };
        QTest::newRow("36: 300") << Cut { 36, script(300), 112, 2, 76 };
        // A trailing line break opens one more, empty, line.
        QTest::newRow("line break only") << Cut { 36, QStringLiteral("\n"), 112, 0, 2 };
        QTest::newRow("ends with a break") << Cut { 36, QStringLiteral("one\ntwo\n"), 112, 0, 3 };
        QTest::newRow("113th line empty") << Cut { 36, script(112) + '\n', 112, 1, 1 };
        QTest::newRow("28: 289") << Cut { 28, script(289), 144, 2, 1 };
        QTest::newRow("28: a paragraph of 200")
            << Cut { 28, numbered("word%1", 3000, ' '), 144, 1, 56, 200 };
        QTest::newRow("24: 500") << Cut { 24, script(500), 166, 3, 2 };
    }
    void cutsIntoBoxes()
    {
        QFETCH(Cut, cut);
        Prompter p(settings(cut.fontSize, 10, 0x00FFFF, 0x400000, 0x0000FF), cut.text);
        p.w.txtcontainer->setFontSize(cut.fontSize);
        if (cut.cutBackTo > 0)
            p.w.txtcontainer->setPlainText(
                cut.text.left(p.w.txtcontainer->lines().lineIndex(cut.cutBackTo)));
        p.w.cmdstart_Click();
        QCOMPARE(state(p.w, p.messages),
            QStringLiteral("pause timer 10/10 5800 x%1 @other").arg(cut.lastBox + 1));
        QCOMPARE(p.w.mLineCount, cut.lastLines);
        const int pixels = cut.fontSize == 36 ? 48 : cut.fontSize == 28 ? 37 : 32;
        verifyCut(p.w, cut.perBox, pixels, QColor(0, 0, 0x40), QColor(0xFF, 0xFF, 0));
        if (cut.lastBox == 0)
            QCOMPARE(p.w.txtprompt[0]->toPlainText(), cut.text);
        // A full box holds its lines with less than one to spare, so that the next
        // box's text follows without a blank stretch.
        if (cut.lastBox == 0)
            return;
        const QTextDocument *document = p.w.txtprompt[0]->document();
        qreal bottom = 0, line = 0;
        for (QTextBlock b = document->begin(); b.isValid() && b.blockNumber() < cut.perBox;
             b = b.next())
            bottom += line = document->documentLayout()->blockBoundingRect(b).height();
        const int height = p.w.txtprompt[0]->height();
        QVERIFY2(bottom <= height && height - bottom < line,
            qPrintable(QStringLiteral("%1 of %2 px").arg(bottom).arg(height)));
    }

    void reloadsSettingsOnlyAtAFreshStart()
    {
        Prompter p(settings(36, 20, 0x00FFFF, 0x000000, 0x0000FF), script(300));
        p.w.cmdstart_Click();
        QTest::keyClick(&p.w, Qt::Key_Up);
        p.w.tmrmain_Timer();
        const QString firstBox = p.w.txtprompt[0]->toPlainText();
        p.folder.write(settings(28, 30, 0xFFFFFF, 0x800000, 0x00FF00));
        p.w.cmdpause_Click();
        p.w.cmdstart_Click();
        QCOMPARE(state(p.w, p.messages), "pause timer paused 25/25 5775 x3 @other");
        QCOMPARE(p.w.picprompt->palette().color(QPalette::Window), QColor(0, 0, 0));
        // Reset keeps box 0's text for the fresh Start, which cuts anew.
        p.w.cmdreset_Click();
        QCOMPARE(p.w.txtprompt[0]->toPlainText(), firstBox);
        p.w.cmdstart_Click();
        QCOMPARE(state(p.w, p.messages), "pause timer 30/30 5800 x3 @other");
        QCOMPARE(p.w.mLineCount, 12);
        QCOMPARE(p.w.picprompt->palette().color(QPalette::Window), QColor(0, 0, 0x80));
        QCOMPARE(p.w.txtline->palette().color(QPalette::Base), QColor(0, 0xFF, 0));
        verifyCut(p.w, 144, 37, QColor(0, 0, 0x80), QColor(0xFF, 0xFF, 0xFF));
    }

    // At speed 10 box 1 waits at 5800 until the tick in which box 0's Top passes
    // below the hand-over Top (the 9771st with Tahoma's line height on Windows).
    void handsOverToTheNextBox()
    {
        Prompter p(settings(36, 10), script(113));
        const std::vector<PromptBox *> &boxes = p.w.txtprompt;
        p.w.cmdstart_Click();
        const int handoverTick = (5800 - p.w.mHandoverTop) / 10 + 1;
        for (int tick = 1; tick < handoverTick; ++tick)
            p.w.tmrmain_Timer();
        QCOMPARE(boxes[1]->Top(), 5800.0f);
        p.w.tmrmain_Timer();
        QVERIFY(boxes[0]->Top() < float(p.w.mHandoverTop));
        QCOMPARE(boxes[1]->Top(), 5790.0f);
        p.w.tmrmain_Timer();
        // Its top edge follows 100 twips below its predecessor's bottom edge.
        QCOMPARE(boxes[1]->Top() - (boxes[0]->Top() + p.w.mBoxHeight), 100.0f);
        // Back above the hand-over Top, box 1 stays where it is.
        p.w.hscspeed->setValue(-20);
        p.w.tmrmain_Timer();
        QCOMPARE(boxes[1]->Top(), 5780.0f);
        p.w.hscspeed->setValue(10);
        p.w.tmrmain_Timer();
        QCOMPARE(boxes[1]->Top(), 5770.0f);
    }

    void followsTheStateTable_data()
    {
        // Steps from Idle at speed 15, 300 lines in the store, the focus on Start.
        QTest::addColumn<QString>("steps");
        QTest::addColumn<QString>("expected");
        const auto row = [](const char *name, const QString &steps, const QString &expected) {
            QTest::newRow(name) << steps << expected;
        };
        row("Start", "start", "pause timer 15/15 5800 x3 @pause");
        row("speed 0", "start =0 tick tick", "pause timer 0/0 5800 x3 @pause");
        row("speed -20", "start =-20 tick tick", "pause timer -20/-20 5840 x3 @pause");
        row("Pause", "start tick pause tick", "start timer paused 0/0 5785 x3 @start");
        row("Pause, Start", "start tick pause start tick",
            "pause timer paused 15/15 5770 x3 @pause");
        // Nothing changes, not even the speed from the file.
        row("no script in Idle", "=40 clear start",
            "start 40/40 5800 x1 @start Error: NOTHING TO SCROLL!");
        row("no script while paused", "start pause clear start",
            "start timer paused 0/0 5800 x3 @start Error: NOTHING TO SCROLL!");
        row("Reset in Idle", "down reset", "start 10/10 5800 x1 @start");
        // The speed last saved: by Pause, or at start-up.
        row("Reset while paused", "start up up tick pause reset", "start 25/25 5800 x1 @start");
        row("Reset while scrolling", "start up up tick reset", "start 15/15 5800 x1 @start");
        // The focused button takes neither the space bar nor typed keys.
        row("space holds", "start space type", "pause timer 0/0 5800 x3 @pause");
        row("space releases", "start space space", "pause timer 15/15 5800 x3 @pause");
        row("space, then Pause saves 0", "start space pause start up",
            "pause timer paused 5/5 5800 x3 @pause");
        // The focused scroll bar does not take its own arrow steps.
        row("Up", "@speed up", "start 20/20 5800 x1 @speed");
        row("Up at the end", "=110 @speed up", "start 110/110 5800 x1 @speed");
        row("Down at the end", "=-110 @speed down", "start -110/-110 5800 x1 @speed");
        // The client height: the prompt area alone, and back to the whole window.
        row("Escape", "esc", "start 15/15 5800 x1 @start 638x398");
        row("Escape twice", "esc esc", "start 15/15 5800 x1 @start");
    }
    void followsTheStateTable()
    {
        QFETCH(QString, steps);
        QFETCH(QString, expected);
        Prompter p(settings(36, 15), script(300));
        p.w.show();
        QVERIFY(QTest::qWaitForWindowActive(&p.w));
        p.w.cmdstart->setFocus();
        const auto key = [](Qt::Key key) {
            return [key] { QTest::keyClick(QApplication::focusWidget(), key); };
        };
        const std::map<QString, std::function<void()>> act {
            { "start", [&] { p.w.cmdstart->click(); } },
            { "pause", [&] { p.w.cmdpause->click(); } },
            { "reset", [&] { p.w.cmdreset->click(); } }, { "tick", [&] { p.w.tmrmain_Timer(); } },
            { "clear", [&] { p.w.txtcontainer->clear(); } },
            { "@speed", [&] { p.w.hscspeed->setFocus(); } }, { "up", key(Qt::Key_Up) },
            { "down", key(Qt::Key_Down) }, { "space", key(Qt::Key_Space) },
            { "esc", key(Qt::Key_Escape) },
            { "type", [] { QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("xyz")); } }
        };
        for (const QString &step : steps.split(QLatin1Char(' '))) {
            if (step.startsWith(QLatin1Char('=')))
                p.w.hscspeed->setValue(step.mid(1).toInt());
            else
                act.at(step)();
        }
        QCOMPARE(state(p.w, p.messages), expected);
        QCOMPARE(
            p.w.picprompt->findChildren<PromptBox *>().size(), qsizetype(p.w.txtprompt.size()));
        if (!steps.contains(QLatin1String("clear")))
            QCOMPARE(p.w.txtcontainer->toPlainText(), script(300));
    }
};

QTEST_MAIN(tst_Prompter)
#include "tst_prompter.moc"
