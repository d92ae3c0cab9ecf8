#include "TestSupport.h"

#include "app/Module1.h"
#include "settings/SettingsFile.h"

// Lines 1-4 and the speed line as start-up takes them, one line of text.
static QString loadLikeStartup(int speedBefore)
{
    gFontSize = 36;
    gFontColor = gBackColor = gLineColor = QStringLiteral("?");
    int speed = speedBefore;
    SettingsFile::readLoop([&] {
        if (gSettingsLine == SettingsFile::Speed)
            speed = SettingsFile::speedFromText(gSettingsText);
        else
            SettingsFile::takeSharedLine();
    });
    return QStringLiteral("%1|%2|%3|%4|%5")
        .arg(gFontSize)
        .arg(gFontColor, gBackColor, gLineColor)
        .arg(speed);
}

class tst_SettingsFile : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void readsFiles_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("loaded"); // size|font colour|back colour|line colour|speed
        const auto row = [](const char *name, const QByteArray &file, const QString &loaded) {
            QTest::newRow(name) << file << loaded;
        };
        row("blank-padded", "24\r\n 65535 \r\n 0 \r\n 255 \r\n3\r\n56\r\n",
            "24| 65535 | 0 | 255 |3");
        row("more than six lines", "28\r\n1\r\n2\r\n3\r\n-7\r\n96\r\nextra\r\nmore\r\n",
            "28|1|2|3|-7");
        row("four lines keep the speed", "24\r\n65535\r\n0\r\n255\r\n", "24|65535|0|255|42");
        row("linux line ends", "24\n65535\n16711680\n255\n9\n56\n", "24|65535|16711680|255|9");
        row("mixed line ends, no final end", "28\r\n\n2\r255\n-4", "28|65535|2|255|-4");
        row("empty", "", "36|?|?|?|42");
        row("missing", QByteArray(), "36|?|?|?|42");
        row("nothing converts", "big\r\nyellow\r\n-1\r\n16777216\r\nfast\r\n", "36|65535|0|255|5");
        row("odd size, speed out of range", "30\r\n1\r\n2\r\n3\r\n500\r\n", "28|1|2|3|110");
        row("small size, speed below range", "10\r\n1\r\n2\r\n3\r\n-111\r\n", "24|1|2|3|-110");
        row("size beyond 16 bits", "70000\r\n1\r\n2\r\n3\r\n0\r\n", "36|1|2|3|0");
    }
    void readsFiles()
    {
        QFETCH(QByteArray, file);
        QFETCH(QString, loaded);
        SettingsFolder folder;
        if (!file.isNull())
            folder.write(file);
        QCOMPARE(loadLikeStartup(42), loaded);
    }

    // A write that stops half way, as on a full disk, leaves the old file whole.
    void failedWriteKeepsTheOldFile()
    {
        SettingsFolder folder("24\r\n 65535 \r\n 0 \r\n 255 \r\n3\r\n56\r\n");
        {
            const FileSizeLimit diskFull(16);
            QVERIFY(!SettingsFile::write({ " 28 ", " 65535 ", " 0 ", " 255 ", "110", "128" }));
        }
        QCOMPARE(folder.read(), QByteArray("24\r\n 65535 \r\n 0 \r\n 255 \r\n3\r\n56\r\n"));
    }

    void createsOnlyAMissingFile()
    {
        SettingsFolder folder;
        QVERIFY(SettingsFile::createIfMissing());
        QCOMPARE(folder.read(), QByteArray("36\r\n 65535 \r\n 0 \r\n 255 \r\n5\r\n56\r\n"));
        // An unreadable file is kept as it is.
        folder.write("24\r\n");
        QFile::setPermissions(SettingsFile::path(), QFileDevice::WriteOwner);
        QVERIFY(SettingsFile::createIfMissing());
        QFile::setPermissions(
            SettingsFile::path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner);
        QCOMPARE(folder.read(), QByteArray("24\r\n"));
    }
};

QTEST_GUILESS_MAIN(tst_SettingsFile)
#include "tst_settingsfile.moc"
