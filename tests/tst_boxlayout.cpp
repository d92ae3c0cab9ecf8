#include "prompter/BoxLayout.h"

#include <QTest>

class tst_BoxLayout : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void fitsTheBoxToTheFace_data()
    {
        QTest::addColumn<int>("points");
        QTest::addColumn<double>("lineHeight"); // twips
        QTest::addColumn<int>("lines");
        QTest::addColumn<int>("boxHeight");
        // Tahoma's line heights on Windows: 58, 45 and 39 pixels.
        QTest::newRow("36") << 36 << 870.0 << 112 << 97600;
        QTest::newRow("28") << 28 << 675.0 << 144 << 97200;
        QTest::newRow("24") << 24 << 585.0 << 166 << 97200;
        QTest::newRow("32 ties to 36") << 32 << 870.0 << 112 << 97600;
        QTest::newRow("36 taller") << 36 << 1000.0 << 112 << 112000;
        QTest::newRow("28 a fraction over") << 28 << 675.01 << 144 << 97202;
        QTest::newRow("24 less than a line to spare") << 24 << 585.5 << 166 << 97200;
        // Line heights of the Tahoma that Wine ships: 48 and 32 pixels.
        QTest::newRow("24 shorter") << 24 << 480.0 << 166 << 79680;
    }
    // The box holds its lines, no whole line of it stays empty, and its bottom
    // edge hands over at 5700.
    void fitsTheBoxToTheFace()
    {
        QFETCH(int, points);
        QFETCH(double, lineHeight);
        QFETCH(int, lines);
        QFETCH(int, boxHeight);
        const BoxLayout layout = boxLayoutFor(points, lineHeight);
        QCOMPARE(layout.lines, lines);
        QCOMPARE(layout.boxHeight, boxHeight);
        QVERIFY(layout.lines * lineHeight <= layout.boxHeight);
        QVERIFY(layout.boxHeight - layout.lines * lineHeight < lineHeight);
        QCOMPARE(layout.boxHeight + layout.handoverTop, 5700);
    }
};

QTEST_GUILESS_MAIN(tst_BoxLayout)
#include "tst_boxlayout.moc"
