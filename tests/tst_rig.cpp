#include "TestSupport.h"

#include "app/frmMain.h"
#include "platform/Fonts.h"
#include "prompter/PromptBox.h"

#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QPainter>
#include <QScreen>
#include <QScrollBar>

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
    void outputFillsItsScreenAndFollows()
    {
        QStringList lines;
        for (int i = 0; i < 300; ++i)
            lines << QStringLiteral("Line %1 of the script").arg(i);
        Console rig(lines.join('\n'));
        QTest::keyClick(&rig.w, Qt::Key_F);
        QWidget *out = rig.output();
        QVERIFY(out->isVisible());
        QCOMPARE(out->geometry(), QRect(1280, 0, 1920, 1080)); // the other screen
        QVERIFY(out->windowFlags().testFlag(Qt::FramelessWindowHint));
        QVERIFY(rig.item("Screen 2: Rig"));
        QCOMPARE(QApplication::activeWindow(), &rig.w);
        // On to where the second box follows the first into view.
        child<QScrollBar>(rig.w, "hscspeed")->setValue(110);
        const auto risen = [&] {
            const QList<PromptBox *> boxes = rig.w.findChildren<PromptBox *>("txtprompt");
            return std::count_if(
                boxes.begin(), boxes.end(), [](const PromptBox *box) { return box->Top() < 4000; });
        };
        for (int tick = 0; tick < 5000 && risen() < 2; ++tick)
            fire(rig.w, "tmrmain");
        QVERIFY(risen() >= 2);
        QImage before;
        for (int tick = 0; tick < 3; ++tick) {
            fire(rig.w, "tmrmain");
            QImage now(out->size(), QImage::Format_RGB32);
            out->render(&now); // as the boxes stand after this tick
            QVERIFY(now != before);
            QTRY_COMPARE(shown(out, out->rect()), now);
            before = now;
        }
        // The area's picture scaled to the screen's height, centred on the back colour: the
        // reading line, 3 pixels tall in the area, is 8 tall here.
        QImage direct(out->size(), QImage::Format_RGB32);
        direct.fill(Qt::black);
        QPainter painter(&direct);
        painter.translate(92, 0);
        painter.scale(1080.0 / 389, 1080.0 / 389);
        child(rig.w, "picprompt")->render(&painter);
        painter.end();
        QCOMPARE(apart(before, direct), 0);
        // Mirrored as the console is.
        rig.item("Mirror Top To Bottom", true);
        QTest::keyClick(&rig.w, Qt::Key_M);
        const QRect picture(92, 0, 1735, 1080);
        const QImage unmirrored = before.copy(picture);
        QTRY_COMPARE(apart(shown(out, picture), unmirrored.mirrored(true, true)), 0);

        // Closing it leaves the console running; F opens it again.
        out->close();
        QVERIFY(!out->isVisible());
        QVERIFY(rig.w.isVisible() && child(rig.w, "cmdpause")->isEnabled());
        // It never ends the run on its own, whichever window is the last one left.
        QVERIFY(!out->testAttribute(Qt::WA_QuitOnClose));
        QVERIFY(!rig.item("Prompt On Screen"));
        QTest::keyClick(&rig.w, Qt::Key_F);
        QVERIFY(out->isVisible());
        QTest::keyClick(&rig.w, Qt::Key_F);
        QVERIFY(!out->isVisible());
    }
    // A clicker aimed at the output window drives the prompt as at the console.
    void takesTheKeysInTheOutputWindow()
    {
        Console rig;
        child<QScrollBar>(rig.w, "hscspeed")->setValue(15);
        QTest::keyClick(&rig.w, Qt::Key_F);
        QWidget *out = rig.output();
        out->activateWindow();
        QTest::keyClick(out, Qt::Key_PageDown);
        QCOMPARE(child<QLabel>(rig.w, "lblspeed")->text(), QStringLiteral("0"));
        QTest::keyClick(out, Qt::Key_PageDown);
        QTest::keyClick(out, Qt::Key_Up, Qt::ShiftModifier);
        QCOMPARE(child<QLabel>(rig.w, "lblspeed")->text(), QStringLiteral("16"));
        // Blanked, both show only the background; and then the prompt again.
        const QImage black = [&] {
            QImage image(out->size(), QImage::Format_RGB32);
            image.fill(Qt::black);
            return image;
        }();
        QVERIFY(apart(shown(out, out->rect()), black) > 0);
        QTest::keyClick(out, Qt::Key_B);
        QTRY_COMPARE(apart(shown(out, out->rect()), black), 0);
        QCOMPARE(apart(rig.area(), black.copy(rig.area().rect())), 0);
        QTest::keyClick(out, Qt::Key_B);
        QTRY_VERIFY(apart(shown(out, out->rect()), black) > 0);
        QCOMPARE(child<QLabel>(rig.w, "lblspeed")->text(), QStringLiteral("16"));
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
            QCOMPARE(rig.folder.read(), kSettings);
        }
        Console rig;
        QVERIFY(rig.item("Mirror Top To Bottom"));
        QVERIFY(!rig.item("Mirror Left To Right"));
        QVERIFY(rig.item("Prompt On Screen"));
        QVERIFY(rig.item("Screen 1: Console"));
        // Beside the console it is a window of its own that the user moves and sizes.
        QWidget *out = rig.output();
        QVERIFY(out->isVisible());
        QVERIFY(!out->windowFlags().testFlag(Qt::FramelessWindowHint));
        QVERIFY(rig.w.screen()->geometry().contains(out->geometry()));
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
        QCOMPARE(rig.messages.shown(),
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
