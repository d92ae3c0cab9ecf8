#include "TestSupport.h"

#include "app/frmMain.h"
#include "prompter/PromptBox.h"

#include <QEventLoop>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QScrollBar>
#include <QTimer>
#include <QToolButton>

class tst_MainWindow : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void startsWithStoredSpeed_data()
    {
        QTest::addColumn<QByteArray>("line5");
        QTest::addColumn<int>("speed");
        QTest::newRow("20") << QByteArray("20\r\n56\r\n") << 20;
        QTest::newRow("-15") << QByteArray("-15\r\n56\r\n") << -15;
        // The value does not change, so only the load itself shows it.
        QTest::newRow("0") << QByteArray("0\r\n56\r\n") << 0;
        QTest::newRow("four lines keep the design value") << QByteArray() << 0;
    }
    void startsWithStoredSpeed()
    {
        QFETCH(QByteArray, line5);
        QFETCH(int, speed);
        SettingsFolder folder("24\r\n 65535 \r\n 0 \r\n 255 \r\n" + line5);
        frmMain window;
        QCOMPARE(window.hscspeed->value(), speed);
        QCOMPARE(window.lblspeed->text(), QString::number(speed));
        QCOMPARE(window.mSavedSpeed, speed);
    }

    // Start-up: the design, the buttons of Idle, the stored colours.
    void laysOutTheDesign()
    {
        SettingsFolder folder("36\r\n 65535 \r\n 16711680 \r\n 65280 \r\n5\r\n56\r\n");
        frmMain window;
        window.txtcontainer->setPlainText(QStringLiteral("WWWW MMMM WWWW MMMM\nWWWW MMMM"));
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QCOMPARE(window.size(), QSize(638, 516));
        QCOMPARE(window.windowTitle(), QStringLiteral("Tellvane Professional Demo"));
        QCOMPARE(window.picprompt->geometry(), QRect(8, 4, 625, 389));
        QCOMPARE(window.txtline->mapTo(&window, QPoint(0, 0)).y(), 184);
        QCOMPARE(window.txtline->height(), 3);
        QCOMPARE(window.txtprompt.at(0)->geometry(), QRect(4, 387, 613, 80));
        QCOMPARE(window.cmdexit->text(), QStringLiteral("E&xit"));
        // The MP3 bar lies on the WAV bar's spot, in front of it.
        QCOMPARE(window.pbrmp3save->geometry(), window.pbrwavsave->geometry());
        const QObjectList &bars = window.Frame1->children();
        QVERIFY(bars.indexOf(window.pbrmp3save) > bars.indexOf(window.pbrwavsave));
        const QList<QToolButton *> off { window.cmdpause, window.cmdstop, window.cmdplay };
        for (QToolButton *button :
            { window.cmdeditor, window.cmdstart, window.cmdpause, window.cmdreset,
                window.cmdsettings, window.cmdhelp, window.cmdexit, window.cmdabout,
                window.cmdrecord, window.cmdstop, window.cmdplay, window.cmdsave })
            QVERIFY2(button->isEnabled() != off.contains(button), qPrintable(button->text()));
        QVERIFY(!window.tmrmain->isActive() && !window.tmrsave->isActive());
        QCOMPARE(window.picprompt->palette().color(QPalette::Window), QColor(0, 0, 255));
        QCOMPARE(window.txtprompt.at(0)->palette().color(QPalette::Base), QColor(0, 0, 255));
        QCOMPARE(window.txtline->palette().color(QPalette::Base), QColor(0, 255, 0));
        QCOMPARE(window.pbrwavsave->palette().color(QPalette::Highlight), QColor(204, 51, 51));
        QCOMPARE(window.pbrmp3save->palette().color(QPalette::Highlight), QColor(102, 0, 51));
        // The store lies behind every panel, out of the user's reach, as does the display,
        // and its green text does not show through.
        QVERIFY(!window.picprompt->isEnabled());
        QCOMPARE(window.txtcontainer->focusPolicy(), Qt::NoFocus);
        const QObjectList &children = window.children();
        for (QGroupBox *panel : { window.Frame1, window.Frame2, window.Frame3 })
            QVERIFY(children.indexOf(window.txtcontainer) < children.indexOf(panel));
        const auto green = [](QRgb p) { return qGreen(p) > 200 && qRed(p) < 60 && qBlue(p) < 60; };
        const QImage shot = window.grab(window.txtcontainer->geometry()).toImage();
        for (int y = 0; y < shot.height(); ++y)
            for (int x = 0; x < shot.width(); ++x)
                QVERIFY(!green(shot.pixel(x, y)));
    }

    void exitEndsTheRun() // last: it ends the event loops for good
    {
        SettingsFolder folder("24\r\n 65535 \r\n 0 \r\n 255 \r\n3\r\n56\r\n");
        frmMain window;
        window.show();
        QEventLoop run;
        QTimer::singleShot(0, window.cmdexit, &QToolButton::click);
        QTimer::singleShot(5000, &run, [&run] { run.exit(1); });
        QCOMPARE(run.exec(), 0);
        QCOMPARE(folder.read(), QByteArray("24\r\n 65535 \r\n 0 \r\n 255 \r\n3\r\n56\r\n"));
    }
};

QTEST_MAIN(tst_MainWindow)
#include "tst_mainwindow.moc"
