#include "editor/ScriptFile.h"

#include <QTemporaryDir>
#include <QTest>

class tst_ScriptFile : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void decodes_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("text");
        QTest::newRow("line ends")
            << QByteArray("a\r\nb\nc\r\r\nd\n\re\r") << "a\nb\nc\n\nd\n\ne\n";
        QTest::newRow("UTF-8 BOM") << QByteArray("\xef\xbb\xbfGr\xc3\xbc\xc3\x9f\r\n") << "Grüß\n";
        QTest::newRow("Windows-1252")
            << QByteArray("Caf\xe9 \x93q\x94 \x80 \x8a\x9f \xa0!") << "Café “q” € ŠŸ \u00a0!";
        QTest::newRow("unassigned 1252 bytes")
            << QByteArray("\x81\x8d\x8f\x90\x9d") << "\u0081\u008d\u008f\u0090\u009d";
        // One invalid sequence makes the whole file Windows-1252.
        QTest::newRow("UTF-8 then a 1252 byte") << QByteArray("\xc3\xa9 \xe9") << "Ã© é";
    }
    void decodes()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, text);
        QCOMPARE(ScriptFile::decode(bytes), text);
    }

    void encodes_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("no line break") << "abc" << QByteArray("abc\r\n");
        QTest::newRow("ends with a break") << "abc\n" << QByteArray("abc\r\n");
        QTest::newRow("ends with blank lines") << "a\n\n" << QByteArray("a\r\n\r\n");
        QTest::newRow("stray CR") << "one\rtwo\r\n" << QByteArray("one\r\ntwo\r\n");
        QTest::newRow("accents") << "Café €\u00a0!"
                                 << QByteArray("Caf\xc3\xa9 \xe2\x82\xac\xc2\xa0!\r\n");
    }
    // What was written comes back as the same text, and is written the same again.
    void encodes()
    {
        QFETCH(QString, text);
        QFETCH(QByteArray, bytes);
        QCOMPARE(ScriptFile::encode(text), bytes);
        QCOMPARE(ScriptFile::encode(ScriptFile::decode(bytes)), bytes);
    }

    void failsOnFilesItCannotRead()
    {
        QTemporaryDir dir;
        QVERIFY(!ScriptFile::read(dir.filePath(QStringLiteral("missing.txt"))));
        QVERIFY(!ScriptFile::read(dir.path()));
    }
};

QTEST_GUILESS_MAIN(tst_ScriptFile)
#include "tst_scriptfile.moc"
