#include "TestSupport.h"

#include "app/frmMain.h"
#include "settings/SharedSettings.h"
#include "settings/frmSettings.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QScrollBar>

#include <sys/stat.h>

namespace
{
const QByteArray kPadded("24\r\n 65535 \r\n 0 \r\n 255 \r\n3\r\n56\r\n");

// The dialog's choices as shown: size, the sample's text, back (label and rectangle)
// and line colours, the quality and the bit rate in effect.
QString choices(const frmSettings &dialog)
{
    QStringList shown { child<QComboBox>(dialog, "cmbfontsize")->currentText() };
    for (const auto &[name, role] :
        { std::pair("lblsample", QPalette::WindowText), { "lblsample", QPalette::Window },
            { "shpsample", QPalette::Window }, { "linesample", QPalette::Window } })
        shown << child(dialog, name)->palette().color(role).name();
    shown << child<QComboBox>(dialog, "cmbquality")->currentText() << dialog.bitrateText();
    return shown.join(QLatin1Char(' '));
}

// The size and colours held (as text, blanks and all) and the speed shown, with its label.
QString held(const frmMain &w)
{
    return QStringLiteral("%1|%2|%3|%4|%5/%6")
        .arg(gFontSize)
        .arg(gFontColor, gBackColor, gLineColor)
        .arg(child<QScrollBar>(w, "hscspeed")->value())
        .arg(child<QLabel>(w, "lblspeed")->text());
}

// A main window, and so a hidden settings dialog, on a settings.ini of the test's own.
struct Session {
    frmSettings *dialog() const { return w.findChild<frmSettings *>(); }
    SettingsFolder folder { kPadded };
    CapturedMessages messages {};
    DialogAnswers answers {}; // a show without an answer is a cancel
    frmMain w { nullptr };
    QScrollBar *speed = child<QScrollBar>(w, "hscspeed");
};
} // namespace

class tst_Settings : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    // What start-up takes from a file, and what the hidden dialog shows.
    void readsTheFileAtStartUp_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("loaded");
        const auto row = [](const char *n, QByteArray f, QString l) { QTest::newRow(n) << f << l; };
        row("blank-padded", kPadded,
            "24| 65535 | 0 | 255 |3/3|24 #ffff00 #000000 #000000 #ff0000 Web Optimal  - 56Kbps 56");
        row("more than six lines", "28\r\n1\r\n2\r\n3\r\n-7\r\n96\r\nextra\r\nmore\r\n",
            "28|1|2|3|-7/-7|28 #010000 #020000 #020000 #030000 Near High - 96Kbps 96");
        row("four lines keep the speed", "24\r\n65535\r\n0\r\n255\r\n",
            "24|65535|0|255|0/0|24 #ffff00 #000000 #000000 #ff0000 Web Optimal  - 56Kbps 56");
        row("linux line ends, odd size, speed over", "30\n65535\n16711680\n255\n500\n128\n",
            "28|65535|16711680|255|110/110|28 #ffff00 #0000ff #0000ff #ff0000 Very High - 128KBps "
            "128");
        row("mixed line ends, small size, speed under", "10\r\n\n2\r255\n-111\r\n64",
            "24|65535|2|255|-110/-110|24 #ffff00 #020000 #020000 #ff0000 FM Radio  - 64Kbps 64");
        row("first line empty", "\n1\r\n2\r\n3\r\n-7\r\n96\r\n",
            "36|1|2|3|-7/-7|36 #010000 #020000 #020000 #030000 Near High - 96Kbps 96");
        // Only a rate the list offers reaches the encoder.
        row("nothing converts", "big\r\nyellow\r\n-1\r\n16777216\r\nfast\r\n 32 \r\n",
            "36|65535|0|255|5/5|36 #ffff00 #000000 #000000 #ff0000 Web Optimal  - 56Kbps 56");
        row("size beyond 16 bits", "65560\r\n1\r\n2\r\n3\r\n0\r\n32\r\n",
            "36|1|2|3|0/0|36 #010000 #020000 #020000 #030000 Web Fast  - 32Kbps 32");
        row("a line past 4 KB does not convert", "24" + QByteArray(5000, ' ') + "\n1\n2\n3\n-7\n96",
            "36|1|2|3|-7/-7|36 #010000 #020000 #020000 #030000 Near High - 96Kbps 96");
    }
    void readsTheFileAtStartUp()
    {
        QFETCH(QByteArray, file);
        QFETCH(QString, loaded);
        Session s { SettingsFolder(file) };
        QVERIFY(s.dialog()->isHidden());
        QCOMPARE(held(s.w) + '|' + choices(*s.dialog()), loaded);
    }
    // A settings.ini that is no regular file is not read; of a huge one, six lines at most.
    void startsWithoutReadingOddFiles()
    {
        SettingsFolder folder(kPadded);
        const QString path = SettingsFile::path(), kept = "24| 65535 | 0 | 255 |0/0";
        QCOMPARE(held(frmMain()), "24| 65535 | 0 | 255 |3/3");
        QVERIFY(QFile::remove(path) && mkfifo(QFile::encodeName(path), 0600) == 0);
        QCOMPARE(held(frmMain()), kept);
        QVERIFY(QFile::remove(path) && QDir().mkdir(path));
        QCOMPARE(held(frmMain()), kept);
        QVERIFY(QDir().rmdir(path) && QFile::link(QStringLiteral("/dev/zero"), path));
        QCOMPARE(held(frmMain()), kept);
        // 200 MB, sparse: line 4 runs on in NUL bytes past what is read, and keeps its value.
        QVERIFY(QFile::remove(path));
        folder.write("28\n1\n2\n 2");
        QVERIFY(QFile::resize(path, 200 << 20));
        QCOMPARE(held(frmMain()), "28|1|2| 255 |0/0");
    }
    // Colours recolour the sample, a cancel leaves it; Save writes the choices in the file's
    // forms, with the speed shown. A failed Save or drag (the file cannot be opened, or a
    // write stops half way) keeps the old file; a drag tells of it once, when it ends.
    void savesChoicesInTheFileForms()
    {
        Session s;
        frmSettings &dialog = *s.dialog();
        // Captions take the window's font; the two lists and Save are drawn smaller. Tab goes
        // down the choices in order.
        const QFont small = child(dialog, "cmdsave")->font();
        QVERIFY(child(dialog, "Label1")->font() == dialog.font() && small != dialog.font());
        QStringList tabs;
        QWidget *at = child(dialog, "cmbfontsize");
        for (int step = 0; step < 50 && tabs.size() < 6; ++step, at = at->nextInFocusChain()) {
            if (at->focusPolicy() & Qt::TabFocus)
                tabs << at->objectName() + (at->font() == small ? "" : " (as the captions)");
        }
        QCOMPARE(tabs.join(", "),
            "cmbfontsize, cmdfontcolor (as the captions), cmdbackcolor (as the captions), "
            "cmdlinecolor (as the captions), cmbquality, cmdsave");
        child<QComboBox>(dialog, "cmbfontsize")->setCurrentText(QStringLiteral("28"));
        for (const auto &[button, color] : { std::pair("cmdfontcolor", 0xFFFFFF),
                 { "cmdbackcolor", 0x800000 }, { "cmdlinecolor", 0x00FF00 } }) {
            s.answers.chooseColor(color);
            click(dialog, button);
            click(dialog, button); // cancelled
        }
        QTest::keyClick(child(dialog, "cmbquality"), Qt::Key_Home);
        QCOMPARE(choices(dialog), "28 #ffffff #000080 #000080 #00ff00 Very High - 128KBps 128");
        s.speed->setValue(8);
        click(dialog, "cmdsave");
        const QByteArray saved("28\r\n 16777215 \r\n 8388608 \r\n 65280 \r\n8\r\n128\r\n");
        QCOMPARE(s.folder.read(), saved);
        {
            const Restore diskFull = limitFileSize(16);
            click(dialog, "cmdsave");
            const Restore readOnly = makeReadOnly(s.folder.path());
            click(dialog, "cmdsave");
            s.speed->setSliderDown(true);
            for (int speed = 4; speed <= 9; ++speed)
                s.speed->setSliderPosition(speed);
            QCOMPARE(s.messages.list.size(), 3u);
            s.speed->setSliderDown(false);
        }
        QCOMPARE(s.folder.read(), saved);
        QCOMPARE(s.messages.shown(),
            QStringList("Message: YOUR SETTINGS ARE SAVED.")
                + QStringList(3, "Error: COULD NOT SAVE YOUR SETTINGS!"));
    }
    // The settings, about and editor windows keep their design: a title, a fixed size, and
    // only the close box (not Escape) closes them.
    void onlyTheCloseBoxClosesTheChildWindows_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("title");
        for (const auto &[button, title] : { std::pair("cmdsettings", "Settings"),
                 { "cmdabout", "About Tellvane" }, { "cmdeditor", "Editor" } })
            QTest::newRow(title) << QString(button) << QString(title);
    }
    void onlyTheCloseBoxClosesTheChildWindows()
    {
        QFETCH(QString, button);
        QFETCH(QString, title);
        Session s;
        s.w.show();
        QStringList seen;
        QTimer::singleShot(0, &s.w, [&] {
            QWidget *shown = QApplication::activeModalWidget();
            if (!shown)
                return;
            seen << shown->windowTitle()
                 << (shown->minimumSize() == shown->maximumSize() ? "fixed" : "sizable");
            QTest::keyClick(shown, Qt::Key_Escape);
            seen << (QApplication::activeModalWidget() == shown ? "open" : "closed by Escape");
            shown->close();
        });
        click(s.w, qPrintable(button));
        QCOMPARE(seen, (QStringList { title, "fixed", "open" }));
    }
    // Options shows the dialog, whose close box discards unsaved choices. Only a drag then stores
    // the speed, at once and in the writers' forms, through a dialog made anew from the file.
    void closingDiscardsAndDragStores()
    {
        Session s;
        QTimer::singleShot(0, &s.w, [&s] {
            QTest::keyClick(child(*s.dialog(), "cmbquality"), Qt::Key_Home);
            s.answers.chooseColor(0x00FF00);
            click(*s.dialog(), "cmdbackcolor");
            if (QApplication::activeModalWidget() == s.dialog())
                s.dialog()->close();
        });
        click(s.w, "cmdsettings");
        QTRY_VERIFY(!s.dialog());
        QCOMPARE(s.folder.read(), kPadded);
        const QByteArray stored("24\r\n 65535 \r\n 0 \r\n 65280 \r\n3\r\n96\r\nextra\r\n");
        s.folder.write(stored);
        QTest::keyClick(&s.w, Qt::Key_Up);
        s.speed->triggerAction(QAbstractSlider::SliderSingleStepAdd);
        s.speed->triggerAction(QAbstractSlider::SliderPageStepAdd);
        QCOMPARE(child<QLabel>(s.w, "lblspeed")->text(), QStringLiteral("10"));
        QCOMPARE(s.folder.read(), stored);
        s.speed->setSliderDown(true);
        s.speed->setSliderPosition(-7);
        QCOMPARE(s.folder.read(), QByteArray(" 24 \r\n 65535 \r\n 0 \r\n 65280 \r\n-7\r\n96\r\n"));
        s.speed->setSliderDown(false);
        QVERIFY(s.dialog() && s.dialog()->isHidden());
        QCOMPARE(choices(*s.dialog()), "24 #ffff00 #000000 #000000 #00ff00 Near High - 96Kbps 96");
    }
};

QTEST_MAIN(tst_Settings)
#include "tst_settings.moc"
