#include "platform/Fonts.h"
#include "platform/TextBoxLines.h"

#include <QPlainTextEdit>
#include <QTest>

// Boxes in these tests are never shown: the lines must come from the width they were given.
class tst_TextBoxLines : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void countsAndIndexesLines_data();
    void countsAndIndexesLines();
    void followsWidthFontAndText();
    void selectsRanges_data();
    void selectsRanges();

private:
    static void makeBox(QPlainTextEdit &box, int width);
};

void tst_TextBoxLines::initTestCase()
{
    QVERIFY(loadTahoma());
}

void tst_TextBoxLines::makeBox(QPlainTextEdit &box, int width)
{
    box.setFrameShape(QFrame::NoFrame);
    box.setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    box.setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    box.setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    box.document()->setDocumentMargin(0);
    box.setFont(tahoma(36));
    box.setGeometry(0, 0, width, 80);
}

void tst_TextBoxLines::countsAndIndexesLines_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QList<int>>("starts");
    QTest::newRow("empty") << QString() << QList<int>{0};
    QTest::newRow("one line") << QStringLiteral("abc") << QList<int>{0};
    QTest::newRow("line break only") << QStringLiteral("\n") << QList<int>{0, 1};
    QTest::newRow("trailing break") << QStringLiteral("ab\ncd\n") << QList<int>{0, 3, 6};
    QTest::newRow("empty lines") << QStringLiteral("a\n\n\nb") << QList<int>{0, 2, 3, 4};
    // At 48 px a 200 px box holds about one of these words a line.
    QTest::newRow("wrapped") << QStringLiteral("wwww wwww wwww") << QList<int>{0, 5, 10};
}

void tst_TextBoxLines::countsAndIndexesLines()
{
    QFETCH(QString, text);
    QFETCH(QList<int>, starts);
    QPlainTextEdit box;
    makeBox(box, 200);
    box.setPlainText(text);
    TextBoxLines lines(&box);
    QCOMPARE(lines.lineCount(), starts.size());
    for (int i = 0; i < starts.size(); ++i)
        QCOMPARE(lines.lineIndex(i), starts.at(i));
    QCOMPARE(lines.lineIndex(int(starts.size())), -1);
    QCOMPARE(lines.lineIndex(-1), -1);
}

void tst_TextBoxLines::followsWidthFontAndText()
{
    QPlainTextEdit box;
    makeBox(box, 613);
    const QString paragraph = QStringLiteral("The quick brown fox jumps over the lazy dog. ").repeated(20);
    box.setPlainText(paragraph);
    TextBoxLines lines(&box);
    const int wide = lines.lineCount();
    QVERIFY(wide > 5);

    box.resize(300, 80);
    const int narrow = lines.lineCount();
    QVERIFY2(narrow > wide * 3 / 2, qPrintable(QStringLiteral("%1 vs %2").arg(narrow).arg(wide)));

    box.setFont(tahoma(24));
    const int smaller = lines.lineCount();
    QVERIFY(smaller < narrow);

    box.setPlainText(QStringLiteral("a\nb"));
    QCOMPARE(lines.lineCount(), 2);
    QCOMPARE(lines.lineIndex(1), 2);

    // Every display line starts where the previous one's text ends.
    box.setPlainText(paragraph);
    int previous = -1;
    for (int i = 0; i < lines.lineCount(); ++i) {
        QVERIFY(lines.lineIndex(i) > previous);
        previous = lines.lineIndex(i);
    }
    QVERIFY(previous < paragraph.size());
}

void tst_TextBoxLines::selectsRanges_data()
{
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("end");
    QTest::addColumn<int>("answer");
    QTest::addColumn<QString>("selected");
    QTest::newRow("first line with its break") << 0 << 4 << 0 << QStringLiteral("one\n");
    QTest::newRow("two lines") << 4 << 12 << 0 << QStringLiteral("two\nsix\n");
    QTest::newRow("to the end") << 8 << -1 << 0 << QStringLiteral("six\nten");
    QTest::newRow("end past the text") << 12 << 99 << 0 << QStringLiteral("ten");
    QTest::newRow("nothing") << 5 << 5 << 0 << QString();
    QTest::newRow("start before the text") << -1 << 4 << -1 << QString();
    QTest::newRow("start past the text") << 16 << -1 << -1 << QString();
}

void tst_TextBoxLines::selectsRanges()
{
    QFETCH(int, start);
    QFETCH(int, end);
    QFETCH(int, answer);
    QFETCH(QString, selected);
    QPlainTextEdit box;
    makeBox(box, 613);
    box.setPlainText(QStringLiteral("one\ntwo\nsix\nten"));
    TextBoxLines lines(&box);
    QCOMPARE(lines.setSelection(start, end), answer);
    if (answer == 0)
        QCOMPARE(lines.selectedText(), selected);
}

QTEST_MAIN(tst_TextBoxLines)
#include "tst_textboxlines.moc"
