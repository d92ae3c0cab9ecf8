#include "TestSupport.h"

#include "app/frmMain.h"
#include "platform/Fonts.h"
#include "platform/TextBoxLines.h"
#include "prompter/PromptBox.h"

#include <QApplication>
#include <QLabel>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextLayout>

namespace
{
// settings.ini with a font size, the colours of text, background and reading line, a speed.
QByteArray settings(int fontSize, int speed, const char *colors = "65535\r\n0\r\n255")
{
    return QString("%1\r\n%2\r\n%3\r\n56\r\n").arg(fontSize).arg(colors).arg(speed).toLatin1();
}

// Numbered words or lines; short lines never wrap, so display and script lines agree.
QString numbered(int count, const char *pattern = "line %1", char separator = '\n')
{
    QStringList list;
    for (int i = 0; i < count; ++i)
        list << QString::fromLatin1(pattern).arg(i);
    return list.join(QLatin1Char(separator));
}

// Whether a box is as tall as its lines, as the box lays them out, to a pixel: all but the
// empty one a cut after a line break opens, which must not show as a gap.
bool fitsItsText(PromptBox &box, bool last)
{
    int lines = box.lines().lineCount();
    lines -= !last && box.toPlainText().endsWith('\n');
    qreal pixels = 0;
    for (QTextBlock block = box.document()->begin(); block.isValid(); block = block.next())
        for (int i = 0; i < block.layout()->lineCount() && lines-- > 0; ++i)
            pixels += block.layout()->lineAt(i).height();
    return qAbs(box.Height() - pixels * 15) < 15;
}

// A main window on a settings.ini of the test's own.
struct Prompter {
    // The boxes in the order they rise, box 0 first, however they are stacked.
    QList<PromptBox *> boxes() const
    {
        const QList<PromptBox *> list = w.findChildren<PromptBox *>("txtprompt");
        return list.first() == box0 ? list : QList<PromptBox *>(list.crbegin(), list.crend());
    }
    void fill() const // the idle time after Start, which gives every box its text
    {
        while (child<QTimer>(w, "tmrfill")->isActive())
            fire(w, "tmrfill");
    }
    SettingsFolder folder;
    CapturedMessages messages {};
    frmMain w { nullptr };
    PromptBox *store = child<PromptBox>(w, "txtcontainer");
    PromptBox *box0 = child<PromptBox>(w, "txtprompt"); // the only box before any Start
};

// The scroller panel as a user reads it: the buttons enabled, whether the scroll clock runs,
// the speed bar and its label, box 0's Top, the boxes, the focus, the window's size unless
// whole, and the messages shown.
QString state(const Prompter &p)
{
    QStringList enabled;
    for (const char *name : { "cmdstart", "cmdpause" })
        if (child(p.w, name)->isEnabled())
            enabled << child<QAbstractButton>(p.w, name)->text().remove('&');
    const QWidget *focus = QApplication::focusWidget();
    QStringList words { "enabled: " + enabled.join(' '),
        child<QTimer>(p.w, "tmrmain")->isActive() ? "clock on" : "clock off",
        QStringLiteral("speed %1, shown %2")
            .arg(child<QScrollBar>(p.w, "hscspeed")->value())
            .arg(child<QLabel>(p.w, "lblspeed")->text()),
        QStringLiteral("box 0 at %1 of %2").arg(p.box0->Top()).arg(p.boxes().size()),
        "focus on " + (focus ? focus->objectName() : QStringLiteral("nothing")) };
    if (p.w.size() != QSize(638, 516))
        words << QStringLiteral("window %1x%2").arg(p.w.width()).arg(p.w.height());
    return (words + p.messages.shown()).join(QStringLiteral("; "));
}
// The script line a presenter reads at the reading line.
QString atReadingLine(const Prompter &p)
{
    const QWidget *line = child(p.w, "txtline");
    const int y = line->geometry().center().y();
    for (PromptBox *box : p.boxes()) {
        if (box->isVisible() && box->geometry().contains(box->x() + 1, y))
            return box->cursorForPosition(QPoint(1, y - box->y())).block().text();
    }
    return QString();
}

// Pixels of the prompt area in another colour than its background, black.
int notBlack(const Prompter &p)
{
    const QImage area = child(p.w, "picprompt")->grab().toImage();
    int count = 0;
    for (int y = 0; y < area.height(); ++y)
        for (int x = 0; x < area.width(); ++x)
            count += area.pixel(x, y) != qRgb(0, 0, 0);
    return count;
}
} // namespace

class tst_Prompter : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { QVERIFY(loadTahoma()); }
    void cutsIntoBoxes_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QList<int>>("cut"); // points, boxes, last box's lines, a line to cut to
        QTest::newRow("36: 112 fill one box") << numbered(112) << QList<int> { 36, 1, 112, 0 };
        QTest::newRow("36: 113 give two") << numbered(113) << QList<int> { 36, 2, 1, 0 };
        QTest::newRow("36: 300") << numbered(300) << QList<int> { 36, 3, 76, 0 };
        // A trailing line break opens one more, empty, line.
        QTest::newRow("line break only") << QStringLiteral("\n") << QList<int> { 36, 1, 2, 0 };
        QTest::newRow("ends with a break") << "one\ntwo\n" << QList<int> { 36, 1, 3, 0 };
        QTest::newRow("113th line empty") << numbered(112) + '\n' << QList<int> { 36, 2, 1, 0 };
        QTest::newRow("28: 289") << numbered(289) << QList<int> { 28, 3, 1, 0 };
        QTest::newRow("28: a paragraph of 200")
            << numbered(3000, "word%1", ' ') << QList<int> { 28, 2, 56, 200 };
        QTest::newRow("24: 500") << numbered(500) << QList<int> { 24, 4, 2, 0 };
    }
    // After a run at 36 points, Reset and a fresh Start cut the store's text into boxes in
    // order, each waiting at 5800 in the row's font and colours, read-only.
    void cutsIntoBoxes()
    {
        QFETCH(QString, text);
        QFETCH(QList<int>, cut);
        const int points = cut[0], perBox = points == 36 ? 112 : points == 28 ? 144 : 166;
        Prompter p { SettingsFolder(settings(36, 20)) };
        p.store->setPlainText(text);
        click(p.w, "cmdstart");
        fire(p.w, "tmrmain");
        p.folder.write(settings(points, 10, "16777215\r\n4194304\r\n65280"));
        click(p.w, "cmdreset");
        if (cut[3] > 0) {
            p.store->setFontSize(points);
            p.store->setPlainText(text.left(p.store->lines().lineIndex(cut[3])));
        }
        click(p.w, "cmdstart");
        p.fill();
        QCOMPARE(state(p),
            QStringLiteral("enabled: Pause; clock on; speed 10, shown 10; box 0 at 5800 of %1; "
                           "focus on nothing")
                .arg(cut[1]));
        QCOMPARE(child(p.w, "picprompt")->palette().color(QPalette::Window), QColor(0, 0, 0x40));
        QCOMPARE(child(p.w, "txtline")->palette().color(QPalette::Base), QColor(Qt::green));
        const QList<PromptBox *> boxes = p.boxes();
        QString shown;
        for (PromptBox *box : boxes) {
            const bool last = box == boxes.last();
            shown += box->toPlainText();
            // A box cut at a line break ends with it, which opens one empty line more.
            const int lines = box->lines().lineCount() - (!last && shown.endsWith('\n'));
            QVERIFY(box->isReadOnly());
            QCOMPARE(QVariantList({ lines, fitsItsText(*box, last), box->Top(), box->isHidden(),
                         box->font().pixelSize(), box->palette().color(QPalette::Text),
                         box->palette().color(QPalette::Base) }),
                QVariantList({ last ? cut[2] : perBox, true, 5800.0f, false,
                    qRound(points * 96 / 72.0), QColor(Qt::white), QColor(0, 0, 0x40) }));
        }
        QCOMPARE(shown, p.store->toPlainText());
    }
    // Lines in a fallback face (a star, an emoji, CJK) are taller than Tahoma's: each box is as
    // tall as its own text and follows its predecessor's bottom edge, never above it nor over 100
    // twips below (at every speed: the scroller's own tests). Box 0, waiting, shows no text (nor
    // high accents) in the area.
    void handsOverEveryLine_data()
    {
        QTest::addColumn<int>("points");
        for (const int points : { 36, 28, 24 })
            QTest::addRow("%d points", points) << points;
    }
    void handsOverEveryLine()
    {
        QFETCH(int, points);
        const char *tails[] = { " ÉÅÊ|ÌÖ\u2605 ÉÅ", " \u2605", "", " \U0001F600 \u6F22\u5B57", "",
            " \u2605", "", "" };
        QStringList lines;
        for (int i = 0; i < 400; ++i)
            lines << QStringLiteral("line %1").arg(i) + QString::fromUtf8(tails[i % 8]);
        Prompter p { SettingsFolder(settings(points, 110)) };
        p.store->setPlainText(lines.join('\n'));
        p.w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&p.w));
        click(p.w, "cmdstart");
        QWidget *area = child(p.w, "picprompt");
        const QImage rows = area->grab(QRect(0, area->height() - 3, area->width(), 3)).toImage();
        QImage black = rows;
        black.fill(Qt::black);
        QCOMPARE(rows, black);
        const QList<PromptBox *> boxes = p.boxes();
        QVERIFY(boxes.size() > 1);
        for (int ticks = 0; boxes.last()->Top() == 5800.0f && ticks < 50000; ++ticks) {
            fire(p.w, "tmrmain");
            for (qsizetype j = 1; j < boxes.size() && boxes[j]->Top() != 5800.0f; ++j) {
                const float gap = boxes[j]->Top() - boxes[j - 1]->Top() - boxes[j - 1]->Height();
                QVERIFY2(gap >= 0 && gap <= 100, qPrintable(QString::number(gap)));
            }
        }
        QVERIFY(boxes.last()->Top() < 5800.0f);
        // Each box got its text before it showed, and is as tall as it.
        QString shown; // a box shorter or taller than its text shows as "[misfit]"
        for (PromptBox *box : boxes)
            shown += fitsItsText(*box, box == boxes.last()) ? box->toPlainText() : "[misfit]";
        QCOMPARE(shown, p.store->toPlainText());
    }
    // The clock ticks at the screen's pace, not as fast as the machine can: a quarter of a
    // second at speed 1 moves the text, by at most a tick for each 16 ms.
    void ticksAtTheScreensPace()
    {
        Prompter p { SettingsFolder(settings(36, 1)) };
        p.store->setPlainText(numbered(300));
        p.w.show();
        click(p.w, "cmdstart");
        const int top = p.box0->Top();
        QTest::qWait(250);
        QCOMPARE_LT(p.box0->Top(), top);
        QCOMPARE_GE(p.box0->Top(), top - 250 / 16 - 1);
    }
    // Page Up takes the text back three lines at whatever speed; B shows only the background
    // and holds the text, and shows it again where it was.
    void takesBackAndBlanks()
    {
        Prompter p { SettingsFolder(settings(36, 110)) };
        p.store->setPlainText(numbered(300));
        p.w.show();
        QVERIFY(QTest::qWaitForWindowActive(&p.w));
        click(p.w, "cmdstart");
        for (int i = 0; i < 150; ++i)
            fire(p.w, "tmrmain");
        const int read = atReadingLine(p).mid(5).toInt();
        QVERIFY2(read > 5, qPrintable(atReadingLine(p)));
        QTest::keyClick(&p.w, Qt::Key_PageUp);
        QCOMPARE(atReadingLine(p), QStringLiteral("line %1").arg(read - 3));
        QTest::keyClick(&p.w, Qt::Key_PageUp);
        QCOMPARE(atReadingLine(p), QStringLiteral("line %1").arg(read - 6));
        QCOMPARE(child<QLabel>(p.w, "lblspeed")->text(), QStringLiteral("110"));

        QVERIFY(notBlack(p) > 1000);
        QTest::keyClick(&p.w, Qt::Key_B);
        QCOMPARE(notBlack(p), 0);
        QCOMPARE(child<QLabel>(p.w, "lblspeed")->text(), QStringLiteral("0"));
        const int top = p.box0->Top();
        fire(p.w, "tmrmain");
        QCOMPARE(p.box0->Top(), top);
        QTest::keyClick(&p.w, Qt::Key_Period);
        QVERIFY(notBlack(p) > 1000);
        QCOMPARE(atReadingLine(p), QStringLiteral("line %1").arg(read - 6));
        QCOMPARE(child<QLabel>(p.w, "lblspeed")->text(), QStringLiteral("110"));
        QVERIFY(p.messages.list.empty());
    }
    // With one screen, F gives a full-screen prompt over the console, and Escape or F brings
    // the console back.
    void fillsTheOnlyScreen()
    {
        Prompter p { SettingsFolder(settings(36, 15)) };
        p.store->setPlainText(numbered(30));
        p.w.show();
        QVERIFY(QTest::qWaitForWindowActive(&p.w));
        click(p.w, "cmdstart");
        QTest::keyClick(&p.w, Qt::Key_F);
        QWidget *out = child(p.w, "picoutput");
        QVERIFY(out->isVisible());
        QCOMPARE(out->geometry(), p.w.screen()->geometry());
        QVERIFY(out->windowFlags().testFlag(Qt::FramelessWindowHint));
        // Its keys are the console's: Space holds the text from there too.
        QTest::keyClick(out, Qt::Key_Space);
        QCOMPARE(child<QLabel>(p.w, "lblspeed")->text(), QStringLiteral("0"));
        QTest::keyClick(out, Qt::Key_Escape);
        QVERIFY(!out->isVisible());
        QCOMPARE(p.w.size(), QSize(638, 516)); // the console as it was
        QTest::keyClick(&p.w, Qt::Key_F);
        QVERIFY(out->isVisible());
        QTest::keyClick(out, Qt::Key_F);
        QVERIFY(!out->isVisible());
        QVERIFY(p.messages.list.empty());
    }
    void followsTheStateTable_data()
    {
        // Steps from Idle at speed 15, 300 lines in the store, the focus on Start.
        QTest::addColumn<QString>("steps");
        QTest::addColumn<QString>("expected");
        const auto row = [](const char *n, QString s, QString e) { QTest::newRow(n) << s << e; };
        // settings.ini is not read again.
        row("Pause, Start", "start tick ini pause start tick",
            "enabled: Pause; clock on; speed 15, shown 15; box 0 at 5770 of 3; focus on cmdpause");
        row("no script while paused", "start pause clear start",
            "enabled: Start; clock on; speed 0, shown 0; box 0 at 5800 of 3; focus on cmdstart; "
            "Error: NOTHING TO SCROLL!");
        row("Reset", "start Up tick pause reset",
            "enabled: Start; clock off; speed 20, shown 20; box 0 at 5800 of 1; focus on cmdstart");
        // The focused button takes neither the space bar nor typed keys.
        row("space holds", "start Space X",
            "enabled: Pause; clock on; speed 0, shown 0; box 0 at 5800 of 3; focus on cmdpause");
        // The focused speed bar leaves Up and Down to the window (5 each), and its own arrows
        // point the way they step (1 each).
        row("arrows", "@speed Up Right Right Left",
            "enabled: Start; clock off; speed 21, shown 21; box 0 at 5800 of 1; focus on hscspeed");
        row("End", "@speed End",
            "enabled: Start; clock off; speed 110, shown 110; box 0 at 5800 of 1; focus on "
            "hscspeed");
        // The client height: the prompt area alone, and back to the whole window.
        row("Escape", "Esc",
            "enabled: Start; clock off; speed 15, shown 15; box 0 at 5800 of 1; focus on cmdstart; "
            "window 638x398");
        // A clicker's keys, and the fine steps of the speed.
        row("Page Down holds and releases", "start tick PgDown tick PgDown tick",
            "enabled: Pause; clock on; speed 15, shown 15; box 0 at 5770 of 3; focus on cmdpause");
        row("F5 starts", "F5 tick",
            "enabled: Pause; clock on; speed 15, shown 15; box 0 at 5785 of 3; focus on cmdpause");
        row("Shift+F5 starts", "Shift+F5",
            "enabled: Pause; clock on; speed 15, shown 15; box 0 at 5800 of 3; focus on cmdpause");
        row("Shift arrows step by one", "Shift+Up Shift+Up Shift+Down Up",
            "enabled: Start; clock off; speed 21, shown 21; box 0 at 5800 of 1; focus on cmdstart");
        row("B holds, B releases", "start B tick B tick",
            "enabled: Pause; clock on; speed 15, shown 15; box 0 at 5785 of 3; focus on cmdpause");
        row("blanked while held stays held", "start Space . .",
            "enabled: Pause; clock on; speed 0, shown 0; box 0 at 5800 of 3; focus on cmdpause");
        row("Escape twice", "Esc Esc",
            "enabled: Start; clock off; speed 15, shown 15; box 0 at 5800 of 1; focus on cmdstart");
    }
    void followsTheStateTable()
    {
        QFETCH(QString, steps);
        QFETCH(QString, expected);
        Prompter p { SettingsFolder(settings(36, 15)) };
        p.store->setPlainText(numbered(300));
        p.w.show();
        QVERIFY(QTest::qWaitForWindowActive(&p.w));
        child(p.w, "cmdstart")->setFocus();
        const QHash<QString, std::function<void()>> actions {
            { "tick", [&] { fire(p.w, "tmrmain"); } }, { "clear", [&] { p.store->clear(); } },
            { "ini", [&] { p.folder.write(settings(28, 30)); } },
            { "@speed", [&] { child(p.w, "hscspeed")->setFocus(); } }
        };
        for (const QString &step : steps.split(QLatin1Char(' '))) {
            if (step.startsWith(QLatin1Char('=')))
                child<QScrollBar>(p.w, "hscspeed")->setValue(step.mid(1).toInt());
            else if (step[0].isUpper() || step == ".") { // a key by its name
                const QKeyCombination key = QKeySequence(step)[0];
                QTest::keyClick(QApplication::focusWidget(), key.key(), key.keyboardModifiers());
            } else if (actions.contains(step))
                actions[step]();
            else
                click(p.w, qPrintable(QStringLiteral("cmd") + step));
        }
        QCOMPARE(state(p), expected);
    }
};

QTEST_MAIN(tst_Prompter)
#include "tst_prompter.moc"
