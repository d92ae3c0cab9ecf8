#include "TestSupport.h"

#include "about/LinkLabel.h"
#include "about/frmAbout.h"
#include "app/frmMain.h"
#include "platform/ShellExecute.h"

#include <QApplication>
#include <QFileInfo>
#include <QFrame>
#include <QPlainTextEdit>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QUrl>

#include <array>
#include <functional>

namespace {

// Collects the addresses handed to the browser, for as long as it lives.
class CapturedAddresses
{
public:
    CapturedAddresses()
    {
        setAddressSink([this](const QString &address) { list.append(address); });
    }
    ~CapturedAddresses() { setAddressSink({}); }
    CapturedAddresses(const CapturedAddresses &) = delete;
    CapturedAddresses &operator=(const CapturedAddresses &) = delete;

    QStringList list;
};

std::array<LinkLabel *, 6> links(const frmAbout &about)
{
    return {about.Label4, about.Label5, about.Label6, about.Label7, about.Label8, about.Label10};
}

std::array<QWidget *, 7> inertControls(const frmAbout &about)
{
    return {about.Image1, about.Label1, about.Label2, about.Label3,
            about.Label9, about.Line1,  about.Line2};
}

frmAbout *shownAbout()
{
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        if (auto *about = qobject_cast<frmAbout *>(widget); about && about->isVisible())
            return about;
    }
    return nullptr;
}

// Presses About, lets `inspect` work on the modal window, then closes it with
// its close box. Returns false when no about window came up. `inspect` must not
// use QVERIFY: a failure there would leave the modal loop running.
bool whileAboutIsOpen(frmMain &main, const std::function<void(frmAbout &)> &inspect)
{
    bool opened = false;
    QTimer::singleShot(0, &main, [&] {
        frmAbout *about = shownAbout();
        if (!about)
            return;
        opened = true;
        inspect(*about);
        about->close();
    });
    // Should the window fail to come up as a modal one, this still ends the test.
    QTimer::singleShot(20000, &main, [] {
        if (frmAbout *about = shownAbout())
            about->close();
    });
    QTest::mouseClick(main.cmdabout, Qt::LeftButton);
    return opened;
}

} // namespace

class tst_About : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void linkOpensItsAddressAndStaysOpen_data();
    void linkOpensItsAddressAndStaysOpen();
    void otherControlsDoNothing_data();
    void otherControlsDoNothing();
    void statementIsBackAtNextAbout();
    void helpOpensTheShippedPage();

private:
    std::unique_ptr<SettingsFolder> m_settings;
};

void tst_About::init()
{
    m_settings = std::make_unique<SettingsFolder>();
    SettingsFile::createIfMissing();
}

void tst_About::linkOpensItsAddressAndStaysOpen_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("address");
    QTest::newRow("Label4") << 0 << QStringLiteral("www.tellvane.example/cuecards");
    QTest::newRow("Label5") << 1 << QStringLiteral("www.tellvane.example/clock");
    QTest::newRow("Label6") << 2 << QStringLiteral("www.tellvane.example/scriptbook");
    QTest::newRow("Label7") << 3 << QStringLiteral("www.tellvane.example/voicelog");
    QTest::newRow("Label8") << 4 << QStringLiteral("www.tellvane.example/subtitler");
    QTest::newRow("Label10") << 5 << QStringLiteral("lame.sourceforge.io");
}

void tst_About::linkOpensItsAddressAndStaysOpen()
{
    QFETCH(int, index);
    QFETCH(QString, address);
    CapturedAddresses browser;
    frmMain main;
    main.show();

    QString shown;
    QFont font;
    QColor color;
    Qt::CursorShape cursor = Qt::ArrowCursor;
    bool openAfterClick = false;
    bool modalAfterClick = false;
    const bool opened = whileAboutIsOpen(main, [&](frmAbout &about) {
        LinkLabel *link = links(about).at(index);
        shown = link->text();
        font = link->font();
        color = link->palette().color(QPalette::WindowText);
        cursor = link->cursor().shape();
        QTest::mouseClick(link, Qt::LeftButton);
        openAfterClick = about.isVisible();
        modalAfterClick = QApplication::activeModalWidget() == &about;
    });

    QVERIFY(opened);
    QCOMPARE(browser.list, QStringList{address});
    QVERIFY(openAfterClick);
    QVERIFY(modalAfterClick);
    QCOMPARE(shown, address);
    QVERIFY(font.underline());
    QCOMPARE(color, QColor(0, 0, 255));
    QCOMPARE(cursor, Qt::PointingHandCursor);
}

void tst_About::otherControlsDoNothing_data()
{
    QTest::addColumn<int>("index");
    const char *const names[] = {"Image1", "Label1", "Label2", "Label3", "Label9", "Line1", "Line2"};
    for (int i = 0; i < 7; ++i)
        QTest::newRow(names[i]) << i;
}

void tst_About::otherControlsDoNothing()
{
    QFETCH(int, index);
    CapturedAddresses browser;
    frmAbout about;
    about.show();
    QVERIFY(QTest::qWaitForWindowExposed(&about));
    const QString statement = about.Text1->toPlainText();

    QWidget *control = inertControls(about).at(index);
    QTest::mouseClick(control, Qt::LeftButton);
    QTest::mouseDClick(control, Qt::LeftButton);

    QVERIFY(browser.list.isEmpty());
    QVERIFY(about.isVisible());
    QCOMPARE(about.Text1->toPlainText(), statement);
}

void tst_About::statementIsBackAtNextAbout()
{
    frmMain main;
    main.show();
    QString designed;
    QString edited;
    QVERIFY(whileAboutIsOpen(main, [&](frmAbout &about) {
        designed = about.Text1->toPlainText();
        about.Text1->setFocus();
        QTest::keyClick(about.Text1, Qt::Key_End, Qt::ControlModifier);
        QTest::keyClicks(about.Text1, QStringLiteral(" Edited by the user."));
        edited = about.Text1->toPlainText();
    }));
    QString reopened;
    QVERIFY(whileAboutIsOpen(main, [&](frmAbout &about) { reopened = about.Text1->toPlainText(); }));

    QVERIFY2(designed.size() > 2000, "the statement runs to several paragraphs");
    QVERIFY(designed.contains(QStringLiteral("\n\n")));
    QCOMPARE(edited, designed + QStringLiteral(" Edited by the user."));
    QCOMPARE(reopened, designed);
}

void tst_About::helpOpensTheShippedPage()
{
    CapturedAddresses browser;
    frmMain main;
    main.show();
    QTest::mouseClick(main.cmdhelp, Qt::LeftButton);

    QCOMPARE(browser.list.size(), 1);
    const QUrl address(browser.list.first());
    QVERIFY(address.isLocalFile());
    const QFileInfo page(address.toLocalFile());
    QVERIFY2(page.isFile(), qPrintable(page.filePath()));
    QCOMPARE(page.dir().dirName(), QStringLiteral("help"));
    QVERIFY(main.isVisible());
}

QTEST_MAIN(tst_About)
#include "tst_about.moc"
