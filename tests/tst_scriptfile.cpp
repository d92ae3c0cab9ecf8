#include "editor/ScriptFile.h"

#include <QTemporaryDir>
#include <QTest>

class tst_ScriptFile : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void decodes_data();
    void decodes();
    void encodes_data();
    void encodes();
    void readsWhatItWrote();
    void failsOnFilesItCannotRead();
};

void tst_ScriptFile::decodes_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("text");
    QTest::newRow("empty") << QByteArray() << QString();
    QTest::newRow("no line break") << QByteArray("abc") << QStringLiteral("abc");
    QTest::newRow("CR LF") << QByteArray("one\r\ntwo\r\n") << QStringLiteral("one\ntwo\n");
    QTest::newRow("LF") << QByteArray("one\ntwo\n") << QStringLiteral("one\ntwo\n");
    QTest::newRow("lone CR") << QByteArray("one\rtwo\r") << QStringLiteral("one\ntwo\n");
    QTest::newRow("mixed breaks") << QByteArray("a\r\r\nb\n\rc") << QStringLiteral("a\n\nb\n\nc");
    QTest::newRow("UTF-8") << QByteArray("Caf\xc3\xa9 \xe2\x80\x9cq\xe2\x80\x9d \xe2\x82\xac")
                           << QStringLiteral("Café “q” €");
    QTest::newRow("UTF-8 with BOM") << QByteArray("\xef\xbb\xbf" "abc\r\n")
                                    << QStringLiteral("abc\n");
    QTest::newRow("Windows-1252") << QByteArray("Caf\xe9 \x93q\x94 \x80 \x8a\x9f \xa0!")
                                  << QStringLiteral("Café “q” € ŠŸ \u00a0!");
    QTest::newRow("unassigned 1252 bytes") << QByteArray("\x81\x8d\x8f\x90\x9d")
                                           << QStringLiteral("\u0081\u008d\u008f\u0090\u009d");
    // One invalid sequence makes the whole file Windows-1252.
    QTest::newRow("UTF-8 then a 1252 byte") << QByteArray("\xc3\xa9 \xe9")
                                            << QStringLiteral("Ã© é");
}

void tst_ScriptFile::decodes()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, text);
    QCOMPARE(ScriptFile::decode(bytes), text);
}

void tst_ScriptFile::encodes_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("no line break") << QStringLiteral("abc") << QByteArray("abc\r\n");
    QTest::newRow("ends with a break") << QStringLiteral("abc\n") << QByteArray("abc\r\n");
    QTest::newRow("ends with blank lines") << QStringLiteral("a\n\n") << QByteArray("a\r\n\r\n");
    QTest::newRow("only a break") << QStringLiteral("\n") << QByteArray("\r\n");
    QTest::newRow("blanks") << QStringLiteral("  ") << QByteArray("  \r\n");
    QTest::newRow("inner breaks") << QStringLiteral("one\ntwo") << QByteArray("one\r\ntwo\r\n");
    QTest::newRow("stray CR") << QStringLiteral("one\rtwo\r\n") << QByteArray("one\r\ntwo\r\n");
    QTest::newRow("accents") << QStringLiteral("Café €\u00a0!")
                             << QByteArray("Caf\xc3\xa9 \xe2\x82\xac\xc2\xa0!\r\n");
}

void tst_ScriptFile::encodes()
{
    QFETCH(QString, text);
    QFETCH(QByteArray, bytes);
    QCOMPARE(ScriptFile::encode(text), bytes);
    // What was written comes back as the same text, and is written the same again.
    QCOMPARE(ScriptFile::encode(ScriptFile::decode(bytes)), bytes);
}

void tst_ScriptFile::readsWhatItWrote()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("script.txt"));
    QVERIFY(ScriptFile::write(path, QStringLiteral("first version")));
    QVERIFY(ScriptFile::write(path, QStringLiteral("Ünïcode\nsecond")));
    QCOMPARE(ScriptFile::read(path), QStringLiteral("Ünïcode\nsecond\n"));
    // The save file leaves no temporary copies behind.
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), {QStringLiteral("script.txt")});
}

void tst_ScriptFile::failsOnFilesItCannotRead()
{
    QTemporaryDir dir;
    QVERIFY(!ScriptFile::read(dir.filePath(QStringLiteral("missing.txt"))));
    QVERIFY(!ScriptFile::read(dir.path()));
}

QTEST_GUILESS_MAIN(tst_ScriptFile)
#include "tst_scriptfile.moc"
