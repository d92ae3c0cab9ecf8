#include "TestSupport.h"

#include "app/Module1.h"
#include "settings/SettingsFile.h"

#include <QFile>
#include <QTest>

// What the shared readers take from a file: lines 1-4 and the speed line.
struct Loaded {
    qint16 fontSize;
    QString fontColor, backColor, lineColor;
    int speed;
};

static Loaded loadLikeStartup(int speedBefore)
{
    gFontSize = 36;
    gFontColor = QStringLiteral("65535");
    gBackColor = QStringLiteral("0");
    gLineColor = QStringLiteral("255");
    int speed = speedBefore;
    SettingsFile::readLoop([&] {
        if (gSettingsLine == SettingsFile::Speed)
            speed = SettingsFile::speedFromText(gSettingsText);
        else
            SettingsFile::takeSharedLine();
    });
    return {gFontSize, gFontColor, gBackColor, gLineColor, speed};
}

class tst_SettingsFile : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void splitsAtEveryLineEnd_data();
    void splitsAtEveryLineEnd();
    void readsFiles_data();
    void readsFiles();
    void keepsColourTextAsRead();
    void missingFileChangesNothing();
    void writesCrLfAndReplacesWhole();
    void failedWriteKeepsTheOldFile();
    void createsMissingFileWithFirstValues();
    void leavesUnreadableFileAlone();
    void numericForm_data();
    void numericForm();
};

void tst_SettingsFile::splitsAtEveryLineEnd_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("lines");
    QTest::newRow("crlf") << QByteArray("24\r\n5\r\n") << QStringList{"24", "5"};
    QTest::newRow("lone cr") << QByteArray("24\r5\r") << QStringList{"24", "5"};
    QTest::newRow("lone lf") << QByteArray("24\n5\n") << QStringList{"24", "5"};
    QTest::newRow("mixed, no final end") << QByteArray("24\r\n\n5") << QStringList{"24", "", "5"};
    QTest::newRow("empty") << QByteArray() << QStringList{};
}

void tst_SettingsFile::splitsAtEveryLineEnd()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, lines);
    QCOMPARE(SettingsFile::splitLines(bytes), lines);
}

void tst_SettingsFile::readsFiles_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<int>("fontSize");
    QTest::addColumn<QString>("backColor");
    QTest::addColumn<QString>("lineColor");
    QTest::addColumn<int>("speed");

    QTest::newRow("blank-padded") << QByteArray("24\r\n 65535 \r\n 0 \r\n 255 \r\n3\r\n56\r\n")
                                  << 24 << " 0 " << " 255 " << 3;
    QTest::newRow("more than six lines")
        << QByteArray("28\r\n1\r\n2\r\n3\r\n-7\r\n96\r\nextra\r\nmore\r\n") << 28 << "2" << "3" << -7;
    QTest::newRow("four lines keep the speed")
        << QByteArray("24\r\n65535\r\n0\r\n255\r\n") << 24 << "0" << "255" << 42;
    QTest::newRow("linux line ends") << QByteArray("24\n65535\n16711680\n255\n9\n56\n") << 24
                                     << "16711680" << "255" << 9;
    QTest::newRow("nothing converts")
        << QByteArray("big\r\nyellow\r\n-1\r\n16777216\r\nfast\r\n") << 36 << "0" << "255" << 5;
    QTest::newRow("odd size, speed out of range")
        << QByteArray("30\r\n1\r\n2\r\n3\r\n500\r\n") << 28 << "2" << "3" << 110;
    QTest::newRow("small size, speed below range")
        << QByteArray("10\r\n1\r\n2\r\n3\r\n-111\r\n") << 24 << "2" << "3" << -110;
    QTest::newRow("size beyond 16 bits") << QByteArray("70000\r\n1\r\n2\r\n3\r\n0\r\n") << 36 << "2"
                                         << "3" << 0;
}

void tst_SettingsFile::readsFiles()
{
    QFETCH(QByteArray, file);
    QFETCH(int, fontSize);
    QFETCH(QString, backColor);
    QFETCH(QString, lineColor);
    QFETCH(int, speed);

    SettingsFolder folder;
    folder.write(file);
    const Loaded loaded = loadLikeStartup(42);
    QCOMPARE(loaded.fontSize, fontSize);
    QCOMPARE(loaded.backColor, backColor);
    QCOMPARE(loaded.lineColor, lineColor);
    QCOMPARE(loaded.speed, speed);
}

void tst_SettingsFile::keepsColourTextAsRead()
{
    SettingsFolder folder;
    folder.write("24\r\n 65535 \r\n 0 \r\n 255 \r\n3\r\n56\r\n");
    QCOMPARE(loadLikeStartup(0).fontColor, QStringLiteral(" 65535 "));
}

void tst_SettingsFile::missingFileChangesNothing()
{
    SettingsFolder folder;
    gFontSize = 28;
    QVERIFY(!SettingsFile::readLoop([] { SettingsFile::takeSharedLine(); }));
    QCOMPARE(gFontSize, qint16(28));
}

void tst_SettingsFile::writesCrLfAndReplacesWhole()
{
    SettingsFolder folder;
    folder.write("1\r\n2\r\n3\r\n4\r\n5\r\n6\r\n7\r\n8\r\n");
    QVERIFY(SettingsFile::write({" 24 ", " 65535 ", " 0 ", " 255 ", "5", "56"}));
    QCOMPARE(folder.read(), QByteArray(" 24 \r\n 65535 \r\n 0 \r\n 255 \r\n5\r\n56\r\n"));
}

void tst_SettingsFile::failedWriteKeepsTheOldFile()
{
    SettingsFolder folder;
    const QByteArray old("24\r\n 65535 \r\n 0 \r\n 255 \r\n3\r\n56\r\n");
    folder.write(old);
    {
        const FileSizeLimit diskFull(16); // the new file stops half way
        QVERIFY(!SettingsFile::write({" 28 ", " 65535 ", " 0 ", " 255 ", "110", "128"}));
    }
    QCOMPARE(folder.read(), old);
}

void tst_SettingsFile::createsMissingFileWithFirstValues()
{
    SettingsFolder folder;
    QVERIFY(SettingsFile::createIfMissing());
    QCOMPARE(folder.read(), QByteArray("36\r\n 65535 \r\n 0 \r\n 255 \r\n5\r\n56\r\n"));
    const Loaded loaded = loadLikeStartup(0);
    QCOMPARE(loaded.fontSize, qint16(36));
    QCOMPARE(loaded.speed, 5);
}

void tst_SettingsFile::leavesUnreadableFileAlone()
{
    SettingsFolder folder;
    folder.write("24\r\n");
    QFile::setPermissions(SettingsFile::path(), QFileDevice::WriteOwner);
    QVERIFY(SettingsFile::createIfMissing());
    QFile::setPermissions(SettingsFile::path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    QCOMPARE(folder.read(), QByteArray("24\r\n"));
}

void tst_SettingsFile::numericForm_data()
{
    QTest::addColumn<qint64>("value");
    QTest::addColumn<QString>("text");
    QTest::newRow("positive") << qint64(24) << " 24 ";
    QTest::newRow("zero") << qint64(0) << " 0 ";
    QTest::newRow("negative") << qint64(-5) << "-5 ";
}

void tst_SettingsFile::numericForm()
{
    QFETCH(qint64, value);
    QFETCH(QString, text);
    QCOMPARE(SettingsFile::numericForm(value), text);
}

QTEST_GUILESS_MAIN(tst_SettingsFile)
#include "tst_settingsfile.moc"
