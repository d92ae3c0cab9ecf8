#include "TestSupport.h"

#include "app/Module1.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

class tst_ShortName : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void existingFileIsLeftAlone();
    void missingFileIsProbedAndRemoved();
    void unwritablePlaceGivesNothing();
    void pathTooLongGivesNothing();
};

void tst_ShortName::existingFileIsLeftAlone()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("my take.wav"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("RIFF");
    file.close();
    QCOMPARE(GetShortName(path), path);
    QCOMPARE(QFileInfo(path).size(), 4);
}

void tst_ShortName::missingFileIsProbedAndRemoved()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("folder with blanks/new take.wav"));
    QVERIFY(QDir(dir.path()).mkpath(QStringLiteral("folder with blanks")));
    QCOMPARE(GetShortName(path), path);
    QVERIFY(!QFile::exists(path));
}

void tst_ShortName::unwritablePlaceGivesNothing()
{
    QTemporaryDir dir;
    QVERIFY(QFile::setPermissions(dir.path(), QFileDevice::ReadOwner | QFileDevice::ExeOwner
                                      | QFileDevice::ReadOther | QFileDevice::ExeOther));
    {
        AsOrdinaryUser user;
        QVERIFY(GetShortName(dir.filePath(QStringLiteral("take.wav"))).isEmpty());
    }
    QFile::setPermissions(dir.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner
                              | QFileDevice::ExeOwner);
    QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("take.wav"))));
}

void tst_ShortName::pathTooLongGivesNothing()
{
    QTemporaryDir dir;
    const QString folder = dir.filePath(QString(200, QLatin1Char('f')));
    QVERIFY(QDir().mkpath(folder));
    const QString path = folder + QLatin1Char('/') + QString(60, QLatin1Char('n')) + ".wav";
    QVERIFY(GetShortName(path).isEmpty());
    QVERIFY(!QFile::exists(path));
}

QTEST_GUILESS_MAIN(tst_ShortName)
#include "tst_shortname.moc"
