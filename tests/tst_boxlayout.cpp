#include "prompter/BoxLayout.h"

#include <QTest>

class tst_BoxLayout : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void takesTheNearestRow_data();
    void takesTheNearestRow();
    void growsTheBoxForATallerFace_data();
    void growsTheBoxForATallerFace();
};

void tst_BoxLayout::takesTheNearestRow_data()
{
    QTest::addColumn<int>("points");
    QTest::addColumn<int>("lines");
    QTest::addColumn<int>("boxHeight");
    QTest::addColumn<int>("handoverTop");
    QTest::newRow("36") << 36 << 112 << 97600 << -91900;
    QTest::newRow("28") << 28 << 144 << 97200 << -91500;
    QTest::newRow("24") << 24 << 166 << 97200 << -91500;
    QTest::newRow("30 is nearest 28") << 30 << 144 << 97200 << -91500;
    QTest::newRow("32 ties to 36") << 32 << 112 << 97600 << -91900;
    QTest::newRow("26 ties to 28") << 26 << 144 << 97200 << -91500;
    QTest::newRow("8") << 8 << 166 << 97200 << -91500;
    QTest::newRow("72") << 72 << 112 << 97600 << -91900;
}

void tst_BoxLayout::takesTheNearestRow()
{
    QFETCH(int, points);
    QFETCH(int, lines);
    QFETCH(int, boxHeight);
    QFETCH(int, handoverTop);
    // Tahoma's line heights at 48, 37 and 32 pixels all fit their rows.
    const BoxLayout layout = boxLayoutFor(points, 39 * 15);
    QCOMPARE(layout.lines, lines);
    QCOMPARE(layout.boxHeight, boxHeight);
    QCOMPARE(layout.handoverTop, handoverTop);
}

void tst_BoxLayout::growsTheBoxForATallerFace_data()
{
    QTest::addColumn<int>("points");
    QTest::addColumn<double>("lineHeight");
    QTest::addColumn<int>("boxHeight");
    QTest::newRow("36 exactly full") << 36 << 97600.0 / 112 << 97600;
    QTest::newRow("36 taller") << 36 << 1000.0 << 112000;
    QTest::newRow("28 a fraction over") << 28 << 675.01 << 97202;
    QTest::newRow("24 taller") << 24 << 600.0 << 99600;
}

void tst_BoxLayout::growsTheBoxForATallerFace()
{
    QFETCH(int, points);
    QFETCH(double, lineHeight);
    QFETCH(int, boxHeight);
    const BoxLayout layout = boxLayoutFor(points, lineHeight);
    QCOMPARE(layout.boxHeight, boxHeight);
    QVERIFY(layout.lines * lineHeight <= layout.boxHeight);
    QCOMPARE(layout.boxHeight + layout.handoverTop, kHandoverEdge);
}

QTEST_GUILESS_MAIN(tst_BoxLayout)
#include "tst_boxlayout.moc"
