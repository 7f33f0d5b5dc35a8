#include "grid/RecordGrid.h"

#include <QTest>

namespace {

// A 221 x 38 grid whose cell (r, c) holds "r:c".
RecordGrid numbered(int rows = 221, int cols = 38)
{
    RecordGrid g(rows, cols);
    for (int r = 1; r <= rows; ++r)
        for (int c = 1; c <= cols; ++c)
            g.setText(r, c, QStringLiteral("%1:%2").arg(r).arg(c));
    return g;
}

} // namespace

class TestRecordGrid : public QObject
{
    Q_OBJECT
private slots:
    void sizesAndCells();
    void outOfRangeIsHarmless();
    void resetEmptiesEveryCell();
    void clearBlock();
    void insertBeforeRow3DropsTheLastRow();
    void deleteRow3BlanksTheLastRow();
    void insertAndDeleteAtTheEnds();
    void moveBlock();
    void moveBlockOverlapping();
    void widenKeepsCells();
};

void TestRecordGrid::sizesAndCells()
{
    RecordGrid g(221, 38);
    QCOMPARE(g.rowCount(), 221);
    QCOMPARE(g.colCount(), 38);
    g.setText(221, 38, QStringLiteral("見出し"));
    QCOMPARE(g.text(221, 38), QStringLiteral("見出し"));
    QCOMPARE(g.text(1, 1), QString());
}

void TestRecordGrid::outOfRangeIsHarmless()
{
    RecordGrid g(3, 3);
    g.setText(0, 1, QStringLiteral("x"));
    g.setText(4, 1, QStringLiteral("x"));
    g.setText(1, 4, QStringLiteral("x"));
    QCOMPARE(g.text(0, 0), QString());
    QCOMPARE(g.text(4, 4), QString());
    g.insertRow(0);
    g.insertRow(4);
    g.deleteRow(-1);
    g.moveBlock(1, 1, 3, 3, 3, 3); // mostly off the grid
    QCOMPARE(g.rowCount(), 3);
}

void TestRecordGrid::resetEmptiesEveryCell()
{
    RecordGrid g = numbered();
    g.reset();
    QCOMPARE(g.rowCount(), 221);
    QCOMPARE(g, RecordGrid(221, 38));
}

void TestRecordGrid::clearBlock()
{
    RecordGrid g = numbered(5, 5);
    g.clearBlock(2, 2, 3, 4);
    QCOMPARE(g.text(2, 2), QString());
    QCOMPARE(g.text(3, 4), QString());
    QCOMPARE(g.text(2, 5), QStringLiteral("2:5"));
    QCOMPARE(g.text(4, 2), QStringLiteral("4:2"));
}

void TestRecordGrid::insertBeforeRow3DropsTheLastRow()
{
    RecordGrid g = numbered();
    g.insertRow(3);
    QCOMPARE(g.rowCount(), 221);
    QCOMPARE(g.text(2, 1), QStringLiteral("2:1"));
    for (int c = 1; c <= 38; ++c)
        QCOMPARE(g.text(3, c), QString());
    QCOMPARE(g.text(4, 1), QStringLiteral("3:1"));
    QCOMPARE(g.text(221, 38), QStringLiteral("220:38")); // former row 221 is gone
}

void TestRecordGrid::deleteRow3BlanksTheLastRow()
{
    RecordGrid g = numbered();
    g.deleteRow(3);
    QCOMPARE(g.rowCount(), 221);
    QCOMPARE(g.text(3, 1), QStringLiteral("4:1"));
    QCOMPARE(g.text(220, 38), QStringLiteral("221:38"));
    for (int c = 1; c <= 38; ++c)
        QCOMPARE(g.text(221, c), QString());
}

void TestRecordGrid::insertAndDeleteAtTheEnds()
{
    RecordGrid g = numbered(4, 2);
    g.insertRow(4);
    QCOMPARE(g.text(3, 1), QStringLiteral("3:1"));
    QCOMPARE(g.text(4, 1), QString());
    g = numbered(4, 2);
    g.deleteRow(1);
    QCOMPARE(g.text(1, 1), QStringLiteral("2:1"));
    QCOMPARE(g.text(4, 2), QString());
}

void TestRecordGrid::moveBlock()
{
    RecordGrid g = numbered();
    // The headings row moved whole onto row 220.
    g.moveBlock(221, 1, 221, 38, 220, 1);
    QCOMPARE(g.text(220, 1), QStringLiteral("221:1"));
    QCOMPARE(g.text(220, 38), QStringLiteral("221:38"));
    for (int c = 1; c <= 38; ++c)
        QCOMPARE(g.text(221, c), QString());
}

void TestRecordGrid::moveBlockOverlapping()
{
    RecordGrid g = numbered(5, 1);
    g.moveBlock(1, 1, 3, 1, 2, 1);
    QCOMPARE(g.text(1, 1), QString());
    QCOMPARE(g.text(2, 1), QStringLiteral("1:1"));
    QCOMPARE(g.text(3, 1), QStringLiteral("2:1"));
    QCOMPARE(g.text(4, 1), QStringLiteral("3:1"));
    QCOMPARE(g.text(5, 1), QStringLiteral("5:1"));
}

void TestRecordGrid::widenKeepsCells()
{
    RecordGrid g = numbered(221, 38);
    g.setColCount(140);
    QCOMPARE(g.text(221, 38), QStringLiteral("221:38"));
    QCOMPARE(g.text(221, 140), QString());
    g.setColCount(38);
    QCOMPARE(g.text(5, 7), QStringLiteral("5:7"));
}

QTEST_APPLESS_MAIN(TestRecordGrid)
#include "tst_recordgrid.moc"
