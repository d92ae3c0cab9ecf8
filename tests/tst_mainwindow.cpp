#include "TestSupport.h"

#include "app/frmMain.h"
#include "platform/Fonts.h"
#include "platform/ShellExecute.h"

#include <QApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QUrl>

class tst_MainWindow : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { QVERIFY(loadTahoma()); }
    // Start-up: the design, the buttons of Idle, the stored colours. About's links open what they
    // show and leave it open and modal, over its statement of paragraphs; Help opens the page in
    // "help", or, where no browser can show it, says so and where the page is. Last, as it ends
    // the event loops for good, Exit ends the run and saves nothing.
    void startsUpOpensLinksAndExits()
    {
        const QByteArray ini("36\r\n 65535 \r\n 16711680 \r\n 65280 \r\n5\r\n56\r\n");
        SettingsFolder folder(ini);
        CapturedMessages boxes;
        frmMain window;
        auto *store = child<QPlainTextEdit>(window, "txtcontainer");
        store->setPlainText(QStringLiteral("WWWW MMMM\nWWWW"));
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QCOMPARE(window.windowTitle(), QStringLiteral("Tellvane Professional Demo"));
        // The window, the prompt area, its reading line, and box 0 waiting at the area's bottom.
        QCOMPARE(
            QList<QRect>({ window.rect(), child(window, "picprompt")->geometry(),
                child(window, "txtline")->geometry(), child(window, "txtprompt")->geometry() }),
            QList<QRect>({ QRect(0, 0, 638, 516), QRect(8, 4, 625, 389), QRect(0, 180, 625, 3),
                QRect(4, 387, 613, 80) }));
        // The recording time, bold and black, follows its caption's text on one row.
        const auto *caption = child<QLabel>(window, "Label2");
        const QWidget *timeLabel = child(window, "lbltime");
        QVERIFY(timeLabel->font().bold()
            && timeLabel->palette().color(QPalette::WindowText) == QColor(Qt::black));
        const QRect time = timeLabel->geometry();
        QVERIFY(caption->y() == time.top()
            && caption->x() + caption->fontMetrics().horizontalAdvance(caption->text())
                < time.left());
        QStringList off, colors;
        for (const QAbstractButton *button : window.findChildren<QAbstractButton *>())
            if (button->window() == &window && !button->isEnabled())
                off << button->objectName();
        QCOMPARE(off, QStringList({ "cmdpause", "cmdstop", "cmdplay" }));
        for (const auto &[name, role] : { std::pair("picprompt", QPalette::Window),
                 { "txtprompt", QPalette::Base }, { "txtline", QPalette::Base } })
            colors << child(window, name)->palette().color(role).name(QColor::HexArgb);
        QCOMPARE(colors.join(' '), "#ff0000ff #ff0000ff #ff00ff00");
        // The MP3 bar lies on the WAV bar's spot, in front of it. Each save bar fills its done
        // part flat in its own colour; the rest keeps the groove.
        QWidget *mp3 = child(window, "pbrmp3save");
        QCOMPARE(mp3->geometry(), child(window, "pbrwavsave")->geometry());
        QCOMPARE(mp3->parentWidget()->childAt(mp3->geometry().center()), mp3);
        for (const auto &[name, color] : { std::pair("pbrwavsave", QColor(204, 51, 51)),
                 { "pbrmp3save", QColor(102, 0, 51) } }) {
            auto *bar = child<QProgressBar>(window, name);
            bar->setValue(50);
            const QImage shot = bar->grab().toImage();
            QString row; // a tenth of the width apart, along the middle
            for (int x = shot.width() / 20; x < shot.width(); x += shot.width() / 10)
                row += QString::number(shot.pixelColor(x, shot.height() / 2) == color);
            QCOMPARE(row, QStringLiteral("1111100000"));
            bar->setValue(0);
        }
        // The store and the display are out of reach; the store's text does not show through.
        QVERIFY(!child(window, "picprompt")->isEnabled() && store->focusPolicy() == Qt::NoFocus);
        const QImage shot = window.grab(store->geometry()).toImage();
        store->clear();
        QCOMPARE(window.grab(store->geometry()).toImage(), shot);
        QStringList browser, links;
        setAddressSink([&browser](const QString &address) {
            browser << address;
            return true;
        });
        // About shows its window modally; a queued action works in it meanwhile, and
        // must not use QVERIFY, which would leave the modal loop running.
        QTimer::singleShot(0, &window, [&] {
            QWidget *about = QApplication::activeModalWidget();
            if (!about || about->objectName() != QLatin1String("frmAbout"))
                return; // and the links stay empty
            for (const char *name :
                { "Label4", "Label5", "Label6", "Label7", "Label8", "Label10" }) {
                auto *link = child<QLabel>(*about, name);
                // Each link is what the pointer finds where it shows.
                if (about->childAt(link->mapTo(about, link->rect().center())) != link)
                    break;
                QTest::mouseClick(link, Qt::LeftButton);
                links << link->text();
            }
            const QString text = child<QPlainTextEdit>(*about, "Text1")->toPlainText();
            if (QApplication::activeModalWidget() == about && text.count("\n\n") >= 2)
                links << QStringLiteral("open");
            about->close();
        });
        QTest::mouseClick(child(window, "cmdabout"), Qt::LeftButton);
        QTest::mouseClick(child(window, "cmdhelp"), Qt::LeftButton);
        setAddressSink({});
        QCOMPARE(browser.mid(0, 6) << QStringLiteral("open"), links);
        QCOMPARE(QStringList(links).removeDuplicates(), 0);
        const QFileInfo page(QUrl(browser.value(6)).toLocalFile());
        QVERIFY2(browser.size() == 7 && page.isFile() && page.dir().dirName() == "help",
            qPrintable(browser.join(QLatin1Char(' '))));
        QVERIFY(boxes.list.empty());
        setAddressSink([](const QString &) { return false; });
        click(window, "cmdhelp");
        setAddressSink({});
        QCOMPARE(boxes.shown(),
            QStringList("Error: NO BROWSER COULD OPEN THE HELP PAGE. YOU CAN OPEN IT YOURSELF: "
                + page.filePath()));
        QEventLoop run;
        QTimer::singleShot(0, &window, [&window] { click(window, "cmdexit"); });
        QTimer::singleShot(5000, &run, [&run] { run.exit(1); });
        QCOMPARE(run.exec(), 0);
        QCOMPARE(folder.read(), ini);
    }
};

QTEST_MAIN(tst_MainWindow)
#include "tst_mainwindow.moc"
