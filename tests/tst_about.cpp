#include "TestSupport.h"

#include "about/LinkLabel.h"
#include "about/frmAbout.h"
#include "app/frmMain.h"
#include "platform/ShellExecute.h"

#include <QApplication>
#include <QFileInfo>
#include <QPlainTextEdit>
#include <QTimer>
#include <QToolButton>
#include <QUrl>

#include <array>
#include <functional>

namespace {

// Collects the addresses handed to the browser, for as long as it lives.
struct CapturedAddresses {
    CapturedAddresses() { setAddressSink([this](const QString &a) { list.append(a); }); }
    ~CapturedAddresses() { setAddressSink({}); }
    QStringList list;
};

// Presses About, lets inspect work on the modal window, then closes it with its close box.
// False when no about window came up. inspect must not use QVERIFY: a failure there would
// leave the modal loop running.
bool whileAboutIsOpen(frmMain &main, const std::function<void(frmAbout &)> &inspect)
{
    const auto shown = [] { return qobject_cast<frmAbout *>(QApplication::activeModalWidget()); };
    bool opened = false;
    QTimer::singleShot(0, &main, [&] {
        if (frmAbout *about = shown()) {
            opened = true;
            inspect(*about);
            about->close();
        }
    });
    // Should the window fail to come up as a modal one, this still ends the test.
    QTimer::singleShot(20000, &main, [&] {
        if (frmAbout *about = shown())
            about->close();
    });
    QTest::mouseClick(main.cmdabout, Qt::LeftButton);
    return opened;
}

} // namespace

class tst_About : public QObject
{
    Q_OBJECT

    SettingsFolder m_settings;

private Q_SLOTS:
    void initTestCase() { SettingsFile::createIfMissing(); }

    void linkOpensItsAddressAndStaysOpen_data()
    {
        QTest::addColumn<int>("link");
        QTest::addColumn<QString>("address");
        QTest::newRow("Label4") << 0 << "www.tellvane.example/cuecards";
        QTest::newRow("Label5") << 1 << "www.tellvane.example/clock";
        QTest::newRow("Label6") << 2 << "www.tellvane.example/scriptbook";
        QTest::newRow("Label7") << 3 << "www.tellvane.example/voicelog";
        QTest::newRow("Label8") << 4 << "www.tellvane.example/subtitler";
        QTest::newRow("Label10") << 5 << "lame.sourceforge.io";
    }

    void linkOpensItsAddressAndStaysOpen()
    {
        QFETCH(int, link);
        QFETCH(QString, address);
        CapturedAddresses browser;
        frmMain main;
        main.show();
        QString shown;
        bool styled = false;
        bool stillModal = false;
        QVERIFY(whileAboutIsOpen(main, [&](frmAbout &about) {
            LinkLabel *label = about.*std::array{&frmAbout::Label4, &frmAbout::Label5,
                &frmAbout::Label6, &frmAbout::Label7, &frmAbout::Label8, &frmAbout::Label10}[link];
            shown = label->text();
            styled = label->font().underline() && label->cursor().shape() == Qt::PointingHandCursor
                && label->palette().color(QPalette::WindowText) == QColor(0, 0, 255);
            QTest::mouseClick(label, Qt::LeftButton);
            stillModal = QApplication::activeModalWidget() == &about && about.isVisible();
        }));
        QCOMPARE(shown, address);
        QVERIFY(styled);
        QCOMPARE(browser.list, QStringList{address});
        QVERIFY(stillModal);
    }

    void otherControlsDoNothing()
    {
        CapturedAddresses browser;
        frmAbout about;
        about.show();
        QVERIFY(QTest::qWaitForWindowExposed(&about));
        const QString statement = about.Text1->toPlainText();
        for (QWidget *control : std::initializer_list<QWidget *>{about.Image1, about.Label1,
                 about.Label2, about.Label3, about.Label9, about.Line1, about.Line2}) {
            QTest::mouseClick(control, Qt::LeftButton);
            QTest::mouseDClick(control, Qt::LeftButton);
        }
        QVERIFY(browser.list.isEmpty());
        QVERIFY(about.isVisible());
        QCOMPARE(about.Text1->toPlainText(), statement);
    }

    void statementIsBackAtNextAbout()
    {
        frmMain main;
        main.show();
        QString designed;
        QString edited;
        QString reopened;
        QVERIFY(whileAboutIsOpen(main, [&](frmAbout &about) {
            designed = about.Text1->toPlainText();
            about.Text1->setFocus();
            QTest::keyClick(about.Text1, Qt::Key_End, Qt::ControlModifier);
            QTest::keyClicks(about.Text1, QStringLiteral(" Edited by the user."));
            edited = about.Text1->toPlainText();
        }));
        QVERIFY(whileAboutIsOpen(main, [&](frmAbout &about) { reopened = about.Text1->toPlainText(); }));
        QVERIFY2(designed.size() > 2000 && designed.contains(QStringLiteral("\n\n")),
                 "the statement runs to several paragraphs");
        QCOMPARE(edited, designed + QStringLiteral(" Edited by the user."));
        QCOMPARE(reopened, designed);
    }

    void helpOpensTheShippedPage()
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
};

QTEST_MAIN(tst_About)
#include "tst_about.moc"
