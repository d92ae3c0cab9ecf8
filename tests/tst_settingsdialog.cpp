#include "DialogAnswers.h"
#include "TestSupport.h"

#include "app/frmMain.h"
#include "settings/frmSettings.h"

#include <QComboBox>
#include <QLabel>
#include <QScrollBar>

namespace
{
const QByteArray kPadded("24\r\n 65535 \r\n 0 \r\n 255 \r\n3\r\n56\r\n");

// The dialog's choices: size, font, back and line colour, quality, bit rate.
QString choices(const frmSettings &dialog)
{
    return QStringList { dialog.cmbfontsize->currentText(),
        QString::number(dialog.sampleFontColor()), QString::number(dialog.sampleBackColor()),
        QString::number(dialog.sampleLineColor()), dialog.cmbquality->currentText(),
        dialog.lblbitrate->text() }
        .join(QLatin1Char(' '));
}

// A main window, and so a hidden settings dialog, on a settings.ini of the test's own.
struct Session {
    explicit Session(const QByteArray &ini = kPadded)
        : folder(ini)
    {
    }
    SettingsFolder folder;
    CapturedMessages messages;
    DialogAnswers answers; // a show without an answer is a cancel
    frmMain window;
    frmSettings &dialog = window.settingsForm();
};
} // namespace

class tst_SettingsDialog : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void showsTheStoredSettings_data()
    {
        QTest::addColumn<QByteArray>("line6");
        QTest::addColumn<QString>("shown");
        const auto row = [](const char *name, const QByteArray &line6, const QString &shown) {
            QTest::newRow(name) << line6 << "24 65535 0 255 " + shown;
        };
        row("blank-padded file", "56\r\n", "Web Optimal  - 56Kbps 56");
        row("96", "96\r\n", "Near High - 96Kbps 96");
        // Only a rate the list offers reaches the encoder.
        row("blank-padded rate", " 64 \r\n", "Web Optimal  - 56Kbps 56");
        row("not offered", "320\r\n", "Web Optimal  - 56Kbps 56");
        row("missing", "", "Web Optimal  - 56Kbps 56");
    }
    void showsTheStoredSettings()
    {
        QFETCH(QByteArray, line6);
        QFETCH(QString, shown);
        Session s("24\r\n 65535 \r\n 0 \r\n 255 \r\n3\r\n" + line6);
        QCOMPARE(choices(s.dialog), shown);
        QCOMPARE(s.dialog.shpsample->palette().color(QPalette::Window), QColor(Qt::black));
        QVERIFY(s.dialog.isHidden());
    }

    // Colours recolour the sample, a cancel or the font size leaves it; Save
    // writes the choices in the file's forms.
    void savesChoicesInTheFileForms()
    {
        Session s;
        s.dialog.cmdsave_Click();
        QCOMPARE(s.folder.read(), kPadded);
        const QFont font = s.dialog.lblsample->font();
        s.dialog.cmbfontsize->setCurrentText(QStringLiteral("28"));
        QCOMPARE(s.dialog.lblsample->font(), font);
        s.answers.chooseColor(0xFFFFFF);
        s.dialog.cmdfontcolor_Click();
        s.answers.chooseColor(0x800000);
        s.dialog.cmdbackcolor_Click();
        QCOMPARE(s.dialog.shpsample->palette().color(QPalette::Window), QColor(0, 0, 0x80));
        s.answers.chooseColor(0x00FF00);
        s.dialog.cmdlinecolor_Click();
        s.dialog.cmdfontcolor_Click();
        s.dialog.cmdbackcolor_Click();
        s.dialog.cmdlinecolor_Click();
        s.dialog.cmbquality->setCurrentIndex(0);
        s.dialog.cmbquality_Click();
        QCOMPARE(choices(s.dialog), "28 16777215 8388608 65280 Very High - 128KBps 128");
        // Line 5 is the speed shown in the main window, not the one stored.
        s.window.hscspeed->setValue(8);
        s.dialog.cmdsave_Click();
        QCOMPARE(s.folder.read(),
            QByteArray("28\r\n 16777215 \r\n 8388608 \r\n 65280 \r\n8\r\n128\r\n"));
        QCOMPARE(s.messages.shown(), QStringList(2, "Message: YOUR SETTINGS ARE SAVED."));
    }

    // The close box discards unsaved choices. Only a drag of the scroll box then
    // stores the speed, at once, in the writers' forms, through a dialog made anew.
    void closingDiscardsAndDragStores()
    {
        Session s;
        s.dialog.cmbquality->setCurrentIndex(0);
        s.dialog.cmbquality_Click();
        s.answers.chooseColor(0x00FF00);
        s.dialog.cmdbackcolor_Click();
        s.dialog.close();
        QTRY_VERIFY(!s.window.loadedSettingsForm());
        QCOMPARE(s.folder.read(), kPadded);
        const QByteArray stored("24\r\n 65535 \r\n 0 \r\n 255 \r\n3\r\n96\r\nextra\r\n");
        s.folder.write(stored);
        QTest::keyClick(&s.window, Qt::Key_Up);
        s.window.hscspeed->triggerAction(QAbstractSlider::SliderSingleStepAdd);
        s.window.hscspeed->triggerAction(QAbstractSlider::SliderPageStepAdd);
        QCOMPARE(s.window.lblspeed->text(), QStringLiteral("10"));
        QCOMPARE(s.folder.read(), stored);
        s.window.hscspeed->setSliderDown(true);
        s.window.hscspeed->setSliderPosition(-7);
        QCOMPARE(s.folder.read(), QByteArray(" 24 \r\n 65535 \r\n 0 \r\n 255 \r\n-7\r\n96\r\n"));
        s.window.hscspeed->setSliderDown(false);
        QVERIFY(s.window.loadedSettingsForm() && s.window.loadedSettingsForm()->isHidden());
        QCOMPARE(choices(*s.window.loadedSettingsForm()), "24 65535 0 255 Near High - 96Kbps 96");
    }

    // Neither Save nor a drag loses the old file; a drag tells of it once, when it ends.
    void failedSavesKeepTheOldFile()
    {
        Session s;
        s.dialog.cmbquality->setCurrentIndex(0);
        s.dialog.cmbquality_Click();
        {
            const ReadOnlyFolder readOnly(s.folder.path());
            s.dialog.cmdsave_Click();
            QCOMPARE(s.messages.list.size(), 1u);
            s.window.hscspeed->setSliderDown(true);
            for (int speed = 4; speed <= 9; ++speed)
                s.window.hscspeed->setSliderPosition(speed);
            QCOMPARE(s.messages.list.size(), 1u);
            s.window.hscspeed->setSliderDown(false);
        }
        QCOMPARE(s.messages.shown(), QStringList(2, "Error: COULD NOT SAVE YOUR SETTINGS!"));
        QCOMPARE(s.folder.read(), kPadded);
    }
};

QTEST_MAIN(tst_SettingsDialog)
#include "tst_settingsdialog.moc"
