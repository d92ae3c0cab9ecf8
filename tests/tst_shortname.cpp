#include "TestSupport.h"

#include "app/Module1.h"

#include <QDir>

class tst_ShortName : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void answersOnlyUsablePaths_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("exists");
        QTest::addColumn<bool>("readOnly");
        QTest::addColumn<bool>("usable");
        QTest::newRow("existing file") << "my take.wav" << true << false << true;
        QTest::newRow("missing file")
            << "folder with blanks/new take.wav" << false << false << true;
        QTest::newRow("unwritable place") << "take.wav" << false << true << false;
        QTest::newRow("path too long")
            << QString(200, 'f') + '/' + QString(60, 'n') + ".wav" << false << false << false;
    }
    // An existing file is left alone; a missing one is probed for and removed again.
    void answersOnlyUsablePaths()
    {
        QFETCH(QString, name);
        QFETCH(bool, exists);
        QFETCH(bool, readOnly);
        QFETCH(bool, usable);
        QTemporaryDir dir;
        const QString path = dir.filePath(name);
        QVERIFY(QDir().mkpath(QFileInfo(path).path()));
        QFile file(path);
        if (exists)
            QVERIFY(file.open(QIODevice::WriteOnly) && file.write("RIFF") == 4);
        file.close();
        std::optional<ReadOnlyFolder> unwritable;
        if (readOnly)
            unwritable.emplace(dir.path());
        QCOMPARE(GetShortName(path), usable ? path : QString());
        unwritable.reset();
        QCOMPARE(file.exists(), exists);
        QCOMPARE(file.size(), exists ? 4 : 0);
    }
};

QTEST_GUILESS_MAIN(tst_ShortName)
#include "tst_shortname.moc"
