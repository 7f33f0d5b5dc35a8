#pragma once

#include <QString>
#include <QVector>

// A table of text cells, rows and columns numbered from 1. Holds a sheet's rows; every value is
// text. Out-of-range reads give "", out-of-range writes are ignored, so no input can crash it.
class RecordGrid
{
public:
    RecordGrid(int rows = 0, int cols = 0);

    int rowCount() const { return m_rows; }
    int colCount() const { return m_cols; }

    // Sets the sizes; cells inside both the old and the new sizes keep their text.
    void setSize(int rows, int cols);
    void setRowCount(int rows) { setSize(rows, m_cols); }
    void setColCount(int cols) { setSize(m_rows, cols); }

    // Every cell empty; the sizes stay.
    void reset();

    QString text(int row, int col) const;
    void setText(int row, int col, const QString &text);

    // Empties the block row1..row2 x col1..col2 (clipped to the grid).
    void clearBlock(int row1, int col1, int row2, int col2);

    // A blank row before `row`; rows below shift down, the last row's content is lost.
    void insertRow(int row);
    // Rows below `row` shift up; the last row becomes blank.
    void deleteRow(int row);

    // Moves the block's texts to the destination (top-left dstRow, dstCol); the source cells
    // that the destination does not cover are left empty. Overlapping moves are safe.
    void moveBlock(int row1, int col1, int row2, int col2, int dstRow, int dstCol);

    bool operator==(const RecordGrid &other) const = default;

private:
    bool inRange(int row, int col) const { return row >= 1 && row <= m_rows && col >= 1 && col <= m_cols; }
    qsizetype index(int row, int col) const { return qsizetype(row - 1) * m_cols + (col - 1); }

    int m_rows = 0;
    int m_cols = 0;
    QVector<QString> m_cells;
};
