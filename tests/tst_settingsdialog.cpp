#include "TestSupport.h"

#include "app/frmMain.h"
#include "prompter/PromptBox.h"
#include "settings/frmSettings.h"

#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>
#include <QTest>

namespace {
const QByteArray kPadded("24\r\n 65535 \r\n 0 \r\n 255 \r\n3\r\n56\r\n");

// Answers every colour dialog with the given colour, or with a cancel.
void answerColors(std::optional<qint32> color)
{
    CommonDialog::setAnswerer([color](CommonDialog::Kind, const CommonDialog &) {
        return color ? CommonDialog::Answer{true, QString(), *color} : CommonDialog::Answer{};
    });
}
} // namespace

class tst_SettingsDialog : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void cleanup() { CommonDialog::setAnswerer({}); }
    void showsTheStoredSettings();
    void savesChoicesInTheFileForms();
    void offeredRateOnlyReachesTheEncoder_data();
    void offeredRateOnlyReachesTheEncoder();
    void colourButtonsRecolourTheSample();
    void cancelledColourLeavesTheSample();
    void fontSizeLeavesTheSample();
    void closingWithoutSaveChangesNothing();
    void failedSaveKeepsTheOldFile();
    void dragStoresTheSpeed();
    void otherSpeedChangesWaitForASave();
    void savedChoicesReachTheNextStart();
    void dragAfterCloseRecreatesTheDialog();
    void failedDragSaveIsToldOnce();
};

void tst_SettingsDialog::showsTheStoredSettings()
{
    SettingsFolder folder;
    folder.write(kPadded);
    frmMain window;
    frmSettings &dialog = window.settingsForm();
    QCOMPARE(dialog.cmbfontsize->currentText(), QStringLiteral("24"));
    QCOMPARE(dialog.sampleFontColor(), 65535);
    QCOMPARE(dialog.sampleBackColor(), 0);
    QCOMPARE(dialog.shpsample->palette().color(QPalette::Window), QColor(Qt::black));
    QCOMPARE(dialog.sampleLineColor(), 255);
    QCOMPARE(dialog.cmbquality->currentText(), QStringLiteral("Web Optimal  - 56Kbps"));
    QCOMPARE(dialog.lblbitrate->text(), QStringLiteral("56"));
    QVERIFY(dialog.isHidden());
}

void tst_SettingsDialog::savesChoicesInTheFileForms()
{
    SettingsFolder folder;
    CapturedMessages messages;
    folder.write(kPadded);
    frmMain window;
    frmSettings &dialog = window.settingsForm();

    dialog.cmdsave_Click();
    QCOMPARE(folder.read(), QByteArray("24\r\n 65535 \r\n 0 \r\n 255 \r\n3\r\n56\r\n"));

    // Line 5 is the speed shown in the main window, not the one stored.
    window.hscspeed->setValue(8);

    dialog.cmbquality->setCurrentIndex(0);
    dialog.cmbquality_Click();
    QCOMPARE(dialog.lblbitrate->text(), QStringLiteral("128"));
    dialog.cmbfontsize->setCurrentText(QStringLiteral("28"));
    dialog.cmdsave_Click();
    QCOMPARE(folder.read(), QByteArray("28\r\n 65535 \r\n 0 \r\n 255 \r\n8\r\n128\r\n"));

    QCOMPARE(messages.list.size(), size_t(2));
    QCOMPARE(messages.list.back().text, QStringLiteral("YOUR SETTINGS ARE SAVED."));
    QCOMPARE(messages.list.back().title, QStringLiteral("Message"));
    QCOMPARE(messages.list.back().style, MsgStyle::Information);
}

void tst_SettingsDialog::offeredRateOnlyReachesTheEncoder_data()
{
    QTest::addColumn<QByteArray>("line6");
    QTest::addColumn<QString>("item");
    QTest::addColumn<QString>("bitrate");
    QTest::newRow("96") << QByteArray("96\r\n") << "Near High - 96Kbps" << "96";
    QTest::newRow("32") << QByteArray("32\r\n") << "Web Fast  - 32Kbps" << "32";
    QTest::newRow("blank-padded") << QByteArray(" 64 \r\n") << "Web Optimal  - 56Kbps" << "56";
    QTest::newRow("not offered") << QByteArray("320\r\n") << "Web Optimal  - 56Kbps" << "56";
    QTest::newRow("missing") << QByteArray() << "Web Optimal  - 56Kbps" << "56";
}

void tst_SettingsDialog::offeredRateOnlyReachesTheEncoder()
{
    QFETCH(QByteArray, line6);
    QFETCH(QString, item);
    QFETCH(QString, bitrate);
    SettingsFolder folder;
    folder.write("36\r\n 65535 \r\n 0 \r\n 255 \r\n3\r\n" + line6);
    frmMain window;
    QCOMPARE(window.settingsForm().cmbquality->currentText(), item);
    QCOMPARE(window.settingsForm().lblbitrate->text(), bitrate);
}

void tst_SettingsDialog::colourButtonsRecolourTheSample()
{
    SettingsFolder folder;
    folder.write(kPadded);
    frmMain window;
    frmSettings &dialog = window.settingsForm();

    answerColors(0x00FF00);
    dialog.cmdbackcolor_Click();
    QCOMPARE(dialog.sampleBackColor(), 0x00FF00);
    QCOMPARE(dialog.shpsample->palette().color(QPalette::Window), QColor(0, 255, 0));
    QCOMPARE(dialog.sampleFontColor(), 65535);

    answerColors(0xFF0000);
    dialog.cmdfontcolor_Click();
    QCOMPARE(dialog.sampleFontColor(), 0xFF0000);
    answerColors(0x123456);
    dialog.cmdlinecolor_Click();
    QCOMPARE(dialog.sampleLineColor(), 0x123456);

    CapturedMessages messages;
    dialog.cmdsave_Click();
    QCOMPARE(folder.read(),
             QByteArray("24\r\n 16711680 \r\n 65280 \r\n 1193046 \r\n3\r\n56\r\n"));
}

void tst_SettingsDialog::cancelledColourLeavesTheSample()
{
    SettingsFolder folder;
    folder.write(kPadded);
    frmMain window;
    frmSettings &dialog = window.settingsForm();
    answerColors(0x00FF00);
    dialog.cmdfontcolor_Click();
    answerColors(std::nullopt);
    dialog.cmdbackcolor_Click();
    dialog.cmdlinecolor_Click();
    QCOMPARE(dialog.sampleBackColor(), 0);
    QCOMPARE(dialog.sampleLineColor(), 255);
    QCOMPARE(dialog.sampleFontColor(), 0x00FF00);
}

void tst_SettingsDialog::fontSizeLeavesTheSample()
{
    SettingsFolder folder;
    folder.write(kPadded);
    frmMain window;
    frmSettings &dialog = window.settingsForm();
    const QFont before = dialog.lblsample->font();
    dialog.cmbfontsize->setCurrentText(QStringLiteral("36"));
    QCOMPARE(dialog.lblsample->font(), before);
    QCOMPARE(before.pixelSize(), 48);
}

void tst_SettingsDialog::closingWithoutSaveChangesNothing()
{
    SettingsFolder folder;
    folder.write(kPadded);
    frmMain window;
    {
        frmSettings &dialog = window.settingsForm();
        dialog.cmbquality->setCurrentIndex(0);
        dialog.cmbquality_Click();
        answerColors(0x00FF00);
        dialog.cmdbackcolor_Click();
        dialog.show();
        dialog.close(); // the close box
    }
    QTRY_VERIFY(!window.loadedSettingsForm());
    QCOMPARE(folder.read(), kPadded);
    QCOMPARE(window.settingsForm().lblbitrate->text(), QStringLiteral("56"));
    QCOMPARE(window.settingsForm().sampleBackColor(), 0);
}

void tst_SettingsDialog::failedSaveKeepsTheOldFile()
{
    SettingsFolder folder;
    CapturedMessages messages;
    folder.write(kPadded);
    frmMain window;
    frmSettings &dialog = window.settingsForm();
    dialog.cmbquality->setCurrentIndex(0);
    dialog.cmbquality_Click();
    QFile::setPermissions(folder.path(), QFileDevice::ReadOwner | QFileDevice::ExeOwner
                              | QFileDevice::ReadOther | QFileDevice::ExeOther);
    {
        AsOrdinaryUser user;
        dialog.cmdsave_Click();
    }
    QFile::setPermissions(folder.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner
                              | QFileDevice::ExeOwner);
    QCOMPARE(messages.list.size(), size_t(1));
    QCOMPARE(messages.list.front().text, QStringLiteral("COULD NOT SAVE YOUR SETTINGS!"));
    QCOMPARE(messages.list.front().title, QStringLiteral("Error"));
    QCOMPARE(folder.read(), kPadded);
}

void tst_SettingsDialog::dragStoresTheSpeed()
{
    SettingsFolder folder;
    folder.write("24\r\n 65535 \r\n 0 \r\n 255 \r\n3\r\n56\r\nextra\r\n");
    frmMain window;
    window.hscspeed->setSliderDown(true);
    window.hscspeed->setSliderPosition(5);
    QCOMPARE(folder.read(), QByteArray(" 24 \r\n 65535 \r\n 0 \r\n 255 \r\n5\r\n56\r\n"));
    window.hscspeed->setSliderDown(false);
}

void tst_SettingsDialog::otherSpeedChangesWaitForASave()
{
    SettingsFolder folder;
    folder.write(kPadded);
    frmMain window;
    QTest::keyClick(&window, Qt::Key_Up);
    window.hscspeed->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    window.hscspeed->triggerAction(QAbstractSlider::SliderPageStepAdd);
    QCOMPARE(window.lblspeed->text(), QStringLiteral("10"));
    QCOMPARE(folder.read(), kPadded);

    window.hscspeed->setSliderDown(true);
    window.hscspeed->setSliderPosition(11);
    window.hscspeed->setSliderDown(false);
    QCOMPARE(folder.read(), QByteArray(" 24 \r\n 65535 \r\n 0 \r\n 255 \r\n11\r\n56\r\n"));
}

void tst_SettingsDialog::savedChoicesReachTheNextStart()
{
    SettingsFolder folder;
    CapturedMessages messages;
    folder.write(kPadded);
    frmMain window;
    window.txtcontainer->setPlainText(QStringLiteral("one\ntwo"));
    frmSettings &dialog = window.settingsForm();
    dialog.cmbfontsize->setCurrentText(QStringLiteral("28"));
    answerColors(0xFFFFFF);
    dialog.cmdfontcolor_Click();
    answerColors(0x800000);
    dialog.cmdbackcolor_Click();
    answerColors(0x00FF00);
    dialog.cmdlinecolor_Click();
    dialog.cmdsave_Click();
    // Save changes nothing in the main window until the next Start.
    QCOMPARE(window.picprompt->palette().color(QPalette::Window), QColor(Qt::black));

    window.cmdstart_Click();
    QCOMPARE(window.picprompt->palette().color(QPalette::Window), QColor(0, 0, 0x80));
    QCOMPARE(window.txtline->palette().color(QPalette::Base), QColor(0, 0xFF, 0));
    PromptBox *box = window.txtprompt[0];
    QCOMPARE(box->font().pixelSize(), 37);
    QCOMPARE(box->palette().color(QPalette::Text), QColor(Qt::white));
    QCOMPARE(box->palette().color(QPalette::Base), QColor(0, 0, 0x80));
}

void tst_SettingsDialog::dragAfterCloseRecreatesTheDialog()
{
    SettingsFolder folder;
    folder.write(kPadded);
    frmMain window;
    window.settingsForm().close();
    QTRY_VERIFY(!window.loadedSettingsForm());
    folder.write("24\r\n 65535 \r\n 0 \r\n 255 \r\n3\r\n96\r\n");
    window.hscspeed->setSliderDown(true);
    window.hscspeed->setSliderPosition(-7);
    window.hscspeed->setSliderDown(false);
    QVERIFY(window.loadedSettingsForm());
    QVERIFY(window.loadedSettingsForm()->isHidden());
    QCOMPARE(folder.read(), QByteArray(" 24 \r\n 65535 \r\n 0 \r\n 255 \r\n-7\r\n96\r\n"));
}

void tst_SettingsDialog::failedDragSaveIsToldOnce()
{
    SettingsFolder folder;
    CapturedMessages messages;
    folder.write(kPadded);
    frmMain window;
    QFile::setPermissions(folder.path(), QFileDevice::ReadOwner | QFileDevice::ExeOwner
                              | QFileDevice::ReadOther | QFileDevice::ExeOther);
    {
        AsOrdinaryUser user;
        window.hscspeed->setSliderDown(true);
        for (int speed = 4; speed <= 9; ++speed)
            window.hscspeed->setSliderPosition(speed);
        QVERIFY(messages.list.empty());
        window.hscspeed->setSliderDown(false);
    }
    QFile::setPermissions(folder.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner
                              | QFileDevice::ExeOwner);
    QCOMPARE(messages.list.size(), size_t(1));
    QCOMPARE(messages.list.front().text, QStringLiteral("COULD NOT SAVE YOUR SETTINGS!"));
    QCOMPARE(folder.read(), kPadded);
}

QTEST_MAIN(tst_SettingsDialog)
#include "tst_settingsdialog.moc"
