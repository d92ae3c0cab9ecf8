#include "TestSupport.h"

#include "about/LinkLabel.h"
#include "about/frmAbout.h"
#include "app/frmMain.h"
#include "platform/ShellExecute.h"

#include <QApplication>
#include <QDir>
#include <QPlainTextEdit>
#include <QTimer>
#include <QToolButton>
#include <QUrl>

#include <functional>

namespace
{

// Collects the addresses handed to the browser, for as long as it lives.
struct CapturedAddresses {
    CapturedAddresses()
    {
        setAddressSink([this](const QString &a) { list.append(a); });
    }
    ~CapturedAddresses() { setAddressSink({}); }
    QStringList list;
};

// Presses About, lets inspect work on the modal window, then closes it with its close box.
// False when no about window came up modal. inspect must not use QVERIFY: a failure there
// would leave the modal loop running.
bool whileAboutIsOpen(frmMain &main, const std::function<void(frmAbout &)> &inspect)
{
    bool opened = false;
    QTimer::singleShot(0, &main, [&] {
        if (auto *about = qobject_cast<frmAbout *>(QApplication::activeModalWidget())) {
            opened = true;
            inspect(*about);
            about->close();
        }
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

    // Each link opens its address and leaves the window open; clicks on the picture, the
    // plain labels and the separators do nothing; an edited statement is back to its
    // designed text at the next About.
    void linksAndStatement()
    {
        CapturedAddresses browser;
        frmMain main;
        main.show();
        QStringList links;
        QString designed;
        QString edited;
        QString reopened;
        QVERIFY(whileAboutIsOpen(main, [&](frmAbout &about) {
            designed = about.Text1->toPlainText();
            for (QWidget *inert : std::initializer_list<QWidget *> { about.Image1, about.Label1,
                     about.Label2, about.Label3, about.Label9, about.Line1, about.Line2 }) {
                QTest::mouseClick(inert, Qt::LeftButton);
                QTest::mouseDClick(inert, Qt::LeftButton);
            }
            // Each as seen: its text, colour, underline and cursor, and the window after a click.
            for (LinkLabel *link : { about.Label4, about.Label5, about.Label6, about.Label7,
                     about.Label8, about.Label10 }) {
                QTest::mouseClick(link, Qt::LeftButton);
                links << QStringLiteral("%1 %2 %3 %4 %5")
                             .arg(link->text(), link->palette().color(QPalette::WindowText).name())
                             .arg(link->font().underline())
                             .arg(link->cursor().shape() == Qt::PointingHandCursor)
                             .arg(QApplication::activeModalWidget() == &about && about.isVisible());
            }
            about.Text1->setFocus();
            QTest::keyClick(about.Text1, Qt::Key_End, Qt::ControlModifier);
            QTest::keyClicks(about.Text1, QStringLiteral(" Edited."));
            edited = about.Text1->toPlainText();
        }));
        QVERIFY(whileAboutIsOpen(
            main, [&](frmAbout &about) { reopened = about.Text1->toPlainText(); }));

        const QStringList addresses { "www.tellvane.example/cuecards", "www.tellvane.example/clock",
            "www.tellvane.example/scriptbook", "www.tellvane.example/voicelog",
            "www.tellvane.example/subtitler", "lame.sourceforge.io" };
        QCOMPARE(browser.list, addresses);
        QStringList blueUnderlinedHandOpen;
        for (const QString &address : addresses)
            blueUnderlinedHandOpen << address + QStringLiteral(" #0000ff 1 1 1");
        QCOMPARE(links, blueUnderlinedHandOpen);
        QVERIFY2(designed.size() > 2000 && designed.contains(QStringLiteral("\n\n")),
            "the statement runs to several paragraphs");
        QCOMPARE(edited, designed + QStringLiteral(" Edited."));
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
        QVERIFY(address.isLocalFile() && main.isVisible());
        const QFileInfo page(address.toLocalFile());
        QVERIFY2(page.isFile() && page.dir().dirName() == QStringLiteral("help"),
            qPrintable(page.filePath()));
    }
};

QTEST_MAIN(tst_About)
#include "tst_about.moc"
