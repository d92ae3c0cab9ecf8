#include "TestSupport.h"

#include "app/frmMain.h"
#include "platform/Fonts.h"
#include "prompter/OutputLayout.h"
#include "prompter/OutputView.h"
#include "prompter/PromptBox.h"

#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QPainter>
#include <QRegularExpression>
#include <QScreen>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QWheelEvent>

namespace
{
const QByteArray kSettings = "36\r\n65535\r\n0\r\n255\r\n15\r\n56\r\n";

QString rigFolder()
{
    return qEnvironmentVariable("XDG_CONFIG_HOME") + QStringLiteral("/tellvane");
}

// What a window shows of a part of it, as it was last painted.
QImage shown(QWidget *window, const QRect &part)
{
    QCoreApplication::processEvents(); // the repaints asked for
    return window->screen()
        ->grabWindow(window->winId(), part.x(), part.y(), part.width(), part.height())
        .toImage();
}

// How many pixels of two pictures differ by more than the shading of a letter's edge.
int apart(const QImage &one, const QImage &other)
{
    int count = 0;
    for (int y = 0; y < one.height(); ++y) {
        for (int x = 0; x < one.width(); ++x) {
            const QColor a = one.pixelColor(x, y);
            const QColor b = other.pixelColor(x, y);
            count += std::max({ qAbs(a.red() - b.red()), qAbs(a.green() - b.green()),
                         qAbs(a.blue() - b.blue()) })
                > 160;
        }
    }
    return count;
}

// An item of a submenu of the output window's context menu: picked when pick is set, else
// whether it is checked.
bool subItem(QWidget *output, const QString &submenu, const QString &item, bool pick = false)
{
    menuItems(output, "mnuoutput");
    for (const QMenu *menu : output->findChild<QMenu *>("mnuoutput")->findChildren<QMenu *>()) {
        if (menu->title() != submenu)
            continue;
        for (QAction *action : menu->actions()) {
            if (action->text() != item)
                continue;
            if (pick)
                action->trigger();
            return pick || action->isChecked();
        }
    }
    qFatal("no item %s in %s", qPrintable(item), qPrintable(submenu));
}

// A main window with a script scrolled well past the reading line.
struct Console {
    explicit Console(const QString &script = "The quick brown fox\njumps over it\n")
    {
        w.show();
        if (!QTest::qWaitForWindowActive(&w))
            qFatal("no window");
        child<PromptBox>(w, "txtcontainer")->setPlainText(script);
        click(w, "cmdstart");
        for (int i = 0; i < 200; ++i)
            fire(w, "tmrmain");
        // From here the test gives every tick, so that waiting for a repaint moves nothing.
        child<QTimer>(w, "tmrmain")->stop();
    }
    QImage area() { return shown(&w, child(w, "picprompt")->geometry()); }
    QWidget *output() { return child(w, "picoutput"); }
    // An item of the prompt area's context menu as the right mouse button opens it:
    // picked when pick is set, else whether it is checked.
    bool item(const QString &text, bool pick = false)
    {
        const QPoint spot = child(w, "picprompt")->geometry().center();
        QTest::mouseClick(w.windowHandle(), Qt::RightButton, {}, spot);
        auto *menu = child<QMenu>(w, "mnuprompt");
        const QList<QAction *> actions = menu->actions();
        const auto found = std::find_if(actions.begin(), actions.end(),
            [&](const QAction *action) { return action->text().startsWith(text); });
        if (!menu->isVisible() || found == actions.end())
            qFatal("no menu item %s", qPrintable(text));
        if (pick)
            (*found)->trigger();
        menu->close();
        return (*found)->isChecked();
    }
    SettingsFolder folder { kSettings };
    CapturedMessages messages {};
    frmMain w { nullptr };
};
} // namespace

class tst_Rig : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { QVERIFY(loadTahoma()); }
    void init() { QDir(rigFolder()).removeRecursively(); }

    void mirrorsThePicture_data()
    {
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<bool>("leftRight");
        QTest::addColumn<bool>("topBottom");
        QTest::newRow("M key") << QStringList { "M" } << true << false;
        QTest::newRow("menu, top to bottom")
            << QStringList { "Mirror Top To Bottom" } << false << true;
        QTest::newRow("both") << QStringList { "Mirror Top To Bottom", "M" } << true << true;
        QTest::newRow("menu, then M takes it off")
            << QStringList { "Mirror Left To Right", "M" } << false << false;
    }
    void mirrorsThePicture()
    {
        QFETCH(QStringList, steps);
        QFETCH(bool, leftRight);
        QFETCH(bool, topBottom);
        Console rig;
        const QImage plain = rig.area();
        for (const QString &step : steps) {
            if (step == "M")
                QTest::keyClick(&rig.w, Qt::Key_M);
            else
                rig.item(step, true);
        }
        QTRY_COMPARE(rig.area(), plain.mirrored(leftRight, topBottom));
        QCOMPARE(rig.item("Mirror Left To Right"), leftRight);
        QCOMPARE(rig.item("Mirror Top To Bottom"), topBottom);
        // The scroll goes on in the mirrored picture.
        fire(rig.w, "tmrmain");
        QTRY_VERIFY(rig.area() != plain.mirrored(leftRight, topBottom));
        QVERIFY(rig.messages.list.empty());
    }
    // The output lays the script out itself: the line read at the console's reading line is
    // the one at the output's marker, at several sizes, widths and faces, with glyphs from
    // fallback faces, both ways and across the boxes' hand-overs.
    void outputFollowsTheConsoleByTheScript_data()
    {
        QTest::addColumn<qreal>("size");
        QTest::addColumn<QSize>("window"); // none: its own screen
        QTest::addColumn<QString>("face");
        QTest::addColumn<bool>("symbols");
        QTest::addColumn<int>("paragraphs"); // fewer than 100: each over 2000 characters
        QTest::newRow("24 pt, full screen") << 24.0 << QSize() << "Tahoma" << false << 240;
        QTest::newRow("72 pt, narrow window")
            << 72.0 << QSize(600, 700) << "Tahoma" << false << 240;
        QTest::newRow("largest, serif") << 1000.0 << QSize() << "DejaVu Serif" << false << 240;
        QTest::newRow("symbols from another face")
            << 60.0 << QSize(900, 800) << "Tahoma" << true << 240;
        // Paragraphs longer than the pieces the output lays out at once.
        QTest::newRow("long paragraphs") << 48.0 << QSize() << "Tahoma" << false << 8;
    }
    void outputFollowsTheConsoleByTheScript()
    {
        QFETCH(qreal, size);
        QFETCH(QSize, window);
        QFETCH(QString, face);
        QFETCH(bool, symbols);
        QFETCH(int, paragraphs);
        QString script;
        for (int i = 0; i < paragraphs; ++i) {
            script += QStringLiteral("L%1: the quick brown fox jumps over %2 the lazy dog")
                          .arg(i)
                          .arg(symbols ? QStringLiteral("\u2605\u2665\u2211\u221e") : QString());
            for (int k = 0; paragraphs < 100 && k < 100; ++k)
                script += QStringLiteral(" and L%1.%2: over the hill").arg(i).arg(k);
            script += i % 3 ? QStringLiteral(" and then it runs away.\n") : QStringLiteral("\n");
        }
        Console rig(script);
        click(rig.w, "cmdreset");
        if (window.isValid())
            rig.item("Screen 1: Console", true);
        else
            QTest::keyClick(&rig.w, Qt::Key_F);
        OutputView *out = child<OutputView>(rig.w, "picoutput");
        QVERIFY(out->isVisible());
        if (window.isValid())
            out->resize(window);
        else
            QCOMPARE(out->geometry(), QRect(1280, 0, 1920, 1080)); // the other screen
        out->setFace(face);
        out->setPointSize(size);
        QVERIFY(out->pointSize() >= 24 && out->pointSize() <= out->maxPointSize());
        click(rig.w, "cmdstart");
        child<QTimer>(rig.w, "tmrmain")->stop(); // the test gives every tick
        QCOMPARE(out->layout().font().family(), face);

        // What each shows of the script: the characters of the console's display line at the
        // reading line and of the output's display line at its marker. Near a line's edge the
        // lines a few pixels either side count too: a box that begins inside a paragraph with
        // taller symbols lays its first line out 9 pixels shorter than the script's layout.
        const auto consoleRange = [&](int dy) -> std::pair<int, int> {
            const int y = child(rig.w, "txtline")->geometry().center().y() + dy;
            for (PromptBox *box : rig.w.findChildren<PromptBox *>("txtprompt")) {
                if (!box->isVisible() || box->y() > y || box->y() + box->height() <= y)
                    continue;
                const QString text = box->toPlainText();
                // Each paragraph's own tag, "L17:", places the box's text in the script.
                const QRegularExpressionMatch tag
                    = QRegularExpression("L\\d+(\\.\\d+)?:").match(text);
                const int offset = int(script.indexOf(tag.captured()) - tag.capturedStart());
                QTextCursor cursor = box->cursorForPosition(QPoint(box->width() / 2, y - box->y()));
                cursor.movePosition(QTextCursor::StartOfLine);
                const int first = cursor.position();
                cursor.movePosition(QTextCursor::EndOfLine);
                return { offset + first, offset + cursor.position() + 1 };
            }
            return { -1, -1 };
        };
        const auto check = [&] {
            const auto [a1, b1] = consoleRange(-10);
            const auto [a2, b2] = consoleRange(10);
            if (a1 < 0 || a2 < 0)
                return 0; // the script is not at the reading line
            const OutputLayout::Line line = out->lineAtMarker();
            const int from = std::min(a1, a2);
            const int to = std::max(b1, b2);
            if (line.start >= to || line.start + std::max(line.length, 1) <= from)
                qFatal("at the console %d to %d, at the output %d to %d", from, to, line.start,
                    line.start + line.length);
            return 1;
        };
        auto *speed = child<QScrollBar>(rig.w, "hscspeed");
        speed->setValue(110);
        int checked = 0;
        int boxes = 0;
        for (int tick = 0; tick < 6000 && !(checked > 0 && consoleRange(0).first < 0); ++tick) {
            fire(rig.w, "tmrmain");
            if (tick % 7 == 0)
                checked += check();
            boxes = std::max(boxes, int(rig.w.findChildren<PromptBox *>("txtprompt").size()));
        }
        QVERIFY(checked > 50);
        QVERIFY(boxes >= 3);
        // Back the other way to the first line.
        speed->setValue(-110);
        int back = 0;
        for (int tick = 0; tick < 6000 && consoleRange(0).first != 0; ++tick) {
            fire(rig.w, "tmrmain");
            if (tick % 7 == 0)
                back += check();
        }
        QVERIFY(back > 50);
        QVERIFY(rig.messages.list.empty());
    }
    // The marker stands at the edges, never across the words, and an end mark follows the
    // last line.
    void marksTheReadingPointAndTheEnd()
    {
        Console rig(QStringLiteral("The one and only line of this script\n"));
        QTest::keyClick(&rig.w, Qt::Key_F);
        QWidget *out = rig.output();
        click(rig.w, "cmdreset");
        click(rig.w, "cmdstart");
        child<QTimer>(rig.w, "tmrmain")->stop(); // the test gives every tick
        child<QScrollBar>(rig.w, "hscspeed")->setValue(40);
        // Colours by settings: yellow text, black back, red reading line.
        const auto count = [&](QRgb colour, int from, int to) {
            const QImage picture = shown(out, out->rect());
            int found = 0;
            for (int y = 0; y < picture.height(); ++y)
                for (int x = from; x < to; ++x)
                    found += qRed(picture.pixel(x, y)) > 200
                        && (picture.pixel(x, y) & 0xFFFF) == (colour & 0xFFFF);
            return found;
        };
        const int w = out->width();
        const int readingY = child(rig.w, "txtline")->geometry().center().y();
        PromptBox *box = rig.w.findChildren<PromptBox *>("txtprompt").first();
        bool crossed = false;
        // Up to where the line has passed the console's reading line.
        for (int tick = 0; tick < 3000 && box->y() + box->height() > readingY - 20; ++tick) {
            fire(rig.w, "tmrmain");
            if (tick % 10 == 0) {
                QVERIFY(count(qRgb(255, 0, 0), 0, w / 20) > 0); // the arrows at the edges
                QCOMPARE(count(qRgb(255, 0, 0), w / 10, w - w / 10), 0); // none across the text
                if (!crossed && count(qRgb(255, 255, 0), 0, w) > 0) {
                    crossed = true;
                    // B pressed in the output blanks both windows, marker and all; and back.
                    QTest::keyClick(out, Qt::Key_B);
                    QCOMPARE(count(qRgb(255, 255, 0), 0, w) + count(qRgb(255, 0, 0), 0, w), 0);
                    QVERIFY(rig.area().allGray()); // black only
                    QTest::keyClick(out, Qt::Key_B);
                    QVERIFY(count(qRgb(255, 255, 0), 0, w) > 0);
                }
            }
        }
        QVERIFY(crossed);
        // There the output shows the end mark below its marker: centred, where the script's
        // lines begin at the left.
        const QImage end = shown(out, out->rect());
        int leftmost = w;
        for (int y = end.height() / 3; y < end.height(); ++y)
            for (int x = 0; x < end.width(); ++x)
                if (end.pixel(x, y) == qRgb(255, 255, 0))
                    leftmost = std::min(leftmost, x);
        QVERIFY2(leftmost > w / 3 && leftmost < w / 2, qPrintable(QString::number(leftmost)));
    }
    // Each window has its own mirror, so the console's operator reads plain text while the
    // glass shows mirrored text; M mirrors the window it is pressed in.
    void mirrorsEachWindowApart()
    {
        Console rig("The quick brown fox\njumps over it\nand away\n");
        click(rig.w, "cmdreset");
        click(rig.w, "cmdstart");
        child<QTimer>(rig.w, "tmrmain")->stop(); // the test gives every tick
        for (int i = 0; i < 150; ++i)
            fire(rig.w, "tmrmain");
        QTest::keyClick(&rig.w, Qt::Key_F);
        QWidget *out = rig.output();
        const QImage area = rig.area();
        const QImage plain = shown(out, out->rect());
        QTest::keyClick(out, Qt::Key_M);
        QTRY_COMPARE(apart(shown(out, out->rect()), plain.mirrored(true, false)), 0);
        QCOMPARE(rig.area(), area);
        menuItems(out, "mnuoutput", "Mirror Top To Bottom");
        QTRY_VERIFY(apart(shown(out, out->rect()), plain.mirrored(true, true)) < 200);
        QCOMPARE(rig.area(), area);
        // The console's mirror leaves the output as it is.
        QTest::keyClick(&rig.w, Qt::Key_M);
        QTRY_COMPARE(rig.area(), area.mirrored(true, false));
        QVERIFY(apart(shown(out, out->rect()), plain.mirrored(true, true)) < 200);
        QVERIFY(rig.item("Mirror Left To Right"));
        QVERIFY(!rig.item("Mirror Top To Bottom"));
        const QStringList outputItems = menuItems(out, "mnuoutput");
        QVERIFY(outputItems.contains("Mirror Left To Right (on)"));
        QVERIFY(outputItems.contains("Mirror Top To Bottom (on)"));
    }
    // A countdown runs in both windows before the text moves, and the output shows the time
    // since Start, the part read and the time left in its corner; all as chosen, and kept.
    void countsDownAndShowsTheTime()
    {
        QStringList lines;
        for (int i = 0; i < 80; ++i)
            lines << QStringLiteral("Line %1 of the script").arg(i);
        const auto yellow = [](const QImage &picture, const QRect &part) {
            int found = 0;
            for (int y = part.top(); y <= part.bottom(); ++y)
                for (int x = part.left(); x <= part.right(); ++x)
                    found += picture.pixel(x, y) == qRgb(255, 255, 0);
            return found;
        };
        {
            Console rig(lines.join('\n'));
            click(rig.w, "cmdreset");
            QTest::keyClick(&rig.w, Qt::Key_F);
            QWidget *out = rig.output();
            rig.item("Count Down Before Start", true);
            click(rig.w, "cmdstart");
            child<QTimer>(rig.w, "tmrmain")->stop(); // the test gives every tick
            auto *count = child<QLabel>(rig.w, "lblcountdown");
            QVERIFY(count->isVisible());
            QCOMPARE(count->text(), "3");
            auto *box = rig.w.findChildren<PromptBox *>("txtprompt").first();
            const int top = box->Top();
            for (int i = 0; i < 5; ++i)
                fire(rig.w, "tmrmain");
            QCOMPARE(box->Top(), top);
            const QRect middle(
                out->width() / 3, out->height() / 3, out->width() / 3, out->height() / 3);
            QVERIFY(yellow(shown(out, out->rect()), middle) > 2000); // the count, large
            click(rig.w, "cmdreset");
            QVERIFY(!count->isVisible());
            for (const char *item : { "Show Time Since Start", "Show Progress", "Show Time Left" })
                QVERIFY(pickMenuItem(out, "mnuoutput", item));
        }
        Console rig(lines.join('\n'));
        QWidget *out = rig.output();
        const QStringList items = menuItems(out, "mnuoutput");
        for (const char *item : { "Show Time Since Start", "Show Progress", "Show Time Left" })
            QVERIFY2(items.contains(QString(item) + " (on)"), item);
        QVERIFY(rig.item("Count Down Before Start"));
        rig.item("Count Down Before Start", true);
        click(rig.w, "cmdreset");
        click(rig.w, "cmdstart");
        child<QTimer>(rig.w, "tmrmain")->stop();
        child<QScrollBar>(rig.w, "hscspeed")->setValue(110);
        QVERIFY(!child(rig.w, "lblcountdown")->isVisible());
        // Half the script read: the bar along the bottom is half drawn in the text's colour.
        const int readingY = child(rig.w, "txtline")->geometry().center().y();
        for (int tick = 0; tick < 5000; ++tick) {
            fire(rig.w, "tmrmain");
            const auto at = [&] {
                for (PromptBox *box : rig.w.findChildren<PromptBox *>("txtprompt")) {
                    if (box->isVisible() && box->y() <= readingY
                        && box->y() + box->height() > readingY)
                        return box->cursorForPosition(QPoint(1, readingY - box->y()))
                            .block()
                            .text();
                }
                return QString();
            };
            if (at() == "Line 40 of the script")
                break;
        }
        const QImage picture = shown(out, out->rect());
        const int bar = yellow(picture, QRect(0, out->height() - 1, out->width(), 1));
        QVERIFY2(
            qAbs(bar - out->width() / 2) < out->width() / 20, qPrintable(QString::number(bar)));
        // The times in the bottom-left corner.
        QVERIFY(
            yellow(picture, QRect(0, out->height() * 9 / 10, out->width() / 3, out->height() / 12))
            > 100);
        QVERIFY(rig.messages.list.empty());
    }
    void remembersTheChoices()
    {
        {
            Console rig;
            rig.item("Mirror Top To Bottom", true);
            // Beside the console on its screen: to its right, or to its left where the
            // right has no room.
            const QRect screen = rig.w.screen()->availableGeometry();
            rig.w.move(screen.right() + 1 - rig.w.frameGeometry().width(), screen.top());
            rig.item("Screen 1: Console", true);
            QCOMPARE(rig.output()->geometry().topRight(),
                QPoint(rig.w.frameGeometry().left() - 1, screen.top()));
            // The output's own text: larger by the wheel and the keys, up to a line a quarter
            // of the screen tall; its face, margins and marker from its menu.
            auto *out = child<OutputView>(rig.w, "picoutput");
            QCOMPARE(out->pointSize(), 36.0); // the console's, at the window's own scale
            QWheelEvent wheel(QPointF(10, 10), out->mapToGlobal(QPointF(10, 10)), QPoint(),
                QPoint(0, 240), Qt::NoButton, Qt::ControlModifier, Qt::NoScrollPhase, false);
            QApplication::sendEvent(out, &wheel);
            QCOMPARE(qRound(out->pointSize() * 100), qRound(36 * 1.21 * 100));
            QTest::keyClick(out, Qt::Key_Minus, Qt::ControlModifier);
            QCOMPARE(qRound(out->pointSize() * 10), qRound(36 * 1.1 * 10));
            for (int i = 0; i < 60; ++i)
                QTest::keyClick(&rig.w, Qt::Key_Plus, Qt::ControlModifier);
            const QFontMetricsF largest(out->layout().font());
            QVERIFY(largest.lineSpacing() <= rig.w.screen()->geometry().height() / 4.0);
            QVERIFY(largest.lineSpacing() > rig.w.screen()->geometry().height() / 4.0 * 0.95);
            for (int i = 0; i < 60; ++i)
                menuItems(out, "mnuoutput", "Smaller Text\tCtrl+-");
            QCOMPARE(out->pointSize(), 24.0);
            menuItems(out, "mnuoutput", "Larger Text\tCtrl++");
            QVERIFY(subItem(out, "Face", "DejaVu Serif", true));
            QVERIFY(subItem(out, "Side Margins", "15 %", true));
            QVERIFY(subItem(out, "Reading Marker", "The Middle", true));
            QCOMPARE(out->layout().font().family(), "DejaVu Serif");
            QCOMPARE(out->margin(), 15);
            QCOMPARE(out->markerAt(), 0.5);
            QTest::keyClick(out, Qt::Key_F11);
            QCOMPARE(out->geometry(), rig.w.screen()->geometry());
            QVERIFY(out->windowFlags().testFlag(Qt::FramelessWindowHint));
            QTest::keyClick(out, Qt::Key_Escape);
            QVERIFY(!out->windowFlags().testFlag(Qt::FramelessWindowHint));
            QVERIFY(out->isVisible());
            QCOMPARE(rig.w.size(), QSize(638, 516)); // Escape there left the console as it was
            QCOMPARE(rig.folder.read(), kSettings);
        }
        Console rig;
        QVERIFY(rig.item("Mirror Top To Bottom"));
        QVERIFY(!rig.item("Mirror Left To Right"));
        QVERIFY(rig.item("Prompt On Screen"));
        QVERIFY(rig.item("Screen 1: Console"));
        // Beside the console it is a window of its own that the user moves and sizes.
        auto *out = child<OutputView>(rig.w, "picoutput");
        QVERIFY(out->isVisible());
        QVERIFY(!out->windowFlags().testFlag(Qt::FramelessWindowHint));
        QVERIFY(rig.w.screen()->geometry().contains(out->geometry()));
        QCOMPARE(qRound(out->pointSize() * 10), qRound(24 * 1.1 * 10));
        QVERIFY(subItem(out, "Face", "DejaVu Serif"));
        QVERIFY(subItem(out, "Side Margins", "15 %"));
        QVERIFY(subItem(out, "Reading Marker", "The Middle"));
        QVERIFY(!menuItems(out, "mnuoutput").contains("Mirror Top To Bottom (on)"));
        QVERIFY(rig.messages.list.empty());
    }
    void withoutASoundInputScrollsByItsSpeed()
    {
        const Restore server = setEnvironment("PULSE_SERVER", "unix:/nonexistent/native");
        Console rig;
        click(rig.w, "cmdreset");
        // Switched on while the prompt stands still, it says so at once and follows from the
        // next Start.
        QTest::keyClick(&rig.w, Qt::Key_V);
        QVERIFY(rig.item("Follow My Voice"));
        auto *sign = child<QLabel>(rig.w, "lblfollow");
        QVERIFY(sign->isVisible());
        QVERIFY2(sign->text().contains("Follows your voice from Start"), qPrintable(sign->text()));
        QVERIFY(rig.messages.list.empty());
        click(rig.w, "cmdstart");
        QTRY_COMPARE(rig.messages.shown(),
            QStringList("Error: THE VOICE CANNOT BE FOLLOWED: THERE IS NO SOUND INPUT. THE PROMPT "
                        "SCROLLS BY ITS SPEED."));
        QVERIFY(child<QTimer>(rig.w, "tmrmain")->isActive());
        QVERIFY(!rig.item("Follow My Voice"));
        QVERIFY(!child(rig.w, "lblfollow")->isVisible());
        // A failure of the moment leaves the presenter's stored choice as it was.
        QVERIFY(fileBytes(rigFolder() + "/rig.ini").contains("[follow]\nvoice=true"));
    }
    void saysWhenTheChoicesCannotBeStored()
    {
        Console rig;
        QDir().mkpath(rigFolder());
        const Restore locked = makeReadOnly(rigFolder());
        QTest::keyClick(&rig.w, Qt::Key_M);
        QCOMPARE(rig.messages.shown(),
            QStringList("Error: THE PROMPT'S MIRROR AND SCREEN CHOICES COULD NOT BE STORED. THEY "
                        "HOLD UNTIL THE PROGRAM ENDS."));
        QVERIFY(rig.item("Mirror Left To Right"));
    }
};

QTEST_MAIN(tst_Rig)
#include "tst_rig.moc"
