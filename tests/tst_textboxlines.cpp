#include "platform/Fonts.h"
#include "platform/TextBoxLines.h"

#include <QPlainTextEdit>
#include <QTest>

// Boxes in these tests are never shown: the lines must come from the width they were given.
class tst_TextBoxLines : public QObject
{
    Q_OBJECT

    static void makeBox(QPlainTextEdit &box, int width, const QString &text)
    {
        box.setFrameShape(QFrame::NoFrame);
        box.setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        box.setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        box.setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
        box.document()->setDocumentMargin(0);
        box.setFont(tahoma(36));
        box.setGeometry(0, 0, width, 80);
        box.setPlainText(text);
    }

private Q_SLOTS:
    void initTestCase() { QVERIFY(loadTahoma()); }

    void countsAndIndexesLines_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QList<int>>("starts");
        QTest::newRow("empty") << QString() << QList<int> { 0 };
        QTest::newRow("trailing break") << "ab\ncd\n" << QList<int> { 0, 3, 6 };
        QTest::newRow("empty lines") << "a\n\n\nb" << QList<int> { 0, 2, 3, 4 };
        // At 48 px a 200 px box holds about one of these words a line.
        QTest::newRow("wrapped") << "wwww wwww wwww" << QList<int> { 0, 5, 10 };
    }
    void countsAndIndexesLines()
    {
        QFETCH(QString, text);
        QFETCH(QList<int>, starts);
        QPlainTextEdit box;
        makeBox(box, 200, text);
        TextBoxLines lines(&box);
        QCOMPARE(lines.lineCount(), starts.size());
        for (int i = 0; i < starts.size(); ++i)
            QCOMPARE(lines.lineIndex(i), starts.at(i));
        QCOMPARE(lines.lineIndex(int(starts.size())), -1);
        QCOMPARE(lines.lineIndex(-1), -1);
    }

    void followsWidthFontAndText()
    {
        const QString paragraph
            = QStringLiteral("The quick brown fox jumps over the lazy dog. ").repeated(20);
        QPlainTextEdit box;
        makeBox(box, 613, paragraph);
        TextBoxLines lines(&box);
        const int wide = lines.lineCount();
        QVERIFY(wide > 5);
        box.resize(300, 80);
        const int narrow = lines.lineCount();
        QVERIFY2(
            narrow > wide * 3 / 2, qPrintable(QStringLiteral("%1 vs %2").arg(narrow).arg(wide)));
        box.setFont(tahoma(24));
        QVERIFY(lines.lineCount() < narrow);
        box.setPlainText(QStringLiteral("a\nb"));
        QCOMPARE(lines.lineIndex(1), 2);
    }

    void selectsRanges_data()
    {
        QTest::addColumn<int>("start");
        QTest::addColumn<int>("end");
        QTest::addColumn<QString>("selected"); // null: refused
        QTest::newRow("first line with its break") << 0 << 4 << "one\n";
        QTest::newRow("to the end") << 8 << -1 << "six\nten";
        QTest::newRow("end past the text") << 12 << 99 << "ten";
        QTest::newRow("nothing") << 5 << 5 << "";
        QTest::newRow("start before the text") << -1 << 4 << QString();
        QTest::newRow("start past the text") << 16 << -1 << QString();
    }
    void selectsRanges()
    {
        QFETCH(int, start);
        QFETCH(int, end);
        QFETCH(QString, selected);
        QPlainTextEdit box;
        makeBox(box, 613, QStringLiteral("one\ntwo\nsix\nten"));
        TextBoxLines lines(&box);
        QCOMPARE(lines.setSelection(start, end), selected.isNull() ? -1 : 0);
        if (!selected.isNull())
            QCOMPARE(lines.selectedText(), selected);
    }
};

QTEST_MAIN(tst_TextBoxLines)
#include "tst_textboxlines.moc"
